// The list box of a browse with its thumb, in its place in the window: in the window's layout, or
// at a place of its own (the window's coordinates) while the window has room for it, a stretch then
// standing where it stood in the layout so that the other controls keep theirs.
#pragma once

#include <QRect>
#include <QWidget>

class QBoxLayout;
class QScrollBar;

namespace tunarium {

class BrowseList;

class BrowseListArea : public QWidget {
public:
    // The list and its thumb side by side, the area put in `layout`, the window's own (stretching).
    BrowseListArea(BrowseList* list, QScrollBar* thumb, QBoxLayout* layout);

    // Puts the area at `box` while the window has room for it; while it has not (and for an
    // invalid box) the area stands in its place in the layout. False when the box reaches outside
    // the window now.
    bool place(const QRect& box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();

    QBoxLayout* m_layout;
    QRect m_box;      // the area's own place; invalid: the layout's
    int m_index = -1; // where the area stands in the layout while it has its own place
};

} // namespace tunarium
