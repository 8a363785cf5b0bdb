// Where the keyboard is after a message box: the program's own message boxes, answered as a user
// answers them, over a form in front of a maximised songs browse.
#include "journey_fixture.h"

#include "albums/ui/albums_browse_window.h"
#include "albums/ui/reading_cd_window.h"
#include "albums/ui/update_album_window.h"
#include "catalogue/ui/songs_browse_window.h"
#include "ui/gui_prompter.h"

#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

using namespace tunarium;

namespace {

// The program's message boxes, each answered with its default button once it shows; what they
// said is kept by the journey's recording prompter.
class AnsweringPrompter final : public GuiPrompter {
public:
    explicit AnsweringPrompter(RecordingPrompter& record) : m_record(record) {}
    int message(const PromptMessage& m) override {
        m_record.messages.push_back(m);
        answerWhenShown();
        return GuiPrompter::message(m);
    }

private:
    static void answerWhenShown() {
        QTimer::singleShot(20, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) {
                answerWhenShown();
                return;
            }
            (box->defaultButton() ? box->defaultButton() : box->buttons().value(0))->click();
        });
    }
    RecordingPrompter& m_record;
};

class FocusJourney : public test::JourneyTest {
protected:
    Prompter& programPrompter() override { return boxes; }
    void SetUp() override {
        JourneyTest::SetUp();
        // As the program does once its frame is open.
        boxes.setParentWindow(frame());
    }
    AnsweringPrompter boxes{prompter};
};

TEST_F(FocusJourney, AfterAMessageFromAFormTheKeyboardIsBackInTheForm) {
    ASSERT_TRUE(db().openTables({TableId::Tunarium, TableId::Album}));
    AlbumRecord a;
    a.albumId = 1;
    a.artist = QStringLiteral("Abba");
    a.album = QStringLiteral("Arrival");
    a.media = QStringLiteral("CD");
    ASSERT_TRUE(db().store().insert(a).ok());
    SongRecord s;
    s.id = 1;
    s.artist = a.artist;
    s.title = QStringLiteral("Dancing Queen");
    s.album = a.album;
    s.albumId = 1;
    ASSERT_TRUE(db().store().insert(s).ok());
    db().closeTables({TableId::Tunarium, TableId::Album});

    // The songs browse maximised behind everything else.
    choose(FrameCommand::BrowseSongs);
    SongsBrowseWindow* songs = waitFor<SongsBrowseWindow>();
    ASSERT_NE(songs, nullptr) << messagesSoFar();
    qobject_cast<QMdiSubWindow*>(songs->parentWidget())->showMaximized();
    settle();

    // Browse › Albums, Change: the album form in front.
    choose(FrameCommand::BrowseAlbums);
    auto* albums = waitFor<AlbumsBrowseWindow>();
    ASSERT_NE(albums, nullptr) << messagesSoFar();
    albums->button(BrowseAction::Change)->click();
    settle();
    auto* form = waitFor<UpdateAlbumWindow>();
    ASSERT_NE(form, nullptr) << messagesSoFar();
    QPushButton* read = nullptr;
    for (QPushButton* b : form->findChildren<QPushButton*>()) {
        if (b->text() == QStringLiteral("Read")) {
            read = b;
        }
    }
    ASSERT_NE(read, nullptr);
    for (int i = 0; i < form->tabs()->count(); ++i) {
        if (form->tabs()->widget(i)->isAncestorOf(read)) {
            form->tabs()->setCurrentIndex(i);
        }
    }
    settle();
    QTest::mouseClick(read, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.messages.isEmpty(); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return form->reading() == nullptr && form->isEnabled(); }, 10000));
    settle();
    EXPECT_TRUE(prompter.messages.last().text.startsWith("CD Identification")) << messagesSoFar();

    // The form is still the window in front, and what is typed goes to it.
    QMdiSubWindow* active = workspace()->activeSubWindow();
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->widget(), form) << "the active window is "
                                      << active->widget()->metaObject()->className();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(form->isAncestorOf(focus)) << "the keyboard is in " << focus->metaObject()->className()
                                           << " of " << focus->window()->metaObject()->className();

    // The Window menu lists the open windows, the one in front ticked; choosing one brings it
    // to the front, wherever it was hidden.
    QMenu* windowMenu = nullptr;
    for (QAction* top : frame()->menuBar()->actions()) {
        if (top->text().remove(u'&') == QStringLiteral("Window")) {
            windowMenu = top->menu();
        }
    }
    ASSERT_NE(windowMenu, nullptr);
    emit windowMenu->aboutToShow();
    QStringList listed;
    QAction* songsEntry = nullptr;
    for (QAction* entry : windowMenu->actions()) {
        if (entry->isCheckable()) {
            listed << entry->text();
            EXPECT_EQ(entry->isChecked(), entry->text().endsWith(form->windowTitle().replace(u'&', "&&")))
                << qPrintable(entry->text());
            if (entry->text().endsWith(songs->windowTitle())) {
                songsEntry = entry;
            }
        }
    }
    EXPECT_EQ(listed.size(), 3) << qPrintable(listed.join(u'|'));
    ASSERT_NE(songsEntry, nullptr) << qPrintable(listed.join(u'|'));
    songsEntry->trigger();
    settle();
    EXPECT_EQ(workspace()->activeSubWindow()->widget(), songs);
}

} // namespace
