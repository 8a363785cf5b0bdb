// Favourite fonts on labels.
#include "reports/label_font.h"

#include "data/dictionary_tables.h"
#include "data/font_style.h"
#include "reports/report_definition.h"

#include <QRegularExpression>

namespace tunarium {

namespace {

std::optional<double> points(const QString& text) {
    bool ok = false;
    const double size = text.trimmed().toDouble(&ok);
    if (!ok || !(size > 0)) {
        return std::nullopt;
    }
    return std::clamp(size, double(kMinCustomFontPoints), double(kMaxCustomFontPoints));
}

std::optional<QColor> colour(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        return std::nullopt;
    }
    bool ok = false;
    qint64 value = t.toLongLong(&ok, 10);
    if (!ok && t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        value = t.mid(2).toLongLong(&ok, 16);
    }
    if (ok) {
        return value >= 0 && value <= 0xffffff ? std::optional(colourOf(static_cast<int>(value)))
                                               : std::nullopt;
    }
    if (QColor::isValidColorName(t)) {
        return QColor::fromString(t);
    }
    return std::nullopt;
}

// Applies the style text; false when it says nothing the font can take.
bool applyStyle(QFont& font, const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    const int number = t.toInt(&ok);
    if (ok) {
        const int weight = number & kFontWeightMask;
        if (number < 0 || (weight != 0 && (weight < 100 || weight > 900))) {
            return false;
        }
        applyFontStyle(font, number);
        return true;
    }
    static const QRegularExpression words(QStringLiteral("^(regular|normal|bold|italic|underline|[ ,])+$"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (t.isEmpty() || !words.match(t).hasMatch()) {
        return false;
    }
    const QString lower = t.toLower();
    font.setBold(lower.contains(QLatin1String("bold")));
    font.setItalic(lower.contains(QLatin1String("italic")));
    font.setUnderline(lower.contains(QLatin1String("underline")));
    return true;
}

} // namespace

LabelFont labelFontOf(const Row& font, const LabelFont& designed) {
    LabelFont result = designed;
    ReportFont custom;
    custom.name = font.text(fon::kTypeFace).trimmed();
    // The family is checked as a report's custom font checks it; size and style are read here.
    QFont f = customReportFont(custom, designed.font);
    if (const std::optional<double> size = points(font.text(fon::kSize))) {
        f.setPointSizeF(*size);
    }
    applyStyle(f, font.text(fon::kStyle));
    result.font = f;
    if (const std::optional<QColor> c = colour(font.text(fon::kColour))) {
        result.colour = *c;
    }
    return result;
}

std::optional<Row> findLabelFont(Store& store, qint64 fontId) {
    if (fontId == 0) {
        return std::nullopt;
    }
    Row font(TableId::Fonts);
    if (!store.get(TableId::Fonts, fon::kKeyFontId, {fontId}, font).ok()) {
        return std::nullopt;
    }
    return font;
}

QString fontDescription(const std::optional<Row>& font) {
    if (!font) {
        return QStringLiteral("Default Font");
    }
    return trimTrailingBlanks(font->text(fon::kTypeFace)) + u' ' +
           trimTrailingBlanks(font->text(fon::kSize)) + QStringLiteral("  Colour:  ") +
           trimTrailingBlanks(font->text(fon::kColour)) + QStringLiteral("  Style:  ") +
           trimTrailingBlanks(font->text(fon::kStyle));
}

QString fontDescription(Store& store, qint64 fontId) {
    return fontDescription(findLabelFont(store, fontId));
}

} // namespace tunarium
