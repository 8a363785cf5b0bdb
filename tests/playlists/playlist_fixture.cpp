// The playlist tests' collection.
#include "playlists/playlist_fixture.h"

#include "playlists/playlist_entries.h"

namespace tunarium::test {

PlaylistTest::PlaylistTest() : db(prompter, dir.dir(), dir.path("profile.ini")) {
    for (TableId t :
         {TableId::Tunarium, TableId::Categories, TableId::PlaylistMaster, TableId::PlaylistDetails}) {
        EXPECT_TRUE(db.openTable(t));
    }
}

PlaylistTest::~PlaylistTest() {
    db.closeAll();
}

SongRecord PlaylistTest::addSong(qint64 id, qint64 releaseDate, qint64 categoryId, qint64 time) {
    SongRecord s;
    s.id = id;
    s.artist = QStringLiteral("Artist %1").arg(id);
    s.title = QStringLiteral("Title %1").arg(id);
    s.releaseDate = releaseDate;
    s.categoryId = categoryId;
    s.time = time;
    EXPECT_TRUE(db.store().insert(s).ok());
    return s;
}

void PlaylistTest::addSongs(int count) {
    Transaction tx(db.store());
    for (int i = 1; i <= count; ++i) {
        addSong(i);
    }
    EXPECT_TRUE(tx.commit().ok());
}

void PlaylistTest::addCategory(qint64 id, const QString& name) {
    CategoryRecord c;
    c.categoryId = id;
    c.category = name;
    ASSERT_TRUE(db.store().insert(c).ok());
}

PlaylistRecord PlaylistTest::addPlaylist(qint64 id, const QString& description) {
    PlaylistRecord p;
    p.playlistId = id;
    p.playlistDescription = description;
    EXPECT_TRUE(db.store().insert(p).ok());
    return p;
}

void PlaylistTest::addEntries(qint64 playlist, const QVector<qint64>& songs, const QStringList& notes) {
    Transaction tx(db.store());
    for (int i = 0; i < songs.size(); ++i) {
        PlaylistEntryRecord e;
        e.playlistId = playlist;
        e.playlistSeq = i + 1;
        e.id = songs[i];
        e.playlistNotes = notes.value(i);
        ASSERT_TRUE(db.store().insert(e).ok());
    }
    ASSERT_TRUE(tx.commit().ok());
}

void PlaylistTest::removeSong(qint64 id) {
    SongRecord s;
    ASSERT_TRUE(db.store().get(tun::kKeyId, {id}, s).ok());
    ASSERT_TRUE(db.store().remove(s).ok());
}

QVector<PlaylistEntryRecord> PlaylistTest::entries(qint64 playlist) {
    QVector<PlaylistEntryRecord> all;
    EXPECT_TRUE(PlaylistEntries(db, playlist).read(0, 100000, all).ok());
    return all;
}

QVector<qint64> PlaylistTest::songsOf(qint64 playlist) {
    QVector<qint64> songs;
    for (const PlaylistEntryRecord& e : entries(playlist)) {
        songs << e.id;
    }
    return songs;
}

QVector<qint64> PlaylistTest::sequencesOf(qint64 playlist) {
    QVector<qint64> sequences;
    for (const PlaylistEntryRecord& e : entries(playlist)) {
        sequences << e.playlistSeq;
    }
    return sequences;
}

} // namespace tunarium::test
