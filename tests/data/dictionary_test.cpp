// The data dictionary against the collection's documented layouts, and the schema made from it.
#include "data/dictionary.h"
#include "data/records.h"
#include "data/schema_sql.h"
#include "data/store_sqlite.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

int fieldBytes(const FieldDef& f) {
    switch (f.type) {
    case FieldType::String:
        return f.width;
    case FieldType::Long:
        return 4;
    case FieldType::Byte:
        return 1;
    case FieldType::Decimal:
        return f.width > 3 ? 6 : 2;
    case FieldType::Memo:
        return 0;
    }
    return 0;
}

struct TableExpectation {
    const char* label;
    const char* prefix;
    const char* file;
    int version;
    int keys;
    int memos;
};

} // namespace

TEST(Dictionary, TablesInRegistrationOrderWithLayoutSizes) {
    const TableExpectation expected[] = {
        {"AddWizard", "AW", "TNRAdWiz", 1, 1, 0},        {"Album", "ALB", "tnralbum", 3, 13, 3},
        {"Categories", "CAT", "TNRCAT", 2, 3, 0},        {"Fonts", "FON", "tnrfont", 1, 2, 0},
        {"Labels", "LAB", "tnrlabel", 2, 3, 6},          {"TNRTips", "TIP", "TNRTIPS", 0, 2, 0},
        {"Media", "MED", "tnrmedia", 1, 1, 0},           {"Tunarium", "TUN", "tnrdata", 7, 27, 3},
        {"PlaylistDetails", "PLA", "tnrpldet", 2, 2, 0}, {"PlaylistMaster", "PLD", "tnrplist", 1, 2, 1},
        {"SavedSearches", "SSR", "tnrsrch", 1, 2, 0},
    };
    ASSERT_EQ(std::size(expected), allTables().size());
    for (size_t i = 0; i < std::size(expected); ++i) {
        const TableDef& t = allTables()[i];
        SCOPED_TRACE(t.label.toStdString());
        EXPECT_EQ(t.label, QLatin1String(expected[i].label));
        EXPECT_EQ(t.prefix, QLatin1String(expected[i].prefix));
        EXPECT_EQ(t.fileName, QLatin1String(expected[i].file));
        EXPECT_EQ(t.version, expected[i].version);
        EXPECT_EQ(t.keys.size(), expected[i].keys);
        EXPECT_EQ(t.memoCount(), expected[i].memos);
        // The record size is the sum of the fixed fields: a check on every width and type.
        int bytes = 0;
        for (const FieldDef& f : t.fields) {
            bytes += fieldBytes(f);
        }
        EXPECT_EQ(bytes, t.recordBytes);
        // Memos come after the fixed fields and are never key components.
        for (const KeyDef& k : t.keys) {
            for (int c : k.components) {
                EXPECT_FALSE(t.field(c).isMemo()) << k.name.toStdString();
            }
        }
    }
}

TEST(Dictionary, KeyAttributes) {
    const TableDef& songs = tableDef(TableId::Tunarium);
    for (const char* name : {"SongsByArtist", "SongsByTitle", "SongsByAlbum", "SongsByMedia"}) {
        const KeyDef& k = songs.key(songs.keyIndex(QString::fromLatin1(name)));
        EXPECT_TRUE(k.caseInsensitive) << name;
        EXPECT_FALSE(k.excludeBlank) << name;
    }
    const KeyDef& byFile = songs.key(songs.keyIndex(u"TUN:KeyFileNumber"));
    EXPECT_TRUE(byFile.excludeBlank);
    EXPECT_EQ(songs.key(songs.primaryKey).name, QLatin1String("KeyID"));
    const TableDef& album = tableDef(TableId::Album);
    const KeyDef& byAlbum = album.key(album.keyIndex(u"KeyAlbum"));
    ASSERT_EQ(byAlbum.components.size(), 2);
    EXPECT_EQ(album.field(byAlbum.components[0]).name, QLatin1String("Album"));
    EXPECT_EQ(album.field(byAlbum.components[1]).name, QLatin1String("Artist"));
    EXPECT_TRUE(byAlbum.unique);
    EXPECT_EQ(tableDef(TableId::Media).primaryKey, -1);
    EXPECT_EQ(tableDef(TableId::Media).positionKey, 0);
}

TEST(Dictionary, NamesResolve) {
    struct Case {
        const char* name;
        TableId table;
        const char* field;
    };
    const Case cases[] = {{"TUN:Artist", TableId::Tunarium, "Artist"},
                          {"A_S:FileNumber", TableId::Tunarium, "FileNumber"},
                          {"alb:albumid", TableId::Album, "AlbumID"},
                          {"PLA:ID", TableId::PlaylistDetails, "ID"},
                          {"TUN:Notes", TableId::Tunarium, "Notes"}};
    for (const Case& c : cases) {
        const FieldRef ref = resolveField(QString::fromLatin1(c.name));
        ASSERT_TRUE(ref.isValid()) << c.name;
        EXPECT_EQ(ref.table->id, c.table) << c.name;
        EXPECT_EQ(ref.table->field(ref.field).name, QLatin1String(c.field)) << c.name;
    }
    EXPECT_FALSE(resolveField(u"TUN:Nothing").isValid());
    EXPECT_FALSE(resolveField(u"XYZ:Artist").isValid());
    EXPECT_FALSE(resolveField(u"Artist").isValid());
    EXPECT_EQ(findTable(u"tnrdata")->id, TableId::Tunarium);
    EXPECT_EQ(findTable(u"A_Songs")->id, TableId::Tunarium);
}

TEST(Dictionary, FieldRanges) {
    const TableDef& songs = tableDef(TableId::Tunarium);
    EXPECT_EQ(songs.field(songs.fieldIndex(u"TrackNumber")).maxValue(), 255);
    EXPECT_EQ(songs.field(songs.fieldIndex(u"ID")).maxValue(), 2147483647);
    EXPECT_EQ(songs.field(songs.fieldIndex(u"ID")).minValue(), -2147483648LL);
    const TableDef& wizard = tableDef(TableId::AddWizard);
    EXPECT_EQ(wizard.field(wizard.fieldIndex(u"Track")).maxValue(), 999);
    EXPECT_EQ(wizard.field(wizard.fieldIndex(u"Instance")).maxValue(), 99999999999LL);
}

// Every relation links a child field to a parent field of the same kind, and the child's field
// leads a key of its table: the routines walk that key to find the children.
TEST(Dictionary, RelationsLinkFieldsOfOneKindThroughAKey) {
    ASSERT_FALSE(relations().empty());
    for (const RelationDef& r : relations()) {
        const TableDef& child = tableDef(r.child);
        const TableDef& parent = tableDef(r.parent);
        SCOPED_TRACE((r.childLabel() + " -> " + parent.label).toStdString());
        ASSERT_GE(r.childField, 0);
        ASSERT_LT(r.childField, child.fieldCount());
        ASSERT_GE(r.parentField, 0);
        ASSERT_LT(r.parentField, parent.fieldCount());
        EXPECT_EQ(child.field(r.childField).isText(), parent.field(r.parentField).isText());
        EXPECT_FALSE(child.field(r.childField).isMemo());
        bool leadsAKey = false;
        for (const KeyDef& k : child.keys) {
            leadsAKey = leadsAKey || k.components.first() == r.childField;
        }
        EXPECT_TRUE(leadsAKey);
        EXPECT_EQ(r.childLabel(), r.throughAlias ? QString("A_Songs") : child.label);
    }
}

namespace {

// The typed record against its table: one member per field, in order and of the field's kind,
// and every field kept apart on its way through a Row (no two entries share a member).
template <class T> void checkTypedRecord() {
    const TableDef& t = tableDef(T::kTable);
    SCOPED_TRACE(t.label.toStdString());
    ASSERT_EQ(static_cast<int>(T::kMembers.size()), t.fieldCount());
    Row row(T::kTable);
    for (int i = 0; i < t.fieldCount(); ++i) {
        const Member<T>& m = T::kMembers[i];
        EXPECT_EQ(m.field, i) << t.field(i).name.toStdString();
        EXPECT_EQ(std::holds_alternative<QString T::*>(m.ref), t.field(i).isText())
            << t.field(i).name.toStdString();
        if (t.field(i).isText()) {
            row.setText(i, QString::number(i + 1).left(t.field(i).width));
        } else {
            row.setNumber(i, (i + 1) % (t.field(i).maxValue() + 1));
        }
    }
    row.meta = {42, 3};
    const Row back = toRow(fromRow<T>(row));
    for (int i = 0; i < t.fieldCount(); ++i) {
        EXPECT_EQ(back.value(i).toString(), row.value(i).toString()) << t.field(i).name.toStdString();
    }
    EXPECT_EQ(back.meta.rec, 42);
    EXPECT_EQ(back.meta.version, 3);
}

} // namespace

TEST(Dictionary, TypedRecordsMatchTheirTables) {
    checkTypedRecord<SongRecord>();
    checkTypedRecord<AlbumRecord>();
    checkTypedRecord<CategoryRecord>();
    checkTypedRecord<FontRecord>();
    checkTypedRecord<LabelRecord>();
    checkTypedRecord<TipRecord>();
    checkTypedRecord<MediaRecord>();
    checkTypedRecord<PlaylistEntryRecord>();
    checkTypedRecord<PlaylistRecord>();
    checkTypedRecord<WizardTrackRecord>();
}

// The file made by the store has one index per key, named after it, with the key's uniqueness
// and blank-record condition, and the columns of the dictionary in order.
TEST(Schema, FileMatchesDictionary) {
    test::TempCollection dir;
    SqliteStore store;
    ASSERT_TRUE(store.open(dir.dir()).ok());
    for (const TableDef& t : allTables()) {
        ASSERT_TRUE(store.openTable(t.id).ok()) << t.label.toStdString();
    }
    const QString file = store.filePath();
    for (const TableDef& t : allTables()) {
        SCOPED_TRACE(t.label.toStdString());
        QStringList columns;
        for (const QStringList& row :
             test::sqlRows(file, "PRAGMA table_info(" + sql::quoted(t.label) + ")")) {
            columns << row[1];
        }
        ASSERT_GE(columns.size(), t.fieldCount() + 2);
        for (int i = 0; i < t.fieldCount(); ++i) {
            EXPECT_EQ(columns[i + 2], t.field(i).name);
        }

        QHash<QString, std::pair<bool, bool>> indexes; // name -> unique, partial
        for (const QStringList& row :
             test::sqlRows(file, "PRAGMA index_list(" + sql::quoted(t.label) + ")")) {
            indexes.insert(row[1], {row[2] != "0", row[4] != "0"});
        }
        EXPECT_EQ(indexes.size(), t.keys.size());
        for (int k = 0; k < t.keys.size(); ++k) {
            const QString name = t.prefix + ':' + t.key(k).name;
            ASSERT_TRUE(indexes.contains(name)) << name.toStdString();
            EXPECT_EQ(indexes[name].first, t.key(k).unique) << name.toStdString();
            EXPECT_EQ(indexes[name].second, t.key(k).excludeBlank) << name.toStdString();
        }
    }
}
