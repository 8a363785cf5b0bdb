// Grouped counts over the keys, on a connection of the survey's own.
#include "data/store_survey.h"

#include "data/date_time.h"
#include "data/schema_sql.h"
#include "data/store.h"
#include "data/store_connection.h"
#include "data/store_sqlite.h"

#include <algorithm>

namespace tunarium {

namespace {

// The statement's rows as (number, count).
StoreError numberRows(Statement& statement, QVector<ValueCount>& out) {
    while (true) {
        const Statement::Step step = statement.step();
        if (step == Statement::Step::Done) {
            return {};
        }
        if (step != Statement::Step::Row) {
            return statement.error();
        }
        out.push_back({statement.integer(0), statement.integer(1)});
    }
}

// The grouped key's blank records: counted apart when the key leaves them out.
qint64 uncounted(qint64 total, qint64 counted) {
    return total > counted ? total - counted : 0;
}

} // namespace

SqliteSurvey::SqliteSurvey(const Store& store) : m_connection(std::make_unique<Connection>()) {
    if (!store.isOpen()) {
        m_error = StoreError::of(code::kNotOpen);
        return;
    }
    if ((m_error = m_connection->open(store.filePath(), store.isReadOnly()))) {
        return;
    }
    m_error = m_connection->beginRead();
}

SqliteSurvey::~SqliteSurvey() {
    m_connection->rollback();
}

StoreError SqliteSurvey::count(TableId table, qint64& out) {
    out = 0;
    if (m_error) {
        return m_error;
    }
    StoreError error;
    Statement* statement = m_connection->cached(QStringLiteral("SELECT n FROM %1 WHERE label = ?")
                                                    .arg(sql::quoted(QString::fromLatin1(sql::kCountTable))),
                                                error);
    if (!statement) {
        return error;
    }
    StatementScope scope(*statement);
    statement->bindText(1, tableDef(table).label);
    const Statement::Step step = statement->step();
    if (step == Statement::Step::Row) {
        out = statement->integer(0);
        return {};
    }
    return step == Statement::Step::Done ? StoreError::of(code::kRecordNotFound) : statement->error();
}

StoreError SqliteSurvey::countsByNumber(TableId table, int key, QVector<ValueCount>& out) {
    out.clear();
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size() || t.field(t.key(key).components.first()).isText()) {
        return StoreError::of(code::kInvalidKey);
    }
    qint64 total = 0;
    if (StoreError e = count(table, total)) {
        return e;
    }
    const QString column = sql::quoted(sql::keyColumns(t, key).first());
    const QString blank = sql::blankCondition(t, key);
    // The key holds the values in order: the grouping walks it without a sort and reads no record.
    StoreError error;
    Statement* statement = m_connection->cached(
        QStringLiteral("SELECT %1, COUNT(*) FROM %2 INDEXED BY %3%4 GROUP BY %1 ORDER BY %1")
            .arg(column, sql::quoted(t.label), sql::quoted(sql::indexName(t, key)),
                 blank.isEmpty() ? QString() : QStringLiteral(" WHERE ") + blank),
        error);
    if (!statement) {
        return error;
    }
    StatementScope scope(*statement);
    QVector<ValueCount> counted;
    if (StoreError e = numberRows(*statement, counted)) {
        return e;
    }
    if (t.field(t.key(key).components.first()).mayHoldBareYear) {
        // The key holds a release date's order value: each back to the date or bare year it
        // stands for, in the order of those values.
        for (ValueCount& v : counted) {
            v.value = releaseFromOrderValue(v.value);
        }
        std::stable_sort(counted.begin(), counted.end(),
                         [](const ValueCount& a, const ValueCount& b) { return a.value < b.value; });
    }
    qint64 sum = 0;
    for (const ValueCount& v : counted) {
        sum += v.count;
    }
    qint64 blanks = blank.isEmpty() ? 0 : uncounted(total, sum);
    for (const ValueCount& v : counted) {
        if (blanks > 0 && v.value >= 0) {
            if (v.value == 0) {
                out.push_back({0, v.count + blanks});
                blanks = 0;
                continue;
            }
            out.push_back({0, blanks});
            blanks = 0;
        }
        out.push_back(v);
    }
    if (blanks > 0) {
        out.push_back({0, blanks});
    }
    return {};
}

StoreError SqliteSurvey::countsByText(TableId table, int key, int limit, QVector<TextCount>& out) {
    out.clear();
    const TableDef& t = tableDef(table);
    if (key < 0 || key >= t.keys.size() || !t.field(t.key(key).components.first()).isText()) {
        return StoreError::of(code::kInvalidKey);
    }
    qint64 total = 0;
    if (StoreError e = count(table, total)) {
        return e;
    }
    const QString keyColumn = sql::quoted(sql::keyColumns(t, key).first());
    const QString textColumn = sql::quoted(sql::fieldColumn(t, t.key(key).components.first()));
    const QString from = QStringLiteral(" FROM %1 INDEXED BY %2").arg(sql::quoted(t.label), sql::quoted(sql::indexName(t, key)));
    const QString blank = sql::blankCondition(t, key);
    // The groups come from the key alone; the records are sorted by their count afterwards, one
    // row per distinct text.
    StoreError error;
    Statement* groups = m_connection->cached(
        QStringLiteral("SELECT %1, COUNT(*) AS n%2%3 GROUP BY %1 ORDER BY n DESC, %1 LIMIT ?")
            .arg(keyColumn, from, blank.isEmpty() ? QString() : QStringLiteral(" WHERE ") + blank),
        error);
    if (!groups) {
        return error;
    }
    // One record's spelling of a folded text, found through the key.
    Statement* spelling = m_connection->cached(
        QStringLiteral("SELECT %1%2 WHERE %3 = ?%4 LIMIT 1")
            .arg(textColumn, from, keyColumn, blank.isEmpty() ? QString() : QStringLiteral(" AND ") + blank),
        error);
    if (!spelling) {
        return error;
    }
    QVector<QPair<QString, qint64>> folded;
    {
        StatementScope scope(*groups);
        groups->bindInt(1, limit > 0 ? limit : -1);
        while (true) {
            const Statement::Step step = groups->step();
            if (step == Statement::Step::Done) {
                break;
            }
            if (step != Statement::Step::Row) {
                return groups->error();
            }
            folded.push_back({groups->text(0), groups->integer(1)});
        }
    }
    qint64 sum = 0;
    for (const auto& [foldedText, n] : folded) {
        StatementScope scope(*spelling);
        spelling->bindText(1, foldedText);
        const Statement::Step step = spelling->step();
        if (step != Statement::Step::Row && step != Statement::Step::Done) {
            return spelling->error();
        }
        out.push_back({step == Statement::Step::Row ? spelling->text(0) : foldedText, n});
        sum += n;
    }
    if (!blank.isEmpty() && (limit <= 0 || out.size() < limit)) {
        // Blank records are in no group of a key that leaves them out: the rest of the table.
        if (const qint64 blanks = uncounted(total, sum); blanks > 0) {
            out.push_back({QString(), blanks});
        }
    }
    return {};
}

StoreError SqliteSurvey::namesByNumber(TableId table, int numberField, int textField, QHash<qint64, QString>& out) {
    out.clear();
    const TableDef& t = tableDef(table);
    if (numberField < 0 || numberField >= t.fieldCount() || textField < 0 || textField >= t.fieldCount()) {
        return StoreError::of(code::kInvalidKey);
    }
    StoreError error;
    Statement* statement = m_connection->cached(QStringLiteral("SELECT %1, %2 FROM %3")
                                                    .arg(sql::quoted(sql::fieldColumn(t, numberField)),
                                                         sql::quoted(sql::fieldColumn(t, textField)),
                                                         sql::quoted(t.label)),
                                                error);
    if (!statement) {
        return error;
    }
    StatementScope scope(*statement);
    while (true) {
        const Statement::Step step = statement->step();
        if (step == Statement::Step::Done) {
            return {};
        }
        if (step != Statement::Step::Row) {
            return statement->error();
        }
        out.insert(statement->integer(0), statement->text(1));
    }
}

} // namespace tunarium
