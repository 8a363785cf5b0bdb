// Dialog units.
#include "ui/dialog_units.h"

#include "data/picture_room.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QWidget>

#include <cmath>

namespace tunarium {

namespace {

int scaled(int value, int numerator, int denominator) {
    return static_cast<int>(std::lround(static_cast<double>(value) * numerator / denominator));
}

} // namespace

DialogUnits::DialogUnits(const QFont& font) : m_font(font) {
    const QFontMetrics metrics(font);
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_charWidth = std::max(1, (metrics.horizontalAdvance(letters) / 26 + 1) / 2);
    m_charHeight = std::max(1, metrics.height());
}

DialogUnits::DialogUnits(const QWidget* widget)
    : DialogUnits(widget ? widget->font() : QApplication::font()) {}

int DialogUnits::toPixelsX(int units) const {
    return scaled(units, m_charWidth, 4);
}

int DialogUnits::toPixelsY(int units) const {
    return scaled(units, m_charHeight, 8);
}

QSize DialogUnits::toPixels(QSize units) const {
    return {toPixelsX(units.width()), toPixelsY(units.height())};
}

QPoint DialogUnits::toPixels(QPoint units) const {
    return {toPixelsX(units.x()), toPixelsY(units.y())};
}

QRect DialogUnits::toPixels(const QRect& units) const {
    return {toPixels(units.topLeft()), toPixels(units.size())};
}

int DialogUnits::toUnitsX(int pixels) const {
    return scaled(pixels, 4, m_charWidth);
}

int DialogUnits::toUnitsY(int pixels) const {
    return scaled(pixels, 8, m_charHeight);
}

QSize DialogUnits::toUnits(QSize pixels) const {
    return {toUnitsX(pixels.width()), toUnitsY(pixels.height())};
}

QPoint DialogUnits::toUnits(QPoint pixels) const {
    return {toUnitsX(pixels.x()), toUnitsY(pixels.y())};
}

QRect DialogUnits::toUnits(const QRect& pixels) const {
    return {toUnits(pixels.topLeft()), toUnits(pixels.size())};
}

int DialogUnits::textWidth(const PictureRoom& room) const {
    if (room.samples.isEmpty()) {
        return characters(room.characters);
    }
    const QFontMetrics metrics(m_font);
    int width = 0;
    for (const QString& sample : room.samples) {
        width = std::max(width, metrics.horizontalAdvance(sample));
    }
    return width;
}

QVector<int> columnUnits(const QHeaderView* header, int count, int lastUnits) {
    const DialogUnits units(header->parentWidget() ? header->parentWidget() : header);
    QVector<int> widths;
    for (int i = 0; i < count; ++i) {
        widths << units.toUnitsX(header->sectionSize(i));
    }
    if (!widths.isEmpty()) {
        widths.last() = lastUnits;
    }
    return widths;
}

} // namespace tunarium
