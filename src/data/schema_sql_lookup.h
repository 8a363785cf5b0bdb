// SQL text of a lookup through a relation, built from the dictionary's names: what a filter on
// one table reads of the record it refers to.
#pragma once

#include "data/dictionary.h"

#include <QString>

namespace tunarium::sql {

// `column` of the first record of `parent` that `where` finds, as a correlated sub-select; blank
// text or zero (`text`) when there is none, as a joined lookup reads.
QString lookupSelect(const TableDef& parent, const QString& column, const QString& where, bool text);

} // namespace tunarium::sql
