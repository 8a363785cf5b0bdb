// Backups and restores from the command line, and every command that takes a file given a file
// that is missing, a directory, binary, or another program's SQLite database.
#include "support/cli_run.h"
#include "support/damaged_file.h"
#include "support/file_bytes.h"
#include "support/song_collection.h"
#include "support/sql_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <unistd.h>

using tunarium::test::CliRun;
using tunarium::test::digest;
using tunarium::test::writeFile;
using tunarium::test::runCli;
using tunarium::test::songsIn;
using tunarium::test::TempCollection;

namespace {

TEST(CliBackup, ABackupIsRestoredAndTheCollectionBeforeItKept) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    tunarium::test::makeSongCollection(dir.dir(), 50);
    const QString copy = dir.path("../copy.db");
    const CliRun backup = runCli(dir, {"--dir", dir.dir(), "backup", "--to", copy});
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    EXPECT_EQ(backup.out.trimmed(), copy);
    // A backup never overwrites a file.
    const QByteArray first = digest(copy);
    EXPECT_EQ(runCli(dir, {"--dir", dir.dir(), "backup", "--to", copy}).exitCode, 1);
    EXPECT_EQ(digest(copy), first);
    const CliRun dated = runCli(dir, {"--dir", dir.dir(), "backup"});
    ASSERT_EQ(dated.exitCode, 0) << dated.err.toStdString();
    EXPECT_TRUE(QFileInfo(dated.out.trimmed()).fileName().startsWith("tunarium-backup-"))
        << dated.out.toStdString();
    EXPECT_EQ(songsIn(QFileInfo(dated.out.trimmed()).absolutePath()), 50);

    ASSERT_EQ(tunarium::test::runSql(dir.path("tunarium.db"), "DELETE FROM Tunarium WHERE rowid <= 20"),
              QString());
    ASSERT_EQ(songsIn(dir.dir()), 30);
    const CliRun restore = runCli(dir, {"--dir", dir.dir(), "restore", copy});
    ASSERT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    EXPECT_EQ(songsIn(dir.dir()), 50);
    const QStringList kept = QDir(dir.dir()).entryList({"tunarium-restore-*.db"});
    ASSERT_EQ(kept.size(), 1);
    const QString keptDir = dir.path("kept");
    QDir().mkpath(keptDir);
    ASSERT_TRUE(QFile::copy(dir.path(kept.first()), keptDir + "/tunarium.db"));
    EXPECT_EQ(songsIn(keptDir), 30);
    const CliRun check = runCli(dir, {"--dir", dir.dir(), "check", "--full", "--quiet"});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString();
}

TEST(CliBackup, CompactAndRepairKeepABackupOfTheirKind) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    tunarium::test::makeSongCollection(dir.dir(), 40);
    // Files of the user's, whatever their names look like, are never removed by a backup.
    const QStringList users{QStringLiteral(".tunarium-backup-20250101-000000.db.part-%1").arg(::getpid()),
                            ".tunarium-pack-20250101-000000.db.part-99999999"};
    for (const QString& name : users) {
        writeFile(dir.path(name), "a file of the user's");
    }
    ASSERT_EQ(runCli(dir, {"--dir", dir.dir(), "compact"}).exitCode, 0);
    EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-pack-*.db"}).size(), 1);
    EXPECT_EQ(QDir(dir.dir()).entryList({".*.part-*"}, QDir::Files | QDir::Hidden, QDir::Name), users);
    // Keys that no longer match their records: the Fix rebuilds them after a backup.
    ASSERT_EQ(tunarium::test::runSql(dir.path("tunarium.db"), "UPDATE Tunarium SET \"TitleKey\" = 'x'"),
              QString());
    const CliRun repair = runCli(dir, {"--dir", dir.dir(), "repair"});
    EXPECT_EQ(repair.exitCode, 0) << repair.out.toStdString() << repair.err.toStdString();
    EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-fix-*.db"}).size(), 1) << repair.out.toStdString();
}

// Every command that takes a file, given one that is wrong: exit status 1 with a message, the file
// and the collection unchanged.
TEST(CliBackup, BadFileArgumentsChangeNothing) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    tunarium::test::makeSongCollection(dir.dir(), 30);
    const QString missing = dir.path("../missing.db");
    const QString folder = dir.path("../folder");
    const QString binary = dir.path("../binary.db");
    const QString foreign = dir.path("../foreign.db");
    const QString unreadable = dir.path("../unreadable.db");
    QDir().mkpath(folder);
    QByteArray noise(5000, '\0');
    for (int i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>((i * 7919) % 251);
    }
    writeFile(binary, noise);
    writeFile(unreadable, "secret");
    QFile::setPermissions(unreadable, QFileDevice::Permissions());
    ASSERT_EQ(tunarium::test::runSql(foreign,
                                     "CREATE TABLE recipes(name TEXT); INSERT INTO recipes VALUES('soup')"),
              QString());
    struct Case {
        QStringList command;
        QString file;
    };
    QList<Case> cases;
    for (const QString& file : {missing, folder, binary, foreign, unreadable}) {
        cases << Case{{"restore", file}, file} << Case{{"import", file}, file};
        if (file != missing) {
            cases << Case{{"backup", "--to", file}, file};
        }
    }
    cases << Case{{"export", folder}, folder} << Case{{"cd", "identify", "--toc", folder}, folder}
          << Case{{"cd", "identify", "--toc", missing}, missing}
          << Case{{"cd", "identify", "--toc", binary}, binary};
    const bool root = ::geteuid() == 0; // permissions do not stop root
    for (const Case& c : cases) {
        if (root && c.file == unreadable) {
            continue;
        }
        const QByteArray before = digest(c.file);
        const CliRun run = runCli(dir, QStringList{"--dir", dir.dir()} + c.command);
        const std::string what = c.command.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, 1) << what << "\n" << run.err.toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << what;
        EXPECT_FALSE(run.err.contains("AddressSanitizer")) << what;
        EXPECT_EQ(digest(c.file), before) << what;
        EXPECT_EQ(QFileInfo::exists(c.file), c.file != missing) << what;
    }
    EXPECT_EQ(songsIn(dir.dir()), 30);
    EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-*.db"}), QStringList());
}

} // namespace
