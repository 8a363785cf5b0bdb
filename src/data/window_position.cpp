// Saving and restoring a window's position, size and maximized state.
#include "data/window_position.h"

#include "data/ini_file.h"

#include <algorithm>

namespace tunarium {

namespace {

// Beyond this a saved coordinate is garbage rather than a place on any screen; keeping values
// small also keeps geometry arithmetic far from integer overflow.
constexpr qint64 kMaxCoordinate = 1 << 20;

int coordinate(const QString& file, const QString& section, QStringView key) {
    const qint64 value = readIniNumber(file, section, key);
    return value > kMaxCoordinate || value < -kMaxCoordinate ? 0 : static_cast<int>(value);
}

} // namespace

bool saveWindowPosition(WindowGeometry& window, const QString& section, const QString& positionFile) {
    const bool wasMaximized = window.isMaximized();
    window.setMaximized(false);
    if (window.isMinimized()) {
        return false;
    }
    const QPoint position = window.position();
    const QSize size = window.size();
    const IniEntries entries{
        {QStringLiteral("Maximize"), wasMaximized ? QStringLiteral("Yes") : QStringLiteral("No")},
        {QStringLiteral("XPosit"), QString::number(position.x())},
        {QStringLiteral("YPosit"), QString::number(position.y())},
        {QStringLiteral("Width"), QString::number(size.width())},
        {QStringLiteral("Height"), QString::number(size.height())},
    };
    return writeIniEntries(positionFile, section, entries);
}

void restoreWindowPosition(WindowGeometry& window, const QString& section, const QString& positionFile) {
    const int x = coordinate(positionFile, section, u"XPosit");
    if (x == 0) {
        return;
    }
    if (!window.isMaximized()) {
        const int y = coordinate(positionFile, section, u"YPosit");
        if (y != 0) {
            if (window.isResizable()) {
                const int width = coordinate(positionFile, section, u"Width");
                const int height = coordinate(positionFile, section, u"Height");
                if (width > 0 && height > 0) {
                    window.move({x, y});
                    window.resize({width, height});
                }
            } else {
                window.move({x, y});
            }
        }
    }
    window.setMaximized(readIni(positionFile, section, u"Maximize") == QLatin1String("Yes"));
}

void fitWindow(WindowGeometry& window) {
    const QRect area = window.area();
    if (!area.isValid() || window.isMaximized()) {
        return;
    }
    QSize size = window.size();
    if (window.isResizable()) {
        const QSize fitted = size.boundedTo(area.size()).expandedTo(window.minimumSize());
        if (fitted != size) {
            window.resize(fitted);
            size = fitted;
        }
    }
    const auto inside = [](int at, int extent, int low, int length) {
        return std::max(low, std::min(at, low + length - extent));
    };
    const QPoint at = window.position();
    const QPoint fitted(inside(at.x(), size.width(), area.left(), area.width()),
                        inside(at.y(), size.height(), area.top(), area.height()));
    if (fitted != at) {
        window.move(fitted);
    }
}

} // namespace tunarium
