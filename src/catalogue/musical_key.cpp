// Musical keys read into Camelot notation, and which keys mix.
#include "catalogue/musical_key.h"

#include <QRegularExpression>

namespace tunarium {

namespace {

// The key's number on the wheel from its tonic's pitch class (C = 0): the major keys go up a fifth
// (seven semitones) per number with C major at 8; a minor key stands at its relative major's
// number, three semitones up.
int wheelNumber(int pitchClass, bool major) {
    const int tonic = major ? pitchClass : (pitchClass + 3) % 12;
    return (tonic * 7 % 12 + 7) % 12 + 1;
}

std::optional<int> pitchClass(QChar note, QStringView accidental) {
    static const int natural[] = {9, 11, 0, 2, 4, 5, 7}; // a to g
    if (note < u'a' || note > u'g') {
        return std::nullopt;
    }
    int shift = 0;
    if (accidental == u"#" || accidental == u"sharp") {
        shift = 1;
    } else if (accidental == u"b" || accidental == u"flat") {
        shift = -1;
    } else if (!accidental.isEmpty()) {
        return std::nullopt;
    }
    return (natural[note.unicode() - u'a'] + shift + 12) % 12;
}

} // namespace

QString CamelotKey::text() const {
    return QString::number(number) + (major ? u'B' : u'A');
}

std::optional<CamelotKey> readMusicalKey(QStringView text) {
    QString folded;
    for (QChar c : text) {
        if (c.isSpace()) {
            continue;
        }
        if (c == QChar(0x266F)) { // ♯
            folded += u'#';
        } else if (c == QChar(0x266D)) { // ♭
            folded += u'b';
        } else {
            folded += c.toLower();
        }
    }
    if (folded.isEmpty() || folded.size() > 16) {
        return std::nullopt;
    }
    // Camelot ("8a", "08a") and Open Key ("1m", "1d"), the Open Key's 1 being Camelot's 8.
    static const QRegularExpression wheel(QStringLiteral("^0?([1-9]|1[0-2])([abmd])$"));
    if (const QRegularExpressionMatch m = wheel.match(folded); m.hasMatch()) {
        const int n = m.capturedView(1).toInt();
        const QChar letter = m.capturedView(2).front();
        if (letter == u'a' || letter == u'b') {
            return CamelotKey{n, letter == u'b'};
        }
        return CamelotKey{(n + 6) % 12 + 1, letter == u'd'};
    }
    static const QRegularExpression named(
        QStringLiteral("^([a-g])(#|b|sharp|flat)?(m|min|minor|maj|major)?$"));
    const QRegularExpressionMatch m = named.match(folded);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    const std::optional<int> pitch = pitchClass(m.capturedView(1).front(), m.capturedView(2));
    if (!pitch) {
        return std::nullopt;
    }
    const bool major = !m.capturedView(3).startsWith(u'm') || m.capturedView(3).startsWith(u"maj");
    return CamelotKey{wheelNumber(*pitch, major), major};
}

QString camelotKey(QStringView text) {
    const std::optional<CamelotKey> key = readMusicalKey(text);
    return key ? key->text() : QString();
}

QList<CamelotKey> compatibleKeys(CamelotKey key) {
    return {key, CamelotKey{key.number, !key.major}, CamelotKey{(key.number + 10) % 12 + 1, key.major},
            CamelotKey{key.number % 12 + 1, key.major}};
}

bool keysCompatible(QStringView a, QStringView b) {
    const std::optional<CamelotKey> first = readMusicalKey(a);
    const std::optional<CamelotKey> second = readMusicalKey(b);
    return first && second && compatibleKeys(*first).contains(*second);
}

} // namespace tunarium
