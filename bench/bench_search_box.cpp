// The search box at a million songs: the first page for words that match 1 %, 0.01 % and nothing,
// two words, beside the query wizard's "contains" scan of today; what the search index costs a
// song added, its build and the room it takes.
#include "bench_commands.h"
#include "bench_report.h"
#include "data/schema_sql.h"

#include "catalogue/list_engine.h"
#include "catalogue/song_search.h"
#include "data/filter_expression.h"
#include "data/filter_query_text.h"
#include "data/records.h"
#include "data/store_search.h"

#include <QFileInfo>

#include <algorithm>
#include <ctime>
#include <string>

namespace tunarium::bench {

namespace {

double medianOf(QVector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The median time of `runs` first pages of the list under `filter`, from an unfiltered list; the
// median processor time they took in `cpu`, which a busy machine does not stretch.
double firstPageMs(ListEngine& engine, const std::function<SqlCondition()>& filter, int runs, int& rows,
                   double* cpu = nullptr) {
    QVector<double> times;
    QVector<double> cpuTimes;
    for (int i = 0; i < runs; ++i) {
        engine.setUserFilter({});
        engine.refresh();
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = cpuMs();
        engine.setUserFilter(filter());
        engine.refresh();
        times << elapsedMs(timer);
        cpuTimes << cpuMs() - cpuStart;
        rows = engine.rowCount();
    }
    if (cpu) {
        *cpu = medianOf(cpuTimes);
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
        {"box_1pct", "arctic", "arctic"},       {"box_0_01pct", "#1234", "#1234"},
        {"box_none", "xyzzyq", "xyzzyq"},       {"box_two_words", "sinatra love", "sinatra"},
        {"box_common", "love", "love"},         {"box_short", "zo", "zo"},
        {"box_artist_letter", "artist:a", "a"}, {"box_bpm_range", "bpm:120-128", "120"},
        {"box_not_word", "-love", "love"},
    };
    for (const BoxCase& c : cases) {
        const std::string name = c.name;
        const SongSearch search = parseSongSearch(QString::fromUtf8(c.typed));
        qint64 found = -1;
        int rows = 0;
        double boxCpu = 0;
        const double box = firstPageMs(
            engine, [&] { return planSongSearch(db.store(), search, {}).condition; }, 15, rows, &boxCpu);
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
        // The count in the title, made after the first page is shown a slice at a time, as the
        // window makes it: all of it, and the longest wait between two of the window's turns.
        QVector<double> countTimes;
        QVector<double> sliceTimes;
        for (int i = 0; i < 5; ++i) {
            const SongSearchPlan plan = planSongSearch(db.store(), search, {});
            QElapsedTimer timer;
            timer.start();
            SongSearchCount count(db.store(), plan);
            while (count.step(15)) {
            }
            countTimes << elapsedMs(timer);
            sliceTimes << count.longestSliceMs();
            found = count.found();
        }
        figure((name + "_rows").c_str(), rows, "rows");
        figure((name + "_found").c_str(), static_cast<double>(found), "songs");
        figure((name + "_count_after_page").c_str(), medianOf(countTimes), "ms");
        figure((name + "_count_longest_slice").c_str(), medianOf(sliceTimes), "ms");
        figure((name + "_first_page").c_str(), box, "ms");
        figure((name + "_first_page_cpu").c_str(), boxCpu, "ms");
        figure((name + "_contains_scan").c_str(), contains, "ms");
        figure((name + "_without_index").c_str(), scan, "ms");
        figure((name + "_without_index_rows").c_str(), unindexedRows, "rows");
        ratio((name + "_vs_contains").c_str(), box, contains);
        loadAverage();
    }
}

void searchIndexWriteFigures(Database& db) {
    Store& store = db.store();
    qint64 nextId = 0;
    if (store.nextNumber(TableId::Tunarium, nextId)) {
        return;
    }
    // Far above the collection's own numbers, and past what an earlier run on the same working
    // copy added.
    nextId = std::max<qint64>(nextId, 900000000);
    const auto addSongs = [&](int count) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < count; ++i) {
            SongRecord s;
            s.id = nextId++;
            s.artist = QStringLiteral("Bench Artist %1").arg(s.id);
            s.title = QStringLiteral("Added Title Number %1").arg(s.id);
            s.album = QStringLiteral("Bench Album");
            s.mix = i % 3 ? QString() : QStringLiteral("Extended Mix");
            if (store.insert(s)) {
                return -1.0;
            }
        }
        return elapsedMs(timer) / count;
    };
    const TableDef& songs = tableDef(TableId::Tunarium);
    const auto withAndWithout = [&](int count, int rounds, double& with, double& without) {
        // Alternating rounds, so that the file's growth and the machine's load fall on both alike.
        QVector<double> withTimes;
        QVector<double> withoutTimes;
        for (int round = 0; round < rounds; ++round) {
            withTimes << addSongs(count);
            for (const QString& drop : sql::dropSearchIndexSql(songs).mid(0, 3)) {
                store.exec(drop);
            }
            withoutTimes << addSongs(count);
            for (const QString& definition : sql::createSearchIndexSql(songs).mid(3)) {
                store.exec(definition);
            }
        }
        with = medianOf(withTimes);
        without = medianOf(withoutTimes);
    };
    double with = 0;
    double without = 0;
    withAndWithout(1000, 3, with, without);
    figure("insert_with_fts", with, "ms");
    figure("insert_without_fts", without, "ms");
    ratio("insert_with_fts", with, without);
    loadAverage();

    // The same with the index merging its pieces as it goes, SQLite's own setting.
    const QString index = sql::quoted(songs.label + QStringLiteral("Search"));
    store.exec(QStringLiteral("INSERT INTO %1 (%1, rank) VALUES ('automerge', 4)").arg(index));
    withAndWithout(500, 3, with, without);
    figure("insert_with_fts_merging", with, "ms");
    figure("insert_with_fts_merging_without", without, "ms");
    ratio("insert_with_fts_merging", with, without);
    for (const QString& setting : sql::searchIndexSettingsSql(songs)) {
        store.exec(setting);
    }

    // Made again as Build makes it.
    QElapsedTimer timer;
    timer.start();
    for (const QString& drop : sql::dropSearchIndexSql(songs)) {
        store.exec(drop);
    }
    for (const QString& definition : sql::createSearchIndexSql(songs)) {
        store.exec(definition);
    }
    store.exec(sql::rebuildSearchIndexSql(songs));
    for (const QString& setting : sql::searchIndexSettingsSql(songs)) {
        store.exec(setting);
    }
    figure("search_index_rebuild", elapsedMs(timer) / 1000, "s");
}

} // namespace tunarium::bench
