// A disk that fills up under the program (SQLite's writes refused through the write-fault shim):
// an import, a backup before an upgrade and a song saved from the form each end with a clear
// message, the collection is left as it was or as last committed, and no empty or partial file is
// left under a name the user sees.
#include "albums/album_entries.h"
#include "data/store_sqlite.h"
#include "data/store_backups.h"
#include "data/store_fault_vfs.h"
#include "exchange_fixture.h"
#include "shell/collection_maintenance.h"
#include "shell/maintenance_commands.h"
#include "support/cli_run.h"

#include <QDir>
#include <QTextStream>

#include <sqlite3.h>

namespace tunarium::test {

namespace {

class DiskFull : public ExchangeFixture {
protected:
    // Every file of the test is opened through the shim, the collection's among them.
    void SetUp() override {
        ExchangeFixture::SetUp();
        WriteFaults::install(-1);
    }
    void TearDown() override { WriteFaults::clear(); }

    qint64 songs() {
        EXPECT_TRUE(db.openTable(TableId::Tunarium));
        const qint64 n = db.store().count(TableId::Tunarium);
        db.closeTable(TableId::Tunarium);
        return n;
    }

    // The collection is sound: SQLite's check and the program's count agree.
    void expectSound() {
        db.closeAll();
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        QStringList problems;
        EXPECT_TRUE(store.maintenance().checkFile(FileCheck::Full, &problems))
            << problems.join('\n').toStdString();
        for (const TableDef& t : allTables()) {
            if (store.tableState(t.id) == TableState::Missing) {
                continue;
            }
            QStringList found;
            EXPECT_TRUE(store.maintenance().checkTable(t.id, FileCheck::Full, found))
                << t.label.toStdString() << ": " << found.join('\n').toStdString();
        }
    }

    // Files in the collection directory that are empty, or named as a backup.
    QStringList leftovers() {
        QStringList found;
        for (const QFileInfo& f : QDir(dir.dir()).entryInfoList(QDir::Files | QDir::Hidden)) {
            if (f.fileName().startsWith("tunarium.db")) {
                continue; // the collection, its log and this copy's session marker
            }
            if (f.size() == 0) {
                found << f.fileName();
            }
            if (f.fileName().startsWith("tunarium-") || f.fileName().contains(".part")) {
                found << f.fileName();
            }
        }
        return found;
    }
};

TEST_F(DiskFull, AnImportStopsWithAMessageAndKeepsWholeSteps) {
    addSongs({SongRecord{}});
    // The tables exist: a table that cannot be made at all ends the program (its own warning).
    ASSERT_TRUE(db.openTable(TableId::Categories));
    db.closeTable(TableId::Categories);
    QByteArray bytes = "\"TUN:Artist\",\"TUN:Title\"\n";
    for (int i = 0; i < 2000; ++i) {
        bytes += QStringLiteral("\"Artist %1\",\"A title long enough to fill pages %1\"\n").arg(i).toUtf8();
    }
    // A budget at several points of the run: before its first step, in its middle, near its end.
    for (const qint64 budget : {qint64(0), qint64(60000), qint64(400000)}) {
        const qint64 before = songs();
        auto process = importAuto(bytes);
        prompter.messages.clear();
        WriteFaults::install(budget);
        runToEnd(*process);
        WriteFaults::clear();
        ASSERT_FALSE(db.halted()) << prompter.haltText.toStdString();
        const qint64 added = songs() - before;
        EXPECT_GT(WriteFaults::refused(), 0) << budget;
        EXPECT_LT(added, 2000) << budget;
        EXPECT_EQ(added % kImportLinesPerStep, 0) << budget << ": " << added;
        EXPECT_EQ(added, process->songsAdded() / kImportLinesPerStep * kImportLinesPerStep) << budget;
        ASSERT_FALSE(prompter.messages.isEmpty()) << budget;
        EXPECT_TRUE(prompter.messages.last().text.contains("full"))
            << prompter.messages.last().text.toStdString();
        process.reset();
        expectSound();
    }
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(DiskFull, ABackupThatCannotBeWrittenLeavesNoFileAndStopsItsStep) {
    addSongs({SongRecord{}});
    ASSERT_TRUE(db.openTable(TableId::Tunarium));
    for (const qint64 budget : {qint64(0), qint64(3000), qint64(20000)}) {
        WriteFaults::install(budget);
        const StoreError e = db.store().makeBackup(QLatin1String(kBackupBeforeUpgrade));
        WriteFaults::clear();
        EXPECT_TRUE(e) << budget;
        EXPECT_TRUE(e.describe().contains("full")) << e.describe().toStdString();
        EXPECT_EQ(leftovers(), QStringList()) << budget;
    }
    db.closeTable(TableId::Tunarium);
    expectSound();
}

TEST_F(DiskFull, ASongSavedOnAFullDiskIsRefusedAndTheCollectionUnchanged) {
    addSongs({SongRecord{}});
    ASSERT_TRUE(db.openTable(TableId::Tunarium));
    SongRecord song;
    song.title = QStringLiteral("Full");
    ASSERT_TRUE(db.store().nextNumber(TableId::Tunarium, song.id).ok());
    WriteFaults::install(0);
    const StoreError added = db.store().insert(song);
    WriteFaults::clear();
    EXPECT_EQ(added.code, code::kDriverError);
    EXPECT_EQ(added.driverCode & 0xff, SQLITE_FULL) << added.describe().toStdString();
    EXPECT_EQ(db.store().count(TableId::Tunarium), 1);
    // The disk has room again: the same song is saved.
    EXPECT_TRUE(db.store().insert(song).ok());
    db.closeTable(TableId::Tunarium);
    EXPECT_EQ(songs(), 2);
    expectSound();
}

// Create album entries that cannot write says so and fails (the command line's exit status 1),
// keeping the steps it committed; compacting that cannot write keeps no backup of its own.
TEST_F(DiskFull, AlbumEntriesAndCompactingThatCannotWriteFailAndLeaveNoBackup) {
    QVector<SongRecord> songs;
    for (int i = 1; i <= 3000; ++i) {
        SongRecord s;
        s.id = i;
        s.artist = QStringLiteral("Artist %1").arg(i % 300);
        s.album = QStringLiteral("An album title long enough to fill pages %1").arg(i % 300);
        songs << s;
    }
    addSongs(songs);
    const qint64 fileSize = QFileInfo(dir.path("tunarium.db")).size();
    for (const qint64 budget : {qint64(0)}) {
        prompter.messages.clear();
        QString out;
        QString progress;
        QTextStream outStream(&out);
        QTextStream progressStream(&progress);
        WriteFaults::install(budget);
        const int status = runCreateAlbums(db, outStream, progressStream);
        WriteFaults::clear();
        EXPECT_EQ(status, 1) << budget << ": " << out.toStdString();
        ASSERT_FALSE(prompter.messages.isEmpty()) << budget;
        EXPECT_TRUE(prompter.messages.last().text.contains("full")) << prompter.messages.last().text.toStdString();
        expectSound();
    }
    // From a budget the backup cannot take to one the compact itself can: every compact that fails
    // leaves nothing behind, the one that succeeds its one backup.
    bool compacted = false;
    for (qint64 budget = fileSize / 2; budget <= fileSize * 3 && !compacted; budget += fileSize / 2) {
        StoreError e;
        {
            SqliteStore store;
            ASSERT_TRUE(store.open(dir.dir()).ok());
            WriteFaults::install(budget);
            e = compactCollection(store);
            WriteFaults::clear();
        }
        compacted = e.ok();
        EXPECT_EQ(leftovers(), compacted ? QStringList(QDir(dir.dir()).entryList({"tunarium-pack-*.db"}))
                                         : QStringList())
            << budget << ": " << e.describe().toStdString();
        expectSound();
    }
    if (!compacted) {
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        EXPECT_TRUE(compactCollection(store).ok());
    }
    EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-pack-*.db"}).size(), 1);
}

// The export's file is not SQLite's: a device that is always full stands for the disk.
TEST_F(DiskFull, AnExportToAFullDiskSaysSo) {
    if (!cliAvailable() || !QFileInfo::exists("/dev/full")) {
        GTEST_SKIP() << "no tunarium-cli or no /dev/full";
    }
    addSongs({SongRecord{}});
    db.closeAll();
    const CliRun run = runCli(dir, {"--dir", dir.dir(), "export", "/dev/full", "--quiet"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.toStdString();
    EXPECT_EQ(leftovers(), QStringList());
}

} // namespace

} // namespace tunarium::test
