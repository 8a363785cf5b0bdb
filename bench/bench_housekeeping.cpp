// The housekeeping benchmark: the year-only conversion of the song dates and the album link test,
// stepped as the progress window steps them (a transaction a step), beside the same work in raw
// SQLite: one UPDATE of the same rows, and the same walk, lookups and updates. It works on copies
// of the collection, which it leaves unchanged.
#include "bench_commands.h"
#include "bench_copy.h"
#include "bench_report.h"

#include "albums/housekeeping.h"
#include "data/database.h"
#include "data/date_time.h"
#include "data/schema_sql.h"

#include <QHash>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace tunarium::bench {

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(message));
    return 1;
}

bool rawExec(sqlite3* db, const QString& sqlText) {
    return sqlite3_exec(db, sqlText.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// One tick of a process as the progress window's timer runs it, in its parts.
struct Tick {
    double totalMs = 0;
    StepCost parts;
    // The copy of the write-ahead log into the file made inside the step's commit (none while the
    // process defers it to ticks of its own).
    double commitCheckpointMs = 0;
    // What the progress window reads from the process to redraw itself.
    double windowMs = 0;
};

struct Stepped {
    double totalMs = 0;
    std::vector<Tick> ticks;
    bool completed = false;
};

// Runs a process one step at a time, as the progress window's timer does.
Stepped stepThrough(HousekeepingSteps& process, Store& store) {
    Stepped s;
    QElapsedTimer total;
    total.start();
    bool more = process.start();
    while (more) {
        QElapsedTimer tick;
        tick.start();
        more = process.step();
        Tick t;
        t.parts = process.lastStep();
        t.commitCheckpointMs = store.log().lastCommitCheckpointMs();
        QElapsedTimer window;
        window.start();
        // Kept, so that the texts are made.
        volatile const qsizetype shown =
            process.message().size() + process.statusText().size() + process.percent();
        (void)shown;
        t.windowMs = elapsedMs(window);
        t.totalMs = elapsedMs(tick);
        s.ticks.push_back(t);
    }
    s.totalMs = elapsedMs(total);
    s.completed = process.completed();
    return s;
}

// The longest tick, the 99th percentile, how many took over the 100 ms a tick may take (on a
// loaded machine one slow tick may be the machine's, many are the process's) and the parts of
// the longest.
void tickFigures(const std::string& name, const Stepped& s) {
    std::vector<double> sorted;
    for (const Tick& t : s.ticks) {
        sorted.push_back(t.totalMs);
    }
    std::sort(sorted.begin(), sorted.end());
    const auto longest = std::max_element(s.ticks.begin(), s.ticks.end(),
                                          [](const Tick& a, const Tick& b) { return a.totalMs < b.totalMs; });
    const auto over = std::count_if(sorted.begin(), sorted.end(), [](double ms) { return ms > 100; });
    const auto at = [&](const char* what) { return name + what; };
    figure(at("_ticks").c_str(), static_cast<double>(sorted.size()), "ticks");
    figure(at("_longest_tick").c_str(), sorted.empty() ? 0 : sorted.back(), "ms");
    figure(at("_tick_p99").c_str(), sorted.empty() ? 0 : sorted[sorted.size() * 99 / 100], "ms");
    figure(at("_ticks_over_100ms").c_str(), static_cast<double>(over), "ticks");
    const auto checkpoints =
        std::count_if(s.ticks.begin(), s.ticks.end(), [](const Tick& t) { return t.parts.checkpointOnly; });
    figure(at("_checkpoint_ticks").c_str(), static_cast<double>(checkpoints), "ticks");
    double longestCheckpoint = 0;
    for (const Tick& t : s.ticks) {
        longestCheckpoint = std::max(longestCheckpoint, t.parts.checkpointOnly ? t.totalMs : 0.0);
    }
    figure(at("_longest_checkpoint_tick").c_str(), longestCheckpoint, "ms");
    if (longest != s.ticks.end()) {
        const StepCost& p = longest->parts;
        figure(at("_longest_tick_work").c_str(), p.workMs, "ms");
        figure(at("_longest_tick_commit").c_str(), p.commitMs - longest->commitCheckpointMs, "ms");
        figure(at("_longest_tick_checkpoint").c_str(), p.checkpointMs + longest->commitCheckpointMs, "ms");
        figure(at("_longest_tick_window").c_str(), longest->windowMs, "ms");
        figure(at("_longest_tick_written").c_str(), static_cast<double>(p.written), "records");
    }
}

// Songs a transaction of the raw link test holds (what a step of ours held when it was measured
// first; smaller transactions would make the raw figure slower).
constexpr int kRawLinkStep = 2000;

// The raw link test: the songs in album order, each new album and artist looked up (then under
// "Various"), the link rewritten where it differs; a transaction every kRawLinkStep songs.
bool rawLinkTest(sqlite3* db, qint64& relinked) {
    const TableDef& songs = tableDef(TableId::Tunarium);
    const TableDef& albums = tableDef(TableId::Album);
    QStringList order = sql::keyColumns(songs, tun::kSongsByAlbum);
    for (QString& c : order) {
        c = sql::quoted(c);
    }
    const QString blank = sql::blankCondition(songs, tun::kSongsByAlbum);
    const QString walkSql =
        QStringLiteral("SELECT rowid, %1, %2, \"AlbumID\" FROM \"Tunarium\"%3 ORDER BY %4")
            .arg(sql::quoted(sql::foldedColumn(songs, tun::kAlbum)),
                 sql::quoted(sql::foldedColumn(songs, tun::kArtist)),
                 blank.isEmpty() ? QString() : QStringLiteral(" WHERE ") + blank,
                 order.join(QStringLiteral(", ")));
    QStringList albumKey = sql::keyColumns(albums, alb::kKeyAlbum);
    // The album key's own condition, so that the lookup goes through its (partial) index.
    const QString albumBlank = sql::blankCondition(albums, alb::kKeyAlbum);
    const QString lookupSql =
        QStringLiteral("SELECT \"AlbumID\" FROM \"Album\" WHERE %1%2 = ? AND %3 = ? LIMIT 1")
            .arg(albumBlank.isEmpty() ? QString() : albumBlank + QStringLiteral(" AND "),
                 sql::quoted(albumKey.value(0)), sql::quoted(albumKey.value(1)));
    sqlite3_stmt* walk = nullptr;
    sqlite3_stmt* lookup = nullptr;
    sqlite3_stmt* update = nullptr;
    bool ok = sqlite3_prepare_v2(db, walkSql.toUtf8().constData(), -1, &walk, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(db, lookupSql.toUtf8().constData(), -1, &lookup, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(db,
                                 "UPDATE \"Tunarium\" SET \"AlbumID\" = ?, \"_version\" = \"_version\" + 1 "
                                 "WHERE rowid = ?",
                                 -1, &update, nullptr) == SQLITE_OK;
    const QByteArray various = foldKey(QStringLiteral("Various")).toUtf8();
    QByteArray lastAlbum, lastArtist;
    qint64 lastId = 0;
    bool haveLast = false;
    int inStep = 0;
    ok = ok && rawExec(db, QStringLiteral("BEGIN IMMEDIATE"));
    while (ok && sqlite3_step(walk) == SQLITE_ROW) {
        const qint64 rec = sqlite3_column_int64(walk, 0);
        const QByteArray album(reinterpret_cast<const char*>(sqlite3_column_text(walk, 1)));
        const QByteArray artist(reinterpret_cast<const char*>(sqlite3_column_text(walk, 2)));
        qint64 albumId = sqlite3_column_int64(walk, 3);
        const qint64 stored = albumId;
        if (!haveLast || album != lastAlbum || artist != lastArtist) {
            lastId = 0;
            for (const QByteArray& who : {artist, various}) {
                sqlite3_bind_text(lookup, 1, album.constData(), static_cast<int>(album.size()),
                                  SQLITE_TRANSIENT);
                sqlite3_bind_text(lookup, 2, who.constData(), static_cast<int>(who.size()), SQLITE_TRANSIENT);
                const bool found = sqlite3_step(lookup) == SQLITE_ROW;
                if (found) {
                    lastId = sqlite3_column_int64(lookup, 0);
                }
                sqlite3_reset(lookup);
                if (found) {
                    break;
                }
            }
            haveLast = true;
            lastAlbum = album;
            lastArtist = artist;
            albumId = lastId;
        } else if (albumId == 0) {
            albumId = lastId;
        }
        if (albumId != stored) {
            sqlite3_bind_int64(update, 1, albumId);
            sqlite3_bind_int64(update, 2, rec);
            ok = sqlite3_step(update) == SQLITE_DONE;
            sqlite3_reset(update);
            ++relinked;
        }
        if (++inStep == kRawLinkStep) {
            inStep = 0;
            ok = ok && rawExec(db, QStringLiteral("COMMIT; BEGIN IMMEDIATE"));
        }
    }
    ok = ok && rawExec(db, QStringLiteral("COMMIT"));
    sqlite3_finalize(walk);
    sqlite3_finalize(lookup);
    sqlite3_finalize(update);
    return ok;
}

} // namespace

int housekeepingBench(const QString& dirPath) {
    QTemporaryDir work;
    QTemporaryDir rawWork;
    for (QTemporaryDir* copy : {&work, &rawWork}) {
        if (const QString e = copyCollection(dirPath, copy->path()); !e.isEmpty()) {
            return fail(e);
        }
    }
    // The link test has every song to link: the copies start with no song linked.
    const QString unlink = QStringLiteral("UPDATE \"Tunarium\" SET \"AlbumID\" = 0");
    RecordingPrompter prompter;
    Database db(prompter, work.path(), work.filePath("profile.ini"));
    if (!db.openTables({TableId::Tunarium, TableId::Album})) {
        return fail(QStringLiteral("cannot open the collection copy"));
    }
    if (StoreError e = db.store().exec(unlink)) {
        return fail(e.describe());
    }
    const qint64 songs = db.store().count(TableId::Tunarium);

    DateConversionProcess convert(db, TableId::Tunarium);
    const Stepped converted = stepThrough(convert, db.store());
    AlbumLinkTest linkTest(db);
    const Stepped linked = stepThrough(linkTest, db.store());
    db.closeTables({TableId::Tunarium, TableId::Album});
    if (!converted.completed || !linked.completed || convert.failed() || linkTest.failed()) {
        return fail(QStringLiteral("a housekeeping process did not complete"));
    }

    sqlite3* raw = nullptr;
    if (sqlite3_open(rawWork.filePath(kCollectionFileName).toUtf8().constData(), &raw) != SQLITE_OK ||
        !rawExec(raw, unlink)) {
        return fail(QStringLiteral("cannot open the raw copy"));
    }
    QElapsedTimer timer;
    timer.start();
    const bool rawConverted = rawExec(
        raw, QStringLiteral(
                 "UPDATE \"Tunarium\" SET \"ReleaseDate\" = CAST(strftime('%Y', julianday('1800-12-28') + "
                 "\"ReleaseDate\") AS INTEGER), \"_version\" = \"_version\" + 1 WHERE \"ReleaseDate\" > 3000 "
                 "AND \"ReleaseDate\" <= %1 AND CAST(strftime('%Y', julianday('1800-12-28') + "
                 "\"ReleaseDate\") AS INTEGER) < 3000")
                 .arg(kLastDayNumber));
    const double rawConvertMs = elapsedMs(timer);
    const qint64 rawConvertedRows = sqlite3_changes(raw);
    timer.restart();
    qint64 rawRelinked = 0;
    const bool rawLinked = rawLinkTest(raw, rawRelinked);
    const double rawLinkMs = elapsedMs(timer);
    sqlite3_close(raw);
    if (!rawConverted || !rawLinked) {
        return fail(QStringLiteral("the raw SQLite work failed"));
    }

    figure("housekeeping_songs", static_cast<double>(songs), "songs");
    figure("convert_dates_changed", static_cast<double>(convert.changed()), "songs");
    figure("raw_convert_dates_changed", static_cast<double>(rawConvertedRows), "songs");
    figure("convert_dates", converted.totalMs, "ms");
    figure("raw_convert_dates", rawConvertMs, "ms");
    ratio("convert_dates", converted.totalMs, rawConvertMs);
    tickFigures("convert_dates", converted);
    figure("link_test_relinked", static_cast<double>(linkTest.relinked()), "songs");
    figure("raw_link_test_relinked", static_cast<double>(rawRelinked), "songs");
    figure("link_test", linked.totalMs, "ms");
    figure("raw_link_test", rawLinkMs, "ms");
    ratio("link_test", linked.totalMs, rawLinkMs);
    tickFigures("link_test", linked);
    return 0;
}

} // namespace tunarium::bench
