// BrowseLabels ("Browse Labels"): the label designs by description or by type; "Wi&zard" starts
// the Add Label wizard by name, "&Add", "Cop&y", "&Change" and "&Delete" open the label form, and
// "&Print" prints the highlighted label.
#pragma once

#include "catalogue/ui/browse_window.h"
#include "ui/procedure_registry.h"

namespace tunarium {

class LabelsBrowseWindow : public BrowseWindow {
public:
    explicit LabelsBrowseWindow(const ProcedureContext& context);

    // Opens the browse in the context's workspace; nullptr when the tables cannot be opened.
    static LabelsBrowseWindow* openLabels(const ProcedureContext& context);

    QPushButton* wizardButton() const { return m_wizard; }
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* printButton() const { return m_print; }
    void copyLabel();
    void printLabel();

protected:
    void openForm(Request request, const Row& record) override;
    void pageShown() override;

private:
    ProcedureContext m_context;
    QPushButton* m_wizard = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_print = nullptr;
};

} // namespace tunarium
