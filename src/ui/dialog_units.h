// Dialog units: the unit of every window size, minimum size, list column width and saved window
// position the program keeps. They follow the font a window shows, so a window designed in them
// holds the same text at any font and screen: a horizontal unit is a quarter of the average
// character width, a vertical unit an eighth of the character height. The average character width
// is that of the 52 letters of the alphabet, rounded, as the runtime measured it. Every window
// converts through this one class.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QVector>

class QHeaderView;
class QWidget;

namespace tunarium {

struct PictureRoom;

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    // The units of the font `widget` shows (the application's font without a widget).
    explicit DialogUnits(const QWidget* widget);

    int averageCharWidth() const { return m_charWidth; }
    int charHeight() const { return m_charHeight; }

    // Dialog units to pixels and back, rounded to the nearest.
    int toPixelsX(int units) const;
    int toPixelsY(int units) const;
    QSize toPixels(QSize units) const;
    QPoint toPixels(QPoint units) const;
    QRect toPixels(const QRect& units) const;
    int toUnitsX(int pixels) const;
    int toUnitsY(int pixels) const;
    QSize toUnits(QSize pixels) const;
    QPoint toUnits(QPoint pixels) const;
    QRect toUnits(const QRect& pixels) const;

    // Pixels of `count` average characters.
    int characters(int count) const { return count * m_charWidth; }
    // Pixels the widest text of `room` takes in this font: its samples measured, or without
    // samples its characters at the average width.
    int textWidth(const PictureRoom& room) const;

private:
    QFont m_font;
    int m_charWidth = 1;
    int m_charHeight = 1;
};

// The widths of a list's first `count` columns in the dialog units of the list's font, as the
// user left them. The last column takes whatever room the list has: it keeps `lastUnits`, the
// width it was given.
QVector<int> columnUnits(const QHeaderView* header, int count, int lastUnits);

} // namespace tunarium
