// The key walk against an order computed apart: whole keys, ranges and walks from a position over
// several batches, a walk that rewrites the key it walks, and a walk stopped on the way.
#include "data/key_walk.h"
#include "data/records.h"
#include "data/store_sqlite.h"
#include "data/unlinked_write.h"
#include "support/temp_collection.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

using namespace tunarium;

namespace {

struct Placed {
    qint64 album = 0, side = 0, track = 0, rec = 0;
    auto order() const { return std::tie(album, side, track, rec); }
};

class KeyWalkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(dir.dir()).ok());
        ASSERT_TRUE(store.openTable(TableId::Tunarium).ok());
        // Enough songs on album 2 for several batches, tracks repeated so that ties go to the
        // record number, and a few on the albums beside it.
        QRandomGenerator random(31);
        const int songs = KeyWalk::kBatch * 3 + 17;
        Transaction tx(store);
        for (int i = 0; i < songs; ++i) {
            SongRecord s;
            s.id = i + 1;
            s.title = QStringLiteral("Song %1").arg(i);
            s.albumId = i % 10 == 0 ? 1 + (i % 20 == 0 ? 0 : 2) : 2;
            s.side = 1 + random.bounded(2);
            s.trackNumber = 1 + random.bounded(90);
            ASSERT_TRUE(store.insert(s).ok());
            all.push_back({s.albumId, s.side, s.trackNumber, s.meta.rec});
        }
        ASSERT_TRUE(tx.commit().ok());
        std::sort(all.begin(), all.end(), [](const Placed& a, const Placed& b) { return a.order() < b.order(); });
    }

    QVector<qint64> walked(KeyWalkLimits limits, const KeyPosition* from = nullptr, bool inclusive = true) {
        QVector<qint64> recs;
        KeyWalk walk(store, TableId::Tunarium, tun::kKeyAlbumId, std::move(limits));
        const auto take = [&recs](const Row& row) {
            recs << row.meta.rec;
            return true;
        };
        const StoreError e = from ? walk.forEachFrom(*from, inclusive, take) : walk.forEach(take);
        EXPECT_TRUE(e.ok()) << e.describe().toStdString();
        return recs;
    }

    QVector<qint64> expected(const std::function<bool(const Placed&)>& keep) const {
        QVector<qint64> recs;
        for (const Placed& p : all) {
            if (keep(p)) {
                recs << p.rec;
            }
        }
        return recs;
    }

    test::TempCollection dir;
    SqliteStore store;
    std::vector<Placed> all; // in the key's order
};

TEST_F(KeyWalkTest, WalksMatchTheOrderComputedApart) {
    const Placed middle = all[all.size() / 2];
    KeyPosition at;
    at.values = {middle.album, middle.side, middle.track};
    at.rec = middle.rec;
    at.hasRec = true;
    const auto after = [&middle](const Placed& p) { return p.order() > middle.order(); };
    struct Case {
        const char* what;
        KeyWalkLimits limits;
        const KeyPosition* from;
        bool inclusive;
        std::function<bool(const Placed&)> keep;
    };
    const QVector<Case> cases = {
        {"the whole key", {}, nullptr, true, [](const Placed&) { return true; }},
        {"one album", {{qint64(2)}}, nullptr, true, [](const Placed& p) { return p.album == 2; }},
        {"one side of one album", {{qint64(2), qint64(1)}}, nullptr, true,
         [](const Placed& p) { return p.album == 2 && p.side == 1; }},
        {"an album no song is on", {{qint64(9)}}, nullptr, true, [](const Placed&) { return false; }},
        {"after a song", {}, &at, false, after},
        {"from a song", {}, &at, true, [&](const Placed& p) { return p.rec == middle.rec || after(p); }},
        {"after a song within its album", {{middle.album}}, &at, false,
         [&](const Placed& p) { return p.album == middle.album && after(p); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(walked(c.limits, c.from, c.inclusive), expected(c.keep));
    }
}

TEST_F(KeyWalkTest, AWalkThatMovesEachRecordBackInTheKeyMeetsEachOnce) {
    // As a delete renumbers the tracks after it: each song read moves one track down, behind
    // where the walk reads on.
    KeyWalk walk(store, TableId::Tunarium, tun::kKeyAlbumId, {{qint64(2)}});
    int moved = 0;
    const StoreError e = walk.forEach([&](const Row& read) {
        Row row = read;
        row.setNumber(tun::kTrackNumber, row.number(tun::kTrackNumber) - 1);
        ++moved;
        return rewriteUnlinked(store, row).ok();
    });
    ASSERT_TRUE(e.ok()) << e.describe().toStdString();
    const QVector<qint64> onAlbum = expected([](const Placed& p) { return p.album == 2; });
    EXPECT_EQ(moved, onAlbum.size());
    for (Placed& p : all) {
        p.track -= p.album == 2 ? 1 : 0;
    }
    std::sort(all.begin(), all.end(), [](const Placed& a, const Placed& b) { return a.order() < b.order(); });
    EXPECT_EQ(walked({}), expected([](const Placed&) { return true; }));
}

TEST_F(KeyWalkTest, AWalkStopsWhereItsVisitSaysAndAClosedStoreSaysSo) {
    int visited = 0;
    KeyWalk walk(store, TableId::Tunarium, tun::kKeyAlbumId);
    EXPECT_TRUE(walk.forEach([&visited](const Row&) { return ++visited < KeyWalk::kBatch + 5; }).ok());
    EXPECT_EQ(visited, KeyWalk::kBatch + 5);

    SqliteStore closed;
    KeyWalk nowhere(closed, TableId::Tunarium, tun::kKeyAlbumId);
    EXPECT_EQ(nowhere.forEach([](const Row&) { return true; }).code, code::kNotOpen);
    EXPECT_FALSE(nowhere.first());
}

} // namespace
