// SQL on a collection file through a connection of its own, beside the program's: another
// program's database made, a file read as another program would, a table changed under the store.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tunarium::test {

// Runs `sql` (one or more statements, no bound values) on the file at `path`, creating it when
// missing. An empty result: done; otherwise the failure.
QString runSql(const QString& path, const QString& sql);

// The rows of one query on the file at `path`, every column as text; `values` are bound to its
// parameters in order. Empty when the query cannot run.
QList<QStringList> sqlRows(const QString& path, const QString& sql, const QStringList& values = {});

// The first column of the first row of a query as a number; -1 when there is none.
qint64 sqlNumber(const QString& path, const QString& sql);

} // namespace tunarium::test
