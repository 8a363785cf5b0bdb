// What the playlist files share with the collection: the songs of a playlist or of a saved search
// in their order, the
// song a file's entry names (found by its file's path first, then by artist and title with case and
// accents ignored), and a new playlist made of songs in order. The callers hold the songs and
// playlist tables.
#pragma once

#include "data/database.h"

#include <QHash>
#include <QString>
#include <QVector>

namespace tunarium {

// The songs of playlist `playlistId` in the order of its entries; an entry whose song another
// station deleted is left out.
StoreError playlistSongs(Store& store, qint64 playlistId, QVector<SongRecord>& out);

// The songs saved search `search` finds now, in its order (the caller also holds the songs'
// categories, which the search's text may name).
StoreError foundSongs(Store& store, const SavedSearchRecord& search, QVector<SongRecord>& out);

// The length of a song in whole seconds (its time value rounded); -1 when it has none.
qint64 songSeconds(const SongRecord& song);

class SongMatcher {
public:
    explicit SongMatcher(Store& store) : m_store(store) {}

    // The song whose file is `path` (as the file system names it, case and all); 0 when none.
    StoreError byPath(const QString& path, qint64& songId);
    // A song of that artist and title, case and accents ignored; among several the one whose
    // length is within two seconds of `seconds` (when given, >= 0), else the first. 0 when none.
    StoreError byArtistTitle(const QString& artist, const QString& title, qint64 seconds, qint64& songId);
    // By path first, then by artist and title.
    StoreError match(const QString& path, const QString& artist, const QString& title, qint64 seconds,
                     qint64& songId);

private:
    Store& m_store;
};

// A new playlist of `songIds` in order under `name`: cut to the description's width and, when
// another playlist holds it, numbered (" (2)", " (3)" ...). Written in the caller's transaction.
StoreError addPlaylistOf(Store& store, const QString& name, const QVector<qint64>& songIds, PlaylistRecord& made);

// "1 track", "3 tracks".
QString counted(qint64 n, const char* one, const char* many);

// A list of names for a summary: at most `shown` of them, then "... and N more".
QStringList someOf(const QStringList& names, int shown = 20);

} // namespace tunarium
