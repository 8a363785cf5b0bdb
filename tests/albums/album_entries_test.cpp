// Create album entries: which songs get which album, new album numbers and contents, the step
// size, and cancel.
#include "albums/album_entries.h"
#include "data/database.h"
#include "data/store_sqlite.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class AlbumEntriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.openTable(TableId::Tunarium));
        ASSERT_TRUE(db.openTable(TableId::Album));
    }
    void TearDown() override {
        db.closeTable(TableId::Album);
        db.closeTable(TableId::Tunarium);
    }

    qint64 addSong(const QString& artist, const QString& album, qint64 albumId = 0) {
        SongRecord s;
        s.artist = artist;
        s.title = QStringLiteral("Song %1").arg(++m_songs);
        s.album = album;
        s.albumId = albumId;
        s.id = m_songs;
        s.media = QStringLiteral("LP");
        s.fileNumber = QStringLiteral("F%1").arg(m_songs);
        s.releaseDate = 72687 + m_songs;
        s.categoryId = 3;
        s.notes = QStringLiteral("notes of %1").arg(m_songs);
        EXPECT_TRUE(db.store().insert(s).ok());
        return s.id;
    }

    void addAlbum(qint64 id, const QString& artist, const QString& album) {
        AlbumRecord a;
        a.albumId = id;
        a.artist = artist;
        a.album = album;
        ASSERT_TRUE(db.store().insert(a).ok());
    }

    SongRecord song(qint64 id) {
        SongRecord s;
        EXPECT_TRUE(db.store().get(tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {id}, s).ok());
        return s;
    }

    AlbumRecord album(qint64 id) {
        AlbumRecord a;
        EXPECT_TRUE(db.store().get(tableDef(TableId::Album).keyIndex(u"KeyAlbumID"), {id}, a).ok());
        return a;
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    qint64 m_songs = 0;
};

TEST_F(AlbumEntriesTest, LinksSongsToFoundAlbumsAndMakesTheMissingOnes) {
    addAlbum(3, "Abba", "Arrival");
    addAlbum(7, "Various", "Hits of 1976");
    const qint64 own = addSong("ABBA", "arrival");             // same album, other case
    const qint64 various = addSong("Boney M", "Hits of 1976"); // found under "Various"
    const qint64 fresh1 = addSong("Queen", "A Night at the Opera");
    const qint64 fresh2 = addSong("Queen", "A Night at the Opera");
    const qint64 linked = addSong("Queen", "Jazz", 3); // already linked: left alone
    const qint64 noAlbum = addSong("Queen", "");       // names no album

    AlbumEntriesProcess process(db);
    EXPECT_TRUE(runToEnd(process));

    EXPECT_EQ(song(own).albumId, 3);
    EXPECT_EQ(song(various).albumId, 7);
    // One new album for the two songs, numbered after the highest existing one.
    EXPECT_EQ(song(fresh1).albumId, 8);
    EXPECT_EQ(song(fresh2).albumId, 8);
    EXPECT_EQ(song(linked).albumId, 3);
    EXPECT_EQ(song(noAlbum).albumId, 0);
    EXPECT_EQ(db.store().count(TableId::Album), 3);
    EXPECT_EQ(process.albumsCreated(), 1);
    EXPECT_EQ(process.songsLinked(), 4);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(AlbumEntriesTest, NewAlbumTakesTheFirstSongsFacts) {
    const qint64 id = addSong("Kraftwerk", "Autobahn");
    AlbumEntriesProcess process(db);
    ASSERT_TRUE(runToEnd(process));

    const SongRecord s = song(id);
    ASSERT_EQ(s.albumId, 1); // the first album of an empty table
    const AlbumRecord a = album(1);
    EXPECT_EQ(a.artist, s.artist);
    EXPECT_EQ(a.album, s.album);
    EXPECT_EQ(a.media, s.media);
    EXPECT_EQ(a.fileNumber, s.fileNumber);
    EXPECT_EQ(a.releaseDate, s.releaseDate);
    EXPECT_EQ(a.categoryId, s.categoryId);
    EXPECT_EQ(a.notes, s.notes);
}

TEST_F(AlbumEntriesTest, StepsAThousandSongsAndCancelKeepsWhatWasDone) {
    {
        Transaction tx(db.store());
        for (int i = 0; i < 2500; ++i) {
            addSong(QStringLiteral("Artist %1").arg(i, 4, 10, QChar('0')), QStringLiteral("Album %1").arg(i));
        }
        ASSERT_TRUE(tx.commit().ok());
    }
    AlbumEntriesProcess process(db);
    EXPECT_EQ(process.title(), "Processing Records");
    EXPECT_EQ(process.message(), "Copying...");
    ASSERT_TRUE(process.start());
    EXPECT_TRUE(process.step());
    EXPECT_EQ(process.recordsDone(), 1000);
    EXPECT_EQ(process.percent(), 40);
    EXPECT_EQ(process.percentText(), "40% Completed");
    process.cancel();
    EXPECT_FALSE(process.step());
    EXPECT_EQ(process.state(), Process::State::Cancelled);
    EXPECT_EQ(db.store().count(TableId::Album), 1000);
    // The process closed the tables it opened.
    EXPECT_EQ(db.openCount(TableId::Album), 1);
}

TEST_F(AlbumEntriesTest, EmptySongsTableCompletesAtOnce) {
    AlbumEntriesProcess process(db);
    EXPECT_FALSE(process.start());
    EXPECT_TRUE(process.completed());
    EXPECT_EQ(process.percentText(), "Process Completed");
}

TEST_F(AlbumEntriesTest, FailedWritesAreReportedAndEndTheRun) {
    addSong("Blondie", "Parallel Lines");
    // A trigger refuses the write, as a full disk would: a new album is told under its table, a
    // song written back under the process's view of the songs.
    const struct {
        const char* trigger;
        const char* text;
        qint64 albums; // what was done before the failure stays
    } cases[] = {
        {"BEFORE INSERT ON main.\"Album\"", "An error was experienced when making changes to the Album file.",
         0},
        {"BEFORE UPDATE ON main.\"Tunarium\"",
         "An error was experienced when making changes to the Process:View file.", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.trigger);
        prompter.messages.clear();
        ASSERT_TRUE(db.store()
                        .exec(QStringLiteral(
                                  "CREATE TEMP TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'disk full'); END")
                                  .arg(QLatin1String(c.trigger)))
                        .ok());
        AlbumEntriesProcess process(db);
        EXPECT_TRUE(runToEnd(process));
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_EQ(prompter.messages[0].caption, "Process PUT Error");
        EXPECT_TRUE(prompter.messages[0].text.startsWith(QString::fromLatin1(c.text)))
            << prompter.messages[0].text.toStdString();
        EXPECT_EQ(db.store().count(TableId::Album), c.albums);
        EXPECT_EQ(song(1).albumId, 0);
        ASSERT_TRUE(db.store().exec(QStringLiteral("DROP TRIGGER temp.refuse")).ok());
    }
}

} // namespace

namespace {

// Another copy changes a song after the run has read it: the song is not linked, the run says so
// and ends as failed (the command line's exit status 1), and what it committed before stays.
TEST_F(AlbumEntriesTest, ASongAnotherCopyChangedEndsTheRunAsFailed) {
    for (int i = 0; i < 20; ++i) {
        addSong("Queen", QStringLiteral("Album %1").arg(i));
    }
    AlbumEntriesProcess process(db);
    ASSERT_TRUE(process.start()); // the songs are read
    EXPECT_TRUE(process.step(5));
    {
        SqliteStore other;
        ASSERT_TRUE(other.open(dir.dir()).ok());
        ASSERT_TRUE(other.openTable(TableId::Tunarium).ok());
        SongRecord changed;
        ASSERT_TRUE(other.get(tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {qint64(12)}, changed).ok());
        changed.title = QStringLiteral("Changed elsewhere");
        ASSERT_TRUE(other.update(changed).ok());
    }
    prompter.messages.clear();
    runToEnd(process);
    EXPECT_TRUE(process.stoppedByFailure());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.contains("Changed By Another Station"))
        << prompter.messages[0].text.toStdString();
    EXPECT_EQ(song(12).albumId, 0);
    EXPECT_EQ(song(12).title, "Changed elsewhere");
    EXPECT_NE(song(5).albumId, 0);

    // Nothing changed meanwhile: the run ends well.
    AlbumEntriesProcess again(db);
    EXPECT_TRUE(runToEnd(again));
    EXPECT_FALSE(again.stoppedByFailure());
    EXPECT_NE(song(12).albumId, 0);
}

} // namespace
