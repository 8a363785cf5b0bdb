// The move routine of every hand-ordered list: the tracks of an add wizard, the songs of an album
// side, the entries of a playlist. A list is the records of one key whose leading components hold
// the list's values (the wizard's instance and side, the playlist's number); the key's next
// component is the sequence that orders it. A move renumbers: the entry steps aside to a spare
// number one past the end of the list, the entries it passes take the numbers vacated one after
// the other, and it takes the last number vacated. Up and down swap two neighbours; to the top and
// to the bottom shift every entry between the entry and that end one place towards it. Each move
// is one transaction: it happens whole or not at all.
#pragma once

#include "data/prompter.h"
#include "data/store.h"

namespace tunarium {

enum class MoveDirection { Up, Down, ToTop, ToBottom };

// A hand-ordered list: the records of `key` whose first `range.size()` components equal `range`.
struct OrderedList {
    TableId table = TableId::AddWizard;
    int key = 0;
    QVector<QVariant> range;

    // The field that orders the list: the key's component after the range.
    int sequenceField() const;
    // Whether a record belongs to the list.
    bool holds(const Row& record) const;
};

// The steps of a move, as its error message names them.
enum class MoveStep { TestRange, GetOrig, PutSwapOut, PutSwap, GetOrigAfter, FinalPut };
QString moveStepName(MoveStep step);

struct MoveResult {
    enum class Outcome {
        Moved,     // `moved` holds the entry at its new place
        Unchanged, // no neighbour in that direction: the first entry up, the last one down
        Failed,    // rolled back; `step`, `error` and `at` say where
    };
    Outcome outcome = Outcome::Unchanged;
    Row moved;
    MoveStep step = MoveStep::TestRange;
    StoreError error;
    Row at; // the record the failing step worked on
};

// Moves `entry` (a record of the list, as read) one place or to an end of the list. With ToTop and
// a `stopAfter` above 0 the entry goes no further than just after the entry numbered `stopAfter`
// (a new entry placed after the one that was selected).
MoveResult moveEntry(Store& store, const OrderedList& list, const Row& entry, MoveDirection direction,
                     qint64 stopAfter = 0);

// "Record swap error: " with the error text, the table and key, each key field's value in the
// record the failing step worked on and the step's name, under the title "Error!".
PromptMessage moveErrorMessage(const OrderedList& list, const MoveResult& failure);
// The same message for a step of a renumbering that is not a move ("Put Upd Seq").
PromptMessage moveErrorMessage(const OrderedList& list, const StoreError& error, const Row& at,
                               const QString& section);

} // namespace tunarium
