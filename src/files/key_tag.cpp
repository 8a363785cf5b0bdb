// The musical key of a tag: Camelot ("8A"), Open Key ("1m"), or a note with its mode ("Am",
// "A minor", "F#", "Bbmaj", "D♭ min").
#include "files/key_tag.h"

#include <QRegularExpression>

namespace tunarium {

namespace {

// The Camelot number of a key by its note (0 = C ... 11 = B): the circle of fifths, A minor and
// C major at 8.
int camelotNumber(int pitchClass, bool minor) {
    return (pitchClass * 7 + (minor ? 4 : 7)) % 12 + 1;
}

QString camelot(int number, bool minor) {
    return QString::number(number) + (minor ? u'A' : u'B');
}

} // namespace

QString camelotOfTag(const QString& tag) {
    QString text = tag.trimmed().toLower();
    text.replace(u'\u266F', u'#').replace(u'\u266D', u'b');
    if (text.isEmpty()) {
        return {};
    }
    static const QRegularExpression camelotText(QStringLiteral("^0?(1[0-2]|[1-9])\\s*([ab])$"));
    if (const QRegularExpressionMatch m = camelotText.match(text); m.hasMatch()) {
        return camelot(m.captured(1).toInt(), m.captured(2) == QLatin1String("a"));
    }
    static const QRegularExpression openKey(QStringLiteral("^0?(1[0-2]|[1-9])\\s*([md])$"));
    if (const QRegularExpressionMatch m = openKey.match(text); m.hasMatch()) {
        return camelot((m.captured(1).toInt() + 6) % 12 + 1, m.captured(2) == QLatin1String("m"));
    }
    static const QRegularExpression note(
        QStringLiteral("^([a-g])\\s*(#|b|sharp|flat)?\\s*(m|min|minor|maj|major|dur|moll)?$"));
    const QRegularExpressionMatch m = note.match(text);
    if (!m.hasMatch()) {
        return {};
    }
    static constexpr int kNaturals[] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
    int pitch = kNaturals[m.captured(1).at(0).unicode() - u'a'];
    const QString accidental = m.captured(2);
    if (accidental == QLatin1String("#") || accidental == QLatin1String("sharp")) {
        pitch += 1;
    } else if (accidental == QLatin1String("b") || accidental == QLatin1String("flat")) {
        pitch += 11;
    }
    const QString mode = m.captured(3);
    const bool minor = mode == QLatin1String("m") || mode == QLatin1String("min") ||
                       mode == QLatin1String("minor") || mode == QLatin1String("moll");
    return camelot(camelotNumber(pitch % 12, minor), minor);
}

} // namespace tunarium
