// A completed disc read put into an album's songs on one side or disc: each track's song (found by
// album, side and track) gets the track's length, and a track without a song gets a new one,
// "Track " and its number, with the album's artist, name, media, file number, date and category.
// The whole side is written in one transaction. Then the album's CDDB disc number and total time
// follow the track positions.
#pragma once

#include "albums/cd_reader.h"
#include "data/store.h"

namespace tunarium {

// Writes `times` into the songs of `album` on `side`; nothing is written when it fails.
StoreError writeDiscSongs(Store& store, const AlbumRecord& album, qint64 side,
                          const QVector<CdTrackTime>& times);

// ALB:XCCD and ALB:TotalTime of `album` from the track positions of the read (left alone when there
// are none).
void recomputeDiscNumber(AlbumRecord& album, const TrackPositions& positions);

// Deletes every song of the album (every side), in key order, in one transaction; the songs
// deleted are counted in `deleted`.
StoreError deleteAlbumSongs(Store& store, qint64 albumId, int* deleted = nullptr);

} // namespace tunarium
