// The store's schema side: what the tables of the collection look like against the data
// dictionary, and the changes of their structure. It makes missing tables with their keys and
// counts, upgrades older ones by field name after a dated backup, rebuilds keys, drops and remakes
// them around a bulk load, and checks them in full. SQLite's is SqliteSchema (store_sqlite.h).
#pragma once

#include "data/dictionary.h"
#include "data/store_error.h"
#include "data/upgrade_progress.h"

#include <QHash>
#include <QString>

#include <functional>

namespace tunarium {

// What a table in the file looks like against the dictionary.
// KeysOutdated: the keys were folded by an earlier version of foldKey, or the table has not yet
// the order columns its keys are built on (a file of an earlier version), and the keys are rebuilt
// (the order columns added first), like an upgrade, after a backup.
enum class TableState { Current, Missing, Older, Different, Newer, KeysDamaged, KeysOutdated };

// How far the end of a bulk load is: `keysBuilt` of the table's `keys` made, then the search
// index (where the table has one).
struct BulkLoadStep {
    int keysBuilt = 0;
    int keys = 0;
    bool searchIndex = false;
};
using BulkLoadProgress = std::function<void(const BulkLoadStep&)>;

class StoreSchema {
public:
    StoreSchema() = default;
    virtual ~StoreSchema() = default;
    StoreSchema(const StoreSchema&) = delete;
    StoreSchema& operator=(const StoreSchema&) = delete;

    virtual TableState tableState(TableId table) = 0;
    virtual int storedVersion(TableId table) = 0;
    // Makes a missing table, its indexes and count.
    virtual StoreError createTable(TableId table) = 0;
    // Brings an older (or differently laid out) table to the dictionary's layout: the collection is
    // backed up first; fields keep their values by name; new fields start blank or zero. A table
    // whose keys are outdated has them rebuilt (after the backup). Nothing changes when a step
    // fails. Its steps are told to the upgrade listener (upgrade_progress.h), when there is one.
    virtual StoreError upgradeTable(TableId table) = 0;
    // Recomputes the folded key columns, rebuilds every index of the table and its count.
    virtual StoreError rebuildKeys(TableId table) = 0;
    // Bulk loading: drops the table's indexes and count triggers so that many records go in
    // fast; endBulkLoad makes them again from the stored data. Keys are not enforced meanwhile,
    // so only loads that bring unique values may use it.
    virtual StoreError beginBulkLoad(TableId table) = 0;
    virtual StoreError endBulkLoad(TableId table) = 0;
    // Told each step of endBulkLoad from now on, on the thread that runs it (an empty one: none).
    void setBulkLoadProgress(BulkLoadProgress progress) { m_bulkProgress = std::move(progress); }
    // A full check of one table's keys (reads the whole table): index definitions, folded
    // columns and the implementation's own check. Returns 46 when the keys need rebuilding.
    virtual StoreError checkKeys(TableId table) = 0;
    // A whole copy of the collection; a copy that cannot be completed leaves no file.
    virtual StoreError backupTo(const QString& path) = 0;
    // A dated backup beside the collection ("tunarium-<reason>-<date>.db"); the newest
    // `keep` generations of that reason are kept. `progress` is told the share copied.
    virtual StoreError makeBackup(const QString& reason, int keep = 5,
                                  const std::function<void(double)>& progress = {}) = 0;

protected:
    void tellBulkLoad(const BulkLoadStep& step) const {
        if (m_bulkProgress) {
            m_bulkProgress(step);
        }
    }

private:
    BulkLoadProgress m_bulkProgress;
};

} // namespace tunarium
