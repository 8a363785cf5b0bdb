// Window positions for Qt widgets.
#include "shell/ui/widget_geometry.h"

#include <QMdiSubWindow>
#include <QWidget>

namespace tunarium {

namespace {

bool hasFixedSize(const QWidget* widget) {
    return widget->minimumSize() == widget->maximumSize();
}

} // namespace

WidgetGeometry::WidgetGeometry(QWidget* window) : m_window(window) {}

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

QPoint WidgetGeometry::position() const {
    return normalRect().topLeft();
}

QSize WidgetGeometry::size() const {
    return normalRect().size();
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

void WidgetGeometry::move(QPoint position) {
    if (m_window == nullptr) {
        return;
    }
    m_normalBeforeRestore = {};
    if (m_window->isWindow()) {
        // QWidget::move() places a top-level window's frame; geometry() is its client area.
        m_window->setGeometry(QRect(position, m_window->geometry().size()));
    } else {
        m_window->move(position);
    }
}

void WidgetGeometry::resize(QSize size) {
    if (m_window == nullptr) {
        return;
    }
    m_normalBeforeRestore = {};
    m_window->resize(size);
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
