// The MCI command-string interface to the CD drive: the commands the CD reader sends ("open
// cdaudio shareable", "status cdaudio number of tracks", "set cdaudio time format msf", ...)
// and the replies and result codes that MCI's "cdaudio" device gives to them, answered over a
// CdDrive. It reads the disc's table of contents only; nothing here plays audio.
#pragma once

#include "albums/cd_drive.h"

#include <QString>
#include <QStringView>

namespace tunarium {

// The result codes, with MCI's numbers.
namespace mci {
inline constexpr int kOk = 0;
inline constexpr int kInvalidDeviceId = 257;
inline constexpr int kUnrecognizedKeyword = 259;
inline constexpr int kUnrecognizedCommand = 261;
inline constexpr int kHardware = 262;
inline constexpr int kInvalidDeviceName = 263; // no such device, or the device is not open
inline constexpr int kDeviceOpen = 265;
inline constexpr int kBadInteger = 270;
inline constexpr int kMissingParameter = 273;
inline constexpr int kUnsupportedFunction = 274;
inline constexpr int kDeviceNotReady = 276;
inline constexpr int kOutOfRange = 282;
inline constexpr int kDeviceLocked = 288;
inline constexpr int kBadTimeFormat = 293;

// Codes that say the drive can no longer be read: it went away or lost its disc.
bool isDriveLost(int code);
} // namespace mci

// One MCI device that takes command strings, as mciSendString does: the result code, and the
// reply text in `reply`.
class MciDevice {
public:
    virtual ~MciDevice() = default;
    virtual int sendString(QStringView command, QString& reply) = 0;
    // Why the device last failed, in words, when a result code cannot say it; empty otherwise.
    virtual QString problem() const { return {}; }
};

// The "cdaudio" device over a drive.
//
// Commands (words separated by blanks, without regard to case; a trailing "wait" is ignored):
//   open cdaudio [shareable]            reply: the device number, "1"
//   close cdaudio
//   set cdaudio time format msf|tmsf|milliseconds|ms
//   status cdaudio ready                "true" with a disc in or the tray open, "false" when the
//                                       tray is shut on no disc
//   status cdaudio mode                 "stopped", "open" (tray open) or "not ready" (no disc)
//   status cdaudio media present        "true" or "false"
//   status cdaudio time format          "msf", "tmsf" or "milliseconds"
//   status cdaudio number of tracks     the number of tracks
//   status cdaudio length [track N]     the disc's or the track's length
//   status cdaudio position [track N]   the track's start; without a track the disc's, since
//   status cdaudio start position       the head never moves
//   status cdaudio current track        "1"
//   status cdaudio type track N         "audio" or "other" (a data track)
// Positions are absolute, the first track starting at 00:02:00, and lengths are "mm:ss:ff" in
// both msf and tmsf; positions in tmsf are "tt:mm:ss:ff"; milliseconds are whole numbers. Tracks
// are numbered from 1 in disc order. As MCI's CD driver does, the last track's length stops one
// frame short of the lead-out, and the disc's length is the sum of the track lengths.
//
// Codes: an open device opened again gives kDeviceOpen; any command but open to a device not
// open, or to another device name, kInvalidDeviceName; a drive held by another program
// kDeviceLocked on open, a missing one kInvalidDeviceName; a question about the disc without a
// readable disc kDeviceNotReady, and the same once the drive went away; a track number that is
// not a number kBadInteger, one beyond the disc kOutOfRange; play, seek and the like
// kUnsupportedFunction.
class MciCdAudio final : public MciDevice {
public:
    explicit MciCdAudio(CdDrive& drive);
    ~MciCdAudio() override;
    MciCdAudio(const MciCdAudio&) = delete;
    MciCdAudio& operator=(const MciCdAudio&) = delete;

    int sendString(QStringView command, QString& reply) override;
    QString problem() const override { return m_drive.problem(); }
    bool isOpen() const { return m_open; }

private:
    enum class TimeFormat { Msf, Tmsf, Milliseconds };

    int open(const QStringList& words, QString& reply);
    int set(const QStringList& words);
    int status(const QStringList& words, QString& reply);
    int discStatus(const QStringList& words, QString& reply);
    // The track named by words[at] (1 to the number of tracks) into `index` (from 0).
    int trackIndex(const QStringList& words, qsizetype at, int& index);
    QString position(int frames, int track) const;
    QString length(int frames) const;

    CdDrive& m_drive;
    bool m_open = false;
    TimeFormat m_format = TimeFormat::Msf;
};

} // namespace tunarium
