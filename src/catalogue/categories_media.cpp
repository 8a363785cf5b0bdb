// Categories and media formats: list definitions, form rules and history copies.
#include "catalogue/categories_media.h"

namespace tunarium {

namespace {

ListDefinition nameList(TableId table, const char* keyName, const QString& header, const QString& picture) {
    const TableDef& t = tableDef(table);
    ListDefinition d;
    d.table = table;
    SortOrderDef byName;
    byName.key = t.keyIndex(QString::fromLatin1(keyName));
    byName.locator = LocatorKind::Step;
    byName.thumb.alpha = true;
    d.sortOrders = {byName};
    d.columns = {recordColumn(header, t.key(byName.key).components.first(), picture)};
    d.selectable = true;
    return d;
}

} // namespace

ListDefinition categoriesListDefinition() {
    ListDefinition d =
        nameList(TableId::Categories, "KeyCategory", QStringLiteral("Category"), QStringLiteral("@s30"));
    d.titleCaption = QStringLiteral("Categories");
    d.addText = QStringLiteral("&Insert");
    return d;
}

ListDefinition mediaListDefinition() {
    ListDefinition d = nameList(TableId::Media, "KeyMedia", QStringLiteral("Media"), QStringLiteral("@s20"));
    d.titleCaption = QStringLiteral("Browse Media Formats");
    return d;
}

StoreError CategoryRules::primeAndNumber(Row& record, bool copy) {
    (void)copy;
    const TableDef& t = tableDef(TableId::Categories);
    const int idField = cat::kCategoryId;
    QVector<Row> last;
    if (StoreError e = m_db.store().read(TableId::Categories, cat::kKeyCategoryId, {}, Direction::Backward,
                                         true, 1, last)) {
        return e;
    }
    if (record.tableId() != TableId::Categories || record.size() != t.fieldCount()) {
        record = Row(TableId::Categories);
    }
    record.setNumber(idField, last.isEmpty() ? 1 : last.first().number(idField) + 1);
    return {};
}

QString CategoryRules::duplicateKeyName(const StoreError& error) const {
    return error.keyName.isEmpty() ? QStringLiteral("CAT:KeyCategory") : error.keyName;
}

StoreError MediaRules::primeAndNumber(Row& record, bool copy) {
    (void)record, (void)copy;
    return {};
}

void NameHistory::formStarted() {
    if (!m_started) {
        m_started = true;
        m_name.clear();
        m_has = false;
    }
}

void NameHistory::clear() {
    m_name.clear();
    m_has = false;
    m_started = false;
}

NameHistory& categoryHistory() {
    static NameHistory history;
    return history;
}

NameHistory& mediaHistory() {
    static NameHistory history;
    return history;
}

} // namespace tunarium
