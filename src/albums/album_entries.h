// Create album entries: builds the album table from the songs (all of them, or those an import
// added). Every song not yet linked to an album is linked to the album of its artist and album title, or failing that to the album of
// that title under the artist "Various"; when neither exists a new album is made from the song.
// Songs that name no album are left alone.
#pragma once

#include "albums/song_file_order.h"
#include "data/database.h"
#include "data/table_lease.h"
#include "process/process_runner.h"

#include <QVector>

#include <limits>
#include <optional>

namespace tunarium {

inline constexpr int kAlbumEntriesPerStep = 1000;

// The songs a run of create album entries looks at: those whose record number lies from `first`
// to `last` (the songs an import added), or every song.
struct SongSpan {
    qint64 first = 0;
    qint64 last = std::numeric_limits<qint64>::max();
    bool holds(qint64 rec) const { return rec >= first && rec <= last; }
};
// The artist under which compilations are kept.
inline constexpr char kVariousArtist[] = "Various";

class AlbumEntriesProcess final : public Process {
public:
    explicit AlbumEntriesProcess(Database& db, SongSpan songs = {});
    ~AlbumEntriesProcess() override;

    qint64 albumsCreated() const { return m_created; }
    qint64 songsLinked() const { return m_linked; }
    // The run ended early because a song or an album could not be read or written (a full disk,
    // a song another copy changed since it was read): the user was told, and the steps committed
    // before it stay.
    bool stoppedByFailure() const { return m_failed; }

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;
    void stepBegins() override;
    void stepEnds() override;

private:
    bool readPage();
    // The album the song belongs to (found or made); 0 when a write failed and the run ends.
    qint64 albumFor(const SongRecord& song);
    qint64 findOrAddAlbum(const SongRecord& song);
    // Tells the user of a failed write under `name` ("Process:View" for the songs) and ends the run.
    bool failed(const StoreError& error, const QString& name);

    Database& m_db;
    SongSpan m_span;
    SongFileOrder m_songs;
    QVector<SongRecord> m_page;
    int m_next = 0;
    bool m_lastPage = false;
    TableLease m_tables;
    qint64 m_first = 0; // the record numbers walked
    qint64 m_last = 0;
    qint64 m_total = 0;
    qint64 m_created = 0;
    qint64 m_linked = 0;
    bool m_failed = false;
    std::optional<Transaction> m_transaction;
    // The album of the song before, while one transaction holds the collection: the songs of an
    // album mostly follow one another in the file.
    QString m_lastAlbum;
    QString m_lastArtist;
    qint64 m_lastAlbumId = 0;
};

} // namespace tunarium
