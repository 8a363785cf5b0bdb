// The search box at a million songs: the first page for words that match 1 %, 0.01 % and nothing,
// two words, beside the query wizard's "contains" scan of today; what the search index costs a
// song added, its build and the room it takes.
#include "bench_commands.h"
#include "bench_report.h"

#include "catalogue/list_engine.h"
#include "catalogue/song_search.h"
#include "data/filter_expression.h"
#include "data/filter_query_text.h"
#include "data/records.h"
#include "data/store_search.h"

#include <QFileInfo>

#include <algorithm>
#include <string>

namespace tunarium::bench {

namespace {

double medianOf(QVector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median time of `runs` first pages of the list under `filter`, from an unfiltered list.
double firstPageMs(ListEngine& engine, const std::function<SqlCondition()>& filter, int runs, int& rows) {
    QVector<double> times;
    for (int i = 0; i < runs; ++i) {
        engine.setUserFilter({});
        engine.refresh();
        QElapsedTimer timer;
        timer.start();
        engine.setUserFilter(filter());
        engine.refresh();
        times << elapsedMs(timer);
        rows = engine.rowCount();
    }
    return medianOf(times);
}

} // namespace

void searchBoxFigures(Database& db, ListEngine& engine) {
    struct BoxCase {
        const char* name;
        const char* typed;
        const char* titleWord; // today's search: the wizard's "contains" on the title
    };
    const BoxCase cases[] = {
        {"box_1pct", "arctic", "arctic"}, {"box_0_01pct", "#1234", "#1234"},
        {"box_none", "xyzzyq", "xyzzyq"}, {"box_two_words", "sinatra love", "sinatra"},
        {"box_common", "love", "love"},   {"box_short", "zo", "zo"},
    };
    for (const BoxCase& c : cases) {
        const std::string name = c.name;
        const SongSearch search = parseSongSearch(QString::fromUtf8(c.typed));
        qint64 found = -1;
        int rows = 0;
        const double box = firstPageMs(
            engine,
            [&] {
                const SongSearchPlan plan = planSongSearch(db.store(), search, {});
                found = plan.found;
                return plan.condition;
            },
            15, rows);
        const CompiledFilter today =
            compileFilter(queryElementText(QStringLiteral("TUN:Title"), QueryOperator::Contains,
                                           filterLiteral(QString::fromUtf8(c.titleWord)), false),
                          TableId::Tunarium);
        int todayRows = 0;
        const double contains = firstPageMs(
            engine, [&] { return today.condition; }, 5, todayRows);
        // The same songs as the box finds, without the index: the four fields' "contains".
        const CompiledFilter unindexed = compileFilter(search.filterText, TableId::Tunarium);
        int unindexedRows = 0;
        const double scan = firstPageMs(
            engine, [&] { return unindexed.condition; }, 5, unindexedRows);
        figure((name + "_rows").c_str(), rows, "rows");
        figure((name + "_found").c_str(), static_cast<double>(found), "songs");
        figure((name + "_first_page").c_str(), box, "ms");
        figure((name + "_contains_scan").c_str(), contains, "ms");
        figure((name + "_without_index").c_str(), scan, "ms");
        figure((name + "_without_index_rows").c_str(), unindexedRows, "rows");
        ratio((name + "_vs_contains").c_str(), box, contains);
    }
}

void searchIndexWriteFigures(Database& db) {
    Store& store = db.store();
    const auto addSongs = [&](int count, qint64 firstId) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < count; ++i) {
            SongRecord s;
            s.id = firstId + i;
            s.artist = QStringLiteral("Bench Artist %1").arg(i);
            s.title = QStringLiteral("Added Title Number %1").arg(i);
            s.album = QStringLiteral("Bench Album");
            s.mix = i % 3 ? QString() : QStringLiteral("Extended Mix");
            if (store.insert(s)) {
                return -1.0;
            }
        }
        return elapsedMs(timer) / count;
    };
    constexpr int kAdded = 2000;
    const qint64 base = 900000000;
    // Alternating rounds, so that the file's growth falls on both alike.
    QVector<double> with;
    QVector<double> without;
    const TableDef& songs = tableDef(TableId::Tunarium);
    for (int round = 0; round < 3; ++round) {
        with << addSongs(kAdded, base + round * 2 * kAdded);
        for (const QString& drop : sql::dropSearchIndexSql(songs).mid(0, 3)) {
            store.exec(drop);
        }
        without << addSongs(kAdded, base + (round * 2 + 1) * kAdded);
        for (const QString& definition : sql::createSearchIndexSql(songs).mid(2)) {
            store.exec(definition);
        }
    }
    figure("insert_with_fts", medianOf(with), "ms");
    figure("insert_without_fts", medianOf(without), "ms");
    ratio("insert_with_fts", medianOf(with), medianOf(without));

    QElapsedTimer timer;
    timer.start();
    store.exec(sql::rebuildSearchIndexSql(songs));
    figure("search_index_rebuild", elapsedMs(timer) / 1000, "s");
}

} // namespace tunarium::bench
