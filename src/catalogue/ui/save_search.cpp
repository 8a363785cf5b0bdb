// "Save Search…".
#include "catalogue/ui/save_search.h"

#include "catalogue/saved_search.h"
#include "catalogue/ui/search_name_dialog.h"
#include "data/table_lease.h"

#include <QPointer>

namespace tunarium {

PromptMessage replaceSavedSearchQuestion(const QString& name) {
    return {QStringLiteral("Save Search"),
            QStringLiteral("A saved search named \"%1\" is there already. Replace it with this search?").arg(name),
            PromptIcon::Question, kButtonYes | kButtonNo, kButtonNo};
}

SearchNameDialog* saveSearchAs(Database& db, QWidget* parent, const QString& text, int sortOrder,
                               std::function<void(const SavedSearchRecord&)> saved) {
    if (const QString problem = savedSearchTextProblem(text); !problem.isEmpty()) {
        db.prompter().message(
            {QStringLiteral("Save Search"), problem, PromptIcon::Information, kButtonOk, kButtonOk});
        return nullptr;
    }
    return SearchNameDialog::ask(
        parent, QStringLiteral("Save Search"), {},
        [&db, text, sortOrder, saved = std::move(saved)](const QString& name) {
            const TableLease lease(db, {TableId::SavedSearches});
            if (!lease) {
                return;
            }
            SavedSearches searches(db);
            SavedSearchRecord record;
            SavedSearches::Outcome outcome = searches.save(name, text, sortOrder, false, record);
            if (outcome == SavedSearches::Outcome::Exists &&
                db.prompter().message(replaceSavedSearchQuestion(record.name)) == kButtonYes) {
                outcome = searches.save(name, text, sortOrder, true, record);
            }
            if (outcome == SavedSearches::Outcome::Saved && saved) {
                saved(record);
            }
        });
}

} // namespace tunarium
