// The data dictionary: every table of the collection, its fields in declared order, memos, keys,
// structure version, the A_Songs alias, the relations between tables and the event-log layout.
// The store, record types, import/export field lists and list columns are all drawn from here.
#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

#include <array>
#include <cstdint>
#include <span>

namespace tunarium {

enum class FieldType {
    String,  // fixed-width text; width in characters
    Long,    // 32-bit signed
    Byte,    // 8-bit unsigned
    Decimal, // packed decimal without places; width in digits
    Memo,    // variable-length text up to width characters, never a key component
};

// What a number field holds, for the pictures that show it.
enum class FieldMeaning { Plain, Date, Time };

struct FieldDef {
    QString name; // without prefix: "Artist"
    FieldType type = FieldType::String;
    int width = 0;       // characters (String, Memo) or digits (Decimal)
    QString picture;     // display picture; empty where the table gives none
    QString formPicture; // picture used by the form where it differs, else empty
    FieldMeaning meaning = FieldMeaning::Plain;
    // A date that may hold a bare year (a date known only by its year, see date_time.h). Every key
    // over it orders by releaseOrderValue, through an order column beside the field (schema_sql.h),
    // so that a year stands among the full dates of its year in every list that key orders.
    bool mayHoldBareYear = false;

    bool isText() const { return type == FieldType::String || type == FieldType::Memo; }
    bool isMemo() const { return type == FieldType::Memo; }
    // Smallest and largest value a number field can hold.
    qint64 minValue() const;
    qint64 maxValue() const;
    // "STRING 50", "LONG", "DECIMAL 6" ... as the data dictionary lists it.
    QString typeText() const;
    // The picture a form shows and reads the field through: its form picture where it has one,
    // else its picture.
    const QString& formShown() const { return formPicture.isEmpty() ? picture : formPicture; }
};

struct KeyDef {
    QString name;            // without prefix: "SongsByArtist"
    QVector<int> components; // field indexes, in order
    bool unique = false;
    bool primary = false;
    // Text components compare without regard to case (through folded key columns).
    bool caseInsensitive = true;
    // Records whose key components are all blank (text empty, numbers zero) are not in the key.
    bool excludeBlank = true;
};

// Tables in the order start-up registers them.
enum class TableId : int {
    AddWizard,
    Album,
    Categories,
    Fonts,
    Labels,
    TNRTips,
    Media,
    Tunarium,
    PlaylistDetails,
    PlaylistMaster,
    SavedSearches,
};
inline constexpr int kTableCount = 11;

struct TableDef {
    TableId id = TableId::Tunarium;
    QString label;    // "Tunarium"
    QString prefix;   // "TUN"
    QString fileName; // "tnrdata"
    int version = 0;  // structure version
    int recordBytes = 0;
    QVector<FieldDef> fields; // declared fields, then memos
    QVector<KeyDef> keys;
    int primaryKey = -1; // index into keys; -1 where the table has none
    // The key the record-access routines use to take a record's position (the primary key,
    // or for Media its only key).
    int positionKey = 0;

    int fieldCount() const { return static_cast<int>(fields.size()); }
    int memoCount() const;
    // Index of a field by name, with or without this table's prefix, case-insensitive; -1 if none.
    int fieldIndex(QStringView name) const;
    // Index of a key by name, with or without prefix, case-insensitive; -1 if none.
    int keyIndex(QStringView name) const;
    const FieldDef& field(int index) const { return fields[index]; }
    const KeyDef& key(int index) const { return keys[index]; }
    QString qualifiedField(int index) const { return prefix + ':' + fields[index].name; }
    QString qualifiedKey(int index) const { return prefix + ':' + keys[index].name; }
};

// Every table, in registration order.
const std::array<TableDef, kTableCount>& allTables();
const TableDef& tableDef(TableId id);
// The picture a form shows the field `field` of `table` through (FieldDef::formShown).
inline const QString& formPicture(TableId table, int field) {
    return tableDef(table).field(field).formShown();
}
// A table by label ("Tunarium"), prefix ("TUN") or file name; the alias "A_Songs"/"A_S" gives
// the songs table. nullptr when nothing matches.
const TableDef* findTable(QStringView labelPrefixOrFile);

// The second declaration over the songs file, with its own record buffer, walked by the
// file-number cascades.
struct AliasDef {
    QString label;
    QString prefix;
    TableId table;
};
const AliasDef& songsAlias();

// A field named as prefix, colon, name ("TUN:Artist", "A_S:FileNumber").
struct FieldRef {
    const TableDef* table = nullptr;
    int field = -1;
    bool isValid() const { return table != nullptr && field >= 0; }
};
FieldRef resolveField(QStringView qualifiedName);

// What the record-access routines do to the records that refer to a parent record (the
// children) when the parent is deleted, or when the parent's linking field changes.
enum class DeleteRule {
    Cascade,  // the children are deleted (each by the rules of its own table)
    Restrict, // the parent cannot be deleted while a child refers to it
};
enum class ChangeRule {
    Cascade,  // the children follow the new value
    Restrict, // the value cannot change while a child refers to it
    None,     // nothing is done
};

// A child's field that holds the value of a parent's field. A blank or zero value refers to no
// record. The relations of one parent are applied in the order of relations().
struct RelationDef {
    TableId child;
    bool throughAlias; // the child is the songs table walked as A_Songs
    int childField;
    TableId parent;
    int parentField;
    DeleteRule onDelete;
    ChangeRule onChange;

    // The child as messages name it: its label, or the alias's ("A_Songs").
    QString childLabel() const;
};
std::span<const RelationDef> relations();

// The event log: one line a record of fixed-width fields.
struct LogFieldDef {
    QString name;
    int width;
};
inline constexpr const char* kEventLogPrefix = "EVL";
const std::array<LogFieldDef, 4>& eventLogFields();

} // namespace tunarium
