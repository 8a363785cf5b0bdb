// Filter texts of query elements.
#include "data/filter_query_text.h"

#include "data/dictionary.h"

namespace tunarium {

QString queryElementText(const QString& field, QueryOperator op, const QString& value, bool caseSensitive) {
    const FieldRef ref = resolveField(field);
    const bool ignoreCase = !caseSensitive && (!ref.isValid() || ref.table->field(ref.field).isText());
    const QString f = ignoreCase ? QStringLiteral("UPPER(%1)").arg(field) : field;
    const QString v = ignoreCase ? QStringLiteral("UPPER(%1)").arg(value) : value;
    const QString found = QStringLiteral("INSTRING(%1, %2, 1, 1)").arg(v, f);
    switch (op) {
    case QueryOperator::IsEqualTo:
        return f + QStringLiteral(" = ") + v;
    case QueryOperator::IsNotEqualTo:
        return f + QStringLiteral(" <> ") + v;
    case QueryOperator::IsGreaterThan:
        return f + QStringLiteral(" > ") + v;
    case QueryOperator::IsLessThan:
        return f + QStringLiteral(" < ") + v;
    case QueryOperator::IsGreaterThanOrEqualTo:
        return f + QStringLiteral(" >= ") + v;
    case QueryOperator::IsLessThanOrEqualTo:
        return f + QStringLiteral(" <= ") + v;
    case QueryOperator::BeginsWith:
        return found + QStringLiteral(" = 1");
    case QueryOperator::Contains:
        return found + QStringLiteral(" <> 0");
    case QueryOperator::DoesNotBeginWith:
        return found + QStringLiteral(" <> 1");
    case QueryOperator::DoesNotContain:
        return found + QStringLiteral(" = 0");
    case QueryOperator::IsChecked:
        return field + QStringLiteral(" <> 0");
    case QueryOperator::IsNotChecked:
        return field + QStringLiteral(" = 0");
    }
    return {};
}

} // namespace tunarium
