// The store's developer diagnostics: the logging category "tunarium.store". A statement that
// fails is logged there with its SQL text (the same text the store's error carries in `sql`):
// one whose SQL SQLite refuses (an error of the program's own) as a warning, every other failure
// (a lock, a broken key, a full disk, a damaged file, all of which the user is told of) at debug
// level, shown with QT_LOGGING_RULES="tunarium.store.debug=true".
#pragma once

#include <QLoggingCategory>

namespace tunarium {

Q_DECLARE_LOGGING_CATEGORY(storeCategory)

} // namespace tunarium
