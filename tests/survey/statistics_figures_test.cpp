// The collection's figures against counts made independently in plain SQL over the same file, on
// a collection of mixed dates (bare years, full dates, none, the bare-year limit), categories (one
// missing, one whose name holds another's), media and artists in different cases, BPMs and
// ratings; and every bar's search, run as the songs browse runs it, finds the bar's songs.
#include "catalogue/song_search.h"
#include "data/date_time.h"
#include "data/records.h"
#include "data/store_sqlite.h"
#include "support/cli_run.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"
#include "survey/collection_figures.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

#include <map>

using namespace tunarium;

namespace {

using Counts = std::map<QString, std::pair<qint64, qint64>>; // label: songs, albums

class StatisticsFiguresTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(dir.dir()).ok());
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(store.openTable(t.id).ok());
        }
    }

    void fill() {
        const std::pair<qint64, const char*> categories[] = {{1, "Rock"}, {2, "Pop"}, {3, "Rock & Roll"}};
        for (const auto& [id, name] : categories) {
            CategoryRecord c;
            c.categoryId = id;
            c.category = QString::fromUtf8(name);
            ASSERT_TRUE(store.insert(c).ok());
        }
        const qint64 dates[] = {0,    1975, 1979, dayNumberFromYmd(1979, 12, 31), dayNumberFromYmd(1980, 1, 1),
                                1980, 3000, 3001, dayNumberFromYmd(2003, 6, 15), 1899, -5};
        const qint64 categoryIds[] = {1, 2, 3, 0, 99, 1, 2};
        const char* const media[] = {"CD", "cd", "Vinyl", "", "Tape", "CD"};
        const qint64 bpms[] = {0, 72, 79, 80, 124, 129, 130, -3, 0};
        const char* const artists[] = {"ABBA", "abba", "Abba Gold", "The \"Band\"", "", "Queen", "Björk", "BJÖRK",
                                       "Queen", "ABBA"};
        for (int i = 0; i < 97; ++i) {
            SongRecord s;
            s.id = i + 1;
            s.title = QStringLiteral("Song %1").arg(i);
            s.artist = QString::fromUtf8(artists[(i * 7) % std::size(artists)]);
            s.releaseDate = dates[i % std::size(dates)];
            s.categoryId = categoryIds[(i / 2) % std::size(categoryIds)];
            s.media = QString::fromUtf8(media[(i / 3) % std::size(media)]);
            s.beatsPerMinute = bpms[(i * 5) % std::size(bpms)];
            s.rating = (i * 3) % 11;
            ASSERT_TRUE(store.insert(s).ok()) << i;
        }
        for (int i = 0; i < 16; ++i) {
            AlbumRecord a;
            a.albumId = i + 1;
            // The last album holds nothing the key by category keeps.
            if (i < 15) {
                a.artist = QStringLiteral("Artist %1").arg(i);
                a.album = QStringLiteral("Album %1").arg(i);
                a.releaseDate = dates[(i * 3) % std::size(dates)];
                a.categoryId = categoryIds[i % std::size(categoryIds)];
                a.media = QString::fromUtf8(media[(i + 1) % std::size(media)]);
            }
            ASSERT_TRUE(store.insert(a).ok()) << i;
        }
    }

    // Label and count of each row of `sql`, added into `counts` as songs or albums.
    void addRows(Counts& counts, const QString& sql, bool albums) {
        const QList<QStringList> rows = test::sqlRows(store.filePath(), sql);
        ASSERT_FALSE(rows.isEmpty()) << qPrintable(sql);
        for (const QStringList& row : rows) {
            auto& c = counts[row[0]];
            (albums ? c.second : c.first) += row[1].toLongLong();
        }
    }
    static Counts chartCounts(const CollectionFigures& figures, const QString& name, bool upper = false) {
        Counts counts;
        const FigureChart* chart = figures.chart(name);
        EXPECT_NE(chart, nullptr) << qPrintable(name);
        for (const FigureBar& bar : chart ? chart->bars : QVector<FigureBar>{}) {
            EXPECT_EQ(counts.count(bar.label), 0u) << "two bars " << qPrintable(bar.label);
            auto& c = counts[upper ? bar.label.toUpper() : bar.label];
            c.first += bar.songs;
            c.second += bar.albums;
        }
        return counts;
    }
    static QString upperOf(const Counts& counts) {
        QString out;
        for (const auto& [label, c] : counts) {
            out += QStringLiteral("%1=%2/%3 ").arg(label).arg(c.first).arg(c.second);
        }
        return out;
    }

    test::TempCollection dir;
    SqliteStore store;
};

// The year of a release date as SQLite's own date arithmetic reads it: a bare year up to 3000,
// else days counted from 28 December 1800; 0 for no date.
const char kYear[] =
    "(CASE WHEN ReleaseDate BETWEEN 1 AND 3000 THEN ReleaseDate WHEN ReleaseDate > 3000 AND "
    "CAST(strftime('%Y', julianday('1800-12-28') + ReleaseDate) AS INTEGER) <= 9999 THEN "
    "CAST(strftime('%Y', julianday('1800-12-28') + ReleaseDate) AS INTEGER) ELSE 0 END)";

TEST_F(StatisticsFiguresTest, EveryChartAgreesWithPlainSqlAndEveryBarsSearchFindsItsSongs) {
    fill();
    const CollectionFigures figures = readCollectionFigures(store);
    ASSERT_TRUE(figures.error.ok()) << qPrintable(figures.error.describe());
    EXPECT_EQ(figures.songs, test::sqlNumber(store.filePath(), "SELECT COUNT(*) FROM Tunarium"));
    EXPECT_EQ(figures.albums, test::sqlNumber(store.filePath(), "SELECT COUNT(*) FROM Album"));

    const QString year = QString::fromLatin1(kYear);
    const QString decade = QStringLiteral("(CASE WHEN %1 = 0 THEN 'No date' ELSE (%1 / 10 * 10) || 's' END)").arg(year);
    const QString category = QStringLiteral(
        "COALESCE(NULLIF(TRIM((SELECT Category FROM Categories c WHERE c.CategoryID = x.CategoryID)), ''), "
        "'No category')");
    const QString media = QStringLiteral("(CASE WHEN TRIM(Media) = '' THEN 'NO MEDIA' ELSE UPPER(Media) END)");
    const struct {
        const char* chart;
        QString label; // an SQL expression over a song or album x
        bool albums;
        bool upper; // media compared without regard to case
    } charts[] = {
        {"decades", decade, true, false},
        {"years", year, true, false},
        {"categories", category, true, false},
        {"media", media, true, true},
        {"bpm",
         "(CASE WHEN BeatsPerMinute = 0 THEN 'No BPM' WHEN BeatsPerMinute < 0 THEN 'Below 0' ELSE "
         "(BeatsPerMinute / 10 * 10) || '-' || (BeatsPerMinute / 10 * 10 + 9) END)",
         false, false},
        {"ratings", "(CASE WHEN Rating = 0 THEN 'Not rated' ELSE Rating END)", false, false},
    };
    for (const auto& c : charts) {
        Counts expected;
        const QString where = QLatin1String(c.chart) == u"years" ? QStringLiteral(" WHERE %1 <> 0").arg(year) : QString();
        addRows(expected, QStringLiteral("SELECT %1, COUNT(*) FROM Tunarium x%2 GROUP BY 1").arg(c.label, where), false);
        if (c.albums) {
            addRows(expected, QStringLiteral("SELECT %1, COUNT(*) FROM Album x%2 GROUP BY 1").arg(c.label, where), true);
        }
        const Counts shown = chartCounts(figures, QString::fromLatin1(c.chart), c.upper);
        EXPECT_EQ(shown, expected) << c.chart << "\n  shown:    " << qPrintable(upperOf(shown))
                                   << "\n  expected: " << qPrintable(upperOf(expected));
    }
    // Artists by their case-folded names, counted in C++ from the names SQL gives.
    Counts artists;
    for (const QStringList& row : test::sqlRows(store.filePath(), "SELECT Artist, COUNT(*) FROM Tunarium GROUP BY 1")) {
        artists[row[0].isEmpty() ? QStringLiteral("NO ARTIST") : row[0].toUpper()].first += row[1].toLongLong();
    }
    EXPECT_EQ(chartCounts(figures, "artists", true), artists);
    const FigureChart* top = figures.chart("artists");
    ASSERT_NE(top, nullptr);
    for (int i = 1; i < top->bars.size(); ++i) {
        EXPECT_GE(top->bars[i - 1].songs, top->bars[i].songs) << "most songs first";
    }

    // A bar's search is what its click opens the songs browse on: it finds the bar's songs.
    int searched = 0;
    for (const FigureChart& chart : figures.charts) {
        for (const FigureBar& bar : chart.bars) {
            if (bar.search.isEmpty()) {
                EXPECT_EQ(bar.label, "The \"Band\"") << "only a name with a blank and a quote has no search";
                continue;
            }
            const SongSearch search = parseSongSearch(bar.search);
            ASSERT_TRUE(search.ok()) << qPrintable(bar.search) << ": " << qPrintable(search.error);
            SongSearchPlan plan = planSongSearch(store, search, {});
            ASSERT_TRUE(countSongSearch(store, plan).ok());
            EXPECT_EQ(plan.found, bar.songs) << qPrintable(chart.name) << " " << qPrintable(bar.label) << ": "
                                             << qPrintable(bar.search);
            ++searched;
        }
    }
    EXPECT_GT(searched, 40);
}

TEST_F(StatisticsFiguresTest, ExactSearchesSayEveryTextTheSyntaxCan) {
    const struct {
        const char* text;
        const char* search;
    } cases[] = {
        {"Rock", "category:=Rock"},
        {"Rock & Roll", "category:=\"Rock & Roll\""},
        {"", "category:=\"\""},
        {"O'Brien", "category:=O'Brien"},
        {"say\"what", "category:=say\"what"},
        {"\"Quoted\"", ""},
        {"two \"words\"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(exactSearch("category", QString::fromUtf8(c.text)), QString::fromUtf8(c.search)) << c.text;
    }
}

TEST_F(StatisticsFiguresTest, TheCommandLinePrintsTheSameFigures) {
    if (!test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    fill();
    const CollectionFigures figures = readCollectionFigures(store);
    ASSERT_TRUE(figures.error.ok());
    const test::CliRun json = test::runCli(dir, {"--dir", dir.dir(), "stats", "--json"});
    ASSERT_EQ(json.exitCode, 0) << qPrintable(json.err);
    EXPECT_EQ(QJsonDocument::fromJson(json.out.toUtf8()).object(), figuresJson(figures));
    const test::CliRun text = test::runCli(dir, {"--dir", dir.dir(), "stats"});
    ASSERT_EQ(text.exitCode, 0) << qPrintable(text.err);
    EXPECT_EQ(text.out, figuresText(figures));
    EXPECT_TRUE(text.out.startsWith("Songs: 97\nAlbums: 16\n")) << qPrintable(text.out);
    EXPECT_EQ(test::runCli(dir, {"--dir", dir.dir(), "stats", "now"}).exitCode, 2);
}

} // namespace
