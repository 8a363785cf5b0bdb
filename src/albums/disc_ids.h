// The two published identifiers of an audio disc, computed by libdiscid from the table of contents
// alone: no drive is read and nothing goes over the network.
#pragma once

#include "albums/disc_toc.h"

#include <QString>

namespace tunarium {

// The audio part of a disc that ends in data tracks (an Enhanced CD) ends where its data session
// begins, less the 11400 frames (2:32) between the sessions.
inline constexpr int kSessionGapFrames = 11400;

struct DiscIds {
    QString musicBrainz; // 28 characters
    QString freedb;      // 8 lower-case hexadecimal digits
    QString error;       // why there are none; empty when both were computed
};

// Identifiers of the disc's audio tracks. Trailing data tracks are left out as MusicBrainz asks;
// a disc of data tracks only has no identifiers.
DiscIds discIdsOf(const DiscToc& toc);

// The MusicBrainz page that looks the disc up by its table of contents (and offers to attach it to
// a release when it is not known yet): the disc ID, the number of audio tracks and the table of
// the audio part. Empty for a disc without audio tracks. The program only hands it to the user's
// browser; it never goes on the network itself.
QString musicBrainzLookupUrl(const DiscToc& toc);

// The audio part of a table: trailing data tracks dropped and the lead-out moved before the gap
// that leads to them. The table itself when it ends in an audio track.
DiscToc audioPartOf(const DiscToc& toc);

} // namespace tunarium
