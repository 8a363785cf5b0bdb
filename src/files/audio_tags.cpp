// Reading an audio file's tags and length through TagLib.
#include "files/audio_tags.h"

#include <taglib/aifffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/popularimeterframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tunarium {

namespace {

QString fromTag(const TagLib::String& s) {
    return QString::fromUtf8(s.toCString(true)).trimmed();
}

QString first(const TagLib::PropertyMap& map, const char* name) {
    const auto found = map.find(name);
    if (found == map.end() || found->second.isEmpty()) {
        return {};
    }
    return fromTag(found->second.front());
}

// "3/12" gives 3; "" or "x" gives 0.
int leadingNumber(const QString& text) {
    int n = 0;
    qsizetype i = 0;
    while (i < text.size() && text[i].isDigit() && n < 100000) {
        n = n * 10 + text[i].digitValue();
        ++i;
    }
    return n;
}

bool trueText(const QString& text) {
    return text == QLatin1String("1") || text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
           text.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
}

struct Picture {
    QByteArray data;
    QString mime;
    bool front = false;
};

// Keeps the front cover, else the first picture met.
void offer(Picture& kept, const TagLib::ByteVector& data, const TagLib::String& mime, bool front) {
    if (data.isEmpty() || (!kept.data.isEmpty() && (kept.front || !front))) {
        return;
    }
    kept.data = QByteArray(data.data(), static_cast<qsizetype>(data.size()));
    kept.mime = fromTag(mime);
    kept.front = front;
}

void id3v2Extras(TagLib::ID3v2::Tag* tag, AudioTags& tags, Picture* picture) {
    if (tag == nullptr) {
        return;
    }
    const auto& frames = tag->frameListMap();
    if (const auto popm = frames.find("POPM"); popm != frames.end() && tags.rating < 0) {
        for (TagLib::ID3v2::Frame* frame : popm->second) {
            if (auto* p = dynamic_cast<TagLib::ID3v2::PopularimeterFrame*>(frame); p && p->rating() > 0) {
                tags.rating = ratingFromPopularimeter(p->rating());
                break;
            }
        }
    }
    if (picture == nullptr) {
        return;
    }
    if (const auto apic = frames.find("APIC"); apic != frames.end()) {
        for (TagLib::ID3v2::Frame* frame : apic->second) {
            if (auto* p = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame)) {
                offer(*picture, p->picture(), p->mimeType(),
                      p->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover);
            }
        }
    }
}

void xiphPictures(TagLib::Ogg::XiphComment* comment, Picture& picture) {
    if (comment == nullptr) {
        return;
    }
    for (TagLib::FLAC::Picture* p : comment->pictureList()) {
        offer(picture, p->data(), p->mimeType(), p->type() == TagLib::FLAC::Picture::FrontCover);
    }
}

// The format's own places for what the property map does not carry: ratings, pictures, M4A's key.
void formatExtras(TagLib::File* file, AudioTags& tags, bool withCover) {
    Picture picture;
    Picture* wanted = withCover ? &picture : nullptr;
    if (auto* mp3 = dynamic_cast<TagLib::MPEG::File*>(file)) {
        id3v2Extras(mp3->ID3v2Tag(false), tags, wanted);
    } else if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
        if (wanted) {
            for (TagLib::FLAC::Picture* p : flac->pictureList()) {
                offer(picture, p->data(), p->mimeType(), p->type() == TagLib::FLAC::Picture::FrontCover);
            }
            xiphPictures(flac->xiphComment(false), picture);
        }
        id3v2Extras(flac->ID3v2Tag(false), tags, wanted);
    } else if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file)) {
        if (wanted) {
            xiphPictures(vorbis->tag(), picture);
        }
    } else if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file)) {
        if (wanted) {
            xiphPictures(opus->tag(), picture);
        }
    } else if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
        TagLib::MP4::Tag* tag = mp4->tag();
        if (tag != nullptr) {
            if (tags.key.isEmpty()) {
                const TagLib::StringList key = tag->item("----:com.apple.iTunes:initialkey").toStringList();
                if (!key.isEmpty()) {
                    tags.key = fromTag(key.front());
                }
            }
            if (tags.rating < 0 && tag->contains("rate")) {
                const TagLib::MP4::Item rate = tag->item("rate");
                const TagLib::StringList texts = rate.toStringList();
                tags.rating = texts.isEmpty() ? ratingFromText(QString::number(rate.toInt()), false)
                                              : ratingFromText(fromTag(texts.front()), false);
            }
            if (wanted && tag->contains("covr")) {
                for (const TagLib::MP4::CoverArt& art : tag->item("covr").toCoverArtList()) {
                    const char* mime = art.format() == TagLib::MP4::CoverArt::PNG ? "image/png" : "image/jpeg";
                    offer(picture, art.data(), mime, true);
                }
            }
        }
    } else if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(file)) {
        id3v2Extras(wav->hasID3v2Tag() ? wav->ID3v2Tag() : nullptr, tags, wanted);
    } else if (auto* aiff = dynamic_cast<TagLib::RIFF::AIFF::File*>(file)) {
        id3v2Extras(aiff->hasID3v2Tag() ? aiff->tag() : nullptr, tags, wanted);
    }
    tags.cover = picture.data;
    tags.coverMime = picture.mime;
}

// Whether the file is a regular file now; the reason when not. A fifo or a device is never
// opened (a read would wait for a writer that never comes).
QString regularFile(const QByteArray& name) {
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ENOENT) {
            return QStringLiteral("vanished before it was read");
        }
        if (errno == ELOOP) {
            return QStringLiteral("is a link in a loop");
        }
        return QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (!S_ISREG(st.st_mode)) {
        return S_ISDIR(st.st_mode) ? QStringLiteral("is a folder") : QStringLiteral("is not a regular file");
    }
    return {};
}

// Whether the regular file can be read now; the reason when not. Asked only of a file TagLib
// could not read, for the reason to name: a file TagLib reads was readable.
QString readable(const QByteArray& name) {
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return QStringLiteral("vanished before it was read");
        }
        return QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    char byte = 0;
    const ssize_t got = ::read(fd, &byte, 1);
    const int readErrno = errno;
    ::close(fd);
    if (got < 0) {
        return QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(readErrno)));
    }
    if (got == 0) {
        return QStringLiteral("is empty");
    }
    return {};
}

// Opens the file through TagLib; the reason when it gives no audio.
QString openAudio(const QString& path, TagLib::FileRef& ref) {
    if (audioFormatOfName(path) == AudioFormat::None) {
        return QStringLiteral("is not an audio file");
    }
    const QByteArray name = QFile::encodeName(path);
    if (QString problem = regularFile(name); !problem.isEmpty()) {
        return problem;
    }
    ref = TagLib::FileRef(name.constData(), true, TagLib::AudioProperties::Average);
    const bool opened = !ref.isNull() && ref.file() != nullptr && ref.file()->isValid();
    const TagLib::AudioProperties* audio = opened ? ref.audioProperties() : nullptr;
    if (audio != nullptr && audio->lengthInMilliseconds() > 0 && audio->sampleRate() > 0) {
        return {};
    }
    if (QString problem = readable(name); !problem.isEmpty()) {
        return problem;
    }
    if (!opened && !QFileInfo::exists(path)) {
        return QStringLiteral("vanished before it was read");
    }
    return QStringLiteral("is not a readable %1 file (damaged, cut short or not audio)")
        .arg(audioFormatName(audioFormatOfName(path)));
}

} // namespace

AudioFormat audioFormatOfName(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0 || fileName.indexOf(u'/', dot) >= 0) {
        return AudioFormat::None;
    }
    const QString suffix = fileName.mid(dot + 1).toLower();
    struct Suffix {
        const char* name;
        AudioFormat format;
    };
    static constexpr Suffix kSuffixes[] = {
        {"mp3", AudioFormat::Mp3},  {"flac", AudioFormat::Flac}, {"ogg", AudioFormat::OggVorbis},
        {"oga", AudioFormat::OggVorbis}, {"opus", AudioFormat::Opus}, {"m4a", AudioFormat::M4a},
        {"mp4", AudioFormat::M4a},  {"aac", AudioFormat::M4a},   {"wav", AudioFormat::Wav},
        {"aif", AudioFormat::Aiff}, {"aiff", AudioFormat::Aiff}, {"aifc", AudioFormat::Aiff},
    };
    for (const Suffix& s : kSuffixes) {
        if (suffix == QLatin1String(s.name)) {
            return s.format;
        }
    }
    return AudioFormat::None;
}

QString audioFormatName(AudioFormat format) {
    switch (format) {
    case AudioFormat::Mp3: return QStringLiteral("MP3");
    case AudioFormat::Flac: return QStringLiteral("FLAC");
    case AudioFormat::OggVorbis: return QStringLiteral("Ogg Vorbis");
    case AudioFormat::Opus: return QStringLiteral("Opus");
    case AudioFormat::M4a: return QStringLiteral("M4A");
    case AudioFormat::Wav: return QStringLiteral("WAV");
    case AudioFormat::Aiff: return QStringLiteral("AIFF");
    case AudioFormat::None: break;
    }
    return QStringLiteral("audio");
}

int ratingFromPopularimeter(int popm) {
    if (popm <= 0) {
        return -1;
    }
    // The bands players write for 1 to 5 stars (1, 64, 128, 196, 255), two points a star.
    if (popm < 32) return 2;
    if (popm < 96) return 4;
    if (popm < 160) return 6;
    if (popm < 224) return 8;
    return 10;
}

int ratingFromText(const QString& text, bool fraction) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || value < 0 || std::isnan(value)) {
        return -1;
    }
    if (fraction) {
        return value > 1.0 ? -1 : static_cast<int>(std::lround(value * 10));
    }
    if (value <= 5.0) {
        return static_cast<int>(std::lround(value * 2));
    }
    return value > 100.0 ? -1 : static_cast<int>(std::lround(value / 10));
}

QString readAudioFile(const QString& path, AudioTags& tags, bool withCover) {
    tags = AudioTags{};
    TagLib::FileRef ref;
    if (QString problem = openAudio(path, ref); !problem.isEmpty()) {
        return problem;
    }
    tags.lengthMs = ref.audioProperties()->lengthInMilliseconds();
    const TagLib::PropertyMap map = ref.file()->properties();
    tags.artist = first(map, "ARTIST");
    tags.title = first(map, "TITLE");
    tags.album = first(map, "ALBUM");
    tags.albumArtist = first(map, "ALBUMARTIST");
    tags.compilation = trueText(first(map, "COMPILATION"));
    tags.track = leadingNumber(first(map, "TRACKNUMBER"));
    tags.disc = leadingNumber(first(map, "DISCNUMBER"));
    tags.date = first(map, "DATE");
    if (tags.date.isEmpty()) {
        tags.date = first(map, "YEAR");
    }
    tags.genre = first(map, "GENRE");
    const QString bpm = first(map, "BPM");
    bool bpmRead = false;
    const double beats = bpm.toDouble(&bpmRead);
    tags.bpm = bpmRead && beats > 0 && beats < 10000 ? static_cast<int>(std::lround(beats)) : 0;
    tags.key = first(map, "INITIALKEY");
    if (tags.key.isEmpty()) {
        tags.key = first(map, "KEY");
    }
    tags.composer = first(map, "COMPOSER");
    tags.comment = first(map, "COMMENT");
    if (const QString fmps = first(map, "FMPS_RATING"); !fmps.isEmpty()) {
        tags.rating = ratingFromText(fmps, true);
    }
    if (const QString rating = first(map, "RATING"); tags.rating < 0 && !rating.isEmpty()) {
        tags.rating = ratingFromText(rating, false);
    }
    formatExtras(ref.file(), tags, withCover);
    return {};
}

bool readThroughTagLibAlone(const QString& path) {
    const TagLib::FileRef ref(QFile::encodeName(path).constData(), true, TagLib::AudioProperties::Average);
    if (ref.isNull() || ref.audioProperties() == nullptr) {
        return false;
    }
    const TagLib::PropertyMap map = ref.file()->properties();
    return ref.audioProperties()->lengthInMilliseconds() > 0 && !map.isEmpty();
}

} // namespace tunarium
