// CDBinderPages ("CD Binder Pages"): the page style (Binder or Flap) and the range of file
// numbers; the button beside each number picks an album through the album selector (started by
// name, disabled until it is registered) and takes its file number. "&OK" runs the pages into the
// preview and closes the window.
#pragma once

#include "catalogue/ui/form_window.h"
#include "reports/binder_pages.h"
#include "ui/procedure_registry.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tunarium {

class BinderPagesWindow : public FormWindow {
public:
    explicit BinderPagesWindow(const ProcedureContext& context);
    static BinderPagesWindow* openBinderPages(const ProcedureContext& context);

    QLineEdit* startingNumber() const { return m_from; }
    QLineEdit* endingNumber() const { return m_to; }
    QRadioButton* flapOption() const { return m_flap; }
    QPushButton* lookupButton(int which) const { return which == 0 ? m_lookFrom : m_lookTo; }
    BinderStyle style() const;
    void accept();

private:
    void lookUp(QLineEdit* number);

    ProcedureContext m_context;
    QRadioButton* m_binder = nullptr;
    QRadioButton* m_flap = nullptr;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QPushButton* m_lookFrom = nullptr;
    QPushButton* m_lookTo = nullptr;
};

} // namespace tunarium
