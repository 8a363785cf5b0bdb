// Integrity checks, compacting and releasing the collection file.
#include "shell/collection_maintenance.h"

#include "data/table_lease.h"
#include "shell/collection_backups.h"
#include "shell/step_leftovers.h"

#include <QElapsedTimer>

namespace tunarium {

namespace {

// Calls the progress about once a second while SQLite works on one step of a check.
class CheckTicker {
public:
    CheckTicker(Store& store, const CheckProgress& progress) : m_store(store), m_progress(progress) {
        if (m_progress) {
            m_store.maintenance().setProgress([this] { tick(); });
        }
    }
    ~CheckTicker() {
        if (m_progress) {
            m_store.maintenance().setProgress(nullptr);
        }
    }
    CheckTicker(const CheckTicker&) = delete;
    CheckTicker& operator=(const CheckTicker&) = delete;

    void begin(const QString& what, int step, int steps) {
        m_what = what;
        m_step = step;
        m_steps = steps;
        m_clock.start();
        if (m_progress) {
            m_progress(m_what, m_step, m_steps);
        }
    }

private:
    void tick() {
        if (m_clock.elapsed() >= 1000) {
            m_clock.restart();
            m_progress(m_what, m_step, m_steps);
        }
    }

    Store& m_store;
    const CheckProgress& m_progress;
    QString m_what;
    int m_step = 0;
    int m_steps = 0;
    QElapsedTimer m_clock;
};

} // namespace

bool collectionIsSound(Store& store, QStringList* problems) {
    if (!store.isOpen()) {
        if (problems) {
            *problems << QStringLiteral("The collection is not open.");
        }
        return false;
    }
    return store.maintenance().checkFile(FileCheck::Full, problems);
}

bool checkCollection(Database& db, QStringList& problems, FileCheck depth, const CheckProgress& progress) {
    Store& store = db.store();
    if (!store.isOpen()) {
        if (StoreError e = store.open(db.collectionDir())) {
            problems << QStringLiteral("The collection cannot be opened: ") + e.describe();
            return false;
        }
    }
    for (const TableDef& t : allTables()) {
        if (store.tableState(t.id) == TableState::KeysOutdated) {
            // Its open remakes its keys.
            const TableLease remade(db, {t.id});
        }
    }
    const int steps = 1 + static_cast<int>(allTables().size());
    CheckTicker ticker(store, progress);
    // The pages of the whole file; each table's keys are compared with its records below, once.
    ticker.begin(QStringLiteral("the collection file"), 1, steps);
    QList<CheckFinding> findings;
    bool sound = store.maintenance().checkFileByTable(FileCheck::Quick, findings);
    const auto named = [](const QString& table, const QString& text) {
        return (table.isEmpty() ? QStringLiteral("The collection file") : table) + QStringLiteral(": ") +
               text;
    };
    for (const CheckFinding& f : findings) {
        problems << named(f.table, f.text);
    }
    int step = 1;
    for (const TableDef& t : allTables()) {
        ticker.begin(t.label, ++step, steps);
        const TableState state = store.tableState(t.id);
        QStringList found;
        if (state == TableState::Missing) {
            continue;
        }
        if (state == TableState::KeysDamaged || state == TableState::KeysOutdated) {
            found << QStringLiteral("the keys need rebuilding");
        } else if (state != TableState::Current) {
            found << StoreError::of(code::kLayoutDiffers).describe();
        } else {
            store.maintenance().checkTable(t.id, depth, found);
        }
        for (const QString& text : found) {
            problems << named(t.label, text);
        }
        sound = sound && found.isEmpty();
    }
    return sound;
}

FixResult fixCollection(Store& store, const QString& dir, const QList<TableId>& tables) {
    FixResult result;
    const StoreError opening = store.isOpen() ? StoreError{} : store.open(dir);
    // Our own finding (no SQLite code): a sound SQLite file that is not a collection of ours.
    if (opening.code == code::kLayoutDiffers || (opening.code == code::kInvalidDataFile && opening.driverCode == 0)) {
        result.outcome = FixResult::Outcome::NotOurs;
        result.error = opening;
        return result;
    }
    const bool opened = opening.ok();
    if (opened && store.isReadOnly()) {
        result.outcome = FixResult::Outcome::NotOurs;
        result.error = store.writeRefusal();
        return result;
    }
    if (opened && collectionIsSound(store)) {
        for (TableId table : tables) {
            // A search index out of step with the songs is made again with the keys.
            bool indexInStep = true;
            if (store.checkKeys(table).code != code::kRebuildKeys &&
                (store.maintenance().checkSearchIndex(table, indexInStep) || indexInStep)) {
                continue;
            }
            StoreError e;
            if (result.rebuilt.isEmpty()) {
                e = store.makeBackup(QLatin1String(kBackupBeforeFix));
            }
            if (e || (e = store.rebuildKeys(table))) {
                result.outcome = FixResult::Outcome::KeysFailed;
                result.failedTable = table;
                result.error = e;
                return result;
            }
            result.rebuilt << table;
        }
        result.outcome =
            result.rebuilt.isEmpty() ? FixResult::Outcome::Sound : FixResult::Outcome::KeysRebuilt;
        return result;
    }
    // Replacing the file under another running copy would leave that copy writing to the damaged one.
    if (otherCopiesOpen(dir) > 0) {
        result.outcome = FixResult::Outcome::NeedsExclusive;
        return result;
    }
    result.outcome = FixResult::Outcome::Salvaged;
    result.repair = rebuildCollection(store, dir);
    return result;
}

StoreError rebuildAllKeys(Database& db) {
    for (const TableDef& t : allTables()) {
        const TableLease lease(db, {t.id});
        if (!lease) {
            return StoreError::of(code::kInvalidDataFile);
        }
        if (const StoreError e = db.store().rebuildKeys(t.id)) {
            return e;
        }
    }
    return {};
}

StoreError compactCollection(Store& store) {
    if (StoreError e = store.writeRefusal()) {
        return e;
    }
    // The backup is made only for a compact that can run.
    if (store.inTransaction()) {
        return store.maintenance().compact();
    }
    CompactBackup backup(store);
    if (StoreError e = backup.make()) {
        return e;
    }
    const StoreError e = store.maintenance().compact();
    // A compact that failed changed nothing: its full-size backup would only take up the disk.
    backup.finish(!e);
    return e;
}

StoreError releaseCollection(Store& store) {
    if (!store.isOpen()) {
        return StoreError::of(code::kNotOpen);
    }
    return store.maintenance().releaseLog();
}

} // namespace tunarium
