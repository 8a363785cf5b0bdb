// Window positions for Qt widgets: a top-level window or an MDI child window seen as a
// WindowGeometry in dialog units, the save/restore routines applied to a widget, and the fitting
// of a window into the frame's workspace or the screen.
#pragma once

#include "data/window_position.h"
#include "ui/dialog_units.h"

#include <QPointer>
#include <QRect>

class QWidget;

namespace tunarium {

// A top-level window or a QMdiSubWindow. Coordinates are those of QWidget::geometry() (the client
// area on the screen for a top-level window, the frame within the workspace for an MDI child),
// in the dialog units of the window's font, or in pixels where a window is fitted to the pixel.
class WidgetGeometry final : public WindowGeometry {
public:
    enum class Units { Dialog, Pixels };
    explicit WidgetGeometry(QWidget* window, Units units = Units::Dialog);

    QPoint position() const override;
    QSize size() const override;
    bool isMaximized() const override;
    bool isMinimized() const override;
    // False when the window, or the form inside an MDI child window, has a fixed size.
    bool isResizable() const override;
    QSize minimumSize() const override;
    // The workspace's visible part for an MDI child; the available screen, less the window's
    // frame, for a top-level window.
    QRect area() const override;
    void setMaximized(bool maximized) override;
    void move(QPoint position) override;
    void resize(QSize size) override;

private:
    QRect normalRect() const;
    DialogUnits units() const;

    QPointer<QWidget> m_window;
    Units m_units;
    // The normal geometry of a top-level window taken out of the maximized state: window managers
    // apply the new geometry later, so geometry() would still give the maximized one.
    QRect m_normalBeforeRestore;
};

// The window whose position is kept for widget: the widget itself when it is a top-level or MDI
// child window, the MDI child window holding it when it is a form inside one, else its top-level.
QWidget* positionedWindow(QWidget* widget);

// Restores the window's position (see restoreWindowPosition), then fits it into its area: a
// place saved on a larger screen, or by the version that kept pixels, never hides a window.
void restoreWidgetPosition(QWidget* widget, const QString& section, const QString& positionFile);
bool saveWidgetPosition(QWidget* widget, const QString& section, const QString& positionFile);
// Brings the window holding `widget` inside the workspace or the screen (see fitWindow).
void fitWidgetWindow(QWidget* widget);
// Places a top-level window (a dialog) centred over the frame holding `over`, shrunk to fit inside
// it down to its minimum size; over the screen when there is no such frame.
void centreOver(QWidget* window, QWidget* over);

} // namespace tunarium
