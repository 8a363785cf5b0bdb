// The import run: one song per line of the file, added to the songs table, as a process of 25
// lines per step with the percentage counted in bytes of the file.
#pragma once

#include "data/database.h"
#include "data/table_lease.h"
#include "data/write_lock_note.h"
#include "exchange/import_setup.h"
#include "process/process_runner.h"

#include <atomic>
#include <future>
#include <optional>

namespace tunarium {

inline constexpr int kImportLinesPerStep = 25;
// A file at least this large read into an empty songs table is loaded in bulk (below).
inline constexpr qint64 kImportBulkBytes = 4 << 20;

// Into a songs table that holds songs, every line is added with its keys, and the lines of a step
// are committed together. A large file read into an empty songs table is loaded
// in bulk instead: on a connection of its own, in one transaction, with the songs' keys dropped
// while the lines go in and built again at the end, off the window's thread. The rest of the
// program goes on seeing the songs table as it was until the keys are built; other changes to the
// collection are refused meanwhile, after the lock's wait of 2 seconds, with "File Is Locked" (in
// this program: "File Is Locked: an import is running").
class ImportProcess final : public Process {
public:
    ImportProcess(Database& db, std::unique_ptr<DelimitedReader> reader, ImportPlan plan);
    ~ImportProcess() override;

    qint64 linesRead() const { return m_lines; }
    qint64 songsAdded() const { return m_added; }
    // The record numbers of the songs the run added and kept, from the first to the last (0 and 0
    // when it kept none): record numbers follow the order of adding, so the songs added are these.
    qint64 firstAddedRec() const { return m_firstAddedCommitted; }
    qint64 lastAddedRec() const { return m_lastAddedCommitted; }
    qint64 categoriesAdded() const { return m_categoriesAdded; }
    // Lines left out because a value did not fit its song field: how many, and what the first
    // of them said ("Line 7: TUN:Rating cannot hold 300").
    qint64 linesRejected() const { return m_rejectedCount; }
    const QStringList& rejections() const { return m_rejections; }

    // Values of the songs added that were cut to their song field's width: how many, and where
    // the first was ("line 7, TUN:Artist").
    qint64 valuesCut() const { return m_valuesCut; }
    const QString& firstCut() const { return m_firstCut; }
    // "12 values were cut to their field's width; first: line 7, TUN:Artist"; empty when none were.
    QString cutSummary() const;

    // Lines that hold no value (blank, only commas or quotes, or only NUL characters) are passed
    // over, never made into blank songs; NUL characters are dropped from the values.
    qint64 emptyLinesSkipped() const { return m_emptySkipped; }
    qint64 nulsDropped() const { return m_reader ? m_reader->nulsDropped() : 0; }
    // "2 empty lines were skipped; 40 NUL characters were dropped"; empty when neither happened.
    QString skippedSummary() const;

    // Why the run added no song, to follow "No songs were imported: "; empty when songs were added.
    QString nothingImportedReason() const;

    // Shown at the end of a run when lines were left out; empty text when none were.
    PromptMessage rejectionMessage() const;
    // The songs table could not be opened (the user was told); nothing was read.
    bool failedToStart() const { return m_broken; }
    // The run ended early because a song could not be added (the user was told).
    bool stoppedByFailure() const { return m_addFailed; }
    // Whether the run loads in bulk; the size of file from which it does (tests lower it).
    bool loadsInBulk() const { return m_inBulk; }
    void setBulkFromBytes(qint64 bytes) { m_bulkFromBytes = bytes; }
    // While the keys of a bulk load are built: "Building keys: 4 of 24", then "Building the
    // search index"; the percent line otherwise.
    QString statusText() const override;

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;
    void stepBegins() override;
    void stepEnds() override;
    bool windDown() override;

private:
    bool readLine();
    // Fills the song from the current line, all but its category, whose name it gives back;
    // false (with the reason) when a value does not fit its field.
    bool fillSong(Row& song, QString& categoryName, QString& reason);
    bool storeValue(Row& song, int target, const QVariant& value, QString& reason);
    // Notes a value of the current line longer than `width` characters (blanks at its end aside).
    void noteCut(const QString& value, int width, int target);
    bool resolveCategory(Row& song, const QString& name);
    bool addFailed(const StoreError& error);
    void commit();
    // The store the songs go to: the bulk connection while loading in bulk.
    Store& store() { return m_bulk ? *m_bulk : m_db.store(); }
    // Loads in bulk when the write lock can be had and no song is there yet (else the lines go in
    // one by one). False when the import must not run: another copy holds the lock (told).
    bool startBulk();
    bool backUpFirst();
    void startBuildingKeys();
    // Builds the keys again and commits the bulk load; on failure nothing of it stays.
    StoreError finishBulk();
    bool waitForBulk();
    void endBulk();

    Database& m_db;
    std::unique_ptr<DelimitedReader> m_reader;
    ImportPlan m_plan;
    QString m_line;
    QVector<int> m_targetFields;       // per target, its song field
    QVector<bool> m_lengthWithSeconds; // per import field: read through @t4 or @t5
    int m_idField = 0;
    int m_mediaField = 0;
    int m_categoryField = 0;
    int m_categoryTarget = -1;
    TableLease m_tables;
    bool m_broken = false;
    bool m_addFailed = false;
    qint64 m_lines = 0;
    qint64 m_added = 0;
    qint64 m_addedCommitted = 0;
    qint64 m_firstAdded = 0;
    qint64 m_lastAdded = 0;
    qint64 m_firstAddedCommitted = 0;
    qint64 m_lastAddedCommitted = 0;
    qint64 m_categoriesAdded = 0;
    qint64 m_rejectedCount = 0;
    QStringList m_rejections;
    qint64 m_emptySkipped = 0;
    qint64 m_valuesCut = 0;
    QString m_firstCut;
    int m_lineCuts = 0; // in the line being filled
    int m_lineFirstCutTarget = -1;
    QString m_failure; // the error that stopped the run, as the user was told it
    std::optional<Transaction> m_transaction;

    qint64 m_bulkFromBytes = kImportBulkBytes;
    std::unique_ptr<Store> m_bulk;
    std::optional<Transaction> m_bulkTransaction;
    std::optional<WriteLockNote> m_lockNote;
    std::future<StoreError> m_bulkFinish;
    // Where the building of the keys is, told by the thread that builds them.
    std::atomic<int> m_keysBuilt{0};
    std::atomic<int> m_keys{0};
    std::atomic<bool> m_buildingSearchIndex{false};
    bool m_bulkFinished = false;
    bool m_inBulk = false;
    qint64 m_nextId = 0;
};

// The question at the end of a completed import: Yes asks for album entries of the new songs.
PromptMessage importCompleteQuestion();

// The end of a run that added no song: "No songs were imported: " and the reason, with the lines
// left out, if any.
PromptMessage noSongsImportedMessage(const ImportProcess& process);

// After the run: a run that added no song says so and why. Otherwise the user is told about lines
// left out and values cut, then, when the run completed, asked the "Import Complete" question.
// True when the user wants album entries created.
bool importFinished(const ImportProcess& process, Prompter& prompter);

} // namespace tunarium
