// A repair cut short at each of its steps, as a crash leaves the files, and the next open: the
// collection file is always there, the fresh one replaces it only when it was complete, and the
// damaged one is kept once, whole.
#include "data/app_paths.h"
#include "data/store_sqlite.h"
#include "data/repair_swap.h"
#include "data/store.h"
#include "support/song_collection.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

using tunarium::collectionFilePath;
using tunarium::repairFolder;
using tunarium::RepairSwap;
using tunarium::settleLeftoverRepair;
using tunarium::test::TempCollection;

const QByteArray kDamaged("the damaged file");
const QByteArray kDamagedLog("its log");
const QByteArray kFresh("the fresh file");
const QString kKept("tunarium-damaged-20260101-000000.db");

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The moments a repair can be killed at, each as the files it leaves.
enum class Step { FolderMade, FreshWritten, NoteWritten, DamagedKept, LogRemoved, FreshInPlace };

void leave(const QString& dir, Step step) {
    const QString folder = repairFolder(dir);
    const QString collection = collectionFilePath(dir);
    const QString kept = QDir(dir).filePath(kKept);
    write(collection, kDamaged);
    write(collection + "-wal", kDamagedLog);
    ASSERT_TRUE(QDir().mkpath(folder));
    write(folder + "/lock", {});
    if (step >= Step::FreshWritten) {
        write(collectionFilePath(folder), kFresh);
    }
    if (step >= Step::NoteWritten) {
        write(folder + "/ready", kKept.toUtf8());
    }
    if (step >= Step::DamagedKept) {
        ASSERT_EQ(::link(QFile::encodeName(collection).constData(), QFile::encodeName(kept).constData()), 0);
        ASSERT_EQ(::link(QFile::encodeName(collection + "-wal").constData(),
                         QFile::encodeName(kept + "-wal").constData()),
                  0);
    }
    if (step >= Step::LogRemoved) {
        QFile::remove(collection + "-wal");
    }
    if (step >= Step::FreshInPlace) {
        QFile::remove(collection);
        ASSERT_TRUE(QFile::rename(collectionFilePath(folder), collection));
    }
}

TEST(RepairSwap, ALeftoverRepairIsUndoneBeforeItsNoteAndFinishedAfter) {
    struct Case {
        Step step;
        bool finished;
    };
    const Case cases[] = {
        {Step::FolderMade, false},  {Step::FreshWritten, false}, {Step::NoteWritten, true},
        {Step::DamagedKept, true},  {Step::LogRemoved, true},    {Step::FreshInPlace, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step));
        TempCollection dir;
        leave(dir.dir(), c.step);
        settleLeftoverRepair(dir.dir());
        const QString collection = collectionFilePath(dir.dir());
        const QString kept = QDir(dir.dir()).filePath(kKept);
        EXPECT_FALSE(QFileInfo::exists(repairFolder(dir.dir())));
        if (c.finished) {
            EXPECT_EQ(contents(collection), kFresh);
            EXPECT_EQ(contents(kept), kDamaged);
            EXPECT_EQ(contents(kept + "-wal"), kDamagedLog);
            // The damaged file's log must never meet the fresh file.
            EXPECT_FALSE(QFileInfo::exists(collection + "-wal"));
        } else {
            EXPECT_EQ(contents(collection), kDamaged);
            EXPECT_EQ(contents(collection + "-wal"), kDamagedLog);
            EXPECT_FALSE(QFileInfo::exists(kept));
        }
        // Settling again changes nothing.
        settleLeftoverRepair(dir.dir());
        EXPECT_EQ(contents(collection), c.finished ? kFresh : kDamaged);
    }
}

TEST(RepairSwap, ARunningRepairIsLeftAloneAndItsFreshFileReplacesTheCollection) {
    TempCollection dir;
    tunarium::test::makeSongCollection(dir.dir(), 20);
    const QByteArray damaged = contents(collectionFilePath(dir.dir()));
    RepairSwap swap;
    QString error;
    ASSERT_TRUE(swap.begin(dir.dir(), error)) << error.toStdString();
    tunarium::test::makeSongCollection(swap.freshDir(), 7);
    // Another open meanwhile (here the same process through another descriptor) leaves it be.
    settleLeftoverRepair(dir.dir());
    ASSERT_TRUE(QFileInfo::exists(collectionFilePath(swap.freshDir())));
    RepairSwap second;
    EXPECT_FALSE(second.begin(dir.dir(), error));

    QString keptAs;
    ASSERT_TRUE(swap.commit(keptAs, error)) << error.toStdString();
    EXPECT_EQ(contents(QDir(dir.dir()).filePath(keptAs)), damaged);
    EXPECT_FALSE(QFileInfo::exists(repairFolder(dir.dir())));
    EXPECT_EQ(tunarium::test::songsIn(dir.dir()), 7);

    // A repair given up leaves the collection as it was.
    RepairSwap third;
    ASSERT_TRUE(third.begin(dir.dir(), error)) << error.toStdString();
    tunarium::test::makeSongCollection(third.freshDir(), 3);
    third.abandon();
    EXPECT_FALSE(QFileInfo::exists(repairFolder(dir.dir())));
    EXPECT_EQ(tunarium::test::songsIn(dir.dir()), 7);
}

TEST(RepairSwap, TheNextOpenOfTheCollectionFinishesALeftoverRepair) {
    TempCollection dir;
    tunarium::test::makeSongCollection(dir.dir(), 5);
    const QString folder = repairFolder(dir.dir());
    tunarium::test::makeSongCollection(folder, 9);
    write(folder + "/ready", kKept.toUtf8());
    tunarium::SqliteStore store;
    ASSERT_TRUE(store.open(dir.dir()).ok());
    EXPECT_EQ(store.count(tunarium::TableId::Tunarium), 9);
    EXPECT_TRUE(QFileInfo::exists(QDir(dir.dir()).filePath(kKept)));
    EXPECT_FALSE(QFileInfo::exists(folder));
}

} // namespace
