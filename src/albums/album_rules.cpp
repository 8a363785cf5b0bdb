// The album form's rules.
#include "albums/album_rules.h"

#include "albums/album_disc_songs.h"
#include "albums/disc_in_collection.h"
#include "data/fold_key.h"
#include "data/key_walk.h"

#include <algorithm>

namespace tunarium {

QString albumCopyName(const QString& name) {
    // The suffix always shows: a copy cut back to its source's name would clash with it.
    const int room = tableDef(TableId::Album).field(alb::kAlbum).width - int(qstrlen(kCopySuffix));
    return trimTrailingBlanks(trimTrailingBlanks(name).left(room)) + QLatin1String(kCopySuffix);
}

QString albumKeyName(const QString& qualifiedKey) {
    static const QHash<QString, QString> kNames{
        {QStringLiteral("ALB:KeyAlbumID"), QStringLiteral("Album ID")},
        {QStringLiteral("ALB:KeyAlbum"), QStringLiteral("Album")},
        {QStringLiteral("ALB:KeyArtist"), QStringLiteral("Artist")},
        {QStringLiteral("ALB:KeyCDIdentifier"), QStringLiteral("CD Serial Number")},
    };
    return kNames.value(qualifiedKey, qualifiedKey);
}

StoreError AlbumRules::primeAndNumber(Row& record, bool copy) {
    if (record.tableId() != TableId::Album || record.size() == 0) {
        record = Row(TableId::Album);
    }
    // An add that starts from an album's values is a copy: it must not clash with its source's
    // name and disc.
    if (copy || !record.text(alb::kAlbum).isEmpty()) {
        record.setText(alb::kAlbum, albumCopyName(record.text(alb::kAlbum)));
        record.setText(alb::kCdIdentifier, QString());
    }
    qint64 number = 0;
    if (StoreError e = m_db.store().nextNumber(TableId::Album, number)) {
        return e;
    }
    record.setNumber(alb::kAlbumId, number);
    return {};
}

QString AlbumRules::duplicateKeyName(const StoreError& error) const {
    return error.keyName.isEmpty() ? uniqueKeyName() : albumKeyName(error.keyName);
}

StoreError AlbumRules::removeAdded(Database& db, const Row& added) {
    // Songs read or added into the new album, or re-assigned to it, are the user's: they stay,
    // without an album.
    return db.withdrawAlbum(added, Database::AlbumSongs::Detach) == kRoutineDone
               ? StoreError{}
               : StoreError::of(code::kRecordNotFound);
}

StoreError AlbumRules::loadChoices() {
    m_media.clear();
    m_categories.clear();
    Store& store = m_db.store();
    for (TableId table : {TableId::Media, TableId::Categories}) {
        const TableDef& t = tableDef(table);
        const int key = table == TableId::Media ? med::kKeyMedia : t.primaryKey;
        KeyWalk walk(store, table, key);
        if (StoreError e = walk.forEach([this, table](const Row& r) {
                if (table == TableId::Media) {
                    m_media << r.text(med::kMedia);
                } else {
                    m_categories.push_back({r.text(cat::kCategory), r.number(cat::kCategoryId)});
                }
                return true;
            })) {
            return e;
        }
    }
    std::stable_sort(
        m_categories.begin(), m_categories.end(),
        [](const AlbumCategory& a, const AlbumCategory& b) { return foldKey(a.name) < foldKey(b.name); });
    return {};
}

QString AlbumRules::categoryName(qint64 id) const {
    for (const AlbumCategory& c : m_categories) {
        if (c.id == id) {
            return c.name;
        }
    }
    return {};
}

bool AlbumRules::check(AlbumCheck which, Row& record, const QString& categoryText) {
    Warnings& warnings = m_db.warnings();
    switch (which) {
    case AlbumCheck::Media: {
        const QString media = record.text(alb::kMedia);
        if (m_media.contains(media)) {
            return true;
        }
        warnings.show(warning::kFieldContentsError, QStringLiteral("Media"), QStringLiteral("Media"));
        return false;
    }
    case AlbumCheck::Category: {
        const QString name = trimTrailingBlanks(categoryText).trimmed();
        if (name.isEmpty()) {
            record.setNumber(alb::kCategoryId, 0);
            return true;
        }
        for (const AlbumCategory& c : m_categories) {
            if (c.name.compare(name, Qt::CaseInsensitive) == 0) {
                record.setNumber(alb::kCategoryId, c.id);
                return true;
            }
        }
        warnings.show(warning::kFieldContentsError, QStringLiteral("Category"), QStringLiteral("Categories"));
        return false;
    }
    case AlbumCheck::Rating: {
        const qint64 rating = record.number(alb::kRating);
        if (rating >= 0 && rating <= 10) {
            return true;
        }
        warnings.show(warning::kRangeError, QStringLiteral("Rating"), QStringLiteral("0 and 10"));
        return false;
    }
    case AlbumCheck::Unique: {
        int key = -1;
        AlbumRecord holder;
        if (firstTakenAlbumKey(m_db.store(), record, key, holder) || key < 0) {
            return true; // a read that fails leaves the refusal to the store's own write
        }
        m_db.prompter().message(duplicateAlbumMessage(key, holder));
        return false;
    }
    }
    return false;
}

StoreError albumHoldingKey(Store& store, const Row& record, int key, AlbumRecord& holder, bool& found) {
    found = false;
    const TableDef& t = tableDef(TableId::Album);
    QVector<QVariant> values;
    bool blank = true;
    for (int field : t.key(key).components) {
        values << record.text(field);
        blank = blank && trimTrailingBlanks(record.text(field)).isEmpty();
    }
    if (blank) {
        return {};
    }
    KeyPosition from;
    from.values = values;
    QVector<Row> rows;
    if (StoreError e = store.read(TableId::Album, key, from, Direction::Forward, true, 8, rows)) {
        return e;
    }
    for (const Row& other : rows) {
        bool same = other.number(alb::kAlbumId) != record.number(alb::kAlbumId);
        for (int field : t.key(key).components) {
            same = same && other.text(field) == record.text(field);
        }
        if (same) {
            holder = fromRow<AlbumRecord>(other);
            found = true;
            return {};
        }
    }
    return {};
}

PromptMessage duplicateAlbumMessage(int key, const AlbumRecord& holder) {
    const TableDef& t = tableDef(TableId::Album);
    PromptMessage m = composeWarning(warning::kDuplicateKey, {}, albumKeyName(t.qualifiedKey(key)), {}, 0);
    m.text += QStringLiteral("\n\n") +
              (key == alb::kKeyCdIdentifier ? QStringLiteral("This disc is already in the collection: ")
                                            : QStringLiteral("Already in the collection: ")) +
              albumPlace(holder);
    return m;
}

PromptMessage albumDeleteQuestion(const AlbumRecord& album, qint64 songs) {
    QString text = QStringLiteral("Delete the album");
    if (songs == 1) {
        text += QStringLiteral(" and its song");
    } else if (songs > 1) {
        text += QStringLiteral(" and its ") + QString::number(songs) + QStringLiteral(" songs");
    }
    text += QStringLiteral("?\n\n") + trimTrailingBlanks(album.artist) + QStringLiteral(" \u2013 ") +
            trimTrailingBlanks(album.album);
    return {QStringLiteral("Confirm Delete"), text, PromptIcon::Question, kButtonYes | kButtonNo, kButtonNo};
}

bool confirmAlbumDelete(Database& db, const Row& album) {
    qint64 songs = 0;
    if (StoreError e = countAlbumSongs(db.store(), album.number(alb::kAlbumId), songs)) {
        db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
        return false;
    }
    return db.prompter().message(albumDeleteQuestion(fromRow<AlbumRecord>(album), songs)) == kButtonYes;
}

StoreError firstTakenAlbumKey(Store& store, const Row& record, int& key, AlbumRecord& holder) {
    key = -1;
    for (int k : {alb::kKeyAlbum, alb::kKeyArtist, alb::kKeyCdIdentifier}) {
        bool found = false;
        if (StoreError e = albumHoldingKey(store, record, k, holder, found)) {
            return e;
        }
        if (found) {
            key = k;
            return {};
        }
    }
    return {};
}

std::optional<AlbumCheck> AlbumRules::checkAll(Row& record, const QString& categoryText) {
    for (AlbumCheck which :
         {AlbumCheck::Media, AlbumCheck::Category, AlbumCheck::Rating, AlbumCheck::Unique}) {
        if (!check(which, record, categoryText)) {
            return which;
        }
    }
    return std::nullopt;
}

} // namespace tunarium
