// The store's maintenance of the collection file as a whole: SQLite's own checks of the file,
// compacting, releasing the write-ahead log, progress while long work runs, and the salvage of
// every readable record of a damaged file.
#pragma once

#include "data/dictionary.h"
#include "data/row.h"
#include "data/store_error.h"

#include <QStringList>

#include <functional>

namespace tunarium {

class Connection;

// How deep a check of the file looks: Quick checks the pages and their structure, Full also every
// index against its table.
enum class FileCheck { Quick, Full };

// What the salvage of one table found.
struct SalvageCount {
    // Records the file said the table held; -1 when that could not be read.
    qint64 expected = -1;
    // The table could not be read at all.
    bool unreadable = false;
};

class StoreMaintenance {
public:
    explicit StoreMaintenance(Connection& connection);
    StoreMaintenance(const StoreMaintenance&) = delete;
    StoreMaintenance& operator=(const StoreMaintenance&) = delete;

    // SQLite's check of the whole file. False when it finds damage (or cannot run); `problems`
    // receives a few lines of what it found.
    bool checkFile(FileCheck depth, QStringList* problems = nullptr);
    // Gives the space of deleted records back to the disk and shrinks the file. Needs the
    // collection to itself; no transaction may be open.
    StoreError compact();
    // Copies the write-ahead log into the file and empties it, releasing what the log holds.
    StoreError releaseLog();
    // Calls `tick` every so often while the store works (a long check); nullptr: no longer.
    void setProgress(std::function<void()> tick);

    // Reads every readable record of `table` in record order and hands each to `take`, even from
    // a damaged file: a damaged page fails a read, and reading goes on from the first record
    // past it that can be read, so that only the records of damaged pages are lost. Fields the
    // table does not have in the file come blank or zero.
    SalvageCount salvage(TableId table, const std::function<void(Row)>& take);

private:
    Connection& m_connection;
};

} // namespace tunarium
