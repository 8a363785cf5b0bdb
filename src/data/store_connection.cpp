// The connection to the collection file, its statements and its transactions.
#include "data/store_connection.h"

#include "data/fold_key.h"
#include "data/output_file.h"
#include "data/store_diagnostics.h"
#include "data/write_lock_note.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace tunarium {

namespace {

constexpr int kBackupRetryMs = 50;
constexpr int kProgressInstructions = 100000;
constexpr int kStopInstructions = 5000;
// Pages a backup that reports its progress copies at a time (16 MB of 4 KB pages).
constexpr int kBackupPagesPerStep = 4096;

std::atomic<bool> s_damageMet{false};

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

// tunarium_keyinstr(key, needle): instr(substr(key, instr(key, char(1)) + 1), needle) without
// copying the key: the position, in characters, of the needle in a folded key's case-folded part
// (after its separator, or the whole key when it has none); 0 when absent, NULL with a NULL
// argument. A search that reads through every song calls it once per song.
void keyInstrFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL ||
        sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* key = sqlite3_value_text(argv[0]);
    const auto keyBytes = static_cast<size_t>(sqlite3_value_bytes(argv[0]));
    const auto* needle = sqlite3_value_text(argv[1]);
    const auto needleBytes = static_cast<size_t>(sqlite3_value_bytes(argv[1]));
    if (!key || !needle) {
        sqlite3_result_error_nomem(context);
        return;
    }
    const unsigned char* text = key;
    size_t textBytes = keyBytes;
    if (const void* separator = std::memchr(key, 1, keyBytes)) {
        text = static_cast<const unsigned char*>(separator) + 1;
        textBytes = keyBytes - static_cast<size_t>(text - key);
    }
    const void* hit = needleBytes == 0 ? text : memmem(text, textBytes, needle, needleBytes);
    if (!hit) {
        sqlite3_result_int(context, 0);
        return;
    }
    // Characters before the match: every byte that does not continue a UTF-8 sequence.
    sqlite3_int64 position = 1;
    for (const unsigned char* c = text; c != hit; ++c) {
        position += (*c & 0xC0) != 0x80 ? 1 : 0;
    }
    sqlite3_result_int64(context, position);
}

// A second database file opened only to receive a backup.
class BackupTarget {
public:
    explicit BackupTarget(const QString& path) {
        m_code = sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                 nullptr);
    }
    ~BackupTarget() { sqlite3_close_v2(m_db); }
    BackupTarget(const BackupTarget&) = delete;
    BackupTarget& operator=(const BackupTarget&) = delete;

    sqlite3* db() const { return m_code == SQLITE_OK ? m_db : nullptr; }
    StoreError error() const {
        const int code = m_code != SQLITE_OK ? m_code : sqlite3_errcode(m_db);
        return StoreError::driver(code, m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                             : QString::fromUtf8(sqlite3_errstr(code)));
    }

private:
    sqlite3* m_db = nullptr;
    int m_code = SQLITE_OK;
};

} // namespace

bool collectionDamageMet() {
    return s_damageMet;
}

Statement::Statement(Statement&& other) noexcept
    : m_connection(other.m_connection), m_stmt(other.m_stmt), m_code(other.m_code) {
    other.m_stmt = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_connection = other.m_connection;
        m_stmt = other.m_stmt;
        m_code = other.m_code;
        other.m_stmt = nullptr;
    }
    return *this;
}

void Statement::bindValue(int param, const QVariant& value) {
    assertParameter(param);
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        sqlite3_bind_int64(m_stmt, param, value.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_bind_double(m_stmt, param, value.toDouble());
        break;
    default:
        if (value.isNull()) {
            sqlite3_bind_null(m_stmt, param);
        } else {
            bindText(param, value.toString());
        }
    }
}

StoreError Statement::run() {
    Step s = step();
    while (s == Step::Row) {
        s = step();
    }
    return s == Step::Done ? StoreError{} : error();
}

StoreError Statement::error() const {
    Q_ASSERT_X(m_stmt, "Statement::error", "asked of a statement that was never prepared");
    Q_ASSERT_X(m_code != SQLITE_OK && m_code != SQLITE_ROW && m_code != SQLITE_DONE, "Statement::error",
               "asked after a step that did not fail");
    return m_connection->statementError(m_code, QString::fromUtf8(sqlite3_sql(m_stmt)));
}

StoreError Connection::open(const QString& path, bool readOnly) {
    close(false);
    m_readOnly = readOnly;
    QByteArray name = path.toUtf8();
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    // A collection on a read-only disc without its log files: SQLite could not make them, and
    // nobody writes there, so it is read as it lies.
    if (readOnly && QFileInfo(path + QStringLiteral("-wal")).size() == 0 &&
        !QFileInfo::exists(path + QStringLiteral("-shm"))) {
        name = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
        flags |= SQLITE_OPEN_URI;
    }
    int rc = sqlite3_open_v2(name.constData(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        StoreError e = m_db ? error(rc) : StoreError::driver(rc, QString::fromUtf8(sqlite3_errstr(rc)));
        close(false);
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
    sqlite3_create_function_v2(m_db, "tunarium_keyinstr", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               &keyInstrFunction, nullptr, nullptr, nullptr);
    // Not deterministic: it is called for every row, never once for a statement.
    sqlite3_create_function_v2(m_db, "tunarium_counted", 0, SQLITE_UTF8 | SQLITE_DIRECTONLY, this,
                               &Connection::countedFunction, nullptr, nullptr, nullptr);

    // Another copy of the program that closes the collection while this one has it open must never
    // delete the write-ahead log and its index from under this one: should this process's locks
    // on the file be lost, that copy would believe it is the last one. With a persistent log the
    // last one out checkpoints and leaves both files in place. (The journal size limit stays
    // unset: with one, the last one out would empty the log instead.)
    int persist = 1;
    sqlite3_file_control(m_db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    if (!path.isEmpty() && !path.startsWith(u':')) {
        m_guarded = path;
        enterOpenCollection(m_guarded);
    }
    return {};
}

void Connection::close(bool emptyLog) {
    if (!m_db) {
        return;
    }
    while (m_depth > 0) {
        rollback();
    }
    clearStatements();
    setProgress(nullptr);
    if (emptyLog) {
        sqlite3_busy_timeout(m_db, 0);
        sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    }
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    if (!m_guarded.isEmpty()) {
        leaveOpenCollection(m_guarded);
        m_guarded.clear();
    }
}

StoreError Connection::error(int rc) const {
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
    case SQLITE_READONLY:
        if (m_readOnly) {
            return StoreError::driver(rc, readOnlyText());
        }
        [[fallthrough]];
    default:
        return StoreError::driver(rc, m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                           : QString::fromUtf8(sqlite3_errstr(rc)));
    }
}

StoreError Connection::statementError(int rc, const QString& sql) const {
    StoreError e = error(rc);
    e.sql = sql;
    const int primary = rc & 0xff;
    if (primary == SQLITE_ERROR || primary == SQLITE_MISUSE || primary == SQLITE_RANGE) {
        qCWarning(storeCategory).noquote() << "statement failed:" << e.describe() << "in" << sql;
    } else {
        qCDebug(storeCategory).noquote() << "statement failed:" << e.describe() << "in" << sql;
    }
    return e;
}

QString Connection::readOnlyText() {
    return QStringLiteral("The collection is read-only (on a read-only disc or folder): nothing in it can be changed");
}

StoreError Connection::exec(const QString& sql) {
    if (!m_db) {
        return StoreError::of(code::kNotOpen);
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    return rc == SQLITE_OK ? StoreError{} : statementError(rc, sql);
}

Statement Connection::prepare(const QString& sql, StoreError& failure, bool kept) {
    if (!m_db) {
        failure = StoreError::of(code::kNotOpen);
        return {};
    }
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), static_cast<int>(utf8.size()),
                                      kept ? SQLITE_PREPARE_PERSISTENT : 0, &stmt, nullptr);
    Statement statement(this, stmt);
    if (rc != SQLITE_OK) {
        failure = statementError(rc, sql);
        return {};
    }
    return statement;
}

Statement* Connection::cached(const QString& sql, StoreError& failure) {
    if (auto it = m_statements.find(sql); it != m_statements.end()) {
        return it->second.get();
    }
    Statement statement = prepare(sql, failure, true);
    if (!statement.isValid()) {
        return nullptr;
    }
    auto kept = std::make_unique<Statement>(std::move(statement));
    Statement* result = kept.get();
    m_statements.emplace(sql, std::move(kept));
    return result;
}

Statement* Connection::numbered(quint64 number) const {
    return m_numbered.value(number);
}

void Connection::setNumbered(quint64 number, Statement* statement) {
    m_numbered.insert(number, statement);
}

void Connection::clearStatements() {
    m_numbered.clear();
    m_statements.clear();
}

StoreError Connection::enlargeCache(int kilobytes) {
    int cache = 0;
    if (m_cacheBefore != 0) {
        return {};
    }
    if (StoreError e = pragmaNumber("cache_size", cache)) {
        return e;
    }
    if (StoreError e = exec(QStringLiteral("PRAGMA cache_size=-%1").arg(kilobytes))) {
        return e;
    }
    m_cacheBefore = cache != 0 ? cache : -2000;
    return {};
}

void Connection::restoreCache() {
    if (m_cacheBefore != 0) {
        exec(QStringLiteral("PRAGMA cache_size=%1").arg(m_cacheBefore));
        m_cacheBefore = 0;
    }
}

StoreError Connection::pragmaNumber(const char* name, int& out) {
    StoreError failure;
    Statement pragma = prepare(QStringLiteral("PRAGMA ") + QLatin1String(name), failure);
    if (!pragma.isValid()) {
        return failure;
    }
    switch (pragma.step()) {
    case Statement::Step::Row:
        out = static_cast<int>(pragma.integer(0));
        return {};
    case Statement::Step::Done:
        return {};
    case Statement::Step::Failed:
        break;
    }
    return pragma.error();
}

qint64 Connection::changes() const {
    return sqlite3_changes64(m_db);
}

StoreError Connection::begin() {
    StoreError e =
        exec(m_depth == 0 ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT s%1").arg(m_depth));
    if (!e) {
        ++m_depth;
    }
    return e;
}

StoreError Connection::beginRead() {
    if (m_depth > 0) {
        return StoreError::driver(SQLITE_MISUSE, QStringLiteral("A transaction is open"));
    }
    if (StoreError e = exec(QStringLiteral("BEGIN DEFERRED"))) {
        return e;
    }
    // The snapshot is taken by the first read, here rather than by whatever reads first later.
    if (StoreError e = exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_schema"))) {
        exec(QStringLiteral("ROLLBACK"));
        return e;
    }
    m_depth = 1;
    return {};
}

StoreError Connection::commit() {
    if (m_depth == 0) {
        return StoreError::of(code::kNoTransaction);
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

void Connection::rollback() {
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

qint64 Connection::dataVersion() {
    StoreError failure;
    Statement* version = cached(QStringLiteral("PRAGMA data_version"), failure);
    if (!version) {
        return -1;
    }
    StatementScope scope(*version);
    return version->step() == Statement::Step::Row ? version->integer(0) : -1;
}

qint64 Connection::ownChanges() const {
    return m_db ? sqlite3_total_changes64(m_db) : -1;
}

StoreError Connection::backupTo(const QString& path, const std::function<void(double)>& progress,
                                BackupOver over) {
    if (!m_db) {
        return StoreError::of(code::kNotOpen);
    }
    // The copy is made under a passing name beside the target and takes the target's name only
    // when it is whole and synced: a failed copy (a damaged collection, a full disk) leaves
    // nothing that looks like a backup, and a backup never replaces a file, least of all one of
    // the collection's own.
    OutputFile file(path, over == BackupOver::NoFile ? OutputFile::Existing::Refuse : OutputFile::Existing::Replace);
    if (!file.begin()) {
        return StoreError::driver(SQLITE_CANTOPEN, QStringLiteral("The backup cannot be written: %1").arg(file.error()));
    }
    StoreError e;
    {
        BackupTarget target(file.writtenPath());
        if (!target.db()) {
            e = target.error();
        } else if (sqlite3_backup* backup = sqlite3_backup_init(target.db(), "main", m_db, "main")) {
            // The collection may be locked by a writer for a moment; as long as the lock time-out.
            int rc = SQLITE_OK;
            for (int waited = 0;;) {
                rc = sqlite3_backup_step(backup, progress ? kBackupPagesPerStep : -1);
                if (rc == SQLITE_OK) {
                    // A part was copied; the rest follows (a lock met later waits afresh).
                    const int pages = sqlite3_backup_pagecount(backup);
                    progress(pages > 0 ? 1.0 - static_cast<double>(sqlite3_backup_remaining(backup)) / pages
                                       : 1.0);
                    waited = 0;
                    continue;
                }
                if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || waited >= kLockTimeoutMs) {
                    break;
                }
                sqlite3_sleep(kBackupRetryMs);
                waited += kBackupRetryMs;
            }
            sqlite3_backup_finish(backup);
            // A lock or damage is the collection's; anything else (a full disk) is the copy's, which
            // the collection's connection has no message for.
            const int primary = rc & 0xff;
            if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED || primary == SQLITE_CORRUPT) {
                e = error(rc);
            } else if (rc != SQLITE_DONE) {
                e = StoreError::driver(rc, QString::fromUtf8(sqlite3_errstr(rc)));
            }
        } else {
            e = target.error();
        }
    }
    // SQLite has closed the copy: now it is synced and named.
    if (!e && !file.commit()) {
        e = StoreError::driver(SQLITE_CANTOPEN, QStringLiteral("The backup cannot be written: %1").arg(file.error()));
    }
    return e;
}

StoreError Connection::checkpoint() {
    if (!m_db) {
        return StoreError::of(code::kNotOpen);
    }
    int logFrames = 0;
    int copied = 0;
    const int rc = sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &logFrames, &copied);
    return rc == SQLITE_OK ? StoreError{} : StoreError::driver(rc, QString::fromUtf8(sqlite3_errmsg(m_db)));
}

int Connection::progressTick(void* self) {
    auto* connection = static_cast<Connection*>(self);
    if (connection->m_tick) {
        connection->m_tick();
    }
    return connection->m_stop && connection->m_stop() ? 1 : 0; // 0: go on
}

void Connection::countedFunction(sqlite3_context* context, int, sqlite3_value**) {
    auto* self = static_cast<Connection*>(sqlite3_user_data(context));
    ++self->m_rowsCounted;
    if (self->m_rowCounter) {
        self->m_rowCounter(self->m_rowsCounted);
    }
    sqlite3_result_int(context, 1);
}

void Connection::setRowCounter(std::function<void(qint64)> counter) {
    m_rowCounter = std::move(counter);
    m_rowsCounted = 0;
}

void Connection::setProgress(std::function<void()> tick) {
    m_tick = std::move(tick);
    installProgress();
}

void Connection::setStop(std::function<bool()> stop) {
    m_stop = std::move(stop);
    installProgress();
}

void Connection::installProgress() {
    if (!m_db) {
        return;
    }
    // A stop is asked more often than a tick is given: a cancelled read ends within a millisecond.
    const int every = m_stop ? kStopInstructions : kProgressInstructions;
    const bool any = m_tick || m_stop;
    sqlite3_progress_handler(m_db, any ? every : 0, any ? &progressTick : nullptr, this);
}

QStringList Connection::explainQueryPlan(const QString& sql) {
    QStringList lines;
    StoreError failure;
    Statement plan = prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + sql, failure);
    if (!plan.isValid()) {
        lines << QStringLiteral("error: ") + failure.driverMessage;
        return lines;
    }
    while (plan.step() == Statement::Step::Row) {
        lines << plan.text(3);
    }
    return lines;
}

} // namespace tunarium
