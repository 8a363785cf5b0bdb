// The musical key a file's tag gives (TKEY, INITIALKEY, KEY), as the songs keep it: Camelot
// notation ("8A"). Empty when the tag holds none, or nothing that reads as a key.
#pragma once

#include <QString>

namespace tunarium {

QString camelotOfTag(const QString& tag);

} // namespace tunarium
