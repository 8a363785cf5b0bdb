// Range rewrites as single statements.
#include "data/store_bulk.h"

#include "data/date_time.h"
#include "data/schema_sql.h"
#include "data/store_connection.h"
#include "data/store_sqlite.h"

namespace tunarium {

namespace {

// Day number 0 as SQLite reads a date: day numbers count the days since it.
constexpr char kDayZero[] = "1800-12-28";

} // namespace

SqliteBulk::SqliteBulk(Connection& connection) : m_connection(connection) {}

StoreError SqliteBulk::daysToYears(TableId table, int field, qint64 afterRec, qint64 throughRec,
                                   qint64& changed) {
    changed = 0;
    const TableDef& t = tableDef(table);
    if (field < 0 || field >= t.fieldCount() || t.field(field).isText()) {
        return StoreError::of(code::kInvalidKey);
    }
    const QString column = sql::quoted(sql::fieldColumn(t, field));
    const QString version = sql::quoted(QString::fromLatin1(sql::kVersionColumn));
    // ?1 day zero, ?2 the bare-year limit, ?3 the last day number, ?4 and ?5 the range.
    const QString year = QStringLiteral("CAST(strftime('%Y', julianday(?1) + %1) AS INTEGER)").arg(column);
    StoreError error;
    // The record range decides where the statement reads: a key on the date would otherwise look
    // promising to the planner, and every statement would walk all the dates left to convert.
    Statement* rewrite = m_connection.cached(
        QStringLiteral(
            "UPDATE %1 NOT INDEXED SET %2 = %3, %4 = %4 + 1 WHERE rowid > ?4 AND rowid <= ?5 AND %2 > ?2 AND "
            "%2 <= ?3 AND %3 < ?2")
            .arg(sql::quoted(t.label), column, year, version),
        error);
    if (!rewrite) {
        return error;
    }
    StatementScope scope(*rewrite);
    rewrite->bindText(1, QString::fromLatin1(kDayZero));
    rewrite->bindInt(2, kBareYearLimit);
    rewrite->bindInt(3, kLastDayNumber);
    rewrite->bindInt(4, afterRec);
    rewrite->bindInt(5, throughRec);
    if (rewrite->step() != Statement::Step::Done) {
        return rewrite->error();
    }
    changed = m_connection.changes();
    return {};
}

} // namespace tunarium
