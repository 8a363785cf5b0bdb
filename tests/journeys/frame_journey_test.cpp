// The frame as a user first meets it: Browse › Songs opens the songs browse over a new, empty
// collection without a message.
#include "catalogue/ui/songs_browse_window.h"
#include "journey_fixture.h"

using namespace tunarium;

namespace {

class FrameJourney : public test::JourneyTest {
protected:
    QByteArray settingsText() const override { return "[Settings]\nAddMode=F\nSetupWizardComplete=1\n"; }
};

TEST_F(FrameJourney, TheSongsBrowseOpensFromTheMenuOverAnEmptyCollection) {
    choose(FrameCommand::BrowseSongs);
    SongsBrowseWindow* songs = waitFor<SongsBrowseWindow>();
    ASSERT_NE(songs, nullptr) << messagesSoFar();
    EXPECT_EQ(songs->engine().rowCount(), 0);
    EXPECT_TRUE(prompter.messages.isEmpty()) << messagesSoFar();
    EXPECT_EQ(count(TableId::Tunarium), 0);
    EXPECT_TRUE(all<SongRecord>().empty());
}

} // namespace
