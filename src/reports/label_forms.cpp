// The label and font lists and forms.
#include "reports/label_forms.h"

#include "reports/label_fill.h"

namespace tunarium {

ListDefinition labelsListDefinition() {
    ListDefinition d;
    d.table = TableId::Labels;
    SortOrderDef byDescription;
    byDescription.key = lab::kKeyLabelDescription;
    byDescription.thumb = {true, true, true, false};
    SortOrderDef byType;
    byType.key = lab::kKeyLabelType;
    byType.locator = LocatorKind::None;
    // The first tab shows the last sort order (the list engine's rule): "By Description".
    d.sortOrders = {byType, byDescription};
    d.columns = {
        recordColumn(QStringLiteral("Label Description"), lab::kLabelDescription, QStringLiteral("@s30")),
        recordColumn(QStringLiteral("Label Type"), lab::kLabelType, QStringLiteral("@s9")),
        recordColumn(QStringLiteral("Cassette Title"), lab::kCassetteTitle, QStringLiteral("@s255")),
        recordColumn(QStringLiteral("CD Title"), lab::kCdTitle, QStringLiteral("@s60")),
    };
    d.titleCaption = QStringLiteral("Browse Labels");
    return d;
}

ListDefinition fontsListDefinition() {
    ListDefinition d;
    d.table = TableId::Fonts;
    SortOrderDef byTypeFace;
    byTypeFace.key = fon::kKeyTypeFace;
    d.sortOrders = {byTypeFace};
    d.columns = {
        recordColumn(QStringLiteral("Type Face"), fon::kTypeFace, QStringLiteral("@s32")),
        recordColumn(QStringLiteral("Size"), fon::kSize, QStringLiteral("@s32")),
        recordColumn(QStringLiteral("Colour"), fon::kColour, QStringLiteral("@s32")),
        recordColumn(QStringLiteral("Style"), fon::kStyle, QStringLiteral("@s32")),
    };
    d.titleCaption = QStringLiteral("Favorite Fonts");
    d.selectable = true;
    return d;
}

StoreError LabelRules::primeAndNumber(Row& record, bool copy) {
    qint64 number = 0;
    if (StoreError e = m_db.store().nextNumber(TableId::Labels, number)) {
        return e;
    }
    if (copy && record.tableId() == TableId::Labels && record.size() > 0) {
        const QString description = trimTrailingBlanks(record.text(lab::kLabelDescription));
        if (!description.isEmpty()) {
            record.setText(lab::kLabelDescription, description.left(23) + QStringLiteral(" - Copy"));
        }
        record.setNumber(lab::kLabelId, number);
        record.meta = {};
        return {};
    }
    record = newLabel(number);
    return {};
}

QString LabelRules::duplicateKeyName(const StoreError& error) const {
    return error.keyName.contains(QLatin1String("KeyLabelDescription")) ? QStringLiteral("Label Description")
                                                                        : uniqueKeyName();
}

StoreError FontRules::primeAndNumber(Row& record, bool copy) {
    (void)copy;
    qint64 number = 0;
    if (StoreError e = m_db.store().nextNumber(TableId::Fonts, number)) {
        return e;
    }
    record = Row(TableId::Fonts);
    record.clear();
    record.setNumber(fon::kFontId, number);
    return {};
}

QString FontRules::duplicateKeyName(const StoreError& error) const {
    return error.keyName.contains(QLatin1String("KeyTypeFace")) ? QStringLiteral("Type Face")
                                                                : uniqueKeyName();
}

} // namespace tunarium

namespace tunarium {

QVector<LabelWizardPage> labelWizardPages(bool compactDisc) {
    using P = LabelWizardPage;
    QVector<P> pages{P::Introduction, P::LabelType, P::Source, P::General};
    if (compactDisc) {
        pages << P::FrontCover << P::BackCover;
    } else {
        pages << P::SideA << P::SideB;
    }
    return pages;
}

} // namespace tunarium
