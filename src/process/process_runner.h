// Long batch jobs over a table (import, export, create album entries, maintenance): a process
// that handles a fixed number of records per step, reports its progress and can be cancelled.
// The GUI steps it from a timer behind a progress window; the command line steps it in a loop.
#pragma once

#include <QString>

#include <functional>

namespace tunarium {

class Process {
public:
    enum class State { Ready, Running, Completed, Cancelled };

    Process(QString title, QString message, int recordsPerStep);
    virtual ~Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // The progress window's title and message line, and how many records one timer tick handles.
    const QString& title() const { return m_title; }
    const QString& message() const { return m_message; }
    int recordsPerStep() const { return m_perStep; }

    // Positions the walk at the first record. False when there is nothing to do: the process is
    // then completed at once, without any step.
    bool start();
    // Handles up to `records` records (at least one). True while records remain; false once the
    // process is completed or cancelled. Starts the process first when start() was not called.
    bool step(int records);
    bool step() { return step(m_perStep); }
    // Stops at once, without a question; whatever was done stays done. A process whose last work
    // must not be cut short (keys being built) first finishes that work in its next steps, and
    // then ends as cancelled; cancelling() tells so meanwhile.
    void cancel();
    bool cancelling() const { return m_cancelPending && !finished(); }
    // Stops at once, even a process that would finish its last work first: that work is then
    // done before this returns.
    void stopNow();

    State state() const { return m_state; }
    bool finished() const { return m_state == State::Completed || m_state == State::Cancelled; }
    bool completed() const { return m_state == State::Completed; }
    qint64 recordsDone() const { return m_records; }
    // Whole percentage of the work done, 0 to 100; 100 once completed.
    int percent() const;
    // The percent line: "N% Completed", or "Process Completed" at the end.
    QString percentText() const;
    // The status line shown under the message; the percent line unless a process says otherwise.
    virtual QString statusText() const { return percentText(); }

protected:
    // Positions the walk; false when there is no first record.
    virtual bool begin() = 0;
    // Handles the current record and reads on. False when no record follows (or the run must end).
    virtual bool handleNext() = 0;
    // Called once when the run ends, completed or cancelled.
    virtual void end() {}
    // Asked on cancel: true when the process has work to finish in its next steps before it may
    // end (it has started that work); false to end at once.
    virtual bool windDown() { return false; }
    // Called around the records of every step (a transaction per step, say).
    virtual void stepBegins() {}
    virtual void stepEnds() {}
    // Ends the run as completed after the current record (a failure the user was told about).
    void stopAsCompleted() { m_stop = Stop::Completed; }
    // Ends the current step after this record; the run goes on with the next step. For a process
    // that waits on work of its own between records and must give the window its turn.
    void endStep() { m_endStep = true; }

    // Progress in the process's own unit (records, or bytes of a file): done out of total.
    void setProgress(qint64 done, qint64 total);
    void setMessage(const QString& message) { m_message = message; }

private:
    void finish(State state);

    QString m_title;
    QString m_message;
    int m_perStep;
    State m_state = State::Ready;
    qint64 m_records = 0;
    qint64 m_done = 0;
    qint64 m_total = 0;
    enum class Stop { None, Completed, Cancelled };
    Stop m_stop = Stop::None;
    bool m_inStep = false;
    bool m_endStep = false;
    bool m_cancelPending = false;
};

// Runs a process to its end without a window, one step after another. `onProgress` is called
// after every step whose whole percentage or status line differs from the last one reported (and
// at the end);
// returning false cancels the process. Returns true when the process completed.
bool runToEnd(Process& process, const std::function<bool(const Process&)>& onProgress = {});

} // namespace tunarium
