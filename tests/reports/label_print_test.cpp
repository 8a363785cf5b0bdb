// Printed labels measured as a printer prints them: the PDF rendered by pdftoppm at 10 pixels a
// millimetre, the cut marks found in the picture and their distances compared with a jewel case's
// insert and a cassette's J-card, on A4 and on Letter. Long texts stay inside their boxes; a
// picture that is missing or no picture is named and left out.
#include "data/database.h"
#include "data/records.h"
#include "reports/label_fill.h"
#include "reports/label_layout.h"
#include "support/temp_collection.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

constexpr double kPixelsPerMm = 10.0; // 254 dots per inch

QPageLayout paper(QPageSize::PageSizeId size) {
    return QPageLayout(QPageSize(size), QPageLayout::Portrait, QMarginsF(12.7, 12.7, 12.7, 12.7),
                       QPageLayout::Millimeter);
}

Row sampleLabel(const QString& type, const QString& text = QStringLiteral("Blue")) {
    Row label = newLabel(1);
    label.setText(lab::kLabelType, type);
    for (int field :
         {lab::kCdSpine, lab::kCdTitle, lab::kCdCoverText, lab::kCdInsideText, lab::kCassetteTitle,
          lab::kCassetteFlap, lab::kCassetteContentsA, lab::kCassetteContentsB}) {
        label.setText(field, text);
    }
    return label;
}

// Centres (mm from the picture's edge) of the runs of dark pixels along a row or a column.
QList<double> darkRuns(const QImage& image, bool row, double atMm) {
    QList<double> runs;
    const int fixed = qRound(atMm * kPixelsPerMm);
    const int length = row ? image.width() : image.height();
    int start = -1;
    for (int i = 0; i <= length; ++i) {
        const bool dark = i < length && qGray(row ? image.pixel(i, fixed) : image.pixel(fixed, i)) < 128;
        if (dark && start < 0) {
            start = i;
        } else if (!dark && start >= 0) {
            runs << (start + i - 1) / 2.0 / kPixelsPerMm;
            start = -1;
        }
    }
    return runs;
}

class LabelPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
            GTEST_SKIP() << "pdftoppm is not installed";
        }
        ASSERT_TRUE(db.openTables({TableId::Labels, TableId::Fonts}));
    }

    // The label printed into a PDF on `layout` and rendered back.
    QImage printed(const Row& label, bool alternate, const QPageLayout& layout) {
        const QString pdf = dir.configDir() + "/label.pdf";
        PdfFileSink sink(pdf, layout, QStringLiteral("label"));
        QString error;
        EXPECT_TRUE(printLabel(prepareLabel(db.store(), label, alternate), sink, layout, &error))
            << error.toStdString();
        EXPECT_TRUE(sink.finish(true));
        const QString base = dir.configDir() + "/page";
        QProcess::execute(QStringLiteral("pdftoppm"), {"-r", "254", "-gray", "-singlefile", pdf, base});
        return QImage(base + ".pgm");
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
};

TEST_F(LabelPrintTest, ACompactDiscInsertPrintsAtTheSizeOfAJewelCaseOnA4AndLetter) {
    for (const auto size : {QPageSize::A4, QPageSize::Letter}) {
        const QPageLayout layout = paper(size);
        const QImage image = printed(sampleLabel(QStringLiteral("CD")), false, layout);
        ASSERT_FALSE(image.isNull());
        const QSizeF paperMm = layout.fullRect(QPageLayout::Millimeter).size();
        EXPECT_NEAR(image.width() / kPixelsPerMm, paperMm.width(), 0.2);
        const LabelGeometry g = labelGeometry(LabelLayoutKind::CompactDisc, paperRect(layout).size());
        const QRectF front(g.front.topLeft() / kUnitsPerMm, g.front.size() / kUnitsPerMm);
        const QRectF tray(g.cards[1].topLeft() / kUnitsPerMm, g.cards[1].size() / kUnitsPerMm);

        // Across, through the vertical marks above each card; down, through the marks at its left.
        const QList<double> frontAcross = darkRuns(image, true, front.top() - 4);
        ASSERT_EQ(frontAcross.size(), 2) << size;
        EXPECT_NEAR(frontAcross[1] - frontAcross[0], 120.0, 0.3);
        const QList<double> frontDown = darkRuns(image, false, front.left() - 4);
        ASSERT_EQ(frontDown.size(), 2);
        EXPECT_NEAR(frontDown[1] - frontDown[0], 120.0, 0.3);

        // The tray: its two edges and the two spine folds between them.
        const QList<double> trayAcross = darkRuns(image, true, tray.top() - 4);
        ASSERT_EQ(trayAcross.size(), 4);
        EXPECT_NEAR(trayAcross[3] - trayAcross[0], 151.0, 0.3);
        EXPECT_NEAR(trayAcross[1] - trayAcross[0], 6.5, 0.3);
        EXPECT_NEAR(trayAcross[3] - trayAcross[2], 6.5, 0.3);
        const QList<double> trayDown = darkRuns(image, false, tray.left() - 4);
        ASSERT_EQ(trayDown.size(), 2);
        EXPECT_NEAR(trayDown[1] - trayDown[0], 118.0, 0.3);
        // Every mark lies on the paper.
        EXPECT_GT(frontDown[0] - 6.5, 0);
        EXPECT_LT(trayDown[1] + 6.5, paperMm.height());
    }
}

TEST_F(LabelPrintTest, ACassetteJCardPrintsAtItsSizeWithItsFoldsAndTheAlternateInsideCard) {
    for (const auto size : {QPageSize::A4, QPageSize::Letter}) {
        const QPageLayout layout = paper(size);
        const QImage image = printed(sampleLabel(QStringLiteral("Cassette")), true, layout);
        ASSERT_FALSE(image.isNull());
        const LabelGeometry g = labelGeometry(LabelLayoutKind::AlternateCassette, paperRect(layout).size());
        const QRectF card(g.cards[0].topLeft() / kUnitsPerMm, g.cards[0].size() / kUnitsPerMm);
        const QList<double> across = darkRuns(image, true, card.top() - 4);
        ASSERT_EQ(across.size(), 2) << size;
        EXPECT_NEAR(across[1] - across[0], 101.6, 0.3);
        // Down the left: the card's top, the two folds, its bottom, then the inside card.
        const QList<double> down = darkRuns(image, false, card.left() - 4);
        ASSERT_EQ(down.size(), 6);
        EXPECT_NEAR(down[1] - down[0], 63.5, 0.3);
        EXPECT_NEAR(down[2] - down[1], 12.7, 0.3);
        EXPECT_NEAR(down[3] - down[2], 15.9, 0.3);
        EXPECT_NEAR(down[5] - down[4], 63.5, 0.3);
    }
}

TEST_F(LabelPrintTest, TextsOfThreeThousandCharactersStayInsideTheirBoxes) {
    const QString longText = QString(3000, u'W');
    QString words;
    while (words.size() < 3000) {
        words += QStringLiteral("Wonderful ");
    }
    for (const QString& text : {longText, words.left(3000)}) {
        const Row label = sampleLabel(QStringLiteral("CD"), text);
        const QPageLayout layout = paper(QPageSize::A4);
        const QSizeF paperUnits = paperRect(layout).size();
        QImage image((paperUnits / kUnitsPerMm * kPixelsPerMm).toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.scale(kPixelsPerMm / kUnitsPerMm, kPixelsPerMm / kUnitsPerMm);
            LabelPrint print = prepareLabel(db.store(), label, false);
            print.label.setRaw(lab::kCdCoverText, text);
            print.label.setRaw(lab::kCdInsideText, text);
            paintLabel(painter, print, paperUnits);
        }
        const LabelGeometry g = labelGeometry(LabelLayoutKind::CompactDisc, paperUnits);
        const QRectF front(g.front.topLeft() / kUnitsPerMm, g.front.size() / kUnitsPerMm);
        const QRectF tray(g.cards[1].topLeft() / kUnitsPerMm, g.cards[1].size() / kUnitsPerMm);
        // The margin between the cards and beside them holds nothing but the cut marks.
        int inked = 0;
        for (double y = front.bottom() + 0.3; y < tray.top() - 0.3; y += 0.1) {
            for (double x = front.left() + 8; x < front.right() - 8; x += 0.1) {
                inked += qGray(image.pixel(qRound(x * kPixelsPerMm), qRound(y * kPixelsPerMm))) < 200;
            }
        }
        for (double y = front.top() + 8; y < front.bottom() - 8; y += 0.1) {
            for (double x : {front.left() - 1, front.right() + 1}) {
                inked += qGray(image.pixel(qRound(x * kPixelsPerMm), qRound(y * kPixelsPerMm))) < 200;
            }
        }
        EXPECT_EQ(inked, 0) << text.left(12).toStdString();
    }
}

TEST_F(LabelPrintTest, AMissingOrFalsePictureIsNamedAndLeftOut) {
    QFile notAPicture(dir.configDir() + "/notes.png");
    ASSERT_TRUE(notAPicture.open(QIODevice::WriteOnly));
    notAPicture.write("these are words, not pixels");
    notAPicture.close();
    QImage tiny(20, 10, QImage::Format_RGB32);
    tiny.fill(Qt::red);
    ASSERT_TRUE(tiny.save(dir.configDir() + "/tiny.png"));

    Row label = sampleLabel(QStringLiteral("CD"));
    label.setText(lab::kImageName, dir.configDir() + "/gone.png");
    EXPECT_TRUE(prepareLabel(db.store(), label, false).pictureProblem.contains("was not found"));
    label.setText(lab::kImageName, notAPicture.fileName());
    const LabelPrint falsePicture = prepareLabel(db.store(), label, false);
    EXPECT_TRUE(falsePicture.pictureProblem.contains("is not a picture"));
    EXPECT_TRUE(falsePicture.picture.isNull());
    EXPECT_FALSE(printed(label, false, paper(QPageSize::A4)).isNull());
    label.setText(lab::kImageName, dir.configDir() + "/tiny.png");
    const LabelPrint good = prepareLabel(db.store(), label, false);
    EXPECT_EQ(good.pictureProblem, "");
    EXPECT_FALSE(good.picture.isNull());
}

} // namespace
