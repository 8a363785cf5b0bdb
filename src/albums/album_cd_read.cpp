// The album form's reads of the disc.
#include "albums/album_cd_read.h"

#include "albums/album_disc_songs.h"

namespace tunarium {

PromptMessage identificationOutcome(const QString& before, const QString& after) {
    const bool changed = trimTrailingBlanks(before) != trimTrailingBlanks(after);
    return {QStringLiteral("Process complete"),
            changed ? QStringLiteral("CD Identification updated.")
                    : QStringLiteral("CD Identification not updated."),
            PromptIcon::Information, kButtonOk, kButtonOk};
}

AlbumCdRead::AlbumCdRead(Database& db, const Settings& settings, const AlbumRecord& album, qint64 side,
                         Kind kind, std::unique_ptr<CdDrive> drive)
    : CdReadJob(settings, db.collectionDir(), album, std::move(drive)), m_db(db), m_side(side), m_kind(kind) {
    startReader(db.prompter(), kind == Kind::IdentifyOnly, false);
}

bool AlbumCdRead::handOver() {
    if (m_kind == Kind::Tracks) {
        if (reader().destination() == CdReader::Destination::AlbumSongs) {
            if (StoreError e = writeDiscSongs(m_db.store(), m_album, m_side, reader().trackTimes())) {
                m_db.warnings().report(warning::kRecordInsertError, e);
                return false;
            }
        }
        // The disc number and playing time follow the track positions, not the disc length.
        recomputeDiscNumber(m_album, reader().trackPositions());
    }
    return true;
}

} // namespace tunarium
