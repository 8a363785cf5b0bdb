// An album side's songs from a disc read.
#include "albums/album_disc_songs.h"

#include "albums/cd_times.h"
#include "data/key_walk.h"
#include "data/unlinked_write.h"

namespace tunarium {

namespace {

// The song of the album's track on `side`; on side 0 or 1 the track kept on the other of the two
// counts (one single-disc side, written either way).
StoreError findTrack(Store& store, qint64 albumId, qint64 side, qint64 track, SongRecord& song) {
    StoreError found = store.get(tun::kKeyAlbumId, {albumId, side, track}, song);
    if (found.code == code::kRecordNotFound && (side == 0 || side == kSingleDiscSide)) {
        found = store.get(tun::kKeyAlbumId, {albumId, side == 0 ? kSingleDiscSide : 0, track}, song);
    }
    return found;
}

} // namespace

StoreError firstAlbumSide(Store& store, qint64 albumId, qint64& side) {
    side = kSingleDiscSide;
    QVector<Row> first;
    if (StoreError e = store.read(TableId::Tunarium, tun::kKeyAlbumId, KeyPosition{{albumId}}, Direction::Forward,
                                  true, 1, first, WalkLimits(1, {albumId}))) {
        return e;
    }
    if (!first.isEmpty()) {
        side = first.first().number(tun::kSide);
    }
    return {};
}

StoreError writeDiscSongs(Store& store, const AlbumRecord& album, qint64 side,
                          const QVector<CdTrackTime>& times) {
    if (album.albumId == 0) {
        return {};
    }
    Transaction transaction(store);
    if (!transaction.ok()) {
        return transaction.beginError();
    }
    for (const CdTrackTime& track : times) {
        SongRecord song;
        const StoreError found = findTrack(store, album.albumId, side, qint64(track.track), song);
        if (found.ok()) {
            song.time = track.length;
            if (StoreError e = rewriteUnlinked(store, song)) {
                return e;
            }
            continue;
        }
        if (found.code != code::kRecordNotFound) {
            return found;
        }
        song = SongRecord{};
        if (StoreError e = store.nextNumber(TableId::Tunarium, song.id)) {
            return e;
        }
        song.albumId = album.albumId;
        song.trackNumber = track.track;
        song.side = side;
        song.artist = album.artist;
        song.album = album.album;
        song.media = album.media;
        song.fileNumber = album.fileNumber;
        song.releaseDate = album.releaseDate;
        song.categoryId = album.categoryId;
        song.title = QStringLiteral("Track ") + QString::number(track.track);
        song.time = track.length;
        if (StoreError e = store.insert(song)) {
            return e;
        }
    }
    return transaction.commit();
}

void recomputeDiscNumber(AlbumRecord& album, const TrackPositions& positions) {
    if (positions.isEmpty()) {
        return;
    }
    album.xccd = computeCDDBNumber(positions, album.totalTime);
}

StoreError countAlbumSongs(Store& store, qint64 albumId, qint64& out) {
    out = 0;
    KeyWalk walk(store, TableId::Tunarium, tun::kKeyAlbumId, {{albumId}});
    return walk.forEach([&out](const Row&) {
        ++out;
        return true;
    });
}

} // namespace tunarium
