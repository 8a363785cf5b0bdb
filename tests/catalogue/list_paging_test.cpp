// The list engine's pages against the full ordered result: paging in every sort order, ranges,
// the user filter, tab switches, the end-of-table rules, and the query plans of its reads.
#include "data/schema_sql.h"
#include "list_fixture.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include <optional>

using namespace tunarium;
using namespace tunarium::test;

namespace {

constexpr int kLines = 25;

class ListPagingTest : public ListTest {
protected:
    // Pages down from the top to the end and back up, checking every page against `all`.
    void walkPages(ListEngine& e, const QVector<qint64>& all) {
        const int n = static_cast<int>(all.size());
        const int lines = e.lineCount();
        ASSERT_EQ(page(e), all.mid(0, lines));
        int first = 0;
        while (first + lines < n) {
            e.scroll(ScrollAction::PageDown);
            first = std::min(first + lines, n - lines);
            ASSERT_EQ(page(e), all.mid(first, lines)) << "page down to " << first;
        }
        while (first > 0) {
            e.scroll(ScrollAction::PageUp);
            first = std::max(first - lines, 0);
            ASSERT_EQ(page(e), all.mid(first, lines)) << "page up to " << first;
        }
    }
};

TEST_F(ListPagingTest, EverySortOrderPagesThroughTheOrderedTable) {
    addSongs(1500);
    auto e = makeEngine(songsList(), kLines);
    for (int order = 1; order <= 8; ++order) {
        SCOPED_TRACE(order);
        e->setTab(order == 8 ? 0 : order);
        e->refresh();
        ASSERT_EQ(e->sortOrder(), order);
        const QVector<qint64> all = expected(order, e->rangeValue(order));
        e->scroll(ScrollAction::Top);
        walkPages(*e, all);
    }
}

TEST_F(ListPagingTest, ScrollingOneRecordAndTopAndBottom) {
    addSongs(400);
    auto e = makeEngine(songsList(), kLines);
    e->refresh();
    const QVector<qint64> all = expected(kByArtist);
    for (int i = 0; i < kLines + 2; ++i) {
        e->scroll(ScrollAction::OneDown);
    }
    // The selection ran down the page, then the page moved three records.
    EXPECT_EQ(page(*e), all.mid(3, kLines));
    EXPECT_EQ(selectedRec(*e), all[kLines + 2]);
    for (int i = 0; i < kLines + 1; ++i) {
        e->scroll(ScrollAction::OneUp);
    }
    EXPECT_EQ(page(*e), all.mid(1, kLines));
    EXPECT_EQ(e->selectedIndex(), 0);

    e->scroll(ScrollAction::Bottom);
    EXPECT_EQ(page(*e), all.mid(all.size() - kLines));
    EXPECT_EQ(e->selectedIndex(), kLines - 1);
    e->scroll(ScrollAction::OneDown); // nothing beyond the last record
    EXPECT_EQ(page(*e), all.mid(all.size() - kLines));
    e->scroll(ScrollAction::Top);
    EXPECT_EQ(page(*e), all.mid(0, kLines));
    EXPECT_EQ(e->selectedIndex(), 0);
}

TEST_F(ListPagingTest, ResizingKeepsTheSelectedRecordInThePage) {
    addSongs(100);
    auto e = makeEngine(songsList(), 10);
    e->refresh();
    const QVector<qint64> all = expected(kByArtist);
    e->scroll(ScrollAction::PageDown);
    e->selectRow(8);
    e->setLineCount(5);
    EXPECT_EQ(page(*e), all.mid(14, 5));
    EXPECT_EQ(selectedRec(*e), all[18]);
    e->setLineCount(20);
    EXPECT_EQ(page(*e), all.mid(14, 20));
    EXPECT_EQ(selectedRec(*e), all[18]);
    e->scroll(ScrollAction::Bottom);
    e->setLineCount(30);
    EXPECT_EQ(page(*e), all.mid(70, 30));
    EXPECT_EQ(selectedRec(*e), all[99]);
}

TEST_F(ListPagingTest, PagingAtTheEndsMovesTheSelectionByWhatWasMissing) {
    addSongs(60);
    auto e = makeEngine(songsList(), 10);
    e->refresh();
    const QVector<qint64> all = expected(kByArtist);
    e->selectRow(3);
    e->scroll(ScrollAction::PageUp); // already at the top: 10 short
    EXPECT_EQ(e->selectedIndex(), 0);
    EXPECT_EQ(page(*e), all.mid(0, 10));
    for (int i = 0; i < 4; ++i) {
        e->scroll(ScrollAction::PageDown);
    }
    e->selectRow(2);
    e->scroll(ScrollAction::PageDown); // a whole page: the selection keeps its row
    EXPECT_EQ(page(*e), all.mid(50, 10));
    EXPECT_EQ(e->selectedIndex(), 2);
    e->scroll(ScrollAction::PageDown); // nothing more: the selection goes down by 10
    EXPECT_EQ(e->selectedIndex(), 9);
}

TEST_F(ListPagingTest, FewerRecordsThanLines) {
    for (const char* artist : {"Cher", "Abba", "Queen", "Muse", "Eagles"}) {
        addSong(artist, "Song");
    }
    auto e = makeEngine(songsList(), 10);
    e->refresh();
    ASSERT_EQ(e->rowCount(), 5);
    EXPECT_FALSE(e->scrollBarVisible());
    e->scroll(ScrollAction::PageDown);
    EXPECT_EQ(e->selectedIndex(), 4);
    e->scroll(ScrollAction::PageUp);
    EXPECT_EQ(e->selectedIndex(), 0);
    EXPECT_EQ(e->row(0).record.text(field(TableId::Tunarium, "Artist")), "Abba");
}

TEST_F(ListPagingTest, EmptyTableGivesAnEmptyPage) {
    auto e = makeEngine(songsList(), 10);
    e->refresh();
    EXPECT_EQ(e->rowCount(), 0);
    EXPECT_EQ(e->selectedIndex(), -1);
    EXPECT_FALSE(e->changeEnabled());
    EXPECT_EQ(e->title(), "Songs - 0 entries");
    e->scroll(ScrollAction::PageDown);
    e->dragThumb(50);
    EXPECT_EQ(e->rowCount(), 0);
}

TEST_F(ListPagingTest, LocatorPositionsAtTheFirstKeyNotBelowItAndPastTheEndShowsTheLastPage) {
    addSongs(300);
    auto e = makeEngine(songsList(), kLines);
    e->refresh();
    const QVector<qint64> all = expected(kByArtist);
    const int artist = field(TableId::Tunarium, "Artist");
    e->pressKey(ListKey::Character, u'm');
    e->pressKey(ListKey::Character, u'O');
    const QString selected = e->record().text(artist);
    EXPECT_EQ(selected, "Mozart");
    EXPECT_EQ(e->locatorText(), "mO");
    // The first "Mozart" in key order, and the page starts there.
    const int at = static_cast<int>(all.indexOf(selectedRec(*e)));
    Row before;
    ASSERT_TRUE(store().fetch(TableId::Tunarium, all[at - 1], before).ok());
    EXPECT_LT(foldKey(before.text(artist)), "mo");
    EXPECT_EQ(page(*e), all.mid(at, kLines));

    e->pressKey(ListKey::Backspace);
    e->pressKey(ListKey::Backspace);
    EXPECT_EQ(page(*e), all.mid(0, kLines));
    // "ž" now sorts as "z", among the artists; Greek sorts after every Latin name.
    e->pressKey(ListKey::Character, u'\u03c9'); // beyond every artist
    EXPECT_EQ(e->locatorText(), QString(u'\u03c9'));
    EXPECT_EQ(page(*e), all.mid(all.size() - kLines));
    EXPECT_EQ(e->selectedIndex(), kLines - 1);
}

TEST_F(ListPagingTest, RangeTabsShowOneMediaOrCategory) {
    addSongs(800);
    auto e = makeEngine(songsList(), kLines, kByMedia);
    e->setRangeValue(kByMedia, {QStringLiteral("lp")});
    e->refresh();
    const QVector<qint64> lp = expected(kByMedia, {"LP"});
    ASSERT_GT(lp.size(), 2 * kLines);
    walkPages(*e, lp);
    e->scroll(ScrollAction::Bottom);
    EXPECT_EQ(page(*e), lp.mid(lp.size() - kLines));

    // The same media again (in other case) keeps the position; another one reloads from its top.
    e->setRangeValue(kByMedia, {QStringLiteral("LP")});
    e->refresh();
    EXPECT_EQ(page(*e), lp.mid(lp.size() - kLines));
    e->setRangeValue(kByMedia, {QStringLiteral("CD")});
    e->refresh();
    const QVector<qint64> cd = expected(kByMedia, {"CD"});
    EXPECT_EQ(page(*e), cd.mid(0, kLines));
    EXPECT_EQ(e->selectedIndex(), 0);

    // A category range with a user filter on top; the title still counts the whole table.
    const int bpm = field(TableId::Tunarium, "BeatsPerMinute");
    e->setTab(kByCategory);
    e->setRangeValue(kByCategory, {qint64(3)});
    e->setUserFilter({"\"BeatsPerMinute\" >= ?", {qint64(100)}});
    e->refresh();
    e->scroll(ScrollAction::Top);
    walkPages(*e, expected(kByCategory, {qint64(3)}, [&](const Row& r) { return r.number(bpm) >= 100; }));
    EXPECT_EQ(e->title(), "Songs - 800 entries");
}

TEST_F(ListPagingTest, SwitchingTabsAndSearchingKeepTheRecord) {
    addSongs(500);
    auto e = makeEngine(songsList(), kLines);
    e->refresh();
    for (int i = 0; i < 7; ++i) {
        e->scroll(ScrollAction::PageDown);
    }
    e->selectRow(11);
    const qint64 rec = selectedRec(*e);
    for (int tab : {1, 2, 0}) {
        e->setTab(tab);
        e->refresh();
        EXPECT_EQ(selectedRec(*e), rec) << "tab " << tab;
    }
    // A filter that the record does not pass selects the next one that does.
    const QVector<qint64> all = expected(kByArtist);
    e->setUserFilter({"\"_rec\" <> ?", {rec}});
    e->refresh();
    const int at = static_cast<int>(all.indexOf(rec));
    EXPECT_EQ(selectedRec(*e), all[at + 1]);
    EXPECT_EQ(page(*e).front(), all[at + 1]);
}

TEST_F(ListPagingTest, LookupColumnsShowTheJoinedRecordAndFocusRereads) {
    addCategory(1, "Rock");
    addCategory(2, "Jazz");
    const SongRecord a = addSong("Abba", "Waterloo", 0, "CD", 1);
    addSong("Basie", "One O'Clock", 0, "CD", 2);
    addSong("Cher", "Believe", 0, "CD", 7); // names no category
    auto e = makeEngine(songsList(), 10);
    e->refresh();
    EXPECT_EQ(e->cellText(0, 2), "Rock");
    EXPECT_EQ(e->cellText(1, 2), "Jazz");
    EXPECT_EQ(e->cellText(2, 2), "");
    EXPECT_EQ(e->lookupRecord(0).text(1), "Rock");

    // Another window renames the category and retitles the song; the browse sees both when it
    // regains the focus, on the same record.
    CategoryRecord rock;
    ASSERT_TRUE(store().get(key(TableId::Categories, "KeyCategoryID"), {qint64(1)}, rock).ok());
    rock.category = "Pop";
    ASSERT_TRUE(store().update(rock).ok());
    SongRecord changed = a;
    changed.title = "Mamma Mia";
    ASSERT_TRUE(store().update(changed).ok());
    e->focusGained();
    EXPECT_EQ(e->cellText(0, 2), "Pop");
    EXPECT_EQ(e->cellText(0, 1), "Mamma Mia");
    EXPECT_EQ(selectedRec(*e), a.meta.rec);
}

TEST_F(ListPagingTest, AFilterThatCannotBeUsedIsDroppedWithTheViewOpenError) {
    addSongs(30);
    auto e = makeEngine(songsList(), 10);
    e->setUserFilter({"NoSuchColumn = ?", {1}});
    e->refresh();
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_EQ(prompter.messages.last().caption, "View Open Error");
    EXPECT_EQ(page(*e), expected(kByArtist).mid(0, 10));
}

// Every read the engine makes walks its key's index: a seek for reads from a position, a walk
// from the index's end for the others; never a table scan or a sort.
TEST_F(ListPagingTest, EveryPageReadSearchesItsIndex) {
    addSongs(200);
    const ListDefinition def = songsList();
    const TableDef& t = tableDef(TableId::Tunarium);
    for (int order = 1; order <= 8; ++order) {
        for (const SqlCondition& filter : {SqlCondition{}, SqlCondition{"\"Style\" = ?", {"x"}}}) {
            const SortOrderDef& s = def.sortOrders[order - 1];
            ListCursor cursor(store(), TableId::Tunarium, def.joins);
            cursor.setOrder(s.key, s.rangeLength, {}, filter);
            const int full = static_cast<int>(t.key(s.key).components.size());
            const QString index = sql::indexName(t, s.key);
            for (auto d : {Direction::Forward, Direction::Backward}) {
                for (int prefix : {s.rangeLength, s.rangeLength + 1, full, -1}) {
                    const bool withRecord = prefix < 0;
                    const QString q =
                        cursor.readSql(withRecord ? full : prefix, withRecord, d, prefix != full);
                    const QString plan = store().explainQueryPlan(q).join('\n');
                    SCOPED_TRACE(q.toStdString() + "\n" + plan.toStdString());
                    EXPECT_TRUE(plan.contains("USING INDEX " + index) ||
                                plan.contains("USING COVERING INDEX " + index));
                    EXPECT_FALSE(plan.contains("TEMP B-TREE"));
                    EXPECT_FALSE(
                        plan.contains(QRegularExpression("SCAN \\S+$", QRegularExpression::MultilineOption)));
                    if (prefix > 0 || withRecord) {
                        EXPECT_TRUE(plan.startsWith("SEARCH"));
                    }
                    if (withRecord && sql::keyHasTieBreaker(t, s.key)) {
                        EXPECT_TRUE(plan.contains("_rec)"));
                    }
                }
            }
        }
    }
}

} // namespace

// While a search walks aside, every move past the page's edge (a page, a line, the ends, the
// thumb, the locator) is read on the walk's side: the page and the selection that come of it are
// those of the same moves read here.
TEST_F(ListPagingTest, MovesReadAsideShowWhatMovesReadHereShow) {
    addSongs(1200);
    const SqlCondition filter{"\"BeatsPerMinute\" % 3 <> ?", {qint64(0)}};
    auto here = makeEngine(songsList(), kLines);
    auto aside = makeEngine(songsList(), kLines);
    std::optional<PageWalk> asked;
    int walks = 0;
    aside->setWalkAside([&](const PageWalk& walk) { asked = walk; });
    // The walk's answer comes later, between the window's events, as the walker's does.
    const auto answer = [&] {
        while (asked) {
            const PageWalk walk = *std::exchange(asked, std::nullopt);
            ++walks;
            aside->pageWalked(walkPage(store(), walk));
        }
    };
    QRandomGenerator rng(5);
    for (int tab : {0, 1, 5}) {
        SCOPED_TRACE(tab);
        for (ListEngine* e : {here.get(), aside.get()}) {
            e->setTab(tab);
            e->setUserFilter(filter, true);
            e->refresh();
        }
        answer();
        ASSERT_EQ(page(*aside), page(*here));
        for (int step = 0; step < 120; ++step) {
            const int move = rng.bounded(9);
            const QChar letter(u'A' + rng.bounded(26));
            const int position = rng.bounded(1, 101);
            for (ListEngine* e : {here.get(), aside.get()}) {
                const auto then = [&] {
                    if (e == aside.get()) {
                        answer();
                    }
                };
                switch (move) {
                case 0: e->scroll(ScrollAction::PageDown); break;
                case 1: e->scroll(ScrollAction::PageUp); break;
                case 2: e->scroll(ScrollAction::OneDown); break;
                case 3: e->scroll(ScrollAction::OneUp); break;
                case 4: e->scroll(ScrollAction::Top); break;
                case 5: e->scroll(ScrollAction::Bottom); break;
                case 6: e->dragThumb(position); break;
                case 7: e->pressKey(ListKey::Character, letter); break;
                default:
                    // Down the page and past its edge, each line's page awaited as the window does.
                    for (int i = 0; i < kLines; ++i) {
                        e->scroll(ScrollAction::OneDown);
                        then();
                    }
                    break;
                }
                then();
            }
            ASSERT_EQ(page(*aside), page(*here)) << "move " << move << " at step " << step;
            ASSERT_EQ(selectedRec(*aside), selectedRec(*here)) << "move " << move << " at step " << step;
        }
    }
    EXPECT_GT(walks, 200);
}
