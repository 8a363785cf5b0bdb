// Reading the songs in file order and rewriting their album link.
#include "albums/song_file_order.h"

#include "data/unlinked_write.h"

namespace tunarium {

StoreError SongFileOrder::read(qint64 afterRec, int limit, QVector<SongRecord>& out) {
    out.clear();
    const StoreError e = m_store.readInRecordOrder(TableId::Tunarium, afterRec, limit, m_rows);
    out.reserve(m_rows.size());
    for (const Row& row : m_rows) {
        out.push_back(fromRow<SongRecord>(row));
    }
    return e;
}

StoreError SongFileOrder::setAlbum(SongRecord& song, qint64 albumId) {
    if (StoreError e =
            rewriteUnfollowedField(m_store, TableId::Tunarium, song.meta, tun::kAlbumId, albumId)) {
        return e;
    }
    song.albumId = albumId;
    return {};
}

} // namespace tunarium
