// The backup and restore commands of tunarium-cli.
#pragma once

#include <QString>
#include <QStringList>

namespace tunarium::cli {

// "backup [--to FILE]": a whole copy of the collection in `dir`, to FILE or to a dated file
// beside the collection; prints the copy's path.
int runBackup(QString& dir, const QStringList& args);
// "restore FILE": replaces the collection with the collection file FILE, keeping the current
// one as a backup first.
int runRestore(QString& dir, const QStringList& args);

} // namespace tunarium::cli
