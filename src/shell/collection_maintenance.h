// Whole-collection maintenance on the store: who else has the collection open, SQLite's
// integrity check, compacting, releasing the write-ahead log, and rebuilding the keys.
#pragma once

#include "data/database.h"

#include <QStringList>

namespace tunarium {

// How many other running copies of the program have the collection in `dir` open (each copy
// leaves a session marker beside the collection while it has it open).
int otherCopiesOpen(const QString& dir);

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
