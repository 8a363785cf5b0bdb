// The runner's report steps over the catalogue: "Selected" and its narrowed walk, the songs that
// are never printed, page numbers, the custom font and its keys, the messages that end a report,
// and the questions on cancelling.
#include "catalogue_fixture.h"

#include "data/fold_key.h"
#include "data/ini_file.h"
#include "data/key_walk.h"

#include <QFontDatabase>

using namespace tunarium;
using namespace tunarium::test;

namespace {

class ReportRunTest : public CatalogueFixture {};

ReportRequest selected(const QString& text, ReportLayout style = ReportLayout::Standard) {
    ReportRequest request;
    request.criteria.selected = true;
    request.criteria.selection = text;
    request.criteria.style = style;
    return request;
}

// The artists a walk of SongsByArtist reaches, with and without the prefix narrowing it, each
// record then tested as "Selected" tests it.
struct Walked {
    QStringList printed;
    int read = 0;
};

Walked walkArtists(Store& store, const QString& prefix, bool narrowed) {
    const int key = tableDef(TableId::Tunarium).keyIndex(u"SongsByArtist");
    KeyWalkLimits limits;
    if (narrowed) {
        limits.prefix = prefix;
    }
    KeyWalk walk(store, TableId::Tunarium, key, limits);
    const ReportSelection selection{true, prefix};
    Walked w;
    for (bool on = walk.first(); on; on = walk.next()) {
        ++w.read;
        const QString artist = walk.record().text(0);
        if (selection.matches(artist)) {
            w.printed << artist;
        }
    }
    EXPECT_TRUE(walk.error().ok());
    return w;
}

TEST_F(ReportRunTest, SelectedAbPrintsTheArtistsBeginningWithItInAnyCaseAndNoOthers) {
    seed();
    const PrintedReport r = print("songs-by-artist", selected("ab  "));
    // "abbey road band" is marked do-not-play; "Åbo Band" begins with another letter.
    EXPECT_EQ(r.firstColumn(), QStringList({"Abba", "Abba", "Abba", "ABC"}));
    EXPECT_EQ(print("songs-by-artist", selected("")).firstColumn().size(), 7);
    const PrintedReport title = print("songs-by-title", selected("H"));
    EXPECT_EQ(title.firstColumn(), QStringList({"Help!", "Honey Honey"}));
}

TEST_F(ReportRunTest, TheNarrowedWalkPrintsExactlyWhatTheWholeWalkWould) {
    // Names whose capitals and folded keys differ in every way a prefix can meet them, around
    // the batches the walk reads.
    const QStringList names{
        "ab",     "AB",     "Ab Initio", "abacus",   "Åbo",          "Ābu",    "aB",    "a",     "aa",
        "abz",    "ac",     "Straße",    "STRASSE",  "strasse band", "ſtraße", "ﬁre",   "Fire",  "fi",
        "Éclair", "eclair", "ÉCLAIR",    "ıstanbul", "Istanbul",     "İzmir",  "izmir", "µ-Ziq", "Μu",
        "ǅemal",  "džem",   "Σigma",     "ςigma",    "σigma",        "  ab",   "ab ",   ""};
    SongRecord s;
    qint64 id = 0;
    Transaction tx(db.store());
    for (const QString& name : names) {
        for (int copy = 0; copy < 7; ++copy) {
            s.id = ++id;
            s.artist = name;
            s.title = QStringLiteral("Song %1").arg(copy);
            ASSERT_TRUE(db.store().insert(s).ok());
        }
    }
    ASSERT_TRUE(tx.commit().ok());
    const QStringList prefixes{"ab", "AB", "a", "Å", "é", "E", "stra", "STRASS", "ß", "fi", "ﬁ", "i",
                               "İ",  "ı",  "µ", "μ", "Μ", "ǅ", "dž",   "Σ",      "ς", " ",  "zz"};
    for (const QString& prefix : prefixes) {
        const Walked whole = walkArtists(db.store(), prefix, false);
        const Walked narrowed = walkArtists(db.store(), prefix, true);
        EXPECT_EQ(narrowed.printed, whole.printed) << prefix.toStdString();
        EXPECT_LE(narrowed.read, whole.read) << prefix.toStdString();
    }
    EXPECT_EQ(walkArtists(db.store(), "ab", true).printed.size(), 7 * 7);
    // "ab" reads only the texts whose folded keys begin with it: "Åbo" and "Ābu" among them.
    EXPECT_EQ(walkArtists(db.store(), "ab", true).read, 9 * 7);
}

TEST_F(ReportRunTest, SelectedEightOnBeatsPerMinuteMatchesTheNumberAsText) {
    Transaction tx(db.store());
    qint64 id = 0;
    for (qint64 bpm : {8, 80, 85, 89, 800, 9, 18, 180, 0, 90}) {
        SongRecord s;
        s.id = ++id;
        s.artist = QStringLiteral("Artist %1").arg(bpm);
        s.title = QStringLiteral("Title");
        s.beatsPerMinute = bpm;
        ASSERT_TRUE(db.store().insert(s).ok());
    }
    ASSERT_TRUE(tx.commit().ok());
    const PrintedReport r = print("songs-by-bpm", selected("8"));
    EXPECT_EQ(r.column("BPM"), QStringList({"8", "80", "85", "89", "800"}));
    // The key is a number: the whole key is walked, and the test does the choosing.
    const auto* source = dynamic_cast<const SongsSource*>(lastRun()->source());
    ASSERT_TRUE(source);
    EXPECT_FALSE(source->walk().walksPrefix());
}

TEST_F(ReportRunTest, AllSongsDoNotPlaySaysNothingToPreviewOrNothingToPrint) {
    for (qint64 id = 1; id <= 3; ++id) {
        SongRecord s;
        s.id = id;
        s.artist = QStringLiteral("Artist %1").arg(id);
        s.doNotPlay = 1;
        addSong(s);
    }
    for (const char* name : {"songs-by-artist", "songs-by-title", "songs-by-bpm"}) {
        prompter.messages.clear();
        const PrintedReport previewed = print(QString::fromLatin1(name), {}, true);
        EXPECT_EQ(previewed.pages, 0);
        EXPECT_TRUE(previewed.completed);
        ASSERT_EQ(prompter.messages.size(), 1) << name;
        EXPECT_EQ(prompter.messages[0].caption, "NOTE...");
        EXPECT_EQ(prompter.messages[0].text, "Nothing to Preview.");
        EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Exclamation);
        print(QString::fromLatin1(name), {}, false);
        ASSERT_EQ(prompter.messages.size(), 2) << name;
        EXPECT_EQ(prompter.messages[1].text, "Nothing to Print.");
    }
    // The reports without the record check print them.
    EXPECT_EQ(print("songs-by-album").lines.size(), 3);
    // An empty table says the same.
    prompter.messages.clear();
    EXPECT_EQ(print("albums-by-artist").pages, 0);
    EXPECT_EQ(prompter.messages.value(0).text, "Nothing to Preview.");
}

TEST_F(ReportRunTest, LongReportsAreNumberedPageByPageWithEverySongOnce) {
    addSongs(300, QStringLiteral("Band"));
    const PrintedReport r = print("songs-by-artist");
    ASSERT_GT(r.pages, 3);
    QStringList expected;
    for (int p = 1; p <= r.pages; ++p) {
        expected << QStringLiteral("Page %1").arg(p);
    }
    EXPECT_EQ(r.footers, expected);
    const QStringList titles = r.column("Title");
    ASSERT_EQ(titles.size(), 300);
    EXPECT_EQ(titles.first(), "Song 0001");
    EXPECT_EQ(titles.last(), "Song 0300");
    EXPECT_TRUE(std::is_sorted(titles.begin(), titles.end()));
}

TEST_F(ReportRunTest, TheCustomFontIsOfferedFromItsKeysAndWrittenBackOnlyWhenConfirmed) {
    seed();
    const QString ini = settings.filePath();
    ReportFont stored{QStringLiteral("DejaVu Serif"), 11, 0x0000ff, 700};
    ASSERT_TRUE(settings.writeReportFont(ReportLayout::Brief, u"TUN:SongsByArtist", stored));
    const QString before = readIni(ini, u"Fonts", u"FontNameBriefTUN:SongsByArtist");

    // Cancelled: the designed fonts, the keys untouched.
    ReportRequest request;
    request.criteria.customFont = true;
    request.criteria.style = ReportLayout::Brief;
    PrintedReport r = print("songs-by-artist", request);
    ASSERT_EQ(prompter.fontCaptions, QStringList{"Select Custom Font for Report"});
    EXPECT_EQ(prompter.offered[0].typeFace, "DejaVu Serif");
    EXPECT_EQ(prompter.offered[0].size, 11);
    EXPECT_EQ(prompter.offered[0].colour, 0x0000ff);
    EXPECT_EQ(prompter.offered[0].style, 700);
    EXPECT_EQ(drawnPage(*m_queue, 0).find("Abba")->font.family(), defaultReportFonts().detail.family());
    EXPECT_EQ(settings.reportFont(ReportLayout::Brief, u"TUN:SongsByArtist"), stored);

    // Confirmed: every text takes it, and the four keys are written.
    prompter.font = FontChoice{QStringLiteral("DejaVu Sans Mono"), 8, 0x00ff00, 400 | 0x1000};
    r = print("songs-by-artist", request);
    const DrawnPage page = drawnPage(*m_queue, 0);
    const DrawnText* abba = page.find("Abba");
    ASSERT_TRUE(abba);
    if (QFontDatabase::hasFamily("DejaVu Sans Mono")) {
        EXPECT_EQ(abba->font.family(), "DejaVu Sans Mono");
    }
    EXPECT_TRUE(abba->font.italic());
    EXPECT_EQ(abba->colour, QColor(0, 255, 0));
    EXPECT_EQ(readIni(ini, u"Fonts", u"FontNameBriefTUN:SongsByArtist"), "DejaVu Sans Mono");
    EXPECT_EQ(readIni(ini, u"Fonts", u"FontSizeBriefTUN:SongsByArtist"), "8");
    EXPECT_EQ(readIni(ini, u"Fonts", u"FontColorBriefTUN:SongsByArtist"), QString::number(0x00ff00));
    EXPECT_EQ(readIni(ini, u"Fonts", u"FontStyleBriefTUN:SongsByArtist"), QString::number(400 | 0x1000));
    // The Standard layout's keys are its own.
    EXPECT_EQ(readIni(ini, u"Fonts", u"FontNamePrintTUN:SongsByArtist"), "");
    EXPECT_NE(before, readIni(ini, u"Fonts", u"FontNameBriefTUN:SongsByArtist"));

    // A report without font keys shows no dialog.
    prompter.fontCaptions.clear();
    print("songs-by-chart-number", request);
    print("songs-by-album", request); // its Brief layout has no keys
    EXPECT_TRUE(prompter.fontCaptions.isEmpty());
    // Without "Use Custom Font", none either.
    request.criteria.customFont = false;
    print("songs-by-artist", request);
    EXPECT_TRUE(prompter.fontCaptions.isEmpty());
}

TEST_F(ReportRunTest, CustomFontSizesAReportCannotPrintAreBroughtIntoRangeAndSaid) {
    seed();
    ReportRequest request;
    request.criteria.customFont = true;
    struct Case {
        int stored;
        int chosen;
        int offered;
        int printed;
        bool said;
    };
    for (const Case& c :
         {Case{0, 10, 9, 10, false}, Case{500, 500, kMaxCustomFontPoints, kMaxCustomFontPoints, true},
          Case{12, 0, 12, kMinCustomFontPoints, true}, Case{-3, 2, 9, kMinCustomFontPoints, true}}) {
        SCOPED_TRACE(c.stored);
        prompter.messages.clear();
        prompter.offered.clear();
        ASSERT_TRUE(settings.writeReportFont(ReportLayout::Standard, u"TUN:SongsByArtist",
                                             {QStringLiteral("Nonexistent Face"), c.stored, 0, 0}));
        prompter.font = FontChoice{QStringLiteral("Nonexistent Face"), c.chosen, 0, 0};
        print("songs-by-artist", request);
        ASSERT_EQ(prompter.offered.size(), 1);
        EXPECT_EQ(prompter.offered[0].size, c.offered);
        EXPECT_EQ(settings.reportFont(ReportLayout::Standard, u"TUN:SongsByArtist").size, c.printed);
        EXPECT_EQ(prompter.messages.size(), c.said ? 1 : 0);
        // A typeface the system lacks falls back to the layout's own, without a word. (In large
        // type the lines may be cut short at their columns' edges: any text of the page will do.)
        const DrawnPage page = drawnPage(*m_queue, 0);
        const auto abba = std::find_if(page.texts.begin(), page.texts.end(),
                                       [](const DrawnText& t) { return !t.font.bold(); });
        ASSERT_NE(abba, page.texts.end());
        EXPECT_EQ(abba->font.family(), defaultReportFonts().detail.family());
        EXPECT_NEAR(abba->font.pixelSize(), c.printed * kReportUnitsPerPoint, 1);
    }
}

TEST_F(ReportRunTest, CancellingAsksWhetherSureAndThenWhetherToPreviewWhatWasMade) {
    struct Case {
        QList<int> answers;
        bool previewing;
        bool pages;
        ReportCancel outcome;
        int questions;
    };
    const QVector<Case> cases = {
        {{kButtonNo}, true, true, ReportCancel::GoOn, 1},
        {{kButtonYes, kButtonYes}, true, true, ReportCancel::StopAndPreview, 2},
        {{kButtonYes, kButtonNo}, true, true, ReportCancel::Stop, 2},
        {{kButtonYes, kButtonIgnore}, true, true, ReportCancel::GoOn, 2},
        {{kButtonYes}, true, false, ReportCancel::Stop, 1},
        {{kButtonYes}, false, true, ReportCancel::Stop, 1},
        {{}, true, true, ReportCancel::GoOn, 1}, // No is the default
    };
    for (const Case& c : cases) {
        RecordingPrompter asked;
        asked.answers = c.answers;
        EXPECT_EQ(askToCancelReport(asked, c.previewing, c.pages), c.outcome);
        ASSERT_EQ(asked.messages.size(), c.questions);
        EXPECT_EQ(asked.messages[0].caption, "Question");
        EXPECT_EQ(asked.messages[0].text, "Are you sure you want to CANCEL this Report?");
        EXPECT_EQ(asked.messages[0].defaultButton, kButtonNo);
        if (c.questions == 2) {
            EXPECT_EQ(asked.messages[1].text,
                      "Report Cancellation Requested!\n \nPreview Report generated so far?");
            EXPECT_EQ(asked.messages[1].buttons, kButtonYes | kButtonNo | kButtonIgnore);
            EXPECT_EQ(asked.messages[1].defaultButton, kButtonNo);
        }
    }
}

TEST_F(ReportRunTest, AReadErrorEndsTheWalkThroughTheWarnings) {
    // More songs than a walk reads at once: the walk reads again after the table is gone.
    addSongs(KeyWalk::kBatch * 2, QStringLiteral("Band"));
    ReportRun run(db, settings, prompter, *findReport(u"songs-by-artist"), {});
    ASSERT_TRUE(run.open());
    PageQueue queue(run.pageLayout(defaultReportPaper()));
    QueuePageSink sink(queue);
    auto process = run.makeProcess(sink, queue.pageLayout(), true);
    ASSERT_TRUE(process->start());
    // The songs table taken away under the walk.
    ASSERT_TRUE(db.store().exec(QStringLiteral("DROP TABLE \"Tunarium\"")).ok());
    while (process->step()) {
    }
    run.tellOutcome(*process, true);
    EXPECT_TRUE(process->failed());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Record Retrieval Error");
    EXPECT_TRUE(prompter.messages[0].text.contains("Tunarium")) << prompter.messages[0].text.toStdString();
}

} // namespace
