// What the frame's toolbar asks of the active child window: which of its record buttons
// (navigation, Insert, Change, Delete, history) work there, their tool tips, and what pressing one
// does. Browses and forms implement it; the frame finds it on the active child window with
// toolbarTargetOf() and asks again whenever the target says its state changed.
#pragma once

#include "catalogue/list_engine.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace tunarium {

enum class ToolbarButtonId {
    NextRecord,
    PriorRecord,
    NextPage,
    PriorPage,
    FirstPage,
    LastPage,
    Locate,
    Insert,
    Change,
    Delete,
    History,
};

inline constexpr ToolbarButtonId kToolbarButtons[] = {
    ToolbarButtonId::NextRecord, ToolbarButtonId::PriorRecord, ToolbarButtonId::NextPage,
    ToolbarButtonId::PriorPage,  ToolbarButtonId::FirstPage,   ToolbarButtonId::LastPage,
    ToolbarButtonId::Locate,     ToolbarButtonId::Insert,      ToolbarButtonId::Change,
    ToolbarButtonId::Delete,     ToolbarButtonId::History,
};

// The scroll of the list a navigation button asks for; none for the other buttons.
std::optional<ScrollAction> toolbarScroll(ToolbarButtonId button);

// The tool tip a browse sets on a button ("Go to the Next Record"); empty for the buttons whose
// tip it leaves as the frame made it.
QString toolbarToolTip(ToolbarButtonId button);

class ToolbarTarget {
public:
    virtual ~ToolbarTarget() = default;

    virtual bool toolbarEnabled(ToolbarButtonId button) const = 0;
    // The button was pressed while this window is active. Does nothing for a disabled button.
    virtual void toolbarPressed(ToolbarButtonId button) = 0;

    // The frame's callback, run whenever toolbarEnabled() may answer differently. The frame sets
    // it when the window becomes active and clears it when another one does.
    void setToolbarObserver(std::function<void()> observer) { m_observer = std::move(observer); }

protected:
    void toolbarChanged() const {
        if (m_observer) {
            m_observer();
        }
    }

private:
    std::function<void()> m_observer;
};

// The target of an MDI child window (or of the widget itself, or of a widget in it); nullptr when
// the window serves no toolbar buttons.
ToolbarTarget* toolbarTargetOf(QWidget* window);

} // namespace tunarium
