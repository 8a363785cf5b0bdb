// The store's schema side: creating, upgrading and checking tables and their keys, bulk loading,
// and dated backups of the collection file.
#include "data/store_schema.h"

#include "data/schema_sql.h"
#include "data/store.h"
#include "data/store_connection.h"
#include "data/store_sqlite.h"
#include "data/store_search.h"

#include <QDateTime>
#include <QDir>
#include <QScopeGuard>

namespace tunarium {

SqliteSchema::SqliteSchema(Connection& connection, const QString& directory)
    : m_connection(connection), m_directory(directory) {}

StoreError SqliteSchema::load() {
    m_schema.clear();
    StoreError error;
    Statement master =
        m_connection.prepare(QStringLiteral("SELECT name, IFNULL(sql, '') FROM sqlite_master"), error);
    if (!master.isValid()) {
        return error;
    }
    Statement::Step step;
    while ((step = master.step()) == Statement::Step::Row) {
        m_schema.insert(master.text(0), master.text(1));
    }
    return step == Statement::Step::Done ? StoreError{} : master.error();
}

StoreError SqliteSchema::initializeFile() {
    for (const char* statement :
         {"PRAGMA journal_mode=WAL", "PRAGMA application_id=1414419024",
          "CREATE TABLE IF NOT EXISTS \"_structure\" (label TEXT PRIMARY KEY, version INTEGER NOT NULL) "
          "WITHOUT ROWID",
          "CREATE TABLE IF NOT EXISTS \"_counts\" (label TEXT PRIMARY KEY, n INTEGER NOT NULL DEFAULT 0, "
          "lastRec INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID"}) {
        StoreError e = m_connection.exec(QString::fromLatin1(statement));
        if (e) {
            return e;
        }
    }
    return load();
}

bool SqliteSchema::hasCollectionTables() const {
    return m_schema.contains(QString::fromLatin1(sql::kStructureTable)) &&
           m_schema.contains(QString::fromLatin1(sql::kCountTable));
}

void SqliteSchema::clear() {
    m_schema.clear();
}

namespace {

// The page cache of a bulk load, in KB.
constexpr int kBulkCacheKb = 32768;

// The row of `_structure` that says by which version of foldKey a table's keys were folded.
QString foldRow(const TableDef& t) {
    return t.label + QStringLiteral("/fold");
}

bool hasFoldedColumns(const TableDef& t) {
    return !sql::statements(t).foldedFields.isEmpty();
}

} // namespace

bool SqliteSchema::lacksOrderColumns(const TableDef& t) const {
    return !sql::orderColumnDefinitions(t).isEmpty() &&
           m_schema.value(t.label) == sql::createTableSql(t, sql::OrderColumns::Without);
}

StoreError SqliteSchema::addOrderColumns(const TableDef& t) {
    if (!lacksOrderColumns(t)) {
        return {};
    }
    // Virtual columns: nothing is written to the records, only the keys on them are made.
    for (const QString& definition : sql::orderColumnDefinitions(t)) {
        if (StoreError e = m_connection.exec(QStringLiteral("ALTER TABLE ") + sql::quoted(t.label) +
                                             QStringLiteral(" ADD COLUMN ") + definition)) {
            return e;
        }
    }
    return {};
}

int SqliteSchema::structureNumber(const QString& label) {
    StoreError error;
    Statement* version =
        m_connection.cached(QStringLiteral("SELECT version FROM \"_structure\" WHERE label = ?"), error);
    if (!version) {
        return -1;
    }
    StatementScope scope(*version);
    version->bindText(1, label);
    return version->step() == Statement::Step::Row ? static_cast<int>(version->integer(0)) : -1;
}

int SqliteSchema::storedVersion(TableId table) {
    return structureNumber(tableDef(table).label);
}

TableState SqliteSchema::tableState(TableId table) {
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
        // A table of the version before order columns: they are added and its keys made again.
        return lacksOrderColumns(t) ? TableState::KeysOutdated : TableState::Different;
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
    // A search index of an earlier definition, or none, is made as an upgrade; one lost since
    // is a damaged key.
    if (sql::hasSearchIndex(t) && structureNumber(sql::searchIndexRow(t)) != kSearchIndexVersion) {
        return TableState::KeysOutdated;
    }
    for (const QString& definition : sql::createSearchIndexSql(t)) {
        if (!m_schema.values().contains(definition)) {
            return TableState::KeysDamaged;
        }
    }
    return TableState::Current;
}

StoreError SqliteSchema::setStructure(const TableDef& t) {
    StoreError error;
    Statement* structure = m_connection.cached(
        QStringLiteral("INSERT OR REPLACE INTO \"_structure\" (label, version) VALUES (?, ?)"), error);
    if (!structure) {
        return error;
    }
    const auto setRow = [&](const QString& label, int version) {
        StatementScope scope(*structure);
        structure->bindText(1, label);
        structure->bindInt(2, version);
        return structure->run();
    };
    // Every structure change refolds the keys or makes them from records the store folded.
    error = setRow(t.label, t.version);
    if (!error && hasFoldedColumns(t)) {
        error = setRow(foldRow(t), kFoldVersion);
    }
    if (!error && sql::hasSearchIndex(t)) {
        error = setRow(sql::searchIndexRow(t), kSearchIndexVersion);
    }
    if (error) {
        return error;
    }
    // The count and the last record number follow the table's actual contents.
    Statement* count =
        m_connection.cached(QStringLiteral("INSERT OR REPLACE INTO \"_counts\" (label, n, lastRec) SELECT ?, "
                                           "COUNT(*), IFNULL(MAX(rowid), 0) FROM ") +
                                sql::quoted(t.label),
                            error);
    if (!count) {
        return error;
    }
    StatementScope scope(*count);
    count->bindText(1, t.label);
    return count->run();
}

qint64 SqliteSchema::rowCount(const TableDef& t) {
    StoreError error;
    Statement count =
        m_connection.prepare(QStringLiteral("SELECT COUNT(*) FROM ") + sql::quoted(t.label), error);
    return count.isValid() && count.step() == Statement::Step::Row ? count.integer(0) : -1;
}

StoreError SqliteSchema::makeIndexes(const TableDef& t) {
    if (m_reporter) {
        m_reporter->finish();
        m_reporter->begin(UpgradePhase::BuildingKeys, t.id);
    }
    const int keys = static_cast<int>(t.keys.size());
    for (int k = 0; k < keys; ++k) {
        tellBulkLoad({k, keys, false});
        if (StoreError e = m_connection.exec(sql::createIndexSql(t, k))) {
            return e;
        }
        if (m_reporter) {
            m_reporter->setFraction(static_cast<double>(k + 1) / static_cast<double>(keys));
        }
    }
    tellBulkLoad({keys, keys, false});
    for (const QString& trigger : sql::createCountTriggersSql(t)) {
        if (StoreError e = m_connection.exec(trigger)) {
            return e;
        }
    }
    return makeSearchIndex(t);
}

StoreError SqliteSchema::makeSearchIndex(const TableDef& t) {
    const QStringList search = sql::createSearchIndexSql(t);
    if (search.isEmpty()) {
        return {};
    }
    tellBulkLoad({static_cast<int>(t.keys.size()), static_cast<int>(t.keys.size()), true});
    if (m_reporter) {
        m_reporter->finish();
        m_reporter->begin(UpgradePhase::BuildingSearchIndex, t.id, rowCount(t));
    }
    for (const QString& definition : search) {
        if (StoreError e = m_connection.exec(definition)) {
            return e;
        }
    }
    // The index was just made: filling it row by row is the rebuild, with the rows counted.
    if (StoreError e =
            m_connection.exec(m_reporter ? sql::fillSearchIndexSql(t, QStringLiteral("tunarium_counted()"))
                                         : sql::rebuildSearchIndexSql(t))) {
        return e;
    }
    for (const QString& setting : sql::searchIndexSettingsSql(t)) {
        if (StoreError e = m_connection.exec(setting)) {
            return e;
        }
    }
    if (m_reporter) {
        m_reporter->finish();
    }
    return {};
}

StoreError SqliteSchema::refreshFolded(const TableDef& t) {
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
    return m_connection.exec(QStringLiteral("UPDATE ") + sql::quoted(t.label) + QStringLiteral(" SET ") +
                             sets.join(QStringLiteral(", ")) +
                             (m_reporter ? QStringLiteral(" WHERE tunarium_counted()") : QString()));
}

StoreError SqliteSchema::restructure(const TableDef& t, const std::function<StoreError()>& steps,
                                    Remake remake) {
    StoreError e;
    {
        Transaction tx(m_connection);
        if (!tx.ok()) {
            return tx.beginError();
        }
        e = steps();
        if (!e) {
            e = remake == Remake::AllKeys ? makeIndexes(t) : makeSearchIndex(t);
        }
        if (!e) {
            e = setStructure(t);
        }
        if (!e) {
            e = tx.commit();
        }
    }
    m_connection.clearStatements();
    const StoreError reload = load();
    return e ? e : reload;
}

StoreError SqliteSchema::createTable(TableId table) {
    const TableDef& t = tableDef(table);
    return restructure(t, [&] { return m_connection.exec(sql::createTableSql(t)); });
}

StoreError SqliteSchema::upgradeTable(TableId table) {
    const TableDef& t = tableDef(table);
    if (tableState(table) == TableState::Newer) {
        StoreError e = StoreError::of(code::kLayoutDiffers);
        e.driverMessage = QStringLiteral("%1 was written by a newer version of the program").arg(t.label);
        return e;
    }
    UpgradeReporter reporter(m_connection, upgradeListener());
    m_reporter = reporter.active() ? &reporter : nullptr;
    const auto unhook = qScopeGuard([this] { m_reporter = nullptr; });
    if (!m_backedUpForUpgrade) {
        reporter.begin(UpgradePhase::BackingUp, table);
        if (StoreError e = makeBackup(QStringLiteral("upgrade"), 5,
                                      [&reporter](double done) { reporter.setFraction(done); })) {
            return e;
        }
        reporter.finish();
        m_backedUpForUpgrade = true;
    }
    if (tableState(table) == TableState::KeysOutdated) {
        // Keys are folded again only when the folding changed (not for a new search index).
        const bool refold = hasFoldedColumns(t) && structureNumber(foldRow(t)) != kFoldVersion;
        if (refold && m_reporter) {
            reporter.begin(UpgradePhase::Rewriting, table, rowCount(t));
        }
        if (!refold && !lacksOrderColumns(t)) {
            // Only the search index is of an earlier definition; the keys stand as they are.
            m_connection.clearStatements();
            return restructure(
                t, [&] { return dropSearchIndex(t); }, Remake::SearchIndex);
        }
        return remakeKeys(table, refold);
    }
    m_connection.clearStatements();
    if (m_reporter) {
        // The records are copied, then their folded keys filled: two walks of every row.
        reporter.begin(UpgradePhase::Rewriting, table, rowCount(t) * (hasFoldedColumns(t) ? 2 : 1));
    }

    StoreError error;
    const QStringList oldColumns = storedColumnNames(t, error);
    if (error) {
        return error;
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
                 sources.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + sql::quoted(oldName) +
                 (m_reporter ? QStringLiteral(" WHERE tunarium_counted()") : QString());
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
            e = m_connection.exec(step);
        }
        return e ? e : refreshFolded(t);
    });
}

QStringList SqliteSchema::storedColumnNames(const TableDef& t, StoreError& error) {
    QStringList columns;
    Statement info =
        m_connection.prepare(QStringLiteral("PRAGMA table_info(") + sql::quoted(t.label) + u')', error);
    if (!info.isValid()) {
        return columns;
    }
    while (info.step() == Statement::Step::Row) {
        columns << info.text(1);
    }
    return columns;
}

StoreError SqliteSchema::dropKeys(const TableDef& t) {
    StoreError e;
    for (auto it = m_schema.cbegin(); it != m_schema.cend() && !e; ++it) {
        const QString& sqlText = it.value();
        if (!sqlText.contains(QStringLiteral(" ON ") + sql::quoted(t.label))) {
            continue;
        }
        if (sqlText.startsWith(QStringLiteral("CREATE TRIGGER"))) {
            e = m_connection.exec(QStringLiteral("DROP TRIGGER IF EXISTS ") + sql::quoted(it.key()));
        } else if (sqlText.contains(QStringLiteral("INDEX"))) {
            e = m_connection.exec(QStringLiteral("DROP INDEX IF EXISTS ") + sql::quoted(it.key()));
        }
    }
    // Indexes whose definition was lost from sqlite_master are dropped by name too.
    for (int k = 0; k < t.keys.size() && !e; ++k) {
        e = m_connection.exec(QStringLiteral("DROP INDEX IF EXISTS ") + sql::quoted(sql::indexName(t, k)));
    }
    return e ? e : dropSearchIndex(t);
}

StoreError SqliteSchema::dropSearchIndex(const TableDef& t) {
    for (const QString& drop : sql::dropSearchIndexSql(t)) {
        if (StoreError e = m_connection.exec(drop)) {
            return e;
        }
    }
    return {};
}

StoreError SqliteSchema::remakeKeys(TableId table, bool refold) {
    const TableDef& t = tableDef(table);
    if (!m_schema.contains(t.label)) {
        return StoreError::of(code::kFileNotFound);
    }
    m_connection.clearStatements();
    return restructure(t, [&] {
        StoreError e = dropKeys(t);
        if (!e) {
            e = addOrderColumns(t);
        }
        return !e && refold ? refreshFolded(t) : e;
    });
}

StoreError SqliteSchema::rebuildKeys(TableId table) {
    return remakeKeys(table, true);
}

StoreError SqliteSchema::beginBulkLoad(TableId table) {
    m_connection.clearStatements();
    // The file grows by whole pages in order, and the keys are sorted at the end: a larger cache
    // while it lasts (a failure to make it larger only slows the load).
    m_connection.enlargeCache(kBulkCacheKb);
    StoreError e = dropKeys(tableDef(table));
    const StoreError reload = load();
    return e ? e : reload;
}

StoreError SqliteSchema::endBulkLoad(TableId table) {
    // The store folded every key column as it wrote the records.
    const StoreError e = remakeKeys(table, false);
    m_connection.restoreCache();
    return e;
}

StoreError SqliteSchema::checkKeys(TableId table) {
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
    {
        Statement check = m_connection.prepare(
            QStringLiteral("PRAGMA integrity_check(") + sql::quoted(t.label) + u')', error);
        if (!check.isValid()) {
            return error;
        }
        bool clean = true;
        const Statement::Step step = check.step();
        if (step == Statement::Step::Row) {
            clean = check.text(0) == QLatin1String("ok");
        } else if (step == Statement::Step::Failed && check.metDamage()) {
            clean = false;
        }
        if (!clean) {
            return StoreError::of(code::kRebuildKeys);
        }
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
    Statement* check = m_connection.cached(countSql, error);
    if (!check) {
        return error;
    }
    StatementScope scope(*check);
    check->bindText(1, t.label);
    if (check->step() != Statement::Step::Row) {
        return check->metDamage() ? StoreError::of(code::kRebuildKeys) : check->error();
    }
    return check->integer(0) != 0 ? StoreError::of(code::kRebuildKeys) : StoreError{};
}

StoreError SqliteSchema::backupTo(const QString& path) {
    return m_connection.backupTo(path);
}

StoreError SqliteSchema::makeBackup(const QString& reason, int keep,
                                   const std::function<void(double)>& progress) {
    const QString stem = QStringLiteral("tunarium-") + reason + u'-';
    const QString name = stem + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                         QStringLiteral(".db");
    QDir dir(m_directory);
    if (StoreError e = m_connection.backupTo(dir.filePath(name), progress, Connection::BackupOver::SameKind)) {
        return e;
    }
    QStringList generations = dir.entryList({stem + QStringLiteral("*.db")}, QDir::Files, QDir::Name);
    while (generations.size() > keep) {
        dir.remove(generations.takeFirst());
    }
    return {};
}

} // namespace tunarium
