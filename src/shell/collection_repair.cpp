// Salvaging the readable records of a damaged collection into a fresh file.
#include "shell/collection_repair.h"

#include "shell/step_leftovers.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <optional>

namespace tunarium {

namespace {

constexpr qint64 kCommitEvery = 20000;

// Hands every readable record of `t` in the damaged collection to the fresh one.
TableSalvage salvageTable(Store& damaged, const TableDef& t, Store& fresh) {
    TableSalvage s;
    s.table = t.id;
    std::optional<Transaction> tx;
    const SalvageCount count = damaged.maintenance().salvage(t.id, [&](Row row) {
        if (!tx) {
            tx.emplace(fresh);
        }
        if (fresh.insert(row).ok()) {
            ++s.saved;
        } else {
            ++s.refused;
        }
        if ((s.saved + s.refused) % kCommitEvery == 0) {
            tx->commit();
            tx.reset();
        }
    });
    if (tx) {
        tx->commit();
    }
    s.expected = count.expected;
    s.unreadable = count.unreadable;
    return s;
}

QString freshDirectory(const QString& dir) {
    return QDir(dir).filePath(QString::fromLatin1(kRepairFolderPrefix) +
                              QString::number(QCoreApplication::applicationPid()));
}

// Moves the damaged file, and its log when one is left, to a dated name beside it.
bool keepDamaged(const QString& dir, QString& keptAs) {
    QDir d(dir);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    keptAs = QStringLiteral("tunarium-damaged-") + stamp + QStringLiteral(".db");
    const QString current = collectionFilePath(dir);
    if (QFile::exists(current) && !QFile::rename(current, d.filePath(keptAs))) {
        return false;
    }
    if (QFile::exists(current + QStringLiteral("-wal"))) {
        QFile::rename(current + QStringLiteral("-wal"), d.filePath(keptAs + QStringLiteral("-wal")));
    }
    QFile::remove(current + QStringLiteral("-shm"));
    return true;
}

} // namespace

qint64 TableSalvage::lost() const {
    return expected >= 0 ? std::max(expected - saved, refused) : refused;
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

QString RepairReport::summary() const {
    if (!repaired) {
        return QStringLiteral("The collection could not be repaired: ") + failure;
    }
    QStringList lines{
        QStringLiteral("The collection was damaged. A new collection was built from every record "
                       "that could be read; the damaged file was kept as ") +
        keptAs + u'.'};
    lines << QString();
    for (const TableSalvage& t : tables) {
        const QString label = tableDef(t.table).label;
        if (t.unreadable && t.expected != 0) {
            lines << label + QStringLiteral(": could not be read; its records are lost.");
        } else if (t.lost() > 0) {
            lines << label + QStringLiteral(": %1 records saved, %2 lost.").arg(t.saved).arg(t.lost());
        } else if (t.saved > 0) {
            lines << label + QStringLiteral(": %1 records saved.").arg(t.saved);
        }
    }
    lines << QString();
    lines << QStringLiteral("In all %1 records were saved and %2 lost.").arg(totalSaved()).arg(totalLost());
    return lines.join(u'\n');
}

RepairReport rebuildCollection(Store& store, const QString& dir) {
    RepairReport report;
    if (!store.isOpen()) {
        // A file the store cannot open at all gives nothing to read: the fresh file starts empty.
        store.open(dir);
    }
    const QString freshDir = freshDirectory(dir);
    // Folders of repairs that were killed halfway: nothing will finish them.
    sweepRepairFolders(dir);
    QDir(freshDir).removeRecursively();
    {
        Store fresh;
        if (StoreError e = fresh.open(freshDir)) {
            report.failure = e.describe();
            return report;
        }
        for (const TableDef& t : allTables()) {
            if (StoreError e = fresh.createTable(t.id)) {
                report.failure = e.describe();
                fresh.close();
                QDir(freshDir).removeRecursively();
                return report;
            }
        }
        for (const TableDef& t : allTables()) {
            report.tables << salvageTable(store, t, fresh);
        }
        fresh.close();
    }
    store.close();
    if (!keepDamaged(dir, report.keptAs)) {
        report.failure = QStringLiteral("the damaged file could not be moved aside");
        QDir(freshDir).removeRecursively();
        store.open(dir);
        return report;
    }
    if (!QFile::rename(collectionFilePath(freshDir), collectionFilePath(dir))) {
        report.failure = QStringLiteral("the new file could not be put in place");
        QFile::rename(QDir(dir).filePath(report.keptAs), collectionFilePath(dir));
        QDir(freshDir).removeRecursively();
        store.open(dir);
        return report;
    }
    QDir(freshDir).removeRecursively();
    if (StoreError e = store.open(dir)) {
        report.failure = e.describe();
        return report;
    }
    report.repaired = true;
    return report;
}

} // namespace tunarium
