// Pictures: any picture text and any value or text go through without harm, and what a picture
// shows reads back as far as the picture promises it:
//   text      reads back as shown, cut to the width, never half a character;
//   numbers   whole numbers read back exactly; with places, the shown text is stable;
//   dates     forms with four-digit years read back the day; two-digit years when the year lies in
//             the window the reader expands them to; month forms the first of the month;
//   times     the durations read back cut to the minute or second the form shows (the forms
//             without separators only below 100 hours, as their digits are split in pairs);
//             clock forms read back the time of day;
//   patterns  read back the number where the reader can tell the places apart (patternReadsBack);
//   system forms (d17, d18, t7, t8)  the shown text is stable.
//
// Input: the picture on the first line, then a text to read; the last bytes of the input also
// give a number and choose the system locale.
#include "data/date_time.h"
#include "data/pictures.h"
#include "fuzz_support.h"

#include <QDate>
#include <QLocale>

#include <cmath>
#include <cstring>

using namespace tunarium;
using namespace tunarium::fuzz;

namespace {

const QLocale& systemLocale(uint8_t choice) {
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                      QLocale(QLocale::German, QLocale::Germany)};
    return locales[choice % 3];
}

QString describe(const QString& picture, const QString& shownText, const QVariant& value) {
    return picture + QStringLiteral(" | ") + shownText + QStringLiteral(" | ") + value.toString();
}

bool yearInWindow(int year) {
    return year >= 0 && expandTwoDigitYear(year % 100, QDate::currentDate().year()) == year;
}

// The value a date picture reads back from what it shows for `dayNumber`; -1 when the picture only
// promises to show the same text again, -2 when it promises nothing.
qint64 expectedDate(const Picture& p, qint64 dayNumber) {
    // A value that holds a bare year shows as that year under every form, and reads back as it.
    if (holdsBareYear(dayNumber)) {
        return dayNumber;
    }
    const QDate date = dateFromDayNumber(dayNumber);
    const int code = p.code();
    const bool twoDigitYear =
        code == 1 || code == 5 || code == 7 || code == 9 || code == 11 || code == 13 || code == 15;
    if (code >= 17 || (twoDigitYear && !yearInWindow(date.year()))) {
        return -1;
    }
    if (code >= 13) {
        // The forms without a day read back the month's first day; in the months up to March 1809
        // that day's number is one a bare year holds, so no date of them reads back.
        const qint64 first = dayNumberFromYmd(date.year(), date.month(), 1);
        return holdsBareYear(first) ? -2 : first;
    }
    return dayNumber;
}

// The value a time picture reads back from what it shows for `timeValue`: -1 when the picture only
// promises to show the same text again, -2 when it promises nothing (the forms without separators
// split their digits in pairs, so they cannot show 100 hours or more in a way that reads back).
qint64 expectedTime(const Picture& p, qint64 timeValue) {
    const int code = p.code();
    TimeParts parts = timePartsFromTimeValue(timeValue);
    if (code >= 7) {
        return -1;
    }
    if ((code == 2 || code == 5) && parts.hours >= 100) {
        return -2;
    }
    if (code == 3 || code == 6) {
        parts.hours %= 24;
    }
    if (code == 1 || code == 2 || code == 3) {
        parts.seconds = 0;
    }
    parts.hundredths = 0;
    return timeValueFromParts(parts);
}

// Whether a pattern reads back every number it shows. The reader drops blanks and lets only its
// first run of places take a sign and extra digits, so it cannot when a literal digit follows the
// first run, nor when the first run may show only blanks (all "<") and other runs follow: the
// minus then stands in a later run, and a literal "-" after the blanks reads as a sign.
bool patternReadsBack(const QString& picture) {
    const QString body = picture.mid(picture.startsWith(u'@') ? 2 : 1);
    const auto isPlace = [](QChar c) { return c == u'#' || c == u'<'; };
    qsizetype i = 0;
    while (i < body.size() && !isPlace(body[i])) {
        ++i;
    }
    bool showsDigit = false;
    while (i < body.size() && (isPlace(body[i]) || body[i].isSpace())) {
        showsDigit = showsDigit || body[i] == u'#';
        ++i;
    }
    if (i < body.size() && body[i] >= u'0' && body[i] <= u'9') {
        return false;
    }
    for (; i < body.size(); ++i) {
        if (isPlace(body[i]) && !showsDigit) {
            return false;
        }
    }
    return true;
}

void checkNumber(const Picture& p, const QString& picture, qint64 value) {
    const QString text = p.format(value);
    const QVariant back = p.deformat(text);
    if (p.places() == 0) {
        check(back.typeId() == QMetaType::LongLong, "a whole-number picture reads a qint64",
              describe(picture, text, back));
        check(back.toLongLong() == value, "a whole number reads back", describe(picture, text, value));
    } else {
        check(back.typeId() == QMetaType::Double, "a number with places reads a double",
              describe(picture, text, back));
        // Whole numbers beyond 2^53 have no double of their own.
        constexpr qint64 kExactInDouble = qint64(1) << 53;
        check(value < -kExactInDouble || value > kExactInDouble || p.format(back) == text,
              "a number with places shows the same text again", describe(picture, text, back));
    }
}

void checkDouble(const Picture& p, const QString& picture, double value) {
    // A whole-number picture reads a number beyond 64 bits as 0.
    if (p.places() == 0 && !(std::fabs(value) < 9.2e18)) {
        return;
    }
    const QString text = p.format(QVariant(value));
    const QVariant back = p.deformat(text);
    check(p.format(back) == text, "what a number picture shows reads back to the same text",
          describe(picture, text, back));
}

void checkDate(const Picture& p, const QString& picture, qint64 dayNumber) {
    const QString text = p.format(dayNumber);
    if (!dateFromDayNumber(dayNumber).isValid()) {
        check(text.isEmpty(), "what is not a date shows as an empty text",
              describe(picture, text, dayNumber));
        return;
    }
    const qint64 back = p.deformat(text).toLongLong();
    const qint64 expected = expectedDate(p, dayNumber);
    if (expected >= 0) {
        check(back == expected, "a date reads back", describe(picture, text, dayNumber));
    } else if (expected == -1) {
        check(p.format(back) == text, "a date shows the same text again", describe(picture, text, back));
    }
}

void checkTime(const Picture& p, const QString& picture, qint64 timeValue) {
    const QString text = p.format(timeValue);
    if (timeValue < 1) {
        check(text.isEmpty(), "no time shows as an empty text", describe(picture, text, timeValue));
        return;
    }
    const qint64 back = p.deformat(text).toLongLong();
    const qint64 expected = expectedTime(p, timeValue);
    if (expected >= 0) {
        check(back == expected, "a time reads back", describe(picture, text, timeValue));
    } else if (expected == -1) {
        check(p.format(back) == text, "a time shows the same text again", describe(picture, text, back));
    }
}

void checkPattern(const Picture& p, const QString& picture, qint64 value) {
    const QString text = p.format(value);
    if (!patternReadsBack(picture)) {
        return;
    }
    check(p.deformat(text).toLongLong() == value, "a pattern reads back its number",
          describe(picture, text, value));
}

void checkText(const Picture& p, const QString& picture, const QString& value) {
    const QString text = p.format(value);
    check(value.startsWith(text), "a text picture shows the start of the text",
          describe(picture, text, value));
    if (p.width() > 0) {
        check(text.size() <= p.width(), "a text is cut to its width", describe(picture, text, value));
        check(text.size() == qMin<qsizetype>(value.size(), p.width()) ||
                  (text.size() == p.width() - 1 && value[text.size()].isHighSurrogate()),
              "a text is cut only where the width ends", describe(picture, text, value));
    } else {
        check(text == value, "a text without width is whole", describe(picture, text, value));
    }
    check(text.isEmpty() || !text.back().isHighSurrogate() || value.size() == text.size(),
          "a cut text keeps no half character", describe(picture, text, value));
    check(p.deformat(text).toString() == text, "a text reads back as shown", describe(picture, text, value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = textOf(data, size);
    const qsizetype lineEnd = input.indexOf(u'\n');
    const QString picture = input.left(lineEnd < 0 ? input.size() : lineEnd).left(64);
    const QString rest = lineEnd < 0 ? QString() : input.mid(lineEnd + 1);
    qint64 number = 0;
    if (size >= 8) {
        std::memcpy(&number, data + size - 8, sizeof number);
    }
    double real = 0;
    std::memcpy(&real, &number, sizeof real);
    const QLocale& locale = systemLocale(size > 0 ? data[size - 1] : 0);

    const Picture p = Picture::parse(picture, locale);
    // Any text reads as something, and any value shows as something.
    const QVariant read = p.deformat(rest);
    const bool textKind = p.kind() == Picture::Kind::Text || p.kind() == Picture::Kind::Unknown;
    const bool places = p.kind() == Picture::Kind::Number && p.places() > 0;
    check(read.typeId() == (textKind ? QMetaType::QString
                            : places ? QMetaType::Double
                                     : QMetaType::LongLong),
          "deformat returns the picture's kind of value", describe(picture, rest, read));
    for (const QVariant& value : {QVariant(rest), QVariant(number), QVariant(real), read}) {
        (void)p.format(value);
    }

    switch (p.kind()) {
    case Picture::Kind::Unknown:
        check(p.format(QVariant(rest)) == rest && p.deformat(rest).toString() == rest,
              "an unknown picture shows and reads plain text", picture);
        break;
    case Picture::Kind::Text:
        checkText(p, picture, rest);
        break;
    case Picture::Kind::Number:
        checkNumber(p, picture, number);
        if (!places) {
            checkNumber(p, picture, read.toLongLong());
        }
        checkDouble(p, picture, real);
        checkDouble(p, picture, read.toDouble());
        break;
    case Picture::Kind::Date:
        checkDate(p, picture, number % (kLastDayNumber + 2));
        checkDate(p, picture, read.toLongLong());
        break;
    case Picture::Kind::Time:
        checkTime(p, picture, number % (kMaxTimeValue + 2));
        checkTime(p, picture, read.toLongLong());
        break;
    case Picture::Kind::Pattern:
        checkPattern(p, picture, number);
        checkPattern(p, picture, read.toLongLong());
        break;
    }
    return 0;
}
