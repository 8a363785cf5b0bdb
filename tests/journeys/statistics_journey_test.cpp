// The collection's statistics the way a user looks at them: Browse › Collection Statistics, a
// click on the 1970s bar opens the songs browse on the songs of the seventies (bare years and
// full dates alike), and the charts saved as a PDF page.
#include "journey_fixture.h"

#include "catalogue/ui/songs_browse_window.h"
#include "data/date_time.h"
#include "support/save_file_prompter.h"
#include "survey/ui/statistics_charts.h"
#include "survey/ui/statistics_window.h"
#include "ui/widget_geometry.h"

#include <QChart>
#include <QChartView>
#include <QFileInfo>

using namespace tunarium;

namespace {

class StatisticsJourney : public test::JourneyTest {
protected:
    Prompter& programPrompter() override { return files; }
    test::SaveFilePrompter files;
};

TEST_F(StatisticsJourney, ABarOpensItsSongsAndTheChartsSaveAsAPdfPage) {
    const qint64 dates[] = {1975, dayNumberFromYmd(1977, 5, 1), 1979, dayNumberFromYmd(1980, 1, 1), 1994, 0};
    ASSERT_TRUE(db().openTables({TableId::Tunarium, TableId::Album}));
    for (qint64 i = 0; i < qint64(std::size(dates)); ++i) {
        SongRecord s;
        s.id = i + 1;
        s.artist = QStringLiteral("Artist %1").arg(i);
        s.title = QStringLiteral("Song %1").arg(i);
        s.releaseDate = dates[i];
        ASSERT_TRUE(db().store().insert(s).ok());
    }
    AlbumRecord album;
    album.albumId = 1;
    album.album = QStringLiteral("Seventies");
    album.releaseDate = 1976;
    ASSERT_TRUE(db().store().insert(album).ok());
    db().closeTables({TableId::Tunarium, TableId::Album});

    choose(FrameCommand::CollectionStatistics);
    StatisticsWindow* stats = waitFor<StatisticsWindow>();
    ASSERT_NE(stats, nullptr) << messagesSoFar();
    QChartView* view = stats->showChart("decades");
    ASSERT_NE(view, nullptr);
    settle();
    const FigureChart* decades = stats->figures().chart("decades");
    ASSERT_NE(decades, nullptr);
    int seventies = -1;
    for (int i = 0; i < decades->bars.size(); ++i) {
        seventies = decades->bars[i].label == "1970s" ? i : seventies;
    }
    ASSERT_GE(seventies, 0);
    EXPECT_EQ(decades->bars[seventies].songs, 3);
    EXPECT_EQ(decades->bars[seventies].albums, 1);

    const QPointF bar = view->chart()->mapToScene(figureBarPosition(view->chart(), *decades, seventies));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(bar));
    settle();
    SongsBrowseWindow* songs = waitFor<SongsBrowseWindow>();
    ASSERT_NE(songs, nullptr) << messagesSoFar();
    EXPECT_EQ(songs->searchBox()->text(), "year:1970-1979");
    EXPECT_EQ(songs->engine().rowCount(), 3);

    files.answer = dir.path("statistics.pdf");
    stats->saveAsPdf();
    ASSERT_TRUE(QFileInfo::exists(files.answer)) << messagesSoFar();
    const QString text = pdfText(files.answer);
    EXPECT_TRUE(text.contains("Collection Statistics")) << qPrintable(text);
    EXPECT_TRUE(text.contains("6 songs, 1 album")) << qPrintable(text);
    EXPECT_TRUE(text.contains("1970s")) << qPrintable(text);
    EXPECT_EQ(text.count(u'\f'), 1) << "one page";

    // The window keeps its place under its procedure name.
    positionedWindow(stats)->close();
    settle();
    QFile positions(positionFilePath(db().collectionDir()));
    ASSERT_TRUE(positions.open(QIODevice::ReadOnly));
    EXPECT_TRUE(positions.readAll().contains("[CollectionStatistics]"));
}

} // namespace
