// Pages out of the engine and the queue into PDF files: searchable text with embedded fonts, the
// pages in order with their copies, and nothing left under the chosen name when writing fails.
#include "report_test_support.h"

#include "reports/page_sink.h"
#include "reports/report_output.h"
#include "reports/report_process.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tunarium;
using namespace tunarium::test;

namespace {

QPageLayout landscapeLetter() {
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(36, 36, 36, 36),
                       QPageLayout::Point);
}

ReportDefinition smallReport() {
    ReportDefinition def;
    def.title = QStringLiteral("Songs by Title");
    def.columns = {{QStringLiteral("Title"), QStringLiteral("title"), QStringLiteral("@s50"), 30},
                   {QStringLiteral("Artist"), QStringLiteral("artist"), QStringLiteral("@s50"), 30},
                   {QStringLiteral("Track"), QStringLiteral("track"), QStringLiteral("@n3b"), 5,
                    ColumnAlignment::Right}};
    return def;
}

QList<QVariantList> rows(int count) {
    QList<QVariantList> list;
    for (int i = 1; i <= count; ++i) {
        list << QVariantList{QStringLiteral("Song number %1").arg(i), QStringLiteral("Singer %1").arg(i), i};
    }
    return list;
}

bool pdfToolsThere() {
    return !QStandardPaths::findExecutable("pdftotext").isEmpty() &&
           !QStandardPaths::findExecutable("pdffonts").isEmpty();
}

class ReportOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pdfToolsThere()) {
            GTEST_SKIP() << "pdftotext is not installed";
        }
    }

    // A report of `count` songs run into the queue.
    void fill(int count) {
        RowSource source({"title", "artist", "track"}, rows(count));
        QueuePageSink sink(queue);
        ReportProcess process("Generating Report", smallReport(), source, sink, landscapeLetter());
        runToEnd(process);
        ASSERT_FALSE(process.failed());
    }

    QStringList pageTexts(const QString& path) {
        QStringList pages = pdfText(path).split(u'\f');
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) {
            pages.removeLast();
        }
        return pages;
    }

    QTemporaryDir dir;
    PageQueue queue{landscapeLetter()};
};

TEST_F(ReportOutputTest, QueueBecomesASearchablePdfWithItsFontsEmbedded) {
    fill(100);
    ASSERT_GE(queue.count(), 2);
    const QString path = dir.filePath("songs.pdf");
    QString error;
    ASSERT_TRUE(writeQueueAsPdf(queue, path, "Songs by Title", &error)) << error.toStdString();

    const QStringList pages = pageTexts(path);
    ASSERT_EQ(pages.size(), queue.count());
    EXPECT_TRUE(pages[0].contains("Songs by Title"));
    EXPECT_TRUE(pages[0].contains("Song number 1 "));
    EXPECT_TRUE(pages[0].contains("Singer 1 "));
    EXPECT_TRUE(pages.last().contains("Song number 100"));
    for (int p = 0; p < pages.size(); ++p) {
        EXPECT_TRUE(pages[p].contains(QRegularExpression(QStringLiteral("Page +%1\\b").arg(p + 1)))) << p;
    }
    const QStringList fonts = pdfFonts(path);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts) {
        // name, type, encoding, then "emb sub uni": every font embedded.
        EXPECT_TRUE(font.contains(QRegularExpression("\\s+yes\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+\\s*$")))
            << font.toStdString();
    }
    // Only the file itself is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"songs.pdf"}));
}

TEST_F(ReportOutputTest, CopiesArePrintedWholeOrPageByPage) {
    fill(100);
    const int n = queue.count();
    ASSERT_EQ(n, 3);
    struct Case {
        bool collate;
        QList<int> order;
    };
    for (const Case& c : {Case{true, {1, 2, 3, 1, 2, 3}}, Case{false, {1, 1, 2, 2, 3, 3}}}) {
        const QString path = dir.filePath(c.collate ? "collated.pdf" : "uncollated.pdf");
        PdfFile file(path, queue.pageLayout(), "copies");
        ASSERT_TRUE(file.isOpen());
        QString error;
        ASSERT_TRUE(paintQueue(queue, file.device(), PrintRun{1, 0, 2, c.collate}, &error));
        ASSERT_TRUE(file.commit());
        QList<int> order;
        for (const QString& page : pageTexts(path)) {
            const QRegularExpressionMatch m = QRegularExpression("Page +(\\d+)").match(page);
            order << (m.hasMatch() ? m.captured(1).toInt() : 0);
        }
        EXPECT_EQ(order, c.order) << c.collate;
    }
    // A range prints only its pages.
    const QString path = dir.filePath("range.pdf");
    PdfFile file(path, queue.pageLayout(), "range");
    ASSERT_TRUE(paintQueue(queue, file.device(), PrintRun{2, 2, 1, true}, nullptr));
    ASSERT_TRUE(file.commit());
    const QStringList pages = pageTexts(path);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QRegularExpression("Page +2\\b")));
}

TEST_F(ReportOutputTest, APdfThatCannotBeWrittenSaysWhyAndLeavesNothing) {
    fill(3);
    QFile blocker(dir.filePath("plain-file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir("a-folder"));
    struct Case {
        QString path;
        QString says;
    };
    const QList<Case> cases{
        {dir.filePath("missing/out.pdf"), "does not exist"},
        {dir.filePath("plain-file/out.pdf"), "does not exist"},
        {dir.filePath("a-folder"), "folder"},
        {"/proc/out.pdf", "cannot be written"},
        {"", "No name"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(writeQueueAsPdf(queue, c.path, "x", &error)) << c.path.toStdString();
        EXPECT_TRUE(error.contains(c.says)) << error.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({"a-folder", "plain-file"}));
}

TEST_F(ReportOutputTest, AReportWrittenStraightToPdfAppearsOnlyWhenComplete) {
    const QString path = dir.filePath("report.pdf");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the last report");
    old.close();

    for (const bool cancel : {true, false}) {
        RowSource source({"title", "artist", "track"}, rows(200));
        PdfFileSink sink(path, landscapeLetter(), "Songs by Title");
        ReportProcess process("Printing Report", smallReport(), source, sink, landscapeLetter());
        ASSERT_TRUE(process.start());
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(process.step());
        }
        QFile during(path);
        ASSERT_TRUE(during.open(QIODevice::ReadOnly));
        EXPECT_EQ(during.readAll(), "the last report");
        if (cancel) {
            process.cancel();
            EXPECT_FALSE(process.outputKept());
            QFile after(path);
            ASSERT_TRUE(after.open(QIODevice::ReadOnly));
            EXPECT_EQ(after.readAll(), "the last report");
        } else {
            runToEnd(process);
            EXPECT_TRUE(process.outputKept());
            EXPECT_TRUE(pdfText(path).contains("Song number 200"));
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"report.pdf"}));
    }
}

TEST_F(ReportOutputTest, AReportThatPrintsNothingWritesNoFile) {
    const QString path = dir.filePath("empty.pdf");
    RowSource source({"title", "artist", "track"}, rows(30), [](const QVariantList&) { return false; });
    PdfFileSink sink(path, landscapeLetter(), "Songs by Title");
    ReportProcess process("Printing Report", smallReport(), source, sink, landscapeLetter());
    runToEnd(process);
    EXPECT_TRUE(process.completed());
    EXPECT_FALSE(process.failed());
    EXPECT_EQ(process.detailsPrinted(), 0);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

} // namespace
