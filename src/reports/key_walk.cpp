// Report walks over a key.
#include "reports/key_walk.h"

#include "data/fold_key.h"

namespace tunarium {

namespace {

// A range value as the key compares it.
bool sameKeyValue(const TableDef& t, int field, const QVariant& a, const QVariant& b) {
    if (!t.field(field).isText()) {
        return a.toLongLong() == b.toLongLong();
    }
    return foldKey(a.toString()) == foldKey(b.toString());
}

} // namespace

bool foldedStartsWith(const QString& text, const QString& foldedPrefix) {
    return foldKeyPrefix(text).startsWith(foldedPrefix);
}

KeyWalk::KeyWalk(Store& store, TableId table, int key, WalkLimits limits)
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

bool KeyWalk::read(const KeyPosition& from, bool inclusive) {
    m_index = 0;
    m_error = m_store.read(m_table, m_key, from, sql::Direction::Forward, inclusive, kBatch, m_rows,
                           m_limits.filter);
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
    const TableDef& t = tableDef(m_table);
    const KeyDef& k = t.key(m_key);
    for (int i = 0; i < m_limits.range.size(); ++i) {
        if (!sameKeyValue(t, k.components[i], row.value(k.components[i]), m_limits.range[i])) {
            return false;
        }
    }
    return !walksPrefix() || foldedStartsWith(row.text(m_prefixField), m_foldedPrefix);
}

} // namespace tunarium
