// Day numbers and time values: conversions to and from Qt's dates and times.
#include "data/date_time.h"

#include <QRegularExpression>

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

qint64 readIsoDate(QStringView text) {
    static const QRegularExpression iso(QStringLiteral("^\\s*(\\d{4})-(\\d{1,2})-(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch m = iso.match(text);
    if (!m.hasMatch()) {
        return 0;
    }
    return dayNumberFromYmd(m.capturedView(1).toInt(), m.capturedView(2).toInt(), m.capturedView(3).toInt());
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
    if (holdsBareYear(value)) {
        return static_cast<int>(value);
    }
    const QDate date = dateFromDayNumber(value);
    return date.isValid() ? date.year() : 0;
}

qint64 releaseFromOrderValue(qint64 order) {
    if (order <= 0) {
        return 0;
    }
    if (order % 2 == 0) {
        return order / 2 - kOrdinalOfDayZero;
    }
    // The count of the day after the odd value; 1 January of the year 1 is Julian day 1721426.
    const QDate day = QDate::fromJulianDay((order + 1) / 2 + 1721425);
    return day.isValid() && holdsBareYear(day.year()) ? day.year() : (order + 1) / 2 - kOrdinalOfDayZero;
}

qint64 readSongLength(QStringView text, bool* withHours) {
    static const QRegularExpression length(
        QStringLiteral("^\\s*(\\d{1,5})(?::(\\d{1,2}))?:(\\d{2})(?:\\.(\\d{1,2}))?\\s*$"));
    const QRegularExpressionMatch m = length.match(text);
    if (!m.hasMatch()) {
        return 0;
    }
    const bool hours = m.hasCaptured(2);
    const qint64 first = m.capturedView(1).toLongLong();
    const qint64 minutes = hours ? m.capturedView(2).toLongLong() : first;
    const qint64 seconds = m.capturedView(3).toLongLong();
    const QStringView fraction = m.capturedView(4);
    if ((hours && minutes >= 60) || seconds >= 60) {
        return 0;
    }
    const qint64 hundredths = fraction.size() == 1 ? fraction.toLongLong() * 10 : fraction.toLongLong();
    if (withHours) {
        *withHours = hours;
    }
    return timeValueFromHundredths((((hours ? first : 0) * 60 + minutes) * 60 + seconds) * 100 + hundredths);
}

} // namespace tunarium
