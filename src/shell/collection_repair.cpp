// Salvaging the readable records of a damaged collection into a fresh file.
#include "shell/collection_repair.h"

#include "data/repair_swap.h"

#include <algorithm>
#include <optional>

namespace tunarium {

namespace {

constexpr qint64 kCommitEvery = 20000;

// Builds the fresh collection in `freshDir` from every readable record of the damaged file.
// False with `failure` when the fresh file could not be made or written.
bool buildFresh(const QString& damagedFile, const QString& freshDir, RepairReport& report) {
    const std::unique_ptr<Store> made = makeStore(freshDir);
    Store& fresh = *made;
    if (StoreError e = fresh.open(freshDir)) {
        report.failure = e.describe();
        return false;
    }
    for (const TableDef& t : allTables()) {
        if (StoreError e = fresh.createTable(t.id)) {
            report.failure = e.describe();
            return false;
        }
        TableSalvage s;
        s.table = t.id;
        report.tables << s;
    }
    std::optional<Transaction> tx;
    qint64 written = 0;
    StoreError writeError;
    const QVector<SalvageCount> counts = StoreMaintenance::salvageFile(damagedFile, [&](Row row) {
        if (writeError) {
            return;
        }
        if (!tx) {
            tx.emplace(fresh);
            if (!tx->ok()) {
                writeError = tx->beginError();
                return;
            }
        }
        TableSalvage& s = report.tables[static_cast<int>(row.tableId())];
        if (fresh.insert(row).ok()) {
            ++s.saved;
        } else {
            ++s.refused;
        }
        if (++written % kCommitEvery == 0) {
            writeError = tx->commit();
            tx.reset();
        }
    });
    if (tx && !writeError) {
        writeError = tx->commit();
    }
    tx.reset();
    if (writeError) {
        report.failure = QStringLiteral("the new file could not be written: ") + writeError.describe();
        return false;
    }
    for (int i = 0; i < counts.size(); ++i) {
        report.tables[i].expected = counts[i].expected;
        report.tables[i].readable = counts[i].readable;
        report.tables[i].unreadable = counts[i].unreadable;
    }
    fresh.close();
    return true;
}

} // namespace

qint64 TableSalvage::lost() const {
    const qint64 known = expected >= 0 ? expected : readable;
    return std::max(known - saved, refused);
}

qint64 RepairReport::totalSaved() const {
    qint64 n = 0;
    for (const TableSalvage& t : tables) {
        n += t.saved;
    }
    return n;
}

qint64 RepairReport::totalLost() const {
    qint64 n = 0;
    for (const TableSalvage& t : tables) {
        n += t.lost();
    }
    return n;
}

bool RepairReport::nothingLost() const {
    return repaired && std::all_of(tables.begin(), tables.end(),
                                   [](const TableSalvage& t) { return t.lossKnown() && t.lost() == 0; });
}

QString RepairReport::summary() const {
    if (!repaired) {
        return QStringLiteral("The collection could not be repaired: ") + failure;
    }
    QStringList lines{
        QStringLiteral("The collection was damaged. A new collection was built from every record "
                       "that could be read; the damaged file was kept as ") +
        keptAs + u'.'};
    lines << QString();
    bool allKnown = true;
    for (const TableSalvage& t : tables) {
        const QString label = tableDef(t.table).label;
        allKnown = allKnown && t.lossKnown();
        if (t.unreadable) {
            lines << label + QStringLiteral(": nothing could be read, nor how many records it held.");
        } else if (!t.lossKnown()) {
            lines << label + QStringLiteral(": %1 records saved; the count kept for it could not be read, "
                                            "so how many were lost is not known.")
                                 .arg(t.saved);
        } else if (t.lost() > 0) {
            lines << label + QStringLiteral(": %1 of %2 records saved, %3 lost.")
                                 .arg(t.saved)
                                 .arg(t.expected)
                                 .arg(t.lost());
        } else if (t.saved > 0) {
            lines << label + QStringLiteral(": all %1 records saved.").arg(t.saved);
        }
    }
    lines << QString();
    if (totalSaved() == 0 && (!allKnown || totalLost() > 0)) {
        lines << QStringLiteral("Nothing could be saved: the new collection is empty.");
    } else if (allKnown) {
        lines << QStringLiteral("In all %1 records were saved and %2 lost.").arg(totalSaved()).arg(totalLost());
    } else {
        lines << QStringLiteral("In all %1 records were saved; at least %2 were lost.")
                     .arg(totalSaved())
                     .arg(totalLost());
    }
    return lines.join(u'\n');
}

RepairReport rebuildCollection(Store& store, const QString& dir) {
    RepairReport report;
    // The file is read page by page with no connection on it, its log copied in by the close.
    store.close();
    RepairSwap swap;
    if (!swap.begin(dir, report.failure)) {
        store.open(dir);
        return report;
    }
    if (!buildFresh(collectionFilePath(dir), swap.freshDir(), report)) {
        swap.abandon();
        report.tables.clear();
        store.open(dir);
        return report;
    }
    if (!swap.commit(report.keptAs, report.failure)) {
        swap.abandon();
        store.open(dir);
        return report;
    }
    if (StoreError e = store.open(dir)) {
        report.failure = e.describe();
        return report;
    }
    report.repaired = true;
    return report;
}

} // namespace tunarium
