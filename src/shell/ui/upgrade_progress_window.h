// The window the program shows while it upgrades a collection made by an earlier version: the
// step it is at and how far it is, with no way to stop it (the backup is taken first, and every
// table is rewritten in one transaction, so a copy of the program stopped by force loses nothing,
// but a stop asked for would leave a collection only half of whose tables this version wrote).
#pragma once

#include "data/upgrade_progress.h"

#include <QDialog>

#include <memory>

class QLabel;
class QProgressBar;

namespace tunarium {

class UpgradeProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit UpgradeProgressWindow(QWidget* parent = nullptr);

    void showStep(const UpgradeStep& step);
    QString stepLine() const;
    QString percentLine() const;

protected:
    // The upgrade ends the window; the user cannot.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QProgressBar* m_bar;
    QLabel* m_step;
    QLabel* m_percent;
    bool m_closing = false;

    friend class UpgradeProgressDisplay;
};

// While it lives, upgrades of the collection show their window: the first step opens it, every
// step (told at least every few hundredths of a second while a statement runs) updates it and lets
// the screen repaint, taking no input meanwhile; the window goes with this.
class UpgradeProgressDisplay {
public:
    UpgradeProgressDisplay();
    ~UpgradeProgressDisplay();
    UpgradeProgressDisplay(const UpgradeProgressDisplay&) = delete;
    UpgradeProgressDisplay& operator=(const UpgradeProgressDisplay&) = delete;

    // The window while an upgrade has shown it; nullptr before.
    UpgradeProgressWindow* window() const { return m_window.get(); }

private:
    void step(const UpgradeStep& step);

    std::unique_ptr<UpgradeProgressWindow> m_window;
    UpgradeListenerScope m_scope;
};

} // namespace tunarium
