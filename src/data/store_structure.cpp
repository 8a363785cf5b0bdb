// The store's table structures: creating, upgrading and checking tables and their keys, bulk
// loading, and backups of the collection file.
#include "data/store.h"

#include "data/store_internal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

namespace tunarium {

using namespace store_detail;

namespace {

constexpr int kBackupRetryMs = 50;

} // namespace

StoreError Store::loadSchema() {
    m_schema.clear();
    sqlite3_stmt* stmt = nullptr;
    const int prepared =
        sqlite3_prepare_v2(m_db, "SELECT name, IFNULL(sql, '') FROM sqlite_master", -1, &stmt, nullptr);
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

namespace {

// The row of `_structure` that says by which version of foldKey a table's keys were folded.
QString foldRow(const TableDef& t) {
    return t.label + QStringLiteral("/fold");
}

bool hasFoldedColumns(const TableDef& t) {
    return !sql::statements(t).foldedFields.isEmpty();
}

} // namespace

int Store::structureNumber(const QString& label) {
    StoreError error;
    sqlite3_stmt* stmt = prepare(QStringLiteral("SELECT version FROM \"_structure\" WHERE label = ?"), error);
    if (!stmt) {
        return -1;
    }
    StatementReset reset(stmt);
    bindText(stmt, 1, label);
    return sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
}

int Store::storedVersion(TableId table) {
    return structureNumber(tableDef(table).label);
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
    // Keys folded by an earlier version (no row: the first one) sort in an order that is no
    // longer the program's.
    if (hasFoldedColumns(t) && structureNumber(foldRow(t)) != kFoldVersion) {
        return TableState::KeysOutdated;
    }
    return TableState::Current;
}

StoreError Store::setStructure(const TableDef& t) {
    StoreError error;
    sqlite3_stmt* stmt = prepare(
        QStringLiteral("INSERT OR REPLACE INTO \"_structure\" (label, version) VALUES (?, ?)"), error);
    if (!stmt) {
        return error;
    }
    const auto setRow = [&](const QString& label, int version) {
        StatementReset reset(stmt);
        bindText(stmt, 1, label);
        sqlite3_bind_int(stmt, 2, version);
        return stepDone(stmt);
    };
    // Every structure change refolds the keys or makes them from records the store folded.
    error = setRow(t.label, t.version);
    if (!error && hasFoldedColumns(t)) {
        error = setRow(foldRow(t), kFoldVersion);
    }
    if (error) {
        return error;
    }
    // The count and the last record number follow the table's actual contents.
    sqlite3_stmt* count =
        prepare(QStringLiteral("INSERT OR REPLACE INTO \"_counts\" (label, n, lastRec) SELECT ?, "
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
    if (tableState(table) == TableState::KeysOutdated) {
        return remakeKeys(table, true);
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
        // The first failing step ends the upgrade, and the transaction is rolled back: a later
        // step must never commit what an earlier one failed to do (the old table dropped after
        // its copy failed).
        StoreError e = dropKeys(t);
        for (const QString& step : steps) {
            if (e) {
                break;
            }
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
    if (state == TableState::KeysDamaged || state == TableState::KeysOutdated) {
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
        countSql += QStringLiteral(" OR EXISTS (SELECT 1 FROM ") + sql::quoted(t.label) +
                    QStringLiteral(" WHERE ") + mismatches.join(QStringLiteral(" OR ")) + u')';
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
        case TableState::KeysOutdated:
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

StoreError Store::backupTo(const QString& path) {
    if (!m_db) {
        return StoreError::of(code::kFileNotFound);
    }
    // The copy is made under a passing name beside the target and takes the target's name only
    // when it is whole: a failed copy (a damaged collection, a full disk) leaves nothing that
    // looks like a backup.
    const QFileInfo info(path);
    const QString part =
        info.absoluteDir().filePath(QStringLiteral(".") + info.fileName() + QStringLiteral(".part-") +
                                    QString::number(QCoreApplication::applicationPid()));
    const auto removePart = [&part] {
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
            QFile::remove(part + QLatin1String(suffix));
        }
    };
    removePart();
    sqlite3* target = nullptr;
    int rc = sqlite3_open_v2(part.toUtf8().constData(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    StoreError e;
    if (rc != SQLITE_OK) {
        e = StoreError::driver(rc, target ? QString::fromUtf8(sqlite3_errmsg(target))
                                          : QString::fromUtf8(sqlite3_errstr(rc)));
    } else if (sqlite3_backup* backup = sqlite3_backup_init(target, "main", m_db, "main")) {
        // The collection may be locked by a writer for a moment; as long as the lock time-out.
        for (int waited = 0;; waited += kBackupRetryMs) {
            rc = sqlite3_backup_step(backup, -1);
            if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || waited >= kLockTimeoutMs) {
                break;
            }
            sqlite3_sleep(kBackupRetryMs);
        }
        sqlite3_backup_finish(backup);
        if (rc != SQLITE_DONE) {
            e = lastError(rc);
        }
    } else {
        e = StoreError::driver(sqlite3_errcode(target), QString::fromUtf8(sqlite3_errmsg(target)));
    }
    sqlite3_close_v2(target);
    if (!e && std::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) != 0) {
        e = StoreError::driver(SQLITE_CANTOPEN, QStringLiteral("The backup %1 cannot be written: %2")
                                                    .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (e) {
        removePart();
    }
    return e;
}

StoreError Store::makeBackup(const QString& reason, int keep) {
    const QString stem = QStringLiteral("tunarium-") + reason + u'-';
    const QString name = stem + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                         QStringLiteral(".db");
    QDir dir(m_directory);
    if (StoreError e = backupTo(dir.filePath(name))) {
        return e;
    }
    QStringList generations = dir.entryList({stem + QStringLiteral("*.db")}, QDir::Files, QDir::Name);
    while (generations.size() > keep) {
        dir.remove(generations.takeFirst());
    }
    return {};
}

} // namespace tunarium
