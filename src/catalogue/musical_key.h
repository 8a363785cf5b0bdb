// Musical keys as a DJ mixes by them: every key kept in Camelot notation ("8A" A minor, "8B" C
// major), the twelve numbers going round the circle of fifths, A the minor keys and B the major.
// Two keys mix well when they are the same, share a number (a key and its relative), or are one
// number apart on the same letter (12 and 1 neighbours).
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tunarium {

// A key of the wheel: number 1 to 12, minor (A) or major (B).
struct CamelotKey {
    int number = 0;
    bool major = false;

    QString text() const; // "8A"
    bool operator==(const CamelotKey&) const = default;
};

// The Camelot key of a key written in any of the usual spellings, case and blanks ignored: a note
// with its mode ("Am", "A minor", "Amin", "F#m", "Gbm", "F♯m", "B♭", "Bb major", "C"), Camelot
// itself ("8A", "08A", "8a") or Open Key ("1m" = 8A, "1d" = 8B). Nothing for any other text.
std::optional<CamelotKey> readMusicalKey(QStringView text);

// The same as text: "8A" for "Am"; blank for a text that names no key.
QString camelotKey(QStringView text);

// The keys that mix well with `key`, itself first: the other letter of its number, then one
// number down and up on its own letter.
QList<CamelotKey> compatibleKeys(CamelotKey key);

// Whether two keys mix well; false when either is no key.
bool keysCompatible(QStringView a, QStringView b);

} // namespace tunarium
