// Backups on request and restoring one.
#include "shell/collection_backups.h"

#include "data/output_file.h"
#include "data/session_marker.h"
#include "data/store_file_kind.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tunarium {

namespace {

StoreError refused(const QString& why, int errorCode = code::kInvalidDataFile) {
    StoreError e = StoreError::of(errorCode);
    e.driverMessage = why;
    return e;
}

// A step of ours that failed, in our own words.
StoreError failure(const QString& why) {
    return StoreError::driver(0, why);
}

StoreError refused(const CollectionFileState& state) {
    return refused(state.describe(),
                   state.kind == CollectionFileKind::Newer ? code::kLayoutDiffers : code::kInvalidDataFile);
}

QByteArray fileName(const QString& path) {
    return QFile::encodeName(path);
}

// Gives `from` the name `to` unless a file has that name: by a hard link and the old name
// removed, or, where the file system has no hard links, by a rename after a look.
bool renameNoReplace(const QString& from, const QString& to) {
    if (::link(fileName(from).constData(), fileName(to).constData()) == 0) {
        return ::unlink(fileName(from).constData()) == 0;
    }
    if (errno == EEXIST || QFileInfo::exists(to)) {
        return false;
    }
    return std::rename(fileName(from).constData(), fileName(to).constData()) == 0;
}

// `path` with `mark` before its extension; a number follows when that name is taken.
QString freeName(const QString& path, const QString& mark) {
    const QFileInfo info(path);
    const QString extension = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    // The folder as the user wrote it.
    const QString stem = path.left(path.size() - info.fileName().size()) + info.completeBaseName() + mark;
    QString name = stem + extension;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n) {
        name = stem + u'-' + QString::number(n) + extension;
    }
    return name;
}

void syncFolder(const QString& dir) {
    const int fd = ::open(fileName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The same file by its device and inode (links resolved); false when either cannot be read.
bool sameFile(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(fileName(a).constData(), &sa) == 0 && ::stat(fileName(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The new file a restore writes before it takes the collection's name, locked while this
// process writes it; one left unlocked was left by a restore that was killed.
constexpr char kRestoreFreshPrefix[] = ".tunarium.db.restore-";

void removeDeadRestoreCopies(const QDir& dir) {
    for (const QString& name :
         dir.entryList({QLatin1String(kRestoreFreshPrefix) + u'*'}, QDir::Files | QDir::Hidden | QDir::System)) {
        const QString path = dir.filePath(name);
        const int fd = ::open(fileName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            QFile::remove(path);
        }
        ::close(fd);
    }
}

// Puts the collection file `source` in place of a collection file that cannot be read (another
// program's file, a truncated or damaged one). The file in place is kept, with its log, under
// the dated name of a restore backup. The copy is written and synced under a name of its own
// first, and the collection's name is never without a file: the old file is linked to its new
// name, then the copy renamed over the old name.
StoreError replaceUnreadable(Store& store, const QString& dir, const QString& source) {
    store.close();
    const QDir folder(dir);
    removeDeadRestoreCopies(folder);
    const QString collection = collectionFilePath(dir);
    const QString fresh = folder.filePath(QLatin1String(kRestoreFreshPrefix) +
                                          QString::number(QRandomGenerator::system()->generate64(), 36));
    const int lock = ::open(fileName(fresh).constData(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (lock < 0 || ::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        if (lock >= 0) {
            ::close(lock);
        }
        return failure(QStringLiteral("no copy can be written in %1: %2")
                                                       .arg(dir, QString::fromLocal8Bit(std::strerror(errno))));
    }
    const auto dropFresh = [&] {
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
            QFile::remove(fresh + QLatin1String(suffix));
        }
        ::close(lock);
    };
    if (const QString notCopied = copyCollectionFile(source, fresh); !notCopied.isEmpty()) {
        dropFresh();
        return failure(notCopied);
    }
    const QString kept = freeName(datedBackupPath(dir, QLatin1String(kBackupBeforeRestore)), QString());
    const bool linked = ::link(fileName(collection).constData(), fileName(kept).constData()) == 0;
    if (!linked && !renameNoReplace(collection, kept)) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        dropFresh();
        return failure(QStringLiteral("%1 cannot be kept as %2: %3").arg(collection, kept, why));
    }
    // Its log and journal go with it (they hold its last changes); its log index is made again.
    for (const char* suffix : {"-wal", "-journal"}) {
        const QString log = collection + QLatin1String(suffix);
        if (QFileInfo::exists(log) && !renameNoReplace(log, kept + QLatin1String(suffix))) {
            QFile::remove(log);
        }
    }
    QFile::remove(collection + QStringLiteral("-shm"));
    syncFolder(dir);
    if (std::rename(fileName(fresh).constData(), fileName(collection).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        dropFresh();
        return failure(QStringLiteral("the copy cannot take the name %1: %2").arg(collection, why));
    }
    ::close(lock);
    syncFolder(dir);
    return store.open(dir);
}

} // namespace

QString datedBackupPath(const QString& dir, const QString& kind) {
    return QDir(dir).filePath(
        QStringLiteral("tunarium-%1-%2.db")
            .arg(kind, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
}

StoreError backupCollection(Store& store, const QString& path, QString& written) {
    written = path.isEmpty() ? datedBackupPath(store.directory(), QLatin1String(kBackupOnRequest)) : path;
    // The collection's own files, a folder, a device: refused in their own words first.
    if (const QString refusal = outputFileRefusal(written, store.directory()); !refusal.isEmpty()) {
        written.clear();
        return refused(refusal);
    }
    const QFileInfo target(written);
    if (target.exists()) {
        const QString taken = written;
        written.clear();
        return refused(QStringLiteral("%1 exists already; a backup is written to a new file").arg(taken));
    }
    if (!target.absoluteDir().exists()) {
        const QString folder = target.absolutePath();
        written.clear();
        return refused(QStringLiteral("the folder %1 does not exist").arg(folder));
    }
    if (StoreError e = store.backupTo(written)) {
        written.clear();
        return e;
    }
    // What was copied is read back: the backup API copies pages as they are, damage and all.
    const CollectionFileState copy = inspectCollectionFile(written, PageCheck::Quick);
    if (copy.sound()) {
        return {};
    }
    if (copy.kind != CollectionFileKind::Damaged) {
        QFile::remove(written);
        const QString why = copy.describe();
        written.clear();
        return failure(QStringLiteral("the copy could not be read back: %1").arg(why));
    }
    const QString damaged = freeName(written, QStringLiteral("-damaged"));
    if (renameNoReplace(written, damaged)) {
        written = damaged;
    }
    return refused(QStringLiteral("the collection is damaged, and so is its copy %1 (%2), which restore refuses")
                       .arg(written, copy.detail));
}

StoreError restoreCollection(Store& store, const QString& dir, const QString& path) {
    const QString collection = collectionFilePath(dir);
    if (!QFileInfo::exists(path)) {
        return refused(QStringLiteral("%1 does not exist").arg(path));
    }
    if (sameFile(path, collection)) {
        return refused(QStringLiteral("%1 is the collection itself").arg(path));
    }
    // The copy is read, never written, and refused before anything is touched.
    if (const CollectionFileState copy = inspectCollectionFile(path, PageCheck::Quick); !copy.sound()) {
        return refused(copy);
    }
    if (otherCopiesOpen(dir) > 0) {
        return refused(QStringLiteral("Another copy of the program has the collection open."), code::kFileLocked);
    }
    StoreError opened = store.isOpen() ? StoreError{} : store.open(dir);
    if (!opened && store.isReadOnly()) {
        return store.writeRefusal();
    }
    // A collection that cannot be read is what a restore is for: it is kept aside, not refused.
    const bool unreadable =
        opened.code == code::kInvalidDataFile || opened.code == code::kLayoutDiffers || opened.isDamage();
    if (unreadable || (!opened && !store.maintenance().checkFile(FileCheck::Quick))) {
        return replaceUnreadable(store, dir, path);
    }
    if (opened) {
        return opened;
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
