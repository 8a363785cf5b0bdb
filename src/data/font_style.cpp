// Font styles and colours in the settings' form.
#include "data/font_style.h"

namespace tunarium {

void applyFontStyle(QFont& font, int style) {
    const int weight = style & kFontWeightMask;
    if (weight >= 100 && weight <= 900) {
        font.setWeight(static_cast<QFont::Weight>(weight));
    }
    font.setItalic(style & kFontItalic);
    font.setUnderline(style & kFontUnderline);
    font.setStrikeOut(style & kFontStrikeOut);
}

int fontStyle(const QFont& font) {
    return static_cast<int>(font.weight()) | (font.italic() ? kFontItalic : 0) |
           (font.underline() ? kFontUnderline : 0) | (font.strikeOut() ? kFontStrikeOut : 0);
}

QColor colourOf(int colour) {
    return QColor(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

int colourValue(const QColor& colour) {
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

} // namespace tunarium
