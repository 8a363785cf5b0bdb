// The walk over a scan's folders.
#include "files/music_walk.h"

#include "files/audio_tags.h"

#include <QDir>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace tunarium {

namespace {

// Why a link leads nowhere: round in a loop, or to nothing.
QString brokenLink(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 && errno == ELOOP) {
        return QStringLiteral("is a link in a loop");
    }
    return QStringLiteral("is a link to nothing");
}

// The file's modification time in seconds since the epoch, as QFileInfo::lastModified() gives it
// (whole milliseconds, cut toward zero to seconds), from one stat() of the file and without the
// conversion to and from local time that a QDateTime makes.
qint64 modifiedOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return QFileInfo(path).lastModified().toSecsSinceEpoch();
    }
    const qint64 msecs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return msecs / 1000;
}

} // namespace

bool isUnder(const QString& path, const QStringList& roots) {
    for (const QString& root : roots) {
        if (path == root || (path.startsWith(root) && (root.endsWith(u'/') || path.at(root.size()) == u'/'))) {
            return true;
        }
    }
    return false;
}

MusicWalk::MusicWalk(const QStringList& paths) {
    // Named paths are taken in the order given.
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
        m_named << *it;
    }
}

QVector<WalkedFile> MusicWalk::takeFiles() {
    QVector<WalkedFile> out;
    out.swap(m_files);
    return out;
}

bool MusicWalk::listNext() {
    if (!m_named.isEmpty()) {
        takeNamed(m_named.takeLast());
        return true;
    }
    if (m_folders.isEmpty()) {
        return false;
    }
    const QString folder = m_folders.takeLast();
    m_current = folder;
    ++m_listed;
    QDir dir(folder);
    if (!dir.exists() || !dir.isReadable()) {
        m_skipped << SkippedFile{folder, QStringLiteral("is a folder that cannot be read")};
        return true;
    }
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    QStringList below;
    for (const QFileInfo& entry : entries) {
        const QString shown = entry.absoluteFilePath();
        if (entry.isSymLink()) {
            struct stat st {};
            const bool leads = ::stat(QFile::encodeName(shown).constData(), &st) == 0;
            const QString target = leads ? entry.canonicalFilePath() : QString();
            if (target.isEmpty()) {
                // A dangling link is told when its name is a song's; one in a loop always.
                const QString reason = brokenLink(shown);
                if (audioFormatOfName(shown) != AudioFormat::None || reason.contains(QLatin1String("loop"))) {
                    m_skipped << SkippedFile{shown, reason};
                }
                continue;
            }
            const QFileInfo resolved(target);
            if (resolved.isDir()) {
                if (folder == target || folder.startsWith(target + u'/')) {
                    m_skipped << SkippedFile{shown, QStringLiteral("is a link in a loop (back to %1)").arg(target)};
                    continue;
                }
                below << target;
                continue;
            }
            if (audioFormatOfName(shown) == AudioFormat::None && audioFormatOfName(target) == AudioFormat::None) {
                ++m_other;
                continue;
            }
            if (!resolved.isFile()) {
                m_skipped << SkippedFile{shown, QStringLiteral("is not a regular file")};
                continue;
            }
            addFile(target, modifiedOf(target));
            continue;
        }
        if (entry.isDir()) {
            below << shown;
            continue;
        }
        if (audioFormatOfName(shown) == AudioFormat::None) {
            ++m_other;
            continue;
        }
        if (!entry.isFile()) {
            m_skipped << SkippedFile{shown, QStringLiteral("is not a regular file")};
            continue;
        }
        // The folder is known by its canonical path and the file is no link: its path is canonical.
        addFile(shown, modifiedOf(shown));
    }
    // Listed last first: the folders are gone through in name order.
    std::sort(below.begin(), below.end(), std::greater<>());
    for (const QString& sub : below) {
        enter(sub, QFileInfo(sub).canonicalFilePath());
    }
    return true;
}

void MusicWalk::takeNamed(const QString& given) {
    const QFileInfo info(given);
    const QString shown = info.absoluteFilePath();
    if (!info.exists()) {
        if (info.isSymLink()) {
            m_skipped << SkippedFile{shown, brokenLink(shown)};
        } else {
            m_skipped << SkippedFile{shown, QStringLiteral("does not exist")};
        }
        return;
    }
    const QString canonical = info.canonicalFilePath();
    if (info.isDir()) {
        if (!m_roots.contains(canonical)) {
            m_roots << canonical;
        }
        enter(shown, canonical);
        return;
    }
    if (!info.isFile()) {
        m_skipped << SkippedFile{shown, QStringLiteral("is not a regular file")};
        return;
    }
    if (audioFormatOfName(canonical) == AudioFormat::None && audioFormatOfName(shown) == AudioFormat::None) {
        m_skipped << SkippedFile{shown, QStringLiteral("is not an audio file")};
        return;
    }
    addFile(canonical, modifiedOf(canonical));
}

void MusicWalk::enter(const QString& shown, const QString& canonical) {
    if (canonical.isEmpty()) {
        m_skipped << SkippedFile{shown, QStringLiteral("is a folder that cannot be read")};
        return;
    }
    // A folder met again (named twice, or reached through a link) is listed once.
    if (m_seenFolders.contains(canonical)) {
        return;
    }
    m_seenFolders.insert(canonical);
    m_folders << canonical;
}

void MusicWalk::addFile(const QString& canonical, qint64 modified) {
    if (m_seenFiles.contains(canonical)) {
        return;
    }
    m_seenFiles.insert(canonical);
    m_files << WalkedFile{canonical, modified};
}

} // namespace tunarium
