// The rules of the house for #include: a room (a folder under src/ named in the layer order)
// includes only rooms below it. A room's core includes no ui; a room's ui includes its own core,
// the cores and uis below it, and src/ui; src/ui includes only the cores of data and process; the
// command line (src/cli) includes any core and no ui.
#pragma once

#include <QString>
#include <QStringList>

namespace tunarium::test {

// The include of `included` by `path` (relative to the source root,
// "catalogue/ui/browse_window.cpp"): what is wrong with it, or empty when it keeps the order
// `layers` (lowest first).
QString includeProblem(const QString& path, const QString& included, const QStringList& layers);

// Every `#include "..."` of every file under `sourceRoot` that breaks the order, as
// "src/PATH:LINE: #include \"...\": why"; and every file in a folder outside the order.
QStringList includeViolations(const QString& sourceRoot, const QStringList& layers);

} // namespace tunarium::test
