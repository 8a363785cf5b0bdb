// The application frame as the user meets it: its menus and toolbar, the commands that depend on
// the settings, the logo, the start-up windows, the clipboard and help commands, its position,
// and closing in order.
#include "data/database.h"
#include "data/ini_file.h"
#include "shell/ui/main_frame.h"
#include "shell_fixture.h"
#include "ui/dialog_units.h"
#include "ui/help_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

using namespace tunarium;

namespace {

struct MenuLine {
    QString path;
    QString prompt;
    bool enabled;
    bool operator==(const MenuLine&) const = default;
};

std::ostream& operator<<(std::ostream& os, const MenuLine& l) {
    return os << l.path.toStdString() << " [" << l.prompt.toStdString() << "] " << (l.enabled ? "on" : "off");
}

void collect(const QMenu* menu, const QString& path, QVector<MenuLine>& lines) {
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            continue;
        }
        const QString name = path + u'/' + QString(a->text()).remove(u'&');
        if (a->menu()) {
            collect(a->menu(), name, lines);
        } else {
            lines.push_back({name, a->statusTip(), a->isEnabled()});
        }
    }
}

class MainFrameTest : public test::ShellTest {
protected:
    std::unique_ptr<MainFrame> openFrame() {
        auto frame = std::make_unique<MainFrame>(db, settings, prompter, procedures);
        EXPECT_TRUE(frame->open());
        return frame;
    }

    Database db{prompter, dir.dir(), profile()};
    Settings settings{settingsPath()};
    ProcedureRegistry procedures;
};

TEST_F(MainFrameTest, MenuBarHoldsEveryCommandInOrderWithItsPrompt) {
    auto frame = openFrame();
    EXPECT_EQ(frame->windowTitle(), "Tunarium Pro 98");
    QVector<MenuLine> lines;
    QStringList tops;
    for (QAction* top : frame->menuBar()->actions()) {
        tops << QString(top->text()).remove(u'&');
        collect(top->menu(), tops.last(), lines);
    }
    EXPECT_EQ(tops, QStringList({"File", "Edit", "Browse", "Reports", "Window", "Help"}));

    const bool print = PrinterSetup::available();
    // Windows that are not part of the program yet are offered disabled.
    const QVector<MenuLine> expected = {
        {"File/Print Setup ...", "Setup printer", print},
        {"File/Preferences", "Options and settings", false},
        {"File/Add Music Files…", "Add songs from the audio files of a folder, or of chosen files", false},
        {"File/Import", "Import from a comma-delimited file", false},
        {"File/Export", "Export to a comma-delimited file", false},
        {"File/CD Player", "Start the CD Player", false},
        {"File/Exit", "Exit this application", true},
        {"Edit/Cut", "Remove item to Windows Clipboard", true},
        {"Edit/Copy", "Copy item to Windows Clipboard", true},
        {"Edit/Paste", "Paste contents of Windows Clipboard", true},
        {"Browse/Albums", "Browse Information by Album", false},
        {"Browse/Songs", "Browse Tunarium Database", false},
        {"Browse/Wizards/Add Album", "Add an Album", false},
        {"Browse/Wizards/Quick Compilation", "", false},
        {"Browse/Wizards/Quick Single Artist Album", "", false},
        {"Browse/Wizards/Add Label", "", false},
        {"Browse/Labels", "", false},
        {"Browse/Play Lists", "", false},
        {"Browse/Generate Play List", "Draw a new play list at random from the collection", false},
        {"Browse/Categories", "", false},
        {"Browse/Media Formats", "Browse Media Formats", false},
        {"Browse/Collection Statistics...", "Charts of the songs and albums in the collection", false},
        {"Browse/Find Duplicates...", "Find the songs and albums the collection holds twice", false},
        {"Reports/Songs/By Artist", "Print ordered by Songs By Artist", false},
        {"Reports/Songs/By Title", "Print ordered by Songs By Title", false},
        {"Reports/Songs/By Album", "Print ordered by Songs By Album", false},
        {"Reports/Songs/By Media", "Print ordered by Songs By Media", false},
        {"Reports/Songs/By Category", "Print ordered by Songs By Category", false},
        {"Reports/Songs/By BPM", "Songs by Beats Per Minute", false},
        {"Reports/Albums/By Artist", "Print List of Albums by Artist", false},
        {"Reports/Albums/By Album", "Print List of Albums", false},
        {"Reports/Albums/By File Number", "Print List of Albums by File Number", false},
        {"Reports/Albums/By Category", "", false},
        {"Reports/CD Binder Pages", "Print 4 per page CD listings", false},
        {"Reports/Paper Savers/By Artist", "", false},
        {"Reports/Paper Savers/By Title", "", false},
        {"Reports/Labels", "Design and Print CD and Cassette Labels", false},
        {"Reports/Playlists", "", false},
        {"Reports/DJ Log", "Log ordered by Artist and Title", false},
        {"Window/Tile", "Make all open windows visible", true},
        {"Window/Cascade", "Stack all open windows", true},
        {"Window/Arrange Icons", "Align all window icons", true},
        {"Help/Contents", "View the contents of the help file", true},
        {"Help/Search for Help On...", "Search for help on a subject", true},
        {"Help/How to Use Help", "How to use Windows Help", true},
        {"Help/Tips", "View Tip of the Day", false},
        {"Help/About", "Help About This Program", true},
    };
    EXPECT_EQ(lines, expected);
    for (FrameCommand c : {FrameCommand::Exit, FrameCommand::HelpAbout}) {
        EXPECT_EQ(frame->action(c)->toolTip(), frame->action(c)->statusTip());
    }
}

TEST_F(MainFrameTest, ToolbarHoldsTheSixButtonsAndTheLogo) {
    auto frame = openFrame();
    QStringList buttons;
    QStringList tips;
    QList<bool> enabled;
    for (QAction* a : frame->toolBar()->actions()) {
        if (!a->text().isEmpty()) {
            buttons << a->text();
            tips << a->toolTip();
            enabled << a->isEnabled();
        }
    }
    // The six command buttons, then the record buttons that serve the active browse or form.
    ASSERT_EQ(buttons.size(), 17);
    EXPECT_EQ(buttons.mid(0, 6), QStringList({"Albums", "Songs", "Labels", "Playlists", "Generate", "Play CD"}));
    EXPECT_EQ(tips.mid(0, 6), QStringList({"Browse Information by Album", "Browse Tunarium Database", "Labels",
                                           "Playlists", "Draw a new play list at random from the collection",
                                           "Start the CD Player"}));
    EXPECT_EQ(enabled.mid(0, 6), QList<bool>({false, false, false, false, false, false}));
    EXPECT_EQ(tips.mid(6, 6),
              QStringList({"Go to the First Page", "Go to the Prior Page", "Go to the Prior Record",
                           "Go to the Next Record", "Go to the Next Page", "Go to the Last Page"}));
    EXPECT_FALSE(enabled.mid(6).contains(true)); // no browse is active
    ASSERT_NE(frame->logoPicture(), nullptr);
    EXPECT_FALSE(frame->logoPicture()->pixmap().isNull()); // the program's own picture
}

TEST_F(MainFrameTest, BrowseCommandsFollowTheInterfaceSetting) {
    QStringList started;
    for (const char* name : {procedure::kBrowseSongs, procedure::kXploreSongs, procedure::kBrowseAlbums,
                             procedure::kXploreAlbums}) {
        procedures.add(name, [&started, name](const ProcedureContext&) { started << name; });
    }
    writeIni(settingsPath(), u"Settings", u"Interface", "Explorer");
    auto frame = openFrame();
    ASSERT_TRUE(frame->action(FrameCommand::BrowseSongs)->isEnabled());
    QAction* songsButton = frame->toolBar()->actions().at(1);
    ASSERT_TRUE(songsButton->isEnabled());
    songsButton->trigger();
    frame->trigger(FrameCommand::BrowseAlbums);

    writeIni(settingsPath(), u"Settings", u"Interface", "Standard");
    settings.reload();
    frame->trigger(FrameCommand::BrowseSongs);
    EXPECT_EQ(started, QStringList({"XploreSongs", "XploreAlbums", "BrowseSongs"}));
}

TEST_F(MainFrameTest, MissingLogoFileLeavesThePictureEmpty) {
    writeIni(settingsPath(), u"Global Settings", u"FrameLogo", dir.path("missing.png"));
    auto frame = openFrame();
    EXPECT_TRUE(frame->logoPicture()->pixmap().isNull());
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(MainFrameTest, MainLogoWinsOverFrameLogo) {
    QPixmap picture(30, 20);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(dir.path("main.png")));
    writeIni(settingsPath(), u"Global Settings", u"FrameLogo", dir.path("missing.png"));
    writeIni(settingsPath(), u"Settings", u"MainLogo", dir.path("main.png"));
    auto frame = openFrame();
    EXPECT_EQ(frame->logoPicture()->pixmap().size(), QSize(30, 20));
}

TEST_F(MainFrameTest, AlbumQuestionYesBuildsTheAlbums) {
    seed(9);
    prompter.answers = {kButtonYes};
    auto frame = openFrame();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Album Database Empty");
    EXPECT_EQ(readIni(settingsPath(), u"Settings", u"AutoAddToAlbums"), "1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return db.store().count(TableId::Album) == qint64(4); }, 5000))
        << db.store().count(TableId::Album);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->workspace()->subWindowList().isEmpty(); }, 5000));
}

TEST_F(MainFrameTest, StartUpWindowsOpenInOrderAfterTheSplash) {
    QStringList started;
    for (const char* name : {procedure::kBrowseSongs, procedure::kBrowseAlbums, procedure::kBrowsePlayLists,
                             procedure::kBrowseLabels, procedure::kTipOfTheDay, procedure::kSetupWizard}) {
        procedures.add(name, [&started, name](const ProcedureContext&) { started << name; });
    }
    for (const char* key : {"SU_Labels", "SU_Songs", "SU_Albums", "SU_Playlists"}) {
        writeIni(settingsPath(), u"Settings", QString::fromLatin1(key), "1");
    }
    auto frame = openFrame();
    frame->showSplash();
    ASSERT_TRUE(frame->splashShown());
    frame->closeSplash();
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.size() == 6; }, 5000)) << started.size();
    EXPECT_EQ(started, QStringList({"SetupWizard", "TipOfTheDay", "BrowseSongs", "BrowseAlbums",
                                    "BrowsePlayLists", "BrowseLabels"}));
}

TEST_F(MainFrameTest, ClipboardCommandsActOnTheFocusedField) {
    auto frame = openFrame();
    frame->show();
    QApplication::setActiveWindow(frame.get());
    auto* source = new QLineEdit("Abbey Road");
    auto* target = new QLineEdit;
    frame->workspace()->addSubWindow(source)->show();
    frame->workspace()->addSubWindow(target)->show();
    source->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return source->hasFocus(); }, 5000));
    source->selectAll();
    frame->trigger(FrameCommand::Cut);
    EXPECT_EQ(QApplication::clipboard()->text(), "Abbey Road");
    EXPECT_TRUE(source->text().isEmpty());
    target->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return target->hasFocus(); }, 5000));
    frame->trigger(FrameCommand::Paste);
    EXPECT_EQ(target->text(), "Abbey Road");
}

TEST_F(MainFrameTest, HelpCommandsOpenTheGuide) {
    auto frame = openFrame();
    frame->trigger(FrameCommand::HelpHowToUse);
    ASSERT_NE(frame->helpWindow(), nullptr);
    EXPECT_TRUE(frame->helpWindow()->isVisible());
    EXPECT_EQ(frame->helpWindow()->currentPage(), "using_help.html");
    frame->trigger(FrameCommand::HelpContents);
    EXPECT_EQ(frame->helpWindow()->currentPage(), "index.html");
}

TEST_F(MainFrameTest, ClosingClosesEveryWindowSavesMainAndClosesTheTables) {
    auto frame = openFrame();
    QSignalSpy closed(frame.get(), &MainFrame::closed);
    frame->trigger(FrameCommand::HelpAbout);
    frame->trigger(FrameCommand::HelpAbout);
    ASSERT_EQ(frame->workspace()->subWindowList().size(), 2);
    frame->setGeometry(70, 60, 800, 500);
    frame->trigger(FrameCommand::Exit);
    EXPECT_EQ(closed.size(), 1);
    EXPECT_FALSE(frame->isVisible());
    for (QMdiSubWindow* w : frame->workspace()->subWindowList()) {
        EXPECT_FALSE(w->isVisible());
    }
    for (TableId t : {TableId::Album, TableId::Media, TableId::Tunarium}) {
        EXPECT_EQ(db.openCount(t), 0);
    }
    // Positions are kept in dialog units.
    const DialogUnits units(frame.get());
    EXPECT_EQ(readIni(positions(), u"Main", u"XPosit"), QString::number(units.toUnitsX(70)));
    EXPECT_EQ(readIni(positions(), u"Main", u"Width"), QString::number(units.toUnitsX(800)));
    EXPECT_EQ(readIni(positions(), u"Main", u"Maximize"), "No");
}

TEST_F(MainFrameTest, OpensWhereItWasSaved) {
    writeIniEntries(
        positions(), u"Main",
        {{"XPosit", "30"}, {"YPosit", "20"}, {"Width", "300"}, {"Height", "200"}, {"Maximize", "No"}});
    auto frame = openFrame();
    EXPECT_EQ(frame->geometry(), DialogUnits(frame.get()).toPixels(QRect(30, 20, 300, 200)));
}

TEST_F(MainFrameTest, APlaceTooLargeForTheScreenOpensInsideIt) {
    // Pixels kept by an earlier version, or a place on a larger screen, read as dialog units.
    writeIniEntries(
        positions(), u"Main",
        {{"XPosit", "600"}, {"YPosit", "400"}, {"Width", "1920"}, {"Height", "1080"}, {"Maximize", "No"}});
    auto frame = openFrame();
    const QRect screen = frame->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(frame->frameGeometry()))
        << frame->frameGeometry().x() << "," << frame->frameGeometry().width();
}

TEST_F(MainFrameTest, AboutClosesWholeOnOkAndOnEnter) {
    auto frame = openFrame();
    auto visibleWindows = [&] {
        int n = 0;
        for (QMdiSubWindow* w : frame->workspace()->subWindowList()) {
            n += w->isVisible() ? 1 : 0;
        }
        return n;
    };
    for (bool enter : {false, true}) {
        frame->trigger(FrameCommand::HelpAbout);
        QMdiSubWindow* about = frame->workspace()->subWindowList().last();
        ASSERT_EQ(visibleWindows(), 1);
        EXPECT_EQ(about->windowTitle(), "About Tunarium Pro 98");
        EXPECT_TRUE(frame->workspace()->viewport()->rect().contains(about->geometry()));
        if (enter) {
            QTest::keyClick(about->widget(), Qt::Key_Return);
        } else {
            for (QPushButton* b : about->widget()->findChildren<QPushButton*>()) {
                if (b->text() == "&OK") {
                    b->click();
                }
            }
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(visibleWindows(), 0) << (enter ? "Enter" : "OK") << " leaves no empty window behind";
    }
}

TEST_F(MainFrameTest, ArrangeIconsLinesUpMinimizedWindowsAtTheBottom) {
    auto frame = openFrame();
    frame->resize(900, 700);
    QMdiArea* area = frame->workspace();
    QList<QMdiSubWindow*> windows;
    for (int i = 0; i < 3; ++i) {
        windows << area->addSubWindow(new QLabel("window"));
        windows.last()->show();
        windows.last()->showMinimized();
    }
    frame->trigger(FrameCommand::ArrangeIcons);
    const int bottom = area->viewport()->height();
    int x = 0;
    for (QMdiSubWindow* w : windows) {
        EXPECT_EQ(w->geometry().bottom() + 1, bottom);
        EXPECT_EQ(w->x(), x);
        x += w->width();
    }
}

} // namespace
