// Walks over a key a batch at a time.
#include "data/key_walk.h"

#include "data/fold_key.h"

namespace tunarium {

StoreError Store::readEnds(TableId table, int key, const KeyPosition& from, const WalkLimits& limits,
                           QVector<Row>& first, QVector<Row>& last) {
    last.clear();
    if (StoreError e = read(table, key, from, Direction::Forward, true, 1, first, limits)) {
        return e;
    }
    return read(table, key, from, Direction::Backward, true, 1, last, limits);
}

bool foldedStartsWith(const QString& text, const QString& foldedPrefix) {
    return foldKeyPrefix(text).startsWith(foldedPrefix);
}

KeyWalk::KeyWalk(Store& store, TableId table, int key, KeyWalkLimits limits)
    : m_store(store), m_table(table), m_key(key), m_limits(std::move(limits)) {
    const TableDef& t = tableDef(table);
    const KeyDef& k = t.key(key);
    const int next = static_cast<int>(m_limits.range.size());
    if (next < k.components.size() && k.caseInsensitive && t.field(k.components[next]).isText()) {
        m_foldedPrefix = foldKeyPrefix(m_limits.prefix);
        m_prefixField = k.components[next];
    }
}

bool KeyWalk::first() {
    KeyPosition from;
    from.values = m_limits.range;
    if (walksPrefix()) {
        from.values << m_limits.prefix;
        from.partialText = true;
    }
    return read(from, true);
}

bool KeyWalk::firstFrom(const KeyPosition& from, bool inclusive) {
    return read(from, inclusive);
}

bool KeyWalk::next() {
    if (m_index + 1 < m_rows.size()) {
        ++m_index;
        if (belongs(m_rows[m_index])) {
            return true;
        }
        m_rows.clear();
        return false;
    }
    if (m_lastBatch || m_rows.isEmpty()) {
        m_rows.clear();
        return false;
    }
    const KeyPosition from = m_store.positionOf(m_rows.last(), m_key);
    return read(from, false);
}

StoreError KeyWalk::forEach(const std::function<bool(const Row&)>& visit) {
    for (bool on = first(); on; on = next()) {
        if (!visit(record())) {
            break;
        }
    }
    return m_error;
}

StoreError KeyWalk::forEachFrom(const KeyPosition& from, bool inclusive,
                                const std::function<bool(const Row&)>& visit) {
    for (bool on = firstFrom(from, inclusive); on; on = next()) {
        if (!visit(record())) {
            break;
        }
    }
    return m_error;
}

bool KeyWalk::read(const KeyPosition& from, bool inclusive) {
    m_index = 0;
    const WalkLimits limits(static_cast<int>(m_limits.range.size()), m_limits.range, m_limits.filter);
    m_error = m_store.read(m_table, m_key, from, Direction::Forward, inclusive, kBatch, m_rows, limits);
    if (m_error) {
        m_rows.clear();
        return false;
    }
    m_lastBatch = m_rows.size() < kBatch;
    if (m_rows.isEmpty() || !belongs(m_rows.first())) {
        m_rows.clear();
        return false;
    }
    return true;
}

bool KeyWalk::belongs(const Row& row) const {
    return !walksPrefix() || foldedStartsWith(row.text(m_prefixField), m_foldedPrefix);
}

} // namespace tunarium
