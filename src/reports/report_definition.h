// A report's layout, declared as data. Every page carries a header (the title, the date and time
// the report was started, optional lines under the title, the column heads) and a footer with the
// page number; between them come the detail lines, one per record, in columns, with an optional
// group heading whenever the group's value changes; after the last record a closing band prints
// the report's totals. A report of the catalogue is such a definition plus a record source
// (report_source.h); the report engine (report_process.h) walks the one and paints the other.
#pragma once

#include "data/settings.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tunarium {

enum class ColumnAlignment { Left, Right, Center };

// One column of the detail line.
struct ReportColumn {
    QString heading;
    // The record source's field the column shows.
    QString field;
    // How the value is shown ("@s50", "@n3b", "@d3b", "p(<<#)pb"); empty shows the value's text.
    QString picture;
    // The column's width in characters. The columns share the printable width in proportion to
    // their widths, with a gap between two columns. Text never runs into the next column: text
    // that does not fit is printed in type up to a fifth smaller, else (in a left-aligned column)
    // in up to three lines, and only when even that does not hold it is it cut short with an ellipsis.
    double width = 10;
    ColumnAlignment alignment = ColumnAlignment::Left;
    // The detail font when not set.
    std::optional<QFont> font;
    // A text the column keeps whole, where its picture cannot tell how wide its values get (a
    // time made into text): "88:88".
    QString widest = {};
    // The column's values are never cut (the file number, the key the shelf is ordered by): one
    // wider than the column is printed in type as much smaller as it needs.
    bool keepWhole = false;
};

// A heading line printed before the first record of each group: whenever the field's shown value
// differs from the record before. A group that goes on over a page break gets its heading again at
// the top of the new page, and a heading is never left alone at the bottom of a page.
struct ReportGroup {
    QString field;
    QString picture;
};

// A line of the closing band, printed after the last record: the label at the left and the value
// under the column of its field (after the label when the field is not a column of its own).
struct ReportTotal {
    enum class Kind {
        Count,    // records printed
        Sum,      // of a number field
        Duration, // of a time field: the lengths of time added up, shown through the picture
    };
    QString label;
    QString field;
    Kind kind = Kind::Sum;
    QString picture;
};

struct ReportFonts {
    QFont title;
    QFont header; // the date, the time and the lines under the title
    QFont columnHeads;
    QFont detail;
    QFont group;
    QFont footer;
    QFont closing;
};

// The fonts a report has unless its definition says otherwise: a plain sans-serif face, the title
// at 14 points, the lines at 9.
ReportFonts defaultReportFonts();

struct ReportDefinition {
    QString title;
    // Printed centred under the title on every page (a playlist's name and date).
    QStringList headerLines;
    // Printed at the left of the title on every page when not null (a playlist's logo).
    QImage logo;
    QList<ReportColumn> columns;
    std::optional<ReportGroup> group;
    QList<ReportTotal> totals;
    // The field that "Selected" matches; empty when the report has no selection.
    QString selectionField;
    // The page number in the footer, through this picture.
    QString pagePicture = QStringLiteral("pPage <<<#p");
    // "Page 3 of 12" instead: the pages must then go through a page queue, which fills in the count.
    bool pageOfPages = false;
    // The report date and time in the header.
    QString datePicture = QStringLiteral("@d3");
    QString timePicture = QStringLiteral("@t3");
    ReportFonts fonts = defaultReportFonts();
    QColor textColour = Qt::black;
    // The report is laid out across the paper (its columns need the width).
    bool landscape = false;

    // Every date column, and the date in the header, takes `picture` (the user's date format).
    void useDatePicture(const QString& picture);
    // A custom font chosen for the report applies to the whole page, from the title to the
    // footer: each font takes its typeface, size and style (see customReportFont), and the text
    // takes its colour.
    void useCustomFont(const ReportFont& custom);
    // The column's font: its own, or the detail font.
    const QFont& columnFont(int column) const;
};

// Custom font sizes outside this range are brought into it: a report in 500-point type is not a
// report, and one in 0-point type prints nothing.
inline constexpr int kMinCustomFontPoints = 4;
inline constexpr int kMaxCustomFontPoints = 72;

// The font a custom font setting stands for, on top of the report's own `designed` font. A
// typeface the system does not have keeps the designed typeface, without a message; a size of 0
// keeps the designed size; other sizes are kept within kMinCustomFontPoints and
// kMaxCustomFontPoints. The style is read as data/font_style.h says.
QFont customReportFont(const ReportFont& custom, const QFont& designed);

} // namespace tunarium
