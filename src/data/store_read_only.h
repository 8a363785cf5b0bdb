// A SQLite file opened only to be read from, never written (store files only): a file that is no
// collection is not touched, not even by the journal mode. A copy without a log of pages beside
// it is opened immutable (no lock, no -wal or -shm made beside it); one with such a log is some
// copy's live collection, read with its log.
#pragma once

#include <QString>

#include <optional>

#include <sqlite3.h>

namespace tunarium {

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // The handle; nullptr when the file could not be opened.
    sqlite3* db() const { return m_code == SQLITE_OK ? m_db : nullptr; }
    // SQLite's result code of the open, or of the last first() that failed.
    int code() const { return m_code != SQLITE_OK ? m_code : m_lastCode; }

    // The first column of the first row of `sql`; nothing when it fails or gives no row.
    std::optional<QString> first(const char* sql);

private:
    sqlite3* m_db = nullptr;
    int m_code = SQLITE_OK;
    int m_lastCode = SQLITE_OK;
};

} // namespace tunarium
