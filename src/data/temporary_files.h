// The temporary file a writer makes beside the file it replaces (an export's lines, written under
// a passing name and renamed over the target when whole), and the sweep of those that a copy of
// the program killed while writing left behind. A writer holds a lock on its temporary while it
// writes; the kernel lets go of it when the writer ends, however it ends, so a temporary nobody
// holds is one nobody will finish.
#pragma once

#include <QString>

namespace tunarium {

// The start of every temporary name for `target` (an absolute path): the target's folder, a dot
// and its name, then ".tmp-" ("/music/.songs.csv.tmp-"); a number follows.
QString temporaryNameStem(const QString& target);

// Whether `fileName` (a name in the target's folder, without the folder) is a temporary of
// `target`: the stem's name followed by digits only.
bool isTemporaryOf(const QString& fileName, const QString& target);

// Marks the temporary open on `fd` as being written; false when the lock cannot be taken.
bool holdTemporary(int fd);

// Removes the temporaries of `target` that no writer holds and that have not been written for a
// minute (a writer takes its lock just after it makes the file). Returns how many were removed.
int sweepDeadTemporaries(const QString& target);

} // namespace tunarium
