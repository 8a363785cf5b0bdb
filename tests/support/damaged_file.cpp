// Overwriting pages of a collection file.
#include "support/damaged_file.h"

#include <QFile>
#include <QList>

#include <sqlite3.h>

namespace tunarium::test {

bool overwriteLeafPages(const QString& path, const QString& name, int pages) {
    QList<qint64> leaves;
    qint64 pageSize = 4096;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_stmt* stmt = nullptr;
    const char* q = "SELECT pageno, pgsize FROM dbstat WHERE name = ? AND pagetype = 'leaf' ORDER BY pageno";
    if (sqlite3_prepare_v2(db, q, -1, &stmt, nullptr) == SQLITE_OK) {
        const QByteArray utf8 = name.toUtf8();
        sqlite3_bind_text(stmt, 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            leaves << sqlite3_column_int64(stmt, 0);
            pageSize = sqlite3_column_int64(stmt, 1);
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    if (leaves.size() < pages + 2) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        return false;
    }
    for (int i = 0; i < pages; ++i) {
        file.seek((leaves[leaves.size() / 2 + i] - 1) * pageSize);
        file.write(QByteArray(static_cast<int>(pageSize), '\x5a'));
    }
    return true;
}

bool runSql(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    bool done = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                nullptr) == SQLITE_OK &&
                sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return done;
}

} // namespace tunarium::test
