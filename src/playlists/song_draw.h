// Random choice of songs for the playlist generator. A song is drawn by its record number, which
// follows the order in which songs were added and is never used again: deleted songs leave gaps.
// A draw takes a number uniformly within the numbers in use and draws again while it lands in a
// gap, so that every song that exists is as likely as every other, the newest included, and no
// song stands in for a gap. "Newer" and "older" are the halves of the songs that exist, by order of
// addition: they meet at the middle song, however many songs of either half were deleted.
#pragma once

#include "data/records.h"
#include "data/store.h"

#include <QRandomGenerator>

namespace tunarium {

// Where the generator's random numbers come from. Tests give a seeded source, so that a run can be
// repeated draw for draw.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A uniform integer from `low` to `high`, both included; `low` when `high` is below it.
    virtual qint64 between(qint64 low, qint64 high) = 0;
    // A coin: true half of the time.
    bool coin() { return between(1, 2) == 1; }
};

class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(quint32 seed) : m_rng(seed) {}
    // Seeded from the system's source of randomness: a new sequence every run.
    SeededRandom();
    qint64 between(qint64 low, qint64 high) override;

private:
    QRandomGenerator m_rng;
};

enum class DrawRange { All, NewerHalf, OlderHalf };

class SongDrawer {
public:
    // Draws that land in gaps before a draw gives up on a uniform choice. Only a collection that is
    // nearly all gaps reaches it; the draw then takes the first song above the number it drew.
    static constexpr int kTriesPerDraw = 1000;

    SongDrawer(Store& store, RandomSource& random);

    // Reads the record numbers in use (once per generation: two steps down the table's tree).
    StoreError prepare();
    bool empty() const { return m_last == 0; }
    // One song from the whole collection or one of its halves.
    StoreError draw(DrawRange range, SongRecord& out);
    // Numbers drawn that named no song (drawn again).
    qint64 gapsMet() const { return m_gaps; }

private:
    Store& m_store;
    RandomSource& m_random;
    StoreError findMiddle();

    qint64 m_first = 0;
    qint64 m_last = 0;
    qint64 m_middle = 0; // the record number of the middle song; 0 until a half is drawn from
    qint64 m_gaps = 0;
};

} // namespace tunarium
