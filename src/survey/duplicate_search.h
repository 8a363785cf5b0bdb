// "Find Duplicates": the search through the collection for what it holds twice.
// - Songs that are the same song: equal duplicate keys (survey/duplicate_key.h).
// - Albums with the same CD identifier (ALB:CDIdentifier; its unique key keeps a sound collection
//   from holding two, so these come from files whose keys were lost and salvaged) or the same
//   disc ID (ALB:XCCD, the CDDB disc number: the same pressing catalogued twice).
// - Songs and albums that point at the same thing: songs at the same place on one carrier (the
//   same album, or without an album the same file number, side and track number), and albums
//   whose sound file (ALB:AssociatedWAVFile) is the same file. Songs hold no file of their own.
//
// The songs are read a slice at a time on a connection of their own (one snapshot), their keys
// kept only as 64-bit hashes beside their record numbers; the records whose hash another shares
// are read in full at the end and grouped by their true keys, so that a million songs take a few
// dozen megabytes and a few seconds. The process's steps are records, as every long job's are.
#pragma once

#include "data/database.h"
#include "data/store_duplicates.h"
#include "process/process_runner.h"

#include <QHash>
#include <QVector>

#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace tunarium {

// What a group of albums has in common.
enum class AlbumMatch { CdIdentifier, DiscId, SoundFile };

struct SongGroup {
    QString key; // the duplicate key, or the place the songs share
    QVector<SongRecord> songs; // in record order
};

struct AlbumGroup {
    AlbumMatch match = AlbumMatch::CdIdentifier;
    QString value; // the identifier or file they share, as the first album holds it
    QVector<AlbumRecord> albums; // in record order
};

struct DuplicateReport {
    QVector<SongGroup> songs;  // by key
    QVector<AlbumGroup> albums; // CD identifiers, then disc IDs, then sound files, each by value
    QVector<SongGroup> places;  // by place
    qint64 songsRead = 0;
    qint64 albumsRead = 0;
};

// The place on a carrier a song takes: its album (or, without one, its file number), side and
// track number; empty for a song on no carrier or without a track number.
QString songPlace(qint64 albumId, const QString& fileNumber, qint64 side, qint64 track);

class DuplicateSearch : public Process {
public:
    // The caller has the songs and albums open for as long as the search lives.
    explicit DuplicateSearch(Database& db, int recordsPerStep = 2000);
    ~DuplicateSearch() override;

    const DuplicateReport& report() const { return m_report; }
    // Why the search stopped short; no error when it completed.
    const StoreError& error() const { return m_error; }

protected:
    bool begin() override;
    bool handleNext() override;

private:
    enum class Phase { Songs, Albums, Gather, Done };
    // One record read in full at the end: which kind of group it may join, and its record number.
    enum class Candidate { Song, Place, CdIdentifier, DiscId, SoundFile };
    using Hashes = std::vector<std::pair<quint64, qint64>>; // hash, record number

    bool nextSong();
    bool nextAlbum();
    bool gatherNext();
    void startGather();
    void finishGroups();
    bool fail(const StoreError& error);
    void showProgress();

    Database& m_db;
    std::unique_ptr<DuplicateReader> m_reader; // while the songs and albums are read
    DuplicateReport m_report;
    StoreError m_error;
    Phase m_phase = Phase::Songs;
    QVector<SongSighting> m_songs;
    QVector<AlbumSighting> m_albums;
    qsizetype m_at = 0;
    qint64 m_lastRec = 0;
    qint64 m_songTotal = 0;
    qint64 m_albumTotal = 0;
    std::array<Hashes, 5> m_hashes;
    std::vector<std::pair<Candidate, qint64>> m_candidates;
    std::size_t m_gathered = 0;
    // Each candidate read in full, under its true key.
    QHash<QString, SongGroup> m_songGroups;
    QHash<QString, SongGroup> m_placeGroups;
    std::array<QHash<QString, AlbumGroup>, 3> m_albumGroups;
    QHash<QString, QString> m_artistFolds;
};

} // namespace tunarium
