// Create album entries as a process over the songs.
#include "albums/album_entries.h"

#include <algorithm>

namespace tunarium {

namespace {

// The name a failed write of the songs is reported under: the songs are written back through the
// process's view of the table, not the table itself.
constexpr char kProcessView[] = "Process:View";

} // namespace

AlbumEntriesProcess::AlbumEntriesProcess(Database& db, SongSpan songs)
    : Process(QStringLiteral("Processing Records"), QStringLiteral("Copying..."), kAlbumEntriesPerStep),
      m_db(db), m_span(songs), m_songs(db.store()) {}

AlbumEntriesProcess::~AlbumEntriesProcess() {
    cancel();
}

bool AlbumEntriesProcess::begin() {
    m_tables = TableLease(m_db, {TableId::Tunarium, TableId::Album});
    if (!m_tables) {
        m_failed = true;
        return false;
    }
    qint64 first = 0;
    qint64 last = 0;
    if (const StoreError e = m_db.store().recordRange(TableId::Tunarium, first, last)) {
        m_db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
        m_failed = true;
        return false;
    }
    // The progress counts the record numbers of the span that are in use.
    m_first = std::max(first, m_span.first);
    m_last = std::min(last, m_span.last);
    m_total = m_last >= m_first ? m_last - m_first + 1 : 0;
    setProgress(0, m_total);
    return m_total > 0 && readPage() && !m_page.isEmpty();
}

void AlbumEntriesProcess::end() {
    if (m_transaction) {
        stepEnds();
    }
    m_tables.release();
}

bool AlbumEntriesProcess::readPage() {
    // Songs are walked in the order of the file: the rewritten records then lie side by side.
    const qint64 after = m_page.isEmpty() ? m_first - 1 : m_page.last().meta.rec;
    QVector<SongRecord> page;
    if (const StoreError e = m_songs.read(after, kAlbumEntriesPerStep, page)) {
        m_db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
        m_failed = true;
        return false;
    }
    m_lastPage = page.size() < kAlbumEntriesPerStep;
    while (!page.isEmpty() && page.last().meta.rec > m_last) {
        page.removeLast();
        m_lastPage = true;
    }
    m_page = std::move(page);
    m_next = 0;
    return true;
}

void AlbumEntriesProcess::stepBegins() {
    m_lastAlbumId = 0;
    // One transaction a step: a thousand songs share one commit instead of each paying for its own.
    m_transaction.emplace(m_db.store());
    if (!m_transaction->ok()) {
        const StoreError e = m_transaction->beginError();
        m_transaction.reset();
        failed(e, QString::fromLatin1(kProcessView));
    }
}

void AlbumEntriesProcess::stepEnds() {
    if (!m_transaction) {
        return;
    }
    const StoreError e = m_transaction->commit();
    m_transaction.reset();
    if (e) {
        failed(e, QString::fromLatin1(kProcessView));
    }
}

bool AlbumEntriesProcess::failed(const StoreError& error, const QString& name) {
    m_db.warnings().report(warning::kProcessError, error, name, QStringLiteral("Put"));
    m_failed = true;
    stopAsCompleted();
    return false;
}

bool AlbumEntriesProcess::handleNext() {
    if (!m_transaction) {
        return false;
    }
    SongRecord& song = m_page[m_next];
    setProgress(song.meta.rec - m_first + 1, m_total);
    // A song that names no album has no album to be filed under.
    if (song.albumId == 0 && !trimTrailingBlanks(song.album).isEmpty()) {
        const qint64 albumId = albumFor(song);
        if (albumId == 0) {
            return false;
        }
        if (StoreError e = m_songs.setAlbum(song, albumId)) {
            return failed(e, QString::fromLatin1(kProcessView));
        }
        ++m_linked;
    }
    if (++m_next < m_page.size()) {
        return true;
    }
    return !m_lastPage && readPage() && !m_page.isEmpty();
}

qint64 AlbumEntriesProcess::albumFor(const SongRecord& song) {
    const QString albumKey = foldKey(song.album);
    const QString artistKey = foldKey(song.artist);
    if (m_lastAlbumId != 0 && albumKey == m_lastAlbum && artistKey == m_lastArtist) {
        return m_lastAlbumId;
    }
    m_lastAlbum = albumKey;
    m_lastArtist = artistKey;
    m_lastAlbumId = findOrAddAlbum(song);
    return m_lastAlbumId;
}

qint64 AlbumEntriesProcess::findOrAddAlbum(const SongRecord& song) {
    Store& store = m_db.store();
    AlbumRecord album;
    for (const QString& artist : {song.artist, QString::fromLatin1(kVariousArtist)}) {
        const StoreError e = store.get(alb::kKeyAlbum, {song.album, artist}, album);
        if (e.ok()) {
            return album.albumId;
        }
        if (e.code != code::kRecordNotFound) {
            failed(e, QStringLiteral("Album"));
            return 0;
        }
    }
    album = AlbumRecord{};
    if (StoreError e = store.nextNumber(TableId::Album, album.albumId)) {
        failed(e, QStringLiteral("Album"));
        return 0;
    }
    album.notes = song.notes;
    album.fileNumber = song.fileNumber;
    album.artist = song.artist;
    album.album = song.album;
    album.media = song.media;
    album.releaseDate = song.releaseDate;
    album.categoryId = song.categoryId;
    if (StoreError e = store.insert(album)) {
        failed(e, QStringLiteral("Album"));
        return 0;
    }
    ++m_created;
    return album.albumId;
}

} // namespace tunarium
