// A read of the disc that a progress window drives one step at a time: the add wizard's read into
// its rows, the album form's read into the album's songs or of its identifier only.
#pragma once

#include "albums/cd_reader.h"

namespace tunarium {

class CdReadJob {
public:
    virtual ~CdReadJob() = default;
    // One step of the read; true while more remain. After the last one the tracks are written.
    virtual bool step() = 0;
    // Ends the read where it stands: the drive is closed and nothing is written.
    virtual void cancel() = 0;
    virtual bool finished() const = 0;
    // The read completed and what it read was written.
    virtual bool succeeded() const = 0;
    virtual const CdReadProgress& progress() const = 0;
};

} // namespace tunarium
