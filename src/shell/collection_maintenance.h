// Whole-collection maintenance on the store: SQLite's integrity check, the full check of the
// command line and the File Manager's Fix, compacting, releasing the write-ahead log, and
// rebuilding the keys.
#pragma once

#include "data/database.h"
#include "data/session_marker.h"
#include "shell/collection_repair.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

namespace tunarium {

// SQLite's own integrity check over the whole collection file. False when the file is damaged;
// `problems` receives what SQLite found (a few lines at most).
bool collectionIsSound(Store& store, QStringList* problems = nullptr);

// Told as a long check goes on: what is being checked (the collection file, then each table by
// its label), the step's place (1-based) among `steps`. Called when a step begins and then about
// once a second while it runs.
using CheckProgress = std::function<void(const QString& what, int step, int steps)>;

// The checks of the command line: the pages of the whole file, then every table (the count kept
// for it and, with Full, its keys against its records and its folded key columns). Damage found
// is described in `problems`, a line per finding that starts with the table it concerns ("The
// collection file" for the file as a whole). False when anything is damaged. Tables whose keys were
// folded by an earlier version are brought up to date first, as opening them would.
bool checkCollection(Database& db, QStringList& problems, FileCheck depth = FileCheck::Quick,
                     const CheckProgress& progress = {});

// What the File Manager's Fix did.
struct FixResult {
    enum class Outcome {
        Sound,          // no damage found
        KeysRebuilt,    // the file was sound; the keys of `rebuilt` were damaged and are rebuilt
        KeysFailed,     // rebuilding the keys of `failedTable` failed with `error`
        NeedsExclusive, // the file is damaged, but another copy of the program has it open
        Salvaged,       // the file was damaged: `repair` tells what was saved (repair->repaired)
        NotOurs,        // another program's file, a newer version's, or a read-only collection: left
                        // as it is (`error` says)
    };
    Outcome outcome = Outcome::Sound;
    QList<TableId> rebuilt;
    TableId failedTable = TableId::Tunarium;
    StoreError error;
    std::optional<RepairReport> repair;
};

// The Fix over some tables: when the file is sound, the tables' keys are checked and rebuilt
// where they are damaged; when the file itself is damaged, every readable record of the
// collection is saved into a fresh file and the damaged one kept beside it (rebuildCollection),
// which needs the collection to itself. `store` may be closed, or open on the collection. A file
// that is another program's database, or a collection of a newer version, is not repaired: it is
// left exactly as it is.
FixResult fixCollection(Store& store, const QString& dir, const QList<TableId>& tables);

// Rebuilds the keys of every table. Stops at the first failure.
StoreError rebuildAllKeys(Database& db);

// Removes the free space of deleted records from the file and shrinks it. Needs the collection
// to itself; no transaction may be open.
StoreError compactCollection(Store& store);

// Copies the write-ahead log into the collection file and empties it, releasing what the log
// holds. Needs the collection to itself.
StoreError releaseCollection(Store& store);

} // namespace tunarium
