// The filter text of one element of a query built with the query wizard: a field, one of the
// twelve operators and a value.
#pragma once

#include <QString>

namespace tunarium {

// Numbered as the wizard's display texts of the operators (1 "Is Equal To" ... 12 "Is NOT Checked").
enum class QueryOperator {
    IsEqualTo = 1,
    IsNotEqualTo,
    IsGreaterThan,
    IsLessThan,
    IsGreaterThanOrEqualTo,
    IsLessThanOrEqualTo,
    BeginsWith,
    Contains,
    DoesNotBeginWith,
    DoesNotContain,
    IsChecked,
    IsNotChecked,
};

// The filter text of `field` (a qualified field name, "TUN:Artist") under `op` against `value`, an
// expression text: filterLiteral() of what the user typed, a number, another field. Without
// `caseSensitive`, a text field is compared without regard to case (UPPER on both sides); number
// fields always compare as numbers. The check-box operators ignore `value`:
//   IsEqualTo ... IsLessThanOrEqualTo   F = V, F <> V, F > V, F < V, F >= V, F <= V
//   BeginsWith, DoesNotBeginWith         INSTRING(V, F, 1, 1) = 1, INSTRING(V, F, 1, 1) <> 1
//   Contains, DoesNotContain             INSTRING(V, F, 1, 1) <> 0, INSTRING(V, F, 1, 1) = 0
//   IsChecked, IsNotChecked              F <> 0, F = 0
QString queryElementText(const QString& field, QueryOperator op, const QString& value, bool caseSensitive);

} // namespace tunarium
