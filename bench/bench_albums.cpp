// The albums benchmark, on a copy of a collection: an album of 30 songs on one side is made in the
// copy (songs of their own file number, given to the album by "Re-assign Songs"), then the album
// form's songs page is read, track 30 is moved to the top (beside raw SQLite doing the same
// updates), the 30 songs are re-assigned by their file number, and track 1 is deleted with the
// tracks after it renumbered.
#include "bench_commands.h"
#include "bench_copy.h"
#include "bench_report.h"
#include "bench_support.h"

#include "albums/album_songs.h"
#include "catalogue/list_engine.h"
#include "data/database.h"

#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

namespace tunarium::bench {

namespace {

constexpr int kRuns = 11;
constexpr int kTracks = 30;
constexpr char kFileNumber[] = "ZZ-BENCH-ALBUM-30";

// The album and its 30 songs (not yet given to it), in one transaction.
StoreError makeAlbum(Store& store, AlbumRecord& album) {
    Transaction tx(store);
    StoreError e = tx.ok() ? store.nextNumber(TableId::Album, album.albumId) : tx.beginError();
    album.artist = QStringLiteral("Bench Artist");
    album.album = QStringLiteral("Bench album of thirty tracks");
    album.media = QStringLiteral("CD");
    album.fileNumber = QString::fromLatin1(kFileNumber);
    if (!e) {
        e = store.insert(album);
    }
    for (int t = 1; t <= kTracks && !e; ++t) {
        SongRecord song;
        e = store.nextNumber(TableId::Tunarium, song.id);
        song.artist = album.artist;
        song.album = album.album;
        song.title = QStringLiteral("Bench track %1").arg(t);
        song.media = album.media;
        song.fileNumber = album.fileNumber;
        song.side = 1;
        song.trackNumber = t;
        if (!e) {
            e = store.insert(song);
        }
    }
    return e ? e : tx.commit();
}

StoreError detachSongs(Store& store) {
    return store.exec(QStringLiteral("UPDATE \"Tunarium\" SET \"AlbumID\" = 0 WHERE \"FileNumber\" = '%1'")
                          .arg(QString::fromLatin1(kFileNumber)));
}

StoreError songAt(Store& store, qint64 albumId, qint64 track, SongRecord& out) {
    return store.get(tun::kKeyAlbumId, {albumId, qint64(1), track}, out);
}

// Raw SQLite: track 30 to the top as the move routine does it, through a spare number: the song out
// to 31, tracks 29 to 1 one place down, the song in at 1, one transaction. `recs` holds the songs'
// record numbers by track, 1 to 30.
double rawMoveMs(sqlite3* raw, const QVector<qint64>& recs) {
    sqlite3_stmt* put = nullptr;
    sqlite3_prepare_v2(raw,
                       "UPDATE \"Tunarium\" SET \"TrackNumber\" = ?, \"_version\" = \"_version\" + 1 "
                       "WHERE rowid = ?",
                       -1, &put, nullptr);
    const auto move = [&](qint64 rec, qint64 to) {
        sqlite3_bind_int64(put, 1, to);
        sqlite3_bind_int64(put, 2, rec);
        sqlite3_step(put);
        sqlite3_reset(put);
    };
    QElapsedTimer timer;
    timer.start();
    sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    move(recs[kTracks - 1], kTracks + 1);
    for (int track = kTracks - 1; track >= 1; --track) {
        move(recs[track - 1], track + 1);
    }
    move(recs[kTracks - 1], 1);
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    const double ms = elapsedMs(timer);
    // Back as they were, for the next run.
    sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (int track = 1; track <= kTracks; ++track) {
        move(recs[track - 1], track);
    }
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(put);
    return ms;
}

} // namespace

int albumsBench(const QString& dirPath) {
    WorkingCopy work;
    if (const QString e = work.open(dirPath); !e.isEmpty()) {
        return fail(e);
    }
    Database& db = *work.db;
    const RecordingPrompter& prompter = work.prompter;
    Store& store = db.store();
    figure("albums_songs", static_cast<double>(store.count(TableId::Tunarium)), "songs");
    AlbumRecord album;
    if (StoreError e = makeAlbum(store, album)) {
        return fail(e.describe());
    }
    AlbumSongs songs(db, album.albumId);

    // Re-assigning the 30 songs by their file number, from songs of no album each run.
    QVector<double> reassigns;
    for (int run = 0; run < kRuns; ++run) {
        if (StoreError e = detachSongs(store)) {
            return fail(e.describe());
        }
        QElapsedTimer timer;
        timer.start();
        const ReassignResult result = songs.reassign(album);
        reassigns << elapsedMs(timer);
        if (result.assigned != kTracks) {
            return fail(QStringLiteral("re-assign gave the album %1 songs").arg(result.assigned));
        }
    }

    // The songs page of the album form.
    NullHost host;
    ListEngine list(db, albumSongsListDefinition(QStringLiteral("@d17")), host);
    list.open();
    list.setLineCount(kTracks);
    list.setRangeValue(1, {album.albumId});
    list.refresh();
    QVector<double> pages;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        list.scroll(ScrollAction::Top);
        pages << elapsedMs(timer);
    }
    if (list.rowCount() != kTracks) {
        return fail(QStringLiteral("the songs page holds %1 rows").arg(list.rowCount()));
    }
    list.close();

    // Track 30 to the top, and back to the bottom for the next run.
    QVector<double> moves;
    for (int run = 0; run < kRuns; ++run) {
        SongRecord last;
        SongRecord moved;
        if (StoreError e = songAt(store, album.albumId, kTracks, last)) {
            return fail(e.describe());
        }
        QElapsedTimer timer;
        timer.start();
        const bool ok = songs.move(last, MoveDirection::ToTop, moved);
        moves << elapsedMs(timer);
        if (!ok || moved.trackNumber != 1 || !songs.move(moved, MoveDirection::ToBottom, last)) {
            return fail(QStringLiteral("the move of track %1 failed").arg(kTracks));
        }
    }
    QVector<qint64> recs;
    for (int track = 1; track <= kTracks; ++track) {
        SongRecord s;
        if (StoreError e = songAt(store, album.albumId, track, s)) {
            return fail(e.describe());
        }
        recs << s.meta.rec;
    }

    // Track 1 deleted, the others renumbered; a new track 30 is put back first each run (untimed).
    QVector<double> deletes;
    for (int run = 0; run < kRuns; ++run) {
        SongRecord first;
        if (StoreError e = songAt(store, album.albumId, 1, first)) {
            return fail(e.describe());
        }
        QElapsedTimer timer;
        timer.start();
        const bool ok = songs.removeSong(first, false);
        deletes << elapsedMs(timer);
        SongRecord again = first;
        again.trackNumber = kTracks;
        again.meta = {};
        if (!ok || store.nextNumber(TableId::Tunarium, again.id) || store.insert(again)) {
            return fail(QStringLiteral("the delete of track 1 failed"));
        }
    }

    db.closeAll();
    store.close();
    sqlite3* raw = nullptr;
    sqlite3_open(work.dir.filePath(kCollectionFileName).toUtf8().constData(), &raw);
    sqlite3_exec(raw, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    QVector<double> rawMoves;
    for (int run = 0; run < kRuns; ++run) {
        rawMoves << rawMoveMs(raw, recs);
    }
    sqlite3_close(raw);

    figure("album_songs_page_30", median(pages), "ms");
    figure("move_track_30_to_top", median(moves), "ms");
    figure("raw_move_track_30_to_top", median(rawMoves), "ms");
    ratio("move_to_top", median(moves), median(rawMoves));
    figure("reassign_30_songs", median(reassigns), "ms");
    figure("delete_track_1_of_30_renumbered", median(deletes), "ms");
    return prompter.messages.isEmpty() ? 0 : fail(prompter.messages.last().text);
}

} // namespace tunarium::bench
