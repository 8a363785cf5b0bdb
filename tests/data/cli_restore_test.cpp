// What restore, backup and every other command do with a file that is not a sound collection of
// this version: a copy on a read-only folder, another program's database, noise, a truncated or
// damaged collection, one of a newer version, the collection itself under another name.
#include "data/dictionary.h"
#include "support/cli_run.h"
#include "support/damaged_file.h"
#include "support/file_bytes.h"
#include "support/song_collection.h"
#include "support/sql_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

using tunarium::test::CliRun;
using tunarium::test::digest;
using tunarium::test::writeFile;
using tunarium::test::runCli;
using tunarium::test::songsIn;
using tunarium::test::TempCollection;

namespace {

QByteArray noise(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7919 + 13) % 251);
    }
    return bytes;
}

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The songs table's structure one past what this version reads.
int newerSongsStructure() {
    return tunarium::tableDef(tunarium::TableId::Tunarium).version + 1;
}

QString newerWords() {
    return QStringLiteral("made by a newer version of Tunarium Pro: structure %1, this version reads up to %2")
        .arg(newerSongsStructure())
        .arg(newerSongsStructure() - 1);
}

// The kinds of file a collection file can turn out to be, each made at `path` (a collection of
// 40 songs first where it starts from one).
struct Spoil {
    const char* what;
    std::function<void(const QString& path)> make;
    const char* words; // what every command says of it
};

void collectionAt(const QString& path, int songs) {
    tunarium::test::makeSongCollection(QFileInfo(path).absolutePath(), songs);
    if (QFileInfo(path).fileName() != QLatin1String("tunarium.db")) {
        ASSERT_TRUE(QFile::rename(QFileInfo(path).absoluteDir().filePath("tunarium.db"), path));
    }
    for (const char* suffix : {"-wal", "-shm"}) {
        QFile::remove(QFileInfo(path).absoluteDir().filePath(QStringLiteral("tunarium.db") + suffix));
    }
}

const QList<Spoil>& spoils() {
    static const QList<Spoil> all = {
        {"another program's database",
         [](const QString& path) {
             ASSERT_EQ(tunarium::test::runSql(path, "CREATE TABLE recipes(name TEXT); INSERT INTO recipes "
                                                    "VALUES('soup')"),
                       QString());
         },
         "is not a Tunarium collection"},
        {"noise", [](const QString& path) { writeFile(path, noise(12000)); }, "is not a Tunarium collection"},
        {"a newer version's collection",
         [](const QString& path) {
             collectionAt(path, 40);
             ASSERT_EQ(tunarium::test::runSql(path, QStringLiteral("UPDATE \"_structure\" SET version = %1 "
                                                                   "WHERE label = 'Tunarium'")
                                                        .arg(newerSongsStructure())),
                       QString());
             QFile::remove(path + "-wal");
             QFile::remove(path + "-shm");
         },
         nullptr}, // newerWords()
    };
    return all;
}

QString wordsOf(const Spoil& spoil) {
    return spoil.words ? QString::fromUtf8(spoil.words) : newerWords();
}

// Every command given a collection directory whose file is another program's database, noise or
// a newer version's collection says what it is, exits 1 and leaves it exactly as it was: nothing
// is repaired, moved aside, upgraded or made beside it.
TEST(CliForeignFiles, EveryCommandNamesTheFileAndLeavesItAlone) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    for (const Spoil& spoil : spoils()) {
        TempCollection dir;
        const QList<QStringList> commands = {
            {"check"},         {"check", "--full"},  {"rebuild-keys"}, {"compact"},
            {"info"},          {"create-albums"},    {"playlist", "list"},
            {"backup"},        {"export", dir.path("../out.csv")},
            {"report", "albums-by-artist", "--pdf", dir.path("../out.pdf")},
            // A file that is no database at all may be a collection whose first page is lost:
            // repair may salvage from it. Another program's database it leaves alone.
            {QString::fromUtf8(spoil.what) == QLatin1String("noise") ? "info" : "repair"},
        };
        QDir().mkpath(dir.dir());
        spoil.make(dir.path("tunarium.db"));
        const QByteArray before = digest(dir.path("tunarium.db"));
        const QStringList filesBefore = filesIn(dir.dir());
        for (const QStringList& command : commands) {
            const std::string what = std::string(spoil.what) + ": " + command.join(' ').toStdString();
            const CliRun run = runCli(dir, QStringList{"--dir", dir.dir()} + command);
            EXPECT_EQ(run.exitCode, 1) << what << "\n" << run.out.toStdString() << run.err.toStdString();
            EXPECT_TRUE(run.err.contains(wordsOf(spoil)) || run.out.contains(wordsOf(spoil)))
                << what << "\n" << run.out.toStdString() << run.err.toStdString();
            EXPECT_FALSE(run.err.contains("damaged")) << what << "\n" << run.err.toStdString();
            EXPECT_EQ(digest(dir.path("tunarium.db")), before) << what;
            EXPECT_EQ(filesIn(dir.dir()), filesBefore) << what;
        }
        EXPECT_FALSE(QFileInfo::exists(dir.path("../out.csv")));
        EXPECT_FALSE(QFileInfo::exists(dir.path("../out.pdf")));
    }
}

// A file offered to restore that is no sound collection of this version, or that is the
// collection itself, is refused before anything is touched: no backup of the collection is made,
// and nothing is written beside the file.
TEST(CliRestore, RefusesWhatItCannotRestoreBeforeTouchingAnything) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    struct Case {
        const char* what;
        std::function<QString(const TempCollection& dir)> offer; // the path offered
        QString words;
    };
    QList<Case> cases = {
        {"a missing file", [](const TempCollection& d) { return d.path("../offered/missing.db"); }, "does not exist"},
        {"the collection itself", [](const TempCollection& d) { return d.path("tunarium.db"); },
         "is the collection itself"},
        {"the collection by a link",
         [](const TempCollection& d) {
             const QString link = d.path("../offered/link.db");
             EXPECT_TRUE(QFile::link(d.path("tunarium.db"), link));
             return link;
         },
         "is the collection itself"},
        {"the collection by a hard link",
         [](const TempCollection& d) {
             const QString link = d.path("../offered/hard.db");
             EXPECT_EQ(::link(QFile::encodeName(d.path("tunarium.db")).constData(),
                              QFile::encodeName(link).constData()),
                       0);
             return link;
         },
         "is the collection itself"},
        {"a damaged backup",
         [](const TempCollection& d) {
             const QString path = d.path("../offered/tunarium.db");
             collectionAt(path, 3000);
             EXPECT_TRUE(tunarium::test::overwriteLeafPages(path, "Tunarium", 2));
             return path;
         },
         "is a damaged collection"},
    };
    for (const Spoil& spoil : spoils()) {
        cases << Case{spoil.what,
                      [&spoil](const TempCollection& d) {
                          const QString path = d.path("../offered/offered.db");
                          spoil.make(path);
                          return path;
                      },
                      wordsOf(spoil)};
    }
    for (const Case& c : cases) {
        TempCollection dir;
        tunarium::test::makeSongCollection(dir.dir(), 30);
        QDir().mkpath(dir.path("../offered"));
        const QString offered = c.offer(dir);
        const QByteArray collection = digest(dir.path("tunarium.db"));
        const QByteArray file = digest(offered);
        const QStringList beside = filesIn(dir.path("../offered"));
        const CliRun run = runCli(dir, {"--dir", dir.dir(), "restore", offered});
        EXPECT_EQ(run.exitCode, 1) << c.what << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.words)) << c.what << "\n" << run.err.toStdString();
        EXPECT_EQ(digest(dir.path("tunarium.db")), collection) << c.what;
        EXPECT_EQ(digest(offered), file) << c.what;
        EXPECT_EQ(filesIn(dir.path("../offered")), beside) << c.what;
        EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-*"}), QStringList()) << c.what;
    }
}

// The collection restore replaces may be one no command can read: that is when a restore is
// needed. It is kept aside, byte for byte, under the dated name of a restore backup, and the
// backup goes in; the backup itself is read without a byte written beside it.
TEST(CliRestore, ReplacesACollectionItCannotReadAndKeepsItAside) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    QList<Spoil> currents = spoils();
    currents << Spoil{"a truncated collection",
                      [](const QString& path) {
                          collectionAt(path, 3000);
                          QFile file(path);
                          ASSERT_TRUE(file.resize(file.size() / 2));
                      },
                      nullptr}
             << Spoil{"a damaged collection",
                      [](const QString& path) {
                          collectionAt(path, 3000);
                          ASSERT_TRUE(tunarium::test::overwriteLeafPages(path, "Tunarium", 2));
                      },
                      nullptr};
    for (const Spoil& current : currents) {
        TempCollection dir;
        const QString backupDir = dir.path("../backups");
        tunarium::test::makeSongCollection(backupDir, 25);
        const QString backup = backupDir + "/tunarium.db";
        QFile::remove(backup + "-wal");
        QFile::remove(backup + "-shm");
        QDir().mkpath(dir.dir());
        current.make(dir.path("tunarium.db"));
        const QByteArray old = digest(dir.path("tunarium.db"));
        const CliRun run = runCli(dir, {"--dir", dir.dir(), "restore", backup});
        ASSERT_EQ(run.exitCode, 0) << current.what << "\n" << run.err.toStdString();
        EXPECT_EQ(filesIn(backupDir), QStringList{"tunarium.db"}) << current.what;
        const QStringList kept = QDir(dir.dir()).entryList({"tunarium-restore-*.db"});
        ASSERT_EQ(kept.size(), 1) << current.what;
        EXPECT_EQ(digest(dir.path(kept.first())), old) << current.what;
        EXPECT_EQ(QDir(dir.dir()).entryList({".tunarium.db.restore-*"}, QDir::Files | QDir::Hidden), QStringList());
        EXPECT_EQ(songsIn(dir.dir()), 25) << current.what;
        const CliRun check = runCli(dir, {"--dir", dir.dir(), "check", "--full", "--quiet"});
        EXPECT_EQ(check.exitCode, 0) << current.what << "\n" << check.out.toStdString();
    }
}

// Backup reads back what it copied: a copy of a damaged collection is named as such, the command
// fails and names repair, and restore refuses that copy.
TEST(CliBackup, ACopyOfADamagedCollectionIsNamedAsSuch) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    TempCollection dir;
    tunarium::test::makeSongCollection(dir.dir(), 3000);
    ASSERT_TRUE(tunarium::test::overwriteLeafPages(dir.path("tunarium.db"), "Tunarium", 2));
    struct Case {
        QStringList args;
        QString damagedName; // what the copy is called (a pattern in the collection folder when empty)
    };
    const QString to = dir.path("../copy.db");
    for (const Case& c : {Case{{"--to", to}, dir.path("../copy-damaged.db")}, Case{{}, {}}}) {
        const CliRun run = runCli(dir, QStringList{"--dir", dir.dir(), "backup"} + c.args);
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("damaged")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("repair")) << run.err.toStdString();
        QString copy = c.damagedName;
        if (copy.isEmpty()) {
            const QStringList made = QDir(dir.dir()).entryList({"tunarium-backup-*"});
            ASSERT_EQ(made.size(), 1);
            EXPECT_TRUE(made.first().endsWith("-damaged.db")) << made.first().toStdString();
            copy = dir.path(made.first());
        } else {
            EXPECT_FALSE(QFileInfo::exists(to));
        }
        EXPECT_EQ(QFileInfo(run.out.trimmed()).canonicalFilePath(), QFileInfo(copy).canonicalFilePath());
        ASSERT_TRUE(QFileInfo::exists(copy));
        const CliRun restore = runCli(dir, {"--dir", dir.dir(), "restore", copy});
        EXPECT_EQ(restore.exitCode, 1);
        EXPECT_TRUE(restore.err.contains("is a damaged collection")) << restore.err.toStdString();
    }
}

// A backup on a read-only disc or folder is restored like any, and nothing is made beside it.
TEST(CliReadOnly, ABackupOnAReadOnlyFolderIsRestoredWithNothingWrittenBesideIt) {
    if (!tunarium::test::cliAvailable() || !tunarium::test::readOnlyFoldersAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set, or no read-only folder can be made";
    }
    TempCollection dir;
    tunarium::test::makeSongCollection(dir.dir(), 30);
    const QString disc = dir.path("../disc");
    tunarium::test::makeSongCollection(disc, 25);
    QFile::remove(disc + "/tunarium.db-wal");
    QFile::remove(disc + "/tunarium.db-shm");
    const CliRun run = tunarium::test::runCliWithReadOnlyFolder(dir, disc, {"--dir", dir.dir(), "restore", disc + "/tunarium.db"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(filesIn(disc), QStringList{"tunarium.db"});
    EXPECT_EQ(songsIn(dir.dir()), 25);
}

// A collection on a read-only disc or folder opens read-only: every command that reads works,
// every command that writes is refused with the reason, and no file there changes.
TEST(CliReadOnly, ACollectionOnAReadOnlyFolderIsReadAndNeverWritten) {
    if (!tunarium::test::cliAvailable() || !tunarium::test::readOnlyFoldersAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set, or no read-only folder can be made";
    }
    for (const bool withLogFiles : {false, true}) {
        TempCollection dir;
        tunarium::test::makeSongCollection(dir.dir(), 40);
        if (!withLogFiles) {
            QFile::remove(dir.path("tunarium.db-wal"));
            QFile::remove(dir.path("tunarium.db-shm"));
        }
        const QString lines = dir.path("../lines.csv");
        writeFile(lines, "Artist,Title\nAbba,Waterloo\n");
        const QString backupDir = dir.path("../backup");
        tunarium::test::makeSongCollection(backupDir, 5);
        QMap<QString, QByteArray> before;
        for (const QString& name : filesIn(dir.dir())) {
            before.insert(name, digest(dir.path(name)));
        }
        struct Case {
            QStringList command;
            bool reads; // exit 0; otherwise refused with the reason
        };
        const Case cases[] = {
            {{"check", "--full", "--quiet"}, true},
            {{"info"}, true},
            {{"playlist", "list"}, true},
            {{"export", dir.path("../out.csv"), "--quiet"}, true},
            {{"backup", "--to", dir.path("../copy.db")}, true},
            {{"import", lines, "--quiet"}, false},
            {{"compact"}, false},
            {{"rebuild-keys"}, false},
            {{"restore", backupDir + "/tunarium.db"}, false},
        };
        for (const Case& c : cases) {
            const std::string what = (withLogFiles ? "with log files: " : "") + c.command.join(' ').toStdString();
            const CliRun run =
                tunarium::test::runCliWithReadOnlyFolder(dir, dir.dir(), QStringList{"--dir", dir.dir()} + c.command);
            EXPECT_EQ(run.exitCode, c.reads ? 0 : 1) << what << "\n" << run.out.toStdString() << run.err.toStdString();
            if (!c.reads) {
                EXPECT_TRUE((run.err + run.out).contains("read-only")) << what << "\n" << run.err.toStdString();
            }
            QMap<QString, QByteArray> after;
            for (const QString& name : filesIn(dir.dir())) {
                after.insert(name, digest(dir.path(name)));
            }
            EXPECT_EQ(after, before) << what;
        }
        EXPECT_TRUE(QFileInfo::exists(dir.path("../copy.db")));
        EXPECT_EQ(tunarium::test::sqlNumber(dir.path("../copy.db"), "SELECT COUNT(*) FROM \"Tunarium\""), 40);
    }
}

} // namespace
