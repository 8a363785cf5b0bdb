// The browse window: keys and mouse on the list, the thumb scroll bar, the popup menu and the
// frame toolbar's record buttons.
#include "catalogue/ui/browse_window.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QWheelEvent>

namespace tunarium {

namespace {

std::optional<ScrollAction> scrollKey(int key) {
    switch (key) {
    case Qt::Key_Up:
        return ScrollAction::OneUp;
    case Qt::Key_Down:
        return ScrollAction::OneDown;
    case Qt::Key_PageUp:
        return ScrollAction::PageUp;
    case Qt::Key_PageDown:
        return ScrollAction::PageDown;
    case Qt::Key_Home:
        return ScrollAction::Top;
    case Qt::Key_End:
        return ScrollAction::Bottom;
    default:
        return std::nullopt;
    }
}

} // namespace

bool BrowseWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        return listKey(static_cast<QKeyEvent*>(event));
    }
    if (watched == m_list && event->type() == QEvent::FocusIn && !m_list->statusTip().isEmpty()) {
        // The frame's status bar shows what the list is for while it has the focus, not only
        // while the mouse is over it.
        QStatusTipEvent tip(m_list->statusTip());
        QCoreApplication::sendEvent(m_list, &tip);
    }
    if (watched == m_list->viewport()) {
        if (event->type() == QEvent::Resize) {
            if (m_opened) {
                updateLineCount();
            }
            return false;
        }
        return listMouse(watched, event);
    }
    return FormWindow::eventFilter(watched, event);
}

bool BrowseWindow::listKey(QKeyEvent* event) {
    const int key = event->key();
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    // Every moving key goes to the engine: the view itself never moves its selection.
    if (const std::optional<ScrollAction> scroll = scrollKey(key)) {
        m_engine->scroll(*scroll);
        return true;
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl) {
            m_engine->pressKey(ListKey::CtrlEnter);
        } else if (m_engine->selectMode()) {
            press(BrowseAction::Select); // the default button
        }
        return true;
    case Qt::Key_Insert:
        m_engine->pressKey(ListKey::Insert);
        return true;
    case Qt::Key_Delete:
        m_engine->pressKey(ListKey::Delete);
        return true;
    case Qt::Key_Backspace:
        m_engine->pressKey(ListKey::Backspace);
        return true;
    case Qt::Key_Space:
        m_engine->pressKey(ListKey::Space);
        return true;
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    const QString text = event->text();
    if (!ctrl && text.size() == 1 && isLocatorCharacter(text.front())) {
        m_engine->pressKey(ListKey::Character, text.front());
        return true;
    }
    return false;
}

bool BrowseWindow::listMouse(QObject* watched, QEvent* event) {
    (void)watched;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        m_list->setFocus();
        const int row = m_list->rowAt(mouse->position().toPoint().y());
        if (row >= 0) {
            m_engine->selectRow(row);
        }
        if (mouse->button() == Qt::RightButton) {
            showPopup(mouse->globalPosition().toPoint());
        }
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const int row = m_list->rowAt(mouse->position().toPoint().y());
            if (row >= 0) {
                m_engine->selectRow(row);
                m_engine->pressKey(ListKey::DoubleClick);
            }
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return true;
    case QEvent::Wheel: {
        const int steps = static_cast<QWheelEvent*>(event)->angleDelta().y() / 40;
        for (int i = 0; i < std::abs(steps); ++i) {
            m_engine->scroll(steps > 0 ? ScrollAction::OneUp : ScrollAction::OneDown);
        }
        return true;
    }
    default:
        return false;
    }
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
