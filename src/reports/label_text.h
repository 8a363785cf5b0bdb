// The texts of labels and binder pages, apart from the tables they are read from: the artist
// turned for printing, a song's time in parentheses, the numbered contents of a label built from
// its track list, and the dotted leaders of the binder pages.
#pragma once

#include <QString>
#include <QVector>

namespace tunarium {

// An artist stored as "Smith, Anna" as printed: "Anna Smith". A name without a comma is kept. A
// name that also holds " with " (or else " and ") keeps that phrase and what follows it at the
// end when the phrase comes after the comma: "Smith, Anna with The Band" is "Anna Smith with The
// Band"; when the phrase comes before the comma the name is turned at the comma alone.
QString turnArtistName(const QString& artist);

// The time a label's track line ends with: " (4:05)" for a song with a time (hours counted into the
// minutes: " (62:05)"); without a time, the first additional-information text in parentheses when
// it holds a ":" but not "00:00" (" (3:45)"); otherwise nothing.
QString labelSongTime(qint64 timeValue, const QString& additionalInformation1);

// One line of a label's track list.
struct LabelTrack {
    QChar side;   // '1', '2' or '0' (also other digits: a disc of a set)
    qint64 track; // the song's track number, or its place in the list when it has none
    QString text; // up to kLabelTrackTextWidth characters
};
inline constexpr int kMaxLabelTracks = 51;
inline constexpr int kLabelTrackTextWidth = 80;

// The four texts the track list fills: every line goes to the CD's back cover and front inside,
// side 1 and side 0 lines to the cassette's contents A, side 2 and side 0 lines to contents B.
struct LabelContents {
    QString cdCoverText;
    QString cdInsideText;
    QString cassetteContentsA;
    QString cassetteContentsB;
};

// Between track number and text: ". ", or the user's delimiter and a blank when one is set.
QString trackSeparator(const QString& delimiter);
// The contents of `tracks`, sorted by side and then track; each line is the track number right
// aligned in three places, the separator and the text, lines joined by CR LF.
LabelContents buildLabelContents(QVector<LabelTrack> tracks, const QString& delimiter);

// The text of a binder or flap page field: `text` cut of trailing blanks followed by dots, cut at
// `width` characters.
QString dottedField(const QString& text, int width);

} // namespace tunarium
