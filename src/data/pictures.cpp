// Pictures: parsing a picture once and formatting values through it.
#include "data/pictures.h"

#include "data/date_time.h"
#include "data/picture_parts.h"

#include <QDateTime>
#include <QMutex>

namespace tunarium {

using namespace picture_detail;

namespace {

// Replaces the unquoted characters of from in a Qt format by to.
QString replaceSeparators(QString format, std::u16string_view from, char16_t to) {
    bool quoted = false;
    for (QChar& c : format) {
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && from.find(c.unicode()) != std::u16string_view::npos) {
            c = QChar(to);
        }
    }
    return format;
}

// A time value has no time zone: the zone fields of a long time format go.
QString withoutTimeZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
        }
        if (quoted || c != u't') {
            result.append(c);
        }
    }
    return result.trimmed();
}

// ---- the system locale of pictures --------------------------------------------------------------

QMutex& localeMutex() {
    static QMutex mutex;
    return mutex;
}

std::optional<QLocale>& storedLocale() {
    static std::optional<QLocale> locale;
    return locale;
}

} // namespace

void setPictureLocale(const QLocale& locale) {
    QMutexLocker lock(&localeMutex());
    storedLocale() = locale;
}

QLocale pictureLocale() {
    QMutexLocker lock(&localeMutex());
    return storedLocale().value_or(QLocale::system());
}

// ---- parsing ------------------------------------------------------------------------------------

Picture Picture::parse(QStringView picture) {
    return parseWith(picture, nullptr);
}

Picture Picture::parse(QStringView picture, const QLocale& systemLocale) {
    return parseWith(picture, &systemLocale);
}

Picture Picture::parseWith(QStringView picture, const QLocale* systemLocale) {
    QStringView text = picture;
    if (text.startsWith(u'@')) {
        text = text.mid(1);
    }
    if (text.isEmpty()) {
        return {};
    }
    Picture result;
    const char16_t kind = text.front().toLower().unicode();
    if (kind == u'p') {
        return result.parsePattern(text) ? result : Picture();
    }
    QStringView rest = text.mid(1);
    if (rest.endsWith(u'@')) {
        rest.chop(1);
    }
    if (kind == u'n' || kind == u'd' || kind == u't') {
        if (rest.endsWith(u'b', Qt::CaseInsensitive)) {
            result.m_blankWhenZero = true;
            rest.chop(1);
        }
    }
    bool ok = false;
    if (kind == u's') {
        qsizetype pos = 0;
        result.m_kind = Kind::Text;
        ok = rest.isEmpty() || (readInt(rest, pos, kMaxWidth, result.m_width) && pos == rest.size());
    } else if (kind == u'n') {
        ok = result.parseNumber(rest);
    } else if (kind == u'd' || kind == u't') {
        result.m_kind = kind == u'd' ? Kind::Date : Kind::Time;
        ok = result.parseDateOrTime(rest, systemLocale);
    }
    return ok ? result : Picture();
}

bool Picture::parseNumber(QStringView rest) {
    m_kind = Kind::Number;
    qsizetype pos = 0;
    auto at = [&](char16_t c) { return pos < rest.size() && rest[pos] == c; };
    if (at(u'-')) {
        ++pos;
    } else if (at(u'(')) {
        m_sign = Sign::Parentheses;
        ++pos;
    }
    if (at(u'_') || at(u'0') || at(u'*')) {
        m_fill = rest[pos] == u'_' ? u' ' : rest[pos].unicode();
        ++pos;
    }
    if (pos < rest.size() && isAsciiDigit(rest[pos]) && !readInt(rest, pos, kMaxWidth, m_width)) {
        return false;
    }
    if (at(u',')) {
        m_grouping = true;
        ++pos;
    }
    if (at(u'.')) {
        ++pos;
        if (!readInt(rest, pos, kMaxPlaces, m_places)) {
            return false;
        }
    }
    if (at(u'-') && m_sign == Sign::Leading) {
        m_sign = Sign::Trailing;
        ++pos;
    } else if (at(u')') && m_sign == Sign::Parentheses) {
        ++pos;
    }
    return pos == rest.size();
}

bool Picture::parseDateOrTime(QStringView rest, const QLocale* systemLocale) {
    qsizetype pos = 0;
    if (rest.startsWith(u'0')) {
        m_zeroPad = true;
        ++pos;
    }
    const int lastCode = m_kind == Kind::Date ? 18 : 9;
    if (!readInt(rest, pos, lastCode, m_code) || m_code < 1) {
        return false;
    }
    if (pos < rest.size()) {
        const char16_t c = rest[pos++].unicode();
        if (c != u'-' && c != u'.' && c != u'_' && c != u'`' && c != u'\'') {
            return false;
        }
        m_separator = c == u'_' ? u' ' : c == u'`' || c == u'\'' ? u',' : c;
    }
    if (pos != rest.size()) {
        return false;
    }
    const bool date = m_kind == Kind::Date;
    if ((date && m_code >= 17) || (!date && (m_code == 7 || m_code == 8))) {
        // Only these forms consult the system's settings: other pictures never take the lock.
        m_locale = systemLocale ? *systemLocale : pictureLocale();
        const QLocale& locale = *m_locale;
        const auto type = m_code == 17 || m_code == 7 ? QLocale::ShortFormat : QLocale::LongFormat;
        if (date) {
            m_text = locale.dateFormat(type);
            if (m_separator && m_code == 17) {
                m_text = replaceSeparators(m_text, u"/.-", m_separator);
            }
        } else {
            m_text = withoutTimeZone(locale.timeFormat(type));
            if (m_separator) {
                m_text = replaceSeparators(m_text, u":", m_separator);
            }
        }
    }
    return true;
}

bool Picture::parsePattern(QStringView picture) {
    const QChar delimiter = picture.front();
    const qsizetype close = picture.indexOf(delimiter, 1);
    if (close < 0) {
        return false;
    }
    QStringView rest = picture.mid(close + 1);
    if (rest.endsWith(u'@')) {
        rest.chop(1);
    }
    if (rest.compare(u"b", Qt::CaseInsensitive) == 0) {
        m_blankWhenZero = true;
    } else if (!rest.isEmpty()) {
        return false;
    }
    m_text = picture.mid(1, close - 1).toString();
    m_width = static_cast<int>(m_text.count(u'#') + m_text.count(u'<'));
    m_kind = Kind::Pattern;
    return m_width > 0;
}

bool Picture::isNumeric() const {
    return m_kind == Kind::Number || m_kind == Kind::Date || m_kind == Kind::Time || m_kind == Kind::Pattern;
}

// ---- formatting ---------------------------------------------------------------------------------

QChar pictureKind(QStringView picture) {
    return picture.size() > 1 ? picture.at(1).toUpper() : QChar();
}

QString formatPicture(const QVariant& value, QStringView picture) {
    return Picture::parse(picture).format(value);
}

QVariant deformatPicture(QStringView text, QStringView picture) {
    return Picture::parse(picture).deformat(text);
}

QString Picture::format(const QVariant& value) const {
    if (m_kind == Kind::Unknown) {
        return value.toString();
    }
    if (m_kind == Kind::Text) {
        return cutText(value.toString());
    }
    switch (value.typeId()) {
    case QMetaType::QDate:
        return format(dayNumberFromDate(value.toDate()));
    case QMetaType::QTime:
        return format(timeValueFromTime(value.toTime()));
    case QMetaType::QDateTime: {
        const QDateTime dateTime = value.toDateTime();
        return format(m_kind == Kind::Time ? timeValueFromTime(dateTime.time())
                                           : dayNumberFromDate(dateTime.date()));
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return m_kind == Kind::Number ? formatDouble(value.toDouble())
                                      : format(roundToInt64(value.toDouble()));
    case QMetaType::QString:
        return format(value.toString());
    case QMetaType::ULongLong:
        return format(static_cast<qint64>(
            std::min<qulonglong>(value.toULongLong(), std::numeric_limits<qint64>::max())));
    default:
        return format(value.toLongLong());
    }
}

QString Picture::format(const QString& text) const {
    switch (m_kind) {
    case Kind::Unknown:
        return text;
    case Kind::Text:
        return cutText(text);
    case Kind::Number:
        if (m_places > 0) {
            NumberText number;
            return formatDouble(splitNumber(text, number) ? numberToDouble(number) : 0.0);
        }
        return formatInteger(int64FromText(text));
    default:
        return format(int64FromText(text));
    }
}

QString Picture::format(qint64 value) const {
    switch (m_kind) {
    case Kind::Number:
        return formatInteger(value);
    case Kind::Date:
        return formatDate(value);
    case Kind::Time:
        return formatTime(value);
    case Kind::Pattern:
        return formatPattern(value);
    case Kind::Text:
        return cutText(QString::number(value));
    case Kind::Unknown:
        break;
    }
    return QString::number(value);
}

QString Picture::cutText(const QString& text) const {
    if (m_width <= 0 || text.size() <= m_width) {
        return text;
    }
    // Never keep half of a surrogate pair.
    const qsizetype size = text[m_width - 1].isHighSurrogate() ? m_width - 1 : m_width;
    return text.left(size);
}

namespace {

// Builds a number's text from its ASCII digits and the number picture's sign, fill and grouping.
struct NumberLayout {
    Picture::Sign sign;
    char16_t fill;
    bool grouping;
    bool blankWhenZero;
    int width;
};

QString layOutNumber(const NumberLayout& layout, bool negative, std::string_view integer,
                     std::string_view fraction) {
    const bool zero = integer.find_first_not_of('0') == std::string_view::npos &&
                      fraction.find_first_not_of('0') == std::string_view::npos;
    if (zero) {
        if (layout.blankWhenZero) {
            return {};
        }
        negative = false;
    }
    const qsizetype groups = layout.grouping ? (static_cast<qsizetype>(integer.size()) - 1) / 3 : 0;
    const qsizetype body = static_cast<qsizetype>(integer.size()) + groups +
                           (fraction.empty() ? 0 : 1 + static_cast<qsizetype>(fraction.size()));
    const qsizetype signs = negative ? (layout.sign == Picture::Sign::Parentheses ? 2 : 1) : 0;
    const qsizetype pad = layout.fill && layout.width > body + signs ? layout.width - body - signs : 0;

    QString out(body + signs + pad, Qt::Uninitialized);
    QChar* p = out.data();
    if (layout.fill != u'0') {
        p = std::fill_n(p, pad, QChar(layout.fill));
    }
    if (negative && layout.sign != Picture::Sign::Trailing) {
        *p++ = layout.sign == Picture::Sign::Parentheses ? u'(' : u'-';
    }
    if (layout.fill == u'0') {
        p = std::fill_n(p, pad, QChar(u'0'));
    }
    for (size_t i = 0; i < integer.size(); ++i) {
        if (groups && i > 0 && (integer.size() - i) % 3 == 0) {
            *p++ = u',';
        }
        *p++ = QChar::fromLatin1(integer[i]);
    }
    if (!fraction.empty()) {
        *p++ = u'.';
        for (char c : fraction) {
            *p++ = QChar::fromLatin1(c);
        }
    }
    if (negative && layout.sign != Picture::Sign::Leading) {
        *p++ = layout.sign == Picture::Sign::Parentheses ? u')' : u'-';
    }
    return out;
}

} // namespace

QString Picture::formatInteger(qint64 value) const {
    const quint64 magnitude = value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, magnitude);
    const NumberLayout layout{m_sign, m_fill, m_grouping, m_blankWhenZero, m_width};
    return layOutNumber(layout, value < 0, std::string_view(digits, result.ptr - digits),
                        kZeros.substr(0, m_places));
}

QString Picture::formatDouble(double value) const {
    if (!std::isfinite(value)) {
        value = 0;
    }
    if (m_places == 0) {
        value = std::round(value);
    }
    // Large enough for the largest double in fixed notation with the most places.
    char digits[400];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, std::fabs(value), std::chars_format::fixed, m_places);
    const std::string_view text(digits, result.ptr - digits);
    const size_t point = text.find('.');
    const std::string_view integer = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const NumberLayout layout{m_sign, m_fill, m_grouping, m_blankWhenZero, m_width};
    return layOutNumber(layout, std::signbit(value), integer, fraction);
}

QString Picture::formatDate(qint64 dayNumber) const {
    if (holdsBareYear(dayNumber)) {
        // A bare year, never a day of 1800-1809.
        return QString::number(dayNumber);
    }
    const QDate date = dateFromDayNumber(dayNumber);
    if (!date.isValid()) {
        return {};
    }
    if (m_locale) {
        return m_locale->toString(date, m_text);
    }
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    const std::string_view monthName = kMonthNames[month - 1];
    Buffer out;
    switch (m_code) {
    case 3: // OCT 31,1959
        for (char c : monthName.substr(0, 3)) {
            out.append(QChar::fromLatin1(c).toUpper());
        }
        out.append(u' ');
        appendDigits(out, day, 2);
        out.append(u',');
        appendDigits(out, year, 4);
        return toString(out);
    case 4: // October 31, 1959
        appendLatin1(out, monthName);
        out.append(u' ');
        appendDigits(out, day, 1);
        appendLatin1(out, ", ");
        appendDigits(out, year, 4);
        return toString(out);
    case 7: // 31 OCT 59
    case 8: // 31 OCT 1959
        appendDigits(out, day, 2);
        out.append(u' ');
        for (char c : monthName.substr(0, 3)) {
            out.append(QChar::fromLatin1(c).toUpper());
        }
        out.append(u' ');
        appendDigits(out, m_code == 7 ? year % 100 : year, m_code == 7 ? 2 : 4);
        return toString(out);
    default:
        break;
    }
    const DateForm& form = kDateForms[m_code];
    const bool separated = m_code != 11 && m_code != 12;
    for (size_t i = 0; i < form.order.size(); ++i) {
        if (i > 0 && separated) {
            out.append(QChar(m_separator ? m_separator : u'/'));
        }
        const char field = form.order[i];
        if (field == 'Y') {
            appendDigits(out, form.yearDigits == 2 ? year % 100 : year, form.yearDigits);
        } else {
            appendDigits(out, field == 'M' ? month : day, 2);
        }
    }
    return toString(out);
}

QString Picture::formatTime(qint64 timeValue) const {
    if (timeValue < 1) {
        return {};
    }
    if (m_locale) {
        const qint64 ofDay = (timeValue - 1) % kHundredthsPerDay + 1;
        return m_locale->toString(timeFromTimeValue(ofDay), m_text);
    }
    const TimeParts parts = timePartsFromTimeValue(timeValue);
    const QChar separator(m_separator ? m_separator : u':');
    if (m_code == 9) { // a length: 3:45, and 1:02:03 when there are hours
        Buffer out;
        if (parts.hours > 0) {
            appendDigits(out, parts.hours, 1);
            out.append(separator);
            appendDigits(out, parts.minutes, 2);
        } else {
            appendDigits(out, parts.minutes, 1);
        }
        out.append(separator);
        appendDigits(out, parts.seconds, 2);
        return toString(out);
    }
    const bool clock = m_code == 3 || m_code == 6;
    const bool compact = m_code == 2 || m_code == 5;
    qint64 hours = parts.hours;
    if (clock) {
        hours %= 24;
        hours = hours % 12 == 0 ? 12 : hours % 12;
    }
    Buffer out;
    appendDigits(out, hours, m_zeroPad || compact ? 2 : 1);
    if (!compact) {
        out.append(separator);
    }
    appendDigits(out, parts.minutes, 2);
    if (m_code >= 4) {
        if (!compact) {
            out.append(separator);
        }
        appendDigits(out, parts.seconds, 2);
    }
    if (clock) {
        appendLatin1(out, parts.hours % 24 < 12 ? "AM" : "PM");
    }
    return toString(out);
}

QString Picture::formatPattern(qint64 value) const {
    if (value == 0 && m_blankWhenZero) {
        return {};
    }
    const quint64 magnitude = value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    char digits[24];
    const int count = static_cast<int>(std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits);
    const int places = m_width;
    const int overflow = count > places ? count - places : 0;
    Buffer out;
    int position = 0;
    bool leading = true;
    for (QChar c : m_text) {
        if (c != u'#' && c != u'<') {
            out.append(c);
            continue;
        }
        // Digit of this place, counting the number's digits from the right.
        const int index = position + count - places;
        const char digit = index >= 0 ? digits[index] : '0';
        if (position == 0 && overflow > 0) {
            if (value < 0) {
                out.append(u'-');
            }
            appendLatin1(out, std::string_view(digits, overflow));
            leading = false;
        }
        ++position;
        if (leading && digit == '0' && c == u'<') {
            out.append(u' ');
            continue;
        }
        if (leading && value < 0) {
            out.append(u'-');
        }
        leading = false;
        out.append(QChar::fromLatin1(digit));
    }
    return toString(out);
}

} // namespace tunarium
