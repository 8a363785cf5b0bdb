// The playlist windows as a user works them: songs dragged from the songs browse onto a playlist,
// the generator's window, the playlist form's Add and Cancel, the chart, and the buttons that start
// other rooms' windows by name.
#include "catalogue/procedure_names.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/picture_edit.h"
#include "catalogue/ui/songs_browse_window.h"
#include "playlists/playlist_fixture.h"
#include "playlists/procedure_names.h"
#include "playlists/ui/generate_playlist_window.h"
#include "playlists/ui/playlist_entries_panel.h"
#include "playlists/ui/playlists_browse_window.h"
#include "playlists/ui/update_playlist_details_window.h"
#include "playlists/ui/update_playlist_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tunarium;

namespace {

class PlaylistWindowsTest : public test::PlaylistTest {
protected:
    void SetUp() override {
        for (TableId t : {TableId::Media, TableId::Album}) {
            ASSERT_TRUE(db.openTable(t));
        }
        addCategory(1, QStringLiteral("Rock"));
        for (int i = 1; i <= 6; ++i) {
            addSong(i, 0, 1, 6000 * i + 1); // i minutes
        }
        addPlaylist(1, QStringLiteral("Friday"));
        addEntries(1, {6});
        area.resize(1000, 700);
        area.show();
    }
    void TearDown() override {
        area.closeAllSubWindows();
        settle();
    }

    static void settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    ProcedureContext context() { return {db, settings, prompter, &area, nullptr, procedures}; }

    template <class W> W* window() {
        for (QMdiSubWindow* sub : area.subWindowList()) {
            if (auto* w = dynamic_cast<W*>(sub->widget())) {
                return w;
            }
        }
        return nullptr;
    }

    // The playlists browse, and the playlist form opened on its selected playlist.
    UpdatePlaylistWindow* openPlaylistForm(PlaylistsBrowseWindow*& browse) {
        browse = PlaylistsBrowseWindow::openPlaylists(context());
        EXPECT_NE(browse, nullptr);
        browse->engine().change();
        settle();
        return window<UpdatePlaylistWindow>();
    }

    static void clickRow(QTableView* list, int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualRect(list->model()->index(row, 0)).center());
    }

    // Drags `data` over the entries list and drops it, as the windowing system delivers a drag.
    static bool dragAndDrop(PlaylistEntriesPanel* panel, QMimeData* data) {
        QWidget* target = panel->list()->viewport();
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        settle();
        return drop.isAccepted();
    }

    QMdiArea area;
    Settings settings;
    ProcedureRegistry procedures;
};

TEST_F(PlaylistWindowsTest, TwoSongsDraggedFromTheSongsBrowseJoinThePlaylistInTheOrderChosen) {
    SongsBrowseWindow* songs = SongsBrowseWindow::openSongs(context());
    ASSERT_NE(songs, nullptr);
    PlaylistsBrowseWindow* browse = nullptr;
    UpdatePlaylistWindow* form = openPlaylistForm(browse);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Changing a Playlist Record");
    PlaylistEntriesPanel* panel = form->entries();
    EXPECT_EQ(panel->totalTimeText(), "0:06:00");

    // Ctrl and a click marks songs: Artist 5, then Artist 2.
    ASSERT_EQ(songs->engine().cellText(4, 0), "Artist 5");
    clickRow(songs->list(), 4, Qt::ControlModifier);
    clickRow(songs->list(), 1, Qt::ControlModifier);
    EXPECT_EQ(songs->markedSongs(), QVector<qint64>({5, 2}));
    std::unique_ptr<QMimeData> dragged(songs->dragData());
    ASSERT_TRUE(dragged);
    EXPECT_EQ(dragged->data(kSongIdMimeType), "5\n2\n");
    ASSERT_TRUE(dragAndDrop(panel, dragged.get()));

    EXPECT_EQ(songsOf(1), QVector<qint64>({6, 5, 2}));
    EXPECT_EQ(sequencesOf(1), QVector<qint64>({1, 2, 3}));
    ListEngine& list = panel->engine();
    ASSERT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.cellText(1, 1), "Artist 5");
    EXPECT_EQ(list.cellText(2, 2), "Title 2");
    EXPECT_EQ(list.selectedIndex(), 2);
    EXPECT_EQ(panel->totalTimeText(), "0:13:00");
    EXPECT_TRUE(prompter.messages.isEmpty());

    // A plain click starts a new choice: the drag then carries the selected song alone.
    clickRow(songs->list(), 0);
    EXPECT_TRUE(songs->markedSongs().isEmpty());
    std::unique_ptr<QMimeData> one(songs->dragData());
    EXPECT_EQ(one->data(kSongIdMimeType), "1\n");

    // Text that is not song numbers is told and adds nothing.
    QMimeData text;
    text.setText(QStringLiteral("Abbey Road"));
    ASSERT_TRUE(dragAndDrop(panel, &text));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Not a Song");
    EXPECT_EQ(songsOf(1).size(), 3);
}

TEST_F(PlaylistWindowsTest, TheGeneratorSelectsAWrongFieldAgainAndMakesThePlaylist) {
    PlaylistsBrowseWindow* browse = PlaylistsBrowseWindow::openPlaylists(context());
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(browse->windowTitle(), "Playlists");
    // The playlist files' entries stay grey until their procedures are registered.
    EXPECT_EQ(browse->popupText(),
              "&Add|&Change|&Delete|Generate Play List|-|~Export Play List...|~Import Play List...");
    browse->choosePopup(4);
    settle();
    auto* generator = window<GeneratePlaylistWindow>();
    ASSERT_NE(generator, nullptr);
    EXPECT_EQ(generator->windowTitle(), "Generate Play List");
    EXPECT_FALSE(browse->isEnabled());
    EXPECT_EQ(generator->categoryBox()->count(), 1);

    generator->sizeEdit()->setText(QStringLiteral("3"));
    generator->categoryBox()->setEditText(QStringLiteral("Polka"));
    generator->okButton()->click();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Field Contents Error");
    EXPECT_EQ(window<GeneratePlaylistWindow>(), generator);
    EXPECT_EQ(playlistCount(), 1);

    generator->categoryBox()->setEditText(QStringLiteral("rock"));
    generator->weightingButton(Weighting::OlderAddition)->setChecked(true);
    generator->eachSongOnceBox()->setChecked(true);
    EXPECT_EQ(generator->choice().weighting, Weighting::OlderAddition);
    generator->okButton()->click();
    settle();
    EXPECT_EQ(window<GeneratePlaylistWindow>(), nullptr);
    EXPECT_EQ(playlistCount(), 2);
    QVector<qint64> drawn = songsOf(2);
    EXPECT_EQ(drawn.size(), 3);
    std::sort(drawn.begin(), drawn.end());
    EXPECT_EQ(std::unique(drawn.begin(), drawn.end()), drawn.end());
    EXPECT_TRUE(browse->isEnabled());
    EXPECT_EQ(browse->engine().record().text(pld::kPlaylistDescription), "Play List #2");
}

TEST_F(PlaylistWindowsTest, ACancelledNewPlaylistLeavesNothingBehind) {
    PlaylistsBrowseWindow* browse = PlaylistsBrowseWindow::openPlaylists(context());
    ASSERT_NE(browse, nullptr);
    browse->engine().add();
    settle();
    auto* form = window<UpdatePlaylistWindow>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Adding a Playlist Record");
    EXPECT_EQ(form->record().number(pld::kPlaylistId), 2);
    QMimeData songs;
    songs.setData(kSongIdMimeType, "3\n4\n");
    ASSERT_TRUE(dragAndDrop(form->entries(), &songs));
    EXPECT_EQ(songsOf(2).size(), 2);
    QTest::keyClick(form->descriptionEdit(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(playlistCount(), 1);
    EXPECT_TRUE(entries(2).isEmpty());

    // Added again and kept: numbered 2 again, dated today, the description ditto'd next time.
    browse->engine().add();
    settle();
    form = window<UpdatePlaylistWindow>();
    ASSERT_NE(form, nullptr);
    form->descriptionEdit()->setText(QStringLiteral("Sunday"));
    form->accept();
    settle();
    PlaylistRecord sunday;
    ASSERT_TRUE(db.store().get(pld::kKeyPlaylistId, {qint64(2)}, sunday).ok());
    EXPECT_EQ(sunday.playlistDescription, "Sunday");
    EXPECT_GT(sunday.lastEditDate, 0);
    browse->engine().add();
    settle();
    form = window<UpdatePlaylistWindow>();
    ASSERT_NE(form, nullptr);
    QTest::keyClick(form->descriptionEdit(), Qt::Key_Apostrophe, Qt::ControlModifier);
    EXPECT_EQ(form->descriptionEdit()->text(), "Sunday");
}

TEST_F(PlaylistWindowsTest, ChartTwiceLeavesOneMarkerAndDeleteCloseTheGap) {
    addEntries(2, {1, 2, 3, 4, 5}, {"a", "b", "c", "d", "e"});
    PlaylistsBrowseWindow* browse = PlaylistsBrowseWindow::openPlaylists(context());
    ASSERT_NE(browse, nullptr);
    addPlaylist(2, QStringLiteral("Chart"));
    browse->engine().focusGained();
    browse->engine().scroll(ScrollAction::Bottom);
    browse->engine().change();
    settle();
    auto* form = window<UpdatePlaylistWindow>();
    ASSERT_NE(form, nullptr);
    PlaylistEntriesPanel* panel = form->entries();
    for (int run = 0; run < 2; ++run) {
        prompter.answers = {kButtonOk};
        panel->chartButton()->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->isEnabled(); }, 5000));
    }
    EXPECT_EQ(prompter.messages.back().caption, "Warning");
    EXPECT_EQ(panel->engine().cellText(2, 4), "c LW:3");

    clickRow(panel->list(), 1);
    prompter.answers = {kButtonOk};
    panel->deleteButton()->click();
    settle();
    EXPECT_EQ(songsOf(2), QVector<qint64>({1, 3, 4, 5}));
    EXPECT_EQ(panel->engine().cellText(1, 0).trimmed(), "2");
    EXPECT_EQ(panel->engine().cellText(1, 4), "c LW:3");

    // Moves: the last entry to the top.
    clickRow(panel->list(), 3);
    panel->moveButton(EntryMove::Top)->click();
    EXPECT_EQ(songsOf(2), QVector<qint64>({5, 1, 3, 4}));
    EXPECT_EQ(panel->engine().selectedIndex(), 0);
}

TEST_F(PlaylistWindowsTest, WindowsOfOtherRoomsAreStartedByNameOnceRegistered) {
    PlaylistsBrowseWindow* browse = PlaylistsBrowseWindow::openPlaylists(context());
    ASSERT_NE(browse, nullptr);
    EXPECT_FALSE(browse->printButton()->isEnabled());
    EXPECT_FALSE(browse->top40Button()->isEnabled());
    browse->finish(Response::Cancelled);
    settle();

    QVector<qint64> printed;
    procedures.add(QString::fromLatin1(procedure::kReportPlaylist),
                   [&printed](const ProcedureContext& c) { printed << c.argument.toLongLong(); });
    procedures.add(QString::fromLatin1(procedure::kSelectFileNumber), [](const ProcedureContext& c) {
        SongRecord chosen;
        chosen.id = 4;
        c.answer(static_cast<int>(Response::Completed), toRow(chosen));
    });
    browse = PlaylistsBrowseWindow::openPlaylists(context());
    ASSERT_NE(browse, nullptr);
    EXPECT_TRUE(browse->printButton()->isEnabled());
    EXPECT_FALSE(browse->top40Button()->isEnabled());
    browse->printButton()->click();
    EXPECT_EQ(printed, QVector<qint64>({1}));

    browse->engine().change();
    settle();
    auto* form = window<UpdatePlaylistWindow>();
    ASSERT_NE(form, nullptr);
    form->entries()->engine().add();
    settle();
    auto* entry = window<UpdatePlaylistDetailsWindow>();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->windowTitle(), "Adding a Playlist Detail");
    ASSERT_TRUE(entry->selectSongButton()->isEnabled());
    entry->selectSongButton()->click();
    EXPECT_EQ(entry->artistField()->text(), "Artist 4");
    entry->notesEdit()->setText(QStringLiteral("closer"));
    entry->accept();
    settle();
    // Added after the selected entry (the only one): at the end.
    EXPECT_EQ(songsOf(1), QVector<qint64>({6, 4}));
    EXPECT_EQ(entries(1).back().playlistNotes, "closer");
}

TEST_F(PlaylistWindowsTest, AnEntryWhoseSongWasDeletedShowsNoSong) {
    addEntries(2, {3});
    addPlaylist(2, QStringLiteral("Gone"));
    removeSong(3);
    PlaylistsBrowseWindow* browse = PlaylistsBrowseWindow::openPlaylists(context());
    ASSERT_NE(browse, nullptr);
    browse->engine().scroll(ScrollAction::Bottom);
    browse->engine().change();
    settle();
    auto* form = window<UpdatePlaylistWindow>();
    ASSERT_NE(form, nullptr);
    ListEngine& list = form->entries()->engine();
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.cellText(0, 0).trimmed(), "1");
    EXPECT_EQ(list.cellText(0, 1), "");
    EXPECT_EQ(list.cellText(0, 2), "");
    EXPECT_EQ(form->entries()->totalTimeText(), "");
}

} // namespace
