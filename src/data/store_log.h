// The collection's write-ahead log as the store's writers see it: how many of its pages are not
// yet copied into the file, and when that copy (a checkpoint) is made. Committed work is safe in
// the log (it is synced at every commit); the copy only keeps the log short.
//
// By default a commit that leaves kAutoCheckpointPages pages or more in the log copies them at
// once, inside that commit, as SQLite itself would. A long run of steps (the housekeeping
// processes) defers that and copies the log in a tick of its own, so that no step's commit also
// carries the copy of a thousand pages into a large file.
#pragma once

#include "data/store_error.h"

namespace tunarium {

inline constexpr int kAutoCheckpointPages = 1000;

class StoreLog {
public:
    StoreLog() = default;
    virtual ~StoreLog() = default;
    StoreLog(const StoreLog&) = delete;
    StoreLog& operator=(const StoreLog&) = delete;

    // Between these, commits leave the log to checkpoint(); it grows until that is called. Calls
    // nest: the copy inside commits resumes when each deferral has been resumed.
    void deferCheckpoints() { ++m_deferred; }
    void resumeCheckpoints() { m_deferred = m_deferred > 0 ? m_deferred - 1 : 0; }
    bool checkpointsDeferred() const { return m_deferred > 0; }
    // Pages committed to the log since a checkpoint last copied all of it (an estimate from above:
    // a log that another reader kept from being reused counts again).
    virtual int uncopiedPages() const = 0;
    // Copies what it can of the log into the file, without waiting for readers of older data
    // (those pages are copied by a later call). `copied` receives the pages copied.
    virtual StoreError checkpoint(int& copied) = 0;
    // How long the copy made inside the last commit took, in milliseconds (0: there was none).
    virtual double lastCommitCheckpointMs() const = 0;

private:
    int m_deferred = 0;
};

} // namespace tunarium
