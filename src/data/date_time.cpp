// Day numbers and time values: conversions to and from Qt's dates and times.
#include "data/date_time.h"

namespace tunarium {

namespace {

// Julian day of 28 December 1800, day number 0.
qint64 julianDayOfDayZero() {
    static const qint64 day = QDate(1800, 12, 28).toJulianDay();
    return day;
}

constexpr qint64 kHundredthsPerHour = 360000;
constexpr qint64 kHundredthsPerMinute = 6000;

} // namespace

qint64 dayNumberFromDate(const QDate& date) {
    if (!date.isValid()) {
        return 0;
    }
    const qint64 dayNumber = date.toJulianDay() - julianDayOfDayZero();
    return dayNumber >= kFirstDayNumber && dayNumber <= kLastDayNumber ? dayNumber : 0;
}

qint64 dayNumberFromYmd(int year, int month, int day) {
    return QDate::isValid(year, month, day) ? dayNumberFromDate(QDate(year, month, day)) : 0;
}

QDate dateFromDayNumber(qint64 dayNumber) {
    if (dayNumber < kFirstDayNumber || dayNumber > kLastDayNumber) {
        return {};
    }
    return QDate::fromJulianDay(julianDayOfDayZero() + dayNumber);
}

qint64 todayDayNumber() {
    return dayNumberFromDate(QDate::currentDate());
}

int expandTwoDigitYear(int twoDigitYear, int referenceYear) {
    const int latest = referenceYear + 20;
    const int candidate = latest - latest % 100 + twoDigitYear % 100;
    return candidate > latest ? candidate - 100 : candidate;
}

qint64 timeValueFromTime(const QTime& time) {
    return time.isValid() ? time.msecsSinceStartOfDay() / 10 + 1 : 0;
}

qint64 timeValueFromHundredths(qint64 hundredths) {
    return hundredths >= 0 && hundredths < kMaxTimeValue ? hundredths + 1 : 0;
}

qint64 hundredthsFromTimeValue(qint64 timeValue) {
    return timeValue >= 1 ? timeValue - 1 : 0;
}

QTime timeFromTimeValue(qint64 timeValue) {
    if (timeValue < 1 || timeValue > kLastClockTimeValue) {
        return {};
    }
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>((timeValue - 1) * 10));
}

qint64 clockTimeValue() {
    return timeValueFromTime(QTime::currentTime());
}

TimeParts timePartsFromTimeValue(qint64 timeValue) {
    const qint64 hundredths = hundredthsFromTimeValue(timeValue);
    TimeParts parts;
    parts.hours = hundredths / kHundredthsPerHour;
    parts.minutes = static_cast<int>(hundredths % kHundredthsPerHour / kHundredthsPerMinute);
    parts.seconds = static_cast<int>(hundredths % kHundredthsPerMinute / 100);
    parts.hundredths = static_cast<int>(hundredths % 100);
    return parts;
}

qint64 timeValueFromParts(const TimeParts& parts) {
    if (parts.hours < 0 || parts.minutes < 0 || parts.minutes > 59 || parts.seconds < 0 ||
        parts.seconds > 59 || parts.hundredths < 0 || parts.hundredths > 99) {
        return 0;
    }
    // Checked before multiplying so that a huge hour count cannot overflow.
    if (parts.hours > kMaxTimeValue / kHundredthsPerHour) {
        return 0;
    }
    const qint64 hundredths = parts.hours * kHundredthsPerHour + parts.minutes * kHundredthsPerMinute +
                              parts.seconds * 100 + parts.hundredths;
    return timeValueFromHundredths(hundredths);
}

int releaseYear(qint64 value) {
    if (value <= 0) {
        return 0;
    }
    if (value < kBareYearLimit) {
        return static_cast<int>(value);
    }
    const QDate date = dateFromDayNumber(value);
    return date.isValid() ? date.year() : 0;
}

} // namespace tunarium
