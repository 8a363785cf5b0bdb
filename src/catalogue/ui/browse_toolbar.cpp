// Tool tips of the record buttons and the toolbar target of a child window.
#include "catalogue/ui/browse_toolbar.h"

#include <QMdiSubWindow>

namespace tunarium {

QString toolbarToolTip(ToolbarButtonId button) {
    switch (button) {
    case ToolbarButtonId::NextRecord:
        return QStringLiteral("Go to the Next Record");
    case ToolbarButtonId::LastPage:
        return QStringLiteral("Go to the Last Page");
    case ToolbarButtonId::FirstPage:
        return QStringLiteral("Go to the First Page");
    case ToolbarButtonId::NextPage:
        return QStringLiteral("Go to the Next Page");
    case ToolbarButtonId::PriorPage:
        return QStringLiteral("Go to the Prior Page");
    case ToolbarButtonId::PriorRecord:
        return QStringLiteral("Go to the Prior Record");
    case ToolbarButtonId::Insert:
        return QStringLiteral("Insert a new Record");
    default:
        return {};
    }
}

std::optional<ScrollAction> toolbarScroll(ToolbarButtonId button) {
    switch (button) {
    case ToolbarButtonId::NextRecord:
        return ScrollAction::OneDown;
    case ToolbarButtonId::PriorRecord:
        return ScrollAction::OneUp;
    case ToolbarButtonId::NextPage:
        return ScrollAction::PageDown;
    case ToolbarButtonId::PriorPage:
        return ScrollAction::PageUp;
    case ToolbarButtonId::FirstPage:
        return ScrollAction::Top;
    case ToolbarButtonId::LastPage:
        return ScrollAction::Bottom;
    default:
        return std::nullopt;
    }
}

ToolbarTarget* toolbarTargetOf(QWidget* window) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window)) {
        window = sub->widget();
    }
    for (QWidget* w = window; w; w = w->parentWidget()) {
        if (auto* target = dynamic_cast<ToolbarTarget*>(w)) {
            return target;
        }
        if (qobject_cast<QMdiSubWindow*>(w)) {
            break;
        }
    }
    return nullptr;
}

} // namespace tunarium
