// The read cursor in the order of a joined record: songs by their category's name. The songs are
// never sorted: the joined records are walked by their own key (a small table), and the songs of
// each are a range of the songs' key led by the joined value, read with the record number as
// tie-breaker. A rename moves the joined record in its own key, and so its songs with it, without
// touching one song.
#include "catalogue/list_cursor.h"

namespace tunarium {

namespace {

Direction flip(Direction d) {
    return d == Direction::Forward ? Direction::Backward : Direction::Forward;
}

} // namespace

QVariant ListCursor::blankValue() const {
    const TableDef& t = tableDef(m_table);
    return t.field(m_joins[m_lookupJoin].sourceField).isText() ? QVariant(QString()) : QVariant(qint64(0));
}

ListCursor::LookupGroup ListCursor::groupOf(const Row& lookupRecord) const {
    const JoinDef& join = m_joins[m_lookupJoin];
    const TableDef& lt = tableDef(join.table);
    LookupGroup g;
    g.valid = true;
    g.value = lookupRecord.value(lt.key(join.key).components.first());
    g.name = lookupRecord.text(lt.key(m_lookupKey).components.first());
    g.rec = lookupRecord.meta.rec;
    return g;
}

KeyPosition ListCursor::lookupPositionOf(const Row& record) const {
    const JoinDef& join = m_joins[m_lookupJoin];
    QVector<Row> lookups;
    Row found;
    if (lookup(record, lookups).ok() && m_lookupJoin < lookups.size()) {
        found = lookups[m_lookupJoin];
    }
    KeyPosition p;
    const bool named = found.tableId() == join.table && found.meta.rec != 0;
    p.values = {named ? found.text(tableDef(join.table).key(m_lookupKey).components.first()) : QString(),
                named ? found.meta.rec : qint64(0), record.value(join.sourceField)};
    p.rec = record.meta.rec;
    p.hasRec = true;
    return p;
}

// The group a read starts in: the first or last of the order, the first joined record whose name
// is at or after a typed text, or the group of a full position.
StoreError ListCursor::firstGroup(const KeyPosition& from, Direction direction, LookupGroup& group) {
    const JoinDef& join = m_joins[m_lookupJoin];
    const bool forward = direction == Direction::Forward;
    group = {};
    QVector<Row> found;
    if (from.values.isEmpty()) {
        if (forward) {
            group = {true, true, blankValue(), {}, 0};
            return {};
        }
        if (StoreError e = m_store.read(join.table, m_lookupKey, {}, direction, true, 1, found)) {
            return e;
        }
    } else if (from.partialText) {
        const QString typed = trimTrailingBlanks(from.values.first().toString());
        if (typed.isEmpty() && forward) {
            group = {true, true, blankValue(), {}, 0};
            return {};
        }
        KeyPosition at;
        at.values = {typed};
        at.partialText = true;
        if (StoreError e = m_store.read(join.table, m_lookupKey, at, direction, true, 1, found)) {
            return e;
        }
    } else {
        const qint64 rec = from.values.value(1).toLongLong();
        group = {true, rec == 0, from.values.value(2), from.values.value(0).toString(), rec};
        return {};
    }
    if (!found.isEmpty()) {
        group = groupOf(found.front());
    } else if (!forward) {
        group = {true, true, blankValue(), {}, 0};
    }
    return {};
}

StoreError ListCursor::nextGroup(Direction direction, LookupGroup& group) {
    const JoinDef& join = m_joins[m_lookupJoin];
    const bool forward = direction == Direction::Forward;
    if (group.none) {
        group = {};
        if (!forward) {
            return {};
        }
        QVector<Row> first;
        if (StoreError e = m_store.read(join.table, m_lookupKey, {}, direction, true, 1, first)) {
            return e;
        }
        if (!first.isEmpty()) {
            group = groupOf(first.front());
        }
        return {};
    }
    KeyPosition after;
    after.values = {group.name};
    after.rec = group.rec;
    after.hasRec = true;
    QVector<Row> next;
    if (StoreError e = m_store.read(join.table, m_lookupKey, after, direction, false, 1, next)) {
        return e;
    }
    if (!next.isEmpty()) {
        group = groupOf(next.front());
    } else if (!forward) {
        group = {true, true, blankValue(), {}, 0};
    } else {
        group = {};
    }
    return {};
}

StoreError ListCursor::readByLookup(const KeyPosition& from, Direction direction, bool inclusive, int limit,
                                    QVector<PageRow>& out, bool withLookups, bool withFilter) {
    const Direction d = m_reverse ? flip(direction) : direction;
    LookupGroup group;
    if (StoreError e = firstGroup(from, d, group)) {
        return e;
    }
    // Within the starting group a full position goes on from its record; a typed text or an end
    // starts at the group's first (or last) record.
    const bool fromRecord = !from.values.isEmpty() && !from.partialText;
    bool first = true;
    // A limit of 0 only prepares the statements (open()): one read of each kind.
    const int wanted = std::max(limit, 0);
    while (group.valid && (out.size() < wanted || (wanted == 0 && first))) {
        KeyPosition start;
        start.values = {group.value};
        bool inclusiveStart = true;
        if (first && fromRecord) {
            start.rec = from.rec;
            start.hasRec = from.hasRec;
            inclusiveStart = inclusive;
        }
        QVector<Row> rows;
        const WalkLimits range(1, {group.value}, withFilter ? m_filter : SqlCondition{});
        if (StoreError e = m_store.read(m_table, m_key, start, d, inclusiveStart,
                                        wanted - static_cast<int>(out.size()), rows, range)) {
            return e;
        }
        for (Row& r : rows) {
            PageRow row;
            if (StoreError e = withLookups ? lookup(r, row.lookups) : StoreError{}) {
                return e;
            }
            row.record = std::move(r);
            out.push_back(std::move(row));
        }
        first = false;
        if (out.size() >= wanted) {
            break;
        }
        if (StoreError e = nextGroup(d, group)) {
            return e;
        }
    }
    return {};
}

} // namespace tunarium
