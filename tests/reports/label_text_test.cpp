// The label's texts: artists turned for printing, song times, the contents by side, and the
// dotted leaders of binder pages.
#include "reports/binder_pages.h"
#include "reports/label_text.h"

#include <QFont>
#include <QFontMetricsF>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

TEST(LabelText, ArtistsAreTurnedAtTheCommaKeepingAWithOrAndPhraseAtTheEnd) {
    const struct {
        const char* stored;
        const char* printed;
    } cases[] = {
        {"Smith, Anna", "Anna Smith"},
        {"Blue", "Blue"},
        {"Smith,   Anna   ", "Anna Smith"},
        {"Smith, Anna with The Band", "Anna Smith with The Band"},
        {"Smith, Anna and Bob", "Anna Smith and Bob"},
        // The phrase before the comma: turned at the comma alone.
        {"Simon and Garfunkel, The", "The Simon and Garfunkel"},
        {"Brown with Strings, James", "James Brown with Strings"},
        {"Smith,", "Smith"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(turnArtistName(QString::fromUtf8(c.stored)), QString::fromUtf8(c.printed)) << c.stored;
    }
}

TEST(LabelText, SongTimesLoseTheLeadingZeroAndFallBackOnTheFirstInformationField) {
    const auto time = [](int minutes, int seconds) { return qint64(minutes * 60 + seconds) * 100 + 1; };
    const struct {
        qint64 time;
        const char* info;
        const char* suffix;
    } cases[] = {
        {time(4, 5), "", " (4:05)"},
        {time(12, 30), "9:99", " (12:30)"},
        {time(62, 5), "", " (62:05)"}, // an hour-long track keeps its hour in the minutes
        {0, "3:45   ", " (3:45)"},
        {0, "00:00", ""},
        {0, "no time", ""},
        {0, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(labelSongTime(c.time, QString::fromUtf8(c.info)), QString::fromUtf8(c.suffix)) << c.time;
    }
}

TEST(LabelText, ContentsGoBySideSortedByTrackAndNumberedWithTheDelimiter) {
    const QVector<LabelTrack> tracks{
        {u'2', 2, "Four"}, {u'1', 2, "Two"}, {u'2', 1, "Three"}, {u'1', 1, "One"}, {u'0', 7, "Both"},
    };
    const LabelContents c = buildLabelContents(tracks, QString());
    EXPECT_EQ(c.cdCoverText, "  7. Both\r\n  1. One\r\n  2. Two\r\n  1. Three\r\n  2. Four");
    EXPECT_EQ(c.cdInsideText, c.cdCoverText);
    EXPECT_EQ(c.cassetteContentsA, "  7. Both\r\n  1. One\r\n  2. Two");
    EXPECT_EQ(c.cassetteContentsB, "  7. Both\r\n  1. Three\r\n  2. Four");

    // Without a side-0 song, contents B begins with its first song rather than a blank line.
    const LabelContents two = buildLabelContents({{u'1', 1, "A"}, {u'2', 1, "B"}}, QStringLiteral("-"));
    EXPECT_EQ(two.cassetteContentsA, "  1- A");
    EXPECT_EQ(two.cassetteContentsB, "  1- B");
    EXPECT_EQ(trackSeparator(QStringLiteral("   ")), ". ");
}

TEST(BinderText, DottedFieldsAreCutAtTheirWidthAndLeadersAtTheColumn) {
    EXPECT_EQ(dottedField("Abba   ", 8), "Abba....");
    EXPECT_EQ(dottedField("A very long title", 6), "A very");
    EXPECT_EQ(dottedField("", 3), "...");

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(70);
    const QFontMetricsF metrics(font);
    const QString dotted = dottedField("Waterloo", 100);
    for (const double width : {100.0, 600.0, 1500.0}) {
        const QString fitted = fitLeader(dotted, font, width);
        EXPECT_LE(metrics.horizontalAdvance(fitted), width);
        EXPECT_GT(metrics.horizontalAdvance(dotted.left(fitted.size() + 1)), width) << width;
    }
    EXPECT_EQ(fitLeader("ab", font, 10000), "ab");
}

TEST(BinderText, ColoursCycleAfterTheFifteenthAndRangesEndInTextOrder) {
    EXPECT_EQ(binderColour(14), QColor(0x00, 0xFF, 0xFF)); // 0xFFFF00: red in the low byte
    EXPECT_EQ(binderColour(15), QColor(Qt::black));
    EXPECT_EQ(binderColour(7), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(flapColour(7), QColor(0x00, 0x00, 0xFF));
    EXPECT_EQ(flapColour(8), QColor(0x80, 0x00, 0x00));
    EXPECT_FALSE(pastRangeEnd("A10", "B"));
    EXPECT_FALSE(pastRangeEnd("b  ", "B"));
    EXPECT_TRUE(pastRangeEnd("B2", "B"));
}

} // namespace
