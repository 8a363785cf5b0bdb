// A collection of the structure before songs knew their audio file and musical key (6): the
// program opens it, copies it aside, brings the songs table up to date and keeps every song with
// every value; the new fields start blank, and take values like any other. A damaged file of that
// structure whose schema is lost still has its songs salvaged.
#include "journey_fixture.h"

#include "catalogue/ui/songs_browse_window.h"
#include "data/schema_sql.h"
#include "data/store_maintenance.h"
#include "data/store_sqlite.h"
#include "support/sql_file.h"

#include <QDir>

namespace tunarium::test {
namespace {

constexpr int kOldVersion = 6;
constexpr int kSongs = 40;

const int kNewFields[] = {tun::kFilePath, tun::kFileModified, tun::kFileMissing, tun::kMusicalKey};

bool isNewField(int field) {
    return std::find(std::begin(kNewFields), std::end(kNewFields), field) != std::end(kNewFields);
}

// Song `n` with a value of its own in every field the old structure has: texts as wide as the
// field allows with the song's number in them, numbers spread over the field's range.
Row oldSong(int n) {
    const TableDef& t = tableDef(TableId::Tunarium);
    Row row(TableId::Tunarium);
    for (int f = 0; f < t.fieldCount(); ++f) {
        const FieldDef& field = t.field(f);
        if (isNewField(f)) {
            continue;
        }
        if (field.isText()) {
            const QString text = QStringLiteral("%1 %2 é ").arg(field.name).arg(n);
            row.setText(f, text.repeated(field.width / text.size() + 1).left(field.width).trimmed());
        } else {
            const qint64 span = field.maxValue() - std::max<qint64>(field.minValue(), 0);
            row.setNumber(f, f == tun::kId ? n : std::max<qint64>(field.minValue(), 0) + (n * 7919 + f) % (span + 1));
        }
    }
    return row;
}

// Writes a collection of the old structure in `dir`: the table as this version makes it, then the
// new fields' keys and columns taken away and the structure number put back.
void writeOldCollection(const QString& dir) {
    SqliteStore store;
    ASSERT_TRUE(store.open(dir).ok());
    for (const TableDef& t : allTables()) {
        ASSERT_TRUE(store.openTable(t.id).ok());
    }
    {
        Transaction tx(store);
        for (int n = 1; n <= kSongs; ++n) {
            Row song = oldSong(n);
            ASSERT_TRUE(store.insert(song).ok());
        }
        ASSERT_TRUE(tx.commit().ok());
    }
    const TableDef& t = tableDef(TableId::Tunarium);
    for (int key : {tun::kKeyOrderMusicalKey, tun::kKeyFilePath, tun::kKeyFileMissing}) {
        ASSERT_TRUE(store.exec("DROP INDEX \"" + sql::indexName(t, key) + "\"").ok());
    }
    QStringList columns;
    for (int f : kNewFields) {
        columns << sql::fieldColumn(t, f);
    }
    columns << sql::foldedColumn(t, tun::kFilePath) << sql::foldedColumn(t, tun::kMusicalKey);
    for (const QString& column : columns) {
        ASSERT_TRUE(store.exec("ALTER TABLE \"Tunarium\" DROP COLUMN \"" + column + "\"").ok()) << column.toStdString();
    }
    ASSERT_TRUE(store.exec(QString("UPDATE \"_structure\" SET version = %1 WHERE label = 'Tunarium'").arg(kOldVersion))
                    .ok());
}

class SongFileFieldsJourney : public JourneyTest {
protected:
    void SetUp() override {
        writeOldCollection(dir.dir());
        JourneyTest::SetUp();
    }
};

TEST_F(SongFileFieldsJourney, AnOldCollectionIsBackedUpUpgradedAndKeepsEverySongAndValue) {
    // Opening the songs browse opens the songs table, and with it the upgrade.
    choose(FrameCommand::BrowseSongs);
    ASSERT_NE(waitFor<SongsBrowseWindow>(), nullptr) << messagesSoFar();
    EXPECT_EQ(db().store().tableState(TableId::Tunarium), TableState::Current);
    EXPECT_EQ(db().store().storedVersion(TableId::Tunarium), tableDef(TableId::Tunarium).version);

    // The copy made before the upgrade holds the old structure with every song.
    const QStringList backups = QDir(dir.dir()).entryList({"tunarium-upgrade-*.db"});
    ASSERT_EQ(backups.size(), 1) << QDir(dir.dir()).entryList().join(' ').toStdString();
    const QString backup = dir.path(backups.first());
    EXPECT_EQ(sqlNumber(backup, "SELECT version FROM \"_structure\" WHERE label = 'Tunarium'"), kOldVersion);
    EXPECT_EQ(sqlNumber(backup, "SELECT COUNT(*) FROM \"Tunarium\""), kSongs);

    const TableDef& t = tableDef(TableId::Tunarium);
    QVector<Row> songs;
    ASSERT_TRUE(db().store().readInRecordOrder(TableId::Tunarium, 0, kSongs + 1, songs).ok());
    ASSERT_EQ(songs.size(), kSongs);
    for (const Row& song : songs) {
        const Row expected = oldSong(static_cast<int>(song.number(tun::kId)));
        for (int f = 0; f < t.fieldCount(); ++f) {
            SCOPED_TRACE(QString("song %1, %2").arg(song.number(tun::kId)).arg(t.field(f).name).toStdString());
            if (isNewField(f)) {
                EXPECT_TRUE(t.field(f).isText() ? song.text(f).isEmpty() : song.number(f) == 0);
            } else if (t.field(f).isText()) {
                EXPECT_EQ(song.text(f), expected.text(f));
            } else {
                EXPECT_EQ(song.number(f), expected.number(f));
            }
        }
    }

    // The new fields take values and are found through their keys.
    SongRecord first = fromRow<SongRecord>(songs.first());
    first.filePath = dir.path("music/one.flac");
    first.fileModified = 1760000000;
    first.fileMissing = 1;
    first.musicalKey = "8A";
    ASSERT_TRUE(db().store().update(first).ok());
    Row byPath;
    ASSERT_TRUE(db().store().get(TableId::Tunarium, tun::kKeyFilePath, {first.filePath}, byPath).ok());
    EXPECT_EQ(byPath.number(tun::kId), first.id);
    EXPECT_EQ(byPath.number(tun::kFileModified), 1760000000);
    Row missing;
    ASSERT_TRUE(db().store().get(TableId::Tunarium, tun::kKeyFileMissing, {qint64(1)}, missing).ok());
    EXPECT_EQ(missing.text(tun::kMusicalKey), "8A");
}

// The first page, and with it the schema, lost from a file of the old structure: the songs are
// read by the old structure's columns.
TEST(SongFileFieldsSalvage, AnOldFileWithoutItsSchemaHasItsSongsRead) {
    TempCollection dir;
    writeOldCollection(dir.dir());
    const QString file = dir.path("tunarium.db");
    ASSERT_EQ(runSql(file, "VACUUM"), QString());
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(QByteArray(static_cast<int>(sqlNumber(file, "PRAGMA page_size")), '\x5a'));
    }
    QVector<Row> saved;
    const QVector<SalvageCount> counts =
        StoreMaintenance::salvageFile(file, [&](Row row) {
            if (row.tableId() == TableId::Tunarium) {
                saved << row;
            }
        });
    ASSERT_EQ(saved.size(), kSongs);
    for (const Row& song : saved) {
        const Row expected = oldSong(static_cast<int>(song.number(tun::kId)));
        EXPECT_EQ(song.text(tun::kTitle), expected.text(tun::kTitle));
        EXPECT_EQ(song.number(tun::kAlbumId), expected.number(tun::kAlbumId));
        EXPECT_EQ(song.text(tun::kNotes), expected.text(tun::kNotes));
        EXPECT_TRUE(song.text(tun::kFilePath).isEmpty());
    }
    (void)counts;
}

} // namespace
} // namespace tunarium::test
