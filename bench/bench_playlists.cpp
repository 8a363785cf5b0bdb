// The playlists benchmark, on a copy of a collection with a tenth of its songs deleted first (so
// that the generator draws over gaps): generating 100 songs without weighting and in a category
// of about 1 % of the songs, reading the entries page of a 500-entry playlist, moving its entry
// 500 to the top, and charting it; each beside the same work in raw SQLite where there is one.
#include "bench_commands.h"
#include "bench_copy.h"
#include "bench_report.h"
#include "bench_support.h"

#include "catalogue/list_engine.h"
#include "data/database.h"
#include "playlists/playlist_chart.h"
#include "playlists/playlist_entries.h"
#include "playlists/playlist_forms.h"
#include "playlists/playlist_generator.h"

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

namespace tunarium::bench {

namespace {

constexpr int kRuns = 21;
constexpr int kEntries = 500;
constexpr int kLines = 30;

// A tenth of the songs deleted (every song whose number falls on a fixed pseudo-random pattern,
// so that every run deletes the same ones), and a category of its own given to about 1 % of the
// rest.
StoreError prepareCopy(Store& store, qint64& deleted, CategoryRecord& category) {
    const qint64 before = store.count(TableId::Tunarium);
    Transaction tx(store);
    StoreError e =
        store.exec(QStringLiteral("DELETE FROM \"Tunarium\" WHERE ((\"_rec\" * 2654435761) % 1000) < 100"));
    if (!e) {
        e = store.nextNumber(TableId::Categories, category.categoryId);
    }
    if (!e) {
        category.category = QStringLiteral("Bench one percent");
        e = store.insert(category);
    }
    if (!e) {
        e = store.exec(
            QStringLiteral("UPDATE \"Tunarium\" SET \"CategoryID\" = %1 WHERE ((\"_rec\" * 40503) % 100) = 7")
                .arg(category.categoryId));
    }
    if (!e) {
        e = tx.commit();
    }
    deleted = before - store.count(TableId::Tunarium);
    return e;
}

// Raw SQLite: a hundred songs fetched by random record numbers in use, a playlist record and its
// hundred entries written in one transaction.
double rawGenerateMs(sqlite3* raw, qint64 first, qint64 last, qint64 playlistId) {
    QRandomGenerator rng(7);
    sqlite3_stmt* fetch = nullptr;
    sqlite3_stmt* add = nullptr;
    sqlite3_prepare_v2(raw, "SELECT * FROM \"Tunarium\" WHERE rowid = ?", -1, &fetch, nullptr);
    sqlite3_prepare_v2(raw,
                       "INSERT INTO \"PlaylistDetails\" (\"_rec\", \"PlaylistID\", \"PlaylistSeq\", \"ID\") "
                       "VALUES ((SELECT IFNULL(MAX(rowid), 0) + 1 FROM \"PlaylistDetails\"), ?, ?, ?)",
                       -1, &add, nullptr);
    QElapsedTimer timer;
    timer.start();
    sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    const QByteArray master = QStringLiteral("INSERT INTO \"PlaylistMaster\" (\"_rec\", \"PlaylistID\", "
                                             "\"PlaylistDescription\", \"PlaylistDescriptionKey\") VALUES "
                                             "(%1, %1, 'Raw %1', 'raw %1')")
                                  .arg(playlistId)
                                  .toUtf8();
    sqlite3_exec(raw, master.constData(), nullptr, nullptr, nullptr);
    for (int seq = 1; seq <= 100;) {
        sqlite3_bind_int64(fetch, 1, first + static_cast<qint64>(rng.bounded(quint64(last - first + 1))));
        if (sqlite3_step(fetch) == SQLITE_ROW) {
            // Past the record number and version, the song's fields.
            const qint64 id = sqlite3_column_int64(fetch, tun::kId + 2);
            sqlite3_bind_int64(add, 1, playlistId);
            sqlite3_bind_int64(add, 2, seq++);
            sqlite3_bind_int64(add, 3, id);
            sqlite3_step(add);
            sqlite3_reset(add);
        }
        sqlite3_reset(fetch);
    }
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    const double ms = elapsedMs(timer);
    sqlite3_finalize(fetch);
    sqlite3_finalize(add);
    return ms;
}

// Raw SQLite: the same page of entries by keyset read, and the song of each by its number. The
// keys are partial indexes (a record with blank key fields is not in them): each query states the
// index's condition so that SQLite may use it.
double rawPageMs(sqlite3* raw, qint64 playlistId) {
    sqlite3_stmt* page = nullptr;
    sqlite3_stmt* song = nullptr;
    sqlite3_prepare_v2(
        raw,
        "SELECT * FROM \"PlaylistDetails\" INDEXED BY \"PLA:KeyPlaylistID\" WHERE "
        "(\"PlaylistID\", \"PlaylistSeq\") >= (?, 0) AND \"PlaylistID\" <= ? AND \"PlaylistID\" <> 0 "
        "ORDER BY \"PlaylistID\", \"PlaylistSeq\" LIMIT ?",
        -1, &page, nullptr);
    sqlite3_prepare_v2(raw, "SELECT * FROM \"Tunarium\" WHERE \"ID\" = ? AND \"ID\" <> 0", -1, &song,
                       nullptr);
    if (!page || !song) {
        std::fprintf(stderr, "tunarium-bench: %s\n", sqlite3_errmsg(raw));
    }
    QVector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        sqlite3_bind_int64(page, 1, playlistId);
        sqlite3_bind_int64(page, 2, playlistId);
        sqlite3_bind_int64(page, 3, kLines);
        while (sqlite3_step(page) == SQLITE_ROW) {
            sqlite3_bind_int64(song, 1, sqlite3_column_int64(page, 4));
            sqlite3_step(song);
            sqlite3_reset(song);
        }
        sqlite3_reset(page);
        times << elapsedMs(timer);
    }
    sqlite3_finalize(page);
    sqlite3_finalize(song);
    return median(times);
}

// Raw SQLite: entry 500 to the top as the move routine does it, through a spare number: the entry
// out to 501, entries 499 to 1 one place down, the entry in at 1, one transaction.
double rawMoveMs(sqlite3* raw, qint64 playlistId) {
    sqlite3_stmt* put = nullptr;
    sqlite3_prepare_v2(raw,
                       "UPDATE \"PlaylistDetails\" SET \"PlaylistSeq\" = ?, \"_version\" = \"_version\" + 1 "
                       "WHERE \"PlaylistID\" = ? AND \"PlaylistSeq\" = ? AND \"PlaylistID\" <> 0",
                       -1, &put, nullptr);
    const auto move = [&](qint64 from, qint64 to) {
        sqlite3_bind_int64(put, 1, to);
        sqlite3_bind_int64(put, 2, playlistId);
        sqlite3_bind_int64(put, 3, from);
        sqlite3_step(put);
        sqlite3_reset(put);
    };
    QElapsedTimer timer;
    timer.start();
    sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    move(kEntries, kEntries + 1);
    for (qint64 seq = kEntries - 1; seq >= 1; --seq) {
        move(seq, seq + 1);
    }
    move(kEntries + 1, 1);
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    const double ms = elapsedMs(timer);
    sqlite3_finalize(put);
    return ms;
}

} // namespace

// The playlist benchmarks move and chart: 500 entries of songs spread over the collection.
StoreError makePlaylist(Database& db, qint64& playlistId, int entries) {
    SeededRandom random(42);
    PlaylistGenerator generator(db, random);
    // The generator itself makes the playlist's record; its 500 entries are added in one go.
    GeneratorChoice none;
    const GeneratedPlaylist made = generator.generate(none);
    playlistId = made.playlistId;
    if (playlistId == 0) {
        return StoreError::of(code::kFileNotFound);
    }
    SongDrawer drawer(db.store(), random);
    if (StoreError e = drawer.prepare()) {
        return e;
    }
    QVector<qint64> songs;
    for (int i = 0; i < entries; ++i) {
        SongRecord song;
        if (StoreError e = drawer.draw(DrawRange::All, song)) {
            return e;
        }
        songs << song.id;
    }
    return PlaylistEntries(db, playlistId).addSongs(songs) ? StoreError{}
                                                           : StoreError::of(code::kDuplicateKey);
}


int playlistsBench(const QString& dirPath) {
    WorkingCopy work;
    if (const QString e = work.open(dirPath); !e.isEmpty()) {
        return fail(e);
    }
    Database& db = *work.db;
    const RecordingPrompter& prompter = work.prompter;
    qint64 deleted = 0;
    CategoryRecord onePercent;
    if (StoreError e = prepareCopy(db.store(), deleted, onePercent)) {
        return fail(e.describe());
    }
    figure("playlists_songs", static_cast<double>(db.store().count(TableId::Tunarium)), "songs");
    figure("playlists_songs_deleted", static_cast<double>(deleted), "songs");

    // Generating: a new playlist of 100 songs each run.
    QVector<double> plain;
    QVector<double> category;
    int plainEntries = 0;
    int categoryEntries = 0;
    for (int run = 0; run < kRuns; ++run) {
        SeededRandom random(static_cast<quint32>(run + 1));
        PlaylistGenerator generator(db, random);
        GeneratorChoice choice;
        choice.size = 100;
        QElapsedTimer timer;
        timer.start();
        plainEntries = generator.generate(choice).entries;
        plain << elapsedMs(timer);
        choice.category = onePercent.category;
        timer.restart();
        categoryEntries = generator.generate(choice).entries;
        category << elapsedMs(timer);
    }
    if (plainEntries != 100 || !prompter.messages.isEmpty()) {
        return fail(QStringLiteral("the generator made %1 entries of 100").arg(plainEntries));
    }

    qint64 playlistId = 0;
    if (StoreError e = makePlaylist(db, playlistId, kEntries)) {
        return fail(e.describe());
    }

    // The first page of the playlist's entries, as the playlist form reads it.
    NullHost host;
    ListEngine entries(db, entriesListDefinition(), host);
    entries.open();
    entries.setLineCount(kLines);
    entries.setRangeValue(1, {playlistId});
    entries.refresh();
    QVector<double> pages;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        entries.scroll(ScrollAction::Top);
        pages << elapsedMs(timer);
    }
    if (entries.rowCount() != kLines) {
        return fail(QStringLiteral("the entries page holds %1 rows").arg(entries.rowCount()));
    }
    entries.close();

    // Entry 500 to the top, and back to the bottom for the next run.
    PlaylistEntries playlist(db, playlistId);
    QVector<double> moves;
    for (int run = 0; run < 5; ++run) {
        PlaylistEntryRecord last;
        db.store().get(pla::kKeyPlaylistId, {playlistId, qint64(kEntries)}, last);
        PlaylistEntryRecord moved;
        QElapsedTimer timer;
        timer.start();
        const bool ok = playlist.move(last, EntryMove::Top, moved);
        moves << elapsedMs(timer);
        if (!ok || moved.playlistSeq != 1 || !playlist.move(moved, EntryMove::Bottom, last)) {
            return fail(QStringLiteral("the move of entry %1 failed").arg(kEntries));
        }
    }

    QVector<double> charts;
    for (int run = 0; run < 5; ++run) {
        ChartProcess chart(db, playlistId);
        QElapsedTimer timer;
        timer.start();
        const bool done = runToEnd(chart);
        charts << elapsedMs(timer);
        if (!done || chart.entriesCharted() != kEntries) {
            return fail(QStringLiteral("the chart did not reach every entry"));
        }
    }

    // The same work in raw SQLite on the same copy.
    qint64 first = 0;
    qint64 last = 0;
    db.store().recordRange(TableId::Tunarium, first, last);
    const qint64 rawPlaylist = playlistId + 1000;
    db.closeAll();
    db.store().close();
    sqlite3* raw = nullptr;
    sqlite3_open(work.dir.filePath(kCollectionFileName).toUtf8().constData(), &raw);
    sqlite3_exec(raw, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    QVector<double> rawGenerate;
    for (int run = 0; run < kRuns; ++run) {
        rawGenerate << rawGenerateMs(raw, first, last, rawPlaylist + run);
    }
    const double rawPage = rawPageMs(raw, playlistId);
    QVector<double> rawMoves;
    for (int run = 0; run < 5; ++run) {
        rawMoves << rawMoveMs(raw, playlistId);
    }
    sqlite3_close(raw);

    figure("generate_100_songs", median(plain), "ms");
    figure("raw_generate_100_songs", median(rawGenerate), "ms");
    ratio("generate_100_songs", median(plain), median(rawGenerate));
    figure("generate_100_songs_category_1pct", median(category), "ms");
    figure("generate_category_1pct_entries", categoryEntries, "entries");
    figure("entries_page_500", median(pages), "ms");
    figure("raw_entries_page_500", rawPage, "ms");
    ratio("entries_page_500", median(pages), rawPage);
    figure("move_entry_500_to_top", median(moves), "ms");
    figure("raw_move_entry_500_to_top", median(rawMoves), "ms");
    ratio("move_entry", median(moves), median(rawMoves));
    figure("chart_500_entries", median(charts), "ms");
    return 0;
}

} // namespace tunarium::bench
