// The libcdio drive.
#include "albums/libcdio_drive.h"

#include <QFileInfo>

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/mmc.h>

#include <cerrno>
#include <mutex>

namespace tunarium {

namespace {

// libcdio writes its warnings to standard error by default; the program tells the user itself.
// The last error is kept for the problem text.
thread_local QString t_lastCdioError;

void keepCdioError(cdio_log_level_t level, const char message[]) {
    if (level >= CDIO_LOG_ERROR && message != nullptr) {
        t_lastCdioError = QString::fromLocal8Bit(message).trimmed();
    }
}

void quietCdio() {
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler(&keepCdioError); });
}

} // namespace

LibcdioDrive::LibcdioDrive(QString device) : m_device(std::move(device)) {}

LibcdioDrive::~LibcdioDrive() {
    close();
}

QString LibcdioDrive::deviceName() const {
    return m_device.isEmpty() ? QStringLiteral("the default CD drive") : m_device;
}

DriveCondition LibcdioDrive::open() {
    close();
    quietCdio();
    t_lastCdioError.clear();
    m_problem.clear();
    m_read = false;
    const QByteArray device = QFile::encodeName(m_device);
    const bool image = !m_device.isEmpty() && QFileInfo(m_device).isFile();
    errno = 0;
    m_cdio =
        cdio_open(m_device.isEmpty() ? nullptr : device.constData(), image ? DRIVER_UNKNOWN : DRIVER_DEVICE);
    if (m_cdio != nullptr) {
        return DriveCondition::Ready;
    }
    const bool busy = errno == EBUSY;
    if (busy) {
        m_problem = QStringLiteral("Another program is using %1.").arg(deviceName());
    } else {
        m_problem =
            QStringLiteral("Cannot open %1").arg(deviceName()) +
            (t_lastCdioError.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + t_lastCdioError);
    }
    return busy ? DriveCondition::Busy : DriveCondition::Absent;
}

DriveCondition LibcdioDrive::readToc() {
    m_toc = {};
    const track_t first = cdio_get_first_track_num(m_cdio);
    const track_t last = cdio_get_last_track_num(m_cdio);
    if (first == CDIO_INVALID_TRACK || last == CDIO_INVALID_TRACK || last < first) {
        m_problem = QStringLiteral("There is no disc in %1 that can be read.").arg(deviceName());
        return DriveCondition::NoDisc;
    }
    m_toc.first = first;
    for (int track = first; track <= last; ++track) {
        const lba_t start = cdio_get_track_lba(m_cdio, static_cast<track_t>(track));
        if (start == CDIO_INVALID_LBA) {
            m_problem =
                QStringLiteral("Track %1 of the disc in %2 cannot be read.").arg(track).arg(deviceName());
            return DriveCondition::NoDisc;
        }
        m_toc.offsets << start;
        m_toc.dataTracks << (cdio_get_track_format(m_cdio, static_cast<track_t>(track)) !=
                             TRACK_FORMAT_AUDIO);
    }
    m_toc.leadout = cdio_get_track_lba(m_cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (m_toc.leadout == CDIO_INVALID_LBA || m_toc.leadout <= m_toc.offsets.last()) {
        m_problem = QStringLiteral("The end of the disc in %1 cannot be read.").arg(deviceName());
        return DriveCondition::NoDisc;
    }
    // From here on a change of disc is news.
    (void)cdio_get_media_changed(m_cdio);
    return DriveCondition::Ready;
}

DriveCondition LibcdioDrive::condition() {
    if (m_cdio == nullptr) {
        return DriveCondition::Absent;
    }
    if (m_read) {
        if (!m_problem.isEmpty()) {
            return DriveCondition::NoDisc;
        }
        // The table was read once; a disc taken out or changed since (the tray opened) makes it
        // worthless.
        if (cdio_get_media_changed(m_cdio) == 1) {
            m_problem = QStringLiteral("The disc in %1 was changed while it was read.").arg(deviceName());
            return DriveCondition::Absent;
        }
        return DriveCondition::Ready;
    }
    if (mmc_get_tray_status(m_cdio) == 1) {
        return DriveCondition::TrayOpen;
    }
    m_read = true;
    return readToc();
}

void LibcdioDrive::close() {
    if (m_cdio != nullptr) {
        cdio_destroy(m_cdio);
        m_cdio = nullptr;
    }
    m_read = false;
}

} // namespace tunarium
