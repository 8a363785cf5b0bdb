// What the duplicate search reads of the collection, on a connection of its own in one snapshot
// (whatever other copies commit meanwhile), a slice of records at a time in record order: of every
// song only the fields that tell whether it is another's duplicate, of every album its disc
// identifiers and sound file. Reading a handful of columns keeps a walk over a million songs to seconds.
#pragma once

#include "data/store_error.h"

#include <QString>
#include <QVector>

namespace tunarium {

struct SongSighting {
    qint64 rec = 0;
    QString artist;
    QString title;
    QString fileNumber;
    qint64 albumId = 0;
    qint64 side = 0;
    qint64 track = 0;
};

struct AlbumSighting {
    qint64 rec = 0;
    QString cdIdentifier;
    QString discId;    // ALB:XCCD, the CDDB disc number
    QString soundFile; // ALB:AssociatedWAVFile
};

// Made by Store::openDuplicateReader, its snapshot begun.
class DuplicateReader {
public:
    DuplicateReader() = default;
    virtual ~DuplicateReader() = default;
    DuplicateReader(const DuplicateReader&) = delete;
    DuplicateReader& operator=(const DuplicateReader&) = delete;

    // Why the reader has no snapshot (the store is not open, its own connection failed).
    virtual const StoreError& error() const = 0;
    // Up to `limit` songs (albums) numbered above `afterRec`, in record order.
    virtual StoreError songsAfter(qint64 afterRec, int limit, QVector<SongSighting>& out) = 0;
    virtual StoreError albumsAfter(qint64 afterRec, int limit, QVector<AlbumSighting>& out) = 0;
};

} // namespace tunarium
