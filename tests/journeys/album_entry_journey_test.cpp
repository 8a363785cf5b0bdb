// Entering albums as a user does: a quick wizard from the disc in the drive, then the album form
// reading the same album's disc again; the Album Wizard for a new disc, for a disc already in the
// collection, its required fields, its own keys and its Escape; deleting an album with its songs, and
// undoing that delete.
#include "journey_fixture.h"

#include "albums/albums_browse.h"
#include "albums/ui/add_wizard_window.h"
#include "albums/ui/album_songs_panel.h"
#include "albums/ui/album_wizard_window.h"
#include "albums/ui/albums_browse_window.h"
#include "albums/ui/track_form_window.h"
#include "albums/ui/update_album_window.h"
#include "catalogue/ui/picture_edit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

using namespace tunarium;

namespace {

// Three tracks of 3:25, 4:04 and 3:30; then another pressing of the same album, whose tracks
// last 3:31, 4:26 and 3:33 (lengths are whole seconds: the frames over 75, cut).
constexpr char kFirstPressing[] = "1 3 49692 150 15544 33892";
constexpr char kSecondPressing[] = "1 3 52000 150 16000 36000";
const qint64 kFirstTimes[] = {20501, 24401, 21001};
const qint64 kSecondTimes[] = {21101, 26601, 21301};

class AlbumJourney : public test::JourneyTest {
protected:
    // Songs of an album in side and track order, as "side:track:title:time | ...".
    std::string songsOf(qint64 albumId) {
        std::vector<SongRecord> songs;
        for (const SongRecord& s : all<SongRecord>()) {
            if (s.albumId == albumId) {
                songs.push_back(s);
            }
        }
        std::sort(songs.begin(), songs.end(), [](const SongRecord& a, const SongRecord& b) {
            return a.side != b.side ? a.side < b.side : a.trackNumber < b.trackNumber;
        });
        QStringList out;
        for (const SongRecord& s : songs) {
            out << QStringLiteral("%1:%2:%3:%4").arg(s.side).arg(s.trackNumber).arg(s.title).arg(s.time);
        }
        return out.join(QStringLiteral(" | ")).toStdString();
    }
    std::vector<AlbumRecord> albums() { return all<AlbumRecord>(); }
    template <class W> QPushButton* buttonOf(W* w, const QString& text) {
        for (QPushButton* b : w->template findChildren<QPushButton*>()) {
            if (b->text() == text) {
                return b;
            }
        }
        return nullptr;
    }
    // Shows the tab of `tabs` that holds `w`.
    static void showTabOf(QTabWidget* tabs, QWidget* w) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->widget(i)->isAncestorOf(w)) {
                tabs->setCurrentIndex(i);
            }
        }
        settle();
    }
    // Browse › Albums, the only album selected, Change: the album form.
    UpdateAlbumWindow* changeTheAlbum() {
        choose(FrameCommand::BrowseAlbums);
        auto* browse = waitFor<AlbumsBrowseWindow>();
        if (!browse) {
            return nullptr;
        }
        browse->engine().selectRow(0);
        browse->button(BrowseAction::Change)->click();
        settle();
        return waitFor<UpdateAlbumWindow>();
    }
    bool readDone(AlbumWizardWindow* w) {
        return QTest::qWaitFor([w] { return w->readingWindow() == nullptr; }, 10000);
    }
    // Album Wizard: step 1 as it opens, then step 2 with the facts typed.
    AlbumWizardWindow* wizardOnFacts(const QString& artist, const QString& album, const QString& fileNumber) {
        choose(FrameCommand::WizardAddAlbum);
        auto* w = waitFor<AlbumWizardWindow>();
        if (!w) {
            return nullptr;
        }
        w->button(QStringLiteral("&Next"))->click();
        settle();
        w->artistField()->setText(artist);
        w->albumField()->setText(album);
        w->fileNumberField()->setText(fileNumber);
        return w;
    }
};

// How the album got into the collection before the album form reads its disc again.
enum class Entered { QuickSingleArtist, QuickCompilation, EarlierVersionOnSide0 };

class ReadAgainJourney : public AlbumJourney, public ::testing::WithParamInterface<Entered> {};

// Each way of entering an album, then Update Album › Songs › "Read CD Information" on another
// pressing: the album keeps its three songs, their titles and side, and takes the lengths read.
TEST_P(ReadAgainJourney, TheAlbumFormReadsTheDiscIntoTheTracksThatExist) {
    putDisc(kFirstPressing);
    const QStringList titles{"Money, Money, Money", "Dum Dum Diddle", "Knowing Me, Knowing You"};
    qint64 side = 1;
    if (GetParam() == Entered::EarlierVersionOnSide0) {
        // As earlier versions entered a single disc: every song on side 0.
        side = 0;
        ASSERT_TRUE(db().openTables({TableId::Tunarium, TableId::Album}));
        AlbumRecord a;
        a.albumId = 1;
        a.artist = QStringLiteral("Abba");
        a.album = QStringLiteral("Arrival");
        a.media = QStringLiteral("CD");
        ASSERT_TRUE(db().store().insert(a).ok());
        for (int t = 0; t < 3; ++t) {
            SongRecord s;
            s.id = t + 1;
            s.albumId = 1;
            s.side = 0;
            s.trackNumber = t + 1;
            s.artist = a.artist;
            s.album = a.album;
            s.title = titles[t];
            s.time = kFirstTimes[t];
            ASSERT_TRUE(db().store().insert(s).ok());
        }
        db().closeTables({TableId::Tunarium, TableId::Album});
    } else {
        const bool compilation = GetParam() == Entered::QuickCompilation;
        choose(compilation ? FrameCommand::WizardQuickCompilation : FrameCommand::WizardQuickSingleArtist);
        auto* w = waitFor<AddWizardWindow>();
        ASSERT_NE(w, nullptr) << messagesSoFar();
        // Nothing is written while the wizard is open.
        EXPECT_EQ(count(TableId::Tunarium), 0);
        if (!compilation) {
            w->artistField()->setText(QStringLiteral("Abba"));
        }
        w->albumField()->setText(QStringLiteral("Arrival"));
        w->button(QStringLiteral("&Read Compact Disc Information"))->click();
        ASSERT_TRUE(QTest::qWaitFor([w] { return w->readingWindow() == nullptr; }, 10000));
        settle();
        ASSERT_EQ(w->engine().rowCount(), 3) << messagesSoFar();
        for (int t = 0; t < 3; ++t) {
            w->engine().selectRow(t);
            w->button(QStringLiteral("&Change"))->click();
            settle();
            ASSERT_NE(w->trackForm(), nullptr);
            w->trackForm()->titleField()->setText(titles[t]);
            w->trackForm()->accept();
            settle();
        }
        EXPECT_EQ(count(TableId::Tunarium), 0);
        w->button(QStringLiteral("&OK"))->click();
        ASSERT_TRUE(waitGone<AddWizardWindow>()) << messagesSoFar();
    }
    ASSERT_EQ(albums().size(), 1u) << messagesSoFar();
    const qint64 albumId = albums().front().albumId;
    QStringList before;
    for (int t = 0; t < 3; ++t) {
        before << QStringLiteral("%1:%2:%3:%4").arg(side).arg(t + 1).arg(titles[t]).arg(kFirstTimes[t]);
    }
    ASSERT_EQ(songsOf(albumId), before.join(QStringLiteral(" | ")).toStdString());

    putDisc(kSecondPressing);
    UpdateAlbumWindow* form = changeTheAlbum();
    ASSERT_NE(form, nullptr) << messagesSoFar();
    AlbumSongsPanel* panel = form->songs();
    showTabOf(form->tabs(), panel);
    // The songs list shows each song's side; "Side/Disc:" starts on the side the songs are on.
    EXPECT_EQ(panel->engine().headerText(0), QStringLiteral("Side/Disc"));
    EXPECT_EQ(panel->sideBox()->value(), side);
    ASSERT_EQ(panel->engine().rowCount(), 3);
    QPushButton* read = buttonOf(form, QStringLiteral("Read CD &Information"));
    ASSERT_NE(read, nullptr);
    read->click();
    ASSERT_TRUE(QTest::qWaitFor([form] { return form->reading() == nullptr; }, 10000));
    settle();
    EXPECT_EQ(panel->engine().rowCount(), 3) << messagesSoFar();

    QStringList after;
    for (int t = 0; t < 3; ++t) {
        after << QStringLiteral("%1:%2:%3:%4").arg(side).arg(t + 1).arg(titles[t]).arg(kSecondTimes[t]);
    }
    EXPECT_EQ(songsOf(albumId), after.join(QStringLiteral(" | ")).toStdString()) << messagesSoFar();
    EXPECT_EQ(count(TableId::Tunarium), 3);
}

INSTANTIATE_TEST_SUITE_P(EachWayIn, ReadAgainJourney,
                         ::testing::Values(Entered::QuickSingleArtist, Entered::QuickCompilation,
                                           Entered::EarlierVersionOnSide0),
                         [](const ::testing::TestParamInfo<Entered>& entered) {
                             switch (entered.param) {
                             case Entered::QuickSingleArtist:
                                 return std::string("QuickSingleArtist");
                             case Entered::QuickCompilation:
                                 return std::string("QuickCompilation");
                             default:
                                 return std::string("EarlierVersionOnSide0");
                             }
                         });

// The Album Wizard for a new disc, by the keyboard where the frame's menus share the letters: the
// required fields first, then the disc read into side 1, Back and Finish by Alt+B and Alt+F. Then
// the same disc once more: the wizard names the album that holds it and stays on step 2, leaving
// nothing behind when cancelled.
TEST_F(AlbumJourney, TheAlbumWizardForANewDiscAndForOneAlreadyEntered) {
    putDisc(kFirstPressing);
    AlbumWizardWindow* w = wizardOnFacts({}, {}, QStringLiteral("F000123"));
    ASSERT_NE(w, nullptr) << messagesSoFar();
    ASSERT_EQ(w->wizard().step(), 2);
    const qint64 albumId = w->wizard().album().albumId;

    // Artist* and Album* are required: each refused in turn, nothing read or written.
    w->button(QStringLiteral("&Next"))->click();
    settle();
    ASSERT_EQ(prompter.messages.size(), 1) << messagesSoFar();
    EXPECT_TRUE(prompter.messages.last().text.contains(QStringLiteral("Artist"))) << messagesSoFar();
    EXPECT_EQ(w->wizard().step(), 2);
    EXPECT_EQ(QApplication::focusWidget(), w->artistField());
    w->artistField()->setText(QStringLiteral("Abba"));
    w->button(QStringLiteral("&Next"))->click();
    settle();
    ASSERT_EQ(prompter.messages.size(), 2) << messagesSoFar();
    EXPECT_TRUE(prompter.messages.last().text.contains(QStringLiteral("Album"))) << messagesSoFar();
    EXPECT_EQ(w->wizard().step(), 2);
    EXPECT_EQ(count(TableId::Tunarium), 0);

    w->albumField()->setText(QStringLiteral("Arrival"));
    w->button(QStringLiteral("&Next"))->click();
    ASSERT_TRUE(readDone(w));
    settle();
    ASSERT_EQ(w->wizard().step(), 3) << messagesSoFar();
    EXPECT_EQ(songsOf(albumId), "1:1:Track 1:20501 | 1:2:Track 2:24401 | 1:3:Track 3:21001");
    EXPECT_FALSE(w->discNotice()->isVisible()) << "the wizard's own album is no other album";

    // Alt+B is the wizard's Back, not the frame's Browse menu; Alt+F its Finish, not File.
    frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame()));
    w->list()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), w->list());
    QTest::keyClick(w->list(), Qt::Key_B, Qt::AltModifier);
    settle();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "a menu opened";
    ASSERT_EQ(w->wizard().step(), 2);
    w->button(QStringLiteral("&Next"))->click(); // reads the disc again into the same tracks
    ASSERT_TRUE(readDone(w));
    settle();
    ASSERT_EQ(w->wizard().step(), 3) << messagesSoFar();
    frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame()));
    w->list()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), w->list());
    QTest::keyClick(w->list(), Qt::Key_F, Qt::AltModifier);
    settle();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "a menu opened";
    ASSERT_TRUE(waitGone<AlbumWizardWindow>()) << messagesSoFar();
    ASSERT_EQ(albums().size(), 1u);
    EXPECT_EQ(albums().front().artist, QStringLiteral("Abba"));
    EXPECT_EQ(albums().front().album, QStringLiteral("Arrival"));
    EXPECT_FALSE(albums().front().cdIdentifier.trimmed().isEmpty());
    EXPECT_EQ(songsOf(albumId), "1:1:Track 1:20501 | 1:2:Track 2:24401 | 1:3:Track 3:21001");
    const int said = int(prompter.messages.size());

    // The same disc again, under another name.
    w = wizardOnFacts(QStringLiteral("ABBA"), QStringLiteral("Arrival (Remaster)"), {});
    ASSERT_NE(w, nullptr) << messagesSoFar();
    const qint64 secondId = w->wizard().album().albumId;
    w->button(QStringLiteral("&Next"))->click();
    ASSERT_TRUE(readDone(w));
    settle();
    ASSERT_EQ(int(prompter.messages.size()), said + 1) << messagesSoFar();
    const PromptMessage& held = prompter.messages.last();
    EXPECT_EQ(held.caption, QStringLiteral("Duplicate Key Error"));
    EXPECT_TRUE(held.text.contains(QStringLiteral("CD Serial Number"))) << held.text.toStdString();
    EXPECT_TRUE(held.text.contains(QStringLiteral("This disc is already in the collection: file number F000123, "
                                                  "Abba \u2013 Arrival")))
        << held.text.toStdString();
    EXPECT_EQ(w->wizard().step(), 2);
    // The line under the steps names it too, with the button to it, while the facts are changed.
    EXPECT_TRUE(w->discNotice()->isVisible());
    EXPECT_EQ(w->discNotice()->textLabel()->text(),
              QStringLiteral("This disc is in the collection: file number F000123, Abba \u2013 Arrival"));
    EXPECT_EQ(w->discNotice()->albumId(), albumId);
    EXPECT_EQ(songsOf(secondId), "");
    EXPECT_EQ(count(TableId::Tunarium), 3);

    // Cancel asks, then leaves neither the album made at open nor any song.
    prompter.answers = {kButtonYes};
    w->button(QStringLiteral("Cancel"))->click();
    ASSERT_TRUE(waitGone<AlbumWizardWindow>()) << messagesSoFar();
    EXPECT_EQ(prompter.messages.last().text, QStringLiteral("Cancel the album?"));
    ASSERT_EQ(albums().size(), 1u);
    EXPECT_EQ(albums().front().albumId, albumId);
    EXPECT_EQ(count(TableId::Tunarium), 3);
}

// Escape in the Album Wizard after its disc was read: inside an open drop list it closes the list
// only; in a field it asks before anything goes; Cancel answered Yes removes the album and songs.
TEST_F(AlbumJourney, EscapeInTheAlbumWizardAsksBeforeTheAlbumGoes) {
    putDisc(kFirstPressing);
    AlbumWizardWindow* w = wizardOnFacts(QStringLiteral("Abba"), QStringLiteral("Arrival"), {});
    ASSERT_NE(w, nullptr) << messagesSoFar();
    w->button(QStringLiteral("&Next"))->click();
    ASSERT_TRUE(readDone(w));
    settle();
    ASSERT_EQ(count(TableId::Tunarium), 3) << messagesSoFar();
    w->button(QStringLiteral("&Back"))->click();
    settle();
    ASSERT_EQ(w->wizard().step(), 2);
    const int said = int(prompter.messages.size());

    // The Media list dropped down: Escape closes it, and only it.
    QComboBox* media = w->mediaBox();
    media->setFocus();
    media->showPopup();
    settle();
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(media->view(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(int(prompter.messages.size()), said) << messagesSoFar();
    ASSERT_NE(shown<AlbumWizardWindow>(), nullptr);

    // Escape in the Media box asks; No keeps everything.
    prompter.answers = {kButtonNo};
    QTest::keyClick(media, Qt::Key_Escape);
    settle();
    ASSERT_EQ(int(prompter.messages.size()), said + 1) << messagesSoFar();
    EXPECT_EQ(prompter.messages.last().text, QStringLiteral("Cancel the album and remove its 3 songs?"));
    ASSERT_NE(shown<AlbumWizardWindow>(), nullptr);
    EXPECT_EQ(count(TableId::Tunarium), 3);
    EXPECT_EQ(count(TableId::Album), 1);

    prompter.answers = {kButtonYes};
    w->button(QStringLiteral("Cancel"))->click();
    ASSERT_TRUE(waitGone<AlbumWizardWindow>()) << messagesSoFar();
    EXPECT_EQ(count(TableId::Tunarium), 0);
    EXPECT_EQ(count(TableId::Album), 0);
}

// Browse › Albums, Delete: the question says the songs go with the album.
TEST_F(AlbumJourney, DeletingAnAlbumSaysItsSongsGoToo) {
    ASSERT_TRUE(db().openTables({TableId::Tunarium, TableId::Album}));
    for (qint64 id = 1; id <= 2; ++id) {
        AlbumRecord a;
        a.albumId = id;
        a.artist = QStringLiteral("Abba");
        a.album = id == 1 ? QStringLiteral("Arrival") : QStringLiteral("Voulez-Vous");
        a.media = QStringLiteral("CD");
        ASSERT_TRUE(db().store().insert(a).ok());
    }
    for (qint64 t = 1; t <= 10; ++t) {
        SongRecord s;
        s.id = t;
        s.albumId = t <= 8 ? 1 : 2;
        s.side = 1;
        s.trackNumber = t;
        s.artist = QStringLiteral("Abba");
        s.title = QStringLiteral("Song %1").arg(t);
        ASSERT_TRUE(db().store().insert(s).ok());
    }
    db().closeTables({TableId::Tunarium, TableId::Album});

    choose(FrameCommand::BrowseAlbums);
    auto* browse = waitFor<AlbumsBrowseWindow>();
    ASSERT_NE(browse, nullptr) << messagesSoFar();
    browse->engine().selectRow(0); // Arrival, first by album name
    ASSERT_EQ(browse->engine().record().number(alb::kAlbumId), 1);
    prompter.answers = {kButtonNo};
    browse->button(BrowseAction::Delete)->click();
    settle();
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_TRUE(prompter.messages.last().text.startsWith(QStringLiteral("Delete the album and its 8 songs?")))
        << messagesSoFar();
    EXPECT_EQ(count(TableId::Album), 2);
    EXPECT_EQ(count(TableId::Tunarium), 10);

    const std::string arrival = songsOf(1);
    prompter.answers = {kButtonYes};
    browse->button(BrowseAction::Delete)->click();
    settle();
    EXPECT_EQ(count(TableId::Album), 1);
    EXPECT_EQ(count(TableId::Tunarium), 2);
    EXPECT_EQ(songsOf(1), "");

    // Undo Delete (the popup's last entry, also Ctrl+Z) brings the album back with its songs,
    // linked as before, and shows it; then there is nothing left to undo.
    const auto undoEntry = [&] {
        const QStringList entries = browse->shownPopupText().split(u'|');
        return entries.isEmpty() ? QString() : entries.last();
    };
    EXPECT_EQ(undoEntry(), QStringLiteral("&Undo Delete"));
    browse->choosePopup(static_cast<int>(AlbumsPopupEntry::UndoDelete));
    settle();
    EXPECT_EQ(count(TableId::Album), 2) << messagesSoFar();
    EXPECT_EQ(songsOf(1), arrival);
    EXPECT_EQ(browse->engine().record().text(alb::kAlbum), QStringLiteral("Arrival"));
    EXPECT_EQ(undoEntry(), QStringLiteral("~&Undo Delete"));

    // A delete whose album number was taken since is not undone: nothing is put back.
    prompter.answers = {kButtonYes};
    browse->button(BrowseAction::Delete)->click();
    settle();
    ASSERT_EQ(count(TableId::Album), 1);
    ASSERT_TRUE(db().openTable(TableId::Album));
    AlbumRecord taken;
    taken.albumId = 1;
    taken.artist = QStringLiteral("Blondie");
    taken.album = QStringLiteral("Parallel Lines");
    taken.media = QStringLiteral("CD");
    ASSERT_TRUE(db().store().insert(taken).ok());
    db().closeTable(TableId::Album);
    const qsizetype before = prompter.messages.size();
    browse->choosePopup(static_cast<int>(AlbumsPopupEntry::UndoDelete));
    settle();
    EXPECT_EQ(count(TableId::Album), 2);
    EXPECT_EQ(count(TableId::Tunarium), 2);
    ASSERT_GT(prompter.messages.size(), before);
    EXPECT_TRUE(prompter.messages.last().text.startsWith(QStringLiteral("Adding this record creates a duplicate")))
        << messagesSoFar();
}

} // namespace
