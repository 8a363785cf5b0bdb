// "Report Preview" driven with the mouse and the keyboard: the one-page case, paging a 2 x 2 grid,
// zooming into a thumbnail and back, the zoom popup, the jump window, Print and Exit, and
// "Save as PDF...".
#include "report_test_support.h"
#include "reports/report_output.h"
#include "support/save_file_prompter.h"

#include "reports/ui/preview_canvas.h"
#include "reports/ui/preview_dialogs.h"
#include "reports/ui/report_preview_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class PreviewWindowTest : public ::testing::Test {
protected:
    void open(int pages) {
        queue = test::numberedPages(pages);
        window = new ReportPreviewWindow(queue, QStringLiteral("Songs by Artist"), prompter);
        spy = std::make_unique<QSignalSpy>(window.data(), &ReportPreviewWindow::finished);
        window->resize(800, 700);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void TearDown() override { delete window.data(); }

    QString status() const {
        QStringList texts;
        for (QLabel* label : window->statusBar()->findChildren<QLabel*>()) {
            texts << label->text();
        }
        return texts.join(" / ");
    }
    QSpinBox* spin(int index) const { return window->findChildren<QSpinBox*>().at(index); }
    QAction* action(const QString& text) const {
        for (QAction* a : window->findChildren<QAction*>()) {
            if (a->text() == text) {
                return a;
            }
        }
        return nullptr;
    }
    QMenu* menu(const QString& title) const {
        for (QAction* a : window->menuBar()->actions()) {
            if (a->text() == title) {
                return a->menu();
            }
        }
        return nullptr;
    }
    PreviewThumbnails* thumbnails() const { return window->findChild<PreviewThumbnails*>(); }
    void key(int key) {
        window->activateWindow();
        QTest::keyClick(window, static_cast<Qt::Key>(key));
    }

    std::shared_ptr<PageQueue> queue;
    test::SaveFilePrompter prompter;
    QPointer<ReportPreviewWindow> window;
    std::unique_ptr<QSignalSpy> spy;
};

TEST_F(PreviewWindowTest, OnePageFillsTheWindowWithPagingDisabled) {
    open(1);
    EXPECT_EQ(window->windowTitle(), "Report Preview");
    EXPECT_EQ(status(), "Page 1 of 1 / No Zoom");
    EXPECT_FALSE(menu("&View")->isEnabled());
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(spin(i)->isEnabled()) << i;
    }
    const QList<PreviewState::Cell> cells = window->state().thumbnails(thumbnails()->size());
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells[0].rect.height(), thumbnails()->height() - 2 * PreviewState::kCellGap);
}

TEST_F(PreviewWindowTest, TwoByTwoPagesThroughFivePagesWithTheKeyboard) {
    open(5);
    EXPECT_TRUE(menu("&View")->isEnabled());
    EXPECT_EQ(spin(0)->toolTip(), "Enter a page number from 1 to 5");
    EXPECT_EQ(spin(1)->toolTip(), "Select the number of thumbnails in a row");
    spin(1)->setValue(2);
    spin(2)->setValue(2);
    EXPECT_EQ(status(), "Pages 1-4 of 5 / No Zoom");
    EXPECT_FALSE(action("&Previous Page(s)")->isEnabled());
    key(Qt::Key_PageDown);
    EXPECT_EQ(status(), "Page 5 of 5 / No Zoom");
    EXPECT_FALSE(action("&Next Page(s)")->isEnabled());
    EXPECT_EQ(spin(0)->value(), 5);
    key(Qt::Key_PageUp);
    EXPECT_EQ(status(), "Pages 1-4 of 5 / No Zoom");
    // A page typed into the page box shows that page first.
    spin(0)->setValue(3);
    EXPECT_EQ(status(), "Pages 3-5 of 5 / No Zoom");
}

TEST_F(PreviewWindowTest, ThumbnailsAreDrawnFromTheirPages) {
    open(4);
    spin(1)->setValue(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->pendingThumbnails() == 0; }, 5000));
    const QImage shot = thumbnails()->grab().toImage();
    for (const PreviewState::Cell& cell : window->state().thumbnails(thumbnails()->size())) {
        // The black band across the top of each page shows in its thumbnail.
        const QPoint band(cell.rect.left() + cell.rect.width() / 2,
                          cell.rect.top() + cell.rect.height() * 7 / 100);
        EXPECT_LT(qGray(shot.pixel(band)), 80) << cell.page;
        EXPECT_GT(qGray(shot.pixel(cell.rect.center().x(), cell.rect.bottom() - 5)), 200) << cell.page;
    }
}

TEST_F(PreviewWindowTest, ClickingTheThirdThumbnailZoomsToPageWidthAndAClickReturns) {
    open(5);
    spin(1)->setValue(2);
    spin(2)->setValue(2);
    const QList<PreviewState::Cell> cells = window->state().thumbnails(thumbnails()->size());
    ASSERT_EQ(cells.size(), 4);
    QTest::mouseClick(thumbnails(), Qt::LeftButton, {}, cells[2].rect.center());
    EXPECT_EQ(status(), "Page 3 of 5 / Zoom (Page Width)");
    auto* zoomed = window->findChild<ZoomedPage*>();
    ASSERT_TRUE(zoomed->isVisible());
    auto* scroll = window->findChild<QScrollArea*>();
    EXPECT_EQ(zoomed->width(), scroll->viewport()->width());
    EXPECT_TRUE(action("Page &Width")->isChecked());
    // The page is drawn whole, from the band across its top.
    const QImage shot = zoomed->grab().toImage();
    EXPECT_LT(qGray(shot.pixel(shot.width() / 2, shot.height() * 7 / 100)), 80);
    EXPECT_GT(qGray(shot.pixel(shot.width() / 2, shot.height() * 2 / 100)), 200);
    // Its text is dark too, though the view around the page is dark and its own text light.
    int dark = 0;
    for (int y = shot.height() * 1650 / 7920; y < shot.height() * 2000 / 7920; ++y) {
        for (int x = shot.width() * 720 / 6120; x < shot.width() * 3000 / 6120; ++x) {
            dark += qGray(shot.pixel(x, y)) < 80 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 100);
    QTest::mouseClick(zoomed, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(status(), "Pages 3-5 of 5 / No Zoom");
    EXPECT_TRUE(thumbnails()->isVisible());
}

TEST_F(PreviewWindowTest, TheZoomPopupTicksTheCurrentZoomAndSetsTheChosenOne) {
    open(3);
    action("&75 Percent")->trigger();
    EXPECT_EQ(status(), "Page 1 of 3 / Zoom (75%)");
    EXPECT_EQ(window->findChild<ZoomedPage*>()->size(), window->state().zoomedSize(0));
    QToolButton* zoom = nullptr;
    for (QToolButton* b : window->findChildren<QToolButton*>()) {
        if (b->text() == "Zoom") {
            zoom = b;
        }
    }
    ASSERT_TRUE(zoom);
    QTest::mouseClick(zoom, Qt::LeftButton);
    QMenu* popup = window->findChild<QMenu*>("zoomPopup");
    ASSERT_TRUE(popup);
    QStringList entries;
    for (QAction* a : popup->actions()) {
        entries << (a->isSeparator() ? QStringLiteral("-") : (a->isChecked() ? "+" : "-") + a->text());
    }
    EXPECT_EQ(entries.join('|'), "-No Zoom|-|-Page Width|-50%|+75%|-100%|-200%|-300%");
    popup->actions().at(6)->trigger();
    EXPECT_EQ(status(), "Page 1 of 3 / Zoom (200%)");
    popup->close();
    // Changing the grid returns to the thumbnails.
    spin(2)->setValue(2);
    EXPECT_EQ(status(), "Pages 1-2 of 3 / No Zoom");
}

TEST_F(PreviewWindowTest, JumpAndChangeDisplayAnswerThroughTheirWindows) {
    open(9);
    action("&Jump to a page")->trigger();
    auto* jump = window->findChild<JumpToPageDialog*>();
    ASSERT_TRUE(jump);
    EXPECT_EQ(jump->windowTitle(), "Jump to a Report Page");
    jump->findChild<QSpinBox*>()->setValue(7);
    jump->accept();
    EXPECT_EQ(status(), "Page 7 of 9 / No Zoom");
    action("&Jump to a page")->trigger();
    jump = window->findChildren<JumpToPageDialog*>().last();
    jump->findChild<QSpinBox*>()->setValue(2);
    jump->reject();
    EXPECT_EQ(status(), "Page 7 of 9 / No Zoom");

    action("&Change Display")->trigger();
    auto* display = window->findChild<ReportDisplayDialog*>();
    ASSERT_TRUE(display);
    EXPECT_EQ(display->windowTitle(), "Change the Report Display");
    const QList<QSpinBox*> boxes = display->findChildren<QSpinBox*>();
    boxes.at(0)->setValue(3);
    boxes.at(1)->setValue(1);
    display->accept();
    EXPECT_EQ(status(), "Pages 7-9 of 9 / No Zoom");
    EXPECT_EQ(spin(1)->value(), 3);
}

TEST_F(PreviewWindowTest, PrintAnswersCompletedAndExitCancelled) {
    open(2);
    action("&Print")->trigger();
    ASSERT_EQ(spy->count(), 1);
    EXPECT_EQ(spy->at(0).at(0).value<Response>(), Response::Completed);
    QApplication::processEvents();

    open(2);
    key(Qt::Key_Escape);
    ASSERT_EQ(spy->count(), 1);
    EXPECT_EQ(spy->at(0).at(0).value<Response>(), Response::Cancelled);
}

TEST_F(PreviewWindowTest, SaveAsPdfWritesTheQueueBehindAProgressWindowOrSaysWhyNot) {
    open(12);
    QTemporaryDir dir;
    prompter.answer = dir.filePath("songs");
    QAction* save = action("Save as &PDF...");
    save->trigger();
    EXPECT_EQ(prompter.asked.value(0), "Save as PDF");
    EXPECT_TRUE(prompter.asked.value(1).endsWith("Songs by Artist.pdf"));
    EXPECT_FALSE(save->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return save->isEnabled(); }, 20000));
    EXPECT_TRUE(QFile::exists(dir.filePath("songs.pdf")));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"songs.pdf"}));
    if (!QStandardPaths::findExecutable("pdftotext").isEmpty()) {
        EXPECT_EQ(test::pdfText(dir.filePath("songs.pdf")).count(u'\f'), 12);
    }

    prompter.answer = dir.filePath("no-such-folder/songs.pdf");
    save->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.messages.isEmpty(); }, 20000));
    EXPECT_EQ(prompter.messages[0].caption, "Save as PDF");
    EXPECT_TRUE(prompter.messages[0].text.contains("does not exist"));
    EXPECT_FALSE(QFile::exists(dir.filePath("no-such-folder")));
    EXPECT_TRUE(save->isEnabled());
    // The window stays open after saving.
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(spy->count(), 0);
}

TEST(PdfWriteProcess, CancellingLeavesNoFile) {
    QTemporaryDir dir;
    const auto queue = test::numberedPages(30);
    PdfWriteProcess process(*queue, dir.filePath("out.pdf"), "x");
    ASSERT_TRUE(process.start());
    ASSERT_TRUE(process.step());
    EXPECT_EQ(process.percentText(), "16% Completed");
    process.cancel();
    EXPECT_FALSE(process.written());
    EXPECT_TRUE(process.error().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

} // namespace
