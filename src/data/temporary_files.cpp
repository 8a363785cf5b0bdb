// Temporary files beside a target, and the sweep of those left behind.
#include "data/temporary_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tunarium {

namespace {

// A temporary written less recently than this, and held by nobody, is left over.
constexpr qint64 kDeadAfterSeconds = 60;

const QString kTemporaryMark = QStringLiteral(".tmp-");

} // namespace

QString temporaryNameStem(const QString& target) {
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + kTemporaryMark;
}

bool isTemporaryOf(const QString& fileName, const QString& target) {
    const QString prefix = u'.' + QFileInfo(target).fileName() + kTemporaryMark;
    if (!fileName.startsWith(prefix) || fileName.size() == prefix.size()) {
        return false;
    }
    for (qsizetype i = prefix.size(); i < fileName.size(); ++i) {
        if (!fileName.at(i).isDigit() || fileName.at(i).unicode() > 127) {
            return false;
        }
    }
    return true;
}

bool holdTemporary(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

int sweepDeadTemporaries(const QString& target) {
    const QFileInfo info(target);
    const QDir dir = info.absoluteDir();
    const QDateTime deadBefore = QDateTime::currentDateTimeUtc().addSecs(-kDeadAfterSeconds);
    int removed = 0;
    const QString pattern = u'.' + info.fileName() + kTemporaryMark + u'*';
    for (const QFileInfo& f : dir.entryInfoList({pattern}, QDir::Files | QDir::Hidden | QDir::System)) {
        if (f.isSymLink() || !isTemporaryOf(f.fileName(), target) || f.lastModified().toUTC() > deadBefore) {
            continue;
        }
        const QByteArray path = QFile::encodeName(f.absoluteFilePath());
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        // Held while the lock is taken here: no writer can take it meanwhile, nor is one writing.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.constData()) == 0) {
            ++removed;
        }
        ::close(fd);
    }
    return removed;
}

} // namespace tunarium
