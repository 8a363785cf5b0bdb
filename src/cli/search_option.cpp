// The --search option.
#include "cli/search_option.h"

#include "catalogue/saved_search.h"
#include "cli/cli_commands.h"
#include "data/table_lease.h"

namespace tunarium::cli {

std::optional<int> namedSavedSearch(Database& db, const QString& name, SavedSearchRecord& out) {
    const TableLease searches(db, {TableId::SavedSearches});
    if (!searches) {
        return kExitFailure;
    }
    bool found = false;
    if (const StoreError e = findSavedSearch(db.store(), name, out, found)) {
        return fail(QStringLiteral("cannot read the saved searches: %1").arg(e.describe()));
    }
    if (!found) {
        return fail(QStringLiteral("there is no saved search %1").arg(name.trimmed()));
    }
    return std::nullopt;
}

std::optional<int> savedSearchSongs(Database& db, const QString& name, SqlCondition& out,
                                    SavedSearchRecord* search) {
    SavedSearchRecord found;
    if (const std::optional<int> status = namedSavedSearch(db, name, found)) {
        return status;
    }
    if (const SongSearch parsed = savedSearchSearch(found); !parsed.ok()) {
        return fail(QStringLiteral("the saved search %1 cannot be run: %2").arg(found.name, parsed.error));
    }
    const TableLease songs(db, {TableId::Tunarium, TableId::Categories});
    if (!songs) {
        return kExitFailure;
    }
    if (const StoreError e = savedSearchCondition(db.store(), found, out)) {
        return fail(e.describe());
    }
    if (search) {
        *search = found;
    }
    return std::nullopt;
}

} // namespace tunarium::cli
