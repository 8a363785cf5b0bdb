// The store: the one way into the collection, as every room above the data room sees it. Its
// parts are the record side, which is this interface (counted table opens and the record
// operations of every table: get by key, position in a key and read forward or backward, add,
// rewrite with the record-version check, delete, count, the next-number rule, transactions), and
// the parts it hands out: the schema side (store_schema.h: making, upgrading, checking and
// rebuilding tables and keys, backups), the maintenance of the collection as a whole
// (store_maintenance.h), field rewrites over ranges (store_bulk.h), the write-ahead log
// (store_log.h), and the readers on a snapshot of their own (store_survey.h, store_duplicates.h).
// Failures come back as StoreError with the runtime's codes.
//
// SQLite is the first implementation (store_sqlite.h: SqliteStore and its parts); makeStore picks
// the implementation for a collection's location, so that another (a database server shared by
// stations over a network) stands beside it without a change above the data room. No room above
// the data room names an implementation's class (tests/layers fails on it). No SQL text crosses
// this interface, except through exec(), walkText() and explainQueryPlan(), which tests and
// benchmarks use, each in the dialect of the implementation.
#pragma once

#include "data/app_paths.h"
#include "data/dictionary.h"
#include "data/fold_key.h"
#include "data/row.h"
#include "data/store_bulk.h"
#include "data/store_error.h"
#include "data/store_log.h"
#include "data/store_maintenance.h"
#include "data/store_schema.h"
#include "data/store_walk.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tunarium {

class Connection;
class DuplicateReader;
class StoreSurvey;
struct SearchSample;

class Store {
public:
    Store() = default;
    virtual ~Store() = default;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens (creating when missing) the collection in `directory`. A file that is not a
    // collection (another program's database, even an empty one that carries its mark: an
    // application id or a user version) gives 36; a file locked by another writer past the lock time-out 32;
    // anything the implementation refuses (a read-only directory, say) 90 with its code and message.
    // A collection laid out (in any table) by a newer version gives 47 and the words of
    // newerStructureText, touching nothing. A collection on a read-only disc or folder is opened
    // read-only: it reads as any, and every write is refused with the reason.
    virtual StoreError open(const QString& directory) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool isReadOnly() const = 0;
    // The refusal of a change to a read-only collection (no error when it can be written): for
    // steps that would write files beside it (a backup, a compact, a repair) before the store
    // itself refuses.
    virtual StoreError writeRefusal() const = 0;
    virtual QString directory() const = 0;
    virtual QString filePath() const = 0;

    // The schema side: structure, keys and backups of the tables.
    virtual StoreSchema& schema() = 0;
    // Checks, compacting and salvage of the collection as a whole.
    virtual StoreMaintenance& maintenance() = 0;
    // Rewrites of a field over a range of records in one statement (housekeeping).
    virtual StoreBulk& bulk() = 0;
    // The write-ahead log: its pages not yet copied into the file, and when they are copied.
    virtual StoreLog& log() = 0;
    // A reader of grouped counts on a snapshot of its own (its error() says why it has none).
    virtual std::unique_ptr<StoreSurvey> openSurvey() const = 0;
    // The duplicate search's reader on a snapshot of its own (its error() says why it has none).
    virtual std::unique_ptr<DuplicateReader> openDuplicateReader() const = 0;

    TableState tableState(TableId table) { return schema().tableState(table); }
    int storedVersion(TableId table) { return schema().storedVersion(table); }
    StoreError createTable(TableId table) { return schema().createTable(table); }
    StoreError upgradeTable(TableId table) { return schema().upgradeTable(table); }
    StoreError rebuildKeys(TableId table) { return schema().rebuildKeys(table); }
    StoreError beginBulkLoad(TableId table) { return schema().beginBulkLoad(table); }
    StoreError endBulkLoad(TableId table) { return schema().endBulkLoad(table); }
    StoreError checkKeys(TableId table) { return schema().checkKeys(table); }
    StoreError backupTo(const QString& path) { return schema().backupTo(path); }
    StoreError makeBackup(const QString& reason, int keep = 5) { return schema().makeBackup(reason, keep); }

    // Counted open and close. The first open brings the table to its current structure
    // (creating a missing table, upgrading an older one).
    virtual StoreError openTable(TableId table) = 0;
    virtual void closeTable(TableId table) = 0;
    virtual int openCount(TableId table) const = 0;

    // Record operations.
    virtual StoreError insert(Row& row) = 0;
    virtual StoreError update(Row& row) = 0;
    virtual StoreError remove(const Row& row) = 0;
    // Within a transaction: keeps other stations from changing or deleting the record, and from
    // adding records that refer to it, until the transaction ends; for the relation rules, which
    // read the children of a record and then write. A store whose transactions hold the whole
    // collection (the file's) has nothing to do.
    virtual StoreError holdRecord(TableId table, qint64 rec) {
        (void)table;
        (void)rec;
        return {};
    }
    virtual StoreError fetch(TableId table, qint64 rec, Row& out) = 0;
    // The record numbered `rec`, or when that number is not in use the next record above it; 35
    // when no record is numbered `rec` or higher.
    virtual StoreError fetchAtOrAfter(TableId table, qint64 rec, Row& out) = 0;
    // The lowest and the highest record number in use (both 0 for an empty table). Record numbers
    // follow the order in which records were added and are never used again.
    virtual StoreError recordRange(TableId table, qint64& first, qint64& last) = 0;
    // The first record (in key order) whose components equal `values` (a prefix of the key).
    virtual StoreError get(TableId table, int key, const QVector<QVariant>& values, Row& out) = 0;
    // Up to `limit` records in key order from `from` (an empty position: the start, or the end
    // when reading backward). `inclusive` includes records equal to the position. The walk stays
    // within the limits' range and passes over records their filter refuses. A whole key read
    // from start to end goes through KeyWalk (key_walk.h), not a loop of pages of its own.
    virtual StoreError read(TableId table, int key, const KeyPosition& from, Direction direction,
                            bool inclusive, int limit, QVector<Row>& out, const WalkLimits& limits = {}) = 0;
    // The first and the last record of a key from `from` (the start of the limits' range, or
    // empty), within the limits: each empty when there is none. A list's thumb spans them. This
    // reads forward and backward; a store on a server reads both in one round trip.
    virtual StoreError readEnds(TableId table, int key, const KeyPosition& from, const WalkLimits& limits,
                                QVector<Row>& first, QVector<Row>& last);
    // Up to `limit` records whose record number follows `afterRec`, in record order: the order of
    // the file, in which a walk that rewrites many records writes pages that follow one another.
    virtual StoreError readInRecordOrder(TableId table, qint64 afterRec, int limit, QVector<Row>& out) = 0;
    // Rewrites one field of the record `meta` names, leaving its other fields and their keys as
    // they are. Fails with 89 when the record was changed since it was read; on success `meta`
    // has the record's new version.
    virtual StoreError rewriteField(TableId table, RecordMeta& meta, int field, const QVariant& value) = 0;
    // The record's full position in a key.
    virtual KeyPosition positionOf(const Row& row, int key) const = 0;
    // Walks `key` at records whose first component equals `oldValue` and sets that field to
    // `newValue` in each (a cascade of a changed parent value). `changed` receives the count.
    virtual StoreError replaceInKey(TableId table, int key, const QVariant& oldValue,
                                    const QVariant& newValue, qint64& changed) = 0;
    virtual qint64 count(TableId table) = 0;
    // The records that meet `condition`, counted up to `limit` (the count stops there).
    virtual StoreError countUpTo(TableId table, const SqlCondition& condition, qint64 limit, qint64& out) = 0;
    // The records numbered above `afterRec` and up to `throughRec` that meet `condition`: a count
    // of a large table a slice at a time, each slice read straight from the file in record order.
    virtual StoreError countInRecordSpan(TableId table, const SqlCondition& condition, qint64 afterRec,
                                         qint64 throughRec, qint64& out) = 0;
    // The songs the search index offers for `matchText` (searchMatchText), counted up to `limit`
    // in the index alone (no song is read), with how far through the table that count reached.
    virtual StoreError sampleSearchCandidates(TableId table, const QString& matchText, qint64 limit,
                                              SearchSample& out) = 0;
    // The match text (searchMatchText) of the songs that hold a case-folded word of three
    // characters or more. The file's index holds three-character pieces: the text asks for a few
    // of the word's pieces (searchPieces), and the exact condition decides.
    virtual QString searchWordMatch(const QString& foldedWord) const;
    // The index's pieces that begin with `start`, a case-folded text too short to have pieces of
    // its own (one or two characters): every song that holds it holds one of them. When they are
    // more than `pieceLimit`, or the songs holding them more than `songLimit`, `pieces` is left
    // empty and `common` set: a text that common is found as soon by walking. A store whose index
    // cannot list its pieces answers `common`.
    virtual StoreError searchPiecesStartingWith(TableId table, const QString& start, int pieceLimit,
                                                qint64 songLimit, QStringList& pieces, bool& common) {
        (void)table;
        (void)start;
        (void)pieceLimit;
        (void)songLimit;
        pieces.clear();
        common = true;
        return {};
    }
    // From now on every read with a range or filter counts the records it passes into `watch`
    // (from 0), and stops when the watch is cancelled (nullptr: no longer watched). For a store
    // that reads on a thread of its own while another thread watches.
    virtual void watchReads(std::shared_ptr<WalkWatch> watch) = 0;
    // Highest identifier in the table's primary key plus one; 1 for an empty table.
    virtual StoreError nextNumber(TableId table, qint64& out) = 0;

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
    virtual StoreError begin() = 0;
    // A transaction that only reads, seeing the collection as it was at its start (see
    // ReadTransaction).
    virtual StoreError beginRead() = 0;
    // 91 when no transaction is open.
    virtual StoreError commit() = 0;
    virtual void rollback() = 0;
    virtual bool inTransaction() const = 0;

    // Changes whenever another connection commits.
    virtual qint64 dataVersion() = 0;
    // Changes whenever this store writes a record.
    virtual qint64 ownChanges() const = 0;

    // For tests and benchmarks: the SQL text of a walk (as read() makes it) from a position of
    // `prefixLength` components, with or without the record number.
    virtual QString walkText(TableId table, int key, int prefixLength, bool withRecord, Direction direction,
                             bool inclusive, const WalkLimits& limits = {}) const = 0;
    // For tests and benchmarks: the plan of a statement, one line a step.
    virtual QStringList explainQueryPlan(const QString& sql) = 0;
    // Runs SQL with no bound values (tests and benchmarks only).
    virtual StoreError exec(const QString& sql) = 0;
};

// A new store, not yet open, of the implementation that serves a collection at `location`: a
// folder is served by SQLite, a server's address (a libpq connection string or a postgresql://
// URL) by the PostgreSQL server.
std::unique_ptr<Store> makeStore(const QString& location);

// Whether `location` is a server's address rather than a folder: a postgresql:// (or postgres://)
// URL, or a libpq connection string ("host=... dbname=...").
bool isServerLocation(const QString& location);

// The server an address names, for messages and titles: user@host:port/database, never a password.
QString serverLabel(const QString& location);

// Makes an empty collection in the server's database `location` names: every table of the
// dictionary with its keys. A database that holds a collection already, or other tables, is
// refused untouched.
StoreError initServerCollection(const QString& location);

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
    // Within the store's implementation: on its connection.
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const StoreError& beginError() const { return m_beginError; }
    bool ok() const { return m_active; }
    StoreError commit();
    void rollback();

private:
    Store* m_store = nullptr;
    Connection* m_connection = nullptr;
    StoreError m_beginError;
    bool m_active = false;
};

} // namespace tunarium
