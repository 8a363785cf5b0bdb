// The entries of one playlist: songs in an order the user chooses, numbered 1, 2, 3 ... by their
// sequence, which is also their chart position. Adding (at the end, or just after a chosen entry),
// songs dropped from the songs list, deleting with the entries after it closing the gap, the total
// playing time, and the song each entry names (which another copy of the program may have deleted:
// the entry then shows no song). Every change that touches several entries runs in one
// transaction.
#pragma once

#include "data/database.h"

#include <QByteArray>

namespace tunarium {

// The song numbers a drop from the songs list carries (decimal TUN:ID numbers, one a line, in the
// order the user chose them); false when the payload is not one or more song numbers.
bool parseSongIds(const QByteArray& payload, QVector<qint64>& ids);

// "Record swap error: " with the error and where it happened: the playlist, the sequence and the
// step ("Put Swap", "Put Upd Seq" ...), under the title "Error!".
PromptMessage swapErrorMessage(const StoreError& error, qint64 playlistId, qint64 sequence,
                               const QString& section);

// The playing time of songs together in the program's time values (hundredths plus one): the sum
// of each time less one, plus one; a song without a time adds nothing, and none at all gives 0.
qint64 addTimes(const QVector<qint64>& times);

// How the move buttons move an entry: one place up or down, or to the top or the bottom.
enum class EntryMove { Top, Up, Down, Bottom };

class PlaylistEntries {
public:
    // The entries of playlist `playlistId`; the caller has the playlist tables and the songs open.
    PlaylistEntries(Database& db, qint64 playlistId);

    qint64 playlistId() const { return m_playlistId; }

    // The highest sequence number of the playlist; 0 when it has no entries.
    StoreError lastSequence(qint64& out);
    // Up to `limit` entries in order, after sequence `after` (0: from the first).
    StoreError read(qint64 after, int limit, QVector<PlaylistEntryRecord>& out);
    // The song an entry names; `found` is false (and the song blank) when it is gone.
    StoreError songOf(qint64 songId, SongRecord& out, bool& found);
    // The playing time of every entry's song together (see addTimes).
    StoreError totalTime(qint64& out);

    // A new entry for each song, at the end in the order given. Nothing is added when one of the
    // songs is not in the collection (the user is told which); a failed add is tried three times.
    // `added` receives the entries added.
    bool addSongs(const QVector<qint64>& songIds, QVector<PlaylistEntryRecord>* added = nullptr);
    // A drop on the entries list: the payload's songs, added as addSongs does; a payload that is
    // not song numbers adds nothing and is told.
    bool addDropped(const QByteArray& payload, QVector<PlaylistEntryRecord>* added = nullptr);

    // Moves the entry one place up or down, or to the top or the bottom of the playlist, through
    // the move routine of every hand-ordered list (one transaction). `moved` receives the entry as
    // it now is. False when it is already at that end, or a step failed (told with the step, and
    // nothing moved).
    bool move(const PlaylistEntryRecord& entry, EntryMove how, PlaylistEntryRecord& moved);
    // A new entry (the last of the playlist) moved to just after sequence `after`: the entries
    // after `after` move one place down. `placed` receives the entry as it now is.
    bool placeAfter(const PlaylistEntryRecord& entry, qint64 after, PlaylistEntryRecord& placed);

    // Asks, then deletes the entry; the entries after it move up one place so that the numbers
    // close the gap, all in one transaction. True when the entry was deleted.
    bool removeEntry(const PlaylistEntryRecord& entry);

private:
    // Moves the entry toward the start, past every entry above sequence `stop` (0: to the top).
    bool shift(const PlaylistEntryRecord& entry, qint64 stop, PlaylistEntryRecord& moved);
    bool songsExist(const QVector<qint64>& songIds);
    StoreError renumberAfter(qint64 sequence, qint64& failedAt);
    void tell(const QString& caption, const QString& text);

    Database& m_db;
    qint64 m_playlistId;
};

} // namespace tunarium
