// The search box on a collection on the server finds what it finds in the same collection in a
// file: one collection copied from the file to the server, a table of searches of every form, each
// walked to its end in two keys and counted on both. Skipped without a test server.
#include "catalogue/song_search.h"
#include "data/app_paths.h"
#include "data/date_time.h"
#include "data/dictionary_tables.h"
#include "data/records.h"
#include "data/store_copy.h"
#include "data/store_pg.h"
#include "data/store_sqlite.h"
#include "support/temp_collection.h"
#include "support/test_server.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

// Every song a plan finds, walked through `key` in pages of 97.
QVector<qint64> walked(Store& s, const SongSearchPlan& plan, int key, Direction direction) {
    QVector<qint64> recs;
    KeyPosition from;
    for (;;) {
        QVector<Row> page;
        const StoreError e = s.read(TableId::Tunarium, key, from, direction, false, 97, page, WalkLimits(plan.condition));
        EXPECT_TRUE(e.ok()) << e.describe().toStdString();
        for (const Row& r : page) {
            recs << r.meta.rec;
        }
        if (page.size() < 97 || e) {
            return recs;
        }
        from = s.positionOf(page.last(), key);
    }
}

} // namespace

TEST(ServerSearch, EverySearchFindsOnTheServerWhatItFindsInTheFile) {
    SKIP_WITHOUT_TEST_SERVER();
    test::ServerDatabase db;
    ASSERT_TRUE(db.error().isEmpty()) << db.error().toStdString();
    ASSERT_TRUE(initServerCollection(db.location()).ok());
    test::TempCollection dir;
    SqliteStore file;
    ASSERT_TRUE(file.open(dir.dir()).ok());
    for (const TableDef& t : allTables()) {
        ASSERT_TRUE(file.openTable(t.id).ok());
    }
    for (const char* name : {"House", "Rock", "Électro"}) {
        CategoryRecord c;
        c.categoryId = file.count(TableId::Categories) + 1;
        c.category = QString::fromUtf8(name);
        ASSERT_TRUE(file.insert(c).ok());
    }
    // "Love" in two songs of three: more candidates than the index narrows to, so that the walk
    // along a key is planned too.
    const QStringList artists{"ABBA",       "Abba", "Björk",      "bjork", "The Beatles", "Beyoncé",
                              "Sigur Rós",  "Daft Punk", "100% Pure", "a_b",  "Ünder",      ""};
    const QStringList titles{"Love Song", "love me do", "LOVELY", "Dancing Queen", "Crème brûlée Love",
                             "Straße",    "50% off love", "Hyperballad", "Glove"};
    const QStringList albums{"Gold", "Post", "Help!", "", "Ágætis byrjun"};
    const QStringList mixes{"", "", "Extended", "Radio Edit", "Dub"};
    const QStringList keys{"8A", "9A", "7A", "8B", "1B", ""};
    QRandomGenerator rng(2033);
    const auto pick = [&rng](const QStringList& from) { return from[rng.bounded(static_cast<int>(from.size()))]; };
    ASSERT_TRUE(file.begin().ok());
    for (int i = 0; i < 5400; ++i) {
        SongRecord s;
        s.artist = pick(artists);
        s.title = pick(titles);
        s.album = pick(albums);
        s.mix = pick(mixes);
        s.media = rng.bounded(2) ? "CD" : "Vinyl";
        s.musicalKey = pick(keys);
        s.beatsPerMinute = 60 + rng.bounded(130);
        const int year = 1960 + rng.bounded(50);
        s.releaseDate = rng.bounded(3) == 0 ? year : dayNumberFromYmd(year, 1 + rng.bounded(12), 1 + rng.bounded(28));
        s.rating = rng.bounded(10);
        s.categoryId = rng.bounded(4);
        s.id = i + 1;
        ASSERT_TRUE(file.insert(s).ok());
    }
    ASSERT_TRUE(file.commit().ok());
    file.close();
    QVector<CopiedTable> copied;
    ASSERT_TRUE(copyFileToServer(collectionFilePath(dir.dir()), db.location(), copied).ok());
    ASSERT_TRUE(file.open(dir.dir()).ok());
    PgStore server;
    ASSERT_TRUE(server.open(db.location()).ok());
    for (Store* s : {static_cast<Store*>(&file), static_cast<Store*>(&server)}) {
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(s->openTable(t.id).ok());
        }
    }

    const char* searches[] = {
        "love",          "LOVE",           "lov",           "ab",           "björk",         "bjork",
        "Bjö",           "\"love me\"",    "artist:abba",   "artist:=abba", "title:love -artist:abba",
        "-love",         "bpm:120-128",    "bpm:>=170",     "bpm:~124",     "year:1975-1979", "year:1980",
        "key:8A",        "key:~8A",        "key:Am",        "rating:>=7",   "category:house", "category:=\"\"",
        "category:élec", "media:cd",       "mix:extended",  "100%",         "a_b",           "50%",
        "straße",        "crème",          "love -love",    "sigur rós",    "rós",           "beyonce",
        "-artist:abba bpm:100-140 love",   "glove",         "ove ong",      "title:=\"love song\"",
        "artist:=\"\" lovely",             "ágætis",        "_",            "%",            "year:<1900",
    };
    qint64 found = 0;
    for (const char* typed : searches) {
        SCOPED_TRACE(typed);
        const SongSearch search = parseSongSearch(QString::fromUtf8(typed));
        ASSERT_TRUE(search.ok()) << search.error.toStdString();
        SongSearchPlan plans[2] = {planSongSearch(file, search, {}), planSongSearch(server, search, {})};
        ASSERT_TRUE(plans[0].error.ok());
        ASSERT_TRUE(plans[1].error.ok()) << plans[1].error.describe().toStdString();
        const QVector<qint64> byArtist = walked(file, plans[0], tun::kSongsByArtist, Direction::Forward);
        EXPECT_EQ(walked(server, plans[1], tun::kSongsByArtist, Direction::Forward), byArtist);
        EXPECT_EQ(walked(server, plans[1], tun::kSongsByTitle, Direction::Backward),
                  walked(file, plans[0], tun::kSongsByTitle, Direction::Backward));
        ASSERT_TRUE(countSongSearch(file, plans[0]).ok());
        const StoreError counted = countSongSearch(server, plans[1]);
        ASSERT_TRUE(counted.ok()) << counted.describe().toStdString();
        EXPECT_EQ(plans[1].found, plans[0].found);
        EXPECT_EQ(plans[0].found, byArtist.size());
        found += byArtist.size();
        if (QString::fromUtf8(typed) == u"love") {
            EXPECT_GT(byArtist.size(), 3000); // walked along the key, not read and sorted
        }
    }
    EXPECT_GT(found, 20000);
}
