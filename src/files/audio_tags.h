// What an audio file says about its song, read through TagLib: the tags of MP3 (ID3v1 and ID3v2),
// FLAC, Ogg Vorbis, Opus, M4A/AAC, WAV and AIFF files, the length from the audio itself, and the
// embedded cover picture.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tunarium {

enum class AudioFormat { None, Mp3, Flac, OggVorbis, Opus, M4a, Wav, Aiff };

// The format a file's name says (its suffix, any case); None for a name of no audio format read.
AudioFormat audioFormatOfName(const QString& fileName);
// "MP3", "FLAC", ... as the user knows them.
QString audioFormatName(AudioFormat format);

// A rating of the song's own scale (0 to 10) from the usual tag ratings; -1 when there is none.
// POPM's 0 to 255, read as the stars players show (1 star 1, 2 stars 64, ... 5 stars 255).
int ratingFromPopularimeter(int popm);
// FMPS_RATING's 0.0 to 1.0, or RATING's 1 to 5 stars or 0 to 100.
int ratingFromText(const QString& text, bool fraction);

struct AudioTags {
    QString artist;
    QString title;
    QString album;
    QString albumArtist;
    bool compilation = false; // the album is a compilation (kept under "Various")
    int track = 0;
    int disc = 0;
    QString date; // "1999" or "1999-03-15" as tagged
    QString genre;
    int bpm = 0;
    QString key; // as tagged ("Am", "8A", "A minor")
    QString composer;
    QString comment;
    int rating = -1; // 0 to 10, -1 when the file holds none
    qint64 lengthMs = 0;
    QByteArray cover; // the front cover (or the first picture), as stored
    QString coverMime;
};

// Reads `path` into `tags`. Empty on success; otherwise why the file gives no song, as it
// follows the file's name in the summary ("is not an audio file", "is not a readable MP3 file
// (damaged, cut short or not audio)", "cannot be read: Permission denied", "vanished before it
// was read").
QString readAudioFile(const QString& path, AudioTags& tags, bool withCover = true);

// What TagLib alone does for a file: opens it, reads its tags' properties and the length of its
// audio. The bench sets it beside a whole scan. False when the file gives no audio.
bool readThroughTagLibAlone(const QString& path);

} // namespace tunarium
