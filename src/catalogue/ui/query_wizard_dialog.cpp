// The query wizard dialog's controls, turned into calls of the wizard session.
#include "catalogue/ui/query_wizard_dialog.h"

#include "catalogue/ui/query_element_row.h"
#include "ui/dialog_units.h"
#include "ui/widget_geometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tunarium {

namespace {

constexpr int kTextAddAnd = 101;
constexpr int kTextFinishHint = 116;
constexpr int kTextFinish = 118;
constexpr int kTextManual = 119;
constexpr int kTextCurrentQuery = 154;
constexpr int kTextNewQuery = 163;
constexpr int kTextTitle = 171;
constexpr int kTextSavedQueries = 202;
constexpr int kTextAddQuery = 213;
constexpr int kTextRunQuery = 216;
constexpr int kTextDescription = 236;

// Sizes in dialog units: the wizard's opening size and the width of its saved-queries panel.
constexpr QSize kDesignSize(560, 320);
constexpr int kSavedPanelWidth = 175;

QPushButton* button(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

} // namespace

QueryWizardDialog::QueryWizardDialog(QueryFieldList fields, const QString& collectionDir, Prompter& prompter,
                                     const QString& currentFilter, QWidget* parent)
    : QDialog(parent), m_wizard(std::move(fields), collectionDir, prompter, currentFilter) {
    setWindowTitle(queryWizardText(kTextTitle));
    setSizeGripEnabled(true);
    // The elements take the whole width: a row holds seven controls.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildElementsPanel(), 1);
    auto* lower = new QHBoxLayout;
    lower->addWidget(buildCurrentPanel(), 1);
    lower->addWidget(buildSavedPanel());
    layout->addLayout(lower, 1);
    layout->addWidget(buildButtons());

    rebuildRows();
    m_manual->setChecked(m_wizard.query().manual);
    manualToggled(m_wizard.query().manual);
    connect(m_manual, &QCheckBox::toggled, this, &QueryWizardDialog::manualToggled);
    connect(this, &QDialog::finished, this, [this] { emit queryFinished(m_wizard.result()); });
    updateButtons();
    resize(DialogUnits(this).toPixels(kDesignSize));
}

QWidget* QueryWizardDialog::buildSavedPanel() {
    auto* box = new QGroupBox(queryWizardText(kTextSavedQueries), this);
    auto* layout = new QVBoxLayout(box);
    m_saved = new QListWidget(box);
    m_runQuery = button(queryWizardText(kTextRunQuery), box);
    m_editQuery = button(QStringLiteral("Edit Query"), box);
    m_deleteQuery = button(QStringLiteral("Delete Query"), box);
    auto* description = new QLabel(queryWizardText(kTextDescription), box);
    m_description = new QLineEdit(box);
    m_description->setMaxLength(80);
    description->setBuddy(m_description);
    m_addQuery = button(queryWizardText(kTextAddQuery), box);
    layout->addWidget(m_saved, 1);
    auto* savedButtons = new QHBoxLayout;
    for (QPushButton* b : {m_runQuery, m_editQuery, m_deleteQuery}) {
        savedButtons->addWidget(b);
    }
    layout->addLayout(savedButtons);
    layout->addWidget(description);
    layout->addWidget(m_description);
    layout->addWidget(m_addQuery);
    box->setFixedWidth(DialogUnits(this).toPixelsX(kSavedPanelWidth));

    connect(m_saved, &QListWidget::currentRowChanged, this, &QueryWizardDialog::updateButtons);
    connect(m_saved, &QListWidget::itemDoubleClicked, this, &QueryWizardDialog::runSavedClicked);
    connect(m_description, &QLineEdit::textChanged, this, &QueryWizardDialog::updateButtons);
    connect(m_runQuery, &QPushButton::clicked, this, &QueryWizardDialog::runSavedClicked);
    connect(m_editQuery, &QPushButton::clicked, this, &QueryWizardDialog::editSavedClicked);
    connect(m_deleteQuery, &QPushButton::clicked, this, &QueryWizardDialog::deleteSavedClicked);
    connect(m_addQuery, &QPushButton::clicked, this, &QueryWizardDialog::addSavedClicked);
    return box;
}

QWidget* QueryWizardDialog::buildElementsPanel() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_rowArea = new QWidget;
    m_rowLayout = new QVBoxLayout(m_rowArea);
    m_rowLayout->addStretch(1);
    auto* scroll = new QScrollArea(panel);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_rowArea);
    layout->addWidget(scroll, 1);

    m_addAnd = button(queryWizardText(kTextAddAnd), panel);
    m_addOr = button(QStringLiteral("Add a New OR Query Element"), panel);
    auto* adds = new QHBoxLayout;
    adds->addWidget(m_addAnd);
    adds->addWidget(m_addOr);
    adds->addStretch(1);
    layout->addLayout(adds);
    connect(m_addAnd, &QPushButton::clicked, this, [this] { addElement(QueryJoin::And); });
    connect(m_addOr, &QPushButton::clicked, this, [this] { addElement(QueryJoin::Or); });
    return panel;
}

QWidget* QueryWizardDialog::buildCurrentPanel() {
    auto* box = new QGroupBox(queryWizardText(kTextCurrentQuery), this);
    auto* layout = new QVBoxLayout(box);
    m_current = new QPlainTextEdit(box);
    m_problem = new QLabel(box);
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b00020"));
    m_manual = new QCheckBox(queryWizardText(kTextManual), box);
    layout->addWidget(m_current, 1);
    layout->addWidget(m_problem);
    layout->addWidget(m_manual);
    connect(m_current, &QPlainTextEdit::textChanged, this, &QueryWizardDialog::manualEdited);
    return box;
}

QWidget* QueryWizardDialog::buildButtons() {
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    m_newQuery = button(queryWizardText(kTextNewQuery), bar);
    m_finish = button(queryWizardText(kTextFinish), bar);
    m_finish->setToolTip(queryWizardText(kTextFinishHint));
    m_finish->setDefault(true);
    m_cancel = button(QStringLiteral("Cancel"), bar);
    layout->addWidget(m_newQuery);
    layout->addStretch(1);
    layout->addWidget(m_finish);
    layout->addWidget(m_cancel);
    connect(m_newQuery, &QPushButton::clicked, this, &QueryWizardDialog::newQueryClicked);
    connect(m_finish, &QPushButton::clicked, this, &QueryWizardDialog::finishClicked);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    return bar;
}

void QueryWizardDialog::start() {
    // The wizard opens over the frame and inside it.
    centreOver(this, parentWidget());
    open();
    m_wizard.reloadSavedQueries();
    refreshSaved();
}

QueryWizardDialog* QueryWizardDialog::run(QueryFieldList fields, const QString& collectionDir,
                                          Prompter& prompter, const QString& currentFilter, QWidget* parent,
                                          std::function<void(const QueryWizardResult&)> done) {
    auto* dialog = new QueryWizardDialog(std::move(fields), collectionDir, prompter, currentFilter, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QueryWizardDialog::queryFinished, dialog,
            [done = std::move(done)](const QueryWizardResult& result) {
                if (done) {
                    done(result);
                }
            });
    dialog->start();
    return dialog;
}

void QueryWizardDialog::rebuildRows() {
    for (QueryElementRow* row : m_rows) {
        row->deleteLater();
        row->hide();
    }
    m_rows.clear();
    const QVector<QueryElement>& elements = m_wizard.query().elements;
    for (int i = 0; i < elements.size(); ++i) {
        auto* row = new QueryElementRow(m_wizard.fields(), elements[i], i == 0, m_rowArea);
        m_rowLayout->insertWidget(i, row);
        row->show();
        connect(row, &QueryElementRow::changed, this, &QueryWizardDialog::rowChanged);
        connect(row, &QueryElementRow::removeRequested, this, [this, row] { removeRow(row); });
        m_rows << row;
    }
    showCurrent();
}

void QueryWizardDialog::rowChanged() {
    QVector<QueryElement>& elements = m_wizard.query().elements;
    for (int i = 0; i < m_rows.size() && i < elements.size(); ++i) {
        elements[i] = m_rows[i]->element();
    }
    showCurrent();
}

void QueryWizardDialog::removeRow(QueryElementRow* row) {
    m_wizard.removeElement(static_cast<int>(m_rows.indexOf(row)));
    rebuildRows();
}

void QueryWizardDialog::addElement(QueryJoin join) {
    m_wizard.addElement(join);
    rebuildRows();
    m_rows.last()->fieldBox()->setFocus();
}

void QueryWizardDialog::manualToggled(bool manual) {
    m_wizard.setManual(manual);
    m_rowArea->setEnabled(!manual);
    m_addAnd->setEnabled(!manual);
    m_addOr->setEnabled(!manual);
    m_current->setReadOnly(!manual);
    if (manual) {
        m_showing = true;
        m_current->setPlainText(m_wizard.query().manualText);
        m_showing = false;
    }
    showCurrent();
}

void QueryWizardDialog::manualEdited() {
    if (m_showing || !m_wizard.query().manual) {
        return;
    }
    m_wizard.query().manualText = m_current->toPlainText();
    showCurrent();
}

void QueryWizardDialog::showCurrent() {
    const QueryCheck check = m_wizard.currentText();
    if (!m_wizard.query().manual) {
        m_showing = true;
        m_current->setPlainText(check.text);
        m_showing = false;
    }
    m_problem->setText(check.problem);
}

void QueryWizardDialog::refreshSaved() {
    const QString selected = selectedSaved();
    m_saved->clear();
    for (const SavedQuery& q : m_wizard.savedQueries()) {
        m_saved->addItem(q.description);
    }
    const QList<QListWidgetItem*> found = m_saved->findItems(selected, Qt::MatchFixedString);
    if (!found.isEmpty()) {
        m_saved->setCurrentItem(found.first());
    }
    updateButtons();
}

QString QueryWizardDialog::selectedSaved() const {
    const QListWidgetItem* item = m_saved->currentItem();
    return item ? item->text() : QString();
}

void QueryWizardDialog::updateButtons() {
    const bool selected = m_saved->currentItem() != nullptr;
    m_runQuery->setEnabled(selected);
    m_editQuery->setEnabled(selected);
    m_deleteQuery->setEnabled(selected);
    m_addQuery->setEnabled(!m_description->text().trimmed().isEmpty());
}

void QueryWizardDialog::finishClicked() {
    if (m_wizard.finish()) {
        accept();
    }
}

void QueryWizardDialog::runSavedClicked() {
    if (!selectedSaved().isEmpty() && m_wizard.runSavedQuery(selectedSaved())) {
        accept();
    }
}

void QueryWizardDialog::editSavedClicked() {
    const QString name = selectedSaved();
    if (name.isEmpty() || !m_wizard.editSavedQuery(name)) {
        return;
    }
    m_description->setText(name);
    rebuildRows();
    const QSignalBlocker block(m_manual);
    m_manual->setChecked(m_wizard.query().manual);
    manualToggled(m_wizard.query().manual);
}

void QueryWizardDialog::deleteSavedClicked() {
    if (!selectedSaved().isEmpty()) {
        m_wizard.removeSavedQuery(selectedSaved());
        refreshSaved();
    }
}

void QueryWizardDialog::addSavedClicked() {
    if (m_wizard.addSavedQuery(m_description->text())) {
        refreshSaved();
        const QList<QListWidgetItem*> found =
            m_saved->findItems(m_description->text().trimmed(), Qt::MatchFixedString);
        if (!found.isEmpty()) {
            m_saved->setCurrentItem(found.first());
        }
    }
}

void QueryWizardDialog::newQueryClicked() {
    m_wizard.newQuery();
    m_description->clear();
    rebuildRows();
    const QSignalBlocker block(m_manual);
    m_manual->setChecked(false);
    manualToggled(false);
}

} // namespace tunarium
