// Reading field texts into numbers.
#include "exchange/import_values.h"

#include "data/date_time.h"
#include "data/pictures.h"

#include <QRegularExpression>

namespace tunarium {

bool readWholeNumber(const QString& text, qint64& out) {
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?)(\\d*)(?:\\.(\\d*))?\\s*$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch()) {
        return false;
    }
    const QString whole = m.captured(2);
    const QString fraction = m.captured(3);
    if (whole.isEmpty() && fraction.isEmpty()) {
        return false;
    }
    for (const QChar c : fraction) {
        if (c != u'0') {
            return false;
        }
    }
    QString digits = whole;
    while (digits.size() > 1 && digits.startsWith(u'0')) {
        digits.remove(0, 1);
    }
    if (digits.size() > 15) {
        return false;
    }
    out = digits.isEmpty() ? 0 : digits.toLongLong();
    if (m.captured(1) == QLatin1String("-")) {
        out = -out;
    }
    return true;
}

bool readsLengthWithSeconds(const QString& picture) {
    const Picture p = Picture::parse(picture);
    return p.kind() == Picture::Kind::Time && (p.code() == 4 || p.code() == 5);
}

} // namespace tunarium
