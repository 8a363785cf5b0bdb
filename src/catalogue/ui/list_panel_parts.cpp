// What the lists inside forms share.
#include "catalogue/ui/list_panel_parts.h"

#include "catalogue/list_engine.h"

#include <QMenu>
#include <QScrollBar>

namespace tunarium {

void scrollByThumbAction(ListEngine& engine, QScrollBar* thumb, int action) {
    static const std::pair<int, ScrollAction> kActions[] = {
        {QAbstractSlider::SliderSingleStepAdd, ScrollAction::OneDown},
        {QAbstractSlider::SliderSingleStepSub, ScrollAction::OneUp},
        {QAbstractSlider::SliderPageStepAdd, ScrollAction::PageDown},
        {QAbstractSlider::SliderPageStepSub, ScrollAction::PageUp},
        {QAbstractSlider::SliderToMinimum, ScrollAction::Top},
        {QAbstractSlider::SliderToMaximum, ScrollAction::Bottom}};
    for (auto [slider, scroll] : kActions) {
        if (slider == action) {
            engine.scroll(scroll);
            thumb->setSliderPosition(engine.thumbPosition());
            return;
        }
    }
}

void showEnginePopup(QWidget* parent, ListEngine& engine, QPoint at) {
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    int entry = 0;
    for (const QString& item : engine.popupText().split(u'|')) {
        const bool greyed = item.startsWith(u'~');
        QAction* action = menu->addAction(greyed ? item.mid(1) : item);
        action->setEnabled(!greyed);
        const int chosen = ++entry;
        QObject::connect(action, &QAction::triggered, parent,
                         [&engine, chosen] { engine.choosePopup(chosen); });
    }
    menu->popup(at);
}

} // namespace tunarium
