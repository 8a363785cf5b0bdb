// A read of the disc that a progress window drives one step at a time: the add wizard's read into
// its rows, the album form's read into the album's songs or of its identifier only. The job holds
// the drive (the one the settings choose unless one is given), the event log and the reader; each
// kind says what a completed read writes (handOver). A read that fails or is cancelled writes
// nothing; the drive is closed on every path.
#pragma once

#include "albums/cd_drive.h"
#include "albums/cd_reader.h"
#include "albums/mci_cd_audio.h"
#include "data/event_log.h"
#include "data/settings.h"

#include <memory>

namespace tunarium {

class CdReadJob {
public:
    virtual ~CdReadJob();
    CdReadJob(const CdReadJob&) = delete;
    CdReadJob& operator=(const CdReadJob&) = delete;

    // One step of the read (the first opens the drive and identifies the disc, each later one reads
    // a track); after the last, what was read is written. True while more steps remain.
    bool step();
    // Ends the read where it stands: the drive is closed and nothing is written.
    void cancel();
    bool finished() const { return m_finished; }
    // The read completed and what it read was written.
    bool succeeded() const { return m_succeeded; }
    bool cancelled() const { return m_cancelled; }
    const CdReadProgress& progress() const { return m_reader->progress(); }
    const CdReader& reader() const { return *m_reader; }
    // The album record the read filled (identifier, disc number, disc length).
    const AlbumRecord& album() const { return m_album; }

protected:
    // `drive` null: the one the settings choose. The read starts from `album`.
    CdReadJob(const Settings& settings, const QString& collectionDir, const AlbumRecord& album,
              std::unique_ptr<CdDrive> drive);
    // Makes the reader; each kind calls it once in its constructor.
    void startReader(Prompter& prompter, bool identifyOnly, bool intoWizardRows);
    // After a read that succeeded: writes what it read (the failure shown); true when written.
    virtual bool handOver() = 0;

    AlbumRecord m_album;

private:
    std::unique_ptr<CdDrive> m_drive;
    MciCdAudio m_mci;
    EventLog m_log;
    std::unique_ptr<CdReader> m_reader;
    bool m_finished = false;
    bool m_succeeded = false;
    bool m_cancelled = false;
};

} // namespace tunarium
