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
    m_middle = 0;
    return m_store.recordRange(TableId::Tunarium, m_first, m_last);
}

// The middle song is the n/2-th that exists (n/2 taken as at least 1), found by halving the span
// of numbers and counting the songs in the lower half of what is left: about 20 counts for a
// million songs that together read the numbers about twice, made only when a half is asked for.
StoreError SongDrawer::findMiddle() {
    const qint64 songs = m_store.count(TableId::Tunarium);
    const qint64 wanted = std::max<qint64>(songs / 2, 1);
    qint64 low = m_first;
    qint64 high = m_last;
    qint64 belowLow = 0; // songs numbered below `low`
    while (low < high) {
        const qint64 mid = low + (high - low) / 2;
        qint64 inLowerHalf = 0;
        if (StoreError e = m_store.countInRecordSpan(TableId::Tunarium, {}, low - 1, mid, inLowerHalf)) {
            return e;
        }
        if (belowLow + inLowerHalf >= wanted) {
            high = mid;
        } else {
            belowLow += inLowerHalf;
            low = mid + 1;
        }
    }
    m_middle = low;
    return {};
}

StoreError SongDrawer::draw(DrawRange range, SongRecord& out) {
    if (empty()) {
        return StoreError::of(code::kRecordNotFound);
    }
    // The halves of the songs that exist: the newer from the middle song to the newest, the
    // older from the oldest to the middle song.
    if (range != DrawRange::All && m_middle == 0) {
        if (StoreError e = findMiddle()) {
            return e;
        }
    }
    const qint64 low = range == DrawRange::NewerHalf ? m_middle : m_first;
    const qint64 high = range == DrawRange::OlderHalf ? m_middle : m_last;
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
