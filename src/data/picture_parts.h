// Parts shared by the pictures' source files: the tables of month names and date forms, the
// buffer a formatted value is built in, and the reading of number texts. Not part of the pictures'
// interface.
#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace tunarium::picture_detail {

inline constexpr int kMaxWidth = 65535;
inline constexpr int kMaxPlaces = 30;
inline constexpr std::string_view kZeros = "000000000000000000000000000000";
static_assert(kZeros.size() == kMaxPlaces);

inline constexpr std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                            "May",       "June",     "July",     "August",
                                                            "September", "October",  "November", "December"};
inline constexpr std::array<const char*, 7> kDayNames = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                         "Friday", "Saturday", "Sunday"};

// The order of the fields in date forms 1 to 16 (Y year, M month, D day) and the year's digits.
struct DateForm {
    std::string_view order;
    int yearDigits;
};
inline constexpr std::array<DateForm, 17> kDateForms = {{{"", 0},
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

inline void appendLatin1(Buffer& out, std::string_view text) {
    for (char c : text) {
        out.append(QChar::fromLatin1(c));
    }
}

inline void appendDigits(Buffer& out, qint64 value, int minDigits) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    const int count = static_cast<int>(result.ptr - digits);
    for (int i = count; i < minDigits; ++i) {
        out.append(u'0');
    }
    appendLatin1(out, std::string_view(digits, count));
}

inline QString toString(const Buffer& buffer) {
    return QString(buffer.constData(), buffer.size());
}

inline bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Reads a run of digits at pos as a non-negative int; false when there is none or it exceeds max.
inline bool readInt(QStringView text, qsizetype& pos, int max, int& value) {
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

inline qint64 roundToInt64(double value) {
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

// A text split into runs of digits and runs of letters, as dates and times are read.
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

// A number text reduced to its parts: sign, integer digits and fraction digits (ASCII).
struct NumberText {
    bool negative = false;
    QVarLengthArray<char, 40> integer;
    QVarLengthArray<char, 40> fraction;
};

// Strips the sign forms a number may carry; false when the text is not a number.
bool splitNumber(QStringView text, NumberText& number);
// Integer value of a number text, rounded half away from zero; false when it does not fit 64 bits.
bool numberToInt64(const NumberText& number, qint64& value);
double numberToDouble(const NumberText& number);
// The value of a numeric text for number, date, time and pattern pictures; 0 when it is none.
qint64 int64FromText(QStringView text);

} // namespace tunarium::picture_detail
