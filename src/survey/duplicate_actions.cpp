// Delete and merge of duplicate songs through the delete routine.
#include "survey/duplicate_actions.h"

#include "data/key_walk.h"

namespace tunarium {

StoreError playlistEntriesOf(Store& store, qint64 songId, QVector<PlaylistEntryRecord>& out) {
    out.clear();
    KeyWalk walk(store, TableId::PlaylistDetails, pla::kKeyId, {{songId}});
    return walk.forEach([&out](const Row& row) {
        out << fromRow<PlaylistEntryRecord>(row);
        return true;
    });
}

int deleteDuplicate(Database& db, const SongRecord& song) {
    return db.remove(song);
}

MergeOutcome mergeInto(Database& db, const SongRecord& kept, const QVector<SongRecord>& duplicates) {
    MergeOutcome outcome;
    // Nothing was changed: the transaction rolls back as it goes.
    const auto failed = [](const QString& problem = {}) { return MergeOutcome{false, 0, 0, problem}; };
    Store& store = db.store();
    Transaction tx(store);
    if (!tx.ok()) {
        return failed(tx.beginError().describe());
    }
    for (const SongRecord& duplicate : duplicates) {
        if (duplicate.meta.rec == kept.meta.rec) {
            continue;
        }
        // An entry naming song 0 names no song: a song without a number has no entries to move.
        if (duplicate.id != 0 && duplicate.id != kept.id) {
            QVector<PlaylistEntryRecord> entries;
            if (StoreError e = playlistEntriesOf(store, duplicate.id, entries)) {
                return failed(e.describe());
            }
            if (!entries.isEmpty() && kept.id == 0) {
                return failed(QStringLiteral("The song kept has no song number, so no playlist entry can name it."));
            }
            for (PlaylistEntryRecord& entry : entries) {
                entry.id = kept.id;
                if (db.update(entry, false) != kRoutineDone) {
                    return failed(); // told by the update routine
                }
                ++outcome.entriesMoved;
            }
        }
        if (db.remove(duplicate) != kRoutineDone) {
            return failed(); // told by the delete routine
        }
        ++outcome.songsDeleted;
    }
    if (StoreError e = tx.commit()) {
        return failed(e.describe());
    }
    outcome.done = true;
    return outcome;
}

} // namespace tunarium
