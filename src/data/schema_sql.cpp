// Generation of the collection's SQL text from the data dictionary.
#include "data/schema_sql.h"

#include "data/date_time.h"
#include "data/store_search.h"

namespace tunarium::sql {

QString quoted(const QString& identifier) {
    QString q = identifier;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString fieldColumn(const TableDef& t, int field) {
    return t.field(field).name;
}

bool hasFoldedColumn(const TableDef& t, int field) {
    if (t.field(field).type != FieldType::String) {
        return false;
    }
    for (const KeyDef& k : t.keys) {
        if (k.caseInsensitive && k.components.contains(field)) {
            return true;
        }
    }
    return false;
}

QString foldedColumn(const TableDef& t, int field) {
    return t.field(field).name + QStringLiteral("Key");
}

bool hasOrderColumn(const TableDef& t, int field) {
    if (!t.field(field).mayHoldBareYear) {
        return false;
    }
    for (const KeyDef& k : t.keys) {
        if (k.components.contains(field)) {
            return true;
        }
    }
    return false;
}

QString orderColumn(const TableDef& t, int field) {
    return t.field(field).name + QStringLiteral("Order");
}

QString orderValueSql(const QString& column) {
    // releaseOrderValue (date_time.h) in SQL: integer arithmetic alone, so that any SQLite reads
    // the file and its indexes. Whole years before the year's 1 January: Y - 1.
    const QString before = u'(' + column + QStringLiteral(" - 1)");
    return QStringLiteral(
               "CASE WHEN %1 BETWEEN 1 AND %2 THEN 2 * (365 * %3 + %3 / 4 - %3 / 100 + %3 / 400) + 1 "
               "WHEN %1 = 0 THEN 0 ELSE 2 * (%1 + %4) END")
        .arg(column)
        .arg(kBareYearLimit)
        .arg(before)
        .arg(kOrdinalOfDayZero);
}

QStringList orderColumnDefinitions(const TableDef& t) {
    QStringList defs;
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (hasOrderColumn(t, i)) {
            defs << quoted(orderColumn(t, i)) + QStringLiteral(" INTEGER GENERATED ALWAYS AS (") +
                        orderValueSql(quoted(fieldColumn(t, i))) + QStringLiteral(") VIRTUAL");
        }
    }
    return defs;
}

qint64 keyNumber(const TableDef& t, int field, qint64 value) {
    return hasOrderColumn(t, field) ? releaseOrderValue(value) : value;
}

QString indexName(const TableDef& t, int key) {
    return t.qualifiedKey(key);
}

bool keyHasTieBreaker(const TableDef& t, int key) {
    return !t.key(key).unique;
}

namespace {

QString componentColumn(const TableDef& t, int key, int field) {
    const KeyDef& k = t.key(key);
    if (k.caseInsensitive && t.field(field).type == FieldType::String) {
        return foldedColumn(t, field);
    }
    return hasOrderColumn(t, field) ? orderColumn(t, field) : fieldColumn(t, field);
}

} // namespace

QStringList keyColumns(const TableDef& t, int key) {
    QStringList cols;
    for (int field : t.key(key).components) {
        cols << componentColumn(t, key, field);
    }
    if (keyHasTieBreaker(t, key)) {
        cols << QString::fromLatin1(kRecColumn);
    }
    return cols;
}

QString blankCondition(const TableDef& t, int key) {
    const KeyDef& k = t.key(key);
    if (!k.excludeBlank) {
        return {};
    }
    QStringList terms;
    for (int field : k.components) {
        const bool isText = t.field(field).type == FieldType::String;
        terms << quoted(componentColumn(t, key, field)) + (isText ? QStringLiteral(" <> ''") : QStringLiteral(" <> 0"));
    }
    return u'(' + terms.join(QStringLiteral(" OR ")) + u')';
}

QString createTableSql(const TableDef& t, OrderColumns orderColumns) {
    QStringList defs;
    defs << quoted(kRecColumn) + QStringLiteral(" INTEGER NOT NULL");
    defs << quoted(kVersionColumn) + QStringLiteral(" INTEGER NOT NULL DEFAULT 0");
    for (int i = 0; i < t.fieldCount(); ++i) {
        defs << quoted(fieldColumn(t, i)) + (t.field(i).isText() ? QStringLiteral(" TEXT NOT NULL DEFAULT ''")
                                                                  : QStringLiteral(" INTEGER NOT NULL DEFAULT 0"));
    }
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (hasFoldedColumn(t, i)) {
            defs << quoted(foldedColumn(t, i)) + QStringLiteral(" TEXT NOT NULL DEFAULT ''");
        }
    }
    // Last, as ALTER TABLE ... ADD COLUMN puts them: a table brought over that way reads the same.
    if (orderColumns == OrderColumns::With) {
        defs << orderColumnDefinitions(t);
    }
    return QStringLiteral("CREATE TABLE ") + quoted(t.label) + QStringLiteral(" (") + defs.join(QStringLiteral(", ")) +
           u')';
}

QString createIndexSql(const TableDef& t, int key) {
    QStringList cols;
    for (const QString& c : keyColumns(t, key)) {
        cols << quoted(c);
    }
    QString sql = QStringLiteral("CREATE ") + (t.key(key).unique ? QStringLiteral("UNIQUE ") : QString()) +
                  QStringLiteral("INDEX ") + quoted(indexName(t, key)) + QStringLiteral(" ON ") + quoted(t.label) +
                  QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + u')';
    const QString cond = blankCondition(t, key);
    if (!cond.isEmpty()) {
        sql += QStringLiteral(" WHERE ") + cond;
    }
    return sql;
}

QStringList createCountTriggersSql(const TableDef& t) {
    const QString label = t.label;
    const QString where = QStringLiteral(" WHERE label = '") + label + QStringLiteral("'; END");
    return {
        QStringLiteral("CREATE TRIGGER ") + quoted(label + QStringLiteral("_count_insert")) +
            QStringLiteral(" AFTER INSERT ON ") + quoted(label) + QStringLiteral(" BEGIN UPDATE ") +
            quoted(kCountTable) + QStringLiteral(" SET n = n + 1") + where,
        QStringLiteral("CREATE TRIGGER ") + quoted(label + QStringLiteral("_count_delete")) +
            QStringLiteral(" AFTER DELETE ON ") + quoted(label) + QStringLiteral(" BEGIN UPDATE ") +
            quoted(kCountTable) + QStringLiteral(" SET n = n - 1") + where,
    };
}

QStringList storedColumns(const TableDef& t) {
    QStringList cols{QString::fromLatin1(kRecColumn), QString::fromLatin1(kVersionColumn)};
    for (int i = 0; i < t.fieldCount(); ++i) {
        cols << fieldColumn(t, i);
    }
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (hasFoldedColumn(t, i)) {
            cols << foldedColumn(t, i);
        }
    }
    return cols;
}

QString selectRecordSql(const TableDef& t) {
    QStringList cols{quoted(kRecColumn), quoted(kVersionColumn)};
    for (int i = 0; i < t.fieldCount(); ++i) {
        cols << quoted(fieldColumn(t, i));
    }
    return QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + quoted(t.label);
}

QString walkSql(const TableDef& t, int key, int prefixLength, bool withTieBreaker, Direction direction,
                bool inclusive, const QString& extraCondition) {
    const QStringList cols = keyColumns(t, key);
    QStringList conditions;
    const QString blank = blankCondition(t, key);
    if (!blank.isEmpty()) {
        conditions << blank;
    }
    const int compared = prefixLength + (withTieBreaker && keyHasTieBreaker(t, key) ? 1 : 0);
    if (compared > 0) {
        QStringList lhs;
        QStringList rhs;
        for (int i = 0; i < compared; ++i) {
            lhs << quoted(cols[i]);
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
        order << quoted(c) + dir;
    }
    QString sql = selectRecordSql(t);
    if (!narrowsThroughSearchIndex(t, extraCondition)) {
        sql += QStringLiteral(" INDEXED BY ") + quoted(indexName(t, key));
    }
    if (!conditions.isEmpty()) {
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    }
    sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", ")) + QStringLiteral(" LIMIT ?");
    return sql;
}

namespace {

TableStatements makeStatements(const TableDef& t) {
    TableStatements st;
    for (int i = 0; i < t.fieldCount(); ++i) {
        if (hasFoldedColumn(t, i)) {
            st.foldedFields << i;
        }
    }
    const QStringList columns = storedColumns(t);
    QStringList quotedColumns{QStringLiteral("rowid")};
    QStringList marks{QStringLiteral("?")};
    for (const QString& c : columns) {
        quotedColumns << quoted(c);
        marks << QStringLiteral("?");
    }
    st.insert = QStringLiteral("INSERT INTO ") + quoted(t.label) + QStringLiteral(" (") +
                quotedColumns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                marks.join(QStringLiteral(", ")) + u')';
    QStringList sets;
    for (const QString& c : columns.mid(2)) {
        sets << quoted(c) + QStringLiteral(" = ?");
    }
    sets << quoted(kVersionColumn) + QStringLiteral(" = ") + quoted(kVersionColumn) + QStringLiteral(" + 1");
    st.update = QStringLiteral("UPDATE ") + quoted(t.label) + QStringLiteral(" SET ") + sets.join(QStringLiteral(", ")) +
                QStringLiteral(" WHERE rowid = ? AND ") + quoted(kVersionColumn) + QStringLiteral(" = ?");
    st.remove = QStringLiteral("DELETE FROM ") + quoted(t.label) + QStringLiteral(" WHERE rowid = ?");
    st.fetch = selectRecordSql(t) + QStringLiteral(" WHERE rowid = ?");
    st.nextRec = QStringLiteral("UPDATE \"_counts\" SET lastRec = MAX(lastRec, (SELECT IFNULL(MAX(rowid), 0) FROM ") +
                 quoted(t.label) + QStringLiteral(")) + 1 WHERE label = ? RETURNING lastRec");
    return st;
}

} // namespace

const TableStatements& statements(const TableDef& t) {
    static const std::array<TableStatements, kTableCount> all = [] {
        std::array<TableStatements, kTableCount> made;
        for (const TableDef& def : allTables()) {
            made[static_cast<int>(def.id)] = makeStatements(def);
        }
        return made;
    }();
    return all[static_cast<int>(t.id)];
}

} // namespace tunarium::sql
