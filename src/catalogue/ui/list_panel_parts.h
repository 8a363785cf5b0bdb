// What every list that sits inside a form or a wizard shares with the others (the playlist form's
// entries, the album form's songs, the wizards' songs and tracks): the row of list, scroll bar and
// buttons, the lines the list has room for, the engine's popup menu, the wait cursor while the
// engine works, and the form closed when a read fails. The scroll bar itself and the page shown are
// the browse list's (makeThumbBar, showListPage).
#pragma once

#include <QPoint>

class QHBoxLayout;
class QLayout;
class QMdiArea;
class QScrollBar;
class QWidget;

namespace tunarium {

class BrowseList;
class FormWindow;
class ListEngine;

// The workspace a window's frame sits in; nullptr when it has none.
QMdiArea* workspaceOf(QWidget* window);
// The list, its scroll bar, a gap and the column of buttons beside them.
QHBoxLayout* listRowLayout(QWidget* owner, BrowseList* list, QScrollBar* thumb, QLayout* buttons);
// The engine reads as many lines as the list has room for.
void fitEngineLines(BrowseList* list, ListEngine& engine);
// The list opens `widthUnits` dialog units wide with room for `lines` rows under its header (a
// window too small for the screen then gives up rows, down to its minimum).
void setListLines(BrowseList* list, int widthUnits, int lines);
// The engine's popup at `at` (global), its greyed entries disabled; a choice goes to the engine.
void showEnginePopup(QWidget* parent, ListEngine& engine, QPoint at);
// A read of the list failed (the warning was shown): the form it sits in closes, once the engine
// has returned.
void closeFormLater(FormWindow* form);

// The wait cursor while the engine works, as often as it was asked for; whatever is left goes with
// it.
class BusyCursor {
public:
    BusyCursor() = default;
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    void set(bool busy);

private:
    int m_count = 0;
};

} // namespace tunarium
