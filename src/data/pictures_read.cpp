// Pictures: reading text back into values, and the reading of number texts.
#include "data/pictures.h"

#include "data/date_time.h"
#include "data/picture_parts.h"

#include <QDateTime>

namespace tunarium {

namespace picture_detail {

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

} // namespace picture_detail

using namespace picture_detail;

namespace {

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

} // namespace

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
    // The ISO form reads under every date picture: its four-digit year first says which is the month.
    if (const qint64 iso = readIsoDate(text)) {
        return iso;
    }
    Tokens tokens;
    if (!tokenize(text, tokens) || tokens.count == 0) {
        return 0;
    }
    if (tokens.count == 1 && tokens.items[0].number && tokens.items[0].length <= 4 &&
        holdsBareYear(tokens.items[0].value)) {
        // A year alone, as a bare year shows under every form ("1959", "767"; "1059" is no
        // October 1959): no form reads a date from fewer than six digits but those of a month.
        return tokens.items[0].value;
    }
    const qint64 read = deformatDateInForm(text, tokens);
    // The first days of 1800-1809 have the numbers that hold years: such a date cannot be held.
    return holdsBareYear(read) ? 0 : read;
}

qint64 Picture::deformatDateInForm(QStringView text, const Tokens& tokens) const {
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
    if (m_code == 4 || m_code == 5 || m_code == 9) {
        // Forms that end in seconds hold lengths: the last part is seconds ("3:45", "1:02:03").
        // A picture with its own separator ("@T9." shows 3.45) reads its separator as the colon.
        QString colons;
        if (m_separator && m_separator != u':') {
            colons = text.trimmed().toString();
            colons.replace(QChar(m_separator), u':');
        }
        if (const qint64 length = readSongLength(colons.isNull() ? text : QStringView(colons))) {
            return length;
        }
    }
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
        const quint64 largest =
            static_cast<quint64>(std::numeric_limits<qint64>::max()) + (negative ? 1 : 0);
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
