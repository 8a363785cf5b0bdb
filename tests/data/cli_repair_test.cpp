// `tunarium-cli repair` on collections damaged in the ways a disk damages them: the songs table's
// root page, one leaf page, the file cut in half (with and without its first page), every page.
// What the repair saves is compared with what SQLite says was on the pages that were left whole,
// and the share saved is printed.
#include "data/records.h"
#include "data/store_sqlite.h"
#include "data/store.h"
#include "support/cli_run.h"
#include "support/song_collection.h"
#include "support/sql_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>

#include <cstdio>

namespace {

using tunarium::test::CliRun;
using tunarium::test::runCli;
using tunarium::test::sqlRows;
using tunarium::test::TempCollection;

constexpr int kSongs = 5000;

struct Leaf {
    qint64 page = 0;
    qint64 cells = 0;
};

// What SQLite says of the sound file: its songs' numbers in record order, the songs table's
// root and leaf pages, the page size and count.
struct Layout {
    QList<qint64> ids;
    qint64 root = 0;
    QList<Leaf> leaves;
    qint64 pageSize = 0;
    qint64 pages = 0;
};

Layout layoutOf(const QString& file) {
    Layout l;
    for (const QStringList& row : sqlRows(file, "SELECT \"ID\" FROM Tunarium ORDER BY rowid")) {
        l.ids << row[0].toLongLong();
    }
    l.root = tunarium::test::sqlNumber(file, "SELECT rootpage FROM sqlite_master WHERE name = 'Tunarium'");
    for (const QStringList& row :
         sqlRows(file, "SELECT pageno, ncell FROM dbstat WHERE name = 'Tunarium' AND pagetype = 'leaf' "
                       "ORDER BY pageno")) {
        l.leaves << Leaf{row[0].toLongLong(), row[1].toLongLong()};
    }
    l.pageSize = tunarium::test::sqlNumber(file, "PRAGMA page_size");
    l.pages = tunarium::test::sqlNumber(file, "PRAGMA page_count");
    return l;
}

bool overwrite(const QString& file, const Layout& l, qint64 page) {
    QFile f(file);
    return f.open(QIODevice::ReadWrite) && f.seek((page - 1) * l.pageSize) &&
           f.write(QByteArray(static_cast<int>(l.pageSize), '\x5a')) == l.pageSize;
}

enum class Damage { RootPage, LeafPage, CutInHalf, CutInHalfWithoutFirstPage, EveryPage };

struct Case {
    const char* name;
    Damage damage;
};

// Damages the file; returns the songs on the songs table's pages that are left whole.
qint64 damage(const QString& file, const Layout& l, Damage d, qint64& damagedLeaf) {
    qint64 readable = l.ids.size();
    switch (d) {
    case Damage::RootPage:
        EXPECT_TRUE(overwrite(file, l, l.root));
        break;
    case Damage::LeafPage: {
        const Leaf& leaf = l.leaves[l.leaves.size() / 2];
        damagedLeaf = leaf.page;
        EXPECT_TRUE(overwrite(file, l, leaf.page));
        readable -= leaf.cells;
        break;
    }
    case Damage::CutInHalf:
    case Damage::CutInHalfWithoutFirstPage: {
        const qint64 kept = l.pages / 2;
        EXPECT_TRUE(QFile::resize(file, kept * l.pageSize));
        readable = 0;
        for (const Leaf& leaf : l.leaves) {
            readable += leaf.page <= kept ? leaf.cells : 0;
        }
        if (d == Damage::CutInHalfWithoutFirstPage) {
            EXPECT_TRUE(overwrite(file, l, 1));
        }
        break;
    }
    case Damage::EveryPage:
        for (qint64 p = 1; p <= l.pages; ++p) {
            EXPECT_TRUE(overwrite(file, l, p));
        }
        readable = 0;
        break;
    }
    return readable;
}

TEST(CliRepair, SavesEverySongOnThePagesThatAreLeft) {
    if (!tunarium::test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    const Case cases[] = {
        {"songs root page", Damage::RootPage},
        {"one leaf page", Damage::LeafPage},
        {"file cut in half", Damage::CutInHalf},
        {"file cut in half, first page too", Damage::CutInHalfWithoutFirstPage},
        {"every page", Damage::EveryPage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempCollection dir;
        tunarium::test::makeSongCollection(dir.dir(), kSongs);
        const QString file = dir.path("tunarium.db");
        const Layout sound = layoutOf(file);
        ASSERT_EQ(sound.ids.size(), kSongs);
        if (sound.leaves.size() < 4) {
            GTEST_SKIP() << "the SQLite library has no dbstat table";
        }
        qint64 damagedLeaf = 0;
        const qint64 readable = damage(file, sound, c.damage, damagedLeaf);

        const CliRun run = runCli(dir, {"--dir", dir.dir(), "repair"});
        // Anything lost is no success, and a total loss says so.
        EXPECT_EQ(run.exitCode, readable == kSongs ? 0 : 1) << run.out.toStdString() << run.err.toStdString();
        EXPECT_FALSE(run.out.contains("0 saved and 0 lost")) << run.out.toStdString();
        const QList<QStringList> rows = sqlRows(file, "SELECT \"ID\" FROM Tunarium");
        QSet<qint64> saved;
        for (const QStringList& row : rows) {
            saved.insert(row[0].toLongLong());
        }
        EXPECT_EQ(saved.size(), rows.size()) << "a song saved twice";
        std::printf("[ salvage ] %s: %lld saved of %lld on readable pages (%.1f %%)\n", c.name,
                    static_cast<long long>(saved.size()), static_cast<long long>(readable),
                    readable > 0 ? 100.0 * static_cast<double>(saved.size()) / static_cast<double>(readable) : 100.0);
        EXPECT_EQ(saved.size(), readable);
        for (qint64 id : saved) {
            EXPECT_TRUE(sound.ids.contains(id)) << id;
        }
        if (c.damage == Damage::LeafPage) {
            // Exactly the damaged page's songs are gone: the ones beside it, on both sides, stay.
            QList<qint64> missing;
            for (qint64 id : sound.ids) {
                if (!saved.contains(id)) {
                    missing << id;
                }
            }
            ASSERT_FALSE(missing.isEmpty());
            const qsizetype first = sound.ids.indexOf(missing.first());
            EXPECT_EQ(sound.ids.mid(first, missing.size()), missing) << "the lost songs are not one page's";
        }
        if (readable == 0) {
            EXPECT_TRUE(run.out.contains("Nothing could be saved")) << run.out.toStdString();
        } else if (readable < kSongs) {
            EXPECT_TRUE(run.out.contains(QString("Tunarium: %1 of %2 records saved, %3 lost.")
                                             .arg(readable)
                                             .arg(kSongs)
                                             .arg(kSongs - readable)))
                << run.out.toStdString();
        } else {
            EXPECT_TRUE(run.out.contains(QString("Tunarium: all %1 records saved.").arg(kSongs)))
                << run.out.toStdString();
        }
        // The new collection is sound and in use; the damaged file is kept once, as it was.
        EXPECT_EQ(runCli(dir, {"--dir", dir.dir(), "check", "--quiet"}).exitCode, 0);
        EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-damaged-*.db"}).size(), 1);
        EXPECT_FALSE(QFileInfo::exists(dir.path(".tunarium-repair")));
    }
}

// The files as a crash leaves them, the last commit only in the log: salvage reads the pages
// the log holds from it, as SQLite would.
TEST(Salvage, ReadsThePagesTheLogHolds) {
    constexpr int kLogged = 50;
    TempCollection dir;
    TempCollection copy;
    tunarium::test::makeSongCollection(dir.dir(), kSongs);
    {
        tunarium::SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        ASSERT_TRUE(store.openTable(tunarium::TableId::Tunarium).ok());
        tunarium::Transaction tx(store);
        for (int i = 1; i <= kLogged; ++i) {
            tunarium::SongRecord s;
            s.id = kSongs + i;
            s.title = QString("Logged %1").arg(i);
            ASSERT_TRUE(store.insert(s).ok());
        }
        ASSERT_TRUE(tx.commit().ok());
        for (const char* name : {"tunarium.db", "tunarium.db-wal"}) {
            ASSERT_TRUE(QFile::copy(dir.path(name), copy.path(name))) << name;
        }
    }
    ASSERT_GT(QFileInfo(copy.path("tunarium.db-wal")).size(), 0);
    QSet<qint64> ids;
    const QVector<tunarium::SalvageCount> counts =
        tunarium::StoreMaintenance::salvageFile(copy.path("tunarium.db"), [&](tunarium::Row row) {
            if (row.tableId() == tunarium::TableId::Tunarium) {
                ids.insert(row.number(tunarium::tableDef(tunarium::TableId::Tunarium).fieldIndex(u"ID")));
            }
        });
    const tunarium::SalvageCount& songs = counts[static_cast<int>(tunarium::TableId::Tunarium)];
    EXPECT_EQ(songs.expected, kSongs + kLogged);
    EXPECT_EQ(songs.read, kSongs + kLogged);
    EXPECT_EQ(ids.size(), kSongs + kLogged);
    EXPECT_TRUE(ids.contains(kSongs + kLogged));
}

} // namespace
