// The search box's syntax. Any text is either refused with a reason and no filter, or read into a
// filter that:
//   - compiles over the songs; the search index adds one bound match text to it, no SQL;
//   - finds, narrowed by the search index, exactly the songs the same filter finds without it,
//     and the count it gives (when it gives one) is the number of those songs;
//   - leaves the collection as it was (hostile texts included).
//
// Input: the text typed into the box.
#include "catalogue/song_search.h"
#include "data/filter_expression.h"
#include "data/records.h"
#include "data/store_search.h"
#include "data/store_sqlite.h"
#include "fuzz_support.h"

#include <set>

using namespace tunarium;
using namespace tunarium::fuzz;

namespace {

constexpr int kRunsPerOpen = 4000;

Store& store() {
    static SqliteStore instance;
    return instance;
}

void openStore() {
    store().close();
    check(store().open(scratchDir()).ok(), "the collection opens");
    for (const TableDef& t : allTables()) {
        check(store().openTable(t.id).ok(), "a table opens", t.label);
    }
}

void fillCollection() {
    openStore();
    CategoryRecord category;
    category.categoryId = 1;
    category.category = QStringLiteral("Deep House");
    check(store().insert(category).ok(), "a category is added");
    const char* songs[][4] = {
        {"ABBA", "Dancing Queen", "Arrival", "Single Edit"},
        {"Björk", "Army of Me", "Post", "Dancing Mix"},
        {"100% Pure", "50_50 * mix \"live\"", "O'Brien's", ""},
        {"x'); DELETE FROM \"Tunarium\"; --", "NEAR(a b) AND c*", "", "日本語 🎵"},
        {"STRASSE", "straße", "Été", "ÉTÉ"},
    };
    qint64 id = 0;
    for (const auto& s : songs) {
        SongRecord song;
        song.id = ++id;
        song.artist = QString::fromUtf8(s[0]);
        song.title = QString::fromUtf8(s[1]);
        song.album = QString::fromUtf8(s[2]);
        song.mix = QString::fromUtf8(s[3]);
        song.categoryId = id % 2;
        song.beatsPerMinute = 100 + 10 * id;
        song.rating = id * 2;
        song.releaseDate = id % 2 ? 1970 + id : 0;
        song.media = QStringLiteral("CD");
        check(store().insert(song).ok(), "a song is added");
    }
}

std::set<qint64> songsWhere(const SqlCondition& condition, const QString& text) {
    QVector<Row> rows;
    const StoreError read =
        store().read(TableId::Tunarium, 0, {}, Direction::Forward, true, 100, rows, condition);
    check(read.ok(), "a search runs", text + QStringLiteral(" => ") + condition.sql + u' ' + read.describe());
    std::set<qint64> ids;
    for (const Row& r : rows) {
        ids.insert(r.meta.rec);
    }
    return ids;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fillCollection();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int runs = 0;
    if (++runs % kRunsPerOpen == 0) {
        openStore();
    }
    const QString text = textOf(data, size);
    const SongSearch search = parseSongSearch(text);
    if (!search.ok()) {
        check(search.filterText.isEmpty() && search.required.isEmpty(), "a refused text gives no filter",
              text);
        return 0;
    }
    const CompiledFilter exact = compileFilter(search.filterText, TableId::Tunarium);
    check(exact.ok(), "the filter compiles", text + QStringLiteral(" => ") + search.filterText);
    SongSearchPlan plan = planSongSearch(store(), search, {});
    check(plan.error.ok(), "the search is planned", text + u' ' + plan.error.describe());
    // What the filter compiler adds is checked by the filter's own target; the narrowing is a
    // fixed text with its values bound: the index's match text, or a key range's two ends; only
    // the songs waiting for the index (a short word the index holds nowhere) bind nothing. A
    // search known to find nothing is planned as a condition of its own, checked by what it finds.
    const qsizetype added = plan.condition.binds.size() - exact.condition.binds.size();
    const bool waitingOnly = plan.condition.sql.contains(waitingCandidates(tableDef(TableId::Tunarium)).sql);
    if (plan.condition.sql.contains(exact.condition.sql)) {
        check(plan.condition.sql == exact.condition.sql || waitingOnly ? added == 0 : added == 1 || added == 2,
              "the narrowing adds its bound values", plan.condition.sql);
    }
    const std::set<qint64> narrowed = songsWhere(plan.condition, text);
    check(narrowed == songsWhere(exact.condition, text), "the index narrows without changing what is found",
          text);
    check(countSongSearch(store(), plan).ok(), "the songs found are counted", text);
    check(plan.found < 0 || plan.found == static_cast<qint64>(narrowed.size()), "the count is what is found",
          text);
    check(store().count(TableId::Tunarium) == 5, "the songs stay", text);
    return 0;
}
