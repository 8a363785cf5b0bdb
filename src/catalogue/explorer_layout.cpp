// The explorer's list appearance in the position file.
#include "catalogue/explorer_layout.h"

#include "data/ini_file.h"

namespace tunarium {

namespace {

// A kept number, or the design's when the key is missing or not a number.
int keptNumber(const ExplorerLayoutKeys& keys, const char* prefix, int design, int low, int high) {
    const QString text = readIni(keys.positionFile, keys.section, keys.key(prefix)).trimmed();
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok && value >= low && value <= high ? static_cast<int>(value) : design;
}

} // namespace

ExplorerAppearance restoreExplorerAppearance(const ExplorerLayoutKeys& keys, const ExplorerDefinition& def,
                                             const ExplorerAppearance& design, const QString& datePicture) {
    ExplorerAppearance a = design;
    if (!datePicture.isEmpty()) {
        a.format = replaceDatePictures(design.format, datePicture);
    }
    const QString original = readIni(keys.positionFile, keys.section, keys.key("XploreOrigFormatString-"));
    if (!sameDesign(original, design.format)) {
        writeIni(keys.positionFile, keys.section, keys.key("XploreOrigFormatString-"), design.format);
        return a;
    }
    const QString kept = readIni(keys.positionFile, keys.section, keys.key("XploreFormatString-")).trimmed();
    if (!kept.isEmpty()) {
        const ListFormat format = ListFormat::parse(kept);
        const QVector<int> fields = explorerColumnFields(def, format);
        if (fields.isEmpty()) {
            removeIniKey(keys.positionFile, keys.section, keys.key("XploreFormatString-"));
        } else {
            a.format = withDatePicture(format, fields, ListFormat::parse(design.format), datePicture);
        }
    }
    constexpr int kFar = 100000;
    const int x = keptNumber(keys, "XploreXpos-", -1, 0, kFar);
    const int y = keptNumber(keys, "XploreYpos-", -1, 0, kFar);
    const int width = keptNumber(keys, "XploreWidth-", -1, 20, kFar);
    const int height = keptNumber(keys, "XploreHeight-", -1, 20, kFar);
    if (x >= 0 && y >= 0 && width > 0 && height > 0) {
        a.box = QRect(x, y, width, height);
    }
    a.horizontalScroll = keptNumber(keys, "XploreHscroll-", design.horizontalScroll ? 1 : 0, 0, 1) != 0;
    a.verticalScroll = keptNumber(keys, "XploreVscroll-", design.verticalScroll ? 1 : 0, 0, 1) != 0;
    a.lineHeight = keptNumber(keys, "XploreLineHeight-", design.lineHeight, 0, 200);
    const QString font = readIni(keys.positionFile, keys.section, keys.key("XploreFont-")).trimmed();
    a.font = font.isEmpty() ? design.font : font.left(20);
    a.point = keptNumber(keys, "XplorePoint-", design.point, 0, 200);
    a.color = keptNumber(keys, "XploreColor-", design.color, 0, 0xFFFFFF);
    a.style = keptNumber(keys, "XploreStyle-", design.style, 0, 0xFFFF);
    a.prevColumn = keptNumber(keys, "XplorePrevCol-", 1, 1, static_cast<int>(def.fields.size()));
    return a;
}

bool saveExplorerAppearance(const ExplorerLayoutKeys& keys, const ExplorerAppearance& a) {
    const auto number = [](int n) { return QString::number(n); };
    IniEntries entries{
        {keys.key("XploreFormatString-"), a.format},
        {keys.key("XploreHscroll-"), number(a.horizontalScroll ? 1 : 0)},
        {keys.key("XploreVscroll-"), number(a.verticalScroll ? 1 : 0)},
        {keys.key("XploreLineHeight-"), number(a.lineHeight)},
        {keys.key("XploreFont-"), a.font.left(20)},
        {keys.key("XplorePoint-"), number(a.point)},
        {keys.key("XploreColor-"), number(a.color)},
        {keys.key("XploreStyle-"), number(a.style)},
        {keys.key("XplorePrevCol-"), number(a.prevColumn)},
    };
    if (a.box.isValid()) {
        entries << qMakePair(keys.key("XploreXpos-"), number(a.box.x()))
                << qMakePair(keys.key("XploreYpos-"), number(a.box.y()))
                << qMakePair(keys.key("XploreWidth-"), number(a.box.width()))
                << qMakePair(keys.key("XploreHeight-"), number(a.box.height()));
    }
    if (!writeIniEntries(keys.positionFile, keys.section, entries)) {
        return false;
    }
    // A list box in the window's layout keeps no place of its own.
    bool written = true;
    if (!a.box.isValid()) {
        for (const char* prefix : {"XploreXpos-", "XploreYpos-", "XploreWidth-", "XploreHeight-"}) {
            written = removeIniKey(keys.positionFile, keys.section, keys.key(prefix)) && written;
        }
    }
    return written;
}

} // namespace tunarium
