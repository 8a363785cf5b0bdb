// Page reads with a condition reuse their statements: alternating conditions on the same walk
// must each still get their own rows.
#include "data/store_sqlite.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

using namespace tunarium;

TEST(ConditionedReadTest, EachConditionKeepsItsOwnStatement) {
    test::TempCollection dir;
    SqliteStore store;
    ASSERT_TRUE(store.open(dir.dir()).ok());
    ASSERT_TRUE(store.openTable(TableId::Media).ok());
    for (const char* name : {"CD", "CD Single", "Cassette", "EP", "LP"}) {
        Row m(TableId::Media);
        m.setText(0, name);
        ASSERT_TRUE(store.insert(m).ok());
    }
    const SqlCondition startsWithC{QStringLiteral("\"Media\" LIKE ?"), {QStringLiteral("C%")}};
    const SqlCondition notCd{QStringLiteral("\"Media\" <> ?"), {QStringLiteral("CD")}};
    auto names = [&](const SqlCondition& c) {
        QVector<Row> rows;
        EXPECT_TRUE(store.read(TableId::Media, 0, {}, Direction::Forward, true, 10, rows, c).ok());
        QStringList out;
        for (const Row& r : rows) {
            out << r.text(0);
        }
        return out;
    };
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(names(startsWithC), QStringList({"Cassette", "CD", "CD Single"}));
        EXPECT_EQ(names(notCd), QStringList({"Cassette", "CD Single", "EP", "LP"}));
        EXPECT_EQ(names({}).size(), 5);
    }
}
