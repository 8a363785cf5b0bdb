// The writes no relation follows: they write as the store does, and a debug build stops one that
// would move a linking field (which the update and delete routines would have followed).
#include "data/records.h"
#include "data/store_sqlite.h"
#include "data/unlinked_write.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tunarium;

namespace {

class UnlinkedWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(dir.dir()).ok());
        for (TableId t : {TableId::Tunarium, TableId::Album, TableId::PlaylistDetails, TableId::AddWizard}) {
            ASSERT_TRUE(store.openTable(t).ok());
        }
        song.id = 5;
        song.albumId = 7;
        song.fileNumber = "F1";
        ASSERT_TRUE(store.insert(song).ok());
        unnumbered.title = "Not numbered yet";
        ASSERT_TRUE(store.insert(unnumbered).ok());
        entry.playlistId = 1;
        entry.playlistSeq = 1;
        entry.id = 5;
        ASSERT_TRUE(store.insert(entry).ok());
        album.albumId = 7;
        album.album = "Album";
        ASSERT_TRUE(store.insert(album).ok());
        row.instance = 1;
        row.track = 1;
        ASSERT_TRUE(store.insert(row).ok());
    }

    test::TempCollection dir;
    SqliteStore store;
    SongRecord song, unnumbered;
    PlaylistEntryRecord entry;
    AlbumRecord album;
    WizardTrackRecord row;
};

TEST_F(UnlinkedWriteTest, WritesThatMoveNoLinkGoThroughAndKeepTheVersionCheck) {
    SongRecord timed = song;
    timed.time = 20501;
    ASSERT_TRUE(rewriteUnlinked(store, timed).ok());
    SongRecord read;
    ASSERT_TRUE(store.get(tun::kKeyId, {qint64(5)}, read).ok());
    EXPECT_EQ(read.time, 20501);
    // The copy read before the rewrite is out of date.
    song.title = "Stale";
    EXPECT_EQ(rewriteUnlinked(store, song).code, code::kChangedByOther);

    entry.playlistSeq = 9;
    entry.playlistNotes = "Charted";
    EXPECT_TRUE(rewriteUnlinked(store, entry).ok());
    // A child's link set, and a parent's blank value given its first number.
    EXPECT_TRUE(rewriteUnfollowedField(store, TableId::Tunarium, read.meta, tun::kAlbumId, 0).ok());
    EXPECT_TRUE(rewriteUnfollowedField(store, TableId::Tunarium, unnumbered.meta, tun::kId, 6).ok());
    EXPECT_TRUE(removeUnlinked(store, row).ok());
    EXPECT_EQ(store.count(TableId::AddWizard), 0);
}

#ifndef QT_NO_DEBUG
TEST_F(UnlinkedWriteTest, ADebugBuildStopsAWriteThatMovesALink) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        const char* what;
        std::function<void()> write;
    } cases[] = {
        {"a song's album",
         [this] {
             song.albumId = 8;
             rewriteUnlinked(store, song);
         }},
        {"a song's carrier",
         [this] {
             song.fileNumber = "F2";
             rewriteUnlinked(store, song);
         }},
        {"the song an entry names",
         [this] {
             entry.id = 6;
             rewriteUnlinked(store, entry);
         }},
        {"an album's number",
         [this] {
             album.albumId = 70;
             rewriteUnlinked(store, album);
         }},
        {"a numbered song renumbered",
         [this] { rewriteUnfollowedField(store, TableId::Tunarium, song.meta, tun::kId, 50); }},
        {"an album deleted without its rules", [this] { removeUnlinked(store, album); }},
    };
    for (const auto& c : cases) {
        EXPECT_DEATH(c.write(), "Database::") << c.what;
    }
}
#endif

} // namespace
