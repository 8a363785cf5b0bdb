// Conversions and comparisons of compiled filter values.
#include "data/filter_value.h"

#include "data/fold_key.h"
#include "data/row.h"

#include <algorithm>

namespace tunarium::filter {

void fail(int position, const QString& reason) {
    throw Failure{FilterError{position, reason}};
}

SqlBuilder& SqlBuilder::operator<<(const QString& text) {
    QChar quote;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            quote = c == quote ? QChar() : quote;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'(') {
            m_deepest = std::max(m_deepest, ++m_open);
        } else if (c == u')') {
            --m_open;
        }
    }
    m_sql += text;
    return *this;
}

SqlBuilder& SqlBuilder::operator<<(const Value& value) {
    if (m_sql.size() + value.sql.size() > kMaxSqlLength ||
        m_binds.size() + value.binds.size() > kMaxSqlBinds) {
        fail(value.position, QStringLiteral("Expression too long"));
    }
    m_deepest = std::max(m_deepest, m_open + value.depth);
    m_sql += value.sql;
    m_binds += value.binds;
    return *this;
}

Value SqlBuilder::make(ValueType type, int position) const {
    if (m_deepest > kMaxSqlNesting) {
        fail(position, QStringLiteral("Expression nested too deeply"));
    }
    Value v;
    v.type = type;
    v.sql = m_sql;
    v.binds = m_binds;
    v.position = position;
    v.depth = m_deepest;
    return v;
}

namespace {

bool isNumberType(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

QVariant normalNumber(const QVariant& value) {
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        return value.toDouble();
    }
    return value.toLongLong();
}

// A constant value of another type, keeping it a constant so that later steps can still fold or
// clip it before it is bound.
Value withConstant(const Value& from, ValueType type, const QVariant& value) {
    Value v = constantValue(value, from.position);
    v.type = type;
    return v;
}

} // namespace

Value constantValue(const QVariant& value, int position) {
    Value v;
    v.position = position;
    v.sql = QStringLiteral("?");
    if (isNumberType(value)) {
        v.type = ValueType::Number;
        v.constant = normalNumber(value);
    } else {
        v.type = ValueType::Text;
        const QString text = value.isValid() ? value.toString() : QString();
        v.constant = text;
        v.clipped = !text.endsWith(u' ');
    }
    v.binds = {*v.constant};
    return v;
}

Value asText(const Value& v) {
    if (v.isText()) {
        return v;
    }
    if (v.constant) {
        return withConstant(v, ValueType::Text, v.constant->toString());
    }
    Value out = (SqlBuilder() << "CAST(" << v << " AS TEXT)").make(ValueType::Text, v.position);
    out.clipped = true;
    return out;
}

Value asNumber(const Value& v) {
    if (v.type == ValueType::Number) {
        return v;
    }
    if (v.type == ValueType::Condition) {
        Value out = v;
        out.type = ValueType::Number;
        return out;
    }
    return (SqlBuilder() << "CAST(" << v << " AS NUMERIC)").make(ValueType::Number, v.position);
}

Value clipped(const Value& v) {
    if (v.clipped) {
        return v;
    }
    if (v.constant) {
        Value out = withConstant(v, ValueType::Text, trimTrailingBlanks(v.constant->toString()));
        out.folded = v.folded;
        return out;
    }
    Value out = (SqlBuilder() << "rtrim(" << v << ", ' ')").make(ValueType::Text, v.position);
    out.clipped = true;
    out.folded = v.folded;
    return out;
}

Value folded(const Value& from) {
    const Value v = asText(from);
    if (v.folded) {
        return v;
    }
    Value out;
    if (v.constant) {
        out = withConstant(v, ValueType::Text, caseFold(v.constant->toString()));
    } else if (!v.keySql.isEmpty()) {
        // The case-folded text is the part of the key after its separator, or the whole key when
        // it has none (instr gives 0): read from the stored key without calling the program.
        out = (SqlBuilder() << "substr(" << v.keySql << ", instr(" << v.keySql << ", char(1)) + 1)")
                  .make(ValueType::Text, v.position);
        out.keySql = v.keySql;
        out.fromKey = true;
    } else {
        out = (SqlBuilder() << "tunarium_casefold(" << v << ")").make(ValueType::Text, v.position);
    }
    out.folded = true;
    out.clipped = true; // the folding drops trailing blanks
    return out;
}

namespace {

// The folded key of a text: what case-insensitive comparisons compare, so that they follow the
// order of the keys.
Value keyOf(const Value& v) {
    if (!v.keySql.isEmpty()) {
        return (SqlBuilder() << v.keySql).make(ValueType::Text, v.position);
    }
    if (v.constant) {
        return withConstant(v, ValueType::Text, foldKey(v.constant->toString()));
    }
    return (SqlBuilder() << "tunarium_fold(" << v << ")").make(ValueType::Text, v.position);
}

bool isZero(const Value& v) {
    return v.constant && v.type == ValueType::Number && v.constant->toDouble() == 0;
}

// A position compared with 0 as a bound: "<> 0" as "> 0", "= 0" as "<= 0". They find the same
// records. A server's planner, which knows nothing of positions, guesses 1 record in 200 for
// "= 0" (what a denied "<> 0" becomes) and a third for a bound: the songs without a word seemed
// so rare that it sorted all of them instead of walking the key for a page.
QString boundedOperator(const Value& left, const QString& op, const Value& right) {
    const bool leftPosition = left.neverNegative && isZero(right);
    const bool rightPosition = right.neverNegative && isZero(left);
    if (!leftPosition && !rightPosition) {
        return op;
    }
    if (op == u"<>") {
        return leftPosition ? QStringLiteral(">") : QStringLiteral("<");
    }
    if (op == u"=") {
        return leftPosition ? QStringLiteral("<=") : QStringLiteral(">=");
    }
    return op;
}

} // namespace

Value truth(const Value& v) {
    if (v.type == ValueType::Condition) {
        return v;
    }
    if (v.isText()) {
        return (SqlBuilder() << "(" << clipped(v) << " <> '')").make(ValueType::Condition, v.position);
    }
    return (SqlBuilder() << "(" << v << " <> 0)").make(ValueType::Condition, v.position);
}

Value compare(const Value& a, const QString& op, const Value& b) {
    Value left = a;
    Value right = b;
    if (left.isText() && right.isText()) {
        const bool ignoreCase = left.folded || right.folded;
        left = ignoreCase ? keyOf(left) : clipped(left);
        right = ignoreCase ? keyOf(right) : clipped(right);
    } else {
        left = asNumber(left);
        right = asNumber(right);
    }
    return (SqlBuilder() << "(" << left << " " << boundedOperator(left, op, right) << " " << right << ")")
        .make(ValueType::Condition, a.position);
}

QString comparisonOperator(const QString& op) {
    if (op == u"=" || op == u"<" || op == u">" || op == u"<>" || op == u"<=" || op == u">=") {
        return op;
    }
    if (op == u"~=") {
        return QStringLiteral("<>");
    }
    if (op == u"=<" || op == u"~>") {
        return QStringLiteral("<=");
    }
    if (op == u"=>" || op == u"~<") {
        return QStringLiteral(">=");
    }
    return {};
}

} // namespace tunarium::filter
