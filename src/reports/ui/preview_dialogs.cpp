// The jump and display windows of the preview.
#include "reports/ui/preview_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tunarium {

JumpToPageDialog::JumpToPageDialog(int current, int pageCount, const QString& tip, QWidget* parent)
    : QDialog(parent), m_current(current), m_page(new QSpinBox(this)) {
    setWindowTitle(tr("Jump to a Report Page"));
    setWindowModality(Qt::WindowModal);
    m_page->setRange(1, std::max(1, pageCount));
    m_page->setValue(current);
    m_page->setToolTip(tip);
    auto* form = new QFormLayout;
    auto* label = new QLabel(tr("&Page:"), this);
    label->setBuddy(m_page);
    form->addRow(label, m_page);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* jump = buttons->addButton(tr("&Jump"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    jump->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_page->selectAll();
}

int JumpToPageDialog::page() const {
    return result() == QDialog::Accepted ? m_page->value() : m_current;
}

ReportDisplayDialog::ReportDisplayDialog(int across, int down, int most, QWidget* parent)
    : QDialog(parent), m_across(new QSpinBox(this)), m_down(new QSpinBox(this)) {
    setWindowTitle(tr("Change the Report Display"));
    setWindowModality(Qt::WindowModal);
    for (QSpinBox* box : {m_across, m_down}) {
        box->setRange(1, most);
    }
    m_across->setValue(across);
    m_down->setValue(down);
    auto* group = new QGroupBox(tr("Pages Displayed"), this);
    auto* form = new QFormLayout(group);
    form->addRow(tr("Across"), m_across);
    form->addRow(tr("Down"), m_down);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

int ReportDisplayDialog::across() const {
    return m_across->value();
}

int ReportDisplayDialog::down() const {
    return m_down->value();
}

} // namespace tunarium
