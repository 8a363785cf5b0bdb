// Backups on request and restoring one.
#include "shell/collection_backups.h"

#include "data/session_marker.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace tunarium {

namespace {

StoreError refused(const QString& why, int errorCode = code::kInvalidDataFile) {
    StoreError e = StoreError::of(errorCode);
    e.driverMessage = why;
    return e;
}

} // namespace

QString datedBackupPath(const QString& dir, const QString& kind) {
    return QDir(dir).filePath(
        QStringLiteral("tunarium-%1-%2.db")
            .arg(kind, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
}

StoreError backupCollection(Store& store, const QString& path, QString& written) {
    written = path.isEmpty() ? datedBackupPath(store.directory(), QLatin1String(kBackupOnRequest)) : path;
    const QFileInfo target(written);
    if (target.exists()) {
        return refused(QStringLiteral("%1 exists already; a backup is written to a new file").arg(written));
    }
    if (!target.absoluteDir().exists()) {
        return refused(QStringLiteral("the folder %1 does not exist").arg(target.absolutePath()));
    }
    return store.backupTo(written);
}

StoreError restoreCollection(Store& store, const QString& dir, const QString& path) {
    if (QFileInfo(path).canonicalFilePath() == QFileInfo(store.filePath()).canonicalFilePath()) {
        return refused(QStringLiteral("%1 is the collection itself").arg(path));
    }
    if (otherCopiesOpen(dir) > 0) {
        return refused(QStringLiteral("Another copy of the program has the collection open."),
                       code::kFileLocked);
    }
    if (!store.isOpen()) {
        if (StoreError e = store.open(dir)) {
            return e;
        }
    }
    // Asked again once the current collection is kept, just before it is replaced: a copy that
    // opened it meanwhile would go on reading the old collection where it left off in the new one.
    // (An export reads one snapshot, and writes the old collection or the new, never a mix.)
    const auto keepCurrent = [&store, &dir]() -> StoreError {
        if (StoreError e = store.makeBackup(QLatin1String(kBackupBeforeRestore))) {
            return e;
        }
        if (otherCopiesOpen(dir) > 0) {
            return refused(QStringLiteral("Another copy of the program has the collection open."),
                           code::kFileLocked);
        }
        return {};
    };
    if (StoreError e = store.maintenance().restoreFrom(path, keepCurrent)) {
        return e;
    }
    return store.open(dir);
}

} // namespace tunarium
