// The disc-change watch: what it tells as a disc comes and goes, letting go of the drive while
// paused and when the drive is gone, and the unwatched drive.
#include "albums/disc_watch.h"
#include "cd_fakes.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

// Hands the watch a drive that forwards to one fake the test keeps.
class SharedDrive final : public CdDrive {
public:
    explicit SharedDrive(test::FakeDrive& fake) : m_fake(fake) {}
    DriveCondition open() override { return m_fake.open(); }
    DriveCondition condition() override { return m_fake.condition(); }
    const DiscToc& toc() const override { return m_fake.toc(); }
    void close() override { m_fake.close(); }
    QString problem() const override { return m_fake.problem(); }

private:
    test::FakeDrive& m_fake;
};

class DiscWatchTest : public ::testing::Test {
protected:
    std::unique_ptr<DiscWatch> watch(int interval) {
        return std::make_unique<DiscWatch>(
            [this] {
                ++made;
                return std::make_unique<SharedDrive>(fake);
            },
            interval);
    }
    test::FakeDrive fake;
    int made = 0;
};

TEST_F(DiscWatchTest, TellsEachChangeOfTheDiscAndOnlyChanges) {
    fake.discCondition = DriveCondition::NoDisc;
    auto w = watch(150);
    EXPECT_EQ(w->interval(), 150);
    EXPECT_FALSE(w->discReady());
    EXPECT_FALSE(w->reason().isEmpty());
    QSignalSpy changes(w.get(), &DiscWatch::changed);

    const std::pair<DriveCondition, bool> steps[] = {
        {DriveCondition::NoDisc, false},  // nothing changed: nothing told
        {DriveCondition::Ready, true},    // a disc put in
        {DriveCondition::Ready, false},   //
        {DriveCondition::TrayOpen, true}, // the tray opened
        {DriveCondition::Ready, true},    // the disc back
    };
    for (const auto& [condition, told] : steps) {
        const qsizetype before = changes.size();
        fake.discCondition = condition;
        w->look();
        EXPECT_EQ(changes.size() - before, told ? 1 : 0) << int(condition);
        EXPECT_EQ(w->condition(), condition);
        EXPECT_EQ(w->discReady(), condition == DriveCondition::Ready);
        EXPECT_EQ(w->reason().isEmpty(), condition == DriveCondition::Ready);
    }
    // A drive without a disc is let go and taken again, so that a disc put in is read anew;
    // one with a disc is held between looks.
    EXPECT_EQ(fake.opens, fake.closes + 1);
    EXPECT_EQ(made, 1);
}

TEST_F(DiscWatchTest, PauseLetsGoOfTheDriveUntilResumed) {
    auto w = watch(100);
    ASSERT_TRUE(w->discReady());
    const int opens = fake.opens;
    w->pause();
    EXPECT_EQ(fake.closes, opens); // let go
    fake.discCondition = DriveCondition::NoDisc;
    w->look();
    EXPECT_EQ(fake.opens, opens); // not looked at while paused
    EXPECT_TRUE(w->discReady());
    w->resume();
    EXPECT_EQ(fake.opens, opens + 1); // looked at once on resuming
    EXPECT_FALSE(w->discReady());
}

TEST_F(DiscWatchTest, ADriveGoneOrTakenIsMadeAfreshAtTheNextLook) {
    fake.openCondition = DriveCondition::Absent;
    auto w = watch(100);
    EXPECT_EQ(w->condition(), DriveCondition::Absent);
    fake.openCondition = DriveCondition::Busy;
    w->look();
    EXPECT_EQ(w->condition(), DriveCondition::Busy);
    fake.openCondition = DriveCondition::Ready;
    w->look();
    EXPECT_TRUE(w->discReady());
    EXPECT_EQ(made, 3);
}

TEST_F(DiscWatchTest, DoNotCheckNeverTouchesTheDriveAndLeavesReadingOpen) {
    auto w = watch(0);
    w->look();
    EXPECT_FALSE(w->watching());
    EXPECT_TRUE(w->discReady());
    EXPECT_EQ(made, 0);
}

} // namespace
