// Binder and flap pages over a small collection: the range of file numbers in text order, the
// headings with their colours, the song lines, nothing printed for an empty range; and the label
// and binder commands of tunarium-cli.
#include "report_test_support.h"

#include "data/database.h"
#include "data/records.h"
#include "reports/binder_pages.h"
#include "reports/label_fill.h"
#include "reports/report_run.h"
#include "support/cli_run.h"
#include "support/temp_collection.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace tunarium;
using namespace tunarium::test;

namespace {

class BinderPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.openTables({TableId::Tunarium, TableId::Album, TableId::Labels}));
    }

    void addAlbum(qint64 id, const QString& fileNumber, const QString& artist = QStringLiteral("Smith, Anna"),
                  int songs = 1) {
        AlbumRecord a;
        a.albumId = id;
        a.artist = artist;
        a.album = QStringLiteral("Album %1").arg(id);
        a.fileNumber = fileNumber;
        ASSERT_TRUE(db.store().insert(a).ok());
        for (int t = 1; t <= songs; ++t) {
            SongRecord s;
            s.id = ++m_songs;
            s.albumId = id;
            s.artist = t == 2 ? QStringLiteral("Jones, Bob") : artist;
            s.title = QStringLiteral("Song %1").arg(t);
            s.trackNumber = t;
            s.time = (3 * 60 + 45) * 100 + 1;
            ASSERT_TRUE(db.store().insert(s).ok());
        }
    }

    // The pages of a run, with the texts painted on them.
    QList<DrawnPage> run(BinderStyle style, const QString& from, const QString& to, int* albums = nullptr) {
        PageQueue queue(defaultReportPaper());
        QueuePageSink sink(queue);
        BinderPagesProcess process(db.store(), style, {from, to}, sink, defaultReportPaper());
        EXPECT_TRUE(runToEnd(process));
        EXPECT_EQ(process.error(), "");
        EXPECT_EQ(process.outputKept(), queue.count() > 0);
        if (albums) {
            *albums = process.albumsPrinted();
        }
        QList<DrawnPage> pages;
        for (int p = 0; p < queue.count(); ++p) {
            pages << drawnPage(queue, p);
        }
        return pages;
    }

    TempCollection dir;
    RecordingPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    qint64 m_songs = 0;
};

TEST_F(BinderPagesTest, TheRangeEndsInTextOrderAndAnEmptyRangePrintsNothing) {
    addAlbum(1, "A10");
    addAlbum(2, "B");
    addAlbum(3, "B2");
    addAlbum(4, "0001");
    int albums = 0;
    const QList<DrawnPage> pages = run(BinderStyle::Binder, "A", "B", &albums);
    EXPECT_EQ(albums, 2);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].find("Album 1 - Anna Smith"));
    EXPECT_TRUE(pages[0].find("Album 2 - Anna Smith"));
    EXPECT_FALSE(pages[0].find("Album 3 - Anna Smith"));

    EXPECT_TRUE(run(BinderStyle::Binder, "C", "Z", &albums).isEmpty());
    EXPECT_EQ(albums, 0);
    EXPECT_TRUE(run(BinderStyle::Flap, "B3", "B9").isEmpty());
}

TEST_F(BinderPagesTest, BinderHeadingsCycleFifteenColoursFourListingsToAPage) {
    for (int i = 1; i <= 16; ++i) {
        addAlbum(i, QStringLiteral("F%1").arg(i, 2, 10, QLatin1Char('0')));
    }
    const QList<DrawnPage> pages = run(BinderStyle::Binder, "F01", "F16");
    ASSERT_EQ(pages.size(), 4);
    const DrawnText* fifteenth = pages[3].find("Album 15 - Anna Smith");
    const DrawnText* sixteenth = pages[3].find("Album 16 - Anna Smith");
    ASSERT_TRUE(fifteenth && sixteenth);
    EXPECT_EQ(fifteenth->colour, binderColour(14));
    EXPECT_EQ(sixteenth->colour, QColor(Qt::black));
    EXPECT_EQ(pages[0].find("Album 2 - Anna Smith")->colour, binderColour(1));
}

TEST_F(BinderPagesTest, SongLinesCarryTurnedArtistsWithLeadersAndFlapsKeepTheStoredArtist) {
    addAlbum(1, "F1", "Smith, Anna", 2);
    addAlbum(2, "F2", "Various", 1);
    const QList<DrawnPage> binder = run(BinderStyle::Binder, "F1", "F2");
    ASSERT_EQ(binder.size(), 1);
    const QStringList texts = binder[0].strings();
    EXPECT_TRUE(texts.contains("Album 2")) << texts.join('|').toStdString(); // "Various": the title alone
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                            [](const QString& t) { return t.startsWith("Bob Jones...."); }));
    EXPECT_TRUE(texts.contains("3:45"));

    const QList<DrawnPage> flap = run(BinderStyle::Flap, "F1", "F1");
    ASSERT_EQ(flap.size(), 1);
    const QStringList flapTexts = flap[0].strings();
    EXPECT_TRUE(flapTexts.contains("Album 1 - Smith, Anna")) << flapTexts.join('|').toStdString();
    // The album's own artist is left out of its songs' lines on a flap; another artist is named.
    EXPECT_FALSE(std::any_of(flapTexts.begin(), flapTexts.end(),
                             [](const QString& t) { return t.startsWith("Anna Smith"); }));
    EXPECT_TRUE(std::any_of(flapTexts.begin(), flapTexts.end(),
                            [](const QString& t) { return t.startsWith("Bob Jones"); }));
}

TEST_F(BinderPagesTest, AListingLongerThanItsQuarterGoesOnUnderItsHeading) {
    addAlbum(1, "F1", "Smith, Anna", 80);
    const QList<DrawnPage> pages = run(BinderStyle::Binder, "F1", "F1");
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].find("Album 1 - Anna Smith (continued)"));
    EXPECT_TRUE(std::any_of(pages[0].texts.begin(), pages[0].texts.end(),
                            [](const DrawnText& t) { return t.text.startsWith("Song 80"); }));
}

TEST_F(BinderPagesTest, TheCommandLinePrintsALabelAndBinderPagesOrSaysNothingToPrint) {
    if (!cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    addAlbum(1, "F1", "Smith, Anna", 3);
    Row label = newLabel(7);
    label.setText(lab::kLabelType, QStringLiteral("CD"));
    label.setText(lab::kCdTitle, QStringLiteral("Blue"));
    ASSERT_TRUE(db.store().insert(label).ok());
    db.closeAll();

    const QString pdf = dir.configDir() + "/out.pdf";
    CliRun r = runCli(dir, {"--dir", dir.dir(), "label", "7", "--pdf", pdf});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);
    EXPECT_TRUE(pdfText(pdf).isEmpty() || pdfText(pdf).contains("Blue"));
    EXPECT_EQ(runCli(dir, {"--dir", dir.dir(), "label", "8", "--pdf", pdf}).exitCode, 1);
    EXPECT_EQ(runCli(dir, {"--dir", dir.dir(), "label", "--pdf", pdf}).exitCode, 2);

    const QString binder = dir.configDir() + "/binder.pdf";
    r = runCli(dir, {"--dir", dir.dir(), "binder", "--from", "F1", "--to", "F9", "--flap", "--pdf", binder,
                     "--quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("1 album, 1 page"));
    const QString none = dir.configDir() + "/none.pdf";
    r = runCli(dir, {"--dir", dir.dir(), "binder", "--from", "X", "--to", "Y", "--pdf", none, "--quiet"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Nothing to Print."));
    EXPECT_FALSE(QFileInfo::exists(none));
    EXPECT_EQ(runCli(dir, {"--dir", dir.dir(), "binder", "--from", "X", "--pdf", none}).exitCode, 2);
}

} // namespace
