// What every read of the disc does the same: the drive, the log, the steps and their end.
#include "albums/cd_read_job.h"

#include "data/app_paths.h"

namespace tunarium {

CdReadJob::CdReadJob(const Settings& settings, const QString& collectionDir, const AlbumRecord& album,
                     std::unique_ptr<CdDrive> drive)
    : m_album(album), m_drive(drive ? std::move(drive) : chooseCdDrive({}, {}, settings.cdDrive())),
      m_mci(*m_drive), m_log(eventLogPath(collectionDir), settings.useLog()) {}

CdReadJob::~CdReadJob() {
    // The reader closes the drive when it goes in the middle of a read.
    m_reader.reset();
}

void CdReadJob::startReader(Prompter& prompter, bool identifyOnly, bool intoWizardRows) {
    m_reader = std::make_unique<CdReader>(m_mci, prompter, &m_log, m_album, identifyOnly, intoWizardRows);
}

bool CdReadJob::step() {
    if (m_finished) {
        return false;
    }
    if (m_reader->step()) {
        return true;
    }
    m_finished = true;
    m_succeeded = m_reader->succeeded() && handOver();
    return false;
}

void CdReadJob::cancel() {
    if (m_finished) {
        return;
    }
    m_cancelled = true;
    m_finished = true;
    m_reader->cancel();
}

} // namespace tunarium
