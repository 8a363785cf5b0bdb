// The store: the one place that opens the collection file (tunarium.db) through SQLite. It makes
// the tables and indexes from the data dictionary, keeps the structure versions and upgrades old
// tables by field name, counts table opens, and offers the record operations of every table:
// get by key, position in a key and read forward or backward, add, rewrite with the
// record-version check, delete, count in constant time, and the next-number rule. Failures come
// back as StoreError with the runtime's codes.
#pragma once

#include "data/app_paths.h"
#include "data/dictionary.h"
#include "data/fold_key.h"
#include "data/row.h"
#include "data/schema_sql.h"
#include "data/store_error.h"

#include <QHash>
#include <QString>

#include <array>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;

namespace tunarium {

inline constexpr int kLockTimeoutMs = 2000;

// A position in a key: the first `values.size()` component values (a prefix of the key, or all of
// them) and, for a full position in a key that admits duplicates, the record number that breaks
// ties. Values are given as stored (not folded); the store folds them.
struct KeyPosition {
    QVector<QVariant> values;
    qint64 rec = 0;
    bool hasRec = false;
    // The last value is the beginning of a text (what the user typed in a locator): in a
    // case-insensitive key it is positioned by its accent-free folding alone (foldKeyPrefix), so
    // that the position comes before every record whose text begins with it, with or without
    // diacritics.
    bool partialText = false;
};

// Extra condition on a walk: SQL text over the table's own columns with `?` placeholders and the
// values bound to them, in order.
struct SqlCondition {
    QString sql;
    QVector<QVariant> binds;
    bool isEmpty() const { return sql.isEmpty(); }
};

// What a table in the file looks like against the dictionary.
// KeysOutdated: the keys were folded by an earlier version of foldKey and are rebuilt, like an
// upgrade, after a backup.
enum class TableState { Current, Missing, Older, Different, Newer, KeysDamaged, KeysOutdated };

class Store {
public:
    Store() = default;
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens (creating when missing) the collection file in `directory`. A file that is not a
    // collection (another program's database, even an empty one that carries its mark: an
    // application id or a user version) gives 36; a file locked by another writer past the lock time-out 32;
    // anything SQLite refuses (a read-only directory, say) 90 with SQLite's code and message.
    StoreError open(const QString& directory);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString directory() const { return m_directory; }
    QString filePath() const;

    // Structure of one table.
    TableState tableState(TableId table);
    int storedVersion(TableId table);
    // Makes a missing table, its indexes and count.
    StoreError createTable(TableId table);
    // Brings an older (or differently laid out) table to the dictionary's layout: the file is
    // backed up first; fields keep their values by name; new fields start blank or zero. A table
    // whose keys are outdated has them rebuilt (after the backup). Nothing changes when a step
    // fails.
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
    // The first record (in key order) whose components equal `values` (a prefix of the key).
    StoreError get(TableId table, int key, const QVector<QVariant>& values, Row& out);
    // Up to `limit` records in key order from `from` (an empty position: the start, or the end
    // when reading backward). `inclusive` includes records equal to the position.
    StoreError read(TableId table, int key, const KeyPosition& from, sql::Direction direction, bool inclusive,
                    int limit, QVector<Row>& out, const SqlCondition& extra = {});
    // The record's full position in a key.
    KeyPosition positionOf(const Row& row, int key) const;
    // Walks `key` at records whose first component equals `oldValue` and sets that field to
    // `newValue` in each (a cascade of a changed parent value). `changed` receives the count.
    StoreError replaceInKey(TableId table, int key, const QVariant& oldValue, const QVariant& newValue,
                            qint64& changed);
    qint64 count(TableId table);
    // Highest identifier in the table's primary key plus one; 1 for an empty table.
    StoreError nextNumber(TableId table, qint64& out);

    template <class T>
    StoreError insert(T& record) {
        Row row = toRow(record);
        StoreError e = insert(row);
        record.meta = row.meta;
        return e;
    }
    template <class T>
    StoreError update(T& record) {
        Row row = toRow(record);
        StoreError e = update(row);
        record = fromRow<T>(row);
        return e;
    }
    template <class T>
    StoreError remove(const T& record) {
        return remove(toRow(record));
    }
    template <class T>
    StoreError get(int key, const QVector<QVariant>& values, T& out) {
        Row row;
        StoreError e = get(T::kTable, key, values, row);
        if (e.ok()) {
            out = fromRow<T>(row);
        }
        return e;
    }

    // Transactions (see Transaction). Nested calls become savepoints.
    StoreError begin();
    StoreError commit();
    void rollback();
    bool inTransaction() const { return m_depth > 0; }

    // Copies the collection with SQLite's backup API.
    StoreError backupTo(const QString& path);
    // A dated backup beside the collection ("tunarium-<reason>-<date>.db"); the newest
    // `keep` generations of that reason are kept.
    StoreError makeBackup(const QString& reason, int keep = 5);
    // Changes whenever another connection commits.
    qint64 dataVersion();

    // For tests and maintenance: the plan of a statement, one line a step.
    QStringList explainQueryPlan(const QString& sql);
    // Runs SQL with no bound values (maintenance and tests only).
    StoreError exec(const QString& sql);
    sqlite3* handle() const { return m_db; }

private:
    sqlite3_stmt* prepare(const QString& sql, StoreError& error);
    StoreError lastError(int rc) const;
    StoreError validate(const Row& row) const;
    void bindRow(sqlite3_stmt* stmt, const Row& row, int firstParam) const;
    void readRow(sqlite3_stmt* stmt, TableId table, Row& out) const;
    StoreError stepDone(sqlite3_stmt* stmt);
    StoreError duplicateKeyError(const Row& row, int rc);
    StoreError pragmaNumber(const char* name, int& out);
    StoreError initializeFile();
    StoreError loadSchema();
    int structureNumber(const QString& label);
    StoreError makeIndexes(const TableDef& t);
    StoreError refreshFolded(const TableDef& t);
    StoreError dropKeys(const TableDef& t);
    StoreError remakeKeys(TableId table, bool refold);
    // Runs `steps` and then makes the table's indexes and structure entry, in one transaction.
    StoreError restructure(const TableDef& t, const std::function<StoreError()>& steps);
    StoreError setStructure(const TableDef& t);
    void finalizeStatements();

    sqlite3* m_db = nullptr;
    QString m_directory;
    QHash<QString, sqlite3_stmt*> m_statements;
    QHash<quint64, sqlite3_stmt*> m_walks; // page-read statements, also held in m_statements
    std::array<int, kTableCount> m_openCounts{};
    int m_depth = 0;
    bool m_backedUpForUpgrade = false;
    // sqlite_master as read at open and after every structure change: name -> sql.
    QHash<QString, QString> m_schema;
};

// Whether a store of this process has met a damaged collection file (SQLite's "database disk
// image is malformed") since the process started. The command line then stops and names its
// repair.
bool collectionDamageMet();

// Transaction guard: begins on construction (check ok()), rolls back on destruction unless
// committed; a failed commit is reported by commit().
class Transaction {
public:
    explicit Transaction(Store& store);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const StoreError& beginError() const { return m_beginError; }
    bool ok() const { return m_active; }
    StoreError commit();
    void rollback();

private:
    Store& m_store;
    StoreError m_beginError;
    bool m_active = false;
};

} // namespace tunarium
