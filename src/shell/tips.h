// The tips of the day: stepping through the tips from one start to the next, the tips the program
// brings (put into an empty tips table at start-up), and the rules of the tip editor.
#pragma once

#include "data/database.h"
#include "data/records.h"
#include "data/settings.h"

#include <QStringList>

#include <optional>

namespace tunarium {

// The tips the program brings, in their order.
const QStringList& shippedTips();
// Adds the shipped tips, numbered from 1, when the tips table is empty. Returns how many were
// added (0 when the table had tips); nullopt when they could not be written.
std::optional<int> seedTips(Store& store);
// At start-up: the shipped tips into an empty tips table, unless the tip editor is on (whoever
// edits the tips keeps the table as they left it).
void seedTipsAtStart(Database& db, const Settings& settings);

// Which tip is shown. Tips are visited in the order of their numbers, wrapping round at either
// end; numbers need not follow one another (a tip deleted leaves a gap that is passed over).
class TipCursor {
public:
    explicit TipCursor(Store& store) : m_store(store) {}

    // The tip after `lastShown` (the `Tip` setting), or the first after the last one. False when
    // there is no tip.
    bool open(qint64 lastShown);
    bool next();
    bool back();

    bool hasTip() const { return m_tip.has_value(); }
    const TipRecord& tip() const { return *m_tip; }
    // The number kept in `Tip` when the window closes.
    qint64 number() const { return m_tip ? m_tip->id : m_lastShown; }

private:
    // The tip after (or before) `id` in number order; with wrap, the first (or last) when none
    // follows.
    bool move(qint64 id, Direction direction);

    Store& m_store;
    std::optional<TipRecord> m_tip;
    qint64 m_lastShown = 1;
};

// The tip editor's writes, with the warnings the user answers.
class TipEditing {
public:
    explicit TipEditing(Database& db) : m_db(db) {}

    // Adds a tip with the next number (trying a fresh number up to three times when another
    // station took it). A text that is another tip's already is refused with warning 24; any
    // other failure shows warning 14. True when added; `tip` then holds the record.
    bool insert(TipRecord& tip);
    // What became of a change: written; given up (the form closes unsaved); or back to the form.
    enum class Saved { Written, Discarded, Stay };
    // Rewrites a changed tip through the update routine. A text that is another tip's is refused
    // with warning 24 (back to the form); a failed rewrite asks warning 16: Yes tries again, No
    // gives up, Cancel goes back to the form.
    Saved change(TipRecord& tip);
    // Asks for confirmation (warning 32), then deletes through the delete routine. True when
    // deleted.
    bool remove(const TipRecord& tip);

private:
    Database& m_db;
};

} // namespace tunarium
