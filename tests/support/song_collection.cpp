// Collections with songs for tests.
#include "support/song_collection.h"

#include "data/records.h"
#include "data/store.h"

#include <QDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tunarium::test {

void makeSongCollection(const QString& dir, int songs) {
    Store store;
    ASSERT_TRUE(store.open(dir).ok());
    for (const TableDef& t : allTables()) {
        ASSERT_TRUE(store.openTable(t.id).ok());
    }
    Transaction tx(store);
    for (int i = 1; i <= songs; ++i) {
        SongRecord s;
        s.id = i;
        s.artist = QStringLiteral("Artist %1").arg(i % 97);
        s.title = QStringLiteral("Title %1").arg(i);
        ASSERT_TRUE(store.insert(s).ok());
    }
    ASSERT_TRUE(tx.commit().ok());
}

qint64 songsIn(const QString& dir) {
    sqlite3* db = nullptr;
    qint64 n = -1;
    const QByteArray path = QDir(dir).filePath(QStringLiteral("tunarium.db")).toUtf8();
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM \"Tunarium\"", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            n = sqlite3_column_int64(stmt, 0);
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return n;
}

} // namespace tunarium::test
