// The songs browse's definition and its search, on the list engine.
#include "catalogue/list_engine.h"
#include "catalogue/songs_browse.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class NoForms : public ListHost {
public:
    void callForm(Request, const Row&) override {}
};

class SongsBrowseTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(db->openTable(t.id));
        }
        for (auto [id, name] : {std::pair<qint64, const char*>{1, "Rock"}, {2, "Jazz"}}) {
            CategoryRecord c{id, name, {}};
            ASSERT_TRUE(db->store().insert(c).ok());
        }
        const char* titles[] = {"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot", "Golf", "Hotel"};
        for (int i = 0; i < 8; ++i) {
            SongRecord s;
            s.id = i + 1;
            s.artist = i % 2 ? "Odd Band" : "Even Band";
            s.title = titles[i];
            s.categoryId = i < 3 ? 1 : 2;
            s.media = "CD";
            s.chartNumber = i * 16;
            ASSERT_TRUE(db->store().insert(s).ok());
        }
        engine = std::make_unique<ListEngine>(*db, songsListDefinition(), host);
        ASSERT_TRUE(engine->open());
        engine->setLineCount(5);
    }
    QStringList titles() const {
        QStringList t;
        for (int r = 0; r < engine->rowCount(); ++r) {
            t << engine->cellText(r, 1);
        }
        return t;
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
    NoForms host;
    std::unique_ptr<ListEngine> engine;
};

} // namespace

TEST(SongsBrowseDefinition, TitleTabsAndReports) {
    Row song(TableId::Tunarium);
    const TableDef& t = tableDef(TableId::Tunarium);
    song.setText(t.fieldIndex(u"Title"), "Blue Monday");
    EXPECT_EQ(songDisplayTitle(song), "Blue Monday");
    song.setNumber(t.fieldIndex(u"Skips"), 1);
    song.setText(t.fieldIndex(u"Mix"), "12\" Version   ");
    EXPECT_EQ(songDisplayTitle(song), "Blue Monday (Skips) (12\" Version)");
    song.setText(t.fieldIndex(u"Title"), QString(50, 'x'));
    EXPECT_EQ(songDisplayTitle(song).size(), 60);

    EXPECT_EQ(songsTabCaptions("Custom")[7], "By Custom");
    EXPECT_EQ(songsTabCaptions("Crate Number Long")[7], "By Crate Numb");
    EXPECT_EQ(songsTabCaptions("   ")[7], "By UDK");
    EXPECT_EQ(songsTabCaptions({}).last(), "Missing Files");
    EXPECT_EQ(songsTabCaptions({}).first(), "By Artist");
    EXPECT_EQ(songsTabReport(4, "Jazz"), "Music in Jazz Category");
    EXPECT_EQ(songsTabReport(0), "Songs by Artist");
    const ListDefinition d = songsListDefinition();
    EXPECT_EQ(d.sortOrders.size(), kSongsTabCount);
    EXPECT_EQ(d.columns.size(), 16); // the Track group shows two values
    EXPECT_EQ(ListEngine::sortOrderForTab(0, kSongsTabCount), kSongsByArtist);
    EXPECT_EQ(ListEngine::sortOrderForTab(3, kSongsTabCount), kSongsByMedia);
    EXPECT_EQ(ListEngine::sortOrderForTab(8, kSongsTabCount), kSongsMissingFiles);
}

TEST_F(SongsBrowseTest, SearchFiltersResetBringsAllBackAndTheTitleCountsEverything) {
    engine->setTab(1); // By Title
    engine->refresh();
    EXPECT_EQ(titles(), QStringList({"Alpha", "Bravo", "Charlie", "Delta", "Echo"}));
    EXPECT_EQ(engine->title(), "Songs - 8 entries");

    CompiledFilter none = compileSongsSearch("INSTRING('zzz', UPPER(TUN:Title), 1, 1) <> 0");
    ASSERT_TRUE(none.ok());
    engine->setUserFilter(none.condition);
    engine->refresh();
    EXPECT_EQ(engine->rowCount(), 0);
    EXPECT_FALSE(engine->changeEnabled());
    EXPECT_EQ(engine->title(), "Songs - 8 entries");

    CompiledFilter odd = compileSongsSearch("TUN:Artist = 'Odd Band'");
    ASSERT_TRUE(odd.ok());
    engine->setUserFilter(odd.condition);
    engine->refresh();
    EXPECT_EQ(titles(), QStringList({"Bravo", "Delta", "Foxtrot", "Hotel"}));
    engine->selectRow(2); // Foxtrot

    engine->setUserFilter({});
    engine->refresh();
    ASSERT_GE(engine->selectedIndex(), 0);
    EXPECT_EQ(engine->cellText(engine->selectedIndex(), 1), "Foxtrot");
}

TEST_F(SongsBrowseTest, ASearchOnTheCategoryTabFindsOnlyThatCategory) {
    engine->setTab(4); // By Category
    engine->setRangeValue(kSongsByCategory, {qint64(1)});
    CompiledFilter even = compileSongsSearch("TUN:Artist = 'Even Band'");
    ASSERT_TRUE(even.ok());
    engine->setUserFilter(even.condition);
    engine->refresh();
    EXPECT_EQ(titles(), QStringList({"Alpha", "Charlie"}));
    EXPECT_EQ(engine->cellText(0, 5), "Rock");
}

TEST_F(SongsBrowseTest, DigitsLocateByNumberOnTheChartTab) {
    engine->setTab(5); // By Chart #
    engine->refresh();
    struct Step {
        QChar key;
        const char* title;
    };
    // Chart numbers are 0, 16, 32 ... 112: typing 1 finds 16, then 12 finds 16, then 128 none
    // above (the last song).
    for (const Step& s : {Step{'1', "Bravo"}, Step{'2', "Bravo"}, Step{'8', "Hotel"}}) {
        engine->pressKey(ListKey::Character, s.key);
        ASSERT_GE(engine->selectedIndex(), 0);
        EXPECT_EQ(engine->cellText(engine->selectedIndex(), 1), s.title) << QString(s.key).toStdString();
    }
}

TEST(SongsSearch, AnUnreadableFilterIsAnError) {
    for (const char* text : {"TUN:Nothing = 1", "(TUN:Artist = 'x'", "TUN:Artist = 'unterminated"}) {
        const CompiledFilter f = compileSongsSearch(text);
        EXPECT_FALSE(f.ok()) << text;
        EXPECT_TRUE(f.condition.isEmpty()) << text;
    }
}
