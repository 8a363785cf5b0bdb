// The CD drive under the MCI command-string layer: what the layer asks of a drive, and the two
// kinds there are. A real drive (or a disc image) is read through libcdio; a table-of-contents
// file stands in for a drive in tests, demonstrations and on machines without one.
#pragma once

#include "albums/disc_toc.h"

#include <QString>

#include <memory>

namespace tunarium {

// The environment variable that names a table-of-contents file to read instead of a drive.
inline constexpr char kCdTocVariable[] = "TUNARIUM_CD_TOC";

enum class DriveCondition {
    Ready,    // a disc is in and its table of contents was read
    NoDisc,   // the tray is shut on no disc, or the disc cannot be read
    TrayOpen, // the tray is open
    Busy,     // another program holds the drive
    Absent,   // there is no such drive, or it went away
};

class CdDrive {
public:
    virtual ~CdDrive() = default;

    // Takes hold of the drive: Ready, or Busy or Absent when it cannot be had.
    virtual DriveCondition open() = 0;
    // What the drive holds now, asked before every question about the disc; the table of
    // contents is read when a disc is first seen. Absent once the drive went away.
    virtual DriveCondition condition() = 0;
    // The disc's table of contents; meaningful only while condition() answers Ready.
    virtual const DiscToc& toc() const = 0;
    // Lets go of the drive. Harmless when it is not held.
    virtual void close() = 0;
    // Why the drive is not ready or not available, when there is more to tell than that; empty
    // otherwise.
    virtual QString problem() const = 0;
};

// A table-of-contents file in place of a drive: it is always there and never busy. A missing or
// malformed file is a drive without a readable disc; a file that disappears while it is read is
// a drive that went away.
class TocFileDrive final : public CdDrive {
public:
    explicit TocFileDrive(QString path);

    DriveCondition open() override;
    DriveCondition condition() override;
    const DiscToc& toc() const override { return m_toc; }
    void close() override;
    QString problem() const override { return m_problem; }

private:
    QString m_path;
    DiscToc m_toc;
    QString m_problem;
    bool m_read = false;
};

// The drive to read: the command line's table-of-contents file, else its device, else the file
// that TUNARIUM_CD_TOC names, else the device of the `CDDrive` setting; with none of these,
// libcdio's default drive.
std::unique_ptr<CdDrive> chooseCdDrive(const QString& tocFile, const QString& device,
                                       const QString& settingDevice);

} // namespace tunarium
