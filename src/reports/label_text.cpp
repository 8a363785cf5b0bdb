// Label texts.
#include "reports/label_text.h"

#include "albums/cd_times.h"
#include "data/pictures.h"
#include "data/row.h"

#include <algorithm>

namespace tunarium {

namespace {

// "Smith, Anna" read at its first comma: the part after it, a blank, the part before it.
QString turnedAtComma(const QString& name, qsizetype comma) {
    const QString last = name.left(comma).trimmed();
    const QString first = name.mid(comma + 1).trimmed();
    if (first.isEmpty()) {
        return last;
    }
    return last.isEmpty() ? first : first + u' ' + last;
}

} // namespace

QString turnArtistName(const QString& artist) {
    const QString name = trimTrailingBlanks(artist);
    const qsizetype comma = name.indexOf(u',');
    if (comma < 0) {
        return name;
    }
    qsizetype phrase = name.indexOf(QLatin1String(" with "), 0, Qt::CaseInsensitive);
    if (phrase < 0) {
        phrase = name.indexOf(QLatin1String(" and "), 0, Qt::CaseInsensitive);
    }
    if (phrase < 0 || phrase < comma) {
        return turnedAtComma(name, comma);
    }
    // "Smith, Anna with The Band": the names between the comma and the phrase come first.
    const QString last = name.left(comma).trimmed();
    const QString first = name.mid(comma + 1, phrase - comma - 1).trimmed();
    const QString rest = name.mid(phrase);
    return (first.isEmpty() ? last : first + u' ' + last) + rest;
}

QString labelSongTime(qint64 timeValue, const QString& additionalInformation1) {
    if (timeValue != 0) {
        // Minutes without a leading zero; an hour-long track counts its hours into the minutes
        // rather than losing them.
        return QStringLiteral(" (") + formatMinutesSeconds(timeValue).trimmed() + u')';
    }
    const QString info = trimTrailingBlanks(additionalInformation1);
    if (info.contains(u':') && !info.contains(QLatin1String("00:00"))) {
        return QStringLiteral(" (") + info + u')';
    }
    return {};
}

QString trackSeparator(const QString& delimiter) {
    const QString d = trimTrailingBlanks(delimiter);
    return d.trimmed().isEmpty() ? QStringLiteral(". ") : d + u' ';
}

LabelContents buildLabelContents(QVector<LabelTrack> tracks, const QString& delimiter) {
    std::stable_sort(tracks.begin(), tracks.end(), [](const LabelTrack& a, const LabelTrack& b) {
        return a.side != b.side ? a.side < b.side : a.track < b.track;
    });
    const QString separator = trackSeparator(delimiter);
    const Picture number = Picture::parse(u"@n_3");
    LabelContents c;
    // A line goes after a line break only when its text already has lines: a cassette whose
    // first side-2 song follows side-1 songs starts contents B with that song, not a blank line.
    auto add = [](QString& text, const QString& line) {
        if (!text.isEmpty()) {
            text += QStringLiteral("\r\n");
        }
        text += line;
    };
    for (const LabelTrack& t : tracks) {
        const QString line = number.format(t.track) + separator + t.text;
        add(c.cdCoverText, line);
        add(c.cdInsideText, line);
        if (t.side != u'2') {
            add(c.cassetteContentsA, line);
        }
        if (t.side != u'1') {
            add(c.cassetteContentsB, line);
        }
    }
    return c;
}

QString dottedField(const QString& text, int width) {
    QString field = trimTrailingBlanks(text);
    if (field.size() < width) {
        field += QString(width - field.size(), u'.');
    }
    return field.left(width);
}

} // namespace tunarium
