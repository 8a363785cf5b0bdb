// One element of a query in the query wizard dialog: how it joins the elements before it, a field,
// an operator, where the value comes from, the value in the form the field's entry kind asks for
// (typed, a check box or a choice list), and whether case counts.
#pragma once

#include "catalogue/query_text.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace tunarium {

class QueryElementRow : public QWidget {
    Q_OBJECT
public:
    // `first` rows have no join: they start the query.
    QueryElementRow(const QueryFieldList& fields, const QueryElement& element, bool first,
                    QWidget* parent = nullptr);

    // The element as the controls show it now.
    const QueryElement& element() const { return m_element; }

    QComboBox* fieldBox() const { return m_field; }
    QComboBox* operatorBox() const { return m_operator; }
    QComboBox* sourceBox() const { return m_source; }
    QLineEdit* valueEdit() const { return m_text; }
    QCheckBox* valueCheck() const { return m_check; }
    QComboBox* choiceBox() const { return m_choice; }
    QComboBox* otherFieldBox() const { return m_otherField; }
    QCheckBox* caseCheck() const { return m_case; }

signals:
    void changed();
    void removeRequested();

private:
    void build(bool first);
    void fillOperators();
    void fillValue();
    void showValue();
    void fieldChosen();
    void readControls();

    // A copy (implicitly shared): the dialog's session is gone before its child rows are.
    const QueryFieldList m_fields;
    QueryElement m_element;
    bool m_filling = false;

    QComboBox* m_join = nullptr;
    QComboBox* m_field = nullptr;
    QComboBox* m_operator = nullptr;
    QComboBox* m_source = nullptr;
    QStackedWidget* m_value = nullptr;
    QLineEdit* m_text = nullptr;
    QCheckBox* m_check = nullptr;
    QComboBox* m_choice = nullptr;
    QComboBox* m_otherField = nullptr;
    QCheckBox* m_case = nullptr;
    QPushButton* m_remove = nullptr;
};

// The label of each field as the dialog lists it; labels that two fields share ("Media") carry the
// field name.
QStringList queryFieldTitles(const QueryFieldList& fields);

} // namespace tunarium
