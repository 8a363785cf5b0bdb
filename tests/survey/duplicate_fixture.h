// A collection with the songs, albums and playlists open, for the duplicate tests, and helpers
// that fill it and read it back in plain SQL.
#pragma once

#include "data/database.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

namespace tunarium::test {

class DuplicateTest : public ::testing::Test {
protected:
    DuplicateTest() : db(prompter, dir.dir(), dir.path("profile.ini")) {
        for (TableId t : {TableId::Tunarium, TableId::Album, TableId::Categories, TableId::Media,
                          TableId::PlaylistMaster, TableId::PlaylistDetails}) {
            EXPECT_TRUE(db.openTable(t));
        }
    }
    ~DuplicateTest() override { db.closeAll(); }

    SongRecord addSong(qint64 id, const QString& artist, const QString& title, qint64 time = 0,
                       qint64 albumId = 0, qint64 side = 0, qint64 track = 0) {
        SongRecord s;
        s.id = id;
        s.artist = artist;
        s.title = title;
        s.time = time;
        s.albumId = albumId;
        s.side = side;
        s.trackNumber = track;
        s.album = albumId ? QStringLiteral("Album %1").arg(albumId) : QString();
        s.fileNumber = albumId ? QStringLiteral("F%1").arg(albumId, 6, 10, QChar(u'0')) : QString();
        EXPECT_TRUE(db.store().insert(s).ok());
        return s;
    }
    AlbumRecord addAlbum(qint64 id, const QString& cdIdentifier, const QString& discId, const QString& wav = {}) {
        AlbumRecord a;
        a.albumId = id;
        a.artist = QStringLiteral("Artist %1").arg(id);
        a.album = QStringLiteral("Album %1").arg(id);
        a.fileNumber = QStringLiteral("F%1").arg(id, 6, 10, QChar(u'0'));
        a.cdIdentifier = cdIdentifier;
        a.xccd = discId;
        a.associatedWavFile = wav;
        EXPECT_TRUE(db.store().insert(a).ok());
        return a;
    }
    void addPlaylist(qint64 id, const QVector<qint64>& songs) {
        PlaylistRecord p;
        p.playlistId = id;
        p.playlistDescription = QStringLiteral("List %1").arg(id);
        ASSERT_TRUE(db.store().insert(p).ok());
        for (int i = 0; i < songs.size(); ++i) {
            PlaylistEntryRecord e;
            e.playlistId = id;
            e.playlistSeq = i + 1;
            e.id = songs[i];
            e.playlistNotes = QStringLiteral("note %1").arg(i + 1);
            ASSERT_TRUE(db.store().insert(e).ok());
        }
    }
    SongRecord song(qint64 id) {
        SongRecord s;
        EXPECT_TRUE(db.store().get(tun::kKeyId, {id}, s).ok()) << "song " << id;
        return s;
    }
    QString file() const { return dir.path("tunarium.db"); }
    QList<QStringList> rows(const QString& sql) { return sqlRows(file(), sql); }

    TempCollection dir;
    RecordingPrompter prompter;
    Database db;
};

} // namespace tunarium::test
