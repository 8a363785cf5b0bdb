// The progress window of a process: a bar, the message line, the percent line and "Cancel". A
// timer steps the process; the window closes itself when the process ends.
#pragma once

#include "process/process_runner.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QMdiArea;
class QProgressBar;
class QPushButton;

namespace tunarium {

class ProcessWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProcessWindow(std::unique_ptr<Process> process, QWidget* parent = nullptr);
    ~ProcessWindow() override;

    Process& process() { return *m_process; }
    QString percentLine() const;
    QString messageLine() const;
    // Milliseconds between two steps; 0 steps whenever no other event waits.
    void setInterval(int ms) { m_timer.setInterval(ms); }
    // Asked when the user presses Cancel or Escape (a report asks whether the user is sure): the
    // process is cancelled only when it answers true. The process waits while it asks.
    void setCancelQuestion(std::function<bool()> question) { m_cancelQuestion = std::move(question); }

signals:
    // The process ended: completed, or cancelled. The window closes right after.
    void finished(bool completed);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void begin();
    void tick();
    void cancelClicked();
    void refresh();
    void end();

    std::unique_ptr<Process> m_process;
    QProgressBar* m_bar;
    QLabel* m_message;
    QLabel* m_percent;
    QPushButton* m_cancel;
    QTimer m_timer;
    std::function<bool()> m_cancelQuestion;
    bool m_asking = false;
    int m_shownPercent = -1;
    bool m_begun = false;
    bool m_ended = false;
};

// Shows the process's progress window in the workspace (on its own when there is none) and starts
// it; `done` is told whether the process completed.
ProcessWindow* runProcessWindow(QMdiArea* workspace, std::unique_ptr<Process> process,
                                std::function<void(bool)> done = {});
// Shows the process's progress window in front of `owner` (a dialog, say, that would hide a window
// of the workspace), keeping the user to it until the process ends, and starts it.
ProcessWindow* runProcessWindowOver(QWidget* owner, std::unique_ptr<Process> process,
                                    std::function<void(bool)> done = {});

} // namespace tunarium
