// A record of any table as an array of values in the dictionary's field order, and the typed
// records the rest of the program uses (song.artist), mapped onto it through the dictionary.
#pragma once

#include "data/dictionary.h"

#include <QVariant>

#include <variant>

namespace tunarium {

// Where a record lives in its table and which version of it was read; the store fills it.
struct RecordMeta {
    qint64 rec = 0;     // the record's number in its table (0: not stored yet)
    qint64 version = 0; // bumped by every rewrite; a rewrite checks it
};

// One record of one table. Text values are QString, numbers qint64.
class Row {
public:
    Row() = default;
    explicit Row(TableId table);

    TableId tableId() const { return m_table; }
    const TableDef& table() const { return tableDef(m_table); }
    int size() const { return static_cast<int>(m_values.size()); }

    const QVariant& value(int field) const { return m_values[field]; }
    QString text(int field) const { return m_values[field].toString(); }
    qint64 number(int field) const { return m_values[field].toLongLong(); }

    // Sets a text field the way a form or an import does: trailing blanks dropped and the
    // text cut to the field's width.
    void setText(int field, const QString& value);
    // Sets a value as given; the store refuses what does not fit its field.
    void setRaw(int field, const QVariant& value) { m_values[field] = value; }
    void setNumber(int field, qint64 value) { m_values[field] = value; }
    // Blank text and zero numbers everywhere; meta kept.
    void clear();

    // By qualified or plain name ("TUN:Artist" or "Artist"); an unknown name gives an
    // invalid QVariant (get) or false (set).
    QVariant get(QStringView name) const;
    bool set(QStringView name, const QVariant& value);

    RecordMeta meta;

private:
    TableId m_table = TableId::Tunarium;
    QVector<QVariant> m_values;
};

// Drops trailing blanks (the fixed-width text fields are blank-padded).
QString trimTrailingBlanks(const QString& text);

// One member of a typed record and the field of its table it holds (text fields and memos in a
// QString, numbers in a qint64).
template <class T> struct Member {
    int field;
    std::variant<QString T::*, qint64 T::*> ref;
};

// Conversion between a typed record and a Row through its member list (T::kMembers).
template <class T> Row toRow(const T& record) {
    Row row(T::kTable);
    for (const Member<T>& m : T::kMembers) {
        if (auto p = std::get_if<QString T::*>(&m.ref)) {
            row.setRaw(m.field, record.*(*p));
        } else {
            row.setRaw(m.field, record.*std::get<qint64 T::*>(m.ref));
        }
    }
    row.meta = record.meta;
    return row;
}

template <class T> T fromRow(const Row& row) {
    T record;
    for (const Member<T>& m : T::kMembers) {
        if (auto p = std::get_if<QString T::*>(&m.ref)) {
            record.*(*p) = row.text(m.field);
        } else {
            record.*std::get<qint64 T::*>(m.ref) = row.number(m.field);
        }
    }
    record.meta = row.meta;
    return record;
}

} // namespace tunarium
