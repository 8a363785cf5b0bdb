// A wizard's read of the disc.
#include "albums/wizard_cd_read.h"

namespace tunarium {

namespace {

// Rows read for tracks the wizard has no row for yet carry the album's artist.
AlbumRecord wizardAlbum(const AddWizard& wizard) {
    AlbumRecord album;
    album.artist = wizard.albumArtist();
    return album;
}

} // namespace

WizardCdRead::WizardCdRead(AddWizard& wizard, Prompter& prompter, const Settings& settings,
                           const QString& collectionDir, std::unique_ptr<CdDrive> drive)
    : CdReadJob(settings, collectionDir, wizardAlbum(wizard), std::move(drive)), m_db(wizard.database()),
      m_handOver([&wizard](const CdReader& reader, const AlbumRecord& album) -> StoreError {
          if (StoreError e = wizard.tracks().applyRead(reader.trackTimes(), album.artist)) {
              return e;
          }
          wizard.setDiscIdentifiers(album.cdIdentifier, album.xccd);
          return {};
      }) {
    startReader(prompter, false, true);
}

WizardCdRead::WizardCdRead(Database& db, const AlbumRecord& album, HandOver handOver, Prompter& prompter,
                           const Settings& settings, const QString& collectionDir,
                           std::unique_ptr<CdDrive> drive)
    : CdReadJob(settings, collectionDir, album, std::move(drive)), m_db(db), m_handOver(std::move(handOver)) {
    startReader(prompter, false, false);
}

bool WizardCdRead::handOver() {
    Warnings& warnings = m_db.warnings();
    if (StoreError e = albumsHoldingDisc(m_db.store(), m_album, m_holders)) {
        m_holders.clear();
        warnings.report(warning::kRecordRetrievalError, e, QStringLiteral("Album"));
    }
    if (StoreError e = m_handOver(reader(), m_album)) {
        warnings.report(warning::kRecordInsertError, e);
        return false;
    }
    return true;
}

} // namespace tunarium
