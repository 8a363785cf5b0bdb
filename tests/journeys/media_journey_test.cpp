// A media format renamed from the media browse: the songs and the albums on it follow, and an
// album on it can be opened and saved again.
#include "journey_fixture.h"

#include "albums/ui/albums_browse_window.h"
#include "albums/ui/reading_cd_window.h"
#include "albums/ui/update_album_window.h"
#include "catalogue/ui/lookup_browse_window.h"
#include "catalogue/ui/lookup_form_window.h"
#include "catalogue/ui/picture_edit.h"

#include <QComboBox>
#include <QPushButton>

using namespace tunarium;

namespace {

class MediaJourney : public test::JourneyTest, public ::testing::WithParamInterface<test::Backend> {
protected:
    QString collectionLocation() override {
        return GetParam() == test::Backend::Server ? serverCollection() : dir.dir();
    }
};

TEST_P(MediaJourney, ARenamedMediaReachesSongsAndAlbumsAndItsAlbumsCanBeSavedAgain) {
    ASSERT_TRUE(db().openTables({TableId::Tunarium, TableId::Album}));
    for (qint64 id : {1, 2}) {
        AlbumRecord a;
        a.albumId = id;
        a.artist = QStringLiteral("Artist %1").arg(id);
        a.album = QStringLiteral("Album %1").arg(id);
        a.media = id == 1 ? QStringLiteral("EP") : QStringLiteral("LP");
        a.fileNumber = QStringLiteral("F%1").arg(id);
        ASSERT_TRUE(db().store().insert(a).ok());
        for (qint64 track = 1; track <= 3; ++track) {
            SongRecord s;
            s.id = id * 10 + track;
            s.artist = a.artist;
            s.title = QStringLiteral("Track %1").arg(track);
            s.album = a.album;
            s.albumId = id;
            s.media = a.media;
            s.fileNumber = a.fileNumber;
            ASSERT_TRUE(db().store().insert(s).ok());
        }
    }
    db().closeTables({TableId::Tunarium, TableId::Album});

    // Browse › Media Formats: "EP" changed to "EP Vinyl".
    choose(FrameCommand::BrowseMediaFormats);
    auto* media = waitFor<LookupBrowseWindow>();
    ASSERT_NE(media, nullptr) << messagesSoFar();
    int ep = -1;
    for (int row = 0; row < media->engine().rowCount(); ++row) {
        if (media->engine().cellText(row, 0) == QStringLiteral("EP")) {
            ep = row;
        }
    }
    ASSERT_GE(ep, 0);
    media->engine().selectRow(ep);
    media->button(BrowseAction::Change)->click();
    settle();
    auto* form = waitFor<LookupFormWindow>();
    ASSERT_NE(form, nullptr) << messagesSoFar();
    form->nameField()->setText(QStringLiteral("EP Vinyl"));
    form->accept();
    ASSERT_TRUE(waitGone<LookupFormWindow>()) << messagesSoFar();
    settle();
    EXPECT_TRUE(prompter.messages.isEmpty()) << messagesSoFar();

    for (const SongRecord& s : all<SongRecord>()) {
        EXPECT_EQ(s.media, s.albumId == 1 ? "EP Vinyl" : "LP") << s.id;
    }
    for (const AlbumRecord& a : all<AlbumRecord>()) {
        EXPECT_EQ(a.media, a.albumId == 1 ? "EP Vinyl" : "LP") << a.albumId;
    }

    // Browse › Albums: the album on the renamed media opens on it and saves without a word.
    media->close();
    settle();
    choose(FrameCommand::BrowseAlbums);
    auto* albums = waitFor<AlbumsBrowseWindow>();
    ASSERT_NE(albums, nullptr) << messagesSoFar();
    int first = -1;
    for (int row = 0; row < albums->engine().rowCount(); ++row) {
        if (albums->engine().row(row).record.number(alb::kAlbumId) == 1) {
            first = row;
        }
    }
    ASSERT_GE(first, 0);
    albums->engine().selectRow(first);
    albums->button(BrowseAction::Change)->click();
    settle();
    auto* album = waitFor<UpdateAlbumWindow>();
    ASSERT_NE(album, nullptr) << messagesSoFar();
    EXPECT_EQ(album->mediaField()->currentText(), "EP Vinyl");
    album->accept();
    EXPECT_TRUE(waitGone<UpdateAlbumWindow>()) << messagesSoFar();
    EXPECT_TRUE(prompter.messages.isEmpty()) << messagesSoFar();
    EXPECT_EQ(all<AlbumRecord>()[0].media, "EP Vinyl");
}

INSTANTIATE_TEST_SUITE_P(Backends, MediaJourney, ::testing::Values(test::Backend::File, test::Backend::Server),
                         test::backendName);

} // namespace
