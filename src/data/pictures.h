// Pictures: the format strings through which lists, forms, reports, import and export show values
// as text ("format") and read text back into values ("deformat").
#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <optional>

namespace tunarium {

namespace picture_detail {
struct Tokens;
}

// Picture grammar
// ===============
// A picture may begin with "@": "@n3" and "n3" are the same picture. The letter that names the kind
// and the "b" flag are read without regard to case. One trailing "@", which ends a column's picture
// in a list format string, is ignored. Anything else that does not fit the grammar below makes an
// unknown picture: it formats a value as its plain text and deformats text as text.
//
// Text     s [WIDTH]
//   The text cut to WIDTH characters, never padded ("@s50", "@S1000"). Without a width the text is
//   whole. Deformat returns the text, cut to WIDTH.
//
// Number   n [SIGN] [FILL] [WIDTH] [","] ["." PLACES] [TRAIL] [b]
//   SIGN   "-": a negative number shows a leading minus (also the default: a sign is never hidden);
//          "(": a negative number is shown in parentheses.
//   FILL   "_" right-aligns the number in WIDTH characters with blanks, "0" with zeros after the
//          sign, "*" with asterisks. Without a fill the number takes only the characters it needs:
//          "@n3" shows 5 as "5", "@n_3" as "  5", "@n03" as "005".
//   WIDTH  characters of the whole text. A number that needs more is shown in full, never cut or
//          replaced by marks.
//   ","    groups thousands with commas: "@n13," shows 1234567 as "1,234,567". There is no grouping
//          without it: the pictures in use are identifiers, years and counts.
//   PLACES digits after the decimal point ("@N30.9", at most 30). Such a picture reads back a double.
//   TRAIL  "-" puts the minus after the number ("12-"); ")" may close "(".
//   b      zero shows as an empty text ("@n_4b").
//   Deformat reads an optional "+" or "-" (before or after), parentheses, blanks, leading
//   asterisks, commas between digits and one decimal point. An integer picture rounds a fraction
//   half away from zero. Blank text reads 0; anything else, or a number beyond 64 bits, reads 0.
//
// Date     d [0] CODE [SEP] [b]                     value: a day number (see date_time.h)
//   CODE  1 "10/31/59"    2 "10/31/1959"    3 "OCT 31,1959"    4 "October 31, 1959"
//         5 "31/10/59"    6 "31/10/1959"    7 "31 OCT 59"      8 "31 OCT 1959"
//         9 "59/10/31"   10 "1959/10/31"   11 "591031"        12 "19591031"
//        13 "10/59"      14 "10/1959"      15 "59/10"         16 "1959/10"
//        17 the system's short date format                    18 the system's long date format
//   Months and days have two digits in the numeric forms ("01/05/59"); the day in form 4 has no
//   leading zero ("May 1, 1959"). Month names are English in forms 3, 4, 7 and 8, and the
//   system's in 17 and 18.
//   SEP   replaces "/" in the numeric forms and "/", "." or "-" in form 17: "-" hyphen, "." period,
//         "_" blank, "`" or "'" comma ("@d17-", "@D15-" gives "59-10"). Other forms ignore it.
//   "0"   (as in "@d01") is accepted and changes nothing.
//   b     is accepted; a day number of 0 or outside the supported range always shows as an empty
//         text, because it is not a date.
//   A value from 1 to kBareYearLimit is a bare year (date_time.h) and shows as the year under
//   every form: 1975 shows "1975", never a day of 1805.
//   Deformat reads an ISO date ("1959-10-31") under every form, and a number of up to four
//   digits from 1 to kBareYearLimit ("1975", "767") as that bare year. Otherwise it reads numbers in the order of the
//   picture's form and a month named in English or in the system's language anywhere ("31 OCT
//   1959" reads under "@d2" too); day names are skipped.
//   Digits without separators ("591031", "19591031", "0559") are split by the form's order. A
//   missing day (forms 13 to 16) is the 1st. A year of one or two digits is the one that falls
//   from 79 years before this year to 20 years after it (expandTwoDigitYear). Text that names no
//   supported date reads 0, and so does a date whose day number would hold a year (up to 16 March
//   1809).
//
// Time     t [0] CODE [SEP] [b]                     value: a time value (see date_time.h)
//   CODE  1 "17:30"   2 "1730"   3 "5:30PM"   4 "17:30:00"   5 "173000"   6 "5:30:00PM"
//         7 the system's short time format            8 the system's long time format
//         9 a length: "3:45", hours only when there are any ("1:02:03")
//   Hours have no leading zero ("0:03:45") unless "0" is given ("@t04": "00:03:45"); forms 2 and 5
//   always show two hour digits at least. Forms 1, 2, 4 and 5 show durations: hours keep counting
//   past 24 ("25:00:00"); forms 3, 6, 7 and 8 show the time of day (hours modulo 24).
//   SEP   replaces ":" as for dates. Seconds are cut, not rounded.
//   b     is accepted; a value below 1 is "no time" and always shows as an empty text.
//   Forms 4, 5 and 9 hold lengths and read a song length as people write it (readSongLength):
//   "3:45" is 3 minutes 45 seconds, "75:30" a long mix, "1:02:03" and "3:45.20" as written.
//   Otherwise deformat reads hours first: "3:45" is 3 hours 45 minutes, "1:02:03" and "1:02:03.50" (with
//   hundredths) as written. Digits alone: one or two are hours, three or four hours and minutes,
//   five or six hours, minutes and seconds. A trailing "AM"/"PM" ("A"/"P", or the system's texts)
//   makes a clock time of hours 1 to 12. Minutes and seconds must be below 60 and the result at
//   most kMaxTimeValue. Blank or other text reads 0.
//
// Pattern  p TEXT p [b]   or   P TEXT P [b]
//   The closing letter is the same letter in the same case as the opening one, so the other case
//   may appear in TEXT ("pPage <<<#p"). In TEXT, "#" is a digit, "<" a digit shown as a blank
//   while it is a leading zero, and every other character is itself: "p(<<#)pb" shows 5 as
//   "(  5)", "pPage <<<#p" shows 12 as "Page   12". A number with more digits than the pattern has
//   places is shown in full; a negative number shows a minus before its first digit.
//   b     zero shows as an empty text ("p(<)pb").
//   Deformat matches the literal text (blanks and case aside) and reads the digits; blank reads 0.
//
// Deformat returns a qint64 for number, date, time and pattern pictures (a double for numbers with
// places) and a QString for text and unknown pictures.
//
// Values: number, date, time and pattern pictures take integers, doubles (rounded half away from
// zero), bools and numeric text; a QDate is taken as its day number and a QTime as its time value.
// Anything else counts as 0.

// A parsed picture: parse once, then format many values cheaply. Formatting a number, date, time or
// pattern allocates only the result (the system forms d17, d18, t7 and t8 go through QLocale and
// cost more); a text that fits its width is shared, not copied. A Picture does not change after
// parsing, so one may serve several threads.
class Picture {
public:
    enum class Kind { Unknown, Text, Number, Date, Time, Pattern };
    enum class Sign { Leading, Trailing, Parentheses };

    // An unknown picture.
    Picture() = default;
    // Forms 17 and 18 of dates and 7 and 8 of times take their formats from pictureLocale().
    static Picture parse(QStringView picture);
    static Picture parse(QStringView picture, const QLocale& systemLocale);

    Kind kind() const { return m_kind; }
    bool isValid() const { return m_kind != Kind::Unknown; }
    // Number, date, time and pattern pictures.
    bool isNumeric() const;
    bool blankWhenZero() const { return m_blankWhenZero; }
    // Text: most characters kept (0: no limit). Number: the width filled by FILL. Pattern: digit places.
    int width() const { return m_width; }
    int places() const { return m_places; }
    // The form number of a date or time picture, else 0.
    int code() const { return m_code; }

    QString format(const QVariant& value) const;
    QString format(qint64 value) const;
    QString format(const QString& text) const;
    QVariant deformat(QStringView text) const;
    // What an entry reads: the value of the text, or nothing when the text is not blank and does
    // not read under the picture (letters in a number, a date that names no day, a time that is
    // neither a length nor a clock time). Blank text reads as deformat reads it.
    std::optional<QVariant> read(QStringView text) const;
    // How a value of the picture is typed, for an entry's placeholder text and the message that
    // refuses what does not read: "mm/dd/yyyy or yyyy-mm-dd", "m:ss or h:mm:ss", "a whole
    // number". Empty for text and unknown pictures, which take any text.
    QString entryForm() const;

private:
    QString formatInteger(qint64 value) const;
    QString formatDouble(double value) const;
    QString formatDate(qint64 dayNumber) const;
    QString formatTime(qint64 timeValue) const;
    QString formatPattern(qint64 value) const;
    QString cutText(const QString& text) const;

    QVariant deformatNumber(QStringView text) const;
    qint64 deformatDate(QStringView text) const;
    qint64 deformatDateInForm(QStringView text, const picture_detail::Tokens& tokens) const;
    qint64 deformatTime(QStringView text) const;
    qint64 deformatPattern(QStringView text) const;

    static Picture parseWith(QStringView picture, const QLocale* systemLocale);
    bool parseNumber(QStringView rest);
    bool parseDateOrTime(QStringView rest, const QLocale* systemLocale);
    bool parsePattern(QStringView picture);

    Kind m_kind = Kind::Unknown;
    Sign m_sign = Sign::Leading;
    bool m_blankWhenZero = false;
    bool m_grouping = false;
    bool m_zeroPad = false;
    char16_t m_fill = 0;      // number fill character; 0 for none
    char16_t m_separator = 0; // date/time separator replacing the form's own; 0 keeps it
    int m_width = 0;
    int m_places = 0;
    int m_code = 0;
    // Pattern: the text between the delimiters. Forms 17, 18, t7, t8: the system format in use.
    QString m_text;
    std::optional<QLocale> m_locale; // forms 17, 18, t7 and t8 only
};

// The kind letter of a picture, upper-cased: "S" for @s50, "N" for @n3, "D" for @d2, "T" for @t4;
// a null character for a picture too short to have one.
QChar pictureKind(QStringView picture);

// One-off forms of Picture::parse(picture).format(value) and .deformat(text).
QString formatPicture(const QVariant& value, QStringView picture);
QVariant deformatPicture(QStringView text, QStringView picture);

// The locale standing for the system's date and time settings in pictures parsed from now on.
// QLocale::system() until set; tests set a fixed one.
void setPictureLocale(const QLocale& locale);
QLocale pictureLocale();

} // namespace tunarium
