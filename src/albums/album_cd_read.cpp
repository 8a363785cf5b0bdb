// The album form's reads of the disc.
#include "albums/album_cd_read.h"

#include "albums/album_disc_songs.h"
#include "data/app_paths.h"

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
    : m_db(db), m_side(side), m_kind(kind),
      m_drive(drive ? std::move(drive) : chooseCdDrive({}, {}, settings.cdDrive())), m_mci(*m_drive),
      m_log(eventLogPath(db.collectionDir()), settings.useLog()), m_album(album) {
    m_reader =
        std::make_unique<CdReader>(m_mci, db.prompter(), &m_log, m_album, kind == Kind::IdentifyOnly, false);
}

AlbumCdRead::~AlbumCdRead() {
    // The reader closes the drive when it goes in the middle of a read.
    m_reader.reset();
}

bool AlbumCdRead::step() {
    if (m_finished) {
        return false;
    }
    if (m_reader->step()) {
        return true;
    }
    finish();
    return false;
}

void AlbumCdRead::cancel() {
    if (m_finished) {
        return;
    }
    m_finished = true;
    m_reader->cancel();
}

void AlbumCdRead::finish() {
    m_finished = true;
    if (!m_reader->succeeded()) {
        return;
    }
    if (m_kind == Kind::Tracks) {
        if (m_reader->destination() == CdReader::Destination::AlbumSongs) {
            if (StoreError e = writeDiscSongs(m_db.store(), m_album, m_side, m_reader->trackTimes())) {
                m_db.warnings().report(warning::kRecordInsertError, e);
                return;
            }
        }
        // The disc number and playing time follow the track positions, not the disc length.
        recomputeDiscNumber(m_album, m_reader->trackPositions());
    }
    m_succeeded = true;
}

} // namespace tunarium
