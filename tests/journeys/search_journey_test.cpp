// The songs browse searched through its box the way a user does: a word typed, then changed; the
// list starts at the first song of its order that the search finds, and the title counts what it
// finds whatever the search (words too short for the index and "not" words too). A search that
// walks every song answers meanwhile: the old page stays, the title tells the walk, a newer
// keystroke takes over, and a search that finds nothing says so.
#include "journey_fixture.h"

#include "catalogue/ui/songs_browse_window.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTimer>

using namespace tunarium;

namespace {

class SearchJourney : public test::JourneyTest {
protected:
    void type(SongsBrowseWindow* songs, const QString& text) {
        QLineEdit* field = songs->searchBox()->field();
        field->setFocus();
        field->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(field, Qt::Key_Delete);
        }
        QTest::keyClicks(field, text);
        songs->searchBox()->searchNow();
        settle();
        // A walk aside ends before the list is looked at.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !songs->engine().walking(); }, 20000)) << qPrintable(text);
    }
    // Types `text` and asks for the search at once, leaving any walk running.
    static void typeNow(SongsBrowseWindow* songs, const QString& text) {
        QLineEdit* field = songs->searchBox()->field();
        field->setText(text);
        songs->searchBox()->searchNow();
    }
    static QString artistAt(SongsBrowseWindow* songs, int row) { return songs->engine().cellText(row, 0); }
    // Waits for the title's count; the title as it stands after `ms`.
    static QString countedTitle(SongsBrowseWindow* songs, const QString& ending, int ms = 5000) {
        (void)QTest::qWaitFor([&] { return songs->windowTitle().endsWith(ending); }, ms);
        return songs->windowTitle();
    }
};

// On a collection file and on a collection on the server (the walk of every song below stays on the
// file: its many songs go to a server one by one).
class SearchJourneyOnBoth : public SearchJourney, public ::testing::WithParamInterface<test::Backend> {
protected:
    QString collectionLocation() override {
        return GetParam() == test::Backend::Server ? serverCollection() : dir.dir();
    }
};

TEST_P(SearchJourneyOnBoth, AChangedSearchStartsAtTheFirstSongOfTheOrderAndCountsWhatItFinds) {
    // Eleven artists in artist order, every other one with a love song.
    const QStringList artists = {"Abba",    "Beatles", "Cher",   "Donovan", "Eagles", "Free",
                                 "Genesis", "Heart",   "Incubus", "Journey", "Kiss"};
    ASSERT_TRUE(db().openTable(TableId::Tunarium));
    for (int i = 0; i < artists.size(); ++i) {
        SongRecord s;
        s.id = i + 1;
        s.artist = artists[i];
        s.title = i % 2 ? QStringLiteral("Love Song %1").arg(i) : QStringLiteral("Other Song %1").arg(i);
        ASSERT_TRUE(db().store().insert(s).ok());
    }
    db().closeTable(TableId::Tunarium);

    choose(FrameCommand::BrowseSongs);
    SongsBrowseWindow* songs = waitFor<SongsBrowseWindow>();
    ASSERT_NE(songs, nullptr) << messagesSoFar();
    ASSERT_EQ(artistAt(songs, 0), "Abba");

    type(songs, "love");
    EXPECT_EQ(artistAt(songs, 0), "Beatles");
    EXPECT_EQ(songs->engine().rowCount(), 5);
    EXPECT_TRUE(countedTitle(songs, "(5 found)").endsWith("(5 found)")) << qPrintable(songs->windowTitle());
    // The user picks a song further down, then changes the search.
    songs->engine().selectRow(3); // Heart
    type(songs, "-love");
    EXPECT_EQ(artistAt(songs, 0), "Abba") << "the list starts at the song after the one selected";
    EXPECT_EQ(songs->engine().selectedIndex(), 0);
    EXPECT_EQ(songs->engine().rowCount(), 6);
    // Neither a "not" word nor a short word nor a field's letter gives the index anything to
    // narrow by: they are counted all the same.
    EXPECT_TRUE(countedTitle(songs, "(6 found)").endsWith("(6 found)")) << qPrintable(songs->windowTitle());
    type(songs, "artist:e");
    EXPECT_EQ(artistAt(songs, 0), "Beatles");
    EXPECT_TRUE(countedTitle(songs, "(7 found)").endsWith("(7 found)")) << qPrintable(songs->windowTitle());
    EXPECT_EQ(songs->windowTitle().count("found"), 1) << qPrintable(songs->windowTitle());

    // Clearing the search keeps the song selected in view.
    songs->engine().selectRow(3); // Free
    type(songs, "");
    EXPECT_EQ(songs->engine().cellText(songs->engine().selectedIndex(), 0), "Free");
    EXPECT_FALSE(songs->windowTitle().contains("found")) << qPrintable(songs->windowTitle());
}

TEST_F(SearchJourney, AWalkOfEverySongKeepsTheWindowAnsweringAndANewerSearchTakesOver) {
    // Enough songs that a search no song matches walks for a while.
    constexpr int kSongs = 25000;
    ASSERT_TRUE(db().openTable(TableId::Tunarium));
    ASSERT_TRUE(db().store().begin().ok());
    for (int i = 1; i <= kSongs; ++i) {
        SongRecord s;
        s.id = i;
        s.artist = QStringLiteral("Artist %1").arg(i % 997, 4, 10, QChar(u'0'));
        s.title = QStringLiteral("Title %1").arg(i);
        ASSERT_TRUE(db().store().insert(s).ok());
    }
    ASSERT_TRUE(db().store().commit().ok());
    db().closeTable(TableId::Tunarium);

    choose(FrameCommand::BrowseSongs);
    SongsBrowseWindow* songs = waitFor<SongsBrowseWindow>();
    ASSERT_NE(songs, nullptr) << messagesSoFar();
    const int lines = songs->engine().rowCount();
    ASSERT_GT(lines, 3);
    const QString firstShown = artistAt(songs, 0);
    QStringList titles;
    QObject::connect(songs, &QWidget::windowTitleChanged, [&](const QString& t) { titles << t; });

    // A "not" every song fails: no index narrows it, every song is walked aside.
    typeNow(songs, "-e");
    ASSERT_TRUE(songs->engine().walking());
    EXPECT_TRUE(songs->windowTitle().contains(QStringLiteral("(Searching\u2026"))) << qPrintable(songs->windowTitle());
    // The window answers while the walk goes on, and keeps its old page.
    bool answered = false;
    QTimer::singleShot(0, songs, [&] { answered = songs->engine().walking(); });
    QCoreApplication::processEvents();
    EXPECT_TRUE(answered) << "the event loop did not run while the search walked";
    EXPECT_EQ(songs->engine().rowCount(), lines);
    EXPECT_EQ(artistAt(songs, 0), firstShown);
    // A newer keystroke takes over at once: what the first search would show never shows.
    typeNow(songs, "-zz");
    ASSERT_TRUE(songs->engine().walking() || songs->engine().rowCount() == lines);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !songs->engine().walking(); }, 20000));
    for (const QString& t : titles) {
        EXPECT_FALSE(t.contains("none found")) << qPrintable(t);
    }
    EXPECT_EQ(songs->engine().rowCount(), lines);

    // Walked to the end, the search that finds nothing says so and leaves the list empty.
    type(songs, "-e");
    EXPECT_EQ(songs->engine().rowCount(), 0);
    EXPECT_TRUE(songs->windowTitle().endsWith("(none found)")) << qPrintable(songs->windowTitle());
    // Another tab walks aside too, and finds nothing there either.
    titles.clear();
    songs->findChild<QTabBar*>()->setCurrentIndex(1);
    settle();
    EXPECT_TRUE(songs->engine().walking() || songs->windowTitle().endsWith("(none found)"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !songs->engine().walking(); }, 20000));
    EXPECT_EQ(songs->engine().sortOrder(), 1);
    EXPECT_TRUE(songs->windowTitle().endsWith("(none found)")) << qPrintable(songs->windowTitle());
    // The walk aside finds what a walk here finds: a rare word's songs in the tab's order.
    type(songs, "Title 24999");
    EXPECT_EQ(songs->engine().cellText(0, 1), "Title 24999");
    EXPECT_EQ(songs->engine().rowCount(), 1);
    type(songs, "-e 9");
    EXPECT_TRUE(songs->windowTitle().endsWith("(none found)")) << qPrintable(songs->windowTitle());
}

INSTANTIATE_TEST_SUITE_P(Backends, SearchJourneyOnBoth, ::testing::Values(test::Backend::File, test::Backend::Server),
                         test::backendName);

} // namespace
