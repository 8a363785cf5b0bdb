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

} // namespace tunarium
