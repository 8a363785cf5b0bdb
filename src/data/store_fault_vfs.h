// Disk trouble on purpose, for tests: while installed, every file SQLite writes through its
// default file system (the collection, its log, backups) fails a write with "database or disk is
// full" once a given number of bytes more has been written, as a disk that fills up does.
#pragma once

#include <QtGlobal>

namespace tunarium {

class WriteFaults {
public:
    // Makes the shim SQLite's default file system; files opened from now on go through it. Writes
    // fail once `bytes` bytes have been written after this call (0: the first write fails;
    // negative: none fails, until a later call sets a limit).
    static void install(qint64 bytes);
    // Writes succeed again (the shim stays in place for files already open).
    static void clear();
    // Writes refused since install().
    static int refused();
};

} // namespace tunarium
