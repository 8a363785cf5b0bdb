// The store's one connection to the collection file through SQLite: opening the file with the
// program's settings (extended result codes, the lock time-out, no double-quoted strings, the
// folding functions that keys and filters use, a write-ahead log that a closing copy never
// deletes), the cache of prepared statements, transactions nested as savepoints, SQLite's errors
// as store errors, and the operations on the file as a whole (backup, checkpoint, progress).
#pragma once

#include "data/store_statement.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <unordered_map>

namespace tunarium {

inline constexpr int kLockTimeoutMs = 2000;

class Connection {
public:
    Connection() = default;
    ~Connection() { close(false); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the file at `path`, creating it when missing; with `readOnly` only reads it (a
    // collection on a read-only disc or folder): every write is then refused with the reason.
    StoreError open(const QString& path, bool readOnly = false);
    bool isReadOnly() const { return m_readOnly; }
    // Why nothing can be written to a read-only collection.
    static QString readOnlyText();
    // Rolls back what is open, drops the statements and closes. With `emptyLog` the write-ahead
    // log is first copied into the file and emptied (quietly: a reader elsewhere makes it give up).
    void close(bool emptyLog);
    bool isOpen() const { return m_db != nullptr; }

    // SQLite's result code as a store error (with SQLite's message).
    StoreError error(int sqliteCode) const;
    // The failure of the statement `sql` as a store error that carries its text, logged in the
    // store's category (store_diagnostics.h).
    StoreError statementError(int sqliteCode, const QString& sql) const;
    // Runs SQL without bound values.
    StoreError exec(const QString& sql);
    // A statement for `sql`, prepared once and kept until clearStatements(); nullptr, with
    // `error`, when it cannot be prepared.
    Statement* cached(const QString& sql, StoreError& error);
    // Kept statements found by a number their user makes for them (no SQL text to build).
    Statement* numbered(quint64 number) const;
    void setNumbered(quint64 number, Statement* statement);
    // A statement not kept by the connection; `kept` says that its user keeps it for long.
    Statement prepare(const QString& sql, StoreError& error, bool kept = false);
    // Drops every kept statement (before a change of structure, which would make them stale).
    void clearStatements();
    // A pragma that answers one number.
    StoreError pragmaNumber(const char* name, int& out);
    // The page cache made `kilobytes` large (a bulk load's sort), until restoreCache() puts it back
    // as it was.
    StoreError enlargeCache(int kilobytes);
    void restoreCache();
    // Rows changed by the last write.
    qint64 changes() const;

    // Transactions: the first begin takes the write lock (BEGIN IMMEDIATE); nested ones are
    // savepoints.
    StoreError begin();
    // A transaction that only reads: it takes no lock that keeps others from writing, and every
    // read in it sees the collection as it was at its start, whatever other connections commit
    // meanwhile. Ended by commit() or rollback(); not within another transaction.
    StoreError beginRead();
    StoreError commit();
    void rollback();
    int depth() const { return m_depth; }

    // Changes whenever another connection commits.
    qint64 dataVersion();
    // Records this connection has written (triggers' writes too) since it opened.
    qint64 ownChanges() const;
    // A whole copy of the file through SQLite's backup API, made under a passing name and given
    // `path` only when complete. With `progress`, it is copied in parts and told the share done.
    // A backup the user names never replaces a file; a dated one of the store's replaces one of
    // its kind made in the same second.
    enum class BackupOver { NoFile, SameKind };
    StoreError backupTo(const QString& path, const std::function<void(double)>& progress = {},
                        BackupOver over = BackupOver::NoFile);
    // Copies the write-ahead log into the file and empties it.
    StoreError checkpoint();
    // `tick` is called every so often while a statement runs (nullptr: no longer).
    void setProgress(std::function<void()> tick);
    // `stop` is asked every so often while a statement runs; when it says true, the statement
    // fails at once with SQLite's "interrupted" (nullptr: never stopped).
    void setStop(std::function<bool()> stop);
    // SQL's tunarium_counted() is true and counts the rows it is asked about: a walk of many rows
    // that adds it to its condition tells `counter` how many it has passed, from 0 at this call
    // (nullptr: no longer told).
    void setRowCounter(std::function<void(qint64)> counter);
    // The plan of a statement, one line a step.
    QStringList explainQueryPlan(const QString& sql);

private:
    static int progressTick(void* self);
    static void countedFunction(sqlite3_context* context, int, sqlite3_value**);

    sqlite3* m_db = nullptr;
    // The file open, entered among the collections no output file may replace.
    QString m_guarded;
    std::unordered_map<QString, std::unique_ptr<Statement>> m_statements;
    QHash<quint64, Statement*> m_numbered; // also held in m_statements
    void installProgress();

    std::function<void()> m_tick;
    std::function<bool()> m_stop;
    std::function<void(qint64)> m_rowCounter;
    qint64 m_rowsCounted = 0;
    int m_depth = 0;
    bool m_readOnly = false;
    // The page cache as it was before enlargeCache (SQLite's cache_size; 0: not enlarged).
    int m_cacheBefore = 0;

    friend class Statement;
    // Restoring writes a whole file into this connection through SQLite's backup API.
    friend class SqliteMaintenance;
    // The log's checkpoints are watched on the connection's own handle.
    friend class SqliteLog;
};

} // namespace tunarium
