// The move routine.
#include "catalogue/move_routine.h"

#include "data/fold_key.h"
#include "data/unlinked_write.h"

namespace tunarium {

namespace {

bool sameKeyValue(const TableDef& t, const KeyDef& k, int field, const QVariant& a, const QVariant& b) {
    if (!t.field(field).isText()) {
        return a.toLongLong() == b.toLongLong();
    }
    const QString x = trimTrailingBlanks(a.toString());
    const QString y = trimTrailingBlanks(b.toString());
    return k.caseInsensitive ? foldKey(x) == foldKey(y) : x == y;
}

// The position of `record` in the list's key as it stands with `sequence` as its number.
KeyPosition positionAt(const OrderedList& list, const Row& record, qint64 sequence) {
    const KeyDef& k = tableDef(list.table).key(list.key);
    KeyPosition p;
    for (int field : k.components) {
        p.values << (field == list.sequenceField() ? QVariant(sequence) : record.value(field));
    }
    p.rec = record.meta.rec;
    p.hasRec = true;
    return p;
}

// The next record of the list from `from` in `direction`; `found` false at the list's end.
StoreError nextInList(Store& store, const OrderedList& list, const KeyPosition& from, Direction direction,
                      Row& next, bool& found) {
    QVector<Row> rows;
    const StoreError e = store.read(list.table, list.key, from, direction, false, 1, rows);
    found = e.ok() && !rows.isEmpty() && list.holds(rows.first());
    if (found) {
        next = rows.first();
    }
    return e;
}

// The highest sequence number of the list (which holds at least one entry).
StoreError highestInList(Store& store, const OrderedList& list, qint64& highest) {
    const TableDef& t = tableDef(list.table);
    KeyPosition end;
    for (const QVariant& v : list.range) {
        end.values << v;
    }
    end.values << QVariant(t.field(list.sequenceField()).maxValue());
    QVector<Row> rows;
    const StoreError e = store.read(list.table, list.key, end, Direction::Backward, true, 1, rows);
    highest =
        e.ok() && !rows.isEmpty() && list.holds(rows.first()) ? rows.first().number(list.sequenceField()) : 0;
    return e;
}

} // namespace

int OrderedList::sequenceField() const {
    return tableDef(table).key(key).components.value(range.size(), -1);
}

bool OrderedList::holds(const Row& record) const {
    const TableDef& t = tableDef(table);
    const KeyDef& k = t.key(key);
    if (record.tableId() != table) {
        return false;
    }
    for (int i = 0; i < range.size(); ++i) {
        if (!sameKeyValue(t, k, k.components[i], record.value(k.components[i]), range[i])) {
            return false;
        }
    }
    return true;
}

QString moveStepName(MoveStep step) {
    switch (step) {
    case MoveStep::TestRange:
        return QStringLiteral("Test Range");
    case MoveStep::GetOrig:
        return QStringLiteral("Get Orig");
    case MoveStep::PutSwapOut:
        return QStringLiteral("Put Swap Out");
    case MoveStep::PutSwap:
        return QStringLiteral("Put Swap");
    case MoveStep::GetOrigAfter:
        return QStringLiteral("Get Orig After");
    case MoveStep::FinalPut:
        return QStringLiteral("Final Put");
    }
    return {};
}

MoveResult moveEntry(Store& store, const OrderedList& list, const Row& entry, MoveDirection direction,
                     qint64 stopAfter) {
    MoveResult result;
    auto failed = [&result](MoveStep step, const StoreError& error, const Row& at) {
        result.outcome = MoveResult::Outcome::Failed;
        result.step = step;
        result.error = error;
        result.at = at;
        return result;
    };
    const bool backward = direction == MoveDirection::Up || direction == MoveDirection::ToTop;
    const bool onePlace = direction == MoveDirection::Up || direction == MoveDirection::Down;
    const Direction walk = backward ? Direction::Backward : Direction::Forward;
    const int sequence = list.sequenceField();
    const auto stopsAt = [&](const Row& passed) {
        return direction == MoveDirection::ToTop && stopAfter > 0 && passed.number(sequence) <= stopAfter;
    };
    if (sequence < 0 || !list.holds(entry)) {
        return failed(MoveStep::TestRange, StoreError::of(code::kInvalidKey), entry);
    }

    Transaction tx(store);
    if (!tx.ok()) {
        return failed(MoveStep::TestRange, tx.beginError(), entry);
    }
    // Read from the entry's place (the number it has as read) without the entry itself.
    const qint64 orig = entry.number(sequence);
    Row neighbour;
    bool found = false;
    if (StoreError e = nextInList(store, list, positionAt(list, entry, orig), walk, neighbour, found)) {
        return failed(MoveStep::TestRange, e, entry);
    }
    if (!found || stopsAt(neighbour)) {
        result.outcome = MoveResult::Outcome::Unchanged;
        return result;
    }
    qint64 highest = 0;
    if (StoreError e = highestInList(store, list, highest)) {
        return failed(MoveStep::TestRange, e, entry);
    }
    const qint64 spare = highest + 1;

    Row moved;
    if (StoreError e = store.fetch(list.table, entry.meta.rec, moved)) {
        return failed(MoveStep::GetOrig, e, entry);
    }
    moved.setNumber(sequence, spare);
    if (StoreError e = rewriteUnlinked(store, moved)) {
        return failed(MoveStep::PutSwapOut, e, moved);
    }

    // The entries passed take the numbers vacated, each the one before it in the walk.
    qint64 vacated = orig;
    KeyPosition from = positionAt(list, entry, orig);
    bool endedOnMoved = false;
    for (;;) {
        Row passed;
        if (StoreError e = nextInList(store, list, from, walk, passed, found)) {
            return failed(MoveStep::PutSwap, e, moved);
        }
        if (!found || stopsAt(passed)) {
            break;
        }
        if (passed.meta.rec == moved.meta.rec) {
            endedOnMoved = true;
            break;
        }
        const qint64 next = passed.number(sequence);
        from = positionAt(list, passed, next);
        passed.setNumber(sequence, vacated);
        if (StoreError e = rewriteUnlinked(store, passed)) {
            return failed(MoveStep::PutSwap, e, passed);
        }
        vacated = next;
        if (onePlace) {
            break;
        }
    }
    if (!endedOnMoved) {
        if (StoreError e = store.fetch(list.table, moved.meta.rec, moved)) {
            return failed(MoveStep::GetOrigAfter, e, moved);
        }
    }
    moved.setNumber(sequence, vacated);
    if (StoreError e = rewriteUnlinked(store, moved)) {
        return failed(MoveStep::FinalPut, e, moved);
    }
    if (StoreError e = tx.commit()) {
        return failed(MoveStep::FinalPut, e, moved);
    }
    result.outcome = MoveResult::Outcome::Moved;
    result.moved = moved;
    return result;
}

PromptMessage moveErrorMessage(const OrderedList& list, const MoveResult& failure) {
    return moveErrorMessage(list, failure.error, failure.at, moveStepName(failure.step));
}

PromptMessage moveErrorMessage(const OrderedList& list, const StoreError& error, const Row& record,
                               const QString& section) {
    const TableDef& t = tableDef(list.table);
    const Row& at = record.tableId() == list.table && record.size() > 0 ? record : Row(list.table);
    QString text = QStringLiteral("Record swap error: \n") + error.describe();
    text += u'\n' + t.label + QStringLiteral(", ") + t.qualifiedKey(list.key);
    for (int field : t.key(list.key).components) {
        const QString value = t.field(field).isText() ? at.text(field) : QString::number(at.number(field));
        text += QStringLiteral("\nKey Field ") + t.qualifiedField(field) + QStringLiteral(" = ") + value;
    }
    text += QStringLiteral("\nSection = ") + section + u'\n';
    return {QStringLiteral("Error!"), text, PromptIcon::Stop, kButtonOk, kButtonOk};
}

} // namespace tunarium
