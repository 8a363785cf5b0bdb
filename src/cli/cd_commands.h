// The cd command of tunarium-cli: reads the disc in the CD drive, or a table-of-contents file in
// its place, and prints what the CD reader finds.
#pragma once

#include <QString>
#include <QStringList>

namespace tunarium::cli {

// `args` are the command's own arguments: "identify [--toc FILE] [--device DEV]". Events of the
// drive go to the event log of the collection in `dir` while `UseLog` is on.
int runCd(QString& dir, const QStringList& args);

} // namespace tunarium::cli
