// The search box of the songs browse as a user works it: typing, the pause, the title's count, a
// text that cannot be searched, Escape, and the query wizard's search applying as well.
#include "catalogue/ui/songs_browse_window.h"
#include "data/store_sqlite.h"
#include "support/temp_collection.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class SongSearchBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(db->openTable(t.id));
        }
        const char* titles[] = {"Love Me Do", "Lovely Day", "Glove Box", "Delta", "Echo", "Crazy in Love"};
        for (int i = 0; i < 6; ++i) {
            SongRecord s;
            s.id = i + 1;
            s.artist = i % 2 ? "Odd" : "Even";
            s.title = titles[i];
            ASSERT_TRUE(db->store().insert(s).ok());
        }
        settings = Settings::load(dir.configDir() + "/Tunar98.INI");
        window = SongsBrowseWindow::openSongs({*db, settings, prompter, nullptr, nullptr, procedures});
        ASSERT_NE(window, nullptr);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    void TearDown() override {
        if (window) {
            window->close();
            QCoreApplication::processEvents();
        }
    }
    QStringList titles() {
        QStringList t;
        for (int r = 0; r < window->engine().rowCount(); ++r) {
            t << window->engine().row(r).record.text(tun::kTitle);
        }
        return t;
    }
    void type(const QString& text) {
        QLineEdit* field = window->searchBox()->field();
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
    Settings settings;
    ProcedureRegistry procedures;
    QPointer<SongsBrowseWindow> window;
};

} // namespace

TEST_F(SongSearchBoxTest, TheListFollowsTypingAfterAPause) {
    type("love");
    // Nothing happens while typing goes on.
    EXPECT_EQ(window->engine().rowCount(), 6);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->engine().rowCount() == 4; }, 2000))
        << window->engine().rowCount();
    // In the order of the tab the list opens on: by artist.
    EXPECT_EQ(titles(), (QStringList{"Glove Box", "Love Me Do", "Crazy in Love", "Lovely Day"}));
    // The count follows the first page.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowTitle().endsWith("(4 found)"); }, 2000));

    type("lo -artist:odd");
    window->searchBox()->searchNow();
    // The index cannot narrow it: its page is walked aside, the old one shown meanwhile.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->engine().walking(); }, 5000));
    EXPECT_EQ(titles(), (QStringList{"Glove Box", "Love Me Do"}));
    // A short word and a "not" term, which the index cannot narrow, are counted too.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowTitle().endsWith("(2 found)"); }, 2000))
        << qPrintable(window->windowTitle());
}

TEST_F(SongSearchBoxTest, ABadTextIsNamedUnderTheBoxAndTheListStays) {
    type("love");
    window->searchBox()->searchNow();
    ASSERT_EQ(window->engine().rowCount(), 4);
    type("bpm:abc");
    window->searchBox()->searchNow();
    EXPECT_TRUE(window->searchBox()->problem().contains("bpm: needs a number"));
    EXPECT_EQ(window->engine().rowCount(), 4);
    type("\"open");
    window->searchBox()->searchNow();
    EXPECT_TRUE(window->searchBox()->problem().contains("quote"));
    type("echo");
    window->searchBox()->searchNow();
    EXPECT_TRUE(window->searchBox()->problem().isEmpty());
    EXPECT_EQ(titles(), QStringList{"Echo"});
}

TEST_F(SongSearchBoxTest, EscapeClearsThenLeavesAndSlashOrCtrlFComeBack) {
    type("delta");
    window->searchBox()->searchNow();
    ASSERT_EQ(window->engine().rowCount(), 1);
    QLineEdit* field = window->searchBox()->field();
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(window->engine().rowCount(), 6);
    EXPECT_FALSE(window->windowTitle().contains("found"));
    ASSERT_TRUE(window);

    ASSERT_TRUE(field->hasFocus());
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(window); // Escape in the box never closes the window
    EXPECT_FALSE(field->hasFocus());
    EXPECT_TRUE(window->list()->hasFocus());

    QTest::keyClicks(window->list(), "/");
    EXPECT_TRUE(field->hasFocus());
    window->list()->setFocus();
    QTest::keyClick(window->list(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(field->hasFocus());
}

TEST_F(SongSearchBoxTest, TheWizardsSearchAppliesAsWell) {
    window->applySearch("TUN:Artist = 'Even'");
    type("love");
    window->searchBox()->searchNow();
    EXPECT_EQ(titles(), (QStringList{"Glove Box", "Love Me Do"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowTitle().endsWith("(2 found)"); }, 2000));
    window->resetSearch();
    EXPECT_EQ(titles().size(), 4);
}

TEST_F(SongSearchBoxTest, TheCountFollowsSongsWrittenSinceTheSearch) {
    const auto addSong = [](Store& store, qint64 id, const char* title) {
        SongRecord s;
        s.id = id;
        s.artist = "Later";
        s.title = title;
        return store.insert(s).ok();
    };
    type("love");
    window->searchBox()->searchNow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowTitle().endsWith("(4 found)"); }, 2000));
    // Written here (as a form saves); the list is read again as when the window gains the focus.
    ASSERT_TRUE(addSong(db->store(), 7, "Love Train"));
    window->engine().focusGained();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowTitle().endsWith("(5 found)"); }, 2000));
    EXPECT_EQ(window->windowTitle().count("found"), 1) << qPrintable(window->windowTitle());

    // Nothing found, then a song written by another copy of the program.
    type("zebra");
    window->searchBox()->searchNow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowTitle().endsWith("(none found)"); }, 2000));
    {
        SqliteStore other;
        ASSERT_TRUE(other.open(dir.dir()).ok());
        ASSERT_TRUE(other.openTable(TableId::Tunarium).ok());
        ASSERT_TRUE(addSong(other, 8, "Zebra Crossing"));
    }
    window->engine().focusGained();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowTitle().endsWith("(1 found)"); }, 2000));
    EXPECT_EQ(window->engine().rowCount(), 1);
}
