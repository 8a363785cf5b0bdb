// The "cdaudio" device of the MCI command-string interface.
#include "albums/mci_cd_audio.h"

#include <QStringList>

namespace tunarium {

namespace mci {
bool isDriveLost(int code) {
    return code == kDeviceNotReady || code == kHardware || code == kInvalidDeviceName ||
           code == kInvalidDeviceId;
}
} // namespace mci

namespace {

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString msf(int frames) {
    return twoDigits(frames / kFramesPerMinute) + u':' + twoDigits(frames / kFramesPerSecond % 60) + u':' +
           twoDigits(frames % kFramesPerSecond);
}

bool is(const QStringList& words, qsizetype at, std::initializer_list<const char*> expected) {
    if (words.size() != at + static_cast<qsizetype>(expected.size())) {
        return false;
    }
    qsizetype i = at;
    for (const char* word : expected) {
        if (words[i++] != QLatin1String(word)) {
            return false;
        }
    }
    return true;
}

} // namespace

MciCdAudio::MciCdAudio(CdDrive& drive) : m_drive(drive) {}

MciCdAudio::~MciCdAudio() {
    if (m_open) {
        m_drive.close();
    }
}

int MciCdAudio::sendString(QStringView command, QString& reply) {
    reply.clear();
    QStringList words = command.toString().toLower().split(u' ', Qt::SkipEmptyParts);
    if (!words.isEmpty() && words.last() == QLatin1String("wait")) {
        words.removeLast();
    }
    if (words.isEmpty()) {
        return mci::kUnrecognizedCommand;
    }
    const QString verb = words.first();
    if (words.size() < 2 || words[1] != QLatin1String("cdaudio")) {
        return words.size() < 2 ? mci::kMissingParameter : mci::kInvalidDeviceName;
    }
    if (verb == QLatin1String("open")) {
        return open(words, reply);
    }
    if (verb != QLatin1String("close") && verb != QLatin1String("set") && verb != QLatin1String("status")) {
        static const QStringList kNeverDone = {"play", "stop", "pause", "resume", "seek", "record", "cue"};
        return kNeverDone.contains(verb) ? mci::kUnsupportedFunction : mci::kUnrecognizedCommand;
    }
    if (!m_open) {
        return mci::kInvalidDeviceName;
    }
    if (verb == QLatin1String("close")) {
        if (words.size() != 2) {
            return mci::kUnrecognizedKeyword;
        }
        m_drive.close();
        m_open = false;
        return mci::kOk;
    }
    return verb == QLatin1String("set") ? set(words) : status(words, reply);
}

int MciCdAudio::open(const QStringList& words, QString& reply) {
    if (words.size() > 3 || (words.size() == 3 && words[2] != QLatin1String("shareable"))) {
        return mci::kUnrecognizedKeyword;
    }
    if (m_open) {
        return mci::kDeviceOpen;
    }
    const DriveCondition condition = m_drive.open();
    if (condition == DriveCondition::Busy || condition == DriveCondition::Absent) {
        m_drive.close();
        return condition == DriveCondition::Busy ? mci::kDeviceLocked : mci::kInvalidDeviceName;
    }
    m_open = true;
    m_format = TimeFormat::Msf;
    reply = QStringLiteral("1");
    return mci::kOk;
}

int MciCdAudio::set(const QStringList& words) {
    if (words.size() != 5 || words[2] != QLatin1String("time") || words[3] != QLatin1String("format")) {
        return mci::kUnrecognizedKeyword;
    }
    const QString& format = words[4];
    if (format == QLatin1String("msf")) {
        m_format = TimeFormat::Msf;
    } else if (format == QLatin1String("tmsf")) {
        m_format = TimeFormat::Tmsf;
    } else if (format == QLatin1String("milliseconds") || format == QLatin1String("ms")) {
        m_format = TimeFormat::Milliseconds;
    } else {
        return mci::kBadTimeFormat;
    }
    return mci::kOk;
}

int MciCdAudio::status(const QStringList& words, QString& reply) {
    if (is(words, 2, {"time", "format"})) {
        static const char* const kNames[] = {"msf", "tmsf", "milliseconds"};
        reply = QLatin1String(kNames[static_cast<int>(m_format)]);
        return mci::kOk;
    }
    const bool ready = is(words, 2, {"ready"});
    const bool mode = is(words, 2, {"mode"});
    const bool present = is(words, 2, {"media", "present"});
    if (!ready && !mode && !present) {
        return discStatus(words, reply);
    }
    const DriveCondition condition = m_drive.condition();
    if (condition == DriveCondition::Absent) {
        return mci::kDeviceNotReady;
    }
    const bool disc = condition == DriveCondition::Ready;
    const bool trayOpen = condition == DriveCondition::TrayOpen;
    if (ready) {
        // The drive answers with a disc in or with its tray open; the mode then tells which.
        reply = QLatin1String(disc || trayOpen ? "true" : "false");
    } else if (mode) {
        reply = QLatin1String(disc ? "stopped" : trayOpen ? "open" : "not ready");
    } else {
        reply = QLatin1String(disc ? "true" : "false");
    }
    return mci::kOk;
}

int MciCdAudio::discStatus(const QStringList& words, QString& reply) {
    const bool known = is(words, 2, {"number", "of", "tracks"}) || is(words, 2, {"length"}) ||
                       is(words, 2, {"position"}) || is(words, 2, {"start", "position"}) ||
                       is(words, 2, {"current", "track"}) ||
                       (words.size() == 5 && words[3] == QLatin1String("track") &&
                        (words[2] == QLatin1String("length") || words[2] == QLatin1String("position") ||
                         words[2] == QLatin1String("type")));
    if (!known) {
        return words.size() == 4 && words[3] == QLatin1String("track") ? mci::kMissingParameter
                                                                       : mci::kUnrecognizedKeyword;
    }
    if (m_drive.condition() != DriveCondition::Ready) {
        return mci::kDeviceNotReady;
    }
    const DiscToc& toc = m_drive.toc();
    const int tracks = toc.trackCount();
    if (words[2] == QLatin1String("number")) {
        reply = QString::number(tracks);
        return mci::kOk;
    }
    if (words[2] == QLatin1String("current")) {
        reply = QStringLiteral("1");
        return mci::kOk;
    }
    if (words.size() == 3 || words[2] == QLatin1String("start")) {
        reply = words[2] == QLatin1String("length") ? length(toc.leadout - 1 - toc.offsets.first())
                                                    : position(toc.offsets.first(), 0);
        return mci::kOk;
    }
    int index = 0;
    if (const int code = trackIndex(words, 4, index); code != mci::kOk) {
        return code;
    }
    if (words[2] == QLatin1String("type")) {
        reply = QLatin1String(toc.isDataTrack(index) ? "other" : "audio");
    } else if (words[2] == QLatin1String("length")) {
        reply = length(toc.trackFrames(index) - (index == tracks - 1 ? 1 : 0));
    } else {
        reply = position(toc.offsets[index], index);
    }
    return mci::kOk;
}

int MciCdAudio::trackIndex(const QStringList& words, qsizetype at, int& index) {
    bool ok = false;
    const int track = words[at].toInt(&ok);
    if (!ok) {
        return mci::kBadInteger;
    }
    if (track < 1 || track > m_drive.toc().trackCount()) {
        return mci::kOutOfRange;
    }
    index = track - 1;
    return mci::kOk;
}

QString MciCdAudio::position(int frames, int track) const {
    switch (m_format) {
    case TimeFormat::Tmsf:
        return twoDigits(track + 1) + QStringLiteral(":00:00:00");
    case TimeFormat::Milliseconds:
        return QString::number(static_cast<qint64>(frames) * 1000 / kFramesPerSecond);
    case TimeFormat::Msf:
        break;
    }
    return msf(frames);
}

QString MciCdAudio::length(int frames) const {
    if (m_format == TimeFormat::Milliseconds) {
        return QString::number(static_cast<qint64>(frames) * 1000 / kFramesPerSecond);
    }
    return msf(frames);
}

} // namespace tunarium
