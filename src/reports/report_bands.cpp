// Band geometry and painting.
#include "reports/report_bands.h"

#include "data/date_time.h"
#include "data/pictures.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tunarium {

namespace {

enum FontSlot { Title, Header, Heads, Detail, Group, Closing, Footer, kSlots };

// Fixed distances, in report units.
constexpr double kRuleWidth = 5;  // half a point
constexpr double kRuleGap = 20;   // between a rule and the text above or below it
constexpr double kFooterGap = 40; // between the last detail line and the footer
constexpr double kWidthSlack = 2; // added-up widths below the exact width by this much still fit

QFont unitFont(const QFont& designed) {
    QFont font = designed;
    const double points = designed.pointSizeF() > 0 ? designed.pointSizeF() : designed.pixelSize();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * kReportUnitsPerPoint))));
    // Widths measured here must hold on the printer and in the PDF, whatever their resolution.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QString fieldText(const QString& text) {
    if (!text.contains(u'\n') && !text.contains(u'\r') && !text.contains(u'\t')) {
        return text;
    }
    QString line = text;
    line.replace(u'\r', u' ').replace(u'\n', u' ').replace(u'\t', u' ');
    return line;
}

// Widths in proportion to the shares, but none below its least width (its head, its widest
// number or date) while the others can give room; when even the least widths do not fit, they
// shrink together.
std::vector<double> shareWidths(double room, const std::vector<double>& least,
                                const std::vector<double>& shares) {
    const std::size_t n = least.size();
    std::vector<double> widths(n, 0.0);
    double leastTotal = 0;
    for (double w : least) {
        leastTotal += w;
    }
    if (leastTotal >= room) {
        for (std::size_t c = 0; c < n; ++c) {
            widths[c] = leastTotal > 0 ? least[c] * room / leastTotal : room / static_cast<double>(n);
        }
        return widths;
    }
    std::vector<bool> fixed(n, false);
    for (bool changed = true; changed;) {
        changed = false;
        double freeRoom = room;
        double freeShares = 0;
        for (std::size_t c = 0; c < n; ++c) {
            if (fixed[c]) {
                freeRoom -= least[c];
            } else {
                freeShares += shares[c];
            }
        }
        for (std::size_t c = 0; c < n; ++c) {
            if (fixed[c]) {
                widths[c] = least[c];
                continue;
            }
            widths[c] = freeShares > 0 ? freeRoom * shares[c] / freeShares : 0;
            if (widths[c] < least[c]) {
                fixed[c] = true;
                changed = true;
            }
        }
    }
    return widths;
}

// `text` cut into a first line that fits `width` and the rest: at the last blank that lets the
// first line fit, else where the width ends (never an empty first line).
std::pair<QString, QString> splitLine(const FittedFont& font, const QString& text, double width) {
    const qsizetype fitting = std::max<qsizetype>(1, font.charsFitting(text, width));
    if (fitting >= text.size()) {
        return {text, QString()};
    }
    for (qsizetype at = fitting; at > 0; --at) {
        if (text[at] == u' ') {
            const QString first = text.left(at).trimmed();
            if (!first.isEmpty()) {
                return {first, text.mid(at + 1).trimmed()};
            }
        }
    }
    return {text.left(fitting), text.mid(fitting).trimmed()};
}

// Draws a laid line: at `scale` about its baseline, placed in the column by its alignment.
void drawLine(QPainter& painter, const FittedFont& font, const QString& text, double left, double width,
              ColumnAlignment alignment, double baseline, double scale) {
    double x = left;
    if (alignment != ColumnAlignment::Left) {
        const double shown = font.width(text) * scale;
        x = alignment == ColumnAlignment::Right ? left + width - shown : left + (width - shown) / 2;
    }
    if (scale == 1.0) {
        painter.drawText(QPointF(x, baseline), text);
        return;
    }
    painter.save();
    painter.translate(x, baseline);
    painter.scale(scale, scale);
    painter.drawText(QPointF(0, 0), text);
    painter.restore();
}

} // namespace

LaidCell layOutCell(const FittedFont& font, const QString& text, double width, bool wrap, bool keepWhole) {
    LaidCell cell;
    const QString line = fieldText(text);
    cell.lines << line;
    if (line.isEmpty() || width <= 0 || font.fit(line, width) == line) {
        return cell;
    }
    // The scale that makes the text as wide as the column, a hair under it.
    const double shrink = width / font.width(line) * 0.999;
    if (keepWhole || shrink >= kLeastTextScale) {
        cell.scale = shrink;
        return cell;
    }
    cell.scale = kLeastTextScale;
    if (!wrap) {
        cell.lines = {font.fit(line, width / kLeastTextScale)};
        cell.cut = true;
        return cell;
    }
    for (const double scale : {1.0, kLeastTextScale}) {
        const double room = width / scale;
        QStringList lines;
        QString rest = line;
        while (!rest.isEmpty() && lines.size() < kMostCellLines) {
            auto [first, after] = splitLine(font, rest, room);
            lines << first;
            rest = after;
        }
        if (rest.isEmpty() || scale == kLeastTextScale) {
            if (!rest.isEmpty()) {
                // Even the smaller type in every line does not hold it: the last line is cut.
                lines.last() = font.fit(lines.last() + u' ' + rest, room);
                cell.cut = true;
            }
            cell.lines = lines;
            cell.scale = scale;
            return cell;
        }
    }
    return cell;
}

FittedFont::FittedFont(const QFont& font) : m_font(unitFont(font)), m_metrics(m_font) {
    for (int c = 0; c < 256; ++c) {
        m_advances[c] = m_metrics.horizontalAdvance(QChar(c));
    }
}

double FittedFont::width(const QString& text) const {
    return text.isEmpty() ? 0.0 : m_metrics.horizontalAdvance(fieldText(text));
}

double FittedFont::widestValue(const QString& picture) const {
    const Picture p = Picture::parse(picture);
    QStringList samples;
    switch (p.kind()) {
    case Picture::Kind::Number:
    case Picture::Kind::Pattern: {
        const int digits = std::clamp(p.width() > 0 ? p.width() : 3, 1, 18);
        samples << p.format(static_cast<qint64>(std::pow(10.0, digits)) - 1)
                << p.format(-(static_cast<qint64>(std::pow(10.0, digits - 1)) - 1));
        break;
    }
    case Picture::Kind::Date:
        for (int month = 1; month <= 12; ++month) {
            samples << p.format(dayNumberFromYmd(2000, month, 28));
        }
        break;
    case Picture::Kind::Time:
        samples << p.format(timeValueFromParts({23, 59, 59, 0}));
        break;
    default:
        break;
    }
    double widest = 0;
    for (const QString& sample : samples) {
        widest = std::max(widest, width(sample));
    }
    return widest;
}

QString FittedFont::fit(const QString& text, double width, double* shownWidth) const {
    const QString line = fieldText(text);
    double added = 0;
    bool plain = true;
    for (const QChar c : line) {
        if (c.unicode() >= 256) {
            plain = false;
            break;
        }
        added += m_advances[c.unicode()];
    }
    // Kerning only brings letters closer, so text whose letters' widths add up to less than the
    // width fits; the rest is laid out to know.
    if (plain && added + kWidthSlack <= width && !shownWidth) {
        return line;
    }
    const double exact = m_metrics.horizontalAdvance(line);
    if (exact <= width) {
        if (shownWidth) {
            *shownWidth = exact;
        }
        return line;
    }
    const QString cut = m_metrics.elidedText(line, Qt::ElideRight, std::max(0.0, width));
    if (shownWidth) {
        *shownWidth = m_metrics.horizontalAdvance(cut);
    }
    return cut;
}

qsizetype FittedFont::charsFitting(const QString& text, double width) const {
    // The cut where the characters' widths add up to the width, confirmed by laying the text out.
    qsizetype n = 0;
    double added = 0;
    while (n < text.size()) {
        const QChar c = text[n];
        const double advance = c.unicode() < 256 ? m_advances[c.unicode()] : m_metrics.horizontalAdvance(c);
        if (added + advance > width) {
            break;
        }
        added += advance;
        ++n;
    }
    while (n > 0 && m_metrics.horizontalAdvance(text.left(n)) > width) {
        --n;
    }
    while (n < text.size() && m_metrics.horizontalAdvance(text.left(n + 1)) <= width) {
        ++n;
    }
    return n;
}

ReportBands::ReportBands(const ReportDefinition& definition, const QPageLayout& layout,
                         const QDateTime& noted)
    : m_def(definition), m_printable(printableRect(layout)) {
    const ReportFonts& f = m_def.fonts;
    for (const QFont* font :
         {&f.title, &f.header, &f.columnHeads, &f.detail, &f.group, &f.closing, &f.footer}) {
        m_fonts.emplace_back(*font);
    }
    m_dateText = formatPicture(dayNumberFromDate(noted.date()), m_def.datePicture);
    m_timeText = formatPicture(timeValueFromTime(noted.time()), m_def.timePicture);
    layOutColumns();

    // Header: the title row (as tall as the logo when there is one), the lines under the title,
    // the column heads and a rule.
    const FittedFont& title = m_fonts[Title];
    const FittedFont& header = m_fonts[Header];
    m_titleRow = title.lineSpacing();
    if (!m_def.logo.isNull()) {
        m_titleRow = std::max(m_titleRow, 2 * title.lineSpacing());
    }
    m_headsTop = m_printable.top() + m_titleRow + header.lineSpacing() * m_def.headerLines.size() +
                 header.lineSpacing() / 2;
    m_ruleY = m_headsTop + m_fonts[Heads].lineSpacing() + kRuleGap / 2;
    m_bodyTop = m_ruleY + kRuleGap;

    m_detailHeight = 0;
    m_detailAscent = 0;
    for (int c = 0; c < m_def.columns.size(); ++c) {
        m_detailHeight = std::max(m_detailHeight, fontOf(c).lineSpacing());
        m_detailAscent = std::max(m_detailAscent, fontOf(c).ascent());
    }
    if (m_def.columns.isEmpty()) {
        m_detailHeight = m_fonts[Detail].lineSpacing();
        m_detailAscent = m_fonts[Detail].ascent();
    }

    const FittedFont& footer = m_fonts[Footer];
    m_footer.font = footer.font();
    m_footer.rect = QRectF(m_printable.left(), m_printable.bottom() - footer.lineSpacing(),
                           m_printable.width(), footer.lineSpacing());
    m_footer.picture = m_def.pagePicture;
    m_footer.colour = m_def.textColour;
    m_bodyBottom = m_footer.rect.top() - kFooterGap;
}

void ReportBands::layOutColumns() {
    const int n = static_cast<int>(m_def.columns.size());
    std::vector<double> least;
    std::vector<double> shares;
    for (int c = 0; c < n; ++c) {
        const ReportColumn& column = m_def.columns[c];
        if (column.font) {
            m_columnFont.push_back(static_cast<int>(m_fonts.size()));
            m_fonts.emplace_back(*column.font);
        } else {
            m_columnFont.push_back(Detail);
        }
        least.push_back(std::max({m_fonts[Heads].width(column.heading), fontOf(c).widestValue(column.picture),
                                  fontOf(c).width(column.widest)}));
        shares.push_back(std::max(0.0, column.width));
    }
    const double gap = m_fonts[Detail].averageCharWidth() * 1.5;
    const double room = std::max(0.0, m_printable.width() - gap * std::max(0, n - 1));
    m_columnWidth = shareWidths(room, least, shares);
    double left = m_printable.left();
    for (int c = 0; c < n; ++c) {
        m_columnLeft.push_back(left);
        left += m_columnWidth[c] + gap;
    }
}

double ReportBands::groupHeight() const {
    return m_detailHeight / 2 + m_fonts[Group].lineSpacing();
}

double ReportBands::closingHeight() const {
    return m_detailHeight / 2 + kRuleGap + m_fonts[Closing].lineSpacing() * m_def.totals.size();
}

void ReportBands::paintCell(QPainter& painter, const FittedFont& font, const QString& text, double left,
                            double width, ColumnAlignment alignment, double baseline) const {
    if (text.isEmpty() || width <= 0) {
        return;
    }
    double shown = 0;
    const QString fitted = font.fit(text, width, alignment == ColumnAlignment::Left ? nullptr : &shown);
    double x = left;
    if (alignment == ColumnAlignment::Right) {
        x = left + width - shown;
    } else if (alignment == ColumnAlignment::Center) {
        x = left + (width - shown) / 2;
    }
    painter.drawText(QPointF(x, baseline), fitted);
}

void ReportBands::paintWhole(QPainter& painter, const FittedFont& font, const QString& text, double left,
                             double width, ColumnAlignment alignment, double baseline) const {
    if (text.isEmpty() || width <= 0) {
        return;
    }
    const LaidCell cell = layOutCell(font, text, width, false, true);
    drawLine(painter, font, cell.first(), left, width, alignment, baseline, cell.scale);
}

void ReportBands::paintPageHeader(QPainter& painter) const {
    painter.setPen(m_def.textColour);
    const FittedFont& title = m_fonts[Title];
    const FittedFont& header = m_fonts[Header];
    const double top = m_printable.top();

    // The date and time at the right of the title row, the logo at its left; the title centred
    // on the page in the room they leave.
    const QString stamp = m_dateText + QStringLiteral("  ") + m_timeText;
    double stampWidth = 0;
    const QString shownStamp = header.fit(stamp, m_printable.width() / 4, &stampWidth);
    double logoWidth = 0;
    if (!m_def.logo.isNull()) {
        const QSizeF size = m_def.logo.size().toSizeF().scaled(QSizeF(m_printable.width() / 4, m_titleRow),
                                                               Qt::KeepAspectRatio);
        logoWidth = size.width();
        painter.drawImage(QRectF(QPointF(m_printable.left(), top), size), m_def.logo);
    }
    const double titleBaseline = top + (m_titleRow - title.lineSpacing()) / 2 + title.ascent();
    painter.setFont(header.font());
    painter.drawText(QPointF(m_printable.right() - stampWidth, titleBaseline), shownStamp);
    const double side = std::max(stampWidth, logoWidth) + title.averageCharWidth();
    painter.setFont(title.font());
    paintWhole(painter, title, m_def.title, m_printable.left() + side, m_printable.width() - 2 * side,
               ColumnAlignment::Center, titleBaseline);

    painter.setFont(header.font());
    double y = top + m_titleRow;
    for (const QString& line : m_def.headerLines) {
        paintWhole(painter, header, line, m_printable.left(), m_printable.width(), ColumnAlignment::Center,
                   y + header.ascent());
        y += header.lineSpacing();
    }

    const FittedFont& heads = m_fonts[Heads];
    painter.setFont(heads.font());
    for (int c = 0; c < m_def.columns.size(); ++c) {
        const ReportColumn& column = m_def.columns[c];
        paintWhole(painter, heads, column.heading, m_columnLeft[c], m_columnWidth[c], column.alignment,
                   m_headsTop + heads.ascent());
    }
    painter.setPen(QPen(m_def.textColour, kRuleWidth));
    painter.drawLine(QPointF(m_printable.left(), m_ruleY), QPointF(m_printable.right(), m_ruleY));
    painter.setPen(m_def.textColour);
}

void ReportBands::paintGroup(QPainter& painter, double top, const QString& text) const {
    const FittedFont& group = m_fonts[Group];
    painter.setFont(group.font());
    paintWhole(painter, group, text, m_printable.left(), m_printable.width(), ColumnAlignment::Left,
               top + m_detailHeight / 2 + group.ascent());
}

LaidDetail ReportBands::layOutDetail(const QList<QString>& cells) const {
    LaidDetail detail;
    detail.height = m_detailHeight;
    const int n = std::min(static_cast<int>(cells.size()), static_cast<int>(m_def.columns.size()));
    detail.cells.resize(static_cast<std::size_t>(n));
    for (int c = 0; c < n; ++c) {
        const ReportColumn& column = m_def.columns[c];
        const FittedFont& font = fontOf(c);
        LaidCell& cell = detail.cells[static_cast<std::size_t>(c)];
        cell = layOutCell(font, cells[c], m_columnWidth[c], column.alignment == ColumnAlignment::Left,
                          column.keepWhole);
        if (cell.lines.size() > 1) {
            detail.height = std::max(detail.height, m_detailHeight + font.lineSpacing() * cell.scale *
                                                                         static_cast<double>(cell.lines.size() - 1));
        }
    }
    return detail;
}

void ReportBands::paintDetail(QPainter& painter, double top, const LaidDetail& detail) const {
    const double baseline = top + m_detailAscent;
    const FittedFont* current = nullptr;
    for (int c = 0; c < static_cast<int>(detail.cells.size()); ++c) {
        const LaidCell& cell = detail.cells[static_cast<std::size_t>(c)];
        if (cell.first().isEmpty()) {
            continue;
        }
        const FittedFont& font = fontOf(c);
        if (&font != current) {
            painter.setFont(font.font());
            current = &font;
        }
        const ColumnAlignment alignment = m_def.columns[c].alignment;
        double y = baseline;
        for (const QString& line : cell.lines) {
            drawLine(painter, font, line, m_columnLeft[c], m_columnWidth[c], alignment, y, cell.scale);
            y += font.lineSpacing() * cell.scale;
        }
    }
}

void ReportBands::paintClosing(QPainter& painter, double top, const QList<QString>& values) const {
    const FittedFont& closing = m_fonts[Closing];
    const double ruleY = top + m_detailHeight / 2;
    painter.setPen(QPen(m_def.textColour, kRuleWidth));
    painter.drawLine(QPointF(m_printable.left(), ruleY), QPointF(m_printable.right(), ruleY));
    painter.setPen(m_def.textColour);
    painter.setFont(closing.font());
    double y = ruleY + kRuleGap;
    for (int t = 0; t < m_def.totals.size() && t < values.size(); ++t) {
        const ReportTotal& total = m_def.totals[t];
        const double baseline = y + closing.ascent();
        double labelWidth = 0;
        const QString label = closing.fit(total.label, m_printable.width() / 2, &labelWidth);
        painter.drawText(QPointF(m_printable.left(), baseline), label);
        int column = -1;
        for (int c = 1; c < m_def.columns.size(); ++c) {
            if (m_def.columns[c].field == total.field && m_columnLeft[c] > m_printable.left() + labelWidth) {
                column = c;
                break;
            }
        }
        if (column > 0) {
            paintCell(painter, closing, values[t], m_columnLeft[column], m_columnWidth[column],
                      m_def.columns[column].alignment, baseline);
        } else {
            const double gap = closing.averageCharWidth() * 2;
            paintCell(painter, closing, values[t], m_printable.left() + labelWidth + gap,
                      m_printable.width() - labelWidth - gap, ColumnAlignment::Left, baseline);
        }
        y += closing.lineSpacing();
    }
}

} // namespace tunarium
