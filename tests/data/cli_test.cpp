// The command line as a user runs it: tunarium-cli on a fresh directory, bad usage, a bad file.
#include "support/cli_run.h"

#include <QFile>
#include <gtest/gtest.h>

using tunarium::test::CliRun;
using tunarium::test::runCli;

TEST(Cli, InfoListsTheTenTablesOfANewCollection) {
    if (qEnvironmentVariable("TUNARIUM_CLI").isEmpty()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    tunarium::test::TempCollection dir;
    const CliRun run = runCli(dir, {"--dir", dir.path("new"), "info"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], "AddWizard\tTNRAdWiz\t1\t0");
    EXPECT_EQ(lines[7], "Tunarium\ttnrdata\t6\t0");
    EXPECT_EQ(lines[9], "PlaylistMaster\ttnrplist\t1\t0");
}

TEST(Cli, BadUsageAndBadFilesGiveTheirExitStatus) {
    if (qEnvironmentVariable("TUNARIUM_CLI").isEmpty()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    tunarium::test::TempCollection dir;
    struct Case {
        QStringList args;
        int exitCode;
    };
    QFile notADir(dir.path("plain-file"));
    ASSERT_TRUE(notADir.open(QIODevice::WriteOnly));
    notADir.close();
    QFile garbage(dir.path("tunarium.db"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("this is not a collection, it is a shopping list");
    garbage.close();
    const Case cases[] = {
        {{}, 2},
        {{"--dir"}, 2},
        {{"--dir", dir.dir(), "nonsense"}, 2},
        {{"--dir", dir.dir(), "info", "extra"}, 2},
        {{"--bogus", "info"}, 2},
        {{"--dir", dir.dir(), "info"}, 1},
        {{"--dir", dir.path("plain-file"), "info"}, 1},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(dir, c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << c.args.join(' ').toStdString();
    }
}
