// The one-name lookup browses.
#include "catalogue/ui/lookup_browse_window.h"

#include <QMdiSubWindow>

namespace tunarium {

LookupBrowseWindow::LookupBrowseWindow(Database& db, LookupBrowseDecl design, Request request,
                                       QWidget* caller, Answer answer)
    : BrowseWindow(db, std::move(design.definition), std::move(design.options), request, caller,
                   std::move(answer)),
      m_db(db), m_formDecl(std::move(design.form)), m_rules(std::move(design.rules)),
      m_history(design.history) {
    for (const auto& [action, text] : design.buttons) {
        addButton(action, text);
    }
}

void LookupBrowseWindow::openForm(Request request, const Row& record) {
    QPointer<LookupBrowseWindow> self(this);
    auto* form =
        new LookupFormWindow(m_db, m_rules(m_db), m_formDecl, *m_history, options().positionFile, request,
                             record, this, [self](Response response, const Row& answered) {
                                 if (self) {
                                     self->engine().formAnswered(static_cast<Response>(response), answered);
                                 }
                             });
    m_form = form;
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    form->start(sub ? sub->mdiArea() : nullptr);
}

QVector<PopupEntry> LookupBrowseWindow::popupExtras() const {
    const ListEngine& e = engine();
    return {{QStringLiteral("&Select"), e.selectMode() && e.changeEnabled(), true}};
}

void LookupBrowseWindow::extraPopupChosen(int entry) {
    if (entry == 4) {
        press(BrowseAction::Select);
    }
}

} // namespace tunarium
