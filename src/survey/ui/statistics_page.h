// The collection's statistics as one printed page: the title, the totals and every chart, drawn
// through the report engine into a page queue that the printer and the PDF file are given.
#pragma once

#include "survey/collection_figures.h"

#include <QPageLayout>

#include <memory>

namespace tunarium {

class PageQueue;

inline constexpr char kStatisticsTitle[] = "Collection Statistics";

// The page of `figures` on `layout`, dated `date` (as the user's picture shows today); null, with
// `error`, when the page cannot be kept.
std::shared_ptr<PageQueue> statisticsPage(const CollectionFigures& figures, const QPageLayout& layout,
                                          const QString& date, QString* error);

} // namespace tunarium
