// Repair of a damaged collection: a fresh collection file is built from every record that can
// still be read, the damaged file is kept beside it under a dated name, and the fresh file takes
// its place. Records whose pages are damaged are lost; everything else is saved.
#pragma once

#include "data/store.h"

#include <QVector>

namespace tunarium {

struct TableSalvage {
    TableId table = TableId::Tunarium;
    qint64 saved = 0;
    // Records the damaged file said the table held; -1 when that could not be read.
    qint64 expected = -1;
    // Records read but refused by the fresh file (a value out of range, a duplicate key).
    qint64 refused = 0;
    // Nothing of the table could be read.
    bool unreadable = false;

    // Records known to be lost (at least the refused ones).
    qint64 lost() const;
};

struct RepairReport {
    // A fresh collection is in place (and open in the store).
    bool repaired = false;
    // The damaged file's new name, in the collection directory.
    QString keptAs;
    QVector<TableSalvage> tables;
    // Why the repair could not be done.
    QString failure;

    qint64 totalSaved() const;
    qint64 totalLost() const;
    // What the user is told: what was saved, what was lost, where the damaged file is.
    QString summary() const;
};

// Rebuilds the collection in `dir`. `store` is the program's connection: it may be open on the
// damaged file (it is used to read it) or not open at all (the file could not be opened). On
// return it is open on the fresh file, or on the damaged one again when the repair failed.
// No other copy of the program may have the collection open meanwhile.
RepairReport rebuildCollection(Store& store, const QString& dir);

} // namespace tunarium
