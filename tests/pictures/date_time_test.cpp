// Day numbers and time values: anchors, bounds and the two-digit year window.
#include "data/date_time.h"

#include <gtest/gtest.h>

#include <limits>

namespace tunarium {
namespace {

TEST(DayNumbers, AnchorsOfTheStandardDate) {
    struct Case {
        QDate date;
        qint64 day;
    };
    const Case cases[] = {
        {QDate(1800, 12, 29), 1},   {QDate(1801, 1, 1), 4},      {QDate(1959, 10, 31), 58015},
        {QDate(2000, 1, 1), 72687}, {QDate(2000, 2, 29), 72746}, {QDate(9999, 12, 31), kLastDayNumber},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dayNumberFromDate(c.date), c.day) << c.date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(dateFromDayNumber(c.day), c.date) << c.day;
    }
}

TEST(DayNumbers, OutsideTheRangeIsNoDate) {
    EXPECT_EQ(dayNumberFromDate(QDate()), 0);
    EXPECT_EQ(dayNumberFromDate(QDate(1800, 12, 28)), 0);
    EXPECT_EQ(dayNumberFromDate(QDate(1066, 10, 14)), 0);
    EXPECT_EQ(dayNumberFromDate(QDate(10000, 1, 1)), 0);
    for (qint64 day : {qint64(0), qint64(-1), kLastDayNumber + 1, std::numeric_limits<qint64>::max(),
                       std::numeric_limits<qint64>::min()}) {
        EXPECT_FALSE(dateFromDayNumber(day).isValid()) << day;
    }
    EXPECT_EQ(dayNumberFromYmd(1959, 2, 29), 0);
    EXPECT_EQ(dayNumberFromYmd(1959, 13, 1), 0);
    EXPECT_EQ(dayNumberFromYmd(0, 1, 1), 0);
}

TEST(TwoDigitYears, FallInTheWindowAroundTheReferenceYear) {
    EXPECT_EQ(expandTwoDigitYear(59, 2025), 1959);
    EXPECT_EQ(expandTwoDigitYear(45, 2025), 2045);
    EXPECT_EQ(expandTwoDigitYear(46, 2025), 1946);
    EXPECT_EQ(expandTwoDigitYear(0, 2025), 2000);
    EXPECT_EQ(expandTwoDigitYear(99, 1990), 1999);
    EXPECT_EQ(expandTwoDigitYear(5, 1990), 2005);
    EXPECT_EQ(expandTwoDigitYear(11, 1990), 1911);
}

TEST(TimeValues, AreHundredthsPlusOne) {
    EXPECT_EQ(timeValueFromTime(QTime(0, 0, 0)), 1);
    EXPECT_EQ(timeValueFromTime(QTime(0, 3, 45)), 22501);
    EXPECT_EQ(timeValueFromTime(QTime(1, 30, 0)), 540001);
    EXPECT_EQ(timeValueFromTime(QTime(23, 59, 59, 990)), kLastClockTimeValue);
    EXPECT_EQ(timeValueFromTime(QTime()), 0);
    EXPECT_EQ(timeFromTimeValue(22501), QTime(0, 3, 45));
    EXPECT_EQ(timeFromTimeValue(kLastClockTimeValue), QTime(23, 59, 59, 990));
    EXPECT_FALSE(timeFromTimeValue(0).isValid());
    EXPECT_FALSE(timeFromTimeValue(kLastClockTimeValue + 1).isValid());
    EXPECT_FALSE(timeFromTimeValue(-5).isValid());
}

TEST(TimeValues, HundredthsAndBounds) {
    EXPECT_EQ(timeValueFromHundredths(0), 1);
    EXPECT_EQ(timeValueFromHundredths(22500), 22501);
    EXPECT_EQ(timeValueFromHundredths(kMaxTimeValue - 1), kMaxTimeValue);
    EXPECT_EQ(timeValueFromHundredths(kMaxTimeValue), 0);
    EXPECT_EQ(timeValueFromHundredths(-1), 0);
    EXPECT_EQ(hundredthsFromTimeValue(540001), 540000);
    EXPECT_EQ(hundredthsFromTimeValue(0), 0);
    EXPECT_EQ(hundredthsFromTimeValue(-7), 0);
}

TEST(TimeValues, PartsRoundTripAndRefuseBadParts) {
    const TimeParts parts =
        timePartsFromTimeValue(timeValueFromHundredths(((25 * 60 + 7) * 60 + 9) * 100 + 42));
    EXPECT_EQ(parts.hours, 25);
    EXPECT_EQ(parts.minutes, 7);
    EXPECT_EQ(parts.seconds, 9);
    EXPECT_EQ(parts.hundredths, 42);
    EXPECT_EQ(timeValueFromParts(parts), timeValueFromHundredths(((25 * 60 + 7) * 60 + 9) * 100 + 42));
    EXPECT_EQ(timeValueFromParts({0, 60, 0, 0}), 0);
    EXPECT_EQ(timeValueFromParts({0, 0, 60, 0}), 0);
    EXPECT_EQ(timeValueFromParts({0, 0, 0, 100}), 0);
    EXPECT_EQ(timeValueFromParts({-1, 0, 0, 0}), 0);
    EXPECT_EQ(timeValueFromParts({std::numeric_limits<qint64>::max(), 0, 0, 0}), 0);
    EXPECT_EQ(timeValueFromParts({5965, 0, 0, 0}), 2147400001);
    EXPECT_EQ(timeValueFromParts({5966, 0, 0, 0}), 0);
}

} // namespace
} // namespace tunarium
