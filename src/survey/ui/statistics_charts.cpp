// Bar charts of the figures.
#include "survey/ui/statistics_charts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QValueAxis>

#include <algorithm>

namespace tunarium {

namespace {

// Charts whose labels are names: drawn across, the first bar on top.
bool lieAcross(const FigureChart& figures) {
    return figures.name == QLatin1String("categories") || figures.name == QLatin1String("media") ||
           figures.name == QLatin1String("artists");
}

// The bar's place on the category axis: across charts run bottom to top.
int place(const FigureChart& figures, int bar) {
    return lieAcross(figures) ? int(figures.bars.size()) - 1 - bar : bar;
}

} // namespace

QChart* makeFigureChart(const FigureChart& figures, std::function<void(int bar)> clicked) {
    auto* chart = new QChart;
    chart->setTitle(figures.title);
    chart->setAnimationOptions(QChart::NoAnimation);
    const bool across = lieAcross(figures);
    QAbstractBarSeries* series = across ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                        : static_cast<QAbstractBarSeries*>(new QBarSeries);
    auto* songs = new QBarSet(QStringLiteral("Songs"));
    QBarSet* albums = figures.countsAlbums ? new QBarSet(QStringLiteral("Albums")) : nullptr;
    QStringList labels;
    qint64 most = 0;
    for (int i = 0; i < figures.bars.size(); ++i) {
        const FigureBar& bar = figures.bars[place(figures, i)];
        labels << bar.label;
        *songs << double(bar.songs);
        if (albums) {
            *albums << double(bar.albums);
        }
        most = std::max({most, bar.songs, bar.albums});
    }
    series->append(songs);
    if (albums) {
        series->append(albums);
    }
    series->setBarWidth(figures.countsAlbums ? 0.8 : 0.6);
    chart->addSeries(series);
    auto* names = new QBarCategoryAxis;
    names->append(labels);
    auto* counts = new QValueAxis;
    counts->setRange(0, std::max<qint64>(most, 1) * 1.05);
    counts->setLabelFormat(QStringLiteral("%.0f"));
    counts->applyNiceNumbers();
    chart->addAxis(names, across ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(counts, across ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(names);
    series->attachAxis(counts);
    if (across) {
        // Twenty names down the side: a smaller face keeps every one of them.
        QFont small = names->labelsFont();
        small.setPointSizeF(std::max(6.0, small.pointSizeF() - 1.5));
        names->setLabelsFont(small);
        names->setTruncateLabels(false);
    }
    if (figures.name == QLatin1String("years") && labels.size() > 40) {
        names->setLabelsAngle(-90);
    }
    chart->legend()->setVisible(figures.countsAlbums);
    chart->legend()->setAlignment(Qt::AlignTop);
    if (clicked) {
        // The set's index is the bar's place; across charts count their places from the bottom.
        const int bars = int(figures.bars.size());
        QObject::connect(series, &QAbstractBarSeries::clicked, chart, [clicked, across, bars](int index, QBarSet*) {
            clicked(across ? bars - 1 - index : index);
        });
    }
    return chart;
}

QPointF figureBarPosition(QChart* chart, const FigureChart& figures, int bar) {
    const QList<QAbstractSeries*> series = chart->series();
    if (series.isEmpty() || bar < 0 || bar >= figures.bars.size()) {
        return {};
    }
    const double value = double(figures.bars[bar].songs) / 2;
    // With albums beside them the songs' bars stand in the first half of the place.
    const double shift = figures.countsAlbums ? -0.2 : 0.0;
    const double at = place(figures, bar) + shift;
    return chart->mapToPosition(lieAcross(figures) ? QPointF(value, at) : QPointF(at, value), series.first());
}

} // namespace tunarium
