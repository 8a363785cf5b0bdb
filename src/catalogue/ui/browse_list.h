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
};

} // namespace tunarium
