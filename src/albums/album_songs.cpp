// The songs of one album.
#include "albums/album_songs.h"

#include "data/key_walk.h"
#include "data/unlinked_write.h"

namespace tunarium {

namespace {

QString comparable(const QString& text) {
    return trimTrailingBlanks(text).toUpper();
}

} // namespace

ListDefinition albumSongsListDefinition(const QString& datePicture) {
    ListDefinition d;
    d.table = TableId::Tunarium;
    SortOrderDef inOrder;
    inOrder.key = tun::kKeyAlbumId;
    inOrder.rangeLength = 1;
    inOrder.locator = LocatorKind::None;
    d.sortOrders = {inOrder};
    d.columns = {
        recordColumn(QStringLiteral("Side/Disc"), tun::kSide, QStringLiteral("@n2b")),
        recordColumn(QStringLiteral("Track"), tun::kTrackNumber, QStringLiteral("@n3")),
        recordColumn(QStringLiteral("Artist"), tun::kArtist, QStringLiteral("@s50")),
        recordColumn(QStringLiteral("Title"), tun::kTitle, QStringLiteral("@s50")),
        recordColumn(QStringLiteral("Time"), tun::kTime, QStringLiteral("@t4")),
        recordColumn(QStringLiteral("Media"), tun::kMedia, QStringLiteral("@s20")),
        recordColumn(QStringLiteral("File Number"), tun::kFileNumber, QStringLiteral("@s20")),
        recordColumn(QStringLiteral("Release Date"), tun::kReleaseDate, datePicture),
        recordColumn(QStringLiteral("BPM"), tun::kBeatsPerMinute, QStringLiteral("@n_4b")),
        recordColumn(QStringLiteral("In/Out"), tun::kInOut, QStringLiteral("@s20")),
    };
    return d;
}

QString albumSongsListFormat(const QString& datePicture) {
    return QStringLiteral(
               "30R(2)|M~Side/Disc~C(0)@n2b@23R(2)|M~Track~C(0)@n3@80L(2)|M~Artist~L(0)@s50@80L(2)|M~Title~L(0)@s50@35R(2)|M~Time~@t9@"
               "49L(2)|M~Media~@s20@43L(2)|M~File Number~@s20@49R(2)|M~Release Date~C(0)") +
           datePicture + QStringLiteral("@25R(2)|M~BPM~@n_4b@49L(2)|M~In/Out~@s20@");
}

bool hasFileNumber(const AlbumRecord& album) {
    return !album.fileNumber.trimmed().isEmpty();
}

PromptMessage reassignQuestion(const AlbumRecord& album) {
    const QString text = QStringLiteral("Do you want to assign all songs with file number \"") +
                         trimTrailingBlanks(album.fileNumber) + QStringLiteral("\" and media type \"") +
                         trimTrailingBlanks(album.media) + QStringLiteral("\" to this album?");
    return {QStringLiteral("Assign Songs To Album"), text, PromptIcon::Question,
            kButtonYes | kButtonNo | kButtonCancel, kButtonYes};
}

PromptMessage reassignOutcome(const ReassignResult& result) {
    if (result.stop == ReassignResult::Stop::ReadError) {
        return {QStringLiteral("Assignment Cancelled"),
                QStringLiteral("Error reading music database ") + result.error.describe(), PromptIcon::Stop,
                kButtonOk, kButtonOk};
    }
    if (result.assigned > 0) {
        return {QStringLiteral("Process complete."),
                QString::number(result.assigned) + QStringLiteral(" songs assigned."),
                PromptIcon::Information, kButtonOk, kButtonOk};
    }
    QString reason;
    switch (result.stop) {
    case ReassignResult::Stop::MediaDiffers:
        reason = QStringLiteral("No songs with that media type were found.");
        break;
    case ReassignResult::Stop::FileNumberDiffers:
        reason = QStringLiteral("No songs with that file number were found.");
        break;
    default:
        reason = QStringLiteral("No songs with that media type and file number were found.");
        break;
    }
    return {QStringLiteral("Process failed."), reason, PromptIcon::Exclamation, kButtonOk, kButtonOk};
}

AlbumSongs::AlbumSongs(Database& db, qint64 albumId) : m_db(db), m_albumId(albumId) {}

OrderedList AlbumSongs::side(qint64 side) const {
    return {TableId::Tunarium, tun::kKeyAlbumId, {m_albumId, side}};
}

StoreError AlbumSongs::next(const SongRecord* after, SongRecord& out, bool& found) {
    found = false;
    KeyPosition from;
    bool inclusive = true;
    if (after) {
        from = m_db.store().positionOf(toRow(*after), tun::kKeyAlbumId);
        inclusive = false;
    } else {
        from.values = {m_albumId};
    }
    QVector<Row> rows;
    if (StoreError e = m_db.store().read(TableId::Tunarium, tun::kKeyAlbumId, from, Direction::Forward,
                                         inclusive, 1, rows)) {
        return e;
    }
    if (!rows.isEmpty() && rows.first().number(tun::kAlbumId) == m_albumId) {
        out = fromRow<SongRecord>(rows.first());
        found = true;
    }
    return {};
}

StoreError AlbumSongs::nextTrack(qint64 sideNumber, qint64& out) {
    out = 1;
    KeyPosition end;
    end.values = {m_albumId, sideNumber, tableDef(TableId::Tunarium).field(tun::kTrackNumber).maxValue()};
    QVector<Row> rows;
    if (StoreError e = m_db.store().read(TableId::Tunarium, tun::kKeyAlbumId, end, Direction::Backward,
                                         true, 1, rows)) {
        return e;
    }
    if (!rows.isEmpty() && side(sideNumber).holds(rows.first())) {
        out = rows.first().number(tun::kTrackNumber) + 1;
    }
    return {};
}

bool AlbumSongs::move(const SongRecord& song, MoveDirection direction, SongRecord& moved) {
    const OrderedList list = side(song.side);
    const MoveResult result = moveEntry(m_db.store(), list, toRow(song), direction);
    switch (result.outcome) {
    case MoveResult::Outcome::Moved:
        moved = fromRow<SongRecord>(result.moved);
        return true;
    case MoveResult::Outcome::Unchanged:
        return false;
    case MoveResult::Outcome::Failed:
        m_db.prompter().message(moveErrorMessage(list, result));
        return false;
    }
    return false;
}

bool AlbumSongs::placeAfter(const SongRecord& song, qint64 selectedTrack, SongRecord& placed) {
    const OrderedList list = side(song.side);
    const MoveResult result = moveEntry(m_db.store(), list, toRow(song), MoveDirection::ToTop, selectedTrack);
    if (result.outcome == MoveResult::Outcome::Failed) {
        m_db.prompter().message(moveErrorMessage(list, result));
    }
    if (result.outcome != MoveResult::Outcome::Moved) {
        return false;
    }
    placed = fromRow<SongRecord>(result.moved);
    return true;
}

SelectedTrack selectedTrack(const ListEngine& list) {
    const int selected = list.selectedIndex();
    if (selected < 0) {
        return {};
    }
    const Row& at = list.row(selected).record;
    return {at.number(tun::kSide), at.number(tun::kTrackNumber)};
}

void AlbumSongs::removeFromList(ListEngine& list, const Row& song) {
    const bool deleted = removeSong(fromRow<SongRecord>(song));
    list.formAnswered(deleted ? Response::Completed : Response::Cancelled, song);
}

SongRecord AlbumSongs::placeAdded(const SongRecord& added, qint64 selectedSide, qint64 selectedTrack) {
    SongRecord placed;
    if (added.albumId == m_albumId && added.side == selectedSide && selectedTrack > 0 &&
        added.trackNumber != selectedTrack + 1 && placeAfter(added, selectedTrack, placed)) {
        return placed;
    }
    return added;
}

PromptMessage AlbumSongs::swapError(const StoreError& error, const SongRecord& at,
                                    const QString& section) const {
    return moveErrorMessage(side(at.side), error, toRow(at), section);
}

StoreError AlbumSongs::renumberAfter(const SongRecord& deleted, SongRecord& failedAt) {
    // In track order each song moves into the number just freed before it; the walk reads on from
    // each batch's last song as it was read, so what was renumbered lies behind it.
    Store& store = m_db.store();
    const OrderedList list = side(deleted.side);
    KeyPosition from;
    from.values = {m_albumId, deleted.side, deleted.trackNumber};
    StoreError failure;
    KeyWalk walk(store, TableId::Tunarium, tun::kKeyAlbumId);
    const StoreError e = walk.forEachFrom(from, false, [&](const Row& read) {
        if (!list.holds(read)) {
            return false;
        }
        failedAt = fromRow<SongRecord>(read);
        Row row = read;
        row.setNumber(tun::kTrackNumber, row.number(tun::kTrackNumber) - 1);
        failure = rewriteUnlinked(store, row);
        return failure.ok();
    });
    return failure ? failure : e;
}

bool AlbumSongs::removeSong(const SongRecord& song, bool confirm) {
    Warnings& warnings = m_db.warnings();
    if (confirm && warnings.show(warning::kConfirmDelete) != kButtonOk) {
        return false;
    }
    for (;;) {
        Transaction tx(m_db.store());
        if (!tx.ok()) {
            warnings.report(warning::kTransactionFramingError, tx.beginError(), QStringLiteral("Delete"),
                            QStringLiteral("Tunarium"));
        } else if (m_db.remove(song) == kRoutineDone) {
            SongRecord failedAt = song;
            StoreError e = renumberAfter(song, failedAt);
            if (!e) {
                e = tx.commit();
            }
            if (!e) {
                return true;
            }
            tx.rollback();
            m_db.prompter().message(swapError(e, failedAt, QStringLiteral("Put Upd Seq")));
            return false;
        }
        if (m_db.halted() || warnings.show(warning::kRecordDeleteRetry) != kButtonYes) {
            return false;
        }
    }
}

ReassignResult AlbumSongs::reassign(const AlbumRecord& album) {
    ReassignResult result;
    Store& store = m_db.store();
    const QString media = comparable(album.media);
    const QString fileNumber = comparable(album.fileNumber);
    Transaction tx(store);
    if (!tx.ok()) {
        result.stop = ReassignResult::Stop::ReadError;
        result.error = tx.beginError();
        return result;
    }
    KeyPosition from;
    from.values = {trimTrailingBlanks(album.media), trimTrailingBlanks(album.fileNumber)};
    KeyWalk walk(store, TableId::Tunarium, tun::kSongsByMedia);
    const StoreError walkError = walk.forEachFrom(from, true, [&](const Row& read) {
        if (comparable(read.text(tun::kMedia)) != media) {
            result.stop = ReassignResult::Stop::MediaDiffers;
            return false;
        }
        if (comparable(read.text(tun::kFileNumber)) != fileNumber) {
            result.stop = ReassignResult::Stop::FileNumberDiffers;
            return false;
        }
        if (read.number(tun::kAlbumId) == m_albumId) {
            ++result.assigned;
            return true;
        }
        // Through the songs' update routine (it shows a failure); the walk's one transaction
        // holds each song's, as the batch it is.
        Row row = read;
        row.setNumber(tun::kAlbumId, m_albumId);
        if (m_db.update(row, false) != kRoutineDone) {
            result.stop = ReassignResult::Stop::UpdateFailed;
            return false;
        }
        ++result.assigned;
        return true;
    });
    if (walkError) {
        result.stop = ReassignResult::Stop::ReadError;
        result.error = walkError;
    }
    if (StoreError e = tx.commit()) {
        result.stop = ReassignResult::Stop::ReadError;
        result.error = e;
        result.assigned = 0;
    }
    return result;
}

bool AlbumSongs::assignSong(qint64 songId) {
    SongRecord song;
    if (StoreError e = m_db.store().get(tun::kKeyId, {songId}, song)) {
        m_db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
        return false;
    }
    song.albumId = m_albumId;
    return m_db.update(song, true) == kRoutineDone;
}

} // namespace tunarium
