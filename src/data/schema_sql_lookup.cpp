// The lookup sub-select.
#include "data/schema_sql_lookup.h"

#include "data/schema_sql.h"

namespace tunarium::sql {

QString lookupSelect(const TableDef& parent, const QString& column, const QString& where, bool text) {
    return QStringLiteral("COALESCE((SELECT ") + quoted(parent.label) + u'.' + quoted(column) +
           QStringLiteral(" FROM ") + quoted(parent.label) + QStringLiteral(" WHERE ") + where +
           QStringLiteral(" LIMIT 1), ") + (text ? QStringLiteral("''") : QStringLiteral("0")) + u')';
}

} // namespace tunarium::sql
