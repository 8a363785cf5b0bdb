// The store's record reads: by record number, by key, page walks from a key position, cascades
// through a key, counts and the next-number rule.
#include "data/store.h"

#include "data/store_internal.h"

namespace tunarium {

using namespace store_detail;

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
    const quint64 id =
        (quint64(1) << 40) | (quint64(t.id) << 24) | (quint64(key) << 16) | quint64(values.size());
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
        stmt = prepare(sql::selectRecordSql(t) + QStringLiteral(" INDEXED BY ") +
                           sql::quoted(sql::indexName(t, key)) + QStringLiteral(" WHERE ") +
                           conditions.join(QStringLiteral(" AND ")) + QStringLiteral(" ORDER BY ") +
                           order.join(QStringLiteral(", ")) + QStringLiteral(" LIMIT 1"),
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

StoreError Store::read(TableId table, int key, const KeyPosition& from, sql::Direction direction,
                       bool inclusive, int limit, QVector<Row>& out, const SqlCondition& extra) {
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
                           (tie ? 4u : 0u) | (direction == sql::Direction::Forward ? 2u : 0u) |
                           (inclusive ? 1u : 0u);
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
        const QByteArray tail =
            QByteArrayLiteral("(") + extra.sql.toUtf8() + QByteArrayLiteral(") ORDER BY ");
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
        bindKeyValue(stmt, param++, t, key, k.components[i], from.values[i],
                     from.partialText && i == prefix - 1);
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
    sqlite3_stmt* stmt =
        prepare(QStringLiteral("UPDATE ") + sql::quoted(t.label) + QStringLiteral(" INDEXED BY ") +
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
        return StoreError::driver(SQLITE_FULL,
                                  QStringLiteral("No numbers are left for %1").arg(t.qualifiedField(field)));
    }
    return {};
}

} // namespace tunarium
