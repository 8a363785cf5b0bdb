// Window positions for Qt widgets.
#include "ui/widget_geometry.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>

namespace tunarium {

namespace {

bool hasFixedSize(const QWidget* widget) {
    return widget->minimumSize() == widget->maximumSize();
}

} // namespace

WidgetGeometry::WidgetGeometry(QWidget* window, Units units) : m_window(window), m_units(units) {}

QRect WidgetGeometry::normalRect() const {
    if (m_window == nullptr) {
        return {};
    }
    if (!m_window->isWindow()) {
        return m_window->geometry();
    }
    if (m_normalBeforeRestore.isValid()) {
        return m_normalBeforeRestore;
    }
    const QRect normal = m_window->normalGeometry();
    return normal.isValid() ? normal : m_window->geometry();
}

DialogUnits WidgetGeometry::units() const {
    return DialogUnits(m_window.data());
}

QPoint WidgetGeometry::position() const {
    const QPoint at = normalRect().topLeft();
    return m_units == Units::Dialog ? units().toUnits(at) : at;
}

QSize WidgetGeometry::size() const {
    const QSize size = normalRect().size();
    return m_units == Units::Dialog ? units().toUnits(size) : size;
}

QSize WidgetGeometry::minimumSize() const {
    if (m_window == nullptr) {
        return {};
    }
    const QSize minimum = m_window->minimumSize().expandedTo(m_window->minimumSizeHint());
    return m_units == Units::Dialog ? units().toUnits(minimum) : minimum;
}

QRect WidgetGeometry::area() const {
    if (m_window == nullptr) {
        return {};
    }
    QRect pixels;
    if (const auto* child = qobject_cast<const QMdiSubWindow*>(m_window.data()); child && child->mdiArea()) {
        pixels = child->mdiArea()->viewport()->rect();
    } else if (m_window->isWindow()) {
        const QScreen* screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
        if (screen == nullptr) {
            return {};
        }
        // geometry() is the client area: the window's own frame must fit as well.
        const QRect frame = m_window->frameGeometry();
        const QRect client = m_window->geometry();
        pixels = screen->availableGeometry().adjusted(
            client.left() - frame.left(), client.top() - frame.top(), client.right() - frame.right(),
            client.bottom() - frame.bottom());
    }
    if (!pixels.isValid()) {
        return {};
    }
    return m_units == Units::Dialog ? units().toUnits(pixels) : pixels;
}

bool WidgetGeometry::isMaximized() const {
    return m_window != nullptr && m_window->isMaximized();
}

bool WidgetGeometry::isMinimized() const {
    return m_window != nullptr && m_window->isMinimized();
}

bool WidgetGeometry::isResizable() const {
    if (m_window == nullptr || hasFixedSize(m_window)) {
        return false;
    }
    const auto* child = qobject_cast<const QMdiSubWindow*>(m_window.data());
    return child == nullptr || child->widget() == nullptr || !hasFixedSize(child->widget());
}

void WidgetGeometry::setMaximized(bool maximized) {
    if (m_window == nullptr || maximized == isMaximized()) {
        return;
    }
    m_normalBeforeRestore = !maximized && m_window->isWindow() ? m_window->normalGeometry() : QRect();
    const Qt::WindowStates state = m_window->windowState();
    m_window->setWindowState(maximized ? state | Qt::WindowMaximized : state & ~Qt::WindowMaximized);
}

void WidgetGeometry::move(QPoint units) {
    if (m_window == nullptr) {
        return;
    }
    const QPoint position = m_units == Units::Dialog ? this->units().toPixels(units) : units;
    m_normalBeforeRestore = {};
    if (m_window->isWindow()) {
        // QWidget::move() places a top-level window's frame; geometry() is its client area.
        m_window->setGeometry(QRect(position, m_window->geometry().size()));
    } else {
        m_window->move(position);
    }
}

void WidgetGeometry::resize(QSize units) {
    if (m_window == nullptr) {
        return;
    }
    m_normalBeforeRestore = {};
    m_window->resize(m_units == Units::Dialog ? this->units().toPixels(units) : units);
}

QWidget* positionedWindow(QWidget* widget) {
    if (widget == nullptr || widget->isWindow() || qobject_cast<QMdiSubWindow*>(widget) != nullptr) {
        return widget;
    }
    if (auto* child = qobject_cast<QMdiSubWindow*>(widget->parentWidget())) {
        return child;
    }
    return widget->window();
}

void restoreWidgetPosition(QWidget* widget, const QString& section, const QString& positionFile) {
    if (QWidget* window = positionedWindow(widget)) {
        WidgetGeometry geometry(window);
        restoreWindowPosition(geometry, section, positionFile);
        // Fitted to the pixel: a window kept in units may round a pixel past the workspace's edge.
        WidgetGeometry pixels(window, WidgetGeometry::Units::Pixels);
        fitWindow(pixels);
    }
}

namespace {

// A top-level window seen in pixels, fitted to an area of our choosing.
class WindowInArea final : public WindowGeometry {
public:
    WindowInArea(QWidget* window, const QRect& area)
        : m_window(window, WidgetGeometry::Units::Pixels), m_area(area) {}
    QPoint position() const override { return m_window.position(); }
    QSize size() const override { return m_window.size(); }
    bool isMaximized() const override { return m_window.isMaximized(); }
    bool isMinimized() const override { return m_window.isMinimized(); }
    bool isResizable() const override { return m_window.isResizable(); }
    QSize minimumSize() const override { return m_window.minimumSize(); }
    QRect area() const override { return m_area; }
    void setMaximized(bool maximized) override { m_window.setMaximized(maximized); }
    void move(QPoint position) override { m_window.move(position); }
    void resize(QSize size) override { m_window.resize(size); }

private:
    WidgetGeometry m_window;
    QRect m_area;
};

} // namespace

void centreOver(QWidget* window, QWidget* over) {
    if (window == nullptr || !window->isWindow()) {
        return;
    }
    QWidget* frame = over ? over->window() : nullptr;
    QRect area;
    if (frame != nullptr && frame != window) {
        area = frame->geometry();
    } else if (const QScreen* screen = window->screen()) {
        area = screen->availableGeometry();
    }
    if (!area.isValid()) {
        return;
    }
    QRect placed(QPoint(), window->size());
    placed.moveCenter(area.center());
    window->setGeometry(placed);
    WindowInArea geometry(window, area);
    fitWindow(geometry);
}

void fitWidgetWindow(QWidget* widget) {
    if (QWidget* window = positionedWindow(widget)) {
        WidgetGeometry geometry(window, WidgetGeometry::Units::Pixels);
        fitWindow(geometry);
    }
}

bool saveWidgetPosition(QWidget* widget, const QString& section, const QString& positionFile) {
    QWidget* window = positionedWindow(widget);
    if (window == nullptr) {
        return false;
    }
    WidgetGeometry geometry(window);
    return saveWindowPosition(geometry, section, positionFile);
}

} // namespace tunarium
