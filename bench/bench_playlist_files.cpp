// The playlist files benchmark, on a copy of a collection: a playlist of 1,000 songs spread over
// the collection, every other one given a file, written as M3U8 (its songs read, the text made,
// the file written through the program's output file) beside raw SQLite reading the same entries
// and songs and the text written by plain stdio; then read back into a new playlist.
#include "bench_commands.h"
#include "bench_report.h"
#include "bench_support.h"

#include "data/app_paths.h"
#include "data/key_walk.h"
#include "data/table_lease.h"
#include "interchange/list_songs.h"
#include "interchange/m3u_playlist.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <cstdio>

#include <unistd.h>

namespace tunarium::bench {

namespace {

constexpr int kRuns = 21;
constexpr int kEntries = 1000;

double elapsed(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// 1,000 songs taken at even steps over the record numbers; every other one given a file.
StoreError makePlaylist(Database& db, qint64& playlistId) {
    Store& store = db.store();
    const qint64 songs = store.count(TableId::Tunarium);
    const qint64 step = std::max<qint64>(1, songs / kEntries);
    QVector<qint64> ids;
    qint64 n = 0;
    KeyWalk walk(store, TableId::Tunarium, tun::kKeyId);
    QVector<SongRecord> withFile;
    StoreError e = walk.forEach([&](const Row& row) {
        if (n++ % step == 0 && ids.size() < kEntries) {
            SongRecord song = fromRow<SongRecord>(row);
            ids << song.id;
            if (ids.size() % 2 == 0) {
                song.filePath = QStringLiteral("/music/%1/%2 - %3.mp3").arg(song.artist.trimmed(), song.artist.trimmed(),
                                                                             song.title.trimmed());
                withFile << song;
            }
        }
        return ids.size() < kEntries;
    });
    Transaction tx(store);
    for (SongRecord& song : withFile) {
        if (!e && db.update(song, false) != kRoutineDone) {
            e = StoreError::of(code::kChangedByOther);
        }
    }
    PlaylistRecord made;
    if (!e) {
        e = addPlaylistOf(store, QStringLiteral("Bench 1000"), ids, made);
    }
    if (!e) {
        e = tx.commit();
    }
    playlistId = made.playlistId;
    return e;
}

// The songs' key by number leaves out the songs numbered 0: the join says so, or SQLite cannot use it.
double rawExportMs(sqlite3* raw, qint64 playlistId, const QString& path) {
    sqlite3_stmt* entries = nullptr;
    sqlite3_prepare_v2(raw,
                       "SELECT t.\"Artist\", t.\"Title\", t.\"Time\", t.\"FilePath\" FROM \"PlaylistDetails\" d "
                       "JOIN \"Tunarium\" t ON t.\"ID\" = d.\"ID\" AND t.\"ID\" <> 0 WHERE d.\"PlaylistID\" = ? "
                       "ORDER BY d.\"PlaylistSeq\"",
                       -1, &entries, nullptr);
    QElapsedTimer timer;
    timer.start();
    std::FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    std::fputs("#EXTM3U\n", out);
    sqlite3_bind_int64(entries, 1, playlistId);
    while (sqlite3_step(entries) == SQLITE_ROW) {
        const auto text = [&](int column) { return reinterpret_cast<const char*>(sqlite3_column_text(entries, column)); };
        std::fprintf(out, "#EXTINF:%lld,%s - %s\n", static_cast<long long>(sqlite3_column_int64(entries, 2) / 100),
                     text(0), text(1));
        if (const char* file = text(3); file && *file) {
            std::fprintf(out, "%s\n", file);
        }
    }
    std::fflush(out);
    ::fsync(fileno(out));
    std::fclose(out);
    const double ms = elapsed(timer);
    sqlite3_finalize(entries);
    return ms;
}

} // namespace

int playlistFilesBench(const QString& dirPath) {
    WorkingCopy work;
    if (const QString e = work.open(dirPath); !e.isEmpty()) {
        return fail(e);
    }
    Database& db = *work.db;
    qint64 playlistId = 0;
    if (StoreError e = makePlaylist(db, playlistId)) {
        return fail(e.describe());
    }
    const QString file = work.dir.filePath(QStringLiteral("bench.m3u8"));
    QVector<double> exports;
    qsizetype written = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        QVector<SongRecord> songs;
        if (StoreError e = playlistSongs(db.store(), playlistId, songs)) {
            return fail(e.describe());
        }
        if (const QString problem = writeM3u8(file, songs, false, db.collectionDir()); !problem.isEmpty()) {
            return fail(problem);
        }
        exports << elapsed(timer);
        written = songs.size();
    }
    if (written != kEntries) {
        return fail(QStringLiteral("the playlist holds %1 songs of %2").arg(written).arg(kEntries));
    }
    QVector<double> imports;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        const PlaylistImport made = importPlaylistFile(db, file);
        imports << elapsed(timer);
        if (made.entries != kEntries) {
            return fail(QStringLiteral("the import matched %1 entries of %2").arg(made.entries).arg(kEntries));
        }
    }

    db.closeAll();
    db.store().close();
    sqlite3* raw = nullptr;
    sqlite3_open(work.dir.filePath(kCollectionFileName).toUtf8().constData(), &raw);
    QVector<double> rawExports;
    for (int run = 0; run < kRuns; ++run) {
        rawExports << rawExportMs(raw, playlistId, work.dir.filePath(QStringLiteral("raw.m3u8")));
    }
    sqlite3_close(raw);

    figure("m3u8_export_1000_entries", median(exports), "ms");
    figure("raw_m3u8_export_1000_entries", median(rawExports), "ms");
    ratio("m3u8_export_1000_entries", median(exports), median(rawExports));
    figure("m3u8_import_1000_entries", median(imports), "ms");
    return 0;
}

} // namespace tunarium::bench
