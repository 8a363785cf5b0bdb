// The add-mode choice.
#include "catalogue/ui/select_add_mode_dialog.h"

#include "ui/dialog_units.h"
#include "ui/ok_cancel_row.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tunarium {

SelectAddModeDialog::SelectAddModeDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SelectAddMode"));
    setWindowTitle(QStringLiteral("Select Add Mode"));
    m_compilation = new QRadioButton(QStringLiteral("Compilation"));
    m_singleArtist = new QRadioButton(QStringLiteral("Single Artist"));
    m_normal = new QRadioButton(QStringLiteral("Normal"));
    m_compilation->setChecked(true);
    auto* group = new QGroupBox(QStringLiteral("Mode"));
    auto* options = new QVBoxLayout(group);
    options->addWidget(m_compilation);
    options->addWidget(m_singleArtist);
    options->addWidget(m_normal);

    const OkCancelRow buttons = makeOkCancelRow(this, [this] { accept(); }, {}, QString());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons.layout);
    const DialogUnits units(this);
    setMinimumWidth(units.toPixelsX(120));
    m_compilation->setFocus();
}

QRadioButton* SelectAddModeDialog::option(AddDispatch dispatch) const {
    switch (dispatch) {
    case AddDispatch::CompilationWizard:
        return m_compilation;
    case AddDispatch::SingleArtistWizard:
        return m_singleArtist;
    default:
        return m_normal;
    }
}

AddDispatch SelectAddModeDialog::choice() const {
    if (result() != QDialog::Accepted) {
        return AddDispatch::OpenForm;
    }
    if (m_compilation->isChecked()) {
        return AddDispatch::CompilationWizard;
    }
    return m_singleArtist->isChecked() ? AddDispatch::SingleArtistWizard : AddDispatch::OpenForm;
}

AddDispatch SelectAddModeDialog::ask(QWidget* parent) {
    SelectAddModeDialog dialog(parent);
    dialog.exec();
    return dialog.choice();
}

} // namespace tunarium
