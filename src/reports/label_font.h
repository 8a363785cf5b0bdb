// A favourite font (a row of `Fonts`) on a label's text: its four texts read as a font and a
// colour, and the line that describes it beside the element in the label windows.
#pragma once

#include "data/row.h"
#include "data/store.h"

#include <QColor>
#include <QFont>

#include <optional>

namespace tunarium {

struct LabelFont {
    QFont font;
    QColor colour = Qt::black;
};

// The font an element prints in when it refers to the favourite font `font` (a Fonts row), on top
// of the element's `designed` font and colour. The four texts are read as the font dialogs of the
// program write them, and leniently as a user types them:
// - FON:TypeFace: a family name; blank, or a family the system does not have, keeps the designed
//   family.
// - FON:Size: points, a whole or decimal number ("10", "10.5"); text that is no number, or a number
//   of 0 or less ("abc", "0"), keeps the designed size; other sizes are brought within 4 to 72.
// - FON:Colour: a colour value as the settings keep colours (0x00BBGGRR in decimal, "255" is red,
//   or in hexadecimal "0xFF"), or "#RRGGBB", or a colour name ("navy"); anything else keeps the
//   designed colour.
// - FON:Style: a style number as the settings keep styles (weight 100 to 900, plus 0x1000 italic,
//   0x2000 underline, 0x4000 strike-out: "700" is bold, "4496" bold italic), or words ("Bold",
//   "Italic", "Bold Italic", "Regular"); anything else keeps the designed style.
LabelFont labelFontOf(const Row& font, const LabelFont& designed);

// The font an element refers to: empty for 0 and for a font no longer in `Fonts` (the element then
// prints in its designed font).
std::optional<Row> findLabelFont(Store& store, qint64 fontId);

// The line beside an element: the typeface, a blank, the size, "  Colour:  ", the colour,
// "  Style:  ", the style; "Default Font" for 0 and for a font not found.
QString fontDescription(Store& store, qint64 fontId);
QString fontDescription(const std::optional<Row>& font);

} // namespace tunarium
