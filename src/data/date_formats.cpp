// The date format choices.
#include "data/date_formats.h"

namespace tunarium {

const QVector<DateFormatChoice>& dateFormatChoices() {
    static const QVector<DateFormatChoice> choices = {
        {QStringLiteral("Windows Default"), QStringLiteral("d17")},
        {QStringLiteral("Year Only"), QStringLiteral("n4b")},
        {QStringLiteral("October 31, 1959"), QStringLiteral("d4")},
        {QStringLiteral("OCT 31,1959"), QStringLiteral("d3")},
        {QStringLiteral("10/31/59"), QStringLiteral("d1")},
        {QStringLiteral("10/31/1959"), QStringLiteral("d2")},
        {QStringLiteral("31 OCT 59"), QStringLiteral("d7")},
        {QStringLiteral("31 OCT 1959"), QStringLiteral("d8")},
        {QStringLiteral("31/10/59"), QStringLiteral("d5")},
        {QStringLiteral("31/10/1959"), QStringLiteral("d6")},
        {QStringLiteral("59/10"), QStringLiteral("d15")},
        {QStringLiteral("1959/10"), QStringLiteral("d16")},
        {QStringLiteral("10/59"), QStringLiteral("d13")},
        {QStringLiteral("10/1959"), QStringLiteral("d14")},
        {QStringLiteral("Windows Default 2"), QStringLiteral("d18")},
    };
    return choices;
}

int dateFormatIndex(const QString& code) {
    const QString wanted = code.trimmed();
    const QVector<DateFormatChoice>& choices = dateFormatChoices();
    for (int i = 0; i < choices.size(); ++i) {
        if (choices[i].code == wanted) {
            return i;
        }
    }
    return -1;
}

QString datePictureOf(const QString& code) {
    const int index = dateFormatIndex(code);
    return QStringLiteral("@") +
           (index < 0 ? QString::fromLatin1(kDefaultDateCode) : dateFormatChoices()[index].code);
}

} // namespace tunarium
