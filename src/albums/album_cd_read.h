// The album form's reads of the disc, without their window. "Read CD &Information" reads the whole
// disc and writes its tracks as songs of the album on the side being filled: a song that has the
// track's number already gets the track's length, a missing one is added as "Track " and its
// number with the album's values; then the album's CDDB number (ALB:XCCD) and total time are worked
// out again from the track positions. "Read" reads the identifier only. Either way the album record
// given takes the CD identifier, the CDDB number and the disc length; the songs are written in one
// transaction. A read that fails or is cancelled writes nothing and leaves the album as it was.
#pragma once

#include "albums/cd_read_job.h"
#include "data/database.h"

#include <memory>

namespace tunarium {

// What "Read" tells: "CD Identification updated." or "CD Identification not updated." under the
// title "Process complete".
PromptMessage identificationOutcome(const QString& before, const QString& after);

class AlbumCdRead : public CdReadJob {
public:
    enum class Kind { Tracks, IdentifyOnly };

    // Reads for `album` (its number says whose songs the tracks become) on `side`. `drive` is the
    // drive to read; null: the one the settings choose. The album() it gives back has what the
    // read found: identifier, CDDB number, total time.
    AlbumCdRead(Database& db, const Settings& settings, const AlbumRecord& album, qint64 side, Kind kind,
                std::unique_ptr<CdDrive> drive = {});

private:
    bool handOver() override;

    Database& m_db;
    qint64 m_side;
    Kind m_kind;
};

} // namespace tunarium
