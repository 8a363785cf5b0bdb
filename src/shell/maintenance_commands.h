// The maintenance commands of the command line, without a window: create album entries with its
// progress on the terminal, the integrity check, rebuilding the keys and compacting. Each returns
// the program's exit status (0 done, 1 failed or, for the check, damaged).
#pragma once

#include "data/database.h"

#include <QTextStream>

namespace tunarium {

// Runs create album entries to its end; progress goes to `progress` ("\r 42% Completed"), the
// result ("N albums created, M songs linked") to `out`.
int runCreateAlbums(Database& db, QTextStream& out, QTextStream& progress);
// Checks the file and every table's keys; prints "ok" or what is damaged. 1 when damaged.
int runCheck(Database& db, QTextStream& out);
// Rebuilds the keys of every table.
int runRebuildKeys(Database& db, QTextStream& out);
// Compacts the collection file; refused while another copy of the program has it open.
int runCompact(Database& db, QTextStream& out);

} // namespace tunarium
