// Grouped counts of a table's records through its keys, for the collection's statistics: how many
// records hold each value of a key's first field, read from the key alone (no record is read), in
// one snapshot of the collection on a connection of the survey's own, so that the figures agree
// with each other whatever another window or copy writes meanwhile.
#pragma once

#include "data/dictionary.h"
#include "data/store_error.h"

#include <QHash>
#include <QString>
#include <QVector>

namespace tunarium {

// The records that hold one value.
struct ValueCount {
    qint64 value = 0;
    qint64 count = 0;
};

// The records that hold one text, its case and accents folded as the key folds them; `text` is the
// text as one of them spells it.
struct TextCount {
    QString text;
    qint64 count = 0;
};

// Made by Store::openSurvey.
class StoreSurvey {
public:
    StoreSurvey() = default;
    virtual ~StoreSurvey() = default;
    StoreSurvey(const StoreSurvey&) = delete;
    StoreSurvey& operator=(const StoreSurvey&) = delete;

    // Why the survey has no snapshot (the store is not open, its own connection failed).
    virtual const StoreError& error() const = 0;
    // The table's records.
    virtual StoreError count(TableId table, qint64& out) = 0;
    // Records per value of the number field that is `key`'s first component, in the order of the
    // values. A key that leaves blank records out still counts them: as the value 0.
    virtual StoreError countsByNumber(TableId table, int key, QVector<ValueCount>& out) = 0;
    // Records per text of the text field that is `key`'s first component, most records first (ties
    // in the key's order), at most `limit` of them (0: all). A key that leaves blank records out
    // still counts them: as the blank text.
    virtual StoreError countsByText(TableId table, int key, int limit, QVector<TextCount>& out) = 0;
    // The text field `textField` of every record by its number field `numberField` (the names of
    // the categories by their numbers).
    virtual StoreError namesByNumber(TableId table, int numberField, int textField,
                                     QHash<qint64, QString>& out) = 0;
};

} // namespace tunarium
