// Repair of a damaged collection: a fresh collection file is built from every record that can
// still be read, the damaged file is kept beside it under a dated name, and the fresh file takes
// its place. Records whose pages are damaged are lost; everything else is saved, and the loss is
// told per table against the count the file kept for it.
#pragma once

#include "data/store.h"

#include <QVector>

namespace tunarium {

struct TableSalvage {
    TableId table = TableId::Tunarium;
    qint64 saved = 0;
    // Records the count kept for the table said it held; -1 when that count could not be read.
    qint64 expected = -1;
    // Records found on the table's pages that parse: what could be saved.
    qint64 readable = 0;
    // Records read but refused by the fresh file (a value out of range, a duplicate key).
    qint64 refused = 0;
    // Nothing of the table was found, and its count is not known either.
    bool unreadable = false;

    // Records known to be lost: against the count kept for the table when it is known, else
    // the readable ones that were not saved.
    qint64 lost() const;
    // Whether the count kept for the table was read, so that lost() is the whole loss.
    bool lossKnown() const { return expected >= 0; }
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
    // Repaired with every record saved, as far as the counts kept tell.
    bool nothingLost() const;
    // What the user is told: what was saved and lost per table, where the damaged file is.
    QString summary() const;
};

// Rebuilds the collection in `dir` from every record on the damaged file's pages that parse, and
// puts the fresh file in its place crash-safely (data/repair_swap.h). `store` is the program's
// connection: it may be open on the damaged file or not open at all; it is closed while the file
// is read. On return it is open on the fresh file, or on the damaged one again when the repair
// failed. No other copy of the program may have the collection open meanwhile.
RepairReport rebuildCollection(Store& store, const QString& dir);

} // namespace tunarium
