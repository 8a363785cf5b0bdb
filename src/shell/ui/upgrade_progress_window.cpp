// The progress window of the upgrade of an older collection.
#include "shell/ui/upgrade_progress_window.h"

#include "ui/dialog_units.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>

namespace tunarium {

namespace {

// Room for the longest step text, in dialog units.
constexpr int kMinimumWidth = 200;

} // namespace

UpgradeProgressWindow::UpgradeProgressWindow(QWidget* parent)
    : QDialog(parent), m_bar(new QProgressBar(this)), m_step(new QLabel(this)), m_percent(new QLabel(this)) {
    setWindowTitle(tr("Upgrading the Collection"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    auto* note = new QLabel(tr("The collection was made by an earlier version of the program and is "
                               "brought up to date. A backup of it as it was is kept beside it."),
                            this);
    note->setWordWrap(true);
    m_bar->setRange(0, 100);
    m_bar->setTextVisible(false);
    m_percent->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(m_step);
    layout->addWidget(m_bar);
    layout->addWidget(m_percent);
    setMinimumWidth(DialogUnits(this).toPixelsX(kMinimumWidth));
}

void UpgradeProgressWindow::showStep(const UpgradeStep& step) {
    const int percent = static_cast<int>(std::floor(step.fraction * 100));
    m_step->setText(upgradeStepText(step) + QStringLiteral("..."));
    m_bar->setValue(percent);
    m_percent->setText(QStringLiteral("%1% Completed").arg(percent));
}

QString UpgradeProgressWindow::stepLine() const {
    return m_step->text();
}

QString UpgradeProgressWindow::percentLine() const {
    return m_percent->text();
}

void UpgradeProgressWindow::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

void UpgradeProgressWindow::keyPressEvent(QKeyEvent* event) {
    // Escape would reject the dialog.
    event->ignore();
}

UpgradeProgressDisplay::UpgradeProgressDisplay() : m_scope([this](const UpgradeStep& s) { step(s); }) {}

UpgradeProgressDisplay::~UpgradeProgressDisplay() {
    if (m_window) {
        m_window->m_closing = true;
        m_window->close();
    }
}

void UpgradeProgressDisplay::step(const UpgradeStep& s) {
    const bool first = !m_window;
    if (first) {
        m_window = std::make_unique<UpgradeProgressWindow>();
        m_window->showStep(s);
        m_window->adjustSize();
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = m_window->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            m_window->move(frame.topLeft());
        }
        m_window->show();
        m_window->raise();
    } else {
        m_window->showStep(s);
    }
    // The upgrade runs on this thread: the window is drawn, moved and uncovered only here. Input
    // waits (the window is modal, and nothing may start beside the upgrade).
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (first) {
        m_window->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

} // namespace tunarium
