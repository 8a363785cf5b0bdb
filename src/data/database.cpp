// Counted opens, the open routine, and the update and delete routines of every table.
#include "data/database.h"

#include "data/session_marker.h"
#include "data/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>

namespace tunarium {

namespace {

// Further tables each routine's transaction covers, beside the table itself.
QList<TableId> updateCoverage(TableId table) {
    switch (table) {
    case TableId::Album:
        return {TableId::Tunarium};
    case TableId::Categories:
        return {TableId::Album, TableId::Tunarium};
    case TableId::Media:
        return {TableId::Tunarium};
    default:
        return {};
    }
}

QList<TableId> deleteCoverage(TableId table) {
    switch (table) {
    case TableId::Tunarium:
        return {TableId::PlaylistDetails};
    case TableId::Album:
        return {TableId::Tunarium, TableId::PlaylistDetails};
    case TableId::Categories:
        return {TableId::Album, TableId::Tunarium};
    case TableId::Media:
        return {TableId::Tunarium};
    case TableId::PlaylistMaster:
        return {TableId::PlaylistDetails};
    default:
        return {};
    }
}

int keyOf(TableId table, const char* name) {
    return tableDef(table).keyIndex(QString::fromLatin1(name));
}

int fieldOf(TableId table, const char* name) {
    return tableDef(table).fieldIndex(QString::fromLatin1(name));
}

bool sameKeyValue(const FieldDef& f, const QVariant& a, const QVariant& b) {
    return f.isText() ? foldKey(a.toString()) == foldKey(b.toString()) : a.toLongLong() == b.toLongLong();
}

} // namespace

Database::Database(Prompter& prompter, const QString& collectionDir, const QString& profilePath)
    : m_prompter(prompter), m_warnings(prompter), m_dir(collectionDir), m_profile(profilePath) {
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
    if (m_aliasCount == 0 && m_counts[static_cast<int>(TableId::Tunarium)] == 0 && !openRoutine(TableId::Tunarium)) {
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
    const bool existed = QFile::exists(QDir(m_dir).filePath(QString::fromLatin1(kCollectionFileName)));
    StoreError e = m_store.open(m_dir);
    if (e.code == code::kFileLocked) {
        // A file left locked: wait out the lock once more, then open again.
        e = m_store.open(m_dir);
    }
    if (e && !existed) {
        m_warnings.saveError(e);
        m_warnings.show(warning::kFileCreationError, t.fileName);
        return false;
    }
    if (e.code == code::kInvalidDataFile || e.code == code::kDriverError || e.code == code::kInvalidKey) {
        // A file the store cannot read is never converted in place: the attempt is a second
        // open, which fails again unless the problem has passed.
        writeBadFile(QString(), m_profile);
        e = m_store.open(m_dir);
    }
    if (e) {
        m_warnings.saveError(e);
        m_warnings.show(warning::kFileAccessError, t.fileName);
        if (!halted()) {
            endProgram(QStringLiteral("Disk Error"));
        }
        return false;
    }
    // A session marker per running copy: a marker whose process is gone means that run did not
    // close the collection, so keys are checked in full as tables open.
    for (const QString& stale : staleSessionMarkers(m_dir)) {
        m_checkKeys = true;
        QFile::remove(stale);
    }
    m_marker.create(m_dir);
    return true;
}

bool Database::createRoutine(const TableDef& t) {
    if (StoreError e = m_store.createTable(t.id)) {
        m_warnings.saveError(e);
        m_warnings.show(warning::kFileCreationError, t.fileName);
        return false;
    }
    if (m_store.tableState(t.id) != TableState::Current) {
        m_warnings.saveError(StoreError::of(code::kLayoutDiffers));
        m_warnings.show(warning::kOpenCreatedFileError, t.fileName);
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
        m_warnings.saveError(e);
        m_warnings.show(warningOnFailure, t.fileName);
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
        m_warnings.saveError(e);
        m_warnings.show(warning::kKeyRebuildError, t.fileName);
        return false;
    }
    return true;
}

bool Database::checkTable(TableId table) {
    if (!openTable(table)) {
        return false;
    }
    bool ok = true;
    if (m_store.checkKeys(table).code == code::kRebuildKeys) {
        ok = repairRoutine(tableDef(table));
    }
    closeTable(table);
    return ok;
}

void Database::endProgram(const QString& haltText) {
    m_halted = true;
    closeAll();
    m_store.close();
    m_prompter.halt(haltText);
}

bool Database::openFurther(const QList<TableId>& tables, bool alias) {
    for (int i = 0; i < tables.size(); ++i) {
        if (!openTable(tables[i])) {
            closeFurther(tables.mid(0, i), false);
            return false;
        }
    }
    if (alias && !openSongsAlias()) {
        closeFurther(tables, false);
        return false;
    }
    return true;
}

void Database::closeFurther(const QList<TableId>& tables, bool alias) {
    for (TableId t : tables) {
        closeTable(t);
    }
    if (alias) {
        closeSongsAlias();
    }
}

BeforeImage Database::saveBeforeImage(const Row& row) const {
    BeforeImage b;
    b.saved = true;
    switch (row.tableId()) {
    case TableId::Media:
        b.media = row.text(0);
        break;
    case TableId::Categories:
        b.categoryId = row.number(fieldOf(TableId::Categories, "CategoryID"));
        break;
    case TableId::Album:
        b.albumId = row.number(fieldOf(TableId::Album, "AlbumID"));
        b.fileNumber = row.text(fieldOf(TableId::Album, "FileNumber"));
        break;
    default:
        b.saved = false;
    }
    return b;
}

int Database::update(Row& row, bool canRecall, const BeforeImage& before) {
    const TableDef& t = row.table();
    const QList<TableId> further = updateCoverage(t.id);
    const bool alias = t.id == TableId::Album;
    if (!openFurther(further, alias)) {
        return kRoutineFailed;
    }
    Transaction tx(m_store);
    if (!tx.ok()) {
        m_warnings.saveError(tx.beginError());
        m_warnings.show(warning::kTransactionFramingError, QStringLiteral("Update"), t.label);
        closeFurther(further, alias);
        return kRoutineFailed;
    }
    const qint64 readVersion = row.meta.version;
    StoreError e = m_store.update(row);
    if (e) {
        tx.rollback();
        m_warnings.saveError(e);
        if (e.code == code::kChangedByOther) {
            m_warnings.show(canRecall ? warning::kRecordWasNotUpdated : warning::kUpdateOperationError, t.label);
            Row current;
            if (m_store.fetch(t.id, row.meta.rec, current).ok()) {
                row = current;
            }
            closeFurther(further, alias);
            return kRoutineChanged;
        }
        m_warnings.show(warning::kUpdateOperationError, t.label);
        closeFurther(further, alias);
        return kRoutineFailed;
    }
    bool restricted = false;
    e = cascadeUpdate(row, before, restricted);
    if (!e && !restricted) {
        e = tx.commit();
        if (e) {
            m_warnings.saveError(e);
            m_warnings.show(warning::kUpdateOperationError, t.label);
        }
    }
    if (e || restricted) {
        tx.rollback();
        row.meta.version = readVersion;
        closeFurther(further, alias);
        return kRoutineFailed;
    }
    closeFurther(further, alias);
    return kRoutineDone;
}

StoreError Database::cascadeUpdate(const Row& row, const BeforeImage& before, bool& restricted) {
    if (!before.saved) {
        return {};
    }
    qint64 changed = 0;
    StoreError e;
    QString walked = QStringLiteral("Tunarium");
    switch (row.tableId()) {
    case TableId::Media:
        if (row.text(0) != before.media) {
            e = m_store.replaceInKey(TableId::Tunarium, keyOf(TableId::Tunarium, "SongsByMedia"), before.media,
                                     row.text(0), changed);
        }
        break;
    case TableId::Categories: {
        const int idField = fieldOf(TableId::Categories, "CategoryID");
        const qint64 id = row.number(idField);
        if (id == before.categoryId) {
            break;
        }
        Row album;
        e = m_store.get(TableId::Album, keyOf(TableId::Album, "KeyCategory"), {before.categoryId}, album);
        if (e.ok()) {
            m_warnings.show(warning::kRestrictedUpdate, QStringLiteral("Album"));
            const_cast<Row&>(row).setNumber(idField, before.categoryId);
            restricted = true;
            return {};
        }
        if (e.code != code::kRecordNotFound) {
            walked = QStringLiteral("Album");
            break;
        }
        e = m_store.replaceInKey(TableId::Tunarium, keyOf(TableId::Tunarium, "SongsByCategory"), before.categoryId,
                                 id, changed);
        break;
    }
    case TableId::Album: {
        const QString fileNumber = row.text(fieldOf(TableId::Album, "FileNumber"));
        if (fileNumber != before.fileNumber && !before.fileNumber.isEmpty()) {
            walked = songsAlias().label;
            e = m_store.replaceInKey(TableId::Tunarium, keyOf(TableId::Tunarium, "KeyFileNumber"), before.fileNumber,
                                     fileNumber, changed);
            if (e) {
                break;
            }
        }
        const qint64 albumId = row.number(fieldOf(TableId::Album, "AlbumID"));
        if (albumId != before.albumId && before.albumId != 0) {
            walked = QStringLiteral("Tunarium");
            e = m_store.replaceInKey(TableId::Tunarium, keyOf(TableId::Tunarium, "KeyAlbumID"), before.albumId,
                                     albumId, changed);
        }
        break;
    }
    default:
        break;
    }
    if (e) {
        m_warnings.saveError(e);
        m_warnings.show(e.code == code::kDriverError || e.code == code::kDuplicateKey ? warning::kUpdateOperationError
                                                                                       : warning::kRecordRetrievalError,
                        walked);
    }
    return e;
}

int Database::fail(int warningNumber, const StoreError& error, const QString& name, const QString& second) {
    m_warnings.saveError(error);
    m_warnings.show(warningNumber, name, second);
    return kRoutineFailed;
}

int Database::remove(const Row& row) {
    const TableDef& t = row.table();
    const QList<TableId> further = deleteCoverage(t.id);
    const bool alias = t.id == TableId::Album;
    if (!openFurther(further, alias)) {
        return kRoutineFailed;
    }
    int result = kRoutineDone;
    {
        Transaction tx(m_store);
        if (!tx.ok()) {
            result = fail(warning::kTransactionFramingError, tx.beginError(), QStringLiteral("Delete"), t.label);
        } else {
            Row current;
            StoreError e = m_store.fetch(t.id, row.meta.rec, current);
            if (e) {
                tx.rollback();
                result = fail(warning::kRecordRetrievalError, e, t.label);
            } else if (!deleteRule(current, e)) {
                tx.rollback();
                result = kRoutineFailed;
            } else if ((e = m_store.remove(current)) || (e = tx.commit())) {
                tx.rollback();
                result = fail(warning::kDeleteOperationError, e, t.label);
            }
        }
    }
    closeFurther(further, alias);
    return result;
}

bool Database::songInPlaylist(qint64 songId, StoreError& error) {
    Row entry;
    error = m_store.get(TableId::PlaylistDetails, keyOf(TableId::PlaylistDetails, "KeyID"), {songId}, entry);
    if (error.code == code::kRecordNotFound) {
        error = {};
        return false;
    }
    return error.ok();
}

bool Database::deleteSongsIn(int key, const QVariant& value, bool checkPlaylists, StoreError& error,
                             QString& walked) {
    const TableDef& songs = tableDef(TableId::Tunarium);
    const int field = songs.key(key).components.first();
    const int idField = fieldOf(TableId::Tunarium, "ID");
    for (;;) {
        QVector<Row> page;
        error = m_store.read(TableId::Tunarium, key, KeyPosition{{value}}, sql::Direction::Forward, true, 256, page);
        if (error) {
            m_warnings.saveError(error);
            m_warnings.show(warning::kRecordRetrievalError, walked);
            return false;
        }
        int deleted = 0;
        for (const Row& song : page) {
            if (!sameKeyValue(songs.field(field), song.value(field), value)) {
                return true;
            }
            if (checkPlaylists && songInPlaylist(song.number(idField), error)) {
                m_warnings.show(warning::kRestrictedDelete, QStringLiteral("PlaylistDetails"));
                return false;
            }
            if (error || (error = m_store.remove(song))) {
                m_warnings.saveError(error);
                m_warnings.show(warning::kDeleteOperationError, walked);
                return false;
            }
            ++deleted;
        }
        if (page.isEmpty() || deleted == 0) {
            return true;
        }
    }
}

bool Database::deleteRule(const Row& row, StoreError& error) {
    switch (row.tableId()) {
    case TableId::Tunarium:
        if (songInPlaylist(row.number(fieldOf(TableId::Tunarium, "ID")), error)) {
            m_warnings.show(warning::kRestrictedDelete, QStringLiteral("PlaylistDetails"));
            return false;
        }
        if (error) {
            fail(warning::kRecordRetrievalError, error, QStringLiteral("PlaylistDetails"));
            return false;
        }
        return true;
    case TableId::Media: {
        Row song;
        error = m_store.get(TableId::Tunarium, keyOf(TableId::Tunarium, "SongsByMedia"), {row.text(0)}, song);
        if (error.ok()) {
            m_warnings.show(warning::kRestrictedDelete, QStringLiteral("Tunarium"));
            return false;
        }
        if (error.code != code::kRecordNotFound) {
            fail(warning::kRecordRetrievalError, error, QStringLiteral("Tunarium"));
            return false;
        }
        error = {};
        return true;
    }
    case TableId::Categories: {
        const qint64 id = row.number(fieldOf(TableId::Categories, "CategoryID"));
        const std::pair<TableId, const char*> checks[] = {{TableId::Album, "KeyCategory"},
                                                          {TableId::Tunarium, "SongsByCategory"}};
        for (const auto& [table, key] : checks) {
            Row found;
            error = m_store.get(table, keyOf(table, key), {id}, found);
            if (error.ok()) {
                m_warnings.show(warning::kRestrictedDelete, tableDef(table).label);
                return false;
            }
            if (error.code != code::kRecordNotFound) {
                fail(warning::kRecordRetrievalError, error, tableDef(table).label);
                return false;
            }
        }
        error = {};
        return true;
    }
    case TableId::Album: {
        // The songs on the album's carrier, then the album's own songs. A song in a playlist
        // stops the whole delete, whichever way it belongs to the album, so that no playlist
        // entry is left pointing at a deleted song.
        const QString fileNumber = row.text(fieldOf(TableId::Album, "FileNumber"));
        QString walked = songsAlias().label;
        if (!fileNumber.isEmpty() &&
            !deleteSongsIn(keyOf(TableId::Tunarium, "KeyFileNumber"), fileNumber, true, error, walked)) {
            return false;
        }
        const qint64 albumId = row.number(fieldOf(TableId::Album, "AlbumID"));
        walked = QStringLiteral("Tunarium");
        if (albumId != 0 && !deleteSongsIn(keyOf(TableId::Tunarium, "KeyAlbumID"), albumId, true, error, walked)) {
            return false;
        }
        return true;
    }
    case TableId::PlaylistMaster: {
        const qint64 id = row.number(fieldOf(TableId::PlaylistMaster, "PlaylistID"));
        const int key = keyOf(TableId::PlaylistDetails, "KeyPlaylistID");
        for (;;) {
            QVector<Row> page;
            error = m_store.read(TableId::PlaylistDetails, key, KeyPosition{{id}}, sql::Direction::Forward, true,
                                 256, page);
            if (error) {
                fail(warning::kRecordRetrievalError, error, QStringLiteral("PlaylistDetails"));
                return false;
            }
            int deleted = 0;
            for (const Row& entry : page) {
                if (entry.number(0) != id) {
                    break;
                }
                if ((error = m_store.remove(entry))) {
                    fail(warning::kDeleteOperationError, error, QStringLiteral("PlaylistDetails"));
                    return false;
                }
                ++deleted;
            }
            if (deleted == 0) {
                return true;
            }
        }
    }
    default:
        return true;
    }
}

} // namespace tunarium
