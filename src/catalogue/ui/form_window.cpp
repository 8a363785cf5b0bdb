// Forms as child windows in front of their caller.
#include "catalogue/ui/form_window.h"

#include "ui/dialog_units.h"
#include "ui/widget_geometry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

namespace tunarium {

// Catches, for the whole program, the key press after a mnemonic's shortcut override.
class FormWindow::MnemonicCatcher final : public QObject {
public:
    explicit MnemonicCatcher(FormWindow* form) : QObject(form), m_form(form) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        (void)watched;
        return m_form->catchMnemonicKey(event);
    }

private:
    FormWindow* m_form;
};

namespace {

// Makes `window` the active window with the focus where it was in it (a browse: on its list). A
// window in the workspace is activated through the workspace: activating the frame alone leaves
// the workspace on whichever child window it chooses.
void activate(QWidget* window) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()); sub && sub->mdiArea()) {
        sub->mdiArea()->setActiveSubWindow(sub);
    } else {
        window->activateWindow();
    }
    if (window->focusProxy()) {
        window->setFocus();
    } else if (QWidget* last = window->focusWidget()) {
        last->setFocus();
    }
}

} // namespace

FormWindow::FormWindow(const QString& procedure, const QString& positionFile, QWidget* caller, Done done)
    : m_procedure(procedure), m_positionFile(positionFile), m_caller(caller), m_done(std::move(done)) {
    setObjectName(procedure);
    setAttribute(Qt::WA_DeleteOnClose);
}

FormWindow::~FormWindow() {
    if (m_mnemonicCatcher) {
        qApp->removeEventFilter(m_mnemonicCatcher);
    }
    answer();
}

void FormWindow::present(QMdiArea* area) {
    // The caller waits while the form is open. A caller that holds the workspace (the frame, when
    // a menu command opens the form) is left enabled: disabling it would disable the form too, and
    // nothing would answer.
    if (m_caller && !(area && m_caller->isAncestorOf(area))) {
        m_caller->setEnabled(false);
    }
    const QSize opening = testAttribute(Qt::WA_Resized) ? size() : sizeHint();
    if (area) {
        // Activating a child window would otherwise maximize it in place of a maximized caller,
        // which then stays small once the form is gone.
        area->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
        m_subWindow = area->addSubWindow(this);
        m_subWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_subWindow->show();
        // The child window takes the size it needs for its frame around the form, and opens just
        // below its caller's title (where it was last, when that is kept).
        m_subWindow->resize(m_subWindow->size() - size() + opening);
        if (auto* callerWindow = m_caller ? qobject_cast<QMdiSubWindow*>(m_caller->parentWidget()) : nullptr;
            callerWindow && callerWindow->mdiArea() == area) {
            const DialogUnits units(this);
            m_subWindow->move(callerWindow->pos() + QPoint(units.toPixelsX(8), units.toPixelsY(12)));
        }
        connect(m_subWindow, &QMdiSubWindow::windowStateChanged, this,
                [this](Qt::WindowStates before, Qt::WindowStates now) {
                    if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive) && !m_closing) {
                        activated();
                    }
                });
        area->setActiveSubWindow(m_subWindow);
    } else {
        resize(opening);
        show();
    }
    restoreWidgetPosition(this, m_procedure, m_positionFile);
    if (!area) {
        activateWindow();
    }
}

QString FormWindow::dismissText(Request request) {
    return request == Request::Insert ? QStringLiteral("Cancel") : QStringLiteral("Close");
}

QString FormWindow::dismissTip(Request request) {
    return request == Request::Insert
               ? QStringLiteral("Take the new record away, with what was added to it")
               : QStringLiteral("Close the form: what was done in its list is saved already; the fields are "
                                "saved by OK");
}

PromptMessage FormWindow::saveBeforeCloseQuestion(const QString& caption, const QString& what) {
    return {caption, QStringLiteral("Save the changes to the ") + what + u'?', PromptIcon::Question,
            kButtonYes | kButtonNo | kButtonCancel, kButtonYes};
}

void FormWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isWindow() && isActiveWindow() && !m_closing) {
        activated();
    }
    QWidget::changeEvent(event);
}

void FormWindow::finish(Response response) {
    m_response = response;
    m_closing = true;
    if (m_subWindow) {
        m_subWindow->close();
    } else {
        close();
    }
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cancelRequested();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier && pressDefaultButton()) {
        return;
    }
    QWidget::keyPressEvent(event);
}

QWidget* FormWindow::mnemonicTarget(const QKeyEvent* key) const {
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::AltModifier || key->key() < Qt::Key_0 || key->key() > Qt::Key_Z) {
        return nullptr;
    }
    const QKeySequence pressed(QKeyCombination(Qt::AltModifier, Qt::Key(key->key())));
    const auto usable = [this](QWidget* w) { return w->isVisibleTo(this) && w->isEnabled() && w->window() == window(); };
    for (QAbstractButton* b : findChildren<QAbstractButton*>()) {
        if (usable(b) && QKeySequence::mnemonic(b->text()) == pressed) {
            return b;
        }
    }
    for (QLabel* l : findChildren<QLabel*>()) {
        if (l->buddy() && usable(l) && usable(l->buddy()) && QKeySequence::mnemonic(l->text()) == pressed) {
            return l;
        }
    }
    return nullptr;
}

bool FormWindow::event(QEvent* event) {
    // The frame's menus hold the same Alt+letter shortcuts; a mnemonic of this window takes the key
    // before them, and acts on the key press that follows (wherever the keyboard is in the window).
    if (event->type() == QEvent::ShortcutOverride) {
        if (QWidget* target = mnemonicTarget(static_cast<QKeyEvent*>(event))) {
            event->accept();
            m_mnemonic = target;
            if (!m_mnemonicCatcher) {
                m_mnemonicCatcher = new MnemonicCatcher(this);
            }
            qApp->installEventFilter(m_mnemonicCatcher);
            return true;
        }
    }
    return QWidget::event(event);
}

bool FormWindow::catchMnemonicKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        return false; // the override of the same key on its way to this window
    }
    qApp->removeEventFilter(m_mnemonicCatcher);
    QPointer<QWidget> target = m_mnemonic;
    m_mnemonic = nullptr;
    if (!target || target != mnemonicTarget(static_cast<QKeyEvent*>(event))) {
        return false;
    }
    if (auto* b = qobject_cast<QAbstractButton*>(target.data())) {
        b->setFocus(Qt::ShortcutFocusReason);
        b->click();
    } else if (auto* l = qobject_cast<QLabel*>(target.data())) {
        l->buddy()->setFocus(Qt::ShortcutFocusReason);
    }
    return true;
}

// Enter reaches the window when the control that has the focus does not take it: the button that
// has the focus is pressed, else the default button.
bool FormWindow::pressDefaultButton() {
    auto usable = [this](QPushButton* b) {
        return b && b->window() == window() && b->isVisible() && b->isEnabled();
    };
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget()); usable(focused) && isAncestorOf(focused)) {
        focused->click();
        return true;
    }
    for (QPushButton* b : findChildren<QPushButton*>()) {
        if (b->isDefault() && usable(b)) {
            b->click();
            return true;
        }
    }
    return false;
}

void FormWindow::closeEvent(QCloseEvent* event) {
    if (!m_closing) {
        m_closing = true;
        closing();
    }
    if (!m_answered) {
        closed();
        releaseTables();
        if (isVisible()) {
            saveWidgetPosition(this, m_procedure, m_positionFile);
        }
    }
    answer();
    event->accept();
}

void FormWindow::closing() {
    if (m_session) {
        m_session->cancel();
    }
}

void FormWindow::closed() {
    if (m_session) {
        m_session->close();
    }
}

void FormWindow::cancelRequested() {
    closing();
    finish(Response::Cancelled);
}

bool FormWindow::startSession(Database& db, const QList<TableId>& tables, FormSession& session, Row& record) {
    m_session = &session;
    m_tables = TableLease(db, tables);
    if (!m_tables) {
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opens = session.start(record);
    QApplication::restoreOverrideCursor();
    return opens;
}

void FormWindow::releaseTables() {
    m_tables.release();
}

void FormWindow::answer() {
    if (m_answered) {
        return;
    }
    m_answered = true;
    if (m_caller) {
        m_caller->setEnabled(true);
        activate(m_caller);
        // The workspace chooses a window to activate when this one's child window goes; the caller
        // is made the active window again once it has gone.
        QTimer::singleShot(0, m_caller, [caller = m_caller] {
            if (caller && caller->isEnabled() && caller->isVisible()) {
                activate(caller);
            }
        });
    }
    if (m_done) {
        m_done(m_response);
    }
}

} // namespace tunarium
