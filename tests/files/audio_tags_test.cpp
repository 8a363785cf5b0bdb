// Every format the scan reads, made here from bytes written by hand and tagged through TagLib,
// read back field by field; and the ratings of the formats' own scales.
#include "files/audio_maker.h"
#include "files/audio_tags.h"
#include "catalogue/musical_key.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tunarium {
namespace {

AudioTags fullTags() {
    AudioTags t;
    t.artist = QStringLiteral("Björk Guðmundsdóttir");
    t.title = QStringLiteral("Jóga — 日本語");
    t.album = QStringLiteral("Homogenic");
    t.albumArtist = QStringLiteral("Björk");
    t.track = 3;
    t.disc = 2;
    t.date = QStringLiteral("1997-09-22");
    t.genre = QStringLiteral("Trip Hop");
    t.bpm = 124;
    t.key = QStringLiteral("Am");
    t.composer = QStringLiteral("Sjón");
    t.comment = QStringLiteral("a comment\nof two lines");
    t.rating = 8;
    static const char kCover[] = "\xFF\xD8\xFF\xE0 not really a jpeg";
    t.cover = QByteArray(kCover, sizeof kCover - 1);
    t.coverMime = QStringLiteral("image/jpeg");
    return t;
}

struct FormatCase {
    const char* name;
    AudioFormat format;
};

class EveryFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(EveryFormat, TagsAndLengthReadBackAsWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(GetParam().name));
    const AudioTags written = fullTags();
    ASSERT_EQ(makeAudioFile(path, GetParam().format, written, 3), QString());
    AudioTags read;
    ASSERT_EQ(readAudioFile(path, read), QString());
    EXPECT_EQ(read.artist, written.artist);
    EXPECT_EQ(read.title, written.title);
    EXPECT_EQ(read.album, written.album);
    EXPECT_EQ(read.albumArtist, written.albumArtist);
    EXPECT_EQ(read.track, 3);
    EXPECT_EQ(read.disc, 2);
    EXPECT_TRUE(written.date.startsWith(read.date.left(4))) << read.date.toStdString();
    EXPECT_EQ(read.genre, written.genre);
    EXPECT_EQ(read.bpm, 124);
    EXPECT_EQ(read.key, QStringLiteral("Am"));
    EXPECT_EQ(read.composer, written.composer);
    EXPECT_EQ(read.comment, written.comment);
    EXPECT_EQ(read.rating, 8);
    EXPECT_EQ(read.cover, written.cover);
    // The length comes from the audio: about three seconds of frames, whatever a tag would say.
    EXPECT_GE(read.lengthMs, 2900);
    EXPECT_LE(read.lengthMs, 3200);
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat,
                         ::testing::Values(FormatCase{"a.mp3", AudioFormat::Mp3}, FormatCase{"a.flac", AudioFormat::Flac},
                                           FormatCase{"a.ogg", AudioFormat::OggVorbis},
                                           FormatCase{"a.opus", AudioFormat::Opus}, FormatCase{"a.m4a", AudioFormat::M4a},
                                           FormatCase{"a.wav", AudioFormat::Wav}, FormatCase{"a.aiff", AudioFormat::Aiff}),
                         [](const ::testing::TestParamInfo<FormatCase>& p) { return std::string(p.param.name).substr(2); });

TEST(AudioTags, AnId3v1OnlyMp3GivesWhatVersionOneHolds) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.mp3"));
    AudioTags t;
    t.artist = QStringLiteral("Kraftwerk");
    t.title = QStringLiteral("Autobahn");
    t.album = QStringLiteral("Autobahn");
    t.date = QStringLiteral("1974");
    t.track = 1;
    t.genre = QStringLiteral("Electronic");
    ASSERT_EQ(makeAudioFile(path, AudioFormat::Mp3, t, 2, TagStyle::Id3v1Only), QString());
    AudioTags read;
    ASSERT_EQ(readAudioFile(path, read), QString());
    EXPECT_EQ(read.artist, t.artist);
    EXPECT_EQ(read.title, t.title);
    EXPECT_EQ(read.date, QStringLiteral("1974"));
    EXPECT_EQ(read.track, 1);
    EXPECT_EQ(read.genre, QStringLiteral("Electronic"));
    EXPECT_EQ(read.rating, -1);
}

TEST(AudioTags, RatingsOfEveryScaleComeToZeroToTen) {
    struct Case {
        int popm;
        int expected;
    };
    for (const Case& c : {Case{0, -1}, Case{1, 2}, Case{64, 4}, Case{128, 6}, Case{196, 8}, Case{255, 10}}) {
        EXPECT_EQ(ratingFromPopularimeter(c.popm), c.expected) << c.popm;
    }
    struct TextCase {
        const char* text;
        bool fraction;
        int expected;
    };
    for (const TextCase& c : {TextCase{"0.8", true, 8}, TextCase{"1", true, 10}, TextCase{"1.5", true, -1},
                              TextCase{"3", false, 6}, TextCase{"80", false, 8}, TextCase{"x", false, -1},
                              TextCase{"-1", false, -1}, TextCase{"500", false, -1}}) {
        EXPECT_EQ(ratingFromText(QString::fromLatin1(c.text), c.fraction), c.expected) << c.text;
    }
}

} // namespace
} // namespace tunarium

namespace tunarium {
namespace {

TEST(KeyTag, EveryUsualSpellingComesToCamelot) {
    struct Case {
        const char* tag;
        const char* camelot;
    };
    static const Case kCases[] = {
        {"8A", "8A"},   {"08a", "8A"},     {"12B", "12B"}, {"Am", "8A"},      {"A minor", "8A"},
        {"a min", "8A"}, {"C", "8B"},      {"Cmaj", "8B"}, {"C major", "8B"}, {"1m", "8A"},
        {"1d", "8B"},   {"6m", "1A"},      {"G#m", "1A"},  {"Abm", "1A"},     {"B", "1B"},
        {"F#", "2B"},   {"Gb", "2B"},      {"D♭ minor", "12A"}, {"Em", "9A"}, {"D", "10B"},
        {"", ""},       {"13A", ""},       {"H", ""},      {"Am7", ""},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(camelotKey(QString::fromUtf8(c.tag)), QString::fromLatin1(c.camelot)) << c.tag;
    }
}

} // namespace
} // namespace tunarium
