// The collection store: record operations, key walks against the full ordered result, query
// plans, structure upgrades and bad input.
#include "data/records.h"
#include "data/schema_sql.h"
#include "data/store_sqlite.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <functional>

using namespace tunarium;

namespace {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(dir.dir()).ok());
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(store.openTable(t.id).ok());
        }
    }

    SongRecord song(const QString& artist, const QString& title, qint64 id) {
        SongRecord s;
        s.artist = artist;
        s.title = title;
        s.id = id;
        return s;
    }

    test::TempCollection dir;
    SqliteStore store;
};

// Sort key of one record in one key, as the index orders it.
QList<QByteArray> sortKey(const Row& row, int key) {
    const TableDef& t = row.table();
    QList<QByteArray> parts;
    for (int field : t.key(key).components) {
        if (t.field(field).isText()) {
            const QString text = trimTrailingBlanks(row.text(field));
            parts << (t.key(key).caseInsensitive ? foldKey(text) : text).toUtf8();
        } else {
            // Offset so that byte order equals numeric order.
            parts << QByteArray::number(row.number(field) + (1LL << 40)).rightJustified(16, '0');
        }
    }
    if (!t.key(key).unique) {
        parts << QByteArray::number(row.meta.rec).rightJustified(16, '0');
    }
    return parts;
}

bool isBlankInKey(const Row& row, int key) {
    for (int field : row.table().key(key).components) {
        if (row.table().field(field).isText() ? !row.text(field).isEmpty() : row.number(field) != 0) {
            return false;
        }
    }
    return true;
}

QVariant randomValue(const FieldDef& f, QRandomGenerator& rng) {
    if (f.isText()) {
        static const QStringList pool = {
            "",      "",     "Rock", "rock",         "ROCK",  "Électro", "électro",
            "Zebra", "abba", "Ábba", "Beatles, The", "Bjork", "Björk",   "a",
            "b",     "Zz",   "ß"};
        QString v = pool[rng.bounded(static_cast<int>(pool.size()))];
        return v.left(f.width);
    }
    const qint64 choices[] = {0, 0, 1, 2, 3, 7, 42, 200, 255};
    qint64 v = choices[rng.bounded(static_cast<int>(std::size(choices)))];
    return std::min(v, f.maxValue());
}

} // namespace

TEST_F(StoreTest, FirstRecordIsNumberedOneAndNumbersFollowTheHighest) {
    qint64 next = 0;
    ASSERT_TRUE(store.nextNumber(TableId::Tunarium, next).ok());
    EXPECT_EQ(next, 1);
    SongRecord s = song("A", "B", 41);
    ASSERT_TRUE(store.insert(s).ok());
    ASSERT_TRUE(store.nextNumber(TableId::Tunarium, next).ok());
    EXPECT_EQ(next, 42);
    CategoryRecord c{1, "Rock", {}};
    ASSERT_TRUE(store.insert(c).ok());
    ASSERT_TRUE(store.nextNumber(TableId::Categories, next).ok());
    EXPECT_EQ(next, 2);
}

TEST_F(StoreTest, CaseVariantsCollideInUniqueKeys) {
    struct Case {
        const char* first;
        const char* second;
    };
    for (const Case& c : {Case{"Rock", "rock"}, Case{"Électro", "électro"}, Case{"Straße", "STRASSE"}}) {
        SCOPED_TRACE(c.first);
        CategoryRecord a{store.count(TableId::Categories) * 2 + 1, QString::fromUtf8(c.first), {}};
        ASSERT_TRUE(store.insert(a).ok());
        CategoryRecord b{a.categoryId + 1, QString::fromUtf8(c.second), {}};
        const StoreError e = store.insert(b);
        if (QString::fromUtf8(c.first).toCaseFolded() == QString::fromUtf8(c.second).toCaseFolded()) {
            EXPECT_EQ(e.code, code::kDuplicateKey);
            EXPECT_EQ(e.keyName, QLatin1String("CAT:KeyCategory"));
        } else {
            // Simple case folding keeps "ß" apart from "SS".
            EXPECT_TRUE(e.ok());
        }
    }
    EXPECT_EQ(store.count(TableId::Categories), 4);
}

TEST_F(StoreTest, BlankValuesAreLeftOutOfUniqueKeys) {
    AlbumRecord a;
    a.albumId = 1;
    a.album = "One";
    AlbumRecord b;
    b.albumId = 2;
    b.album = "Two";
    ASSERT_TRUE(store.insert(a).ok());
    ASSERT_TRUE(store.insert(b).ok()); // both CD identifiers blank
    AlbumRecord c;
    c.albumId = 3;
    c.album = "One";
    EXPECT_EQ(store.insert(c).code, code::kDuplicateKey);
    EXPECT_EQ(store.count(TableId::Album), 2);
}

TEST_F(StoreTest, BlankFileNumbersAreNotInTheFileNumberKey) {
    const TableDef& t = tableDef(TableId::Tunarium);
    const int key = t.keyIndex(u"KeyFileNumber");
    for (const char* number : {"", "F2", "", "F1"}) {
        SongRecord s = song("x", "y", store.count(TableId::Tunarium) + 1);
        s.fileNumber = number;
        ASSERT_TRUE(store.insert(s).ok());
    }
    QVector<Row> rows;
    ASSERT_TRUE(
        store.read(TableId::Tunarium, key, KeyPosition{{QString()}}, Direction::Forward, true, 10, rows)
            .ok());
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].text(t.fieldIndex(u"FileNumber")), "F1");
    Row found;
    EXPECT_EQ(store.get(TableId::Tunarium, key, {QString()}, found).code, code::kRecordNotFound);
}

// Walking every key of every table page by page, forward and backward, gives exactly the
// records in key order, with duplicates, blanks, case variants and non-ASCII text.
TEST_F(StoreTest, PagedWalksEqualTheOrderedTable) {
    QRandomGenerator rng(1998);
    for (const TableDef& t : allTables()) {
        SCOPED_TRACE(t.label.toStdString());
        QVector<Row> stored;
        for (int i = 0; i < 80; ++i) {
            Row row(t.id);
            for (int f = 0; f < t.fieldCount(); ++f) {
                row.setRaw(f, randomValue(t.field(f), rng));
            }
            if (store.insert(row).ok()) {
                stored << row;
            }
        }
        ASSERT_GT(stored.size(), 5);
        for (int k = 0; k < t.keys.size(); ++k) {
            SCOPED_TRACE(t.key(k).name.toStdString());
            QVector<Row> expected;
            for (const Row& r : stored) {
                if (!t.key(k).excludeBlank || !isBlankInKey(r, k)) {
                    expected << r;
                }
            }
            std::sort(expected.begin(), expected.end(),
                      [&](const Row& a, const Row& b) { return sortKey(a, k) < sortKey(b, k); });
            for (auto direction : {Direction::Forward, Direction::Backward}) {
                QVector<qint64> walked;
                KeyPosition from;
                for (;;) {
                    QVector<Row> page;
                    ASSERT_TRUE(store.read(t.id, k, from, direction, false, 7, page).ok());
                    for (const Row& r : page) {
                        walked << r.meta.rec;
                    }
                    if (page.size() < 7) {
                        break;
                    }
                    from = store.positionOf(page.last(), k);
                }
                QVector<qint64> want;
                for (const Row& r : expected) {
                    want << r.meta.rec;
                }
                if (direction == Direction::Backward) {
                    std::reverse(want.begin(), want.end());
                }
                EXPECT_EQ(walked, want);
            }
        }
    }
}

// Every walk the store can generate is an index search: no table scan, no sort.
TEST_F(StoreTest, EveryWalkSearchesItsIndex) {
    for (const TableDef& t : allTables()) {
        for (int k = 0; k < t.keys.size(); ++k) {
            const int components = static_cast<int>(t.key(k).components.size());
            for (int prefix = 0; prefix <= components; ++prefix) {
                for (bool tie : {false, true}) {
                    if (tie && prefix != components) {
                        continue;
                    }
                    for (auto direction : {Direction::Forward, Direction::Backward}) {
                        const QString q = sql::walkSql(t, k, prefix, tie, direction, !tie);
                        const QStringList plan = store.explainQueryPlan(q);
                        const QString text = plan.join(" | ");
                        SCOPED_TRACE(q.toStdString());
                        ASSERT_EQ(plan.size(), 1) << text.toStdString();
                        EXPECT_TRUE(
                            plan[0].startsWith(QStringLiteral("SEARCH ") + t.label) ||
                            (prefix == 0 && plan[0].startsWith(QStringLiteral("SCAN ") + t.label + " USING")))
                            << text.toStdString();
                        EXPECT_TRUE(plan[0].contains(sql::indexName(t, k))) << text.toStdString();
                        EXPECT_FALSE(text.contains("TEMP B-TREE")) << text.toStdString();
                        if (prefix > 0) {
                            // The seek covers every compared column, the tie-breaker included.
                            const int compared = prefix + (tie && sql::keyHasTieBreaker(t, k) ? 1 : 0);
                            QString marks = "(?";
                            for (int i = 1; i < compared; ++i) {
                                marks += ",?";
                            }
                            const QString first = sql::keyColumns(t, k).first();
                            EXPECT_TRUE(compared > 1
                                            ? plan[0].contains(marks + "))")
                                            : plan[0].contains(QRegularExpression(first + "[<>=]+\\?")))
                                << text.toStdString();
                        }
                    }
                }
            }
        }
    }
}

TEST_F(StoreTest, RewriteChecksTheRecordVersion) {
    SongRecord mine = song("Artist", "Title", 1);
    ASSERT_TRUE(store.insert(mine).ok());

    SqliteStore other; // a second station on the same file
    ASSERT_TRUE(other.open(dir.dir()).ok());
    SongRecord theirs;
    ASSERT_TRUE(other.get(tableDef(TableId::Tunarium).primaryKey, {qint64(1)}, theirs).ok());
    theirs.title = "Their title";
    ASSERT_TRUE(other.update(theirs).ok());

    mine.title = "My title";
    EXPECT_EQ(store.update(mine).code, code::kChangedByOther);
    SongRecord now;
    ASSERT_TRUE(store.get(tableDef(TableId::Tunarium).primaryKey, {qint64(1)}, now).ok());
    EXPECT_EQ(now.title, "Their title");

    // A rewrite of a record deleted meanwhile reports it missing.
    ASSERT_TRUE(other.remove(theirs).ok());
    now.title = "Again";
    EXPECT_EQ(store.update(now).code, code::kRecordNotFound);
    EXPECT_EQ(store.remove(now).code, code::kRecordNotFound);
}

// One field rewritten on its own: the version check holds, the text is kept to its width and its
// folded key follows (a locator finds the record by the new text), the other fields stay.
TEST_F(StoreTest, AFieldRewrittenOnItsOwnKeepsTheRecordWhole) {
    SongRecord s = song("Old Artist", "Title", 1);
    s.albumId = 3;
    ASSERT_TRUE(store.insert(s).ok());
    RecordMeta meta = s.meta;
    ASSERT_TRUE(store.rewriteField(TableId::Tunarium, meta, tun::kArtist, "Électrique").ok());
    EXPECT_EQ(meta.version, s.meta.version + 1);
    SongRecord found;
    ASSERT_TRUE(store.get(tun::kSongsByArtist, {QString("ÉLECTRIQUE")}, found).ok());
    EXPECT_EQ(found.artist, "Électrique");
    EXPECT_EQ(found.title, "Title");
    EXPECT_EQ(found.albumId, 3);
    EXPECT_EQ(found.meta.version, meta.version);
    EXPECT_TRUE(store.checkKeys(TableId::Tunarium).ok());
    // Read before the rewrite: changed by another station meanwhile.
    EXPECT_EQ(store.rewriteField(TableId::Tunarium, s.meta, tun::kAlbumId, 4).code, code::kChangedByOther);
    // A value that does not fit is refused, and nothing changes.
    EXPECT_EQ(store.rewriteField(TableId::Tunarium, meta, tun::kTrackNumber, 256).code, code::kDriverError);
    EXPECT_EQ(store.rewriteField(TableId::Tunarium, meta, tun::kArtist, QString(51, u'x')).code,
              code::kDriverError);
    ASSERT_TRUE(store.get(tun::kKeyId, {qint64(1)}, found).ok());
    EXPECT_EQ(found.artist, "Électrique");
    EXPECT_EQ(found.trackNumber, 0);
}

TEST_F(StoreTest, RecordOrderReadsFollowTheRecordNumbers) {
    for (qint64 id = 1; id <= 7; ++id) {
        SongRecord s = song(QString(QChar(char16_t(u'a' + (7 - id)))), "t", id);
        ASSERT_TRUE(store.insert(s).ok());
    }
    QVector<qint64> ids;
    qint64 after = 0;
    for (;;) {
        QVector<Row> page;
        ASSERT_TRUE(store.readInRecordOrder(TableId::Tunarium, after, 3, page).ok());
        for (const Row& r : page) {
            EXPECT_GT(r.meta.rec, after);
            after = r.meta.rec;
            ids << r.number(tun::kId);
        }
        if (page.size() < 3) {
            break;
        }
    }
    EXPECT_EQ(ids, (QVector<qint64>{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(StoreTest, RecordNumbersAreNeverReused) {
    SongRecord a = song("a", "a", 1);
    SongRecord b = song("b", "b", 2);
    ASSERT_TRUE(store.insert(a).ok());
    ASSERT_TRUE(store.insert(b).ok());
    ASSERT_TRUE(store.remove(b).ok());
    SongRecord c = song("c", "c", 3);
    ASSERT_TRUE(store.insert(c).ok());
    EXPECT_GT(c.meta.rec, b.meta.rec);
    EXPECT_EQ(store.count(TableId::Tunarium), 2);
}

TEST_F(StoreTest, RecordRangeAndTheNextRecordInUseStepOverGaps) {
    qint64 first = -1;
    qint64 last = -1;
    ASSERT_TRUE(store.recordRange(TableId::Tunarium, first, last).ok());
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 0);
    QVector<SongRecord> songs;
    for (int i = 1; i <= 6; ++i) {
        songs << song("a", QString::number(i), i);
        ASSERT_TRUE(store.insert(songs.back()).ok());
    }
    for (int gone : {0, 2, 3, 5}) {
        ASSERT_TRUE(store.remove(songs[gone]).ok());
    }
    ASSERT_TRUE(store.recordRange(TableId::Tunarium, first, last).ok());
    EXPECT_EQ(first, songs[1].meta.rec);
    EXPECT_EQ(last, songs[4].meta.rec);
    Row found;
    ASSERT_TRUE(store.fetchAtOrAfter(TableId::Tunarium, songs[2].meta.rec, found).ok());
    EXPECT_EQ(found.meta.rec, songs[4].meta.rec);
    ASSERT_TRUE(store.fetchAtOrAfter(TableId::Tunarium, songs[1].meta.rec, found).ok());
    EXPECT_EQ(found.meta.rec, songs[1].meta.rec);
    EXPECT_EQ(store.fetchAtOrAfter(TableId::Tunarium, songs[5].meta.rec, found).code, code::kRecordNotFound);
}

TEST_F(StoreTest, ValuesThatDoNotFitAreRefusedAndNothingIsLost) {
    SongRecord kept = song("Kept", "Song", 1);
    ASSERT_TRUE(store.insert(kept).ok());
    struct Case {
        const char* what;
        std::function<void(SongRecord&)> spoil;
    };
    const Case cases[] = {
        {"text over width", [](SongRecord& s) { s.artist = QString(51, 'x'); }},
        {"byte over 255", [](SongRecord& s) { s.trackNumber = 256; }},
        {"negative byte", [](SongRecord& s) { s.rating = -1; }},
        {"long over 32 bits", [](SongRecord& s) { s.beatsPerMinute = 1LL << 33; }},
        {"memo over width", [](SongRecord& s) { s.notes = QString(2001, 'n'); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SongRecord s = song("New", "Song", 2);
        c.spoil(s);
        const StoreError e = store.insert(s);
        EXPECT_EQ(e.code, code::kDriverError);
        EXPECT_FALSE(e.driverMessage.isEmpty());
        SongRecord changed = kept;
        c.spoil(changed);
        EXPECT_EQ(store.update(changed).code, code::kDriverError);
    }
    EXPECT_EQ(store.count(TableId::Tunarium), 1);
    SongRecord now;
    ASSERT_TRUE(store.get(tableDef(TableId::Tunarium).primaryKey, {qint64(1)}, now).ok());
    EXPECT_EQ(now.artist, "Kept");
    // Trailing blanks are not stored, and text set through a row is cut to its width.
    Row row(TableId::Tunarium);
    row.setText(0, QString(60, 'y') + "   ");
    EXPECT_EQ(row.text(0).size(), 50);
}

TEST_F(StoreTest, TransactionGuardRollsBackUnlessCommitted) {
    {
        Transaction tx(store);
        ASSERT_TRUE(tx.ok());
        SongRecord s = song("Gone", "Soon", 1);
        ASSERT_TRUE(store.insert(s).ok());
        EXPECT_EQ(store.count(TableId::Tunarium), 1);
    }
    EXPECT_EQ(store.count(TableId::Tunarium), 0);
    {
        Transaction tx(store);
        SongRecord s = song("Here", "To stay", 1);
        ASSERT_TRUE(store.insert(s).ok());
        ASSERT_TRUE(tx.commit().ok());
    }
    EXPECT_EQ(store.count(TableId::Tunarium), 1);
}

// Each failure names its own cause: a statement SQLite refuses carries its SQL text (for the
// developer; the user's text stays without it), work with nothing open is "File Not Open" and a
// commit with nothing begun "No Transaction Active", neither the "File Not Found" of a missing file.
TEST_F(StoreTest, FailuresSayWhatFailed) {
    SqliteStore closed;
    const SqlCondition noSuchColumn{QStringLiteral("\"NoSuchColumn\" = ?"), {qint64(1)}};
    struct Case {
        const char* what;
        std::function<StoreError()> run;
        int code;
        QString sqlHolds; // empty: no statement ran, so none is named
    };
    const QVector<Case> cases = {
        {"a walk whose condition names no column",
         [&] {
             QVector<Row> rows;
             return store.read(TableId::Tunarium, 0, {}, Direction::Forward, true, 10, rows,
                               WalkLimits(noSuchColumn));
         },
         code::kDriverError, QStringLiteral("\"NoSuchColumn\" = ?")},
        {"a count whose condition names no column",
         [&] {
             qint64 n = 0;
             return store.countUpTo(TableId::Tunarium, noSuchColumn, 10, n);
         },
         code::kDriverError, QStringLiteral("\"NoSuchColumn\" = ? LIMIT ?")},
        {"a read of a store never opened",
         [&] {
             QVector<Row> rows;
             return closed.read(TableId::Tunarium, 0, {}, Direction::Forward, true, 10, rows);
         },
         code::kNotOpen,
         {}},
        {"a transaction begun on a store never opened",
         [&] { return Transaction(closed).beginError(); },
         code::kNotOpen,
         {}},
        {"a commit of a transaction that did not begin",
         [&] { return Transaction(closed).commit(); },
         code::kNoTransaction,
         {}},
        {"a commit with no transaction", [&] { return store.commit(); }, code::kNoTransaction, {}},
        {"a commit of a transaction already committed",
         [&] {
             Transaction tx(store);
             EXPECT_TRUE(tx.commit().ok());
             return tx.commit();
         },
         code::kNoTransaction,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const StoreError e = c.run();
        EXPECT_EQ(e.code, c.code) << e.describe().toStdString();
        EXPECT_NE(e.code, code::kFileNotFound);
        if (c.sqlHolds.isEmpty()) {
            EXPECT_TRUE(e.sql.isEmpty()) << e.sql.toStdString();
        } else {
            EXPECT_TRUE(e.sql.contains(c.sqlHolds)) << e.sql.toStdString();
            EXPECT_TRUE(e.sql.startsWith(QStringLiteral("SELECT"))) << e.sql.toStdString();
            EXPECT_FALSE(e.describe().contains(c.sqlHolds)) << e.describe().toStdString();
        }
    }
    // A failed walk leaves the store as it was.
    SongRecord s = song("Still", "Here", 1);
    EXPECT_TRUE(store.insert(s).ok());
}

TEST_F(StoreTest, ALockHeldByAnotherStationTimesOut) {
    SqliteStore other;
    ASSERT_TRUE(other.open(dir.dir()).ok());
    ASSERT_TRUE(other.begin().ok());
    Transaction tx(store);
    EXPECT_FALSE(tx.ok());
    EXPECT_EQ(tx.beginError().code, code::kFileLocked);
    other.rollback();
}

TEST_F(StoreTest, CountsFollowEveryChange) {
    for (int i = 1; i <= 5; ++i) {
        SongRecord s = song("a", "b", i);
        ASSERT_TRUE(store.insert(s).ok());
    }
    SongRecord first;
    ASSERT_TRUE(store.get(tableDef(TableId::Tunarium).primaryKey, {qint64(3)}, first).ok());
    ASSERT_TRUE(store.remove(first).ok());
    EXPECT_EQ(store.count(TableId::Tunarium), 4);
    EXPECT_EQ(store.checkKeys(TableId::Tunarium).code, code::kOk);
}

TEST(StoreFiles, ForeignOrDamagedFilesAreRefusedUntouched) {
    struct Case {
        const char* what;
        std::function<void(const QString&)> make;
    };
    const Case cases[] = {
        {"text file",
         [](const QString& path) {
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray(5000, 'g'));
         }},
        {"another program's database",
         [](const QString& path) {
             ASSERT_EQ(test::runSql(path, "CREATE TABLE notes(x); INSERT INTO notes VALUES (1);"), QString());
         }},
        // Empty, but marked by the program that made it.
        {"another program's empty database (user version)",
         [](const QString& path) { ASSERT_EQ(test::runSql(path, "PRAGMA user_version = 7"), QString()); }},
        {"another program's empty database (application id)",
         [](const QString& path) {
             ASSERT_EQ(test::runSql(path, "PRAGMA application_id = 1095786323"), QString());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempCollection dir;
        const QString path = dir.path("tunarium.db");
        c.make(path);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        SqliteStore store;
        const StoreError e = store.open(dir.dir());
        EXPECT_EQ(e.code, code::kInvalidDataFile);
        EXPECT_FALSE(store.isOpen());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), before);
    }
}

TEST(StoreFiles, AnEmptyFileBecomesACollection) {
    test::TempCollection dir;
    QDir().mkpath(dir.dir());
    QFile empty(dir.path("tunarium.db"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    SqliteStore store;
    ASSERT_TRUE(store.open(dir.dir()).ok());
    EXPECT_TRUE(store.openTable(TableId::Tunarium).ok());
}

TEST(StoreFiles, ReadOnlyDirectoryGivesAClearError) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only directories";
    }
    test::TempCollection dir;
    QFile::setPermissions(dir.dir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    SqliteStore store;
    const StoreError e = store.open(dir.dir());
    EXPECT_FALSE(e.ok());
    EXPECT_FALSE(e.describe().isEmpty());
    QFile::setPermissions(dir.dir(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// A table of an older structure is brought up to date keeping its values by name; new fields
// start blank or zero, dropped fields go, and the file is copied aside first.
TEST(StoreFiles, UpgradeKeepsValuesByName) {
    test::TempCollection dir;
    {
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        ASSERT_TRUE(
            store
                .exec("CREATE TABLE \"Tunarium\" (\"_rec\" INTEGER NOT NULL, \"Title\" TEXT, \"ID\" INTEGER, "
                      "\"artist\" TEXT, \"Obsolete\" TEXT, \"TrackNumber\" INTEGER)")
                .ok());
        ASSERT_TRUE(
            store
                .exec(
                    "INSERT INTO \"Tunarium\" (rowid, \"_rec\", \"Title\", \"ID\", \"artist\", \"Obsolete\", "
                    "\"TrackNumber\") VALUES (1, 1, 'Song One', 7, 'Abba', 'x', 3), "
                    "(2, 2, 'Song Two', 8, 'abba', 'y', 4)")
                .ok());
        ASSERT_TRUE(store.exec("INSERT INTO \"_structure\" VALUES ('Tunarium', 5)").ok());
        ASSERT_TRUE(store.exec("INSERT INTO \"_counts\" (label, n) VALUES ('Tunarium', 2)").ok());
    }
    SqliteStore store;
    ASSERT_TRUE(store.open(dir.dir()).ok());
    EXPECT_EQ(store.tableState(TableId::Tunarium), TableState::Older);
    ASSERT_TRUE(store.openTable(TableId::Tunarium).ok());
    EXPECT_EQ(store.tableState(TableId::Tunarium), TableState::Current);
    EXPECT_EQ(store.storedVersion(TableId::Tunarium), tableDef(TableId::Tunarium).version);
    EXPECT_EQ(store.count(TableId::Tunarium), 2);
    SongRecord s;
    ASSERT_TRUE(store.get(tableDef(TableId::Tunarium).primaryKey, {qint64(8)}, s).ok());
    EXPECT_EQ(s.title, "Song Two");
    EXPECT_EQ(s.artist, "abba");
    EXPECT_EQ(s.trackNumber, 4);
    EXPECT_EQ(s.mix, "");
    EXPECT_EQ(s.albumId, 0);
    // The folded key columns were filled: the artist key finds both case variants.
    Row first;
    ASSERT_TRUE(store.get(TableId::Tunarium, 0, {QString("ABBA")}, first).ok());
    EXPECT_EQ(first.text(1), "Song One");
    EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-upgrade-*.db"}).size(), 1);
    // New records continue after the old ones.
    SongRecord n;
    n.id = 9;
    ASSERT_TRUE(store.insert(n).ok());
    EXPECT_EQ(n.meta.rec, 3);
}

// A collection made before a table was given a key meets that key missing: it is an older
// structure to upgrade (with its backup), not damaged keys to ask the user about.
TEST(StoreFiles, AKeyAddedByALaterVersionComesWithAnUpgrade) {
    const struct {
        TableId table;
        int key;
        int version; // the structure that did not have the key
    } cases[] = {
        {TableId::Categories, cat::kKeyOrderName, 1},
    };
    for (const auto& c : cases) {
        const TableDef& t = tableDef(c.table);
        SCOPED_TRACE(t.label.toStdString());
        test::TempCollection dir;
        {
            SqliteStore store;
            ASSERT_TRUE(store.open(dir.dir()).ok());
            ASSERT_TRUE(store.openTable(c.table).ok());
            ASSERT_TRUE(store.exec("DROP INDEX \"" + sql::indexName(t, c.key) + "\"").ok());
            ASSERT_TRUE(store
                            .exec(QString("UPDATE \"_structure\" SET version = %1 WHERE label = '%2'")
                                      .arg(c.version)
                                      .arg(t.label))
                            .ok());
        }
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        EXPECT_EQ(store.tableState(c.table), TableState::Older);
        ASSERT_TRUE(store.openTable(c.table).ok());
        EXPECT_EQ(store.tableState(c.table), TableState::Current);
    }
}

TEST(StoreFiles, NewerStructureIsRefusedNotDowngraded) {
    test::TempCollection dir;
    {
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        ASSERT_TRUE(store.openTable(TableId::Media).ok());
        ASSERT_TRUE(store.exec("UPDATE \"_structure\" SET version = 9 WHERE label = 'Media'").ok());
    }
    // Refused at the open, before any table is read, upgraded or written, with the words every
    // command and window shows.
    SqliteStore store;
    const StoreError e = store.open(dir.dir());
    EXPECT_EQ(e.code, code::kLayoutDiffers);
    EXPECT_TRUE(e.describe().contains(
        QStringLiteral("made by a newer version of Tunarium Pro: structure 9, this version reads up to %1")
            .arg(tableDef(TableId::Media).version)))
        << e.describe().toStdString();
    EXPECT_FALSE(store.isOpen());
    EXPECT_EQ(QDir(dir.dir()).entryList({"tunarium-*"}), QStringList());
}

TEST(StoreFiles, DamagedKeysAreFoundAndRebuilt) {
    test::TempCollection dir;
    SqliteStore store;
    ASSERT_TRUE(store.open(dir.dir()).ok());
    ASSERT_TRUE(store.openTable(TableId::Tunarium).ok());
    SongRecord s;
    s.artist = "Zed";
    s.id = 1;
    ASSERT_TRUE(store.insert(s).ok());
    // A lost index, and a folded column out of step with its text.
    ASSERT_TRUE(store.exec("DROP INDEX \"TUN:KeyMix\"").ok());
    ASSERT_TRUE(store.exec("UPDATE \"Tunarium\" SET \"ArtistKey\" = 'wrong'").ok());
    ASSERT_TRUE(store.exec("SELECT 1").ok());
    SqliteStore reopened;
    ASSERT_TRUE(reopened.open(dir.dir()).ok());
    EXPECT_EQ(reopened.tableState(TableId::Tunarium), TableState::KeysDamaged);
    EXPECT_EQ(reopened.checkKeys(TableId::Tunarium).code, code::kRebuildKeys);
    ASSERT_TRUE(reopened.rebuildKeys(TableId::Tunarium).ok());
    EXPECT_EQ(reopened.checkKeys(TableId::Tunarium).code, code::kOk);
    Row found;
    EXPECT_TRUE(reopened.get(TableId::Tunarium, 0, {QString("zed")}, found).ok());
}

// A step of an upgrade that fails ends it: the table keeps its old structure and every record,
// and the upgrade can be made again.
TEST(StoreFiles, AFailedUpgradeStepChangesNothing) {
    test::TempCollection dir;
    {
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        // A column of its own named rowid hides the record number: the copy of the records into
        // the new table gets a text where the record number goes and is refused, after the old
        // table was renamed and the new one made.
        const char* oldTable = "CREATE TABLE \"Tunarium\" (\"rowid\", \"_rec\" INTEGER NOT NULL, \"Title\" "
                               "TEXT, \"ID\" INTEGER)";
        ASSERT_TRUE(store.exec(oldTable).ok());
        const char* oldRows =
            "INSERT INTO \"Tunarium\" (\"rowid\", \"_rec\", \"Title\", \"ID\") VALUES ('one', 1, 'One', 1), "
            "('two', 2, 'Two', 2)";
        ASSERT_TRUE(store.exec(oldRows).ok());
        ASSERT_TRUE(store.exec("INSERT INTO \"_structure\" VALUES ('Tunarium', 5)").ok());
    }
    SqliteStore store;
    ASSERT_TRUE(store.open(dir.dir()).ok());
    const auto rows = [&store] {
        return test::sqlNumber(store.filePath(), "SELECT COUNT(*) FROM \"Tunarium\"");
    };
    EXPECT_FALSE(store.upgradeTable(TableId::Tunarium).ok());
    EXPECT_EQ(store.tableState(TableId::Tunarium), TableState::Older);
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(test::sqlNumber(store.filePath(), "SELECT COUNT(*) FROM \"Tunarium\" WHERE \"rowid\" = 'two'"),
              1);

    ASSERT_TRUE(store.exec("UPDATE \"Tunarium\" SET \"rowid\" = \"_rec\"").ok());
    ASSERT_TRUE(store.upgradeTable(TableId::Tunarium).ok());
    EXPECT_EQ(store.tableState(TableId::Tunarium), TableState::Current);
    EXPECT_EQ(store.count(TableId::Tunarium), 2);
}

// A backup that cannot be completed (here: the disk takes no more) leaves nothing behind, under
// the backup's name or any other.
TEST(StoreFiles, AFailedBackupLeavesNoFile) {
    test::TempCollection dir;
    SqliteStore store;
    ASSERT_TRUE(store.open(dir.dir()).ok());
    ASSERT_TRUE(store.openTable(TableId::Tunarium).ok());
    {
        Transaction tx(store);
        for (int i = 1; i <= 2000; ++i) {
            SongRecord s;
            s.id = i;
            s.title = QStringLiteral("A title long enough to fill some pages %1").arg(i);
            ASSERT_TRUE(store.insert(s).ok());
        }
        ASSERT_TRUE(tx.commit().ok());
    }
    const QStringList before = QDir(dir.dir()).entryList(QDir::Files | QDir::Hidden);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 32 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const StoreError e = store.makeBackup(QStringLiteral("upgrade"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(e.ok());
    EXPECT_EQ(QDir(dir.dir()).entryList(QDir::Files | QDir::Hidden), before);

    // With room, the backup is whole.
    ASSERT_TRUE(store.makeBackup(QStringLiteral("upgrade")).ok());
    const QStringList backups = QDir(dir.dir()).entryList({"tunarium-upgrade-*.db"});
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(test::sqlNumber(dir.path(backups.first()), "SELECT COUNT(*) FROM \"Tunarium\""), 2000);
}
