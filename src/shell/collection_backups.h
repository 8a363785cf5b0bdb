// Copies of the whole collection that the user asks for, and reading one back.
#pragma once

#include "data/store.h"
#include "data/store_backups.h"

namespace tunarium {

// A dated name for a backup of `kind` in the collection directory `dir`.
QString datedBackupPath(const QString& dir, const QString& kind);

// Writes a whole copy of the open collection to `path`, which must not exist yet (a backup never
// overwrites a file); with an empty `path` to a dated file in the collection directory, which
// is never rotated away. `written` receives the file's path.
StoreError backupCollection(Store& store, const QString& path, QString& written);

// Replaces the collection in `dir` with the collection file at `path`. The current collection is
// kept first as a "restore" backup; a file that is not a sound collection is refused unchanged;
// no other copy of the program may have the collection open. `store` is open on the restored
// collection afterwards.
StoreError restoreCollection(Store& store, const QString& dir, const QString& path);

} // namespace tunarium
