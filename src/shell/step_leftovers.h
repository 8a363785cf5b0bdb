// What a compact killed halfway leaves behind, swept by the next compact: the backup it makes
// first, of no use once that compact did not finish (compacting changes the collection in one
// transaction: it is as it was). A compact runs only while no other copy of the program has the
// collection open, so what another run of it left is never in use.
#pragma once

#include "data/store.h"

#include <QString>

namespace tunarium {

// A compact's backup from its making to the compact's end. The backup made for a compact that
// fails is removed; one left by a compact that was killed is removed by the next compact, once
// that one's own backup is made.
class CompactBackup {
public:
    explicit CompactBackup(Store& store) : m_store(store) {}
    // Makes the dated backup (kind "pack"), then removes those left by unfinished compacts.
    StoreError make();
    // The compact's outcome: its backup stays when it succeeded and goes when it failed.
    void finish(bool compacted);

private:
    Store& m_store;
    QString m_backup; // the backup's file name
    QString m_mark;   // the mark beside it while the compact runs
};

} // namespace tunarium
