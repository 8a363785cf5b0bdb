// Whole-collection maintenance on the store: SQLite's integrity check, the full check of the
// command line and the File Manager's Fix, compacting, releasing the write-ahead log, and
// rebuilding the keys.
#pragma once

#include "data/database.h"
#include "data/session_marker.h"

#include <QStringList>

namespace tunarium {


// SQLite's own integrity check over the whole collection file. False when the file is damaged;
// `problems` receives what SQLite found (a few lines at most).
bool collectionIsSound(Store& store, QStringList* problems = nullptr);

// The checks of the command line and the File Manager: the file's integrity, then every table's
// keys. Damage found is described in `problems`. False when anything is damaged.
bool checkCollection(Database& db, QStringList& problems);

// Rebuilds the keys of every table. Stops at the first failure.
StoreError rebuildAllKeys(Database& db);

// Removes the free space of deleted records from the file and shrinks it. Needs the collection
// to itself; no transaction may be open.
StoreError compactCollection(Store& store);

// Copies the write-ahead log into the collection file and empties it, releasing what the log
// holds. Needs the collection to itself.
StoreError releaseCollection(Store& store);

} // namespace tunarium
