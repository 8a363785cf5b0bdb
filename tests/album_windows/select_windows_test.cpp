// The selection lists: SelectAlbum opening on the caller's album and answering the chosen one, the
// song form's "Default with Album Information" filling a song from it, and SelectFileNumber opening
// on the caller's song and answering the one chosen.
#include "album_windows_fixture.h"
#include "albums/ui/select_windows.h"
#include "catalogue/procedure_names.h"
#include "catalogue/ui/song_form_window.h"
#include "data/app_paths.h"

#include <QPushButton>

using namespace tunarium;

namespace {

class SelectWindowsTest : public test::AlbumWindowsTest {
protected:
    void seed() {
        addAlbum(1, QStringLiteral("Zappa"), QStringLiteral("Apostrophe"), QStringLiteral("B2"));
        addAlbum(2, QStringLiteral("Adele"), QStringLiteral("Twenty One"), QStringLiteral("A1"));
        addAlbum(3, QStringLiteral("Miles"), QStringLiteral("Kind of Blue"), QStringLiteral("C3"));
    }
};

TEST_F(SelectWindowsTest, SelectAlbumOpensOnTheCallersAlbumAndAnswersTheChosenOne) {
    seed();
    int response = 0;
    Row chosen;
    ProcedureContext c = context().with(qint64(3));
    c.answer = [&](int r, const Row& row) {
        response = r;
        chosen = row;
    };
    ASSERT_TRUE(procedures.start(QString::fromLatin1(procedure::kSelectAlbum), c));
    settle();
    auto* w = opened<SelectAlbumWindow>();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Select An Album"));
    EXPECT_EQ(w->engine().record().text(alb::kAlbum), QStringLiteral("Kind of Blue"));
    EXPECT_TRUE(w->button(BrowseAction::Select)->isVisible());
    w->engine().selectRow(2);
    w->button(BrowseAction::Select)->click();
    settle();
    EXPECT_EQ(response, static_cast<int>(Response::Completed));
    EXPECT_EQ(chosen.number(alb::kAlbumId), 2);
    EXPECT_EQ(opened<SelectAlbumWindow>(), nullptr);
}

TEST_F(SelectWindowsTest, TheSongFormTakesTheAlbumChosenForItsDefaults) {
    seed();
    addSong(7, 0, QStringLiteral("Loose Song"));
    SongRecord song;
    ASSERT_TRUE(db->store().get(tun::kKeyId, {qint64(7)}, song).ok());
    int answered = 0;
    auto* form =
        new SongFormWindow(*db, settings, positionFilePath(db->collectionDir()), Request::Change, song, {},
                           nullptr, [&answered](Response r) { answered = static_cast<int>(r); });
    form->setProcedures(context());
    ASSERT_TRUE(form->start(area.get()));
    ASSERT_TRUE(form->albumDefaultsButton()->isEnabled());
    form->albumDefaultsButton()->click();
    settle();
    auto* select = opened<SelectAlbumWindow>();
    ASSERT_NE(select, nullptr);
    select->engine().selectRow(0); // Apostrophe
    select->button(BrowseAction::Select)->click();
    settle();
    form->accept();
    settle();
    EXPECT_EQ(answered, static_cast<int>(Response::Completed));
    ASSERT_TRUE(db->store().get(tun::kKeyId, {qint64(7)}, song).ok());
    EXPECT_EQ(song.albumId, 1);
    EXPECT_EQ(song.album, QStringLiteral("Apostrophe"));
    EXPECT_EQ(song.fileNumber, QStringLiteral("B2"));
    // A changed song keeps the artist it has.
    EXPECT_EQ(song.artist, QStringLiteral("Nina"));
}

TEST_F(SelectWindowsTest, SelectFileNumberOpensOnTheCallersSongAndAnswersTheChosenOne) {
    for (qint64 i = 1; i <= 4; ++i) {
        addSong(i, 0, QStringLiteral("Song %1").arg(i), QStringLiteral("Artist %1").arg(5 - i));
    }
    Row chosen;
    ProcedureContext c = context().with(qint64(3));
    c.answer = [&](int, const Row& row) { chosen = row; };
    ASSERT_TRUE(procedures.start(QString::fromLatin1(procedure::kSelectFileNumber), c));
    settle();
    auto* w = opened<SelectFileNumberWindow>();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Browse Music Database - 4 entries"));
    EXPECT_EQ(w->engine().record().number(tun::kId), 3);
    EXPECT_FALSE(w->selectCategoryButton()->isVisible());
    w->button(BrowseAction::Select)->click();
    settle();
    EXPECT_EQ(chosen.number(tun::kId), 3);
}

} // namespace
