// Report definitions: their fonts, the date format and custom fonts.
#include "reports/report_definition.h"

#include "data/font_style.h"
#include "data/pictures.h"

#include <QFontDatabase>

#include <algorithm>

namespace tunarium {

namespace {

QFont reportFont(int points, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

} // namespace

ReportFonts defaultReportFonts() {
    ReportFonts fonts;
    fonts.title = reportFont(14, true);
    fonts.header = reportFont(8);
    fonts.columnHeads = reportFont(9, true);
    fonts.detail = reportFont(9);
    fonts.group = reportFont(11, true);
    fonts.footer = reportFont(8);
    fonts.closing = reportFont(9, true);
    return fonts;
}

void ReportDefinition::useDatePicture(const QString& picture) {
    for (ReportColumn& column : columns) {
        if (pictureKind(column.picture) == u'D') {
            column.picture = picture;
        }
    }
    if (group && pictureKind(group->picture) == u'D') {
        group->picture = picture;
    }
    datePicture = picture;
}

void ReportDefinition::useCustomFont(const ReportFont& custom) {
    for (QFont* f : {&fonts.title, &fonts.header, &fonts.columnHeads, &fonts.detail, &fonts.group,
                     &fonts.footer, &fonts.closing}) {
        *f = customReportFont(custom, *f);
    }
    for (ReportColumn& column : columns) {
        if (column.font) {
            column.font = customReportFont(custom, *column.font);
        }
    }
    textColour = colourOf(custom.color);
}

const QFont& ReportDefinition::columnFont(int column) const {
    const auto& font = columns.at(column).font;
    return font ? *font : fonts.detail;
}

QFont customReportFont(const ReportFont& custom, const QFont& designed) {
    QFont font = designed;
    const QString family = custom.name.trimmed();
    if (!family.isEmpty() && QFontDatabase::hasFamily(family)) {
        font.setFamily(family);
    }
    if (custom.size > 0) {
        font.setPointSize(std::clamp(custom.size, kMinCustomFontPoints, kMaxCustomFontPoints));
    }
    applyFontStyle(font, custom.style);
    return font;
}

} // namespace tunarium
