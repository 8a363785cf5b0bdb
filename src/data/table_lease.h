// A lease of the tables a window, process or command uses: the counted opens of its tables, taken
// in order when the lease is made and given back in the reverse order when it goes. A lease is
// taken whole or not at all: when one table cannot be opened, the tables opened before it are
// closed again and the lease holds nothing, so that a holder whose open failed never closes a
// table it did not open. Outside the data room this is the only way to open a table (tests/layers
// fails on a manual open or close); the store's own counted open serves the tests, the benchmarks
// and the import's bulk load on its connection.
#pragma once

#include "data/dictionary.h"

#include <QList>

#include <initializer_list>
#include <span>
#include <vector>

namespace tunarium {

class Database;

class TableLease {
public:
    // Holds nothing (a window's lease before its tables are opened).
    TableLease() = default;
    // Opens `tables` in order; held() tells whether all of them opened. `withSongsAlias` also
    // opens the second declaration of the songs (A_Songs) after them.
    TableLease(Database& db, std::span<const TableId> tables, bool withSongsAlias = false);
    TableLease(Database& db, std::initializer_list<TableId> tables, bool withSongsAlias = false)
        : TableLease(db, std::span<const TableId>(tables.begin(), tables.size()), withSongsAlias) {}
    TableLease(Database& db, const QList<TableId>& tables, bool withSongsAlias = false)
        : TableLease(db, std::span<const TableId>(tables.constData(), static_cast<size_t>(tables.size())),
                     withSongsAlias) {}
    ~TableLease() { release(); }
    TableLease(TableLease&& other) noexcept;
    // Gives back what this lease held, then takes the other's.
    TableLease& operator=(TableLease&& other) noexcept;
    TableLease(const TableLease&) = delete;
    TableLease& operator=(const TableLease&) = delete;

    // Whether the lease holds its tables (false when one of them could not be opened: the
    // program may be ending, and the caller returns at once).
    bool held() const { return m_db != nullptr; }
    explicit operator bool() const { return held(); }
    // Gives the tables back now, in the reverse order; the lease then holds nothing.
    void release();

private:
    Database* m_db = nullptr;
    std::vector<TableId> m_tables;
    bool m_alias = false;
};

} // namespace tunarium
