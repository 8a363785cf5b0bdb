// A real CD drive read through libcdio: its table of contents, the open tray, no disc, a drive
// held by another program. A device that names a disc image (a CUE sheet, a cdrdao TOC or an NRG
// file) is read as a disc in a drive.
#pragma once

#include "albums/cd_drive.h"

typedef struct _CdIo CdIo_t;

namespace tunarium {

class LibcdioDrive final : public CdDrive {
public:
    // An empty device stands for libcdio's default drive.
    explicit LibcdioDrive(QString device);
    ~LibcdioDrive() override;
    LibcdioDrive(const LibcdioDrive&) = delete;
    LibcdioDrive& operator=(const LibcdioDrive&) = delete;

    DriveCondition open() override;
    DriveCondition condition() override;
    const DiscToc& toc() const override { return m_toc; }
    void close() override;
    QString problem() const override { return m_problem; }

private:
    DriveCondition readToc();
    QString deviceName() const;

    QString m_device;
    CdIo_t* m_cdio = nullptr;
    DiscToc m_toc;
    QString m_problem;
    bool m_read = false;
};

} // namespace tunarium
