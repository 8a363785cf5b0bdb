// Tags written into the silent files through TagLib, and the files made whole.
#include "files/audio_maker.h"

#include <taglib/aifffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/popularimeterframe.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <QFile>

#include <algorithm>

namespace tunarium {

namespace {

// --- tags -------------------------------------------------------------------------------------

TagLib::String tagText(const QString& text) {
    return TagLib::String(text.toUtf8().constData(), TagLib::String::UTF8);
}

TagLib::PropertyMap propertiesOf(const AudioTags& t, bool withExtras) {
    TagLib::PropertyMap map;
    const auto put = [&map](const char* name, const QString& value) {
        if (!value.isEmpty()) {
            map.replace(name, TagLib::StringList(tagText(value)));
        }
    };
    put("ARTIST", t.artist);
    put("TITLE", t.title);
    put("ALBUM", t.album);
    put("GENRE", t.genre);
    put("COMMENT", t.comment);
    put("DATE", t.date);
    put("TRACKNUMBER", t.track > 0 ? QString::number(t.track) : QString());
    if (withExtras) {
        put("ALBUMARTIST", t.albumArtist);
        put("DISCNUMBER", t.disc > 0 ? QString::number(t.disc) : QString());
        put("BPM", t.bpm > 0 ? QString::number(t.bpm) : QString());
        put("COMPOSER", t.composer);
        put("COMPILATION", t.compilation ? QStringLiteral("1") : QString());
    }
    return map;
}

TagLib::ByteVector bytes(const QByteArray& data) {
    return TagLib::ByteVector(data.constData(), static_cast<unsigned int>(data.size()));
}

void id3v2Extras(TagLib::ID3v2::Tag* tag, const AudioTags& t) {
    if (!t.key.isEmpty()) {
        auto* key = new TagLib::ID3v2::TextIdentificationFrame("TKEY", TagLib::String::UTF8);
        key->setText(tagText(t.key));
        tag->addFrame(key);
    }
    if (t.rating >= 0) {
        auto* popm = new TagLib::ID3v2::PopularimeterFrame();
        popm->setEmail("tunarium");
        static constexpr int kStars[] = {0, 1, 1, 64, 64, 128, 128, 196, 196, 255, 255};
        popm->setRating(kStars[std::clamp(t.rating, 0, 10)]);
        tag->addFrame(popm);
    }
    if (!t.cover.isEmpty()) {
        auto* apic = new TagLib::ID3v2::AttachedPictureFrame();
        apic->setMimeType(tagText(t.coverMime));
        apic->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        apic->setPicture(bytes(t.cover));
        tag->addFrame(apic);
    }
}

TagLib::FLAC::Picture* flacPicture(const AudioTags& t) {
    auto* p = new TagLib::FLAC::Picture();
    p->setType(TagLib::FLAC::Picture::FrontCover);
    p->setMimeType(tagText(t.coverMime));
    p->setData(bytes(t.cover));
    return p;
}

void xiphExtras(TagLib::Ogg::XiphComment* c, const AudioTags& t) {
    if (!t.key.isEmpty()) {
        c->addField("INITIALKEY", tagText(t.key));
    }
    if (t.rating >= 0) {
        c->addField("FMPS_RATING", tagText(QString::number(t.rating / 10.0, 'f', 2)));
    }
    if (!t.cover.isEmpty()) {
        c->addPicture(flacPicture(t));
    }
}

} // namespace

bool writeAudioTags(const QString& path, const AudioTags& t, TagStyle style) {
    const QByteArray name = QFile::encodeName(path);
    const bool v1 = style == TagStyle::Id3v1Only;
    switch (audioFormatOfName(path)) {
    case AudioFormat::Mp3: {
        TagLib::MPEG::File f(name.constData(), false);
        if (!f.isValid()) {
            return false;
        }
        if (v1) {
            f.ID3v1Tag(true)->setProperties(propertiesOf(t, false));
            return f.save(TagLib::MPEG::File::ID3v1, TagLib::File::StripOthers);
        }
        TagLib::ID3v2::Tag* tag = f.ID3v2Tag(true);
        tag->setProperties(propertiesOf(t, true));
        id3v2Extras(tag, t);
        return f.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers);
    }
    case AudioFormat::Flac: {
        TagLib::FLAC::File f(name.constData(), false);
        if (!f.isValid()) {
            return false;
        }
        TagLib::Ogg::XiphComment* c = f.xiphComment(true);
        c->setProperties(propertiesOf(t, true));
        if (!t.key.isEmpty()) {
            c->addField("INITIALKEY", tagText(t.key));
        }
        if (t.rating >= 0) {
            c->addField("FMPS_RATING", tagText(QString::number(t.rating / 10.0, 'f', 2)));
        }
        if (!t.cover.isEmpty()) {
            f.addPicture(flacPicture(t));
        }
        return f.save();
    }
    case AudioFormat::OggVorbis: {
        TagLib::Ogg::Vorbis::File f(name.constData(), false);
        if (!f.isValid()) {
            return false;
        }
        f.tag()->setProperties(propertiesOf(t, true));
        xiphExtras(f.tag(), t);
        return f.save();
    }
    case AudioFormat::Opus: {
        TagLib::Ogg::Opus::File f(name.constData(), false);
        if (!f.isValid()) {
            return false;
        }
        f.tag()->setProperties(propertiesOf(t, true));
        xiphExtras(f.tag(), t);
        return f.save();
    }
    case AudioFormat::M4a: {
        TagLib::MP4::File f(name.constData(), false);
        if (!f.isValid()) {
            return false;
        }
        TagLib::MP4::Tag* tag = f.tag();
        tag->setProperties(propertiesOf(t, true));
        if (!t.key.isEmpty()) {
            tag->setItem("----:com.apple.iTunes:initialkey", TagLib::MP4::Item(TagLib::StringList(tagText(t.key))));
        }
        if (t.rating >= 0) {
            tag->setItem("rate", TagLib::MP4::Item(TagLib::StringList(tagText(QString::number(t.rating * 10)))));
        }
        if (!t.cover.isEmpty()) {
            const auto format = t.coverMime == QLatin1String("image/png") ? TagLib::MP4::CoverArt::PNG
                                                                          : TagLib::MP4::CoverArt::JPEG;
            TagLib::MP4::CoverArtList list;
            list.append(TagLib::MP4::CoverArt(format, bytes(t.cover)));
            tag->setItem("covr", TagLib::MP4::Item(list));
        }
        return f.save();
    }
    case AudioFormat::Wav: {
        TagLib::RIFF::WAV::File f(name.constData(), false);
        if (!f.isValid()) {
            return false;
        }
        TagLib::ID3v2::Tag* tag = f.ID3v2Tag();
        tag->setProperties(propertiesOf(t, true));
        id3v2Extras(tag, t);
        return f.save(TagLib::RIFF::WAV::File::ID3v2, TagLib::File::StripOthers);
    }
    case AudioFormat::Aiff: {
        TagLib::RIFF::AIFF::File f(name.constData(), false);
        if (!f.isValid()) {
            return false;
        }
        TagLib::ID3v2::Tag* tag = f.tag();
        tag->setProperties(propertiesOf(t, true));
        id3v2Extras(tag, t);
        return f.save();
    }
    case AudioFormat::None: break;
    }
    return false;
}

QString makeAudioFile(const QString& path, AudioFormat format, const AudioTags& tags, int seconds, TagStyle style) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return file.errorString();
    }
    const QByteArray audio = silentAudio(format, seconds);
    if (file.write(audio) != audio.size() || !file.flush()) {
        return file.errorString();
    }
    file.close();
    if (!writeAudioTags(path, tags, style)) {
        return QStringLiteral("TagLib could not tag %1").arg(path);
    }
    return {};
}

} // namespace tunarium
