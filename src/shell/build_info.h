// When this copy of the program was built, and the dates the compile information window shows.
#pragma once

#include <QDateTime>
#include <QString>

namespace tunarium {

// The date and time the program was compiled (the build's clock).
QDateTime buildDateTime();
// A date shown with the user's date picture; under "Year Only", whose picture shows bare years,
// the date's year.
QString showDate(const QDate& date, const QString& datePicture);

} // namespace tunarium
