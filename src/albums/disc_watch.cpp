// The disc-change watch.
#include "albums/disc_watch.h"

#include "data/settings.h"

namespace tunarium {

DiscWatch::DiscWatch(DriveMaker makeDrive, int intervalHundredths, QObject* parent)
    : QObject(parent), m_makeDrive(std::move(makeDrive)), m_interval(std::max(0, intervalHundredths)) {
    if (!watching()) {
        m_condition = DriveCondition::Ready;
        return;
    }
    m_timer.setInterval(m_interval * 10);
    connect(&m_timer, &QTimer::timeout, this, &DiscWatch::look);
    look();
    m_timer.start();
}

std::unique_ptr<DiscWatch> DiscWatch::forSettings(const Settings& settings, QObject* parent) {
    const QString device = settings.cdDrive();
    return std::make_unique<DiscWatch>([device] { return chooseCdDrive({}, {}, device); }, settings.cdTimer(),
                                       parent);
}

DiscWatch::~DiscWatch() {
    if (m_drive && m_held) {
        m_drive->close();
    }
}

QString DiscWatch::reason() const {
    switch (discReady() ? DriveCondition::Ready : m_condition) {
    case DriveCondition::Ready:
        return {};
    case DriveCondition::NoDisc:
        return QStringLiteral("There is no readable disc in the CD drive.");
    case DriveCondition::TrayOpen:
        return QStringLiteral("The tray of the CD drive is open.");
    case DriveCondition::Busy:
        return QStringLiteral("Another program is using the CD drive.");
    case DriveCondition::Absent:
        break;
    }
    return QStringLiteral("There is no CD drive.");
}

void DiscWatch::look() {
    if (!watching() || m_paused) {
        return;
    }
    if (!m_drive) {
        m_drive = m_makeDrive ? m_makeDrive() : nullptr;
        m_held = false;
    }
    DriveCondition now = DriveCondition::Absent;
    if (m_drive) {
        if (!m_held) {
            now = m_drive->open();
            m_held = now == DriveCondition::Ready;
        }
        if (m_held) {
            now = m_drive->condition();
        }
        if (now != DriveCondition::Ready) {
            // Let go, and take hold afresh at the next look: a drive that went away or was taken
            // may be back, and a disc put in is read anew.
            m_drive->close();
            m_held = false;
            if (now == DriveCondition::Absent || now == DriveCondition::Busy) {
                m_drive.reset();
            }
        }
    }
    if (now != m_condition) {
        m_condition = now;
        emit changed(now);
    }
}

void DiscWatch::pause() {
    if (m_paused) {
        return;
    }
    m_paused = true;
    m_timer.stop();
    if (m_drive) {
        m_drive->close();
        m_drive.reset();
    }
    m_held = false;
}

void DiscWatch::resume() {
    if (!m_paused) {
        return;
    }
    m_paused = false;
    if (watching()) {
        look();
        m_timer.start();
    }
}

} // namespace tunarium
