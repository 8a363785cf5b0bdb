// The browse benchmark of tunarium-bench.
#pragma once

#include <QString>
#include <QStringList>

namespace tunarium::bench {

// Runs the list engine over the songs of the collection in `dir` (only reading it) in four sort
// orders with a page of 30 lines, beside the same page read done by raw SQLite.
int browseBench(const QString& dir);

class PageReader;
// The same on the collection at `location` (a folder or a server's address), beside `raw`'s read
// of each page, in the orders named (every order when none is); on a server also the round trips
// of each operation.
int browseBenchOn(const QString& location, PageReader& raw, const QStringList& orders);

} // namespace tunarium::bench
