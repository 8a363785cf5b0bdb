// The CD reader's sums on times and positions: a reply "mm:ss:ff" as a time value or in frames,
// the CDDB disc number of the track positions, and track times as minutes and seconds.
#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

namespace tunarium {

// Where a track starts on the disc and how long it is, in frames, as the drive reports them.
struct TrackPosition {
    int start = 0;
    int length = 0;
    bool operator==(const TrackPosition&) const = default;
};
using TrackPositions = QVector<TrackPosition>;

// A reply "mm:ss:ff" (only its first eight characters count) as a time value. A frame field of
// "99" counts as a whole second more, other frames are dropped; 60 minutes or more give an hour.
// A field that is not a number counts as 0, so an "Error:" reply gives 0:00:00 (time value 1).
qint64 parseTrackTime(QStringView reply);

// A reply "mm:ss:ff" in frames; fields that are not numbers count as 0.
int framesFromMsf(QStringView reply);

// The CDDB (freedb) disc number of the tracks: eight lower-case hexadecimal digits, empty for no
// tracks. The lead-out is taken to lie one frame after the end of the last track, as the drive
// reports the last track one frame short; the playing time is the lead-out's whole seconds less
// the first track's, as the published rule has it, and is stored into `totalTime` as a time value.
// `totalTime` is left alone when there are no tracks.
QString computeCDDBNumber(const TrackPositions& positions, qint64& totalTime);

// Five characters: minutes (hours counted in) right-aligned in two places, a colon and two
// second digits (" 3:45", "61:07"); five blanks for a time value of 0.
QString formatMinutesSeconds(qint64 timeValue);

} // namespace tunarium
