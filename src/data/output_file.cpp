// The one way the program writes a file of its own.
#include "data/output_file.h"

#include "data/app_paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tunarium {

namespace {

// The files SQLite keeps beside a collection while it works on it.
constexpr const char* kCollectionSuffixes[] = {"", "-wal", "-shm", "-journal"};

// A leftover temporary younger than this may be one another copy has only just created and not
// yet locked.
constexpr qint64 kLeftoverAgeSeconds = 60;

// Never destroyed: a store made static closes its collection after the program's other statics
// have gone.
QMutex& openCollectionsMutex() {
    static auto* mutex = new QMutex;
    return *mutex;
}

QHash<QString, int>& openCollections() {
    static auto* files = new QHash<QString, int>;
    return *files;
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

QString systemError(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// A path with its folder's own links and dots resolved; the file's name as given.
QString withCanonicalFolder(const QString& path) {
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + u'/' + info.fileName();
}

bool sameFile(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(encoded(a).constData(), &sa) == 0 && ::stat(encoded(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool isFileOfCollection(const QString& target, const QString& collectionFile) {
    const QString collection = withCanonicalFolder(collectionFile);
    for (const char* suffix : kCollectionSuffixes) {
        const QString file = collection + QLatin1String(suffix);
        // Looked at by name and by stat only, never opened: a descriptor of the collection's
        // file opened and closed here would drop the locks the collection holds on it.
        if (target.compare(file, Qt::CaseInsensitive) == 0 || sameFile(target, file)) {
            return true;
        }
    }
    return false;
}

QString fileBehind(const QString& path) {
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops) {
        info.setFile(info.symLinkTarget());
    }
    return info.absoluteFilePath();
}

const QRegularExpression& temporaryPattern() {
    static const QRegularExpression pattern(QStringLiteral("^\\..+\\.tunarium-[0-9a-f]{16}$"));
    return pattern;
}

QString temporaryName(const QString& target) {
    const QFileInfo info(target);
    const quint64 word = QRandomGenerator::system()->generate64();
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".tunarium-") +
           QStringLiteral("%1").arg(word, 16, 16, QLatin1Char('0'));
}

// Temporaries of output files in `folder` that no living writer holds: a copy of the program
// killed while writing one left it, and nothing will finish it. Then what SQLite left beside one
// of them.
void sweepLeftovers(const QString& folder, const QString& own) {
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral(".*.tunarium-*")}, QDir::Files | QDir::Hidden);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        if (path == own || !isOutputTemporaryName(name)) {
            continue;
        }
        const int fd = ::open(encoded(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && now - st.st_mtime >= kLeftoverAgeSeconds &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlink(encoded(path).constData());
        }
        ::close(fd);
    }
    for (const QString& name : names) {
        for (const char* suffix : {"-journal", "-wal", "-shm"}) {
            if (name.endsWith(QLatin1String(suffix))) {
                const QString base = name.chopped(static_cast<qsizetype>(std::strlen(suffix)));
                if (isOutputTemporaryName(base) && !dir.exists(base)) {
                    ::unlink(encoded(dir.filePath(name)).constData());
                }
            }
        }
    }
}

bool syncFolder(const QString& folder) {
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return synced;
}

// Gives `from` the name `to` only when no file has it; false with errno otherwise.
bool renameWithoutReplacing(const QString& from, const QString& to) {
    if (::renameat2(AT_FDCWD, encoded(from).constData(), AT_FDCWD, encoded(to).constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system without the flag: a second name made, then the first one taken away.
    if (::link(encoded(from).constData(), encoded(to).constData()) != 0) {
        return false;
    }
    ::unlink(encoded(from).constData());
    return true;
}

// Why `path` cannot be an output file; `err` is the system's word for it when there is one (no
// folder), 0 when it is a rule of ours.
QString refusalOf(const QString& path, const QString& collectionDir, int& err) {
    err = 0;
    if (path.trimmed().isEmpty()) {
        return QStringLiteral("No name was given for the file.");
    }
    const QString shown = QDir::toNativeSeparators(path);
    const QString target = fileBehind(path);
    if (isCollectionFile(target, collectionDir)) {
        return QStringLiteral("%1 holds the collection itself; writing it would destroy the collection. "
                              "Please choose another file.")
            .arg(shown);
    }
    struct stat st {};
    if (::stat(encoded(target).constData(), &st) != 0) {
        const QFileInfo info(target);
        if (!QFileInfo(info.absolutePath()).isDir()) {
            err = ENOENT;
            return QStringLiteral("%1 cannot be written: the folder %2 does not exist.")
                .arg(shown, QDir::toNativeSeparators(info.absolutePath()));
        }
        return {};
    }
    if (S_ISDIR(st.st_mode)) {
        return QStringLiteral("%1 is a folder, not a file.").arg(shown);
    }
    if (S_ISBLK(st.st_mode)) {
        return QStringLiteral("%1 is a disk device, not a file.").arg(shown);
    }
    if (S_ISSOCK(st.st_mode)) {
        return QStringLiteral("%1 is a socket, not a file.").arg(shown);
    }
    return {};
}

} // namespace

void enterOpenCollection(const QString& collectionFile) {
    QMutexLocker lock(&openCollectionsMutex());
    ++openCollections()[withCanonicalFolder(collectionFile)];
}

void leaveOpenCollection(const QString& collectionFile) {
    QMutexLocker lock(&openCollectionsMutex());
    auto& files = openCollections();
    const auto found = files.find(withCanonicalFolder(collectionFile));
    if (found != files.end() && --found.value() <= 0) {
        files.erase(found);
    }
}

bool isCollectionFile(const QString& path, const QString& collectionDir) {
    const QString target = withCanonicalFolder(fileBehind(path));
    if (!collectionDir.isEmpty() && isFileOfCollection(target, collectionFilePath(collectionDir))) {
        return true;
    }
    QMutexLocker lock(&openCollectionsMutex());
    const auto& files = openCollections();
    return std::any_of(files.keyBegin(), files.keyEnd(),
                       [&target](const QString& file) { return isFileOfCollection(target, file); });
}

QString outputFileRefusal(const QString& path, const QString& collectionDir) {
    int err = 0;
    return refusalOf(path, collectionDir, err);
}

bool isOutputTemporaryName(const QString& fileName) {
    return temporaryPattern().match(fileName).hasMatch();
}

OutputFile::OutputFile(QString path, Existing existing, QString collectionDir)
    : m_path(std::move(path)), m_existing(existing), m_collectionDir(std::move(collectionDir)) {}

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::fail(int err, const QString& what) {
    m_errno = err;
    m_error = what;
    return false;
}

bool OutputFile::begin() {
    discard();
    m_error.clear();
    m_errno = 0;
    m_writeErrno = 0;
    m_committed = false;
    const QString shown = QDir::toNativeSeparators(m_path);
    int refusedErr = 0;
    if (QString refusal = refusalOf(m_path, m_collectionDir, refusedErr); !refusal.isEmpty()) {
        return fail(refusedErr, refusal);
    }
    m_target = fileBehind(m_path);
    struct stat old {};
    const bool exists = ::stat(encoded(m_target).constData(), &old) == 0;
    if (exists && m_existing == Existing::Refuse) {
        return fail(EEXIST, QStringLiteral("%1 exists already.").arg(shown));
    }
    if (exists && (S_ISFIFO(old.st_mode) || S_ISCHR(old.st_mode))) {
        // A pipe or a device takes what is written; there is no file to replace.
        m_fd = ::open(encoded(m_target).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0) {
            const int err = errno;
            return fail(err, QStringLiteral("%1 cannot be written: %2").arg(shown, systemError(err)));
        }
        m_written = m_target;
        m_temporary = false;
        return open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    // Created anew, never through a link or over a file that is there: a name taken is passed by.
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        const QString name = temporaryName(m_target);
        m_fd = ::open(encoded(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_written = name;
        } else if (errno != EEXIST) {
            const int err = errno;
            return fail(err, QStringLiteral("%1 cannot be written: %2").arg(shown, systemError(err)));
        }
    }
    if (m_fd < 0) {
        return fail(EEXIST, QStringLiteral("%1 cannot be written: no temporary name was free.").arg(shown));
    }
    m_temporary = true;
    // Held until the file is whole or abandoned: a temporary nobody holds is a leftover.
    (void)::flock(m_fd, LOCK_EX | LOCK_NB);
    if (exists) {
        // The new file is the old one's successor: it may be read by whom the old one could.
        (void)::fchmod(m_fd, old.st_mode & 07777);
    }
    sweepLeftovers(QFileInfo(m_target).absolutePath(), m_written);
    return open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 OutputFile::readData(char* data, qint64 maxSize) {
    (void)data;
    (void)maxSize;
    return -1;
}

qint64 OutputFile::writeData(const char* data, qint64 size) {
    if (m_fd < 0 || m_writeErrno != 0) {
        return -1;
    }
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(m_fd, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            m_writeErrno = n < 0 ? errno : EIO;
            setErrorString(systemError(m_writeErrno));
            // What reached the file is told, so that a writer trying again does not repeat it.
            return done > 0 ? done : -1;
        }
        done += n;
    }
    return done;
}

bool OutputFile::commit() {
    const QString shown = QDir::toNativeSeparators(m_path);
    if (m_fd < 0) {
        return m_error.isEmpty() ? fail(EBADF, QStringLiteral("%1 was not begun.").arg(shown)) : false;
    }
    QIODevice::close();
    int err = m_writeErrno;
    // A device or a pipe may not be synced; a file must be.
    if (err == 0 && ::fsync(m_fd) != 0 && (m_temporary || (errno != EINVAL && errno != EROFS))) {
        err = errno;
    }
    if (::close(m_fd) != 0 && err == 0) {
        err = errno;
    }
    m_fd = -1;
    if (err != 0) {
        fail(err, QStringLiteral("%1 could not be written: %2").arg(shown, systemError(err)));
        discard();
        return false;
    }
    if (m_temporary && !commitTemporary()) {
        discard();
        return false;
    }
    m_committed = true;
    m_temporary = false;
    return true;
}

bool OutputFile::commitTemporary() {
    const QString shown = QDir::toNativeSeparators(m_path);
    // Checked again at the last moment: the collection may have been opened since, or a name
    // SQLite makes beside it may have appeared.
    if (isCollectionFile(m_target, m_collectionDir)) {
        return fail(0, outputFileRefusal(m_path, m_collectionDir));
    }
    const bool renamed =
        m_existing == Existing::Refuse
            ? renameWithoutReplacing(m_written, m_target)
            : std::rename(encoded(m_written).constData(), encoded(m_target).constData()) == 0;
    if (!renamed) {
        const int err = errno;
        return fail(err, err == EEXIST ? QStringLiteral("%1 exists already.").arg(shown)
                                       : QStringLiteral("%1 could not be written: %2").arg(shown, systemError(err)));
    }
    m_written = m_target;
    // The file is whole under its name; a folder that cannot be synced (some file systems refuse)
    // only leaves its entry to the next sync of the disk.
    (void)syncFolder(QFileInfo(m_target).absolutePath());
    return true;
}

void OutputFile::discard() {
    if (isOpen()) {
        QIODevice::close();
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (m_temporary && !m_committed && !m_written.isEmpty()) {
        // Only the temporary this file made is removed, and what SQLite kept beside it.
        for (const char* suffix : kCollectionSuffixes) {
            ::unlink(encoded(m_written + QLatin1String(suffix)).constData());
        }
    }
    m_temporary = false;
    m_written.clear();
}

} // namespace tunarium
