// The entries of one playlist.
#include "playlists/playlist_entries.h"

#include "catalogue/move_routine.h"
#include "data/unlinked_write.h"

namespace tunarium {

namespace {

constexpr int kPage = 100;
constexpr int kAddTries = 3;

} // namespace

bool parseSongIds(const QByteArray& payload, QVector<qint64>& ids) {
    ids.clear();
    for (const QByteArray& line : payload.split('\n')) {
        const QByteArray text = line.trimmed();
        if (text.isEmpty()) {
            continue;
        }
        bool ok = false;
        const qint64 id = text.toLongLong(&ok);
        if (!ok || id <= 0) {
            ids.clear();
            return false;
        }
        ids << id;
    }
    return !ids.isEmpty();
}

PromptMessage swapErrorMessage(const StoreError& error, qint64 playlistId, qint64 sequence,
                               const QString& section) {
    PromptMessage m;
    m.caption = QStringLiteral("Error!");
    m.text = QStringLiteral("Record swap error: \n") + error.describe() +
             QStringLiteral("\nPlaylistDetails, PLA:KeyPlaylistID\nKey Field PLA:PlaylistID = ") +
             QString::number(playlistId) + QStringLiteral("\nKey Field PLA:PlaylistSeq = ") +
             QString::number(sequence) + QStringLiteral("\nSection = ") + section;
    m.icon = PromptIcon::Stop;
    return m;
}

qint64 addTimes(const QVector<qint64>& times) {
    qint64 sum = 0;
    bool any = false;
    for (qint64 t : times) {
        if (t > 0) {
            sum += t - 1;
            any = true;
        }
    }
    return any ? sum + 1 : 0;
}

PlaylistEntries::PlaylistEntries(Database& db, qint64 playlistId) : m_db(db), m_playlistId(playlistId) {}

void PlaylistEntries::tell(const QString& caption, const QString& text) {
    m_db.prompter().message({caption, text, PromptIcon::Exclamation, kButtonOk, kButtonOk});
}

StoreError PlaylistEntries::lastSequence(qint64& out) {
    out = 0;
    QVector<Row> last;
    KeyPosition at;
    at.values = {m_playlistId};
    if (StoreError e = m_db.store().read(TableId::PlaylistDetails, pla::kKeyPlaylistId, at,
                                         Direction::Backward, true, 1, last)) {
        return e;
    }
    if (!last.isEmpty()) {
        const PlaylistEntryRecord entry = fromRow<PlaylistEntryRecord>(last.first());
        if (entry.playlistId == m_playlistId) {
            out = entry.playlistSeq;
        }
    }
    return {};
}

StoreError PlaylistEntries::read(qint64 after, int limit, QVector<PlaylistEntryRecord>& out) {
    out.clear();
    QVector<Row> rows;
    KeyPosition from;
    from.values = {m_playlistId, after};
    if (StoreError e = m_db.store().read(TableId::PlaylistDetails, pla::kKeyPlaylistId, from,
                                         Direction::Forward, false, limit, rows)) {
        return e;
    }
    for (const Row& r : rows) {
        PlaylistEntryRecord entry = fromRow<PlaylistEntryRecord>(r);
        if (entry.playlistId != m_playlistId) {
            break;
        }
        out << entry;
    }
    return {};
}

StoreError PlaylistEntries::songOf(qint64 songId, SongRecord& out, bool& found) {
    out = SongRecord{};
    found = false;
    if (songId <= 0) {
        return {};
    }
    const StoreError e = m_db.store().get(tun::kKeyId, {songId}, out);
    if (e.code == code::kRecordNotFound) {
        out = SongRecord{};
        return {};
    }
    found = e.ok();
    return e;
}

StoreError PlaylistEntries::totalTime(qint64& out) {
    out = 0;
    QVector<qint64> times;
    qint64 after = 0;
    for (;;) {
        QVector<PlaylistEntryRecord> page;
        if (StoreError e = read(after, kPage, page)) {
            return e;
        }
        for (const PlaylistEntryRecord& entry : page) {
            SongRecord song;
            bool found = false;
            if (StoreError e = songOf(entry.id, song, found)) {
                return e;
            }
            times << song.time;
        }
        if (page.size() < kPage) {
            break;
        }
        after = page.back().playlistSeq;
    }
    out = addTimes(times);
    return {};
}

bool PlaylistEntries::songsExist(const QVector<qint64>& songIds) {
    for (qint64 id : songIds) {
        SongRecord song;
        bool found = false;
        if (StoreError e = songOf(id, song, found)) {
            m_db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
            return false;
        }
        if (!found) {
            tell(QStringLiteral("Song Not Found"),
                 QStringLiteral("Song number %1 is no longer in the collection (it was deleted meanwhile). "
                                "Nothing was added to the playlist.")
                     .arg(id));
            return false;
        }
    }
    return true;
}

bool PlaylistEntries::addSongs(const QVector<qint64>& songIds, QVector<PlaylistEntryRecord>* added) {
    if (added) {
        added->clear();
    }
    if (songIds.isEmpty() || !songsExist(songIds)) {
        return false;
    }
    StoreError last;
    for (int attempt = 0; attempt < kAddTries; ++attempt) {
        QVector<PlaylistEntryRecord> made;
        Transaction tx(m_db.store());
        qint64 sequence = 0;
        last = tx.ok() ? lastSequence(sequence) : tx.beginError();
        for (qint64 id : songIds) {
            if (last) {
                break;
            }
            PlaylistEntryRecord entry;
            entry.playlistId = m_playlistId;
            entry.playlistSeq = ++sequence;
            entry.id = id;
            last = m_db.store().insert(entry);
            made << entry;
        }
        if (!last) {
            last = tx.commit();
        }
        if (!last) {
            if (added) {
                *added = made;
            }
            return true;
        }
    }
    tell(QStringLiteral("Error"), QStringLiteral("There was an error (") + QString::number(last.code) +
                                      QStringLiteral(" - ") + last.text +
                                      QStringLiteral(") adding to the Play List Details file"));
    return false;
}

bool PlaylistEntries::addDropped(const QByteArray& payload, QVector<PlaylistEntryRecord>* added) {
    QVector<qint64> ids;
    if (!parseSongIds(payload, ids)) {
        tell(QStringLiteral("Not a Song"),
             QStringLiteral("Only songs dragged from the Songs window can be dropped on the playlist. "
                            "Nothing was added."));
        return false;
    }
    return addSongs(ids, added);
}

bool PlaylistEntries::move(const PlaylistEntryRecord& entry, EntryMove how, PlaylistEntryRecord& moved) {
    static constexpr MoveDirection kDirections[] = {MoveDirection::ToTop, MoveDirection::Up,
                                                    MoveDirection::Down, MoveDirection::ToBottom};
    const OrderedList list{TableId::PlaylistDetails, pla::kKeyPlaylistId, {m_playlistId}};
    const MoveResult result = moveEntry(m_db.store(), list, toRow(entry), kDirections[int(how)]);
    switch (result.outcome) {
    case MoveResult::Outcome::Moved:
        moved = fromRow<PlaylistEntryRecord>(result.moved);
        return true;
    case MoveResult::Outcome::Unchanged:
        return false;
    case MoveResult::Outcome::Failed:
        m_db.prompter().message(moveErrorMessage(list, result));
        return false;
    }
    return false;
}

bool PlaylistEntries::placeAfter(const PlaylistEntryRecord& entry, qint64 after,
                                 PlaylistEntryRecord& placed) {
    return shift(entry, after, placed);
}

// As the move routine does: the entry goes out to a spare number one past the last entry, each
// entry it passes takes the number the one before vacated, and the entry comes in at the last
// number vacated. Any failure takes the whole move back.
bool PlaylistEntries::shift(const PlaylistEntryRecord& entry, qint64 stop, PlaylistEntryRecord& moved) {
    Store& store = m_db.store();
    const qint64 orig = entry.playlistSeq;
    QString section = QStringLiteral("Test Range");
    qint64 at = orig;
    StoreError e;
    Transaction tx(store);
    const auto failed = [&](const StoreError& error) {
        tx.rollback();
        m_db.prompter().message(swapErrorMessage(error, m_playlistId, at, section));
        return false;
    };
    if (!tx.ok()) {
        return failed(tx.beginError());
    }
    // The entries the move passes, nearest first.
    QVector<PlaylistEntryRecord> passed;
    KeyPosition from;
    from.values = {m_playlistId, orig};
    for (;;) {
        QVector<Row> page;
        const int limit = kPage;
        if ((e = store.read(TableId::PlaylistDetails, pla::kKeyPlaylistId, from, Direction::Backward, false,
                            limit, page))) {
            return failed(e);
        }
        bool end = page.size() < limit;
        for (const Row& row : page) {
            PlaylistEntryRecord other = fromRow<PlaylistEntryRecord>(row);
            if (other.playlistId != m_playlistId || (stop > 0 && other.playlistSeq <= stop)) {
                end = true;
                break;
            }
            passed << other;
        }
        if (end || page.isEmpty()) {
            break;
        }
        from.values = {m_playlistId, passed.back().playlistSeq};
    }
    if (passed.isEmpty()) {
        return false; // already at that end: nothing to do
    }
    section = QStringLiteral("Get Orig");
    PlaylistEntryRecord current;
    if ((e = store.get(pla::kKeyPlaylistId, {m_playlistId, orig}, current))) {
        return failed(e);
    }
    qint64 spare = 0;
    if ((e = lastSequence(spare))) {
        return failed(e);
    }
    ++spare;
    section = QStringLiteral("Put Swap Out");
    current.playlistSeq = spare;
    if ((e = rewriteUnlinked(store, current))) {
        return failed(e);
    }
    section = QStringLiteral("Put Swap");
    qint64 vacated = orig;
    for (PlaylistEntryRecord& other : passed) {
        at = other.playlistSeq;
        other.playlistSeq = vacated;
        vacated = at;
        if ((e = rewriteUnlinked(store, other))) {
            return failed(e);
        }
    }
    section = QStringLiteral("Final Put");
    at = spare;
    current.playlistSeq = vacated;
    if ((e = rewriteUnlinked(store, current)) || (e = tx.commit())) {
        return failed(e);
    }
    moved = current;
    return true;
}

StoreError PlaylistEntries::renumberAfter(qint64 sequence, qint64& failedAt) {
    // Taken in order, each entry moves into the number just freed before it.
    qint64 after = sequence;
    for (;;) {
        QVector<PlaylistEntryRecord> page;
        if (StoreError e = read(after, kPage, page)) {
            failedAt = after;
            return e;
        }
        for (PlaylistEntryRecord& entry : page) {
            failedAt = entry.playlistSeq;
            after = entry.playlistSeq;
            entry.playlistSeq -= 1;
            if (StoreError e = rewriteUnlinked(m_db.store(), entry)) {
                return e;
            }
        }
        if (page.size() < kPage) {
            return {};
        }
    }
}

bool PlaylistEntries::removeEntry(const PlaylistEntryRecord& entry) {
    Warnings& warnings = m_db.warnings();
    if (warnings.show(warning::kConfirmDelete) != kButtonOk) {
        return false;
    }
    for (;;) {
        Transaction tx(m_db.store());
        if (!tx.ok()) {
            warnings.report(warning::kTransactionFramingError, tx.beginError(), QStringLiteral("Delete"),
                            QStringLiteral("PlaylistDetails"));
        } else if (m_db.remove(entry) == kRoutineDone) {
            qint64 failedAt = 0;
            StoreError e = renumberAfter(entry.playlistSeq, failedAt);
            if (!e) {
                e = tx.commit();
            }
            if (!e) {
                return true;
            }
            tx.rollback();
            m_db.prompter().message(
                swapErrorMessage(e, m_playlistId, failedAt, QStringLiteral("Put Upd Seq")));
            return false;
        }
        if (m_db.halted() || warnings.show(warning::kRecordDeleteRetry) != kButtonYes) {
            return false;
        }
    }
}

} // namespace tunarium
