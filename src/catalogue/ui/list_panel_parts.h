// What every list that sits inside a form shares with the others (the playlist form's entries,
// the album form's songs): the scroll bar beside the list stepping the engine, and the engine's
// popup menu.
#pragma once

#include <QPoint>

class QScrollBar;
class QWidget;

namespace tunarium {

class ListEngine;

// The scroll bar's action (QAbstractSlider::SliderAction) as a scroll of the list; the bar then
// shows the engine's thumb position.
void scrollByThumbAction(ListEngine& engine, QScrollBar* thumb, int action);
// The engine's popup at `at` (global), its greyed entries disabled; a choice goes to the engine.
void showEnginePopup(QWidget* parent, ListEngine& engine, QPoint at);

} // namespace tunarium
