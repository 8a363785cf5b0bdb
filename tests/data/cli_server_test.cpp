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
    // The address goes to the server alone: nothing was made in the folder the command ran in.
    EXPECT_FALSE(QFile::exists("postgresql:"));
    EXPECT_FALSE(QFile::exists(db.location()));
}
