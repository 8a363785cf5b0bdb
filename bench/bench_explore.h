// The explorer benchmark of tunarium-bench.
#pragma once

#include <QString>

namespace tunarium::bench {

// Copies the collection in `dir` into `workDir` (a temporary folder when empty; an existing copy
// there is used again), brings it to the program's structure, and measures every orderable column of
// the songs explorer in both directions beside raw SQLite, then a category rename with and without
// the category order's key.
int exploreBench(const QString& dir, const QString& workDir);

} // namespace tunarium::bench
