// Release dates in key order: a bare year stands just before 1 January of its year, after every
// date of the year before, wherever a key over a release date orders, looks up or limits a walk;
// the program and SQLite place every date alike; a file of the earlier version gets its order
// columns once, after a dated backup, and keeps every record.
#include "data/database.h"
#include "data/date_time.h"
#include "data/records.h"
#include "data/schema_sql.h"
#include "data/store_sqlite.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

// Release dates as they are stored, in the order a person reads them: no date first, then by year,
// a year alone opening its year. (The first full date is of 1809: the day numbers below 3001 are
// years.)
QVector<qint64> datesInOrder() {
    return {0,
            1,
            1800,
            dayNumberFromYmd(1810, 1, 1),
            dayNumberFromYmd(1998, 12, 31),
            1999,
            dayNumberFromYmd(1999, 1, 1),
            dayNumberFromYmd(1999, 12, 31),
            2024,
            dayNumberFromYmd(2024, 2, 29),
            3000,
            kLastDayNumber};
}

// The same dates stored out of order, two of them twice (ties stay in record order).
QVector<qint64> datesAsStored() {
    const QVector<qint64> d = datesInOrder();
    return {d[6], d[5], d[11], d[0], d[9], d[2], d[5], d[7], d[1], d[10], d[3], d[8], d[4], d[6]};
}

// One song and one album for each stored date.
void addRecords(Store& s) {
    qint64 id = 0;
    for (qint64 date : datesAsStored()) {
        SongRecord song;
        song.id = ++id;
        song.title = QString::number(id);
        song.releaseDate = date;
        ASSERT_TRUE(s.insert(song).ok());
        AlbumRecord album;
        album.albumId = id;
        album.album = QString::number(id);
        album.releaseDate = date;
        ASSERT_TRUE(s.insert(album).ok());
    }
}

// The release dates of a key's records walked a page of `pageSize` at a time from either end.
QVector<qint64> walked(Store& s, TableId table, int key, Direction direction, int pageSize,
                       const WalkLimits& limits = {}) {
    const int released = table == TableId::Album ? alb::kReleaseDate : tun::kReleaseDate;
    QVector<qint64> dates;
    KeyPosition from = limits.rangeValues.isEmpty() ? KeyPosition{} : KeyPosition{limits.rangeValues};
    bool inclusive = true;
    for (int guard = 0; guard < 100; ++guard) {
        QVector<Row> page;
        EXPECT_TRUE(s.read(table, key, from, direction, inclusive, pageSize, page, limits).ok());
        for (const Row& r : page) {
            dates << r.number(released);
        }
        if (page.size() < pageSize) {
            break;
        }
        from = s.positionOf(page.back(), key);
        inclusive = false;
    }
    return dates;
}

class ReleaseOrderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(dir.dir()).ok());
        ASSERT_TRUE(store.openTable(TableId::Tunarium).ok());
        ASSERT_TRUE(store.openTable(TableId::Album).ok());
        addRecords(store);
    }

    test::TempCollection dir;
    SqliteStore store;
};

// SQLite's order column and the program's releaseOrderValue give every date one value, and the
// value gives the date back.
TEST_F(ReleaseOrderTest, TheFileAndTheProgramPlaceEveryDateAlike) {
    for (const char* table : {"Tunarium", "Album"}) {
        SCOPED_TRACE(table);
        const QList<QStringList> rows = test::sqlRows(
            store.filePath(),
            QStringLiteral("SELECT \"ReleaseDate\", \"ReleaseDateOrder\" FROM \"%1\"").arg(table));
        ASSERT_EQ(rows.size(), datesAsStored().size());
        for (const QStringList& row : rows) {
            const qint64 date = row[0].toLongLong();
            EXPECT_EQ(row[1].toLongLong(), releaseOrderValue(date)) << date;
            EXPECT_EQ(releaseFromOrderValue(releaseOrderValue(date)), date) << date;
        }
    }
    // Between a year and the day before its 1 January there is no other value: a thumb's step
    // there reads back as the year.
    const qint64 year = releaseOrderValue(1999);
    EXPECT_EQ(releaseOrderValue(dayNumberFromYmd(1998, 12, 31)) + 1, year);
    EXPECT_EQ(releaseFromOrderValue(year + 1), dayNumberFromYmd(1999, 1, 1));
}

// Both keys walked from either end in pages of 2 and 3 meet the dates in reading order.
TEST_F(ReleaseOrderTest, KeysWalkDatesInReadingOrderBothWays) {
    QVector<qint64> expected;
    for (qint64 date : datesInOrder()) {
        expected << QVector<qint64>(static_cast<qsizetype>(datesAsStored().count(date)), date);
    }
    QVector<qint64> reversed(expected.rbegin(), expected.rend());
    for (const auto& [table, key] : {std::pair{TableId::Tunarium, tun::kKeyOrderReleaseDate},
                                     std::pair{TableId::Album, alb::kKeyOrderReleaseDate}}) {
        SCOPED_TRACE(tableDef(table).label.toStdString());
        for (int pageSize : {2, 3}) {
            EXPECT_EQ(walked(store, table, key, Direction::Forward, pageSize), expected) << pageSize;
            EXPECT_EQ(walked(store, table, key, Direction::Backward, pageSize), reversed) << pageSize;
        }
    }
}

// A year is looked up, and limits a walk, as the year alone: not as its 1 January nor as the day
// number it would be.
TEST_F(ReleaseOrderTest, AYearIsLookedUpAndLimitsAWalkAsTheYear) {
    const qint64 newYear = dayNumberFromYmd(1999, 1, 1);
    const struct {
        qint64 value;
        QVector<qint64> within;
    } cases[] = {{1999, {1999, 1999}}, {newYear, {newYear, newYear}}, {1800, {1800}}, {2000, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        SongRecord found;
        const StoreError e = store.get(tun::kKeyOrderReleaseDate, {c.value}, found);
        EXPECT_EQ(e.code, c.within.isEmpty() ? code::kRecordNotFound : code::kOk);
        if (!c.within.isEmpty()) {
            EXPECT_EQ(found.releaseDate, c.value);
        }
        for (auto direction : {Direction::Forward, Direction::Backward}) {
            EXPECT_EQ(walked(store, TableId::Tunarium, tun::kKeyOrderReleaseDate, direction, 1,
                             WalkLimits(1, {c.value})),
                      c.within);
        }
    }
}

// A file the earlier version made (no order columns, the key on the raw dates) is brought over
// when the program opens it: one dated backup, every record kept, the key sound and in reading
// order; the next open finds nothing to do.
TEST(ReleaseOrderUpgrade, AnEarlierFileGetsItsOrderColumnsOnce) {
    test::TempCollection dir;
    {
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        for (TableId table : {TableId::Tunarium, TableId::Album}) {
            ASSERT_TRUE(store.openTable(table).ok());
        }
        addRecords(store);
        for (TableId table : {TableId::Tunarium, TableId::Album}) {
            const TableDef& t = tableDef(table);
            const int key = t.keyIndex(u"KeyOrderReleaseDate");
            const QString index = sql::quoted(sql::indexName(t, key));
            ASSERT_TRUE(store.exec("DROP INDEX " + index).ok());
            ASSERT_TRUE(
                store.exec("ALTER TABLE " + sql::quoted(t.label) + " DROP COLUMN \"ReleaseDateOrder\"").ok());
            ASSERT_TRUE(store
                            .exec("CREATE INDEX " + index + " ON " + sql::quoted(t.label) +
                                  " (\"ReleaseDate\", \"_rec\")")
                            .ok());
        }
    }
    {
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        for (TableId table : {TableId::Tunarium, TableId::Album}) {
            EXPECT_EQ(store.tableState(table), TableState::KeysOutdated);
        }
    }
    RecordingPrompter prompter;
    {
        Database db(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        for (TableId table : {TableId::Tunarium, TableId::Album}) {
            SCOPED_TRACE(tableDef(table).label.toStdString());
            ASSERT_TRUE(db.openTable(table));
            EXPECT_EQ(db.store().tableState(table), TableState::Current);
            EXPECT_EQ(db.store().checkKeys(table).code, code::kOk);
            EXPECT_EQ(db.store().count(table), datesAsStored().size());
            const int key = tableDef(table).keyIndex(u"KeyOrderReleaseDate");
            const QVector<qint64> forward = walked(db.store(), table, key, Direction::Forward, 3);
            ASSERT_EQ(forward.size(), datesAsStored().size());
            EXPECT_EQ(forward[2], 1800);
            EXPECT_EQ(forward.mid(3, 4), QVector<qint64>({dayNumberFromYmd(1810, 1, 1),
                                                          dayNumberFromYmd(1998, 12, 31), 1999, 1999}));
        }
        EXPECT_TRUE(prompter.messages.isEmpty());
        EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-upgrade-*.db"}).size(), 1);
        db.closeAll();
    }
    Database again(prompter, dir.dir(), dir.configDir() + "/profile.ini");
    ASSERT_TRUE(again.openTable(TableId::Tunarium));
    EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-upgrade-*.db"}).size(), 1);
}

} // namespace
