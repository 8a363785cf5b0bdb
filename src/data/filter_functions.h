// The runtime functions a filter expression may call, compiled to SQL.
#pragma once

#include "data/filter_value.h"

namespace tunarium::filter {

// The value of `name(args)`; `name` as written (any case), `position` where the name starts.
// An unknown function or a wrong number or kind of arguments fails.
Value callFunction(const QString& name, const QVector<Value>& args, int position);

} // namespace tunarium::filter
