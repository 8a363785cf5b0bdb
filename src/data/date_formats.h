// The date formats a user can choose for release dates: the example each is shown by and the
// picture code kept in `DateFormat`. "Year Only" is the one that changes what is stored: release
// dates then hold bare years, shown with a number picture.
#pragma once

#include <QString>
#include <QVector>

namespace tunarium {

struct DateFormatChoice {
    QString shown; // "October 31, 1959"
    QString code;  // "d4": the picture without its "@"
};

inline constexpr char kYearOnlyCode[] = "n4b";
inline constexpr char kDefaultDateCode[] = "d17";

// The choices in the order the lists show them.
const QVector<DateFormatChoice>& dateFormatChoices();
// The position of `code` in the choices; -1 for a code that is not one of them (or empty).
int dateFormatIndex(const QString& code);
// The picture dates are shown with under `code`: "@" and the code, or the system's short date
// for an empty code or one that is not a choice.
QString datePictureOf(const QString& code);

} // namespace tunarium
