// A DJ takes a set to another program and brings one back: Browse › Play Lists, the playlist
// chosen, "Export..." to an M3U8 file with relative paths, then "Import..." of that file and of a
// Rekordbox library written the same way. The new playlists show in the browse and hold the same
// songs in the same order; the summaries say what was made. A saved search goes out as M3U8 from
// its own "Export…" with the songs it finds now, as the command line writes it, and comes back as
// a playlist of those songs.
#include "journey_fixture.h"

#include "catalogue/saved_search.h"
#include "catalogue/songs_browse.h"
#include "data/date_time.h"
#include "data/table_lease.h"
#include "interchange/list_songs.h"
#include "playlists/ui/playlists_browse_window.h"
#include "playlists/ui/saved_searches_panel.h"
#include "support/cli_run.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

using namespace tunarium;

namespace {

class FilePrompter : public RecordingPrompter {
public:
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return file; }
    QString chooseOpenFile(const QString&, const QString&, const QString&) override { return file; }
    QString file;
};

class PlaylistFilesJourney : public test::JourneyTest {
protected:
    Prompter& programPrompter() override { return files; }

    QVector<qint64> songsOf(qint64 playlistId) {
        QVector<SongRecord> songs;
        const TableLease lease(db(), {TableId::Tunarium, TableId::PlaylistDetails});
        EXPECT_TRUE(playlistSongs(db().store(), playlistId, songs).ok());
        QVector<qint64> ids;
        for (const SongRecord& s : songs) {
            ids << s.id;
        }
        return ids;
    }
    QString lastTold() const { return files.messages.isEmpty() ? QString() : files.messages.last().text; }

    FilePrompter files;
    QTemporaryDir folder;
};

TEST_F(PlaylistFilesJourney, APlaylistGoesOutAndComesBackThroughThePlaylistsWindow) {
    QVector<qint64> ids;
    {
        const TableLease lease(db(), {TableId::Tunarium, TableId::PlaylistMaster, TableId::PlaylistDetails});
        const QString music = folder.path() + QStringLiteral("/music");
        for (int i = 0; i < 6; ++i) {
            SongRecord s;
            ASSERT_TRUE(db().store().nextNumber(TableId::Tunarium, s.id).ok());
            s.artist = QStringLiteral("Artist %1").arg(i % 2);
            s.title = QStringLiteral("Track %1").arg(i);
            s.time = timeValueFromHundredths((200 + i) * 100);
            s.filePath = i == 3 ? QString() : music + QStringLiteral("/track %1.mp3").arg(i);
            ASSERT_TRUE(db().store().insert(s).ok());
            ids << s.id;
        }
        Transaction tx(db().store());
        PlaylistRecord made;
        ASSERT_TRUE(addPlaylistOf(db().store(), QStringLiteral("Saturday"), {ids[5], ids[3], ids[0], ids[4]}, made).ok());
        ASSERT_TRUE(tx.commit().ok());
    }

    choose(FrameCommand::BrowsePlayLists);
    auto* browse = waitFor<PlaylistsBrowseWindow>();
    ASSERT_NE(browse, nullptr);
    ASSERT_TRUE(browse->exportButton()->isEnabled());
    ASSERT_TRUE(browse->importButton()->isEnabled());

    // Export as M3U8; Yes to paths relative to the playlist file.
    files.file = folder.path() + QStringLiteral("/music/saturday.m3u8");
    QDir().mkpath(folder.path() + QStringLiteral("/music"));
    files.answers = {kButtonYes};
    browse->exportButton()->click();
    settle();
    EXPECT_EQ(lastTold(), QStringLiteral("4 entries written to %1").arg(files.file));
    QFile written(files.file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("#EXTM3U\n#EXTINF:205,Artist 1 - Track 5\ntrack 5.mp3\n"));

    browse->importButton()->click();
    settle();
    EXPECT_TRUE(lastTold().startsWith(QLatin1String("Playlist 2 \"saturday (2)\" was made with 4 entries")))
        << lastTold().toStdString();
    EXPECT_EQ(songsOf(2), songsOf(1));

    // The same playlist through a Rekordbox library: the song without a file is left out.
    files.file = folder.path() + QStringLiteral("/rekordbox.xml");
    browse->exportButton()->click();
    settle();
    EXPECT_EQ(lastTold(), "5 tracks and 1 playlist written\n1 playlist entry was left out: its song has no file");
    browse->importButton()->click();
    settle();
    EXPECT_TRUE(lastTold().startsWith(QLatin1String("5 tracks read: 5 matched songs of the collection, 0 added")))
        << lastTold().toStdString();
    EXPECT_EQ(songsOf(3), (QVector<qint64>{ids[5], ids[0], ids[4]}));
    EXPECT_EQ(count(TableId::Tunarium), 6);
    EXPECT_EQ(count(TableId::PlaylistMaster), 3);
    EXPECT_EQ(browse->engine().rowCount(), 3) << "the browse shows the playlists made";

    // A saved search of the songs with a 1 in them (Artist 1's), in title order; a song of that
    // artist added after it was saved is among them.
    {
        const TableLease lease(db(), {TableId::SavedSearches});
        SavedSearchRecord saved;
        ASSERT_EQ(SavedSearches(db()).save("Ones", "1", kSongsByTitle, false, saved), SavedSearches::Outcome::Saved);
    }
    {
        const TableLease lease(db(), {TableId::Tunarium});
        SongRecord s;
        ASSERT_TRUE(db().store().nextNumber(TableId::Tunarium, s.id).ok());
        s.artist = "Artist 1";
        s.title = "Track 0 Later";
        s.filePath = folder.path() + QStringLiteral("/music/later.mp3");
        ASSERT_TRUE(db().store().insert(s).ok());
        ids << s.id;
    }
    SavedSearchesPanel* searches = browse->savedSearches();
    searches->refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return searches->engine().rowCount() == 1; }, 5000));
    ASSERT_TRUE(searches->exportButton()->isEnabled());
    files.file = folder.path() + QStringLiteral("/ones.m3u8");
    files.answers = {kButtonNo}; // whole paths
    searches->exportButton()->click();
    settle();
    EXPECT_EQ(lastTold(), QStringLiteral("4 entries written to %1").arg(files.file));
    QFile ones(files.file);
    ASSERT_TRUE(ones.open(QIODevice::ReadOnly));
    const QByteArray fromWindow = ones.readAll();
    EXPECT_TRUE(fromWindow.startsWith(("#EXTM3U\n#EXTINF:-1,Artist 1 - Track 0 Later\n" + folder.path() +
                                       "/music/later.mp3\n#EXTINF:201,Artist 1 - Track 1\n")
                                          .toUtf8()))
        << fromWindow.toStdString();
    browse->importButton()->click();
    settle();
    EXPECT_EQ(songsOf(4), (QVector<qint64>{ids[6], ids[1], ids[3], ids[5]})) << lastTold().toStdString();

    if (!test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    const QString fromCli = folder.path() + QStringLiteral("/ones-cli.m3u8");
    const test::CliRun run =
        test::runCli(dir, {"--dir", dir.dir(), "playlist", "export", "--search", "ONES", "--m3u8", fromCli});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    QFile cli(fromCli);
    ASSERT_TRUE(cli.open(QIODevice::ReadOnly));
    EXPECT_EQ(cli.readAll(), fromWindow);
    EXPECT_EQ(test::runCli(dir, {"--dir", dir.dir(), "playlist", "export", "--search", "None such", "--m3u8", fromCli})
                  .exitCode,
              1);
}

} // namespace
