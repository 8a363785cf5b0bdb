// Collections with songs for tests.
#include "support/song_collection.h"

#include "data/records.h"
#include "data/store_sqlite.h"
#include "support/sql_file.h"

#include <QDir>

#include <gtest/gtest.h>

namespace tunarium::test {

void makeSongCollection(const QString& dir, int songs) {
    SqliteStore store;
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
    return sqlNumber(QDir(dir).filePath(QStringLiteral("tunarium.db")),
                     QStringLiteral("SELECT COUNT(*) FROM \"Tunarium\""));
}

} // namespace tunarium::test
