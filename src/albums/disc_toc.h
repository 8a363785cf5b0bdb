// The table of contents of an audio disc: where every track starts and where the lead-out begins,
// in frames (75 a second) counted from the very start of the disc, so that the first track of a
// pressed disc starts at 150, after the two-second lead-in. Its text form is the one line that
// disc-ID tools print: "first last leadout offset1 offset2 ...".
#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

namespace tunarium {

inline constexpr int kFramesPerSecond = 75;
inline constexpr int kFramesPerMinute = 60 * kFramesPerSecond;
inline constexpr int kMaxDiscTracks = 99;
// The last frame that two-digit minutes can address, 99:59:74: no audio disc reaches past it.
inline constexpr int kLastDiscFrame = 99 * kFramesPerMinute + 59 * kFramesPerSecond + 74;

struct DiscToc {
    int first = 1; // number of the first track
    int leadout = 0;
    QVector<int> offsets;     // start of every track, in track order
    QVector<bool> dataTracks; // per track: true for a data track; empty when all are audio

    int trackCount() const { return static_cast<int>(offsets.size()); }
    int last() const { return first + trackCount() - 1; }
    // Frames from the start of the track (index from 0) to the start of the next one or of the
    // lead-out.
    int trackFrames(int index) const;
    bool isDataTrack(int index) const { return index < dataTracks.size() && dataTracks[index]; }
    bool operator==(const DiscToc&) const = default;
};

// Reads the text form. On success returns an empty text and fills `toc`; otherwise returns a
// sentence that tells the user what is wrong, and leaves `toc` alone. The table must hold whole
// numbers only, start at track 1, have one start per track for at most 99 tracks, in increasing
// order and none negative, and a lead-out after the last start and within 99:59:74.
QString parseDiscToc(QStringView text, DiscToc& toc);

// Reads a file holding the text form (one line; blank lines around it are allowed). A missing,
// unreadable or oversized file is a problem like a malformed one; the problem names the file.
QString readDiscTocFile(const QString& path, DiscToc& toc);

// The text form of a table.
QString discTocText(const DiscToc& toc);

} // namespace tunarium
