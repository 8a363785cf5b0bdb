// Parser of filter expressions and their compilation to SQL conditions.
#include "data/filter_expression.h"

#include "data/filter_functions.h"
#include "data/filter_lexer.h"
#include "data/filter_value.h"
#include "data/schema_sql.h"
#include "data/schema_sql_lookup.h"
#include "data/store_probe.h"

#include <limits>

namespace tunarium {

using namespace filter;

namespace {

// Deeper nesting than any filter a person writes; it keeps the parser's recursion and the depth of
// the SQL expression well inside their limits.
constexpr int kMaxNesting = 32;

QString qualified(const TableDef& t, const QString& column) {
    return sql::quoted(t.label) + u'.' + sql::quoted(column);
}

Value columnValue(const TableDef& t, int field, int position) {
    Value v;
    v.type = t.field(field).isText() ? ValueType::Text : ValueType::Number;
    v.sql = qualified(t, sql::fieldColumn(t, field));
    v.clipped = true; // text is stored without trailing blanks
    if (sql::hasFoldedColumn(t, field)) {
        v.keySql = qualified(t, sql::foldedColumn(t, field));
    }
    v.position = position;
    return v;
}

const RelationDef* relationBetween(const TableDef& child, const TableDef& parent) {
    const RelationDef* found = nullptr;
    for (const RelationDef& r : relations()) {
        if (r.child == child.id && r.parent == parent.id && (!found || !r.throughAlias)) {
            found = &r;
        }
    }
    return found;
}

// The parent's key that finds a record by `field`: the first key led by it, unique ones first.
int lookupKey(const TableDef& t, int field) {
    int found = -1;
    for (int k = 0; k < t.keys.size(); ++k) {
        if (t.key(k).components.first() == field &&
            (found < 0 || (t.key(k).unique && !t.key(found).unique))) {
            found = k;
        }
    }
    return found;
}

// A field of the record that a record of `base` refers to, as a correlated sub-select through
// the parent's key; blank or zero when no record is referred to, as a joined lookup reads.
Value lookupValue(const TableDef& base, const TableDef& parent, int field, const Token& token) {
    const RelationDef* r = relationBetween(base, parent);
    if (!r) {
        fail(token.position, QStringLiteral("%1 cannot be reached from %2").arg(token.text, base.label));
    }
    const int childField = r->childField;
    const int parentField = r->parentField;
    const int key = lookupKey(parent, parentField);
    QString where;
    if (key >= 0 && parent.key(key).caseInsensitive && parent.field(parentField).type == FieldType::String) {
        const QString child = sql::hasFoldedColumn(base, childField)
                                  ? qualified(base, sql::foldedColumn(base, childField))
                                  : QStringLiteral("tunarium_fold(") +
                                        qualified(base, sql::fieldColumn(base, childField)) + u')';
        where = qualified(parent, sql::foldedColumn(parent, parentField)) + QStringLiteral(" = ") + child;
    } else {
        where = qualified(parent, sql::fieldColumn(parent, parentField)) + QStringLiteral(" = ") +
                qualified(base, sql::fieldColumn(base, childField));
    }
    // The partial index of a key is used only when its condition is repeated.
    const QString blank = key >= 0 ? sql::blankCondition(parent, key) : QString();
    if (!blank.isEmpty()) {
        where += QStringLiteral(" AND ") + blank;
    }
    const bool text = parent.field(field).isText();
    const auto select = [&](const QString& column) { return sql::lookupSelect(parent, column, where, text); };
    Value v = (SqlBuilder() << select(sql::fieldColumn(parent, field)))
                  .make(text ? ValueType::Text : ValueType::Number, token.position);
    v.clipped = true;
    if (sql::hasFoldedColumn(parent, field)) {
        v.keySql = select(sql::foldedColumn(parent, field));
    }
    return v;
}

class Parser {
public:
    Parser(const QVector<Token>& tokens, const TableDef& base, const FilterBindings& names)
        : m_tokens(tokens), m_base(base), m_names(names) {}

    Value filter() {
        const Value v = orExpr();
        if (peek().kind != TokenKind::End) {
            fail(peek().position, QStringLiteral("Unexpected %1").arg(describe(peek())));
        }
        return truth(v);
    }

private:
    // Counts one level of nesting for as long as it lives.
    class Nesting {
    public:
        Nesting(int& depth, int position) : m_depth(depth) {
            if (++m_depth > kMaxNesting) {
                fail(position, QStringLiteral("Expression nested too deeply"));
            }
        }
        ~Nesting() { --m_depth; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        int& m_depth;
    };

    const Token& peek() const { return m_tokens[m_next]; }
    const Token& take() { return m_tokens[m_next < m_tokens.size() - 1 ? m_next++ : m_next]; }

    bool isKeyword(const Token& t, const char* word) const {
        return t.kind == TokenKind::Name && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isKeyword(const Token& t) const {
        return isKeyword(t, "AND") || isKeyword(t, "OR") || isKeyword(t, "NOT");
    }
    bool isOperator(const Token& t, const char* op) const {
        return t.kind == TokenKind::Operator && t.text == QLatin1String(op);
    }

    static QString describe(const Token& t) {
        switch (t.kind) {
        case TokenKind::End:
            return QStringLiteral("end of text");
        case TokenKind::Text:
            return QStringLiteral("string");
        default:
            return t.text;
        }
    }

    // AND and OR chains stay flat in SQL, so that long chains do not nest.
    Value chain(const char* keyword, Value (Parser::*operand)()) {
        Value first = (this->*operand)();
        if (!isKeyword(peek(), keyword)) {
            return first;
        }
        SqlBuilder b;
        b << "(" << truth(first);
        while (isKeyword(peek(), keyword)) {
            take();
            b << " " << keyword << " " << truth((this->*operand)());
        }
        b << ")";
        return b.make(ValueType::Condition, first.position);
    }

    Value orExpr() { return chain("OR", &Parser::andExpr); }
    Value andExpr() { return chain("AND", &Parser::notExpr); }

    Value notExpr() {
        const Token& t = peek();
        if (isKeyword(t, "NOT") || isOperator(t, "~")) {
            Nesting nesting(m_depth, t.position);
            const int position = take().position;
            return (SqlBuilder() << "(NOT " << truth(notExpr()) << ")").make(ValueType::Condition, position);
        }
        return comparison();
    }

    Value comparison() {
        const Value left = concat();
        const Token& t = peek();
        const QString op = t.kind == TokenKind::Operator ? comparisonOperator(t.text) : QString();
        if (op.isEmpty()) {
            return left;
        }
        take();
        return compare(left, op, concat());
    }

    Value concat() {
        Value first = additive();
        if (!isOperator(peek(), "&")) {
            return first;
        }
        SqlBuilder b;
        b << "(" << asText(first);
        bool allFolded = first.isText() && first.folded;
        bool lastClipped = true;
        while (isOperator(peek(), "&")) {
            take();
            const Value next = asText(additive());
            allFolded = allFolded && next.folded;
            lastClipped = next.clipped;
            b << " || " << next;
        }
        b << ")";
        Value v = b.make(ValueType::Text, first.position);
        v.folded = allFolded;
        v.clipped = lastClipped;
        return v;
    }

    Value additive() {
        Value first = term();
        if (!isOperator(peek(), "+") && !isOperator(peek(), "-")) {
            return first;
        }
        SqlBuilder b;
        b << "(" << asNumber(first);
        while (isOperator(peek(), "+") || isOperator(peek(), "-")) {
            const QString op = take().text;
            b << " " << op << " " << asNumber(term());
        }
        b << ")";
        return b.make(ValueType::Number, first.position);
    }

    Value term() {
        Value v = unary();
        while (isOperator(peek(), "*") || isOperator(peek(), "/")) {
            const bool divide = take().text == u"/";
            const Value left = asNumber(v);
            const Value right = asNumber(unary());
            SqlBuilder b;
            if (divide) {
                // The runtime's division by zero gives 0.
                b << "COALESCE(CAST(" << left << " AS REAL) / NULLIF(" << right << ", 0), 0)";
            } else {
                b << "(" << left << " * " << right << ")";
            }
            v = b.make(ValueType::Number, left.position);
        }
        return v;
    }

    Value unary() {
        const Token& t = peek();
        if (!isOperator(t, "-") && !isOperator(t, "+")) {
            return primary();
        }
        Nesting nesting(m_depth, t.position);
        const bool negate = take().text == u"-";
        const Value v = asNumber(unary());
        if (!negate) {
            return v;
        }
        if (v.constant) {
            const QVariant& c = *v.constant;
            const bool whole =
                c.typeId() != QMetaType::Double && c.toLongLong() != std::numeric_limits<qint64>::min();
            return constantValue(whole ? QVariant(-c.toLongLong()) : QVariant(-c.toDouble()), t.position);
        }
        return (SqlBuilder() << "(- " << v << ")").make(ValueType::Number, t.position);
    }

    Value primary() {
        const Token& t = take();
        switch (t.kind) {
        case TokenKind::Number:
            return number(t);
        case TokenKind::Text:
            return constantValue(t.text, t.position);
        case TokenKind::LeftParen: {
            Nesting nesting(m_depth, t.position);
            const Value v = orExpr();
            expectClose(t);
            return v;
        }
        case TokenKind::Name:
            if (!isKeyword(t)) {
                return peek().kind == TokenKind::LeftParen ? call(t) : name(t);
            }
            [[fallthrough]];
        default:
            fail(t.position, QStringLiteral("Expected a value, found %1").arg(describe(t)));
        }
    }

    void expectClose(const Token& open) {
        if (peek().kind != TokenKind::RightParen) {
            fail(peek().kind == TokenKind::End ? open.position : peek().position,
                 QStringLiteral("Missing ) for the ( at position %1").arg(open.position + 1));
        }
        take();
    }

    static Value number(const Token& t) {
        bool whole = false;
        const qint64 n = t.text.toLongLong(&whole);
        return constantValue(whole ? QVariant(n) : QVariant(t.text.toDouble()), t.position);
    }

    Value call(const Token& function) {
        const Token& open = take();
        Nesting nesting(m_depth, open.position);
        QVector<Value> args;
        if (peek().kind != TokenKind::RightParen) {
            args << orExpr();
            while (peek().kind == TokenKind::Comma) {
                take();
                args << orExpr();
            }
        }
        expectClose(open);
        return callFunction(function.text, args, function.position);
    }

    Value name(const Token& t) {
        for (auto it = m_names.cbegin(); it != m_names.cend(); ++it) {
            if (it.key().compare(t.text, Qt::CaseInsensitive) == 0) {
                return constantValue(it.value(), t.position);
            }
        }
        const FieldRef ref = resolveField(t.text);
        if (!ref.isValid()) {
            const qsizetype colon = t.text.indexOf(u':');
            const bool knownTable = colon > 0 && findTable(QStringView(t.text).left(colon)) != nullptr;
            fail(t.position, QStringLiteral("Unknown %1 %2").arg(knownTable ? "field" : "name", t.text));
        }
        if (ref.table->id == m_base.id) {
            return columnValue(m_base, ref.field, t.position);
        }
        return lookupValue(m_base, *ref.table, ref.field, t);
    }

    const QVector<Token>& m_tokens;
    const TableDef& m_base;
    const FilterBindings& m_names;
    qsizetype m_next = 0;
    int m_depth = 0;
};

} // namespace

QString FilterError::message() const {
    return isError() ? QStringLiteral("%1 at position %2").arg(reason).arg(position + 1) : QString();
}

CompiledFilter compileFilter(const QString& text, TableId base, const FilterBindings& names) {
    CompiledFilter out;
    if (text.trimmed().isEmpty()) {
        return out;
    }
    const Tokens tokens = tokenize(text);
    if (tokens.error.isError()) {
        out.error = tokens.error;
        return out;
    }
    try {
        const Value v = Parser(tokens.tokens, tableDef(base), names).filter();
        if (!storeParsesCondition(v.sql)) {
            fail(v.position, QStringLiteral("Expression nested too deeply"));
        }
        out.condition = {v.sql, v.binds};
    } catch (const Failure& failure) {
        out.error = failure.error;
    }
    return out;
}

QString filterLiteral(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

} // namespace tunarium
