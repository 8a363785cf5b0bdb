// The rule of the house for opening tables: outside src/data a table is opened only through a
// lease (data/table_lease.h), never by a manual counted open and close, so that every holder gives
// back exactly what it took. The store's own counted open is left to the tests, the benchmarks and
// the import's bulk load on its own connection.
#pragma once

#include <QString>
#include <QStringList>

namespace tunarium::test {

// The manual open or close of a table a line holds (`db.openTable(`, `m_db.closeTables(`,
// `openSongsAlias`, `closeEventLog`, on any object but the bulk load's store, `bulk` or `m_bulk`);
// empty when none.
QString tableOpenIn(const QString& line, bool& inComment);

// Every line of every file under `sourceRoot` outside src/data that opens or closes a table by
// hand, as "src/PATH:LINE: text: what".
QStringList tableOpenViolations(const QString& sourceRoot);

} // namespace tunarium::test
