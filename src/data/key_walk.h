// A walk over one key of one table: records in key order, read a batch at a time through the
// store, so that a walk over a table of any size holds one batch in memory. Every room that reads
// a table through a key from start to end (a report, a list of categories, an album's songs, the
// entries of a playlist) walks it with this, not with a batch loop of its own.
//
// A walk may be limited three ways:
// - a range: the key's leading components take fixed values (the songs of one category, the
//   entries of one playlist); the walk starts at them and ends at the first record without them;
// - a prefix: the component after the range is a text that begins with the prefix, without regard
//   to case or diacritics ("Selected" with "ab"); the walk starts where such texts begin in the
//   key's order and ends after the last of them, instead of reading the whole key;
// - a filter: a condition the store applies to every record it reads (a query of the query wizard).
#pragma once

#include "data/row.h"
#include "data/store.h"
#include "data/store_walk.h"

#include <QString>
#include <QVector>

#include <functional>

namespace tunarium {

struct KeyWalkLimits {
    // Values of the key's first components, as stored (not folded); the store keeps the walk
    // within them.
    QVector<QVariant> range;
    // The beginning of the component after the range. It narrows the walk only where that
    // component is a text of a key that ignores case; elsewhere the walk reads on (and the report
    // tests each record itself).
    QString prefix;
    SqlCondition filter;
};

class KeyWalk {
public:
    // Records read from the store at a time.
    static constexpr int kBatch = 100;

    KeyWalk(Store& store, TableId table, int key, KeyWalkLimits limits = {});

    TableId table() const { return m_table; }
    int key() const { return m_key; }
    // Whether the prefix narrows the walk (see WalkLimits::prefix).
    bool walksPrefix() const { return !m_foldedPrefix.isEmpty(); }

    // Positions on the first record; false when there is none, or on a read error (error()).
    bool first();
    // Positions on the first record at `from` (with `inclusive`, a record equal to it; else the
    // first after it), within the range; false when there is none, or on a read error.
    bool firstFrom(const KeyPosition& from, bool inclusive);
    // Reads on; false at the end, or on a read error.
    bool next();
    // The record the walk is on; valid after first() or next() returned true.
    const Row& record() const { return m_rows[m_index]; }
    const StoreError& error() const { return m_error; }

    // Walks from the first record to the end, or until `visit` returns false; the read error,
    // if any.
    StoreError forEach(const std::function<bool(const Row&)>& visit);
    // The same from `from` on (see firstFrom).
    StoreError forEachFrom(const KeyPosition& from, bool inclusive,
                           const std::function<bool(const Row&)>& visit);

private:
    bool read(const KeyPosition& from, bool inclusive);
    bool belongs(const Row& row) const;

    Store& m_store;
    TableId m_table;
    int m_key;
    KeyWalkLimits m_limits;
    QString m_foldedPrefix; // empty: the prefix does not narrow the walk
    int m_prefixField = -1;
    QVector<Row> m_rows;
    int m_index = 0;
    bool m_lastBatch = false;
    StoreError m_error;
};

// Whether `text` begins with `prefix` as the walk compares them: cut of trailing blanks, folded as
// the case-insensitive keys fold their texts, without diacritics. Every text that, in capitals,
// begins with the prefix in capitals passes this test too, so a walk narrowed by it misses none of
// the records "Selected" prints.
bool foldedStartsWith(const QString& text, const QString& foldedPrefix);

} // namespace tunarium
