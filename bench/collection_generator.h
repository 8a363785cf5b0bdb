// Fills a collection with realistic songs, albums, categories, media and playlists for the
// benchmarks. The same seed and count always give the same collection.
#pragma once

#include "data/records.h"
#include "data/store.h"

#include <QRandomGenerator>

#include <functional>

namespace tunarium::bench {

struct GeneratorOptions {
    qint64 songs = 100000;
    quint32 seed = 19980601;
    int songsPerAlbum = 12;
    int categories = 40;
    int playlists = 200;
    int entriesPerPlaylist = 50;
};

// Makes the song records one after another, with their albums; also used to produce the same
// rows for a raw SQLite comparison.
class SongFactory {
public:
    explicit SongFactory(const GeneratorOptions& options);
    // The next song; `album` receives the album when the song opens a new one.
    SongRecord next(std::optional<AlbumRecord>& album);
    qint64 produced() const { return m_produced; }

private:
    QString pick(const QStringList& list);
    QString artistName();
    QString title();

    GeneratorOptions m_options;
    QRandomGenerator m_rng;
    qint64 m_produced = 0;
    qint64 m_albums = 0;
    AlbumRecord m_album;
    int m_trackInAlbum = 0;
    int m_albumSize = 0;
};

struct GeneratorResult {
    qint64 songs = 0;
    qint64 albums = 0;
    qint64 categories = 0;
    qint64 playlists = 0;
    qint64 entries = 0;
};

// Fills the collection in `store` (already open). Progress is reported every 100 000 songs.
StoreError generateCollection(Store& store, const GeneratorOptions& options, GeneratorResult& result,
                              const std::function<void(qint64)>& progress = {});

} // namespace tunarium::bench
