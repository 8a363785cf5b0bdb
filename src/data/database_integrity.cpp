// The update and delete routines of every table. Their rules are the relations of the data
// dictionary, walked here for any table: a parent's change is restricted or followed by its
// children, a parent's delete is refused while children refer to it or deletes them (each by the
// rules of its own table), and each routine's transaction covers the tables its relations reach.
// Beside the walk stand the hooks, rules that are no relation: an added record written over, the
// songs of an album detached, an album made moments ago taken away.
#include "data/database.h"

#include "data/dictionary_tables.h"
#include "data/table_lease.h"

namespace tunarium {

namespace {

// Records read at a time when a cascade walks a key.
constexpr int kWalkPage = 256;

bool isBlank(const QVariant& value) {
    return value.typeId() == QMetaType::QString ? trimTrailingBlanks(value.toString()).isEmpty()
                                                : value.toLongLong() == 0;
}

// Values as a key compares them: text without regard to case.
bool sameKeyValue(const FieldDef& f, const QVariant& a, const QVariant& b) {
    return f.isText() ? foldKey(a.toString()) == foldKey(b.toString()) : a.toLongLong() == b.toLongLong();
}

// Values as stored: a change of case is a change.
bool sameValue(const FieldDef& f, const QVariant& a, const QVariant& b) {
    return f.isText() ? trimTrailingBlanks(a.toString()) == trimTrailingBlanks(b.toString())
                      : a.toLongLong() == b.toLongLong();
}

// The child's key that its relation walks: the first key led by the linking field.
int childKey(const RelationDef& r) {
    const TableDef& child = tableDef(r.child);
    for (int k = 0; k < child.keys.size(); ++k) {
        if (child.key(k).components.first() == r.childField) {
            return k;
        }
    }
    return -1; // the store refuses it as an invalid key; the dictionary's tests make sure it never is
}

bool changeApplies(const RelationDef& r) {
    return r.onChange != ChangeRule::None;
}

bool deleteApplies(const RelationDef&) {
    return true;
}

// The relations of `parent` that a routine applies, in order.
template <class Applies> QList<const RelationDef*> relationsOf(TableId parent, Applies applies) {
    QList<const RelationDef*> found;
    for (const RelationDef& r : relations()) {
        if (r.parent == parent && applies(r)) {
            found << &r;
        }
    }
    return found;
}

} // namespace

Database::Coverage Database::updateCoverage(TableId table) {
    Coverage c;
    for (const RelationDef* r : relationsOf(table, changeApplies)) {
        if (!c.tables.contains(r->child)) {
            c.tables << r->child;
        }
        c.alias = c.alias || r->throughAlias;
    }
    return c;
}

Database::Coverage Database::deleteCoverage(TableId table) {
    Coverage c;
    // A cascade deletes children by the rules of their own table: what those reach is covered too.
    QList<TableId> parents{table};
    while (!parents.isEmpty()) {
        const TableId parent = parents.takeFirst();
        for (const RelationDef* r : relationsOf(parent, deleteApplies)) {
            if (!c.tables.contains(r->child) && r->child != table) {
                c.tables << r->child;
                if (r->onDelete == DeleteRule::Cascade) {
                    parents << r->child;
                }
            }
            c.alias = c.alias || r->throughAlias;
        }
    }
    return c;
}

BeforeImage Database::saveBeforeImage(const Row& row) const {
    BeforeImage b;
    b.saved = !relationsOf(row.tableId(), changeApplies).isEmpty();
    if (b.saved) {
        b.record = row;
    }
    return b;
}

int Database::update(Row& row, bool canRecall, const BeforeImage& before) {
    const TableDef& t = row.table();
    const Coverage further = updateCoverage(t.id);
    const TableLease lease(*this, further.tables, further.alias);
    if (!lease) {
        return kRoutineFailed;
    }
    Transaction tx(m_store);
    if (!tx.ok()) {
        m_warnings.report(warning::kTransactionFramingError, tx.beginError(), QStringLiteral("Update"),
                          t.label);
        return kRoutineFailed;
    }
    const qint64 readVersion = row.meta.version;
    StoreError e = m_store.update(row);
    if (e) {
        tx.rollback();
        if (e.code == code::kChangedByOther) {
            m_warnings.report(canRecall ? warning::kRecordWasNotUpdated : warning::kUpdateOperationError, e,
                              t.label);
            Row current;
            if (m_store.fetch(t.id, row.meta.rec, current).ok()) {
                row = current;
            }
            return kRoutineChanged;
        }
        m_warnings.report(warning::kUpdateOperationError, e, t.label);
        return kRoutineFailed;
    }
    bool restricted = false;
    e = changeRules(row, before, restricted);
    if (!e && !restricted) {
        e = tx.commit();
        if (e) {
            m_warnings.report(warning::kUpdateOperationError, e, t.label);
        }
    }
    if (e || restricted) {
        tx.rollback();
        row.meta.version = readVersion;
        return kRoutineFailed;
    }
    return kRoutineDone;
}

StoreError Database::changeRules(Row& row, const BeforeImage& before, bool& restricted) {
    if (!before.saved || before.record.tableId() != row.tableId()) {
        return {};
    }
    const TableDef& t = row.table();
    for (const RelationDef* r : relationsOf(t.id, changeApplies)) {
        const QVariant old = before.record.value(r->parentField);
        const QVariant now = row.value(r->parentField);
        if (isBlank(old) || sameValue(t.field(r->parentField), old, now)) {
            continue;
        }
        StoreError e;
        if (r->onChange == ChangeRule::Restrict) {
            Row child;
            e = m_store.get(r->child, childKey(*r), {old}, child);
            if (e.ok()) {
                m_warnings.show(warning::kRestrictedUpdate, r->childLabel());
                row.setRaw(r->parentField, old);
                restricted = true;
                return {};
            }
            if (e.code == code::kRecordNotFound) {
                continue;
            }
        } else {
            qint64 changed = 0;
            e = m_store.replaceInKey(r->child, childKey(*r), old, now, changed);
        }
        if (e) {
            m_warnings.report(e.code == code::kDriverError || e.code == code::kDuplicateKey
                                  ? warning::kUpdateOperationError
                                  : warning::kRecordRetrievalError,
                              e, r->childLabel());
            return e;
        }
    }
    return {};
}

int Database::fail(int warningNumber, const StoreError& error, const QString& name, const QString& second) {
    m_warnings.report(warningNumber, error, name, second);
    return kRoutineFailed;
}

int Database::remove(const Row& row) {
    const TableDef& t = row.table();
    const Coverage further = deleteCoverage(t.id);
    const TableLease lease(*this, further.tables, further.alias);
    if (!lease) {
        return kRoutineFailed;
    }
    int result = kRoutineDone;
    QVector<Row> removed;
    m_removing = &removed;
    {
        Transaction tx(m_store);
        if (!tx.ok()) {
            result =
                fail(warning::kTransactionFramingError, tx.beginError(), QStringLiteral("Delete"), t.label);
        } else {
            Row current;
            // Held before its children are read: no station adds one under it meanwhile.
            StoreError e = m_store.holdRecord(t.id, row.meta.rec);
            if (!e) {
                e = m_store.fetch(t.id, row.meta.rec, current);
            }
            if (e) {
                tx.rollback();
                result = fail(warning::kRecordRetrievalError, e, t.label);
            } else if (!deleteRules(current)) {
                tx.rollback();
                result = kRoutineFailed;
            } else if ((e = m_store.remove(current)) || (e = tx.commit())) {
                tx.rollback();
                result = fail(warning::kDeleteOperationError, e, t.label);
            } else {
                removed.append(current);
            }
        }
    }
    m_removing = nullptr;
    if (result == kRoutineDone) {
        m_lastRemoval = {t.id, std::move(removed)};
    }
    return result;
}

int Database::undoLastRemoval() {
    if (m_lastRemoval.records.isEmpty()) {
        return kRoutineDone;
    }
    const TableDef& t = tableDef(m_lastRemoval.table);
    const Coverage further = deleteCoverage(t.id);
    const TableLease lease(*this, further.tables, further.alias);
    if (!lease) {
        return kRoutineFailed;
    }
    int result = kRoutineDone;
    {
        Transaction tx(m_store);
        if (!tx.ok()) {
            result =
                fail(warning::kTransactionFramingError, tx.beginError(), QStringLiteral("Undo"), t.label);
        } else {
            // The deleted record first, then what went with it, as they were added.
            for (auto it = m_lastRemoval.records.crbegin(); it != m_lastRemoval.records.crend(); ++it) {
                Row record = *it;
                if (const StoreError e = m_store.insert(record)) {
                    tx.rollback();
                    result = fail(e.code == code::kDuplicateKey ? warning::kDuplicateKey
                                                                : warning::kRecordInsertError,
                                  e, record.table().label);
                    break;
                }
            }
            if (result == kRoutineDone) {
                if (const StoreError e = tx.commit()) {
                    tx.rollback();
                    result = fail(warning::kRecordInsertError, e, t.label);
                }
            }
        }
    }
    if (result == kRoutineDone) {
        m_lastRemoval = {};
    }
    return result;
}

bool Database::deleteRules(const Row& row) {
    for (const RelationDef* r : relationsOf(row.tableId(), deleteApplies)) {
        const QVariant value = row.value(r->parentField);
        if (isBlank(value)) {
            continue;
        }
        if (r->onDelete == DeleteRule::Restrict) {
            Row child;
            const StoreError e = m_store.get(r->child, childKey(*r), {value}, child);
            if (e.ok()) {
                m_warnings.show(warning::kRestrictedDelete, r->childLabel());
                return false;
            }
            if (e.code != code::kRecordNotFound) {
                fail(warning::kRecordRetrievalError, e, r->childLabel());
                return false;
            }
        } else if (!deleteChildren(*r, value)) {
            return false;
        }
    }
    return true;
}

bool Database::deleteChildren(const RelationDef& r, const QVariant& value) {
    const TableDef& child = tableDef(r.child);
    const int key = childKey(r);
    for (;;) {
        QVector<Row> page;
        if (const StoreError e = m_store.read(r.child, key, KeyPosition{{value}}, Direction::Forward,
                                              true, kWalkPage, page)) {
            fail(warning::kRecordRetrievalError, e, r.childLabel());
            return false;
        }
        int deleted = 0;
        for (const Row& record : page) {
            if (!sameKeyValue(child.field(r.childField), record.value(r.childField), value)) {
                return true;
            }
            if (!deleteRules(record)) {
                return false;
            }
            if (const StoreError e = m_store.remove(record)) {
                fail(warning::kDeleteOperationError, e, r.childLabel());
                return false;
            }
            if (m_removing) {
                m_removing->append(record);
            }
            ++deleted;
        }
        if (deleted == 0) {
            return true;
        }
    }
}

StoreError Database::overwriteAdded(Row& row) {
    return m_store.update(row);
}

StoreError Database::detachSongs(qint64 albumId) {
    // Each page read starts at the album again: the songs detached have left its range.
    for (;;) {
        QVector<Row> songs;
        if (StoreError e =
                m_store.read(TableId::Tunarium, tun::kKeyAlbumId, KeyPosition{{albumId}}, Direction::Forward,
                             true, kWalkPage, songs, WalkLimits(1, {albumId}))) {
            return e;
        }
        for (Row& song : songs) {
            song.setNumber(tun::kAlbumId, 0);
            if (StoreError e = m_store.update(song)) {
                return e;
            }
        }
        if (songs.size() < kWalkPage) {
            return {};
        }
    }
}

int Database::withdrawAlbum(const Row& album, AlbumSongs songs, int* deleted) {
    const TableLease lease(*this, {TableId::Tunarium, TableId::PlaylistDetails});
    if (!lease) {
        return kRoutineFailed;
    }
    const QString songsLabel = tableDef(TableId::Tunarium).label;
    const qint64 albumId = album.number(alb::kAlbumId);
    int count = 0;
    // Its own songs deleted, each by the songs' delete rules: false when one may not go (shown).
    const auto deleteOwnSongs = [&] {
        for (;;) {
            QVector<Row> page;
            if (const StoreError e =
                    m_store.read(TableId::Tunarium, tun::kKeyAlbumId, KeyPosition{{albumId}},
                                 Direction::Forward, true, kWalkPage, page, WalkLimits(1, {albumId}))) {
                fail(warning::kRecordRetrievalError, e, songsLabel);
                return false;
            }
            for (const Row& song : page) {
                if (!deleteRules(song)) {
                    return false;
                }
                if (const StoreError e = m_store.remove(song)) {
                    fail(warning::kDeleteOperationError, e, songsLabel);
                    return false;
                }
                ++count;
            }
            if (page.size() < kWalkPage) {
                return true;
            }
        }
    };
    int result = kRoutineFailed;
    {
        Transaction tx(m_store);
        const QString label = album.table().label;
        Row stored(TableId::Album);
        StoreError e;
        if (!tx.ok()) {
            fail(warning::kTransactionFramingError, tx.beginError(), QStringLiteral("Delete"), label);
        } else if (songs == AlbumSongs::Detach && (e = detachSongs(albumId))) {
            fail(warning::kUpdateOperationError, e, songsLabel);
        } else if (songs == AlbumSongs::Delete && !deleteOwnSongs()) {
            // shown
        } else if ((e = m_store.get(TableId::Album, alb::kKeyAlbumId, {albumId}, stored)) &&
                   e.code != code::kRecordNotFound) {
            fail(warning::kRecordRetrievalError, e, label);
        } else if ((e.ok() && (e = m_store.remove(stored))) || (e = tx.commit())) {
            fail(warning::kDeleteOperationError, e, label);
        } else {
            result = kRoutineDone;
        }
    }
    if (result == kRoutineDone && deleted != nullptr) {
        *deleted = count;
    }
    return result;
}

} // namespace tunarium
