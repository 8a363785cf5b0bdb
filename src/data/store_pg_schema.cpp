// The server store's tables and keys: their SQL text made from the dictionary, and the schema
// side (making, checking and rebuilding them).
#include "data/store_pg.h"

#include "data/dictionary_tables.h"
#include "data/fold_key.h"
#include "data/schema_sql.h"
#include "data/store_search.h"

namespace tunarium {

namespace pgsql {

namespace {

QString quotedLabel(const TableDef& t) {
    return sql::quoted(t.label);
}

QString countTrigger(const TableDef& t, bool insert) {
    return t.label + (insert ? QStringLiteral("_count_insert") : QStringLiteral("_count_delete"));
}

QString changedTrigger(const TableDef& t) {
    return t.label + QStringLiteral("_changed");
}

QStringList triggerNames(const TableDef& t) {
    return {countTrigger(t, true), countTrigger(t, false), changedTrigger(t)};
}

} // namespace

QString searchIndexName(const TableDef& t) {
    return t.label + QStringLiteral("Words");
}

QString searchWordsSql(const TableDef& t) {
    static const int fields[] = {tun::kArtist, tun::kTitle, tun::kAlbum, tun::kMix};
    QStringList parts;
    for (const int field : fields) {
        const QString key = sql::quoted(sql::foldedColumn(t, field));
        parts << QStringLiteral("substr(%1, strpos(%1, chr(1)) + 1)").arg(key);
    }
    return u'(' + parts.join(QStringLiteral(" || chr(10) || ")) + u')';
}

QString createTableSql(const TableDef& t) {
    QStringList defs;
    defs << sql::quoted(sql::kRecColumn) + QStringLiteral(" BIGINT PRIMARY KEY");
    defs << sql::quoted(sql::kVersionColumn) + QStringLiteral(" BIGINT NOT NULL DEFAULT 0");
    for (int i = 0; i < t.fieldCount(); ++i) {
        const FieldDef& f = t.field(i);
        const QString column = sql::quoted(sql::fieldColumn(t, i));
        if (f.isText()) {
            defs << column + QStringLiteral(" VARCHAR(%1) COLLATE \"C\" NOT NULL DEFAULT ''").arg(f.width);
        } else {
            defs << column + QStringLiteral(" BIGINT NOT NULL DEFAULT 0 CHECK (%1 BETWEEN %2 AND %3)")
                                 .arg(column)
                                 .arg(f.minValue())
                                 .arg(f.maxValue());
        }
    }
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (sql::hasFoldedColumn(t, i)) {
            defs << sql::quoted(sql::foldedColumn(t, i)) + QStringLiteral(" TEXT COLLATE \"C\" NOT NULL DEFAULT ''");
        }
    }
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (sql::hasOrderColumn(t, i)) {
            defs << sql::quoted(sql::orderColumn(t, i)) + QStringLiteral(" BIGINT GENERATED ALWAYS AS (") +
                        sql::orderValueSql(sql::quoted(sql::fieldColumn(t, i))) + QStringLiteral(") STORED");
        }
    }
    return QStringLiteral("CREATE TABLE ") + quotedLabel(t) + QStringLiteral(" (") + defs.join(QStringLiteral(", ")) +
           u')';
}

QString columnsSignature(const TableDef& t) {
    QStringList cols{QStringLiteral("_rec bigint"), QStringLiteral("_version bigint")};
    for (int i = 0; i < t.fieldCount(); ++i) {
        cols << sql::fieldColumn(t, i) + (t.field(i).isText() ? QStringLiteral(" character varying(%1)").arg(t.field(i).width)
                                                               : QStringLiteral(" bigint"));
    }
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (sql::hasFoldedColumn(t, i)) {
            cols << sql::foldedColumn(t, i) + QStringLiteral(" text");
        }
    }
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (sql::hasOrderColumn(t, i)) {
            cols << sql::orderColumn(t, i) + QStringLiteral(" bigint");
        }
    }
    return cols.join(QStringLiteral(", "));
}

QString createIndexSql(const TableDef& t, int key) {
    // The same definition as the file's: the planner proves a walk's blank condition from it.
    return sql::createIndexSql(t, key);
}

QString selectRecordSql(const TableDef& t) {
    QStringList cols{sql::quoted(sql::kRecColumn), sql::quoted(sql::kVersionColumn)};
    for (int i = 0; i < t.fieldCount(); ++i) {
        cols << sql::quoted(sql::fieldColumn(t, i));
    }
    return QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + quotedLabel(t);
}

QString walkSql(const TableDef& t, int key, int prefixLength, bool withTieBreaker, Direction direction,
                bool inclusive, const QString& extraCondition, int firstPlaceholder) {
    const QStringList cols = sql::keyColumns(t, key);
    QStringList conditions;
    const QString blank = sql::blankCondition(t, key);
    if (!blank.isEmpty()) {
        conditions << blank;
    }
    const int compared = prefixLength + (withTieBreaker && sql::keyHasTieBreaker(t, key) ? 1 : 0);
    if (compared > 0) {
        QStringList lhs;
        QStringList rhs;
        for (int i = 0; i < compared; ++i) {
            lhs << sql::quoted(cols[i]);
            rhs << QStringLiteral("?");
        }
        const bool forward = direction == Direction::Forward;
        const QString op = forward ? (inclusive ? QStringLiteral(">=") : QStringLiteral(">"))
                                   : (inclusive ? QStringLiteral("<=") : QStringLiteral("<"));
        conditions << u'(' + lhs.join(QStringLiteral(", ")) + QStringLiteral(") ") + op + QStringLiteral(" (") +
                          rhs.join(QStringLiteral(", ")) + u')';
    }
    if (!extraCondition.isEmpty()) {
        conditions << u'(' + extraCondition + u')';
    }
    QStringList order;
    const QString dir = direction == Direction::Forward ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    for (const QString& c : cols) {
        order << sql::quoted(c) + dir;
    }
    QString text = selectRecordSql(t);
    if (!conditions.isEmpty()) {
        text += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    }
    return numberedPlaceholders(text + QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", ")) +
                                    QStringLiteral(" LIMIT ?"),
                                firstPlaceholder);
}

} // namespace pgsql

namespace {

QString foldRow(const TableDef& t) {
    return t.label + QStringLiteral("/fold");
}

// Marks a database as a collection (a row of the structure table).
constexpr const char* kCollectionMark = "_collection";

} // namespace

PgSchema::PgSchema(PgConnection& connection) : m_connection(connection) {}

StoreError PgSchema::load() {
    m_tables.clear();
    m_indexes.clear();
    m_triggers.clear();
    m_columns.clear();
    StoreError e;
    PgResult tables = m_connection.run(
        QStringLiteral("SELECT c.relname, c.relkind, string_agg(a.attname || ' ' || format_type(a.atttypid, a.atttypmod), "
                       "', ' ORDER BY a.attnum) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                       "LEFT JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
                       "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'i', 'p', 'v', 'm', 'S') "
                       "GROUP BY c.relname, c.relkind"),
        {}, e);
    if (e) {
        return e;
    }
    for (int r = 0; r < tables.rows(); ++r) {
        const QString kind = tables.text(r, 1);
        if (kind == QLatin1String("i")) {
            m_indexes.insert(tables.text(r, 0));
        } else {
            m_tables.insert(tables.text(r, 0));
            m_columns.insert(tables.text(r, 0), tables.text(r, 2));
        }
    }
    PgResult triggers = m_connection.run(
        QStringLiteral("SELECT t.tgname FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid JOIN pg_namespace n "
                       "ON n.oid = c.relnamespace WHERE n.nspname = current_schema() AND NOT t.tgisinternal"),
        {}, e);
    if (e) {
        return e;
    }
    for (int r = 0; r < triggers.rows(); ++r) {
        m_triggers.insert(triggers.text(r, 0));
    }
    return {};
}

bool PgSchema::hasCollectionTables() const {
    return m_tables.contains(QString::fromLatin1(sql::kStructureTable)) &&
           m_tables.contains(QString::fromLatin1(sql::kCountTable));
}

StoreError PgSchema::initialize() {
    const QString statements = QStringLiteral(
        "CREATE TABLE \"_structure\" (label TEXT COLLATE \"C\" PRIMARY KEY, version INTEGER NOT NULL);"
        "CREATE TABLE \"_counts\" (label TEXT COLLATE \"C\" PRIMARY KEY, n BIGINT NOT NULL DEFAULT 0, "
        "\"lastRec\" BIGINT NOT NULL DEFAULT 0);"
        "CREATE FUNCTION \"_tunarium_count_insert\"() RETURNS trigger LANGUAGE plpgsql AS $f$ BEGIN "
        "UPDATE \"_counts\" SET n = n + (SELECT count(*) FROM added) WHERE label = TG_TABLE_NAME; RETURN NULL; END $f$;"
        "CREATE FUNCTION \"_tunarium_count_delete\"() RETURNS trigger LANGUAGE plpgsql AS $f$ BEGIN "
        "UPDATE \"_counts\" SET n = n - (SELECT count(*) FROM removed) WHERE label = TG_TABLE_NAME; RETURN NULL; END $f$;"
        "CREATE FUNCTION \"_tunarium_changed\"() RETURNS trigger LANGUAGE plpgsql AS $f$ BEGIN "
        "PERFORM pg_notify('%1', TG_TABLE_NAME); RETURN NULL; END $f$;")
                                   .arg(QString::fromLatin1(kChangesChannel));
    if (StoreError e = m_connection.exec(statements)) {
        return e;
    }
    StoreError e;
    m_connection.run(QStringLiteral("INSERT INTO \"_structure\" (label, version) VALUES ($1, 1)"),
                     {QString::fromLatin1(kCollectionMark)}, e);
    return e;
}

int PgSchema::structureNumber(const QString& label) {
    if (!m_tables.contains(QString::fromLatin1(sql::kStructureTable))) {
        return -1;
    }
    StoreError e;
    PgResult r = m_connection.run(QStringLiteral("SELECT version FROM \"_structure\" WHERE label = $1"), {label}, e);
    return !e && r.rows() > 0 ? static_cast<int>(r.integer(0, 0)) : -1;
}

int PgSchema::storedVersion(TableId table) {
    return structureNumber(tableDef(table).label);
}

TableState PgSchema::tableState(TableId table) {
    const TableDef& t = tableDef(table);
    if (!m_tables.contains(t.label)) {
        return TableState::Missing;
    }
    const int version = storedVersion(table);
    if (version > t.version) {
        return TableState::Newer;
    }
    if (version < t.version) {
        return TableState::Older;
    }
    if (m_columns.value(t.label) != pgsql::columnsSignature(t)) {
        return TableState::Different;
    }
    for (int k = 0; k < t.keys.size(); ++k) {
        if (!m_indexes.contains(sql::indexName(t, k))) {
            return TableState::KeysDamaged;
        }
    }
    for (const QString& trigger : pgsql::triggerNames(t)) {
        if (!m_triggers.contains(trigger)) {
            return TableState::KeysDamaged;
        }
    }
    if (sql::hasSearchIndex(t) && !m_indexes.contains(pgsql::searchIndexName(t))) {
        return TableState::KeysDamaged;
    }
    if (!sql::statements(t).foldedFields.isEmpty() && structureNumber(foldRow(t)) != kFoldVersion) {
        return TableState::KeysOutdated;
    }
    return TableState::Current;
}

StoreError PgSchema::makeSearchSupport() {
    StoreError e;
    PgResult found = m_connection.run(
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM pg_extension WHERE extname = 'pg_trgm'), EXISTS (SELECT 1 FROM "
                       "pg_available_extensions WHERE name = 'pg_trgm')"),
        {}, e);
    if (e) {
        return e;
    }
    const bool made = found.text(0, 0) == QLatin1String("t");
    if (!made && found.text(0, 1) != QLatin1String("t")) {
        return StoreError::driver(0, QStringLiteral("The server %1 lacks the extension pg_trgm, which the search box's "
                                                    "index needs: install it on the server (on Debian and Ubuntu the "
                                                    "package postgresql-contrib) and try again")
                                         .arg(m_connection.label()));
    }
    if (!made) {
        if ((e = m_connection.exec(QStringLiteral("CREATE EXTENSION pg_trgm")))) {
            return e;
        }
    }
    // The filters' search in a folded key's case-folded part (after its separator, or all of it).
    return m_connection.exec(QStringLiteral(
        "CREATE OR REPLACE FUNCTION tunarium_keyinstr(key text, needle text) RETURNS integer LANGUAGE sql "
        "IMMUTABLE STRICT PARALLEL SAFE AS $f$ SELECT strpos(substr(key, strpos(key, chr(1)) + 1), needle) $f$"));
}

StoreError PgSchema::makeKeys(const TableDef& t) {
    for (int k = 0; k < t.keys.size(); ++k) {
        if (StoreError e = m_connection.exec(pgsql::createIndexSql(t, k))) {
            if (e.code == code::kDuplicateKey) {
                e.keyName = t.qualifiedKey(k);
            }
            return e;
        }
    }
    if (sql::hasSearchIndex(t)) {
        if (StoreError e = makeSearchSupport()) {
            return e;
        }
        if (StoreError e = m_connection.exec(QStringLiteral("CREATE INDEX %1 ON %2 USING gin (%3 gin_trgm_ops)")
                                                 .arg(sql::quoted(pgsql::searchIndexName(t)), sql::quoted(t.label),
                                                      pgsql::searchWordsSql(t)))) {
            return e;
        }
    }
    const QString label = sql::quoted(t.label);
    return m_connection.exec(
        QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 REFERENCING NEW TABLE AS added FOR EACH STATEMENT "
                       "EXECUTE FUNCTION \"_tunarium_count_insert\"();"
                       "CREATE TRIGGER %3 AFTER DELETE ON %2 REFERENCING OLD TABLE AS removed FOR EACH STATEMENT "
                       "EXECUTE FUNCTION \"_tunarium_count_delete\"();"
                       "CREATE TRIGGER %4 AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON %2 FOR EACH STATEMENT "
                       "EXECUTE FUNCTION \"_tunarium_changed\"()")
            .arg(sql::quoted(pgsql::countTrigger(t, true)), label, sql::quoted(pgsql::countTrigger(t, false)),
                 sql::quoted(pgsql::changedTrigger(t))));
}

StoreError PgSchema::dropKeys(const TableDef& t) {
    QStringList drops;
    for (int k = 0; k < t.keys.size(); ++k) {
        drops << QStringLiteral("DROP INDEX IF EXISTS ") + sql::quoted(sql::indexName(t, k));
    }
    if (sql::hasSearchIndex(t)) {
        drops << QStringLiteral("DROP INDEX IF EXISTS ") + sql::quoted(pgsql::searchIndexName(t));
    }
    for (const QString& trigger : pgsql::triggerNames(t)) {
        drops << QStringLiteral("DROP TRIGGER IF EXISTS %1 ON %2").arg(sql::quoted(trigger), sql::quoted(t.label));
    }
    return m_connection.exec(drops.join(u';'));
}

StoreError PgSchema::setStructure(const TableDef& t) {
    const QString set = QStringLiteral("INSERT INTO \"_structure\" (label, version) VALUES ($1, $2) "
                                       "ON CONFLICT (label) DO UPDATE SET version = EXCLUDED.version");
    StoreError e;
    m_connection.run(set, {t.label, t.version}, e);
    if (!e && !sql::statements(t).foldedFields.isEmpty()) {
        m_connection.run(set, {foldRow(t), kFoldVersion}, e);
    }
    if (e) {
        return e;
    }
    // The count follows the table's contents; the last number given never goes down.
    m_connection.run(QStringLiteral("INSERT INTO \"_counts\" (label, n, \"lastRec\") SELECT $1, COUNT(*), "
                                    "COALESCE(MAX(\"_rec\"), 0) FROM %1 ON CONFLICT (label) DO UPDATE SET n = EXCLUDED.n, "
                                    "\"lastRec\" = GREATEST(\"_counts\".\"lastRec\", EXCLUDED.\"lastRec\")")
                         .arg(sql::quoted(t.label)),
                     {t.label}, e);
    return e;
}

StoreError PgSchema::createTable(TableId table) {
    const TableDef& t = tableDef(table);
    // The server makes the table, its keys and its count in one transaction, or nothing.
    StoreError e = m_connection.transact([&]() -> StoreError {
        if (StoreError made = m_connection.exec(pgsql::createTableSql(t))) {
            return made;
        }
        if (StoreError keys = makeKeys(t)) {
            return keys;
        }
        return setStructure(t);
    });
    if (StoreError loaded = load(); !e) {
        e = loaded;
    }
    return e;
}

StoreError PgSchema::refold(const TableDef& t) {
    const QVector<int> folded = sql::statements(t).foldedFields;
    if (folded.isEmpty()) {
        return {};
    }
    QStringList cols{sql::quoted(sql::kRecColumn)};
    for (int field : folded) {
        cols << sql::quoted(sql::fieldColumn(t, field)) << sql::quoted(sql::foldedColumn(t, field));
    }
    const QString read = QStringLiteral("SELECT %1 FROM %2 WHERE \"_rec\" > $1 ORDER BY \"_rec\" LIMIT 2000")
                             .arg(cols.join(QStringLiteral(", ")), sql::quoted(t.label));
    qint64 after = 0;
    while (true) {
        StoreError e;
        PgResult page = m_connection.run(read, {after}, e);
        if (e) {
            return e;
        }
        if (page.rows() == 0) {
            return {};
        }
        for (int r = 0; r < page.rows(); ++r) {
            after = page.integer(r, 0);
            for (int i = 0; i < folded.size(); ++i) {
                const QString want = foldKey(page.text(r, 1 + 2 * i));
                if (want == page.text(r, 2 + 2 * i)) {
                    continue;
                }
                m_connection.run(QStringLiteral("UPDATE %1 SET %2 = $1 WHERE \"_rec\" = $2")
                                     .arg(sql::quoted(t.label), sql::quoted(sql::foldedColumn(t, folded[i]))),
                                 {want, after}, e);
                if (e) {
                    return e;
                }
            }
        }
    }
}

StoreError PgSchema::rebuildKeys(TableId table) {
    const TableDef& t = tableDef(table);
    StoreError e = m_connection.transact([&]() -> StoreError {
        if (StoreError r = refold(t)) {
            return r;
        }
        if (StoreError d = dropKeys(t)) {
            return d;
        }
        if (StoreError k = makeKeys(t)) {
            return k;
        }
        return setStructure(t);
    });
    if (StoreError loaded = load(); !e) {
        e = loaded;
    }
    return e;
}

StoreError PgSchema::upgradeTable(TableId table) {
    switch (tableState(table)) {
    case TableState::KeysOutdated:
    case TableState::KeysDamaged:
        return rebuildKeys(table);
    case TableState::Current:
        return {};
    case TableState::Missing:
        return createTable(table);
    case TableState::Newer:
        return StoreError::of(code::kLayoutDiffers);
    case TableState::Older:
    case TableState::Different:
        break;
    }
    StoreError e = StoreError::of(code::kLayoutDiffers);
    e.driverMessage = QStringLiteral("The table %1 on the server %2 is laid out differently from this version's; "
                                     "it is left as it is")
                          .arg(tableDef(table).label, m_connection.label());
    return e;
}

StoreError PgSchema::beginBulkLoad(TableId table) {
    const TableDef& t = tableDef(table);
    StoreError e = m_connection.transact([&] { return dropKeys(t); });
    if (StoreError loaded = load(); !e) {
        e = loaded;
    }
    return e;
}

StoreError PgSchema::endBulkLoad(TableId table) {
    const TableDef& t = tableDef(table);
    StoreError e = m_connection.transact([&]() -> StoreError {
        if (StoreError k = makeKeys(t)) {
            return k;
        }
        return setStructure(t);
    });
    if (StoreError loaded = load(); !e) {
        e = loaded;
    }
    return e;
}

StoreError PgSchema::checkKeys(TableId table) {
    const TableDef& t = tableDef(table);
    const TableState state = tableState(table);
    if (state == TableState::KeysDamaged || state == TableState::KeysOutdated) {
        return StoreError::of(code::kRebuildKeys);
    }
    if (state != TableState::Current) {
        return StoreError::of(code::kLayoutDiffers);
    }
    // Every folded column against its field, and the count against the records.
    const QVector<int> folded = sql::statements(t).foldedFields;
    QStringList cols{sql::quoted(sql::kRecColumn)};
    for (int field : folded) {
        cols << sql::quoted(sql::fieldColumn(t, field)) << sql::quoted(sql::foldedColumn(t, field));
    }
    qint64 after = 0;
    while (!folded.isEmpty()) {
        StoreError e;
        PgResult page = m_connection.run(QStringLiteral("SELECT %1 FROM %2 WHERE \"_rec\" > $1 ORDER BY \"_rec\" LIMIT 2000")
                                             .arg(cols.join(QStringLiteral(", ")), sql::quoted(t.label)),
                                         {after}, e);
        if (e) {
            return e;
        }
        if (page.rows() == 0) {
            break;
        }
        for (int r = 0; r < page.rows(); ++r) {
            after = page.integer(r, 0);
            for (int i = 0; i < folded.size(); ++i) {
                if (foldKey(page.text(r, 1 + 2 * i)) != page.text(r, 2 + 2 * i)) {
                    return StoreError::of(code::kRebuildKeys);
                }
            }
        }
    }
    StoreError e;
    PgResult counts = m_connection.run(
        QStringLiteral("SELECT (SELECT COUNT(*) FROM %1) = (SELECT n FROM \"_counts\" WHERE label = $1)").arg(sql::quoted(t.label)),
        {t.label}, e);
    if (e) {
        return e;
    }
    return counts.rows() == 1 && counts.text(0, 0) == QLatin1String("t") ? StoreError{} : StoreError::of(code::kRebuildKeys);
}

} // namespace tunarium
