// The playlist files from tunarium-cli, as a DJ moves a set between programs: a playlist written
// as M3U8 and read back as a new playlist, the collection written as a Rekordbox library and read
// into a new collection; bad usage and a refused file told with exit status 1 or 2.
#include "data/app_paths.h"
#include "data/database.h"
#include "data/date_time.h"
#include "data/records.h"
#include "data/table_lease.h"
#include "interchange/list_songs.h"
#include "support/cli_run.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace tunarium {
namespace {

TEST(PlaylistFilesCli, APlaylistGoesOutAsM3u8AndARekordboxLibraryAndComesBack) {
    if (!test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    test::TempCollection source;
    {
        RecordingPrompter prompter;
        Database db(prompter, source.dir(), source.configDir() + "/profile.ini");
        const TableLease tables(db, {TableId::Tunarium, TableId::PlaylistMaster, TableId::PlaylistDetails});
        QVector<qint64> ids;
        for (const auto& [artist, title, path] :
             {std::tuple{"Orbital", "Halcyon", "/music/orbital/halcyon.flac"}, std::tuple{"Leftfield", "Song of Life", ""},
              std::tuple{"Underworld", "Born Slippy", "/music/underworld/born slippy.mp3"}}) {
            SongRecord s;
            ASSERT_TRUE(db.store().nextNumber(TableId::Tunarium, s.id).ok());
            s.artist = QString::fromLatin1(artist);
            s.title = QString::fromLatin1(title);
            s.filePath = QString::fromLatin1(path);
            s.time = timeValueFromHundredths(30000);
            ASSERT_TRUE(db.store().insert(s).ok());
            ids << s.id;
        }
        Transaction tx(db.store());
        PlaylistRecord made;
        ASSERT_TRUE(addPlaylistOf(db.store(), QStringLiteral("Rave"), {ids[2], ids[1], ids[0]}, made).ok());
        ASSERT_TRUE(tx.commit().ok());
    }
    const QString m3u = source.path("../rave.m3u8");
    const test::CliRun exported = test::runCli(source, {"--dir", source.dir(), "playlist", "export", "1", "--m3u8", m3u});
    EXPECT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, QStringLiteral("3 entries written to %1\n").arg(m3u));
    const test::CliRun imported = test::runCli(source, {"--dir", source.dir(), "playlist", "import", m3u});
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.startsWith(QLatin1String("Playlist 2 \"rave (2)\" was made with 3 entries"))) << imported.out.toStdString();
    EXPECT_EQ(test::sqlRows(collectionFilePath(source.dir()),
                            "SELECT a.PlaylistSeq, a.ID FROM PlaylistDetails a JOIN PlaylistDetails b "
                            "ON a.PlaylistSeq = b.PlaylistSeq AND a.ID = b.ID WHERE a.PlaylistID = 1 AND b.PlaylistID = 2")
                  .size(),
              3);

    const QString xml = source.path("../rekordbox.xml");
    const test::CliRun library =
        test::runCli(source, {"--dir", source.dir(), "export", "--rekordbox", xml, "--playlist", "1", "--playlist", "2"});
    EXPECT_EQ(library.exitCode, 0) << library.err.toStdString();
    EXPECT_EQ(library.out, "2 tracks and 2 playlists written\n2 playlist entries were left out: their songs have no file\n");
    test::TempCollection target;
    const test::CliRun read = test::runCli(target, {"--dir", target.dir(), "import", "--rekordbox", xml});
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(read.out, "2 tracks read: 0 matched songs of the collection, 2 added as new songs\n"
                        "2 playlists made with 4 entries\n");
    EXPECT_EQ(test::sqlRows(collectionFilePath(target.dir()),
                            "SELECT d.PlaylistSeq, t.Title FROM PlaylistDetails d JOIN Tunarium t ON t.ID = d.ID "
                            "WHERE d.PlaylistID = 1 ORDER BY d.PlaylistSeq"),
              (QList<QStringList>{{"1", "Born Slippy"}, {"2", "Halcyon"}}));

    // Bad usage, and a file that is not a library: nothing made.
    EXPECT_EQ(test::runCli(source, {"--dir", source.dir(), "playlist", "export", "1"}).exitCode, 2);
    EXPECT_EQ(test::runCli(source, {"--dir", source.dir(), "playlist", "import"}).exitCode, 2);
    EXPECT_EQ(test::runCli(source, {"--dir", source.dir(), "export", "--rekordbox", xml, "--playlist", "x"}).exitCode, 2);
    EXPECT_EQ(test::runCli(source, {"--dir", source.dir(), "playlist", "export", "9", "--m3u8", m3u}).exitCode, 1);
    const test::CliRun refused = test::runCli(target, {"--dir", target.dir(), "import", "--rekordbox", m3u});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QLatin1String("is not a readable Rekordbox XML file"))) << refused.err.toStdString();
    EXPECT_EQ(test::sqlNumber(collectionFilePath(target.dir()), "SELECT COUNT(*) FROM Tunarium"), 2);
}

} // namespace
} // namespace tunarium
