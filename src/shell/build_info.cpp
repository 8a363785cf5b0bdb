// The build's date and time.
#include "shell/build_info.h"

#include "data/date_formats.h"
#include "data/date_time.h"
#include "data/pictures.h"

#include <QLocale>

namespace tunarium {

QDateTime buildDateTime() {
    // The compiler writes "Mmm dd yyyy" (the day padded with a blank) and "hh:mm:ss".
    const QString date = QString::fromLatin1(__DATE__).simplified();
    const QDate day = QLocale::c().toDate(date, QStringLiteral("MMM d yyyy"));
    const QTime time = QTime::fromString(QString::fromLatin1(__TIME__), QStringLiteral("hh:mm:ss"));
    return QDateTime(day, time);
}

QString showDate(const QDate& date, const QString& datePicture) {
    if (!date.isValid()) {
        return {};
    }
    if (datePicture == QLatin1String("@") + QLatin1String(kYearOnlyCode)) {
        return QString::number(date.year());
    }
    return formatPicture(dayNumberFromDate(date), datePicture);
}

} // namespace tunarium
