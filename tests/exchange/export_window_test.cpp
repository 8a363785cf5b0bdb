// "Choose Fields for Export..." driven with the mouse and the keyboard, up to the written file.
#include "data/app_paths.h"
#include "data/database.h"
#include "exchange/exchange_files.h"
#include "exchange/ui/export_window.h"
#include "exchange/ui/picture_editor.h"
#include "support/save_file_prompter.h"
#include "support/temp_collection.h"
#include "ui/help_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

using namespace tunarium;

namespace {

using FilePrompter = test::SaveFilePrompter;

class ExportWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.openTable(TableId::Tunarium));
        SongRecord s;
        s.id = 1;
        s.artist = QStringLiteral("Abba");
        s.title = QStringLiteral("Waterloo");
        ASSERT_TRUE(db.store().insert(s).ok());
        db.closeTable(TableId::Tunarium);
        caller.show();
        workspace.show();
        window = new ExportWindow(db, prompter, &workspace, &caller);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->open();
    }
    void TearDown() override { delete window.data(); }

    static void click(MarkedListView* list, int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualItemRect(list->item(row)).center());
    }

    // The marks as the view draws them: "x" for a selected row.
    static QString shown(MarkedListView* list) {
        QString text;
        for (int i = 0; i < list->count(); ++i) {
            text += list->selectionModel()->isSelected(list->model()->index(i, 0)) ? u'x' : u'.';
        }
        return text;
    }

    void emptyExportFields() {
        click(window->exportList(), 0);
        QTest::keyClick(window->exportList(), Qt::Key_End, Qt::ShiftModifier);
        QTest::mouseClick(window->removeButton(), Qt::LeftButton);
        ASSERT_EQ(window->exportList()->count(), 0);
    }

    static void screenshot(QWidget* w, const QString& name) {
        if (!qEnvironmentVariableIsEmpty("TUNARIUM_SCREENSHOTS")) {
            w->activateWindow();
            (void)QTest::qWaitForWindowActive(w, 1000);
            QCoreApplication::processEvents();
            w->grab().save(qEnvironmentVariable("TUNARIUM_SCREENSHOTS") + "/" + name);
        }
    }

    test::TempCollection dir;
    FilePrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    QWidget caller;
    QMdiArea workspace;
    QPointer<ExportWindow> window;
};

TEST_F(ExportWindowTest, ClicksAndKeysMarkRowsAndMoveTheCurrentRow) {
    EXPECT_EQ(window->windowTitle(), "Choose Fields for Export...");
    EXPECT_EQ(window->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(window->headerCheck()->isChecked());
    EXPECT_EQ(window->exportList()->count(), 30);
    MarkedListView* list = window->exportList();
    const MarkedList& rows = window->choice().chosen;

    struct Step {
        std::function<void()> input;
        const char* marks; // the first eight rows
        int current;
        const char* picture;
    };
    const Step steps[] = {
        {[&] { click(list, 1); }, ".x......", 1, "Alpha-numeric"},
        {[&] { click(list, 3, Qt::ControlModifier); }, ".x.x....", 3, "Alpha-numeric"},
        {[&] { click(list, 5, Qt::ShiftModifier); }, "...xxx..", 5, "Alpha-numeric"},
        {[&] { QTest::keyClick(list, Qt::Key_Up, Qt::ShiftModifier); }, "...xx...", 4, "Alpha-numeric"},
        {[&] { QTest::keyClick(list, Qt::Key_Space); }, "...x....", 4, "Alpha-numeric"},
        {[&] { QTest::keyClick(list, Qt::Key_Down); }, ".....x..", 5, "Alpha-numeric"},
        {[&] { QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier); }, ".....x..", 6, "@d2"},
        {[&] { QTest::keyClick(list, Qt::Key_Space); }, ".....xx.", 6, "@d2"},
        {[&] { QTest::keyClick(list, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier); }, "xxxxxxx.", 0,
         "Alpha-numeric"},
    };
    for (const Step& step : steps) {
        step.input();
        SCOPED_TRACE(step.marks);
        EXPECT_EQ(shown(list).left(8), step.marks);
        EXPECT_EQ(list->currentIndex().row(), step.current);
        EXPECT_EQ(rows.current(), step.current);
        EXPECT_EQ(window->pictureDisplay()->text(), step.picture);
    }
    // The other list keeps its own marks.
    EXPECT_EQ(window->choice().all.markedCount(), 0);
    screenshot(window, "export_window.png");
}

TEST_F(ExportWindowTest, OkAndPictureWithoutExportFieldsSendTheUserToAllFields) {
    emptyExportFields();
    EXPECT_EQ(window->pictureDisplay()->text(), "");

    window->okButton()->setFocus();
    QTest::mouseClick(window->pictureButton(), Qt::LeftButton);
    EXPECT_EQ(window->focusWidget(), window->allList());
    EXPECT_EQ(window->pictureEditor(), nullptr);

    window->okButton()->setFocus();
    QTest::mouseClick(window->okButton(), Qt::LeftButton);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "No Fields Selected for Export!");
    EXPECT_EQ(prompter.messages[0].text, "You must select one or more fields to export.");
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Information);
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->focusWidget(), window->allList());
}

TEST_F(ExportWindowTest, WritesTheChosenFieldsInOrderThroughTheirPictures) {
    emptyExportFields();
    click(window->allList(), 1); // Title first, then Artist
    QTest::mouseClick(window->addButton(), Qt::LeftButton);
    click(window->allList(), 0);
    QTest::mouseClick(window->addButton(), Qt::LeftButton);
    QTest::mouseClick(window->addButton(), Qt::LeftButton);
    ASSERT_EQ(window->exportList()->count(), 2);

    click(window->exportList(), 1);
    QTest::mouseClick(window->pictureButton(), Qt::LeftButton);
    ASSERT_NE(window->pictureEditor(), nullptr);
    EXPECT_EQ(window->pictureEditor()->entry()->text(), "@s50");
    window->pictureEditor()->entry()->setText("@n3");
    window->pictureEditor()->accept();
    EXPECT_EQ(window->pictureDisplay()->text(), "Numeric");
    QTest::keyClick(window->headerCheck(), Qt::Key_Space);

    setLastExchangeFile(dir.path("earlier.csv"));
    prompter.answer = dir.path("songs.csv");
    QTest::mouseClick(window->okButton(), Qt::LeftButton);
    EXPECT_EQ(prompter.asked, (QStringList{"Export File", dir.path("earlier.csv"), kExportFileFilter}));
    EXPECT_EQ(lastExchangeFile(), prompter.answer);
    EXPECT_TRUE(!window || !window->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return workspace.subWindowList().isEmpty(); }, 5000));

    QFile file(prompter.answer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().replace("\r\n", "\n"), "\"Waterloo\",Abba\n");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(ExportWindowTest, HelpShowsTheGuideAndACancelledFileDialogClosesTheWindow) {
    QTest::mouseClick(window->helpButton(), Qt::LeftButton);
    ASSERT_NE(window->helpWindow(), nullptr);
    EXPECT_TRUE(window->helpWindow()->isVisible());
    EXPECT_EQ(window->helpWindow()->currentPage(), "import_export.html");

    setLastExchangeFile(dir.path("earlier.csv"));
    prompter.answer.clear();
    QTest::mouseClick(window->okButton(), Qt::LeftButton);
    EXPECT_EQ(prompter.asked.value(0), "Export File");
    EXPECT_TRUE(!window || !window->isVisible());
    EXPECT_EQ(lastExchangeFile(), dir.path("earlier.csv"));
    EXPECT_TRUE(prompter.messages.isEmpty());
    // The window's place is kept for the next time.
    QFile positions(positionFilePath(db.collectionDir()));
    ASSERT_TRUE(positions.open(QIODevice::ReadOnly));
    EXPECT_TRUE(positions.readAll().contains("[ExportFields]"));
}

} // namespace
