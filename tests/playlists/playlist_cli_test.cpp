// tunarium-cli playlist as a user runs it: generate, list and show, and what it refuses.
#include "playlists/playlist_fixture.h"
#include "support/cli_run.h"

using namespace tunarium;

namespace {

using test::CliRun;
using test::runCli;

class PlaylistCli : public test::PlaylistTest {
protected:
    void SetUp() override {
        if (!test::cliAvailable()) {
            GTEST_SKIP() << "TUNARIUM_CLI is not set";
        }
        addCategory(1, QStringLiteral("Rock"));
        addSong(1, 1985, 1, 22501);
        addSong(2, 1999, 0, 18001);
        addPlaylist(1, QStringLiteral("Friday"));
        addEntries(1, {2, 1}, {"opener", ""});
        // The command line opens the collection on its own.
        db.closeAll();
        db.store().close();
    }

    CliRun cli(const QStringList& args) {
        return runCli(dir, QStringList{"--dir", dir.dir(), "playlist"} + args);
    }
};

TEST_F(PlaylistCli, ShowAndListPrintTheEntriesAndTheTotalTime) {
    const CliRun show = cli({"show", "1"});
    EXPECT_EQ(show.exitCode, 0) << show.err.toStdString();
    EXPECT_EQ(show.out, "playlist 1: Friday\n"
                        "1\tArtist 2\tTitle 2\t0:03:00\topener\n"
                        "2\tArtist 1\tTitle 1\t0:03:45\t\n"
                        "total time: 0:06:45\n");
    const CliRun list = cli({"list"});
    EXPECT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_EQ(list.out, "1\tFriday\t2\t\n");
}

TEST_F(PlaylistCli, GeneratePrintsTheNewPlaylist) {
    const CliRun run = cli({"generate", "--size", "3", "--category", "rock", "--unique"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // One song of the category, each song once: the playlist holds it once.
    EXPECT_EQ(run.out, "playlist 2: Play List #2\n"
                       "1\tArtist 1\tTitle 1\t0:03:45\t\n"
                       "total time: 0:03:45\n");
    const CliRun years = cli({"generate", "--size", "2", "--from", "1990", "--to", "1999-12-31"});
    EXPECT_EQ(years.exitCode, 0) << years.err.toStdString();
    EXPECT_TRUE(years.out.startsWith("playlist 3: Play List #3\n1\tArtist 2\t"));
}

TEST_F(PlaylistCli, BadValuesAreRefusedWithTheirMessage) {
    struct Case {
        QStringList args;
        int status;
        QString message;
    } cases[] = {
        {{"generate", "--size", "100"}, 2, "The value of Play List Size must be between 0 and 99."},
        {{"generate", "--size", "-1"}, 2, "between 0 and 99"},
        {{"generate", "--size", "5", "--from", "2001-01-01", "--to", "2000-12-31"}, 2, "Ending Release Date"},
        {{"generate", "--size", "5", "--category", "Polka"}, 2, "must be found in the Categories file"},
        {{"generate", "--size", "5", "--weighting", "loud"}, 2, "--weighting is one of"},
        {{"generate", "--size", "5", "--from", "yesterday"}, 2, "--from needs a date"},
        {{"generate"}, 2, "needs --size"},
        {{"show", "12"}, 1, "there is no playlist 12"},
        {{"show", "x"}, 2, "needs a playlist number"},
        {{"list", "--unique"}, 2, "does not know --unique"},
        {{"shuffle"}, 2, "unknown playlist subcommand"},
    };
    for (const Case& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.exitCode, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
    EXPECT_EQ(cli({"list"}).out, "1\tFriday\t2\t\n");
}

} // namespace
