// Reading a collection back from a copy of it.
#include "data/store_connection.h"
#include "data/store_maintenance.h"

#include <QFileInfo>

#include <optional>

namespace tunarium {

namespace {

// The mark every collection file carries (PRAGMA application_id), as the schema side writes it.
constexpr int kCollectionMark = 0x544E5250;

// A file opened only to be read from, never written: a file that is no collection is not
// touched, not even by the journal mode.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString& path) {
        m_code = sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
    }
    ~ReadOnlyFile() { sqlite3_close_v2(m_db); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    sqlite3* db() const { return m_code == SQLITE_OK ? m_db : nullptr; }

    // The first column of the first row of `sql`; nothing when it fails or gives no row.
    std::optional<QString> first(const char* sql) const {
        sqlite3_stmt* stmt = nullptr;
        std::optional<QString> value;
        if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            value = text ? QString::fromUtf8(text) : QString();
        }
        sqlite3_finalize(stmt);
        return value;
    }

private:
    sqlite3* m_db = nullptr;
    int m_code = SQLITE_OK;
};

StoreError refused(const QString& why) {
    StoreError e = StoreError::of(code::kInvalidDataFile);
    e.driverMessage = why;
    return e;
}

} // namespace

StoreError StoreMaintenance::restoreFrom(const QString& path,
                                         const std::function<StoreError()>& beforeWriting) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return refused(QStringLiteral("%1 does not exist").arg(path));
    }
    if (!info.isFile()) {
        return refused(QStringLiteral("%1 is not a file").arg(path));
    }
    if (!info.isReadable()) {
        return refused(QStringLiteral("%1 cannot be read").arg(path));
    }
    if (!m_connection.isOpen()) {
        return StoreError::of(code::kFileNotFound);
    }
    if (m_connection.depth() > 0) {
        return StoreError::driver(SQLITE_BUSY, QStringLiteral("A transaction is open"));
    }
    const ReadOnlyFile source(info.absoluteFilePath());
    const std::optional<QString> mark = source.first("PRAGMA application_id");
    if (!source.db() || !mark || mark->toInt() != kCollectionMark ||
        !source.first("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = '_counts'")) {
        return refused(QStringLiteral("%1 is not a Tunarium collection").arg(path));
    }
    if (source.first("PRAGMA quick_check(1)").value_or(QString()) != QLatin1String("ok")) {
        return refused(QStringLiteral("%1 is a damaged collection").arg(path));
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
