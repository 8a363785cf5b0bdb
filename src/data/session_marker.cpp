// Session markers beside the collection.
#include "data/session_marker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace tunarium {

namespace {

QString markerName(qint64 pid) {
    return QString::fromLatin1(kSessionMarkerPrefix) + QString::number(pid);
}

// The process number of a marker's name; 0 when the name is not a marker's.
qint64 markerPid(const QString& name) {
    const QString prefix = QString::fromLatin1(kSessionMarkerPrefix);
    if (!name.startsWith(prefix)) {
        return 0;
    }
    bool ok = false;
    const qint64 pid = name.mid(prefix.size()).toLongLong(&ok);
    return ok ? pid : 0;
}

QStringList markerNames(const QString& collectionDir) {
    return QDir(collectionDir)
        .entryList({QString::fromLatin1(kSessionMarkerPrefix) + u'*'},
                   QDir::Files | QDir::System | QDir::Hidden);
}

// Creates a new empty file; never opens an existing one or follows a link.
bool createNew(const QString& path) {
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
#else
    QFile file(path);
    return !file.exists() && file.open(QIODevice::NewOnly | QIODevice::WriteOnly);
#endif
}

} // namespace

SessionMarker::~SessionMarker() {
    remove();
}

bool SessionMarker::create(const QString& collectionDir) {
    remove();
    const QString path = QDir(collectionDir).filePath(markerName(QCoreApplication::applicationPid()));
    // Whatever already has this process's marker name is not this process's: an earlier process
    // of the same number, or a link planted to make the program overwrite its target. Removing
    // a link removes the link alone.
    QFile::remove(path);
    if (!createNew(path)) {
        return false;
    }
    m_path = path;
    return true;
}

void SessionMarker::remove() {
    if (!m_path.isEmpty()) {
        QFile::remove(m_path);
        m_path.clear();
    }
}

bool processAlive(qint64 pid) {
#ifdef Q_OS_UNIX
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
#else
    Q_UNUSED(pid);
    return false;
#endif
}

QStringList staleSessionMarkers(const QString& collectionDir) {
    QStringList stale;
    const qint64 self = QCoreApplication::applicationPid();
    for (const QString& name : markerNames(collectionDir)) {
        const qint64 pid = markerPid(name);
        if (pid != 0 && pid != self && !processAlive(pid)) {
            stale << QDir(collectionDir).filePath(name);
        }
    }
    return stale;
}

int otherCopiesOpen(const QString& collectionDir) {
    int copies = 0;
    const qint64 self = QCoreApplication::applicationPid();
    for (const QString& name : markerNames(collectionDir)) {
        const qint64 pid = markerPid(name);
        if (pid != 0 && pid != self && processAlive(pid)) {
            ++copies;
        }
    }
    return copies;
}

} // namespace tunarium
