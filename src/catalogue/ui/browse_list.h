// The table a browse shows its page in: one row per line of the page, read only, without a scroll
// bar of its own (the browse has its thumb), asking for the size it was designed at, with its
// columns laid out from a list format (widths in dialog units, justification, header, picture) and
// that format read back with the widths the user left. Its keys, clicks and wheel go to the list
// engine; the view never moves its selection itself.
#pragma once

#include "catalogue/list_format.h"

#include <QSize>
#include <QTableView>

#include <functional>

class QPoint;
class QScrollBar;

namespace tunarium {

class ListEngine;
class PageModel;

class BrowseList final : public QTableView {
public:
    explicit BrowseList(ListEngine& engine, QWidget* parent = nullptr);

    PageModel* pageModel() const { return m_model; }
    // The size the list asks for, in dialog units, so that the window opens around it.
    void setDesignSize(QSize units);
    QSize sizeHint() const override;

    // Lays the columns out as `format` says; a column's picture becomes the engine's.
    void applyFormat(const QString& format);
    // The format applied, with the column widths as the user left them.
    QString currentFormat() const;

    // Lets the user drag a column to another place. The header keeps every column where the format
    // has it: `moved` is told the column's place before and after (counted from 0) and lays the
    // columns out again in the new order. An empty function makes the columns stay.
    void setColumnsMovable(std::function<void(int from, int to)> moved);

    // What the list asks of its window: the default button (Enter in a select list), and the
    // popup menu at a point of the screen (a right click).
    void setDefaultAction(std::function<void()> pressed) { m_defaultAction = std::move(pressed); }
    void setPopupAction(std::function<void(QPoint)> show) { m_popupAction = std::move(show); }

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    int columnPixels(const ListFormatColumn& column) const;
    bool key(QKeyEvent* event);
    bool mouse(QEvent* event);

    ListEngine& m_engine;
    PageModel* m_model;
    QSize m_design;
    ListFormat m_format;
    int m_lastColumnUnits = 0; // the last column's width before it took the spare width
    std::function<void()> m_defaultAction;
    std::function<void(QPoint)> m_popupAction;
    std::function<void(int, int)> m_columnMoved;
};

// What an action of a list's thumb scroll bar does to the list: a line or a page up or down, the top
// or the bottom. False for the actions it leaves alone (a drag is taken when the thumb is let go).
bool scrollForThumbAction(ListEngine& engine, int sliderAction);

// The thumb scroll bar beside a list: 0 to 100 (the engine's estimate of the selected record),
// hidden until the page is full but keeping its place, so the columns do not move when the page
// fills. Its lines, pages and ends scroll the engine, a drag positions it when the thumb is let go,
// and the list has the focus again after either.
QScrollBar* makeThumbBar(ListEngine& engine, BrowseList* list);
// Shows the engine's page in the list: the rows, the selection, and the thumb's place.
void showListPage(const ListEngine& engine, BrowseList* list, QScrollBar* thumb);

// Shows a popup menu made from its text ("|" between entries, "-" a separator, "~" before a greyed
// entry) at a point of the screen. Choosing an entry calls `chosen` with its number, counted from 1
// without the separators.
void showPopupMenu(QWidget* parent, const QString& text, const QPoint& globalPos,
                   std::function<void(int)> chosen);

} // namespace tunarium
