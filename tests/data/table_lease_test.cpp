// Leases of tables: taken whole or not at all, given back whole, and never more than they took,
// checked against the counted opens of every table before and after.
#include "data/database.h"
#include "data/store_sqlite.h"
#include "data/table_lease.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

// Every table's count of opens by its number, and the songs alias's last, as one comparable list.
std::vector<int> counts(const Database& db) {
    std::vector<int> out(kTableCount + 1, 0);
    for (const TableDef& t : allTables()) {
        out[static_cast<size_t>(t.id)] = db.openCount(t.id);
    }
    out.back() = db.songsAliasCount();
    return out;
}

class TableLeaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The albums' keys are damaged: their open asks to rebuild them, and an answer that is
        // neither Yes nor No refuses the open without ending the program.
        {
            SqliteStore store;
            ASSERT_TRUE(store.open(dir.dir()).ok());
            for (const TableDef& t : allTables()) {
                ASSERT_TRUE(store.openTable(t.id).ok());
            }
            ASSERT_TRUE(store.exec("DROP INDEX \"ALB:KeyArtist\"").ok());
        }
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
};

TEST_F(TableLeaseTest, ARefusedLeaseGivesBackOnlyWhatItOpened) {
    // Another holder has the songs and the media open throughout.
    const TableLease holder(*db, {TableId::Tunarium, TableId::Media});
    ASSERT_TRUE(holder.held());
    const struct {
        const char* what;
        std::vector<TableId> tables;
        bool alias;
    } cases[] = {
        {"the refused table first", {TableId::Album, TableId::Tunarium}, false},
        {"after tables another holds", {TableId::Tunarium, TableId::Media, TableId::Album}, false},
        {"after tables no one holds", {TableId::Categories, TableId::PlaylistMaster, TableId::Album}, false},
        {"in the middle", {TableId::Tunarium, TableId::Categories, TableId::Album, TableId::Fonts}, false},
        {"with the songs alias", {TableId::Tunarium, TableId::Album}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<int> before = counts(*db);
        prompter.messages.clear();
        prompter.answers = {kButtonCancel};
        {
            const TableLease lease(*db, c.tables, c.alias);
            EXPECT_FALSE(lease.held());
            EXPECT_EQ(counts(*db), before);
        }
        EXPECT_EQ(counts(*db), before);
        EXPECT_FALSE(db->halted());
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_EQ(prompter.messages[0].caption, "Invalid Key");
    }
    // Once the keys are rebuilt (the default answer) the same lease is held.
    const std::vector<int> before = counts(*db);
    prompter.answers.clear();
    {
        const TableLease lease(*db, {TableId::Tunarium, TableId::Categories, TableId::Album}, true);
        ASSERT_TRUE(lease.held());
        std::vector<int> held = before;
        for (TableId t : {TableId::Tunarium, TableId::Categories, TableId::Album}) {
            ++held[static_cast<size_t>(t)];
        }
        ++held.back();
        EXPECT_EQ(counts(*db), held);
    }
    EXPECT_EQ(counts(*db), before);
}

TEST_F(TableLeaseTest, AMovedLeaseIsGivenBackOnceByItsLastHolder) {
    const std::vector<int> none = counts(*db);
    std::vector<int> songs = none;
    ++songs[static_cast<size_t>(TableId::Tunarium)];
    ++songs.back();
    TableLease kept;
    EXPECT_FALSE(kept.held());
    {
        TableLease first(*db, {TableId::Tunarium}, true);
        ASSERT_TRUE(first.held());
        TableLease second(std::move(first));
        EXPECT_FALSE(first.held());
        EXPECT_TRUE(second.held());
        EXPECT_EQ(counts(*db), songs);
        kept = std::move(second);
    }
    EXPECT_EQ(counts(*db), songs);
    // A lease given over another gives back what that one held first.
    kept = TableLease(*db, {TableId::Media, TableId::Fonts});
    std::vector<int> media = none;
    ++media[static_cast<size_t>(TableId::Media)];
    ++media[static_cast<size_t>(TableId::Fonts)];
    EXPECT_EQ(counts(*db), media);
    kept.release();
    kept.release();
    EXPECT_FALSE(kept.held());
    EXPECT_EQ(counts(*db), none);
}

// When the program ends, every table is closed at once; a lease that goes afterwards takes no
// count below nothing, and a lease asked for then is refused.
TEST_F(TableLeaseTest, LeasesOutlivingTheEndOfTheProgramCloseNothing) {
    prompter.answers.clear();
    TableLease lease(*db, {TableId::Album, TableId::Tunarium});
    ASSERT_TRUE(lease.held());
    prompter.answers = {kButtonAbort};
    ASSERT_TRUE(db->warnings().stop(QStringLiteral("Stop here")));
    EXPECT_FALSE(TableLease(*db, {TableId::Media}).held());
    lease.release();
    for (int n : counts(*db)) {
        EXPECT_EQ(n, 0);
    }
}

} // namespace
