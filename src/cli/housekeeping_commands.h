// Housekeeping from the command line: convert-dates --year-only and test-album-links.
#pragma once

#include <QStringList>

namespace tunarium::cli {

int runConvertDates(QString& dir, const QStringList& args);
int runTestAlbumLinks(QString& dir, const QStringList& args);

} // namespace tunarium::cli
