// The browse of a lookup table whose record is one name (BrowseCategories, BrowseMedia): one sort
// order with the step locator, its record buttons and a Select button that only a selection list
// shows, a popup that ends with Select, and the one-name form of the table.
#pragma once

#include "catalogue/ui/browse_window.h"
#include "catalogue/ui/lookup_form_window.h"

namespace tunarium {

struct LookupBrowseDecl {
    ListDefinition definition;
    BrowseOptions options;
    QVector<QPair<BrowseAction, QString>> buttons; // in window order
    LookupFormDecl form;
    std::function<std::unique_ptr<FormRules>(Database&)> rules;
    NameHistory* history = nullptr;
};

class LookupBrowseWindow : public BrowseWindow {
public:
    LookupBrowseWindow(Database& db, LookupBrowseDecl design, Request request, QWidget* caller,
                       Answer answer);

    // The form opened for the pending Add, Change or Delete (nullptr when none is open).
    LookupFormWindow* openedForm() const { return m_form; }

protected:
    void openForm(Request request, const Row& record) override;
    QVector<PopupEntry> popupExtras() const override;
    void extraPopupChosen(int entry) override;

private:
    Database& m_db;
    LookupFormDecl m_formDecl;
    std::function<std::unique_ptr<FormRules>(Database&)> m_rules;
    NameHistory* m_history;
    QPointer<LookupFormWindow> m_form;
};

} // namespace tunarium
