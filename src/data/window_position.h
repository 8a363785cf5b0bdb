// Saving and restoring a window's position, size and maximized state in the window-position file,
// under a section named after the window's procedure ("Main", "BrowseSongs", ...).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace tunarium {

// What the position routines need of a window. Positions and sizes are dialog units (see the
// windows' DialogUnits), in the coordinates of the window's parent (the screen for a top-level
// window, the workspace for a child window), so that a saved place means the same at any font.
class WindowGeometry {
public:
    virtual ~WindowGeometry() = default;

    // Position and size of the window as it stands when not maximized.
    virtual QPoint position() const = 0;
    virtual QSize size() const = 0;
    virtual bool isMaximized() const = 0;
    virtual bool isMinimized() const = 0;
    // False for a window of fixed size.
    virtual bool isResizable() const = 0;
    // The smallest size the window can take.
    virtual QSize minimumSize() const { return {}; }
    // Where the window must lie to be seen whole (the workspace, the screen); invalid when unknown.
    virtual QRect area() const { return {}; }

    virtual void setMaximized(bool maximized) = 0;
    virtual void move(QPoint position) = 0;
    virtual void resize(QSize size) = 0;
};

// Called just before the window closes. Takes the window out of the maximized state to read its
// normal geometry, then writes `Maximize` ("Yes"/"No"), `XPosit`, `YPosit`, `Width` and `Height`.
// A minimized window writes nothing, so the position saved before stays. False when nothing was
// written.
bool saveWindowPosition(WindowGeometry& window, const QString& section, const QString& positionFile);

// Called just after the window opens. An `XPosit` that is missing or 0 means that no position was
// saved: the window keeps its design position and state. Otherwise a window not maximized now is
// moved to the saved position when `XPosit` and `YPosit` are both non-zero, and also sized when it
// is resizable and the saved width and height are both positive (a resizable window without a
// saved size is left where it is); then the window is maximized exactly when `Maximize` is "Yes".
// Values that are not numbers, or lie far outside any screen, count as 0. The caller then brings
// the window inside its area (fitWindow).
void restoreWindowPosition(WindowGeometry& window, const QString& section, const QString& positionFile);

// Shrinks a window that is not maximized to its area (never below its minimum size) and moves it
// so that as much of it as fits lies inside, its top left corner first. Does nothing without an
// area.
void fitWindow(WindowGeometry& window);

} // namespace tunarium
