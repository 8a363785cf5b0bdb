// The label layouts.
#include "reports/label_layout.h"

#include "data/dictionary_tables.h"
#include "reports/report_bands.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

namespace tunarium {

namespace {

constexpr double mm(double millimetres) {
    return millimetres * kUnitsPerMm;
}

// Text inside an element stays this far from the element's edge.
constexpr double kPaddingMm = 2.0;
constexpr double kCdTop = 13.0;
constexpr double kCardGapMm = 14.0;
constexpr double kCassetteTopMm = 20.0;

QFont designed(double points, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

int alignmentOf(const QString& justification) {
    const QString j = justification.trimmed();
    if (j.compare(QLatin1String("Center"), Qt::CaseInsensitive) == 0) {
        return Qt::AlignHCenter;
    }
    if (j.compare(QLatin1String("Right"), Qt::CaseInsensitive) == 0) {
        return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

QString lines(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(u'\r', u'\n');
    return t;
}

void useFont(QPainter& painter, const LabelFont& font) {
    painter.setFont(FittedFont(font.font).font());
    painter.setPen(font.colour);
}

// Type of a wrapped text is made smaller down to this share of its size before the box cuts it.
constexpr double kLeastWrappedScale = 0.6;

// Wrapped text in `box`: in smaller type when its lines are taller than the box (two lines of a
// large title keep their descenders), cut at the box's edge only below the least size.
void paintText(QPainter& painter, const QRectF& box, const QString& text, const LabelFont& font,
               int alignment) {
    if (text.trimmed().isEmpty()) {
        return;
    }
    const QString shown = lines(text);
    QFont type = FittedFont(font.font).font();
    const int least = std::max(1, static_cast<int>(type.pixelSize() * kLeastWrappedScale));
    while (type.pixelSize() > least) {
        const QRectF needed = QFontMetricsF(type).boundingRect(QRectF(0, 0, box.width(), 1e7),
                                                               alignment | Qt::TextWordWrap, shown);
        if (needed.height() <= box.height() && needed.width() <= box.width()) {
            break;
        }
        type.setPixelSize(std::max(least, static_cast<int>(type.pixelSize() * 0.92)));
    }
    painter.save();
    painter.setClipRect(box);
    painter.setFont(type);
    painter.setPen(font.colour);
    painter.drawText(box, alignment | Qt::TextWordWrap, shown);
    painter.restore();
}

// One line in `box`, shortened with an ellipsis when it does not fit; turned by `angle` degrees
// about the box's centre (a spine read from the bottom up is turned by -90).
void paintLine(QPainter& painter, const QRectF& box, const QString& text, const LabelFont& font,
               int alignment, double angle = 0) {
    QString line = lines(text).trimmed();
    line.replace(u'\n', QLatin1String(" - "));
    if (line.isEmpty()) {
        return;
    }
    painter.save();
    painter.setClipRect(box);
    painter.translate(box.center());
    painter.rotate(angle);
    const bool across = qAbs(angle) > 45;
    const QSizeF size = across ? QSizeF(box.height(), box.width()) : box.size();
    const QRectF local(-size.width() / 2, -size.height() / 2, size.width(), size.height());
    const QRectF inner = local.adjusted(mm(kPaddingMm), 0, -mm(kPaddingMm), 0);
    useFont(painter, font);
    const QString shown = painter.fontMetrics().elidedText(line, Qt::ElideRight, qRound(inner.width()));
    painter.drawText(inner, alignment | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter.restore();
}

void paintCutMarks(QPainter& painter, const QRectF& card) {
    const double gap = mm(kCutMarkGapMm);
    const double len = mm(kCutMarkMm);
    for (const QPointF& c : {card.topLeft(), card.topRight(), card.bottomLeft(), card.bottomRight()}) {
        const double sx = c.x() == card.left() ? -1 : 1;
        const double sy = c.y() == card.top() ? -1 : 1;
        painter.drawLine(QPointF(c.x() + sx * gap, c.y()), QPointF(c.x() + sx * (gap + len), c.y()));
        painter.drawLine(QPointF(c.x(), c.y() + sy * gap), QPointF(c.x(), c.y() + sy * (gap + len)));
    }
}

void paintFoldMarks(QPainter& painter, const QLineF& fold) {
    const QPointF along = (fold.p2() - fold.p1()) / fold.length();
    const double gap = mm(kCutMarkGapMm);
    const double len = mm(kCutMarkMm);
    painter.drawLine(fold.p1() - along * gap, fold.p1() - along * (gap + len));
    painter.drawLine(fold.p2() + along * gap, fold.p2() + along * (gap + len));
}

QRectF padded(const QRectF& box) {
    const double p = mm(kPaddingMm);
    return box.adjusted(p, p, -p, -p);
}

// The picture's place: its size from the size kind (thousandths of an inch), its place from the
// position (thousandths of an inch from the panel's left and top), else in the panel's lower right
// corner.
QRectF pictureRect(const Row& label, const QImage& picture, const QRectF& panel) {
    const double dpiX = picture.dotsPerMeterX() > 0 ? picture.dotsPerMeterX() * 0.0254 : 96.0;
    const double dpiY = picture.dotsPerMeterY() > 0 ? picture.dotsPerMeterY() * 0.0254 : 96.0;
    QSizeF size(picture.width() / dpiX * 720.0, picture.height() / dpiY * 720.0);
    const bool actual =
        label.text(lab::kImageSize).trimmed().compare(QLatin1String("Actual"), Qt::CaseInsensitive) == 0;
    if (!actual && !size.isEmpty()) {
        const qint64 w = label.number(lab::kImageSizeX);
        bool ok = false;
        const qint64 h = label.text(lab::kImageSizeY).trimmed().toLongLong(&ok);
        const double width = w > 0 ? w * 0.72 : 0;
        const double height = ok && h > 0 ? h * 0.72 : 0;
        if (width > 0 && height > 0) {
            size = QSizeF(width, height);
        } else if (width > 0) {
            size = QSizeF(width, size.height() * width / size.width());
        } else if (height > 0) {
            size = QSizeF(size.width() * height / size.height(), height);
        }
    }
    const qint64 x = label.number(lab::kImagePositionX);
    const qint64 y = label.number(lab::kImagePositionY);
    // The designed place: the panel's lower right corner, clear of the title and the first lines.
    const double inset = mm(3);
    QPointF at(panel.right() - inset - size.width(), panel.bottom() - inset - size.height());
    if (x != 0) {
        at.setX(panel.left() + x * 0.72);
    }
    if (y != 0) {
        at.setY(panel.top() + y * 0.72);
    }
    return QRectF(at, size);
}

void paintPicture(QPainter& painter, const LabelPrint& print, const QRectF& panel) {
    if (print.picture.isNull()) {
        return;
    }
    painter.save();
    painter.setClipRect(panel);
    painter.drawImage(pictureRect(print.label, print.picture, panel), print.picture);
    painter.restore();
}

void paintCompactDisc(QPainter& painter, const LabelPrint& p, const LabelGeometry& g) {
    const Row& l = p.label;
    paintPicture(painter, p, g.front);
    const int text = alignmentOf(l.text(lab::kCdTextJustification));
    const QRectF front = padded(g.front);
    const QRectF titleBox(front.left(), front.top(), front.width(), mm(22));
    paintText(painter, titleBox, l.text(lab::kCdTitle), p.title, text | Qt::AlignTop);
    paintText(painter, front.adjusted(0, mm(24), 0, 0), l.text(lab::kCdInsideText), p.inside,
              text | Qt::AlignTop);
    paintText(painter, padded(g.back), l.text(lab::kCdCoverText), p.cover,
              alignmentOf(l.text(lab::kCdBackCoverJustification)) | Qt::AlignTop);
    const int spine = alignmentOf(l.text(lab::kCdSpineJustification));
    paintLine(painter, g.spine, l.text(lab::kCdSpine), p.spine, spine, -90);
    paintLine(painter, g.secondSpine, l.text(lab::kCdSpine), p.spine, spine, 90);
}

void paintContents(QPainter& painter, const LabelPrint& p, const QRectF& panel) {
    const QRectF box = padded(panel);
    const double half = box.width() / 2;
    LabelFont heading = p.contents;
    heading.font.setBold(true);
    const double headingHeight = mm(5);
    const QRectF a(box.left(), box.top(), half - mm(1), box.height());
    const QRectF b(box.left() + half + mm(1), box.top(), half - mm(1), box.height());
    for (const auto& [column, side, field] :
         {std::tuple(a, QStringLiteral("Side A"), lab::kCassetteContentsA),
          std::tuple(b, QStringLiteral("Side B"), lab::kCassetteContentsB)}) {
        paintLine(painter,
                  QRectF(column.left() - mm(kPaddingMm), column.top(), column.width() + mm(2 * kPaddingMm),
                         headingHeight),
                  side, heading, Qt::AlignLeft);
        paintText(painter, column.adjusted(0, headingHeight, 0, 0), p.label.text(field), p.contents,
                  Qt::AlignLeft | Qt::AlignTop);
    }
}

void paintCassette(QPainter& painter, const LabelPrint& p, const LabelGeometry& g) {
    const Row& l = p.label;
    paintPicture(painter, p, g.front);
    const QRectF front = padded(g.front);
    const bool alternate = p.kind == LabelLayoutKind::AlternateCassette;
    const double titleHeight = alternate ? front.height() : mm(16);
    paintText(painter, QRectF(front.left(), front.top(), front.width(), titleHeight),
              l.text(lab::kCassetteTitle), p.cassetteTitle, Qt::AlignHCenter | Qt::AlignTop);
    paintContents(painter, p, alternate ? g.inside : g.front.adjusted(0, mm(18), 0, 0));
    paintLine(painter, g.spine, l.text(lab::kCassetteTitle), p.cassetteTitle, Qt::AlignHCenter);
    paintText(painter, padded(g.flap), l.text(lab::kCassetteFlap), p.flap, Qt::AlignLeft | Qt::AlignTop);
}

} // namespace

LabelLayoutKind labelLayoutKind(const Row& label, bool altCasFmt) {
    if (label.text(lab::kLabelType).trimmed().compare(QLatin1String("Cassette"), Qt::CaseInsensitive) == 0) {
        return altCasFmt ? LabelLayoutKind::AlternateCassette : LabelLayoutKind::Cassette;
    }
    return LabelLayoutKind::CompactDisc;
}

QString labelReportTitle(LabelLayoutKind kind) {
    return kind == LabelLayoutKind::CompactDisc ? QStringLiteral("Tunarium Pro 98 Compact Disc Label")
                                                : QStringLiteral("Tunarium Pro 98 Cassette Label");
}

LabelGeometry labelGeometry(LabelLayoutKind kind, const QSizeF& paper) {
    LabelGeometry g;
    if (kind == LabelLayoutKind::CompactDisc) {
        const double top = mm(kCdTop);
        const QRectF front((paper.width() - mm(kCdFrontMm)) / 2, top, mm(kCdFrontMm), mm(kCdFrontMm));
        const QRectF tray((paper.width() - mm(kCdTrayWidthMm)) / 2, front.bottom() + mm(kCardGapMm),
                          mm(kCdTrayWidthMm), mm(kCdTrayHeightMm));
        g.cards = {front, tray};
        g.front = front;
        g.spine = QRectF(tray.left(), tray.top(), mm(kCdSpineMm), tray.height());
        g.secondSpine = QRectF(tray.right() - mm(kCdSpineMm), tray.top(), mm(kCdSpineMm), tray.height());
        g.back = QRectF(g.spine.right(), tray.top(), g.secondSpine.left() - g.spine.right(), tray.height());
        g.folds = {QLineF(g.spine.topRight(), g.spine.bottomRight()),
                   QLineF(g.secondSpine.topLeft(), g.secondSpine.bottomLeft())};
        return g;
    }
    const double left = (paper.width() - mm(kCassetteWidthMm)) / 2;
    const double width = mm(kCassetteWidthMm);
    g.front = QRectF(left, mm(kCassetteTopMm), width, mm(kCassetteFrontMm));
    g.spine = QRectF(left, g.front.bottom(), width, mm(kCassetteSpineMm));
    g.flap = QRectF(left, g.spine.bottom(), width, mm(kCassetteFlapMm));
    g.cards = {QRectF(g.front.topLeft(), g.flap.bottomRight())};
    g.folds = {QLineF(g.spine.topLeft(), g.spine.topRight()), QLineF(g.flap.topLeft(), g.flap.topRight())};
    if (kind == LabelLayoutKind::AlternateCassette) {
        g.inside = QRectF(left, g.flap.bottom() + mm(kCardGapMm), width, mm(kCassetteFrontMm));
        g.cards << g.inside;
    }
    return g;
}

LabelFont designedLabelFont(int fontField) {
    switch (fontField) {
    case lab::kCdTitleFontId:
        return {designed(16, true)};
    case lab::kCdSpineFontId:
        return {designed(8, true)};
    case lab::kCassetteTitleFontId:
        return {designed(12, true)};
    case lab::kCassetteFlapFontId:
    case lab::kCassetteContentsFontId:
        return {designed(7)};
    default:
        return {designed(9)};
    }
}

QString pictureProblem(const QString& fileName, QImage* picture) {
    const QString name = fileName.trimmed();
    if (name.isEmpty()) {
        return {};
    }
    if (!QFileInfo(name).isFile()) {
        return QStringLiteral("The picture file %1 was not found; the label prints without it.").arg(name);
    }
    QImageReader reader(name);
    QImage image = reader.read();
    if (image.isNull()) {
        return QStringLiteral("The file %1 is not a picture; the label prints without it.").arg(name);
    }
    if (picture) {
        *picture = std::move(image);
    }
    return {};
}

LabelPrint prepareLabel(Store& store, const Row& label, bool altCasFmt) {
    LabelPrint p;
    p.label = label;
    p.kind = labelLayoutKind(label, altCasFmt);
    auto font = [&](int field) {
        const LabelFont designedFont = designedLabelFont(field);
        const std::optional<Row> favourite = findLabelFont(store, label.number(field));
        return favourite ? labelFontOf(*favourite, designedFont) : designedFont;
    };
    p.spine = font(lab::kCdSpineFontId);
    p.title = font(lab::kCdTitleFontId);
    p.cover = font(lab::kCdCoverTextFontId);
    p.inside = font(lab::kCdInsideTextFontId);
    p.cassetteTitle = font(lab::kCassetteTitleFontId);
    p.flap = font(lab::kCassetteFlapFontId);
    p.contents = font(lab::kCassetteContentsFontId);
    p.pictureProblem = pictureProblem(label.text(lab::kImageName), &p.picture);
    return p;
}

void paintLabel(QPainter& painter, const LabelPrint& print, const QSizeF& paper) {
    const LabelGeometry g = labelGeometry(print.kind, paper);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (print.kind == LabelLayoutKind::CompactDisc) {
        paintCompactDisc(painter, print, g);
    } else {
        paintCassette(painter, print, g);
    }
    // Thin marks: a quarter of a point.
    QPen cut(Qt::black, 2.5);
    painter.setPen(cut);
    for (const QRectF& card : g.cards) {
        paintCutMarks(painter, card);
    }
    QPen fold(Qt::black, 2.5, Qt::DashLine);
    painter.setPen(fold);
    for (const QLineF& line : g.folds) {
        paintFoldMarks(painter, line);
    }
    painter.restore();
}

bool printLabel(const LabelPrint& print, PageSink& sink, const QPageLayout& layout, QString* error) {
    QPainter* painter = sink.beginPage();
    if (!painter) {
        *error = sink.error();
        return false;
    }
    paintLabel(*painter, print, paperRect(layout).size());
    if (!sink.endPage()) {
        *error = sink.error();
        return false;
    }
    return true;
}

} // namespace tunarium
