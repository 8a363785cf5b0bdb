// Copies of the whole collection that the user asks for, and reading one back.
#pragma once

#include "data/store.h"
#include "data/store_backups.h"

namespace tunarium {

// A dated name for a backup of `kind` in the collection directory `dir`.
QString datedBackupPath(const QString& dir, const QString& kind);

// Writes a whole copy of the open collection to `path`, which must not exist yet (a backup never
// overwrites a file); with an empty `path` to a dated file in the collection directory, which
// is never rotated away. The copy is read back (SQLite's quick check): a copy of a damaged
// collection is kept under its name with "-damaged" before the extension and the error (36)
// says so; a copy that cannot be read back is removed. `written` receives the path of the file
// left behind, empty when there is none.
StoreError backupCollection(Store& store, const QString& path, QString& written);

// Replaces the collection in `dir` with the collection file at `path`, which is only read (never
// written, nothing made beside it: it may lie on a read-only disc). Refused before anything is
// touched: a missing file, the collection itself (by any name or link), a file that is not a
// sound collection this version reads (a newer one gives the newer-version words, 47), another
// copy of the program having the collection open, a read-only collection. A readable collection
// is kept first as a "restore" backup and replaced in one transaction; one that cannot be read
// (another program's file, a truncated or damaged one, a newer one) is kept aside, with its log,
// under the dated name of a "restore" backup, and the copy takes its place. `store` is open on the
// restored collection afterwards.
StoreError restoreCollection(Store& store, const QString& dir, const QString& path);

} // namespace tunarium
