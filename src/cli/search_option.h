// The --search NAME option of the commands that take a saved search's songs (playlist generate,
// report, export): the saved search it names, or the refusal when there is none.
#pragma once

#include "data/database.h"
#include "data/records.h"

#include <optional>

namespace tunarium::cli {

// The saved search named `name`; the exit status when the command ends here (no such saved
// search, or it cannot be read or run: told).
std::optional<int> namedSavedSearch(Database& db, const QString& name, SavedSearchRecord& out);

// The condition its songs meet, read as the search box reads its text; the exit status when the
// command ends here.
std::optional<int> savedSearchSongs(Database& db, const QString& name, SqlCondition& out,
                                    SavedSearchRecord* search = nullptr);

} // namespace tunarium::cli
