// The entries of a playlist: drops, deleting with renumbering, total time, songs that are gone, and
// the chart.
#include "playlists/playlist_chart.h"
#include "playlists/playlist_entries.h"
#include "playlists/playlist_fixture.h"

using namespace tunarium;

namespace {

class EntriesTest : public test::PlaylistTest {
protected:
    EntriesTest() {
        addSongs(10);
        addPlaylist(1, QStringLiteral("Friday"));
        addPlaylist(2, QStringLiteral("Saturday"));
    }

    PlaylistEntryRecord entryAt(qint64 playlist, qint64 sequence) {
        PlaylistEntryRecord e;
        EXPECT_TRUE(db.store().get(pla::kKeyPlaylistId, {playlist, sequence}, e).ok());
        return e;
    }
};

TEST_F(EntriesTest, PayloadsOfSongNumbers) {
    struct Case {
        QByteArray payload;
        QVector<qint64> ids;
    } cases[] = {
        {"7", {7}},
        {"7\n3\n7\n", {7, 3, 7}},
        {" 12 \r\n4", {12, 4}},
        {"", {}},
        {"abc", {}},
        {"7\nx", {}},
        {"0", {}},
        {"-3", {}},
        {"99999999999999999999", {}},
    };
    for (const Case& c : cases) {
        QVector<qint64> ids;
        EXPECT_EQ(parseSongIds(c.payload, ids), !c.ids.isEmpty()) << c.payload.constData();
        // (Two empty lists are not compared: Qt compares their null buffers.)
        EXPECT_EQ(ids.size(), c.ids.size()) << c.payload.constData();
        if (!c.ids.isEmpty()) {
            EXPECT_EQ(ids, c.ids) << c.payload.constData();
        }
    }
}

TEST_F(EntriesTest, DroppedSongsFollowTheLastEntryInTheOrderDropped) {
    addEntries(1, {4});
    addEntries(2, {1, 2, 3});
    PlaylistEntries friday(db, 1);
    QVector<PlaylistEntryRecord> added;
    ASSERT_TRUE(friday.addDropped("9\n2", &added));
    ASSERT_EQ(added.size(), 2);
    EXPECT_EQ(added.back().playlistSeq, 3);
    // The same song twice is two entries.
    ASSERT_TRUE(friday.addDropped("9"));
    EXPECT_EQ(songsOf(1), QVector<qint64>({4, 9, 2, 9}));
    EXPECT_EQ(sequencesOf(1), QVector<qint64>({1, 2, 3, 4}));
    EXPECT_EQ(songsOf(2), QVector<qint64>({1, 2, 3}));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(EntriesTest, ADropThatIsNotSongsOrNamesAGoneSongAddsNothing) {
    removeSong(5);
    PlaylistEntries friday(db, 1);
    EXPECT_FALSE(friday.addDropped("Abbey Road"));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Not a Song");
    // One song of the drop is gone: none of them is added.
    EXPECT_FALSE(friday.addDropped("3\n5\n6"));
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[1].caption, "Song Not Found");
    EXPECT_TRUE(prompter.messages[1].text.contains("Song number 5"));
    EXPECT_TRUE(entries(1).isEmpty());
}

TEST_F(EntriesTest, DeletingAnEntryClosesTheGap) {
    addEntries(1, {1, 2, 3, 4, 5}, {"a", "b", "c", "d", "e"});
    addEntries(2, {6, 7});
    PlaylistEntries friday(db, 1);
    prompter.answers = {kButtonCancel, kButtonOk, kButtonOk};
    EXPECT_FALSE(friday.removeEntry(entryAt(1, 2)));
    EXPECT_EQ(songsOf(1).size(), 5);
    EXPECT_TRUE(friday.removeEntry(entryAt(1, 2)));
    EXPECT_EQ(prompter.messages.back().caption, "Confirm Delete");
    EXPECT_EQ(songsOf(1), QVector<qint64>({1, 3, 4, 5}));
    EXPECT_EQ(sequencesOf(1), QVector<qint64>({1, 2, 3, 4}));
    EXPECT_EQ(entryAt(1, 4).playlistNotes, "e");
    EXPECT_EQ(songsOf(2), QVector<qint64>({6, 7}));
    // The last entry leaves nothing to renumber.
    EXPECT_TRUE(friday.removeEntry(entryAt(1, 4)));
    EXPECT_EQ(sequencesOf(1), QVector<qint64>({1, 2, 3}));
}

TEST_F(EntriesTest, ARenumberingThatFailsTakesTheDeleteBackWithIt) {
    addEntries(1, {1, 2, 3, 4, 5});
    // Entry 4 holds notes longer than the field (written by something else): it cannot be
    // rewritten, so the renumbering stops there.
    ASSERT_TRUE(db.store()
                    .exec(QStringLiteral("UPDATE \"PlaylistDetails\" SET \"PlaylistNotes\" = '%1' "
                                         "WHERE \"PlaylistSeq\" = 4")
                              .arg(QString(41, u'n')))
                    .ok());
    prompter.answers = {kButtonOk};
    EXPECT_FALSE(PlaylistEntries(db, 1).removeEntry(entryAt(1, 2)));
    const PromptMessage& m = prompter.messages.back();
    EXPECT_EQ(m.caption, "Error!");
    EXPECT_TRUE(m.text.startsWith("Record swap error: \n"));
    EXPECT_TRUE(m.text.contains("\nPlaylistDetails, PLA:KeyPlaylistID\nKey Field PLA:PlaylistID = 1\n"
                                "Key Field PLA:PlaylistSeq = 4\n"));
    EXPECT_TRUE(m.text.endsWith("\nSection = Put Upd Seq"));
    EXPECT_EQ(songsOf(1), QVector<qint64>({1, 2, 3, 4, 5}));
    EXPECT_EQ(sequencesOf(1), QVector<qint64>({1, 2, 3, 4, 5}));
}

TEST_F(EntriesTest, MovesKeepTheNumbersInOrder) {
    struct Case {
        qint64 sequence;
        EntryMove move;
        qint64 after; // for a new entry placed after an entry; 0: a move button
        QVector<qint64> songs;
        qint64 movedTo; // 0: nothing moves
    } cases[] = {
        {3, EntryMove::Up, 0, {1, 3, 2, 4, 5, 6, 7, 8}, 2},
        {3, EntryMove::Down, 0, {1, 2, 4, 3, 5, 6, 7, 8}, 4},
        {5, EntryMove::Top, 0, {5, 1, 2, 3, 4, 6, 7, 8}, 1},
        {5, EntryMove::Bottom, 0, {1, 2, 3, 4, 6, 7, 8, 5}, 8},
        {1, EntryMove::Up, 0, {1, 2, 3, 4, 5, 6, 7, 8}, 0},
        {1, EntryMove::Top, 0, {1, 2, 3, 4, 5, 6, 7, 8}, 0},
        {8, EntryMove::Down, 0, {1, 2, 3, 4, 5, 6, 7, 8}, 0},
        {8, EntryMove::Top, 2, {1, 2, 8, 3, 4, 5, 6, 7}, 3},
        {8, EntryMove::Top, 7, {1, 2, 3, 4, 5, 6, 7, 8}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sequence);
        SCOPED_TRACE(int(c.move));
        Transaction tx(db.store());
        ASSERT_TRUE(db.store().exec(QStringLiteral("DELETE FROM \"PlaylistDetails\"")).ok());
        ASSERT_TRUE(tx.commit().ok());
        addEntries(1, {1, 2, 3, 4, 5, 6, 7, 8});
        addEntries(2, {9, 10});
        PlaylistEntries friday(db, 1);
        PlaylistEntryRecord moved;
        const bool done = c.after > 0 ? friday.placeAfter(entryAt(1, c.sequence), c.after, moved)
                                      : friday.move(entryAt(1, c.sequence), c.move, moved);
        EXPECT_EQ(done, c.movedTo != 0);
        if (done) {
            EXPECT_EQ(moved.playlistSeq, c.movedTo);
            EXPECT_EQ(moved.id, c.sequence);
        }
        EXPECT_EQ(songsOf(1), c.songs);
        EXPECT_EQ(sequencesOf(1), QVector<qint64>({1, 2, 3, 4, 5, 6, 7, 8}));
        EXPECT_EQ(songsOf(2), QVector<qint64>({9, 10}));
    }
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(EntriesTest, AMoveThatFailsMidwayMovesNothing) {
    addEntries(1, {1, 2, 3, 4, 5});
    ASSERT_TRUE(db.store()
                    .exec(QStringLiteral("UPDATE \"PlaylistDetails\" SET \"PlaylistNotes\" = '%1' "
                                         "WHERE \"PlaylistSeq\" = 2")
                              .arg(QString(41, u'n')))
                    .ok());
    PlaylistEntryRecord moved;
    EXPECT_FALSE(PlaylistEntries(db, 1).move(entryAt(1, 5), EntryMove::Top, moved));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Error!");
    // The entry that would not take its new place (2 to 3) is named as it was being written.
    EXPECT_TRUE(prompter.messages[0].text.contains("Key Field PLA:PlaylistSeq = 3\nSection = Put Swap"))
        << prompter.messages[0].text.toStdString();
    EXPECT_EQ(songsOf(1), QVector<qint64>({1, 2, 3, 4, 5}));
    EXPECT_EQ(sequencesOf(1), QVector<qint64>({1, 2, 3, 4, 5}));
}

TEST_F(EntriesTest, TotalTimeAddsTheSongsTimes) {
    EXPECT_EQ(addTimes({22501, 0, 18001}), 40501); // 3:45 and 3:00: 6:45
    EXPECT_EQ(addTimes({0, 0}), 0);
    EXPECT_EQ(addTimes({1}), 1);
    addSong(20, 0, 0, 22501);
    addSong(21, 0, 0, 18001);
    addSong(22, 0, 0, 30001);
    addEntries(1, {20, 3, 21, 22, 20});
    removeSong(22);
    qint64 total = 0;
    ASSERT_TRUE(PlaylistEntries(db, 1).totalTime(total).ok());
    EXPECT_EQ(total, 22500 + 18000 + 22500 + 1);
    ASSERT_TRUE(PlaylistEntries(db, 2).totalTime(total).ok());
    EXPECT_EQ(total, 0);
}

TEST_F(EntriesTest, AnEntryWhoseSongIsGoneShowsNoSong) {
    addEntries(1, {3});
    removeSong(3);
    SongRecord song;
    bool found = true;
    ASSERT_TRUE(PlaylistEntries(db, 1).songOf(3, song, found).ok());
    EXPECT_FALSE(found);
    EXPECT_TRUE(song.artist.isEmpty() && song.title.isEmpty());
}

TEST_F(EntriesTest, ChartMarkers) {
    struct Case {
        QString notes;
        qint64 position;
        QString charted;
    } cases[] = {
        {"word", 3, "word LW:3"},
        {"", 1, " LW:1"},
        {"word LW:3", 2, "word LW:2"},
        {"hit LW:99", 120, "hit LW:120"},
        {"hit LW:120", 120, "hit LW:120"},
        // What cutting five characters left behind, and markers that piled up.
        {"hit 0 LW:120", 7, "hit 0 LW:7"},
        {"a LW:12 b LW:7  ", 4, "a b LW:4"},
        {"LW:5", 6, " LW:6"},
        // The note gives way to the marker.
        {QString(40, u'x'), 120, QString(33, u'x') + " LW:120"},
    };
    for (const Case& c : cases) {
        const QString once = chartNotes(c.notes, c.position);
        EXPECT_EQ(once, c.charted) << c.notes.toStdString();
        EXPECT_EQ(chartNotes(once, c.position), c.charted) << c.notes.toStdString();
        EXPECT_LE(once.size(), 40);
    }
}

TEST_F(EntriesTest, ChartTwiceLeavesOneMarkerWithTheCurrentPosition) {
    QVector<qint64> songs;
    QStringList notes;
    for (int i = 1; i <= 130; ++i) {
        songs << (i % 10) + 1;
        notes << (i == 3 ? QStringLiteral("word") : QString());
    }
    addEntries(1, songs, notes);
    addEntries(2, {1}, {"other"});
    for (int run = 0; run < 2; ++run) {
        ChartProcess chart(db, 1);
        EXPECT_EQ(chart.title(), "Processing Records");
        EXPECT_EQ(chart.message(), "Updating Chart");
        QStringList shown;
        EXPECT_TRUE(runToEnd(chart, [&](const Process& p) {
            shown << p.percentText();
            return true;
        }));
        EXPECT_EQ(chart.entriesCharted(), 130);
        // Measured against 50 entries and held at 100.
        EXPECT_EQ(shown.first(), "50% Completed");
        EXPECT_EQ(shown.last(), "Process Completed");
    }
    EXPECT_EQ(entryAt(1, 3).playlistNotes, "word LW:3");
    EXPECT_EQ(entryAt(1, 120).playlistNotes, " LW:120");
    EXPECT_EQ(entryAt(1, 130).playlistNotes, " LW:130");
    EXPECT_EQ(entryAt(2, 1).playlistNotes, "other");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(EntriesTest, CancelledChartKeepsTheStepsDone) {
    addEntries(1, QVector<qint64>(60, 1));
    ChartProcess chart(db, 1);
    EXPECT_FALSE(runToEnd(chart, [](const Process&) { return false; }));
    EXPECT_EQ(entryAt(1, 25).playlistNotes, " LW:25");
    EXPECT_EQ(entryAt(1, 26).playlistNotes, "");
}

} // namespace
