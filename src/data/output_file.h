// The one way the program writes a file of its own: reports, labels and binder pages as PDF, the
// preview's PDF, a printer's output file, exports and backups.
//
// An output file never takes the place of a collection's file: the collections this program has
// open (and the one named by the caller) are compared by identity (device and inode, links
// resolved) and, for the files SQLite makes only while it works (the log, its index, the
// journal), by name in the collection's folder. A target that is a folder, a block device or a
// socket is refused with its own message; a fifo or a character device (a pipe, /dev/null,
// /dev/stdout) is written into, never replaced. Anything else is written under an unguessable
// temporary name in the target's folder, every write, the flush, fsync and the close checked, and
// given the target's name only when whole: a failure leaves the old file (or nothing) behind.
//
// While it is written the temporary file holds a kernel lock; one left by a copy of the program
// that was killed holds none, and is removed by the next output file written in that folder.
#pragma once

#include <QIODevice>
#include <QString>

namespace tunarium {

// The collection file (tunarium.db) of every collection this program has open. The store enters
// its file when it opens one and leaves it when it closes; entries are counted.
void enterOpenCollection(const QString& collectionFile);
void leaveOpenCollection(const QString& collectionFile);

// True when `path` (links resolved) is a collection's file or one SQLite keeps beside it
// (-wal, -shm, -journal): the collection in `collectionDir` when one is given, or any collection
// this program has open.
bool isCollectionFile(const QString& path, const QString& collectionDir = {});

// Why `path` cannot be written as an output file, in a sentence naming it; empty when it can.
// Nothing is created or opened.
QString outputFileRefusal(const QString& path, const QString& collectionDir = {});

class OutputFile : public QIODevice {
public:
    enum class Existing {
        Replace, // an existing file is replaced when the new one is whole
        Refuse,  // the target must not exist (a backup never overwrites a file)
    };

    explicit OutputFile(QString path, Existing existing = Existing::Replace, QString collectionDir = {});
    ~OutputFile() override; // discards what was not committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Checks the target and creates the temporary file. False, with error(), when it cannot be.
    bool begin();
    // The file being written: the temporary, or the fifo or device itself. For a writer that
    // writes it through means of its own (SQLite's backup), which must have closed it before
    // commit().
    const QString& writtenPath() const { return m_written; }
    // The target as written: links resolved.
    const QString& target() const { return m_target; }
    // Whether the file goes under a temporary name that replaces the target at the end (not
    // into a pipe or a device directly).
    bool replacesTarget() const { return m_temporary; }
    // The errno of the first write that failed since begin() or the last clearWriteError(); a
    // failed write fails the commit too.
    int writeError() const { return m_writeErrno; }
    // For a writer that writes again what could not be written (the user's Retry).
    void clearWriteError() { m_writeErrno = 0; }
    // The file is whole: flushed, synced, closed and given its name (the folder synced too).
    // False, with error(), when anything failed; then nothing of it is left.
    bool commit();
    // Abandons the file: the temporary goes, the target stays as it was.
    void discard();
    // Why the last step failed, naming the file.
    const QString& error() const { return m_error; }
    // The errno of the last failure, 0 when there was none or it was a refusal.
    int errorNumber() const { return m_errno; }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool fail(int err, const QString& what);
    bool commitTemporary();

    QString m_path;
    Existing m_existing;
    QString m_collectionDir;
    QString m_target;
    QString m_written;
    int m_fd = -1;
    bool m_temporary = false;
    bool m_committed = false;
    int m_writeErrno = 0;
    int m_errno = 0;
    QString m_error;
};

// The temporary name pattern of output files, for the sweep of ones left behind.
bool isOutputTemporaryName(const QString& fileName);

} // namespace tunarium
