// The files of a repair: the fresh collection is built in a folder beside the damaged one and
// put in its place so that a crash at any moment leaves a collection file under its own name.
//
// The damaged file is never moved before the fresh one is complete and on the disk: the fresh
// file is synced, then a note naming the damaged file's dated name is written and synced, then
// the damaged file gets that second name (a hard link, else a synced copy), and only then does
// the fresh file replace `tunarium.db` in one rename. A repair interrupted before the note is
// undone at the next open (the folder goes; the damaged file was never touched); one interrupted
// after it is finished. A lock the kernel releases with the process keeps a running repair apart
// from an open by another copy.
#pragma once

#include <QString>

namespace tunarium {

// The folder in the collection directory where a repair builds the fresh collection.
QString repairFolder(const QString& collectionDir);

class RepairSwap {
public:
    RepairSwap() = default;
    ~RepairSwap();
    RepairSwap(const RepairSwap&) = delete;
    RepairSwap& operator=(const RepairSwap&) = delete;

    // Takes the repair folder of `collectionDir` (a leftover one is finished or undone first).
    // False with `error` when another copy of the program is repairing the collection or the
    // folder cannot be made.
    bool begin(const QString& collectionDir, QString& error);
    // Where the fresh collection is built (a collection directory of its own).
    QString freshDir() const;
    // Puts the fresh collection, complete and closed, in place of the damaged one, which is kept
    // beside it under `keptAs` (a name in the collection directory). False with `error` when it
    // could not; before the note is written nothing of the collection has changed.
    bool commit(QString& keptAs, QString& error);
    // Gives the repair up: the fresh file and the folder go, the damaged file stays as it was.
    void abandon();

private:
    QString m_dir;
    int m_lock = -1;
};

// Finishes or undoes a repair that ended before its folder was removed (the process was killed,
// the machine stopped); a repair still running in another process is left alone. Every open of
// a collection calls it first.
void settleLeftoverRepair(const QString& collectionDir);

} // namespace tunarium
