// Where a report's bands go on the page and how they are painted, in report units (1/720 inch from
// the paper's top-left corner): the page header, the group heading, the detail line, the closing
// band and the footer. Computed once per report from its definition and the page layout.
#pragma once

#include "reports/page_queue.h"
#include "reports/report_definition.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QStringList>

#include <array>
#include <vector>

class QPainter;

namespace tunarium {

// A font sized in report units, with what fitting text into a width needs.
class FittedFont {
public:
    // `font` as designed in points; the fitted font has the same size in report units.
    explicit FittedFont(const QFont& font);

    const QFont& font() const { return m_font; }
    double ascent() const { return m_metrics.ascent(); }
    double lineSpacing() const { return m_metrics.lineSpacing(); }
    double averageCharWidth() const { return m_metrics.averageCharWidth(); }
    double width(const QString& text) const;
    // The widest text a number, date or time picture shows (0 for text pictures): a column
    // showing it is made at least that wide.
    double widestValue(const QString& picture) const;
    // The text as it fits in `width`: whole, or cut short with an ellipsis. `shownWidth`, when
    // given, receives the width the shown text takes.
    QString fit(const QString& text, double width, double* shownWidth = nullptr) const;
    // How many of the first characters of `text` fit in `width` (0 to its length).
    qsizetype charsFitting(const QString& text, double width) const;

private:
    QFont m_font;
    QFontMetricsF m_metrics;
    // Widths of the first 256 characters: most text is measured by adding them up, which is far
    // cheaper than laying it out.
    std::array<double, 256> m_advances{};
};

// One cell of a detail line as it is printed: its text in one line or more (at most
// kMostCellLines), in its column's font scaled by `scale` (1, or smaller to make the text fit).
// `cut` when the text did not fit even so and ends in an ellipsis.
struct LaidCell {
    QStringList lines;
    double scale = 1;
    bool cut = false;

    QString first() const { return lines.value(0); }
};

inline constexpr int kMostCellLines = 3;

// A detail line laid out in its columns, and the height it takes.
struct LaidDetail {
    std::vector<LaidCell> cells;
    double height = 0;
};

// The least a cell's type is scaled to before its text goes into two lines or is cut.
inline constexpr double kLeastTextScale = 0.8;

// Lays `text` into `width` in `font` (text in report units) as a column of that kind does:
// shrunk, wrapped into lines (`wrap`), cut; or, `keepWhole`, shrunk as far as it needs.
LaidCell layOutCell(const FittedFont& font, const QString& text, double width, bool wrap, bool keepWhole);

class ReportBands {
public:
    ReportBands(const ReportDefinition& definition, const QPageLayout& layout, const QDateTime& noted);

    const ReportDefinition& definition() const { return m_def; }
    // Where the detail lines may go: below the column heads and above the footer.
    double bodyTop() const { return m_bodyTop; }
    double bodyBottom() const { return m_bodyBottom; }
    // The height of a detail line of one line in every cell; a line with a cell in two lines is
    // taller (LaidDetail::height).
    double detailHeight() const { return m_detailHeight; }
    double groupHeight() const;
    double closingHeight() const;
    // Left edge and width of a column.
    double columnLeft(int column) const { return m_columnLeft.at(column); }
    double columnWidth(int column) const { return m_columnWidth.at(column); }
    // The report's date and time as the header shows them.
    QString dateText() const { return m_dateText; }
    QString timeText() const { return m_timeText; }
    // The footer's page number.
    const PageStamp& footer() const { return m_footer; }

    // The title row, the lines under it and the column heads.
    void paintPageHeader(QPainter& painter) const;
    void paintGroup(QPainter& painter, double top, const QString& text) const;
    // One text per column, as the column's picture shows it, laid out in the columns.
    LaidDetail layOutDetail(const QList<QString>& cells) const;
    void paintDetail(QPainter& painter, double top, const LaidDetail& detail) const;
    void paintDetail(QPainter& painter, double top, const QList<QString>& cells) const {
        paintDetail(painter, top, layOutDetail(cells));
    }
    // One text per total of the definition.
    void paintClosing(QPainter& painter, double top, const QList<QString>& values) const;

private:
    void layOutColumns();
    void paintCell(QPainter& painter, const FittedFont& font, const QString& text, double left, double width,
                   ColumnAlignment alignment, double baseline) const;
    // Text that is never cut (the title, a head, a group heading): in smaller type when it needs.
    void paintWhole(QPainter& painter, const FittedFont& font, const QString& text, double left, double width,
                    ColumnAlignment alignment, double baseline) const;
    const FittedFont& fontOf(int column) const { return m_fonts[m_columnFont[column]]; }

    ReportDefinition m_def;
    QRectF m_printable;
    QString m_dateText;
    QString m_timeText;
    // Distinct fonts: title, header, column heads, group, closing, footer, then the columns' own.
    std::vector<FittedFont> m_fonts;
    std::vector<int> m_columnFont;
    std::vector<double> m_columnLeft;
    std::vector<double> m_columnWidth;
    double m_titleRow = 0;
    double m_headsTop = 0;
    double m_ruleY = 0;
    double m_bodyTop = 0;
    double m_bodyBottom = 0;
    double m_detailHeight = 0;
    double m_detailAscent = 0;
    PageStamp m_footer;
};

} // namespace tunarium
