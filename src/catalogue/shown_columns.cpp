// The columns a browse shows, and a column dragged to another place.
#include "catalogue/shown_columns.h"

#include "catalogue/list_format.h"

namespace tunarium {

ShownColumns::ShownColumns(QVector<ColumnDef> design) : m_design(std::move(design)) {
    for (int c = 0; c < m_design.size(); ++c) {
        m_fields << c;
    }
}

QVector<ColumnDef> ShownColumns::show(const QVector<int>& order) {
    QVector<int> fields;
    QVector<bool> shown(m_design.size(), false);
    for (int c : order) {
        if (c >= 0 && c < m_design.size() && !shown[c]) {
            shown[c] = true;
            fields << c;
        }
    }
    for (int c = 0; c < m_design.size(); ++c) {
        if (!shown[c]) {
            fields << c;
        }
    }
    m_fields = fields;
    return columns();
}

QVector<ColumnDef> ShownColumns::columns() const {
    QVector<ColumnDef> columns;
    for (int c : m_fields) {
        columns << m_design[c];
    }
    return columns;
}

QString ShownColumns::move(const QString& format, int from, int to) {
    const ListFormat parsed = ListFormat::parse(format);
    const int count = std::min(static_cast<int>(parsed.columns().size()), static_cast<int>(m_fields.size()));
    if (from < 0 || from >= count || to < 0 || to >= count || from == to) {
        return {};
    }
    const QString moved = formatWithColumnMoved(parsed, m_fields, from, to);
    m_fields.move(from, to);
    return moved;
}

} // namespace tunarium
