// "Read Compact Disc Information" of an add wizard without its window: one read of the drive the
// settings choose (a table-of-contents file named by TUNARIUM_CD_TOC in place of a drive), driven
// a track at a step so that the window showing it lets the other windows run, and on completion
// the tracks put in the wizard's rows. A read that fails or is cancelled writes no row; the drive
// is closed on every path. A completed read looks the disc up among the albums first (holders()),
// for the wizard to tell the user that it is in the collection already.
#pragma once

#include "albums/add_wizard.h"
#include "albums/cd_drive.h"
#include "albums/cd_read_job.h"
#include "albums/disc_in_collection.h"
#include "albums/mci_cd_audio.h"
#include "data/event_log.h"
#include "data/settings.h"

#include <functional>
#include <memory>

namespace tunarium {

class WizardCdRead : public CdReadJob {
public:
    // What a completed read is handed to: the reader with its tracks, and the album record it
    // filled. An error is shown as a failed insert and the read counts as failed.
    using HandOver = std::function<StoreError(const CdReader& reader, const AlbumRecord& album)>;

    // Reads for `wizard`, which must stay open while the read lives. `drive` is the drive to read;
    // null: the one the settings choose.
    WizardCdRead(AddWizard& wizard, Prompter& prompter, const Settings& settings,
                 const QString& collectionDir, std::unique_ptr<CdDrive> drive = {});
    // Reads the whole disc for the songs of `album` (the album wizard's read): the tracks go to
    // `handOver`.
    WizardCdRead(Database& db, const AlbumRecord& album, HandOver handOver, Prompter& prompter,
                 const Settings& settings, const QString& collectionDir, std::unique_ptr<CdDrive> drive = {});
    ~WizardCdRead() override;
    WizardCdRead(const WizardCdRead&) = delete;
    WizardCdRead& operator=(const WizardCdRead&) = delete;

    // One step of the read (the first opens the drive and identifies the disc, each later one reads
    // a track); after the last, the tracks go to the wizard's rows. True while more steps remain.
    bool step() override;
    // Ends the read where it stands: the drive is closed and nothing is written.
    void cancel() override;

    bool finished() const override { return m_finished; }
    // The read completed and its tracks are in the wizard's rows.
    bool succeeded() const override { return m_succeeded; }
    bool cancelled() const { return m_cancelled; }
    const CdReadProgress& progress() const override { return m_reader->progress(); }
    const CdReader& reader() const { return *m_reader; }
    // The album record the read filled (identifier, disc number, disc length).
    const AlbumRecord& album() const { return m_album; }
    // After a completed read: the albums that hold the disc (the album read for left out); none
    // when the look-up failed (its message was shown and the tracks handed on all the same).
    const QVector<DiscHolder>& holders() const { return m_holders; }

private:
    void finish();

    Database& m_db;
    HandOver m_handOver;
    std::unique_ptr<CdDrive> m_drive;
    MciCdAudio m_mci;
    EventLog m_log;
    AlbumRecord m_album;
    std::unique_ptr<CdReader> m_reader;
    QVector<DiscHolder> m_holders;
    bool m_finished = false;
    bool m_succeeded = false;
    bool m_cancelled = false;
};

} // namespace tunarium
