// A wizard's read of the disc.
#include "albums/wizard_cd_read.h"

#include "data/app_paths.h"

namespace tunarium {

namespace {

std::unique_ptr<CdDrive> driveToRead(std::unique_ptr<CdDrive> given, const Settings& settings) {
    return given ? std::move(given) : chooseCdDrive({}, {}, settings.cdDrive());
}

} // namespace

WizardCdRead::WizardCdRead(AddWizard& wizard, Prompter& prompter, const Settings& settings,
                           const QString& collectionDir, std::unique_ptr<CdDrive> drive)
    : m_db(wizard.database()),
      m_handOver([&wizard](const CdReader& reader, const AlbumRecord& album) -> StoreError {
          if (StoreError e = wizard.tracks().applyRead(reader.trackTimes(), album.artist)) {
              return e;
          }
          wizard.setDiscIdentifiers(album.cdIdentifier, album.xccd);
          return {};
      }),
      m_drive(driveToRead(std::move(drive), settings)), m_mci(*m_drive),
      m_log(eventLogPath(collectionDir), settings.useLog()) {
    // Rows read for tracks the wizard has no row for yet carry the album's artist.
    m_album.artist = wizard.albumArtist();
    m_reader = std::make_unique<CdReader>(m_mci, prompter, &m_log, m_album, false, true);
}

WizardCdRead::WizardCdRead(Database& db, const AlbumRecord& album, HandOver handOver, Prompter& prompter,
                           const Settings& settings, const QString& collectionDir,
                           std::unique_ptr<CdDrive> drive)
    : m_db(db), m_handOver(std::move(handOver)), m_drive(driveToRead(std::move(drive), settings)),
      m_mci(*m_drive), m_log(eventLogPath(collectionDir), settings.useLog()), m_album(album) {
    m_reader = std::make_unique<CdReader>(m_mci, prompter, &m_log, m_album, false, false);
}

WizardCdRead::~WizardCdRead() {
    // The reader closes the drive when it goes in the middle of a read.
    m_reader.reset();
}

bool WizardCdRead::step() {
    if (m_finished) {
        return false;
    }
    if (m_reader->step()) {
        return true;
    }
    finish();
    return false;
}

void WizardCdRead::cancel() {
    if (m_finished) {
        return;
    }
    m_cancelled = true;
    m_finished = true;
    m_reader->cancel();
}

void WizardCdRead::finish() {
    m_finished = true;
    if (!m_reader->succeeded()) {
        return;
    }
    Warnings& warnings = m_db.warnings();
    if (StoreError e = albumsHoldingDisc(m_db.store(), m_album, m_holders)) {
        m_holders.clear();
        warnings.report(warning::kRecordRetrievalError, e, QStringLiteral("Album"));
    }
    if (StoreError e = m_handOver(*m_reader, m_album)) {
        warnings.report(warning::kRecordInsertError, e);
        return;
    }
    m_succeeded = true;
}

} // namespace tunarium
