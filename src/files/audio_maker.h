// Small audio files made from nothing: a few frames of silence of each format the scan reads,
// written byte by byte, then tagged through TagLib. The tests and the bench make their music with
// it; nothing in the program's own work does.
#pragma once

#include "files/audio_tags.h"

#include <QByteArray>
#include <QString>

namespace tunarium {

// The bytes of a tagless file of `format` holding about `seconds` of silence (at least one frame).
QByteArray silentAudio(AudioFormat format, int seconds);

enum class TagStyle {
    Usual,     // the format's own tags (ID3v2 for MP3, WAV and AIFF)
    Id3v1Only, // MP3 with only an ID3v1 tag
};

// Writes `tags` into the file at `path` through TagLib: every field of AudioTags but the length,
// the rating in the format's own way (POPM, FMPS_RATING, rate) and the cover as a front-cover
// picture. False when TagLib cannot save the file.
bool writeAudioTags(const QString& path, const AudioTags& tags, TagStyle style = TagStyle::Usual);

// A file of `format` at `path`: silence of about `seconds`, then the tags. Empty on success, else
// what failed.
QString makeAudioFile(const QString& path, AudioFormat format, const AudioTags& tags, int seconds = 2,
                      TagStyle style = TagStyle::Usual);

} // namespace tunarium
