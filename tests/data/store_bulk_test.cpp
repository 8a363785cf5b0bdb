// Range rewrites in one statement: the year of a day number as the date functions of the program
// reckon it, which values stay as they are, the record range and the record versions.
#include "data/date_time.h"
#include "data/records.h"
#include "data/store_sqlite.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class StoreBulkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(dir.dir()).ok());
        ASSERT_TRUE(store.openTable(TableId::Tunarium).ok());
    }

    // Adds one song a value; their record numbers.
    QVector<qint64> addSongs(const QVector<qint64>& dates) {
        QVector<qint64> recs;
        Transaction t(store);
        for (qint64 date : dates) {
            SongRecord s;
            s.artist = QStringLiteral("A");
            s.title = QStringLiteral("T%1").arg(recs.size());
            s.id = ++m_id;
            s.releaseDate = date;
            EXPECT_TRUE(store.insert(s).ok());
            recs << s.meta.rec;
        }
        EXPECT_TRUE(t.commit().ok());
        return recs;
    }
    Row song(qint64 rec) {
        Row row;
        EXPECT_TRUE(store.fetch(TableId::Tunarium, rec, row).ok());
        return row;
    }

    test::TempCollection dir;
    SqliteStore store;
    qint64 m_id = 0;
};

TEST_F(StoreBulkTest, DaysToYearsGivesTheYearOfEveryDayNumberAsTheDateFunctionsDo) {
    // The last and the first day of every year a day number can turn into, and the edges.
    QVector<qint64> dates{0, -5, 1, 1959, 2999, 3000, 3001, kLastDayNumber, kLastDayNumber + 1};
    for (int y = 1801; y <= 3000; ++y) {
        dates << dayNumberFromYmd(y, 1, 1) << dayNumberFromYmd(y - 1 < 1801 ? 1801 : y - 1, 12, 31);
    }
    dates << dayNumberFromYmd(2024, 2, 29) << dayNumberFromYmd(1900, 3, 1);
    const QVector<qint64> recs = addSongs(dates);
    const qint64 fresh = song(recs[0]).meta.version;
    qint64 changed = -1;
    ASSERT_TRUE(store.bulk().daysToYears(TableId::Tunarium, tun::kReleaseDate, 0, recs.last(), changed).ok());
    qint64 expectedChanged = 0;
    for (int i = 0; i < dates.size(); ++i) {
        const qint64 d = dates[i];
        qint64 expected = d;
        if (d > kBareYearLimit && d <= kLastDayNumber && dateFromDayNumber(d).year() < kBareYearLimit) {
            expected = dateFromDayNumber(d).year();
            ++expectedChanged;
        }
        const Row row = song(recs[i]);
        EXPECT_EQ(row.number(tun::kReleaseDate), expected) << "stored " << d;
        // Only a rewritten record tells a window holding it that it changed.
        EXPECT_EQ(row.meta.version != fresh, expected != d) << "stored " << d;
    }
    EXPECT_EQ(changed, expectedChanged);
}

TEST_F(StoreBulkTest, DaysToYearsKeepsToItsRangeOfRecords) {
    const qint64 day = dayNumberFromYmd(1984, 3, 4);
    const QVector<qint64> recs = addSongs({day, day, day, day, day});
    qint64 changed = 0;
    // Above the first up to the fourth.
    ASSERT_TRUE(
        store.bulk().daysToYears(TableId::Tunarium, tun::kReleaseDate, recs[0], recs[3], changed).ok());
    EXPECT_EQ(changed, 3);
    const QVector<qint64> expected{day, 1984, 1984, 1984, day};
    for (int i = 0; i < recs.size(); ++i) {
        EXPECT_EQ(song(recs[i]).number(tun::kReleaseDate), expected[i]) << i;
    }
    // A text field is no date.
    EXPECT_FALSE(store.bulk().daysToYears(TableId::Tunarium, tun::kArtist, 0, recs.last(), changed).ok());
}

} // namespace
