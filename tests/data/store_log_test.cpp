// The write-ahead log's checkpoints: a commit copies a long log into the file unless the copy is
// deferred (deferrals nest), a deferred log grows until checkpoint() copies it, and what was
// committed meanwhile reads the same before and after the copy.
#include "data/records.h"
#include "data/store_sqlite.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class StoreLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(dir.dir()).ok());
        ASSERT_TRUE(store.openTable(TableId::Tunarium).ok());
    }

    // Commits a batch of songs; the log's uncopied pages after it.
    int commitBatch() {
        Transaction t(store);
        for (int i = 0; i < 100; ++i) {
            SongRecord s;
            s.artist = QStringLiteral("Artist %1").arg(m_id % 37);
            s.title = QStringLiteral("A title long enough to fill pages %1").arg(m_id);
            s.album = QStringLiteral("Album %1").arg(m_id % 101);
            s.id = ++m_id;
            EXPECT_TRUE(store.insert(s).ok());
        }
        EXPECT_TRUE(t.commit().ok());
        return store.log().uncopiedPages();
    }

    test::TempCollection dir;
    SqliteStore store;
    qint64 m_id = 0;
};

TEST_F(StoreLogTest, ADeferredLogGrowsUntilItIsCopied) {
    StoreLog& log = store.log();
    log.deferCheckpoints();
    int pages = log.uncopiedPages();
    for (int batch = 0; batch < 200 && pages <= kAutoCheckpointPages; ++batch) {
        const int after = commitBatch();
        ASSERT_GT(after, pages) << "batch " << batch; // no commit copied it
        EXPECT_EQ(log.lastCommitCheckpointMs(), 0);
        pages = after;
    }
    ASSERT_GT(pages, kAutoCheckpointPages);
    int copied = 0;
    ASSERT_TRUE(log.checkpoint(copied).ok());
    EXPECT_GE(copied, pages);
    EXPECT_EQ(log.uncopiedPages(), 0);
    EXPECT_EQ(store.count(TableId::Tunarium), m_id);

    // The log starts again from its beginning: the next commit counts only its own pages.
    const int next = commitBatch();
    EXPECT_GT(next, 0);
    EXPECT_LT(next, pages);
    log.resumeCheckpoints();
}

TEST_F(StoreLogTest, ACommitCopiesALongLogOnceEveryDeferralIsResumed) {
    StoreLog& log = store.log();
    log.deferCheckpoints();
    log.deferCheckpoints();
    log.resumeCheckpoints();
    EXPECT_TRUE(log.checkpointsDeferred()); // one deferral is still open
    while (log.uncopiedPages() < kAutoCheckpointPages / 2) {
        commitBatch();
    }
    log.resumeCheckpoints();
    EXPECT_FALSE(log.checkpointsDeferred());
    log.resumeCheckpoints(); // one too many changes nothing
    log.deferCheckpoints();
    EXPECT_TRUE(log.checkpointsDeferred());
    log.resumeCheckpoints();

    bool copiedInCommit = false;
    for (int batch = 0; batch < 200 && !copiedInCommit; ++batch) {
        const int pages = commitBatch();
        copiedInCommit = log.lastCommitCheckpointMs() > 0;
        if (!copiedInCommit) {
            EXPECT_LT(pages, kAutoCheckpointPages) << "batch " << batch;
        } else {
            EXPECT_EQ(pages, 0);
        }
    }
    EXPECT_TRUE(copiedInCommit);
}

} // namespace
