// The album form driven through its window, started by its procedure name: the songs tab shows the
// album's sides in side and track order; a song moved to the top, a song deleted with the tracks
// after it closing the gap, a new song from "&Add" placed after the selected one, a disc read from
// a table-of-contents file into side 2 (with the CDDB number and the MusicBrainz disc ID shown),
// "Re-assign Songs" by file number and media, and OK refused for a rating of 11, then saved.
#include "album_windows/album_windows_fixture.h"
#include "albums/procedure_names.h"
#include "albums/ui/album_songs_panel.h"
#include "albums/ui/albums_procedures.h"
#include "albums/ui/reading_cd_window.h"
#include "albums/ui/update_album_window.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/picture_edit.h"
#include "catalogue/ui/song_form_window.h"
#include "support/temp_collection.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class UpdateAlbumWindowTest : public test::AlbumWindowsTest {
protected:
    QStringList mediaNames() const override { return {QStringLiteral("CD"), QStringLiteral("LP")}; }

    void SetUp() override {
        test::AlbumWindowsTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        AlbumRecord album;
        album.albumId = 1;
        album.artist = "Abba";
        album.album = "Arrival";
        album.media = "CD";
        album.fileNumber = "A12";
        ASSERT_TRUE(db->store().insert(album).ok());
        for (int t = 1; t <= 4; ++t) {
            addSong(1, 1, t, QStringLiteral("Song %1").arg(t));
        }
        addSong(0, 0, 0, "Loose", "a12 ");
    }

    void addSong(qint64 albumId, qint64 side, qint64 track, const QString& title,
                 const QString& fileNumber = "A12") {
        SongRecord s;
        s.id = ++songs;
        s.albumId = albumId;
        s.side = side;
        s.trackNumber = track;
        s.title = title;
        s.media = "CD";
        s.fileNumber = fileNumber;
        ASSERT_TRUE(db->store().insert(s).ok());
    }
    // The songs list as shown: "side/track title", top to bottom.
    QStringList shown(AlbumSongsPanel* panel) {
        QStringList out;
        for (int r = 0; r < panel->engine().rowCount(); ++r) {
            const Row& song = panel->engine().row(r).record;
            out << QStringLiteral("%1/%2 %3")
                       .arg(song.number(tun::kSide))
                       .arg(song.number(tun::kTrackNumber))
                       .arg(song.text(tun::kTitle));
        }
        return out;
    }
    UpdateAlbumWindow* openAlbum(Request request, qint64 id) {
        ProcedureContext c = context().with(QVariantList{int(request), id});
        c.answer = [this](int response, const Row& album) {
            answered = response;
            answeredAlbum = album;
        };
        EXPECT_TRUE(procedures.start(QString::fromLatin1(procedure::kUpdateAlbum), c));
        settle();
        return opened<UpdateAlbumWindow>();
    }

    qint64 songs = 0;
    int answered = 0;
    Row answeredAlbum;
};

TEST_F(UpdateAlbumWindowTest, TheSongsTabReordersReadsAndReassigns) {
    UpdateAlbumWindow* form = openAlbum(Request::Change, 1);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Changing an Album Record");
    QStringList tabs;
    for (int i = 0; i < form->tabs()->count(); ++i) {
        tabs << form->tabs()->tabText(i);
    }
    EXPECT_EQ(tabs, QStringList({"General", "Songs", "Notes", "Associated Files", "Playlist", "Compact Disc",
                                 "Other"}));
    AlbumSongsPanel* panel = form->songs();
    form->tabs()->setCurrentWidget(panel);
    settle();
    EXPECT_EQ(shown(panel), QStringList({"1/1 Song 1", "1/2 Song 2", "1/3 Song 3", "1/4 Song 4"}));

    // Track 3 to the top.
    panel->engine().selectRow(2);
    panel->moveButton(MoveDirection::ToTop)->click();
    settle();
    EXPECT_EQ(shown(panel), QStringList({"1/1 Song 3", "1/2 Song 1", "1/3 Song 2", "1/4 Song 4"}));
    EXPECT_EQ(panel->engine().record().text(tun::kTitle), "Song 3");

    // Delete the second; the tracks after it close the gap.
    panel->engine().selectRow(1);
    prompter.answers = {kButtonOk};
    for (QPushButton* b : panel->findChildren<QPushButton*>()) {
        if (b->text() == "&Delete") {
            b->click();
        }
    }
    settle();
    EXPECT_EQ(shown(panel), QStringList({"1/1 Song 3", "1/2 Song 2", "1/3 Song 4"}));

    // A new song after the first goes to track 2.
    panel->engine().selectRow(0);
    for (QPushButton* b : panel->findChildren<QPushButton*>()) {
        if (b->text() == "&Add") {
            b->click();
        }
    }
    settle();
    SongFormWindow* songForm = panel->openedForm();
    ASSERT_NE(songForm, nullptr);
    EXPECT_EQ(songForm->record().number(tun::kAlbumId), 1);
    EXPECT_EQ(songForm->record().text(tun::kAlbum), "Arrival");
    songForm->accept();
    settle();
    EXPECT_EQ(shown(panel), QStringList({"1/1 Song 3", "1/2 ", "1/3 Song 2", "1/4 Song 4"}));

    // The disc into side 2.
    panel->sideBox()->setValue(2);
    for (QPushButton* b : panel->findChildren<QPushButton*>()) {
        if (b->text() == "Read CD &Information") {
            b->click();
        }
    }
    for (int i = 0; i < 200 && form->reading(); ++i) {
        settle();
    }
    settle();
    EXPECT_EQ(form->xccdField()->text(), "0b01c102");
    EXPECT_EQ(form->musicBrainzField()->text(), "5WDBlEEBFuSweSiev4RhZa8VMuw-");
    EXPECT_TRUE(
        form->lookupUrl().startsWith("https://musicbrainz.org/cdtoc/attach?id=5WDBlEEBFuSweSiev4RhZa8VMuw-"));
    EXPECT_EQ(shown(panel).mid(4), QStringList({"2/1 Track 1", "2/2 Track 2"}));

    // Re-assign by "A12" and CD: the loose song joins (the others are the album's already).
    prompter.answers = {kButtonYes};
    panel->reassignButton()->click();
    settle();
    ASSERT_GE(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[prompter.messages.size() - 2].caption, "Assign Songs To Album");
    EXPECT_EQ(prompter.messages.last().text, "7 songs assigned.");
    EXPECT_TRUE(shown(panel).contains("0/0 Loose"));

    // A rating of 11 is refused on OK; 10 saves and closes.
    form->ratingField()->setText("11");
    form->accept();
    EXPECT_EQ(prompter.messages.last().caption, "Range Error");
    EXPECT_EQ(form->tabs()->currentIndex(), 6);
    form->ratingField()->setText("10");
    form->accept();
    settle();
    EXPECT_EQ(answered, int(Response::Completed));
    AlbumRecord saved;
    ASSERT_TRUE(db->store().get(alb::kKeyAlbumId, {qint64(1)}, saved).ok());
    EXPECT_EQ(saved.rating, 10);
    EXPECT_EQ(saved.xccd, "0b01c102");
    EXPECT_EQ(saved.totalTime, 44901);
}

TEST_F(UpdateAlbumWindowTest, ACopyIsNamedAsOneAndACancelledAddLeavesNoAlbum) {
    UpdateAlbumWindow* form = openAlbum(Request::Copy, 1);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Adding an Album Record");
    EXPECT_EQ(form->albumField()->text(), "Arrival - Copy");
    EXPECT_EQ(form->cdIdentifierField()->text(), "");
    EXPECT_EQ(db->store().count(TableId::Album), 2);
    form->close();
    settle();
    EXPECT_EQ(answered, int(Response::Cancelled));
    EXPECT_EQ(db->store().count(TableId::Album), 1);
}

} // namespace
