// Freezing a saved search into a playlist.
#include "playlists/playlist_freeze.h"

#include "catalogue/saved_search.h"
#include "data/date_time.h"

#include <QDate>

namespace tunarium {

StoreError freeDescription(Store& store, const QString& name, QString& out) {
    const int width = tableDef(TableId::PlaylistMaster).field(pld::kPlaylistDescription).width;
    for (int n = 1;; ++n) {
        const QString suffix = n == 1 ? QString() : QStringLiteral(" (%1)").arg(n);
        const QString candidate = trimTrailingBlanks(name.left(width - suffix.size())) + suffix;
        PlaylistRecord other;
        const StoreError e = store.get(pld::kKeyPlaylistDescription, {candidate}, other);
        if (e.code == code::kRecordNotFound) {
            out = candidate;
            return {};
        }
        if (e) {
            return e;
        }
    }
}

FrozenPlaylist freezeSavedSearch(Database& db, const SavedSearchRecord& search) {
    FrozenPlaylist made;
    Store& store = db.store();
    const QString playlists = tableDef(TableId::PlaylistMaster).label;
    Transaction tx(store);
    if (!tx.ok()) {
        db.warnings().report(warning::kTransactionFramingError, tx.beginError(), QStringLiteral("Freeze"),
                             playlists);
        return made;
    }
    PlaylistRecord playlist;
    StoreError e = store.nextNumber(TableId::PlaylistMaster, playlist.playlistId);
    if (!e) {
        e = freeDescription(store, search.name, playlist.playlistDescription);
    }
    if (e) {
        db.warnings().report(warning::kRecordRetrievalError, e, playlists);
        return made;
    }
    playlist.lastEditDate = todayDayNumber();
    playlist.notes = QStringLiteral("The songs the saved search \"%1\" found on %2: %3")
                         .arg(search.name, QDate::currentDate().toString(Qt::ISODate), search.searchText);
    if ((e = store.insert(playlist))) {
        db.warnings().report(warning::kRecordInsertError, e, playlists);
        return made;
    }
    // Read and written in the one transaction: the entries are the songs as the search finds them
    // now, and a song deleted by another station cannot slip between the two.
    qint64 sequence = 0;
    StoreError written;
    e = walkSavedSearch(store, search, [&](const Row& song) {
        PlaylistEntryRecord entry;
        entry.playlistId = playlist.playlistId;
        entry.playlistSeq = ++sequence;
        entry.id = song.number(tun::kId);
        written = store.insert(entry);
        return written.ok();
    });
    if (written) {
        db.warnings().report(warning::kRecordInsertError, written, tableDef(TableId::PlaylistDetails).label);
        return made;
    }
    if (e) {
        db.warnings().report(warning::kRecordRetrievalError, e, tableDef(TableId::Tunarium).label);
        return made;
    }
    if ((e = tx.commit())) {
        db.warnings().report(warning::kRecordInsertError, e, playlists);
        return made;
    }
    made.playlistId = playlist.playlistId;
    made.description = playlist.playlistDescription;
    made.entries = sequence;
    return made;
}

} // namespace tunarium
