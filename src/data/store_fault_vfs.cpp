// The write-fault shim over SQLite's default file system.
#include "data/store_fault_vfs.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>

namespace tunarium {

namespace {

std::atomic<qint64> s_budget{-1}; // -1: no fault
std::atomic<int> s_refused{0};
sqlite3_vfs* s_real = nullptr;
sqlite3_vfs s_shim;

// A file of the shim: the real file's structure follows it in the same allocation.
struct ShimFile {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* real(sqlite3_file* f) {
    return reinterpret_cast<ShimFile*>(f)->real;
}

int shimClose(sqlite3_file* f) {
    const int rc = real(f)->pMethods ? real(f)->pMethods->xClose(real(f)) : SQLITE_OK;
    f->pMethods = nullptr;
    return rc;
}
int shimRead(sqlite3_file* f, void* out, int n, sqlite3_int64 at) {
    return real(f)->pMethods->xRead(real(f), out, n, at);
}
int shimWrite(sqlite3_file* f, const void* data, int n, sqlite3_int64 at) {
    qint64 budget = s_budget.load();
    while (budget >= 0) {
        if (budget < n) {
            ++s_refused;
            return SQLITE_FULL;
        }
        if (s_budget.compare_exchange_weak(budget, budget - n)) {
            break;
        }
    }
    return real(f)->pMethods->xWrite(real(f), data, n, at);
}
int shimTruncate(sqlite3_file* f, sqlite3_int64 size) {
    return real(f)->pMethods->xTruncate(real(f), size);
}
int shimSync(sqlite3_file* f, int flags) {
    return real(f)->pMethods->xSync(real(f), flags);
}
int shimFileSize(sqlite3_file* f, sqlite3_int64* size) {
    return real(f)->pMethods->xFileSize(real(f), size);
}
int shimLock(sqlite3_file* f, int level) {
    return real(f)->pMethods->xLock(real(f), level);
}
int shimUnlock(sqlite3_file* f, int level) {
    return real(f)->pMethods->xUnlock(real(f), level);
}
int shimCheckReservedLock(sqlite3_file* f, int* out) {
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int shimFileControl(sqlite3_file* f, int op, void* arg) {
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int shimSectorSize(sqlite3_file* f) {
    return real(f)->pMethods->xSectorSize(real(f));
}
int shimDeviceCharacteristics(sqlite3_file* f) {
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int shimShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    return real(f)->pMethods->xShmMap(real(f), page, size, extend, out);
}
int shimShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void shimShmBarrier(sqlite3_file* f) {
    real(f)->pMethods->xShmBarrier(real(f));
}
int shimShmUnmap(sqlite3_file* f, int deleteFlag) {
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}
// Memory-mapped reads are left to the real file's reads: the shim offers none.
int shimFetch(sqlite3_file*, sqlite3_int64, int, void** out) {
    *out = nullptr;
    return SQLITE_OK;
}
int shimUnfetch(sqlite3_file*, sqlite3_int64, void*) {
    return SQLITE_OK;
}

const sqlite3_io_methods kShimMethods = {
    3,
    shimClose,
    shimRead,
    shimWrite,
    shimTruncate,
    shimSync,
    shimFileSize,
    shimLock,
    shimUnlock,
    shimCheckReservedLock,
    shimFileControl,
    shimSectorSize,
    shimDeviceCharacteristics,
    shimShmMap,
    shimShmLock,
    shimShmBarrier,
    shimShmUnmap,
    shimFetch,
    shimUnfetch,
};

int shimOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<ShimFile*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    std::memset(file->real, 0, static_cast<size_t>(s_real->szOsFile));
    const int rc = s_real->xOpen(s_real, name, file->real, flags, outFlags);
    f->pMethods = file->real->pMethods ? &kShimMethods : nullptr;
    return rc;
}

} // namespace

void WriteFaults::install(qint64 bytes) {
    if (!s_real) {
        s_real = sqlite3_vfs_find(nullptr);
        s_shim = *s_real;
        s_shim.iVersion = s_real->iVersion;
        s_shim.szOsFile = static_cast<int>(sizeof(ShimFile)) + s_real->szOsFile;
        s_shim.zName = "tunarium-write-faults";
        s_shim.pNext = nullptr;
        s_shim.xOpen = shimOpen;
        sqlite3_vfs_register(&s_shim, 1);
    }
    s_refused = 0;
    s_budget = bytes;
}

void WriteFaults::clear() {
    s_budget = -1;
}

int WriteFaults::refused() {
    return s_refused;
}

} // namespace tunarium
