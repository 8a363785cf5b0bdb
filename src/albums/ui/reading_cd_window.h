// "Reading CD": the progress window of a disc read (a wizard's, or the album form's). A timer steps the read,
// one track a step, so every other window stays usable while it runs; the window shows once the drive has
// answered, and closes itself when the read ends. Its Cancel ends the read where it stands, with
// the drive closed and nothing written.
#pragma once

#include "albums/cd_read_job.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tunarium {

class ReadingCdWindow : public QWidget {
public:
    // Told once, when the read ends: whether its tracks are in the wizard's rows.
    using Done = std::function<void(bool succeeded)>;

    ReadingCdWindow(std::unique_ptr<CdReadJob> read, QWidget* parent, Done done);
    ~ReadingCdWindow() override;

    // Starts stepping the read.
    void start();
    CdReadJob& read() { return *m_read; }
    QProgressBar* bar() const { return m_bar; }
    QString statusLine() const;
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void tick();
    void showProgress();
    // The read is over: the caller is told, and the window closes unless it is closing already.
    void end(bool closeWindow);

    std::unique_ptr<CdReadJob> m_read;
    Done m_done;
    QProgressBar* m_bar;
    QLabel* m_status;
    QLabel* m_other;
    QPushButton* m_cancel;
    QTimer m_timer;
    bool m_ended = false;
};

} // namespace tunarium
