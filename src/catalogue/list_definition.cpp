// Column helpers of the list definition.
#include "catalogue/list_definition.h"

namespace tunarium {

ColumnDef recordColumn(const QString& header, int field, const QString& picture) {
    return {header, picture, [field](const PageRow& row) { return row.record.value(field); }};
}

ColumnDef lookupColumn(const QString& header, int join, int field, const QString& picture) {
    return {header, picture, [join, field](const PageRow& row) {
                return join < row.lookups.size() ? row.lookups[join].value(field) : QVariant();
            }};
}

QString locateHint(const ListDefinition& definition, int order) {
    if (order < 1 || order > definition.sortOrders.size()) {
        return {};
    }
    const SortOrderDef& sort = definition.sortOrders[order - 1];
    const TableDef& table = tableDef(definition.table);
    const KeyDef& key = table.key(sort.key);
    const int field = key.components.value(sort.rangeLength, key.components.first());
    QString name = table.field(field).name;
    for (qsizetype i = name.size() - 1; i > 0; --i) {
        if (name[i].isUpper() && name[i - 1].isLower()) {
            name.insert(i, u' ');
        }
    }
    return QStringLiteral("Type the %1 to locate").arg(name);
}

} // namespace tunarium
