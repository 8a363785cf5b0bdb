// Steps sized to a tick, and the copy of the write-ahead log between them.
#include "albums/housekeeping_steps.h"

#include <algorithm>

namespace tunarium {

namespace {

// The name a failed rewrite is reported under: the records are written through the process's
// view of the table.
constexpr char kProcessView[] = "Process:View";

double elapsedMs(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

} // namespace

HousekeepingSteps::HousekeepingSteps(Database& db, QList<TableId> tables, QString title, QString message,
                                     int perStep)
    : Process(std::move(title), std::move(message), perStep), m_db(db), m_tables(std::move(tables)) {}

bool HousekeepingSteps::openSteps() {
    m_lease = TableLease(m_db, m_tables);
    if (!m_lease) {
        m_failed = true;
        return false;
    }
    m_db.store().log().deferCheckpoints();
    return true;
}

void HousekeepingSteps::endSteps() {
    if (m_transaction) {
        stepEnds();
    }
    if (m_lease) {
        m_db.store().log().resumeCheckpoints();
        m_lease.release();
    }
}

bool HousekeepingSteps::fail(const StoreError& error) {
    if (m_transaction) {
        m_transaction->rollback();
        m_transaction.reset();
    }
    m_db.warnings().report(warning::kProcessError, error, QString::fromLatin1(kProcessView),
                           QStringLiteral("Put"));
    m_failed = true;
    stopAsCompleted();
    return false;
}

void HousekeepingSteps::stepBegins() {
    m_last = {};
    m_written = 0;
    m_clock.start();
    if (m_checkpointDue) {
        // A tick of its own: the copy costs about what the commits that filled the log cost.
        m_checkpointDue = false;
        int copied = 0;
        // A copy that fails (another copy of the program copying at the same time) is made
        // again after a later step; the log only grows meanwhile.
        (void)m_db.store().log().checkpoint(copied);
        m_last.checkpointOnly = true;
        m_last.checkpointMs = elapsedMs(m_clock);
        endStep();
        return;
    }
    m_transaction.emplace(m_db.store());
    if (!m_transaction->ok()) {
        const StoreError e = m_transaction->beginError();
        m_transaction.reset();
        fail(e);
    }
}

void HousekeepingSteps::stepEnds() {
    if (!m_transaction) {
        return;
    }
    m_last.workMs = elapsedMs(m_clock);
    QElapsedTimer commitClock;
    commitClock.start();
    const StoreError e = m_transaction->commit();
    m_transaction.reset();
    m_last.commitMs = elapsedMs(commitClock);
    m_last.written = m_written;
    if (e) {
        fail(e);
        return;
    }
    if (m_written > 0) {
        // Learnt at once when commits get dearer, halfway when they get cheaper.
        const double measured = m_last.commitMs / static_cast<double>(m_written);
        m_commitPerRecordMs = std::max(measured, (m_commitPerRecordMs + measured) / 2);
    }
    m_checkpointDue = m_db.store().log().uncopiedPages() >= kHousekeepingLogPages;
    committed(m_written);
}

double HousekeepingSteps::expectedMs() const {
    return elapsedMs(m_clock) + m_commitPerRecordMs * static_cast<double>(m_written);
}

void HousekeepingSteps::wrote(qint64 records) {
    m_written += records;
    checkTime();
}

void HousekeepingSteps::checkTime() {
    if (expectedMs() >= kHousekeepingStepMs) {
        endStep();
    }
}

} // namespace tunarium
