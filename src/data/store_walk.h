// What a walk through a key of the store is given: its direction, the position it starts from,
// and its limits (a range of the key it stays in, and a filter over the records).
#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

#include <atomic>

namespace tunarium {

enum class Direction { Forward, Backward };

// A position in a key: the first `values.size()` component values (a prefix of the key, or all of
// them) and, for a full position in a key that admits duplicates, the record number that breaks
// ties. Values are given as stored (not folded); the store folds them.
struct KeyPosition {
    QVector<QVariant> values;
    qint64 rec = 0;
    bool hasRec = false;
    // The last value is the beginning of a text (what the user typed in a locator): in a
    // case-insensitive key it is positioned by its accent-free folding alone (foldKeyPrefix), so
    // that the position comes before every record whose text begins with it, with or without
    // diacritics.
    bool partialText = false;
};

// A condition on the records of a walk in the store's own terms: the SQL text of a condition over
// the table's columns with `?` placeholders, and the values bound to them in order. Only the
// filter compiler (filter_expression.h) and the store make them; other code passes them on.
struct SqlCondition {
    QString sql;
    QVector<QVariant> binds;
    bool isEmpty() const { return sql.isEmpty(); }
};

// The limits of a walk: the key's first `rangeLength` components fixed at `rangeValues` (as stored,
// not folded), which bound the walk through the index itself, and a filter, which refuses records
// on the way.
struct WalkLimits {
    WalkLimits() = default;
    WalkLimits(SqlCondition condition) : filter(std::move(condition)) {}
    WalkLimits(int length, QVector<QVariant> values, SqlCondition condition = {})
        : rangeLength(length), rangeValues(std::move(values)), filter(std::move(condition)) {}

    int rangeLength = 0;
    QVector<QVariant> rangeValues;
    SqlCondition filter;

    bool isEmpty() const { return rangeLength == 0 && filter.isEmpty(); }
};

// What a store reading on a thread of its own is watched by from another thread: how many records
// its walks have passed so far, and a cancel that stops the read running at once (it fails with
// code 9, SQLite's "interrupted") and every read after it.
class WalkWatch {
public:
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }
    qint64 walked() const { return m_walked.load(std::memory_order_relaxed); }
    void setWalked(qint64 records) { m_walked.store(records, std::memory_order_relaxed); }

private:
    std::atomic<bool> m_cancelled{false};
    std::atomic<qint64> m_walked{0};
};

} // namespace tunarium
