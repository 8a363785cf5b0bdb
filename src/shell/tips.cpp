// Tip stepping, seeding and editing.
#include "shell/tips.h"

#include "data/table_lease.h"

namespace tunarium {

namespace {

// How often an add is tried with a fresh number before the user is asked.
constexpr int kInsertAttempts = 3;

} // namespace

std::optional<int> seedTips(Store& store) {
    if (store.count(TableId::TNRTips) > 0) {
        return 0;
    }
    Transaction transaction(store);
    if (!transaction.ok()) {
        return std::nullopt;
    }
    qint64 id = 0;
    for (const QString& text : shippedTips()) {
        TipRecord tip;
        tip.id = ++id;
        tip.tip = text;
        if (store.insert(tip)) {
            return std::nullopt;
        }
    }
    if (transaction.commit()) {
        return std::nullopt;
    }
    return static_cast<int>(id);
}

void seedTipsAtStart(Database& db, const Settings& settings) {
    if (settings.dbgMode()) {
        return;
    }
    if (const TableLease tips(db, {TableId::TNRTips}); tips) {
        seedTips(db.store());
    }
}

bool TipCursor::move(qint64 id, Direction direction) {
    QVector<Row> found;
    KeyPosition from;
    from.values = {id};
    if (m_store.read(TableId::TNRTips, tip::kKeyId, from, direction, false, 1, found).ok() &&
        found.isEmpty()) {
        // Past the last (or before the first): round to the other end.
        m_store.read(TableId::TNRTips, tip::kKeyId, KeyPosition{}, direction, false, 1, found);
    }
    if (found.isEmpty()) {
        m_tip.reset();
        return false;
    }
    m_tip = fromRow<TipRecord>(found.first());
    return true;
}

bool TipCursor::open(qint64 lastShown) {
    m_lastShown = lastShown;
    return move(lastShown, Direction::Forward);
}

bool TipCursor::next() {
    return move(number(), Direction::Forward);
}

bool TipCursor::back() {
    return move(number(), Direction::Backward);
}

bool TipEditing::insert(TipRecord& tip) {
    Store& store = m_db.store();
    Warnings& warnings = m_db.warnings();
    for (;;) {
        StoreError failure;
        for (int attempt = 0; attempt < kInsertAttempts; ++attempt) {
            TipRecord candidate = tip;
            if (StoreError e = store.nextNumber(TableId::TNRTips, candidate.id)) {
                failure = e;
                continue;
            }
            failure = store.insert(candidate);
            if (failure.ok()) {
                tip = candidate;
                return true;
            }
            if (failure.code != code::kDuplicateKey) {
                break;
            }
            // The same text is another tip's: no fresh number helps.
            TipRecord same;
            if (store.get(tip::kKeyTip, {tip.tip}, same).ok()) {
                warnings.show(warning::kDuplicateKey, QStringLiteral("Tips"));
                return false;
            }
        }
        if (failure.code == code::kDuplicateKey) {
            // Every fresh number was taken meanwhile.
            if (warnings.report(warning::kAutoIncrementError, failure) == kButtonRetry) {
                continue;
            }
            return false;
        }
        warnings.report(warning::kRecordInsertError, failure);
        return false;
    }
}

TipEditing::Saved TipEditing::change(TipRecord& tip) {
    TipRecord same;
    if (m_db.store().get(tip::kKeyTip, {tip.tip}, same).ok() && same.meta.rec != tip.meta.rec) {
        m_db.warnings().show(warning::kDuplicateKey, QStringLiteral("Tips"));
        return Saved::Stay;
    }
    for (;;) {
        const int result = m_db.update(tip, false);
        if (result == 0) {
            return Saved::Written;
        }
        if (result == 2) {
            return Saved::Stay; // changed by another station: the form shows the tip as it is now
        }
        switch (m_db.warnings().show(warning::kRecordUpdateRetry, QStringLiteral("Tips"))) {
        case kButtonYes:
            continue;
        case kButtonNo:
            return Saved::Discarded;
        default:
            return Saved::Stay;
        }
    }
}

bool TipEditing::remove(const TipRecord& tip) {
    if (m_db.warnings().show(warning::kConfirmDelete) != kButtonOk) {
        return false;
    }
    for (;;) {
        if (m_db.remove(tip) == 0) {
            return true;
        }
        if (m_db.warnings().show(warning::kRecordDeleteRetry, QStringLiteral("Tips")) != kButtonYes) {
            return false;
        }
    }
}

} // namespace tunarium
