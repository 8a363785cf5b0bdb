// A page queue on a printer: copies the printer cannot make, a page range, the printer's settings
// kept, and the print dialog. The printer writes a PDF file, read back page by page.
#include "report_test_support.h"

#include "reports/ui/report_printing.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
            GTEST_SKIP() << "pdftotext is not installed";
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path());
    }

    QString path() const { return dir.filePath("printed.pdf"); }
    // The page numbers on the printed pages, in order.
    QList<int> printedPages() const {
        QList<int> pages;
        const QRegularExpression number("Page (\\d+)");
        for (const QString& page : test::pdfText(path()).split(u'\f')) {
            const QRegularExpressionMatch m = number.match(page);
            if (m.hasMatch()) {
                pages << m.captured(1).toInt();
            }
        }
        return pages;
    }

    QTemporaryDir dir;
    std::shared_ptr<PageQueue> queue = test::numberedPages(3);
    QPrinter printer{QPrinter::HighResolution};
};

TEST_F(PrintingTest, CopiesThePrinterCannotMakeAreSentAgainCollatedOrNot) {
    for (const bool collate : {true, false}) {
        printer.setCopyCount(2);
        printer.setCollateCopies(collate);
        const QPageLayout before = printer.pageLayout();
        QString error;
        ASSERT_TRUE(printPageQueue(*queue, printer, &error)) << error.toStdString();
        if (printer.supportsMultipleCopies()) {
            EXPECT_EQ(printedPages(), QList<int>({1, 2, 3}));
        } else if (collate) {
            EXPECT_EQ(printedPages(), QList<int>({1, 2, 3, 1, 2, 3}));
        } else {
            EXPECT_EQ(printedPages(), QList<int>({1, 1, 2, 2, 3, 3}));
        }
        EXPECT_EQ(printer.copyCount(), 2);
        EXPECT_TRUE(printer.pageLayout().isEquivalentTo(before));
        EXPECT_EQ(printer.pageLayout().mode(), before.mode());
    }
}

TEST_F(PrintingTest, APageRangePrintsOnlyItsPages) {
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    ASSERT_TRUE(printPageQueue(*queue, printer, nullptr));
    EXPECT_EQ(printedPages(), QList<int>({2, 3}));
}

TEST_F(PrintingTest, ThePrintDialogPrintsOnlyWhenConfirmed) {
    for (const bool confirm : {false, true}) {
        int answers = 0;
        bool printed = false;
        printWithDialog(nullptr, queue, printer, [&](bool p, const QString&) {
            ++answers;
            printed = p;
        });
        QPrintDialog* dialog = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* d = qobject_cast<QPrintDialog*>(w); d && d->isVisible()) {
                    dialog = d;
                }
            }
            return dialog != nullptr;
        }));
        EXPECT_EQ(dialog->maxPage(), 3);
        confirm ? dialog->accept() : dialog->reject();
        EXPECT_EQ(answers, 1);
        EXPECT_EQ(printed, confirm);
        EXPECT_EQ(QFile::exists(path()), confirm);
        QApplication::processEvents();
    }
}

} // namespace
