// The tokens of a filter expression, for the filter compiler.
#pragma once

#include "data/filter_expression.h"

#include <QString>
#include <QVector>

namespace tunarium::filter {

enum class TokenKind { End, Name, Text, Number, Operator, LeftParen, RightParen, Comma };

struct Token {
    TokenKind kind = TokenKind::End;
    QString text; // a name as written, a string's characters, a number's digits, an operator
    int position = 0;
};

struct Tokens {
    QVector<Token> tokens; // ends with an End token
    FilterError error;
};

// Splits a filter text into tokens. An unterminated string, a malformed number or a character
// that starts no token gives an error at its position.
Tokens tokenize(const QString& text);

} // namespace tunarium::filter
