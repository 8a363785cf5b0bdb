// The search box: its syntax read by what each form finds, its results against the query wizard's
// "contains" and a plain substring check, the search index kept in step with the songs, its use by
// the planner, and hostile texts.
#include "catalogue/song_search.h"
#include "data/app_paths.h"
#include "data/date_time.h"
#include "data/dictionary_tables.h"
#include "data/filter_expression.h"
#include "data/filter_query_text.h"
#include "data/fold_key.h"
#include "data/records.h"
#include "data/store_search.h"
#include "data/store_sqlite.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"

#include <QDir>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace tunarium;

namespace {

using Ids = std::set<qint64>;

class SongSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(dir.dir()).ok());
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(store.openTable(t.id).ok());
        }
    }

    SongRecord add(const QString& artist, const QString& title, const QString& album = {},
                   const QString& mix = {}) {
        SongRecord s;
        s.artist = artist;
        s.title = title;
        s.album = album;
        s.mix = mix;
        s.id = ++m_lastId;
        EXPECT_TRUE(store.insert(s).ok());
        return s;
    }

    Ids idsWhere(const SqlCondition& condition) {
        QVector<Row> rows;
        const int key = tableDef(TableId::Tunarium).keyIndex(u"KeyID");
        EXPECT_TRUE(store
                        .read(TableId::Tunarium, key, {}, Direction::Forward, true, 1000000, rows,
                              WalkLimits(condition))
                        .ok());
        Ids ids;
        for (const Row& r : rows) {
            ids.insert(r.number(tun::kId));
        }
        return ids;
    }

    // What the list shows for a search typed into the box.
    Ids found(const QString& text, const SqlCondition& wizard = {}) {
        const SongSearch search = parseSongSearch(text);
        EXPECT_TRUE(search.ok()) << qPrintable(text) << ": " << qPrintable(search.error);
        SongSearchPlan plan = planSongSearch(store, search, wizard);
        EXPECT_TRUE(plan.error.ok()) << qPrintable(text);
        const Ids ids = idsWhere(plan.condition);
        // The count in the title, a slice at a time as the window makes it, finds what the list shows.
        SongSearchCount count(store, plan);
        int slices = 0;
        while (count.step(0.001) && ++slices < 100000) {
        }
        EXPECT_TRUE(count.error().ok()) << qPrintable(text);
        EXPECT_EQ(count.found(), static_cast<qint64>(ids.size())) << qPrintable(text);
        return ids;
    }

    // The query wizard's "contains" on each of the four fields, joined by OR.
    Ids wizardContains(const QString& value) {
        QStringList elements;
        for (const char* field : {"TUN:Artist", "TUN:Title", "TUN:Album", "TUN:Mix"}) {
            elements << u'(' +
                            queryElementText(QLatin1String(field), QueryOperator::Contains,
                                             filterLiteral(value), false) +
                            u')';
        }
        const CompiledFilter filter = compileFilter(elements.join(QStringLiteral(" OR ")), TableId::Tunarium);
        EXPECT_TRUE(filter.ok());
        return idsWhere(filter.condition);
    }

    // The substring check done here, on every song.
    Ids substringOf(const QString& value) {
        const QString needle = caseFold(value);
        Ids ids;
        for (const SongRecord& s : songs) {
            for (const QString& text : {s.artist, s.title, s.album, s.mix}) {
                if (caseFold(text).contains(needle)) {
                    ids.insert(s.id);
                }
            }
        }
        return ids;
    }

    // Closes the collection and opens it again: its index is outdated and is made again, after a
    // dated backup.
    void reopenThroughTheUpgrade() {
        store.close();
        ASSERT_TRUE(store.open(dir.dir()).ok());
        EXPECT_EQ(store.tableState(TableId::Tunarium), TableState::KeysOutdated);
        ASSERT_TRUE(store.openTable(TableId::Tunarium).ok());
        EXPECT_EQ(store.tableState(TableId::Tunarium), TableState::Current);
        EXPECT_FALSE(QDir(dir.dir()).entryList({"tunarium-upgrade-*.db"}).isEmpty());
    }

    // The search index, with the songs waiting for it put in, checks itself against the songs (a
    // rank of 1: without it, only against itself); the collection is left as it was.
    bool indexInStep() {
        EXPECT_TRUE(store.begin().ok());
        const bool inStep =
            store
                .exec(sql::fillSearchIndexSql(tableDef(TableId::Tunarium),
                                              sql::waitingSongs(tableDef(TableId::Tunarium))))
                .ok() &&
            store
                .exec(
                    "INSERT INTO \"TunariumSearch\" (\"TunariumSearch\", rank) VALUES ('integrity-check', 1)")
                .ok();
        store.rollback();
        return inStep;
    }

    bool waiting(const SongRecord& s) {
        return test::sqlNumber(
                   QDir(dir.dir()).filePath(kCollectionFileName),
                   QStringLiteral("SELECT COUNT(*) FROM \"TunariumSearchPending\" WHERE \"rec\" = %1")
                       .arg(s.meta.rec)) == 1;
    }

    test::TempCollection dir;
    SqliteStore store;
    QVector<SongRecord> songs;
    qint64 m_lastId = 0;
};

TEST_F(SongSearchTest, EachFormFindsItsSongs) {
    const SongRecord abba = add("ABBA", "Dancing Queen", "Arrival", "Single Edit");
    SongRecord queen = add("Queen", "Bohemian Rhapsody", "A Night at the Opera");
    SongRecord bjork = add("Björk", "Army of Me", "Post", "Dancing Mix");
    SongRecord percent = add("100% Pure", "50_50 * mix \"live\"", "O'Brien's");
    queen.beatsPerMinute = 72;
    queen.rating = 9;
    queen.releaseDate = dayNumberFromYmd(1975, 10, 31);
    ASSERT_TRUE(store.update(queen).ok());
    bjork.beatsPerMinute = 124;
    bjork.rating = 7;
    bjork.releaseDate = 1995; // a bare year
    ASSERT_TRUE(store.update(bjork).ok());

    const struct {
        const char* text;
        Ids ids;
    } cases[] = {
        {"queen", {abba.id, queen.id}},
        {"QUEEN dancing", {abba.id}},
        {"dancing", {abba.id, bjork.id}},
        {"artist:queen", {queen.id}},
        {"Artist:BJÖRK", {bjork.id}},
        {"artist:bjork", {}},
        {"title:\"dancing queen\"", {abba.id}},
        {"\"queen bohemian\"", {}},
        {"album:opera", {queen.id}},
        {"mix:dancing", {bjork.id}},
        {"mix:edit -title:queen", {}},
        {"dancing -artist:abba", {bjork.id}},
        {"-dancing", {queen.id, percent.id}},
        {"bpm:120-128", {bjork.id}},
        {"bpm:128-120", {bjork.id}},
        {"bpm:72", {queen.id}},
        {"bpm:<100", {abba.id, percent.id, queen.id}},
        {"rating:>=7", {queen.id, bjork.id}},
        {"rating:>7", {queen.id}},
        {"year:1975-1979", {queen.id}},
        {"year:1995", {bjork.id}},
        {"year:>=1990", {bjork.id}},
        {"%", {percent.id}},
        {"_", {percent.id}},
        {"*", {percent.id}},
        {"'", {percent.id}},
        {"\"\\\"live\\\"\"", {}},
        {"o'brien's", {percent.id}},
        {"artist:=abba", {abba.id}}, // the whole text, case ignored
        {"artist:=abb", {}},
        {"artist:=\"björk\"", {bjork.id}},
        {"album:=\"a night at the opera\"", {queen.id}},
        {"mix:=\"\"", {queen.id, percent.id}}, // none
        {"-artist:=queen", {abba.id, bjork.id, percent.id}},
        {"artist:=\"100% pure\" title:=50_50", {}},
        {"artist:=\"100% pure\" title:50_50", {percent.id}},
        {"artist: queen", {abba.id, queen.id}}, // an empty field value adds nothing
        {"- queen", {abba.id, queen.id}},
        {"", {abba.id, queen.id, bjork.id, percent.id}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(found(QString::fromUtf8(c.text)), c.ids) << c.text;
    }
}

TEST_F(SongSearchTest, BadSyntaxIsNamedAndSearchesNothing) {
    const struct {
        QString text;
        const char* reason;
    } cases[] = {
        {"\"dancing queen", "quote is not closed"},
        {"title:\"dancing", "quote is not closed"},
        {"bpm:abc", "bpm: needs a number"},
        {"bpm:12-", "bpm: needs a number"},
        {"rating:>=x", "rating: needs a number"},
        {"year:1975-19a9", "year: needs a number"},
        {"bpm:1234567890", "bpm: needs a number"},
        {"genre:house", "no field \"genre\""},
        {"http://example", "no field \"http\""},
        {QString(kSongSearchWidth + 1, u'a'), "at most 200"},
        {QString(10000, u'x'), "at most 200"},
        {QStringLiteral("a ").repeated(kSongSearchTerms + 1), "at most 16 terms"},
    };
    for (const auto& c : cases) {
        const SongSearch search = parseSongSearch(c.text);
        EXPECT_FALSE(search.ok()) << qPrintable(c.text.left(40));
        EXPECT_TRUE(search.error.contains(QLatin1String(c.reason))) << qPrintable(search.error);
        EXPECT_TRUE(search.filterText.isEmpty());
    }
}

TEST_F(SongSearchTest, EqualsTheWizardsContainsOnGeneratedSongs) {
    const QStringList vocabulary = {"Love", "LOVER",  "glove",   "Björk",    "BJÖRK", "Bjork", "Été",
                                    "ÉTÉ",  "straße", "STRASSE", "Ørsted",   "naïve", "Naive", "日本語",
                                    "東京", "Ёлка",   "ёлка",    "Œuvre",    "ﬁne",   "🎵beat", "50%",
                                    "a_b",  "x*y",    "Don't",   "İstanbul", "ΣΟΦΙΑ", "σοφια", "queen"};
    QRandomGenerator rng(23);
    const auto phrase = [&] {
        QStringList words;
        for (int n = rng.bounded(1, 4); n > 0; --n) {
            words << vocabulary[rng.bounded(static_cast<int>(vocabulary.size()))];
        }
        return words.join(u' ');
    };
    for (int i = 0; i < 600; ++i) {
        songs << add(phrase(), phrase(), rng.bounded(3) ? phrase() : QString(),
                     rng.bounded(4) ? QString() : phrase());
    }
    // Words and fragments of them in any case: short ones are narrowed through the pieces that
    // begin with them, which must miss no song (a fragment at the very end of a song's text too).
    QStringList probes;
    while (probes.size() < 50) {
        const QString word = vocabulary[rng.bounded(static_cast<int>(vocabulary.size()))];
        const int from = rng.bounded(static_cast<int>(word.size()));
        QString fragment = word.mid(from, rng.bounded(1, 7));
        fragment = rng.bounded(2) ? fragment.toUpper() : fragment.toLower();
        const bool wholeCharacters = !fragment.front().isLowSurrogate() && !fragment.back().isHighSurrogate();
        if (wholeCharacters && !fragment.trimmed().isEmpty() && !fragment.startsWith(u'-')) {
            probes << fragment.trimmed();
        }
    }
    probes << "xq" << "%" << "g" << "é" << "50";
    int narrowed = 0;
    int shortNarrowed = 0;
    for (const QString& probe : probes) {
        const QString typed = probe.contains(u':') ? u'"' + probe + u'"' : probe;
        const Ids box = found(typed);
        EXPECT_EQ(box, wizardContains(probe)) << qPrintable(probe);
        EXPECT_EQ(box, substringOf(probe)) << qPrintable(probe);
        const bool throughIndex = narrowsThroughSearchIndex(tableDef(TableId::Tunarium),
                                                            planSongSearch(store, parseSongSearch(typed), {}).condition.sql);
        narrowed += throughIndex ? 1 : 0;
        shortNarrowed += throughIndex && probe.toStdU32String().size() < 3 ? 1 : 0;
    }
    EXPECT_GT(narrowed, 10);
    EXPECT_GT(shortNarrowed, 3);
    EXPECT_TRUE(indexInStep());
}

TEST_F(SongSearchTest, CombinesWithTheWizardsFilter) {
    const SongRecord one = add("Love Inc", "Broken Bones");
    add("Love Inc", "Homo Sapiens");
    add("Other", "Broken Love");
    const CompiledFilter wizard =
        compileFilter("INSTRING(UPPER('bones'), UPPER(TUN:Title), 1, 1) <> 0", TableId::Tunarium);
    ASSERT_TRUE(wizard.ok());
    EXPECT_EQ(found("love", wizard.condition), Ids{one.id});
    const SongSearch search = parseSongSearch("love");
    SongSearchPlan plan = planSongSearch(store, search, wizard.condition);
    // Not counted yet: the title waits for the count rather than saying "(many)".
    EXPECT_EQ(songSearchTitleSuffix(search, plan), "");
    ASSERT_TRUE(countSongSearch(store, plan).ok());
    EXPECT_EQ(songSearchTitleSuffix(search, plan), " (1 found)");
    // Nothing offered by the index is known at once, once no song waits for it; the songs
    // waiting are counted.
    const SongSearch none = parseSongSearch("xyzzy");
    SongSearchPlan nonePlan = planSongSearch(store, none, {});
    EXPECT_EQ(songSearchTitleSuffix(none, nonePlan), "");
    ASSERT_TRUE(countSongSearch(store, nonePlan).ok());
    EXPECT_EQ(songSearchTitleSuffix(none, nonePlan), " (none found)");
    for (int i = 0; i < kSearchPendingLimit - 3; ++i) {
        add(QStringLiteral("Filler %1").arg(i), "Song");
    }
    EXPECT_EQ(songSearchTitleSuffix(none, planSongSearch(store, none, {})), " (none found)");
    // Too short for the index: counted all the same, a slice of the collection at a time.
    SongSearchPlan shortPlan = planSongSearch(store, parseSongSearch("lo"), {});
    EXPECT_EQ(songSearchTitleSuffix(parseSongSearch("lo"), shortPlan), "");
    ASSERT_TRUE(countSongSearch(store, shortPlan).ok());
    EXPECT_EQ(songSearchTitleSuffix(parseSongSearch("lo"), shortPlan), " (3 found)");
    EXPECT_EQ(songSearchTitleSuffix(parseSongSearch(""), {}), "");
}

TEST_F(SongSearchTest, IndexKeptInStepWithTheSongs) {
    SongRecord s = add("Zyxwvu", "First");
    EXPECT_EQ(found("zyxw"), Ids{s.id});
    EXPECT_TRUE(indexInStep());

    s.artist = "Qwerty";
    ASSERT_TRUE(store.update(s).ok());
    EXPECT_EQ(found("zyxw"), Ids{});
    EXPECT_EQ(found("qwert"), Ids{s.id});
    EXPECT_TRUE(indexInStep());

    // A change that leaves the four fields alone.
    s.rating = 5;
    ASSERT_TRUE(store.update(s).ok());
    EXPECT_EQ(found("qwert"), Ids{s.id});

    ASSERT_TRUE(store.remove(s).ok());
    EXPECT_EQ(found("qwert"), Ids{});
    EXPECT_TRUE(indexInStep());

    // A rolled-back change leaves the index as it was.
    const SongRecord kept = add("Kept Artist", "Kept");
    ASSERT_TRUE(store.begin().ok());
    add("Rolled Back", "Gone");
    store.rollback();
    EXPECT_EQ(found("rolled"), Ids{});
    EXPECT_EQ(found("kept"), Ids{kept.id});

    // Songs wait and go into the index together; a change or a removal finds each where it is.
    QVector<SongRecord> batch;
    for (int i = 0; i < kSearchPendingLimit + 10; ++i) {
        batch << add(QStringLiteral("Batch %1").arg(i), "Uvwxyt");
    }
    ASSERT_FALSE(waiting(batch.first()));
    ASSERT_TRUE(waiting(batch.last()));
    for (SongRecord* changed : {&batch.first(), &batch.last()}) {
        changed->title = "Changed Pqrst";
        ASSERT_TRUE(store.update(*changed).ok());
    }
    ASSERT_TRUE(store.remove(batch[1]).ok());
    ASSERT_TRUE(store.remove(batch[batch.size() - 2]).ok());
    EXPECT_EQ(found("uvwxyt").size(), static_cast<size_t>(batch.size() - 4));
    EXPECT_EQ(found("pqrst"), (Ids{batch.first().id, batch.last().id}));
    EXPECT_TRUE(indexInStep());

    // A bulk load builds the index at its end, after the keys, and tells each step as it goes.
    ASSERT_TRUE(store.beginBulkLoad(TableId::Tunarium).ok());
    const SongRecord bulk = add("Bulk Loaded", "Fast");
    QStringList steps;
    store.schema().setBulkLoadProgress([&steps](const BulkLoadStep& step) {
        steps << QStringLiteral("%1/%2%3").arg(step.keysBuilt).arg(step.keys).arg(step.searchIndex ? " index" : "");
    });
    ASSERT_TRUE(store.endBulkLoad(TableId::Tunarium).ok());
    store.schema().setBulkLoadProgress({});
    const int keys = static_cast<int>(tableDef(TableId::Tunarium).keys.size());
    QStringList expected;
    for (int k = 0; k <= keys; ++k) {
        expected << QStringLiteral("%1/%2").arg(k).arg(keys);
    }
    expected << QStringLiteral("%1/%1 index").arg(keys);
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(found("bulk"), Ids{bulk.id});
    EXPECT_TRUE(indexInStep());

    // Rebuilding the keys rebuilds the index.
    ASSERT_TRUE(store.exec("DELETE FROM \"TunariumSearch_data\"").ok());
    EXPECT_FALSE(indexInStep());
    ASSERT_TRUE(store.rebuildKeys(TableId::Tunarium).ok());
    EXPECT_TRUE(indexInStep());
    EXPECT_EQ(found("kept"), Ids{kept.id});
    EXPECT_EQ(store.tableState(TableId::Tunarium), TableState::Current);
}

TEST_F(SongSearchTest, ACollectionWithoutTheIndexGetsItOnOpenAfterABackup) {
    const SongRecord s = add("Older", "Collection");
    for (const QString& drop : sql::dropSearchIndexSql(tableDef(TableId::Tunarium))) {
        ASSERT_TRUE(store.exec(drop).ok());
    }
    ASSERT_TRUE(store.exec("DELETE FROM \"_structure\" WHERE label = 'Tunarium/search'").ok());
    reopenThroughTheUpgrade();
    EXPECT_EQ(found("older"), Ids{s.id});
    EXPECT_TRUE(indexInStep());

    // An index lost while its version says it is there is a damaged key.
    ASSERT_TRUE(store.exec("DROP TRIGGER \"Tunarium_search_update\"").ok());
    store.close();
    ASSERT_TRUE(store.open(dir.dir()).ok());
    EXPECT_EQ(store.tableState(TableId::Tunarium), TableState::KeysDamaged);
}

TEST_F(SongSearchTest, AnIndexOfTheFirstDefinitionIsMadeAgainWithItsSettings) {
    SongRecord s = add("Earlier", "Definition");
    const QString file = QDir(dir.dir()).filePath(kCollectionFileName);
    const auto automerge = [&] {
        return test::sqlNumber(file, "SELECT v FROM \"TunariumSearch_config\" WHERE k = 'automerge'");
    };
    EXPECT_EQ(automerge(), 0);
    // As the first definition left it: no settings, version 1.
    ASSERT_TRUE(store.exec("DELETE FROM \"TunariumSearch_config\" WHERE k = 'automerge'").ok());
    ASSERT_TRUE(store.exec("UPDATE \"_structure\" SET version = 1 WHERE label = 'Tunarium/search'").ok());
    reopenThroughTheUpgrade();
    EXPECT_EQ(automerge(), 0);
    // A song changed after the upgrade is found by its new text only.
    s.title = "Changed Afterwards";
    ASSERT_TRUE(store.update(s).ok());
    EXPECT_EQ(found("definition"), Ids{});
    EXPECT_EQ(found("afterwards"), Ids{s.id});
    EXPECT_EQ(found("earlier"), Ids{s.id});
    EXPECT_TRUE(indexInStep());
}

TEST_F(SongSearchTest, AThreeLetterSearchReadsThroughTheIndex) {
    for (int i = 0; i < 200; ++i) {
        add(QStringLiteral("Artist %1").arg(i), i % 50 == 0 ? "Love Song" : "Other Song");
    }
    SongSearchPlan plan = planSongSearch(store, parseSongSearch("lov"), {});
    ASSERT_TRUE(plan.condition.sql.contains("MATCH"));
    ASSERT_TRUE(countSongSearch(store, plan).ok());
    EXPECT_EQ(plan.found, 4);
    const int byTitle = tableDef(TableId::Tunarium).keyIndex(u"SongsByTitle");
    const QString walk = store.walkText(TableId::Tunarium, byTitle, 0, false, Direction::Forward, true,
                                        WalkLimits(plan.condition));
    const QString steps = store.explainQueryPlan(walk).join(u'\n');
    EXPECT_TRUE(steps.contains("VIRTUAL TABLE")) << qPrintable(steps);
    EXPECT_TRUE(steps.contains("TunariumSearch")) << qPrintable(steps);
    // The songs are read by the index's rowids, not by walking the title order past every song.
    EXPECT_TRUE(steps.contains("INTEGER PRIMARY KEY")) << qPrintable(steps);
}

TEST_F(SongSearchTest, CommonWordsWalkTheListOrderAndAreCountedAllTheSame) {
    ASSERT_TRUE(store.begin().ok());
    for (qint64 i = 0; i <= kSearchNarrowLimit; ++i) {
        songs << add(QStringLiteral("Lover %1").arg(i), "Song");
    }
    songs << add("Other", "Glove") << add("Other", "Nothing");
    ASSERT_TRUE(store.commit().ok());
    const SongSearch search = parseSongSearch("love");
    SongSearchPlan plan = planSongSearch(store, search, {});
    const TableDef& songsTable = tableDef(TableId::Tunarium);
    EXPECT_FALSE(narrowsThroughSearchIndex(songsTable, plan.condition.sql));
    EXPECT_EQ(songSearchTitleSuffix(search, plan), "");
    ASSERT_TRUE(countSongSearch(store, plan).ok());
    EXPECT_EQ(plan.found, static_cast<qint64>(substringOf("love").size()));
    EXPECT_EQ(songSearchTitleSuffix(search, plan), " (3,002 found)");
    EXPECT_EQ(idsWhere(plan.condition), substringOf("love"));
    // The walk keeps the title order and passes over songs the index does not offer on their key
    // entry; the set of candidates is made once.
    const QString walk = store.walkText(TableId::Tunarium, songsTable.keyIndex(u"SongsByTitle"), 0, false,
                                        Direction::Forward, true, WalkLimits(plan.condition));
    const QString steps = store.explainQueryPlan(walk).join(u'\n');
    EXPECT_TRUE(steps.contains("USING INDEX")) << qPrintable(steps);
    EXPECT_TRUE(steps.contains("LIST SUBQUERY")) << qPrintable(steps);
    EXPECT_FALSE(steps.contains("INTEGER PRIMARY KEY")) << qPrintable(steps);
    // A rarer word among them is still read through the index.
    EXPECT_EQ(found("glov"), substringOf("glov"));
    EXPECT_TRUE(planSongSearch(store, parseSongSearch("glov"), {}).condition.sql.contains("MATCH"));
}

// A range of beats per minute, years or ratings is read through its key when the key holds few
// enough songs in it; whatever way a search is read, it finds what each term's own test on every
// song finds.
TEST_F(SongSearchTest, RangesReadThroughTheirKeysFindWhatEachSongsTermsHold) {
    QRandomGenerator rng(31);
    ASSERT_TRUE(store.begin().ok());
    // More songs than a range may hold to be read through its key.
    for (int i = 0; i < 4000; ++i) {
        SongRecord s;
        s.id = ++m_lastId;
        s.artist = QStringLiteral("Artist %1").arg(i % 97);
        s.title = i % 11 ? QStringLiteral("Title %1").arg(i) : QStringLiteral("Love %1").arg(i);
        // A fifth of the songs without beats; the rest mostly 60 to 200, a few far above.
        s.beatsPerMinute = i % 5 == 0 ? 0 : (i % 400 == 1 ? 300 + rng.bounded(50) : 60 + rng.bounded(141));
        const int year = 1950 + rng.bounded(75);
        // A bare year, a full date, or none; years are spread so that a decade holds a few hundred.
        s.releaseDate = i % 7 == 0 ? 0 : (i % 3 ? year : dayNumberFromYmd(year, 1 + rng.bounded(12), 1 + rng.bounded(28)));
        s.rating = rng.bounded(11);
        // Most songs were never charted; a few hold a place in the top 40.
        s.chartNumber = i % 13 == 0 ? 1 + rng.bounded(40) : 0;
        EXPECT_TRUE(store.insert(s).ok());
        songs << s;
    }
    ASSERT_TRUE(store.commit().ok());
    using Test = std::function<bool(const SongRecord&)>;
    const auto bpm = [](qint64 low, qint64 high) -> Test {
        return [=](const SongRecord& s) { return s.beatsPerMinute >= low && s.beatsPerMinute <= high; };
    };
    const auto year = [](int low, int high) -> Test {
        return [=](const SongRecord& s) {
            const int y = releaseYear(s.releaseDate);
            return s.releaseDate != 0 && y >= low && y <= high;
        };
    };
    const auto rating = [](qint64 low, qint64 high) -> Test {
        return [=](const SongRecord& s) { return s.rating >= low && s.rating <= high; };
    };
    const auto chart = [](qint64 low, qint64 high) -> Test {
        return [=](const SongRecord& s) { return s.chartNumber >= low && s.chartNumber <= high; };
    };
    const auto love = [](const SongRecord& s) { return s.title.contains(u"Love"); };
    const struct {
        const char* typed;
        Test holds;
        bool narrowed; // read through a key (or known to find nothing) rather than walked
    } cases[] = {
        {"bpm:300-400", bpm(300, 400), true},
        {"bpm:>250", bpm(251, 1 << 30), true},
        {"bpm:120", bpm(120, 120), true},
        {"bpm:<100", bpm(0, 99), true},
        {"year:3000-3100", year(3000, 3100), true},
        {"year:1999", year(1999, 1999), true},
        {"year:1970-1979", year(1970, 1979), true},
        {"year:1950-2030", year(1950, 2030), false},
        {"rating:>100", rating(101, 1 << 30), true},
        {"rating:=10", rating(10, 10), true},
        {"chart:1-10", chart(1, 10), true},
        {"chart:>100", chart(101, 1 << 30), true},
        {"chart:0", chart(0, 0), false},
        {"bpm:100-200 rating:>=9", [&](const SongRecord& s) { return bpm(100, 200)(s) && rating(9, 100)(s); }, true},
        {"-bpm:300-400 year:1980-1984", [&](const SongRecord& s) { return !bpm(300, 400)(s) && year(1980, 1984)(s); }, true},
        {"love bpm:60-200", [&](const SongRecord& s) { return love(s) && bpm(60, 200)(s); }, true},
        {"love -love", [](const SongRecord&) { return false; }, true},
    };
    const TableDef& songsTable = tableDef(TableId::Tunarium);
    for (const auto& c : cases) {
        const SongSearch search = parseSongSearch(QString::fromLatin1(c.typed));
        ASSERT_TRUE(search.ok()) << c.typed;
        const SongSearchPlan plan = planSongSearch(store, search, {});
        ASSERT_TRUE(plan.error.ok()) << c.typed;
        Ids expected;
        for (const SongRecord& s : songs) {
            if (c.holds(s)) {
                expected.insert(s.id);
            }
        }
        EXPECT_EQ(found(QString::fromLatin1(c.typed)), expected) << c.typed;
        EXPECT_EQ(idsWhere(plan.exact), expected) << c.typed;
        EXPECT_EQ(plan.narrowed, c.narrowed) << c.typed;
        if (expected.empty()) {
            EXPECT_EQ(songSearchTitleSuffix(search, plan), " (none found)") << c.typed;
        }
        // A narrowed range reads its key's index and sorts what it finds, in every order.
        if (c.narrowed && !search.contradicts) {
            const QString walk = store.walkText(TableId::Tunarium, songsTable.keyIndex(u"SongsByTitle"), 0,
                                                false, Direction::Forward, true, WalkLimits(plan.condition));
            const QString steps = store.explainQueryPlan(walk).join(u'\n');
            EXPECT_TRUE(steps.contains("INTEGER PRIMARY KEY")) << c.typed << "\n" << qPrintable(steps);
            if (!plan.condition.sql.contains("MATCH")) {
                const bool throughKey = steps.contains("INDEX TUN:KeyOrder") || steps.contains("INDEX TUN:SongsByChartNumber");
                EXPECT_TRUE(throughKey) << c.typed << "\n" << qPrintable(steps);
            }
        }
    }
}

TEST_F(SongSearchTest, TwoWordsMayStandInDifferentFields) {
    songs << add("Frank Sinatra", "Love Me Tender") << add("Frank Sinatra", "My Way", "Love Songs")
          << add("Sinatra Lovers", "Fly") << add("Frank Sinatra", "Strangers", {}, "Glove Mix")
          << add("Other", "Love Story") << add("Frank Sinatra", "Summer Wind");
    const auto both = [&](const QString& a, const QString& b) {
        Ids ids;
        const Ids second = substringOf(b);
        for (qint64 id : substringOf(a)) {
            if (second.count(id)) {
                ids.insert(id);
            }
        }
        return ids;
    };
    for (const char* typed : {"sinatra love", "LOVE sinatra", "nat ove", "frank glove"}) {
        const QStringList words = QString::fromUtf8(typed).split(u' ');
        EXPECT_EQ(found(typed), both(words[0], words[1])) << typed;
    }
    EXPECT_EQ(found("sinatra love").size(), 4u);
}

TEST_F(SongSearchTest, TheIndexOffersCandidatesTheExactMatchDecides) {
    // Every piece of "love" without the word: the index offers the song, the search does not find it.
    // Songs before them, so that the six below complete a batch and go into the index.
    for (int i = 0; i < kSearchPendingLimit - 6; ++i) {
        add(QStringLiteral("Filler %1").arg(i), "Song");
    }
    const SongRecord pieces = add("Lovx Ovex", "Song");
    songs << pieces;
    for (int i = 0; i < 5; ++i) {
        songs << add(QStringLiteral("Artist %1").arg(i), "Love");
    }
    ASSERT_FALSE(waiting(pieces));
    const QString match = searchMatchText(searchPieces("love"));
    SearchSample sample;
    ASSERT_TRUE(store.sampleSearchCandidates(TableId::Tunarium, match, 100, sample).ok());
    EXPECT_EQ(sample.candidates, 6);
    EXPECT_EQ(sample.estimated(100), 6);
    // Three counted by the third of the six songs: as dense over the rest of them.
    ASSERT_TRUE(store.sampleSearchCandidates(TableId::Tunarium, match, 3, sample).ok());
    EXPECT_EQ(sample.candidates, 3);
    EXPECT_EQ(sample.lastRec, pieces.meta.rec + 2);
    EXPECT_EQ(sample.highestRec, pieces.meta.rec + 5);
    EXPECT_EQ(sample.estimated(3), 3 * sample.highestRec / sample.lastRec);
    EXPECT_EQ(found("love"), substringOf("love"));
    EXPECT_EQ(found("love").count(pieces.id), 0u);
    SongSearchPlan plan = planSongSearch(store, parseSongSearch("love"), {});
    ASSERT_TRUE(countSongSearch(store, plan).ok());
    EXPECT_EQ(plan.found, 5);
    // Only the songs table has an index.
    EXPECT_FALSE(store.sampleSearchCandidates(TableId::Categories, match, 10, sample).ok());
}

TEST_F(SongSearchTest, HostileTextsAreSearchedAsTyped) {
    songs << add("Robert'); DROP TABLE Tunarium;--", "x OR 1=1") << add("Plain", "Song")
          << add("\"quoted\"", "NEAR(a b) AND c*") << add("back\\slash", "%_%");
    const QStringList hostile = {
        "'); DROP TABLE Tunarium;--",
        "' OR '1'='1",
        "x OR 1=1",
        "NEAR(a",
        "c*",
        "AND",
        "%_%",
        "\\",
        "back\\slash",
        "?",
        ":",
        "\x01",
        "\"\"",
        "\"\"\"\"",
        "*:*",
        "{artist}:x",
        "^abc",
        "-\"quoted\"",
        "title:'; DELETE FROM Tunarium; --",
    };
    for (const QString& text : hostile) {
        const SongSearch search = parseSongSearch(text);
        if (!search.ok()) {
            EXPECT_FALSE(search.error.isEmpty());
            continue;
        }
        const SongSearchPlan plan = planSongSearch(store, search, {});
        EXPECT_TRUE(plan.error.ok()) << qPrintable(text) << qPrintable(plan.error.driverMessage);
        const Ids ids = idsWhere(plan.condition);
        // A control character ends a word as a blank does.
        if (!text.contains(u' ') && !text.contains(u'"') && !text.contains(u':') && !text.startsWith(u'-') &&
            !text.contains(QChar(1))) {
            EXPECT_EQ(ids, substringOf(text)) << qPrintable(text);
        }
    }
    // Found by the fuzzer: a NUL and the keys' separator reached the filter's literal.
    const SongSearch controls = parseSongSearch(QString::fromLatin1("\x01\x00\x00\x01"
                                                                    "bac\x00k",
                                                                    9));
    ASSERT_TRUE(controls.ok()) << qPrintable(controls.error);
    const SongSearchPlan controlsPlan = planSongSearch(store, controls, {});
    EXPECT_TRUE(controlsPlan.error.ok()) << qPrintable(controlsPlan.error.driverMessage);
    EXPECT_EQ(idsWhere(controlsPlan.condition), substringOf(QStringLiteral("back\\slash")));
    EXPECT_EQ(store.count(TableId::Tunarium), 4);
    EXPECT_TRUE(indexInStep());
}

TEST(SearchPieces, CountsCharactersAndSpreadsOverLongWords) {
    EXPECT_EQ(searchPieces("lo"), QStringList{});
    EXPECT_EQ(searchPieces("love"), (QStringList{"lov", "ove"}));
    EXPECT_EQ(searchPieces("🎵ab"), QStringList{"🎵ab"});
    const QStringList longWord = searchPieces(QString(40, u'a') + "xyz");
    EXPECT_EQ(longWord, (QStringList{"aaa", "xyz"}));
    const QStringList spread = searchPieces("abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(spread.size(), kSearchPiecesPerWord);
    EXPECT_EQ(spread.first(), "abc");
    EXPECT_EQ(spread.last(), "xyz");
    EXPECT_EQ(searchMatchText({"a\"b", "xyz"}), "\"a\"\"b\" \"xyz\"");
}

} // namespace
