// The export's file: the old file stays as it was until an export is done and for good when it
// fails, a full disk answered with Retry and Abort, links and permissions kept, and the
// collection's own file refused by any name.
#include "data/app_paths.h"
#include "exchange_fixture.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>

using namespace tunarium;

namespace {

class ExportFileTest : public test::ExchangeFixture {
protected:
    void SetUp() override {
        ExchangeFixture::SetUp();
        QVector<SongRecord> songs;
        for (int i = 1; i <= 2000; ++i) {
            SongRecord s;
            s.id = i;
            s.artist = QStringLiteral("Artist %1").arg(i, 4, 10, QChar('0'));
            s.notes = QString(60, QChar('n'));
            songs << s;
        }
        addSongs(songs);
        // Every table the export reads is made now, not while a test holds the disk full.
        EXPECT_TRUE(db.openTable(TableId::Categories));
        db.closeTable(TableId::Categories);
    }

    QString oldFile(const QString& name = QStringLiteral("keep.csv")) {
        return writeFile("the user's own lines\r\n", name);
    }

    static QByteArray contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }

    // The new files an export left in its folder.
    QStringList leftOver() {
        return QDir(dir.configDir()).entryList({QStringLiteral(".*.tunarium-*")}, QDir::Files | QDir::Hidden);
    }

    qint64 songCount() {
        EXPECT_TRUE(db.openTable(TableId::Tunarium));
        const qint64 n = db.store().count(TableId::Tunarium);
        db.closeTable(TableId::Tunarium);
        return n;
    }
};

// Files of this process may grow to `bytes` only while it lives, as on a disk that is full; a
// write past the limit fails with EFBIG instead of ending the process.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        set(bytes);
    }
    ~FullDisk() { lift(); }
    void set(rlim_t bytes) {
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    void lift() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// Answers Retry to a failed write once the disk has room again, as a user does who made room.
class MakesRoomPrompter : public RecordingPrompter {
public:
    explicit MakesRoomPrompter(FullDisk& disk) : m_disk(disk) {}
    int message(const PromptMessage& m) override {
        RecordingPrompter::message(m);
        m_disk.lift();
        return kButtonRetry;
    }

private:
    FullDisk& m_disk;
};

TEST_F(ExportFileTest, TheOldFileIsReplacedOnlyByAFinishedExport) {
    const QString keep = oldFile();
    auto process = openExport(db, prompter, keep, exportableFields(), true);
    ASSERT_TRUE(process);
    ASSERT_TRUE(process->start());
    EXPECT_TRUE(process->step());
    // Written so far, but not yet in place.
    EXPECT_EQ(contents(keep), "the user's own lines\r\n");
    EXPECT_EQ(leftOver().size(), 1);
    EXPECT_TRUE(runToEnd(*process));
    EXPECT_FALSE(process->failed());
    process.reset();
    const QList<QByteArray> lines = contents(keep).split('\n');
    EXPECT_EQ(lines.size(), 2002); // header, songs, and the end of the last line
    EXPECT_TRUE(lines[1].startsWith("\"Artist 0001\""));
    EXPECT_TRUE(leftOver().isEmpty());
    EXPECT_TRUE(prompter.messages.isEmpty());

    // A cancelled export keeps the lines it wrote, in place of the old file.
    oldFile();
    process = openExport(db, prompter, keep, exportableFields(), false);
    ASSERT_TRUE(process->start());
    EXPECT_TRUE(process->step());
    process->cancel();
    EXPECT_FALSE(process->failed());
    process.reset();
    EXPECT_EQ(contents(keep).count('\n'), 25);
    EXPECT_TRUE(leftOver().isEmpty());

    // An export never run leaves the old file.
    oldFile();
    process = openExport(db, prompter, keep, exportableFields(), true);
    process.reset();
    EXPECT_EQ(contents(keep), "the user's own lines\r\n");
    EXPECT_TRUE(leftOver().isEmpty());
}

TEST_F(ExportFileTest, AFullDiskLeavesTheOldFileOrIsWaitedOutWithRetry) {
    const QString keep = oldFile();
    {
        // Abort: the export ends, the old file is as it was, nothing else is left.
        FullDisk disk(64 * 1024);
        prompter.answers = {kButtonRetry, kButtonAbort};
        auto process = openExport(db, prompter, keep, exportableFields(), true);
        ASSERT_TRUE(process);
        EXPECT_TRUE(runToEnd(*process));
        EXPECT_TRUE(process->failed());
        process.reset();
    }
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[0].caption, "Cannot ADD to " + keep);
    EXPECT_EQ(prompter.messages[1].caption, "Cannot ADD to " + keep);
    EXPECT_EQ(prompter.messages[1].buttons, kButtonAbort | kButtonRetry);
    EXPECT_EQ(contents(keep), "the user's own lines\r\n");
    EXPECT_TRUE(leftOver().isEmpty());

    // Retry once there is room: every line is written once, in order.
    const QStringList whole = exportLines(exportableFields());
    FullDisk disk(64 * 1024);
    MakesRoomPrompter makesRoom(disk);
    auto process = openExport(db, makesRoom, keep, exportableFields(), true);
    ASSERT_TRUE(process);
    EXPECT_TRUE(runToEnd(*process));
    EXPECT_FALSE(process->failed());
    process.reset();
    ASSERT_EQ(makesRoom.messages.size(), 1);
    EXPECT_EQ(QString::fromUtf8(contents(keep)), whole.join("\r\n") + "\r\n");
}

TEST_F(ExportFileTest, ACollectionThatCannotBeReadLeavesTheOldFile) {
    const QString keep = oldFile();
    test::TempCollection broken;
    QDir().mkpath(broken.dir());
    QFile bad(collectionFilePath(broken.dir()));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(8192, 'x'));
    bad.close();
    RecordingPrompter told;
    Database damaged(told, broken.dir(), broken.configDir() + "/profile.ini");
    auto process = openExport(damaged, told, keep, exportableFields(), true);
    ASSERT_TRUE(process);
    runToEnd(*process);
    EXPECT_TRUE(process->failed());
    process.reset();
    EXPECT_FALSE(told.messages.isEmpty()); // the damage was told
    EXPECT_EQ(contents(keep), "the user's own lines\r\n");
    EXPECT_TRUE(leftOver().isEmpty());
}

TEST_F(ExportFileTest, ALinkStaysALinkAndTheFileKeepsItsPermissions) {
    const QString real = oldFile("real.csv");
    ASSERT_TRUE(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions permissions = QFile::permissions(real);
    const QString link = dir.configDir() + "/link.csv";
    ASSERT_TRUE(QFile::link(real, link));
    auto process = openExport(db, prompter, link, exportableFields(), true);
    ASSERT_TRUE(process);
    EXPECT_TRUE(runToEnd(*process));
    process.reset();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(contents(real).startsWith("\"TUN:Artist\""));
    EXPECT_EQ(QFile::permissions(real), permissions);
    EXPECT_TRUE(leftOver().isEmpty());
}

TEST_F(ExportFileTest, TheCollectionsOwnFilesAreRefusedByAnyName) {
    // Only looked at by name: a descriptor of it opened here would drop the collection's locks.
    const QString file = collectionFilePath(dir.dir());
    const qint64 before = QFileInfo(file).size();
    const QString link = dir.configDir() + "/innocent.csv";
    ASSERT_TRUE(QFile::link(file, link));
    ASSERT_TRUE(QFile::link(dir.dir(), dir.configDir() + "/there"));
    const QString names[] = {
        file,
        file + "-wal",
        file + "-shm",
        dir.dir() + "/../collection/tunarium.db",
        dir.dir() + "/TUNARIUM.DB",
        link,
        dir.configDir() + "/there/tunarium.db",
    };
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        prompter.messages.clear();
        EXPECT_EQ(openExport(db, prompter, name, exportableFields(), true), nullptr);
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_EQ(prompter.messages[0].caption, "Cannot CREATE " + name);
        EXPECT_EQ(
            prompter.messages[0].text,
            name + " holds the collection itself; an export would destroy it. Please choose another file.");
    }
    EXPECT_EQ(songCount(), 2000);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(file).size(), before);
    // A directory is no file to write.
    prompter.messages.clear();
    EXPECT_EQ(openExport(db, prompter, dir.configDir(), exportableFields(), true), nullptr);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, dir.configDir() + " is a folder, not a file.");
}

} // namespace
