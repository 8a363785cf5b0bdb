// "Read Compact Disc Information" of an add wizard without its window: one read of the drive the
// settings choose (a table-of-contents file named by TUNARIUM_CD_TOC in place of a drive), driven
// a track at a step so that the window showing it lets the other windows run, and on completion
// the tracks put in the wizard's rows. A read that fails or is cancelled writes no row; the drive
// is closed on every path. A completed read looks the disc up among the albums first (holders()),
// for the wizard to tell the user that it is in the collection already.
#pragma once

#include "albums/add_wizard.h"
#include "albums/cd_read_job.h"
#include "albums/disc_in_collection.h"

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

    // After a completed read: the albums that hold the disc (the album read for left out); none
    // when the look-up failed (its message was shown and the tracks handed on all the same).
    const QVector<DiscHolder>& holders() const { return m_holders; }

private:
    bool handOver() override;

    Database& m_db;
    HandOver m_handOver;
    QVector<DiscHolder> m_holders;
};

} // namespace tunarium
