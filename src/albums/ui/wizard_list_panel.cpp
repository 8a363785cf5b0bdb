// A wizard's list with its moves and buttons.
#include "albums/ui/wizard_list_panel.h"

#include "albums/ui/album_window_parts.h"
#include "catalogue/list_engine.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/list_panel_parts.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tunarium {

WizardListPanel::WizardListPanel(ListEngine& engine, const QString& format,
                                 std::function<void(MoveDirection)> moved, QWidget* parent)
    : QWidget(parent), m_engine(engine) {
    m_list = new BrowseList(engine);
    m_list->applyFormat(format);
    m_list->setPopupAction([this](QPoint at) { showEnginePopup(this, m_engine, at); });
    m_list->viewport()->installEventFilter(this);
    m_thumb = makeThumbBar(engine, m_list);
    QList<QPushButton*> moves;
    QVBoxLayout* moveColumn = makeMoveColumn(this, std::move(moved), moves);
    m_buttons << moves;
    m_onRow << moves;
    m_grid = new QGridLayout;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(listRowLayout(this, m_list, m_thumb, moveColumn), 1);
    layout->addLayout(m_grid);
}

QPushButton* WizardListPanel::addButton(const QString& text, int row, int column, int span, bool onRow,
                                        std::function<void()> pressed) {
    auto* b = new QPushButton(text);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [pressed = std::move(pressed)] { pressed(); });
    m_grid->addWidget(b, row, column, 1, span);
    m_buttons << b;
    if (onRow) {
        m_onRow << b;
    }
    return b;
}

QPushButton* WizardListPanel::button(const QString& text) const {
    for (QPushButton* b : m_buttons) {
        if (b->text() == text || b->toolTip() == text) {
            return b;
        }
    }
    return nullptr;
}

void WizardListPanel::showPage() {
    showListPage(m_engine, m_list, m_thumb);
    const bool rows = m_engine.changeEnabled();
    for (QPushButton* b : std::as_const(m_onRow)) {
        b->setEnabled(rows);
    }
}

void WizardListPanel::fitLines() {
    fitEngineLines(m_list, m_engine);
}

bool WizardListPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list->viewport() && event->type() == QEvent::Resize) {
        fitLines();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tunarium
