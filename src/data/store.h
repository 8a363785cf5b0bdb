// The store: the one place that opens the collection file (tunarium.db). Its parts are the
// connection (store_connection.h: SQLite, its settings and statements), the schema side
// (store_schema.h: making, upgrading, checking and rebuilding tables and keys, backups) and the
// record side, which is this class: counted table opens and the record operations of every table
// (get by key, position in a key and read forward or backward, add, rewrite with the
// record-version check, delete, count in constant time, the next-number rule) and transactions.
// Failures come back as StoreError with the runtime's codes. No SQLite type or SQL text crosses
// this interface, except through exec() and explainQueryPlan(), which tests and benchmarks use.
#pragma once

#include "data/app_paths.h"
#include "data/dictionary.h"
#include "data/fold_key.h"
#include "data/row.h"
#include "data/schema_sql.h"
#include "data/store_bulk.h"
#include "data/store_error.h"
#include "data/store_log.h"
#include "data/store_maintenance.h"
#include "data/store_schema.h"
#include "data/store_walk.h"

#include <QString>

#include <array>
#include <memory>

namespace tunarium {

class Connection;
struct SearchSample;

class Store {
public:
    Store();
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens (creating when missing) the collection file in `directory`. A file that is not a
    // collection (another program's database, even an empty one that carries its mark: an
    // application id or a user version) gives 36; a file locked by another writer past the lock time-out 32;
    // anything SQLite refuses (a read-only directory, say) 90 with SQLite's code and message.
    // A collection laid out (in any table) by a newer version gives 47 and the words of
    // newerStructureText, touching nothing. A collection on a read-only disc or folder is opened
    // read-only: it reads as any, and every write is refused with the reason.
    StoreError open(const QString& directory);
    void close();
    bool isOpen() const;
    bool isReadOnly() const;
    // The refusal of a change to a read-only collection (no error when it can be written): for
    // steps that would write files beside it (a backup, a compact, a repair) before the store
    // itself refuses.
    StoreError writeRefusal() const;
    QString directory() const { return m_directory; }
    QString filePath() const;

    // The schema side: structure, keys and backups of the tables.
    StoreSchema& schema() { return m_schema; }
    // Checks, compacting and salvage of the file as a whole.
    StoreMaintenance& maintenance() { return m_maintenance; }
    // Rewrites of a field over a range of records in one statement (housekeeping).
    StoreBulk& bulk() { return m_bulk; }
    // The write-ahead log: its pages not yet copied into the file, and when they are copied.
    StoreLog& log() { return m_log; }
    TableState tableState(TableId table) { return m_schema.tableState(table); }
    int storedVersion(TableId table) { return m_schema.storedVersion(table); }
    StoreError createTable(TableId table) { return m_schema.createTable(table); }
    StoreError upgradeTable(TableId table) { return m_schema.upgradeTable(table); }
    StoreError rebuildKeys(TableId table) { return m_schema.rebuildKeys(table); }
    StoreError beginBulkLoad(TableId table) { return m_schema.beginBulkLoad(table); }
    StoreError endBulkLoad(TableId table) { return m_schema.endBulkLoad(table); }
    StoreError checkKeys(TableId table) { return m_schema.checkKeys(table); }

    // Counted open and close. The first open brings the table to its current structure
    // (creating a missing table, upgrading an older one).
    StoreError openTable(TableId table);
    void closeTable(TableId table);
    int openCount(TableId table) const { return m_openCounts[static_cast<int>(table)]; }

    // Record operations.
    StoreError insert(Row& row);
    StoreError update(Row& row);
    StoreError remove(const Row& row);
    StoreError fetch(TableId table, qint64 rec, Row& out);
    // The record numbered `rec`, or when that number is not in use the next record above it; 35
    // when no record is numbered `rec` or higher.
    StoreError fetchAtOrAfter(TableId table, qint64 rec, Row& out);
    // The lowest and the highest record number in use (both 0 for an empty table). Record numbers
    // follow the order in which records were added and are never used again.
    StoreError recordRange(TableId table, qint64& first, qint64& last);
    // The first record (in key order) whose components equal `values` (a prefix of the key).
    StoreError get(TableId table, int key, const QVector<QVariant>& values, Row& out);
    // Up to `limit` records in key order from `from` (an empty position: the start, or the end
    // when reading backward). `inclusive` includes records equal to the position. The walk stays
    // within the limits' range and passes over records their filter refuses.
    StoreError read(TableId table, int key, const KeyPosition& from, Direction direction, bool inclusive,
                    int limit, QVector<Row>& out, const WalkLimits& limits = {});
    // Up to `limit` records whose record number follows `afterRec`, in record order: the order of
    // the file, in which a walk that rewrites many records writes pages that follow one another.
    StoreError readInRecordOrder(TableId table, qint64 afterRec, int limit, QVector<Row>& out);
    // Rewrites one field of the record `meta` names, leaving its other fields and their keys as
    // they are. Fails with 89 when the record was changed since it was read; on success `meta`
    // has the record's new version.
    StoreError rewriteField(TableId table, RecordMeta& meta, int field, const QVariant& value);
    // The record's full position in a key.
    KeyPosition positionOf(const Row& row, int key) const;
    // Walks `key` at records whose first component equals `oldValue` and sets that field to
    // `newValue` in each (a cascade of a changed parent value). `changed` receives the count.
    StoreError replaceInKey(TableId table, int key, const QVariant& oldValue, const QVariant& newValue,
                            qint64& changed);
    qint64 count(TableId table);
    // The records that meet `condition`, counted up to `limit` (the count stops there).
    StoreError countUpTo(TableId table, const SqlCondition& condition, qint64 limit, qint64& out);
    // The records numbered above `afterRec` and up to `throughRec` that meet `condition`: a count
    // of a large table a slice at a time, each slice read straight from the file in record order.
    StoreError countInRecordSpan(TableId table, const SqlCondition& condition, qint64 afterRec,
                                 qint64 throughRec, qint64& out);
    // The songs the search index offers for `matchText` (searchMatchText), counted up to `limit`
    // in the index alone (no song is read), with how far through the table that count reached.
    StoreError sampleSearchCandidates(TableId table, const QString& matchText, qint64 limit,
                                      SearchSample& out);
    // Highest identifier in the table's primary key plus one; 1 for an empty table.
    StoreError nextNumber(TableId table, qint64& out);

    template <class T> StoreError insert(T& record) {
        Row row = toRow(record);
        StoreError e = insert(row);
        record.meta = row.meta;
        return e;
    }
    template <class T> StoreError update(T& record) {
        Row row = toRow(record);
        StoreError e = update(row);
        record = fromRow<T>(row);
        return e;
    }
    template <class T> StoreError remove(const T& record) { return remove(toRow(record)); }
    template <class T> StoreError get(int key, const QVector<QVariant>& values, T& out) {
        Row row;
        StoreError e = get(T::kTable, key, values, row);
        if (e.ok()) {
            out = fromRow<T>(row);
        }
        return e;
    }

    // Transactions (see Transaction). Nested calls become savepoints.
    StoreError begin();
    // A transaction that only reads, seeing the collection as it was at its start (see
    // ReadTransaction).
    StoreError beginRead();
    StoreError commit();
    void rollback();
    bool inTransaction() const;

    StoreError backupTo(const QString& path) { return m_schema.backupTo(path); }
    StoreError makeBackup(const QString& reason, int keep = 5) { return m_schema.makeBackup(reason, keep); }
    // Changes whenever another connection commits.
    qint64 dataVersion();
    // Changes whenever this store writes a record.
    qint64 ownChanges() const;

    // For tests and benchmarks: the SQL text of a walk (as read() makes it) from a position of
    // `prefixLength` components, with or without the record number.
    QString walkText(TableId table, int key, int prefixLength, bool withRecord, Direction direction,
                     bool inclusive, const WalkLimits& limits = {}) const;
    // For tests and benchmarks: the plan of a statement, one line a step.
    QStringList explainQueryPlan(const QString& sql);
    // Runs SQL with no bound values (tests and benchmarks only).
    StoreError exec(const QString& sql);

private:
    friend class Transaction;

    StoreError newerStructure();
    StoreError validate(const Row& row) const;
    StoreError duplicateKeyError(const Row& row, const StoreError& failure);

    std::unique_ptr<Connection> m_connection;
    QString m_directory;
    StoreSchema m_schema;
    StoreMaintenance m_maintenance;
    StoreBulk m_bulk;
    StoreLog m_log;
    std::array<int, kTableCount> m_openCounts{};
};

// Whether a store of this process has met a damaged collection file (SQLite's "database disk
// image is malformed") since the process started. The command line then stops and names its
// repair.
bool collectionDamageMet();

// One snapshot of the collection: every read through the store while it lives sees the records as
// they were when it began, whatever other copies commit meanwhile (a restore, an import); it
// takes no lock that stops them. Ended when it goes. For a store that only reads meanwhile.
class ReadTransaction {
public:
    explicit ReadTransaction(Store& store);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

    const StoreError& beginError() const { return m_beginError; }
    bool ok() const { return m_active; }

private:
    Store& m_store;
    StoreError m_beginError;
    bool m_active = false;
};

// Transaction guard: begins on construction (check ok()), rolls back on destruction unless
// committed; a failed commit is reported by commit().
class Transaction {
public:
    explicit Transaction(Store& store);
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const StoreError& beginError() const { return m_beginError; }
    bool ok() const { return m_active; }
    StoreError commit();
    void rollback();

private:
    Connection& m_connection;
    StoreError m_beginError;
    bool m_active = false;
};

} // namespace tunarium
