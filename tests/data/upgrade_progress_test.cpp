// The upgrade of an older collection tells its steps in order with fractions that only rise, and
// one interrupted at any point (a process killed, a disk that fills up) leaves a collection that
// opens and upgrades as if nothing had happened.
#include "data/records.h"
#include "data/store_fault_vfs.h"
#include "data/store_sqlite.h"
#include "data/upgrade_progress.h"
#include "support/cli_run.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace tunarium {
namespace {

constexpr int kSongs = 3000;

// Songs of an earlier structure, as an older build left them.
void makeOldCollection(const QString& dir) {
    SqliteStore store;
    ASSERT_TRUE(store.open(dir).ok());
    ASSERT_TRUE(
        store
            .exec("CREATE TABLE \"Tunarium\" (\"_rec\" INTEGER NOT NULL, \"Title\" TEXT, \"ID\" INTEGER, "
                  "\"Artist\" TEXT, \"TrackNumber\" INTEGER)")
            .ok());
    ASSERT_TRUE(store
                    .exec(QStringLiteral(
                              "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                              "INSERT INTO \"Tunarium\" (rowid, \"_rec\", \"Title\", \"ID\", \"Artist\", "
                              "\"TrackNumber\") SELECT i, i, 'Song number ' || i, i, 'Artist ' || (i % 97), "
                              "i % 20 FROM n")
                              .arg(kSongs))
                    .ok());
    ASSERT_TRUE(store.exec("INSERT INTO \"_structure\" VALUES ('Tunarium', 5)").ok());
    ASSERT_TRUE(
        store.exec(QStringLiteral("INSERT INTO \"_counts\" (label, n) VALUES ('Tunarium', %1)").arg(kSongs))
            .ok());
}

// The collection opens, the songs upgrade, and every song, key and the search index is whole.
void expectWholeAfterUpgrade(const QString& dir) {
    SqliteStore store;
    ASSERT_TRUE(store.open(dir).ok());
    ASSERT_TRUE(store.openTable(TableId::Tunarium).ok());
    EXPECT_EQ(store.tableState(TableId::Tunarium), TableState::Current);
    EXPECT_EQ(store.count(TableId::Tunarium), kSongs);
    EXPECT_TRUE(store.checkKeys(TableId::Tunarium).ok());
    // The index against the songs it was made from.
    EXPECT_TRUE(
        store.exec("INSERT INTO \"TunariumSearch\" (\"TunariumSearch\", rank) VALUES ('integrity-check', 1)")
            .ok());
    EXPECT_EQ(
        test::sqlNumber(store.filePath(),
                        "SELECT COUNT(*) FROM \"TunariumSearch\" WHERE \"TunariumSearch\" MATCH '\"r 5\"'"),
        test::sqlNumber(store.filePath(), "SELECT COUNT(*) FROM \"Tunarium\" WHERE \"Title\" LIKE '%r 5%'"));
    SongRecord s;
    ASSERT_TRUE(store.get(tableDef(TableId::Tunarium).primaryKey, {qint64(1234)}, s).ok());
    EXPECT_EQ(s.title, "Song number 1234");
    EXPECT_EQ(s.artist, "Artist 70");
}

TEST(UpgradeProgress, StepsComeInOrderWithRisingFractions) {
    test::TempCollection dir;
    makeOldCollection(dir.dir());
    QList<UpgradeStep> steps;
    {
        UpgradeListenerScope listen([&steps](const UpgradeStep& step) { steps << step; }, 0);
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        ASSERT_TRUE(store.openTable(TableId::Tunarium).ok());
    }
    ASSERT_FALSE(steps.isEmpty());
    EXPECT_EQ(steps.first().phase, UpgradePhase::BackingUp);
    EXPECT_EQ(steps.first().fraction, 0);
    QList<UpgradePhase> phases;
    int between = 0;
    for (int i = 0; i < steps.size(); ++i) {
        const UpgradeStep& s = steps[i];
        if (phases.isEmpty() || phases.last() != s.phase) {
            EXPECT_EQ(s.fraction, 0) << upgradeStepText(s).toStdString();
            ASSERT_TRUE(i == 0 || steps[i - 1].fraction == 1) << "a phase ended early";
            phases << s.phase;
        } else {
            EXPECT_GE(s.fraction, steps[i - 1].fraction) << upgradeStepText(s).toStdString();
        }
        EXPECT_EQ(s.table, TableId::Tunarium);
        between += s.fraction > 0 && s.fraction < 1 ? 1 : 0;
    }
    EXPECT_EQ(phases, (QList<UpgradePhase>{UpgradePhase::BackingUp, UpgradePhase::Rewriting,
                                           UpgradePhase::BuildingKeys, UpgradePhase::BuildingSearchIndex}));
    EXPECT_EQ(steps.last().fraction, 1);
    // Rows are counted as they go: the copy and the search index move between their ends.
    EXPECT_GT(between, kSongs);
    EXPECT_EQ(upgradeStepText(steps.first()), "Backing up the collection");
    expectWholeAfterUpgrade(dir.dir());
    // Nobody listens once the scope has gone.
    EXPECT_FALSE(static_cast<bool>(upgradeListener()));
}

// A copy of the program killed in the middle of a phase leaves the old songs as they were.
TEST(UpgradeProgress, AnUpgradeKilledInAnyPhaseLeavesACollectionThatUpgrades) {
    for (const UpgradePhase phase :
         {UpgradePhase::Rewriting, UpgradePhase::BuildingKeys, UpgradePhase::BuildingSearchIndex}) {
        test::TempCollection dir;
        makeOldCollection(dir.dir());
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            UpgradeListenerScope listen(
                [phase](const UpgradeStep& step) {
                    if (step.phase == phase && step.fraction >= 0.5) {
                        raise(SIGKILL);
                    }
                },
                0);
            SqliteStore store;
            if (store.open(dir.dir()).ok()) {
                store.openTable(TableId::Tunarium);
            }
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the upgrade ran to its end";
        EXPECT_EQ(test::sqlNumber(dir.path("tunarium.db"), "SELECT version FROM \"_structure\" WHERE label = "
                                                           "'Tunarium'"),
                  5);
        expectWholeAfterUpgrade(dir.dir());
    }
}

// A disk that fills up at any point of the upgrade: it fails, and once there is room again the
// next open makes it.
TEST(UpgradeProgress, AnUpgradeStoppedByAFullDiskChangesNothing) {
    for (const qint64 room : {0LL, 64LL * 1024, 512LL * 1024, 2LL * 1024 * 1024}) {
        test::TempCollection dir;
        makeOldCollection(dir.dir());
        {
            WriteFaults::install(room);
            SqliteStore store;
            const bool opened = store.open(dir.dir()).ok();
            const bool upgraded = opened && store.openTable(TableId::Tunarium).ok();
            WriteFaults::clear();
            EXPECT_FALSE(upgraded) << "room for " << room << " bytes";
        }
        EXPECT_EQ(test::sqlNumber(dir.path("tunarium.db"), "SELECT COUNT(*) FROM \"Tunarium\""), kSongs);
        expectWholeAfterUpgrade(dir.dir());
    }
}

// The command line shows each step on standard error, as check shows what it checks; its output
// stays the command's own.
TEST(UpgradeProgress, TheCommandLineShowsTheSteps) {
    if (!test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    test::TempCollection dir;
    makeOldCollection(dir.dir());
    const test::CliRun run = test::runCli(dir, {"--dir", dir.dir(), "info"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count('\n'), kTableCount) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Tunarium\ttnrdata\t7\t%1\n").arg(kSongs)))
        << run.out.toStdString();
    const QStringList expected{"Upgrading the collection: Backing up the collection... 0%",
                               "Rewriting the songs... 100%", "Building the keys of the songs... 100%",
                               "Building the search index... 100%"};
    qsizetype at = 0;
    for (const QString& line : expected) {
        const qsizetype found = run.err.indexOf(line, at);
        EXPECT_GE(found, at) << line.toStdString() << " in " << run.err.toStdString();
        at = std::max(at, found);
    }
    EXPECT_TRUE(run.err.endsWith("%   \n")) << run.err.toStdString();
}

} // namespace
} // namespace tunarium
