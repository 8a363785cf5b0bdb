// Putting a repaired collection in place, crash-safely.
#include "data/repair_swap.h"

#include "data/app_paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tunarium {

namespace {

constexpr char kFolderName[] = ".tunarium-repair";
constexpr char kLockName[] = "lock";
// Written once the fresh file is complete and synced: the damaged file's dated name.
constexpr char kNoteName[] = "ready";

QString inFolder(const QString& dir, const char* name) {
    return QDir(repairFolder(dir)).filePath(QString::fromLatin1(name));
}

QString freshFile(const QString& dir) {
    return collectionFilePath(repairFolder(dir));
}

bool syncPath(const QString& path, bool directory) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | (directory ? O_DIRECTORY : 0));
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

// A second name for `from`: a hard link, or where the file system has none a copy that appears
// under its name only when whole and synced.
bool keepUnder(const QString& from, const QString& to) {
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) {
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    const QString part = to + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(from, part) || !syncPath(part, false) || !QFile::rename(part, to)) {
        QFile::remove(part);
        return false;
    }
    return true;
}

bool nonEmpty(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.size() > 0;
}

// The damaged file's dated name: one that no file in the directory has yet.
QString keptName(const QString& dir) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("tunarium-damaged-") + stamp +
                             (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + QStringLiteral(".db");
        const QString path = QDir(dir).filePath(name);
        if (!QFileInfo::exists(path) && !QFileInfo::exists(path + QStringLiteral("-wal"))) {
            return name;
        }
    }
}

// The steps after the note, each one safe to run again after a crash in any of them.
bool finish(const QString& dir, const QString& keptAs, QString& error) {
    const QString collection = collectionFilePath(dir);
    const QString kept = QDir(dir).filePath(keptAs);
    if (QFileInfo::exists(freshFile(dir))) {
        if (QFileInfo::exists(collection) && !QFileInfo::exists(kept) && !keepUnder(collection, kept)) {
            error = QStringLiteral("the damaged file could not be kept as %1").arg(keptAs);
            return false;
        }
        const QString log = collection + QStringLiteral("-wal");
        if (nonEmpty(log) && !QFileInfo::exists(kept + QStringLiteral("-wal")) &&
            !keepUnder(log, kept + QStringLiteral("-wal"))) {
            error = QStringLiteral("the damaged file's log could not be kept as %1-wal").arg(keptAs);
            return false;
        }
        syncPath(dir, true);
        // The damaged file's log and its index must not meet the fresh file.
        QFile::remove(log);
        QFile::remove(collection + QStringLiteral("-shm"));
        if (QFileInfo::exists(log) || ::rename(QFile::encodeName(freshFile(dir)).constData(),
                                               QFile::encodeName(collection).constData()) != 0) {
            error = QStringLiteral("the new file could not be put in place");
            return false;
        }
        if (!syncPath(dir, true)) {
            error = QStringLiteral("the collection directory could not be synced");
            return false;
        }
    }
    QDir(repairFolder(dir)).removeRecursively();
    syncPath(dir, true);
    return true;
}

// The lock of the repair folder, taken without waiting; -1 when another process holds it.
int takeLock(const QString& dir, bool create) {
    const int fd = ::open(QFile::encodeName(inFolder(dir, kLockName)).constData(),
                          O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
    if (fd < 0) {
        return create ? -1 : -2; // -2: no lock file (a repair that had only made its folder)
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QString readNote(const QString& dir) {
    QFile note(inFolder(dir, kNoteName));
    if (!note.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString name = QString::fromUtf8(note.readAll()).trimmed();
    // Only a dated name of the directory itself.
    return name.startsWith(QLatin1String("tunarium-damaged-")) && !name.contains(u'/') ? name : QString();
}

} // namespace

QString repairFolder(const QString& collectionDir) {
    return QDir(collectionDir).filePath(QString::fromLatin1(kFolderName));
}

void settleLeftoverRepair(const QString& collectionDir) {
    if (!QFileInfo(repairFolder(collectionDir)).isDir()) {
        return;
    }
    const int lock = takeLock(collectionDir, false);
    if (lock == -1) {
        return; // a repair is running
    }
    const QString keptAs = readNote(collectionDir);
    QString error;
    if (keptAs.isEmpty()) {
        QDir(repairFolder(collectionDir)).removeRecursively();
    } else {
        finish(collectionDir, keptAs, error);
    }
    if (lock >= 0) {
        ::close(lock);
    }
}

RepairSwap::~RepairSwap() {
    abandon();
}

bool RepairSwap::begin(const QString& collectionDir, QString& error) {
    abandon();
    settleLeftoverRepair(collectionDir);
    const QString folder = repairFolder(collectionDir);
    if (QFileInfo::exists(folder) || !QDir().mkpath(folder)) {
        error = QFileInfo::exists(folder) ? QStringLiteral("another copy of the program is repairing the collection")
                                          : QStringLiteral("the folder %1 cannot be made").arg(folder);
        return false;
    }
    m_lock = takeLock(collectionDir, true);
    if (m_lock < 0) {
        error = QStringLiteral("the folder %1 cannot be used").arg(folder);
        return false;
    }
    m_dir = collectionDir;
    // Working folders of earlier versions' repairs (".tunarium-repair-" and a process number) that
    // were killed halfway: nothing will finish them, and each holds a whole collection. A repair
    // runs only with the collection to itself, so none is in use.
    const QDir dir(collectionDir);
    for (const QString& name : dir.entryList({QStringLiteral(".tunarium-repair-*")},
                                             QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (!QFileInfo(dir.filePath(name)).isSymLink()) {
            QDir(dir.filePath(name)).removeRecursively();
        }
    }
    return true;
}

QString RepairSwap::freshDir() const {
    return repairFolder(m_dir);
}

bool RepairSwap::commit(QString& keptAs, QString& error) {
    if (m_lock < 0) {
        error = QStringLiteral("no repair is under way");
        return false;
    }
    const QString fresh = freshFile(m_dir);
    // The fresh file was closed with its log copied in; a log left with pages means it was not.
    if (nonEmpty(fresh + QStringLiteral("-wal"))) {
        error = QStringLiteral("the new file's log was not copied into it");
        return false;
    }
    QFile::remove(fresh + QStringLiteral("-wal"));
    QFile::remove(fresh + QStringLiteral("-shm"));
    if (!syncPath(fresh, false) || !syncPath(freshDir(), true)) {
        error = QStringLiteral("the new file could not be written to the disk");
        return false;
    }
    keptAs = keptName(m_dir);
    const QString note = inFolder(m_dir, kNoteName);
    {
        QFile part(note + QStringLiteral(".part"));
        if (!part.open(QIODevice::WriteOnly) || part.write(keptAs.toUtf8()) != keptAs.toUtf8().size() ||
            !part.flush() || ::fsync(part.handle()) != 0) {
            error = QStringLiteral("the repair's note could not be written");
            return false;
        }
        part.close();
    }
    if (!QFile::rename(note + QStringLiteral(".part"), note) || !syncPath(freshDir(), true)) {
        error = QStringLiteral("the repair's note could not be written");
        QFile::remove(note);
        return false;
    }
    const bool done = finish(m_dir, keptAs, error);
    if (done) {
        ::close(m_lock);
        m_lock = -1;
    }
    return done;
}

void RepairSwap::abandon() {
    if (m_lock < 0) {
        return;
    }
    // Past the note the repair is finished at the next open instead.
    if (readNote(m_dir).isEmpty()) {
        QDir(repairFolder(m_dir)).removeRecursively();
    }
    ::close(m_lock);
    m_lock = -1;
}

} // namespace tunarium
