// The printed label: a compact disc insert (the front cover, 120 by 120 mm, and the back tray card,
// 151 by 118 mm with its two spines) or a cassette J-card (101.6 mm wide: front, spine and flap;
// the alternate layout puts the contents on an inside card of their own), each at its true size,
// centred on the paper, with thin cut marks outside every corner and at every fold. Every text is
// wrapped inside its element's box and cut at the box's edge, never over another element.
#pragma once

#include "data/row.h"
#include "data/store.h"
#include "reports/label_font.h"
#include "reports/page_sink.h"

#include <QImage>
#include <QPageLayout>
#include <QRectF>

namespace tunarium {

enum class LabelLayoutKind { CompactDisc, Cassette, AlternateCassette };

// A "Cassette" label prints the cassette layout, or its alternate with the setting `AltCasFmt`;
// any other label the compact disc layout.
LabelLayoutKind labelLayoutKind(const Row& label, bool altCasFmt);
// "Tunarium Pro 98 Compact Disc Label" or "Tunarium Pro 98 Cassette Label".
QString labelReportTitle(LabelLayoutKind kind);

// Report units (1/720 inch) per millimetre.
inline constexpr double kUnitsPerMm = 720.0 / 25.4;

inline constexpr double kCdFrontMm = 120.0;
inline constexpr double kCdTrayWidthMm = 151.0;
inline constexpr double kCdTrayHeightMm = 118.0;
inline constexpr double kCdSpineMm = 6.5;
inline constexpr double kCassetteWidthMm = 101.6;
inline constexpr double kCassetteFrontMm = 63.5;
inline constexpr double kCassetteSpineMm = 12.7;
inline constexpr double kCassetteFlapMm = 15.9;
// Cut marks: this long, starting this far outside the corner they mark.
inline constexpr double kCutMarkMm = 5.0;
inline constexpr double kCutMarkGapMm = 1.5;

// Where the pieces of a label lie on the paper, in report units from its top-left corner. Cards
// are what is cut out; the panels are the parts of a card between its folds.
struct LabelGeometry {
    QList<QRectF> cards;
    // Compact disc: the front cover, the tray's middle and its two spines. Cassette: the front,
    // the spine, the flap and (alternate layout) the inside card.
    QRectF front;
    QRectF back;
    QRectF spine;
    QRectF secondSpine;
    QRectF flap;
    QRectF inside;
    // Fold lines, marked outside the card at both ends.
    QList<QLineF> folds;
};
LabelGeometry labelGeometry(LabelLayoutKind kind, const QSizeF& paper);

// A label as it prints: the row, each element's font (its favourite font on top of its designed
// font), and its picture.
struct LabelPrint {
    Row label;
    LabelLayoutKind kind = LabelLayoutKind::CompactDisc;
    LabelFont spine, title, cover, inside, cassetteTitle, flap, contents;
    QImage picture;
    // Why the label's picture does not print, when it names one: the file is missing or is not a
    // picture. Empty when it prints or none is named.
    QString pictureProblem;
};

// The designed font of each element.
LabelFont designedLabelFont(int fontField);
// The label made ready to print: its fonts looked up in `Fonts` (a font no longer there keeps
// the designed one) and its picture read.
LabelPrint prepareLabel(Store& store, const Row& label, bool altCasFmt);
// Why a picture file does not print: "" when it does, else a sentence naming the file.
QString pictureProblem(const QString& fileName, QImage* picture = nullptr);

// Paints the label on a page of `paper` (report units).
void paintLabel(QPainter& painter, const LabelPrint& print, const QSizeF& paper);
// The label as one page into `sink`; false, with `error`, when the page could not be written.
bool printLabel(const LabelPrint& print, PageSink& sink, const QPageLayout& layout, QString* error);

} // namespace tunarium
