// Create album entries: which songs get which album, new album numbers and contents, the step
// size, and cancel.
#include "albums/album_entries.h"
#include "data/database.h"
#include "data/fold_key.h"
#include "data/table_lease.h"
#include "data/store_sqlite.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

#include <QMap>

#include <algorithm>
#include <random>

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
        qint64 albums; // a range is filed whole or not at all
    } cases[] = {
        {"BEFORE INSERT ON main.\"Album\"", "An error was experienced when making changes to the Album file.",
         0},
        {"BEFORE UPDATE ON main.\"Tunarium\"",
         "An error was experienced when making changes to the Process:View file.", 0},
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

// Another copy changes a song while the run goes on: the run reads each range as it files it, so
// the change stays and the song is filed too.
TEST_F(AlbumEntriesTest, ASongAnotherCopyChangedMeanwhileKeepsTheChangeAndIsFiled) {
    {
        Transaction tx(db.store());
        for (int i = 0; i < 2 * kAlbumEntriesPerStep; ++i) {
            addSong("Queen", QStringLiteral("Album %1").arg(i % 20));
        }
        ASSERT_TRUE(tx.commit().ok());
    }
    const qint64 late = kAlbumEntriesPerStep + 12;
    AlbumEntriesProcess process(db);
    ASSERT_TRUE(process.start());
    EXPECT_TRUE(process.step());
    {
        SqliteStore other;
        ASSERT_TRUE(other.open(dir.dir()).ok());
        ASSERT_TRUE(other.openTable(TableId::Tunarium).ok());
        SongRecord changed;
        ASSERT_TRUE(other.get(tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {late}, changed).ok());
        changed.title = QStringLiteral("Changed elsewhere");
        ASSERT_TRUE(other.update(changed).ok());
    }
    EXPECT_TRUE(runToEnd(process));
    EXPECT_FALSE(process.stoppedByFailure());
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(song(late).title, "Changed elsewhere");
    EXPECT_NE(song(late).albumId, 0);
    EXPECT_EQ(process.songsLinked(), 2 * kAlbumEntriesPerStep);
    EXPECT_EQ(db.store().count(TableId::Album), 20);
}

// The oracle: filing the songs one at a time in record order, by the rule itself, over a
// collection of compilations, case and accent variants, songs already linked, albums already
// there (some under "Various"), over several steps and over the songs of an import alone.
TEST_F(AlbumEntriesTest, FilingMatchesOneSongAtATimeInRecordOrder) {
    const QStringList artists{"Queen", "QUEEN", "Abba", "Café Tacvba", "Cafe Tacvba", "Various", "various",
                              "Boney M", "", "Sade"};
    const QStringList albums{"Greatest Hits", "greatest hits", "Hits of 1976", "Arrival", "", "Jazz",
                             "Café", "Cafe", "Now 12", "Bravo Hits"};
    addAlbum(4, "Various", "Now 12");
    addAlbum(9, "Abba", "Arrival");
    addAlbum(2, "Sade", "Jazz");
    std::mt19937 random(31);
    const int songCount = 3 * kAlbumEntriesPerStep + 517;
    {
        Transaction tx(db.store());
        for (int i = 0; i < songCount; ++i) {
            const qint64 linkedTo = random() % 10 == 0 ? 2 : 0;
            addSong(artists[static_cast<int>(random() % artists.size())],
                    albums[static_cast<int>(random() % albums.size())], linkedTo);
        }
        ASSERT_TRUE(tx.commit().ok());
    }

    const struct {
        const char* name;
        SongSpan span;
    } cases[] = {{"every song", {}}, {"an import's songs", {700, 2 * kAlbumEntriesPerStep + 40}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempCollection copyDir;
        ASSERT_TRUE(db.store().backupTo(copyDir.dir() + QStringLiteral("/tunarium.db")).ok());
        Database copy{prompter, copyDir.dir(), copyDir.configDir() + "/profile.ini"};
        TableLease tables(copy, {TableId::Tunarium, TableId::Album});
        ASSERT_TRUE(tables);

        QVector<SongRecord> songs;
        for (qint64 id = 1; id <= songCount; ++id) {
            SongRecord s;
            ASSERT_TRUE(copy.store().get(tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {id}, s).ok());
            songs << s;
        }
        // Songs are added in record order with rising IDs: the walk below is the record order.
        ASSERT_TRUE(std::is_sorted(songs.cbegin(), songs.cend(),
                                   [](const SongRecord& a, const SongRecord& b) { return a.meta.rec < b.meta.rec; }));
        // The rule, one song after another.
        QMap<QPair<QString, QString>, qint64> known{{{foldKey("Now 12"), foldKey("Various")}, 4},
                                                    {{foldKey("Arrival"), foldKey("Abba")}, 9},
                                                    {{foldKey("Jazz"), foldKey("Sade")}, 2}};
        qint64 highest = 9;
        QMap<qint64, SongRecord> madeFrom;
        QMap<qint64, qint64> expected; // song ID -> album ID
        for (const SongRecord& s : songs) {
            expected[s.id] = s.albumId;
            if (!c.span.holds(s.meta.rec) || s.albumId != 0 || s.album.isEmpty()) {
                continue;
            }
            const QString album = foldKey(s.album);
            qint64 id = known.value({album, foldKey(s.artist)}, known.value({album, foldKey("Various")}, 0));
            if (id == 0) {
                id = ++highest;
                known[{album, foldKey(s.artist)}] = id;
                madeFrom[id] = s;
            }
            expected[s.id] = id;
        }

        AlbumEntriesProcess process(copy, c.span);
        ASSERT_TRUE(runToEnd(process));
        EXPECT_EQ(process.albumsCreated(), madeFrom.size());
        EXPECT_EQ(copy.store().count(TableId::Album), 3 + madeFrom.size());
        for (const SongRecord& s : songs) {
            SongRecord now;
            ASSERT_TRUE(copy.store().get(tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {s.id}, now).ok());
            ASSERT_EQ(now.albumId, expected[s.id]) << s.id << " " << s.artist.toStdString() << " / "
                                                   << s.album.toStdString();
        }
        for (auto made = madeFrom.cbegin(); made != madeFrom.cend(); ++made) {
            AlbumRecord a;
            ASSERT_TRUE(
                copy.store().get(tableDef(TableId::Album).keyIndex(u"KeyAlbumID"), {made.key()}, a).ok());
            const SongRecord& first = made.value();
            EXPECT_EQ(a.artist, first.artist);
            EXPECT_EQ(a.album, first.album);
            EXPECT_EQ(a.fileNumber, first.fileNumber);
            EXPECT_EQ(a.notes, first.notes);
            EXPECT_EQ(a.releaseDate, first.releaseDate);
        }
        // A second run finds nothing left to file.
        AlbumEntriesProcess again(copy, c.span);
        ASSERT_TRUE(runToEnd(again));
        EXPECT_EQ(again.albumsCreated(), 0);
        EXPECT_EQ(again.songsLinked(), 0);
    }
}

} // namespace
