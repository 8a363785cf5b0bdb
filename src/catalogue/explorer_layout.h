// The appearance of an explorer's list as the position file keeps it: the format string beside the
// design it was made from, the list box's place and size, its scroll bars, line height and font,
// and the field it was last ordered by. A layout made from another design, or one that cannot be
// shown, gives way to the design.
#pragma once

#include "catalogue/explorer_views.h"

#include <QRect>
#include <QString>

namespace tunarium {

struct ExplorerAppearance {
    QString format; // the list's format; the design's when nothing else is kept
    QRect box;      // the list box's place and size; invalid: where the window puts it
    bool horizontalScroll = true;
    bool verticalScroll = true;
    int lineHeight = 0; // pixels; 0: the font's
    QString font;       // typeface (20 characters); empty: the window's
    int point = 0;
    int color = 0;      // 0x00BBGGRR; 0 black
    int style = 0;      // weight, plus 0x1000 italic, 0x2000 underline, 0x4000 strikeout
    int prevColumn = 1; // the field last ordered by, counted from 1
};

struct ExplorerLayoutKeys {
    QString positionFile;
    QString section;  // the explorer's procedure name
    QString listName; // "?Browse", "?Browse:1"

    QString key(const char* prefix) const { return QString::fromLatin1(prefix) + listName; }
};

// The appearance at opening. `design` holds the design values (its format the design format with
// its own date pictures); the format returned shows dates with `datePicture` (the user's; empty:
// the design's). When the stored design format is another design (sameDesign: a change of date
// format is none), the design is stored as the new one and nothing else is read; otherwise each
// kept value replaces the design's. A kept format that cannot be shown (garbage, a field that is
// gone, widths out of bounds) is dropped from the file and the design's is used.
ExplorerAppearance restoreExplorerAppearance(const ExplorerLayoutKeys& keys, const ExplorerDefinition& def,
                                             const ExplorerAppearance& design, const QString& datePicture = {});
// Writes every value (a list box without a place of its own leaves no place keys); false when the
// file could not be written.
bool saveExplorerAppearance(const ExplorerLayoutKeys& keys, const ExplorerAppearance& appearance);

} // namespace tunarium
