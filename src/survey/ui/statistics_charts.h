// The charts of the collection's figures, as the statistics window shows them and as its printed
// page draws them: one bar chart per figure chart, songs (and albums where the chart counts them)
// side by side, long labels on horizontal bars.
#pragma once

#include "survey/collection_figures.h"

#include <QPointF>

#include <functional>

class QChart;

namespace tunarium {

// The chart of `figures`; `clicked` gets the index of a bar clicked. Owned by the caller (or by
// the view it is given to).
QChart* makeFigureChart(const FigureChart& figures, std::function<void(int bar)> clicked = {});

// Where the middle of bar `bar`'s songs lies, in the chart's coordinates (for tests that click it).
QPointF figureBarPosition(QChart* chart, const FigureChart& figures, int bar);

} // namespace tunarium
