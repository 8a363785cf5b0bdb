// The command line as a user runs it: tunarium-cli on a fresh directory, bad usage, a bad file,
// commands without a collection, the check's progress, and the repair of a damaged collection.
#include "data/records.h"
#include "data/store.h"
#include "support/cli_run.h"
#include "support/damaged_file.h"
#include "support/song_collection.h"
#include "support/sql_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using tunarium::test::CliRun;
using tunarium::test::runCli;

TEST(Cli, InfoListsTheElevenTablesOfANewCollection) {
    if (qEnvironmentVariable("TUNARIUM_CLI").isEmpty()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    tunarium::test::TempCollection dir;
    const CliRun run = runCli(dir, {"--dir", dir.path("new"), "info"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[0], "AddWizard\tTNRAdWiz\t1\t0");
    EXPECT_EQ(lines[7], "Tunarium\ttnrdata\t7\t0");
    EXPECT_EQ(lines[9], "PlaylistMaster\ttnrplist\t1\t0");
    EXPECT_EQ(lines[10], "SavedSearches\ttnrsrch\t1\t0");
}

TEST(Cli, BadUsageAndBadFilesGiveTheirExitStatus) {
    if (qEnvironmentVariable("TUNARIUM_CLI").isEmpty()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    tunarium::test::TempCollection dir;
    struct Case {
        QStringList args;
        int exitCode;
    };
    QFile notADir(dir.path("plain-file"));
    ASSERT_TRUE(notADir.open(QIODevice::WriteOnly));
    notADir.close();
    QFile garbage(dir.path("tunarium.db"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("this is not a collection, it is a shopping list");
    garbage.close();
    const Case cases[] = {
        {{}, 2},
        {{"--dir"}, 2},
        {{"--dir", dir.dir(), "nonsense"}, 2},
        {{"--dir", dir.dir(), "info", "extra"}, 2},
        {{"--bogus", "info"}, 2},
        {{"--dir", dir.dir(), "info"}, 1},
        {{"--dir", dir.path("plain-file"), "info"}, 1},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(dir, c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << c.args.join(' ').toStdString();
    }
}

namespace {

using tunarium::test::TempCollection;

void makeCollection(const QString& dir, int songs) {
    tunarium::test::makeSongCollection(dir, songs);
}

TEST(Cli, OnlyInfoAndImportMakeACollection) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    QDir().mkpath(dir.path("empty-folder"));
    const QStringList commands[] = {{"check"},   {"repair"},        {"rebuild-keys"},
                                    {"compact"}, {"create-albums"}, {"export", dir.path("out.csv")}};
    for (const QString& where : {dir.path("no-such-folder"), dir.path("empty-folder")}) {
        for (const QStringList& command : commands) {
            const CliRun run = runCli(dir, QStringList{"--dir", where} + command);
            EXPECT_EQ(run.exitCode, 1) << command.join(' ').toStdString();
            EXPECT_TRUE(run.err.contains("there is no collection in " + where)) << run.err.toStdString();
        }
        EXPECT_EQ(QDir(where).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList());
    }
    EXPECT_FALSE(QFileInfo::exists(dir.path("no-such-folder")));
    EXPECT_FALSE(QFileInfo::exists(dir.path("out.csv")));
}

TEST(Cli, CheckTellsWhichTableItChecks) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    makeCollection(dir.dir(), 50);
    const CliRun run = runCli(dir, {"--dir", dir.dir(), "check"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "ok\n");
    EXPECT_TRUE(run.err.contains("Checking the collection file (1 of 12)")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Checking Tunarium (9 of 12)")) << run.err.toStdString();
    const CliRun quiet = runCli(dir, {"--dir", dir.dir(), "check", "--quiet"});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, "");
}

// Damage that only SQL from outside the program makes: the quick check finds a wrong count, the
// full check also a folded key column that no longer matches its field; each is named by table.
TEST(Cli, CheckNamesWhatItFindsPerTable) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    struct Case {
        const char* tamper;
        QStringList args;
        int exitCode;
        QString line;
    };
    const Case cases[] = {
        {"UPDATE \"_counts\" SET n = n + 1 WHERE label = 'Tunarium'",
         {"check"},
         1,
         "Tunarium: 50 records, but the count kept for them says 51\n"},
        {"UPDATE \"_counts\" SET n = n + 1 WHERE label = 'Tunarium'",
         {"check", "--full"},
         1,
         "Tunarium: 50 records, but the count kept for them says 51\n"},
        {"UPDATE Tunarium SET \"TitleKey\" = 'zzz' WHERE rowid = 3", {"check"}, 0, "ok\n"},
        {"UPDATE Tunarium SET \"TitleKey\" = 'zzz' WHERE rowid = 3",
         {"check", "--full"},
         1,
         "Tunarium: 1 records whose sort keys differ from their fields\n"},
        // A song neither in the search index nor waiting for it, and one in both.
        {"DELETE FROM \"TunariumSearchPending\" WHERE rec = 3", {"check"}, 0, "ok\n"},
        {"DELETE FROM \"TunariumSearchPending\" WHERE rec = 3",
         {"check", "--full"},
         1,
         "Tunarium: the search index does not match the records"},
        {"INSERT INTO \"TunariumSearch\" (rowid, \"words\") SELECT \"_rowid\", \"words\" FROM "
         "\"TunariumSearchText\" WHERE \"_rowid\" = 5",
         {"check", "--full"},
         1,
         "Tunarium: the search index does not match the records"},
    };
    for (const Case& c : cases) {
        TempCollection dir;
        makeCollection(dir.dir(), 50);
        ASSERT_EQ(tunarium::test::runSql(dir.path("tunarium.db"), c.tamper), QString());
        const CliRun run = runCli(dir, QStringList{"--dir", dir.dir()} + c.args + QStringList{"--quiet"});
        EXPECT_EQ(run.exitCode, c.exitCode) << c.tamper << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(c.line)) << c.tamper << "\n" << run.out.toStdString();
        // What the full check finds, repair mends.
        if (c.exitCode != 0 && c.args.contains("--full")) {
            EXPECT_EQ(runCli(dir, {"--dir", dir.dir(), "repair"}).exitCode, 0) << c.tamper;
            const CliRun again = runCli(dir, {"--dir", dir.dir(), "check", "--full", "--quiet"});
            EXPECT_EQ(again.out, "ok\n") << c.tamper;
        }
    }
}

// A directory the collection cannot live in is refused with the reason, never replaced by another.
TEST(Cli, ACollectionDirectoryThatCannotServeSaysWhy) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    QDir().mkpath(dir.path("read-only"));
    QFile::setPermissions(dir.path("read-only"), QFile::ReadOwner | QFile::ExeOwner);
    const bool root = QFileInfo(dir.path("read-only")).isWritable();
    // Each part of the name within the system's limit, the whole longer than SQLite takes.
    QString deep = dir.path("deep");
    for (int i = 0; i < 5; ++i) {
        deep += u'/' + QString(200, QChar(u'a' + i));
    }
    ASSERT_TRUE(QDir().mkpath(deep));
    struct Case {
        QStringList args;
        int exitCode;
        QString err;
    };
    const Case cases[] = {
        {{"--dir", "", "info"}, 2, "--dir names no directory"},
        {{"--dir=", "check"}, 2, "--dir names no directory"},
        {{"check", "--dir", ""}, 2, "--dir names no directory"},
        {{"--dir", dir.path("read-only"), "info"}, 1, "the folder " + dir.path("read-only") + " cannot be written"},
        {{"--dir", dir.path(QString(300, u'n')), "info"}, 1, "is too long (300 bytes; at most 255)"},
        {{"--dir", deep, "info"}, 1, "the path of the collection file is too long"},
    };
    for (const Case& c : cases) {
        if (root && c.args.contains(dir.path("read-only"))) {
            continue; // root writes anywhere
        }
        const CliRun run = runCli(dir, c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString() << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.err)) << c.args.join(' ').toStdString() << "\n" << run.err.toStdString();
    }
    QFile::setPermissions(dir.path("read-only"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A damaged index: commands that meet it stop and name the repair; the repair saves every song.
TEST(Cli, ADamagedCollectionIsRepairedFromTheCommandLine) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    makeCollection(dir.dir(), 3000);
    if (!tunarium::test::overwriteLeafPages(dir.path("tunarium.db"), "TUN:SongsByTitle", 2)) {
        GTEST_SKIP() << "the SQLite library has no dbstat table";
    }
    for (const QStringList& command : {QStringList{"check", "--quiet"}, QStringList{"rebuild-keys"}}) {
        const CliRun run = runCli(dir, QStringList{"--dir", dir.dir()} + command);
        EXPECT_EQ(run.exitCode, 1) << command.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("is damaged")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("tunarium-cli --dir " + dir.dir() + " repair")) << run.err.toStdString();
        if (command.first() == "check") {
            // The damaged index's pages are named by the table they belong to.
            EXPECT_TRUE(run.out.startsWith("Tunarium: ")) << run.out.toStdString();
        }
    }
    // The folder of a repair that was killed halfway goes with the next repair.
    ASSERT_TRUE(QDir().mkpath(dir.path(".tunarium-repair-999999")));
    ASSERT_EQ(tunarium::test::runSql(dir.path(".tunarium-repair-999999/tunarium.db"), "CREATE TABLE t (x)"),
              QString());
    const CliRun repair = runCli(dir, {"--dir", dir.dir(), "repair"});
    EXPECT_EQ(repair.exitCode, 0) << repair.err.toStdString();
    EXPECT_EQ(QDir(dir.dir()).entryList({".tunarium-repair*"}, QDir::Dirs | QDir::Hidden), QStringList());
    EXPECT_TRUE(repair.out.contains("Tunarium: all 3000 records saved.")) << repair.out.toStdString();
    EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-damaged-*.db"}).size(), 1);
    EXPECT_EQ(runCli(dir, {"--dir", dir.dir(), "check", "--quiet"}).exitCode, 0);
    const CliRun again = runCli(dir, {"--dir", dir.dir(), "repair"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, "No damage was found.\n");
}

// The backup of a compact that was killed halfway (its mark beside it) goes with the next
// compact, once that one has made its own; backups of compacts that finished stay.
TEST(Cli, ACompactSweepsTheBackupOfAKilledCompact) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    makeCollection(dir.dir(), 20);
    const QString killed = "tunarium-pack-20200101-000000.db";
    const QString finished = "tunarium-pack-20200102-000000.db";
    for (const QString& name : {killed, finished, "." + killed + ".compacting"}) {
        QFile f(dir.path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const CliRun run = runCli(dir, {"--dir", dir.dir(), "compact"});
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const QStringList left = QDir(dir.dir()).entryList({"*tunarium-pack-*"}, QDir::Files | QDir::Hidden);
    ASSERT_EQ(left.size(), 2) << left.join(' ').toStdString();
    EXPECT_EQ(left[0], finished);
    EXPECT_NE(left[1], killed);
}

} // namespace
