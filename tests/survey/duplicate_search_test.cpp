// The duplicate search against groupings made independently (the keys of every song read in plain
// SQL, places and disc IDs grouped by SQL itself), and the merge's effect on playlists against the
// entries as they were.
#include "duplicate_fixture.h"

#include "playlists/playlist_entries.h"
#include "survey/duplicate_actions.h"
#include "survey/duplicate_key.h"
#include "survey/duplicate_search.h"

#include <QRandomGenerator>

#include <map>
#include <set>

using namespace tunarium;

namespace {

using Groups = std::set<std::set<qint64>>;

class DuplicateSearchTest : public test::DuplicateTest {
protected:
    // Runs the search to its end with `perStep` records a step; the percentages it showed.
    QVector<int> search(DuplicateReport& report, int perStep) {
        DuplicateSearch search(db, perStep);
        QVector<int> shown;
        EXPECT_TRUE(runToEnd(search, [&](const Process& p) {
            shown << p.percent();
            return true;
        }));
        EXPECT_TRUE(search.error().ok()) << search.error().describe().toStdString();
        report = search.report();
        return shown;
    }
    // Groups of record numbers from SQL rows whose first column lists them, comma-separated.
    Groups sqlGroups(const QString& sql) {
        Groups groups;
        for (const QStringList& row : rows(sql)) {
            std::set<qint64> g;
            for (const QString& rec : row.first().split(u',')) {
                g.insert(rec.toLongLong());
            }
            groups.insert(g);
        }
        return groups;
    }
    static Groups songGroups(const QVector<SongGroup>& groups) {
        Groups out;
        for (const SongGroup& g : groups) {
            std::set<qint64> recs;
            for (const SongRecord& s : g.songs) {
                recs.insert(s.meta.rec);
            }
            out.insert(recs);
        }
        return out;
    }
    static Groups albumGroups(const QVector<AlbumGroup>& groups, AlbumMatch match) {
        Groups out;
        for (const AlbumGroup& g : groups) {
            if (g.match == match) {
                std::set<qint64> recs;
                for (const AlbumRecord& a : g.albums) {
                    recs.insert(a.meta.rec);
                }
                out.insert(recs);
            }
        }
        return out;
    }
};

// More songs than one slice of the reader, from a small pool of names written in several ways,
// with places on carriers taken twice and disc IDs and sound files shared.
TEST_F(DuplicateSearchTest, FindsWhatIndependentGroupingsFind) {
    const QStringList artists = {"ABBA", "Abba", "abba", "Beyoncé", "Beyonce", "The Beatles", "Beatles, The",
                                 "Queen", "Queen feat. David Bowie", "Simon & Garfunkel", "Simon and Garfunkel",
                                 "R.E.M.", "REM", "Björk", "", "Sigur Rós"};
    const QStringList titles = {"Dancing Queen", "Halo", "Help!", "Under Pressure", "The Boxer", "Imagine",
                                "Hyperballad", "", "Song 2", "Losing My Religion", "Hoppípolla", "Fire"};
    const QStringList versions = {"", "", "", " (Remastered 2011)", " (Radio Edit)", " (Live)", " (Remix)",
                                  " [Single Version]", " - 2009 Remaster", " (Part 2)", " (feat. Someone)"};
    QRandomGenerator random(36);
    {
        Transaction tx(db.store());
        for (int id = 1; id <= 2600; ++id) {
            const qint64 album = random.bounded(3) == 0 ? 0 : 1 + random.bounded(150);
            addSong(id, artists[random.bounded(int(artists.size()))],
                    titles[random.bounded(int(titles.size()))] + versions[random.bounded(int(versions.size()))],
                    100 * id + 1, album, random.bounded(3), random.bounded(25));
        }
        for (int id = 1; id <= 300; ++id) {
            addAlbum(id, id % 7 == 0 ? QStringLiteral("12 34%1").arg(id) : QString(),
                     random.bounded(4) == 0 ? QStringLiteral("%1a0b0c0").arg(random.bounded(20)) : QString(),
                     random.bounded(10) == 0 ? QStringLiteral("/music/%1.wav").arg(random.bounded(8)) : QString());
        }
        ASSERT_TRUE(tx.commit().ok());
    }
    DuplicateReport report;
    const QVector<int> shown = search(report, 97);
    EXPECT_EQ(report.songsRead, 2600);
    EXPECT_EQ(report.albumsRead, 300);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end())) << "the percentage went back";
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.last(), 100);

    // Every song's key from its artist and title as SQL reads them.
    std::map<QString, std::set<qint64>> byKey;
    for (const QStringList& row : rows("SELECT rowid, \"Artist\", \"Title\" FROM \"Tunarium\"")) {
        if (const QString key = duplicateSongKey(row[1], row[2]); !key.isEmpty()) {
            byKey[key].insert(row[0].toLongLong());
        }
    }
    Groups expected;
    for (const auto& [key, recs] : byKey) {
        if (recs.size() > 1) {
            expected.insert(recs);
        }
    }
    EXPECT_GT(expected.size(), 20u);
    EXPECT_EQ(songGroups(report.songs), expected);
    // Each group's songs are duplicates of one another by their own key.
    for (const SongGroup& g : report.songs) {
        for (const SongRecord& s : g.songs) {
            EXPECT_EQ(duplicateSongKey(s.artist, s.title), g.key);
        }
    }
    // Places: one album's side (0 read as 1) and track, grouped by SQL; songs without an album
    // here have no file number either, and so no place.
    const Groups places = sqlGroups(
        "SELECT group_concat(rowid) FROM \"Tunarium\" WHERE \"AlbumID\" > 0 AND \"TrackNumber\" > 0 "
        "GROUP BY \"AlbumID\", max(\"Side\", 1), \"TrackNumber\" HAVING count(*) > 1");
    EXPECT_FALSE(places.empty());
    EXPECT_EQ(songGroups(report.places), places);
    const Groups discs = sqlGroups("SELECT group_concat(rowid) FROM \"Album\" WHERE trim(\"XCCD\") <> '' "
                                   "GROUP BY lower(trim(\"XCCD\")) HAVING count(*) > 1");
    EXPECT_FALSE(discs.empty());
    EXPECT_EQ(albumGroups(report.albums, AlbumMatch::DiscId), discs);
    const Groups files = sqlGroups("SELECT group_concat(rowid) FROM \"Album\" WHERE \"AssociatedWAVFile\" <> '' "
                                   "GROUP BY \"AssociatedWAVFile\" HAVING count(*) > 1");
    EXPECT_FALSE(files.empty());
    EXPECT_EQ(albumGroups(report.albums, AlbumMatch::SoundFile), files);
    // The unique key keeps CD identifiers apart.
    EXPECT_TRUE(albumGroups(report.albums, AlbumMatch::CdIdentifier).empty());
}

TEST_F(DuplicateSearchTest, AnEmptyCollectionHasNoGroups) {
    DuplicateReport report;
    search(report, 5000);
    EXPECT_TRUE(report.songs.isEmpty());
    EXPECT_TRUE(report.places.isEmpty());
    EXPECT_TRUE(report.albums.isEmpty());
}

// Three ways of writing one song, in four playlists; another song beside them.
class DuplicateMergeTest : public test::DuplicateTest {
protected:
    void SetUp() override {
        addSong(1, "Abba", "Dancing Queen", 23101);
        addSong(2, "ABBA", "Dancing Queen (Remastered 2011)", 23501);
        addSong(3, "Abba", "Dancing Queen (Radio Edit)", 19001);
        addSong(4, "Queen", "Bohemian Rhapsody", 35501);
        addSong(5, "Queen", "Bohemian Rhapsody (Live)", 36001);
        addPlaylist(1, {1, 2, 4});
        addPlaylist(2, {2, 3, 2});
        addPlaylist(3, {4});
        addPlaylist(4, {3});
        before = entryRows();
    }
    // Every entry: playlist, sequence, song, notes; in playlist and sequence order.
    QList<QStringList> entryRows() {
        return rows("SELECT \"PlaylistID\", \"PlaylistSeq\", \"ID\", \"PlaylistNotes\" FROM \"PlaylistDetails\" "
                    "ORDER BY 1, 2");
    }
    qint64 songCount(const QString& ids) {
        return test::sqlNumber(file(), "SELECT count(*) FROM \"Tunarium\" WHERE \"ID\" IN (" + ids + ")");
    }
    qint64 totalTime(qint64 playlist) {
        qint64 total = 0;
        EXPECT_TRUE(PlaylistEntries(db, playlist).totalTime(total).ok());
        return total;
    }
    QList<QStringList> before;
};

TEST_F(DuplicateMergeTest, MergeMovesEveryEntryToTheSongKeptAndDeletesTheOthers) {
    const std::map<qint64, qint64> times = {{1, 23101}, {4, 35501}};
    const MergeOutcome outcome = mergeInto(db, song(1), {song(1), song(2), song(3)});
    ASSERT_TRUE(outcome.done) << outcome.problem.toStdString();
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(outcome.entriesMoved, 5);
    EXPECT_EQ(outcome.songsDeleted, 2);
    // The entries as they were, those of songs 2 and 3 now naming song 1: same playlists, same
    // places, same notes; a playlist that held two of them holds song 1 twice.
    QList<QStringList> expected = before;
    for (QStringList& row : expected) {
        if (row[2] == "2" || row[2] == "3") {
            row[2] = "1";
        }
    }
    EXPECT_EQ(entryRows(), expected);
    EXPECT_EQ(songCount("2, 3"), 0);
    EXPECT_EQ(songCount("1, 4, 5"), 3);
    // Each playlist's total time is that of the songs its entries now name.
    for (qint64 playlist = 1; playlist <= 4; ++playlist) {
        QVector<qint64> songTimes;
        for (const QStringList& row : expected) {
            if (row[0].toLongLong() == playlist) {
                songTimes << times.at(row[2].toLongLong());
            }
        }
        EXPECT_EQ(totalTime(playlist), addTimes(songTimes)) << "playlist " << playlist;
    }
}

// A duplicate that another copy deleted meanwhile: its delete fails after the first songs'
// entries had moved, and the whole merge is undone.
TEST_F(DuplicateMergeTest, AFailedMergeChangesNothing) {
    const SongRecord gone = song(3);
    ASSERT_TRUE(db.store().remove(gone).ok());
    const MergeOutcome outcome = mergeInto(db, song(1), {song(2), gone});
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.entriesMoved, 0);
    EXPECT_FALSE(prompter.messages.isEmpty()) << "the delete routine tells why";
    EXPECT_EQ(entryRows(), before);
    EXPECT_EQ(songCount("1, 2"), 2);
}

// Delete goes through the delete rule: a song a playlist names stays.
TEST_F(DuplicateMergeTest, DeleteIsRefusedForASongAPlaylistNames) {
    EXPECT_EQ(deleteDuplicate(db, song(2)), kRoutineFailed);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(songCount("2"), 1);
    EXPECT_EQ(deleteDuplicate(db, song(5)), kRoutineDone);
    EXPECT_EQ(songCount("5"), 0);
    EXPECT_EQ(entryRows(), before);
}

} // namespace
