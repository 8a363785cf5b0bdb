// Pictures as entries read them: what a typed text stands for, or that it stands for nothing, and
// how a value of the picture is typed.
#include "data/date_time.h"
#include "data/picture_parts.h"
#include "data/pictures.h"

namespace tunarium {

using namespace picture_detail;

namespace {

QString withoutBlanks(QStringView text) {
    QString out;
    for (QChar c : text) {
        if (!c.isSpace()) {
            out.append(c);
        }
    }
    return out;
}

// The fields of a Qt date or time format as a user reads them: "M/d/yy" is "mm/dd/yy", "MMM" a
// month's short name, weekday names left out.
QString readableQtFormat(QStringView format) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c) {
            ++run;
        }
        i += run;
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted) {
            out += QString(run, c);
        } else if (c == u'd') {
            if (run <= 2) {
                out += QStringLiteral("dd");
            } else if (out.endsWith(QStringLiteral(", "))) {
                out.chop(2);
            }
        } else if (c == u'M') {
            out += run <= 2 ? QStringLiteral("mm") : run == 3 ? QStringLiteral("MON") : QStringLiteral("Month");
        } else if (c == u'y') {
            out += run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
        } else if (c == u'H' || c == u'h') {
            out += QStringLiteral("h");
        } else if (c == u'm') {
            out += QStringLiteral("mm");
        } else if (c == u's') {
            out += QStringLiteral("ss");
        } else if (c == u'A' || c == u'a') {
            out += QStringLiteral("AM");
            if (i < format.size() && (format[i] == u'P' || format[i] == u'p')) {
                ++i;
            }
        } else if (c == u't' || c == u'z') {
            continue;
        } else {
            out += QString(run, c);
        }
    }
    return out.trimmed();
}

// How a date of form `code` is written ("mm/dd/yyyy"), with the picture's separator.
QString dateFormOf(int code, char16_t separator) {
    switch (code) {
    case 3:
        return QStringLiteral("MON dd,yyyy");
    case 4:
        return QStringLiteral("Month d, yyyy");
    case 7:
        return QStringLiteral("dd MON yy");
    case 8:
        return QStringLiteral("dd MON yyyy");
    case 11:
        return QStringLiteral("yymmdd");
    case 12:
        return QStringLiteral("yyyymmdd");
    default:
        break;
    }
    if (code < 1 || code > 16) {
        return {};
    }
    const DateForm& form = kDateForms[code];
    QString out;
    for (size_t i = 0; i < form.order.size(); ++i) {
        if (i > 0) {
            out += QChar(separator ? separator : u'/');
        }
        const char field = form.order[i];
        out += field == 'Y' ? QString(form.yearDigits, u'y') : field == 'M' ? QStringLiteral("mm") : QStringLiteral("dd");
    }
    return out;
}

} // namespace

std::optional<QVariant> Picture::read(QStringView text) const {
    if (text.trimmed().isEmpty()) {
        return deformat(text);
    }
    switch (m_kind) {
    case Kind::Unknown:
    case Kind::Text:
        return deformat(text);
    case Kind::Number: {
        NumberText number;
        if (!splitNumber(text, number)) {
            return std::nullopt;
        }
        if (m_places > 0) {
            return numberToDouble(number);
        }
        qint64 value = 0;
        if (!numberToInt64(number, value)) {
            return std::nullopt;
        }
        return value;
    }
    case Kind::Date:
    case Kind::Time: {
        // 0 is no date and no time: a text that is not blank and reads 0 named neither.
        const qint64 value = deformat(text).toLongLong();
        if (value == 0) {
            return std::nullopt;
        }
        return value;
    }
    case Kind::Pattern: {
        const qint64 value = deformatPattern(text);
        if (value == 0) {
            const QString typed = withoutBlanks(text);
            const bool zeros = !typed.isEmpty() && typed.count(u'0') == typed.size();
            if (!zeros && typed.compare(withoutBlanks(formatPattern(0)), Qt::CaseInsensitive) != 0) {
                return std::nullopt;
            }
        }
        return value;
    }
    }
    return std::nullopt;
}

QString Picture::entryForm() const {
    switch (m_kind) {
    case Kind::Unknown:
    case Kind::Text:
        return {};
    case Kind::Number:
        return m_places > 0 ? QStringLiteral("a number") : QStringLiteral("a whole number");
    case Kind::Pattern:
        return QStringLiteral("a number");
    case Kind::Date: {
        const QString form = m_locale ? readableQtFormat(m_text) : dateFormOf(m_code, m_separator);
        const QString iso = QStringLiteral("yyyy-mm-dd");
        return form == iso || form.isEmpty() ? iso : form + QStringLiteral(" or ") + iso;
    }
    case Kind::Time:
        switch (m_code) {
        case 4:
        case 5:
        case 9:
            return QStringLiteral("m:ss or h:mm:ss");
        case 1:
        case 2:
            return QStringLiteral("h:mm");
        case 3:
            return QStringLiteral("h:mmAM");
        case 6:
            return QStringLiteral("h:mm:ssAM");
        default:
            return readableQtFormat(m_text);
        }
    }
    return {};
}

} // namespace tunarium
