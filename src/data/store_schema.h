// The store's schema side: what the tables of the collection file look like against the data
// dictionary, and the changes of their structure. It makes missing tables with their keys and
// counts, upgrades older ones by field name after a dated backup, rebuilds keys, drops and remakes
// them around a bulk load, and checks them in full.
#pragma once

#include "data/dictionary.h"
#include "data/store_error.h"
#include "data/upgrade_progress.h"

#include <QHash>
#include <QString>

#include <functional>

namespace tunarium {

class Connection;

// What a table in the file looks like against the dictionary.
// KeysOutdated: the keys were folded by an earlier version of foldKey, or the table has not yet
// the order columns its keys are built on (a file of an earlier version), and the keys are rebuilt
// (the order columns added first), like an upgrade, after a backup.
enum class TableState { Current, Missing, Older, Different, Newer, KeysDamaged, KeysOutdated };

class StoreSchema {
public:
    // `directory` is where the collection file and its backups live.
    StoreSchema(Connection& connection, const QString& directory);
    StoreSchema(const StoreSchema&) = delete;
    StoreSchema& operator=(const StoreSchema&) = delete;

    TableState tableState(TableId table);
    int storedVersion(TableId table);
    // Makes a missing table, its indexes and count.
    StoreError createTable(TableId table);
    // Brings an older (or differently laid out) table to the dictionary's layout: the file is
    // backed up first; fields keep their values by name; new fields start blank or zero. A table
    // whose keys are outdated has them rebuilt (after the backup). Nothing changes when a step
    // fails. Its steps are told to the upgrade listener (upgrade_progress.h), when there is one.
    StoreError upgradeTable(TableId table);
    // Recomputes the folded key columns, rebuilds every index of the table and its count.
    StoreError rebuildKeys(TableId table);
    // Bulk loading: drops the table's indexes and count triggers so that many records go in
    // fast; endBulkLoad makes them again from the stored data. Keys are not enforced meanwhile,
    // so only loads that bring unique values may use it.
    StoreError beginBulkLoad(TableId table);
    StoreError endBulkLoad(TableId table);
    // A full check of one table's keys (reads the whole table): index definitions, folded
    // columns and SQLite's own check. Returns 46 when the keys need rebuilding.
    StoreError checkKeys(TableId table);

    // Copies the collection with SQLite's backup API; a copy that cannot be completed leaves no
    // file.
    StoreError backupTo(const QString& path);
    // A dated backup beside the collection ("tunarium-<reason>-<date>.db"); the newest
    // `keep` generations of that reason are kept. `progress` is told the share copied.
    StoreError makeBackup(const QString& reason, int keep = 5,
                          const std::function<void(double)>& progress = {});

private:
    friend class Store;

    // Reads the names and definitions of everything in the file.
    StoreError load();
    // Makes an empty file a collection: its mark, the log mode and the tables of structure
    // versions and counts.
    StoreError initializeFile();
    bool isEmpty() const { return m_schema.isEmpty(); }
    bool hasCollectionTables() const;
    void clear();

    int structureNumber(const QString& label);
    StoreError makeIndexes(const TableDef& t);
    StoreError makeSearchIndex(const TableDef& t);
    StoreError refreshFolded(const TableDef& t);
    StoreError dropKeys(const TableDef& t);
    StoreError dropSearchIndex(const TableDef& t);
    StoreError remakeKeys(TableId table, bool refold);
    // The table is as earlier versions made it, without the order columns of this one.
    bool lacksOrderColumns(const TableDef& t) const;
    // Adds the missing order columns (virtual: no record is rewritten); the keys on them are made
    // after.
    StoreError addOrderColumns(const TableDef& t);
    // Runs `steps` and then makes the table's indexes (or only its search index) and structure
    // entry, in one transaction.
    enum class Remake { AllKeys, SearchIndex };
    StoreError restructure(const TableDef& t, const std::function<StoreError()>& steps,
                           Remake remake = Remake::AllKeys);
    StoreError setStructure(const TableDef& t);
    // The rows of the table as they stand (a full count; -1 when it cannot be read).
    qint64 rowCount(const TableDef& t);
    QStringList storedColumnNames(const TableDef& t, StoreError& error);

    Connection& m_connection;
    const QString& m_directory;
    bool m_backedUpForUpgrade = false;
    // While an upgrade runs and somebody listens: where its steps are reported.
    UpgradeReporter* m_reporter = nullptr;
    // sqlite_master as read at open and after every structure change: name -> sql.
    QHash<QString, QString> m_schema;
};

} // namespace tunarium
