// The duplicate key: the collection's folding, then punctuation, featured artists and version parts.
#include "survey/duplicate_key.h"

#include "data/fold_key.h"

#include <QSet>
#include <QStringList>

namespace tunarium {

namespace {

// Dropped where they stand, joining what is on either side.
bool isJoiner(char32_t c) {
    return c == u'\'' || c == u'.' || c == u'`' || c == 0x2018 || c == 0x2019 || c == 0x02BC;
}

void append(QString& out, char32_t c) {
    if (QChar::requiresSurrogates(c)) {
        out += QChar(QChar::highSurrogate(c));
        out += QChar(QChar::lowSurrogate(c));
    } else {
        out += QChar(static_cast<char16_t>(c));
    }
}

// The words of already folded text: runs of letters and digits (with the marks of their letters),
// "&" a word "and" of its own.
QStringList wordsOf(QStringView text) {
    QStringList words;
    QString word;
    const auto flush = [&] {
        if (!word.isEmpty()) {
            words << word;
            word.clear();
        }
    };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (QChar::isLetterOrNumber(c) || (isCombiningMark(c) && !word.isEmpty())) {
            append(word, c);
        } else if (isJoiner(c)) {
            continue;
        } else if (c == u'&') {
            flush();
            words << QStringLiteral("and");
        } else {
            flush();
        }
    }
    flush();
    return words;
}

bool isFeatureWord(const QString& word) {
    return word == QLatin1String("feat") || word == QLatin1String("ft") || word == QLatin1String("featuring");
}

bool isNumber(const QString& word) {
    if (word.isEmpty()) {
        return false;
    }
    qsizetype digits = 0;
    while (digits < word.size() && word[digits].isDigit()) {
        ++digits;
    }
    if (digits == word.size()) {
        return true;
    }
    // An ordinal: "50th Anniversary".
    const QStringView rest = QStringView(word).mid(digits);
    return digits > 0 && (rest == u"st" || rest == u"nd" || rest == u"rd" || rest == u"th");
}

bool isYear(const QString& word) {
    if (word.size() != 4 || !isNumber(word)) {
        return false;
    }
    const int year = word.toInt();
    return year >= 1900 && year <= 2099;
}

bool isVersionWord(const QString& word) {
    static const QSet<QString> words = {
        QStringLiteral("remaster"),   QStringLiteral("remastered"), QStringLiteral("remasters"),
        QStringLiteral("remastering"), QStringLiteral("re"),        QStringLiteral("mastered"),
        QStringLiteral("digital"),    QStringLiteral("digitally"),  QStringLiteral("version"),
        QStringLiteral("ver"),        QStringLiteral("edit"),       QStringLiteral("edited"),
        QStringLiteral("radio"),      QStringLiteral("single"),     QStringLiteral("album"),
        QStringLiteral("original"),   QStringLiteral("mono"),       QStringLiteral("stereo"),
        QStringLiteral("bonus"),      QStringLiteral("track"),      QStringLiteral("deluxe"),
        QStringLiteral("edition"),    QStringLiteral("expanded"),   QStringLiteral("anniversary"),
        QStringLiteral("reissue"),    QStringLiteral("reissued"),   QStringLiteral("explicit"),
        QStringLiteral("clean"),      QStringLiteral("lp"),
    };
    return words.contains(word);
}

// A part that names a version of the same recording (see the header).
bool isVersionPart(QStringView part) {
    const QStringList words = wordsOf(part);
    if (words.size() == 1 && isYear(words.first())) {
        return true;
    }
    bool named = false;
    for (const QString& word : words) {
        if (isVersionWord(word)) {
            named = true;
        } else if (!isNumber(word)) {
            return false;
        }
    }
    return named;
}

// A bracketed part that names a featured artist.
bool isFeaturePart(QStringView part) {
    const QStringList words = wordsOf(part);
    return !words.isEmpty() && (isFeatureWord(words.first()) || words.first() == QLatin1String("with"));
}

// Where the bracketed part that closes the text at `close` opens; -1 when it does not.
qsizetype openingOf(const QString& text, qsizetype close) {
    const QChar closing = text[close];
    const QChar opening = closing == u')' ? u'(' : u'[';
    int depth = 0;
    for (qsizetype i = close; i >= 0; --i) {
        if (text[i] == closing) {
            ++depth;
        } else if (text[i] == opening && --depth == 0) {
            return i;
        }
    }
    return -1;
}

// Where the part after the last " - " (or a dash between blanks) begins; -1 when there is none.
qsizetype dashPartOf(const QString& text, qsizetype& dash) {
    for (qsizetype i = text.size() - 2; i > 0; --i) {
        const QChar c = text[i];
        if ((c == u'-' || c == QChar(0x2013) || c == QChar(0x2014)) && text[i - 1] == u' ' && text[i + 1] == u' ') {
            dash = i;
            return i + 1;
        }
    }
    return -1;
}

// Drops the trailing parts that qualify: featured artists always, versions from a title.
QString withoutTrailingParts(QString text, bool title) {
    for (;;) {
        text = text.trimmed();
        if (text.isEmpty()) {
            return text;
        }
        const QChar last = text.back();
        if (last == u')' || last == u']') {
            const qsizetype open = openingOf(text, text.size() - 1);
            if (open <= 0) {
                return text;
            }
            const QStringView inside = QStringView(text).mid(open + 1, text.size() - open - 2);
            if (isFeaturePart(inside) || (title && isVersionPart(inside))) {
                text.truncate(open);
                continue;
            }
            return text;
        }
        qsizetype dash = -1;
        const qsizetype tail = title ? dashPartOf(text, dash) : -1;
        if (tail > 0 && isVersionPart(QStringView(text).mid(tail))) {
            text.truncate(dash);
            continue;
        }
        return text;
    }
}

// The words up to a featured artist ("Song feat. Someone"): never the first word.
QStringList beforeFeature(QStringList words) {
    for (qsizetype i = 1; i < words.size(); ++i) {
        if (isFeatureWord(words[i])) {
            words.resize(i);
            break;
        }
    }
    return words;
}

} // namespace

QString duplicateArtistFold(const QString& artist) {
    QString text = withoutTrailingParts(foldKeyPrefix(artist), false);
    // "Beatles, The"
    if (text.endsWith(QLatin1String("the"))) {
        const QString before = text.chopped(3).trimmed();
        if (before.endsWith(u',') && (text.size() == 3 || !text[text.size() - 4].isLetterOrNumber())) {
            text = before.chopped(1);
        }
    }
    QStringList words = beforeFeature(wordsOf(text));
    if (words.size() > 1 && words.first() == QLatin1String("the")) {
        words.removeFirst();
    }
    return words.join(u' ');
}

QString duplicateTitleFold(const QString& title) {
    return beforeFeature(wordsOf(withoutTrailingParts(foldKeyPrefix(title), true))).join(u' ');
}

QString duplicateKeyOf(const QString& artistFold, const QString& titleFold) {
    if (artistFold.isEmpty() || titleFold.isEmpty()) {
        return {};
    }
    return artistFold + QChar(u'\x1f') + titleFold;
}

QString duplicateSongKey(const QString& artist, const QString& title) {
    const QString a = duplicateArtistFold(artist);
    return a.isEmpty() ? QString() : duplicateKeyOf(a, duplicateTitleFold(title));
}

} // namespace tunarium
