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
    : Process(QStringLiteral("Processing Records"), QStringLiteral("Copying..."), 1), m_db(db), m_span(songs) {}

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
    if (last == 0) {
        return false; // no song at all
    }
    // The progress counts the record numbers of the span that are in use.
    m_first = std::max(first, m_span.first);
    m_last = std::min(last, m_span.last);
    m_total = m_last >= m_first ? m_last - m_first + 1 : 0;
    m_filedThrough = m_first - 1;
    setProgress(0, m_total);
    return m_total > 0;
}

void AlbumEntriesProcess::end() {
    m_tables.release();
}

bool AlbumEntriesProcess::failed(const StoreError& error, const QString& name) {
    m_db.warnings().report(warning::kProcessError, error, name, QStringLiteral("Put"));
    m_failed = true;
    stopAsCompleted();
    return false;
}

bool AlbumEntriesProcess::handleNext() {
    const qint64 through = std::min(m_last, m_filedThrough + kAlbumEntriesPerStep);
    StoreBulk::AlbumFiling filed;
    if (StoreError e = m_db.store().bulk().fileSongsUnderAlbums(m_filedThrough, through,
                                                                QString::fromLatin1(kVariousArtist), filed)) {
        return failed(e, filed.failedTable == TableId::Album ? QStringLiteral("Album")
                                                             : QString::fromLatin1(kProcessView));
    }
    m_created += filed.albumsMade;
    m_linked += filed.songsLinked;
    m_filedThrough = through;
    setProgress(through - m_first + 1, m_total);
    return through < m_last;
}

} // namespace tunarium
