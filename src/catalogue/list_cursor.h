// The read cursor of a browse: one key of the browse table, an optional range that fixes the
// key's leading components, the user's filter, and the lookup tables joined by value. Every read
// is one keyset query through the key's index from a position, with a limit; the range bounds the
// index walk itself (it is not a filter), so a read passes no more index entries than it returns,
// except those the user's filter refuses.
#pragma once

#include "catalogue/list_definition.h"
#include "data/store.h"

#include <QHash>

namespace tunarium {

class ListCursor {
public:
    ListCursor(Store& store, TableId table, QVector<JoinDef> joins);

    // The order to read in. `rangeValues` holds the values of the key's first `rangeLength`
    // components (as stored, not folded).
    void setOrder(int key, int rangeLength, const QVector<QVariant>& rangeValues, const SqlCondition& filter);
    // Prepares the reads of the order; an error means that the filter or the range cannot be
    // used (the caller then drops them).
    StoreError open();
    // Reads without filter and range from now on.
    void dropLimits();

    TableId table() const { return m_table; }
    int key() const { return m_key; }
    int rangeLength() const { return m_rangeLength; }
    const QVector<QVariant>& rangeValues() const { return m_rangeValues; }
    // The key component after the range: the one the locator sets and the thumb estimates.
    int leadingField() const;

    // Up to `limit` records from `from` in `direction`, with their lookup records. An empty
    // position is the first record of the order (forward) or the last (backward), within the range.
    // Without `withLookups` the lookup records are left out; without `withFilter` the user's filter
    // is (the range still holds).
    StoreError read(const KeyPosition& from, sql::Direction direction, bool inclusive, int limit,
                    QVector<PageRow>& out, bool withLookups = true, bool withFilter = true);
    // The record's full position in the current key.
    KeyPosition positionOf(const Row& record) const;
    // The position of the first record whose key is not below `record`'s key values, with the
    // range values in place of its range components; with `exact`, the record itself when it is
    // still there (its record number breaks ties).
    KeyPosition positionFrom(const Row& record, bool exact) const;
    // The position where the leading field (after the range) takes `value`; a text is taken as
    // the beginning of a name, without regard to diacritics ("e" comes before "Électrique").
    KeyPosition positionAtLeading(const QVariant& value) const;

    // Forgets the lookup records read so far (the page they served is gone).
    void clearLookups();

    // The SQL text of a read from a position of `prefixLength` components, for query-plan checks.
    QString readSql(int prefixLength, bool withRecord, sql::Direction direction, bool inclusive) const;

private:
    // The walk's range and, `withFilter`, the user's filter: the store bounds the walk with them.
    WalkLimits limits(bool withFilter = true) const;
    StoreError lookup(const Row& record, QVector<Row>& out);

    Store& m_store;
    TableId m_table;
    QVector<JoinDef> m_joins;
    int m_key = 0;
    int m_rangeLength = 0;
    QVector<QVariant> m_rangeValues;
    SqlCondition m_filter;
    QVector<QHash<QString, Row>> m_lookups; // per join: value -> record
};

} // namespace tunarium
