// The browse window: the list's focus and size, the thumb scroll bar, the popup menu and the frame
// toolbar's record buttons.
#include "catalogue/ui/browse_window.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusTipEvent>

namespace tunarium {

bool BrowseWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::FocusIn && !m_list->statusTip().isEmpty()) {
        // The frame's status bar shows what the list is for while it has the focus, not only
        // while the mouse is over it.
        QStatusTipEvent tip(m_list->statusTip());
        QCoreApplication::sendEvent(m_list, &tip);
    }
    if (watched == m_list->viewport() && event->type() == QEvent::Resize && m_opened) {
        updateLineCount();
    }
    return FormWindow::eventFilter(watched, event);
}

QString BrowseWindow::popupText() const {
    return m_engine->popupText(popupExtras());
}

void BrowseWindow::choosePopup(int entry) {
    if (!m_engine->choosePopup(entry)) {
        extraPopupChosen(entry);
    }
}

void BrowseWindow::showPopup(const QPoint& globalPos) {
    showPopupMenu(this, popupText(), globalPos, [this](int entry) { choosePopup(entry); });
}

// Locate: the locator display and the status bar say what to type and where the list goes.
void BrowseWindow::showLocateHint() {
    const QString hint = locateHint(m_engine->definition(), m_engine->sortOrder());
    if (hint.isEmpty()) {
        return;
    }
    if (m_locator) {
        m_locator->setPlaceholderText(hint);
    }
    QStatusTipEvent tip(hint + QStringLiteral(": the list moves to the first record from what is typed"));
    QCoreApplication::sendEvent(m_list, &tip);
}

bool BrowseWindow::toolbarEnabled(ToolbarButtonId id) const {
    if (!m_opened || !isEnabled()) {
        return false;
    }
    switch (id) {
    case ToolbarButtonId::Insert: {
        QPushButton* add = button(BrowseAction::Add);
        return add && add->isEnabled();
    }
    case ToolbarButtonId::Change:
    case ToolbarButtonId::Delete: {
        QPushButton* b = button(id == ToolbarButtonId::Change ? BrowseAction::Change : BrowseAction::Delete);
        return b && b->isEnabled();
    }
    case ToolbarButtonId::History:
        return false;
    default:
        return true; // navigation and Locate
    }
}

void BrowseWindow::toolbarPressed(ToolbarButtonId id) {
    if (!toolbarEnabled(id)) {
        return;
    }
    if (const std::optional<ScrollAction> scroll = toolbarScroll(id)) {
        m_engine->scroll(*scroll);
        m_list->setFocus();
        return;
    }
    switch (id) {
    case ToolbarButtonId::Locate:
        showLocateHint(); // the list takes the locator's characters: it gets the focus below
        break;
    case ToolbarButtonId::Insert:
        press(BrowseAction::Add);
        return;
    case ToolbarButtonId::Change:
        press(BrowseAction::Change);
        return;
    case ToolbarButtonId::Delete:
        press(BrowseAction::Delete);
        return;
    default:
        return;
    }
    m_list->setFocus();
}

} // namespace tunarium
