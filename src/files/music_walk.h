// The walk over the folders and files a scan is given: every audio file under a folder, at any
// depth, a folder at a time. Files and folders are known by their canonical path (links
// resolved), so that a file reached twice (through a link, or a folder named twice) is listed
// once, and a link back to a folder above it ends there instead of going round for ever.
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tunarium {

struct WalkedFile {
    QString path;        // canonical
    qint64 modified = 0; // seconds since the epoch
};

struct SkippedFile {
    QString path;
    QString reason; // follows the path: "is a link in a loop"
};

class MusicWalk {
public:
    // `paths`: folders to walk and files to take as they are.
    explicit MusicWalk(const QStringList& paths);

    // Lists the next folder (or the files named), adding its audio files to files() and its
    // folders to those still to list; false when nothing is left to list.
    bool listNext();
    bool done() const { return m_folders.isEmpty() && m_named.isEmpty(); }
    // The folder listed last.
    const QString& currentFolder() const { return m_current; }
    // The files found and not yet taken; takeFiles() hands them over.
    QVector<WalkedFile> takeFiles();
    bool hasFiles() const { return !m_files.isEmpty(); }
    // What was passed over, with why.
    const QVector<SkippedFile>& skipped() const { return m_skipped; }
    // The folders the walk went into (canonical), and those still to go.
    qint64 foldersListed() const { return m_listed; }
    qint64 foldersKnown() const { return m_listed + m_folders.size(); }
    // The folders named (canonical), under which a song's file may be found missing.
    const QStringList& roots() const { return m_roots; }
    // Files whose name is of no audio format, passed over without a word (pictures, playlists).
    qint64 otherFiles() const { return m_other; }

private:
    void takeNamed(const QString& path);
    void addFile(const QString& canonical, qint64 modified);
    void enter(const QString& shown, const QString& canonical);

    QStringList m_named;
    QStringList m_folders; // canonical, to list (the last one next)
    QSet<QString> m_seenFolders;
    QSet<QString> m_seenFiles;
    QStringList m_roots;
    QVector<WalkedFile> m_files;
    QVector<SkippedFile> m_skipped;
    QString m_current;
    qint64 m_listed = 0;
    qint64 m_other = 0;
};

// Whether `path` lies in one of the folders `roots` (or is one of them).
bool isUnder(const QString& path, const QStringList& roots);

} // namespace tunarium
