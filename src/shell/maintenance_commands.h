// The maintenance commands of the command line, without a window: create album entries with its
// progress on the terminal, the integrity check, rebuilding the keys, compacting and repair. Each returns
// the program's exit status (0 done, 1 failed or, for the check, damaged).
#pragma once

#include "data/database.h"

#include <QTextStream>

namespace tunarium {

// Runs create album entries to its end; progress goes to `progress` ("\r 42% Completed"), the
// result ("N albums created, M songs linked") to `out`.
int runCreateAlbums(Database& db, QTextStream& out, QTextStream& progress);
// Checks the file and every table (Full: also every key against its records); prints "ok" or what
// is damaged, a line per finding named by its table. 1 when damaged. What
// is being checked goes to `progress` as it goes on ("\rChecking Tunarium (8 of 11)... 12 s"),
// unless it is null.
int runCheck(Database& db, QTextStream& out, FileCheck depth = FileCheck::Quick,
             QTextStream* progress = nullptr);
// Rebuilds the keys of every table.
int runRebuildKeys(Database& db, QTextStream& out);
// Compacts the collection file; refused while another copy of the program has it open.
int runCompact(Database& db, QTextStream& out);
// The File Manager's Fix over the whole collection: damaged keys are rebuilt, or a damaged file
// is salvaged into a fresh one and kept beside it. Prints what was done; 1 when the collection
// could not be repaired (or another copy of the program has it open).
int runRepair(Database& db, QTextStream& out);

} // namespace tunarium
