// Writes that touch no link between records, and the check of it in a debug build.
#include "data/unlinked_write.h"

#include "data/store.h"

namespace tunarium {

namespace {

// The checks of a debug build (Q_ASSERT keeps them compiled, not run, in a release build).

// Values as stored: a change of case is a change.
bool sameStored(const FieldDef& f, const QVariant& a, const QVariant& b) {
    return f.isText() ? trimTrailingBlanks(a.toString()) == trimTrailingBlanks(b.toString())
                      : a.toLongLong() == b.toLongLong();
}

bool linksKept(Store& store, const Row& row) {
    Row stored;
    if (!store.fetch(row.tableId(), row.meta.rec, stored).ok()) {
        return true; // the store's own refusal follows
    }
    const TableDef& t = row.table();
    for (int field : linkingFields(row.tableId())) {
        if (!sameStored(t.field(field), stored.value(field), row.value(field))) {
            return false;
        }
    }
    return true;
}

bool blankValue(const QVariant& value) {
    return value.typeId() == QMetaType::QString ? trimTrailingBlanks(value.toString()).isEmpty()
                                                : value.toLongLong() == 0;
}

// Whether no record can follow `field`: it leads no relation's parent side, or it was blank.
bool unfollowed(Store& store, TableId table, qint64 rec, int field) {
    for (const RelationDef& r : relations()) {
        if (r.parent == table && r.parentField == field) {
            Row stored;
            return !store.fetch(table, rec, stored).ok() || blankValue(stored.value(field));
        }
    }
    return true;
}

bool isParent(TableId table) {
    for (const RelationDef& r : relations()) {
        if (r.parent == table) {
            return true;
        }
    }
    return false;
}

} // namespace

QList<int> linkingFields(TableId table) {
    QList<int> fields;
    for (const RelationDef& r : relations()) {
        const int field = r.child == table ? r.childField : r.parent == table ? r.parentField : -1;
        if (field >= 0 && !fields.contains(field)) {
            fields << field;
        }
    }
    return fields;
}

StoreError rewriteUnlinked(Store& store, Row& row) {
    Q_ASSERT_X(linksKept(store, row), "rewriteUnlinked",
               "a linking field changed: the update routine (Database::update) applies its relations");
    return store.update(row);
}

StoreError rewriteUnfollowedField(Store& store, TableId table, RecordMeta& meta, int field,
                                  const QVariant& value) {
    Q_ASSERT_X(unfollowed(store, table, meta.rec, field), "rewriteUnfollowedField",
               "records refer to this value: the update routine (Database::update) applies its relations");
    return store.rewriteField(table, meta, field, value);
}

StoreError removeUnlinked(Store& store, const Row& row) {
    Q_ASSERT_X(!isParent(row.tableId()), "removeUnlinked",
               "records may refer to this one: the delete routine (Database::remove) walks its relations");
    return store.remove(row);
}

} // namespace tunarium
