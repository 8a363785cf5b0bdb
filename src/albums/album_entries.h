// Create album entries: builds the album table from the songs (all of them, or those an import
// added). Every song not yet linked to an album is linked to the album of its artist and album title, or failing that to the album of
// that title under the artist "Various"; when neither exists a new album is made from the song.
// Songs that name no album are left alone.
//
// The store files a range of songs at a time in one statement each (store_bulk.h), so that a
// million songs are filed in one pass over the file instead of a look-up and a write per song;
// each step files one range and commits it.
#pragma once

#include "data/database.h"
#include "data/table_lease.h"
#include "process/process_runner.h"

#include <limits>

namespace tunarium {

// Record numbers filed by one step.
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
    // The run ended early because the songs or the albums could not be read or written (a full
    // disk): the user was told, and the steps committed before it stay.
    bool stoppedByFailure() const { return m_failed; }

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;

private:
    // Tells the user of a failed write under `name` ("Process:View" for the songs) and ends the run.
    bool failed(const StoreError& error, const QString& name);

    Database& m_db;
    SongSpan m_span;
    TableLease m_tables;
    qint64 m_first = 0; // the record numbers walked
    qint64 m_last = 0;
    qint64 m_filedThrough = 0;
    qint64 m_total = 0;
    qint64 m_created = 0;
    qint64 m_linked = 0;
    bool m_failed = false;
};

} // namespace tunarium
