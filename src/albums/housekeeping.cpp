// The date conversion and the album link test as processes.
#include "albums/housekeeping.h"

#include "albums/album_entries.h"
#include "data/date_time.h"
#include "data/unlinked_write.h"

#include <QDir>

#include <algorithm>

namespace tunarium {

namespace {

// The kinds of the backups kept before the year-only conversion and before the link test.
constexpr char kBackupBeforeYearOnly[] = "dates";
constexpr char kBackupBeforeLinkTest[] = "links";

StoreError backupBefore(Store& store, const char* kindName, QString& written) {
    const QString kind = QString::fromLatin1(kindName);
    if (StoreError e = store.makeBackup(kind)) {
        return e;
    }
    // The newest of its kind is the one just made: the names sort by their date and time.
    const QDir dir(store.directory());
    const QStringList made = dir.entryList({QStringLiteral("tunarium-") + kind + QStringLiteral("-*.db")},
                                           QDir::Files, QDir::Name);
    written = made.isEmpty() ? QString() : dir.filePath(made.last());
    return {};
}

} // namespace

StoreError backupBeforeYearOnly(Store& store, QString& written) {
    return backupBefore(store, kBackupBeforeYearOnly, written);
}

StoreError backupBeforeLinkTest(Store& store, QString& written) {
    return backupBefore(store, kBackupBeforeLinkTest, written);
}

QString yearOnlyReport(qint64 songs, qint64 albums, bool completed, const QString& backupPath) {
    const QString counts =
        QStringLiteral("%1 song dates and %2 album dates were converted to years").arg(songs).arg(albums);
    const QString kept =
        QStringLiteral("The collection as it was before the conversion is kept in %1").arg(backupPath);
    if (completed) {
        return QStringLiteral("Process Completed. %1.\n%2.").arg(counts, kept);
    }
    return QStringLiteral(
               "The conversion was stopped: %1 before it stopped; the others are as they were.\n%2.")
        .arg(counts, kept);
}

// ---- DateConversionProcess

DateConversionProcess::DateConversionProcess(Database& db, TableId table)
    : HousekeepingSteps(db, {table},
                        table == TableId::Album ? QStringLiteral("Converting Album Dates")
                                                : QStringLiteral("Converting Song Dates"),
                        QStringLiteral("Processing Records"), 100),
      m_table(table), m_field(table == TableId::Album ? alb::kReleaseDate : tun::kReleaseDate) {}

DateConversionProcess::~DateConversionProcess() {
    cancel();
}

bool DateConversionProcess::begin() {
    if (!openSteps()) {
        return false;
    }
    if (StoreError e = m_db.store().recordRange(m_table, m_first, m_last)) {
        return fail(e);
    }
    m_after = m_first - 1;
    setProgress(0, m_last - m_after);
    return m_last > 0;
}

void DateConversionProcess::end() {
    endSteps();
}

bool DateConversionProcess::handleNext() {
    if (!inStep()) {
        return false;
    }
    const qint64 through = std::min(m_after + kDateConversionChunk, m_last);
    qint64 changed = 0;
    if (StoreError e = m_db.store().bulk().daysToYears(m_table, m_field, m_after, through, changed)) {
        return fail(e);
    }
    m_after = through;
    setProgress(m_after - m_first + 1, m_last - m_first + 1);
    wrote(changed);
    return m_after < m_last;
}

// ---- AlbumLinkTest

AlbumLinkTest::AlbumLinkTest(Database& db)
    : HousekeepingSteps(db, {TableId::Tunarium, TableId::Album}, QStringLiteral("Testing Link Integrity"),
                        QStringLiteral("Processing Records"), kLinkTestPage * 20) {}

AlbumLinkTest::~AlbumLinkTest() {
    cancel();
}

bool AlbumLinkTest::begin() {
    if (!openSteps()) {
        return false;
    }
    m_total = m_db.store().count(TableId::Tunarium);
    setProgress(0, m_total);
    // New identifiers follow the highest one the songs had when the test began.
    if (StoreError e = m_db.store().nextNumber(TableId::Tunarium, m_nextId)) {
        return fail(e);
    }
    return readPage() && !m_page.isEmpty();
}

void AlbumLinkTest::end() {
    endSteps();
}

bool AlbumLinkTest::readPage() {
    QVector<Row> page;
    if (StoreError e = m_db.store().read(TableId::Tunarium, tun::kSongsByAlbum, m_position,
                                         Direction::Forward, false, kLinkTestPage, page)) {
        m_db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
        failedRead();
        return false;
    }
    m_lastPage = page.size() < kLinkTestPage;
    if (!page.isEmpty()) {
        m_position = m_db.store().positionOf(page.last(), tun::kSongsByAlbum);
    }
    m_page = std::move(page);
    m_next = 0;
    return true;
}

std::optional<qint64> AlbumLinkTest::lookUp(const Row& song) {
    AlbumRecord album;
    const QString title = song.text(tun::kAlbum);
    for (const QString& artist : {song.text(tun::kArtist), QString::fromLatin1(kVariousArtist)}) {
        const StoreError e = m_db.store().get(alb::kKeyAlbum, {title, artist}, album);
        if (e.ok()) {
            return album.albumId;
        }
        if (e.code != code::kRecordNotFound) {
            fail(e);
            return std::nullopt;
        }
    }
    return 0;
}

std::optional<bool> AlbumLinkTest::keepsItsAlbum(const Row& song) {
    const qint64 albumId = song.number(tun::kAlbumId);
    if (albumId == 0) {
        return false;
    }
    if (albumId != m_checkedAlbumId) {
        AlbumRecord album;
        const StoreError e = m_db.store().get(alb::kKeyAlbumId, {albumId}, album);
        if (!e.ok() && e.code != code::kRecordNotFound) {
            fail(e);
            return std::nullopt;
        }
        m_checkedAlbumId = albumId;
        // An album that is gone holds no title: no song keeps it.
        m_checkedExists = e.ok();
        m_checkedTitle = e.ok() ? foldKey(album.album) : QString();
    }
    return m_checkedExists && m_checkedTitle == foldKey(song.text(tun::kAlbum));
}

bool AlbumLinkTest::link(Row& song) {
    const QString albumKey = foldKey(song.text(tun::kAlbum));
    const QString artistKey = foldKey(song.text(tun::kArtist));
    const qint64 linkedTo = song.number(tun::kAlbumId);
    qint64 albumId = linkedTo;
    const std::optional<bool> keeps = keepsItsAlbum(song);
    if (!keeps) {
        return false;
    }
    if (*keeps) {
        // Linked to an album of its title: the link stands, whoever the album's artist is.
    } else if (!m_haveLast || albumKey != m_lastAlbum || artistKey != m_lastArtist) {
        const std::optional<qint64> found = lookUp(song);
        if (!found) {
            return false;
        }
        m_haveLast = true;
        m_lastAlbum = albumKey;
        m_lastArtist = artistKey;
        m_lastAlbumId = *found;
        albumId = *found;
    } else if (albumId == 0) {
        albumId = m_lastAlbumId;
    }
    Store& store = m_db.store();
    if (albumId != linkedTo) {
        if (StoreError e =
                rewriteUnfollowedField(store, TableId::Tunarium, song.meta, tun::kAlbumId, albumId)) {
            return fail(e);
        }
        ++(linkedTo == 0 ? m_linked : albumId == 0 ? m_unlinked : m_moved);
        wrote(1);
    }
    if (song.number(tun::kId) == 0) {
        // The next identifier after the highest, passing over any taken meanwhile.
        Row taken;
        StoreError e;
        while ((e = store.get(TableId::Tunarium, tun::kKeyId, {m_nextId}, taken)).ok()) {
            ++m_nextId;
        }
        if (e.code != code::kRecordNotFound) {
            return fail(e);
        }
        if (StoreError w = rewriteUnfollowedField(store, TableId::Tunarium, song.meta, tun::kId, m_nextId)) {
            return fail(w);
        }
        ++m_nextId;
        ++m_numbered;
        wrote(1);
    }
    return true;
}

bool AlbumLinkTest::handleNext() {
    if (!inStep()) {
        return false;
    }
    setProgress(recordsDone(), m_total);
    if (!link(m_page[m_next])) {
        return false;
    }
    checkTime();
    if (++m_next < m_page.size()) {
        return true;
    }
    return !m_lastPage && readPage() && !m_page.isEmpty();
}

QString linkTestReport(const AlbumLinkTest& test, bool completed, const QString& backupPath) {
    const QString counts =
        QStringLiteral("%1 songs were linked to their albums, %2 moved to the album of their title, %3 "
                       "unlinked (no album holds their title), %4 numbered")
            .arg(test.linked())
            .arg(test.moved())
            .arg(test.unlinked())
            .arg(test.numbered());
    const QString kept =
        QStringLiteral("The collection as it was before the test is kept in %1").arg(backupPath);
    if (completed) {
        return QStringLiteral("Process Completed. %1.\n%2.").arg(counts, kept);
    }
    return QStringLiteral("The test was stopped: %1 before it stopped; the others are as they were.\n%2.")
        .arg(counts, kept);
}

} // namespace tunarium
