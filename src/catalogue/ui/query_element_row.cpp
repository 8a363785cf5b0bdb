// A query element's controls.
#include "catalogue/ui/query_element_row.h"

#include "ui/dialog_units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>

namespace tunarium {

namespace {

constexpr int kTextAnd = 103;
constexpr int kTextOr = 127;
constexpr int kTextCaseSensitive = 162;
// Texts 151 to 153 name the value sources in their numbered order.
constexpr int kTextFirstSource = 151;

enum ValuePage { kPageText, kPageCheck, kPageChoice, kPageField };

QString withoutMnemonic(QString text) {
    return text.remove(u'&');
}

void selectData(QComboBox* box, const QVariant& data) {
    const int i = box->findData(data);
    box->setCurrentIndex(i >= 0 ? i : 0);
}

} // namespace

QStringList queryFieldTitles(const QueryFieldList& fields) {
    QHash<QString, int> uses;
    for (const QueryField& f : fields.fields) {
        ++uses[f.label.toCaseFolded()];
    }
    QStringList titles;
    for (const QueryField& f : fields.fields) {
        titles << (uses.value(f.label.toCaseFolded()) > 1 ? QStringLiteral("%1 (%2)").arg(f.label, f.name)
                                                          : f.label);
    }
    return titles;
}

QueryElementRow::QueryElementRow(const QueryFieldList& fields, const QueryElement& element, bool first,
                                 QWidget* parent)
    : QWidget(parent), m_fields(fields), m_element(element) {
    build(first);
    m_filling = true;
    m_join->setCurrentIndex(m_element.join == QueryJoin::And ? 0 : 1);
    const QStringList titles = queryFieldTitles(fields);
    for (int i = 0; i < fields.fields.size(); ++i) {
        m_field->addItem(titles[i], fields.fields[i].name);
        m_otherField->addItem(titles[i], fields.fields[i].name);
    }
    const int field = fields.indexOf(m_element.field);
    if (field < 0) {
        // A saved query may name a field the list no longer has: show it, the checks say why.
        m_field->insertItem(0, m_element.field, m_element.field);
    }
    m_field->setCurrentIndex(field < 0 ? 0 : field);
    selectData(m_source, static_cast<int>(m_element.source));
    m_case->setChecked(m_element.caseSensitive);
    fillOperators();
    fillValue();
    showValue();
    m_filling = false;
}

void QueryElementRow::build(bool first) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    m_join = new QComboBox(this);
    m_join->addItems({queryWizardText(kTextAnd), queryWizardText(kTextOr)});
    QSizePolicy keep = m_join->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_join->setSizePolicy(keep);
    m_join->setVisible(!first);

    m_field = new QComboBox(this);
    m_field->setMinimumContentsLength(18);
    m_field->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_operator = new QComboBox(this);
    m_source = new QComboBox(this);
    for (auto source :
         {QueryValueSource::Constant, QueryValueSource::Expression, QueryValueSource::AnotherField}) {
        m_source->addItem(withoutMnemonic(queryWizardText(kTextFirstSource - 1 + static_cast<int>(source))),
                          static_cast<int>(source));
    }

    m_value = new QStackedWidget(this);
    m_text = new QLineEdit(m_value);
    m_check = new QCheckBox(m_value);
    m_choice = new QComboBox(m_value);
    m_otherField = new QComboBox(m_value);
    for (QWidget* page : std::initializer_list<QWidget*>{m_text, m_check, m_choice, m_otherField}) {
        m_value->addWidget(page);
    }
    m_value->setMinimumWidth(DialogUnits(this).toPixelsX(70));

    m_case = new QCheckBox(QStringLiteral("Match Case"), this);
    m_case->setToolTip(queryWizardText(kTextCaseSensitive));
    m_remove = new QPushButton(QStringLiteral("Remove"), this);

    for (QWidget* w : std::initializer_list<QWidget*>{m_join, m_field, m_operator, m_source}) {
        layout->addWidget(w);
    }
    layout->addWidget(m_value, 1);
    layout->addWidget(m_case);
    layout->addWidget(m_remove);

    connect(m_field, &QComboBox::currentIndexChanged, this, &QueryElementRow::fieldChosen);
    for (QComboBox* box : {m_join, m_operator, m_source, m_choice, m_otherField}) {
        connect(box, &QComboBox::currentIndexChanged, this, &QueryElementRow::readControls);
    }
    connect(m_text, &QLineEdit::textChanged, this, &QueryElementRow::readControls);
    connect(m_check, &QCheckBox::toggled, this, &QueryElementRow::readControls);
    connect(m_case, &QCheckBox::toggled, this, &QueryElementRow::readControls);
    connect(m_remove, &QPushButton::clicked, this, &QueryElementRow::removeRequested);
}

void QueryElementRow::fillOperators() {
    const QueryField* field = m_fields.find(m_element.field);
    QVector<QueryOperator> ops = field ? field->operators() : QVector<QueryOperator>{m_element.op};
    if (field && !ops.contains(m_element.op)) {
        m_element.op = ops.first();
    }
    m_operator->clear();
    for (QueryOperator op : ops) {
        m_operator->addItem(queryOperatorText(op), static_cast<int>(op));
    }
    selectData(m_operator, static_cast<int>(m_element.op));
}

void QueryElementRow::fillValue() {
    const QueryField* field = m_fields.find(m_element.field);
    m_text->setText(m_element.value);
    m_check->setText(field ? field->checkCaption : QString());
    m_check->setChecked(m_element.value.trimmed() == u"1");
    m_choice->clear();
    if (field) {
        m_choice->addItems(field->choices);
    }
    const int choice = m_choice->findText(m_element.value.trimmed(), Qt::MatchFixedString);
    m_choice->setCurrentIndex(choice >= 0 ? choice : 0);
    selectData(m_otherField, m_element.value);
}

void QueryElementRow::showValue() {
    const QueryField* field = m_fields.find(m_element.field);
    const bool checkOp =
        m_element.op == QueryOperator::IsChecked || m_element.op == QueryOperator::IsNotChecked;
    ValuePage page = kPageText;
    if (m_element.source == QueryValueSource::AnotherField) {
        page = kPageField;
    } else if (m_element.source == QueryValueSource::Constant && field) {
        page = field->entryKind == QueryEntryKind::CheckBox     ? kPageCheck
               : field->entryKind == QueryEntryKind::ChoiceList ? kPageChoice
                                                                : kPageText;
    }
    m_value->setCurrentIndex(page);
    m_value->setEnabled(!checkOp);
    m_source->setEnabled(!checkOp);
    m_case->setEnabled(!checkOp && field && field->valueKind == QueryValueKind::Text);
}

void QueryElementRow::fieldChosen() {
    if (m_filling) {
        return;
    }
    const QueryField* before = m_fields.find(m_element.field);
    m_element.field = m_field->currentData().toString();
    const QueryField* field = m_fields.find(m_element.field);
    m_filling = true;
    if (field && (!before || before->entryKind != field->entryKind)) {
        m_element.op = field->operators().first();
        m_element.value = field->entryKind == QueryEntryKind::CheckBox     ? QStringLiteral("1")
                          : field->entryKind == QueryEntryKind::ChoiceList ? field->choices.value(0)
                                                                           : QString();
    }
    fillOperators();
    fillValue();
    showValue();
    m_filling = false;
    readControls();
}

void QueryElementRow::readControls() {
    if (m_filling) {
        return;
    }
    const QueryField* field = m_fields.find(m_element.field);
    m_element.join = m_join->currentIndex() == 1 ? QueryJoin::Or : QueryJoin::And;
    m_element.op = static_cast<QueryOperator>(m_operator->currentData().toInt());
    m_element.source = static_cast<QueryValueSource>(m_source->currentData().toInt());
    m_element.caseSensitive = m_case->isChecked();
    if (m_element.source == QueryValueSource::AnotherField) {
        m_element.value = m_otherField->currentData().toString();
    } else if (m_element.source == QueryValueSource::Constant && field &&
               field->entryKind == QueryEntryKind::CheckBox) {
        m_element.value = m_check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    } else if (m_element.source == QueryValueSource::Constant && field &&
               field->entryKind == QueryEntryKind::ChoiceList) {
        m_element.value = m_choice->currentText();
    } else {
        m_element.value = m_text->text();
    }
    m_filling = true;
    showValue();
    m_filling = false;
    emit changed();
}

} // namespace tunarium
