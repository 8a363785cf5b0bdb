// The side of an album's songs. An album of one disc or side has its songs on side 1, whichever
// window entered it: the quick wizards, the album wizard, the album form's songs and its disc reads.
// Side 0, which earlier versions wrote for a single disc (and an import leaves without a side), is
// the same side: a read into side 1 finds a track kept on side 0, and the album form starts on the
// side the album's first song is on, so such an album neither gains a second copy of its tracks nor
// a second side.
//
// A completed disc read put into an album's songs on one side or disc: each track's song (found by
// album, side and track) gets the track's length, and a track without a song gets a new one,
// "Track " and its number, with the album's artist, name, media, file number, date and category.
// The whole side is written in one transaction. Then the album's CDDB disc number and total time
// follow the track positions.
#pragma once

#include "albums/cd_reader.h"
#include "data/store.h"

namespace tunarium {

inline constexpr qint64 kSingleDiscSide = 1;

// The side the album's first song is on (in side and track order); kSingleDiscSide for an album
// without songs.
StoreError firstAlbumSide(Store& store, qint64 albumId, qint64& side);

// Writes `times` into the songs of `album` on `side`; nothing is written when it fails.
StoreError writeDiscSongs(Store& store, const AlbumRecord& album, qint64 side,
                          const QVector<CdTrackTime>& times);

// ALB:XCCD and ALB:TotalTime of `album` from the track positions of the read (left alone when there
// are none).
void recomputeDiscNumber(AlbumRecord& album, const TrackPositions& positions);

// The songs of the album, on every side.
StoreError countAlbumSongs(Store& store, qint64 albumId, qint64& out);

} // namespace tunarium
