// Every report of the catalogue printed from a small collection: its title, its column heads, the
// order of its lines and the songs its record check leaves out, read back from its pages.
#include "catalogue_fixture.h"

#include "data/ini_file.h"
#include "data/pictures.h"
#include "reports/report_bands.h"
#include "reports/report_catalogue.h"

using namespace tunarium;
using namespace tunarium::test;

namespace {

class ReportCatalogueTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        seed();
    }
};

struct Expected {
    const char* report;
    ReportLayout style;
    const char* title;
    QStringList heads;
    const char* column; // the column whose cells are checked
    QStringList cells;
};

const QStringList kArtistOrder{"Abba", "Abba", "Abba", "ABC", "Åbo Band", "Beatles", "Zappa"};
const QStringList kStandardHeads{"Artist", "Title", "Album",       "Media",       "Category",
                                 "Track",  "Chart", "File Number", "Release Date"};

TEST_F(ReportCatalogueTest, EachReportHasItsTitleHeadsOrderAndRecordCheck) {
    const ReportLayout S = ReportLayout::Standard;
    const ReportLayout B = ReportLayout::Brief;
    const QVector<Expected> cases = {
        {"songs-by-artist", S, "Songs by Artist", kStandardHeads, "Artist", kArtistOrder},
        {"songs-by-artist",
         S,
         "Songs by Artist",
         kStandardHeads,
         "Title",
         {"Honey Honey", "Ring Ring", "Waterloo", "Poison Arrow (12\" Mix)", "Sauna", "Help!", "Peaches"}},
        {"songs-by-artist",
         B,
         "Songs by Artist",
         {"Artist", "Title", "Album", "File Number", "Trk", "Custom", "Time"},
         "Time",
         {"", "", "2:45", "", "", "2:18", ""}},
        {"songs-by-title",
         S,
         "Songs by Title",
         {"Title", "Artist", "Album", "Media", "Category", "Track", "Chart", "File Number", "Release Date"},
         "Title",
         {"Help!", "Honey Honey", "Peaches", "Poison Arrow (12\" Mix)", "Ring Ring", "Sauna", "Waterloo"}},
        {"songs-by-title",
         B,
         "Songs by Title",
         {"Title", "Artist", "Album", "File Number", "Trk", "Custom", "Time"},
         "Artist",
         {"Beatles", "Abba", "Zappa", "ABC", "Abba", "Åbo Band", "Abba"}},
        // Without the record check: the songs left out elsewhere are here, a song with skips so marked.
        {"songs-by-album",
         S,
         "Songs by Album",
         {"Album", "Artist", "Title", "Media", "Category", "Track", "Chart", "File Number", "Release Date"},
         "Artist",
         {"abbey road band", "Åbo Band", "Cher (*)", "Doors", "Eagles", "Zappa", "Abba", "Beatles", "ABC",
          "Abba", "Abba"}},
        {"songs-by-album",
         B,
         "Songs by Album",
         {"File Number", "Album", "Artist", "Title", "Media"},
         "Title",
         {"Something", "Sauna", "Believe", "Riders (Skips)", "Hotel California (Skips)", "Peaches",
          "Ring Ring", "Help!", "Poison Arrow (12\" Mix)", "Waterloo", "Honey Honey"}},
        {"songs-by-media",
         S,
         "Songs by Media",
         {"Media", "Title", "Album", "Artist", "Category", "Track", "Chart", "File Number", "Release Date"},
         "Media",
         {"CD", "CD", "CD", "CD", "CD", "CD", "CD", "CD", "CD", "CD", "LP"}},
        {"songs-by-media",
         B,
         "Songs by Media",
         {"Media", "Artist", "Title", "Album", "File Number"},
         "File Number",
         {"", "", "", "", "", "", "", "", "A1", "C3", "B2"}},
        {"songs-by-bpm",
         S,
         "Songs by Beats Per Minute",
         {"Artist", "BPM", "Title", "Album", "Media", "Category", "Track", "Chart", "File Number",
          "Release Date"},
         "BPM",
         {"", "85", "88", "88", "95", "120", "147"}},
        {"songs-by-bpm",
         B,
         "Songs by Beats Per Minute",
         {"Artist", "Title", "Album", "BPM", "File Number", "Trk", "Custom", "Time"},
         "Title",
         {"Ring Ring", "Poison Arrow (12\" Mix)", "Peaches", "Sauna", "Help!", "Honey Honey", "Waterloo"}},
        {"songs-by-chart-number",
         S,
         "Songs by Chart Number",
         {"Album", "Title", "Artist", "Chart #", "Media", "File Number", "Release Date"},
         "Chart #",
         {"", "", "", "", "", "", "", "", "", "1", "5"}},
        {"songs-by-chart-number",
         B,
         "Songs by Chart Number",
         {"Album", "Title", "Artist", "Chart #"},
         "Artist",
         {"Abba", "Abba", "abbey road band", "ABC", "Åbo Band", "Cher (*)", "Doors", "Eagles", "Zappa",
          "Beatles", "Abba"}},
        {"songs-by-user-defined-key",
         S,
         "Songs by User Defined Key",
         kStandardHeads + QStringList{"Custom"},
         "Custom",
         {"", "", "", "", "", "", "", "", "", "k1", "k2"}},
        {"songs-by-user-defined-key",
         B,
         "Songs by User Defined Key",
         {"Album", "Title", "Artist", "Custom"},
         "Artist",
         {"Abba", "Abba", "abbey road band", "Åbo Band", "Beatles", "Cher (*)", "Doors", "Eagles", "Zappa",
          "Abba", "ABC"}},
        {"albums-by-artist",
         S,
         "Albums by Artist",
         {"Artist", "Album", "Media", "File Number", "Release Date", "Associated WAV File"},
         "Associated WAV File",
         {"waterloo.wav", "", ""}},
        {"albums-by-artist",
         B,
         "Albums by Artist",
         {"File Number", "Artist", "Album", "Media"},
         "Artist",
         {"Abba", "ABC", "Beatles"}},
        {"albums-by-album",
         S,
         "Albums",
         {"Album", "Artist", "Media", "File Number", "Release Date", "Associated WAV File"},
         "Album",
         {"Help!", "Lexicon", "Waterloo"}},
        {"albums-by-album",
         B,
         "Albums by Album",
         {"File Number", "Album", "Artist", "Media"},
         "Album",
         {"Help!", "Lexicon", "Waterloo"}},
        {"albums-by-file-number",
         S,
         "Albums by File Number",
         {"Album", "Artist", "Media", "File Number", "Release Date", "Associated WAV File"},
         "File Number",
         {"F0", "F1", "F2"}},
        {"albums-by-file-number",
         B,
         "Albums by File Number",
         {"File Number", "Album", "Artist", "Media"},
         "File Number",
         {"F0", "F1", "F2"}},
        {"paper-saver-by-artist",
         S,
         "Songs by Artist",
         {"Time", "BPM", "Trk", "File #", "Artist", "Title", "Album", "Custom"},
         "BPM",
         {"(120)", "", "(147)", "( 85)", "( 88)", "( 95)", "( 88)"}},
        {"paper-saver-by-title",
         S,
         "Songs by Title",
         {"Time", "BPM", "Trk", "File #", "Title", "Artist", "Album", "Custom"},
         "Title",
         {"Help!", "Honey Honey", "Peaches", "Poison Arrow (12\" Mix)", "Ring Ring", "Sauna", "Waterloo"}},
        // The DJ log walks the songs by artist and title, every song; years may be bare years.
        {"dj-log",
         S,
         "DJ LOG",
         {"Artist", "Title", "Category", "Album", "Year", "File Number", "Notes"},
         "Artist",
         {"Abba", "Abba", "Abba", "abbey road band", "ABC", "Åbo Band", "Beatles", "Cher (*)", "Doors", "Eagles",
          "Zappa"}},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(std::string(e.report) + (e.style == B ? " brief" : ""));
        ReportRequest request;
        request.criteria.style = e.style;
        const PrintedReport r = print(QString::fromLatin1(e.report), request);
        ASSERT_TRUE(r.kept);
        EXPECT_EQ(r.title, QString::fromUtf8(e.title));
        EXPECT_EQ(r.heads, e.heads);
        EXPECT_EQ(r.column(QString::fromLatin1(e.column)), e.cells)
            << r.column(QString::fromLatin1(e.column)).join(u'|').toStdString();
        EXPECT_EQ(r.footers, QStringList{"Page 1"});
    }
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(ReportCatalogueTest, CategoryReportsPrintTheChosenCategoryUnderItsHeading) {
    ReportRequest request;
    request.categoryId = 1;
    PrintedReport songs = print("songs-by-category", request);
    ASSERT_TRUE(songs.kept);
    EXPECT_EQ(songs.title, "Music in Rock Category");
    EXPECT_EQ(songs.heads, QStringList({"Artist", "Title", "Album", "Media", "File Number", "Release Date"}));
    EXPECT_EQ(songs.groups, QStringList{"Rock"});
    EXPECT_EQ(songs.firstColumn(), QStringList({"Abba", "Abba", "Abba", "abbey road band", "ABC", "Åbo Band",
                                                "Cher (*)", "Zappa"}));
    request.criteria.style = ReportLayout::Brief;
    songs = print("songs-by-category", request);
    EXPECT_EQ(songs.heads, QStringList({"Artist", "Title", "Album", "Media", "File Number"}));
    EXPECT_EQ(songs.groups, QStringList{"Rock"});

    request.criteria.style = ReportLayout::Standard;
    request.categoryId = 2;
    const PrintedReport albums = print("albums-by-category", request);
    EXPECT_EQ(albums.title, "Albums by Category");
    EXPECT_EQ(albums.headerLines, QStringList{"Jazz"});
    EXPECT_EQ(albums.firstColumn(), QStringList{"Beatles"});

    // A category without songs, and one deleted meanwhile.
    request.categoryId = 3;
    EXPECT_EQ(print("songs-by-category", request).pages, 0);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "NOTE...");
    EXPECT_EQ(prompter.messages[0].text, "Nothing to Preview.");
    request.categoryId = 77;
    EXPECT_EQ(print("songs-by-category", request).pages, 0);
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[1].text,
              "The category chosen for the report is no longer in the collection.");
}

TEST_F(ReportCatalogueTest, SongsOfAnAlbumAreItsOwnInTheOrderOfTheSongsByAlbumKey) {
    ReportRequest request;
    request.albumId = 1;
    const PrintedReport r = print("songs-of-album", request);
    ASSERT_TRUE(r.kept);
    EXPECT_EQ(r.title, "Songs by Album");
    EXPECT_EQ(r.heads, QStringList({"Album", "Trk", "Title", "Artist", "Media", "Time"}));
    EXPECT_EQ(r.column("Title"), QStringList({"Ring Ring", "Waterloo", "Honey Honey"}));
    request.albumId = 42;
    EXPECT_EQ(print("songs-of-album", request).pages, 0);
    EXPECT_EQ(prompter.messages.last().text,
              "Album number 42 is not in the collection: it may have been deleted.");
}

TEST_F(ReportCatalogueTest, ThePlaylistAddsUpItsTimesAndTheTopFortyShowsTheLogo) {
    ReportRequest request;
    request.playlistId = 1;
    const PrintedReport r = print("playlist", request);
    ASSERT_TRUE(r.kept);
    EXPECT_EQ(r.title, "Playlist");
    ASSERT_EQ(r.headerLines.size(), 1);
    EXPECT_TRUE(r.headerLines[0].startsWith("Friday Night")) << r.headerLines[0].toStdString();
    EXPECT_EQ(r.heads, QStringList({"Artist", "Title", "Category", "Album", "File Number", "Time"}));
    // The third entry names a song that is gone: its line is blank.
    EXPECT_EQ(r.firstColumn(), QStringList({"Beatles", "Abba"}));
    // 0:02:18 and 0:02:45: time values are hundredths plus one, added as lengths.
    EXPECT_EQ(r.closing, QStringList({"Total Time", "0:05:03"}));

    const PrintedReport top = print("playlist-top-40", request);
    EXPECT_EQ(top.title, "Friday Night");
    EXPECT_EQ(top.heads, QStringList({"This Week", "Last Week", "Artist", "Title", "Time", "BPM", "Trk", "File"}));
    EXPECT_EQ(drawnPage(*m_queue, 0).images, 1);

    // A playlist deleted meanwhile.
    request.playlistId = 9;
    EXPECT_EQ(print("playlist", request).pages, 0);
    EXPECT_EQ(prompter.messages.last().caption, "Playlist");
    EXPECT_EQ(prompter.messages.last().text,
              "Playlist number 9 is not in the collection: it may have been deleted.");
}

TEST_F(ReportCatalogueTest, ALogoFileThatIsNoPictureIsSaidAndTheProgramsOwnPrinted) {
    const QString notAPicture = dir.configDir() + "/logo.gif";
    QFile f(notAPicture);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("GIF89a but not really");
    f.close();
    ASSERT_TRUE(settings.writeSetting(u"Logo", notAPicture));
    settings.reload();
    ReportRequest request;
    request.playlistId = 1;
    const PrintedReport r = print("playlist-top-40", request);
    ASSERT_TRUE(r.kept);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Logo");
    EXPECT_TRUE(prompter.messages[0].text.startsWith("The logo picture logo.gif cannot be read"));
    EXPECT_EQ(drawnPage(*m_queue, 0).images, 1);
}

TEST_F(ReportCatalogueTest, NarrowingByAQueryAndAQueryThatCannotBeUsed) {
    ReportRequest request;
    request.filter = QStringLiteral("TUN:BeatsPerMinute = 88");
    PrintedReport r = print("dj-log", request);
    EXPECT_EQ(r.firstColumn(), QStringList({"Åbo Band", "Zappa"}));
    // A query that cannot be read is said as a view that cannot be opened; every song prints.
    request.filter = QStringLiteral("TUN:NoSuchField = 1");
    r = print("paper-saver-by-artist", request);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "View Open Error");
    EXPECT_EQ(r.lines.size(), kArtistOrder.size());
}

TEST_F(ReportCatalogueTest, EveryReportWithCriteriaHasItsFontTagsAndNoun) {
    const ReportEntry* artist = findReport(u"songs-by-artist");
    ASSERT_TRUE(artist);
    EXPECT_EQ(artist->procedure, "ReportSongsByArtist");
    EXPECT_EQ(selectionPrompt(*artist, "Custom"), "Select artists that start with:");
    EXPECT_EQ(selectionPrompt(*findReport(u"ReportSongsByUDK"), "Label Code"),
              "Select label codes that start with:");
    EXPECT_EQ(selectionPrompt(*findReport(u"songs-by-user-defined-key"), "  "),
              "Select user defined keys that start with:");
    const QVector<std::tuple<const char*, const char*, const char*>> tags = {
        {"songs-by-artist", "TUN:SongsByArtist", "TUN:SongsByArtist"},
        {"songs-by-title", "TUN:SongsByTitle", "TUN:SongsByTitle"},
        {"songs-by-album", "TUN:SongsByAlbum", ""},
        {"songs-by-media", "TUN:SongsByMedia", "TUN:SongsByMedia"},
        {"songs-by-category", "ByCategory", "ByCategory"},
        {"songs-by-bpm", "TUN:SongsByBPM", "TUN:SongsByBPM"},
        {"songs-by-chart-number", "", ""},
        {"songs-by-user-defined-key", "TUN:SongsByUDK", ""},
        {"paper-saver-by-artist", "PaperSaver", ""},
        {"paper-saver-by-title", "PaperSaverTitle", ""},
        {"albums-by-artist", "", ""},
    };
    for (const auto& [name, standard, brief] : tags) {
        const ReportEntry* decl = findReport(QString::fromLatin1(name));
        ASSERT_TRUE(decl) << name;
        EXPECT_EQ(decl->fontTag(ReportLayout::Standard), QString::fromLatin1(standard)) << name;
        EXPECT_EQ(decl->fontTag(ReportLayout::Brief), QString::fromLatin1(brief)) << name;
    }
}

} // namespace

// Every column of every layout given the longest value its field holds, in words as a collection
// has them: file numbers print whole on one line, and no value of up to 50 characters (artists,
// albums, categories, media, keys) is cut; a value that is cut (a title of 255 characters) still
// stays inside its column.
TEST(ReportLayouts, TheLongestValueOfEachColumnIsPrintedWholeOrStaysInItsColumn) {
    const QString words = QStringLiteral("Orchestral Manoeuvres in the Dark ");
    ReportContext context;
    context.udkLabel = QStringLiteral("Label Code");
    context.notesLabel = QStringLiteral("Notes");
    context.categoryName = QStringLiteral("Rock");
    context.playlistName = QStringLiteral("Friday Night");
    const QDateTime noted(QDate(2024, 3, 15), QTime(17, 30));
    for (const ReportEntry& decl : reportCatalogue()) {
        for (const ReportLayout style : {ReportLayout::Standard, ReportLayout::Brief}) {
            const ReportDefinition def = reportLayout(decl, style, context);
            SCOPED_TRACE(decl.name.toStdString() + (style == ReportLayout::Brief ? " brief" : ""));
            QPageLayout paper = defaultReportPaper();
            paper.setOrientation(def.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
            const ReportBands bands(def, paper, noted);
            QList<QString> cells;
            QList<int> widths;
            for (const ReportColumn& column : def.columns) {
                const Picture picture = Picture::parse(column.picture);
                const int width = picture.kind() == Picture::Kind::Text ? picture.width() : 0;
                widths << width;
                cells << (width > 0 ? words.repeated(width / words.size() + 1).left(width).trimmed()
                                    : QStringLiteral("888"));
            }
            const LaidDetail laid = bands.layOutDetail(cells);
            ASSERT_EQ(laid.cells.size(), std::size_t(def.columns.size()));
            for (int c = 0; c < def.columns.size(); ++c) {
                const ReportColumn& column = def.columns[c];
                const LaidCell& cell = laid.cells[std::size_t(c)];
                SCOPED_TRACE(column.heading.toStdString());
                const FittedFont font(def.columnFont(c));
                for (const QString& line : cell.lines) {
                    EXPECT_LE(font.width(line) * cell.scale, bands.columnWidth(c) + 0.01);
                }
                if (column.keepWhole) {
                    EXPECT_EQ(cell.lines, QStringList{cells[c]});
                } else if (widths[c] <= 50) {
                    EXPECT_FALSE(cell.cut) << cell.lines.join(u'|').toStdString();
                }
            }
        }
    }
}
