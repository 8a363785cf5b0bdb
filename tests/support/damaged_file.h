// Damage made on purpose: pages of a closed collection file overwritten with garbage.
#pragma once

#include <QString>

namespace tunarium::test {

// Overwrites `pages` leaf pages in the middle of one table or index (`name`, as SQLite names it:
// "Tunarium", "TUN:SongsByTitle") of the closed collection file at `path`. False when the file
// is too small for it or the SQLite library cannot say where the pages are (no dbstat table).
bool overwriteLeafPages(const QString& path, const QString& name, int pages);

} // namespace tunarium::test
