// The process runner's stepping, progress and cancel.
#include "process/process_runner.h"

#include "data/pictures.h"

#include <algorithm>

namespace tunarium {

Process::Process(QString title, QString message, int recordsPerStep)
    : m_title(std::move(title)), m_message(std::move(message)), m_perStep(std::max(1, recordsPerStep)) {}

bool Process::start() {
    if (m_state != State::Ready) {
        return !finished();
    }
    m_state = State::Running;
    if (!begin()) {
        finish(State::Completed);
        return false;
    }
    return true;
}

bool Process::step(int records) {
    if (m_state == State::Ready && !start()) {
        return false;
    }
    if (m_state != State::Running) {
        return false;
    }
    if (m_inStep) {
        // A message box shown while handling a record lets the timer fire again.
        return true;
    }
    m_inStep = true;
    m_endStep = false;
    stepBegins();
    bool more = true;
    for (int i = 0; more && m_stop == Stop::None && !m_endStep && i < std::max(1, records); ++i) {
        ++m_records;
        more = handleNext();
    }
    stepEnds();
    m_inStep = false;
    if (m_stop == Stop::Cancelled || (m_cancelPending && !more)) {
        finish(State::Cancelled);
    } else if (!more || m_stop == Stop::Completed) {
        finish(State::Completed);
    }
    return m_state == State::Running;
}

void Process::cancel() {
    if (m_cancelPending) {
        return;
    }
    if (m_state == State::Running && !m_inStep && windDown()) {
        m_cancelPending = true;
        return;
    }
    stopNow();
}

void Process::stopNow() {
    if (m_inStep) {
        m_stop = Stop::Cancelled;
    } else if (!finished()) {
        finish(State::Cancelled);
    }
}

void Process::finish(State state) {
    const bool started = m_state == State::Running;
    m_state = state;
    if (started) {
        end();
    }
}

void Process::setProgress(qint64 done, qint64 total) {
    m_done = done;
    m_total = total;
}

int Process::percent() const {
    if (m_state == State::Completed) {
        return 100;
    }
    if (m_total <= 0) {
        return m_done > 0 ? 100 : 0;
    }
    return static_cast<int>(std::clamp<qint64>(m_done * 100 / m_total, 0, 100));
}

QString Process::percentText() const {
    if (m_state == State::Completed) {
        return QStringLiteral("Process Completed");
    }
    return formatPicture(percent(), QStringLiteral("@n3")) + QStringLiteral("% Completed");
}

bool runToEnd(Process& process, const std::function<bool(const Process&)>& onProgress) {
    int shown = -1;
    QString shownStatus;
    bool more = process.start();
    while (more) {
        more = process.step();
        if (onProgress && !process.cancelling() &&
            (process.percent() != shown || !more || process.statusText() != shownStatus)) {
            shown = process.percent();
            shownStatus = process.statusText();
            if (!onProgress(process)) {
                // A process finishing its last work goes on for a few steps more.
                process.cancel();
                more = !process.finished();
            }
        }
    }
    return process.completed();
}

} // namespace tunarium
