// tunarium-cli cd identify as a user runs it: a table-of-contents file named on the command line or
// in TUNARIUM_CD_TOC, a drive that is not there, a bad table, bad usage, and a collection directory
// whose file is no collection.
#include "support/cli_run.h"

#include "cd_fakes.h"

#include <gtest/gtest.h>

namespace tunarium {
namespace {

using test::CliRun;
using test::runCli;

class CdCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::cliAvailable()) {
            GTEST_SKIP() << "TUNARIUM_CLI is not set";
        }
        ASSERT_TRUE(test::writeFile(toc, "1 2 33892 150 15544\n"));
    }
    void TearDown() override { qunsetenv("TUNARIUM_CD_TOC"); }

    test::TempCollection dir;
    QString toc = dir.path("../disc.toc");
};

const char* const kTwoTrackDisc = "tracks: 2\n"
                                  "track 1 start: 0:02\n"
                                  "track 1 length: 3:25\n"
                                  "track 2 start: 3:27\n"
                                  "track 2 length: 4:04\n"
                                  "disc length: 7:29\n"
                                  "cd identifier:  2449012050124401\n"
                                  "cddb number: 0b01c102\n"
                                  "musicbrainz disc id: 5WDBlEEBFuSweSiev4RhZa8VMuw-\n";

TEST_F(CdCli, PrintsWhatTheReaderFindsOnALine) {
    const CliRun run = runCli(dir, {"--dir", dir.dir(), "cd", "identify", "--toc", toc});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, kTwoTrackDisc);

    qputenv("TUNARIUM_CD_TOC", toc.toLocal8Bit());
    const CliRun fromEnvironment = runCli(dir, {"--dir", dir.dir(), "cd", "identify"});
    EXPECT_EQ(fromEnvironment.exitCode, 0) << fromEnvironment.err.toStdString();
    EXPECT_EQ(fromEnvironment.out, kTwoTrackDisc);
}

TEST_F(CdCli, FailuresGiveTheReadersMessageAndExitStatusOne) {
    ASSERT_TRUE(test::writeFile(dir.path("../bad.toc"), "1 2 33892 15544 150\n"));
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"--toc", dir.path("../none.toc")}, "Error: CD player not ready."},
        {{"--toc=" + dir.path("../bad.toc")}, "out of order or overlap"},
        {{"--device", "/dev/no-such-cd-drive"},
         "Error: CD player not available.  Ensure that no other program"},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli(dir, QStringList{"--dir", dir.dir(), "cd", "identify"} + c.args);
        EXPECT_EQ(run.exitCode, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST_F(CdCli, BadUsageExitsWithTwo) {
    const QStringList cases[] = {
        {"cd"},
        {"cd", "play"},
        {"cd", "identify", "--toc"},
        {"cd", "identify", "--toc="},
        {"cd", "identify", "--toc", toc, "--device", "/dev/sr0"},
        {"cd", "identify", "--speed", "4"},
    };
    for (const QStringList& args : cases) {
        const CliRun run = runCli(dir, QStringList{"--dir", dir.dir()} + args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
}

// The disc is looked up in the collection of --dir: a file there that is no collection is told,
// and the command fails, rather than say the disc is in none.
TEST_F(CdCli, AFileThatIsNoCollectionFailsTheLookUpAfterTheDiscsLines) {
    ASSERT_TRUE(test::writeFile(dir.path("tunarium.db"), "these are somebody's notes\n"));
    const CliRun run = runCli(dir, {"--dir", dir.dir(), "cd", "identify", "--toc", toc});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, kTwoTrackDisc);
    EXPECT_FALSE(run.err.isEmpty());
}

} // namespace
} // namespace tunarium
