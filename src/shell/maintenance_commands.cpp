// Command-line maintenance: create album entries, check, rebuild keys, compact.
#include "shell/maintenance_commands.h"

#include "albums/album_entries.h"
#include "data/table_lease.h"
#include "shell/collection_maintenance.h"

#include <QElapsedTimer>

namespace tunarium {

namespace {

int failed(QTextStream& out, const QString& message) {
    out << message << "\n";
    out.flush();
    return 1;
}

// Opens the collection (through any table's counted open) for commands that work on the file.
bool openCollection(Database& db) {
    return TableLease(db, {TableId::Tunarium}).held();
}

} // namespace

int runCreateAlbums(Database& db, QTextStream& out, QTextStream& progress) {
    AlbumEntriesProcess process(db);
    const bool completed = runToEnd(process, [&progress](const Process& p) {
        progress << "\r" << p.percentText() << "   ";
        progress.flush();
        return true;
    });
    progress << "\n";
    progress.flush();
    if (db.halted()) {
        return 1;
    }
    out << process.albumsCreated() << " albums created, " << process.songsLinked() << " songs linked\n";
    out.flush();
    // A write that failed was told as it happened; what was done before it stays.
    return completed && !process.stoppedByFailure() ? 0 : 1;
}

int runCheck(Database& db, QTextStream& out, FileCheck depth, QTextStream* progress) {
    QElapsedTimer clock;
    QString current;
    CheckProgress tell;
    if (progress) {
        tell = [&](const QString& what, int step, int steps) {
            if (what != current) {
                current = what;
                clock.start();
                if (step > 1) {
                    *progress << "\n";
                }
            }
            *progress << "\rChecking " << what << " (" << step << " of " << steps << ")... "
                      << clock.elapsed() / 1000 << " s   ";
            progress->flush();
        };
    }
    QStringList problems;
    const bool sound = checkCollection(db, problems, depth, tell);
    if (progress && !current.isEmpty()) {
        *progress << "\n";
        progress->flush();
    }
    if (sound) {
        out << "ok\n";
        out.flush();
        return 0;
    }
    for (const QString& p : problems) {
        out << p << "\n";
    }
    out.flush();
    return 1;
}

int runRebuildKeys(Database& db, QTextStream& out) {
    if (otherCopiesOpen(db.collectionDir()) > 0) {
        return failed(out, QStringLiteral("Another copy of the program has the collection open."));
    }
    if (StoreError e = rebuildAllKeys(db)) {
        return failed(out, QStringLiteral("Rebuilding the keys failed: ") + e.describe());
    }
    out << "keys rebuilt\n";
    out.flush();
    return 0;
}

int runCompact(Database& db, QTextStream& out) {
    if (!openCollection(db)) {
        return 1;
    }
    if (otherCopiesOpen(db.collectionDir()) > 0) {
        return failed(out, QStringLiteral("Another copy of the program has the collection open."));
    }
    if (StoreError e = compactCollection(db.store())) {
        return failed(out, QStringLiteral("Compacting failed: ") + e.describe());
    }
    out << "compacted\n";
    out.flush();
    return 0;
}

int runRepair(Database& db, QTextStream& out) {
    QList<TableId> tables;
    for (const TableDef& t : allTables()) {
        tables << t.id;
    }
    const FixResult result = fixCollection(db.store(), db.collectionDir(), tables);
    switch (result.outcome) {
    case FixResult::Outcome::Sound:
        out << "No damage was found.\n";
        break;
    case FixResult::Outcome::KeysRebuilt:
        for (TableId t : result.rebuilt) {
            out << "The keys of " << tableDef(t).label << " were rebuilt.\n";
        }
        break;
    case FixResult::Outcome::KeysFailed:
        return failed(out, QStringLiteral("Rebuilding the keys of %1 failed: %2")
                               .arg(tableDef(result.failedTable).label, result.error.describe()));
    case FixResult::Outcome::NeedsExclusive:
        return failed(
            out, QStringLiteral("The collection is damaged, and another copy of the program has it open: "
                                "close it and repair again."));
    case FixResult::Outcome::NotOurs:
        return failed(out, result.error.describe() + QStringLiteral("; it is left as it is."));
    case FixResult::Outcome::Salvaged:
        out << result.repair->summary() << "\n";
        out.flush();
        // A repair that lost records, or cannot tell how many, is no success.
        return result.repair->nothingLost() ? 0 : 1;
    }
    out.flush();
    return 0;
}

} // namespace tunarium
