// The songs browse searched through its box the way a user does: a word typed, then changed; the
// list starts at the first song of its order that the search finds, and the title counts what it
// finds whatever the search (words too short for the index and "not" words too).
#include "journey_fixture.h"

#include "catalogue/ui/songs_browse_window.h"

#include <QLineEdit>

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
    }
    static QString artistAt(SongsBrowseWindow* songs, int row) { return songs->engine().cellText(row, 0); }
    // Waits for the title's count; the title as it stands after `ms`.
    static QString countedTitle(SongsBrowseWindow* songs, const QString& ending, int ms = 5000) {
        (void)QTest::qWaitFor([&] { return songs->windowTitle().endsWith(ending); }, ms);
        return songs->windowTitle();
    }
};

TEST_F(SearchJourney, AChangedSearchStartsAtTheFirstSongOfTheOrderAndCountsWhatItFinds) {
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

} // namespace
