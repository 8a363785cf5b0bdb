// The report engine over a record source of its own: what lands on each page, in which order and
// where, read back from the page queue.
#include "report_test_support.h"

#include "data/pictures.h"
#include "reports/page_sink.h"
#include "reports/report_process.h"

#include <QDir>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tunarium;
using namespace tunarium::test;

namespace {

const QDateTime kNoted(QDate(2024, 3, 15), QTime(17, 30));

QPageLayout letter() {
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36),
                       QPageLayout::Point);
}

ReportDefinition songsByArtist() {
    ReportDefinition def;
    def.title = QStringLiteral("Songs by Artist");
    def.columns = {
        {QStringLiteral("Artist"), QStringLiteral("TUN:Artist"), QStringLiteral("@s50"), 30},
        {QStringLiteral("Title"), QStringLiteral("TUN:Title"), QStringLiteral("@s50"), 30},
        {QStringLiteral("BPM"), QStringLiteral("TUN:BeatsPerMinute"), QStringLiteral("@n_3b"), 5,
         ColumnAlignment::Right},
        {QStringLiteral("Time"), QStringLiteral("TUN:Time"), QStringLiteral("@t4b"), 8,
         ColumnAlignment::Right},
    };
    def.selectionField = QStringLiteral("TUN:Artist");
    return def;
}

const QStringList kSongFields{"TUN:Artist", "TUN:Title",    "TUN:BeatsPerMinute",
                              "TUN:Time",   "TUN:Category", "TUN:DoNotPlay"};

QVariantList song(const QString& artist, const QString& title, int bpm = 0, qint64 time = 0,
                  const QString& category = {}, int doNotPlay = 0) {
    return {artist, title, bpm, time, category, doNotPlay};
}

QList<QVariantList> numberedSongs(int count) {
    QList<QVariantList> rows;
    for (int i = 1; i <= count; ++i) {
        rows << song(QStringLiteral("Artist %1").arg(i, 4, 10, QLatin1Char('0')),
                     QStringLiteral("Title %1").arg(i));
    }
    return rows;
}

// A report run to its end into a page queue.
struct ReportRun {
    PageQueue queue{letter()};
    QueuePageSink sink{queue};
    std::unique_ptr<ReportProcess> process;

    ReportRun(ReportDefinition def, ReportRecordSource& source, ReportSelection selection = {},
              std::function<void(ReportDefinition&)> prepare = {}) {
        process = std::make_unique<ReportProcess>(QStringLiteral("Generating Report"), std::move(def), source,
                                                  sink, letter(), selection, kNoted);
        if (prepare) {
            process->setPrepare(prepare);
        }
        runToEnd(*process);
    }

    // The first column's texts of every detail line on every page, in page order.
    QStringList firstColumn() const {
        QStringList shown;
        for (int p = 0; p < queue.count(); ++p) {
            const DrawnPage page = drawnPage(queue, p);
            for (const DrawnText& t : page.texts) {
                if (std::abs(t.at.x() - left()) < 0.5 && t.at.y() > bodyTop() && t.font.bold() == false) {
                    shown << t.text;
                }
            }
        }
        return shown;
    }
    double left() const { return printableRect(letter()).left(); }
    double bodyTop() const { return ReportBands(process->definition(), letter(), kNoted).bodyTop(); }
};

TEST(ReportEngine, PageCarriesTitleDateHeadsLinesAndPageNumber) {
    RowSource source(kSongFields,
                     {song("Abba", "Waterloo", 147, 16501), song("Beatles", "Help!", 95, 13801)});
    ReportRun run(songsByArtist(), source);
    ASSERT_TRUE(run.process->completed());
    EXPECT_FALSE(run.process->failed());
    ASSERT_EQ(run.queue.count(), 1);
    const DrawnPage page = drawnPage(run.queue, 0);

    ASSERT_TRUE(page.find("Songs by Artist"));
    EXPECT_TRUE(page.find("MAR 15,2024 5:30PM")) << page.strings().join('|').toStdString();
    const ReportBands bands(songsByArtist(), letter(), kNoted);
    const DrawnText* artistHead = page.find("Artist");
    ASSERT_TRUE(artistHead);
    QStringList heads;
    for (const DrawnText& t : page.row(artistHead->at.y())) {
        heads << t.text;
    }
    EXPECT_EQ(heads, QStringList({"Artist", "Title", "BPM", "Time"}));
    EXPECT_LT(page.find("Songs by Artist")->at.y(), artistHead->at.y());

    const DrawnText* abba = page.find("Abba");
    const DrawnText* beatles = page.find("Beatles");
    ASSERT_TRUE(abba && beatles);
    EXPECT_LT(abba->at.y(), beatles->at.y());
    QStringList line;
    for (const DrawnText& t : page.row(abba->at.y())) {
        line << t.text;
    }
    EXPECT_EQ(line, QStringList({"Abba", "Waterloo", "147", "0:02:45"}));
    // Numbers and times end at their column's right edge.
    const DrawnText* bpm = page.find("147");
    EXPECT_NEAR(bpm->right(), bands.columnLeft(2) + bands.columnWidth(2), 1.0);

    const DrawnText* footer = page.find("Page 1");
    ASSERT_TRUE(footer);
    EXPECT_GT(footer->at.y(), beatles->at.y());
    EXPECT_EQ(footer->text, formatPicture(1, u"pPage <<<#p"));
    EXPECT_EQ(run.process->detailsPrinted(), 2);
    EXPECT_EQ(run.process->percentText(), "Process Completed");
}

TEST(ReportEngine, PagesPlayBackTheSameWhateverThePainterHadBefore) {
    RowSource source(kSongFields, {song("Abba", "Waterloo", 147, 16501)});
    ReportDefinition def = songsByArtist();
    def.textColour = Qt::darkGreen;
    ReportRun run(songsByArtist(), source);
    ReportRun green(def, source);
    // A view whose text is light (a dark background) must not turn the page's text light.
    for (const DrawnText& t : drawnPage(run.queue, 0, Qt::white).texts) {
        EXPECT_EQ(t.colour, QColor(Qt::black)) << t.text.toStdString();
    }
    for (const DrawnText& t : drawnPage(green.queue, 0, Qt::white).texts) {
        EXPECT_EQ(t.colour, QColor(Qt::darkGreen)) << t.text.toStdString();
    }
}

TEST(ReportEngine, LongReportsBreakIntoNumberedPagesWithEveryLineOnceInOrder) {
    const QList<QVariantList> rows = numberedSongs(250);
    RowSource source(kSongFields, rows);
    ReportRun run(songsByArtist(), source);
    ASSERT_GT(run.queue.count(), 2);

    QStringList expected;
    for (const QVariantList& row : rows) {
        expected << row[0].toString();
    }
    EXPECT_EQ(run.firstColumn(), expected);
    const ReportBands bands(songsByArtist(), letter(), kNoted);
    for (int p = 0; p < run.queue.count(); ++p) {
        const DrawnPage page = drawnPage(run.queue, p);
        EXPECT_TRUE(page.find("Songs by Artist")) << "page " << p + 1;
        EXPECT_TRUE(page.find("Artist")) << "page " << p + 1;
        EXPECT_TRUE(page.find(QStringLiteral("Page %1").arg(p + 1))) << "page " << p + 1;
        for (const DrawnText& t : page.texts) {
            if (t.text.startsWith("Artist 0")) {
                EXPECT_LE(t.at.y(), bands.bodyBottom()) << t.text.toStdString();
            }
        }
    }
    EXPECT_EQ(run.process->pagesBegun(), run.queue.count());
}

TEST(ReportEngine, SelectedPrintsTheRecordsWhoseFieldStartsWithTheSelectionInAnyCase) {
    const QList<QVariantList> rows{song("AB Quartet", "1"), song("Abba", "2"), song("ab", "3"),
                                   song("Bab", "4"),        song(" ab", "5"),  song("Acdc", "6")};
    struct Case {
        bool selected;
        QString text;
        QStringList shown;
    };
    const QList<Case> cases{
        {true, "ab", {"AB Quartet", "Abba", "ab"}},
        {true, "AB  ", {"AB Quartet", "Abba", "ab"}},
        {true, "", {"AB Quartet", "Abba", "ab", "Bab", " ab", "Acdc"}},
        {false, "ab", {"AB Quartet", "Abba", "ab", "Bab", " ab", "Acdc"}},
        {true, "zz", {}},
    };
    for (const Case& c : cases) {
        RowSource source(kSongFields, rows);
        ReportRun run(songsByArtist(), source, ReportSelection{c.selected, c.text});
        QStringList shown;
        for (const QVariantList& row : rows) {
            if (run.queue.count() > 0 && drawnPage(run.queue, 0).find(row[1].toString())) {
                shown << row[0].toString();
            }
        }
        EXPECT_EQ(shown, c.shown) << c.text.toStdString();
        EXPECT_EQ(run.process->detailsPrinted(), c.shown.size());
        EXPECT_EQ(run.queue.count(), c.shown.isEmpty() ? 0 : 1);
    }
}

TEST(ReportEngine, SelectedOnANumberMatchesItsText) {
    QList<QVariantList> rows;
    for (int bpm : {8, 18, 80, 85, 89, 90, 120, 800}) {
        rows << song(QStringLiteral("Artist %1").arg(bpm), QStringLiteral("Title"), bpm);
    }
    RowSource source(kSongFields, rows);
    ReportDefinition def = songsByArtist();
    def.selectionField = QStringLiteral("TUN:BeatsPerMinute");
    ReportRun run(def, source, ReportSelection{true, "8"});
    EXPECT_EQ(run.firstColumn(),
              QStringList({"Artist 8", "Artist 80", "Artist 85", "Artist 89", "Artist 800"}));
}

TEST(ReportEngine, RecordsFailingTheRecordCheckAreReadButNeverPrinted) {
    const auto check = [](const QVariantList& row) { return row[5].toInt() == 0; };
    {
        RowSource source(
            kSongFields,
            {song("A", "1", 0, 0, {}, 1), song("B", "2", 0, 0, {}, 0), song("C", "3", 0, 0, {}, 1)}, check);
        ReportRun run(songsByArtist(), source);
        EXPECT_EQ(run.firstColumn(), QStringList({"B"}));
        EXPECT_EQ(run.process->recordsDone(), 3);
    }
    // A table where every song is left out: the report is never prepared and has no pages.
    QList<QVariantList> rows;
    for (int i = 0; i < 60; ++i) {
        rows << song(QStringLiteral("Artist %1").arg(i), "Title", 0, 0, {}, 1);
    }
    RowSource source(kSongFields, rows, check);
    bool prepared = false;
    ReportRun run(songsByArtist(), source, {}, [&](ReportDefinition&) { prepared = true; });
    EXPECT_TRUE(run.process->completed());
    EXPECT_FALSE(prepared);
    EXPECT_FALSE(run.process->prepared());
    EXPECT_EQ(run.queue.count(), 0);
    EXPECT_EQ(run.process->detailsPrinted(), 0);
    EXPECT_FALSE(run.process->outputKept());
    EXPECT_EQ(run.process->recordsDone(), 60);
}

TEST(ReportEngine, AnEmptySourceCompletesWithoutPages) {
    RowSource source(kSongFields, {});
    ReportRun run(songsByArtist(), source);
    EXPECT_TRUE(run.process->completed());
    EXPECT_FALSE(run.process->failed());
    EXPECT_EQ(run.queue.count(), 0);
}

TEST(ReportEngine, GroupHeadingsComeBeforeTheirRecordsAndAgainOnANewPage) {
    ReportDefinition def = songsByArtist();
    def.group = ReportGroup{QStringLiteral("TUN:Category"), QStringLiteral("@s30")};
    QList<QVariantList> rows{song("A1", "t", 0, 0, "Blues"), song("A2", "t", 0, 0, "Blues")};
    for (int i = 0; i < 120; ++i) {
        rows << song(QStringLiteral("R%1").arg(i, 3, 10, QLatin1Char('0')), "t", 0, 0, "Rock");
    }
    RowSource source(kSongFields, rows);
    ReportRun run(def, source);
    ASSERT_GE(run.queue.count(), 2);

    const ReportBands bands(def, letter(), kNoted);
    for (int p = 0; p < run.queue.count(); ++p) {
        const DrawnPage page = drawnPage(run.queue, p);
        QStringList order;
        for (const DrawnText& t : page.texts) {
            if (t.at.y() > bands.bodyTop() && t.at.y() < bands.bodyBottom() &&
                std::abs(t.at.x() - run.left()) < 0.5) {
                order << t.text;
            }
        }
        if (p == 0) {
            ASSERT_GE(order.size(), 5);
            EXPECT_EQ(order.mid(0, 5), QStringList({"Blues", "A1", "A2", "Rock", "R000"}));
        } else {
            // The group goes on: its heading again at the top.
            ASSERT_GE(order.size(), 2);
            EXPECT_EQ(order.first(), "Rock") << "page " << p + 1;
            EXPECT_TRUE(order[1].startsWith("R")) << "page " << p + 1;
        }
        // A heading is never the last line of a page.
        EXPECT_NE(order.last(), "Rock") << "page " << p + 1;
        const DrawnText* heading = page.find("Rock");
        ASSERT_TRUE(heading);
        EXPECT_TRUE(heading->font.bold());
    }
}

TEST(ReportEngine, ClosingBandAddsUpTheTimesUnderTheirColumn) {
    ReportDefinition def = songsByArtist();
    def.totals = {ReportTotal{QStringLiteral("Total Time"), QStringLiteral("TUN:Time"),
                              ReportTotal::Kind::Duration, QStringLiteral("@t4")},
                  ReportTotal{QStringLiteral("Songs"), {}, ReportTotal::Kind::Count, QStringLiteral("@n3")}};
    // 3:45, 4:15 and 52:30.50 make 1:00:30 (hundredths are kept while adding).
    RowSource source(kSongFields, {song("A", "One", 0, 22501), song("B", "Two", 0, 25501),
                                   song("C", "Three", 0, 315051), song("D", "Four", 0, 0)});
    ReportRun run(def, source);
    ASSERT_EQ(run.queue.count(), 1);
    const DrawnPage page = drawnPage(run.queue, 0);
    const DrawnText* label = page.find("Total Time");
    const DrawnText* total = page.find("1:00:30");
    ASSERT_TRUE(label && total) << page.strings().join('|').toStdString();
    EXPECT_NEAR(label->at.y(), total->at.y(), 0.5);
    const ReportBands bands(def, letter(), kNoted);
    EXPECT_NEAR(total->right(), bands.columnLeft(3) + bands.columnWidth(3), 1.0);
    EXPECT_GT(label->at.y(), page.find("D")->at.y());
    const DrawnText* count = page.find("4");
    ASSERT_TRUE(count);
    EXPECT_GT(count->at.y(), label->at.y());
}

TEST(ReportEngine, NoClosingBandWhenNothingWasPrintedOrTheReportWasCancelled) {
    ReportDefinition def = songsByArtist();
    def.totals = {
        ReportTotal{QStringLiteral("Total Time"), QStringLiteral("TUN:Time"), ReportTotal::Kind::Duration}};
    RowSource source(kSongFields, numberedSongs(100));
    PageQueue queue(letter());
    QueuePageSink sink(queue);
    ReportProcess process("Generating Report", def, source, sink, letter(), {}, kNoted);
    ASSERT_TRUE(process.start());
    ASSERT_TRUE(process.step());
    process.cancel();
    EXPECT_FALSE(process.completed());
    // The pages made so far are kept whole, footer included, for a preview of what was generated.
    ASSERT_EQ(queue.count(), 1);
    const DrawnPage page = drawnPage(queue, 0);
    EXPECT_TRUE(page.find("Page 1"));
    EXPECT_FALSE(page.find("Total Time"));
    EXPECT_FALSE(process.outputKept());
}

TEST(ReportEngine, PageOfPagesIsFilledInWhenThePagesArePlayedBack) {
    ReportDefinition def = songsByArtist();
    def.pageOfPages = true;
    RowSource source(kSongFields, numberedSongs(150));
    ReportRun run(def, source);
    ASSERT_EQ(run.queue.count(), 3);
    for (int p = 0; p < 3; ++p) {
        EXPECT_TRUE(drawnPage(run.queue, p).find(QStringLiteral("Page %1 of 3").arg(p + 1))) << p;
    }
}

TEST(ReportEngine, PageOfPagesCannotGoStraightToAFile) {
    QTemporaryDir dir;
    ReportDefinition def = songsByArtist();
    def.pageOfPages = true;
    RowSource source(kSongFields, numberedSongs(5));
    PdfFileSink sink(dir.filePath("out.pdf"), letter(), def.title);
    ReportProcess process("Printing Report", def, source, sink, letter(), {}, kNoted);
    runToEnd(process);
    EXPECT_TRUE(process.failed());
    EXPECT_FALSE(QFile::exists(dir.filePath("out.pdf")));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// A cell too wide for its column: smaller type first, then more lines, then the cut; a column kept
// whole only ever shrinks. Whatever is printed stays inside the column.
TEST(ReportEngine, TextTooWideForItsColumnShrinksThenWrapsThenIsCut) {
    const FittedFont font(defaultReportFonts().detail);
    const QString words = QStringLiteral("Orchestral Manoeuvres in the Dark ");
    const double column = font.width(words.repeated(2));
    const struct {
        const char* what;
        QString text;
        bool wrap;
        bool keepWhole;
        int lines;
        bool shrunk;
        bool cut;
    } cases[] = {
        {"fits", words.trimmed(), true, false, 1, false, false},
        {"a little wider", (words.repeated(2) + QStringLiteral("Ltd")).trimmed(), true, false, 1, true, false},
        {"half as wide again", words.repeated(3).trimmed(), true, false, 2, false, false},
        {"three times as wide", (words.repeated(6) + QStringLiteral("Live")).trimmed(), true, false, 3, true,
         false},
        {"far too wide", words.repeated(12).trimmed(), true, false, 3, true, true},
        {"one long word", QString(60, u'm'), true, false, 2, false, false},
        {"a right-aligned column", words.repeated(4).trimmed(), false, false, 1, true, true},
        {"a file number", words.repeated(6).trimmed(), false, true, 1, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const LaidCell cell = layOutCell(font, c.text, column, c.wrap, c.keepWhole);
        EXPECT_EQ(cell.lines.size(), c.lines) << cell.lines.join(u'|').toStdString();
        EXPECT_EQ(cell.scale < 1, c.shrunk) << cell.scale;
        EXPECT_EQ(cell.cut, c.cut);
        if (!c.keepWhole) {
            EXPECT_GE(cell.scale, kLeastTextScale);
        }
        for (const QString& line : cell.lines) {
            EXPECT_LE(font.width(line) * cell.scale, column + 0.01) << line.toStdString();
        }
        const QString joined = cell.lines.join(c.text.contains(u' ') ? QStringLiteral(" ") : QString());
        if (c.cut) {
            EXPECT_TRUE(joined.endsWith(QChar(0x2026)));
            EXPECT_TRUE(c.text.startsWith(joined.chopped(1).trimmed()));
        } else {
            EXPECT_EQ(joined, c.text);
        }
    }
}

// The engine lays a line out as layOutCell does: a wrapped cell makes its line taller, and the
// next line starts below it.
TEST(ReportEngine, AWrappedCellMakesItsLineTaller) {
    ReportDefinition def = songsByArtist();
    def.columns[0].width = 12;
    const QString mozart = QStringLiteral("Wolfgang Amadeus Mozart & Wiener Philharmoniker");
    RowSource source(kSongFields, {song(mozart, "Eine kleine Nachtmusik", 120), song("Zappa", "Peaches", 88)});
    ReportRun run(def, source);
    const DrawnPage page = drawnPage(run.queue, 0);
    const ReportBands bands(def, letter(), kNoted);
    const LaidDetail laid = bands.layOutDetail({mozart, "Eine kleine Nachtmusik", "120", ""});
    ASSERT_GE(laid.cells[0].lines.size(), 2) << "the artist is meant to take more than one line";
    const DrawnText* first = page.find(laid.cells[0].lines.first());
    const DrawnText* last = page.find(laid.cells[0].lines.last());
    const DrawnText* next = page.find("Zappa");
    ASSERT_TRUE(first && last && next) << page.strings().join('|').toStdString();
    EXPECT_GT(last->at.y(), first->at.y());
    EXPECT_GT(next->at.y(), last->at.y());
    EXPECT_NEAR(next->at.y() - first->at.y(), laid.height, 0.5);
    for (const DrawnText* t : {first, last}) {
        EXPECT_GE(t->at.x(), bands.columnLeft(0) - 0.5);
        EXPECT_LE(t->right(), bands.columnLeft(0) + bands.columnWidth(0) + 0.5);
    }
}

TEST(ReportEngine, NarrowColumnsKeepTheirHeadsAndWidestValuesWhole) {
    ReportDefinition def;
    def.title = QStringLiteral("Songs by Album");
    def.columns = {{QStringLiteral("Album"), QStringLiteral("TUN:Artist"), QStringLiteral("@s50"), 50},
                   {QStringLiteral("Title"), QStringLiteral("TUN:Title"), QStringLiteral("@s50"), 50},
                   {QStringLiteral("Track"), QStringLiteral("TUN:BeatsPerMinute"), QStringLiteral("@n3b"), 1,
                    ColumnAlignment::Right},
                   {QStringLiteral("Release Date"), QStringLiteral("TUN:Time"), QStringLiteral("@d3b"), 1}};
    // 28 September 2000: the widest month name in the header's form.
    RowSource source(kSongFields,
                     {song(QString("Long album name ").repeated(8), "A title", 123, 72687 + 271)});
    ReportRun run(def, source);
    const DrawnPage page = drawnPage(run.queue, 0);
    ASSERT_TRUE(page.find("Track"));
    ASSERT_TRUE(page.find("Release Date"));
    ASSERT_TRUE(page.find("123"));
    ASSERT_TRUE(page.find("SEP 28,2000")) << page.strings().join('|').toStdString();
    const ReportBands bands(def, letter(), kNoted);
    const QRectF printable = printableRect(letter());
    for (int c = 0; c < 4; ++c) {
        EXPECT_GE(bands.columnLeft(c), printable.left() - 0.01);
        EXPECT_LE(bands.columnLeft(c) + bands.columnWidth(c), printable.right() + 0.01);
        if (c > 0) {
            EXPECT_GT(bands.columnLeft(c), bands.columnLeft(c - 1) + bands.columnWidth(c - 1));
        }
    }
    // The wide columns share what is left in proportion.
    EXPECT_NEAR(bands.columnWidth(0), bands.columnWidth(1), 0.01);
}

TEST(ReportEngine, PreparingMayApplyACustomFontToTheWholePage) {
    RowSource source(kSongFields, {song("Abba", "Waterloo", 147)});
    ReportDefinition def = songsByArtist();
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPointSize(6);
    def.columns[0].font = small;
    // Italic, 11 points, dark blue (0x00BBGGRR).
    const ReportFont custom{QStringLiteral("DejaVu Serif"), 11, 0x800000, 400 | 0x1000};
    ReportRun run(def, source, {}, [&](ReportDefinition& d) { d.useCustomFont(custom); });
    const DrawnPage page = drawnPage(run.queue, 0);
    ASSERT_GE(page.texts.size(), 10);
    for (const DrawnText& t : page.texts) {
        EXPECT_EQ(t.font.family(), "DejaVu Serif") << t.text.toStdString();
        EXPECT_TRUE(t.font.italic()) << t.text.toStdString();
        EXPECT_FALSE(t.font.bold()) << t.text.toStdString();
        EXPECT_EQ(t.font.pixelSize(), 110) << t.text.toStdString();
        EXPECT_EQ(t.colour, QColor(0, 0, 128)) << t.text.toStdString();
    }
}

TEST(ReportEngine, ACustomTypefaceTheSystemLacksKeepsEachFontsOwn) {
    RowSource source(kSongFields, {song("Abba", "Waterloo", 147)});
    ReportDefinition def = songsByArtist();
    def.fonts.title.setFamily(QStringLiteral("DejaVu Serif"));
    const ReportFont custom{QStringLiteral("No Such Typeface Anywhere"), 0, 0, 0};
    ReportRun run(def, source, {}, [&](ReportDefinition& d) { d.useCustomFont(custom); });
    const DrawnPage page = drawnPage(run.queue, 0);
    EXPECT_EQ(page.find("Songs by Artist")->font.family(), "DejaVu Serif");
    // No size: each keeps its designed size.
    EXPECT_EQ(page.find("Songs by Artist")->font.pixelSize(), 140);
    EXPECT_EQ(page.find("Abba")->font.pixelSize(), 90);
    EXPECT_TRUE(run.process->completed());
}

TEST(ReportEngine, AHugeFontStillPutsALineOnEveryPage) {
    RowSource source(kSongFields, numberedSongs(6));
    ReportRun run(songsByArtist(), source, {}, [&](ReportDefinition& def) {
        for (QFont* f : {&def.fonts.title, &def.fonts.columnHeads, &def.fonts.detail}) {
            f->setPointSize(400);
        }
    });
    EXPECT_TRUE(run.process->completed());
    EXPECT_EQ(run.process->detailsPrinted(), 6);
    EXPECT_EQ(run.queue.count(), 6);
}

TEST(ReportEngine, AFieldTheSourceDoesNotKnowEndsTheReportWithAMessage) {
    ReportDefinition def = songsByArtist();
    def.columns[1].field = QStringLiteral("TUN:Nothing");
    RowSource source(kSongFields, numberedSongs(3));
    ReportRun run(def, source);
    EXPECT_TRUE(run.process->failed());
    EXPECT_TRUE(run.process->error().contains("TUN:Nothing"));
    EXPECT_EQ(run.queue.count(), 0);
}

TEST(ReportEngine, AReadErrorEndsTheWalkWithItsMessageAndKeepsThePagesMade) {
    RowSource source(kSongFields, numberedSongs(80));
    source.failAfter(70, QStringLiteral("Error reading the songs"));
    ReportRun run(songsByArtist(), source);
    EXPECT_EQ(run.process->error(), "Error reading the songs");
    EXPECT_EQ(run.process->detailsPrinted(), 70);
    EXPECT_FALSE(run.process->outputKept());
    EXPECT_GE(run.queue.count(), 1);
}

TEST(ReportEngine, APageThatCannotBeWrittenEndsTheReport) {
    RowSource source(kSongFields, numberedSongs(200));
    PageQueue queue(letter());
    QueuePageSink sink(queue);
    ReportProcess process("Generating Report", songsByArtist(), source, sink, letter(), {}, kNoted);
    ASSERT_TRUE(process.start());
    ASSERT_TRUE(process.step());
    // The folder of the pages goes away under the report.
    ASSERT_TRUE(QDir(queue.folder()).removeRecursively());
    while (process.step()) {
    }
    EXPECT_TRUE(process.failed());
    EXPECT_TRUE(process.error().contains("cannot be written")) << process.error().toStdString();
    EXPECT_LT(process.detailsPrinted(), 200);
}

TEST(ReportDefinition, DateColumnsAndTheHeaderTakeTheUsersDateFormat) {
    ReportDefinition def = songsByArtist();
    def.columns << ReportColumn{QStringLiteral("Release Date"), QStringLiteral("TUN:ReleaseDate"),
                                QStringLiteral("@d3b"), 10};
    def.group = ReportGroup{QStringLiteral("TUN:ReleaseDate"), QStringLiteral("@D3")};
    def.useDatePicture(QStringLiteral("@d6"));
    EXPECT_EQ(def.columns[0].picture, "@s50");
    EXPECT_EQ(def.columns[3].picture, "@t4b");
    EXPECT_EQ(def.columns[4].picture, "@d6");
    EXPECT_EQ(def.group->picture, "@d6");
    EXPECT_EQ(def.datePicture, "@d6");
}

TEST(ReportDefinition, CustomFontsKeepWhatTheSystemCannotGive) {
    QFont designed(QStringLiteral("DejaVu Sans"));
    designed.setPointSize(9);
    ASSERT_TRUE(QFontDatabase::hasFamily("DejaVu Serif"));
    struct Case {
        ReportFont custom;
        QString family;
        int points;
        bool bold;
        bool italic;
    };
    const QList<Case> cases{
        {{"DejaVu Serif", 12, 0, 700}, "DejaVu Serif", 12, true, false},
        {{"No Such Typeface Anywhere", 12, 0, 400 | 0x1000}, "DejaVu Sans", 12, false, true},
        {{"", 0, 0, 0}, "DejaVu Sans", 9, false, false},
        {{"DejaVu Serif", 500, 0, 400}, "DejaVu Serif", kMaxCustomFontPoints, false, false},
        {{"DejaVu Serif", 1, 0, 400}, "DejaVu Serif", kMinCustomFontPoints, false, false},
    };
    for (const Case& c : cases) {
        const QFont font = customReportFont(c.custom, designed);
        EXPECT_EQ(font.family(), c.family) << c.custom.name.toStdString();
        EXPECT_EQ(font.pointSize(), c.points) << c.custom.size;
        EXPECT_EQ(font.bold(), c.bold);
        EXPECT_EQ(font.italic(), c.italic);
    }
}

} // namespace
