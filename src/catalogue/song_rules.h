// The song form's own rules, without its window: priming and numbering a new song, copying,
// filling from an album, the add-mode dispatch, the media, time, category and range checks, and
// the album record made for a song on OK.
#pragma once

#include "catalogue/form_session.h"
#include "data/settings.h"

#include <optional>

namespace tunarium {

// The album a song is being added to, passed in by the album windows.
struct AlbumContext {
    int mode = 0; // 0 none; any other value fills new songs from the album; 2 also fixes the artist
    AlbumRecord album;
    qint64 side = 0; // the side or disc being filled
    bool active() const { return mode != 0; }
    bool fixesArtist() const { return mode == 2; }
};

struct CategoryChoice {
    QString name;
    qint64 id = 0;
};

// The fields the song form checks, in tab order. Each check runs when the user leaves its field
// and again, all of them in this order, on OK.
enum class SongCheck { Media, Time, Category, TrackNumber, ChartNumber, Rating };
inline constexpr SongCheck kSongChecks[] = {SongCheck::Media,       SongCheck::Time,
                                            SongCheck::Category,    SongCheck::TrackNumber,
                                            SongCheck::ChartNumber, SongCheck::Rating};

// What adding a song does, from the AddMode preference.
enum class AddDispatch { OpenForm, CompilationWizard, SingleArtistWizard, AskUser };
AddDispatch songAddDispatch(AddMode mode, bool copy, const AlbumContext& context, const SongRecord& current);

// Whether a song holds nothing to know it by: no artist and no title. Such a song is not saved.
bool isBlankSong(const Row& song);

class SongRules : public FormRules {
public:
    SongRules(Database& db, AlbumContext context = {});

    StoreError primeAndNumber(Row& record, bool copy) override;
    void afterAdd(Row& record, const Row& source, bool copy) override;
    QString uniqueKeyName() const override { return QStringLiteral("Unique Song ID"); }
    // The song form cannot bring back typed changes after a change by another station.
    bool canRecallChanges() const override { return false; }

    const AlbumContext& context() const { return m_context; }

    // Both choice lists, when the window opens. On a read error `failedTable` names the table
    // that could not be read ("Media" or "Categories").
    StoreError loadChoices(Row& record, QString& failedTable);
    // The media names, sorted; the song's media is blanked when there are none and takes the
    // first when it is blank.
    StoreError loadMediaChoices(Row& record);
    const QStringList& mediaChoices() const { return m_media; }
    // The categories sorted by name; false after a read error (the caller closes the window).
    StoreError loadCategoryChoices();
    const QVector<CategoryChoice>& categoryChoices() const { return m_categories; }
    // The name of the song's category, blank when it does not exist.
    QString categoryName(qint64 id) const;

    // Field checks: each returns true when the field passes; otherwise it has shown its message.
    bool checkMedia(Row& record);
    // The category typed or chosen: sets TUN:CategoryID, asking to add a category that does not
    // exist yet (which is then created with the next number and taken).
    bool checkCategory(Row& record, const QString& name);
    // Track (0-99), chart (0-100) and rating (0-10); `failingField` gets the first field refused.
    bool checkRanges(const Row& record, int* failingField = nullptr);

    // One field's check on the record as the window read it, `typedCategory` being the text of
    // the category field: the media and category lookups (a new category is offered and made),
    // the time typed as minutes and seconds brought back to them, the ranges. False when the value
    // was refused (its message was shown); the field then keeps the focus.
    bool acceptField(SongCheck check, Row& record, const QString& typedCategory);
    // OK: every check in tab order. The first check that refused its value, or none.
    std::optional<SongCheck> acceptAll(Row& record, const QString& typedCategory);

    // The form regained the focus or was resized: the song's category is read again (another
    // window may have renamed or deleted it), with the choices. Returns the name to show, blank
    // when the category no longer exists.
    QString refreshCategory(const Row& record);

    // On OK, with AutoAddToAlbums on: the album of the song's title and artist, made when missing.
    StoreError addAlbumRecord(Row& record);
    // "Default with Album Information" (and the album context after an add).
    void applyAlbum(Row& record, const AlbumRecord& album, qint64 side, bool adding) const;

    // The picture of a song field (tun::k…) in the form: the field's own form picture, else its
    // picture.
    static QString formPicture(int field);
    // The field a check reads.
    static int checkedField(SongCheck check);

private:
    Database& m_db;
    AlbumContext m_context;
    QStringList m_media;
    QVector<CategoryChoice> m_categories;
};

} // namespace tunarium
