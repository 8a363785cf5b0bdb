// The store's record reads: by record number (or the next one in use), the range of numbers in
// use, by key, page walks from a key position, cascades through a key, counts and the next-number
// rule.
#include "data/store.h"

#include "data/store_connection.h"
#include "data/store_sqlite.h"

namespace tunarium {

namespace {

// Binds a key component value as the key compares it; a `partial` text (the beginning of a name)
// by the leading, accent-free part of the folded key alone. Read backward, a partial text stands
// after every key that begins with it, so that a list read in reverse starts at the last of them.
void bindKeyValue(Statement& statement, int param, const TableDef& t, int key, int field,
                  const QVariant& value, bool partial = false, bool backward = false) {
    if (t.field(field).type == FieldType::String) {
        const QString text = trimTrailingBlanks(value.toString());
        if (!t.key(key).caseInsensitive) {
            statement.bindText(param, text);
        } else if (partial && backward) {
            statement.bindText(param, foldKeyPrefix(text) + QString::fromUcs4(U"\U0010FFFF", 1));
        } else {
            statement.bindText(param, partial ? foldKeyPrefix(text) : foldKey(text));
        }
    } else {
        statement.bindInt(param, sql::keyNumber(t, field, value.toLongLong()));
    }
}

// The record of the statement's current row (record number, version, then the fields).
void readRow(const Statement& statement, TableId table, Row& out) {
    const TableDef& t = tableDef(table);
    if (out.tableId() != table || out.size() != t.fieldCount()) {
        out = Row(table);
    }
    out.meta.rec = statement.integer(0);
    out.meta.version = statement.integer(1);
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (t.field(i).isText()) {
            out.setRaw(i, statement.text(i + 2));
        } else {
            out.setNumber(i, statement.integer(i + 2));
        }
    }
}

// A range value as its key compares it.
QVariant keyValue(const TableDef& t, int key, int field, const QVariant& value) {
    if (!t.field(field).isText()) {
        return sql::keyNumber(t, field, value.toLongLong());
    }
    const QString text = trimTrailingBlanks(value.toString());
    return t.key(key).caseInsensitive ? foldKey(text) : text;
}

// The condition a walk's limits put on it: the range's bound on the far side of the walk (the near
// side is the position, which starts with the range values; an equality on the leading column
// would keep SQLite from seeking to the position within the range), then the filter.
SqlCondition limitCondition(const TableDef& t, int key, const WalkLimits& limits, Direction direction) {
    SqlCondition c;
    const int length =
        static_cast<int>(std::min<qsizetype>({qsizetype(std::max(limits.rangeLength, 0)),
                                              limits.rangeValues.size(), t.key(key).components.size()}));
    if (length > 0) {
        const QStringList cols = sql::keyColumns(t, key).mid(0, length);
        QStringList lhs;
        QStringList marks;
        for (int i = 0; i < length; ++i) {
            lhs << sql::quoted(cols[i]);
            marks << QStringLiteral("?");
            c.binds << keyValue(t, key, t.key(key).components[i], limits.rangeValues[i]);
        }
        c.sql = u'(' + lhs.join(QStringLiteral(", ")) +
                (direction == Direction::Forward ? QStringLiteral(") <= (") : QStringLiteral(") >= (")) +
                marks.join(QStringLiteral(", ")) + u')';
    }
    if (!limits.filter.isEmpty()) {
        c.sql = c.sql.isEmpty() ? limits.filter.sql
                                : u'(' + c.sql + QStringLiteral(") AND (") + limits.filter.sql + u')';
        c.binds += limits.filter.binds;
    }
    return c;
}

// The record a statement that reads one record found.
StoreError readOne(Statement& statement, TableId table, Row& out) {
    switch (statement.step()) {
    case Statement::Step::Row:
        readRow(statement, table, out);
        return {};
    case Statement::Step::Done:
        return StoreError::of(code::kRecordNotFound);
    case Statement::Step::Failed:
        break;
    }
    return statement.error();
}

} // namespace

StoreError SqliteStore::fetch(TableId table, qint64 rec, Row& out) {
    const TableDef& t = tableDef(table);
    StoreError error;
    Statement* fetch = m_connection->cached(sql::statements(t).fetch, error);
    if (!fetch) {
        return error;
    }
    StatementScope scope(*fetch);
    fetch->bindInt(1, rec);
    return readOne(*fetch, table, out);
}

StoreError SqliteStore::fetchAtOrAfter(TableId table, qint64 rec, Row& out) {
    const TableDef& t = tableDef(table);
    StoreError error;
    Statement* next = m_connection->cached(
        sql::selectRecordSql(t) + QStringLiteral(" WHERE rowid >= ? ORDER BY rowid LIMIT 1"), error);
    if (!next) {
        return error;
    }
    StatementScope scope(*next);
    next->bindInt(1, rec);
    return readOne(*next, table, out);
}

StoreError SqliteStore::recordRange(TableId table, qint64& first, qint64& last) {
    first = last = 0;
    const QString name = sql::quoted(tableDef(table).label);
    StoreError error;
    // Each bound alone is one step down the table's tree; MIN and MAX in one select would scan it.
    Statement* range = m_connection->cached(QStringLiteral("SELECT (SELECT MIN(rowid) FROM ") + name +
                                                QStringLiteral("), (SELECT MAX(rowid) FROM ") + name + u')',
                                            error);
    if (!range) {
        return error;
    }
    StatementScope scope(*range);
    if (range->step() != Statement::Step::Row) {
        return range->error();
    }
    first = range->integer(0);
    last = range->integer(1);
    return {};
}

StoreError SqliteStore::get(TableId table, int key, const QVector<QVariant>& values, Row& out) {
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size() || values.isEmpty() || values.size() > t.key(key).components.size()) {
        return StoreError::of(code::kInvalidKey);
    }
    StoreError error;
    // Lookups are frequent (a list's joined names): their statements are found without making the
    // SQL text again.
    const quint64 id =
        (quint64(1) << 40) | (quint64(t.id) << 24) | (quint64(key) << 16) | quint64(values.size());
    Statement* lookup = m_connection->numbered(id);
    if (!lookup) {
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
        lookup = m_connection->cached(
            sql::selectRecordSql(t) + QStringLiteral(" INDEXED BY ") + sql::quoted(sql::indexName(t, key)) +
                QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND ")) +
                QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", ")) + QStringLiteral(" LIMIT 1"),
            error);
        if (lookup) {
            m_connection->setNumbered(id, lookup);
        }
    }
    if (!lookup) {
        return error;
    }
    StatementScope scope(*lookup);
    for (int i = 0; i < values.size(); ++i) {
        bindKeyValue(*lookup, i + 1, t, key, t.key(key).components[i], values[i]);
    }
    return readOne(*lookup, table, out);
}

StoreError SqliteStore::read(TableId table, int key, const KeyPosition& from, Direction direction,
                             bool inclusive, int limit, QVector<Row>& out, const WalkLimits& limits) {
    out.clear();
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size()) {
        return StoreError::of(code::kInvalidKey);
    }
    SqlCondition extra = limits.isEmpty() ? SqlCondition{} : limitCondition(t, key, limits, direction);
    if (m_watch && !extra.isEmpty()) {
        // First among the conditions: every index entry the walk passes is counted, whether its
        // record is then read or not.
        extra.sql = QStringLiteral("tunarium_counted() AND (") + extra.sql + u')';
    }
    const KeyDef& k = t.key(key);
    const int prefix = static_cast<int>(std::min<qsizetype>(from.values.size(), k.components.size()));
    const bool tie = from.hasRec && prefix == k.components.size() && sql::keyHasTieBreaker(t, key);
    StoreError error;
    Statement* walk = nullptr;
    if (extra.isEmpty()) {
        // Page reads are frequent: their statements are found without making the SQL text.
        const quint64 id = (quint64(t.id) << 24) | (quint64(key) << 16) | (quint64(prefix) << 8) |
                           (tie ? 4u : 0u) | (direction == Direction::Forward ? 2u : 0u) |
                           (inclusive ? 1u : 0u);
        walk = m_connection->numbered(id);
        if (!walk) {
            walk = m_connection->cached(sql::walkSql(t, key, prefix, tie, direction, inclusive), error);
            m_connection->setNumbered(id, walk);
        }
    } else {
        // A list with a range or a filter reads every page with its condition: its statements are
        // found by the walk and a hash of the condition, and taken only when the statement's text
        // ends with that very condition (a hash shared by another condition makes a new one).
        const quint64 id = (quint64(qHash(extra.sql) & 0x7fffffffu) << 32) | (quint64(t.id) << 24) |
                           (quint64(key) << 16) | (quint64(prefix) << 8) | (tie ? 4u : 0u) |
                           (direction == Direction::Forward ? 2u : 0u) | (inclusive ? 1u : 0u);
        const QByteArray tail =
            QByteArrayLiteral("(") + extra.sql.toUtf8() + QByteArrayLiteral(") ORDER BY ");
        const quint64 conditioned = id | (quint64(1) << 63);
        walk = m_connection->numbered(conditioned);
        if (!walk || !walk->sql().contains(tail)) {
            walk = m_connection->cached(sql::walkSql(t, key, prefix, tie, direction, inclusive, extra.sql),
                                        error);
            if (walk && !m_connection->numbered(conditioned)) {
                m_connection->setNumbered(conditioned, walk);
            }
        }
    }
    if (!walk) {
        return error;
    }
    StatementScope scope(*walk);
    int param = 1;
    for (int i = 0; i < prefix; ++i) {
        bindKeyValue(*walk, param++, t, key, k.components[i], from.values[i],
                     from.partialText && i == prefix - 1, direction == Direction::Backward);
    }
    if (tie) {
        walk->bindInt(param++, from.rec);
    }
    for (const QVariant& v : extra.binds) {
        walk->bindValue(param++, v);
    }
    walk->bindInt(param, limit);
    Statement::Step step;
    while ((step = walk->step()) == Statement::Step::Row) {
        Row row;
        readRow(*walk, table, row);
        out.push_back(std::move(row));
    }
    return step == Statement::Step::Done ? StoreError{} : walk->error();
}

void SqliteStore::watchReads(std::shared_ptr<WalkWatch> watch) {
    m_watch = std::move(watch);
    if (!m_watch) {
        m_connection->setRowCounter(nullptr);
        m_connection->setStop(nullptr);
        return;
    }
    WalkWatch* w = m_watch.get();
    m_connection->setRowCounter([w](qint64 passed) { w->setWalked(passed); });
    m_connection->setStop([w] { return w->cancelled(); });
}

StoreError SqliteStore::readInRecordOrder(TableId table, qint64 afterRec, int limit, QVector<Row>& out) {
    out.clear();
    StoreError error;
    Statement* walk = m_connection->cached(sql::selectRecordSql(tableDef(table)) +
                                               QStringLiteral(" WHERE rowid > ? ORDER BY rowid LIMIT ?"),
                                           error);
    if (!walk) {
        return error;
    }
    StatementScope scope(*walk);
    walk->bindInt(1, afterRec);
    walk->bindInt(2, limit);
    Statement::Step step;
    while ((step = walk->step()) == Statement::Step::Row) {
        Row row;
        readRow(*walk, table, row);
        out.push_back(std::move(row));
    }
    return step == Statement::Step::Done ? StoreError{} : walk->error();
}

QString SqliteStore::walkText(TableId table, int key, int prefixLength, bool withRecord, Direction direction,
                              bool inclusive, const WalkLimits& limits) const {
    const TableDef& t = tableDef(table);
    return sql::walkSql(t, key, prefixLength, withRecord, direction, inclusive,
                        limitCondition(t, key, limits, direction).sql);
}

KeyPosition SqliteStore::positionOf(const Row& row, int key) const {
    KeyPosition p;
    for (int field : row.table().key(key).components) {
        p.values << row.value(field);
    }
    p.rec = row.meta.rec;
    p.hasRec = true;
    return p;
}

StoreError SqliteStore::replaceInKey(TableId table, int key, const QVariant& oldValue,
                                     const QVariant& newValue, qint64& changed) {
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
    Statement* replace = m_connection->cached(
        QStringLiteral("UPDATE ") + sql::quoted(t.label) + QStringLiteral(" INDEXED BY ") +
            sql::quoted(sql::indexName(t, key)) + QStringLiteral(" SET ") + sets.join(QStringLiteral(", ")) +
            QStringLiteral(" WHERE ") + where,
        error);
    if (!replace) {
        return error;
    }
    StatementScope scope(*replace);
    int param = 1;
    if (f.isText()) {
        const QString text = trimTrailingBlanks(newValue.toString());
        replace->bindText(param++, text);
        if (sql::hasFoldedColumn(t, field)) {
            replace->bindText(param++, foldKey(text));
        }
    } else {
        replace->bindInt(param++, newValue.toLongLong());
    }
    bindKeyValue(*replace, param, t, key, field, oldValue);
    if (replace->step() != Statement::Step::Done) {
        StoreError e = replace->error();
        if (replace->brokeConstraint()) {
            const StoreError failure = e;
            e = StoreError::of(code::kDuplicateKey);
            e.driverCode = failure.driverCode;
            e.driverMessage = failure.driverMessage;
        }
        return e;
    }
    changed = m_connection->changes();
    return {};
}

qint64 SqliteStore::count(TableId table) {
    StoreError error;
    Statement* count =
        m_connection->cached(QStringLiteral("SELECT n FROM \"_counts\" WHERE label = ?"), error);
    if (!count) {
        return 0;
    }
    StatementScope scope(*count);
    count->bindText(1, tableDef(table).label);
    return count->step() == Statement::Step::Row ? count->integer(0) : 0;
}

StoreError SqliteStore::nextNumber(TableId table, qint64& out) {
    const TableDef& t = tableDef(table);
    if (t.primaryKey < 0 || t.key(t.primaryKey).components.size() != 1) {
        return StoreError::of(code::kInvalidKey);
    }
    QVector<Row> last;
    StoreError e = read(table, t.primaryKey, {}, Direction::Backward, true, 1, last);
    if (e) {
        return e;
    }
    const int field = t.key(t.primaryKey).components.first();
    const qint64 highest = last.isEmpty() ? 0 : last.first().number(field);
    out = std::max<qint64>(highest, 0) + 1;
    if (out > t.field(field).maxValue()) {
        return StoreError::driver(SQLITE_FULL,
                                  QStringLiteral("No numbers are left for %1").arg(t.qualifiedField(field)));
    }
    return {};
}

} // namespace tunarium
