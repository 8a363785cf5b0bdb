// The server store's one connection to a PostgreSQL server through libpq: a collection's address
// (a libpq connection string or a postgresql:// URL, never with a password in it: that comes from
// ~/.pgpass or PGPASSWORD), the session's settings (the 2-second lock wait as lock_timeout, UTF-8,
// the notices of other stations' commits listened for), statements with their values bound as
// parameters, transactions nested as savepoints, and the server's errors as store errors that name
// the server without a password.
#pragma once

#include "data/store.h"
#include "data/store_error.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>

struct pg_conn;
struct pg_result;

namespace tunarium {

// isServerLocation and serverLabel: store.h.
// Why an address is refused before anything connects (empty when it is fine): an address that
// does not read, or one that carries a password.
QString serverAddressProblem(const QString& location);

// A result of one statement; rows and columns read as text (the values come in libpq's text form).
class PgResult {
public:
    PgResult() = default;
    explicit PgResult(pg_result* result);
    ~PgResult();
    PgResult(PgResult&& other) noexcept;
    PgResult& operator=(PgResult&& other) noexcept;
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;

    int rows() const;
    bool isNull(int row, int column) const;
    QString text(int row, int column) const;
    qint64 integer(int row, int column) const;
    // Rows a write changed.
    qint64 changed() const;

private:
    pg_result* m_result = nullptr;
};

// The SQL dialect's placeholders: every `?` outside quotes as $1, $2 ... from `first` on (the
// conditions the filter compiler writes use `?`).
QString numberedPlaceholders(const QString& sql, int first = 1);

class PgConnection {
public:
    PgConnection() = default;
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Connects to the server at `location`. Fails with 90 and a message that names the server
    // (and says what the user can do): unreachable, login refused, no such database.
    StoreError open(const QString& location);
    void close();
    bool isOpen() const { return m_conn != nullptr; }
    const QString& location() const { return m_location; }
    // The server as messages name it.
    const QString& label() const { return m_label; }

    // Runs one statement with `params` bound to $1, $2 ... (text form); `error` says why it
    // failed (the result is then empty).
    PgResult run(const QString& sql, const QVector<QVariant>& params, StoreError& error);
    // The same for a statement run again and again (a page of a key, a record by its number): it
    // is prepared on the server the first time, one round trip more, and from then on run without
    // being parsed and planned again. A plan made once fits only statements whose best plan does
    // not hang on the values (not a filter's).
    PgResult runOften(const QString& sql, const QVector<QVariant>& params, StoreError& error);
    // Forgets every statement prepared on the server (DEALLOCATE ALL).
    void discardPrepared();
    // Runs statements without bound values.
    StoreError exec(const QString& sql);

    // Transactions: the first begin opens one (READ COMMITTED: the record version check and the
    // row locks the store takes keep stations apart); nested ones are savepoints.
    StoreError begin();
    // A transaction that only reads, on one snapshot (REPEATABLE READ, READ ONLY).
    StoreError beginRead();
    StoreError commit();
    void rollback();
    int depth() const { return m_depth; }
    // Runs `steps` in a transaction (a savepoint within one): committed when they succeed, else
    // rolled back.
    StoreError transact(const std::function<StoreError()>& steps);

    // COPY ... FROM STDIN: begun by `sql`, fed text-format lines by put (several at a time), and
    // ended by end, whose error is the statement's. A failure in between ends it too.
    StoreError copyBegin(const QString& sql);
    StoreError copyPut(const QByteArray& lines);
    StoreError copyEnd();

    // Changes whenever another station commits a change (a notice from the server, read without a
    // round trip).
    qint64 dataVersion();
    // Records this connection has written since it opened.
    qint64 ownChanges() const { return m_ownChanges; }
    void addOwnChanges(qint64 n) { m_ownChanges += n; }
    // The statements sent and answered since the connection opened: each one trip to the server
    // and back, whatever the network costs a trip (a COPY's lines stream in one).
    qint64 roundTrips() const { return m_roundTrips; }

    // The server's failure of a statement as a store error.
    StoreError failure(pg_result* result, const QString& sql) const;
    // The connection itself failed (the server went away).
    StoreError connectionFailure(const QString& sql) const;

    pg_conn* handle() const { return m_conn; }

private:
    StoreError settle();
    // Makes a lost connection again between changes; what it had prepared is gone with it.
    void reconnectIfLost();
    PgResult execute(const QString& sql, const QByteArray* prepared, const QVector<QVariant>& params,
                     StoreError& error);

    pg_conn* m_conn = nullptr;
    QString m_copySql;
    QString m_location;
    QString m_label;
    int m_depth = 0;
    qint64 m_dataVersion = 0;
    qint64 m_ownChanges = 0;
    qint64 m_roundTrips = 0;
    QHash<QString, QByteArray> m_prepared; // statement text -> its name on the server
};

// A value as a COPY line in text format holds it: backslash, tab, line feed and carriage return
// escaped.
void appendCopyText(QByteArray& line, const QString& value);

// The name of the channel every table's writes notify.
inline constexpr const char* kChangesChannel = "tunarium_changes";

} // namespace tunarium
