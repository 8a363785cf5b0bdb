// The album wizard's window through its three steps: the buttons of each step, a multi-disc CD read
// into side 1 on leaving step 2 and into side 2 by "Next Disc or Side", Finish keeping the album;
// then a media that is no media refused on step 2, a cassette that reads nothing, a song added
// through the song form in the album's context, and Cancel taking the album and its songs away;
// Delete closing the gap in the side's tracks and Add placing the new song after the selected one.
#include "album_windows_fixture.h"
#include "albums/procedure_names.h"
#include "albums/ui/album_wizard_window.h"
#include "catalogue/procedure_names.h"
#include "catalogue/ui/picture_edit.h"
#include "catalogue/ui/song_form_tabs.h"
#include "catalogue/ui/song_form_window.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace tunarium;

namespace {

class AlbumWizardWindowTest : public test::AlbumWindowsTest {
protected:
    AlbumWizardWindow* startWizard() {
        EXPECT_TRUE(procedures.start(QString::fromLatin1(procedure::kAlbumWizard), context()));
        settle();
        return opened<AlbumWizardWindow>();
    }
    static void waitForRead(AlbumWizardWindow* w) {
        ASSERT_TRUE(QTest::qWaitFor([w] { return w->readingWindow() == nullptr; }, 5000));
        settle();
    }
    qint64 songsOfAlbum(qint64 albumId) {
        QVector<Row> rows;
        EXPECT_TRUE(db->store()
                        .read(TableId::Tunarium, tun::kKeyAlbumId, KeyPosition{{albumId}}, Direction::Forward,
                              true, 100, rows, WalkLimits(1, {albumId}))
                        .ok());
        return rows.size();
    }
};

TEST_F(AlbumWizardWindowTest, ThreeStepsReadEachDiscOfAMultiDiscCdAndFinishKeepsTheAlbum) {
    AlbumWizardWindow* w = startWizard();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Album Wizard"));
    QPushButton* back = w->button(QStringLiteral("&Back"));
    QPushButton* next = w->button(QStringLiteral("&Next"));
    QPushButton* finish = w->button(QStringLiteral("&Finish"));
    EXPECT_EQ(w->tabs()->currentIndex(), 0);
    EXPECT_FALSE(back->isEnabled());
    EXPECT_TRUE(finish->isHidden());
    EXPECT_TRUE(w->kindButton(AlbumKind::SingleArtist)->isChecked());
    EXPECT_TRUE(w->carrierButton(AlbumCarrier::OneDiscOrSide)->isChecked());
    // The five categories of an empty table are there to choose from.
    EXPECT_EQ(w->categoryBox()->count(), 6);

    w->carrierButton(AlbumCarrier::MultiDiscCd)->setChecked(true);
    next->click();
    EXPECT_EQ(w->tabs()->currentIndex(), 1);
    EXPECT_TRUE(back->isEnabled());
    EXPECT_TRUE(finish->isHidden());
    EXPECT_TRUE(w->sideField()->isEnabled());
    w->artistField()->setText(QStringLiteral("Nina"));
    w->albumField()->setText(QStringLiteral("Blue"));
    w->categoryBox()->setCurrentText(QStringLiteral("Jazz"));
    next->click();
    waitForRead(w);
    EXPECT_EQ(w->tabs()->currentIndex(), 2);
    EXPECT_FALSE(next->isEnabled());
    EXPECT_FALSE(finish->isHidden());
    EXPECT_EQ(w->engine().rowCount(), 2);
    EXPECT_EQ(w->engine().cellText(0, 2).trimmed(), QStringLiteral("Track 1"));
    EXPECT_EQ(w->engine().cellText(0, 1).trimmed(), QStringLiteral("Nina"));

    w->button(QStringLiteral("Next &Disc or Side"))->click();
    waitForRead(w);
    EXPECT_EQ(w->wizard().side(), 2);
    EXPECT_EQ(w->engine().rowCount(), 2);
    EXPECT_EQ(w->engine().row(0).record.number(tun::kSide), 2);

    const qint64 id = w->wizard().album().albumId;
    finish->click();
    settle();
    EXPECT_EQ(opened<AlbumWizardWindow>(), nullptr);
    AlbumRecord saved;
    ASSERT_TRUE(db->store().get(alb::kKeyAlbumId, {id}, saved).ok());
    EXPECT_EQ(saved.artist, QStringLiteral("Nina"));
    EXPECT_EQ(saved.categoryId, 3);
    EXPECT_EQ(saved.xccd.size(), 8);
    EXPECT_EQ(songsOfAlbum(id), 4);
}

TEST_F(AlbumWizardWindowTest, ACassetteReadsNothingAndCancelRemovesTheSongsAddedByHand) {
    AlbumWizardWindow* w = startWizard();
    ASSERT_NE(w, nullptr);
    const qint64 id = w->wizard().album().albumId;
    QPushButton* next = w->button(QStringLiteral("&Next"));
    next->click();
    w->mediaBox()->setCurrentText(QStringLiteral("Wax Cylinder"));
    next->click();
    EXPECT_EQ(w->tabs()->currentIndex(), 1);
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_EQ(prompter.messages.last().caption, QStringLiteral("Field Contents Error"));
    EXPECT_EQ(prompter.messages.last().text,
              QStringLiteral("The value for Media must be found in the Media file."));

    w->mediaBox()->setCurrentText(QStringLiteral("Cassette"));
    w->artistField()->setText(QStringLiteral("Nina"));
    w->albumField()->setText(QStringLiteral("Tapes"));
    next->click();
    settle();
    EXPECT_EQ(w->readingWindow(), nullptr);
    EXPECT_EQ(w->tabs()->currentIndex(), 2);
    EXPECT_EQ(w->engine().rowCount(), 0);
    // One disc or side: no next side.
    EXPECT_FALSE(w->button(QStringLiteral("Next &Disc or Side"))->isEnabled());

    w->button(QStringLiteral("Add"))->click();
    settle();
    SongFormWindow* form = w->songForm();
    ASSERT_NE(form, nullptr);
    // A single-artist album fixes the artist of its songs.
    EXPECT_FALSE(form->findChild<SongFormTabs*>()->artistEdit()->isEnabled());
    form->findChild<SongFormTabs*>()->titleEdit()->setText(QStringLiteral("Side A Opener"));
    form->accept();
    settle();
    ASSERT_EQ(w->engine().rowCount(), 1);
    EXPECT_EQ(w->engine().row(0).record.text(tun::kTitle), QStringLiteral("Side A Opener"));
    EXPECT_EQ(w->engine().row(0).record.text(tun::kMedia), QStringLiteral("Cassette"));
    EXPECT_EQ(songsOfAlbum(id), 1);

    prompter.answers = {kButtonYes};
    w->button(QStringLiteral("Cancel"))->click();
    settle();
    EXPECT_EQ(prompter.messages.last().text, QStringLiteral("Cancel the album and remove its song?"));
    EXPECT_EQ(opened<AlbumWizardWindow>(), nullptr);
    EXPECT_EQ(songsOfAlbum(id), 0);
    EXPECT_EQ(songCount(), 0);
    EXPECT_EQ(db->store().count(TableId::Album), 0);
}

// What is typed on step 2 is kept as far as the album's field holds it: no more (a longer text
// would not fit the record), no less (nothing the field holds is lost).
TEST_F(AlbumWizardWindowTest, EachFactIsKeptAsFarAsItsFieldHoldsIt) {
    AlbumWizardWindow* w = startWizard();
    ASSERT_NE(w, nullptr);
    const qint64 id = w->wizard().album().albumId;
    QPushButton* next = w->button(QStringLiteral("&Next"));
    next->click();
    const QString artist = QStringLiteral("Artist ").repeated(12);
    const QString album = QStringLiteral("Album ").repeated(12);
    const QString fileNumber = QStringLiteral("FN-0123456789-ABCDEFGHIJ");
    QTest::keyClicks(w->artistField(), artist);
    QTest::keyClicks(w->albumField(), album);
    QTest::keyClicks(w->fileNumberField(), fileNumber);
    w->mediaBox()->setCurrentText(QStringLiteral("Cassette"));
    next->click();
    settle();
    ASSERT_EQ(w->tabs()->currentIndex(), 2);
    w->button(QStringLiteral("&Finish"))->click();
    settle();
    AlbumRecord saved;
    ASSERT_TRUE(db->store().get(alb::kKeyAlbumId, {id}, saved).ok());
    const TableDef& albums = tableDef(TableId::Album);
    EXPECT_EQ(saved.artist, artist.left(albums.field(alb::kArtist).width));
    EXPECT_EQ(saved.album, album.left(albums.field(alb::kAlbum).width));
    EXPECT_EQ(saved.fileNumber, fileNumber.left(albums.field(alb::kFileNumber).width));
}

TEST_F(AlbumWizardWindowTest, DeleteClosesTheGapAndAddGoesJustAfterTheSelectedSong) {
    AlbumWizardWindow* w = startWizard();
    ASSERT_NE(w, nullptr);
    const qint64 id = w->wizard().album().albumId;
    QPushButton* next = w->button(QStringLiteral("&Next"));
    next->click();
    w->mediaBox()->setCurrentText(QStringLiteral("Cassette"));
    w->artistField()->setText(QStringLiteral("Nina"));
    w->albumField()->setText(QStringLiteral("Tapes"));
    next->click();
    settle();
    ASSERT_EQ(w->tabs()->currentIndex(), 2);
    for (int t = 1; t <= 5; ++t) {
        SongRecord s;
        s.id = t;
        s.albumId = id;
        s.side = 1;
        s.trackNumber = t;
        s.title = QStringLiteral("Song %1").arg(t);
        s.media = QStringLiteral("Cassette");
        ASSERT_TRUE(db->store().insert(s).ok());
    }
    w->engine().setForceRefresh();
    w->engine().refresh();
    ASSERT_EQ(w->engine().rowCount(), 5);
    const auto shown = [w] {
        QStringList out;
        for (int i = 0; i < w->engine().rowCount(); ++i) {
            const Row& r = w->engine().row(i).record;
            out << QStringLiteral("%1:%2").arg(r.number(tun::kTrackNumber)).arg(r.text(tun::kTitle));
        }
        return out.join(QLatin1Char(' ')).toStdString();
    };

    w->engine().selectRow(2);
    prompter.answers = {kButtonOk};
    w->button(QStringLiteral("Delete"))->click();
    settle();
    EXPECT_EQ(shown(), "1:Song 1 2:Song 2 3:Song 4 4:Song 5");
    EXPECT_EQ(songsOfAlbum(id), 4);

    w->engine().selectRow(1);
    w->button(QStringLiteral("Add"))->click();
    settle();
    SongFormWindow* form = w->songForm();
    ASSERT_NE(form, nullptr);
    form->findChild<SongFormTabs*>()->titleEdit()->setText(QStringLiteral("Added"));
    form->accept();
    settle();
    EXPECT_EQ(shown(), "1:Song 1 2:Song 2 3:Added 4:Song 4 5:Song 5");
    EXPECT_EQ(w->engine().record().text(tun::kTitle), QStringLiteral("Added"));
    EXPECT_EQ(songsOfAlbum(id), 5);
}

TEST_F(AlbumWizardWindowTest, ClosingEveryWindowAsTheFrameDoesCancelsEachOpenWizard) {
    AlbumWizardWindow* first = startWizard();
    ASSERT_NE(first, nullptr);
    const qint64 firstId = first->wizard().album().albumId;
    first->button(QStringLiteral("&Next"))->click();
    first->artistField()->setText(QStringLiteral("Nina"));
    first->albumField()->setText(QStringLiteral("Blue"));
    first->button(QStringLiteral("&Next"))->click();
    waitForRead(first);
    ASSERT_TRUE(procedures.start(QString::fromLatin1(procedure::kAlbumWizard), context()));
    settle();
    AlbumWizardWindow* second = nullptr;
    for (QMdiSubWindow* sub : area->subWindowList()) {
        if (auto* w = dynamic_cast<AlbumWizardWindow*>(sub->widget()); w && w != first) {
            second = w;
        }
    }
    ASSERT_NE(second, nullptr);
    addSong(500, second->wizard().album().albumId, QStringLiteral("Typed"));
    ASSERT_EQ(songsOfAlbum(firstId), 2);

    // Each wizard asks before its album goes.
    prompter.answers = {kButtonYes, kButtonYes};
    area->closeAllSubWindows();
    settle();
    EXPECT_EQ(songCount(), 0);
    EXPECT_EQ(db->store().count(TableId::Album), 0);
}

} // namespace
