// Questions put to SQLite's parser alone, with no collection behind them.
#pragma once

#include <QString>

namespace tunarium {

// Whether SQLite's parser takes `condition` inside as many parentheses as the page read and the
// combined filters put around it, and more. The probe has no tables: a text that parses fails
// later on its names, which is the answer wanted. True when no probe can be made (the page read
// then reports what SQLite says).
bool storeParsesCondition(const QString& condition);

} // namespace tunarium
