// The album form's own rules, without its window: numbering a new album and copying one (the name
// followed by " - Copy", the CD serial number blank), the duplicate-key names of its keys, the
// choice lists of media and categories, and the checks on OK (rating, category, media). A new
// album that is cancelled goes, and the songs given to it meanwhile stay in the collection without
// an album.
#pragma once

#include "catalogue/form_session.h"

#include <optional>

namespace tunarium {

inline constexpr char kCopySuffix[] = " - Copy";

// The album name of a copy: the name without its trailing blanks, then " - Copy"; a name too long
// for both is cut so that the suffix fits.
QString albumCopyName(const QString& name);

// The name the duplicate-key message gives an album key ("Album ID", "Album", "Artist",
// "CD Serial Number"); the qualified key for any other.
QString albumKeyName(const QString& qualifiedKey);

// The album other than `record` (by ALB:AlbumID) that holds the record's values in `key`; `found`
// is false when none does or when those values are blank.
StoreError albumHoldingKey(Store& store, const Row& record, int key, AlbumRecord& holder, bool& found);
// Warning 24 naming the key, then the album that holds it: "This disc is already in the
// collection: file number F000123, Abba – Arrival" for the CD serial number, "Already in the
// collection: ..." for the others.
PromptMessage duplicateAlbumMessage(int key, const AlbumRecord& holder);
// Which of the album's unique keys (album and artist, artist and album, CD serial number, in that
// order) another album holds; -1 when none. The holder is left in `holder`.
StoreError firstTakenAlbumKey(Store& store, const Row& record, int& key, AlbumRecord& holder);

// The question before an album is deleted, saying that its songs go too: "Delete the album and
// its 8 songs?" and the album's artist and name (Yes, No; No the default).
PromptMessage albumDeleteQuestion(const AlbumRecord& album, qint64 songs);
// Counts the album's songs and asks; true when answered Yes.
bool confirmAlbumDelete(Database& db, const Row& album);

struct AlbumCategory {
    QString name;
    qint64 id = 0;
};

// The album fields checked on OK, in tab order.
// Unique: no other album has the same album and artist, artist and album, or CD serial number
// (told with the duplicate-key message naming the key).
enum class AlbumCheck { Media, Category, Rating, Unique };

class AlbumRules : public FormRules {
public:
    explicit AlbumRules(Database& db) : m_db(db) {}

    StoreError primeAndNumber(Row& record, bool copy) override;
    QString uniqueKeyName() const override { return QStringLiteral("Album ID"); }
    QString duplicateKeyName(const StoreError& error) const override;
    StoreError removeAdded(Database& db, const Row& added) override;
    bool confirmDelete(Database& db, const Row& record) override { return confirmAlbumDelete(db, record); }

    // The media names and the categories (by name), when the window opens.
    StoreError loadChoices();
    const QStringList& mediaChoices() const { return m_media; }
    const QVector<AlbumCategory>& categoryChoices() const { return m_categories; }
    // The name of a category number; blank when there is none of that number.
    QString categoryName(qint64 id) const;

    // One check on the record, with `categoryText` the text of the category field: the media must
    // be one of the media list, the category name one of the categories (blank gives 0), the
    // rating lie from 0 to 10, the unique keys be free. False when refused (its message was shown).
    bool check(AlbumCheck which, Row& record, const QString& categoryText);
    // Every check in tab order; the first that refused, or none.
    std::optional<AlbumCheck> checkAll(Row& record, const QString& categoryText);

private:
    Database& m_db;
    QStringList m_media;
    QVector<AlbumCategory> m_categories;
};

} // namespace tunarium
