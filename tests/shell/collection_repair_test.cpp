// Repairing a damaged collection: what is readable is saved, the damaged file is kept, the new
// file is sound; and the checks the command line runs.
#include "data/database.h"
#include "data/store_sqlite.h"
#include "shell/collection_maintenance.h"
#include "shell/file_manager.h"
#include "shell/maintenance_commands.h"
#include "shell_fixture.h"
#include "support/damaged_file.h"

#include <QDir>
#include <QFile>

using namespace tunarium;

namespace {

constexpr int kSongs = 3000;

class CollectionRepairTest : public test::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        seed(kSongs, 40);
    }

    // Overwrites `pages` leaf pages of the table.
    bool damage(const QString& table, int pages) {
        return test::overwriteLeafPages(collectionFilePath(dir.dir()), table, pages);
    }

    QStringList damagedCopies() const {
        return QDir(dir.dir()).entryList({"tunarium-damaged-*.db"}, QDir::Files);
    }
};

TEST_F(CollectionRepairTest, SavesEveryReadableRecordAndKeepsTheDamagedFile) {
    if (!damage("Tunarium", 2)) {
        GTEST_SKIP() << "the SQLite library has no dbstat table";
    }
    Database db(prompter, dir.dir(), profile());
    FileManager manager(db, profile());
    manager.run(MaintenanceAction::Fix, manager.rowOf("Tunarium"));

    ASSERT_TRUE(manager.lastRepair().has_value());
    const RepairReport& report = *manager.lastRepair();
    ASSERT_TRUE(report.repaired) << report.failure.toStdString();
    const TableSalvage& songs = report.tables[static_cast<int>(TableId::Tunarium)];
    EXPECT_EQ(songs.expected, kSongs);
    EXPECT_GT(songs.lost(), 0);
    EXPECT_LT(songs.lost(), kSongs / 10);
    EXPECT_EQ(songs.saved + songs.lost(), kSongs);
    EXPECT_EQ(report.tables[static_cast<int>(TableId::Album)].saved, 40);
    EXPECT_EQ(manager.rows()[manager.rowOf("Tunarium")].records, QString::number(songs.saved));

    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Fix");
    EXPECT_TRUE(prompter.messages[0].text.contains(
        QStringLiteral("Tunarium: %1 of %2 records saved, %3 lost.").arg(songs.saved).arg(kSongs).arg(songs.lost())));
    EXPECT_TRUE(prompter.messages[0].text.contains(report.keptAs));
    EXPECT_EQ(damagedCopies(), QStringList{report.keptAs});

    // The new file is sound, in use, and holds what was saved.
    QStringList problems;
    EXPECT_TRUE(checkCollection(db, problems)) << problems.join("\n").toStdString();
    EXPECT_EQ(db.store().count(TableId::Tunarium), songs.saved);
    SongRecord first;
    EXPECT_TRUE(db.store().get(tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {qint64(1)}, first).ok());
    EXPECT_EQ(first.title, "Title 1");
}

TEST_F(CollectionRepairTest, CheckFindsTheDamage) {
    if (!damage("Tunarium", 1)) {
        GTEST_SKIP() << "the SQLite library has no dbstat table";
    }
    Database db(prompter, dir.dir(), profile());
    QString text;
    QTextStream out(&text);
    EXPECT_EQ(runCheck(db, out), 1);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_NE(text, "ok\n");
}

TEST_F(CollectionRepairTest, UnreadableFileIsReplacedByAnEmptyCollection) {
    {
        QFile file(collectionFilePath(dir.dir()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(4096, '\0'));
    }
    SqliteStore store;
    const RepairReport report = rebuildCollection(store, dir.dir());
    ASSERT_TRUE(report.repaired) << report.failure.toStdString();
    EXPECT_EQ(report.totalSaved(), 0);
    EXPECT_TRUE(report.tables[static_cast<int>(TableId::Tunarium)].unreadable);
    EXPECT_TRUE(store.isOpen());
    EXPECT_EQ(store.tableState(TableId::Tunarium), TableState::Current);
    EXPECT_EQ(damagedCopies().size(), 1);
    EXPECT_FALSE(report.nothingLost());
    EXPECT_TRUE(report.summary().contains("Tunarium: nothing could be read, nor how many records it held."));
    EXPECT_TRUE(report.summary().contains("Nothing could be saved"));
}

TEST_F(CollectionRepairTest, CommandLineChecksRebuildsAndCompacts) {
    Database db(prompter, dir.dir(), profile());
    QString text;
    QTextStream out(&text);
    EXPECT_EQ(runCheck(db, out), 0);
    EXPECT_EQ(runRebuildKeys(db, out), 0);
    EXPECT_EQ(runCompact(db, out), 0);
    EXPECT_EQ(runCreateAlbums(db, out, out), 0);
    EXPECT_TRUE(text.startsWith("ok\nkeys rebuilt\ncompacted\n"));
    EXPECT_TRUE(text.contains("1001 albums created, 3000 songs linked"));
}

} // namespace
