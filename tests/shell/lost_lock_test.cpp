// The collection's write-ahead log survives what once deleted it under a running program: a file
// dialog showing the collection directory, and a lost lock, while another copy of the program
// opens and closes the collection. And the file dialogs start elsewhere.
#include "data/database.h"
#include "data/settings.h"
#include "shell_fixture.h"
#include "support/cli_run.h"
#include "ui/gui_prompter.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QRegularExpression>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tunarium;

namespace {

// Whether this process holds a POSIX lock on `path` (SQLite holds one on the collection file for
// as long as it has it open).
bool holdsLockOn(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return false;
    }
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly)) {
        return false;
    }
    static const QRegularExpression line(
        QStringLiteral(R"(POSIX\s+\S+\s+\S+\s+(\d+)\s+[0-9a-f]+:[0-9a-f]+:(\d+)\s)"));
    for (const QString& text : QString::fromLatin1(locks.readAll()).split(u'\n')) {
        const QRegularExpressionMatch m = line.match(text);
        if (m.hasMatch() && m.captured(1).toLongLong() == ::getpid() &&
            m.captured(2).toULongLong() == static_cast<qulonglong>(st.st_ino)) {
            return true;
        }
    }
    return false;
}

// Files of the collection this process has open although they were deleted, one a line.
QString deletedCollectionFiles() {
    QStringList deleted;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : fds.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString target = QFile::symLinkTarget(fds.filePath(fd));
        if (target.contains(QStringLiteral("tunarium.db")) && target.endsWith(QStringLiteral(" (deleted)"))) {
            deleted << target;
        }
    }
    return deleted.join(u'\n');
}

class LostLockTest : public test::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        if (!test::cliAvailable()) {
            GTEST_SKIP() << "TUNARIUM_CLI is not set";
        }
        ASSERT_TRUE(db.openTable(TableId::Tunarium));
        addSong(1);
        ASSERT_TRUE(holdsLockOn(collectionPath()));
    }
    void TearDown() override { db.closeAll(); }

    QString collectionPath() const { return collectionFilePath(dir.dir()); }

    void addSong(qint64 id) {
        SongRecord s;
        s.id = id;
        s.artist = QStringLiteral("Artist %1").arg(id);
        s.title = QStringLiteral("Title %1").arg(id);
        ASSERT_TRUE(db.store().insert(s).ok());
    }

    // The songs another copy of the program finds in the collection.
    qint64 songsSeenElsewhere() {
        const test::CliRun run = test::runCli(dir, {"--dir", dir.dir(), "info"});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        for (const QString& line : run.out.split(u'\n')) {
            const QStringList fields = line.split(u'\t');
            if (fields.size() == 4 && fields[0] == QLatin1String("Tunarium")) {
                return fields[3].toLongLong();
            }
        }
        return -1;
    }

    // After another copy opened and closed the collection, this one still writes where the
    // others read.
    void expectTheLogIsShared() {
        EXPECT_EQ(songsSeenElsewhere(), 1);
        EXPECT_EQ(deletedCollectionFiles().toStdString(), "");
        addSong(2);
        EXPECT_EQ(db.store().count(TableId::Tunarium), 2);
        SongRecord back;
        EXPECT_TRUE(db.store().get(tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {qint64(2)}, back).ok());
        EXPECT_EQ(back.title, "Title 2");
        EXPECT_EQ(songsSeenElsewhere(), 2);
        EXPECT_TRUE(QFile::exists(collectionPath() + QStringLiteral("-wal")));
        EXPECT_TRUE(QFile::exists(collectionPath() + QStringLiteral("-shm")));
    }

    Database db{prompter, dir.dir(), profile()};
};

TEST_F(LostLockTest, AFileDialogOnTheCollectionDirectoryOpensNoFileThere) {
    std::unique_ptr<QFileDialog> dialog =
        makeFileDialog(nullptr, QStringLiteral("Import File"), dir.dir(),
                       QStringLiteral("Import Files|*.CSV|All Files|*.*"), QFileDialog::AcceptOpen);
    dialog->show();
    auto* model = dialog->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    // Every file shown, and each one's icon and kind asked for, as the list view does.
    dialog->selectNameFilter(QStringLiteral("All Files (*.*)"));
    const QModelIndex root = model->index(dir.dir());
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(root) >= 4; }, 10000))
        << "the dialog did not list the collection directory";
    for (int row = 0; row < model->rowCount(root); ++row) {
        for (int column = 0; column < model->columnCount(root); ++column) {
            const QModelIndex index = model->index(row, column, root);
            model->data(index, Qt::DecorationRole);
            model->data(index, Qt::DisplayRole);
        }
    }
    QTest::qWait(300);
    EXPECT_TRUE(holdsLockOn(collectionPath())) << "a file dialog opened the collection file";
    dialog.reset();
    expectTheLogIsShared();
}

// The defence that holds even when the locks are lost, whatever loses them.
TEST_F(LostLockTest, ALostLockLetsNoOtherCopyDeleteTheLog) {
    const int fd = ::open(QFile::encodeName(collectionPath()).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_FALSE(holdsLockOn(collectionPath()));
    expectTheLogIsShared();
}

// Where the dialogs start: never the collection directory (the current directory) by default.
TEST(FileDialogs, StartInTheFolderChosenLastElseMusicElseHome) {
    test::TempCollection dir;
    const QString first = fileDialogFolder();
    EXPECT_TRUE(first == QDir::homePath() || first.endsWith(QStringLiteral("/Music"))) << first.toStdString();
    const auto startsIn = [](const QString& start) {
        return makeFileDialog(nullptr, QStringLiteral("Export File"), start, QStringLiteral("All Files|*.*"),
                              QFileDialog::AcceptSave)
            ->directory()
            .absolutePath();
    };
    EXPECT_EQ(startsIn({}), QDir(first).absolutePath());
    // A suggested file in a folder that is not there.
    EXPECT_EQ(startsIn(QStringLiteral("/no/such/folder/Report.pdf")), QDir(first).absolutePath());

    ASSERT_TRUE(QDir().mkpath(dir.path("exports")));
    ASSERT_TRUE(rememberFileDialogFolder(dir.path("exports/songs.csv")));
    EXPECT_EQ(fileDialogFolder(), dir.path("exports"));
    EXPECT_EQ(startsIn({}), dir.path("exports"));
}

} // namespace
