// Pictures: parsing a picture once, formatting values through it and reading text back.
#include "data/pictures.h"

#include "data/date_time.h"

#include <QDateTime>
#include <QMutex>
#include <QVarLengthArray>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace tunarium {

namespace {

constexpr int kMaxWidth = 65535;
constexpr int kMaxPlaces = 30;
constexpr std::string_view kZeros = "000000000000000000000000000000";
static_assert(kZeros.size() == kMaxPlaces);

const std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};
const std::array<const char*, 7> kDayNames = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                              "Friday", "Saturday", "Sunday"};

// The order of the fields in date forms 1 to 16 (Y year, M month, D day) and the year's digits.
struct DateForm {
    std::string_view order;
    int yearDigits;
};
const std::array<DateForm, 17> kDateForms = {{{"", 0},
                                              {"MDY", 2},
                                              {"MDY", 4},
                                              {"MDY", 4},
                                              {"MDY", 4},
                                              {"DMY", 2},
                                              {"DMY", 4},
                                              {"DMY", 2},
                                              {"DMY", 4},
                                              {"YMD", 2},
                                              {"YMD", 4},
                                              {"YMD", 2},
                                              {"YMD", 4},
                                              {"MY", 2},
                                              {"MY", 4},
                                              {"YM", 2},
                                              {"YM", 4}}};

using Buffer = QVarLengthArray<QChar, 64>;

void appendLatin1(Buffer& out, std::string_view text) {
    for (char c : text) {
        out.append(QChar::fromLatin1(c));
    }
}

void appendDigits(Buffer& out, qint64 value, int minDigits) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    const int count = static_cast<int>(result.ptr - digits);
    for (int i = count; i < minDigits; ++i) {
        out.append(u'0');
    }
    appendLatin1(out, std::string_view(digits, count));
}

QString toString(const Buffer& buffer) {
    return QString(buffer.constData(), buffer.size());
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Reads a run of digits at pos as a non-negative int; false when there is none or it exceeds max.
bool readInt(QStringView text, qsizetype& pos, int max, int& value) {
    const qsizetype start = pos;
    qint64 result = 0;
    while (pos < text.size() && isAsciiDigit(text[pos])) {
        result = result * 10 + (text[pos].unicode() - u'0');
        if (result > max) {
            return false;
        }
        ++pos;
    }
    value = static_cast<int>(result);
    return pos > start;
}

qint64 roundToInt64(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    const double rounded = std::round(value);
    if (rounded >= 9223372036854775807.0) {
        return std::numeric_limits<qint64>::max();
    }
    if (rounded <= -9223372036854775808.0) {
        return std::numeric_limits<qint64>::min();
    }
    return static_cast<qint64>(rounded);
}

// ---- reading numbers ----------------------------------------------------------------------------

// A number text reduced to its parts: sign, integer digits and fraction digits (ASCII).
struct NumberText {
    bool negative = false;
    QVarLengthArray<char, 40> integer;
    QVarLengthArray<char, 40> fraction;
};

// Strips the sign forms a number may carry; false when the text is not a number.
bool splitNumber(QStringView text, NumberText& number) {
    text = text.trimmed();
    while (!text.isEmpty() && text.front() == u'*') {
        text = text.mid(1).trimmed();
    }
    if (text.size() >= 2 && text.front() == u'(' && text.back() == u')') {
        number.negative = true;
        text = text.mid(1, text.size() - 2).trimmed();
    }
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        number.negative = number.negative != (text.front() == u'-');
        text = text.mid(1).trimmed();
    } else if (!text.isEmpty() && (text.back() == u'-' || text.back() == u'+')) {
        number.negative = number.negative != (text.back() == u'-');
        text = text.chopped(1).trimmed();
    }
    bool point = false;
    for (QChar c : text) {
        if (isAsciiDigit(c)) {
            (point ? number.fraction : number.integer).append(static_cast<char>(c.unicode()));
        } else if (c == u'.' && !point) {
            point = true;
        } else if (c != u',' || point) {
            return false;
        }
    }
    return !number.integer.isEmpty() || !number.fraction.isEmpty();
}

// Integer value of a number text, rounded half away from zero; false when it does not fit 64 bits.
bool numberToInt64(const NumberText& number, qint64& value) {
    quint64 magnitude = 0;
    for (char c : number.integer) {
        const quint64 digit = static_cast<quint64>(c - '0');
        if (magnitude > (std::numeric_limits<quint64>::max() - digit) / 10) {
            return false;
        }
        magnitude = magnitude * 10 + digit;
    }
    // A negative number reaches one further: -9223372036854775808 fits.
    const quint64 largest =
        static_cast<quint64>(std::numeric_limits<qint64>::max()) + (number.negative ? 1 : 0);
    if (!number.fraction.isEmpty() && number.fraction.front() >= '5' && magnitude <= largest) {
        ++magnitude;
    }
    if (magnitude > largest) {
        return false;
    }
    value = number.negative ? static_cast<qint64>(0 - magnitude) : static_cast<qint64>(magnitude);
    return true;
}

double numberToDouble(const NumberText& number) {
    QVarLengthArray<char, 84> text;
    text.append('0');
    text.append(number.integer.constData(), number.integer.size());
    text.append('.');
    text.append(number.fraction.constData(), number.fraction.size());
    text.append('0');
    double value = 0;
    const auto result = std::from_chars(text.constData(), text.constData() + text.size(), value);
    if (result.ec != std::errc()) {
        return 0;
    }
    return number.negative ? -value : value;
}

// The value of a numeric text for number, date, time and pattern pictures; 0 when it is none.
qint64 int64FromText(QStringView text) {
    NumberText number;
    qint64 value = 0;
    return splitNumber(text, number) && numberToInt64(number, value) ? value : 0;
}

// ---- words and tokens of date and time texts ----------------------------------------------------

struct Token {
    qsizetype start = 0;
    qsizetype length = 0;
    bool number = false;
    qint64 value = 0; // numbers of at most 18 digits
};

struct Tokens {
    std::array<Token, 8> items;
    int count = 0;
};

// Splits text into runs of digits and runs of letters; false when there are too many runs.
bool tokenize(QStringView text, Tokens& tokens) {
    qsizetype i = 0;
    while (i < text.size()) {
        const bool digit = isAsciiDigit(text[i]);
        if (!digit && !text[i].isLetter()) {
            ++i;
            continue;
        }
        if (tokens.count == static_cast<int>(tokens.items.size())) {
            return false;
        }
        Token& token = tokens.items[tokens.count++];
        token.start = i;
        token.number = digit;
        while (i < text.size() && (digit ? isAsciiDigit(text[i]) : text[i].isLetter())) {
            if (digit && i - token.start < 18) {
                token.value = token.value * 10 + (text[i].unicode() - u'0');
            }
            ++i;
        }
        token.length = i - token.start;
    }
    return true;
}

// A word names an item when it is the whole name or at least its first three letters.
bool wordNames(QStringView word, QStringView name) {
    if (word.size() < 3 && word.size() != name.size()) {
        return false;
    }
    return name.startsWith(word, Qt::CaseInsensitive);
}

bool wordNames(QStringView word, const char* name) {
    const QLatin1StringView latin1(name);
    if (word.size() < 3 && word.size() != latin1.size()) {
        return false;
    }
    return latin1.startsWith(word, Qt::CaseInsensitive);
}

// Month 1..12 named by word, in English or in the locale's language; 0 when none.
int monthOfWord(QStringView word, const std::optional<QLocale>& locale) {
    for (int month = 1; month <= 12; ++month) {
        if (wordNames(word, kMonthNames[month - 1])) {
            return month;
        }
    }
    if (!locale) {
        return 0;
    }
    for (int month = 1; month <= 12; ++month) {
        for (QLocale::FormatType type : {QLocale::LongFormat, QLocale::ShortFormat}) {
            if (wordNames(word, locale->monthName(month, type)) ||
                wordNames(word, locale->standaloneMonthName(month, type))) {
                return month;
            }
        }
    }
    return 0;
}

bool isDayName(QStringView word, const std::optional<QLocale>& locale) {
    for (int day = 1; day <= 7; ++day) {
        if (wordNames(word, kDayNames[day - 1]) ||
            (locale && (wordNames(word, locale->dayName(day, QLocale::LongFormat)) ||
                        wordNames(word, locale->dayName(day, QLocale::ShortFormat))))) {
            return true;
        }
    }
    return false;
}

// Field order ("DMY", "MDY" ...) of a Qt date format; weekday names ("ddd", "dddd") are not fields.
std::string localeDateOrder(QStringView format) {
    std::string order;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c) {
            ++run;
        }
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted) {
            const char field = c == u'd' && run <= 2 ? 'D' : c == u'M' ? 'M' : c == u'y' ? 'Y' : 0;
            if (field && order.find(field) == std::string::npos) {
                order.push_back(field);
            }
        }
        i += run;
    }
    return order.size() == 3 ? order : std::string("MDY");
}

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
    const int lastCode = m_kind == Kind::Date ? 18 : 8;
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
    if ((date && m_code >= 17) || (!date && m_code >= 7)) {
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

// ---- reading ------------------------------------------------------------------------------------

QVariant Picture::deformat(QStringView text) const {
    switch (m_kind) {
    case Kind::Unknown:
        return text.toString();
    case Kind::Text:
        return cutText(text.toString());
    case Kind::Number:
        return deformatNumber(text);
    case Kind::Date:
        return deformatDate(text);
    case Kind::Time:
        return deformatTime(text);
    case Kind::Pattern:
        return deformatPattern(text);
    }
    return {};
}

QVariant Picture::deformatNumber(QStringView text) const {
    NumberText number;
    const bool ok = splitNumber(text, number);
    if (m_places > 0) {
        return ok ? numberToDouble(number) : 0.0;
    }
    qint64 value = 0;
    return ok && numberToInt64(number, value) ? value : qint64(0);
}

qint64 Picture::deformatDate(QStringView text) const {
    Tokens tokens;
    if (!tokenize(text, tokens) || tokens.count == 0) {
        return 0;
    }
    std::string order = m_locale ? localeDateOrder(m_text) : std::string(kDateForms[m_code].order);
    int month = 0;
    QVarLengthArray<const Token*, 8> numbers;
    for (int i = 0; i < tokens.count; ++i) {
        const Token& token = tokens.items[i];
        if (token.number) {
            numbers.append(&token);
            continue;
        }
        const QStringView word = text.mid(token.start, token.length);
        const int named = monthOfWord(word, m_locale);
        if (named && !month) {
            month = named;
            order.erase(order.find('M'), 1);
        } else if (named || !isDayName(word, m_locale)) {
            return 0;
        }
    }
    // Each field's value and its count of digits as written.
    std::array<qint64, 3> values{};
    std::array<qsizetype, 3> lengths{};
    if (numbers.size() == static_cast<qsizetype>(order.size())) {
        for (size_t i = 0; i < order.size(); ++i) {
            values[i] = numbers[i]->value;
            lengths[i] = numbers[i]->length;
        }
    } else if (numbers.size() == 1 && order.size() >= 2) {
        // Digits without separators: months and days take two digits, the year the rest.
        const qsizetype yearDigits = numbers[0]->length - 2 * static_cast<qsizetype>(order.size() - 1);
        if (yearDigits != 2 && yearDigits != 4) {
            return 0;
        }
        const QStringView digits = text.mid(numbers[0]->start, numbers[0]->length);
        qsizetype pos = 0;
        for (size_t i = 0; i < order.size(); ++i) {
            lengths[i] = order[i] == 'Y' ? yearDigits : 2;
            values[i] = digits.mid(pos, lengths[i]).toLongLong();
            pos += lengths[i];
        }
    } else {
        return 0;
    }
    int day = 1;
    int year = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (lengths[i] > 4) {
            return 0;
        }
        const int value = static_cast<int>(values[i]);
        if (order[i] == 'Y') {
            year = lengths[i] <= 2 ? expandTwoDigitYear(value, QDate::currentDate().year()) : value;
        } else if (order[i] == 'M') {
            month = value;
        } else {
            day = value;
        }
    }
    return dayNumberFromYmd(year, month, day);
}

namespace {

enum class Meridiem { None, Am, Pm, Invalid };

// Reads the letters of a time text: nothing, or a morning or afternoon mark.
Meridiem meridiemOf(QStringView text, const Tokens& tokens, const std::optional<QLocale>& locale) {
    QString letters;
    for (int i = 0; i < tokens.count; ++i) {
        if (!tokens.items[i].number) {
            letters += text.mid(tokens.items[i].start, tokens.items[i].length);
        }
    }
    if (letters.isEmpty()) {
        return Meridiem::None;
    }
    auto is = [&](QStringView mark) {
        QString compact;
        for (QChar c : mark) {
            if (c.isLetter()) {
                compact.append(c);
            }
        }
        return !compact.isEmpty() && letters.compare(compact, Qt::CaseInsensitive) == 0;
    };
    if (is(u"a") || is(u"am") || (locale && is(locale->amText()))) {
        return Meridiem::Am;
    }
    if (is(u"p") || is(u"pm") || (locale && is(locale->pmText()))) {
        return Meridiem::Pm;
    }
    return Meridiem::Invalid;
}

// Splits the numbers of a time text into parts; false when they do not make a time.
bool timePartsOf(const Tokens& tokens, TimeParts& parts) {
    QVarLengthArray<const Token*, 8> numbers;
    for (int i = 0; i < tokens.count; ++i) {
        if (tokens.items[i].number) {
            if (tokens.items[i].length > 9) {
                return false;
            }
            numbers.append(&tokens.items[i]);
        }
    }
    if (numbers.isEmpty() || numbers.size() > 4) {
        return false;
    }
    if (numbers.size() == 1) {
        const qint64 value = numbers[0]->value;
        switch (numbers[0]->length) {
        case 1:
        case 2:
            parts.hours = value;
            return true;
        case 3:
        case 4:
            parts.hours = value / 100;
            parts.minutes = static_cast<int>(value % 100);
            return true;
        case 5:
        case 6:
            parts.hours = value / 10000;
            parts.minutes = static_cast<int>(value / 100 % 100);
            parts.seconds = static_cast<int>(value % 100);
            return true;
        default:
            return false;
        }
    }
    parts.hours = numbers[0]->value;
    for (qsizetype i = 1; i < numbers.size(); ++i) {
        if (numbers[i]->length > 2) {
            return false;
        }
    }
    parts.minutes = static_cast<int>(numbers[1]->value);
    if (numbers.size() >= 3) {
        parts.seconds = static_cast<int>(numbers[2]->value);
    }
    if (numbers.size() == 4) {
        // A fraction of a second: "5" is five tenths.
        parts.hundredths = static_cast<int>(numbers[3]->value * (numbers[3]->length == 1 ? 10 : 1));
    }
    return true;
}

} // namespace

qint64 Picture::deformatTime(QStringView text) const {
    Tokens tokens;
    if (!tokenize(text, tokens) || tokens.count == 0) {
        return 0;
    }
    TimeParts parts;
    const Meridiem meridiem = meridiemOf(text, tokens, m_locale);
    if (meridiem == Meridiem::Invalid || !timePartsOf(tokens, parts)) {
        return 0;
    }
    if (meridiem != Meridiem::None) {
        if (parts.hours < 1 || parts.hours > 12) {
            return 0;
        }
        parts.hours = parts.hours % 12 + (meridiem == Meridiem::Pm ? 12 : 0);
    }
    return timeValueFromParts(parts);
}

qint64 Picture::deformatPattern(QStringView text) const {
    // Blanks carry no meaning: leading places show as blanks and texts arrive trimmed or not.
    Buffer compact;
    for (QChar c : text) {
        if (!c.isSpace()) {
            compact.append(c);
        }
    }
    if (compact.isEmpty()) {
        return 0;
    }
    qsizetype pos = 0;
    quint64 magnitude = 0;
    bool negative = false;
    bool firstRun = true;
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        const QChar c = m_text[i];
        if (c.isSpace()) {
            continue;
        }
        if (c != u'#' && c != u'<') {
            if (pos >= compact.size() || compact[pos].toCaseFolded() != c.toCaseFolded()) {
                return 0;
            }
            ++pos;
            continue;
        }
        // A run of places: the first run also takes a sign and any extra leading digits.
        int places = 0;
        while (i < m_text.size() && (m_text[i] == u'#' || m_text[i] == u'<' || m_text[i].isSpace())) {
            places += m_text[i].isSpace() ? 0 : 1;
            ++i;
        }
        --i;
        if (firstRun && pos < compact.size() && compact[pos] == u'-') {
            negative = true;
            ++pos;
        }
        // A negative number reaches one further: -9223372036854775808 fits.
        const quint64 largest = static_cast<quint64>(std::numeric_limits<qint64>::max()) + (negative ? 1 : 0);
        for (int taken = 0;
             pos < compact.size() && isAsciiDigit(compact[pos]) && (firstRun || taken < places);
             ++taken, ++pos) {
            const quint64 digit = compact[pos].unicode() - u'0';
            if (magnitude > (largest - digit) / 10) {
                return 0;
            }
            magnitude = magnitude * 10 + digit;
        }
        firstRun = false;
    }
    if (pos != compact.size()) {
        return 0;
    }
    return negative ? static_cast<qint64>(0 - magnitude) : static_cast<qint64>(magnitude);
}

} // namespace tunarium
