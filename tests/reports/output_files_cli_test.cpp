// Every writer of the command line (report, label and binder PDFs, export, backup) aimed at every
// kind of target: the collection's own files by any name, things that are no file, a file there
// already, a disk that fills up. The collection is never touched and nothing is left behind.
#include "data/database.h"
#include "data/settings.h"
#include "reports/label_fill.h"
#include "support/cli_run.h"
#include "support/song_collection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace tunarium::test {
namespace {

constexpr int kSongs = 3000;

struct Writer {
    const char* name;
    QStringList (*args)(const QString& target);
    bool replacesAFile; // a backup never does
};

const Writer kWriters[] = {
    {"report", [](const QString& t) { return QStringList{"report", "songs-by-artist", "--pdf", t, "--quiet"}; }, true},
    {"label", [](const QString& t) { return QStringList{"label", "7", "--pdf", t}; }, true},
    {"binder", [](const QString& t) { return QStringList{"binder", "--from", "F1", "--to", "F9", "--pdf", t, "--quiet"}; },
     true},
    {"export", [](const QString& t) { return QStringList{"export", t, "--quiet"}; }, true},
    {"backup", [](const QString& t) { return QStringList{"backup", "--to", t}; }, false},
};

CliRun runLimited(const TempCollection& dir, const QStringList& args, qint64 fileLimit) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TUNARIUM_CONFIG_DIR", dir.configDir());
    p.setProcessEnvironment(env);
    // A disk that fills up after `fileLimit` bytes of any one file: writes past it fail.
    p.setChildProcessModifier([fileLimit] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(fileLimit), static_cast<rlim_t>(fileLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    p.start(qEnvironmentVariable("TUNARIUM_CLI"), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

class OutputFilesCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!cliAvailable()) {
            GTEST_SKIP() << "TUNARIUM_CLI is not set";
        }
        makeSongCollection(dir.dir(), kSongs);
        RecordingPrompter prompter;
        Database db(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        ASSERT_TRUE(db.openTables({TableId::Album, TableId::Labels}));
        AlbumRecord album;
        album.albumId = 1;
        album.artist = QStringLiteral("Smith, Anna");
        album.album = QStringLiteral("Blue");
        album.fileNumber = QStringLiteral("F1");
        ASSERT_TRUE(db.store().insert(album).ok());
        Row label = newLabel(7);
        label.setText(lab::kLabelType, QStringLiteral("CD"));
        label.setText(lab::kCdTitle, QStringLiteral("Blue"));
        ASSERT_TRUE(db.store().insert(label).ok());
        db.closeAll();
        ASSERT_TRUE(QDir().mkpath(outside()));
    }

    QString outside() const { return dir.configDir() + "/out"; }
    QStringList collectionFolder() const {
        return QDir(dir.dir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
    QStringList outsideFolder() const {
        return QDir(outside()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
    // The collection is whole: an SQLite file with every song, and the command line finds it so.
    void expectCollectionWhole(const std::string& what) {
        QFile file(dir.path("tunarium.db"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << what;
        EXPECT_EQ(file.read(16), QByteArray("SQLite format 3\0", 16)) << what;
        EXPECT_EQ(songsIn(dir.dir()), kSongs) << what;
        EXPECT_EQ(runCli(dir, {"--dir", dir.dir(), "check"}).exitCode, 0) << what;
    }

    TempCollection dir;
};

TEST_F(OutputFilesCli, TheCollectionsOwnFilesAreRefusedByAnyName) {
    const QString link = outside() + "/looks-harmless.pdf";
    ASSERT_TRUE(QFile::link(dir.path("tunarium.db"), link));
    const QStringList folderBefore = collectionFolder();
    const QString targets[] = {
        dir.path("tunarium.db"),
        link,
        dir.path("tunarium.db-wal"),
        dir.path("tunarium.db-shm"),
        dir.path("tunarium.db-journal"), // a name SQLite makes only while it works
        dir.path("../collection/./tunarium.db"),
        dir.path("TUNARIUM.DB"),
    };
    for (const Writer& w : kWriters) {
        for (const QString& target : targets) {
            const std::string what = std::string(w.name) + " onto " + target.toStdString();
            const CliRun run = runCli(dir, QStringList{"--dir", dir.dir()} + w.args(target));
            EXPECT_EQ(run.exitCode, 1) << what << run.out.toStdString();
            EXPECT_TRUE(run.err.contains("collection itself")) << what << ": " << run.err.toStdString();
            // A refusal is only that: no copy was made, nothing is called damaged.
            EXPECT_FALSE(run.err.contains("damaged")) << what << ": " << run.err.toStdString();
            EXPECT_EQ(collectionFolder(), folderBefore) << what;
        }
        expectCollectionWhole(w.name);
    }
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

TEST_F(OutputFilesCli, WhatIsNoFileIsRefusedOrWrittenIntoNeverReplaced) {
    const QString folder = outside() + "/a-folder";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString socketPath = outside() + "/a-socket";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(socketPath);
    ASSERT_LT(static_cast<size_t>(encoded.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, encoded.constData(), static_cast<size_t>(encoded.size()));
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    struct Target {
        QString path;
        int exitCode;      // for a writer that may replace a file
        const char* says;  // in the refusal
    };
    const Target targets[] = {
        {folder, 1, "is a folder, not a file"},
        {socketPath, 1, "is a socket, not a file"},
        {outside() + "/no-such-folder/x.out", 1, "does not exist"},
        {"/dev/null", 0, ""}, // a device takes what is written and stays a device
    };
    for (const Writer& w : kWriters) {
        for (const Target& t : targets) {
            const std::string what = std::string(w.name) + " onto " + t.path.toStdString();
            const CliRun run = runCli(dir, QStringList{"--dir", dir.dir()} + w.args(t.path));
            // A backup is written to a new file only.
            const int expected = w.replacesAFile ? t.exitCode : 1;
            EXPECT_EQ(run.exitCode, expected) << what << ": " << run.err.toStdString();
            // The export names a missing folder in its own words ("File Not Found").
            EXPECT_FALSE(run.err.contains("damaged")) << what << ": " << run.err.toStdString();
            if (expected == 1 && *t.says != '\0' && !(w.name == std::string("export") && t.exitCode == 1 &&
                                                        run.err.contains("File Not Found"))) {
                EXPECT_TRUE(run.err.contains(t.says)) << what << ": " << run.err.toStdString();
            }
        }
    }
    struct stat st {};
    ASSERT_EQ(::lstat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    ASSERT_EQ(::lstat(QFile::encodeName(socketPath).constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    ::close(sock);
    EXPECT_EQ(outsideFolder(), QStringList({"a-folder", "a-socket"}));
    EXPECT_TRUE(QDir(folder).isEmpty());
    expectCollectionWhole("after every kind");
}

TEST_F(OutputFilesCli, AFileThereIsReplacedWhenTheNewOneIsWholeAndKeptWhenItCannotBe) {
    for (const Writer& w : kWriters) {
        const std::string what = w.name;
        const QString target = outside() + "/" + w.name + ".out";
        const QString link = outside() + "/" + w.name + "-link.out";
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the file that was there");
        old.close();
        ASSERT_TRUE(QFile::link(target, link));

        // A disk that fills up: the old file stays as it was, nothing else is left.
        CliRun run = runLimited(dir, QStringList{"--dir", dir.dir()} + w.args(link), 20000);
        EXPECT_EQ(run.exitCode, 1) << what << ": " << run.out.toStdString();
        EXPECT_FALSE(run.out.contains("written")) << what << ": " << run.out.toStdString();
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), QByteArray("the file that was there")) << what;
        old.close();
        EXPECT_EQ(outsideFolder().size(), 2) << what << ": " << outsideFolder().join(' ').toStdString();

        // With room, through the link: the file behind it is replaced and the link kept.
        run = runCli(dir, QStringList{"--dir", dir.dir()} + w.args(link));
        EXPECT_EQ(run.exitCode, w.replacesAFile ? 0 : 1) << what << ": " << run.err.toStdString();
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll() != QByteArray("the file that was there"), w.replacesAFile) << what;
        old.close();
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << what;
        EXPECT_EQ(outsideFolder().size(), 2) << what << ": " << outsideFolder().join(' ').toStdString();
        QFile::remove(link);
        QFile::remove(target);

        // A new file on a full disk leaves nothing under its name.
        const QString fresh = outside() + "/" + w.name + "-new.out";
        run = runLimited(dir, QStringList{"--dir", dir.dir()} + w.args(fresh), 20000);
        EXPECT_EQ(run.exitCode, 1) << what;
        EXPECT_EQ(outsideFolder(), QStringList()) << what;
    }
    expectCollectionWhole("after the full disks");
}

TEST_F(OutputFilesCli, OnlyTemporariesNobodyHoldsAreSweptAndNeverAUsersFile) {
    const QDir out(outside());
    const auto make = [&](const QString& name, qint64 ageSeconds) {
        QFile f(out.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.close();
        const QByteArray path = QFile::encodeName(out.filePath(name));
        const timeval times[2] = {{time(nullptr) - ageSeconds, 0}, {time(nullptr) - ageSeconds, 0}};
        EXPECT_EQ(::utimes(path.constData(), times), 0);
    };
    make(".copy.db.part-1", 7200);                        // a user's file, whatever its name says
    make(".copy.db.tunarium-0123456789abcdef", 7200);     // left by a killed copy: swept
    make(".copy.db.tunarium-0123456789abcdef-journal", 7200);
    make(".other.pdf.tunarium-fedcba9876543210", 7200);   // another writer's, still held
    make(".young.pdf.tunarium-00000000000000aa", 0);      // perhaps only just made
    make(".copy.db.tunarium-short", 7200);
    const int held = ::open(QFile::encodeName(out.filePath(".other.pdf.tunarium-fedcba9876543210")).constData(),
                            O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    const CliRun run = runCli(dir, {"--dir", dir.dir(), "backup", "--to", out.filePath("copy.db")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    ::close(held);
    EXPECT_EQ(outsideFolder(), QStringList({".copy.db.part-1", ".copy.db.tunarium-short",
                                            ".other.pdf.tunarium-fedcba9876543210",
                                            ".young.pdf.tunarium-00000000000000aa", "copy.db"}));
    EXPECT_EQ(songsIn(dir.dir()), kSongs);
}

} // namespace
} // namespace tunarium::test
