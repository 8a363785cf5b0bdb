// The connection to a PostgreSQL server through libpq.
#include "data/store_pg_connection.h"

#include "data/store_diagnostics.h"

#include <QRegularExpression>

#include <libpq-fe.h>

#include <cstdlib>

namespace tunarium {

namespace {

// The options of an address as libpq reads them, or null with libpq's reason.
struct ParsedAddress {
    PQconninfoOption* options = nullptr;
    QString error;
    explicit ParsedAddress(const QString& location) {
        char* message = nullptr;
        options = PQconninfoParse(location.toUtf8().constData(), &message);
        if (message) {
            error = QString::fromUtf8(message).trimmed();
            PQfreemem(message);
        }
    }
    ~ParsedAddress() {
        if (options) {
            PQconninfoFree(options);
        }
    }
    ParsedAddress(const ParsedAddress&) = delete;
    ParsedAddress& operator=(const ParsedAddress&) = delete;
    QString value(const char* keyword) const {
        for (PQconninfoOption* o = options; o && o->keyword; ++o) {
            if (qstrcmp(o->keyword, keyword) == 0 && o->val) {
                return QString::fromUtf8(o->val);
            }
        }
        return {};
    }
};

QString labelOf(const QString& user, const QString& host, const QString& port, const QString& db) {
    QString label;
    if (!user.isEmpty()) {
        label += user + u'@';
    }
    label += host.isEmpty() ? QStringLiteral("localhost") : host;
    if (!port.isEmpty()) {
        label += u':' + port;
    }
    return label + u'/' + (db.isEmpty() ? user : db);
}

QString env(const char* name) {
    const char* v = std::getenv(name);
    return v ? QString::fromLocal8Bit(v) : QString();
}

// libpq's message of a failed connection, shortened to its reason.
QString connectMessage(pg_conn* conn) {
    QString message = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    message.replace(QRegularExpression(QStringLiteral("\\s*\\n\\s*")), QStringLiteral("; "));
    return message;
}

} // namespace

bool isServerLocation(const QString& location) {
    static const QRegularExpression keyValue(QStringLiteral("^\\s*[A-Za-z_]+\\s*="));
    return location.startsWith(QLatin1String("postgresql://")) || location.startsWith(QLatin1String("postgres://")) ||
           keyValue.match(location).hasMatch();
}

QString serverLabel(const QString& location) {
    const ParsedAddress parsed(location);
    if (!parsed.options) {
        return QStringLiteral("(an address that does not read)");
    }
    const auto or_ = [](const QString& a, const QString& b) { return a.isEmpty() ? b : a; };
    return labelOf(or_(parsed.value("user"), env("PGUSER")), or_(parsed.value("host"), env("PGHOST")),
                   or_(parsed.value("port"), env("PGPORT")), or_(parsed.value("dbname"), env("PGDATABASE")));
}

QString serverAddressProblem(const QString& location) {
    const ParsedAddress parsed(location);
    if (!parsed.options) {
        // libpq's reason may quote the address, password and all: only our own words.
        return QStringLiteral("The server address does not read as a connection string or a postgresql:// URL");
    }
    if (!parsed.value("password").isEmpty()) {
        return QStringLiteral("The server address holds a password; give it in ~/.pgpass or the environment "
                              "variable PGPASSWORD instead, so that it is never written to the program's files");
    }
    return {};
}

PgResult::PgResult(pg_result* result) : m_result(result) {}

PgResult::~PgResult() {
    if (m_result) {
        PQclear(m_result);
    }
}

PgResult::PgResult(PgResult&& other) noexcept : m_result(other.m_result) {
    other.m_result = nullptr;
}

PgResult& PgResult::operator=(PgResult&& other) noexcept {
    if (this != &other) {
        if (m_result) {
            PQclear(m_result);
        }
        m_result = other.m_result;
        other.m_result = nullptr;
    }
    return *this;
}

int PgResult::rows() const {
    return m_result ? PQntuples(m_result) : 0;
}

bool PgResult::isNull(int row, int column) const {
    return !m_result || PQgetisnull(m_result, row, column);
}

QString PgResult::text(int row, int column) const {
    return m_result ? QString::fromUtf8(PQgetvalue(m_result, row, column)) : QString();
}

qint64 PgResult::integer(int row, int column) const {
    return m_result ? std::strtoll(PQgetvalue(m_result, row, column), nullptr, 10) : 0;
}

qint64 PgResult::changed() const {
    return m_result ? std::strtoll(PQcmdTuples(m_result), nullptr, 10) : 0;
}

QString numberedPlaceholders(const QString& sql, int first) {
    QString out;
    out.reserve(sql.size() + 16);
    int n = first;
    QChar quote;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            out += c;
            if (c == quote) {
                quote = QChar();
            }
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
            out += c;
        } else if (c == u'?') {
            out += u'$' + QString::number(n++);
        } else {
            out += c;
        }
    }
    return out;
}

PgConnection::~PgConnection() {
    close();
}

StoreError PgConnection::open(const QString& location) {
    close();
    m_location = location;
    m_label = serverLabel(location);
    if (const QString problem = serverAddressProblem(location); !problem.isEmpty()) {
        return StoreError::driver(0, problem);
    }
    const QByteArray address = location.toUtf8();
    // The caller's address may set a time-out of its own; the lock wait is always the program's.
    const char* keywords[] = {"connect_timeout", "application_name", "dbname", "options", "client_encoding", nullptr};
    const char* values[] = {"10", "tunarium", address.constData(), "-c lock_timeout=2000", "UTF8", nullptr};
    m_conn = PQconnectdbParams(keywords, values, 1);
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        const QString why = m_conn ? connectMessage(m_conn) : QStringLiteral("out of memory");
        close();
        m_location = location;
        return StoreError::driver(0, QStringLiteral("Cannot open the collection on the server %1: %2").arg(m_label, why));
    }
    m_label = labelOf(QString::fromUtf8(PQuser(m_conn)), QString::fromUtf8(PQhost(m_conn)),
                      QString::fromUtf8(PQport(m_conn)), QString::fromUtf8(PQdb(m_conn)));
    if (StoreError e = settle()) {
        close();
        return e;
    }
    return {};
}

StoreError PgConnection::settle() {
    return exec(QStringLiteral("SET client_min_messages = warning; LISTEN ") + QString::fromLatin1(kChangesChannel));
}

void PgConnection::close() {
    m_prepared.clear();
    if (m_conn) {
        PQfinish(m_conn);
        m_conn = nullptr;
    }
    m_depth = 0;
}

StoreError PgConnection::connectionFailure(const QString& sql) const {
    StoreError e = StoreError::driver(
        0, QStringLiteral("The connection to the server %1 was lost (%2); nothing of the change in progress "
                          "was kept")
               .arg(m_label, m_conn ? connectMessage(m_conn) : QStringLiteral("not connected")));
    e.sql = sql;
    return e;
}

StoreError PgConnection::failure(pg_result* result, const QString& sql) const {
    if (!result || PQstatus(m_conn) != CONNECTION_OK) {
        return connectionFailure(sql);
    }
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    const QString sqlState = state ? QString::fromLatin1(state) : QString();
    const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    const QString message = primary ? QString::fromUtf8(primary) : QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
    StoreError e;
    if (sqlState == QLatin1String("40001") || sqlState == QLatin1String("40P01")) {
        e = StoreError::of(code::kChangedByOther);
    } else if (sqlState == QLatin1String("55P03")) {
        e = StoreError::of(code::kFileLocked);
    } else if (sqlState == QLatin1String("23505")) {
        e = StoreError::of(code::kDuplicateKey);
    } else if (sqlState.startsWith(QLatin1String("08")) || sqlState.startsWith(QLatin1String("57P"))) {
        return connectionFailure(sql);
    } else {
        e = StoreError::of(code::kDriverError);
    }
    e.driverMessage = QStringLiteral("%1 (server %2, %3)").arg(message, m_label, sqlState);
    e.sql = sql;
    if (sqlState.startsWith(QLatin1String("42"))) {
        qCWarning(storeCategory).noquote() << "statement refused:" << message << "in" << sql;
    } else {
        qCDebug(storeCategory).noquote() << "statement failed:" << message << "in" << sql;
    }
    return e;
}

void PgConnection::reconnectIfLost() {
    if (PQstatus(m_conn) != CONNECTION_OK && m_depth == 0) {
        // Between changes a lost connection is made again, so that a window can try once more.
        m_prepared.clear();
        PQreset(m_conn);
        if (PQstatus(m_conn) == CONNECTION_OK) {
            settle();
            // Other stations' changes while it was lost were told to nobody: anything may have
            // changed.
            ++m_dataVersion;
        }
    }
}

PgResult PgConnection::run(const QString& sql, const QVector<QVariant>& params, StoreError& error) {
    error = {};
    if (!m_conn) {
        error = StoreError::of(code::kNotOpen);
        return {};
    }
    reconnectIfLost();
    return execute(sql, nullptr, params, error);
}

PgResult PgConnection::runOften(const QString& sql, const QVector<QVariant>& params, StoreError& error) {
    // Statements beyond these few are run as they come.
    constexpr qsizetype kPreparedKept = 256;
    error = {};
    if (!m_conn) {
        error = StoreError::of(code::kNotOpen);
        return {};
    }
    reconnectIfLost();
    auto known = m_prepared.constFind(sql);
    if (known == m_prepared.constEnd()) {
        if (m_prepared.size() >= kPreparedKept) {
            return execute(sql, nullptr, params, error);
        }
        const QByteArray name = "tunarium_" + QByteArray::number(m_prepared.size() + 1);
        ++m_roundTrips;
        pg_result* made = PQprepare(m_conn, name.constData(), sql.toUtf8().constData(), static_cast<int>(params.size()),
                                    nullptr);
        if (!made || PQresultStatus(made) != PGRES_COMMAND_OK) {
            error = failure(made, sql);
            if (made) {
                PQclear(made);
            }
            return {};
        }
        PQclear(made);
        known = m_prepared.insert(sql, name);
    }
    return execute(sql, &known.value(), params, error);
}

void PgConnection::discardPrepared() {
    m_prepared.clear();
    exec(QStringLiteral("DEALLOCATE ALL"));
}

PgResult PgConnection::execute(const QString& sql, const QByteArray* prepared, const QVector<QVariant>& params,
                               StoreError& error) {
    QVector<QByteArray> texts;
    texts.reserve(params.size());
    QVector<const char*> values;
    values.reserve(params.size());
    for (const QVariant& v : params) {
        if (v.isNull() || !v.isValid()) {
            texts.push_back({});
            values.push_back(nullptr);
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::Bool:
            texts.push_back(v.toBool() ? "1" : "0");
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
            texts.push_back(QByteArray::number(v.toLongLong()));
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            texts.push_back(QByteArray::number(v.toDouble(), 'g', 17));
            break;
        default:
            texts.push_back(v.toString().toUtf8());
        }
        values.push_back(texts.back().constData());
    }
    ++m_roundTrips;
    pg_result* result =
        prepared ? PQexecPrepared(m_conn, prepared->constData(), static_cast<int>(params.size()), values.data(),
                                  nullptr, nullptr, 0)
                 : PQexecParams(m_conn, sql.toUtf8().constData(), static_cast<int>(params.size()), nullptr,
                                values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        error = failure(result, sql);
        if (result) {
            PQclear(result);
        }
        return {};
    }
    return PgResult(result);
}

StoreError PgConnection::exec(const QString& sql) {
    if (!m_conn) {
        return StoreError::of(code::kNotOpen);
    }
    ++m_roundTrips;
    pg_result* result = PQexec(m_conn, sql.toUtf8().constData());
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    StoreError e;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        e = failure(result, sql);
    }
    if (result) {
        PQclear(result);
    }
    return e;
}

StoreError PgConnection::begin() {
    StoreError e = exec(m_depth == 0 ? QStringLiteral("BEGIN ISOLATION LEVEL READ COMMITTED")
                                     : QStringLiteral("SAVEPOINT s%1").arg(m_depth));
    if (!e) {
        ++m_depth;
    }
    return e;
}

StoreError PgConnection::beginRead() {
    if (m_depth > 0) {
        return StoreError::driver(0, QStringLiteral("A snapshot cannot begin inside a transaction"));
    }
    StoreError e = exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    if (!e) {
        m_depth = 1;
    }
    return e;
}

StoreError PgConnection::commit() {
    if (m_depth == 0) {
        return StoreError::of(code::kNoTransaction);
    }
    if (m_depth > 1) {
        --m_depth;
        return exec(QStringLiteral("RELEASE SAVEPOINT s%1").arg(m_depth));
    }
    m_depth = 0;
    ++m_roundTrips;
    pg_result* result = PQexec(m_conn, "COMMIT");
    StoreError e;
    if (!result || PQresultStatus(result) != PGRES_COMMAND_OK) {
        e = failure(result, QStringLiteral("COMMIT"));
    } else if (qstrcmp(PQcmdStatus(result), "COMMIT") != 0) {
        // A transaction that failed on the way is rolled back by the server, not committed.
        e = StoreError::driver(0, QStringLiteral("The change was rolled back by the server %1: a step of it had "
                                                 "failed")
                                      .arg(m_label));
    }
    if (result) {
        PQclear(result);
    }
    return e;
}

void PgConnection::rollback() {
    if (m_depth == 0) {
        return;
    }
    if (m_depth == 1) {
        m_depth = 0;
        exec(QStringLiteral("ROLLBACK"));
        return;
    }
    --m_depth;
    exec(QStringLiteral("ROLLBACK TO SAVEPOINT s%1; RELEASE SAVEPOINT s%1").arg(m_depth));
}

StoreError PgConnection::transact(const std::function<StoreError()>& steps) {
    if (StoreError e = begin()) {
        return e;
    }
    if (StoreError e = steps()) {
        rollback();
        return e;
    }
    return commit();
}

StoreError PgConnection::copyBegin(const QString& sql) {
    if (!m_conn) {
        return StoreError::of(code::kNotOpen);
    }
    m_copySql = sql;
    ++m_roundTrips;
    pg_result* result = PQexec(m_conn, sql.toUtf8().constData());
    StoreError e;
    if (!result || PQresultStatus(result) != PGRES_COPY_IN) {
        e = failure(result, sql);
    }
    if (result) {
        PQclear(result);
    }
    return e;
}

StoreError PgConnection::copyPut(const QByteArray& lines) {
    if (PQputCopyData(m_conn, lines.constData(), static_cast<int>(lines.size())) != 1) {
        return connectionFailure(m_copySql);
    }
    return {};
}

StoreError PgConnection::copyEnd() {
    ++m_roundTrips;
    if (PQputCopyEnd(m_conn, nullptr) != 1) {
        return connectionFailure(m_copySql);
    }
    StoreError e;
    while (pg_result* result = PQgetResult(m_conn)) {
        if (!e && PQresultStatus(result) != PGRES_COMMAND_OK) {
            e = failure(result, m_copySql);
        }
        PQclear(result);
    }
    return e;
}

void appendCopyText(QByteArray& line, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += c;
        }
    }
}

qint64 PgConnection::dataVersion() {
    if (!m_conn) {
        return m_dataVersion;
    }
    PQconsumeInput(m_conn);
    const int self = PQbackendPID(m_conn);
    while (PGnotify* notice = PQnotifies(m_conn)) {
        if (notice->be_pid != self) {
            ++m_dataVersion;
        }
        PQfreemem(notice);
    }
    return m_dataVersion;
}

} // namespace tunarium
