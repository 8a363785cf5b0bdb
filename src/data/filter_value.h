// The compiled pieces of a filter expression: SQL fragments with their bound values and what the
// compiler knows of them (text or number, clipped, folded), and the conversions and comparisons
// that give the runtime's text semantics in SQL.
#pragma once

#include "data/filter_expression.h"

#include <QString>
#include <QVariant>
#include <QVector>

#include <optional>

namespace tunarium::filter {

// A filter text that cannot be compiled; thrown inside the compiler, caught by compileFilter.
struct Failure {
    FilterError error;
};
[[noreturn]] void fail(int position, const QString& reason);

enum class ValueType { Text, Number, Condition };

struct Value {
    ValueType type = ValueType::Number;
    QString sql;             // a self-contained SQL term: atomic or parenthesized
    QVector<QVariant> binds; // the values of the `?` in sql, in order
    bool clipped = false;    // text known to have no trailing blanks
    bool folded = false;     // text already case-folded (caseFold): compared without regard to case
    QString keySql;          // a column (or sub-select) with the folded key of the same text, without binds
    bool fromKey = false;    // sql reads the case-folded part of keySql (folded() of a keyed text)
    std::optional<QVariant> constant; // the value of a literal or a bound name
    bool neverNegative = false;       // a number that is 0 or more (a position INSTRING found)
    int position = 0;                 // where the value starts in the filter text
    int depth = 0;                    // how deeply parentheses nest in sql

    bool isText() const { return type == ValueType::Text; }
};

// Builds SQL text and its binds in step: text and values are appended in textual order.
//
// It keeps the condition within what SQLite takes. A value nested deeper than kMaxSqlNesting
// parentheses fails with "Expression nested too deeply" while it is built (SQLite's parser takes
// fewer levels still for most shapes; the compiler asks it about the whole condition at the end). Some functions repeat an argument in
// their SQL (INSTRING from a later start, INLIST), so nested calls grow the text exponentially: a
// value longer than kMaxSqlLength, or with more binds than kMaxSqlBinds, fails with "Expression
// too long" before it is built.
class SqlBuilder {
public:
    static constexpr int kMaxSqlNesting = 64;
    static constexpr qsizetype kMaxSqlLength = 200000; // SQLite's statements end at 1,000,000 bytes
    static constexpr qsizetype kMaxSqlBinds = 30000;   // and their parameters at 32766

    SqlBuilder& operator<<(const QString& text);
    SqlBuilder& operator<<(const char* text) { return *this << QString::fromLatin1(text); }
    SqlBuilder& operator<<(const Value& value);
    Value make(ValueType type, int position) const;

private:
    QString m_sql;
    QVector<QVariant> m_binds;
    int m_open = 0;    // parentheses open at the end of the text
    int m_deepest = 0; // the most ever open
};

// A literal or a bound name's value, bound as a parameter.
Value constantValue(const QVariant& value, int position);

// Conversions (the runtime's implicit ones): a number as its text, text as its number, a
// comparison as 1 or 0.
Value asText(const Value& v);
Value asNumber(const Value& v);
// Text without trailing blanks, so that blank-padded fields compare as the runtime compared them.
Value clipped(const Value& v);
// Text case-folded (caseFold), as UPPER() and LOWER() give it: parts of it can be taken and
// searched. Compared with other text, it compares through the folded keys.
Value folded(const Value& v);
// A value as a condition: not zero, not blank.
Value truth(const Value& v);

// `op` is one of = <> < > <= >= . Text against text compares text (through the folded keys
// (foldKey) when either side is folded, else clipped); anything else compares numbers.
Value compare(const Value& a, const QString& op, const Value& b);

// The SQL comparison operator of a filter comparison operator (~= is <>, =< is <=, ~< is >= ...);
// empty when `op` is none.
QString comparisonOperator(const QString& op);

} // namespace tunarium::filter
