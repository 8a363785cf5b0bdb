// The steps of a housekeeping process that rewrites up to every record of a table: each step is
// one transaction, written whole or not at all, so that a cancel or a crash keeps the steps done
// and never leaves a record half written, and other windows and copies of the program get the
// file between steps. A step is sized so that its work and its commit together fit in a tick of
// the progress window: the commit's cost per record written is learnt from the steps before.
// The write-ahead log is copied into the file in a tick of its own between steps, never inside a
// step's commit. Every commit stays synced to the disk (nothing committed is lost to a power cut).
#pragma once

#include "data/database.h"
#include "data/table_lease.h"
#include "process/process_runner.h"

#include <QElapsedTimer>
#include <QList>

#include <optional>

namespace tunarium {

// What a step aims at, work and commit together: well under the 100 ms after which a window feels
// stuck, as the disk's speed varies from one commit to the next.
inline constexpr double kHousekeepingStepMs = 40;
// Log pages the steps' commits may leave before the next tick copies them into the file.
inline constexpr int kHousekeepingLogPages = 256;

// The parts of one tick, for the benchmark.
struct StepCost {
    double workMs = 0;
    double commitMs = 0;
    // The tick copied the log into the file and did nothing else.
    bool checkpointOnly = false;
    double checkpointMs = 0;
    qint64 written = 0;
};

class HousekeepingSteps : public Process {
public:
    // A step that could not be written (or a table that could not be opened) ended the run; the
    // user was told, and what was committed before stays.
    bool failed() const { return m_failed; }
    // The parts of the last tick.
    const StepCost& lastStep() const { return m_last; }

protected:
    HousekeepingSteps(Database& db, QList<TableId> tables, QString title, QString message, int perStep);

    // For begin(): opens the tables (false, failed, when they cannot be) and defers the copy of
    // the log to the ticks between steps.
    bool openSteps();
    // For end(): writes the open step and closes the tables.
    void endSteps();
    // A step is under way (its transaction is open).
    bool inStep() const { return m_transaction.has_value(); }
    // Counts records the step rewrote, and ends the step once its work so far and the commit
    // expected for what it wrote would fill the tick.
    void wrote(qint64 records);
    // Ends the step once its work so far would fill the tick, even with nothing written.
    void checkTime();
    // Rolls back the open step, tells the user (warning 31), and ends the run. Returns false.
    bool fail(const StoreError& error);
    // A read failed and the user was told (the run then ends).
    void failedRead() { m_failed = true; }
    // Called when a step's records are in the file, with how many the step rewrote.
    virtual void committed(qint64 written) { (void)written; }

    Database& m_db;

private:
    void stepBegins() final;
    void stepEnds() final;
    double expectedMs() const;

    QList<TableId> m_tables;
    TableLease m_lease;
    bool m_failed = false;
    std::optional<Transaction> m_transaction;
    QElapsedTimer m_clock;
    qint64 m_written = 0;
    // What the commit of a rewritten record cost in the steps before (ms); a first guess until
    // the first commit is measured.
    double m_commitPerRecordMs = 0.1;
    bool m_checkpointDue = false;
    StepCost m_last;
};

} // namespace tunarium
