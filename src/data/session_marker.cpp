// Session markers beside the collection.
#include "data/session_marker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace tunarium {

namespace {

QString ownMarkerName() {
    return QString::fromLatin1(kSessionMarkerPrefix) + QString::number(QCoreApplication::applicationPid());
}

QStringList markerNames(const QString& collectionDir) {
    QStringList names = QDir(collectionDir)
                            .entryList({QString::fromLatin1(kSessionMarkerPrefix) + u'*'},
                                       QDir::Files | QDir::System | QDir::Hidden);
    names.removeAll(ownMarkerName());
    // A marker's name ends in a process number; other names are no marker of ours.
    const auto notMarker = [](const QString& name) {
        bool number = false;
        name.mid(int(sizeof(kSessionMarkerPrefix)) - 1).toLongLong(&number);
        return !number;
    };
    names.removeIf(notMarker);
    return names;
}

#ifdef Q_OS_UNIX
int openNoFollow(const QByteArray& path, int flags, mode_t mode = 0) {
    int fd = -1;
    do {
        fd = ::open(path.constData(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Whether a running process holds the marker at `path`. A name that is no file of ours (a link,
// a name gone since the folder was read) is held by nobody and is left alone.
enum class Holder { Held, Free, NotAMarker };
Holder holderOf(const QString& path) {
    const int fd = openNoFollow(QFile::encodeName(path), O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        return Holder::NotAMarker;
    }
    int rc = -1;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    const Holder holder = rc == 0 ? Holder::Free : errno == EWOULDBLOCK ? Holder::Held : Holder::NotAMarker;
    ::close(fd); // lets our own test lock go with it
    return holder;
}
#endif

} // namespace

SessionMarker::~SessionMarker() {
    remove();
}

bool SessionMarker::create(const QString& collectionDir) {
    remove();
    const QDir dir(collectionDir);
    const QString path = dir.filePath(ownMarkerName());
#ifdef Q_OS_UNIX
    // Made and locked under a name of its own, then renamed over whatever has the marker's name
    // (an earlier process of the same number, or a link planted to make the program overwrite its
    // target: a rename replaces the link, never what it points to).
    const QString fresh =
        dir.filePath(QStringLiteral(".%1.new-%2").arg(ownMarkerName()).arg(QRandomGenerator::system()->generate()));
    const QByteArray freshName = QFile::encodeName(fresh);
    const int fd = openNoFollow(freshName, O_RDONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) {
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        std::rename(freshName.constData(), QFile::encodeName(path).constData()) != 0) {
        ::close(fd);
        ::unlink(freshName.constData());
        return false;
    }
    m_fd = fd;
#else
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::NewOnly | QIODevice::WriteOnly)) {
        return false;
    }
#endif
    m_path = path;
    return true;
}

void SessionMarker::remove() {
    if (!m_path.isEmpty()) {
        QFile::remove(m_path);
        m_path.clear();
    }
#ifdef Q_OS_UNIX
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
#endif
}

QStringList staleSessionMarkers(const QString& collectionDir) {
    QStringList stale;
#ifdef Q_OS_UNIX
    for (const QString& name : markerNames(collectionDir)) {
        const QString path = QDir(collectionDir).filePath(name);
        if (holderOf(path) == Holder::Free) {
            stale << path;
        }
    }
#else
    Q_UNUSED(collectionDir);
#endif
    return stale;
}

int otherCopiesOpen(const QString& collectionDir) {
    int copies = 0;
#ifdef Q_OS_UNIX
    for (const QString& name : markerNames(collectionDir)) {
        copies += holderOf(QDir(collectionDir).filePath(name)) == Holder::Held ? 1 : 0;
    }
#else
    copies = static_cast<int>(markerNames(collectionDir).size());
#endif
    return copies;
}

} // namespace tunarium
