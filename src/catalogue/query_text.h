// A query as the query wizard builds it (elements joined by AND and OR, or an expression typed by
// hand) and its filter text, checked before any list or report uses it.
#pragma once

#include "catalogue/query_fields.h"

#include <QString>
#include <QVector>

#include <optional>

namespace tunarium {

// The longest filter text a query may have.
inline constexpr int kQueryTextWidth = 1024;

enum class QueryJoin { And, Or };

// Where an element's value comes from, numbered as the wizard's texts 151 to 153.
enum class QueryValueSource { Constant = 1, Expression, AnotherField };

struct QueryElement {
    QueryJoin join = QueryJoin::And; // how it joins the elements before it; unused on the first
    QString field;                   // a field of the list: "TUN:Artist"
    QueryOperator op = QueryOperator::IsEqualTo;
    QueryValueSource source = QueryValueSource::Constant;
    // Constant: the text as typed or chosen ("1" or "0" for a check box). Expression: a filter
    // expression. Another field: that field's name.
    QString value;
    bool caseSensitive = false;

    bool operator==(const QueryElement&) const = default;
};

struct Query {
    bool manual = false; // the text was typed by hand ("Manually Enter Query Criteria")
    QString manualText;
    QVector<QueryElement> elements;

    bool operator==(const Query&) const = default;
};

// A filter text, or why there is none.
struct QueryCheck {
    QString text;
    QString problem;

    bool ok() const { return problem.isEmpty(); }
};

// The wizard's display text `number` as start-up set it; set now when start-up has not run (the
// command line, tests).
QString queryWizardText(int number);

// The display text of an operator ("Is Equal To"), and the operator of a display text.
QString queryOperatorText(QueryOperator op);
std::optional<QueryOperator> queryOperatorFromText(QStringView text);

// The filter text of one element. A constant reaches the filter as a literal: text as typed
// (quotes, backslashes, % and _ included), numbers read through the field's picture (a date
// field also takes a bare year of up to four digits). A value that the field cannot hold, a
// field or operator the list does not offer for it, give a problem instead.
QueryCheck queryElementFilter(const QueryElement& element, const QueryFieldList& fields);

// The elements as one text, each in parentheses, AND binding closer than OR:
// "(A) AND (B) OR (C)" selects what A and B select together, and what C selects. No element gives
// a blank text (every record). Not checked as a whole; see checkQuery.
QueryCheck joinQueryElements(const QVector<QueryElement>& elements, const QueryFieldList& fields);

// The filter text of a query, checked: it must compile against the list's base table (so an
// unknown field or a text that does not parse is refused, with the reason) and fit
// kQueryTextWidth characters.
QueryCheck checkQuery(const Query& query, const QueryFieldList& fields);
QueryCheck checkQueryText(const QString& text, TableId base);

} // namespace tunarium
