// Filter texts of wizard queries, and their checks.
#include "catalogue/query_text.h"

#include "catalogue/query_wizard_setup.h"
#include "data/filter_expression.h"
#include "data/pictures.h"

namespace tunarium {

namespace {

constexpr int kFirstOperator = static_cast<int>(QueryOperator::IsEqualTo);
constexpr int kLastOperator = static_cast<int>(QueryOperator::IsNotChecked);

bool isCheckOperator(QueryOperator op) {
    return op == QueryOperator::IsChecked || op == QueryOperator::IsNotChecked;
}

// Text that stands for zero in every numeric picture: "0", "0:00", "00/00/0000".
bool isZeroText(QStringView text) {
    for (QChar c : text) {
        if (c != u'0' && !QStringView(u" :/.-,+").contains(c)) {
            return false;
        }
    }
    return true;
}

bool isShortDigits(QStringView text, int most) {
    if (text.isEmpty() || text.size() > most) {
        return false;
    }
    for (QChar c : text) {
        if (!c.isDigit() || c.unicode() > 127) {
            return false;
        }
    }
    return true;
}

// A number typed for a number field, as a literal; nothing when the field's picture cannot read it.
std::optional<QString> numberLiteral(const QueryField& field, const QString& typed) {
    const QString text = typed.trimmed();
    if (isZeroText(text)) {
        return QStringLiteral("0");
    }
    const Picture picture = Picture::parse(field.picture);
    // A release date may hold a bare year.
    if (picture.kind() == Picture::Kind::Date && isShortDigits(text, 4)) {
        return QString::number(text.toLongLong());
    }
    QVariant value = picture.isNumeric() ? picture.deformat(text) : QVariant();
    if (!picture.isNumeric()) {
        bool ok = false;
        const double d = text.toDouble(&ok);
        value = ok ? QVariant(d) : QVariant(0);
    }
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        return d == 0 ? std::nullopt : std::optional(QString::number(d, 'g', 15));
    }
    const qint64 n = value.toLongLong();
    return n == 0 ? std::nullopt : std::optional(QString::number(n));
}

// The value side of an element as an expression text.
QueryCheck valueText(const QueryElement& e, const QueryField& field, const QueryFieldList& fields) {
    if (isCheckOperator(e.op)) {
        return {QString(), QString()};
    }
    switch (e.source) {
    case QueryValueSource::Expression:
        if (e.value.trimmed().isEmpty()) {
            return {{}, QStringLiteral("Type an expression to compare %1 with.").arg(field.label)};
        }
        return {QStringLiteral("(%1)").arg(e.value.trimmed()), {}};
    case QueryValueSource::AnotherField: {
        const QueryField* other = fields.find(e.value);
        if (!other) {
            return {{}, QStringLiteral("Choose the field to compare %1 with.").arg(field.label)};
        }
        return {other->name, {}};
    }
    case QueryValueSource::Constant:
        break;
    }
    if (field.entryKind == QueryEntryKind::CheckBox) {
        return {e.value.trimmed() == u"1" ? QStringLiteral("1") : QStringLiteral("0"), {}};
    }
    if (field.valueKind == QueryValueKind::Text) {
        return {filterLiteral(e.value), {}};
    }
    const std::optional<QString> number = numberLiteral(field, e.value);
    if (!number) {
        return {{},
                QStringLiteral("\"%1\" is not a valid value for %2.").arg(e.value.trimmed(), field.label)};
    }
    return {*number, {}};
}

} // namespace

QString queryWizardText(int number) {
    if (!queryWizardSetup().initialised) {
        initialiseQueryWizard();
    }
    return queryWizardSetup().text(number);
}

QString queryOperatorText(QueryOperator op) {
    return queryWizardText(static_cast<int>(op));
}

std::optional<QueryOperator> queryOperatorFromText(QStringView text) {
    for (int n = kFirstOperator; n <= kLastOperator; ++n) {
        const auto op = static_cast<QueryOperator>(n);
        if (text.trimmed().compare(queryOperatorText(op), Qt::CaseInsensitive) == 0) {
            return op;
        }
    }
    return std::nullopt;
}

QueryCheck queryElementFilter(const QueryElement& e, const QueryFieldList& fields) {
    const QueryField* field = fields.find(e.field);
    if (!field) {
        return {{},
                e.field.trimmed().isEmpty()
                    ? QStringLiteral("Choose a field for every query element.")
                    : QStringLiteral("The field %1 cannot be searched.").arg(e.field.trimmed())};
    }
    if (!field->operators().contains(e.op)) {
        return {
            {},
            QStringLiteral("%1 cannot be compared with \"%2\".").arg(field->label, queryOperatorText(e.op))};
    }
    const QueryCheck value = valueText(e, *field, fields);
    if (!value.ok()) {
        return value;
    }
    return {queryElementText(field->name, e.op, value.text, e.caseSensitive), {}};
}

QueryCheck joinQueryElements(const QVector<QueryElement>& elements, const QueryFieldList& fields) {
    QueryCheck out;
    for (int i = 0; i < elements.size(); ++i) {
        const QueryCheck one = queryElementFilter(elements[i], fields);
        if (!one.ok()) {
            return {{}, QStringLiteral("Query element %1: %2").arg(i + 1).arg(one.problem)};
        }
        if (i > 0) {
            out.text += elements[i].join == QueryJoin::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
        }
        out.text += u'(' + one.text + u')';
    }
    return out;
}

QueryCheck checkQueryText(const QString& whole, TableId base) {
    const QString text = whole.trimmed();
    if (text.size() > kQueryTextWidth) {
        return {{},
                QStringLiteral("The query is %1 characters long; a query can have at most %2.")
                    .arg(text.size())
                    .arg(kQueryTextWidth)};
    }
    const CompiledFilter compiled = compileFilter(text, base);
    if (!compiled.ok()) {
        return {{}, compiled.error.message()};
    }
    return {text, {}};
}

QueryCheck checkQuery(const Query& query, const QueryFieldList& fields) {
    if (query.manual) {
        return checkQueryText(query.manualText, fields.base);
    }
    const QueryCheck joined = joinQueryElements(query.elements, fields);
    return joined.ok() ? checkQueryText(joined.text, fields.base) : joined;
}

} // namespace tunarium
