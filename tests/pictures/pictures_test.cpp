// Pictures: formatting and reading back every kind of picture the program uses.
#include "data/date_time.h"
#include "data/pictures.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <ostream>

// Readable failure messages for texts.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tunarium {
namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);
constexpr qint64 kHalloween1959 = 58015; // 31 October 1959
constexpr qint64 kOctober1959 = 57985;   // 1 October 1959
constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

qint64 hms(qint64 h, int m, int s) {
    return timeValueFromParts({h, m, s, 0});
}

QString fmt(QStringView picture, const QVariant& value, const QLocale& locale = kUs) {
    return Picture::parse(picture, locale).format(value);
}

QVariant defmt(QStringView picture, QStringView text, const QLocale& locale = kUs) {
    return Picture::parse(picture, locale).deformat(text);
}

struct FormatCase {
    const char16_t* picture;
    QVariant value;
    const char16_t* expected;
};

void expectFormats(const std::vector<FormatCase>& cases, const QLocale& locale = kUs) {
    for (const FormatCase& c : cases) {
        EXPECT_EQ(fmt(c.picture, c.value, locale), QString::fromUtf16(c.expected))
            << "picture " << QString::fromUtf16(c.picture).toStdString() << " value "
            << c.value.toString().toStdString();
    }
}

struct ReadCase {
    const char16_t* picture;
    const char16_t* text;
    qint64 expected;
};

void expectReads(const std::vector<ReadCase>& cases, const QLocale& locale = kUs) {
    for (const ReadCase& c : cases) {
        const QVariant value = defmt(c.picture, c.text, locale);
        EXPECT_EQ(value.typeId(), QMetaType::LongLong) << QString::fromUtf16(c.picture).toStdString();
        EXPECT_EQ(value.toLongLong(), c.expected)
            << "picture " << QString::fromUtf16(c.picture).toStdString() << " text '"
            << QString::fromUtf16(c.text).toStdString() << "'";
    }
}

// ---- dates --------------------------------------------------------------------------------------

TEST(DatePictures, TheDateFormatListShowsItsExamples) {
    // Codes as the date-format setting stores them, with the text the list shows for each.
    struct Example {
        const char16_t* code;
        const char16_t* shown;
        qint64 readBack;
    };
    const Example examples[] = {
        {u"d4", u"October 31, 1959", kHalloween1959},
        {u"d3", u"OCT 31,1959", kHalloween1959},
        {u"d1", u"10/31/59", kHalloween1959},
        {u"d2", u"10/31/1959", kHalloween1959},
        {u"d7", u"31 OCT 59", kHalloween1959},
        {u"d8", u"31 OCT 1959", kHalloween1959},
        {u"d5", u"31/10/59", kHalloween1959},
        {u"d6", u"31/10/1959", kHalloween1959},
        {u"d15", u"59/10", kOctober1959},
        {u"d16", u"1959/10", kOctober1959},
        {u"d13", u"10/59", kOctober1959},
        {u"d14", u"10/1959", kOctober1959},
        {u"d17", u"10/31/59", kHalloween1959},
        {u"d18", u"Saturday, October 31, 1959", kHalloween1959},
    };
    for (const Example& e : examples) {
        for (const QString& picture : {QString::fromUtf16(e.code), u'@' + QString::fromUtf16(e.code),
                                       QStringLiteral("@D") + QString::fromUtf16(e.code + 1)}) {
            SCOPED_TRACE(picture.toStdString());
            EXPECT_EQ(fmt(picture, kHalloween1959), QString::fromUtf16(e.shown));
            EXPECT_EQ(defmt(picture, QString::fromUtf16(e.shown)).toLongLong(), e.readBack);
        }
    }
    // "Year Only" keeps the bare year in the date field and shows it as a number.
    EXPECT_EQ(fmt(u"n4b", 1959), u"1959");
    EXPECT_EQ(fmt(u"n4b", 0), u"");
    EXPECT_EQ(defmt(u"n4b", u"1959").toLongLong(), 1959);
}

TEST(DatePictures, OtherFormsSeparatorsAndPadding) {
    const qint64 january5th2005 = dayNumberFromYmd(2005, 1, 5);
    expectFormats({
        {u"@d10", kHalloween1959, u"1959/10/31"},
        {u"@d12", kHalloween1959, u"19591031"},
        {u"@d1", january5th2005, u"01/05/05"},
        {u"@d3", january5th2005, u"JAN 05,2005"},
        {u"@d4", january5th2005, u"January 5, 2005"},
        {u"@d7", january5th2005, u"05 JAN 05"},
        {u"@d2-", kHalloween1959, u"10-31-1959"},
        {u"@D15-", kHalloween1959, u"59-10"},
        {u"@d6.", kHalloween1959, u"31.10.1959"},
        {u"@d2`", kHalloween1959, u"10,31,1959"},
        {u"@d4-", kHalloween1959, u"October 31, 1959"},
        {u"@d17-", kHalloween1959, u"10-31-59"},
        {u"@d17-@", kHalloween1959, u"10-31-59"},
        {u"@d2", QDate(1959, 10, 31), u"10/31/1959"},
        {u"@d2", QString("58015"), u"10/31/1959"},
    });
}

TEST(DatePictures, SystemFormsFollowTheGivenLocale) {
    expectFormats({{u"@d17", kHalloween1959, u"31.10.59"},
                   {u"@d17-", kHalloween1959, u"31-10-59"},
                   {u"@d18", kHalloween1959, u"Samstag, 31. Oktober 1959"}},
                  kGerman);
    expectReads({{u"@d17", u"31.10.59", kHalloween1959},
                 {u"@d17", u"31.10.1959", kHalloween1959},
                 {u"@d18", u"Samstag, 31. Oktober 1959", kHalloween1959},
                 {u"@d17", u"31 Okt 1959", kHalloween1959}},
                kGerman);
}

TEST(DatePictures, PictureLocaleIsInjectable) {
    setPictureLocale(kGerman);
    EXPECT_EQ(formatPicture(kHalloween1959, u"@d17"), u"31.10.59");
    EXPECT_EQ(Picture::parse(u"@d17").format(kHalloween1959), u"31.10.59");
    setPictureLocale(kUs);
    EXPECT_EQ(formatPicture(kHalloween1959, u"@d17"), u"10/31/59");
    EXPECT_EQ(deformatPicture(u"10/31/59", u"@d17").toLongLong(), kHalloween1959);
    setPictureLocale(QLocale::system());
}

TEST(DatePictures, NoDateShowsBlank) {
    expectFormats({
        {u"@d2", 0, u""},
        {u"@d17b", 0, u""},
        {u"@d2", kMin, u""},
        {u"@d2", kMax, u""},
        {u"@d2", kLastDayNumber + 1, u""},
        {u"@d2", kBareYearLimit + 1, u"03/17/1809"},
        {u"@d2", kLastDayNumber, u"12/31/9999"},
        {u"@d2", QString("x"), u""},
    });
}

TEST(DatePictures, ReadLeniently) {
    expectReads({
        {u"@d2", u"31 OCT 1959", kHalloween1959},
        {u"@d2", u"  10/31/1959  ", kHalloween1959},
        {u"@d2", u"Saturday, October 31, 1959", kHalloween1959},
        {u"@d2", u"10311959", kHalloween1959},
        {u"@d6", u"Oct 31 1959", kHalloween1959},
        {u"@d4", u"october 31 1959", kHalloween1959},
        {u"@d4", u"Sept 1, 1959", dayNumberFromYmd(1959, 9, 1)},
        {u"@d3", u"10/31/1959", kHalloween1959},
        {u"@d10", u"1959-10-31", kHalloween1959},
        {u"@d14", u"OCT 1959", kOctober1959},
        {u"@d14", u"101959", kOctober1959},
        {u"@d2", u"03/17/1809", kBareYearLimit + 1},
        {u"@d2", u"12/31/9999", kLastDayNumber},
    });
}

TEST(DatePictures, TextThatIsNoDateReadsZero) {
    expectReads({
        {u"@d2", u"", 0},
        {u"@d2", u"hello", 0},
        {u"@d2", u"hello 10/31/1959", 0},
        {u"@d2", u"10/31", 0},
        {u"@d2", u"2/29/1959", 0},
        {u"@d2", u"13/01/1959", 0},
        {u"@d2", u"12/28/1800", 0},
        {u"@d2", u"12/29/1800", 0}, // day 1 holds the year 1
        {u"@d2", u"03/16/1809", 0},
        {u"@d2", u"1/1/10000", 0},
        {u"@d2", u"Oct Nov 1959", 0},
        {u"@d2", u"1031195", 0},
        {u"@d2", u"99999999999999999999999999", 0},
        {u"@d2", u"1/2/3/4/5/6/7/8/9", 0},
        {u"@d2", u"-10/31/1959-", kHalloween1959},
    });
}

TEST(DatePictures, TwoDigitYearsUseTheWindowAroundThisYear) {
    const int thisYear = QDate::currentDate().year();
    const int soon = (thisYear + 5) % 100;
    const int later = (thisYear + 30) % 100;
    const QString soonText = QStringLiteral("01/01/%1").arg(soon, 2, 10, QChar(u'0'));
    const QString laterText = QStringLiteral("01/01/%1").arg(later, 2, 10, QChar(u'0'));
    EXPECT_EQ(defmt(u"@d1", soonText).toLongLong(), dayNumberFromYmd(thisYear + 5, 1, 1));
    EXPECT_EQ(defmt(u"@d1", laterText).toLongLong(), dayNumberFromYmd(thisYear + 30 - 100, 1, 1));
    // Three or four digits are the year as written.
    EXPECT_EQ(defmt(u"@d1", u"10/31/1959").toLongLong(), kHalloween1959);
}

TEST(DatePictures, EveryFormRoundTrips) {
    // Forms with two-digit years read back only within the year window: they are checked below.
    const std::vector<QStringView> full = {u"@d2",  u"@d3",  u"@d4",  u"@d6",  u"@d8",  u"@d10",
                                           u"@d12", u"@d2-", u"@d6.", u"@d18", u"@d10_"};
    const std::vector<QStringView> monthOnly = {u"@d13", u"@d14", u"@d15", u"@d16"};
    for (const QLocale& locale : {kUs, kGerman}) {
        for (qint64 day = dayNumberFromYmd(1810, 1, 1); day <= kLastDayNumber; day += 9973) {
            const QDate date = dateFromDayNumber(day);
            for (QStringView picture : full) {
                const QString text = fmt(picture, day, locale);
                EXPECT_EQ(defmt(picture, text, locale).toLongLong(), day)
                    << picture.toString().toStdString() << " " << text.toStdString();
            }
            for (QStringView picture : monthOnly) {
                const QString text = fmt(picture, day, locale);
                const int year = date.year();
                if (picture == u"@d13" || picture == u"@d15") {
                    if (year != expandTwoDigitYear(year % 100, QDate::currentDate().year())) {
                        continue;
                    }
                }
                EXPECT_EQ(defmt(picture, text, locale).toLongLong(), dayNumberFromYmd(year, date.month(), 1))
                    << picture.toString().toStdString() << " " << text.toStdString();
            }
        }
    }
    const int thisYear = QDate::currentDate().year();
    for (const char16_t* picture : {u"@d1", u"@d5", u"@d7", u"@d9", u"@d11", u"@d17"}) {
        for (int year : {thisYear - 79, thisYear - 1, thisYear, thisYear + 20}) {
            const qint64 day = dayNumberFromYmd(year, 2, 28);
            EXPECT_EQ(defmt(picture, fmt(picture, day)).toLongLong(), day)
                << QString::fromUtf16(picture).toStdString() << " " << year;
        }
    }
}

// ---- times --------------------------------------------------------------------------------------

TEST(TimePictures, Format) {
    const qint64 halfPastFive = hms(17, 30, 0);
    expectFormats({
        {u"@t4", 22501, u"0:03:45"},
        {u"@t4", 540001, u"1:30:00"},
        {u"@t4", 22501 + 99, u"0:03:45"},
        {u"@t1", 540001, u"1:30"},
        {u"@t2", 540001, u"0130"},
        {u"@t5", 540001, u"013000"},
        {u"@t3", halfPastFive, u"5:30PM"},
        {u"@t6", halfPastFive, u"5:30:00PM"},
        {u"@t3", hms(0, 15, 0), u"12:15AM"},
        {u"@t3", hms(12, 0, 0), u"12:00PM"},
        {u"@t03", hms(9, 5, 0), u"09:05AM"},
        {u"@t04", 22501, u"00:03:45"},
        {u"@t4.", 540001, u"1.30.00"},
        {u"@t7", halfPastFive, u"5:30 PM"},
        {u"@t8", hms(17, 30, 5), u"5:30:05 PM"},
        {u"@t7", hms(41, 30, 0), u"5:30 PM"},
        {u"@t4", QTime(0, 3, 45), u"0:03:45"},
        {u"@t4", 22501.4, u"0:03:45"},
    });
}

TEST(TimePictures, DurationsKeepCountingHours) {
    expectFormats({
        {u"@t4", hms(25, 0, 0), u"25:00:00"},
        {u"@t1", hms(100, 1, 0), u"100:01"},
        {u"@t4", kMaxTimeValue, u"5965:13:56"},
        {u"@t3", hms(25, 0, 0), u"1:00AM"},
        {u"@t4", kMax, u"25620477880152:09:18"},
    });
}

TEST(TimePictures, NoTimeShowsBlank) {
    expectFormats({{u"@t4", 0, u""},
                   {u"@t4b", 0, u""},
                   {u"@t4", -5, u""},
                   {u"@t7", kMin, u""},
                   {u"@t4", QTime(), u""}});
}

TEST(TimePictures, SystemFormsFollowTheGivenLocale) {
    expectFormats({{u"@t7", hms(17, 30, 0), u"17:30"},
                   {u"@t8", hms(17, 30, 5), u"17:30:05"},
                   {u"@t8.", hms(17, 30, 5), u"17.30.05"}},
                  kGerman);
    expectReads({{u"@t7", u"17:30", hms(17, 30, 0)}}, kGerman);
}

TEST(TimePictures, ReadHoursFirstOrAsLengths) {
    expectReads({
        {u"@t1", u"3:45", hms(3, 45, 0)},
        {u"@t4", u"0:03:45", 22501},
        {u"@t4", u"1:30:00", 540001},
        {u"@t1", u"1:30", 540001},
        {u"@t2", u"0130", 540001},
        {u"@t5", u"013000", 540001},
        {u"@t4", u"5", hms(5, 0, 0)},
        {u"@t4", u"173000", hms(17, 30, 0)},
        {u"@t1", u" 2:00 ", 720001},
        {u"@t4", u"1:02:03.5", hms(1, 2, 3) + 50},
        {u"@t4", u"1:02:03.05", hms(1, 2, 3) + 5},
        {u"@t4.", u"1.30.00", 540001},
        {u"@t3", u"5:30PM", hms(17, 30, 0)},
        {u"@t3", u"5:30 p.m.", hms(17, 30, 0)},
        {u"@t3", u"12:15AM", hms(0, 15, 0)},
        {u"@t4", u"5:30 a", hms(5, 30, 0)},
        {u"@t8", u"5:30:05 PM", hms(17, 30, 5)},
        {u"@t4", u"5965:13:56", kMaxTimeValue - 46},
        {u"@t4", u"100:00:00", hms(100, 0, 0)},
    });
}

TEST(TimePictures, TextThatIsNoTimeReadsZero) {
    expectReads({
        {u"@t4", u"", 0},
        {u"@t4", u"abc", 0},
        {u"@t4", u"3:45 xyz", 0},
        {u"@t4", u"1:60", 0},
        {u"@t4", u"1:100", 0},
        {u"@t4", u"1:2:3:4:5", 0},
        {u"@t4", u"1:02:03.123", 0},
        {u"@t3", u"13:00PM", 0},
        {u"@t3", u"0:30AM", 0},
        {u"@t4", u"1234567", 0},
        {u"@t4", u"6000:00:00", 0},
        {u"@t4", u"9999999999:00", 0},
    });
}

TEST(TimePictures, RoundTrip) {
    for (qint64 value = 1; value < 3 * kHundredthsPerDay; value += 7919 * 100) {
        const qint64 wholeSeconds = value - (value - 1) % 100;
        const qint64 wholeMinutes = value - (value - 1) % 6000;
        for (const char16_t* picture : {u"@t4", u"@t04", u"@t5", u"@t4.", u"@t4b"}) {
            EXPECT_EQ(defmt(picture, fmt(picture, value)).toLongLong(), wholeSeconds)
                << QString::fromUtf16(picture).toStdString() << " " << value;
        }
        for (const char16_t* picture : {u"@t1", u"@t2"}) {
            EXPECT_EQ(defmt(picture, fmt(picture, value)).toLongLong(), wholeMinutes)
                << QString::fromUtf16(picture).toStdString() << " " << value;
        }
        const qint64 ofDay = (wholeSeconds - 1) % kHundredthsPerDay + 1;
        for (const char16_t* picture : {u"@t6", u"@t8"}) {
            EXPECT_EQ(defmt(picture, fmt(picture, value)).toLongLong(), ofDay)
                << QString::fromUtf16(picture).toStdString() << " " << value;
        }
    }
}

// ---- numbers ------------------------------------------------------------------------------------

TEST(NumberPictures, Format) {
    expectFormats({
        {u"@n3", 5, u"5"},
        {u"@n3", 0, u"0"},
        {u"@n3b", 0, u""},
        {u"@n2b", 0, u""},
        {u"@n_4b", 128, u" 128"},
        {u"@n_4b", 0, u""},
        {u"@n_4b@", 96, u"  96"},
        {u"@n-13", -42, u"-42"},
        {u"@n_3", 5, u"  5"},
        {u"@n_3", -5, u" -5"},
        {u"@n_5", 12, u"   12"},
        {u"n_2", 3, u" 3"},
        {u"n_3b", 0, u""},
        {u"@n03", 5, u"005"},
        {u"@n05", -5, u"-0005"},
        {u"@n*5", 42, u"***42"},
        {u"@n_3", 12345, u"12345"},
        {u"@n13,", 1234567, u"1,234,567"},
        {u"@n_13,", 1234567, u"    1,234,567"},
        {u"@n13,", -1234, u"-1,234"},
        {u"@n(7)", -42, u"(42)"},
        {u"@n(_7)", -42, u"   (42)"},
        {u"@n5-", -42, u"42-"},
        {u"N3", 57, u"57"},
        {u"@n3", kMin, u"-9223372036854775808"},
        {u"@n3", kMax, u"9223372036854775807"},
        {u"@n3", true, u"1"},
        {u"@n3", QString("42"), u"42"},
        {u"@n3", QString("abc"), u"0"},
        {u"@n3", QVariant(std::numeric_limits<qulonglong>::max()), u"9223372036854775807"},
    });
}

TEST(NumberPictures, FormatDecimalsAndDoubles) {
    expectFormats({
        {u"@N30.9", 1998, u"1998.000000000"},
        {u"@N30.9", 1998.5, u"1998.500000000"},
        {u"@N30.9", QString("1998"), u"1998.000000000"},
        {u"@n8.2", 3.14159, u"3.14"},
        {u"@n_8.2", 3.14159, u"    3.14"},
        {u"@n_8.2", -3.14159, u"   -3.14"},
        {u"@n8.2b", -0.001, u""},
        {u"@n8.2", -0.001, u"0.00"},
        {u"@n3", 2.5, u"3"},
        {u"@n3", -2.5, u"-3"},
        {u"@n3b", 0.4, u""},
        {u"@n13,", 1234567.8, u"1,234,568"},
        {u"@n3", std::numeric_limits<double>::quiet_NaN(), u"0"},
        {u"@n3", 1e20, u"100000000000000000000"},
    });
}

TEST(NumberPictures, Read) {
    expectReads({
        {u"@n_4b", u" 128", 128},
        {u"@n-13", u"-42", -42},
        {u"@n-13", u"42-", -42},
        {u"@n-13", u"(42)", -42},
        {u"@n-13", u"+7", 7},
        {u"@n13,", u"1,234,567", 1234567},
        {u"@n*5", u"***42", 42},
        {u"@n03", u"005", 5},
        {u"@n3", u"3.5", 4},
        {u"@n3", u"-3.5", -4},
        {u"@n3", u".5", 1},
        {u"@n3", u"9223372036854775807", kMax},
        {u"@n3", u"-9223372036854775808", kMin},
        {u"@n(3)", u"(9,223,372,036,854,775,808)", kMin},
    });
    expectReads({
        {u"@n3", u"abc", 0},
        {u"@n3", u"12abc", 0},
        {u"@n3", u"1.2.3", 0},
        {u"@n3", u"--5", 0},
        {u"@n3", u"1 2", 0},
        {u"@n3", u"1.5,0", 0},
        {u"@n3", u"9223372036854775808", 0},
        {u"@n3", u"-9223372036854775809", 0},
        {u"@n3", u"-9223372036854775808.5", 0}, // rounds beyond 64 bits
    });
}

TEST(NumberPictures, DecimalPicturesReadDoubles) {
    const QVariant value = defmt(u"@N30.9", u"1998");
    EXPECT_EQ(value.typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(value.toDouble(), 1998.0);
    EXPECT_DOUBLE_EQ(defmt(u"@N30.9", u"-0.25").toDouble(), -0.25);
    EXPECT_DOUBLE_EQ(defmt(u"@N30.9", u"1,998.125").toDouble(), 1998.125);
    EXPECT_EQ(defmt(u"@N30.9", u"x").typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(defmt(u"@N30.9", u"x").toDouble(), 0.0);
}

TEST(NumberPictures, RoundTrip) {
    const std::vector<qint64> values = {0,    1,        -1,           9,    10,       99,  100, 999,
                                        1000, -1234567, 123456789012, kMax, kMin + 1, kMin};
    for (const char16_t* picture :
         {u"@n3", u"@n_4b", u"@n-13", u"@n03", u"@n*5", u"@n13,", u"@n(7)", u"@n5-", u"@n_13,", u"N3"}) {
        for (qint64 value : values) {
            EXPECT_EQ(defmt(picture, fmt(picture, value)).toLongLong(), value)
                << QString::fromUtf16(picture).toStdString() << " " << value;
        }
    }
}

// ---- patterns -----------------------------------------------------------------------------------

TEST(PatternPictures, Format) {
    expectFormats({
        {u"p(<)pb", 2, u"(2)"},
        {u"@p(<)pb", 0, u""},
        {u"@p(<)p", 0, u"( )"},
        {u"p(<<#)pb", 5, u"(  5)"},
        {u"p(<<#)pb", 123, u"(123)"},
        {u"p(<<#)pb", 1234, u"(1234)"},
        {u"p(<<#)pb", 0, u""},
        {u"p(<<#)p", 0, u"(  0)"},
        {u"p(<<#)p", -5, u"(  -5)"},
        {u"pPage <<<#p", 12, u"Page   12"},
        {u"pPage <<<#p", 12345, u"Page 12345"},
        {u"@P<#-##P", 5, u" 0-05"},
        {u"@P<#-##P", 12345, u"123-45"},
        {u"@P#p#P", 7, u"0p7"},
        {u"@p(<)pB@", 3, u"(3)"},
    });
}

TEST(PatternPictures, Read) {
    expectReads({
        {u"p(<)pb", u"(2)", 2},
        {u"p(<)pb", u"( )", 0},
        {u"p(<<#)pb", u"(  5)", 5},
        {u"p(<<#)pb", u"(5)", 5},
        {u"p(<<#)pb", u"(1234)", 1234},
        {u"p(<<#)pb", u"(  -5)", -5},
        {u"pPage <<<#p", u"Page   12", 12},
        {u"pPage <<<#p", u"page 12", 12},
        {u"@P<#-##P", u" 0-05", 5},
        {u"@P<#-##P", u"123-45", 12345},
    });
    expectReads({
        {u"p(<)pb", u"(x)", 0},
        {u"p(<)pb", u"2", 0},
        {u"p(<)pb", u"(2))", 0},
        {u"pPage <<<#p", u"Pages 12", 0},
        {u"pPage <<<#p", u"Page 99999999999999999999", 0},
        {u"@P<#-##P", u"1-234", 0},
    });
}

TEST(PatternPictures, RoundTrip) {
    for (const char16_t* picture : {u"p(<)pb", u"p(<<#)pb", u"pPage <<<#p", u"@P<#-##P"}) {
        for (qint64 value : {qint64(0), qint64(1), qint64(9), qint64(42), qint64(999), qint64(123456),
                             -qint64(7), kMax, kMin}) {
            EXPECT_EQ(defmt(picture, fmt(picture, value)).toLongLong(), value)
                << QString::fromUtf16(picture).toStdString() << " " << value;
        }
    }
}

// ---- text and unknown pictures ------------------------------------------------------------------

TEST(TextPictures, CutToWidth) {
    expectFormats({
        {u"@s5", QString("Hello World"), u"Hello"},
        {u"@s50", QString("Hello"), u"Hello"},
        {u"s3", QString("Hello"), u"Hel"},
        {u"@s", QString("Hello World"), u"Hello World"},
        {u"@s5@", QString("Hello World"), u"Hello"},
        {u"@s5", 1234567, u"12345"},
        {u"@s2", QString::fromUtf16(u"a\U0001F600"), u"a"},
        {u"@s3", QString::fromUtf16(u"a\U0001F600"), u"a\U0001F600"},
    });
    const QVariant read = defmt(u"@s5", u"Hello World");
    EXPECT_EQ(read.typeId(), QMetaType::QString);
    EXPECT_EQ(read.toString(), u"Hello");
    EXPECT_EQ(defmt(u"@S1000", u"").toString(), u"");
}

TEST(TextPictures, ShareTheValueWhenItFits) {
    const QString text = QString::fromLatin1("Artist");
    const QString shown = Picture::parse(u"@s50").format(text);
    EXPECT_TRUE(shown.isSharedWith(text));
}

TEST(UnknownPictures, ShowAndReadPlainText) {
    for (const char16_t* picture :
         {u"", u"@", u"@x5", u"@s5x", u"@s5b", u"@n5z", u"@n.", u"@n5.40", u"@d19", u"@d0", u"@d", u"@d2x",
          u"@t10", u"@t0", u"@p<#", u"@pABCp", u"@p<#pz", u"@n99999999", u"@k###"}) {
        const Picture parsed = Picture::parse(picture);
        EXPECT_FALSE(parsed.isValid()) << QString::fromUtf16(picture).toStdString();
        EXPECT_EQ(parsed.format(42), u"42");
        EXPECT_EQ(parsed.format(QVariant(QString("abc"))), u"abc");
        const QVariant read = parsed.deformat(u"abc");
        EXPECT_EQ(read.typeId(), QMetaType::QString);
        EXPECT_EQ(read.toString(), u"abc");
    }
}

// ---- one reading for every entry ----------------------------------------------------------------

TEST(DatePictures, ABareYearIsAYearUnderEveryFormAndReadsBack) {
    for (const QLocale& locale : {kUs, kGerman}) {
        for (int code = 1; code <= 18; ++code) {
            for (const QString& picture : {QStringLiteral("@d%1").arg(code), QStringLiteral("@d%1-b").arg(code)}) {
                const Picture p = Picture::parse(picture, locale);
                ASSERT_TRUE(p.isValid()) << picture.toStdString();
                for (qint64 year : {qint64(1), qint64(1959), qint64(2001), kBareYearLimit}) {
                    EXPECT_EQ(p.format(year), QString::number(year)) << picture.toStdString();
                }
                EXPECT_NE(p.format(kBareYearLimit + 1), QString::number(kBareYearLimit + 1)) << picture.toStdString();
                for (qint64 year : {qint64(1), qint64(767), qint64(1959), qint64(2001), qint64(1059), kBareYearLimit}) {
                    EXPECT_EQ(p.deformat(p.format(year)).toLongLong(), year) << picture.toStdString();
                }
                // The ISO form reads under every picture, whatever its order.
                EXPECT_EQ(p.deformat(u"1959-10-31").toLongLong(), kHalloween1959) << picture.toStdString();
                EXPECT_EQ(p.deformat(u" 1999-5-1 ").toLongLong(), dayNumberFromYmd(1999, 5, 1));
                EXPECT_EQ(p.deformat(u"1999-02-30").toLongLong(), 0);
            }
        }
    }
}

TEST(TimePictures, LengthFormsReadTheLastPartAsSeconds) {
    expectReads({
        {u"@t4", u"3:39", hms(0, 3, 39)},
        {u"@t9", u"3:39", hms(0, 3, 39)},
        {u"@t5", u"03:39", hms(0, 3, 39)},
        {u"@t9", u"75:30", hms(1, 15, 30)},
        {u"@t9", u"1:02:03", hms(1, 2, 3)},
        {u"@t9", u"3:56.20", hms(0, 3, 56) + 20},
        {u"@t9", u"3:56.2", hms(0, 3, 56) + 20},
        {u"@t4", u"2:30:00", hms(2, 30, 0)},
        {u"@t1", u"3:39", hms(3, 39, 0)}, // a clock form keeps hours first
        {u"@t9", u"3:60", 0},
        {u"@t9", u"1:60:00", 0},
        {u"@t9", u"abc", 0},
        // A form with its own separator reads it where the colon would stand.
        {u"@t9.", u"0.45", hms(0, 0, 45)},
        {u"@t9.", u"1.02.03", hms(1, 2, 3)},
        {u"@t4_", u"3 39", hms(0, 3, 39)},
    });
    expectFormats({
        {u"@t9", hms(0, 3, 39), u"3:39"},
        {u"@t9", hms(0, 0, 5), u"0:05"},
        {u"@t9", hms(0, 59, 59) + 99, u"59:59"},
        {u"@t9", hms(1, 2, 3), u"1:02:03"},
        {u"@t9", hms(25, 0, 0), u"25:00:00"},
        {u"@t9", 0, u""},
    });
    for (qint64 value = 1; value < 3 * kHundredthsPerDay; value += 7919 * 37) {
        const qint64 wholeSeconds = value - (value - 1) % 100;
        EXPECT_EQ(defmt(u"@t9", fmt(u"@t9", value)).toLongLong(), wholeSeconds) << value;
    }
}

TEST(EntryReading, RefusesWhatDoesNotReadAndNamesTheForm) {
    struct Case {
        const char16_t* picture;
        const char16_t* text;
        std::optional<qint64> expected; // nothing: refused
    };
    const std::vector<Case> cases = {
        {u"@n3", u"abc", std::nullopt},
        {u"@n3", u"12x", std::nullopt},
        {u"@n3", u" 120 ", 120},
        {u"@n3", u"", 0},
        {u"@n3", u"0", 0},
        {u"@t9", u"abc", std::nullopt},
        {u"@t9", u"3:39", hms(0, 3, 39)},
        {u"@t9", u"0:00", 1},
        {u"@t9", u"   ", 0},
        {u"@d17", u"abc", std::nullopt},
        {u"@d17", u"31/31/1999", std::nullopt},
        {u"@d17", u"1999-05-01", dayNumberFromYmd(1999, 5, 1)},
        {u"@d17", u"1975", 1975},
        {u"@d17", u"", 0},
        {u"p(<<#)p", u"(  0)", 0},
        {u"p(<<#)p", u"x", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<QVariant> read = Picture::parse(c.picture, kUs).read(c.text);
        const std::string what =
            QString::fromUtf16(c.picture).toStdString() + " '" + QString::fromUtf16(c.text).toStdString() + "'";
        ASSERT_EQ(read.has_value(), c.expected.has_value()) << what;
        if (read) {
            EXPECT_EQ(read->toLongLong(), *c.expected) << what;
        }
    }
    struct Form {
        const char16_t* picture;
        const char16_t* form;
    };
    for (const Form& f : {Form{u"@d2", u"mm/dd/yyyy or yyyy-mm-dd"}, Form{u"@d6.", u"dd.mm.yyyy or yyyy-mm-dd"},
                          Form{u"@d10-", u"yyyy-mm-dd"}, Form{u"@d4", u"Month d, yyyy or yyyy-mm-dd"},
                          Form{u"@d17", u"mm/dd/yy or yyyy-mm-dd"}, Form{u"@t9", u"m:ss or h:mm:ss"},
                          Form{u"@t4", u"m:ss or h:mm:ss"}, Form{u"@n3", u"a whole number"}, Form{u"@s20", u""}}) {
        EXPECT_EQ(Picture::parse(f.picture, kUs).entryForm(), QString::fromUtf16(f.form))
            << QString::fromUtf16(f.picture).toStdString();
    }
    EXPECT_EQ(Picture::parse(u"@d17", kGerman).entryForm(), u"dd.mm.yy or yyyy-mm-dd");
}

} // namespace
} // namespace tunarium
