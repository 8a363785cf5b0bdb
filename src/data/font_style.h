// Fonts and colours as the settings file keeps them (report and label fonts, the font dialog's
// choice): a style is the font's weight (100 to 900) plus 0x1000 for italic, 0x2000 for underline
// and 0x4000 for strike-out; a colour is 0x00BBGGRR.
#pragma once

#include <QColor>
#include <QFont>

namespace tunarium {

inline constexpr int kFontWeightMask = 0x0fff;
inline constexpr int kFontItalic = 0x1000;
inline constexpr int kFontUnderline = 0x2000;
inline constexpr int kFontStrikeOut = 0x4000;

// Sets the style's weight (when it is one from 100 to 900) and its italic, underline and
// strike-out flags on the font.
void applyFontStyle(QFont& font, int style);
int fontStyle(const QFont& font);

QColor colourOf(int colour);
int colourValue(const QColor& colour);

} // namespace tunarium
