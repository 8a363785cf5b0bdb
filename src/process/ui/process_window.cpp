// The timer-driven progress window of a process.
#include "process/ui/process_window.h"

#include "ui/dialog_units.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunarium {

namespace {

// Room for the longest file name and count the window shows, in dialog units.
constexpr int kMinimumWidth = 180;

} // namespace

ProcessWindow::ProcessWindow(std::unique_ptr<Process> process, QWidget* parent)
    : QWidget(parent), m_process(std::move(process)), m_bar(new QProgressBar(this)),
      m_message(new QLabel(this)), m_percent(new QLabel(this)),
      m_cancel(new QPushButton(tr("Cancel"), this)) {
    setWindowTitle(m_process->title());
    setAttribute(Qt::WA_DeleteOnClose);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_message->setText(m_process->message());
    m_percent->setText(QStringLiteral("0% Completed"));
    m_percent->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_message);
    layout->addWidget(m_percent);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
    setMinimumWidth(DialogUnits(this).toPixelsX(kMinimumWidth));

    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &ProcessWindow::tick);
    connect(m_cancel, &QPushButton::clicked, this, &ProcessWindow::cancelClicked);
}

ProcessWindow::~ProcessWindow() {
    m_timer.stop();
    m_process->stopNow();
}

QString ProcessWindow::percentLine() const {
    return m_percent->text();
}

QString ProcessWindow::messageLine() const {
    return m_message->text();
}

void ProcessWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_begun) {
        m_begun = true;
        // The walk is positioned once the window is on the screen.
        QTimer::singleShot(0, this, &ProcessWindow::begin);
    }
}

void ProcessWindow::begin() {
    if (!m_process->start()) {
        end();
        return;
    }
    refresh();
    m_timer.start();
}

void ProcessWindow::tick() {
    // A message box shown during the step must not start another step.
    m_timer.stop();
    const bool more = m_process->step();
    if (more) {
        refresh();
        m_timer.start();
    } else {
        end();
    }
}

void ProcessWindow::refresh() {
    m_message->setText(m_process->message());
    const int percent = m_process->percent();
    if (percent != m_shownPercent || m_process->statusText() != m_percent->text()) {
        m_shownPercent = percent;
        m_bar->setValue(percent);
        m_percent->setText(m_process->statusText());
    }
}

void ProcessWindow::end() {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_timer.stop();
    refresh();
    if (m_process->completed()) {
        m_percent->setText(m_process->percentText());
    }
    emit finished(m_process->completed());
    // In the workspace the window lives in a frame of its own, which closes with it.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        frame->close();
    } else {
        close();
    }
}

void ProcessWindow::cancelClicked() {
    if (m_cancelQuestion) {
        if (m_asking || m_ended) {
            return;
        }
        m_asking = true;
        const bool wasRunning = m_timer.isActive();
        m_timer.stop();
        const bool sure = m_cancelQuestion();
        m_asking = false;
        if (m_ended) {
            return;
        }
        if (!sure) {
            if (wasRunning) {
                m_timer.start();
            }
            return;
        }
    }
    m_process->cancel();
    if (m_process->finished()) {
        end();
        return;
    }
    // The process finishes its last work in its next steps, then ends as cancelled.
    m_cancel->setEnabled(false);
    refresh();
}

void ProcessWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (m_cancel->isEnabled()) {
            cancelClicked();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void ProcessWindow::closeEvent(QCloseEvent* event) {
    if (!m_ended) {
        // Closing the window cannot wait for the process's next steps.
        m_process->stopNow();
        end();
    }
    event->accept();
}

ProcessWindow* runProcessWindow(QMdiArea* workspace, std::unique_ptr<Process> process,
                                std::function<void(bool)> done) {
    auto* window = new ProcessWindow(std::move(process));
    if (done) {
        QObject::connect(window, &ProcessWindow::finished, window, std::move(done));
    }
    if (workspace) {
        QMdiSubWindow* sub = workspace->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
    } else {
        window->show();
    }
    return window;
}

ProcessWindow* runProcessWindowOver(QWidget* owner, std::unique_ptr<Process> process,
                                    std::function<void(bool)> done) {
    auto* window = new ProcessWindow(std::move(process), owner);
    window->setWindowFlags(Qt::Dialog);
    window->setWindowModality(Qt::WindowModal);
    if (done) {
        QObject::connect(window, &ProcessWindow::finished, window, std::move(done));
    }
    window->show();
    return window;
}

} // namespace tunarium
