// Start-up of the program before its frame opens: the help file, the registration of every table
// (once per process), and whether the maintenance window must run first because the last run
// stopped while opening a table.
#pragma once

#include "data/database.h"

#include <QString>

namespace tunarium {

inline constexpr char kProgramName[] = "Tunarium Pro 98";
inline constexpr char kProgramVersion[] = "1.8i";
inline constexpr char kHelpFileName[] = "tnr98.HLP";

// The help file the help commands open; set first thing at start-up.
void setApplicationHelpFile(const QString& name);
QString applicationHelpFile();

// The table the maintenance flag names (by its data file name), when it names one; else empty,
// which also means that the maintenance window need not run first.
QString pendingMaintenanceFile(const QString& profilePath);

// Brings every table of the registration list, in its order, to its current structure: each is
// opened and closed once through the counted open, which creates a missing table and upgrades an
// older one. Runs once per process; later calls return the first result. False when the program is
// ending (a table could not be opened).
bool registerTables(Database& db);
// For tests: whether registration ran in this process, and running it again.
bool tablesRegistered();

// The frame's title: the program's name; for a collection on a server, the server and database
// (never a password); [Read Only] for a collection that cannot be written.
QString frameTitle(Database& db);
void resetTableRegistration();

} // namespace tunarium
