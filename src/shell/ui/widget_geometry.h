// Window positions for Qt widgets: a top-level window or an MDI child window seen as a
// WindowGeometry, and the save/restore routines applied to a widget.
#pragma once

#include "data/window_position.h"

#include <QPointer>
#include <QRect>

class QWidget;

namespace tunarium {

// A top-level window or a QMdiSubWindow. Coordinates are those of QWidget::geometry(): the client
// area on the screen for a top-level window, the frame within the workspace for an MDI child.
class WidgetGeometry final : public WindowGeometry {
public:
    explicit WidgetGeometry(QWidget* window);

    QPoint position() const override;
    QSize size() const override;
    bool isMaximized() const override;
    bool isMinimized() const override;
    // False when the window, or the form inside an MDI child window, has a fixed size.
    bool isResizable() const override;
    void setMaximized(bool maximized) override;
    void move(QPoint position) override;
    void resize(QSize size) override;

private:
    QRect normalRect() const;

    QPointer<QWidget> m_window;
    // The normal geometry of a top-level window taken out of the maximized state: window managers
    // apply the new geometry later, so geometry() would still give the maximized one.
    QRect m_normalBeforeRestore;
};

// The window whose position is kept for widget: the widget itself when it is a top-level or MDI
// child window, the MDI child window holding it when it is a form inside one, else its top-level.
QWidget* positionedWindow(QWidget* widget);

void restoreWidgetPosition(QWidget* widget, const QString& section, const QString& positionFile);
bool saveWidgetPosition(QWidget* widget, const QString& section, const QString& positionFile);

} // namespace tunarium
