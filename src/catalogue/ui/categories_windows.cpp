// The categories browse and form.
#include "catalogue/ui/categories_windows.h"

#include "catalogue/procedure_names.h"

namespace tunarium {

LookupFormDecl categoryFormDecl() {
    LookupFormDecl f;
    f.procedure = QStringLiteral("UpdateCategories");
    f.designCaption = QStringLiteral("Update Categories");
    f.insertCaption = QStringLiteral("Add Category");
    f.changeCaption = QStringLiteral("Change Category");
    f.prompt = QStringLiteral("&Category:");
    f.picture = formPicture(TableId::Categories, cat::kCategory);
    f.fieldName = tableDef(TableId::Categories).field(cat::kCategory).name;
    f.historyVirtualKey = 192;
    return f;
}

LookupBrowseDecl categoriesBrowseDecl(const QString& positionFile) {
    LookupBrowseDecl s;
    s.definition = categoriesListDefinition();
    s.options.procedure = QString::fromLatin1(procedure::kBrowseCategories);
    s.options.positionFile = positionFile;
    s.options.titleWithCount = false;
    s.options.designFormat = QString::fromLatin1(kCategoriesListFormat);
    s.options.listTip = QStringLiteral("Browsing Records");
    s.options.listSize = QSize(150, 130);
    s.options.openingSizeIsMinimum = true;
    s.buttons = {{BrowseAction::Select, QStringLiteral("&Select")},
                 {BrowseAction::Add, QStringLiteral("&Insert")},
                 {BrowseAction::Change, QStringLiteral("&Change")},
                 {BrowseAction::Delete, QStringLiteral("&Delete")},
                 {BrowseAction::Close, QStringLiteral("Cl&ose")}};
    s.form = categoryFormDecl();
    s.rules = [](Database& db) { return std::make_unique<CategoryRules>(db); };
    s.history = &categoryHistory();
    return s;
}

LookupBrowseWindow* openBrowseCategories(Database& db, const QString& positionFile, QMdiArea* area) {
    auto* w = new LookupBrowseWindow(db, categoriesBrowseDecl(positionFile), Request::None, nullptr, {});
    return w->open(area) ? w : nullptr;
}

LookupBrowseWindow* selectCategory(Database& db, const QString& positionFile, QMdiArea* area, QWidget* caller,
                                   const CategoryRecord& current,
                                   std::function<void(bool chosen, const CategoryRecord& category)> chosen) {
    auto* w = new LookupBrowseWindow(
        db, categoriesBrowseDecl(positionFile), Request::Select, caller,
        [chosen = std::move(chosen)](Response response, const Row& record) {
            const bool completed = response == Response::Completed &&
                                   record.tableId() == TableId::Categories && record.size() > 0;
            if (chosen) {
                chosen(completed, completed ? fromRow<CategoryRecord>(record) : CategoryRecord{});
            }
        });
    return w->open(area, toRow(current)) ? w : nullptr;
}

} // namespace tunarium
