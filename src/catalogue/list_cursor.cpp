// The read cursor of a browse.
#include "catalogue/list_cursor.h"

#include <utility>

namespace tunarium {

namespace {

// Lookups kept for one page; beyond this many a scroll starts the cache again.
constexpr int kLookupCacheLimit = 256;
// The joined records read at once when a page first needs one.
constexpr int kLookupPrefill = 128;

} // namespace

ListCursor::ListCursor(Store& store, TableId table, QVector<JoinDef> joins)
    : m_store(store), m_table(table), m_joins(std::move(joins)), m_lookups(m_joins.size()),
      m_lookupsPrefilled(m_joins.size(), false) {}

void ListCursor::setOrder(int key, int rangeLength, const QVector<QVariant>& rangeValues,
                          const SqlCondition& filter) {
    const TableDef& t = tableDef(m_table);
    m_key = key;
    m_rangeLength = std::clamp(rangeLength, 0, static_cast<int>(t.key(key).components.size()) - 1);
    m_rangeValues.clear();
    for (int i = 0; i < m_rangeLength; ++i) {
        const int field = t.key(key).components[i];
        const bool given = i < rangeValues.size() && rangeValues[i].isValid();
        m_rangeValues << (given ? rangeValues[i]
                                : (t.field(field).isText() ? QVariant(QString()) : QVariant(qint64(0))));
    }
    m_filter = filter;
    m_reverse = false;
    m_lookupJoin = -1;
    m_lookupKey = 0;
}

void ListCursor::setLookupOrder(int join, int lookupKey) {
    const bool usable = join >= 0 && join < m_joins.size() && lookupKey >= 0 &&
                        lookupKey < tableDef(m_joins[join].table).keys.size();
    m_lookupJoin = usable ? join : -1;
    m_lookupKey = usable ? lookupKey : 0;
    if (usable) {
        m_rangeLength = 0; // the order walks each joined record's records as a range of its own
        m_rangeValues.clear();
    }
}

bool ListCursor::leadingIsText() const {
    return lookupOrder() || tableDef(m_table).field(leadingField()).isText();
}

StoreError ListCursor::open() {
    if (lookupOrder()) {
        QVector<PageRow> none;
        return readByLookup({}, Direction::Forward, true, 1, none, false, true);
    }
    QVector<Row> none;
    for (Direction d : {Direction::Forward, Direction::Backward}) {
        KeyPosition from;
        from.values = m_rangeValues;
        if (StoreError e = m_store.read(m_table, m_key, from, d, true, 0, none, limits())) {
            return e;
        }
    }
    return {};
}

void ListCursor::dropLimits() {
    m_rangeLength = 0;
    m_rangeValues.clear();
    m_filter = {};
}

int ListCursor::leadingField() const {
    return tableDef(m_table).key(m_key).components[m_rangeLength];
}

WalkLimits ListCursor::limits(bool withFilter) const {
    return WalkLimits(m_rangeLength, m_rangeValues, withFilter ? m_filter : SqlCondition{});
}

StoreError ListCursor::read(const KeyPosition& from, Direction direction, bool inclusive, int limit,
                            QVector<PageRow>& out, bool withLookups, bool withFilter) {
    out.clear();
    if (lookupOrder()) {
        return readByLookup(from, direction, inclusive, limit, out, withLookups, withFilter);
    }
    if (m_reverse) {
        direction = direction == Direction::Forward ? Direction::Backward : Direction::Forward;
    }
    KeyPosition start = from;
    if (start.values.isEmpty() && m_rangeLength > 0) {
        start.values = m_rangeValues;
        start.hasRec = false;
        inclusive = true;
    }
    QVector<Row> rows;
    if (StoreError e =
            m_store.read(m_table, m_key, start, direction, inclusive, limit, rows, limits(withFilter))) {
        return e;
    }
    out.reserve(rows.size());
    for (Row& r : rows) {
        PageRow row;
        if (StoreError e = withLookups ? lookup(r, row.lookups) : StoreError{}) {
            return e;
        }
        row.record = std::move(r);
        out.push_back(std::move(row));
    }
    return {};
}

StoreError ListCursor::readEnds(QVector<PageRow>& first, QVector<PageRow>& last) {
    first.clear();
    last.clear();
    if (lookupOrder()) {
        StoreError e = read({}, Direction::Forward, true, 1, first, false, false);
        return e ? e : read({}, Direction::Backward, true, 1, last, false, false);
    }
    KeyPosition start;
    if (m_rangeLength > 0) {
        start.values = m_rangeValues;
    }
    QVector<Row> low;
    QVector<Row> high;
    if (StoreError e = m_store.readEnds(m_table, m_key, start, limits(false), low, high)) {
        return e;
    }
    if (m_reverse) {
        std::swap(low, high);
    }
    for (auto [rows, out] : {std::pair{&low, &first}, std::pair{&high, &last}}) {
        for (Row& r : *rows) {
            PageRow row;
            row.record = std::move(r);
            out->push_back(std::move(row));
        }
    }
    return {};
}

StoreError ListCursor::lookup(const Row& record, QVector<Row>& out) const {
    out.clear();
    for (int j = 0; j < m_joins.size(); ++j) {
        const JoinDef& join = m_joins[j];
        const TableDef& lt = tableDef(join.table);
        const QVariant value = record.value(join.sourceField);
        const QString cacheKey = value.toString();
        QHash<QString, Row>& cache = m_lookups[j];
        if (cache.isEmpty() && !m_lookupsPrefilled[j]) {
            // The first records of the joined table in one read: a small table (the categories)
            // comes whole, so that a page's names cost one read, not one each (a round trip each on
            // a server). A value not among them is still looked up by itself below.
            m_lookupsPrefilled[j] = true;
            QVector<Row> first;
            if (StoreError e = m_store.read(join.table, join.key, {}, Direction::Forward, true, kLookupPrefill, first)) {
                return e;
            }
            const int field = lt.key(join.key).components.first();
            for (const Row& r : first) {
                cache.insert(r.value(field).toString(), r);
            }
        }
        auto it = cache.constFind(cacheKey);
        if (it == cache.constEnd()) {
            Row found(join.table);
            const bool blank =
                value.typeId() == QMetaType::QString ? cacheKey.isEmpty() : value.toLongLong() == 0;
            if (!(blank && lt.key(join.key).excludeBlank)) {
                const StoreError e = m_store.get(join.table, join.key, {value}, found);
                if (e && e.code != code::kRecordNotFound) {
                    return e;
                }
                if (e) {
                    found = Row(join.table);
                }
            }
            if (cache.size() >= kLookupCacheLimit) {
                cache.clear();
            }
            it = cache.insert(cacheKey, found);
        }
        out.push_back(*it);
    }
    return {};
}

void ListCursor::clearLookups() {
    for (QHash<QString, Row>& cache : m_lookups) {
        cache.clear();
    }
    m_lookupsPrefilled.fill(false);
}

KeyPosition ListCursor::positionOf(const Row& record) const {
    return lookupOrder() ? lookupPositionOf(record) : m_store.positionOf(record, m_key);
}

KeyPosition ListCursor::positionFrom(const Row& record, bool exact) const {
    if (record.tableId() != m_table || record.size() != tableDef(m_table).fieldCount()) {
        KeyPosition start; // not a record of this table: the start of the range
        start.values = m_rangeValues;
        return start;
    }
    KeyPosition p = positionOf(record);
    for (int i = 0; i < m_rangeLength; ++i) {
        p.values[i] = m_rangeValues[i];
    }
    p.hasRec = exact && record.meta.rec != 0;
    if (!p.hasRec) {
        p.rec = 0;
    }
    return p;
}

KeyPosition ListCursor::positionAtLeading(const QVariant& value) const {
    KeyPosition p;
    p.values = m_rangeValues;
    p.values << value;
    p.partialText = true;
    return p;
}

QString ListCursor::readSql(int prefixLength, bool withRecord, Direction direction, bool inclusive) const {
    return m_store.walkText(m_table, m_key, prefixLength, withRecord, direction, inclusive, limits());
}

} // namespace tunarium
