// Leases of tables over the counted open.
#include "data/table_lease.h"

#include "data/database.h"

#include <utility>

namespace tunarium {

TableLease::TableLease(Database& db, std::span<const TableId> tables, bool withSongsAlias) {
    m_tables.reserve(tables.size());
    bool whole = true;
    for (TableId t : tables) {
        if (!(whole = db.openTable(t))) {
            break;
        }
        m_tables.push_back(t);
    }
    whole = whole && (!withSongsAlias || db.openSongsAlias());
    m_db = &db;
    if (!whole) {
        // Refused whole: what was opened goes back, and nothing else is closed.
        release();
        return;
    }
    m_alias = withSongsAlias;
}

TableLease::TableLease(TableLease&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_tables(std::move(other.m_tables)),
      m_alias(std::exchange(other.m_alias, false)) {
    other.m_tables.clear();
}

TableLease& TableLease::operator=(TableLease&& other) noexcept {
    if (this != &other) {
        release();
        m_db = std::exchange(other.m_db, nullptr);
        m_tables = std::move(other.m_tables);
        other.m_tables.clear();
        m_alias = std::exchange(other.m_alias, false);
    }
    return *this;
}

void TableLease::release() {
    if (m_db == nullptr) {
        return;
    }
    Database& db = *std::exchange(m_db, nullptr);
    if (std::exchange(m_alias, false)) {
        db.closeSongsAlias();
    }
    for (auto it = m_tables.rbegin(); it != m_tables.rend(); ++it) {
        db.closeTable(*it);
    }
    m_tables.clear();
}

} // namespace tunarium
