// Silent audio of every format read, written byte by byte: the frames, pages, chunks and atoms
// each format's readers need, and nothing more.
#include "files/audio_maker.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tunarium {

namespace {

// --- bytes, big and little end first --------------------------------------------------------

void be(QByteArray& out, quint64 value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}
void le(QByteArray& out, quint64 value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// --- MP3: MPEG-1 Layer III, 32 kbit/s, 44.1 kHz, mono; every frame silent ------------------

QByteArray mp3(int seconds) {
    constexpr int kFrameBytes = 104; // 144 * 32000 / 44100, no padding
    const int frames = std::max(1, static_cast<int>(std::ceil(seconds * 44100.0 / 1152.0)));
    QByteArray frame(kFrameBytes, '\0');
    frame[0] = static_cast<char>(0xFF);
    frame[1] = static_cast<char>(0xFB); // MPEG-1, layer III, no CRC
    frame[2] = static_cast<char>(0x10); // 32 kbit/s, 44.1 kHz, no padding
    frame[3] = static_cast<char>(0xC0); // mono
    // The side information and main data all zero: two granules of silence.
    return frame.repeated(frames);
}

// --- FLAC: 44.1 kHz, 16 bits, mono; each frame one constant subframe of 0 --------------------

quint8 crc8(const QByteArray& data) {
    quint8 crc = 0;
    for (char c : data) {
        crc ^= static_cast<quint8>(c);
        for (int i = 0; i < 8; ++i) {
            crc = static_cast<quint8>((crc & 0x80) ? (crc << 1) ^ 0x07 : crc << 1);
        }
    }
    return crc;
}
quint16 crc16(const QByteArray& data) {
    quint16 crc = 0;
    for (char c : data) {
        crc ^= static_cast<quint16>(static_cast<quint8>(c) << 8);
        for (int i = 0; i < 8; ++i) {
            crc = static_cast<quint16>((crc & 0x8000) ? (crc << 1) ^ 0x8005 : crc << 1);
        }
    }
    return crc;
}

QByteArray flacFrame(int number) {
    QByteArray f;
    f.append(static_cast<char>(0xFF));
    f.append(static_cast<char>(0xF8)); // fixed block size
    f.append(static_cast<char>(0xC9)); // 4096 samples, 44.1 kHz
    f.append(static_cast<char>(0x08)); // mono, 16 bits
    if (number < 0x80) { // the frame number, written as UTF-8 writes a code point
        f.append(static_cast<char>(number));
    } else {
        f.append(static_cast<char>(0xC0 | (number >> 6)));
        f.append(static_cast<char>(0x80 | (number & 0x3F)));
    }
    f.append(static_cast<char>(crc8(f)));
    f.append('\0'); // subframe: constant, no wasted bits
    be(f, 0, 2);    // the constant sample
    be(f, crc16(f), 2);
    return f;
}

QByteArray flac(int seconds) {
    constexpr int kBlock = 4096;
    const int frames = std::clamp(static_cast<int>(std::ceil(seconds * 44100.0 / kBlock)), 1, 2047);
    QByteArray out("fLaC");
    out.append(static_cast<char>(0x80)); // the last metadata block: STREAMINFO
    be(out, 34, 3);
    be(out, kBlock, 2);
    be(out, kBlock, 2);
    be(out, 0, 3); // frame sizes unknown
    be(out, 0, 3);
    const quint64 samples = static_cast<quint64>(frames) * kBlock;
    const quint64 packed = (quint64{44100} << 44) | (quint64{0} << 41) | (quint64{15} << 36) | samples;
    be(out, packed, 8);
    out.append(QByteArray(16, '\0')); // no MD5 of the audio
    for (int i = 0; i < frames; ++i) {
        out.append(flacFrame(i));
    }
    return out;
}

// --- Ogg pages, for Vorbis and Opus --------------------------------------------------------

quint32 oggCrc(const QByteArray& page) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 r = i << 24;
            for (int j = 0; j < 8; ++j) {
                r = (r & 0x80000000U) ? (r << 1) ^ 0x04C11DB7U : r << 1;
            }
            t[i] = r;
        }
        return t;
    }();
    quint32 crc = 0;
    for (char c : page) {
        crc = (crc << 8) ^ table[((crc >> 24) ^ static_cast<quint8>(c)) & 0xFF];
    }
    return crc;
}

// One page holding whole packets (each under 255 * 255 bytes; all of them in 255 segments).
QByteArray oggPage(const QVector<QByteArray>& packets, quint64 granule, int sequence, quint8 flags) {
    QByteArray lacing;
    QByteArray body;
    for (const QByteArray& p : packets) {
        qsizetype left = p.size();
        while (left >= 255) {
            lacing.append(static_cast<char>(255));
            left -= 255;
        }
        lacing.append(static_cast<char>(left));
        body.append(p);
    }
    QByteArray page("OggS");
    page.append('\0'); // version
    page.append(static_cast<char>(flags));
    le(page, granule, 8);
    le(page, 0x54554E41, 4); // the stream's serial number
    le(page, static_cast<quint64>(sequence), 4);
    le(page, 0, 4); // the checksum, filled in below
    page.append(static_cast<char>(lacing.size()));
    page.append(lacing);
    page.append(body);
    const quint32 crc = oggCrc(page);
    for (int i = 0; i < 4; ++i) {
        page[22 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    }
    return page;
}

QByteArray commentPacket(const QByteArray& magic, bool framingBit) {
    QByteArray p = magic;
    const QByteArray vendor("Tunarium");
    le(p, static_cast<quint64>(vendor.size()), 4);
    p.append(vendor);
    le(p, 0, 4); // no comments yet
    if (framingBit) {
        p.append('\x01');
    }
    return p;
}

// Audio packets on pages of up to 200 packets, the granule of each page its last sample.
void audioPages(QByteArray& out, int packets, const QByteArray& packet, quint64 samplesPerPacket,
                quint64 firstGranule, int sequence) {
    int done = 0;
    while (done < packets) {
        const int here = std::min(200, packets - done);
        done += here;
        const quint8 flags = done == packets ? 0x04 : 0x00;
        out.append(oggPage(QVector<QByteArray>(here, packet), firstGranule + samplesPerPacket * done,
                           sequence++, flags));
    }
}

QByteArray vorbis(int seconds) {
    QByteArray id("\x01vorbis", 7);
    le(id, 0, 4);     // version
    id.append('\x01'); // mono
    le(id, 44100, 4);
    le(id, 0, 4);
    le(id, 64000, 4); // nominal bit rate
    le(id, 0, 4);
    id.append(static_cast<char>(0xB8)); // block sizes 256 and 2048
    id.append('\x01');
    QByteArray setup("\x05vorbis", 7);
    setup.append(QByteArray(24, '\0'));
    setup.append('\x01');
    QByteArray out = oggPage({id}, 0, 0, 0x02);
    out.append(oggPage({commentPacket(QByteArray("\x03vorbis", 7), true), setup}, 0, 1, 0x00));
    // Short blocks of 128 new samples each: an audio packet begins with a 0 bit.
    const int packets = std::max(1, seconds * 44100 / 128);
    audioPages(out, packets, QByteArray(4, '\0'), 128, 0, 2);
    return out;
}

QByteArray opus(int seconds) {
    constexpr int kPreSkip = 312;
    QByteArray head("OpusHead");
    head.append('\x01'); // version
    head.append('\x01'); // mono
    le(head, kPreSkip, 2);
    le(head, 48000, 4);
    le(head, 0, 2); // gain
    head.append('\0');
    QByteArray out = oggPage({head}, 0, 0, 0x02);
    out.append(oggPage({commentPacket("OpusTags", false)}, 0, 1, 0x00));
    // 20 ms CELT frames (TOC 0xF8), each a frame of silence.
    const int packets = std::max(1, seconds * 50);
    audioPages(out, packets, QByteArray("\xF8\xFF\xFE", 3), 960, kPreSkip, 2);
    return out;
}

// --- WAV and AIFF: 8 kHz, 8 bits, mono ----------------------------------------------------

constexpr int kPcmRate = 8000;

QByteArray wav(int seconds) {
    const int bytes = std::max(1, seconds) * kPcmRate;
    QByteArray fmt;
    le(fmt, 1, 2); // PCM
    le(fmt, 1, 2);
    le(fmt, kPcmRate, 4);
    le(fmt, kPcmRate, 4); // bytes per second
    le(fmt, 1, 2);        // block align
    le(fmt, 8, 2);        // bits
    QByteArray body("WAVE");
    body.append("fmt ");
    le(body, static_cast<quint64>(fmt.size()), 4);
    body.append(fmt);
    body.append("data");
    le(body, static_cast<quint64>(bytes), 4);
    body.append(QByteArray(bytes, static_cast<char>(0x80))); // unsigned 8 bits: 128 is silence
    QByteArray out("RIFF");
    le(out, static_cast<quint64>(body.size()), 4);
    out.append(body);
    return out;
}

void extended80(QByteArray& out, quint32 rate) {
    int exponent = 31;
    while (((rate >> exponent) & 1U) == 0) {
        --exponent;
    }
    be(out, static_cast<quint64>(16383 + exponent), 2);
    be(out, static_cast<quint64>(rate) << (63 - exponent), 8);
}

QByteArray aiff(int seconds) {
    const int frames = std::max(1, seconds) * kPcmRate;
    QByteArray body("AIFF");
    body.append("COMM");
    be(body, 18, 4);
    be(body, 1, 2); // mono
    be(body, static_cast<quint64>(frames), 4);
    be(body, 8, 2);
    extended80(body, kPcmRate);
    body.append("SSND");
    be(body, static_cast<quint64>(frames) + 8, 4);
    be(body, 0, 4); // offset
    be(body, 0, 4); // block size
    body.append(QByteArray(frames, '\0')); // signed 8 bits: 0 is silence
    QByteArray out("FORM");
    be(out, static_cast<quint64>(body.size()), 4);
    out.append(body);
    return out;
}

// --- M4A: AAC-LC, 44.1 kHz, mono, in an MP4 container with the movie before the data ------------

QByteArray atom(const char* type, const QByteArray& content) {
    QByteArray a;
    be(a, static_cast<quint64>(content.size()) + 8, 4);
    a.append(type, 4);
    a.append(content);
    return a;
}
QByteArray fullAtom(const char* type, quint32 flags, const QByteArray& content) {
    QByteArray c;
    be(c, flags, 4); // version 0 and flags
    c.append(content);
    return atom(type, c);
}
QByteArray descriptor(quint8 tag, const QByteArray& content) {
    QByteArray d;
    d.append(static_cast<char>(tag));
    d.append(static_cast<char>(content.size()));
    d.append(content);
    return d;
}
QByteArray matrix() {
    QByteArray m;
    for (quint32 v : {0x00010000U, 0U, 0U, 0U, 0x00010000U, 0U, 0U, 0U, 0x40000000U}) {
        be(m, v, 4);
    }
    return m;
}

QByteArray m4a(int seconds) {
    constexpr int kSamplesPerFrame = 1024;
    constexpr int kFrameBytes = 6;
    // An AAC-LC frame of silence for one channel.
    const QByteArray frame("\x01\x40\x20\x07\x00\x00", kFrameBytes);
    const int frames = std::max(1, static_cast<int>(std::ceil(seconds * 44100.0 / kSamplesPerFrame)));
    const quint64 duration = static_cast<quint64>(frames) * kSamplesPerFrame;

    QByteArray mvhd;
    be(mvhd, 0, 8); // created, modified
    be(mvhd, 44100, 4);
    be(mvhd, duration, 4);
    be(mvhd, 0x00010000, 4); // rate
    be(mvhd, 0x0100, 2);     // volume
    mvhd.append(QByteArray(10, '\0'));
    mvhd.append(matrix());
    mvhd.append(QByteArray(24, '\0'));
    be(mvhd, 2, 4); // next track
    QByteArray tkhd;
    be(tkhd, 0, 8);
    be(tkhd, 1, 4); // track 1
    be(tkhd, 0, 4);
    be(tkhd, duration, 4);
    tkhd.append(QByteArray(8, '\0'));
    be(tkhd, 0, 4);      // layer, alternate group
    be(tkhd, 0x0100, 2); // volume
    be(tkhd, 0, 2);
    tkhd.append(matrix());
    be(tkhd, 0, 8); // width, height
    QByteArray mdhd;
    be(mdhd, 0, 8);
    be(mdhd, 44100, 4);
    be(mdhd, duration, 4);
    be(mdhd, 0x55C4, 2); // "und"
    be(mdhd, 0, 2);
    QByteArray hdlr;
    be(hdlr, 0, 4);
    hdlr.append("soun");
    hdlr.append(QByteArray(13, '\0'));

    QByteArray decoder;
    decoder.append('\x40'); // MPEG-4 audio
    decoder.append('\x15'); // an audio stream
    be(decoder, 0, 3);
    be(decoder, 8000, 4);
    be(decoder, 8000, 4);
    decoder.append(descriptor(0x05, QByteArray("\x12\x08", 2))); // AAC-LC, 44.1 kHz, mono
    QByteArray es;
    be(es, 1, 2);
    es.append('\0');
    es.append(descriptor(0x04, decoder));
    es.append(descriptor(0x06, QByteArray("\x02", 1)));
    QByteArray mp4a;
    mp4a.append(QByteArray(6, '\0'));
    be(mp4a, 1, 2); // data reference
    be(mp4a, 0, 8);
    be(mp4a, 1, 2);  // channels
    be(mp4a, 16, 2); // bits
    be(mp4a, 0, 4);
    be(mp4a, quint64{44100} << 16, 4);
    mp4a.append(fullAtom("esds", 0, descriptor(0x03, es)));
    QByteArray stsd;
    be(stsd, 1, 4);
    stsd.append(atom("mp4a", mp4a));
    QByteArray stts;
    be(stts, 1, 4);
    be(stts, static_cast<quint64>(frames), 4);
    be(stts, kSamplesPerFrame, 4);
    QByteArray stsc;
    be(stsc, 1, 4);
    be(stsc, 1, 4);
    be(stsc, static_cast<quint64>(frames), 4);
    be(stsc, 1, 4);
    QByteArray stsz;
    be(stsz, kFrameBytes, 4);
    be(stsz, static_cast<quint64>(frames), 4);
    QByteArray dref;
    be(dref, 1, 4);
    dref.append(fullAtom("url ", 1, {}));

    const auto moovWith = [&](quint64 chunkOffset) {
        QByteArray stco;
        be(stco, 1, 4);
        be(stco, chunkOffset, 4);
        const QByteArray stbl = atom("stbl", fullAtom("stsd", 0, stsd) + fullAtom("stts", 0, stts) +
                                                 fullAtom("stsc", 0, stsc) + fullAtom("stsz", 0, stsz) +
                                                 fullAtom("stco", 0, stco));
        QByteArray smhd;
        be(smhd, 0, 4);
        const QByteArray minf = atom("minf", fullAtom("smhd", 0, smhd) + atom("dinf", fullAtom("dref", 0, dref)) + stbl);
        const QByteArray mdia = atom("mdia", fullAtom("mdhd", 0, mdhd) + fullAtom("hdlr", 0, hdlr) + minf);
        return atom("moov", fullAtom("mvhd", 0, mvhd) + atom("trak", fullAtom("tkhd", 7, tkhd) + mdia));
    };
    QByteArray ftypContent("M4A ");
    be(ftypContent, 0, 4);
    ftypContent.append("M4A mp42isom");
    const QByteArray ftyp = atom("ftyp", ftypContent);
    const qsizetype moovSize = moovWith(0).size();
    const quint64 dataStart = static_cast<quint64>(ftyp.size() + moovSize + 8);
    return ftyp + moovWith(dataStart) + atom("mdat", frame.repeated(frames));
}

} // namespace

QByteArray silentAudio(AudioFormat format, int seconds) {
    switch (format) {
    case AudioFormat::Mp3: return mp3(seconds);
    case AudioFormat::Flac: return flac(seconds);
    case AudioFormat::OggVorbis: return vorbis(seconds);
    case AudioFormat::Opus: return opus(seconds);
    case AudioFormat::M4a: return m4a(seconds);
    case AudioFormat::Wav: return wav(seconds);
    case AudioFormat::Aiff: return aiff(seconds);
    case AudioFormat::None: break;
    }
    return {};
}

} // namespace tunarium
