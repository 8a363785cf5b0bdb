// Reading drive replies as times and frames, the CDDB number's playing time, and track times as
// minutes and seconds.
#include "albums/cd_times.h"

#include <gtest/gtest.h>

namespace tunarium {
namespace {

TEST(CdTimes, ParseTrackTimeRoundsOnlyFrame99) {
    const struct {
        const char* reply;
        qint64 time;
    } cases[] = {
        {"03:45:00", 22501},
        {"03:45:74", 22501},    // frames are dropped
        {"03:45:99", 22601},    // "99" is a whole second more
        {"03:59:99", 24001},    // ... which rolls into the next minute
        {"59:59:99", 360001},   // ... and into the hour
        {"61:07:10", 366701},   // 60 minutes or more give an hour
        {"99:59:99", 600001},   // 100 minutes: 1:40:00
        {"03:45:00:12", 22501}, // only the first eight characters count
        {"Error:276", 1},       // an error reply holds no time: 0:00:00
        {"", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseTrackTime(QString::fromLatin1(c.reply)), c.time) << c.reply;
    }
}

TEST(CdTimes, FramesFromMsf) {
    EXPECT_EQ(framesFromMsf(u"00:02:00"), 150);
    EXPECT_EQ(framesFromMsf(u"59:21:32"), 59 * 4500 + 21 * 75 + 32);
}

TEST(CdTimes, CddbNumberStoresThePlayingTimeAsATimeValue) {
    qint64 total = 777;
    EXPECT_EQ(computeCDDBNumber({}, total), "");
    EXPECT_EQ(total, 777);

    // One track at 0:02 whose reported length stops one frame short of the lead-out at 3:08:59
    // (14159 frames): 188 - 2 = 186 seconds, which is 3:06 and must show as 3:06, not 3:05.
    EXPECT_EQ(computeCDDBNumber({{150, 14008}}, total), "0200ba01");
    EXPECT_EQ(total, 18601);
    EXPECT_EQ(formatMinutesSeconds(total), " 3:06");
}

TEST(CdTimes, FormatMinutesSeconds) {
    EXPECT_EQ(formatMinutesSeconds(0), "     ");
    EXPECT_EQ(formatMinutesSeconds(1), " 0:00");
    EXPECT_EQ(formatMinutesSeconds(22501), " 3:45");
    EXPECT_EQ(formatMinutesSeconds(60001), "10:00");
    EXPECT_EQ(formatMinutesSeconds(366701), "61:07");
}

} // namespace
} // namespace tunarium
