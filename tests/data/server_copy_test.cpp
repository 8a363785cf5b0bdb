// A collection moved from a file to the server and back: the round trip is equal table by table,
// every record with its number, version and every field, and the numbers given stay given; a copy
// that cannot be whole leaves nothing. Skipped without a test server.
#include "data/app_paths.h"
#include "data/records.h"
#include "data/store_copy.h"
#include "data/store_pg.h"
#include "data/store_sqlite.h"
#include "support/temp_collection.h"
#include "support/test_server.h"

#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <algorithm>

using namespace tunarium;

namespace {

QVariant anyValue(const FieldDef& f, QRandomGenerator& rng, int serial, int row) {
    if (f.isText()) {
        static const QStringList pool = {"",    "Björk", "bjork", "Ω\tomega", "back\\slash", "two\nlines",
                                         "cr\r", "ß",     "~x",    "Électro",  "10 cc"};
        // Unique keys are kept apart by the serial number.
        return (pool[rng.bounded(static_cast<int>(pool.size()))] + QString::number(serial)).left(f.width);
    }
    const qint64 choices[] = {0, 1, 7, 42, 200, 1998, 72000, -3};
    const qint64 n = rng.bounded(2) ? row : choices[rng.bounded(static_cast<int>(std::size(choices)))];
    return std::clamp(n, f.minValue(), f.maxValue());
}

// Every record of every table, in record order, with its number and version.
QVector<QVector<Row>> everyRecord(Store& s) {
    QVector<QVector<Row>> tables;
    for (const TableDef& t : allTables()) {
        QVector<Row> all;
        QVector<Row> rows;
        for (qint64 after = 0;; after = rows.last().meta.rec) {
            EXPECT_TRUE(s.readInRecordOrder(t.id, after, 500, rows).ok());
            if (rows.isEmpty()) {
                break;
            }
            all += rows;
        }
        tables << all;
    }
    return tables;
}

void expectSameRecords(Store& a, Store& b) {
    const QVector<QVector<Row>> left = everyRecord(a);
    const QVector<QVector<Row>> right = everyRecord(b);
    for (int i = 0; i < left.size(); ++i) {
        const TableDef& t = allTables()[i];
        SCOPED_TRACE(t.label.toStdString());
        ASSERT_EQ(left[i].size(), right[i].size());
        for (int r = 0; r < left[i].size(); ++r) {
            EXPECT_EQ(left[i][r].meta.rec, right[i][r].meta.rec);
            EXPECT_EQ(left[i][r].meta.version, right[i][r].meta.version);
            for (int f = 0; f < t.fieldCount(); ++f) {
                EXPECT_EQ(left[i][r].value(f).toString(), right[i][r].value(f).toString())
                    << t.qualifiedField(f).toStdString() << " of record " << left[i][r].meta.rec;
            }
        }
        EXPECT_EQ(a.count(t.id), b.count(t.id));
    }
}

class ServerCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_TEST_SERVER();
        ASSERT_TRUE(db.error().isEmpty()) << db.error().toStdString();
        ASSERT_TRUE(initServerCollection(db.location()).ok());
        ASSERT_TRUE(file.open(source.dir()).ok());
        QRandomGenerator rng(33);
        int serial = 0;
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(file.openTable(t.id).ok());
            QVector<Row> kept;
            for (int i = 0; i < 40; ++i) {
                Row row(t.id);
                for (int f = 0; f < t.fieldCount(); ++f) {
                    row.setRaw(f, anyValue(t.field(f), rng, ++serial, i + 1));
                }
                if (file.insert(row).ok()) {
                    kept << row;
                }
            }
            ASSERT_GT(kept.size(), 10) << t.label.toStdString();
            if (t.id == TableId::Tunarium) {
                songsGiven = kept.last().meta.rec;
            }
            // Versions above 0, a gap, and the highest numbers given and then taken away.
            Row changed = kept[3];
            ASSERT_TRUE(file.update(changed).ok());
            ASSERT_TRUE(file.update(changed).ok());
            ASSERT_TRUE(file.remove(kept[5]).ok());
            ASSERT_TRUE(file.remove(kept.last()).ok());
        }
        file.close();
    }

    test::ServerDatabase db;
    test::TempCollection source;
    test::TempCollection back;
    SqliteStore file;
    qint64 songsGiven = 0;
};

} // namespace

TEST_F(ServerCopyTest, ARoundTripFromFileToServerToFileIsEqualTableByTable) {
    QVector<CopiedTable> copied;
    const StoreError in = copyFileToServer(collectionFilePath(source.dir()), db.location(), copied);
    ASSERT_TRUE(in.ok()) << in.describe().toStdString();
    ASSERT_EQ(copied.size(), static_cast<qsizetype>(allTables().size()));

    const QString written = back.path("../round-trip.db");
    const StoreError out = copyServerToFile(db.location(), written, copied);
    ASSERT_TRUE(out.ok()) << out.describe().toStdString();
    ASSERT_TRUE(QFile::copy(written, collectionFilePath(back.dir())));

    ASSERT_TRUE(file.open(source.dir()).ok());
    SqliteStore again;
    ASSERT_TRUE(again.open(back.dir()).ok());
    PgStore server;
    ASSERT_TRUE(server.open(db.location()).ok());
    for (Store* s : {static_cast<Store*>(&file), static_cast<Store*>(&again), static_cast<Store*>(&server)}) {
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(s->openTable(t.id).ok());
        }
    }
    expectSameRecords(file, server);
    expectSameRecords(file, again);
    // A number given once is not given again on either side, nor in the copy of the copy; the
    // keys work on the server as in the file.
    for (Store* s : {static_cast<Store*>(&file), static_cast<Store*>(&again), static_cast<Store*>(&server)}) {
        SongRecord song;
        song.artist = "After";
        song.title = "Copy";
        song.id = 999999;
        ASSERT_TRUE(s->insert(song).ok());
        EXPECT_EQ(song.meta.rec, songsGiven + 1);
        SongRecord found;
        EXPECT_TRUE(s->get(tun::kKeyId, {999999}, found).ok());
    }
    for (const TableDef& t : allTables()) {
        EXPECT_TRUE(server.checkKeys(t.id).ok()) << t.label.toStdString();
    }
}

TEST_F(ServerCopyTest, ACopyThatCannotBeWholeLeavesNothing) {
    // The server refuses a record halfway through the songs: nothing of any table is kept.
    {
        PgStore server;
        ASSERT_TRUE(server.open(db.location()).ok());
        ASSERT_TRUE(server
                        .exec("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF NEW.\"_rec\" = 20 "
                              "THEN RAISE EXCEPTION 'refused'; END IF; RETURN NEW; END $$; CREATE TRIGGER refuse BEFORE "
                              "INSERT ON \"Tunarium\" FOR EACH ROW EXECUTE FUNCTION refuse()")
                        .ok());
    }
    QVector<CopiedTable> copied;
    StoreError e = copyFileToServer(collectionFilePath(source.dir()), db.location(), copied);
    EXPECT_FALSE(e.ok());
    EXPECT_TRUE(copied.isEmpty());
    PgStore server;
    ASSERT_TRUE(server.open(db.location()).ok());
    ASSERT_TRUE(server.exec("DROP TRIGGER refuse ON \"Tunarium\"").ok());
    for (const TableDef& t : allTables()) {
        EXPECT_EQ(server.tableState(t.id), TableState::Current) << t.label.toStdString();
        EXPECT_EQ(server.count(t.id), 0) << t.label.toStdString();
    }

    // The server goes away halfway through the songs (the copy's own connection ended under it):
    // the failure names the server, and nothing of any table is kept.
    ASSERT_TRUE(server
                    .exec("CREATE FUNCTION vanish() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF NEW.\"_rec\" = 20 "
                          "THEN PERFORM pg_terminate_backend(pg_backend_pid()); PERFORM pg_sleep(5); END IF; RETURN NEW; "
                          "END $$; CREATE TRIGGER vanish BEFORE INSERT ON \"Tunarium\" FOR EACH ROW EXECUTE FUNCTION "
                          "vanish()")
                    .ok());
    e = copyFileToServer(collectionFilePath(source.dir()), db.location(), copied);
    EXPECT_FALSE(e.ok());
    EXPECT_TRUE(e.describe().contains(server.filePath())) << e.describe().toStdString();
    EXPECT_TRUE(copied.isEmpty());
    ASSERT_TRUE(server.exec("DROP TRIGGER vanish ON \"Tunarium\"").ok());
    for (const TableDef& t : allTables()) {
        EXPECT_EQ(server.tableState(t.id), TableState::Current) << t.label.toStdString();
        EXPECT_EQ(server.count(t.id), 0) << t.label.toStdString();
    }

    // Into a collection that holds a record: refused, the record alone.
    ASSERT_TRUE(server.openTable(TableId::Tunarium).ok());
    SongRecord mine;
    mine.artist = "Mine";
    ASSERT_TRUE(server.insert(mine).ok());
    e = copyFileToServer(collectionFilePath(source.dir()), db.location(), copied);
    EXPECT_TRUE(e.describe().contains("holds records already")) << e.describe().toStdString();
    EXPECT_EQ(server.count(TableId::Tunarium), 1);

    // Onto a file that is there: refused, the file as it was; a file that is no collection: refused.
    const QString taken = back.path("../taken.db");
    QFile there(taken);
    ASSERT_TRUE(there.open(QIODevice::WriteOnly));
    there.write("mine");
    there.close();
    e = copyServerToFile(db.location(), taken, copied);
    EXPECT_TRUE(e.describe().contains("exists already")) << e.describe().toStdString();
    ASSERT_TRUE(there.open(QIODevice::ReadOnly));
    EXPECT_EQ(there.readAll(), "mine");
    e = copyFileToServer(taken, db.location(), copied);
    EXPECT_FALSE(e.ok());
    EXPECT_EQ(server.count(TableId::Tunarium), 1);
}
