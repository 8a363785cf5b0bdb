// What the duplicate search reads of the collection, on a connection of its own in one snapshot
// (whatever other copies commit meanwhile), a slice of records at a time in record order: of every
// song only the fields that tell whether it is another's duplicate, of every album its disc
// identifiers and sound file. Reading a handful of columns keeps a walk over a million songs to seconds.
#pragma once

#include "data/store_error.h"

#include <QString>
#include <QVector>

#include <memory>

namespace tunarium {

class Connection;

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

class DuplicateReader {
public:
    DuplicateReader();
    ~DuplicateReader();
    DuplicateReader(const DuplicateReader&) = delete;
    DuplicateReader& operator=(const DuplicateReader&) = delete;

    // Opens the collection file at `filePath` (read only when `readOnly`) and begins the snapshot.
    StoreError open(const QString& filePath, bool readOnly);
    void close();
    // Up to `limit` songs (albums) numbered above `afterRec`, in record order.
    StoreError songsAfter(qint64 afterRec, int limit, QVector<SongSighting>& out);
    StoreError albumsAfter(qint64 afterRec, int limit, QVector<AlbumSighting>& out);

private:
    std::unique_ptr<Connection> m_connection;
};

} // namespace tunarium
