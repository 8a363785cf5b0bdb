// The songs of one album: its sides in side and track order, the four moves of a song within its
// side through the move routine (with the album's error message), a new song placed just after the
// one that was selected, a delete after which the following tracks of the side close the gap, the
// walk that "Re-assign Songs" makes over the songs of the album's file number and media, and a
// single song given to the album. A move, and a delete with its renumbering, each run in one
// transaction: they happen whole or not at all.
#pragma once

#include "catalogue/list_definition.h"
#include "catalogue/list_engine.h"
#include "catalogue/move_routine.h"
#include "data/database.h"

namespace tunarium {

// The album form's songs list: the songs table through TUN:KeyAlbumID ranged to the album (range
// value: the ALB:AlbumID), all sides in side and track order. `datePicture` is the user's.
ListDefinition albumSongsListDefinition(const QString& datePicture);
QString albumSongsListFormat(const QString& datePicture);

// Why a re-assign walk stopped, and how many songs it gave the album.
struct ReassignResult {
    enum class Stop { EndOfTable, MediaDiffers, FileNumberDiffers, ReadError, UpdateFailed };
    int assigned = 0;
    Stop stop = Stop::EndOfTable;
    StoreError error; // the read error
};

// "Do you want to assign all songs with file number "..." and media type "..." to this album?"
// with Yes, No and Cancel, under the title "Assign Songs To Album".
PromptMessage reassignQuestion(const AlbumRecord& album);
// The count and " songs assigned." (title "Process complete."), or why none was (title "Process
// failed."), or the read error (title "Assignment Cancelled").
PromptMessage reassignOutcome(const ReassignResult& result);
// Whether the album has a file number to re-assign by (a file number of blanks has none).
bool hasFileNumber(const AlbumRecord& album);

// The side and track of the song selected in a songs list: a song added next goes after it (side
// -1 and track 0 when none is selected).
struct SelectedTrack {
    qint64 side = -1;
    qint64 track = 0;
};
SelectedTrack selectedTrack(const ListEngine& list);

class AlbumSongs {
public:
    // The songs of album `albumId`; the caller has the songs and the playlist entries open.
    AlbumSongs(Database& db, qint64 albumId);

    qint64 albumId() const { return m_albumId; }
    // One side of the album as a hand-ordered list of the move routine.
    OrderedList side(qint64 side) const;

    // The song after `after` in side and track order (from the first when `after` is blank);
    // `found` is false past the album's last song.
    StoreError next(const SongRecord* after, SongRecord& out, bool& found);
    // The next free track number of a side: its highest track + 1, 1 for an empty side.
    StoreError nextTrack(qint64 side, qint64& out);

    // Moves the song one place up or down, or to the top or the bottom of its side. `moved`
    // receives the song as it now is. False when it is already at that end, or when a step
    // failed (told as "Record swap error: ", nothing moved).
    bool move(const SongRecord& song, MoveDirection direction, SongRecord& moved);
    // A new song (the last of its side) moved to just after track `selectedTrack`: the songs after
    // that track move one place down.
    bool placeAfter(const SongRecord& song, qint64 selectedTrack, SongRecord& placed);
    // A song just added from a songs list where the song on `selectedSide`, track `selectedTrack`
    // was selected (track 0: none was): when it joined this album on that side without already
    // following the selected song, it is placed just after it. Returns the song as it now is (as
    // added when it stays where it is, or when placing it failed: told).
    SongRecord placeAdded(const SongRecord& added, qint64 selectedSide, qint64 selectedTrack);

    // Deletes the song through the delete routine (a playlist entry naming it refuses), and every
    // following song of its side takes the track number before its own, in one transaction. A
    // failed renumbering takes the delete back and is told with the step "Put Upd Seq". True when
    // the song was deleted. `confirm` asks "Confirm Delete" first.
    bool removeSong(const SongRecord& song, bool confirm = true);
    // Delete pressed in a songs list: removeSong, and the list told whether the song went.
    void removeFromList(ListEngine& list, const Row& song);

    // Yes to the re-assign question: every song from the album's media and file number on, in the
    // songs' media and file-number order, gets this album, until the end of the table or the first
    // song of another media or another file number (file numbers compared in upper case, trailing
    // blanks ignored). The songs are rewritten in one transaction; a song changed meanwhile by
    // another station stops the walk (told), keeping those given before it.
    ReassignResult reassign(const AlbumRecord& album);
    // A song chosen from the songs list joins the album. False when the update failed (told).
    bool assignSong(qint64 songId);

private:
    StoreError renumberAfter(const SongRecord& deleted, SongRecord& failedAt);
    PromptMessage swapError(const StoreError& error, const SongRecord& at, const QString& section) const;

    Database& m_db;
    qint64 m_albumId;
};

} // namespace tunarium
