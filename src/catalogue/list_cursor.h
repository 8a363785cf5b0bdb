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
    // After setOrder: the order read in reverse (a list ordered descending). Forward and backward
    // then mean the list's directions, and a position stays a position of the key.
    void setReverse(bool reverse) { m_reverse = reverse; }
    bool reverse() const { return m_reverse; }
    // After setOrder: the order of a joined record (SortOrderDef::lookupJoin); -1 for none.
    void setLookupOrder(int join, int lookupKey);
    bool lookupOrder() const { return m_lookupJoin >= 0; }
    // Whether the locator types text into the order (false: a number).
    bool leadingIsText() const;
    // Prepares the reads of the order; an error means that the filter or the range cannot be
    // used (the caller then drops them).
    StoreError open();
    // Reads without filter and range from now on.
    void dropLimits();

    TableId table() const { return m_table; }
    int key() const { return m_key; }
    int rangeLength() const { return m_rangeLength; }
    const QVector<QVariant>& rangeValues() const { return m_rangeValues; }
    const SqlCondition& filter() const { return m_filter; }
    // The key component after the range: the one the locator sets and the thumb estimates.
    int leadingField() const;

    // Up to `limit` records from `from` in `direction`, with their lookup records. An empty
    // position is the first record of the order (forward) or the last (backward), within the range.
    // Without `withLookups` the lookup records are left out; without `withFilter` the user's filter
    // is (the range still holds).
    StoreError read(const KeyPosition& from, Direction direction, bool inclusive, int limit,
                    QVector<PageRow>& out, bool withLookups = true, bool withFilter = true);
    // The order's first and last record within the range (the user's filter left out), without
    // their lookup records: what read() from either end gives, both at once.
    StoreError readEnds(QVector<PageRow>& first, QVector<PageRow>& last);
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
    QString readSql(int prefixLength, bool withRecord, Direction direction, bool inclusive) const;

private:
    // The walk's range and, `withFilter`, the user's filter: the store bounds the walk with them.
    WalkLimits limits(bool withFilter = true) const;
    StoreError lookup(const Row& record, QVector<Row>& out) const;

    // The order of a joined record (list_cursor_lookup.cpp). A position in it holds the joined
    // record's name, record number and value, and the browse record's number.
    struct LookupGroup {
        bool valid = false;
        bool none = false; // the records whose value names no joined record
        QVariant value;
        QString name;
        qint64 rec = 0;
    };
    StoreError readByLookup(const KeyPosition& from, Direction direction, bool inclusive, int limit,
                            QVector<PageRow>& out, bool withLookups, bool withFilter);
    StoreError firstGroup(const KeyPosition& from, Direction direction, LookupGroup& group);
    StoreError nextGroup(Direction direction, LookupGroup& group);
    LookupGroup groupOf(const Row& lookupRecord) const;
    KeyPosition lookupPositionOf(const Row& record) const;
    QVariant blankValue() const;

    Store& m_store;
    TableId m_table;
    QVector<JoinDef> m_joins;
    int m_key = 0;
    int m_rangeLength = 0;
    QVector<QVariant> m_rangeValues;
    SqlCondition m_filter;
    bool m_reverse = false;
    int m_lookupJoin = -1;
    int m_lookupKey = 0;
    mutable QVector<QHash<QString, Row>> m_lookups; // per join: value -> record
    mutable QVector<bool> m_lookupsPrefilled;        // per join: its first records read into the cache
};

} // namespace tunarium
