// The songs in the order of the file, and a song's album link rewritten on its own. A walk over
// every song that rewrites many of them is fastest in file order (the rewritten pages follow one
// another), and a rewrite of the one field leaves the song's other keys untouched.
#pragma once

#include "data/records.h"
#include "data/store.h"

#include <QVector>

namespace tunarium {

class SongFileOrder {
public:
    explicit SongFileOrder(Store& store) : m_store(store) {}

    // Up to `limit` songs whose record number follows `afterRec`, in record order.
    StoreError read(qint64 afterRec, int limit, QVector<SongRecord>& out);
    // Sets the song's album link. Fails with 89 when the song was changed since it was read;
    // on success the song's version follows the file.
    StoreError setAlbum(SongRecord& song, qint64 albumId);

private:
    Store& m_store;
    QVector<Row> m_rows;
};

} // namespace tunarium
