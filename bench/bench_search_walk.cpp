// The search box as the window runs it, for the searches that once held the window for seconds:
// each term in each tab, the time until its first page (or its end, when it finds nothing) is
// shown and the longest stall of the event loop meanwhile (a timer ticking every 2 ms on this
// thread while the walk goes on aside), beside one scan of the songs' text in raw SQLite.
#include "bench_commands.h"
#include "bench_report.h"

#include "catalogue/song_search_run.h"
#include "catalogue/songs_browse.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sqlite3.h>

#include <algorithm>
#include <string>

namespace tunarium::bench {

namespace {

// One scan of the four fields' folded text for a word no song holds, in raw SQLite: the time a
// walk of every song takes at the least.
double rawTextScanMs(sqlite3* raw) {
    const char* sql = "SELECT COUNT(*) FROM \"Tunarium\" WHERE instr(\"ArtistKey\", ?1) <> 0 OR "
                      "instr(\"TitleKey\", ?1) <> 0 OR instr(\"AlbumKey\", ?1) <> 0 OR instr(\"MixKey\", ?1) <> 0";
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(raw, sql, -1, &stmt, nullptr);
    sqlite3_bind_text(stmt, 1, "xq", -1, SQLITE_STATIC);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
    }
    sqlite3_finalize(stmt);
    return elapsedMs(timer);
}

struct Measured {
    double pageMs = 0;  // until the first page or the end is shown
    double stallMs = 0; // the longest gap between two ticks of the event loop meanwhile
    int rows = 0;
};

Measured measure(Database& db, ListEngine& engine, SongSearchRun& run, const SongSearch& search) {
    Measured m;
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    QTimer ticker;
    ticker.setInterval(2);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        m.stallMs = std::max(m.stallMs, static_cast<double>(now - lastTick) / 1e6);
        lastTick = now;
    });
    ticker.start();
    // The loop runs a moment first, as a window's does before the keystroke.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 20) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    m.stallMs = 0;
    // What the window does with a keystroke, on this thread.
    QTimer::singleShot(0, [&] {
        clock.restart();
        lastTick = 0;
        const SongSearchPlan plan = planSongSearch(db.store(), search, {});
        engine.setUserFilter(plan.condition, true);
        run.begin(search, {}, plan);
        engine.setForceRefresh();
        engine.refresh();
        run.count();
    });
    QCoreApplication::processEvents();
    while (engine.walking()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    m.pageMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    // The tick that the last stretch of work held back.
    m.stallMs = std::max(m.stallMs, static_cast<double>(clock.nsecsElapsed() - lastTick) / 1e6);
    m.rows = engine.rowCount();
    ticker.stop();
    return m;
}

} // namespace

void searchWalkFigures(Database& db, ListEngine& engine, sqlite3* raw) {
    struct Term {
        const char* name;
        const char* typed;
    };
    const Term terms[] = {
        {"xq", "xq"},           {"zz", "zz"},           {"bpm_300_400", "bpm:300-400"},
        {"percent", "%"},       {"bpm_over_250", "bpm:>250"}, {"year_3000_3100", "year:3000-3100"},
        {"rating_over_100", "rating:>100"}, {"love_not_love", "love -love"}, {"the", "the"},
    };
    const QStringList tabs = songsTabCaptions({});
    const double scan = rawTextScanMs(raw);
    figure("walk_text_scan_raw", scan, "ms");
    SongSearchRun run(db, engine, {});
    double worstStall = 0;
    for (int tab = 0; tab < tabs.size(); ++tab) {
        std::string tabName = tabs[tab].toLower().toStdString();
        std::replace(tabName.begin(), tabName.end(), ' ', '_');
        std::erase(tabName, '#');
        for (const Term& t : terms) {
            // From the list with no search on, in this tab.
            run.begin({}, {}, {});
            engine.setUserFilter({});
            engine.setTab(tab);
            engine.refresh();
            const Measured m = measure(db, engine, run, parseSongSearch(QString::fromUtf8(t.typed)));
            const std::string name = "walk_" + tabName + "_" + t.name;
            figure((name + "_first_page").c_str(), m.pageMs, "ms");
            figure((name + "_longest_stall").c_str(), m.stallMs, "ms");
            figure((name + "_rows").c_str(), m.rows, "rows");
            ratio((name + "_vs_scan").c_str(), m.pageMs, scan);
            worstStall = std::max(worstStall, m.stallMs);
        }
        loadAverage();
    }
    figure("walk_longest_stall", worstStall, "ms");
    run.begin({}, {}, {});
    engine.setUserFilter({});
    engine.setTab(1);
    engine.refresh();
}

} // namespace tunarium::bench
