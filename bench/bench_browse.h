// The browse benchmark of tunarium-bench.
#pragma once

#include <QString>

namespace tunarium::bench {

// Runs the list engine over the songs of the collection in `dir` (only reading it) in four sort
// orders with a page of 30 lines, beside the same page read done by raw SQLite.
int browseBench(const QString& dir);

} // namespace tunarium::bench
