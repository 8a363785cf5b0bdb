// The server store: opening a collection on a server, counted table opens, and the record writes.
#include "data/store_pg.h"

#include "data/fold_key.h"
#include "data/schema_sql.h"
#include "data/store_file_kind.h"

#include <optional>

namespace tunarium {

namespace {

StoreError refusal(const QString& message) {
    return StoreError::driver(0, message);
}

// A record's fields and then its folded key columns as the statements bind them.
void appendRow(QVector<QVariant>& params, const Row& row) {
    const TableDef& t = row.table();
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (t.field(i).isText()) {
            params << trimTrailingBlanks(row.text(i));
        } else {
            params << row.number(i);
        }
    }
    for (int i : sql::statements(t).foldedFields) {
        params << foldKey(trimTrailingBlanks(row.text(i)));
    }
}

// "$n::type" for each stored column after the record number and version, from `first` on.
QStringList typedMarks(const TableDef& t, int first) {
    QStringList marks;
    int n = first;
    for (int i = 0; i < t.fieldCount(); ++i) {
        marks << QStringLiteral("$%1::%2").arg(n++).arg(t.field(i).isText() ? QStringLiteral("text") : QStringLiteral("bigint"));
    }
    for (int k = 0; k < sql::statements(t).foldedFields.size(); ++k) {
        marks << QStringLiteral("$%1::text").arg(n++);
    }
    return marks;
}

// The parents a child record names through the relations (a blank value names none): common table
// expressions that take a share lock on each, their names, and their values bound from `first`.
struct ParentLocks {
    QStringList expressions;
    QStringList names;
    QVector<QVariant> params;
};

ParentLocks parentLocks(const Row& row, int first) {
    ParentLocks locks;
    int n = first;
    for (const RelationDef& r : relations()) {
        if (r.child != row.tableId()) {
            continue;
        }
        const TableDef& child = row.table();
        const TableDef& parent = tableDef(r.parent);
        const bool text = child.field(r.childField).isText();
        const QString value = trimTrailingBlanks(row.text(r.childField));
        if (text ? value.isEmpty() : row.number(r.childField) == 0) {
            continue;
        }
        QString column = sql::quoted(sql::fieldColumn(parent, r.parentField));
        QVariant bound = text ? QVariant(value) : QVariant(row.number(r.childField));
        if (text && sql::hasFoldedColumn(parent, r.parentField)) {
            column = sql::quoted(sql::foldedColumn(parent, r.parentField));
            bound = foldKey(value);
        }
        const QString name = QStringLiteral("held%1").arg(locks.names.size());
        locks.expressions << QStringLiteral("%1 AS (SELECT count(*) FROM (SELECT 1 FROM %2 WHERE %3 = $%4::%5 FOR SHARE) "
                                            "locked)")
                                 .arg(name, sql::quoted(parent.label), column)
                                 .arg(n++)
                                 .arg(text ? QStringLiteral("text") : QStringLiteral("bigint"));
        locks.names << name;
        locks.params << bound;
    }
    return locks;
}

} // namespace

PgStore::PgStore()
    : m_connection(std::make_unique<PgConnection>()), m_schema(*m_connection), m_maintenance(*this, *m_connection),
      m_bulk(*m_connection) {}

PgStore::~PgStore() {
    close();
}

StoreError PgStore::connectAndLoad(const QString& location) {
    close();
    if (StoreError e = m_connection->open(location)) {
        return e;
    }
    if (StoreError e = m_schema.load()) {
        close();
        return e;
    }
    return {};
}

StoreError PgStore::open(const QString& location) {
    if (StoreError e = connectAndLoad(location)) {
        return e;
    }
    StoreError e;
    if (!m_schema.hasCollectionTables()) {
        e = StoreError::of(code::kInvalidDataFile);
        e.driverMessage = m_schema.m_tables.isEmpty()
                              ? QStringLiteral("The database %1 holds no Tunarium collection yet; make one with "
                                               "tunarium-cli server init --server ADDRESS")
                                    .arg(m_connection->label())
                              : QStringLiteral("The database %1 is not a Tunarium collection").arg(m_connection->label());
    } else {
        e = newerStructure();
    }
    if (e) {
        close();
    }
    return e;
}

StoreError PgStore::initialize(const QString& location) {
    if (StoreError e = connectAndLoad(location)) {
        return e;
    }
    StoreError e;
    if (m_schema.hasCollectionTables()) {
        e = StoreError::of(code::kAlreadyOpen);
        e.driverMessage = QStringLiteral("The database %1 already holds a collection").arg(m_connection->label());
    } else if (!m_schema.m_tables.isEmpty()) {
        e = StoreError::of(code::kInvalidDataFile);
        e.driverMessage = QStringLiteral("The database %1 holds other tables; a collection is made in an empty database")
                              .arg(m_connection->label());
    } else {
        e = m_connection->transact([&]() -> StoreError {
            if (StoreError made = m_schema.initialize()) {
                return made;
            }
            if (StoreError loaded = m_schema.load()) {
                return loaded;
            }
            for (const TableDef& t : allTables()) {
                if (StoreError created = m_schema.createTable(t.id)) {
                    return created;
                }
            }
            return {};
        });
        if (StoreError loaded = m_schema.load(); !e) {
            e = loaded;
        }
    }
    if (e) {
        close();
    }
    return e;
}

StoreError PgStore::newerStructure() {
    for (const TableDef& t : allTables()) {
        if (m_schema.tableState(t.id) == TableState::Newer) {
            StoreError e = StoreError::of(code::kLayoutDiffers);
            e.driverMessage = newerStructureText(m_connection->label(), t.label, m_schema.storedVersion(t.id), t.version);
            return e;
        }
    }
    return {};
}

void PgStore::close() {
    m_connection->close();
    m_provenReads.clear();
    m_openCounts.fill(0);
}

StoreError PgStore::openTable(TableId table) {
    int& count = m_openCounts[static_cast<int>(table)];
    if (count == 0) {
        StoreError e;
        switch (m_schema.tableState(table)) {
        case TableState::Current:
            break;
        case TableState::Missing:
            e = m_schema.createTable(table);
            break;
        case TableState::Older:
        case TableState::Different:
        case TableState::KeysOutdated:
            e = m_schema.upgradeTable(table);
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

void PgStore::closeTable(TableId table) {
    int& count = m_openCounts[static_cast<int>(table)];
    if (count > 0) {
        --count;
    }
}

StoreError PgStore::validate(const Row& row) const {
    const TableDef& t = row.table();
    if (row.size() != t.fieldCount()) {
        return refusal(QStringLiteral("A %1 record has the wrong number of fields").arg(t.label));
    }
    for (int i = 0; i < t.fieldCount(); ++i) {
        const FieldDef& f = t.field(i);
        const QVariant& v = row.value(i);
        if (f.isText()) {
            const qsizetype length = trimTrailingBlanks(v.toString()).size();
            if (length > f.width) {
                return refusal(QStringLiteral("The text for %1 is %2 characters long; it holds at most %3")
                                   .arg(t.qualifiedField(i))
                                   .arg(length)
                                   .arg(f.width));
            }
            continue;
        }
        bool ok = true;
        const qint64 n = v.toLongLong(&ok);
        if (!ok && !v.isNull()) {
            return refusal(QStringLiteral("The value \"%1\" of %2 is not a number").arg(v.toString(), t.qualifiedField(i)));
        }
        if (n < f.minValue() || n > f.maxValue()) {
            return refusal(QStringLiteral("The value %1 does not fit %2 (%3 to %4)")
                               .arg(n)
                               .arg(t.qualifiedField(i))
                               .arg(f.minValue())
                               .arg(f.maxValue()));
        }
    }
    return {};
}

StoreError PgStore::duplicateKeyError(const Row& row, const StoreError& failure) {
    StoreError e = StoreError::of(code::kDuplicateKey);
    e.driverMessage = failure.driverMessage;
    const TableDef& t = row.table();
    // Within a transaction the failed statement ended it: the key is named from the constraint.
    for (int k = 0; k < t.keys.size(); ++k) {
        if (t.key(k).unique && failure.driverMessage.contains(u'"' + sql::indexName(t, k) + u'"')) {
            e.keyName = t.qualifiedKey(k);
            return e;
        }
    }
    return e;
}

StoreError PgStore::insert(Row& row) {
    if (StoreError e = validate(row)) {
        return e;
    }
    const TableDef& t = row.table();
    QVector<QVariant> params{t.label};
    appendRow(params, row);
    const ParentLocks locks = parentLocks(row, static_cast<int>(params.size()) + 1);
    params += locks.params;
    QStringList columns;
    for (const QString& c : sql::storedColumns(t)) {
        columns << sql::quoted(c);
    }
    // The number and the record go in together in one statement, with the parents' locks.
    QStringList with = locks.expressions;
    with.prepend(QStringLiteral("numbered AS (UPDATE \"_counts\" SET \"lastRec\" = GREATEST(\"lastRec\", (SELECT "
                                "COALESCE(MAX(\"_rec\"), 0) FROM %1)) + 1 WHERE label = $1 RETURNING \"lastRec\")")
                     .arg(sql::quoted(t.label)));
    QStringList from{QStringLiteral("numbered")};
    from += locks.names;
    const QString text = QStringLiteral("WITH %1 INSERT INTO %2 (%3) SELECT numbered.\"lastRec\", 0, %4 FROM %5 "
                                        "RETURNING \"_rec\"")
                             .arg(with.join(QStringLiteral(", ")), sql::quoted(t.label), columns.join(QStringLiteral(", ")),
                                  typedMarks(t, 2).join(QStringLiteral(", ")), from.join(QStringLiteral(", ")));
    StoreError e;
    PgResult added = m_connection->runOften(text, params, e);
    if (e) {
        return e.code == code::kDuplicateKey ? duplicateKeyError(row, e) : e;
    }
    if (added.rows() != 1) {
        return StoreError::of(code::kFileNotFound);
    }
    m_connection->addOwnChanges(1);
    row.meta.rec = added.integer(0, 0);
    row.meta.version = 0;
    return {};
}

StoreError PgStore::update(Row& row) {
    if (StoreError e = validate(row)) {
        return e;
    }
    const TableDef& t = row.table();
    QVector<QVariant> params;
    appendRow(params, row);
    const QStringList columns = sql::storedColumns(t).mid(2);
    const QStringList marks = typedMarks(t, 1);
    QStringList sets;
    for (int i = 0; i < columns.size(); ++i) {
        sets << sql::quoted(columns[i]) + QStringLiteral(" = ") + marks[i];
    }
    sets << QStringLiteral("\"_version\" = \"_version\" + 1");
    const int recParam = static_cast<int>(params.size()) + 1;
    params << row.meta.rec << row.meta.version;
    const ParentLocks locks = parentLocks(row, static_cast<int>(params.size()) + 1);
    params += locks.params;
    QString text;
    if (!locks.names.isEmpty()) {
        text = QStringLiteral("WITH ") + locks.expressions.join(QStringLiteral(", ")) + u' ';
    }
    text += QStringLiteral("UPDATE %1 SET %2").arg(sql::quoted(t.label), sets.join(QStringLiteral(", ")));
    if (!locks.names.isEmpty()) {
        text += QStringLiteral(" FROM ") + locks.names.join(QStringLiteral(", "));
    }
    // The version in the condition: of two stations that read the same version, the second waits
    // for the first one's commit and then finds the record changed.
    text += QStringLiteral(" WHERE %1.\"_rec\" = $%2 AND %1.\"_version\" = $%3").arg(sql::quoted(t.label)).arg(recParam).arg(recParam + 1);
    StoreError e;
    PgResult written = m_connection->runOften(text, params, e);
    if (e) {
        return e.code == code::kDuplicateKey ? duplicateKeyError(row, e) : e;
    }
    if (written.changed() == 0) {
        Row current;
        const StoreError found = fetch(t.id, row.meta.rec, current);
        return found.ok() ? StoreError::of(code::kChangedByOther) : found;
    }
    m_connection->addOwnChanges(1);
    ++row.meta.version;
    return {};
}

StoreError PgStore::remove(const Row& row) {
    StoreError e;
    PgResult removed = m_connection->runOften(
        QStringLiteral("DELETE FROM %1 WHERE \"_rec\" = $1").arg(sql::quoted(row.table().label)), {row.meta.rec}, e);
    if (e) {
        return e;
    }
    if (removed.changed() == 0) {
        return StoreError::of(code::kRecordNotFound);
    }
    m_connection->addOwnChanges(1);
    return {};
}

StoreError PgStore::holdRecord(TableId table, qint64 rec) {
    if (!inTransaction()) {
        return {};
    }
    StoreError e;
    m_connection->run(QStringLiteral("SELECT 1 FROM %1 WHERE \"_rec\" = $1 FOR UPDATE").arg(sql::quoted(tableDef(table).label)),
                      {rec}, e);
    return e;
}

StoreError PgStore::rewriteField(TableId table, RecordMeta& meta, int field, const QVariant& value) {
    const TableDef& t = tableDef(table);
    if (field < 0 || field >= t.fieldCount()) {
        return StoreError::of(code::kInvalidKey);
    }
    Row probe(table);
    probe.setRaw(field, value);
    if (StoreError e = validate(probe)) {
        return e;
    }
    QVector<QVariant> params;
    QStringList sets;
    if (t.field(field).isText()) {
        const QString text = trimTrailingBlanks(value.toString());
        params << text;
        sets << sql::quoted(sql::fieldColumn(t, field)) + QStringLiteral(" = $1::text");
        if (sql::hasFoldedColumn(t, field)) {
            params << foldKey(text);
            sets << sql::quoted(sql::foldedColumn(t, field)) + QStringLiteral(" = $2::text");
        }
    } else {
        params << value.toLongLong();
        sets << sql::quoted(sql::fieldColumn(t, field)) + QStringLiteral(" = $1::bigint");
    }
    sets << QStringLiteral("\"_version\" = \"_version\" + 1");
    const int n = static_cast<int>(params.size());
    params << meta.rec << meta.version;
    StoreError e;
    PgResult written = m_connection->run(QStringLiteral("UPDATE %1 SET %2 WHERE \"_rec\" = $%3 AND \"_version\" = $%4")
                                             .arg(sql::quoted(t.label), sets.join(QStringLiteral(", ")))
                                             .arg(n + 1)
                                             .arg(n + 2),
                                         params, e);
    if (e) {
        return e;
    }
    if (written.changed() == 0) {
        return StoreError::of(code::kChangedByOther);
    }
    m_connection->addOwnChanges(1);
    ++meta.version;
    return {};
}

StoreError PgStore::replaceInKey(TableId table, int key, const QVariant& oldValue, const QVariant& newValue,
                                 qint64& changed) {
    changed = 0;
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size()) {
        return StoreError::of(code::kInvalidKey);
    }
    const int field = t.key(key).components.first();
    Row probe(table);
    probe.setRaw(field, newValue);
    if (StoreError e = validate(probe)) {
        return e;
    }
    QVector<QVariant> params;
    QStringList sets;
    const bool text = t.field(field).isText();
    if (text) {
        const QString value = trimTrailingBlanks(newValue.toString());
        params << value;
        sets << sql::quoted(sql::fieldColumn(t, field)) + QStringLiteral(" = $1::text");
        if (sql::hasFoldedColumn(t, field)) {
            params << foldKey(value);
            sets << sql::quoted(sql::foldedColumn(t, field)) + QStringLiteral(" = $2::text");
        }
    } else {
        params << newValue.toLongLong();
        sets << sql::quoted(sql::fieldColumn(t, field)) + QStringLiteral(" = $1::bigint");
    }
    sets << QStringLiteral("\"_version\" = \"_version\" + 1");
    // The old value as the key compares it.
    QVariant old;
    if (text) {
        const QString value = trimTrailingBlanks(oldValue.toString());
        old = t.key(key).caseInsensitive ? foldKey(value) : value;
    } else {
        old = sql::keyNumber(t, field, oldValue.toLongLong());
    }
    params << old;
    QString where = sql::quoted(sql::keyColumns(t, key).first()) + QStringLiteral(" = $%1").arg(params.size());
    if (const QString blank = sql::blankCondition(t, key); !blank.isEmpty()) {
        where = blank + QStringLiteral(" AND ") + where;
    }
    StoreError e;
    PgResult written = m_connection->run(
        QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(sql::quoted(t.label), sets.join(QStringLiteral(", ")), where), params, e);
    if (e) {
        return e;
    }
    changed = written.changed();
    m_connection->addOwnChanges(changed);
    return {};
}

StoreError initServerCollection(const QString& location) {
    PgStore store;
    return store.initialize(location);
}

std::unique_ptr<StoreSurvey> PgStore::openSurvey() const {
    return std::make_unique<PgSurvey>(*this);
}

std::unique_ptr<DuplicateReader> PgStore::openDuplicateReader() const {
    return std::make_unique<PgDuplicateReader>(*this);
}

StoreError PgSchema::makeBackup(const QString& reason, int keep, const std::function<void(double)>& progress) {
    (void)reason;
    (void)keep;
    (void)progress;
    return StoreError::driver(0, QStringLiteral("A dated backup of a collection on a server is not written beside it: "
                                                "give the file (tunarium-cli backup --to FILE, or server copy-to FILE)"));
}

} // namespace tunarium
