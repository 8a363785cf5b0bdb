// Counted opens and the open routine of every table.
#include "data/database.h"

#include "data/session_marker.h"
#include "data/settings.h"
#include "data/table_lease.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace tunarium {

Database::Database(Prompter& prompter, const QString& collectionDir, const QString& profilePath)
    : m_prompter(prompter), m_warnings(prompter), m_storeOwner(makeStore(collectionDir)),
      m_store(*m_storeOwner), m_dir(collectionDir), m_profile(profilePath) {
    m_warnings.setBeforeHalt([this] {
        m_halted = true;
        closeAll();
        m_store.close();
    });
}

Database::~Database() {
    closeAll();
    m_store.close();
}

void Database::closeAll() {
    for (const TableDef& t : allTables()) {
        m_counts[static_cast<int>(t.id)] = 0;
        while (m_store.openCount(t.id) > 0) {
            m_store.closeTable(t.id);
        }
    }
    m_aliasCount = 0;
    m_eventLogCount = 0;
    m_marker.remove();
}

bool Database::openTable(TableId table) {
    if (halted()) {
        return false;
    }
    int& count = m_counts[static_cast<int>(table)];
    if (count == 0 && !openRoutine(table)) {
        return false;
    }
    ++count;
    return true;
}

void Database::closeTable(TableId table) {
    int& count = m_counts[static_cast<int>(table)];
    if (count > 0) {
        --count;
    }
}

bool Database::openTables(std::initializer_list<TableId> tables) {
    for (auto it = tables.begin(); it != tables.end(); ++it) {
        if (!openTable(*it)) {
            while (it != tables.begin()) {
                closeTable(*--it);
            }
            return false;
        }
    }
    return true;
}

void Database::closeTables(std::initializer_list<TableId> tables) {
    for (auto it = std::rbegin(tables); it != std::rend(tables); ++it) {
        closeTable(*it);
    }
}

bool Database::openSongsAlias() {
    // The alias reads the songs file: it is open exactly when that file is.
    if (m_aliasCount == 0 && m_counts[static_cast<int>(TableId::Tunarium)] == 0 &&
        !openRoutine(TableId::Tunarium)) {
        return false;
    }
    ++m_aliasCount;
    return true;
}

void Database::closeSongsAlias() {
    if (m_aliasCount > 0) {
        --m_aliasCount;
    }
}

void Database::closeEventLog() {
    if (m_eventLogCount > 0) {
        --m_eventLogCount;
    }
}

bool Database::openRoutine(TableId table) {
    const TableDef& t = tableDef(table);
    if (!m_store.isOpen() && !readBadFile(m_profile).isEmpty()) {
        // The last run died inside an open.
        m_checkKeys = true;
    }
    writeBadFile(t.fileName, m_profile);
    if (!m_store.isOpen() && !openFile(t)) {
        return false;
    }
    switch (m_store.tableState(table)) {
    case TableState::Current:
        if (m_checkKeys && m_store.checkKeys(table).code == code::kRebuildKeys && !repairRoutine(t)) {
            return false;
        }
        break;
    case TableState::Missing:
        writeBadFile(QString(), m_profile);
        if (!createRoutine(t)) {
            return false;
        }
        break;
    case TableState::Older:
    case TableState::Different:
    case TableState::Newer:
    case TableState::KeysOutdated:
        writeBadFile(QString(), m_profile);
        if (!upgradeRoutine(t, warning::kInvalidFile)) {
            return false;
        }
        break;
    case TableState::KeysDamaged:
        if (!repairRoutine(t)) {
            return false;
        }
        break;
    }
    writeBadFile(QString(), m_profile);
    return true;
}

bool Database::openFile(const TableDef& t) {
    // A collection on a server is there or not, whatever lies in folders here.
    const bool server = isServerLocation(m_dir);
    const bool existed = server || QFile::exists(QDir(m_dir).filePath(QString::fromLatin1(kCollectionFileName)));
    StoreError e = m_store.open(m_dir);
    if (e.code == code::kFileLocked) {
        // A file left locked: wait out the lock once more, then open again.
        e = m_store.open(m_dir);
    }
    if (e && !existed) {
        m_warnings.report(warning::kFileCreationError, e, t.fileName);
        return false;
    }
    if (e.code == code::kInvalidDataFile || e.code == code::kDriverError || e.code == code::kInvalidKey) {
        // A file the store cannot read is never converted in place: the attempt is a second
        // open, which fails again unless the problem has passed.
        writeBadFile(QString(), m_profile);
        e = m_store.open(m_dir);
    }
    if (e) {
        m_warnings.report(warning::kFileAccessError, e, t.fileName);
        if (!halted()) {
            endProgram(QStringLiteral("Disk Error"));
        }
        return false;
    }
    // A session marker per running copy: a marker whose process is gone means that run did not
    // close the collection, so keys are checked in full as tables open.
    if (server) {
        return true; // the server keeps its own files sound: no session markers beside them
    }
    for (const QString& stale : staleSessionMarkers(m_dir)) {
        m_checkKeys = true;
        QFile::remove(stale);
    }
    m_marker.create(m_dir);
    return true;
}

bool Database::createRoutine(const TableDef& t) {
    if (StoreError e = m_store.createTable(t.id)) {
        m_warnings.report(warning::kFileCreationError, e, t.fileName);
        return false;
    }
    if (m_store.tableState(t.id) != TableState::Current) {
        m_warnings.report(warning::kOpenCreatedFileError, StoreError::of(code::kLayoutDiffers), t.fileName);
        return false;
    }
    return true;
}

bool Database::upgradeRoutine(const TableDef& t, int warningOnFailure) {
    StoreError e = m_store.upgradeTable(t.id);
    if (!e && m_store.tableState(t.id) != TableState::Current) {
        e = StoreError::of(code::kLayoutDiffers);
    }
    if (e) {
        m_warnings.report(warningOnFailure, e, t.fileName);
        return false;
    }
    return true;
}

bool Database::repairRoutine(const TableDef& t) {
    m_warnings.setCurrentError(StoreError::of(code::kRebuildKeys));
    if (m_warnings.show(warning::kInvalidKey, t.fileName) != kButtonYes || halted()) {
        return false;
    }
    StoreError e = m_store.rebuildKeys(t.id);
    if (!e && m_store.tableState(t.id) != TableState::Current) {
        e = StoreError::of(code::kRebuildKeys);
    }
    if (e) {
        m_warnings.report(warning::kKeyRebuildError, e, t.fileName);
        return false;
    }
    return true;
}

bool Database::checkTable(TableId table) {
    const TableLease lease(*this, {table});
    if (!lease) {
        return false;
    }
    return m_store.checkKeys(table).code != code::kRebuildKeys || repairRoutine(tableDef(table));
}

void Database::endProgram(const QString& haltText) {
    m_halted = true;
    closeAll();
    m_store.close();
    m_prompter.halt(haltText);
}

} // namespace tunarium
