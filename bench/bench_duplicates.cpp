// The duplicate search over the whole collection, stepped as its progress window steps it, beside
// the nearest raw SQLite can do: the songs grouped by their artist and title in lower case, in one
// GROUP BY (no accents, punctuation, featured artists or version words folded), and the same
// columns only read. It only reads the collection.
#include "bench_commands.h"
#include "bench_report.h"

#include "data/app_paths.h"
#include "data/database.h"
#include "survey/duplicate_search.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

namespace tunarium::bench {

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(message));
    return 1;
}

double ms(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// Runs `sql` to its end; the rows it gave, or -1 when it failed.
qint64 rawRows(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        return -1;
    }
    qint64 rows = 0;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        ++rows;
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? rows : -1;
}

} // namespace

int duplicatesBench(const QString& dir) {
    QTemporaryDir profile;
    RecordingPrompter prompter;
    Database db(prompter, dir, profile.filePath("profile.ini"));
    if (!db.openTables({TableId::Tunarium, TableId::Album})) {
        return fail(QStringLiteral("cannot open the collection in %1").arg(dir));
    }
    DuplicateSearch search(db);
    QElapsedTimer total;
    total.start();
    double longestStep = 0;
    qint64 steps = 0;
    bool more = search.start();
    while (more) {
        QElapsedTimer step;
        step.start();
        more = search.step();
        // What the progress window reads each tick.
        volatile const qsizetype shown = search.message().size() + search.statusText().size();
        (void)shown;
        longestStep = std::max(longestStep, ms(step));
        ++steps;
    }
    const double oursMs = ms(total);
    if (search.error()) {
        return fail(search.error().describe());
    }
    const DuplicateReport& report = search.report();
    qint64 songsInGroups = 0;
    for (const SongGroup& g : report.songs) {
        songsInGroups += g.songs.size();
    }
    db.closeAll();

    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(QDir(dir).filePath(QString::fromLatin1(kCollectionFileName)).toUtf8().constData(), &raw,
                        SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(raw);
        return fail(QStringLiteral("raw SQLite cannot open the collection"));
    }
    QElapsedTimer rawGroup;
    rawGroup.start();
    const qint64 rawGroups = rawRows(raw,
                                     "SELECT lower(\"Artist\"), lower(\"Title\"), count(*) FROM \"Tunarium\" "
                                     "WHERE \"Artist\" <> '' AND \"Title\" <> '' GROUP BY 1, 2 HAVING count(*) > 1");
    const double rawGroupMs = ms(rawGroup);
    QElapsedTimer rawRead;
    rawRead.start();
    rawRows(raw, "SELECT rowid, \"Artist\", \"Title\", \"FileNumber\", \"AlbumID\", \"Side\", \"TrackNumber\" "
                 "FROM \"Tunarium\"");
    const double rawReadMs = ms(rawRead);
    sqlite3_close(raw);

    figure("duplicates_songs", static_cast<double>(report.songsRead), "songs");
    figure("duplicates_albums", static_cast<double>(report.albumsRead), "albums");
    figure("duplicates_song_groups", static_cast<double>(report.songs.size()), "groups");
    figure("duplicates_songs_in_groups", static_cast<double>(songsInGroups), "songs");
    figure("duplicates_place_groups", static_cast<double>(report.places.size()), "groups");
    figure("duplicates_album_groups", static_cast<double>(report.albums.size()), "groups");
    figure("duplicates_total", oursMs / 1000, "s");
    figure("duplicates_steps", static_cast<double>(steps), "steps");
    figure("duplicates_longest_step", longestStep, "ms");
    figure("raw_group_by_lower", rawGroupMs / 1000, "s");
    figure("raw_group_by_lower_groups", static_cast<double>(rawGroups), "groups");
    figure("raw_read_columns", rawReadMs / 1000, "s");
    ratio("duplicates", oursMs, rawGroupMs);
    return 0;
}

} // namespace tunarium::bench
