// SQL on a collection file through the store's own connection type.
#include "support/sql_file.h"

#include "data/store_connection.h"

namespace tunarium::test {

QString runSql(const QString& path, const QString& sql) {
    Connection connection;
    if (StoreError e = connection.open(path)) {
        return e.describe();
    }
    const StoreError e = connection.exec(sql);
    return e ? e.describe() : QString();
}

QList<QStringList> sqlRows(const QString& path, const QString& sql, const QStringList& values) {
    QList<QStringList> rows;
    Connection connection;
    if (connection.open(path)) {
        return rows;
    }
    StoreError error;
    Statement query = connection.prepare(sql, error);
    if (!query.isValid()) {
        return rows;
    }
    for (int i = 0; i < values.size(); ++i) {
        query.bindText(i + 1, values[i]);
    }
    while (query.step() == Statement::Step::Row) {
        QStringList row;
        for (int column = 0; column < query.columnCount(); ++column) {
            row << query.text(column);
        }
        rows << row;
    }
    return rows;
}

qint64 sqlNumber(const QString& path, const QString& sql) {
    const QList<QStringList> rows = sqlRows(path, sql);
    bool ok = false;
    const qint64 n = rows.isEmpty() || rows.first().isEmpty() ? -1 : rows.first().first().toLongLong(&ok);
    return ok ? n : -1;
}

} // namespace tunarium::test
