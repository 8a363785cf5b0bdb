// The store's maintenance of the collection as a whole: the implementation's own checks of it,
// compacting, releasing the write-ahead log, progress while long work runs, and the salvage of
// every readable record of a damaged file. SQLite's is SqliteMaintenance (store_sqlite.h).
#pragma once

#include "data/dictionary.h"
#include "data/row.h"
#include "data/store_error.h"

#include <QStringList>

#include <functional>

namespace tunarium {

// How deep a check of the file looks: Quick checks the pages and their structure, Full also every
// index against its table.
enum class FileCheck { Quick, Full };

// One thing a check found: the table whose records or keys it concerns (its label; empty: the
// file as a whole, such as its free pages) and SQLite's words for it.
struct CheckFinding {
    QString table;
    QString text;
};

// What the salvage of one table found.
struct SalvageCount {
    // Records the count kept for the table said it held; -1 when that count could not be read.
    qint64 expected = -1;
    // Records on the table's pages that parse (each record number once): what can be saved.
    qint64 readable = 0;
    // Of those, records read whole and handed on.
    qint64 read = 0;
    // Nothing of the table was found: no page of it parses and the count kept for it is not
    // known either.
    bool unreadable = false;
};

class StoreMaintenance {
public:
    StoreMaintenance() = default;
    virtual ~StoreMaintenance() = default;
    StoreMaintenance(const StoreMaintenance&) = delete;
    StoreMaintenance& operator=(const StoreMaintenance&) = delete;

    // The implementation's check of the whole collection. False when it finds damage (or cannot
    // run); `problems` receives a few lines of what it found.
    virtual bool checkFile(FileCheck depth, QStringList* problems = nullptr) = 0;
    // The same check, each finding named by the table it concerns. False when it finds damage (or
    // cannot run).
    virtual bool checkFileByTable(FileCheck depth, QList<CheckFinding>& findings) = 0;
    // The checks of one table that the check of the whole does not make: the count kept for it
    // against its records and, for Full, its keys against its records and every folded key column
    // against its field. False with what was found.
    virtual bool checkTable(TableId table, FileCheck depth, QStringList& findings) = 0;
    // Whether the table's search index (a table without one: always) holds every record by its
    // text and nothing else, the records waiting for it counted in. The check takes the write
    // lock for a moment and writes nothing; an error when it cannot run (the lock is held, the
    // file cannot be written), `inStep` then left true.
    virtual StoreError checkSearchIndex(TableId table, bool& inStep) = 0;
    // Replaces the whole collection with the copy at `path`, in one transaction. A missing,
    // unreadable or damaged file, or one that is not a collection, is refused (code 36, with the
    // reason) and only read. `beforeWriting` runs once the file is found sound, before anything
    // is written; its failure stops the restore. The store must be opened again after it.
    virtual StoreError restoreFrom(const QString& path,
                                   const std::function<StoreError()>& beforeWriting = {}) = 0;
    // Gives the space of deleted records back to the disk and shrinks the collection. Needs the
    // collection to itself; no transaction may be open.
    virtual StoreError compact() = 0;
    // Copies the write-ahead log into the file and empties it, releasing what the log holds.
    virtual StoreError releaseLog() = 0;
    // Calls `tick` every so often while the store works (a long check); nullptr: no longer.
    virtual void setProgress(std::function<void()> tick) = 0;

    // Reads every readable record of the collection file at `path` (a file of the program's own
    // format, SQLite's), page by page, even from a file SQLite can no longer open: every
    // table-leaf page that parses is read, whether or not its table's b-tree still reaches it.
    // The file's schema names the table of each page while it can be read; the dictionary's
    // columns of every table match the records of the other pages to their tables. Free pages
    // are left out, and a record number met twice is taken from the page its table's b-tree
    // reaches. `take` gets the records table by table, in record order; fields the file does not
    // hold come blank or zero. The counts are indexed by TableId. Pages the file's write-ahead
    // log holds from its last commits are read from the log; no connection may be writing to the
    // file meanwhile. It reads the file through file_pages, with no connection.
    static QVector<SalvageCount> salvageFile(const QString& path, const std::function<void(Row)>& take);
};

} // namespace tunarium
