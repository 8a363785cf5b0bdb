// Drawing songs uniformly over the songs that exist.
#include "playlists/song_draw.h"

#include <algorithm>

namespace tunarium {

SeededRandom::SeededRandom() : m_rng(QRandomGenerator::global()->generate()) {}

qint64 SeededRandom::between(qint64 low, qint64 high) {
    if (high <= low) {
        return low;
    }
    return low + static_cast<qint64>(m_rng.bounded(static_cast<quint64>(high - low) + 1));
}

SongDrawer::SongDrawer(Store& store, RandomSource& random) : m_store(store), m_random(random) {}

StoreError SongDrawer::prepare() {
    m_gaps = 0;
    return m_store.recordRange(TableId::Tunarium, m_first, m_last);
}

StoreError SongDrawer::draw(DrawRange range, SongRecord& out) {
    if (empty()) {
        return StoreError::of(code::kRecordNotFound);
    }
    // The halves as the numbers 1 to n split them when nothing was ever deleted: the newer half
    // from n/2 to n, the older from 1 to n/2 (n/2 taken as at least 1).
    const qint64 span = m_last - m_first + 1;
    const qint64 middle = m_first + std::max<qint64>(span / 2, 1) - 1;
    const qint64 low = range == DrawRange::NewerHalf ? middle : m_first;
    const qint64 high = range == DrawRange::OlderHalf ? middle : m_last;
    Row row;
    qint64 rec = 0;
    for (int attempt = 0; attempt < kTriesPerDraw; ++attempt) {
        rec = m_random.between(low, high);
        const StoreError e = m_store.fetch(TableId::Tunarium, rec, row);
        if (e.ok()) {
            out = fromRow<SongRecord>(row);
            return {};
        }
        if (e.code != code::kRecordNotFound) {
            return e;
        }
        ++m_gaps;
    }
    StoreError e = m_store.fetchAtOrAfter(TableId::Tunarium, rec, row);
    if (e.code == code::kRecordNotFound) {
        // Songs above the number were deleted meanwhile: the first song of all.
        e = m_store.fetchAtOrAfter(TableId::Tunarium, m_first, row);
    }
    if (e.ok()) {
        out = fromRow<SongRecord>(row);
    }
    return e;
}

} // namespace tunarium
