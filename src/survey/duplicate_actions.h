// What the user does with a group of duplicate songs: delete one, or merge the others into the one
// kept. Both go through the delete routine and its relation rules, never around them: a song that
// a playlist still names is refused by its delete rule ("Keep" needs nothing written: the group is
// only set aside).
//
// A merge moves every playlist entry of the songs merged to the song kept, then deletes those
// songs, in one transaction: a refusal or failure anywhere leaves the collection as it was. Entries
// keep their playlists, sequence numbers and notes; a playlist that held both the song kept and a
// duplicate holds the song kept twice (nothing is taken out of anyone's playlist: the user removes
// the second entry if it is not wanted). A playlist's length stays; its total time changes by the
// difference between the songs' times.
#pragma once

#include "data/database.h"

#include <QVector>

namespace tunarium {

struct MergeOutcome {
    bool done = false;
    qint64 entriesMoved = 0;
    qint64 songsDeleted = 0;
    // Why nothing was changed, when the user was not told by a warning already; empty otherwise.
    QString problem;
};

// The playlist entries that name the song numbered `songId`, in key order.
StoreError playlistEntriesOf(Store& store, qint64 songId, QVector<PlaylistEntryRecord>& out);

// Deletes the song through the delete routine; the routine's result (kRoutineDone when deleted).
// The caller has the songs, the playlists and their entries open.
int deleteDuplicate(Database& db, const SongRecord& song);

// Merges `duplicates` into `kept` (a song among them that is `kept` itself is passed over). The
// caller has the songs, the playlists and their entries open.
MergeOutcome mergeInto(Database& db, const SongRecord& kept, const QVector<SongRecord>& duplicates);

} // namespace tunarium
