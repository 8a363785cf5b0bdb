// Integrity checks, compacting and releasing the collection file.
#include "shell/collection_maintenance.h"

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

bool checkCollection(Database& db, QStringList& problems, const CheckProgress& progress) {
    Store& store = db.store();
    if (!store.isOpen()) {
        if (StoreError e = store.open(db.collectionDir())) {
            problems << QStringLiteral("The collection cannot be opened: ") + e.describe();
            return false;
        }
    }
    for (const TableDef& t : allTables()) {
        if (store.tableState(t.id) == TableState::KeysOutdated && db.openTable(t.id)) {
            db.closeTable(t.id);
        }
    }
    const int steps = 1 + static_cast<int>(allTables().size());
    CheckTicker ticker(store, progress);
    // The pages of the whole file (a quick check: the tables' keys are compared with their records
    // table by table below, each once).
    ticker.begin(QStringLiteral("the collection file"), 1, steps);
    if (!store.maintenance().checkFile(FileCheck::Quick, &problems)) {
        return false;
    }
    bool sound = true;
    int step = 1;
    for (const TableDef& t : allTables()) {
        ticker.begin(t.label, ++step, steps);
        const StoreError e = store.checkKeys(t.id);
        if (e.code == code::kRebuildKeys) {
            problems << t.label + QStringLiteral(": the keys need rebuilding");
            sound = false;
        } else if (e && e.code != code::kFileNotFound) {
            problems << t.label + QStringLiteral(": ") + e.describe();
            sound = false;
        }
    }
    return sound;
}

FixResult fixCollection(Store& store, const QString& dir, const QList<TableId>& tables) {
    FixResult result;
    const bool opened = store.isOpen() || store.open(dir).ok();
    if (opened && collectionIsSound(store)) {
        for (TableId table : tables) {
            if (store.checkKeys(table).code != code::kRebuildKeys) {
                continue;
            }
            if (StoreError e = store.rebuildKeys(table)) {
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
        if (!db.openTable(t.id)) {
            return StoreError::of(code::kInvalidDataFile);
        }
        const StoreError e = db.store().rebuildKeys(t.id);
        db.closeTable(t.id);
        if (e) {
            return e;
        }
    }
    return {};
}

StoreError compactCollection(Store& store) {
    return store.maintenance().compact();
}

StoreError releaseCollection(Store& store) {
    if (!store.isOpen()) {
        return StoreError::of(code::kFileNotFound);
    }
    return store.maintenance().releaseLog();
}

} // namespace tunarium
