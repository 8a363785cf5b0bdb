// tunarium-cli duplicates on a small collection: every kind of group, and what it refuses.
#include "duplicate_fixture.h"
#include "support/cli_run.h"

using namespace tunarium;

namespace {

class DuplicateCli : public test::DuplicateTest {
protected:
    void SetUp() override {
        if (!test::cliAvailable()) {
            GTEST_SKIP() << "TUNARIUM_CLI is not set";
        }
        addSong(1, "Abba", "Dancing Queen", 23101, 1, 1, 2);
        addSong(2, "ABBA", "Dancing Queen (Remastered 2011)", 23501, 2, 1, 5);
        addSong(3, "Abba", "Dancing Queen (Live)", 0, 2, 1, 6);
        addSong(4, "Queen", "Bohemian Rhapsody", 35501, 2, 0, 5);
        addAlbum(1, "12 34500", "a30d7b0c");
        addAlbum(2, "", "A30D7B0C ", "/music/arrival.wav");
        addAlbum(3, "", "", "/music/arrival.wav");
        // The command line opens the collection on its own.
        db.closeAll();
        db.store().close();
    }
    test::CliRun cli(const QStringList& args) {
        return test::runCli(dir, QStringList{"--dir", dir.dir(), "duplicates"} + args);
    }
};

TEST_F(DuplicateCli, ListsEveryKindOfGroup) {
    const test::CliRun run = cli({"--quiet"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "Songs with the same artist and title: 1 group\n"
                       "1\t1\tAbba\tDancing Queen\t\tAlbum 1\tF000001\t1\t2\t3:51\n"
                       "1\t2\tABBA\tDancing Queen (Remastered 2011)\t\tAlbum 2\tF000002\t1\t5\t3:55\n"
                       "Songs at the same place on a carrier: 1 group\n"
                       "1\t2\tABBA\tDancing Queen (Remastered 2011)\t\tAlbum 2\tF000002\t1\t5\t3:55\n"
                       "1\t4\tQueen\tBohemian Rhapsody\t\tAlbum 2\tF000002\t0\t5\t5:55\n"
                       "Albums with the same CD identifier: 0 groups\n"
                       "Albums with the same disc ID: 1 group\n"
                       "1\t1\tArtist 1\tAlbum 1\tF000001\ta30d7b0c\n"
                       "1\t2\tArtist 2\tAlbum 2\tF000002\ta30d7b0c\n"
                       "Albums with the same sound file: 1 group\n"
                       "1\t2\tArtist 2\tAlbum 2\tF000002\t/music/arrival.wav\n"
                       "1\t3\tArtist 3\tAlbum 3\tF000003\t/music/arrival.wav\n");
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    // Without --quiet the progress goes to standard error; the result is the same.
    const test::CliRun shown = cli({});
    EXPECT_EQ(shown.out, run.out);
    EXPECT_TRUE(shown.err.contains("Find Duplicates")) << shown.err.toStdString();
}

TEST_F(DuplicateCli, RefusesArgumentsAndAMissingCollection) {
    const test::CliRun extra = cli({"songs"});
    EXPECT_EQ(extra.exitCode, 2);
    EXPECT_TRUE(extra.err.contains("duplicates takes no arguments")) << extra.err.toStdString();
    const test::CliRun unknown = cli({"--merge"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("duplicates does not know --merge")) << unknown.err.toStdString();
    const test::CliRun missing = test::runCli(dir, {"--dir", dir.path("nowhere"), "duplicates"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.isEmpty());
}

} // namespace
