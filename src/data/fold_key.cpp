// Folded keys: case folding and the removal of diacritics.
#include "data/fold_key.h"

#include "data/row.h"

namespace tunarium {

namespace {

bool isAscii(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

// Latin, Greek and Cyrillic letters, whose combining marks are diacritics a reader looks past.
// (The marks of other scripts make other letters or sounds.)
bool dropsMarks(char32_t c) {
    return c < 0x02B0 || (c >= 0x0370 && c <= 0x04FF) || (c >= 0x1E00 && c <= 0x1FFF) ||
           (c >= 0x2C60 && c <= 0x2C7F) || (c >= 0xA720 && c <= 0xA7FF) || (c >= 0xAB30 && c <= 0xAB6F);
}

// Cyrillic "й" and "ў" decompose into "и" and "у" with a breve, but are letters of their own.
bool keepsMark(char32_t base, char32_t mark) {
    constexpr char32_t kBreve = 0x0306;
    return mark == kBreve && (base == 0x0418 || base == 0x0438 || base == 0x0423 || base == 0x0443);
}

// Latin letters without a decomposition, as they are looked up.
const char* spelledOut(char32_t c) {
    switch (c) {
    case 0x00DF: // ß
        return "ss";
    case 0x1E9E: // ẞ
        return "SS";
    case 0x00E6: // æ
        return "ae";
    case 0x00C6:
        return "AE";
    case 0x0153: // œ
        return "oe";
    case 0x0152:
        return "OE";
    case 0x00F8: // ø
        return "o";
    case 0x00D8:
        return "O";
    case 0x0111: // đ
    case 0x00F0: // ð
        return "d";
    case 0x0110:
    case 0x00D0:
        return "D";
    case 0x0142: // ł
        return "l";
    case 0x0141:
        return "L";
    case 0x0127: // ħ
        return "h";
    case 0x0126:
        return "H";
    case 0x0131: // ı
        return "i";
    case 0x00FE: // þ
        return "th";
    case 0x00DE:
        return "TH";
    case 0x0167: // ŧ
        return "t";
    case 0x0166:
        return "T";
    default:
        return nullptr;
    }
}

void append(QString& out, char32_t c) {
    if (QChar::requiresSurrogates(c)) {
        out += QChar(QChar::highSurrogate(c));
        out += QChar(QChar::lowSurrogate(c));
    } else {
        out += QChar(static_cast<char16_t>(c));
    }
}

// The accent-free part of already case-folded text.
QString prefixOfFolded(const QString& folded) {
    if (isAscii(folded)) {
        return folded;
    }
    return trimTrailingBlanks(withoutDiacritics(folded).toCaseFolded());
}

} // namespace

bool isCombiningMark(char32_t c) {
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

QString withoutDiacritics(const QString& text) {
    if (isAscii(text)) {
        return text;
    }
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    bool dropping = false;
    char32_t base = 0;
    for (char32_t c : decomposed.toUcs4()) {
        if (isCombiningMark(c)) {
            if (!dropping || keepsMark(base, c)) {
                append(out, c);
            }
            continue;
        }
        base = c;
        dropping = dropsMarks(c);
        if (const char* spelled = spelledOut(c)) {
            out += QLatin1String(spelled);
        } else {
            append(out, c);
        }
    }
    // Marks kept (of other scripts) join their letters again, and Korean syllables, which the
    // decomposition took apart, are whole again.
    return out.normalized(QString::NormalizationForm_C);
}

QString caseFold(const QString& text) {
    return trimTrailingBlanks(text).toCaseFolded();
}

QString foldKeyPrefix(const QString& text) {
    return prefixOfFolded(caseFold(text));
}

QString foldKey(const QString& text) {
    const QString folded = caseFold(text);
    const QString prefix = prefixOfFolded(folded);
    if (prefix == folded) {
        return prefix;
    }
    return prefix + QChar(kFoldSeparator) + folded;
}

} // namespace tunarium
