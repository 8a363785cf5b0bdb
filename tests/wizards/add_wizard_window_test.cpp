// One add wizard driven through its windows, as a user without a drive does it: a new song in the
// songs browse, "Select Add Mode", the single-artist wizard, the disc read from a table-of-contents
// file through "Reading CD", titles typed in the track form, a move, and OK: the album's songs are
// written and the songs browse shows them. Then the compilation wizard from the frame's procedure
// name, cancelled: its rows stay, and the next wizard does not show them. A read with no disc to
// read, and a category made on OK.
#include "album_windows/album_windows_fixture.h"
#include "albums/ui/add_wizard_window.h"
#include "albums/ui/albums_procedures.h"
#include "albums/ui/reading_cd_window.h"
#include "albums/ui/track_form_window.h"
#include "catalogue/ui/browse_window.h"
#include "catalogue/ui/picture_edit.h"
#include "catalogue/ui/select_add_mode_dialog.h"
#include "catalogue/ui/songs_browse_window.h"
#include "support/temp_collection.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

// Two tracks of 3:25 and 4:04.
constexpr char kTwoTracks[] = "1 2 33892 150 15544\n";

class AddWizardWindowTest : public test::AlbumWindowsTest {
protected:
    QStringList mediaNames() const override { return {QStringLiteral("CD"), QStringLiteral("LP")}; }

    void SetUp() override {
        test::AlbumWindowsTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        CategoryRecord soul{1, "Soul", {}};
        ASSERT_TRUE(db->store().insert(soul).ok());
        browse = SongsBrowseWindow::openSongs(context());
        ASSERT_NE(browse, nullptr);
        settle();
    }

    // Chooses `dispatch` in "Select Add Mode" once it shows, and presses its "&OK".
    void answerAddMode(AddDispatch dispatch) {
        QTimer::singleShot(0, [this, dispatch] {
            auto* dialog = dynamic_cast<SelectAddModeDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            sawAddMode = dialog->windowTitle();
            EXPECT_TRUE(dialog->option(AddDispatch::CompilationWizard)->isChecked());
            dialog->option(dispatch)->setChecked(true);
            for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
                if (b->text() == QStringLiteral("&OK")) {
                    b->click();
                }
            }
        });
    }
    // Types a title into the track form open on the wizard's selected row and presses its "&OK".
    void retitle(AddWizardWindow* w, int row, const QString& title) {
        w->engine().selectRow(row);
        w->button(QStringLiteral("&Change"))->click();
        settle();
        TrackFormWindow* form = w->trackForm();
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Track Will Be Changed  (")));
        form->titleField()->setText(title);
        form->accept();
        settle();
    }
    QStringList listed(AddWizardWindow* w) {
        QStringList out;
        for (int r = 0; r < w->engine().rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < w->engine().columnCount(); ++c) {
                cells << w->engine().cellText(r, c).trimmed();
            }
            out << cells.join(u'|');
        }
        return out;
    }

    QPointer<SongsBrowseWindow> browse;
    QString sawAddMode;
};

TEST_F(AddWizardWindowTest, ASingleArtistAlbumFromTheSongFormToTheSongsBrowse) {
    answerAddMode(AddDispatch::SingleArtistWizard);
    browse->button(BrowseAction::Add)->click();
    settle();
    EXPECT_EQ(sawAddMode, QStringLiteral("Select Add Mode"));
    AddWizardWindow* w = opened<AddWizardWindow>();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Add Album by Single Artist"));
    EXPECT_FALSE(browse->isEnabled()); // the wizard stands in front of the browse
    EXPECT_TRUE(w->addToAlbumsBox()->isChecked());

    w->artistField()->setText(QStringLiteral("Nina Simone"));
    w->albumField()->setText(QStringLiteral("Pastel Blues"));
    w->categoryBox()->setEditText(QStringLiteral("Soul"));

    w->button(QStringLiteral("&Read Compact Disc Information"))->click();
    ASSERT_NE(w->readingWindow(), nullptr);
    EXPECT_FALSE(w->tabs()->isEnabled()); // the wizard waits for the read
    EXPECT_TRUE(w->readingWindow()->cancelButton()->isEnabled());
    EXPECT_FALSE(w->button(QStringLiteral("&OK"))->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([w] { return w->readingWindow() == nullptr; }, 5000));
    settle();
    EXPECT_TRUE(w->tabs()->isEnabled());
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(w->tabs()->currentIndex(), 1);
    EXPECT_EQ(listed(w), (QStringList{"1|Track 1|3:25", "2|Track 2|4:04"}));

    retitle(w, 0, QStringLiteral("Be My Husband"));
    retitle(w, 1, QStringLiteral("Nobody Knows You"));
    // The second track to the top: the list follows it there.
    w->engine().selectRow(1);
    w->move(MoveDirection::ToTop);
    settle();
    EXPECT_EQ(listed(w), (QStringList{"1|Nobody Knows You|4:04", "2|Be My Husband|3:25"}));
    EXPECT_EQ(w->engine().selectedIndex(), 0);

    QPointer<AddWizardWindow> guard(w);
    w->accept();
    settle();
    EXPECT_TRUE(guard.isNull());
    EXPECT_TRUE(browse->isEnabled());
    ASSERT_TRUE(prompter.messages.isEmpty()) << prompter.messages.first().text.toStdString();

    // The songs, numbered from 1, with the album written for them.
    QVector<Row> songs;
    ASSERT_TRUE(
        db->store().read(TableId::Tunarium, tun::kKeyId, {}, Direction::Forward, true, 10, songs).ok());
    ASSERT_EQ(songs.size(), 2);
    EXPECT_EQ(songs[0].number(tun::kId), 1);
    EXPECT_EQ(songs[0].text(tun::kTitle), QStringLiteral("Nobody Knows You"));
    EXPECT_EQ(songs[1].text(tun::kTitle), QStringLiteral("Be My Husband"));
    EXPECT_EQ(songs[1].number(tun::kTrackNumber), 2);
    EXPECT_EQ(songs[0].text(tun::kArtist), QStringLiteral("Nina Simone"));
    EXPECT_EQ(songs[0].number(tun::kCategoryId), 1);
    EXPECT_EQ(songs[0].text(tun::kMedia), QStringLiteral("CD"));
    EXPECT_NE(songs[0].number(tun::kAlbumId), 0);
    EXPECT_EQ(db->store().count(TableId::Album), 1);
    EXPECT_EQ(db->store().count(TableId::AddWizard), 0);

    // The songs browse shows them once it has the focus again.
    browse->engine().focusGained();
    settle();
    EXPECT_EQ(browse->engine().rowCount(), 2);
}

TEST_F(AddWizardWindowTest, ACancelledCompilationKeepsItsRowsAndTheNextWizardStartsEmpty) {
    ASSERT_TRUE(procedures.start(QStringLiteral("AddCompilation"), context()));
    settle();
    AddWizardWindow* w = opened<AddWizardWindow>();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Add Compilation"));
    EXPECT_EQ(w->artistField(), nullptr); // a compilation has no artist of its own
    w->button(QStringLiteral("&Add"))->click();
    settle();
    TrackFormWindow* form = w->trackForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Track Will Be Added  (New)"));
    ASSERT_NE(form->artistField(), nullptr);
    form->artistField()->setText(QStringLiteral("Sly Stone"));
    form->titleField()->setText(QStringLiteral("Family Affair"));
    form->accept();
    settle();
    EXPECT_EQ(listed(w), (QStringList{"1|Sly Stone|Family Affair|"}));
    // The ditto key brings the last saved row's title into the next track's title; Cancel drops
    // the row the form added.
    w->button(QStringLiteral("&Add"))->click();
    settle();
    form = w->trackForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->trackField()->text().trimmed(), QStringLiteral("2"));
    form->activateWindow();
    form->titleField()->setFocus();
    QTest::keyClick(form->titleField(), Qt::Key_QuoteLeft, Qt::ControlModifier);
    EXPECT_EQ(form->titleField()->text(), QStringLiteral("Family Affair"));
    QTest::keyClick(form, Qt::Key_Escape);
    settle();
    EXPECT_EQ(listed(w), (QStringList{"1|Sly Stone|Family Affair|"}));

    // Nothing typed in the album's fields: Cancel closes without asking, and writes no song.
    QPointer<AddWizardWindow> guard(w);
    w->button(QStringLiteral("Cancel"))->click();
    settle();
    EXPECT_TRUE(guard.isNull());
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(db->store().count(TableId::Tunarium), 0);
    EXPECT_EQ(db->store().count(TableId::AddWizard), 1);

    ASSERT_TRUE(procedures.start(QStringLiteral("AddCompilation"), context()));
    settle();
    AddWizardWindow* next = opened<AddWizardWindow>();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->engine().rowCount(), 0);
    // Typed album facts make Cancel ask first; No keeps the wizard open.
    next->albumField()->setText(QStringLiteral("Soul Party"));
    prompter.answers = {kButtonNo};
    next->button(QStringLiteral("Cancel"))->click();
    settle();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Are you sure you want to cancel?"));
    EXPECT_NE(opened<AddWizardWindow>(), nullptr);
}

} // namespace

namespace {

TEST_F(AddWizardWindowTest, AFailedReadWritesNoRowAndANewCategoryIsMadeOnOk) {
    ASSERT_TRUE(procedures.start(QStringLiteral("AddSingleArtist"), context()));
    settle();
    AddWizardWindow* w = opened<AddWizardWindow>();
    ASSERT_NE(w, nullptr);

    // No file where the variable points: the drive's "not ready" message, no row, the wizard usable.
    qputenv("TUNARIUM_CD_TOC", dir.path("missing.toc").toLocal8Bit());
    w->button(QStringLiteral("&Read Compact Disc Information"))->click();
    ASSERT_TRUE(QTest::qWaitFor([w] { return w->readingWindow() == nullptr; }, 5000));
    settle();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("CD player not ready.")));
    EXPECT_EQ(w->engine().rowCount(), 0);
    EXPECT_EQ(db->store().count(TableId::AddWizard), 1); // the row that holds the instance number
    EXPECT_TRUE(w->tabs()->isEnabled());

    // A category that does not exist is offered, made with the next number and taken on OK; an
    // empty wizard writes the album alone.
    prompter.messages.clear();
    w->artistField()->setText(QStringLiteral("Aretha Franklin"));
    w->albumField()->setText(QStringLiteral("Lady Soul"));
    w->categoryBox()->setEditText(QStringLiteral("Gospel"));
    prompter.answers = {kButtonYes};
    QPointer<AddWizardWindow> guard(w);
    w->accept();
    settle();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Add new category?"));
    EXPECT_TRUE(guard.isNull());
    CategoryRecord gospel;
    ASSERT_TRUE(db->store().get(cat::kKeyCategory, {QStringLiteral("Gospel")}, gospel).ok());
    EXPECT_EQ(gospel.categoryId, 2);
    AlbumRecord album;
    ASSERT_TRUE(
        db->store()
            .get(alb::kKeyAlbum, {QStringLiteral("Lady Soul"), QStringLiteral("Aretha Franklin")}, album)
            .ok());
    EXPECT_EQ(album.categoryId, 2);
    EXPECT_EQ(db->store().count(TableId::Tunarium), 0);
    EXPECT_EQ(db->store().count(TableId::AddWizard), 0);
}

} // namespace

namespace {

TEST_F(AddWizardWindowTest, AWizardStartedFromTheFrameLeavesTheFrameUsable) {
    QWidget frame;
    auto* workspace = new QMdiArea(&frame);
    frame.resize(800, 600);
    frame.show();
    ASSERT_TRUE(procedures.start(QStringLiteral("AddCompilation"),
                                 {*db, settings, prompter, workspace, &frame, procedures}));
    settle();
    ASSERT_EQ(workspace->subWindowList().size(), 1);
    EXPECT_TRUE(frame.isEnabled()); // the wizard lives in the frame's workspace
    workspace->closeAllSubWindows();
    settle();
}

TEST_F(AddWizardWindowTest, TheReadButtonFollowsTheDiscInTheDrive) {
    // No disc where the drive is: the button waits, and says why.
    QFile::remove(dir.path("disc.toc"));
    ASSERT_TRUE(procedures.start(QStringLiteral("AddSingleArtist"), context()));
    settle();
    AddWizardWindow* w = opened<AddWizardWindow>();
    ASSERT_NE(w, nullptr);
    QPushButton* read = w->button(QStringLiteral("&Read Compact Disc Information"));
    ASSERT_NE(w->discWatch(), nullptr);
    EXPECT_EQ(w->discWatch()->interval(), 150);
    EXPECT_FALSE(read->isEnabled());
    EXPECT_FALSE(read->statusTip().isEmpty());

    // A disc put in is seen at the next look.
    writeText(dir.path("disc.toc"), kTwoTracks);
    w->discWatch()->look();
    EXPECT_TRUE(read->isEnabled());
    EXPECT_TRUE(read->statusTip().isEmpty());
    read->click();
    ASSERT_TRUE(QTest::qWaitFor([w] { return w->readingWindow() == nullptr; }, 5000));
    settle();
    EXPECT_EQ(w->engine().rowCount(), 2);
    EXPECT_TRUE(read->isEnabled()); // the watch looks again once the read is done
}

} // namespace
