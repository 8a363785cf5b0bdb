// The CD reader's sums on times and positions.
#include "albums/cd_times.h"

#include "albums/disc_toc.h"
#include "data/date_time.h"
#include "data/pictures.h"

namespace tunarium {

namespace {

// The two characters at `at` as a number; 0 when they are not one.
int field(QStringView reply, qsizetype at) {
    bool ok = false;
    const int n = reply.mid(at, 2).trimmed().toInt(&ok);
    return ok && n >= 0 ? n : 0;
}

int digitSum(int n) {
    int sum = 0;
    for (; n > 0; n /= 10) {
        sum += n % 10;
    }
    return sum;
}

} // namespace

qint64 parseTrackTime(QStringView reply) {
    const QStringView text = reply.left(8);
    int minutes = field(text, 0);
    int seconds = field(text, 3);
    if (text.mid(6, 2) == u"99") {
        ++seconds;
    }
    if (seconds >= 60) {
        seconds -= 60;
        ++minutes;
    }
    const int hours = minutes > 59 ? 1 : 0;
    minutes -= hours * 60;
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(hours, 2, 10, QLatin1Char('0'))
                             .arg(minutes, 2, 10, QLatin1Char('0'))
                             .arg(seconds, 2, 10, QLatin1Char('0'));
    return deformatPicture(time, u"@T4").toLongLong();
}

int framesFromMsf(QStringView reply) {
    return field(reply, 0) * kFramesPerMinute + field(reply, 3) * kFramesPerSecond + field(reply, 6);
}

QString computeCDDBNumber(const TrackPositions& positions, qint64& totalTime) {
    if (positions.isEmpty()) {
        return {};
    }
    int sum = 0;
    for (const TrackPosition& p : positions) {
        sum += digitSum(p.start / kFramesPerSecond);
    }
    const TrackPosition& last = positions.last();
    const int leadout = last.start + last.length + 1;
    const int seconds = std::max(0, leadout / kFramesPerSecond - positions.first().start / kFramesPerSecond);
    totalTime = static_cast<qint64>(seconds) * 100 + 1;
    const quint32 number = (static_cast<quint32>(sum % 255) << 24) |
                           (static_cast<quint32>(seconds & 0xffff) << 8) |
                           static_cast<quint32>(positions.size() & 0xff);
    return QStringLiteral("%1").arg(number, 8, 16, QLatin1Char('0'));
}

QString formatMinutesSeconds(qint64 timeValue) {
    if (timeValue < 1) {
        return QString(5, u' ');
    }
    const TimeParts parts = timePartsFromTimeValue(timeValue);
    return QStringLiteral("%1:%2")
        .arg(parts.hours * 60 + parts.minutes, 2, 10, QLatin1Char(' '))
        .arg(parts.seconds, 2, 10, QLatin1Char('0'));
}

} // namespace tunarium
