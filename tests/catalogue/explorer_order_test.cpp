// The explorers' header orders: every orderable column of both explorers pages through every
// record in its order, in both directions, through its index; the category column by the
// category's name, also after a rename; the locator under a reversed order.
#include "catalogue/explorer_views.h"
#include "data/date_time.h"
#include "data/schema_sql.h"
#include "list_fixture.h"

#include <algorithm>
#include <tuple>

#include <QRandomGenerator>

namespace tunarium::test {

namespace {

class ExplorerOrderTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        ASSERT_TRUE(db->openTable(TableId::Album));
    }

    // Songs with every explorer field filled at random, blanks and zeros among them, and three
    // categories whose names do not follow their numbers.
    void addExplorerSongs(int count) {
        addCategory(1, "Rock");
        addCategory(2, "ambient");
        addCategory(3, "Élan");
        static const QStringList words = {"Love", "night", "", "Star", "ábc", "Zero", "blue", "10cc"};
        QRandomGenerator rng(11);
        auto pick = [&] { return words[rng.bounded(static_cast<int>(words.size()))]; };
        Transaction tx(store());
        ASSERT_TRUE(tx.ok());
        for (int i = 1; i <= count; ++i) {
            SongRecord s;
            s.id = i;
            s.artist = pick();
            s.title = pick();
            s.mix = pick();
            s.album = pick();
            s.media = pick();
            s.fileNumber = pick();
            s.style = pick();
            s.userDefinedKeyField = pick();
            s.categoryId = rng.bounded(4);
            s.time = rng.bounded(3) == 0 ? 0 : 1 + rng.bounded(40000);
            s.releaseDate = rng.bounded(80000);
            s.lastPlayed = rng.bounded(2) * rng.bounded(80000);
            s.beatsPerMinute = rng.bounded(200);
            s.trackNumber = rng.bounded(20);
            s.side = rng.bounded(3);
            s.rating = rng.bounded(11);
            ASSERT_TRUE(store().insert(s).ok());
        }
        for (int i = 1; i <= count / 4; ++i) {
            AlbumRecord a;
            a.albumId = i;
            a.album = pick() + QString::number(i);
            a.artist = pick();
            a.media = pick();
            a.fileNumber = pick();
            a.xccd = pick();
            a.releaseDate = rng.bounded(80000);
            ASSERT_TRUE(store().insert(a).ok());
        }
        ASSERT_TRUE(tx.commit().ok());
    }

    // The value a column orders by: the folded text, the number (a release date's place among
    // dates, tested against its own oracle in tests/data), or the category's folded name.
    QVariant orderValue(const ListEngine& e, int row, int field) {
        const ExplorerField& f =
            e.definition().table == TableId::Tunarium ? songs.fields[field] : albums.fields[field];
        const PageRow& r = e.row(row);
        if (f.name == "CAT:Category") {
            return foldKey(r.lookups.value(0).value(cat::kCategory).toString());
        }
        const int index = r.record.table().fieldIndex(f.name.mid(4));
        if (r.record.table().field(index).mayHoldBareYear) {
            return releaseOrderValue(r.record.number(index));
        }
        return r.record.table().field(index).isText() ? QVariant(foldKey(r.record.text(index)))
                                                      : QVariant(r.record.number(index));
    }

    // Pages from the top to the bottom (or from the bottom up) and returns the records met with
    // the values they were ordered by.
    QVector<QPair<qint64, QVariant>> walk(ListEngine& e, int field, bool up) {
        QVector<QPair<qint64, QVariant>> seen;
        e.scroll(up ? ScrollAction::Bottom : ScrollAction::Top);
        QSet<qint64> shown;
        for (int guard = 0; guard < 1000; ++guard) {
            for (int i = 0; i < e.rowCount(); ++i) {
                const int row = up ? e.rowCount() - 1 - i : i;
                if (!shown.contains(e.row(row).record.meta.rec)) {
                    shown.insert(e.row(row).record.meta.rec);
                    seen.push_back({e.row(row).record.meta.rec, orderValue(e, row, field)});
                }
            }
            const qint64 edge = e.row(up ? 0 : e.rowCount() - 1).record.meta.rec;
            e.scroll(up ? ScrollAction::PageUp : ScrollAction::PageDown);
            if (e.row(up ? 0 : e.rowCount() - 1).record.meta.rec == edge) {
                break;
            }
        }
        return seen;
    }

    static bool inOrder(const QVariant& a, const QVariant& b, bool descending) {
        const int c = a.typeId() == QMetaType::QString
                          ? QString::compare(a.toString(), b.toString())
                          : (a.toLongLong() < b.toLongLong() ? -1 : a.toLongLong() > b.toLongLong());
        return descending ? c >= 0 : c <= 0;
    }

    void checkEveryOrder(const ExplorerDefinition& def, int records) {
        for (int field = 0; field < def.fields.size(); ++field) {
            for (bool descending : {false, true}) {
                SCOPED_TRACE(def.fields[field].name.toStdString() +
                             (descending ? " descending" : " ascending"));
                ASSERT_GT(def.fields[field].sortOrder, 0);
                auto e = makeEngine(def.list, 7);
                e->orderBy(def.fields[field].sortOrder, descending);
                e->refresh();
                for (bool up : {false, true}) {
                    QVector<QPair<qint64, QVariant>> seen = walk(*e, field, up);
                    ASSERT_EQ(seen.size(), records) << (up ? "paging up" : "paging down");
                    for (int i = 1; i < seen.size(); ++i) {
                        ASSERT_TRUE(up ? inOrder(seen[i].second, seen[i - 1].second, descending)
                                       : inOrder(seen[i - 1].second, seen[i].second, descending))
                            << "record " << seen[i].first << " at " << i;
                    }
                }
            }
        }
    }

    ExplorerDefinition songs = xploreSongsDefinition();
    ExplorerDefinition albums = xploreAlbumsDefinition();
};

TEST_F(ExplorerOrderTest, EveryColumnOrdersEveryRecordInBothDirections) {
    addExplorerSongs(120);
    checkEveryOrder(songs, 120);
    checkEveryOrder(albums, 30);
}

// Every page query of every orderable column, either way, from the ends and from a position,
// walks its index: no sort of the table per page.
TEST_F(ExplorerOrderTest, EveryPageQuerySearchesAnIndexWithoutSorting) {
    addExplorerSongs(50);
    for (const ExplorerDefinition& def : {songs, albums}) {
        const TableDef& t = tableDef(def.list.table);
        for (const SortOrderDef& s : def.list.sortOrders) {
            const int full = static_cast<int>(t.key(s.key).components.size());
            QVector<QPair<QString, QString>> queries; // SQL, index it must use
            for (auto d : {Direction::Forward, Direction::Backward}) {
                for (const SqlCondition& filter : {SqlCondition{}, SqlCondition{"\"Media\" = ?", {"x"}}}) {
                    // A category order reads each category's songs as a range of its key.
                    const WalkLimits limits =
                        s.lookupJoin >= 0 ? WalkLimits(1, {qint64(2)}, filter) : WalkLimits(filter);
                    for (int prefix : {0, 1, full}) {
                        for (bool withRecord : {false, true}) {
                            queries.push_back({store().walkText(def.list.table, s.key, prefix, withRecord, d,
                                                                !withRecord, limits),
                                               sql::indexName(t, s.key)});
                        }
                    }
                }
                if (s.lookupJoin >= 0) {
                    const TableDef& c = tableDef(TableId::Categories);
                    for (bool withRecord : {false, true}) {
                        queries.push_back(
                            {store().walkText(TableId::Categories, s.lookupKey, 1, withRecord, d, true),
                             sql::indexName(c, s.lookupKey)});
                    }
                }
            }
            for (const auto& [q, index] : queries) {
                const QString plan = store().explainQueryPlan(q).join('\n');
                SCOPED_TRACE(q.toStdString() + "\n" + plan.toStdString());
                EXPECT_TRUE(plan.contains("INDEX " + index));
                EXPECT_FALSE(plan.contains("TEMP B-TREE"));
                EXPECT_FALSE(plan.contains("SCAN " + t.label + "\n") && !plan.contains("INDEX"));
            }
        }
    }
}

TEST_F(ExplorerOrderTest, CategoryOrderFollowsARename) {
    addExplorerSongs(60);
    const int category = 5; // CAT:Category in the songs explorer's field table
    auto e = makeEngine(songs.list, 9);
    e->orderBy(songs.fields[category].sortOrder, false);
    e->refresh();
    CategoryRecord rock;
    ASSERT_TRUE(store().get(cat::kKeyCategoryId, {qint64(1)}, rock).ok());
    rock.category = "Acid";
    ASSERT_TRUE(store().update(rock).ok());
    e->focusGained();
    const auto seen = walk(*e, category, false);
    ASSERT_EQ(seen.size(), 60);
    for (int i = 1; i < seen.size(); ++i) {
        ASSERT_TRUE(inOrder(seen[i - 1].second, seen[i].second, false)) << i;
    }
    // The songs without a category come first, then "Acid".
    QStringList names;
    for (const auto& s : seen) {
        if (names.isEmpty() || names.last() != s.second.toString()) {
            names << s.second.toString();
        }
    }
    EXPECT_EQ(names, (QStringList{"", foldKey("Acid"), foldKey("ambient"), foldKey("Élan")}));
}

// The locator finds the typed text in the list's own direction; a number column takes the
// typed digits, and a text that is no number positions it at zero.
TEST_F(ExplorerOrderTest, LocatorPositionsInTheChosenDirection) {
    addExplorerSongs(80);
    struct Case {
        int field;
        bool descending;
        QString typed;
        std::function<bool(const QVariant&)> first; // what the selected row's value must be
    };
    const Case cases[] = {
        {1, false, "s", [](const QVariant& v) { return v.toString().startsWith(foldKey("S")); }},
        {1, true, "s", [](const QVariant& v) { return v.toString().startsWith(foldKey("S")); }},
        {14, false, "5", [](const QVariant& v) { return v.toLongLong() >= 5; }},
        {14, true, "5", [](const QVariant& v) { return v.toLongLong() <= 5; }},
        {14, false, "x", [](const QVariant& v) { return v.toLongLong() == 0; }},
        {5, false, "r", [](const QVariant& v) { return v.toString() == foldKey("Rock"); }},
        {5, true, "a", [](const QVariant& v) { return v.toString() == foldKey("ambient"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(songs.fields[c.field].name.toStdString() + " " + c.typed.toStdString());
        auto e = makeEngine(songs.list, 9);
        e->orderBy(songs.fields[c.field].sortOrder, c.descending);
        e->refresh();
        for (QChar ch : c.typed) {
            e->pressKey(ListKey::Character, ch);
        }
        ASSERT_GE(e->selectedIndex(), 0);
        EXPECT_TRUE(c.first(orderValue(*e, e->selectedIndex(), c.field)))
            << orderValue(*e, e->selectedIndex(), c.field).toString().toStdString();
        if (e->selectedIndex() > 0) {
            // The row before it comes before the typed value in the list's direction.
            EXPECT_FALSE(c.first(orderValue(*e, e->selectedIndex() - 1, c.field)) &&
                         c.field != 14); // numbers: every lower row may match
        }
    }
}

// The Release Date column of both explorers, paged two and three lines at a time either way and
// in either direction, shows a year alone just before the full dates of its year, against an
// order made here from the dates' years.
TEST_F(ExplorerOrderTest, ReleaseDateOrderPutsAYearAmongItsDates) {
    const qint64 dates[] = {dayNumberFromYmd(1999, 6, 1),
                            1999,
                            0,
                            dayNumberFromYmd(1998, 12, 31),
                            1965,
                            dayNumberFromYmd(1999, 1, 1),
                            1999,
                            dayNumberFromYmd(2024, 2, 29),
                            3000,
                            dayNumberFromYmd(1810, 1, 1),
                            1,
                            dayNumberFromYmd(1965, 7, 4)};
    Transaction tx(store());
    ASSERT_TRUE(tx.ok());
    qint64 id = 0;
    for (qint64 date : dates) {
        SongRecord s;
        s.id = ++id;
        s.releaseDate = date;
        ASSERT_TRUE(store().insert(s).ok());
        AlbumRecord a;
        a.albumId = id;
        a.album = QString::number(id);
        a.releaseDate = date;
        ASSERT_TRUE(store().insert(a).ok());
    }
    ASSERT_TRUE(tx.commit().ok());
    // Reading order: no date first, then by year; in a year the year alone, then its days; ties
    // by record number.
    const auto readingKey = [&](qint64 rec) {
        const qint64 v = dates[rec - 1];
        const bool year = holdsBareYear(v);
        return std::tuple{v == 0 ? -1 : releaseYear(v), year ? 0 : 1, year ? 0 : v, rec};
    };
    QVector<qint64> ascending;
    for (qint64 rec = 1; rec <= id; ++rec) {
        ascending << rec;
    }
    std::sort(ascending.begin(), ascending.end(),
              [&](qint64 a, qint64 b) { return readingKey(a) < readingKey(b); });
    const int songDate = 7;  // TUN:ReleaseDate in the songs explorer's field table
    const int albumDate = 4; // ALB:ReleaseDate in the albums explorer's
    ASSERT_EQ(songs.fields[songDate].name, "TUN:ReleaseDate");
    ASSERT_EQ(albums.fields[albumDate].name, "ALB:ReleaseDate");
    for (const auto& [def, field] : {std::pair{&songs, songDate}, std::pair{&albums, albumDate}}) {
        for (int lines : {2, 3}) {
            for (bool descending : {false, true}) {
                SCOPED_TRACE(def->fields[field].name.toStdString() + " " + std::to_string(lines) +
                             (descending ? " descending" : " ascending"));
                auto e = makeEngine(def->list, lines);
                e->orderBy(def->fields[field].sortOrder, descending);
                e->refresh();
                const QVector<qint64> expected =
                    descending ? QVector<qint64>(ascending.rbegin(), ascending.rend()) : ascending;
                for (bool up : {false, true}) {
                    QVector<qint64> recs;
                    for (const auto& [rec, value] : walk(*e, field, up)) {
                        recs << rec;
                    }
                    EXPECT_EQ(recs, up ? QVector<qint64>(expected.rbegin(), expected.rend()) : expected)
                        << (up ? "paging up" : "paging down");
                }
            }
        }
    }
}

TEST(ExplorerHeaderOrder, ClicksMoveAndTurnTheMarker) {
    const ExplorerDefinition def = xploreSongsDefinition();
    ExplorerOrder order;
    order.restore(0);
    struct Step {
        int field;
        int expectField;
        bool expectDescending;
        const char* artistHeader;
        const char* titleHeader;
    };
    const Step steps[] = {
        {0, 0, true, "<Artist", "Title"},  // the column already ordered: reversed
        {0, 0, false, ">Artist", "Title"}, // and back
        {1, 1, false, "Artist", ">Title"}, // another column: ascending, the marker moves
        {1, 1, true, "Artist", "<Title"},
        {0, 0, false, ">Artist", "Title"}, // back to the first: ascending again
    };
    for (const Step& s : steps) {
        EXPECT_EQ(order.click(def, s.field), ExplorerOrder::Click::Ordered);
        EXPECT_EQ(order.field(), s.expectField);
        EXPECT_EQ(order.descending(), s.expectDescending);
        EXPECT_EQ(order.headerText(0, "Artist"), s.artistHeader);
        EXPECT_EQ(order.headerText(1, "Title"), s.titleHeader);
    }
    EXPECT_EQ(order.click(def, 99), ExplorerOrder::Click::Ignored);
    ExplorerDefinition unorderable = def;
    unorderable.fields[3].sortOrder = 0;
    EXPECT_EQ(order.click(unorderable, 3), ExplorerOrder::Click::NotOrderable);
    EXPECT_EQ(order.field(), 0);
    EXPECT_EQ(ExplorerOrder::notOrderableMessage(unorderable, 3, "Media"),
              "Data cannot be ordered on column: Media (TUN:Media)");
    EXPECT_EQ(explorerOrderText(def, 0, false), "UPPER(TUN:Artist)");
    EXPECT_EQ(explorerOrderText(def, 0, true), "-UPPER(TUN:Artist)");
    EXPECT_EQ(explorerOrderText(def, 6, true), "-TUN:Time");
    EXPECT_EQ(explorerOrderText(unorderable, 3, false), "Escape|Key Sequence");
}

} // namespace

} // namespace tunarium::test
