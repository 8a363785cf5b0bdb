// A working copy of a collection for the benchmarks that write, so that the measured collection
// stays as it was.
#pragma once

#include "data/app_paths.h"
#include "data/store_sqlite.h"

#include <QDir>
#include <QString>

namespace tunarium::bench {

// Copies the collection in `from` into the folder `toDir` through the store's backup. Empty when
// done, else what went wrong.
inline QString copyCollection(const QString& from, const QString& toDir) {
    if (!QDir(from).exists(QString::fromLatin1(kCollectionFileName))) {
        return QStringLiteral("no collection in %1").arg(from);
    }
    SqliteStore source;
    if (StoreError e = source.open(from)) {
        return e.describe();
    }
    if (StoreError e = source.backupTo(QDir(toDir).filePath(QString::fromLatin1(kCollectionFileName)))) {
        return e.describe();
    }
    return {};
}

} // namespace tunarium::bench
