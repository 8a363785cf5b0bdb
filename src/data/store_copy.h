// A collection copied record for record between a collection file and a server (store_copy.cpp):
// the server's copy-from and copy-to, and a server collection's backup.
#pragma once

#include "data/store_error.h"

#include <QString>
#include <QVector>

namespace tunarium {

// The records a copy of a collection wrote into one table.
struct CopiedTable {
    QString label;
    qint64 records = 0;
};

// Loads the collection file `file` (any file of the program's collections this version reads, of
// an earlier version too; never written) into the empty collection on the server `location`
// (made by initServerCollection): every table with its record numbers, counted table by table, in
// one transaction.
StoreError copyFileToServer(const QString& file, const QString& location, QVector<CopiedTable>& copied);

// Writes the collection on the server `location`, read in one snapshot, as an ordinary collection
// file `file` (a new file, through OutputFile: whole or not at all), every table with its record
// numbers, counted table by table.
StoreError copyServerToFile(const QString& location, const QString& file, QVector<CopiedTable>& copied);

} // namespace tunarium
