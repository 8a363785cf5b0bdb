// The collection store over SQLite.
#include "data/store.h"

#include "data/write_lock_note.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <functional>
#include <optional>

namespace tunarium {

namespace {

// "TNRP": marks a SQLite file as a Tunarium collection.
constexpr int kApplicationId = 0x544E5250;

void foldFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_text(context, "", 0, SQLITE_STATIC);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QByteArray folded = foldKey(QString::fromUtf8(text, sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(context, folded.constData(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

QString columnText(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)) : QString();
}

void bindText(sqlite3_stmt* stmt, int param, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, param, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

// Binds a key component value as the key compares it.
void bindKeyValue(sqlite3_stmt* stmt, int param, const TableDef& t, int key, int field, const QVariant& value) {
    if (t.field(field).type == FieldType::String) {
        const QString text = trimTrailingBlanks(value.toString());
        bindText(stmt, param, t.key(key).caseInsensitive ? foldKey(text) : text);
    } else {
        sqlite3_bind_int64(stmt, param, value.toLongLong());
    }
}

void bindValue(sqlite3_stmt* stmt, int param, const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        sqlite3_bind_int64(stmt, param, value.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_bind_double(stmt, param, value.toDouble());
        break;
    default:
        if (value.isNull()) {
            sqlite3_bind_null(stmt, param);
        } else {
            bindText(stmt, param, value.toString());
        }
    }
}

class StatementReset {
public:
    explicit StatementReset(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    ~StatementReset() {
        if (m_stmt) {
            sqlite3_reset(m_stmt);
            sqlite3_clear_bindings(m_stmt);
        }
    }
    StatementReset(const StatementReset&) = delete;
    StatementReset& operator=(const StatementReset&) = delete;

private:
    sqlite3_stmt* m_stmt;
};

} // namespace

QString foldKey(const QString& text) {
    return trimTrailingBlanks(text).toCaseFolded();
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
        return StoreError::driver(SQLITE_CANTOPEN,
                                  QStringLiteral("Cannot create the collection directory %1").arg(m_directory));
    }
    const QByteArray path = filePath().toUtf8();
    int rc = sqlite3_open_v2(path.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
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
    sqlite3_create_function_v2(m_db, "tunarium_fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &foldFunction,
                               nullptr, nullptr, nullptr);

    StoreError error;
    sqlite3_stmt* probe = prepare(QStringLiteral("PRAGMA application_id"), error);
    if (!probe) {
        close();
        return error;
    }
    int applicationId = 0;
    {
        StatementReset reset(probe);
        rc = sqlite3_step(probe);
        if (rc == SQLITE_ROW) {
            applicationId = sqlite3_column_int(probe, 0);
        } else {
            error = lastError(rc);
        }
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
    if (m_schema.isEmpty() && applicationId == 0) {
        error = initializeFile();
    } else if (applicationId != kApplicationId || !m_schema.contains(QString::fromLatin1(sql::kStructureTable)) ||
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

StoreError Store::initializeFile() {
    for (const char* statement :
         {"PRAGMA journal_mode=WAL", "PRAGMA application_id=1414419024",
          "CREATE TABLE IF NOT EXISTS \"_structure\" (label TEXT PRIMARY KEY, version INTEGER NOT NULL) WITHOUT ROWID",
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
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_openCounts.fill(0);
    m_schema.clear();
}

StoreError Store::lastError(int rc) const {
    const int primary = rc & 0xff;
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

StoreError Store::loadSchema() {
    m_schema.clear();
    sqlite3_stmt* stmt = nullptr;
    const int prepared = sqlite3_prepare_v2(m_db, "SELECT name, IFNULL(sql, '') FROM sqlite_master", -1, &stmt, nullptr);
    if (prepared != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return lastError(prepared);
    }
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        m_schema.insert(columnText(stmt, 0), columnText(stmt, 1));
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? StoreError{} : lastError(rc);
}

int Store::storedVersion(TableId table) {
    StoreError error;
    sqlite3_stmt* stmt = prepare(QStringLiteral("SELECT version FROM \"_structure\" WHERE label = ?"), error);
    if (!stmt) {
        return -1;
    }
    StatementReset reset(stmt);
    bindText(stmt, 1, tableDef(table).label);
    return sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
}

TableState Store::tableState(TableId table) {
    const TableDef& t = tableDef(table);
    if (!m_schema.contains(t.label)) {
        return TableState::Missing;
    }
    const int version = storedVersion(table);
    if (version > t.version) {
        return TableState::Newer;
    }
    if (version < t.version) {
        return TableState::Older;
    }
    if (m_schema.value(t.label) != sql::createTableSql(t)) {
        return TableState::Different;
    }
    for (int k = 0; k < t.keys.size(); ++k) {
        if (m_schema.value(sql::indexName(t, k)) != sql::createIndexSql(t, k)) {
            return TableState::KeysDamaged;
        }
    }
    for (const QString& trigger : sql::createCountTriggersSql(t)) {
        if (!m_schema.values().contains(trigger)) {
            return TableState::KeysDamaged;
        }
    }
    return TableState::Current;
}

StoreError Store::setStructure(const TableDef& t) {
    StoreError error;
    sqlite3_stmt* stmt =
        prepare(QStringLiteral("INSERT OR REPLACE INTO \"_structure\" (label, version) VALUES (?, ?)"), error);
    if (!stmt) {
        return error;
    }
    StatementReset reset(stmt);
    bindText(stmt, 1, t.label);
    sqlite3_bind_int(stmt, 2, t.version);
    error = stepDone(stmt);
    if (error) {
        return error;
    }
    // The count and the last record number follow the table's actual contents.
    sqlite3_stmt* count = prepare(QStringLiteral("INSERT OR REPLACE INTO \"_counts\" (label, n, lastRec) SELECT ?, "
                                                 "COUNT(*), IFNULL(MAX(rowid), 0) FROM ") +
                                      sql::quoted(t.label),
                                  error);
    if (!count) {
        return error;
    }
    StatementReset resetCount(count);
    bindText(count, 1, t.label);
    return stepDone(count);
}

StoreError Store::makeIndexes(const TableDef& t) {
    for (int k = 0; k < t.keys.size(); ++k) {
        if (StoreError e = exec(sql::createIndexSql(t, k))) {
            return e;
        }
    }
    for (const QString& trigger : sql::createCountTriggersSql(t)) {
        if (StoreError e = exec(trigger)) {
            return e;
        }
    }
    return {};
}

StoreError Store::refreshFolded(const TableDef& t) {
    QStringList sets;
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (sql::hasFoldedColumn(t, i)) {
            sets << sql::quoted(sql::foldedColumn(t, i)) + QStringLiteral(" = tunarium_fold(") +
                        sql::quoted(sql::fieldColumn(t, i)) + u')';
        }
    }
    if (sets.isEmpty()) {
        return {};
    }
    return exec(QStringLiteral("UPDATE ") + sql::quoted(t.label) + QStringLiteral(" SET ") +
                sets.join(QStringLiteral(", ")));
}

StoreError Store::restructure(const TableDef& t, const std::function<StoreError()>& steps) {
    StoreError e;
    {
        Transaction tx(*this);
        if (!tx.ok()) {
            return tx.beginError();
        }
        e = steps();
        if (!e) {
            e = makeIndexes(t);
        }
        if (!e) {
            e = setStructure(t);
        }
        if (!e) {
            e = tx.commit();
        }
    }
    finalizeStatements();
    const StoreError reload = loadSchema();
    return e ? e : reload;
}

StoreError Store::createTable(TableId table) {
    const TableDef& t = tableDef(table);
    return restructure(t, [&] { return exec(sql::createTableSql(t)); });
}

StoreError Store::upgradeTable(TableId table) {
    const TableDef& t = tableDef(table);
    if (tableState(table) == TableState::Newer) {
        StoreError e = StoreError::of(code::kLayoutDiffers);
        e.driverMessage = QStringLiteral("%1 was written by a newer version of the program").arg(t.label);
        return e;
    }
    if (!m_backedUpForUpgrade) {
        if (StoreError e = makeBackup(QStringLiteral("upgrade"))) {
            return e;
        }
        m_backedUpForUpgrade = true;
    }
    finalizeStatements();

    // Old columns, by name.
    QStringList oldColumns;
    {
        sqlite3_stmt* info = nullptr;
        const QByteArray q = (QStringLiteral("PRAGMA table_info(") + sql::quoted(t.label) + u')').toUtf8();
        if (sqlite3_prepare_v2(m_db, q.constData(), -1, &info, nullptr) != SQLITE_OK) {
            sqlite3_finalize(info);
            return lastError(sqlite3_errcode(m_db));
        }
        while (sqlite3_step(info) == SQLITE_ROW) {
            oldColumns << columnText(info, 1);
        }
        sqlite3_finalize(info);
    }

    const QString oldName = QStringLiteral("_old_") + t.label;
    QStringList steps;
    steps << QStringLiteral("DROP TABLE IF EXISTS ") + sql::quoted(oldName);
    steps << QStringLiteral("ALTER TABLE ") + sql::quoted(t.label) + QStringLiteral(" RENAME TO ") +
                 sql::quoted(oldName);
    steps << sql::createTableSql(t);

    QStringList targets{QStringLiteral("rowid"), sql::quoted(sql::kRecColumn)};
    QStringList sources{QStringLiteral("rowid"), QStringLiteral("rowid")};
    for (int i = 0; i < t.fieldCount(); ++i) {
        const FieldDef& f = t.field(i);
        QString old;
        for (const QString& c : oldColumns) {
            if (c.compare(f.name, Qt::CaseInsensitive) == 0) {
                old = c;
            }
        }
        if (old.isEmpty()) {
            continue;
        }
        targets << sql::quoted(f.name);
        if (f.isText()) {
            sources << QStringLiteral("rtrim(substr(CAST(IFNULL(%1, '') AS TEXT), 1, %2), ' ')")
                           .arg(sql::quoted(old))
                           .arg(f.width);
        } else {
            sources << QStringLiteral("MAX(%1, MIN(%2, CAST(IFNULL(%3, 0) AS INTEGER)))")
                           .arg(f.minValue())
                           .arg(f.maxValue())
                           .arg(sql::quoted(old));
        }
    }
    steps << QStringLiteral("INSERT INTO ") + sql::quoted(t.label) + QStringLiteral(" (") +
                 targets.join(QStringLiteral(", ")) + QStringLiteral(") SELECT ") +
                 sources.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + sql::quoted(oldName);
    steps << QStringLiteral("DROP TABLE ") + sql::quoted(oldName);

    return restructure(t, [&] {
        StoreError e = dropKeys(t);
        for (const QString& step : steps) {
            e = exec(step);
        }
        return e ? e : refreshFolded(t);
    });
}

StoreError Store::dropKeys(const TableDef& t) {
    StoreError e;
    for (auto it = m_schema.cbegin(); it != m_schema.cend() && !e; ++it) {
        const QString& sqlText = it.value();
        if (!sqlText.contains(QStringLiteral(" ON ") + sql::quoted(t.label))) {
            continue;
        }
        if (sqlText.startsWith(QStringLiteral("CREATE TRIGGER"))) {
            e = exec(QStringLiteral("DROP TRIGGER IF EXISTS ") + sql::quoted(it.key()));
        } else if (sqlText.contains(QStringLiteral("INDEX"))) {
            e = exec(QStringLiteral("DROP INDEX IF EXISTS ") + sql::quoted(it.key()));
        }
    }
    // Indexes whose definition was lost from sqlite_master are dropped by name too.
    for (int k = 0; k < t.keys.size() && !e; ++k) {
        e = exec(QStringLiteral("DROP INDEX IF EXISTS ") + sql::quoted(sql::indexName(t, k)));
    }
    return e;
}

StoreError Store::remakeKeys(TableId table, bool refold) {
    const TableDef& t = tableDef(table);
    if (!m_schema.contains(t.label)) {
        return StoreError::of(code::kFileNotFound);
    }
    finalizeStatements();
    return restructure(t, [&] {
        StoreError e = dropKeys(t);
        return !e && refold ? refreshFolded(t) : e;
    });
}

StoreError Store::rebuildKeys(TableId table) {
    return remakeKeys(table, true);
}

StoreError Store::beginBulkLoad(TableId table) {
    finalizeStatements();
    StoreError e = dropKeys(tableDef(table));
    const StoreError reload = loadSchema();
    return e ? e : reload;
}

StoreError Store::endBulkLoad(TableId table) {
    // The store folded every key column as it wrote the records.
    return remakeKeys(table, false);
}

StoreError Store::checkKeys(TableId table) {
    const TableDef& t = tableDef(table);
    const TableState state = tableState(table);
    if (state == TableState::Missing) {
        return StoreError::of(code::kFileNotFound);
    }
    if (state == TableState::KeysDamaged) {
        return StoreError::of(code::kRebuildKeys);
    }
    if (state != TableState::Current) {
        return StoreError::of(code::kLayoutDiffers);
    }
    StoreError error;
    sqlite3_stmt* check = nullptr;
    const QByteArray q = (QStringLiteral("PRAGMA integrity_check(") + sql::quoted(t.label) + u')').toUtf8();
    if (sqlite3_prepare_v2(m_db, q.constData(), -1, &check, nullptr) != SQLITE_OK) {
        sqlite3_finalize(check);
        return lastError(sqlite3_errcode(m_db));
    }
    bool clean = true;
    int rc = sqlite3_step(check);
    if (rc == SQLITE_ROW) {
        clean = columnText(check, 0) == QLatin1String("ok");
    } else if ((rc & 0xff) == SQLITE_CORRUPT) {
        clean = false;
    }
    sqlite3_finalize(check);
    if (!clean) {
        return StoreError::of(code::kRebuildKeys);
    }
    QStringList mismatches;
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (sql::hasFoldedColumn(t, i)) {
            mismatches << sql::quoted(sql::foldedColumn(t, i)) + QStringLiteral(" <> tunarium_fold(") +
                              sql::quoted(sql::fieldColumn(t, i)) + u')';
        }
    }
    QString countSql = QStringLiteral("SELECT (SELECT COUNT(*) FROM ") + sql::quoted(t.label) +
                       QStringLiteral(") <> (SELECT n FROM \"_counts\" WHERE label = ?)");
    if (!mismatches.isEmpty()) {
        countSql += QStringLiteral(" OR EXISTS (SELECT 1 FROM ") + sql::quoted(t.label) + QStringLiteral(" WHERE ") +
                    mismatches.join(QStringLiteral(" OR ")) + u')';
    }
    sqlite3_stmt* stmt = prepare(countSql, error);
    if (!stmt) {
        return error;
    }
    StatementReset reset(stmt);
    bindText(stmt, 1, t.label);
    rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW) {
        return (rc & 0xff) == SQLITE_CORRUPT ? StoreError::of(code::kRebuildKeys) : lastError(rc);
    }
    return sqlite3_column_int(stmt, 0) != 0 ? StoreError::of(code::kRebuildKeys) : StoreError{};
}

StoreError Store::openTable(TableId table) {
    int& count = m_openCounts[static_cast<int>(table)];
    if (count == 0) {
        StoreError e;
        switch (tableState(table)) {
        case TableState::Current:
            break;
        case TableState::Missing:
            e = createTable(table);
            break;
        case TableState::Older:
        case TableState::Different:
            e = upgradeTable(table);
            break;
        case TableState::Newer:
            e = StoreError::of(code::kLayoutDiffers);
            break;
        case TableState::KeysDamaged:
            e = StoreError::of(code::kRebuildKeys);
            break;
        }
        if (e) {
            return e;
        }
    }
    ++count;
    return {};
}

void Store::closeTable(TableId table) {
    int& count = m_openCounts[static_cast<int>(table)];
    if (count > 0) {
        --count;
    }
}

StoreError Store::validate(const Row& row) const {
    const TableDef& t = row.table();
    if (row.size() != t.fieldCount()) {
        return StoreError::driver(SQLITE_MISMATCH, QStringLiteral("A %1 record has the wrong number of fields").arg(t.label));
    }
    for (int i = 0; i < t.fieldCount(); ++i) {
        const FieldDef& f = t.field(i);
        const QVariant& v = row.value(i);
        if (f.isText()) {
            const qsizetype length = trimTrailingBlanks(v.toString()).size();
            if (length > f.width) {
                return StoreError::driver(SQLITE_TOOBIG,
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
            return StoreError::driver(
                SQLITE_MISMATCH, QStringLiteral("The value \"%1\" of %2 is not a number").arg(v.toString(), t.qualifiedField(i)));
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

StoreError Store::fetch(TableId table, qint64 rec, Row& out) {
    const TableDef& t = tableDef(table);
    StoreError error;
    sqlite3_stmt* stmt = prepare(sql::statements(t).fetch, error);
    if (!stmt) {
        return error;
    }
    StatementReset reset(stmt);
    sqlite3_bind_int64(stmt, 1, rec);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        readRow(stmt, table, out);
        return {};
    }
    return rc == SQLITE_DONE ? StoreError::of(code::kRecordNotFound) : lastError(rc);
}

StoreError Store::get(TableId table, int key, const QVector<QVariant>& values, Row& out) {
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size() || values.isEmpty() || values.size() > t.key(key).components.size()) {
        return StoreError::of(code::kInvalidKey);
    }
    StoreError error;
    // Lookups are frequent (a list's joined names): their statements are found without making the
    // SQL text again.
    const quint64 id = (quint64(1) << 40) | (quint64(t.id) << 24) | (quint64(key) << 16) | quint64(values.size());
    sqlite3_stmt* stmt = m_walks.value(id);
    if (!stmt) {
        const QStringList cols = sql::keyColumns(t, key);
        QStringList conditions;
        const QString blank = sql::blankCondition(t, key);
        if (!blank.isEmpty()) {
            conditions << blank;
        }
        for (int i = 0; i < values.size(); ++i) {
            conditions << sql::quoted(cols[i]) + QStringLiteral(" = ?");
        }
        QStringList order;
        for (const QString& c : cols) {
            order << sql::quoted(c);
        }
        stmt = prepare(sql::selectRecordSql(t) + QStringLiteral(" INDEXED BY ") + sql::quoted(sql::indexName(t, key)) +
                           QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND ")) +
                           QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", ")) + QStringLiteral(" LIMIT 1"),
                       error);
        if (stmt) {
            m_walks.insert(id, stmt);
        }
    }
    if (!stmt) {
        return error;
    }
    StatementReset reset(stmt);
    for (int i = 0; i < values.size(); ++i) {
        bindKeyValue(stmt, i + 1, t, key, t.key(key).components[i], values[i]);
    }
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        readRow(stmt, table, out);
        return {};
    }
    return rc == SQLITE_DONE ? StoreError::of(code::kRecordNotFound) : lastError(rc);
}

StoreError Store::read(TableId table, int key, const KeyPosition& from, sql::Direction direction, bool inclusive,
                       int limit, QVector<Row>& out, const SqlCondition& extra) {
    out.clear();
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size()) {
        return StoreError::of(code::kInvalidKey);
    }
    const KeyDef& k = t.key(key);
    const int prefix = static_cast<int>(std::min<qsizetype>(from.values.size(), k.components.size()));
    const bool tie = from.hasRec && prefix == k.components.size() && sql::keyHasTieBreaker(t, key);
    StoreError error;
    sqlite3_stmt* stmt = nullptr;
    if (extra.isEmpty()) {
        // Page reads are frequent: their statements are found without making the SQL text.
        const quint64 id = (quint64(t.id) << 24) | (quint64(key) << 16) | (quint64(prefix) << 8) |
                           (tie ? 4u : 0u) | (direction == sql::Direction::Forward ? 2u : 0u) | (inclusive ? 1u : 0u);
        stmt = m_walks.value(id);
        if (!stmt) {
            stmt = prepare(sql::walkSql(t, key, prefix, tie, direction, inclusive), error);
            m_walks.insert(id, stmt);
        }
    } else {
        // A list with a range or a filter reads every page with its condition: its statements are
        // found by the walk and a hash of the condition, and taken only when the statement's text
        // ends with that very condition (a hash shared by another condition makes a new one).
        const quint64 id = (quint64(qHash(extra.sql) & 0x7fffffffu) << 32) | (quint64(t.id) << 24) |
                           (quint64(key) << 16) | (quint64(prefix) << 8) | (tie ? 4u : 0u) |
                           (direction == sql::Direction::Forward ? 2u : 0u) | (inclusive ? 1u : 0u);
        const QByteArray tail = QByteArrayLiteral("(") + extra.sql.toUtf8() + QByteArrayLiteral(") ORDER BY ");
        stmt = m_walks.value(id | (quint64(1) << 63));
        if (!stmt || !QByteArrayView(sqlite3_sql(stmt)).contains(tail)) {
            stmt = prepare(sql::walkSql(t, key, prefix, tie, direction, inclusive, extra.sql), error);
            if (stmt && !m_walks.contains(id | (quint64(1) << 63))) {
                m_walks.insert(id | (quint64(1) << 63), stmt);
            }
        }
    }
    if (!stmt) {
        return error;
    }
    StatementReset reset(stmt);
    int param = 1;
    for (int i = 0; i < prefix; ++i) {
        bindKeyValue(stmt, param++, t, key, k.components[i], from.values[i]);
    }
    if (tie) {
        sqlite3_bind_int64(stmt, param++, from.rec);
    }
    for (const QVariant& v : extra.binds) {
        bindValue(stmt, param++, v);
    }
    sqlite3_bind_int(stmt, param, limit);
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        Row row;
        readRow(stmt, table, row);
        out.push_back(std::move(row));
    }
    return rc == SQLITE_DONE ? StoreError{} : lastError(rc);
}

KeyPosition Store::positionOf(const Row& row, int key) const {
    KeyPosition p;
    for (int field : row.table().key(key).components) {
        p.values << row.value(field);
    }
    p.rec = row.meta.rec;
    p.hasRec = true;
    return p;
}

StoreError Store::replaceInKey(TableId table, int key, const QVariant& oldValue, const QVariant& newValue,
                               qint64& changed) {
    changed = 0;
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size()) {
        return StoreError::of(code::kInvalidKey);
    }
    const int field = t.key(key).components.first();
    const FieldDef& f = t.field(field);
    Row probe(table);
    probe.setRaw(field, newValue);
    if (StoreError e = validate(probe)) {
        return e;
    }
    const QStringList cols = sql::keyColumns(t, key);
    QStringList sets{sql::quoted(sql::fieldColumn(t, field)) + QStringLiteral(" = ?")};
    if (sql::hasFoldedColumn(t, field)) {
        sets << sql::quoted(sql::foldedColumn(t, field)) + QStringLiteral(" = ?");
    }
    sets << sql::quoted(sql::kVersionColumn) + QStringLiteral(" = ") + sql::quoted(sql::kVersionColumn) +
                QStringLiteral(" + 1");
    QString where = sql::quoted(cols.first()) + QStringLiteral(" = ?");
    const QString blank = sql::blankCondition(t, key);
    if (!blank.isEmpty()) {
        where = blank + QStringLiteral(" AND ") + where;
    }
    StoreError error;
    sqlite3_stmt* stmt = prepare(QStringLiteral("UPDATE ") + sql::quoted(t.label) + QStringLiteral(" INDEXED BY ") +
                                     sql::quoted(sql::indexName(t, key)) + QStringLiteral(" SET ") +
                                     sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + where,
                                 error);
    if (!stmt) {
        return error;
    }
    StatementReset reset(stmt);
    int param = 1;
    if (f.isText()) {
        const QString text = trimTrailingBlanks(newValue.toString());
        bindText(stmt, param++, text);
        if (sql::hasFoldedColumn(t, field)) {
            bindText(stmt, param++, foldKey(text));
        }
    } else {
        sqlite3_bind_int64(stmt, param++, newValue.toLongLong());
    }
    bindKeyValue(stmt, param, t, key, field, oldValue);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) {
        if ((rc & 0xff) == SQLITE_CONSTRAINT) {
            StoreError e = StoreError::of(code::kDuplicateKey);
            e.driverCode = rc;
            e.driverMessage = QString::fromUtf8(sqlite3_errmsg(m_db));
            return e;
        }
        return lastError(rc);
    }
    changed = sqlite3_changes(m_db);
    return {};
}

qint64 Store::count(TableId table) {
    StoreError error;
    sqlite3_stmt* stmt = prepare(QStringLiteral("SELECT n FROM \"_counts\" WHERE label = ?"), error);
    if (!stmt) {
        return 0;
    }
    StatementReset reset(stmt);
    bindText(stmt, 1, tableDef(table).label);
    return sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
}

StoreError Store::nextNumber(TableId table, qint64& out) {
    const TableDef& t = tableDef(table);
    if (t.primaryKey < 0 || t.key(t.primaryKey).components.size() != 1) {
        return StoreError::of(code::kInvalidKey);
    }
    QVector<Row> last;
    StoreError e = read(table, t.primaryKey, {}, sql::Direction::Backward, true, 1, last);
    if (e) {
        return e;
    }
    const int field = t.key(t.primaryKey).components.first();
    const qint64 highest = last.isEmpty() ? 0 : last.first().number(field);
    out = std::max<qint64>(highest, 0) + 1;
    if (out > t.field(field).maxValue()) {
        return StoreError::driver(SQLITE_FULL, QStringLiteral("No numbers are left for %1").arg(t.qualifiedField(field)));
    }
    return {};
}

StoreError Store::begin() {
    StoreError e = exec(m_depth == 0 ? QStringLiteral("BEGIN IMMEDIATE")
                                     : QStringLiteral("SAVEPOINT s%1").arg(m_depth));
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

StoreError Store::backupTo(const QString& path) {
    if (!m_db) {
        return StoreError::of(code::kFileNotFound);
    }
    sqlite3* target = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        StoreError e = StoreError::driver(rc, target ? QString::fromUtf8(sqlite3_errmsg(target))
                                                     : QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_close_v2(target);
        return e;
    }
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", m_db, "main");
    if (!backup) {
        StoreError e = StoreError::driver(sqlite3_errcode(target), QString::fromUtf8(sqlite3_errmsg(target)));
        sqlite3_close_v2(target);
        return e;
    }
    do {
        rc = sqlite3_backup_step(backup, -1);
    } while (rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(backup);
    StoreError e = rc == SQLITE_DONE ? StoreError{}
                                     : StoreError::driver(rc, QString::fromUtf8(sqlite3_errstr(rc)));
    sqlite3_close_v2(target);
    return e;
}

StoreError Store::makeBackup(const QString& reason, int keep) {
    const QString stem = QStringLiteral("tunarium-") + reason + u'-';
    const QString name = stem + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                         QStringLiteral(".db");
    QDir dir(m_directory);
    dir.remove(name);
    if (StoreError e = backupTo(dir.filePath(name))) {
        return e;
    }
    QStringList generations = dir.entryList({stem + QStringLiteral("*.db")}, QDir::Files, QDir::Name);
    while (generations.size() > keep) {
        dir.remove(generations.takeFirst());
    }
    return {};
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
