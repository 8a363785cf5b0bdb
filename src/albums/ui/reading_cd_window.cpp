// The progress window of a disc read.
#include "albums/ui/reading_cd_window.h"

#include "ui/dialog_units.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunarium {

ReadingCdWindow::ReadingCdWindow(std::unique_ptr<CdReadJob> read, QWidget* parent, Done done)
    : QWidget(parent, Qt::Dialog), m_read(std::move(read)), m_done(std::move(done)) {
    setObjectName(QStringLiteral("ReadingCD"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::NonModal);
    setWindowTitle(QStringLiteral("Progress..."));
    m_bar = new QProgressBar;
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_status = new QLabel;
    m_other = new QLabel;
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_read->cancel();
        end(true);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_status);
    layout->addWidget(m_other);
    layout->addLayout(buttons);
    const DialogUnits units(this);
    setMinimumWidth(units.toPixelsX(160));
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &ReadingCdWindow::tick);
}

ReadingCdWindow::~ReadingCdWindow() {
    // A window closed from outside in the middle of the read ends it with the drive closed.
    if (!m_ended) {
        m_read->cancel();
        m_ended = true;
        if (m_done) {
            m_done(false);
        }
    }
}

QString ReadingCdWindow::statusLine() const {
    return m_status->text();
}

void ReadingCdWindow::start() {
    m_timer.start();
}

void ReadingCdWindow::tick() {
    if (m_ended) {
        return;
    }
    // A message the read shows runs its own event loop: no step starts inside another.
    m_timer.stop();
    const bool more = m_read->step();
    if (m_ended) {
        return;
    }
    showProgress();
    if (more) {
        m_timer.start();
    } else {
        end(true);
    }
}

void ReadingCdWindow::showProgress() {
    const CdReadProgress& p = m_read->progress();
    if (!p.shown) {
        return;
    }
    setWindowTitle(p.title);
    m_status->setText(p.statusLine);
    m_other->setText(p.otherLine);
    m_bar->setValue(p.percent);
    if (!isVisible()) {
        // Over the middle of the window that started the read.
        adjustSize();
        if (QWidget* over = parentWidget()) {
            move(over->mapToGlobal(over->rect().center()) - rect().center());
        }
        show();
        raise();
    }
}

void ReadingCdWindow::end(bool closeWindow) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_timer.stop();
    const bool succeeded = m_read->succeeded();
    Done done = std::move(m_done);
    m_done = nullptr;
    if (closeWindow) {
        close();
    }
    if (done) {
        done(succeeded);
    }
}

void ReadingCdWindow::closeEvent(QCloseEvent* event) {
    if (!m_ended) {
        m_read->cancel();
        end(false);
    }
    event->accept();
}

void ReadingCdWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        m_cancel->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace tunarium
