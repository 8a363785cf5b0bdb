// The statistics page: the charts laid out two to a row, the years across the page.
#include "survey/ui/statistics_page.h"

#include "reports/page_queue.h"
#include "reports/page_sink.h"
#include "survey/ui/statistics_charts.h"

#include <QChart>
#include <QGraphicsScene>

#include <memory>

namespace tunarium {

namespace {

// Charts are laid out at this many pixels to the inch before they are scaled onto the page: their
// texts come out at about seven points.
constexpr double kChartPixelsPerInch = 130;

void drawChart(QPainter& painter, const FigureChart& figures, const QRectF& target) {
    QGraphicsScene scene;
    QChart* chart = makeFigureChart(figures);
    scene.addItem(chart);
    const QSizeF pixels = target.size() / kReportUnitsPerInch * kChartPixelsPerInch;
    chart->setGeometry(QRectF(QPointF(0, 0), pixels));
    scene.setSceneRect(QRectF(QPointF(0, 0), pixels));
    scene.render(&painter, target, scene.sceneRect(), Qt::IgnoreAspectRatio);
}

} // namespace

std::shared_ptr<PageQueue> statisticsPage(const CollectionFigures& figures, const QPageLayout& layout,
                                          const QString& date, QString* error) {
    auto queue = std::make_shared<PageQueue>(layout);
    QueuePageSink sink(*queue);
    QPainter* painter = queue->isValid() ? sink.beginPage() : nullptr;
    if (!painter) {
        *error = queue->isValid() ? sink.error()
                                  : QStringLiteral("The page cannot be kept: no temporary folder can be made.");
        return nullptr;
    }
    const QRectF page = printableRect(layout);
    QFont heading(QStringLiteral("Arial"));
    heading.setPixelSize(int(16 * kReportUnitsPerPoint));
    heading.setBold(true);
    painter->setFont(heading);
    const double headingHeight = 24 * kReportUnitsPerPoint;
    painter->drawText(QRectF(page.left(), page.top(), page.width(), headingHeight), Qt::AlignLeft | Qt::AlignVCenter,
                      QString::fromLatin1(kStatisticsTitle));
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(int(9 * kReportUnitsPerPoint));
    painter->setFont(small);
    painter->drawText(QRectF(page.left(), page.top(), page.width(), headingHeight), Qt::AlignRight | Qt::AlignVCenter,
                      figuresTotals(figures) + QStringLiteral("    ") + date);
    // Four rows: two charts, the years across, two and two.
    const QStringList rows[] = {{QStringLiteral("decades"), QStringLiteral("categories")},
                                {QStringLiteral("years")},
                                {QStringLiteral("media"), QStringLiteral("bpm")},
                                {QStringLiteral("ratings"), QStringLiteral("artists")}};
    const double top = page.top() + headingHeight + 6 * kReportUnitsPerPoint;
    const double rowHeight = (page.bottom() - top) / 4;
    for (int r = 0; r < 4; ++r) {
        const double width = page.width() / double(rows[r].size());
        for (int c = 0; c < rows[r].size(); ++c) {
            if (const FigureChart* chart = figures.chart(rows[r][c])) {
                drawChart(*painter, *chart, QRectF(page.left() + c * width, top + r * rowHeight, width, rowHeight));
            }
        }
    }
    if (!sink.endPage() || !sink.finish(true)) {
        *error = sink.error();
        return nullptr;
    }
    return queue;
}

} // namespace tunarium
