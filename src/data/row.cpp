// Generic records and their conversion helpers.
#include "data/row.h"

namespace tunarium {

QString trimTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ') {
        --end;
    }
    return end == text.size() ? text : text.left(end);
}

Row::Row(TableId table) : m_table(table) {
    const TableDef& t = tableDef(table);
    m_values.reserve(t.fieldCount());
    for (const FieldDef& f : t.fields) {
        m_values.push_back(f.isText() ? QVariant(QString()) : QVariant(qint64(0)));
    }
}

void Row::setText(int field, const QString& value) {
    const FieldDef& f = table().field(field);
    QString v = trimTrailingBlanks(value);
    if (f.isText() && v.size() > f.width) {
        v = trimTrailingBlanks(v.left(f.width));
    }
    m_values[field] = v;
}

void Row::clear() {
    const TableDef& t = table();
    for (int i = 0; i < t.fieldCount(); ++i) {
        m_values[i] = t.field(i).isText() ? QVariant(QString()) : QVariant(qint64(0));
    }
}

QVariant Row::get(QStringView name) const {
    const int i = table().fieldIndex(name);
    return i >= 0 ? m_values[i] : QVariant();
}

bool Row::set(QStringView name, const QVariant& value) {
    const int i = table().fieldIndex(name);
    if (i < 0) {
        return false;
    }
    if (table().field(i).isText()) {
        setText(i, value.toString());
    } else {
        m_values[i] = value.toLongLong();
    }
    return true;
}

} // namespace tunarium
