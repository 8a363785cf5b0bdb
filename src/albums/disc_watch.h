// DiscWatch: looks at the CD drive every `CDTimer` hundredths of a second and tells when what it
// holds changes (a disc put in, taken out, the tray opened), so that the windows that read discs
// (the add wizards, the album form, the album wizard) enable their read buttons only while a
// disc can be read. It holds the drive between looks and lets go of it while paused, which a
// window does while its own read of the disc runs. The drive is injectable: tests give a fake.
#pragma once

#include "albums/cd_drive.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace tunarium {

class Settings;

class DiscWatch : public QObject {
    Q_OBJECT

public:
    using DriveMaker = std::function<std::unique_ptr<CdDrive>()>;

    // `intervalHundredths` is the `CDTimer` setting: 0 never looks, and the drive then counts as
    // ready (the read itself tells what is wrong). The first look is made at once.
    DiscWatch(DriveMaker makeDrive, int intervalHundredths, QObject* parent = nullptr);
    // The drive the settings name (the `CDDrive` device, or a table-of-contents file that
    // TUNARIUM_CD_TOC names), looked at every `CDTimer`.
    static std::unique_ptr<DiscWatch> forSettings(const Settings& settings, QObject* parent = nullptr);
    ~DiscWatch() override;

    bool watching() const { return m_interval > 0; }
    int interval() const { return m_interval; }
    DriveCondition condition() const { return m_condition; }
    // A read of the disc may start: a disc is in, or the drive is not watched.
    bool discReady() const { return !watching() || m_condition == DriveCondition::Ready; }
    // Why a read cannot start now, for the read button's tip; empty while it can.
    QString reason() const;

    // Looks at the drive now (the timer calls it).
    void look();
    // Lets go of the drive and stops looking until resume(); nothing is told meanwhile.
    void pause();
    void resume();
    bool paused() const { return m_paused; }

signals:
    // What the drive holds changed; discReady() tells whether a read may start.
    void changed(tunarium::DriveCondition condition);

private:
    DriveMaker m_makeDrive;
    std::unique_ptr<CdDrive> m_drive;
    QTimer m_timer;
    int m_interval = 0;
    bool m_paused = false;
    bool m_held = false;
    DriveCondition m_condition = DriveCondition::Absent;
};

} // namespace tunarium
