// A saved search's first page beside the same text typed in the search box, at the collection's
// size: the saved search found by its name, its text read and planned as the box plans it, and its
// list's first page read in the order it was saved in (By Title, the box's tab here).
#include "bench_commands.h"
#include "bench_report.h"

#include "catalogue/list_engine.h"
#include "catalogue/saved_search.h"
#include "catalogue/songs_browse.h"
#include "data/table_lease.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace tunarium::bench {

namespace {

class NoForms : public ListHost {
public:
    void callForm(Request, const Row&) override {}
};

double medianMs(QVector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

constexpr int kRuns = 15;

} // namespace

void savedSearchFigures(Database& db, ListEngine& box) {
    const TableLease searches(db, {TableId::SavedSearches});
    if (!searches) {
        std::fprintf(stderr, "tunarium-bench: cannot open the saved searches\n");
        return;
    }
    NoForms host;
    ListEngine saved(db, savedSearchListDefinition(), host);
    if (!saved.open()) {
        std::fprintf(stderr, "tunarium-bench: cannot open the saved search's list\n");
        return;
    }
    saved.setLineCount(box.lineCount());
    saved.setTab(savedSearchTab(kSongsByTitle));
    saved.refresh();
    box.setTab(savedSearchTab(kSongsByTitle));
    box.setUserFilter({});
    box.refresh();
    struct Case {
        const char* name;
        const char* typed;
    };
    const Case cases[] = {{"saved_1pct", "arctic"},     {"saved_0_01pct", "#1234"},
                          {"saved_none", "xyzzyq"},     {"saved_two_words", "sinatra love"},
                          {"saved_common", "love"},     {"saved_bpm_range", "bpm:120-128"},
                          {"saved_not_word", "-love"}};
    for (const Case& c : cases) {
        const std::string name = c.name;
        const QString text = QString::fromUtf8(c.typed);
        SavedSearchRecord record;
        if (SavedSearches(db).save(QString::fromStdString(name), text, kSongsByTitle, true, record) !=
            SavedSearches::Outcome::Saved) {
            std::fprintf(stderr, "tunarium-bench: cannot save the search %s\n", c.typed);
            return;
        }
        // Alternating runs, so that the machine's load falls on both alike.
        QVector<double> boxTimes;
        QVector<double> savedTimes;
        int boxRows = 0;
        int savedRows = 0;
        for (int i = 0; i < kRuns; ++i) {
            box.setUserFilter({});
            box.refresh();
            QElapsedTimer timer;
            timer.start();
            const SongSearch typed = parseSongSearch(text);
            box.setUserFilter(planSongSearch(db.store(), typed, {}).condition, true);
            box.refresh();
            boxTimes << elapsedMs(timer);
            boxRows = box.rowCount();

            saved.setUserFilter({});
            saved.refresh();
            timer.restart();
            SavedSearchRecord found;
            bool there = false;
            findSavedSearch(db.store(), QString::fromStdString(name), found, there);
            const SongSearch search = savedSearchSearch(found);
            saved.setTab(savedSearchTab(savedSearchOrder(found)));
            saved.setUserFilter(planSongSearch(db.store(), search, {}).condition, true);
            saved.refresh();
            savedTimes << elapsedMs(timer);
            savedRows = there ? saved.rowCount() : -1;
        }
        figure((name + "_rows").c_str(), savedRows, "rows");
        figure((name + "_box_rows").c_str(), boxRows, "rows");
        figure((name + "_first_page").c_str(), medianMs(savedTimes), "ms");
        figure((name + "_box_first_page").c_str(), medianMs(boxTimes), "ms");
        ratio((name + "_vs_box").c_str(), medianMs(savedTimes), medianMs(boxTimes));
        loadAverage();
    }
    saved.close();
}

} // namespace tunarium::bench
