// Housekeeping: the year-only conversion (which values change, its steps, cancel and the backup
// before it) and the album link test (own album, "Various", none, the album looked up last, songs
// without a number, paging through the album key), and both on the command line.
#include "albums/housekeeping.h"
#include "data/app_paths.h"
#include "data/date_time.h"
#include "data/settings.h"
#include "data/store_fault_vfs.h"
#include "data/store_sqlite.h"
#include "support/cli_run.h"
#include "support/temp_collection.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class HousekeepingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(db.openTables({TableId::Tunarium, TableId::Album})); }
    void TearDown() override { db.closeTables({TableId::Tunarium, TableId::Album}); }

    qint64 addSong(const QString& artist, const QString& album, qint64 releaseDate = 0, qint64 albumId = 0,
                   std::optional<qint64> id = std::nullopt) {
        SongRecord s;
        s.artist = artist;
        s.title = QStringLiteral("Song %1").arg(++m_songs);
        s.album = album;
        s.albumId = albumId;
        s.id = id.value_or(m_songs);
        s.releaseDate = releaseDate;
        EXPECT_TRUE(db.store().insert(s).ok());
        return s.meta.rec;
    }
    qint64 addAlbum(qint64 id, const QString& artist, const QString& album, qint64 releaseDate = 0) {
        AlbumRecord a;
        a.albumId = id;
        a.artist = artist;
        a.album = album;
        a.releaseDate = releaseDate;
        EXPECT_TRUE(db.store().insert(a).ok());
        return a.meta.rec;
    }
    Row record(TableId table, qint64 rec) {
        Row row;
        EXPECT_TRUE(db.store().fetch(table, rec, row).ok());
        return row;
    }
    qint64 songNumber(qint64 rec, int field) { return record(TableId::Tunarium, rec).number(field); }
    // Adds `count` songs of one artist and album in one transaction.
    void addSongs(int count, qint64 releaseDate) {
        Transaction t(db.store());
        for (int i = 0; i < count; ++i) {
            addSong("A", "B", releaseDate);
        }
        ASSERT_TRUE(t.commit().ok());
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    qint64 m_songs = 0;
};

TEST_F(HousekeepingTest, YearOnlyTurnsDayNumbersIntoYearsAndLeavesYearsAndBlanks) {
    const qint64 june1975 = dayNumberFromYmd(1975, 6, 1);
    const struct {
        qint64 stored;
        qint64 expected;
    } cases[] = {
        {0, 0},                                 // no date
        {1959, 1959},                           // a year already
        {3000, 3000},                           // the boundary counts as a year
        {3001, dateFromDayNumber(3001).year()}, // the first day number converted
        {june1975, 1975},                       //
        {dayNumberFromYmd(2000, 1, 1), 2000},   //
        {dayNumberFromYmd(2999, 12, 31), 2999},
        {kLastDayNumber, kLastDayNumber},         // 9999 would read as a day number again
        {kLastDayNumber + 1, kLastDayNumber + 1}, // no date at all: left as it is
    };
    QVector<qint64> songs, albums;
    qint64 albumId = 0;
    for (const auto& c : cases) {
        songs << addSong("A", "B", c.stored);
        ++albumId;
        albums << addAlbum(albumId, "A", QStringLiteral("Album %1").arg(albumId), c.stored);
    }
    const qint64 versionBefore = record(TableId::Tunarium, songs[4]).meta.version;
    for (TableId table : {TableId::Tunarium, TableId::Album}) {
        DateConversionProcess process(db, table);
        EXPECT_TRUE(runToEnd(process));
        EXPECT_FALSE(process.failed());
        EXPECT_EQ(process.changed(), 4);
    }
    for (int i = 0; i < std::ssize(cases); ++i) {
        EXPECT_EQ(songNumber(songs[i], tun::kReleaseDate), cases[i].expected) << cases[i].stored;
        EXPECT_EQ(record(TableId::Album, albums[i]).number(alb::kReleaseDate), cases[i].expected);
    }
    // A window holding the song from before sees that it changed.
    EXPECT_NE(record(TableId::Tunarium, songs[4]).meta.version, versionBefore);

    // Run again, nothing is left to change.
    DateConversionProcess again(db, TableId::Tunarium);
    EXPECT_TRUE(runToEnd(again));
    EXPECT_EQ(again.changed(), 0);
}

TEST_F(HousekeepingTest, YearOnlyCommitsStepByStepAndACancelKeepsTheStepsDone) {
    const qint64 day = dayNumberFromYmd(1984, 3, 4);
    const int songs = kDateConversionChunk * 2 + 10;
    addSongs(songs, day);
    DateConversionProcess process(db, TableId::Tunarium);
    ASSERT_TRUE(process.start());
    ASSERT_TRUE(process.step(1));             // one transaction of records
    EXPECT_FALSE(db.store().inTransaction()); // the first step is in the file, not held open
    process.cancel();
    EXPECT_EQ(process.state(), Process::State::Cancelled);
    EXPECT_EQ(process.changed(), kDateConversionChunk);
    EXPECT_EQ(songNumber(1, tun::kReleaseDate), 1984);
    EXPECT_EQ(songNumber(kDateConversionChunk, tun::kReleaseDate), 1984);
    EXPECT_EQ(songNumber(kDateConversionChunk + 1, tun::kReleaseDate), day);
    EXPECT_EQ(songNumber(songs, tun::kReleaseDate), day);
}

TEST_F(HousekeepingTest, TheLogIsCopiedInATickOfItsOwnAndCommitsCopyItAgainAfterTheRun) {
    const qint64 day = dayNumberFromYmd(1991, 9, 24);
    // Songs added while the copy is deferred: the log the run starts with is long.
    db.store().log().deferCheckpoints();
    addSongs(kDateConversionChunk * 6, day);
    db.store().log().resumeCheckpoints();
    ASSERT_GE(db.store().log().uncopiedPages(), kHousekeepingLogPages);

    for (bool cancelled : {false, true}) {
        DateConversionProcess process(db, TableId::Tunarium);
        ASSERT_TRUE(process.start());
        EXPECT_TRUE(db.store().log().checkpointsDeferred());
        if (cancelled) {
            process.step(1);
            process.cancel();
        } else {
            // The first step writes; the tick after it only copies the log the steps left.
            ASSERT_TRUE(process.step(1));
            EXPECT_FALSE(process.lastStep().checkpointOnly);
            const qint64 records = process.recordsDone();
            ASSERT_TRUE(process.step(1));
            EXPECT_TRUE(process.lastStep().checkpointOnly);
            EXPECT_EQ(process.recordsDone(), records);
            EXPECT_EQ(db.store().log().uncopiedPages(), 0);
            EXPECT_FALSE(db.store().inTransaction());
            EXPECT_TRUE(runToEnd(process));
            EXPECT_EQ(process.changed(), kDateConversionChunk * 6);
        }
        EXPECT_FALSE(db.store().log().checkpointsDeferred()) << cancelled;
    }
}

// The collection is opened through the write-fault shim, so that a test can fill the disk.
class HousekeepingOnAFullDisk : public HousekeepingTest {
protected:
    void SetUp() override {
        WriteFaults::install(-1);
        HousekeepingTest::SetUp();
    }
    void TearDown() override {
        HousekeepingTest::TearDown();
        WriteFaults::clear();
    }
};

TEST_F(HousekeepingOnAFullDisk, AStepThatCannotBeWrittenLeavesEverySongOfItAsItWas) {
    // Only the step's own statement writes: the song before it was converted by an earlier step.
    const qint64 day = dayNumberFromYmd(1977, 5, 25);
    const int songs = kDateConversionChunk * 2 + 10;
    addSongs(songs, day);
    const qint64 version = record(TableId::Tunarium, songs).meta.version;
    DateConversionProcess process(db, TableId::Tunarium);
    ASSERT_TRUE(process.start());
    ASSERT_TRUE(process.step(1));
    ASSERT_EQ(process.changed(), kDateConversionChunk);

    WriteFaults::install(0); // the disk is full from now on
    while (process.step(1)) {
    }
    WriteFaults::clear();
    EXPECT_TRUE(process.failed());
    EXPECT_EQ(process.changed(), kDateConversionChunk);
    EXPECT_GT(WriteFaults::refused(), 0);
    EXPECT_FALSE(prompter.messages.isEmpty()); // the user was told
    EXPECT_FALSE(db.store().inTransaction());
    for (qint64 rec : {qint64(1), qint64(kDateConversionChunk)}) {
        EXPECT_EQ(songNumber(rec, tun::kReleaseDate), 1977) << rec;
    }
    for (qint64 rec : {qint64(kDateConversionChunk + 1), qint64(songs)}) {
        const Row song = record(TableId::Tunarium, rec);
        EXPECT_EQ(song.number(tun::kReleaseDate), day) << rec;
        EXPECT_EQ(song.meta.version, version) << rec;
    }
}

TEST_F(HousekeepingTest, TheBackupBeforeYearOnlyHoldsTheDatesAsTheyWere) {
    const qint64 day = dayNumberFromYmd(1969, 7, 20);
    const qint64 rec = addSong("A", "B", day);
    QString backup;
    ASSERT_TRUE(backupBeforeYearOnly(db.store(), backup).ok());
    EXPECT_TRUE(QFileInfo(backup).fileName().startsWith("tunarium-dates-"));
    DateConversionProcess process(db, TableId::Tunarium);
    ASSERT_TRUE(runToEnd(process));
    ASSERT_EQ(songNumber(rec, tun::kReleaseDate), 1969);

    // The copy is a whole collection with the day number in it.
    test::TempCollection other;
    ASSERT_TRUE(QDir().mkpath(other.dir()));
    ASSERT_TRUE(QFile::copy(backup, collectionFilePath(other.dir())));
    SqliteStore copy;
    ASSERT_TRUE(copy.open(other.dir()).ok());
    Row row;
    ASSERT_TRUE(copy.fetch(TableId::Tunarium, rec, row).ok());
    EXPECT_EQ(row.number(tun::kReleaseDate), day);

    EXPECT_TRUE(yearOnlyReport(1, 0, true, backup).contains(backup));
    EXPECT_TRUE(yearOnlyReport(1, 0, false, backup).contains(backup));
}

TEST_F(HousekeepingTest, LinkTestLinksEachSongToItsAlbumOrVariousOrNone) {
    addAlbum(3, "Abba", "Arrival");
    addAlbum(7, "Various", "Hits of 1976");
    addAlbum(9, "Queen", "Jazz");
    const qint64 own = addSong("ABBA", "arrival", 0, 0);
    const qint64 various = addSong("Boney M", "Hits of 1976", 0, 0);
    addAlbum(11, "Queen", "Innuendo");
    const qint64 wrong = addSong("Queen", "Innuendo", 0, 9);      // linked to the wrong album
    const qint64 none = addSong("Nobody", "No Such Album", 0, 3); // its album is gone
    const qint64 jazz = addSong("Queen", "Jazz", 0, 0);
    const qint64 unnumbered = addSong("Queen", "Jazz", 0, 0, 0);
    const qint64 highest = addSong("Queen", "Zz", 0, 0, 50);

    AlbumLinkTest test(db);
    EXPECT_TRUE(runToEnd(test));
    EXPECT_FALSE(test.failed());
    EXPECT_EQ(songNumber(own, tun::kAlbumId), 3);
    EXPECT_EQ(songNumber(various, tun::kAlbumId), 7);
    EXPECT_EQ(songNumber(wrong, tun::kAlbumId), 11);
    EXPECT_EQ(songNumber(none, tun::kAlbumId), 0);
    EXPECT_EQ(songNumber(jazz, tun::kAlbumId), 9);
    EXPECT_EQ(songNumber(unnumbered, tun::kAlbumId), 9);
    EXPECT_EQ(songNumber(unnumbered, tun::kId), 51); // after the highest number
    EXPECT_EQ(songNumber(highest, tun::kId), 50);
    EXPECT_EQ(test.numbered(), 1);

    // Everything is linked now: a second run rewrites nothing.
    AlbumLinkTest again(db);
    EXPECT_TRUE(runToEnd(again));
    EXPECT_EQ(again.relinked() + again.numbered(), 0);
}

TEST_F(HousekeepingTest, LinkTestKeepsAnotherLinkOfTheAlbumLookedUpLast) {
    addAlbum(3, "Abba", "Arrival");
    addAlbum(4, "Abba", "Arrival (Deluxe)");
    // Songs of one album in a row: the first decides, a later one linked elsewhere keeps its link,
    // one without a link gets the album looked up last.
    const qint64 first = addSong("Abba", "Arrival", 0, 0);
    const qint64 elsewhere = addSong("Abba", "Arrival", 0, 4);
    const qint64 unlinked = addSong("Abba", "Arrival", 0, 0);
    AlbumLinkTest test(db);
    EXPECT_TRUE(runToEnd(test));
    EXPECT_EQ(songNumber(first, tun::kAlbumId), 3);
    EXPECT_EQ(songNumber(elsewhere, tun::kAlbumId), 4);
    EXPECT_EQ(songNumber(unlinked, tun::kAlbumId), 3);
}

TEST_F(HousekeepingTest, LinkTestWalksEveryPageOfTheAlbumKey) {
    addAlbum(1, "Artist", "Album A");
    addAlbum(2, "Artist", "Album B");
    const int songs = kLinkTestPage * 2 + 7;
    {
        Transaction t(db.store());
        for (int i = 0; i < songs; ++i) {
            addSong("Artist", i % 2 ? "Album A" : "Album B");
        }
        ASSERT_TRUE(t.commit().ok());
    }
    AlbumLinkTest test(db);
    EXPECT_TRUE(runToEnd(test));
    EXPECT_EQ(test.relinked(), songs);
    for (qint64 rec : {qint64(1), qint64(2), qint64(songs - 1), qint64(songs)}) {
        EXPECT_EQ(songNumber(rec, tun::kAlbumId), rec % 2 ? 2 : 1) << rec;
    }
}

class HousekeepingCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::cliAvailable()) {
            GTEST_SKIP() << "TUNARIUM_CLI is not set";
        }
        RecordingPrompter prompter;
        Database db(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        ASSERT_TRUE(db.openTables({TableId::Tunarium, TableId::Album}));
        SongRecord s;
        s.artist = "Abba";
        s.title = "Dancing Queen";
        s.album = "Arrival";
        s.id = 1;
        s.releaseDate = dayNumberFromYmd(1976, 10, 11);
        ASSERT_TRUE(db.store().insert(s).ok());
        AlbumRecord a;
        a.albumId = 5;
        a.artist = "Various";
        a.album = "Arrival";
        ASSERT_TRUE(db.store().insert(a).ok());
        db.closeTables({TableId::Tunarium, TableId::Album});
    }
    test::TempCollection dir;
};

TEST_F(HousekeepingCli, ConvertDatesNeedsYearOnlyThenConvertsAfterABackup) {
    EXPECT_EQ(test::runCli(dir, {"--dir", dir.dir(), "convert-dates"}).exitCode, 2);
    EXPECT_TRUE(QDir(dir.dir()).entryList({"tunarium-dates-*"}).isEmpty());

    const test::CliRun run =
        test::runCli(dir, {"--dir", dir.dir(), "convert-dates", "--year-only", "--quiet"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList backups = QDir(dir.dir()).entryList({"tunarium-dates-*.db"});
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(run.out.contains(backups.first())) << run.out.toStdString();
    EXPECT_EQ(Settings::load(settingsFilePath()).dateFormat(), "n4b");

    RecordingPrompter prompter;
    Database db(prompter, dir.dir(), dir.configDir() + "/profile.ini");
    ASSERT_TRUE(db.openTable(TableId::Tunarium));
    Row row;
    ASSERT_TRUE(db.store().fetch(TableId::Tunarium, 1, row).ok());
    EXPECT_EQ(row.number(tun::kReleaseDate), 1976);
    db.closeTable(TableId::Tunarium);
}

TEST_F(HousekeepingCli, TestAlbumLinksLinksThroughVariousAfterABackup) {
    const test::CliRun run = test::runCli(dir, {"--dir", dir.dir(), "test-album-links", "--quiet"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Process Completed. 1 songs were linked to their albums, 0 moved"))
        << run.out.toStdString();
    const QStringList backups = QDir(dir.dir()).entryList({"tunarium-links-*.db"});
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(run.out.contains(backups.first())) << run.out.toStdString();
}

} // namespace
