// The rules of the house for the store: SQL (statements and SQLite's interface) only in the
// store's files in src/data, and no record written through the store itself outside src/data, so
// that every change goes through the update and delete routines or a named write of the data room.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tunarium::test {

// Whether the file at `path` (relative to the source root, "data/store_reads.cpp") is one of the
// store's files, where SQL may be: in src/data, a name that starts with one of the prefixes of the
// allow-list (store, schema_sql) or is named in it.
bool isStoreFile(const QString& path);

// One line of C++ split into its code (comments and the insides of string literals left out) and
// the text of its string literals. `inComment` carries a block comment from line to line.
struct SourceLine {
    QString code;
    QStringList literals;
};
SourceLine splitLine(const QString& line, bool& inComment);

// What SQL a line holds: a call or type of SQLite's interface in its code, or the shape of a
// statement in a string literal ("SELECT ... FROM", "UPDATE " at a literal's start, "PRAGMA", a
// sub-select); empty when none. Keywords count in capitals only, so that a caption ("&Update",
// "Delete from Playlist") is no SQL.
QString sqlIn(const QString& line, bool& inComment);
// The direct record write on a store a line holds (`store.update(`, `db.store().remove(`, and
// rewriteField, replaceInKey, exec); empty when none. A store is known by its name: `store`,
// `m_store`, `store()`.
QString storeWriteIn(const QString& line, bool& inComment);

// Every .cpp and .h file under `sourceRoot`, in the order of their paths.
QStringList sortedFiles(const QString& sourceRoot);

// Every line of the files under `sourceRoot` that `scanned` picks (by their path relative to it)
// in which `judge` finds something, as "src/PATH:LINE: text: what".
QStringList violations(const QString& sourceRoot, const std::function<bool(const QString&)>& scanned,
                       const std::function<QString(const QString&, bool&)>& judge);

// The store's implementation a line names: one of its classes (SqliteStore and its parts, the
// connection, the statement) in code, or one of its headers included; empty when none. Above the
// data room code names the store's interface alone (data/store.h), so that another implementation
// can stand beside SQLite's.
QString storeImplementationIn(const QString& line, bool& inComment);

// Every line of every file under `sourceRoot` outside the store's files that holds SQL, as
// "src/PATH:LINE: text: what".
QStringList sqlViolations(const QString& sourceRoot);
// Every line of every file under `sourceRoot` outside src/data that writes a record through the
// store, as "src/PATH:LINE: text: what".
QStringList storeWriteViolations(const QString& sourceRoot);
// Every line of every file under `sourceRoot` outside src/data that names the store's
// implementation, as "src/PATH:LINE: text: what".
QStringList storeImplementationViolations(const QString& sourceRoot);

} // namespace tunarium::test
