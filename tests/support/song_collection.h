// A collection with songs in it, made in the test's own process and closed again.
#pragma once

#include <QString>

namespace tunarium::test {

// Makes every table of a collection in `dir` and adds `songs` songs numbered from 1.
void makeSongCollection(const QString& dir, int songs);
// The songs in the collection in `dir` as SQLite counts them (-1 when it cannot be read).
qint64 songsIn(const QString& dir);

} // namespace tunarium::test
