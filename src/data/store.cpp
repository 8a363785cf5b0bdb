// The collection store over SQLite.
#include "data/store.h"

#include "data/session_marker.h"
#include "data/store_internal.h"
#include "data/write_lock_note.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <atomic>
#include <functional>
#include <optional>

namespace tunarium {

namespace {

// "TNRP": marks a SQLite file as a Tunarium collection.
constexpr int kApplicationId = 0x544E5250;

// tunarium_fold(text): the folded key (foldKey); tunarium_casefold(text): the case-folded text
// (caseFold) that filters search in.
template <QString (*Fold)(const QString&)>
void foldFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_text(context, "", 0, SQLITE_STATIC);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QByteArray folded = Fold(QString::fromUtf8(text, sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(context, folded.constData(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

std::atomic<bool> s_damageMet{false};

} // namespace

using namespace store_detail;

bool collectionDamageMet() {
    return s_damageMet;
}

Store::~Store() {
    close();
}

QString Store::filePath() const {
    return m_directory + u'/' + QString::fromLatin1(kCollectionFileName);
}

StoreError Store::open(const QString& directory) {
    close();
    m_directory = QDir(directory).absolutePath();
    if (!QDir().mkpath(m_directory)) {
        return StoreError::driver(
            SQLITE_CANTOPEN, QStringLiteral("Cannot create the collection directory %1").arg(m_directory));
    }
    const QByteArray path = filePath().toUtf8();
    int rc = sqlite3_open_v2(path.constData(), &m_db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        StoreError e = m_db ? lastError(rc) : StoreError::driver(rc, QString::fromUtf8(sqlite3_errstr(rc)));
        close();
        return e;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kLockTimeoutMs);
    // A misspelt column name in double quotes is an error, never a string.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_create_function_v2(m_db, "tunarium_fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               &foldFunction<&foldKey>, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(m_db, "tunarium_casefold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               &foldFunction<&caseFold>, nullptr, nullptr, nullptr);

    // Another copy of the program that closes the collection while this one has it open must never
    // delete the write-ahead log and its index from under this one: should this process's locks
    // on the file be lost, that copy would believe it is the last one. With a persistent log the
    // last one out checkpoints and leaves both files in place. (The journal size limit stays
    // unset: with one, the last one out would empty the log instead.)
    int persist = 1;
    sqlite3_file_control(m_db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);

    int applicationId = 0;
    int userVersion = 0;
    StoreError error = pragmaNumber("application_id", applicationId);
    if (!error) {
        error = pragmaNumber("user_version", userVersion);
    }
    if (error) {
        close();
        return error;
    }
    error = loadSchema();
    if (error) {
        close();
        return error;
    }
    // Only an empty file that no program has marked as its own becomes a collection.
    if (m_schema.isEmpty() && applicationId == 0 && userVersion == 0) {
        error = initializeFile();
    } else if (applicationId != kApplicationId ||
               !m_schema.contains(QString::fromLatin1(sql::kStructureTable)) ||
               !m_schema.contains(QString::fromLatin1(sql::kCountTable))) {
        error = StoreError::of(code::kInvalidDataFile);
        error.driverMessage = QStringLiteral("%1 is not a Tunarium collection").arg(filePath());
    } else {
        error = exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
    if (!error) {
        error = exec(QStringLiteral("PRAGMA synchronous=FULL"));
    }
    if (error) {
        close();
    }
    return error;
}

StoreError Store::pragmaNumber(const char* name, int& out) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = QByteArrayLiteral("PRAGMA ") + name;
    int rc = sqlite3_prepare_v2(m_db, text.constData(), -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            out = sqlite3_column_int(stmt, 0);
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_OK ? StoreError{} : lastError(rc);
}

StoreError Store::initializeFile() {
    for (const char* statement :
         {"PRAGMA journal_mode=WAL", "PRAGMA application_id=1414419024",
          "CREATE TABLE IF NOT EXISTS \"_structure\" (label TEXT PRIMARY KEY, version INTEGER NOT NULL) "
          "WITHOUT ROWID",
          "CREATE TABLE IF NOT EXISTS \"_counts\" (label TEXT PRIMARY KEY, n INTEGER NOT NULL DEFAULT 0, "
          "lastRec INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID"}) {
        StoreError e = exec(QString::fromLatin1(statement));
        if (e) {
            return e;
        }
    }
    static_assert(kApplicationId == 1414419024);
    return loadSchema();
}

void Store::finalizeStatements() {
    for (sqlite3_stmt* stmt : std::as_const(m_statements)) {
        sqlite3_finalize(stmt);
    }
    m_statements.clear();
    m_walks.clear();
}

void Store::close() {
    if (!m_db) {
        return;
    }
    while (m_depth > 0) {
        rollback();
    }
    finalizeStatements();
    // The persistent log keeps the size of the largest change ever made (a bulk import's). When
    // no other copy of the program has the collection open (their session markers say so,
    // whatever became of their locks) it is emptied; a reader elsewhere only makes this give up.
    if (otherCopiesOpen(m_directory) == 0) {
        sqlite3_busy_timeout(m_db, 0);
        sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    }
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_openCounts.fill(0);
    m_schema.clear();
}

StoreError Store::lastError(int rc) const {
    const int primary = rc & 0xff;
    if (primary == SQLITE_CORRUPT) {
        s_damageMet = true;
    }
    switch (primary) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: {
        StoreError e = StoreError::of(code::kFileLocked);
        // Held by long work of this program: the lock warning says which.
        if (const QString why = WriteLockNote::current(); !why.isEmpty()) {
            e.text += QStringLiteral(": ") + why;
        }
        e.driverCode = rc;
        e.driverMessage = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
        return e;
    }
    case SQLITE_NOTADB: {
        StoreError e = StoreError::of(code::kInvalidDataFile);
        e.driverCode = rc;
        e.driverMessage = QString::fromUtf8(sqlite3_errstr(rc));
        return e;
    }
    default:
        return StoreError::driver(rc, m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                           : QString::fromUtf8(sqlite3_errstr(rc)));
    }
}

sqlite3_stmt* Store::prepare(const QString& sqlText, StoreError& error) {
    if (!m_db) {
        error = StoreError::of(code::kFileNotFound);
        return nullptr;
    }
    if (sqlite3_stmt* cached = m_statements.value(sqlText)) {
        return cached;
    }
    const QByteArray utf8 = sqlText.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), static_cast<int>(utf8.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        error = lastError(rc);
        sqlite3_finalize(stmt);
        return nullptr;
    }
    m_statements.insert(sqlText, stmt);
    return stmt;
}

StoreError Store::exec(const QString& sqlText) {
    if (!m_db) {
        return StoreError::of(code::kFileNotFound);
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sqlText.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    return rc == SQLITE_OK ? StoreError{} : lastError(rc);
}

StoreError Store::stepDone(sqlite3_stmt* stmt) {
    int rc = sqlite3_step(stmt);
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(stmt);
    }
    return rc == SQLITE_DONE ? StoreError{} : lastError(rc);
}

StoreError Store::validate(const Row& row) const {
    const TableDef& t = row.table();
    if (row.size() != t.fieldCount()) {
        return StoreError::driver(SQLITE_MISMATCH,
                                  QStringLiteral("A %1 record has the wrong number of fields").arg(t.label));
    }
    for (int i = 0; i < t.fieldCount(); ++i) {
        const FieldDef& f = t.field(i);
        const QVariant& v = row.value(i);
        if (f.isText()) {
            const qsizetype length = trimTrailingBlanks(v.toString()).size();
            if (length > f.width) {
                return StoreError::driver(
                    SQLITE_TOOBIG,
                    QStringLiteral("The text for %1 is %2 characters long; it holds at most %3")
                        .arg(t.qualifiedField(i))
                        .arg(length)
                        .arg(f.width));
            }
            continue;
        }
        bool ok = true;
        const qint64 n = v.toLongLong(&ok);
        if (!ok && !v.isNull()) {
            return StoreError::driver(SQLITE_MISMATCH,
                                      QStringLiteral("The value \"%1\" of %2 is not a number")
                                          .arg(v.toString(), t.qualifiedField(i)));
        }
        if (n < f.minValue() || n > f.maxValue()) {
            return StoreError::driver(SQLITE_RANGE, QStringLiteral("The value %1 does not fit %2 (%3 to %4)")
                                                        .arg(n)
                                                        .arg(t.qualifiedField(i))
                                                        .arg(f.minValue())
                                                        .arg(f.maxValue()));
        }
    }
    return {};
}

void Store::bindRow(sqlite3_stmt* stmt, const Row& row, int firstParam) const {
    const TableDef& t = row.table();
    int param = firstParam;
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (t.field(i).isText()) {
            bindText(stmt, param++, trimTrailingBlanks(row.text(i)));
        } else {
            sqlite3_bind_int64(stmt, param++, row.number(i));
        }
    }
    for (int i : sql::statements(t).foldedFields) {
        bindText(stmt, param++, foldKey(row.text(i)));
    }
}

void Store::readRow(sqlite3_stmt* stmt, TableId table, Row& out) const {
    const TableDef& t = tableDef(table);
    if (out.tableId() != table || out.size() != t.fieldCount()) {
        out = Row(table);
    }
    out.meta.rec = sqlite3_column_int64(stmt, 0);
    out.meta.version = sqlite3_column_int64(stmt, 1);
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (t.field(i).isText()) {
            out.setRaw(i, columnText(stmt, i + 2));
        } else {
            out.setNumber(i, sqlite3_column_int64(stmt, i + 2));
        }
    }
}

StoreError Store::duplicateKeyError(const Row& row, int rc) {
    StoreError e = StoreError::of(code::kDuplicateKey);
    e.driverCode = rc;
    e.driverMessage = QString::fromUtf8(sqlite3_errmsg(m_db));
    const TableDef& t = row.table();
    for (int k = 0; k < t.keys.size(); ++k) {
        if (!t.key(k).unique) {
            continue;
        }
        QVector<QVariant> values;
        for (int field : t.key(k).components) {
            values << row.value(field);
        }
        Row other;
        if (get(t.id, k, values, other).ok() && other.meta.rec != row.meta.rec) {
            e.keyName = t.qualifiedKey(k);
            break;
        }
    }
    return e;
}

StoreError Store::insert(Row& row) {
    if (StoreError e = validate(row)) {
        return e;
    }
    const TableDef& t = row.table();
    // The number and the record go in together; inside a caller's transaction they already do.
    std::optional<Transaction> tx;
    if (!inTransaction()) {
        tx.emplace(*this);
        if (!tx->ok()) {
            return tx->beginError();
        }
    }
    const sql::TableStatements& st = sql::statements(t);
    StoreError error;
    sqlite3_stmt* number = prepare(st.nextRec, error);
    if (!number) {
        return error;
    }
    qint64 rec = 0;
    {
        StatementReset reset(number);
        bindText(number, 1, t.label);
        const int rc = sqlite3_step(number);
        if (rc != SQLITE_ROW) {
            return rc == SQLITE_DONE ? StoreError::of(code::kFileNotFound) : lastError(rc);
        }
        rec = sqlite3_column_int64(number, 0);
        sqlite3_step(number);
    }

    sqlite3_stmt* stmt = prepare(st.insert, error);
    if (!stmt) {
        return error;
    }
    {
        StatementReset reset(stmt);
        sqlite3_bind_int64(stmt, 1, rec);
        sqlite3_bind_int64(stmt, 2, rec);
        sqlite3_bind_int64(stmt, 3, 0);
        bindRow(stmt, row, 4);
        const int rc = sqlite3_step(stmt);
        if (rc != SQLITE_DONE) {
            if ((rc & 0xff) == SQLITE_CONSTRAINT) {
                sqlite3_reset(stmt);
                return duplicateKeyError(row, rc);
            }
            return lastError(rc);
        }
    }
    if (tx) {
        if (StoreError e = tx->commit()) {
            return e;
        }
    }
    row.meta.rec = rec;
    row.meta.version = 0;
    return {};
}

StoreError Store::update(Row& row) {
    if (StoreError e = validate(row)) {
        return e;
    }
    const TableDef& t = row.table();
    StoreError error;
    sqlite3_stmt* stmt = prepare(sql::statements(t).update, error);
    if (!stmt) {
        return error;
    }
    StatementReset reset(stmt);
    bindRow(stmt, row, 1);
    const int last = sqlite3_bind_parameter_count(stmt);
    sqlite3_bind_int64(stmt, last - 1, row.meta.rec);
    sqlite3_bind_int64(stmt, last, row.meta.version);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) {
        if ((rc & 0xff) == SQLITE_CONSTRAINT) {
            sqlite3_reset(stmt);
            return duplicateKeyError(row, rc);
        }
        return lastError(rc);
    }
    if (sqlite3_changes(m_db) == 0) {
        Row current;
        return fetch(t.id, row.meta.rec, current).ok() ? StoreError::of(code::kChangedByOther)
                                                       : StoreError::of(code::kRecordNotFound);
    }
    ++row.meta.version;
    return {};
}

StoreError Store::remove(const Row& row) {
    const TableDef& t = row.table();
    StoreError error;
    sqlite3_stmt* stmt = prepare(sql::statements(t).remove, error);
    if (!stmt) {
        return error;
    }
    StatementReset reset(stmt);
    sqlite3_bind_int64(stmt, 1, row.meta.rec);
    if (StoreError e = stepDone(stmt)) {
        return e;
    }
    return sqlite3_changes(m_db) == 0 ? StoreError::of(code::kRecordNotFound) : StoreError{};
}

StoreError Store::begin() {
    StoreError e =
        exec(m_depth == 0 ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT s%1").arg(m_depth));
    if (!e) {
        ++m_depth;
    }
    return e;
}

StoreError Store::commit() {
    if (m_depth == 0) {
        return {};
    }
    if (m_depth == 1) {
        StoreError e = exec(QStringLiteral("COMMIT"));
        if (e) {
            exec(QStringLiteral("ROLLBACK"));
        }
        m_depth = 0;
        return e;
    }
    --m_depth;
    return exec(QStringLiteral("RELEASE s%1").arg(m_depth));
}

void Store::rollback() {
    if (m_depth == 0) {
        return;
    }
    if (m_depth == 1) {
        exec(QStringLiteral("ROLLBACK"));
        m_depth = 0;
        return;
    }
    --m_depth;
    exec(QStringLiteral("ROLLBACK TO s%1").arg(m_depth));
    exec(QStringLiteral("RELEASE s%1").arg(m_depth));
}

qint64 Store::dataVersion() {
    StoreError error;
    sqlite3_stmt* stmt = prepare(QStringLiteral("PRAGMA data_version"), error);
    if (!stmt) {
        return -1;
    }
    StatementReset reset(stmt);
    return sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
}

QStringList Store::explainQueryPlan(const QString& sqlText) {
    QStringList lines;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray q = (QStringLiteral("EXPLAIN QUERY PLAN ") + sqlText).toUtf8();
    if (sqlite3_prepare_v2(m_db, q.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        lines << QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(stmt);
        return lines;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        lines << columnText(stmt, 3);
    }
    sqlite3_finalize(stmt);
    return lines;
}

Transaction::Transaction(Store& store) : m_store(store) {
    m_beginError = m_store.begin();
    m_active = m_beginError.ok();
}

Transaction::~Transaction() {
    rollback();
}

StoreError Transaction::commit() {
    if (!m_active) {
        return StoreError::of(code::kFileNotFound);
    }
    m_active = false;
    return m_store.commit();
}

void Transaction::rollback() {
    if (m_active) {
        m_active = false;
        m_store.rollback();
    }
}

} // namespace tunarium
