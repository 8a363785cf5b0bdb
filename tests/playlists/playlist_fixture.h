// Shared set-up of the playlist tests: a collection with the songs, categories and playlist tables
// open, and helpers that fill it.
#pragma once

#include "data/database.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

#include <ostream>

// Texts in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tunarium::test {

class PlaylistTest : public ::testing::Test {
protected:
    PlaylistTest();
    ~PlaylistTest() override;

    // A song numbered `id`; its other values as given.
    SongRecord addSong(qint64 id, qint64 releaseDate = 0, qint64 categoryId = 0, qint64 time = 0);
    void addSongs(int count);
    void addCategory(qint64 id, const QString& name);
    PlaylistRecord addPlaylist(qint64 id, const QString& description = {});
    // Entries of `playlist` for the songs, numbered 1, 2, 3 ...
    void addEntries(qint64 playlist, const QVector<qint64>& songs, const QStringList& notes = {});
    void removeSong(qint64 id);

    QVector<PlaylistEntryRecord> entries(qint64 playlist);
    // The songs of the playlist's entries in order.
    QVector<qint64> songsOf(qint64 playlist);
    QVector<qint64> sequencesOf(qint64 playlist);
    qint64 playlistCount() { return db.store().count(TableId::PlaylistMaster); }

    TempCollection dir;
    RecordingPrompter prompter;
    Database db;
};

} // namespace tunarium::test
