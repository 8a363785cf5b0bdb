// The CD reader: one read of the audio disc in the drive through MCI command strings. It finds
// the number of tracks, the start and length of every track and the length of the disc, builds
// the CD identifier and the CDDB disc number into the album record it is given, and computes the
// MusicBrainz disc ID. It never plays audio.
//
// A read is driven step by step so that the window showing its progress can let other windows run
// between tracks: start() opens the drive and identifies the disc, then every step() reads the
// length of one track, and the step that reads the last one also reads the disc's length and
// closes the drive. readCD() runs all of it at once. The drive is closed on every path, also when
// the reader is destroyed in the middle of a read.
//
// When the drive cannot be had, has no readable disc or has its tray open, the reader shows the
// message for it (title "Error"), closes the drive and ends the read as failed; so it does when
// the drive goes away in the middle of the read, rather than go on with replies that hold no
// times. A failed read hands on no tracks and leaves the album record as it was.
#pragma once

#include "albums/cd_times.h"
#include "albums/disc_toc.h"
#include "albums/mci_cd_audio.h"
#include "data/event_log.h"
#include "data/prompter.h"
#include "data/records.h"

#include <QString>
#include <QVector>

namespace tunarium {

inline constexpr char kCdNotAvailable[] =
    "CD player not available.  Ensure that no other program is using the CD-ROM drive.";
inline constexpr char kCdNotReady[] = "CD player not ready.";
inline constexpr char kCdDoorOpen[] = "CD player door open.";
// Track lengths that add up to this much (1:30:00) run to the end of the disc, as the CD drivers
// of Enhanced CDs report them.
inline constexpr qint64 kEnhancedCdFigure = 540001;

// SendMCI: sends a command string and turns the result into the reply the reader works with. A
// reply "true" becomes "1" and "false" an empty text; the device already being open becomes
// "Error:1"; any other failure becomes "Error:" and the code, and is written to the event log
// ("MCI Request", "MCI Return", "MCI Error") while the log is on.
class MciSender {
public:
    // The log may be null: nothing is logged.
    MciSender(MciDevice& device, EventLog* log) : m_device(device), m_log(log) {}

    QString sendMCI(const QString& command);
    // The drive's mode: "status cdaudio mode".
    QString sendMCI() { return sendMCI(QStringLiteral("status cdaudio mode")); }

    MciDevice& device() { return m_device; }

private:
    MciDevice& m_device;
    EventLog* m_log;
};

// One entry of TrackTimes: the track number and its length as a time value.
struct CdTrackTime {
    int track = 0;
    qint64 length = 0;
    bool operator==(const CdTrackTime&) const = default;
};

// What the progress window shows.
struct CdReadProgress {
    static constexpr int kTotalSteps = 25;
    QString title;
    QString statusLine;
    QString otherLine;
    int steps = 0;
    int percent = 0;
    bool shown = false; // the window is open once the drive has answered
};

class CdReader {
public:
    // Where the caller is to put the tracks of a completed read.
    enum class Destination {
        None,       // identification only, or no album to give songs to
        WizardRows, // the add wizard's rows of this window
        AlbumSongs, // the songs of the album in the album record
    };

    // `album` is the album record the read fills (`cdIdentifier`, `xccd`, `totalTime`) and whose
    // number says whether there are album songs to write. Identify-only without fill-wizard stops
    // after the identification; fill-wizard hands the tracks on to the wizard's rows.
    CdReader(MciDevice& device, Prompter& prompter, EventLog* log, AlbumRecord& album, bool identifyOnly,
             bool fillWizard);
    ~CdReader();
    CdReader(const CdReader&) = delete;
    CdReader& operator=(const CdReader&) = delete;

    // Opens the drive and identifies the disc. True while the read goes on.
    bool start();
    // Reads the length of the next track (starting the read first if need be). True while more
    // remain; false once the read has ended.
    bool step();
    // ReadCD: the whole read. True when it completed, false after a drive failure.
    bool readCD();
    // Ends a read that has not finished, without a message: the drive is closed, nothing is handed
    // on and the album record is left as it was.
    void cancel();

    bool finished() const { return m_state == State::Completed || m_state == State::Failed; }
    bool succeeded() const { return m_state == State::Completed; }
    Destination destination() const;

    const CdReadProgress& progress() const { return m_progress; }
    int trackCount() const { return m_tracks; }
    const TrackPositions& trackPositions() const { return m_positions; }
    // Per track, in track order; empty after an identify-only read.
    const QVector<CdTrackTime>& trackTimes() const { return m_times; }
    // Whether the lengths were corrected because they ran to the end of the disc.
    bool enhancedCd() const { return m_enhancedCd; }
    // Of the audio tracks; empty when it cannot be computed.
    const QString& musicBrainzDiscId() const { return m_musicBrainzId; }
    // The disc's table of contents as the identification read it; no tracks before that.
    const DiscToc& toc() const { return m_toc; }

private:
    enum class State { Ready, Reading, Completed, Failed };

    bool openDrive();
    bool identify();
    void finishRead();
    void correctEnhancedCd();
    // The reply to a question about the disc; ends the read when the drive went away.
    bool ask(const QString& command, QString& reply);
    void fail(const char* message);
    // Hands nothing on: the album record as it was before the read, no tracks.
    void dropRead();
    void close();
    void countStep();

    MciSender m_mci;
    Prompter& m_prompter;
    AlbumRecord& m_album;
    AlbumRecord m_albumBefore;
    bool m_identifyOnly;
    bool m_fillWizard;
    State m_state = State::Ready;
    bool m_driveOpen = false;
    int m_tracks = 0;
    int m_nextTrack = 1;
    TrackPositions m_positions;
    QVector<bool> m_dataTracks;
    QVector<CdTrackTime> m_times;
    bool m_enhancedCd = false;
    QString m_musicBrainzId;
    DiscToc m_toc;
    CdReadProgress m_progress;
};

} // namespace tunarium
