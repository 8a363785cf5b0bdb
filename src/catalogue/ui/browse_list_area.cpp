// A browse's list box in the layout or in a place of its own.
#include "catalogue/ui/browse_list_area.h"

#include "catalogue/ui/browse_list.h"

#include <QBoxLayout>
#include <QEvent>
#include <QScrollBar>

namespace tunarium {

BrowseListArea::BrowseListArea(BrowseList* list, QScrollBar* thumb, QBoxLayout* layout) : m_layout(layout) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(list);
    row->addWidget(thumb);
    layout->addWidget(this, 1);
    // The window's size decides whether the area's own place has room.
    if (parentWidget()) {
        parentWidget()->installEventFilter(this);
    }
}

bool BrowseListArea::place(const QRect& box) {
    m_box = box;
    layOut();
    return !box.isValid() || (parentWidget() && parentWidget()->rect().contains(box));
}

bool BrowseListArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && m_box.isValid()) {
        layOut();
    }
    return QWidget::eventFilter(watched, event);
}

void BrowseListArea::layOut() {
    QWidget* window = parentWidget();
    const bool own = window && m_box.isValid() && window->rect().contains(m_box);
    const int inLayout = m_layout->indexOf(this);
    if (own) {
        if (inLayout >= 0) {
            m_layout->removeWidget(this);
            m_layout->insertStretch(inLayout, 1);
            m_index = inLayout;
        }
        setGeometry(m_box);
        raise();
    } else if (inLayout < 0 && m_index >= 0) {
        delete m_layout->takeAt(m_index);
        m_layout->insertWidget(m_index, this, 1);
        m_index = -1;
    }
}

} // namespace tunarium
