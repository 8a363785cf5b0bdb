// The statistics benchmark: the collection's figures read through the keys (what the statistics
// window and `tunarium-cli stats` wait for), beside the same grouped counts in raw SQLite, and the
// statistics window opened with its charts.
#include "bench_commands.h"
#include "bench_report.h"
#include "bench_support.h"

#include "data/database.h"
#include "data/schema_sql.h"
#include "survey/collection_figures.h"
#include "survey/ui/statistics_window.h"

#include <QApplication>

#include <sqlite3.h>

namespace tunarium::bench {

namespace {

constexpr int kRuns = 5;

// The same groupings as plain statements on a connection of their own.
double rawCountsMs(const QString& file, QString& error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error = QStringLiteral("cannot open %1").arg(file);
        sqlite3_close(db);
        return -1;
    }
    const char* const statements[] = {
        "SELECT n FROM \"_counts\" WHERE label = 'Tunarium'",
        "SELECT n FROM \"_counts\" WHERE label = 'Album'",
        "SELECT \"ReleaseDate\", COUNT(*) FROM \"Tunarium\" GROUP BY \"ReleaseDate\"",
        "SELECT \"ReleaseDate\", COUNT(*) FROM \"Album\" GROUP BY \"ReleaseDate\"",
        "SELECT \"CategoryID\", COUNT(*) FROM \"Tunarium\" GROUP BY \"CategoryID\"",
        "SELECT \"CategoryID\", COUNT(*) FROM \"Album\" GROUP BY \"CategoryID\"",
        "SELECT \"CategoryID\", \"Category\" FROM \"Categories\"",
        "SELECT \"MediaKey\", COUNT(*) FROM \"Tunarium\" GROUP BY \"MediaKey\"",
        "SELECT \"MediaKey\", COUNT(*) FROM \"Album\" GROUP BY \"MediaKey\"",
        "SELECT \"BeatsPerMinute\", COUNT(*) FROM \"Tunarium\" GROUP BY \"BeatsPerMinute\"",
        "SELECT \"Rating\", COUNT(*) FROM \"Tunarium\" GROUP BY \"Rating\"",
        "SELECT \"ArtistKey\", COUNT(*) AS n FROM \"Tunarium\" GROUP BY \"ArtistKey\" ORDER BY n DESC LIMIT 20",
    };
    QElapsedTimer timer;
    timer.start();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const char* text : statements) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, text, -1, &stmt, nullptr) != SQLITE_OK) {
            error = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_close(db);
            return -1;
        }
        while (sqlite3_step(stmt) == SQLITE_ROW) {
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double ms = elapsedMs(timer);
    sqlite3_close(db);
    return ms;
}

} // namespace

int statsBench(const QString& dir) {
    RecordingPrompter prompter;
    Database db(prompter, dir, QDir(dir).filePath(QStringLiteral("bench-profile.ini")));
    const std::initializer_list<TableId> tables = {TableId::Tunarium, TableId::Album, TableId::Categories};
    if (!db.openTables(tables)) {
        return fail(QStringLiteral("cannot open the collection in %1").arg(dir));
    }
    figure("stats_songs", static_cast<double>(db.store().count(TableId::Tunarium)), "songs");
    QVector<double> ours, raw;
    QString error;
    for (int run = 0; run <= kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const CollectionFigures figures = readCollectionFigures(db.store());
        const double ms = elapsedMs(timer);
        if (figures.error) {
            return fail(figures.error.describe());
        }
        const double rawMs = rawCountsMs(db.store().filePath(), error);
        if (rawMs < 0) {
            return fail(error);
        }
        // The first run reads the file into the cache; the others are what a window meets.
        if (run > 0) {
            ours << ms;
            raw << rawMs;
        }
    }
    figure("stats_figures_ms", median(ours), "ms");
    figure("stats_raw_counts_ms", median(raw), "ms");
    ratio("stats_figures", median(ours), median(raw));
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        Settings settings(QDir(dir).filePath(QStringLiteral("bench-settings.ini")));
        ProcedureRegistry procedures;
        ProcedureContext context{db, settings, prompter, nullptr, nullptr, procedures};
        QVector<double> opening;
        for (int run = 0; run < kRuns; ++run) {
            QElapsedTimer timer;
            timer.start();
            StatisticsWindow* window = StatisticsWindow::open(context);
            if (!window) {
                return fail(QStringLiteral("the statistics window did not open"));
            }
            QCoreApplication::processEvents();
            window->grab();
            opening << elapsedMs(timer);
            window->close();
            QCoreApplication::processEvents();
        }
        figure("stats_window_open_ms", median(opening), "ms");
    }
    db.closeTables(tables);
    return 0;
}

} // namespace tunarium::bench
