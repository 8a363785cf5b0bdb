// Argument parsing and the generate and open benchmarks.
#include "bench_commands.h"
#include "crash_harness.h"
#include "data/store_sqlite.h"

#include "bench_browse.h"
#include "bench_explore.h"
#include "bench_report.h"
#include "collection_generator.h"

#include <QDir>
#include <QHash>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <QRandomGenerator>
#include <algorithm>

#include <cstdio>

namespace tunarium::bench {

namespace {

const char* const kUsage = "usage: tunarium-bench generate --dir DIR --songs N\n"
                           "       tunarium-bench open --dir DIR\n"
                           "       tunarium-bench integrity --dir DIR\n"
                           "       tunarium-bench browse --dir DIR\n"
                           "       tunarium-bench explore --dir DIR [--work DIR]\n"
                           "       tunarium-bench search --dir DIR [--work DIR] [--only walk|saved]\n"
                           "       tunarium-bench export --dir DIR\n"
                           "       tunarium-bench import --dir DIR\n"
                           "       tunarium-bench playlists --dir DIR\n"
                           "       tunarium-bench albums --dir DIR\n"
                           "       tunarium-bench cd-identify\n"
                           "       tunarium-bench wizard --dir DIR\n"
                           "       tunarium-bench housekeeping --dir DIR\n"
                           "       tunarium-bench crash --dir DIR [--kills N] [--seed N] [--songs N]\n"
                           "       tunarium-bench reliability --dir DIR [--kills N]\n"
                           "       tunarium-bench report-engine --dir DIR [--songs N]\n"
                           "       tunarium-bench reports --dir DIR\n"
                           "       tunarium-bench labels --dir DIR\n"
                           "       tunarium-bench stats --dir DIR\n"
                           "       tunarium-bench duplicates --dir DIR\n"
                           "       tunarium-bench scan --dir DIR [--files N]\n"
                           "       tunarium-bench server --dir DIR --server URL [--only PART,...]\n";

int usage(const char* problem) {
    std::fprintf(stderr, "tunarium-bench: %s\n%s", problem, kUsage);
    return 2;
}

int fail(const QString& message) {
    std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(message));
    return 1;
}

// The same songs inserted by a plain prepared statement into the same tables: what SQLite itself
// costs for the work.
double rawInsertMs(const GeneratorOptions& options, qint64 songs, QString& error) {
    QTemporaryDir dir;
    SqliteStore schema;
    if (StoreError e = schema.open(dir.path()); e || (e = schema.openTable(TableId::Tunarium))) {
        error = e.describe();
        return -1;
    }
    schema.close();
    sqlite3* db = nullptr;
    sqlite3_open((dir.path() + "/tunarium.db").toUtf8().constData(), &db);
    sqlite3_exec(db, "PRAGMA cache_size=-1048576", nullptr, nullptr, nullptr);
    const TableDef& t = tableDef(TableId::Tunarium);
    const QStringList columns = sql::storedColumns(t);
    QStringList quotedCols{"rowid"};
    QStringList marks{"?"};
    for (const QString& c : columns) {
        quotedCols << sql::quoted(c);
        marks << "?";
    }
    const QByteArray insert =
        ("INSERT INTO \"Tunarium\" (" + quotedCols.join(",") + ") VALUES (" + marks.join(",") + ")").toUtf8();
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, insert.constData(), -1, &stmt, nullptr);
    SongFactory factory(options);
    std::optional<AlbumRecord> album;
    QVector<Row> rows;
    rows.reserve(songs);
    for (qint64 i = 0; i < songs; ++i) {
        rows << toRow(factory.next(album));
    }
    QElapsedTimer timer;
    timer.start();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (qint64 i = 0; i < songs; ++i) {
        const Row& row = rows[i];
        int p = 1;
        sqlite3_bind_int64(stmt, p++, i + 1);
        sqlite3_bind_int64(stmt, p++, i + 1);
        sqlite3_bind_int64(stmt, p++, 0);
        for (int f = 0; f < t.fieldCount(); ++f) {
            if (t.field(f).isText()) {
                const QByteArray v = row.text(f).toUtf8();
                sqlite3_bind_text(stmt, p++, v.constData(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(stmt, p++, row.number(f));
            }
        }
        for (int f = 0; f < t.fieldCount(); ++f) {
            if (sql::hasFoldedColumn(t, f)) {
                const QByteArray v = row.text(f).toLower().toUtf8();
                sqlite3_bind_text(stmt, p++, v.constData(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
            }
        }
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double ms = elapsedMs(timer);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return ms;
}

double storeInsertMs(const GeneratorOptions& options, qint64 songs, QString& error) {
    QTemporaryDir dir;
    SqliteStore store;
    if (StoreError e = store.open(dir.path()); e || (e = store.openTable(TableId::Tunarium))) {
        error = e.describe();
        return -1;
    }
    store.exec(QStringLiteral("PRAGMA cache_size=-1048576"));
    SongFactory factory(options);
    std::optional<AlbumRecord> album;
    QVector<SongRecord> records;
    records.reserve(songs);
    for (qint64 i = 0; i < songs; ++i) {
        records << factory.next(album);
    }
    QElapsedTimer timer;
    timer.start();
    Transaction tx(store);
    for (SongRecord& s : records) {
        if (StoreError e = store.insert(s)) {
            error = e.describe();
            return -1;
        }
    }
    tx.commit();
    return elapsedMs(timer);
}

int generate(const QString& dirPath, qint64 songs) {
    if (QDir(dirPath).exists(QString::fromLatin1(kCollectionFileName))) {
        return fail(QStringLiteral("%1 already holds a collection").arg(dirPath));
    }
    SqliteStore store;
    if (StoreError e = store.open(dirPath)) {
        return fail(e.describe());
    }
    store.exec(QStringLiteral("PRAGMA cache_size=-1048576"));
    GeneratorOptions options;
    options.songs = songs;
    GeneratorResult result;
    QElapsedTimer timer;
    timer.start();
    StoreError e = generateCollection(store, options, result, [&](qint64 done) {
        std::fprintf(stderr, "%lld songs, %.1f s\n", static_cast<long long>(done), elapsedMs(timer) / 1000);
    });
    if (e) {
        return fail(e.describe());
    }
    const double totalMs = elapsedMs(timer);
    store.close();
    figure("generate_songs", static_cast<double>(result.songs), "songs");
    figure("generate_albums", static_cast<double>(result.albums), "albums");
    figure("generate_playlist_entries", static_cast<double>(result.entries), "entries");
    figure("generate_total", totalMs / 1000, "s");

    // Like for like on a sample: the store's insert against a bare prepared INSERT.
    const qint64 sample = std::min<qint64>(songs, 100000);
    QString error;
    const double ours = storeInsertMs(options, sample, error);
    const double raw = rawInsertMs(options, sample, error);
    if (ours < 0 || raw < 0) {
        return fail(error);
    }
    figure("insert_songs_store", sample / (ours / 1000), "songs/s");
    figure("insert_songs_raw_sqlite", sample / (raw / 1000), "songs/s");
    ratio("insert_songs_time", ours, raw);
    return 0;
}

int openBench(const QString& dirPath) {
    if (!QDir(dirPath).exists(QString::fromLatin1(kCollectionFileName))) {
        return fail(QStringLiteral("no collection in %1").arg(dirPath));
    }
    constexpr int kRuns = 7;
    QVector<double> ours;
    qint64 count = 0;
    int scans = 0;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        SqliteStore store;
        if (StoreError e = store.open(dirPath)) {
            return fail(e.describe());
        }
        for (const TableDef& t : allTables()) {
            if (StoreError e = store.openTable(t.id)) {
                return fail(e.describe());
            }
        }
        count = store.count(TableId::Tunarium);
        ours << elapsedMs(timer);
        if (i == 0) {
            for (const QString& line :
                 store.explainQueryPlan("SELECT n FROM \"_counts\" WHERE label = 'Tunarium'")) {
                scans += line.startsWith("SCAN") ? 1 : 0;
            }
        }
    }
    QVector<double> raw;
    QVector<double> rawScan;
    qint64 rawCount = 0;
    const QByteArray path = (dirPath + "/tunarium.db").toUtf8();
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT n FROM \"_counts\" WHERE label = 'Tunarium'", -1, &stmt, nullptr);
        sqlite3_step(stmt);
        rawCount = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        raw << elapsedMs(timer);
        if (i < 2) {
            timer.restart();
            sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM \"Tunarium\"", -1, &stmt, nullptr);
            sqlite3_step(stmt);
            sqlite3_finalize(stmt);
            rawScan << elapsedMs(timer);
        }
        sqlite3_close(db);
    }
    std::sort(ours.begin(), ours.end());
    std::sort(raw.begin(), raw.end());
    if (rawCount != count) {
        return fail(QStringLiteral("song counts differ: %1 against %2").arg(count).arg(rawCount));
    }
    figure("open_songs", static_cast<double>(count), "songs");
    figure("open_first_ms", ours.first() > 0 ? ours.first() : 0, "ms");
    figure("open_and_count_median", ours[kRuns / 2], "ms");
    figure("open_and_count_max", ours.last(), "ms");
    figure("raw_open_and_count_median", raw[kRuns / 2], "ms");
    figure("raw_count_star_scan", rawScan.last(), "ms");
    figure("open_count_table_scans", scans, "scans");
    ratio("open_and_count", ours[kRuns / 2], raw[kRuns / 2]);
    return 0;
}

} // namespace

int run(const QStringList& args) {
    if (args.isEmpty()) {
        return usage("no command given");
    }
    const QString command = args.first();
    if (command == "cd-identify") {
        return args.size() == 1 ? cdIdentifyBench() : usage("cd-identify takes no options");
    }
    QHash<QString, QString> options;
    for (int i = 1; i < args.size(); ++i) {
        if (!args[i].startsWith("--") || i + 1 >= args.size()) {
            return usage("options are --name value pairs");
        }
        options.insert(args[i].mid(2), args[i + 1]);
        ++i;
    }
    const QString dir = options.value("dir");
    if (dir.isEmpty()) {
        return usage("--dir is required");
    }
    if (command == "generate") {
        bool ok = false;
        const qint64 songs = options.value("songs").toLongLong(&ok);
        if (!ok || songs < 0) {
            return usage("--songs needs a number");
        }
        return generate(dir, songs);
    }
    if (command == "open") {
        return openBench(dir);
    }
    if (command == "integrity") {
        return integrityBench(dir);
    }
    if (command == "browse") {
        return browseBench(dir);
    }
    if (command == "explore") {
        return exploreBench(dir, options.value("work"));
    }
    if (command == "search") {
        return searchBench(dir, options.value("work"), options.value("only"));
    }
    if (command == "export") {
        return exportBench(dir);
    }
    if (command == "import") {
        return importBench(dir);
    }
    if (command == "playlists") {
        return playlistsBench(dir);
    }
    if (command == "playlist-files") {
        return playlistFilesBench(dir);
    }
    if (command == "albums") {
        return albumsBench(dir);
    }
    if (command == "wizard") {
        return wizardBench(dir);
    }
    if (command == "housekeeping") {
        return housekeepingBench(dir);
    }
    if (command == "crash" || command == "reliability") {
        bool ok = true;
        const int kills = options.contains("kills") ? options.value("kills").toInt(&ok) : 100;
        if (!ok || kills < 1) {
            return usage("--kills needs a number");
        }
        if (command == "reliability") {
            return reliabilityBench(dir, kills);
        }
        CrashOptions crash;
        crash.dir = dir;
        crash.kills = kills;
        crash.seed = options.contains("seed") ? options.value("seed").toUInt(&ok)
                                              : QRandomGenerator::system()->generate();
        crash.songs = options.contains("songs") ? options.value("songs").toLongLong(&ok) : crash.songs;
        if (!ok) {
            return usage("--seed and --songs need numbers");
        }
        QString error;
        const CrashFigures figures = runCrashHarness(crash, error);
        if (!error.isEmpty()) {
            return fail(error);
        }
        figure("crash_seed", crash.seed, "");
        return reportCrashFigures(figures, crash.kills) ? 0 : 1;
    }
    if (command == "crash-child") {
        return runCrashChild(dir, options.value("workload"), options.value("journal"),
                             options.value("seed").toUInt());
    }
    if (command == "report-engine") {
        bool ok = true;
        const qint64 songs = options.contains("songs") ? options.value("songs").toLongLong(&ok) : 100000;
        if (!ok || songs < 1) {
            return usage("--songs needs a number");
        }
        return reportEngineBench(dir, songs, openPreviewMs);
    }
    if (command == "labels") {
        return labelsBench(dir);
    }
    if (command == "stats") {
        return statsBench(dir);
    }
    if (command == "duplicates") {
        return duplicatesBench(dir);
    }
    if (command == "scan") {
        bool ok = true;
        const int files = options.contains("files") ? options.value("files").toInt(&ok) : 10000;
        if (!ok || files < 1) {
            return usage("--files needs a number");
        }
        return scanBench(dir, files);
    }
    if (command == "reports") {
        return reportsBench(dir, openPreviewMs);
    }
    if (command == "server") {
        if (options.value("server").isEmpty()) {
            return usage("--server is required");
        }
        const QString only = options.value("only");
        return serverBench(dir, options.value("server"),
                           only.isEmpty() ? QStringList() : only.split(u',', Qt::SkipEmptyParts));
    }
    return usage("unknown command");
}

} // namespace tunarium::bench
