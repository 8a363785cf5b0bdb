// The labels browse.
#include "reports/ui/labels_browse_window.h"

#include "data/app_paths.h"
#include "reports/label_forms.h"
#include "reports/procedure_names.h"
#include "reports/ui/label_output.h"
#include "reports/ui/update_label_window.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>

namespace tunarium {

namespace {

BrowseOptions labelsOptions(const ProcedureContext& context) {
    BrowseOptions o;
    o.procedure = QString::fromLatin1(procedure::kBrowseLabels);
    o.positionFile = positionFilePath(context.db.collectionDir());
    o.titleWithCount = false;
    o.designFormat = QString::fromLatin1(kLabelsListFormat);
    o.listName = QStringLiteral("?Browse");
    o.tabs = {QStringLiteral("By Description"), QStringLiteral("By Type")};
    o.locatorPrompt = QStringLiteral("Locate:");
    o.listTip = QStringLiteral("Right-Click for Options");
    o.listStatus = QStringLiteral("Browsing Records");
    o.listSize = QSize(300, 120);
    o.openingSizeIsMinimum = true;
    return o;
}

} // namespace

LabelsBrowseWindow::LabelsBrowseWindow(const ProcedureContext& context)
    : BrowseWindow(context.db, labelsListDefinition(), labelsOptions(context), Request::None, nullptr, {}),
      m_context(context) {
    m_wizard = addButton(QStringLiteral("Wi&zard"), [this] {
        // The label the wizard adds becomes the selected one, so that Change edits it.
        ProcedureContext wizard = m_context.calledFrom(this);
        QPointer<LabelsBrowseWindow> self(this);
        wizard.answer = [self](int response, const Row& added) {
            if (self && response == static_cast<int>(Response::Completed) && added.tableId() == TableId::Labels &&
                added.size() > 0) {
                self->engine().showRecord(added);
            }
        };
        m_context.procedures.start(QString::fromLatin1(procedure::kLabelWizard), wizard);
    });
    addButton(BrowseAction::Add, QStringLiteral("&Add"))->setToolTip(QStringLiteral("Add a blank label"));
    m_copy = addButton(QStringLiteral("Cop&y"), [this] { copyLabel(); });
    m_copy->setToolTip(QStringLiteral("Copy label"));
    addButton(BrowseAction::Change, QStringLiteral("&Change"));
    addButton(BrowseAction::Delete, QStringLiteral("&Delete"));
    startButtonRow();
    m_print = addButton(QStringLiteral("&Print"), [this] { printLabel(); });
    m_print->setToolTip(QStringLiteral("Print the highlighted label"));
    addButton(BrowseAction::Close, QStringLiteral("Cl&ose"));
}

LabelsBrowseWindow* LabelsBrowseWindow::openLabels(const ProcedureContext& context) {
    auto* window = new LabelsBrowseWindow(context);
    return window->open(context.workspace) ? window : nullptr;
}

void LabelsBrowseWindow::pageShown() {
    const bool rows = engine().rowCount() > 0;
    m_copy->setEnabled(rows);
    m_print->setEnabled(rows);
    m_wizard->setEnabled(m_context.procedures.contains(QString::fromLatin1(procedure::kLabelWizard)));
}

void LabelsBrowseWindow::copyLabel() {
    if (engine().rowCount() == 0) {
        return;
    }
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    QPointer<LabelsBrowseWindow> self(this);
    // The copy is a new label: the list picks it up when the window regains the focus.
    auto* form = new UpdateLabelWindow(m_context.calledFrom(this), Request::Copy, engine().record(),
                                       [self](Response, const Row&) {
                                           if (self) {
                                               self->engine().focusGained();
                                           }
                                       });
    form->start(sub ? sub->mdiArea() : nullptr);
}

void LabelsBrowseWindow::printLabel() {
    if (engine().rowCount() == 0) {
        return;
    }
    printLabelAsked(m_context.calledFrom(this), engine().record());
}

void LabelsBrowseWindow::openForm(Request request, const Row& record) {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    QPointer<LabelsBrowseWindow> self(this);
    auto* form = new UpdateLabelWindow(m_context.calledFrom(this), request, record,
                                       [self](Response response, const Row& answered) {
                                           if (self) {
                                               self->engine().formAnswered(response, answered);
                                           }
                                       });
    form->start(sub ? sub->mdiArea() : nullptr);
}

} // namespace tunarium
