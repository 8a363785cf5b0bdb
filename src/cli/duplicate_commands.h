// The duplicates command of tunarium-cli: what "Find Duplicates" finds, as text.
#pragma once

#include <QString>
#include <QStringList>

namespace tunarium::cli {

// `args` are the command's own arguments ([--quiet]).
int runDuplicates(QString& dir, const QStringList& args);

} // namespace tunarium::cli
