// What the lists inside forms and wizards share.
#include "catalogue/ui/list_panel_parts.h"

#include "catalogue/list_engine.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/form_window.h"
#include "ui/dialog_units.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScrollBar>

namespace tunarium {

QMdiArea* workspaceOf(QWidget* window) {
    auto* sub = window ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
    return sub ? sub->mdiArea() : nullptr;
}

QHBoxLayout* listRowLayout(QWidget* owner, BrowseList* list, QScrollBar* thumb, QLayout* buttons) {
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(list, 1);
    row->addWidget(thumb);
    row->addSpacing(DialogUnits(owner).toPixelsX(4));
    row->addLayout(buttons);
    return row;
}

void fitEngineLines(BrowseList* list, ListEngine& engine) {
    const int rowHeight = std::max(1, list->verticalHeader()->defaultSectionSize());
    engine.setLineCount(std::max(1, list->viewport()->height() / rowHeight));
}

void setListLines(BrowseList* list, int widthUnits, int lines) {
    const int rowHeight = std::max(1, list->verticalHeader()->defaultSectionSize());
    const int pixels = list->horizontalHeader()->sizeHint().height() + lines * rowHeight + 2 * list->frameWidth();
    // Rounded up: the units must not lose the last row.
    const DialogUnits units(list);
    int height = units.toUnitsY(pixels);
    while (units.toPixelsY(height) < pixels) {
        ++height;
    }
    list->setDesignSize(QSize(widthUnits, height));
}

void showEnginePopup(QWidget* parent, ListEngine& engine, QPoint at) {
    showPopupMenu(parent, engine.popupText(), at, [&engine](int entry) { engine.choosePopup(entry); });
}

void closeFormLater(FormWindow* form) {
    QMetaObject::invokeMethod(
        form,
        [guard = QPointer<FormWindow>(form)] {
            if (guard) {
                guard->finish(Response::Cancelled);
            }
        },
        Qt::QueuedConnection);
}

BusyCursor::~BusyCursor() {
    while (m_count > 0) {
        set(false);
    }
}

void BusyCursor::set(bool busy) {
    if (busy) {
        ++m_count;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_count > 0) {
        --m_count;
        QApplication::restoreOverrideCursor();
    }
}

} // namespace tunarium
