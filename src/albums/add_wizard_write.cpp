// An add wizard's OK: the album and the songs in one transaction.
#include "albums/add_wizard.h"

#include "albums/album_disc_songs.h"
#include "albums/album_entries.h"
#include "data/pictures.h"
#include "data/unlinked_write.h"

namespace tunarium {

namespace {

// A song number that is taken is tried again this often, one higher each time.
constexpr int kNumberTries = 10000;

// Whether an album with these key values exists; a failed read counts as an error.
StoreError albumExists(Store& store, int key, const QVector<QVariant>& values, bool& exists,
                       qint64* albumId = nullptr) {
    AlbumRecord found;
    const StoreError e = store.get(key, values, found);
    exists = e.ok();
    if (albumId != nullptr) {
        *albumId = exists ? found.albumId : 0;
    }
    return e.code == code::kRecordNotFound ? StoreError{} : e;
}

} // namespace

bool AddWizard::failed(const QString& caption, const QString& text) {
    m_db.prompter().message({caption, text, PromptIcon::Stop, kButtonOk, kButtonOk});
    return false;
}

// The album of the songs: with the box ticked a new album (named " (Copy)" when that artist has
// the album already), otherwise the album of the same artist and name, if any.
bool AddWizard::writeAlbum(qint64& albumId) {
    Store& store = m_db.store();
    const QString artist = albumArtist();
    const QString name = m_fields.text(tun::kAlbum);
    auto readFailed = [this](const StoreError& e) {
        return failed(QStringLiteral("Error"),
                      QStringLiteral("Error adding album information:\n\n") + e.describe());
    };
    bool exists = false;
    if (!m_addToAlbums) {
        if (StoreError e = albumExists(store, alb::kKeyAlbum, {name, artist}, exists, &albumId)) {
            return readFailed(e);
        }
        return true;
    }

    AlbumRecord album;
    if (StoreError e = store.nextNumber(TableId::Album, album.albumId)) {
        return readFailed(e);
    }
    album.cdIdentifier = m_cdIdentifier;
    album.xccd = m_cddbNumber;
    album.notes = m_fields.text(tun::kNotes);
    album.fileNumber = m_fields.text(tun::kFileNumber);
    album.artist = artist;
    album.album = name;
    album.media = m_fields.text(tun::kMedia);
    album.releaseDate = m_fields.number(tun::kReleaseDate);
    album.categoryId = m_fields.number(tun::kCategoryId);

    // A disc already filed under another album leaves this one without its identifier.
    auto clearTakenIdentifier = [&]() -> StoreError {
        if (trimTrailingBlanks(album.cdIdentifier).isEmpty()) {
            return {};
        }
        bool taken = false;
        StoreError e = albumExists(store, alb::kKeyCdIdentifier, {album.cdIdentifier}, taken);
        if (taken) {
            album.cdIdentifier.clear();
        }
        return e;
    };
    if (isCompilation()) {
        if (StoreError e = clearTakenIdentifier()) {
            return readFailed(e);
        }
    }
    for (;;) {
        if (StoreError e = albumExists(store, alb::kKeyAlbumId, {album.albumId}, exists)) {
            return readFailed(e);
        }
        if (!exists) {
            break;
        }
        ++album.albumId;
    }
    if (StoreError e = clearTakenIdentifier()) {
        return readFailed(e);
    }
    if (StoreError e = albumExists(store, alb::kKeyAlbum, {album.album, artist}, exists)) {
        return readFailed(e);
    }
    if (exists) {
        const int width = tableDef(TableId::Album).field(alb::kAlbum).width;
        album.album = (trimTrailingBlanks(album.album) + QStringLiteral(" (Copy)")).left(width);
    }
    if (StoreError e = albumExists(store, alb::kKeyArtist, {artist, album.album}, exists)) {
        return readFailed(e);
    }
    if (exists) {
        m_db.prompter().message(
            {QStringLiteral("Warning"),
             QStringLiteral(
                 "The artist and album information is a duplicate of information already in the database"),
             PromptIcon::Exclamation, kButtonOk, kButtonOk});
        // No new album: the songs go with the album that has their artist and name, not with a
        // number that the next album made would take.
        if (StoreError e = albumExists(store, alb::kKeyAlbum, {name, artist}, exists, &albumId)) {
            return readFailed(e);
        }
        return true;
    }

    // The keys that would still refuse the album, for the message when adding it fails.
    QString note;
    const std::pair<int, QVector<QVariant>> keys[] = {{alb::kKeyAlbumId, {album.albumId}},
                                                      {alb::kKeyCdIdentifier, {album.cdIdentifier}},
                                                      {alb::kKeyAlbum, {album.album, artist}},
                                                      {alb::kKeyArtist, {artist, album.album}}};
    const char* marks[] = {"[ID]", "[CD]", "[Album]", "[Artist]"};
    for (int i = 0; i < 4; ++i) {
        if (i == 1 && trimTrailingBlanks(album.cdIdentifier).isEmpty()) {
            continue;
        }
        bool taken = false;
        albumExists(store, keys[i].first, keys[i].second, taken);
        if (taken) {
            note += QLatin1String(marks[i]);
        }
    }
    if (StoreError e = store.insert(album)) {
        return failed(QStringLiteral("Error"),
                      QStringLiteral("Error adding album information:\n\n") + e.describe() + u' ' + note);
    }
    albumId = album.albumId;
    return true;
}

// Adds the song; a number already taken moves on to the first free one after it.
StoreError AddWizard::addSong(SongRecord& song) {
    Store& store = m_db.store();
    StoreError e = store.insert(song);
    if (e.code != code::kDuplicateKey) {
        return e;
    }
    const qint64 songs = store.count(TableId::Tunarium);
    if (song.id < songs) {
        song.id = songs;
    }
    for (int i = 0; i < kNumberTries && e.code == code::kDuplicateKey; ++i) {
        ++song.id;
        e = store.insert(song);
    }
    return e;
}

bool AddWizard::writeAll() {
    m_writtenAlbum = 0;
    m_writtenSongs.clear();
    const QString rowsFailed = QStringLiteral("Error adding from Wizard:  ");
    const QString songFailed = QStringLiteral("Error adding to music database from Wizard:  ");
    Store& store = m_db.store();
    Transaction tx(store);
    if (!tx.ok()) {
        return failed(QStringLiteral("Error!"), rowsFailed + tx.beginError().describe());
    }
    QVector<WizardTrackRecord> rows;
    if (StoreError e = m_tracks.rows(rows)) {
        return failed(QStringLiteral("Error!"), rowsFailed + e.describe());
    }
    qint64 albumId = 0;
    if (!writeAlbum(albumId)) {
        return false;
    }

    // Every song starts from the wizard's facts alone: nothing of one track passes to the next.
    SongRecord base = fromRow<SongRecord>(m_fields);
    base.meta = {};
    base.albumId = albumId;
    base.side = kSingleDiscSide;
    // The songs are numbered from the next free number as it is now, not as it was at open: other
    // windows and stations add songs meanwhile.
    qint64 next = 1;
    if (StoreError e = store.nextNumber(TableId::Tunarium, next)) {
        return failed(QStringLiteral("Error!"), songFailed + e.describe());
    }
    next = std::max<qint64>(next, 1);
    QVector<qint64> written;
    for (const WizardTrackRecord& row : std::as_const(rows)) {
        SongRecord song = base;
        song.id = next;
        song.trackNumber = row.track;
        song.title =
            trimTrailingBlanks(row.title).isEmpty() ? QStringLiteral("Track %1").arg(row.track) : row.title;
        if (row.time != 0) {
            song.time = row.time;
            song.additionalInformation1 = formatPicture(row.time, u"@t4").right(5);
        }
        if (isCompilation()) {
            song.artist = row.artist;
        }
        if (StoreError e = addSong(song)) {
            return failed(QStringLiteral("Error!"), songFailed + e.describe());
        }
        if (StoreError e = removeUnlinked(store, row)) {
            return failed(QStringLiteral("Error!"), rowsFailed + e.describe());
        }
        written << song.id;
        next = song.id + 1;
    }
    if (StoreError e = tx.commit()) {
        return failed(QStringLiteral("Error!"), songFailed + e.describe());
    }
    m_writtenAlbum = albumId;
    m_writtenSongs = written;
    return true;
}

} // namespace tunarium
