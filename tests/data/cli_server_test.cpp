// tunarium-cli on a collection on the server, beside the same work on a collection file: made by
// server init, filled by an import, and read by the commands that read it, which say the same of
// both. Skipped without a test server.
#include "support/cli_run.h"
#include "support/test_server.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tunarium;

TEST(CliServer, ACollectionOnTheServerReadsAsTheSameCollectionInAFile) {
    SKIP_WITHOUT_TEST_SERVER();
    if (!test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    test::ServerDatabase db;
    ASSERT_TRUE(db.error().isEmpty()) << db.error().toStdString();
    test::TempCollection dir;
    const QStringList server{"--server", db.location()};

    // Nothing to open until init has made the collection; init makes it once.
    test::CliRun run = test::runCli(dir, server + QStringList{"info"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains("server init")) << run.err.toStdString();
    run = test::runCli(dir, server + QStringList{"server", "init"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(db.name())) << run.out.toStdString();
    run = test::runCli(dir, server + QStringList{"server", "init"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains("already holds a collection")) << run.err.toStdString();

    const QString songs = dir.path("../songs.csv");
    QFile file(songs);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Artist,Title,Album,ReleaseDate,BeatsPerMinute\n"
               "Björk,Hyperballad,Post,1995,103\n"
               "bjork,Army of Me,Post,1995,84\n"
               "The Beatles,Help!,Help!,1965-08-06,95\n"
               "Beatles,Yesterday,Help!,1965,97\n"
               "Kraftwerk,Radioactivity,Radio-Activity,1975,120\n"
               "Kraftwerk,Antenna,Radio-Activity,1975,120\n"
               "Ábba,Waterloo,Waterloo,1974,147\n");
    file.close();
    const QStringList local{"--dir", dir.dir()};
    for (const QStringList& where : {local, server}) {
        run = test::runCli(dir, where + QStringList{"import", songs, "--quiet"});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    // Every command that reads the collection says the same of both.
    for (const QStringList& command : {QStringList{"info"}, QStringList{"stats", "--json"}, QStringList{"duplicates"},
                                       QStringList{"check", "--full"}}) {
        SCOPED_TRACE(command.join(' ').toStdString());
        const test::CliRun inFile = test::runCli(dir, local + command);
        const test::CliRun onServer = test::runCli(dir, server + command);
        EXPECT_EQ(inFile.exitCode, 0) << inFile.err.toStdString();
        EXPECT_EQ(onServer.exitCode, inFile.exitCode) << onServer.err.toStdString();
        EXPECT_EQ(onServer.out, inFile.out);
    }
    // The server's collection written to a file and loaded into a second server: the file, the
    // backup and the second collection say what the first says.
    const QString copy = dir.path("../copy.db");
    run = test::runCli(dir, server + QStringList{"server", "copy-to", copy});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("Tunarium\t7")) << run.out.toStdString();
    run = test::runCli(dir, server + QStringList{"server", "copy-to", copy});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains("exists already")) << run.err.toStdString();
    run = test::runCli(dir, server + QStringList{"backup"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains("--to FILE")) << run.err.toStdString();
    run = test::runCli(dir, server + QStringList{"backup", "--to", dir.path("../backup.db")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    test::ServerDatabase second;
    ASSERT_TRUE(second.error().isEmpty());
    const QStringList other{"--server", second.location()};
    run = test::runCli(dir, other + QStringList{"server", "copy-from", copy});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains("server init")) << run.err.toStdString();
    ASSERT_EQ(test::runCli(dir, other + QStringList{"server", "init"}).exitCode, 0);
    run = test::runCli(dir, other + QStringList{"server", "copy-from", copy});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    run = test::runCli(dir, other + QStringList{"server", "copy-from", copy});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains("holds records already")) << run.err.toStdString();
    test::TempCollection restored;
    ASSERT_EQ(test::runCli(restored, {"--dir", restored.dir(), "info"}).exitCode, 0);
    ASSERT_EQ(test::runCli(restored, {"--dir", restored.dir(), "restore", dir.path("../backup.db")}).exitCode, 0);
    for (const QStringList& command : {QStringList{"info"}, QStringList{"stats", "--json"}}) {
        const QString expected = test::runCli(dir, server + command).out;
        EXPECT_EQ(test::runCli(dir, other + command).out, expected);
        EXPECT_EQ(test::runCli(restored, QStringList{"--dir", restored.dir()} + command).out, expected);
    }

    // The address goes to the server alone: nothing was made in the folder the command ran in.
    EXPECT_FALSE(QFile::exists("postgresql:"));
    EXPECT_FALSE(QFile::exists(db.location()));
}
