// Day numbers and time values: the two number forms in which the collection stores dates and times.
#pragma once

#include <QDate>
#include <QStringView>
#include <QTime>

namespace tunarium {

// A date is a day number: the count of days since 28 December 1800, so 29 December 1800 is 1,
// 1 January 1801 is 4 and 1 January 2000 is 72687. 0 means "no date". Supported day numbers run
// from kFirstDayNumber to kLastDayNumber (31 December 9999); anything else is not a date.
inline constexpr qint64 kFirstDayNumber = 1;
inline constexpr qint64 kLastDayNumber = 2994626;

// Day number of a date; 0 for an invalid date or one outside the supported range.
qint64 dayNumberFromDate(const QDate& date);
// Day number of year, month and day; 0 when they name no supported date (31 February, month 13).
qint64 dayNumberFromYmd(int year, int month, int day);
// Day number of an ISO date "1999-05-01" (blanks around it allowed); 0 for any other text.
qint64 readIsoDate(QStringView text);
// Date of a day number; an invalid QDate for 0 and every number outside the supported range.
QDate dateFromDayNumber(qint64 dayNumber);
qint64 todayDayNumber();

// A release date may hold a bare year (1975) instead of a day number: any value from 1 to
// kBareYearLimit. Such a value is a year wherever it is shown or compared, under any date picture
// (as a day number it would fall in 1800-1809, where no recording is dated). releaseYear gives the
// year of either form, 0 for no date.
inline constexpr qint64 kBareYearLimit = 3000;
constexpr bool holdsBareYear(qint64 value) {
    return value >= 1 && value <= kBareYearLimit;
}
int releaseYear(qint64 value);
// The place of a release date in an order (every key over a field that may hold a bare year sorts
// by it): a bare year stands just before 1 January of its year ("1999" reads as the year 1999, so
// it opens that year), after 31 December of the year before; no date (0) comes first. The value is
// twice the day's count from 1 January of the year 1 (that day counting 1), less one for a bare
// year: 0 stays 0, a bare year Y is 2 x count(Y-01-01) - 1, a day number d is 2 x (d + 657433).
// The store's order columns compute the same value in SQL (sql::orderValueSql); the two are one
// rule and are tested against each other.
inline constexpr qint64 kOrdinalOfDayZero = 657433; // the count of 28 December 1800
constexpr qint64 releaseOrderValue(qint64 value) {
    if (value == 0) {
        return 0;
    }
    if (holdsBareYear(value)) {
        const qint64 before = value - 1; // whole years before the year's 1 January
        return 2 * (365 * before + before / 4 - before / 100 + before / 400) + 1;
    }
    return 2 * (value + kOrdinalOfDayZero);
}
// The release date at an order value, for an order value that may fall between records (a scroll
// thumb's step): an even value is its day, an odd one the bare year of the day after it; 0 and
// values below 0 are no date.
qint64 releaseFromOrderValue(qint64 order);

// Full year of a two-digit year (0..99): the one that falls in the 100 years from 79 years before
// referenceYear up to 20 years after it. With 2025 as reference, 59 is 1959 and 30 is 2030.
int expandTwoDigitYear(int twoDigitYear, int referenceYear);

// A time value is a count of hundredths of a second plus one: 0:00:00 is 1, 0:03:45 is 22501 and
// 1:30:00 is 540001. 0 means "no time". Values from 1 to kLastClockTimeValue are times of day;
// larger ones, up to kMaxTimeValue (the largest a stored time can hold), are durations whose hours
// keep counting past 24. Values below 1 are "no time".
inline constexpr qint64 kHundredthsPerDay = 8640000;
inline constexpr qint64 kLastClockTimeValue = kHundredthsPerDay;
inline constexpr qint64 kMaxTimeValue = 2147483647;

// Time value of a time of day; 0 for an invalid QTime.
qint64 timeValueFromTime(const QTime& time);
// Time value of a duration in hundredths; 0 for a negative count or one beyond kMaxTimeValue.
qint64 timeValueFromHundredths(qint64 hundredths);
// Hundredths held by a time value; 0 for values below 1.
qint64 hundredthsFromTimeValue(qint64 timeValue);
// Time of day of a time value; an invalid QTime outside 1..kLastClockTimeValue.
QTime timeFromTimeValue(qint64 timeValue);
// The clock's time of day now, as a time value.
qint64 clockTimeValue();

// A song length as people write it: "m:ss", "mm:ss", "h:mm:ss", each with hundredths after a
// point if wanted ("3:56.20"; one digit is tenths). Without hours the minutes may pass 59: a long
// mix is "75:30". The time value (hundredths plus one), or 0 when the text is no such length;
// `withHours` tells whether the text gave hours.
qint64 readSongLength(QStringView text, bool* withHours = nullptr);

// A time value split for display; hours are not wrapped at 24.
struct TimeParts {
    qint64 hours = 0;
    int minutes = 0;
    int seconds = 0;
    int hundredths = 0;
};
// Parts of a time value; all zero for values below 1.
TimeParts timePartsFromTimeValue(qint64 timeValue);
// Time value of the parts; 0 when a part is negative, minutes or seconds are 60 or more,
// hundredths 100 or more, or the result is beyond kMaxTimeValue.
qint64 timeValueFromParts(const TimeParts& parts);

} // namespace tunarium
