// The record writes that by design no relation follows, beside the update and delete
// routines of database.h, which walk the dictionary's relations: entries renumbered within their
// list, a note or a length rewritten, a working row of a wizard taken away, a song's album link
// set by housekeeping. Naming them keeps the
// one write path: a change that may move a linking field goes through the routines, and one that
// cannot says so here, where a debug build checks it.
#pragma once

#include "data/row.h"
#include "data/store_error.h"

#include <QList>

namespace tunarium {

class Store;

// The fields of `table` that the dictionary's relations join on, as child or as parent.
QList<int> linkingFields(TableId table);

// Rewrites `row` (read earlier from its table) with the record-version check of the store; its
// linking fields are those stored, so no relation has anything to follow. A debug build asserts
// it. On success `row` has the record's new version.
StoreError rewriteUnlinked(Store& store, Row& row);
// Deletes a record of a table that is no relation's parent, so that no record can refer to it.
// A debug build asserts it.
StoreError removeUnlinked(Store& store, const Row& row);

// Rewrites one field of the record `meta` names (as Store::rewriteField does) where no record
// follows the change: a field that links the record to its parent as a child (a song's album:
// relations follow a parent's change, never a child's), or a parent's field that was blank (a
// song numbered for the first time: nothing referred to it). A debug build asserts it.
StoreError rewriteUnfollowedField(Store& store, TableId table, RecordMeta& meta, int field,
                                  const QVariant& value);

template <class T> StoreError rewriteUnlinked(Store& store, T& record) {
    Row row = toRow(record);
    StoreError e = rewriteUnlinked(store, row);
    record = fromRow<T>(row);
    return e;
}
template <class T> StoreError removeUnlinked(Store& store, const T& record) {
    return removeUnlinked(store, toRow(record));
}

} // namespace tunarium
