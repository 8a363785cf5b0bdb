// Tokenizer of filter expressions.
#include "data/filter_lexer.h"

namespace tunarium::filter {

namespace {

bool startsName(QChar c) {
    return c.isLetter() || c == u'_';
}

bool continuesName(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u':';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

class Lexer {
public:
    explicit Lexer(const QString& text) : m_text(text) {}

    Tokens run() {
        Tokens out;
        while (!out.error.isError()) {
            skipBlanks();
            if (m_pos >= m_text.size()) {
                out.tokens.push_back({TokenKind::End, {}, static_cast<int>(m_pos)});
                break;
            }
            Token token;
            out.error = next(token);
            out.tokens.push_back(token);
        }
        return out;
    }

private:
    void skipBlanks() {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace()) {
            ++m_pos;
        }
    }

    QChar at(qsizetype pos) const { return pos < m_text.size() ? m_text[pos] : QChar(); }

    FilterError next(Token& token) {
        token.position = static_cast<int>(m_pos);
        const QChar c = m_text[m_pos];
        if (startsName(c)) {
            const qsizetype start = m_pos;
            while (m_pos < m_text.size() && continuesName(m_text[m_pos])) {
                ++m_pos;
            }
            token.kind = TokenKind::Name;
            token.text = m_text.mid(start, m_pos - start);
            return {};
        }
        if (isDigit(c) || (c == u'.' && isDigit(at(m_pos + 1)))) {
            return number(token);
        }
        if (c == u'\'' || c == u'"') {
            return string(token);
        }
        return punctuation(token);
    }

    FilterError number(Token& token) {
        const qsizetype start = m_pos;
        while (isDigit(at(m_pos))) {
            ++m_pos;
        }
        if (at(m_pos) == u'.') {
            ++m_pos;
            while (isDigit(at(m_pos))) {
                ++m_pos;
            }
        }
        if (startsName(at(m_pos)) || at(m_pos) == u'.' || isDigit(at(m_pos))) {
            return {token.position, QStringLiteral("Invalid number")};
        }
        token.kind = TokenKind::Number;
        token.text = m_text.mid(start, m_pos - start);
        return {};
    }

    FilterError string(Token& token) {
        const QChar quote = m_text[m_pos++];
        QString value;
        while (true) {
            if (m_pos >= m_text.size()) {
                return {token.position, QStringLiteral("Unterminated string")};
            }
            const QChar c = m_text[m_pos++];
            if (c == quote) {
                if (at(m_pos) != quote) {
                    break;
                }
                ++m_pos;
            }
            value += c;
        }
        token.kind = TokenKind::Text;
        token.text = value;
        return {};
    }

    FilterError punctuation(Token& token) {
        static const QStringList twoCharacter = {"<>", "<=", ">=", "=<", "=>", "~=", "~<", "~>"};
        static const QString oneCharacter = QStringLiteral("=<>~+-*/&");
        const QString pair = m_text.mid(m_pos, 2);
        const QChar c = m_text[m_pos];
        if (twoCharacter.contains(pair)) {
            token.kind = TokenKind::Operator;
            token.text = pair;
            m_pos += 2;
        } else if (oneCharacter.contains(c)) {
            token.kind = TokenKind::Operator;
            token.text = c;
            ++m_pos;
        } else if (c == u'(' || c == u')' || c == u',') {
            token.kind = c == u'('   ? TokenKind::LeftParen
                         : c == u')' ? TokenKind::RightParen
                                     : TokenKind::Comma;
            token.text = c;
            ++m_pos;
        } else {
            return {token.position, QStringLiteral("Unexpected character '%1'").arg(c)};
        }
        return {};
    }

    const QString& m_text;
    qsizetype m_pos = 0;
};

} // namespace

Tokens tokenize(const QString& text) {
    return Lexer(text).run();
}

} // namespace tunarium::filter
