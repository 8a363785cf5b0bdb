// Reading a collection back from a copy of it.
#include "data/store_connection.h"
#include "data/store_file_kind.h"
#include "data/store_maintenance.h"
#include "data/store_read_only.h"
#include "data/store_sqlite.h"

namespace tunarium {

namespace {

StoreError refused(const QString& why) {
    StoreError e = StoreError::of(code::kInvalidDataFile);
    e.driverMessage = why;
    return e;
}

} // namespace

StoreError SqliteMaintenance::restoreFrom(const QString& path,
                                          const std::function<StoreError()>& beforeWriting) {
    if (!m_connection.isOpen()) {
        return StoreError::of(code::kNotOpen);
    }
    if (m_connection.depth() > 0) {
        return StoreError::driver(SQLITE_BUSY, QStringLiteral("A transaction is open"));
    }
    // Nothing is written, and nothing is made beside the copy, until it is found a sound
    // collection that this version reads.
    if (const CollectionFileState state = inspectCollectionFile(path, PageCheck::Quick); !state.sound()) {
        StoreError e = refused(state.describe());
        if (state.kind == CollectionFileKind::Newer) {
            e = StoreError::of(code::kLayoutDiffers);
            e.driverMessage = state.describe();
        }
        return e;
    }
    ReadOnlyFile source(path);
    if (!source.db()) {
        return refused(QStringLiteral("%1 cannot be read").arg(path));
    }
    if (beforeWriting) {
        if (StoreError e = beforeWriting()) {
            return e;
        }
    }
    // The backup API writes the copy into the collection in one transaction, through its log:
    // another reader sees the old contents or the new, and a failure leaves the old.
    sqlite3_backup* backup = sqlite3_backup_init(m_connection.m_db, "main", source.db(), "main");
    if (!backup) {
        return m_connection.error(sqlite3_errcode(m_connection.m_db));
    }
    const int rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        return m_connection.error(rc);
    }
    m_connection.clearStatements();
    return {};
}

} // namespace tunarium
