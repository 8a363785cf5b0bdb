// The write-ahead log's checkpoints, watched through SQLite's commit hook of the log.
#include "data/store_log.h"

#include "data/store_connection.h"
#include "data/store_sqlite.h"

#include <QElapsedTimer>

#include <sqlite3.h>

namespace tunarium {

SqliteLog::SqliteLog(Connection& connection) : m_connection(connection) {}

void SqliteLog::attach() {
    m_pages = 0;
    m_uncopied = 0;
    m_commitCheckpointMs = 0;
    if (m_connection.m_db) {
        // Takes the place of sqlite3_wal_autocheckpoint(), which would set a hook of its own.
        sqlite3_wal_hook(m_connection.m_db, &SqliteLog::afterCommit, this);
    }
}

int SqliteLog::afterCommit(void* self, sqlite3* db, const char* name, int pages) {
    auto* log = static_cast<SqliteLog*>(self);
    // A log shorter than before was started again from its beginning.
    log->m_uncopied += pages >= log->m_pages ? pages - log->m_pages : pages;
    log->m_pages = pages;
    log->m_commitCheckpointMs = 0;
    if (!log->checkpointsDeferred() && pages >= kAutoCheckpointPages) {
        QElapsedTimer clock;
        clock.start();
        int logPages = 0;
        int copied = 0;
        // As SQLite's automatic checkpoint: a failure (a reader in the way) is left for the next.
        if (sqlite3_wal_checkpoint_v2(db, name, SQLITE_CHECKPOINT_PASSIVE, &logPages, &copied) == SQLITE_OK) {
            log->m_uncopied = logPages == copied ? 0 : logPages - copied;
            log->m_pages = logPages == copied ? 0 : logPages;
        }
        log->m_commitCheckpointMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    return SQLITE_OK;
}

StoreError SqliteLog::checkpoint(int& copied) {
    copied = 0;
    sqlite3* db = m_connection.m_db;
    if (!db) {
        return StoreError::of(code::kNotOpen);
    }
    int logPages = 0;
    const int rc = sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, &logPages, &copied);
    if (rc != SQLITE_OK) {
        return m_connection.error(rc);
    }
    if (logPages == copied) {
        // The next commit starts the log again from its beginning.
        m_pages = 0;
        m_uncopied = 0;
    } else {
        m_uncopied = logPages - copied;
    }
    return {};
}

} // namespace tunarium
