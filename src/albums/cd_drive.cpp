// The table-of-contents file drive and the choice of drive.
#include "albums/cd_drive.h"

#include "albums/libcdio_drive.h"

#include <QFileInfo>

namespace tunarium {

TocFileDrive::TocFileDrive(QString path) : m_path(std::move(path)) {}

DriveCondition TocFileDrive::open() {
    m_read = false;
    m_problem.clear();
    return DriveCondition::Ready;
}

DriveCondition TocFileDrive::condition() {
    if (!m_read) {
        m_read = true;
        m_toc = {};
        m_problem = readDiscTocFile(m_path, m_toc);
        return m_problem.isEmpty() ? DriveCondition::Ready : DriveCondition::NoDisc;
    }
    if (!m_problem.isEmpty()) {
        return DriveCondition::NoDisc;
    }
    if (!QFileInfo::exists(m_path)) {
        m_problem = QStringLiteral("%1 went away while it was read.").arg(m_path);
        return DriveCondition::Absent;
    }
    return DriveCondition::Ready;
}

void TocFileDrive::close() {
    m_read = false;
}

std::unique_ptr<CdDrive> chooseCdDrive(const QString& tocFile, const QString& device,
                                       const QString& settingDevice) {
    if (!tocFile.isEmpty()) {
        return std::make_unique<TocFileDrive>(tocFile);
    }
    if (!device.isEmpty()) {
        return std::make_unique<LibcdioDrive>(device);
    }
    const QString fromEnvironment = qEnvironmentVariable(kCdTocVariable);
    if (!fromEnvironment.isEmpty()) {
        return std::make_unique<TocFileDrive>(fromEnvironment);
    }
    return std::make_unique<LibcdioDrive>(settingDevice.trimmed());
}

} // namespace tunarium
