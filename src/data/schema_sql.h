// SQL text generated from the data dictionary: table and index definitions, the key columns and
// the blank-record condition of every key, and the keyset queries that walk a key. Only names
// from the dictionary ever go into this text; every value is a bound parameter.
#pragma once

#include "data/dictionary.h"
#include "data/store_walk.h"

#include <QStringList>

namespace tunarium::sql {

// Internal columns of every table: the record number (equal to the rowid, but an ordinary
// column so that it can close an index and take part in a row-value seek) and the version.
inline constexpr const char* kRecColumn = "_rec";
inline constexpr const char* kVersionColumn = "_version";
inline constexpr const char* kStructureTable = "_structure";
inline constexpr const char* kCountTable = "_counts";

QString quoted(const QString& identifier);

// The column a field is stored in ("Artist").
QString fieldColumn(const TableDef& t, int field);
// Fields that have a folded key column: text components of case-insensitive keys.
bool hasFoldedColumn(const TableDef& t, int field);
// The folded key column of a text field ("ArtistKey").
QString foldedColumn(const TableDef& t, int field);
// Fields that have an order column: fields that may hold a bare year, in a key. The order column
// is a virtual generated column ("ReleaseDateOrder", nothing stored) holding releaseOrderValue of
// the field; the key's index is built on it instead of the field.
bool hasOrderColumn(const TableDef& t, int field);
QString orderColumn(const TableDef& t, int field);
// The SQL expression of releaseOrderValue over `column` (a quoted column name).
QString orderValueSql(const QString& column);
// "ReleaseDateOrder" INTEGER GENERATED ALWAYS AS (...) VIRTUAL, one for each order column.
QStringList orderColumnDefinitions(const TableDef& t);
// A number as a key over `field` compares it: its order value for a field with an order column.
qint64 keyNumber(const TableDef& t, int field, qint64 value);
// The index name of a key: its qualified name ("TUN:SongsByArtist").
QString indexName(const TableDef& t, int key);

// The columns a key's index is built on, in order: the (folded or order) components and, for a key
// that admits duplicates, the record number as tie-breaker.
QStringList keyColumns(const TableDef& t, int key);
bool keyHasTieBreaker(const TableDef& t, int key);
// The partial-index condition of a key that leaves blank records out ("" otherwise). The same
// text goes into the index and into every query that walks it, so that the planner uses it.
QString blankCondition(const TableDef& t, int key);

// The table as this version makes it; Without: as earlier versions made it, before order columns.
enum class OrderColumns { With, Without };
QString createTableSql(const TableDef& t, OrderColumns orderColumns = OrderColumns::With);
QString createIndexSql(const TableDef& t, int key);
QStringList createCountTriggersSql(const TableDef& t);
// The stored columns, in order: the record number, the version, the fields, the folded columns.
QStringList storedColumns(const TableDef& t);
// "SELECT <_rec, _version, fields> FROM <table>": the start of every record read.
QString selectRecordSql(const TableDef& t);

// The fixed statements of one table, made once.
struct TableStatements {
    QString insert;     // binds: rowid, _rec, _version, fields, folded columns
    QString update;     // binds: fields, folded columns, rowid, version
    QString remove;     // binds: rowid
    QString fetch;      // binds: rowid
    QString nextRec;    // binds: label; returns the new record number
    QVector<int> foldedFields; // fields with a folded key column, in column order
};
const TableStatements& statements(const TableDef& t);

// A keyset query over one key: rows in key order (or reverse) from a position, LIMIT bound last.
// `prefixLength` components of the key are compared with the position (0: from the start or
// end); `withTieBreaker` adds the record number to the comparison (a full position in a key
// that admits duplicates). Binds: the compared values in order, then the extra condition's
// binds, then the limit.
QString walkSql(const TableDef& t, int key, int prefixLength, bool withTieBreaker, Direction direction,
                bool inclusive, const QString& extraCondition = {});

} // namespace tunarium::sql
