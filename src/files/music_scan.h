// The scan: songs from the audio files under folders (or named files), as a process of steps of
// up to 200 files that end sooner once they have taken a quarter of a second, each step's writes
// committed together. A commit writes every page the step changed (a song's insert changes a page
// of each of the table's keys), so that many files a commit write far fewer pages in all than a
// few; the time limit keeps the window answering however slow the files are to read.
//
// A file the collection does not know by its path gives a new song, unless it is a song's file
// moved: a song of the same artist and title and about the same length whose file is gone is
// linked to it instead. A file whose modification time changed since the last scan updates its
// song with what the tags hold now (fields the tags leave empty keep the song's value, the user's
// own edits among them); a file that did not change is not read at all. A song whose file under
// the folders scanned is gone is marked missing, never deleted. A file the scan cannot take is
// named with its reason in the summary, and nothing of it is written.
#pragma once

#include "albums/album_entries.h"
#include "data/database.h"
#include "data/table_lease.h"
#include "files/audio_tags.h"
#include "files/music_walk.h"
#include "files/tag_reader.h"
#include "process/process_runner.h"

#include <QElapsedTimer>
#include <QHash>

#include <memory>
#include <optional>

namespace tunarium {

inline constexpr int kScanFilesPerStep = 200;
inline constexpr int kScanStepMs = 250;
// Files of a folder read ahead, at most, while the scan writes the songs of those before them.
inline constexpr int kReadAhead = 32;
// The media of every song a scan adds.
inline constexpr char kDigitalFileMedia[] = "Digital File";
// The folder beside the collection's file that keeps the covers taken from the files.
inline constexpr char kCoversFolder[] = "Covers";

class MusicScan final : public Process {
public:
    MusicScan(Database& db, const QStringList& paths);
    ~MusicScan() override;

    qint64 filesDone() const { return m_filesDone; }
    qint64 songsAdded() const { return m_addedCommitted; }
    qint64 songsUpdated() const { return m_updated; }
    qint64 songsRelinked() const { return m_relinked; }
    qint64 filesUnchanged() const { return m_unchanged; }
    qint64 filesMarkedMissing() const { return m_markedMissing; }
    qint64 categoriesAdded() const { return m_categoriesAdded; }
    qint64 coversWritten() const { return m_coversWritten; }
    QVector<SkippedFile> skipped() const { return m_walk.skipped() + m_skipped; }
    // Values cut to their field's width: "FILE: Title" each.
    const QStringList& cuts() const { return m_cuts; }
    const QString& currentFolder() const { return m_walk.currentFolder(); }
    // The songs added and committed (record numbers follow the order of adding).
    SongSpan addedSongs() const;
    // The run ended early on a write that failed (the user was told).
    bool stoppedByFailure() const { return m_failed; }

    QString statusText() const override;
    // The lines told at the end: what was done, then the files skipped and the values cut.
    QStringList summary() const;

    // The cover file written for each song (by its ID) that brought one, once committed.
    const QHash<qint64, QString>& covers() const { return m_coverOf; }

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;
    void stepBegins() override;
    void stepEnds() override;

private:
    bool handleFile(const WalkedFile& file);
    // The tags of the file being handled, through the reader (see readTags in the source).
    QString readTags(const QString& path, AudioTags& tags);
    bool markMissing();
    // The song of that file, by its path; false when none.
    bool songOfPath(const QString& path, Row& song, bool& failed);
    // A song whose file is gone that this file may be (the same artist, title and length).
    bool movedSong(const AudioTags& tags, Row& song, bool& failed);
    // Fills the song's fields from the tags: every field the tags hold (a new song: all of them).
    bool fillSong(Row& song, const AudioTags& tags, const QString& path, bool isNew);
    void setText(Row& song, int field, const QString& value, const QString& path, const char* label);
    bool resolveCategory(Row& song, const QString& genre, const QString& path);
    bool linkAlbumArtist(Row& song, const AudioTags& tags);
    QString writeCover(const AudioTags& tags);
    bool ensureMedia();
    bool beginFileWrites();
    bool failed(const StoreError& error, const QString& name);
    bool rewrite(Row& song, const QString& path);
    void commit();

    Database& m_db;
    MusicWalk m_walk;
    QVector<WalkedFile> m_queue;
    qsizetype m_next = 0;
    qsizetype m_askedUpTo = 0; // the files of the queue before it were asked of the reader
    qsizetype m_readsInARow = 0;
    TableLease m_tables;
    std::optional<Transaction> m_transaction;
    std::optional<Transaction> m_fileWrites; // the file's, when begun (beginFileWrites)
    QElapsedTimer m_stepTime;
    qint64 m_nextSongId = 0; // within the step's transaction, once known
    bool m_failed = false;
    bool m_missingDone = false;

    qint64 m_filesDone = 0;
    qint64 m_added = 0;
    qint64 m_addedCommitted = 0;
    qint64 m_firstAdded = 0;
    qint64 m_lastAdded = 0;
    qint64 m_firstCommitted = 0;
    qint64 m_lastCommitted = 0;
    qint64 m_updated = 0;
    qint64 m_relinked = 0;
    qint64 m_unchanged = 0;
    qint64 m_markedMissing = 0;
    qint64 m_categoriesAdded = 0;
    qint64 m_coversWritten = 0;
    QVector<SkippedFile> m_skipped;
    QStringList m_cuts;
    int m_fileCuts = 0; // of the file being filled
    QSet<qint64> m_seenSongs; // record numbers of the songs whose files this scan met
    QHash<QString, qint64> m_categoryIds;
    // The cover file of each song (record number) that brought one, for giveAlbumsCovers; kept
    // per step until committed.
    QHash<qint64, QString> m_coverOf;
    QHash<qint64, QString> m_coverOfInStep;
    QString m_coversDir;
    // Last, so that it ends first: its thread is done before anything else of the scan goes.
    TagReader m_reader;
};

// After the album entries of a scan's songs are made: each album of a song that brought a cover
// (`covers`, by song ID), and that has no picture yet, takes the song's cover file. Returns the
// albums given one.
int giveAlbumsCovers(Database& db, const QHash<qint64, QString>& covers);
// The summary's line for the albums given a cover ("1 album took its cover from a file").
QString coversGivenLine(int given);

// The album entries of the songs a scan added, as the import makes them; null when it added none.
std::unique_ptr<AlbumEntriesProcess> albumEntriesAfterScan(Database& db, const MusicScan& scan);

} // namespace tunarium
