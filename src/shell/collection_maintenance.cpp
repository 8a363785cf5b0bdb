// Integrity checks, compacting and releasing the collection file.
#include "shell/collection_maintenance.h"


#include <sqlite3.h>

namespace tunarium {

namespace {

constexpr int kProblemLines = 10;

} // namespace


bool collectionIsSound(Store& store, QStringList* problems) {
    if (!store.isOpen()) {
        if (problems) {
            *problems << QStringLiteral("The collection is not open.");
        }
        return false;
    }
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql =
        QByteArrayLiteral("PRAGMA integrity_check(") + QByteArray::number(kProblemLines) + ')';
    if (sqlite3_prepare_v2(store.handle(), sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        if (problems) {
            *problems << QString::fromUtf8(sqlite3_errmsg(store.handle()));
        }
        sqlite3_finalize(stmt);
        return false;
    }
    bool sound = true;
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        const QString line = text ? QString::fromUtf8(text) : QString();
        if (line != QLatin1String("ok")) {
            sound = false;
            if (problems) {
                *problems << line;
            }
        }
    }
    if (rc != SQLITE_DONE) {
        sound = false;
        if (problems) {
            *problems << QString::fromUtf8(sqlite3_errmsg(store.handle()));
        }
    }
    sqlite3_finalize(stmt);
    return sound;
}

bool checkCollection(Database& db, QStringList& problems) {
    if (!db.store().isOpen()) {
        if (StoreError e = db.store().open(db.collectionDir())) {
            problems << QStringLiteral("The collection cannot be opened: ") + e.describe();
            return false;
        }
    }
    if (!collectionIsSound(db.store(), &problems)) {
        return false;
    }
    bool sound = true;
    for (const TableDef& t : allTables()) {
        const StoreError e = db.store().checkKeys(t.id);
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
    if (store.inTransaction()) {
        return StoreError::driver(SQLITE_BUSY, QStringLiteral("A transaction is open"));
    }
    if (StoreError e = store.exec(QStringLiteral("VACUUM"))) {
        return e;
    }
    return releaseCollection(store);
}

StoreError releaseCollection(Store& store) {
    if (!store.isOpen()) {
        return StoreError::of(code::kFileNotFound);
    }
    int logFrames = 0;
    int copied = 0;
    const int rc =
        sqlite3_wal_checkpoint_v2(store.handle(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, &logFrames, &copied);
    if (rc != SQLITE_OK) {
        return StoreError::driver(rc, QString::fromUtf8(sqlite3_errmsg(store.handle())));
    }
    return {};
}

} // namespace tunarium
