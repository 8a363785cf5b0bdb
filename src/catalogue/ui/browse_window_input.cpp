// The browse window: the list's focus and size, the thumb scroll bar, the popup menu and the frame
// toolbar's record buttons.
#include "catalogue/ui/browse_window.h"

#include <QCoreApplication>
#include <QMenu>
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

void BrowseWindow::thumbAction(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        m_engine->scroll(ScrollAction::OneDown);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        m_engine->scroll(ScrollAction::OneUp);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        m_engine->scroll(ScrollAction::PageDown);
        break;
    case QAbstractSlider::SliderPageStepSub:
        m_engine->scroll(ScrollAction::PageUp);
        break;
    case QAbstractSlider::SliderToMinimum:
        m_engine->scroll(ScrollAction::Top);
        break;
    case QAbstractSlider::SliderToMaximum:
        m_engine->scroll(ScrollAction::Bottom);
        break;
    default:
        return; // a drag is taken when the thumb is let go
    }
    // The bar shows the estimate of the selected record, not where the click would have put it.
    m_thumb->setSliderPosition(m_engine->thumbPosition());
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
    // The menu is built from its text: "|" between entries, "-" a separator, "~" a greyed entry.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    int entry = 0;
    for (const QString& item : popupText().split(u'|')) {
        if (item == u'-') {
            menu->addSeparator();
            continue;
        }
        const bool greyed = item.startsWith(u'~');
        QAction* action = menu->addAction(greyed ? item.mid(1) : item);
        action->setEnabled(!greyed);
        const int chosen = ++entry;
        connect(action, &QAction::triggered, this, [this, chosen] { choosePopup(chosen); });
    }
    menu->popup(globalPos);
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
    switch (id) {
    case ToolbarButtonId::NextRecord:
        m_engine->scroll(ScrollAction::OneDown);
        break;
    case ToolbarButtonId::PriorRecord:
        m_engine->scroll(ScrollAction::OneUp);
        break;
    case ToolbarButtonId::NextPage:
        m_engine->scroll(ScrollAction::PageDown);
        break;
    case ToolbarButtonId::PriorPage:
        m_engine->scroll(ScrollAction::PageUp);
        break;
    case ToolbarButtonId::FirstPage:
        m_engine->scroll(ScrollAction::Top);
        break;
    case ToolbarButtonId::LastPage:
        m_engine->scroll(ScrollAction::Bottom);
        break;
    case ToolbarButtonId::Locate:
        break; // the list takes the locator's characters: it gets the focus below
    case ToolbarButtonId::Insert:
        press(BrowseAction::Add);
        return;
    case ToolbarButtonId::Change:
        press(BrowseAction::Change);
        return;
    case ToolbarButtonId::Delete:
        press(BrowseAction::Delete);
        return;
    case ToolbarButtonId::History:
        return;
    }
    m_list->setFocus();
}

} // namespace tunarium
