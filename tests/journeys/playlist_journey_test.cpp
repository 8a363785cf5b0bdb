// A playlist generated from the frame: Browse › Generate Play List, a size typed wrong and mended, a
// range of release dates (a year and a full date) and a category that few songs pass, each song
// once. The playlist holds exactly the songs that pass, and says why it holds fewer than asked.
#include "journey_fixture.h"

#include "catalogue/ui/picture_edit.h"
#include "data/date_time.h"
#include "data/pictures.h"
#include "playlists/ui/generate_playlist_window.h"
#include "playlists/ui/playlists_browse_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include <set>

using namespace tunarium;

namespace {

class PlaylistJourney : public test::JourneyTest, public ::testing::WithParamInterface<test::Backend> {
protected:
    QString collectionLocation() override {
        return GetParam() == test::Backend::Server ? serverCollection() : dir.dir();
    }
};

TEST_P(PlaylistJourney, GeneratingWithADateRangeAndACategoryTakesOnlyTheSongsThatPass) {
    ASSERT_TRUE(db().openTables({TableId::Tunarium, TableId::Categories}));
    for (const auto& [id, name] : {std::pair{1, "Rock"}, std::pair{2, "Pop"}}) {
        CategoryRecord c;
        c.categoryId = id;
        c.category = QString::fromLatin1(name);
        ASSERT_TRUE(db().store().insert(c).ok());
    }
    qint64 nextId = 1;
    std::set<qint64> passing;
    auto add = [&](qint64 category, qint64 release, bool passes) {
        SongRecord s;
        s.id = nextId++;
        s.artist = QStringLiteral("Artist %1").arg(s.id);
        s.title = QStringLiteral("Title %1").arg(s.id);
        s.categoryId = category;
        s.releaseDate = release;
        ASSERT_TRUE(db().store().insert(s).ok());
        if (passes) {
            passing.insert(s.id);
        }
    };
    // Rock from 1970 to 1981, as bare years and as full dates: these pass.
    for (int year = 1970; year <= 1981; ++year) {
        add(1, year % 2 == 0 ? year : dayNumberFromYmd(year, 6, 15), true);
    }
    // Rock outside the range (the edges a day beyond it), or without a date; Pop inside it.
    for (qint64 release : {qint64(1954), dayNumberFromYmd(1969, 12, 31), dayNumberFromYmd(1990, 1, 1),
                           qint64(1995), dayNumberFromYmd(1998, 3, 1), qint64(0)}) {
        add(1, release, false);
    }
    for (int i = 0; i < 30; ++i) {
        add(2, 1975, false);
    }
    db().closeTables({TableId::Tunarium, TableId::Categories});

    choose(FrameCommand::GeneratePlaylist);
    auto* generator = waitFor<GeneratePlaylistWindow>();
    ASSERT_NE(generator, nullptr) << messagesSoFar();
    ASSERT_NE(shown<PlaylistsBrowseWindow>(), nullptr) << "the generator opens over the playlists browse";

    // "ab20" is no size: refused, the window stays, nothing is written.
    generator->sizeEdit()->setText(QStringLiteral("ab20"));
    generator->okButton()->click();
    settle();
    ASSERT_EQ(prompter.messages.size(), 1) << messagesSoFar();
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("Play List Size"))) << messagesSoFar();
    EXPECT_EQ(shown<GeneratePlaylistWindow>(), generator);
    EXPECT_EQ(count(TableId::PlaylistMaster), 0);

    generator->sizeEdit()->setText(QStringLiteral("20"));
    generator->fromEdit()->setText(QStringLiteral("1970"));
    generator->toEdit()->setText(formatPicture(dayNumberFromYmd(1989, 12, 31), settings().datePicture()));
    generator->categoryBox()->setEditText(QStringLiteral("Rock"));
    generator->eachSongOnceBox()->setChecked(true);
    generator->okButton()->click();
    settle();
    EXPECT_TRUE(waitGone<GeneratePlaylistWindow>()) << messagesSoFar();

    ASSERT_EQ(count(TableId::PlaylistMaster), 1) << messagesSoFar();
    std::set<qint64> drawn;
    for (const PlaylistEntryRecord& e : all<PlaylistEntryRecord>()) {
        EXPECT_TRUE(passing.count(e.id)) << "song " << e.id << " does not pass the choice";
        EXPECT_TRUE(drawn.insert(e.id).second) << "song " << e.id << " twice";
    }
    // Every song that passes is in it: twelve, not the twenty asked for, and the user is told.
    EXPECT_EQ(drawn, passing);
    ASSERT_EQ(prompter.messages.size(), 2) << messagesSoFar();
    EXPECT_EQ(prompter.messages[1].text,
              "The play list holds 12 of the 20 songs asked for: only 12 songs pass the choice, and each "
              "song comes once.");
    auto* browse = shown<PlaylistsBrowseWindow>();
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(browse->engine().record().text(pld::kPlaylistDescription).trimmed(), "Play List #1");
}

INSTANTIATE_TEST_SUITE_P(Backends, PlaylistJourney, ::testing::Values(test::Backend::File, test::Backend::Server),
                         test::backendName);

} // namespace
