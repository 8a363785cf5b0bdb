// The report criteria window.
#include "reports/ui/report_criteria_window.h"

#include "ui/dialog_units.h"
#include "ui/ok_cancel_row.h"
#include "ui/widget_geometry.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tunarium {

namespace {

constexpr char kSection[] = "ReportCriteria";

QGroupBox* optionGroup(const QString& title, QRadioButton* first, QRadioButton* second, QWidget* parent) {
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addStretch();
    auto* buttons = new QButtonGroup(group);
    buttons->addButton(first);
    buttons->addButton(second);
    return group;
}

} // namespace

ReportCriteriaWindow::ReportCriteriaWindow(const ReportCriteria& criteria, const QString& prompt,
                                           bool hasBrief, QString positionFile, QWidget* parent)
    : QDialog(parent), m_positionFile(std::move(positionFile)),
      m_standard(new QRadioButton(tr("Standard"), this)), m_brief(new QRadioButton(tr("Brief"), this)),
      m_preview(new QCheckBox(tr("Preview"), this)), m_customFont(new QCheckBox(tr("Use Custom Font"), this)),
      m_all(new QRadioButton(tr("All"), this)), m_selected(new QRadioButton(tr("Selected"), this)),
      m_prompt(new QLabel(prompt, this)), m_selection(new QLineEdit(this)) {
    setWindowTitle(tr("Report Criteria"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);

    const OkCancelRow buttons = makeOkCancelRow(this, [this] { accept(); }, [this] { reject(); });
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;

    auto* checks = new QHBoxLayout;
    checks->addWidget(m_preview);
    checks->addWidget(m_customFont);
    checks->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(optionGroup(tr("Report &Style"), m_standard, m_brief, this));
    layout->addLayout(checks);
    layout->addWidget(optionGroup(tr("&Include"), m_all, m_selected, this));
    layout->addWidget(m_prompt);
    layout->addWidget(m_selection);
    layout->addLayout(buttons.layout);

    // Set once the option groups hold their buttons: until then all four radio buttons are
    // siblings, and checking one would clear the others.
    const bool brief = hasBrief && criteria.style == ReportLayout::Brief;
    m_brief->setEnabled(hasBrief);
    (brief ? m_brief : m_standard)->setChecked(true);
    m_preview->setChecked(criteria.preview);
    m_customFont->setChecked(criteria.customFont);
    (criteria.selected ? m_selected : m_all)->setChecked(true);
    m_selection->setMaxLength(kSelectionWidth);
    m_selection->setText(criteria.selection);
    m_selection->setMinimumWidth(DialogUnits(this).characters(kSelectionWidth));
    m_prompt->setBuddy(m_selection);

    connect(m_all, &QRadioButton::toggled, this, &ReportCriteriaWindow::includeChanged);
    includeChanged();
}

ReportCriteria ReportCriteriaWindow::criteria() const {
    ReportCriteria c;
    c.style = m_brief->isChecked() ? ReportLayout::Brief : ReportLayout::Standard;
    c.preview = m_preview->isChecked();
    c.customFont = m_customFont->isChecked();
    c.selected = m_selected->isChecked();
    c.selection = m_selection->text().left(kSelectionWidth);
    return c;
}

void ReportCriteriaWindow::includeChanged() {
    // The starting text is typed only for "Selected".
    m_selection->setEnabled(m_selected->isChecked());
}

void ReportCriteriaWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        centreOver(this, parentWidget());
        restoreWidgetPosition(this, QString::fromLatin1(kSection), m_positionFile);
    }
}

void ReportCriteriaWindow::done(int result) {
    saveWidgetPosition(this, QString::fromLatin1(kSection), m_positionFile);
    QDialog::done(result);
}

} // namespace tunarium
