// The date conversion and the album link test as processes.
#include "albums/housekeeping.h"

#include "albums/album_entries.h"
#include "data/date_time.h"

#include <QDir>

#include <algorithm>

namespace tunarium {

namespace {

// The name a failed rewrite is reported under: the records are written through the process's
// view of the table.
constexpr char kProcessView[] = "Process:View";
// The kind of the backup kept before the year-only conversion.
constexpr char kBackupBeforeYearOnly[] = "dates";

// Reports a failed write with warning 31; the run then ends.
void tellFailure(Database& db, const StoreError& error) {
    db.warnings().saveError(error);
    db.warnings().show(warning::kProcessError, QString::fromLatin1(kProcessView), QStringLiteral("Put"));
}

} // namespace

StoreError backupBeforeYearOnly(Store& store, QString& written) {
    const QString kind = QString::fromLatin1(kBackupBeforeYearOnly);
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
    : Process(table == TableId::Album ? QStringLiteral("Converting Album Dates")
                                      : QStringLiteral("Converting Song Dates"),
              QStringLiteral("Processing Records"), 100),
      m_db(db), m_table(table), m_field(table == TableId::Album ? alb::kReleaseDate : tun::kReleaseDate) {}

DateConversionProcess::~DateConversionProcess() {
    cancel();
}

bool DateConversionProcess::begin() {
    if (!m_db.openTable(m_table)) {
        m_failed = true;
        return false;
    }
    m_open = true;
    if (StoreError e = m_db.store().recordRange(m_table, m_first, m_last)) {
        return fail(e);
    }
    m_after = m_first - 1;
    setProgress(0, m_last - m_after);
    return m_last > 0;
}

void DateConversionProcess::end() {
    if (m_transaction) {
        stepEnds();
    }
    if (m_open) {
        m_db.closeTable(m_table);
        m_open = false;
    }
}

bool DateConversionProcess::fail(const StoreError& error) {
    if (m_transaction) {
        m_transaction->rollback();
        m_transaction.reset();
    }
    tellFailure(m_db, error);
    m_failed = true;
    stopAsCompleted();
    return false;
}

// A step is one transaction, written whole or not at all; the file is free between steps.
void DateConversionProcess::stepBegins() {
    m_stepClock.start();
    m_stepChanged = 0;
    m_transaction.emplace(m_db.store());
    if (!m_transaction->ok()) {
        const StoreError e = m_transaction->beginError();
        m_transaction.reset();
        fail(e);
    }
}

void DateConversionProcess::stepEnds() {
    if (!m_transaction) {
        return;
    }
    const StoreError e = m_transaction->commit();
    m_transaction.reset();
    if (e) {
        fail(e);
        return;
    }
    m_changed += m_stepChanged;
    m_stepChanged = 0;
}

bool DateConversionProcess::handleNext() {
    if (!m_transaction) {
        return false;
    }
    const qint64 through = std::min(m_after + kDateConversionChunk, m_last);
    qint64 changed = 0;
    if (StoreError e = m_db.store().bulk().daysToYears(m_table, m_field, m_after, through, changed)) {
        return fail(e);
    }
    m_stepChanged += changed;
    m_after = through;
    setProgress(m_after - m_first + 1, m_last - m_first + 1);
    if (m_stepClock.elapsed() >= kHousekeepingStepMs) {
        endStep();
    }
    return m_after < m_last;
}

// ---- AlbumLinkTest

AlbumLinkTest::AlbumLinkTest(Database& db)
    : Process(QStringLiteral("Testing Link Integrity"), QStringLiteral("Processing Records"),
              kLinkTestPerStep),
      m_db(db) {}

AlbumLinkTest::~AlbumLinkTest() {
    cancel();
}

bool AlbumLinkTest::begin() {
    if (!m_db.openTables({TableId::Tunarium, TableId::Album})) {
        m_failed = true;
        return false;
    }
    m_open = true;
    m_total = m_db.store().count(TableId::Tunarium);
    setProgress(0, m_total);
    // New identifiers follow the highest one the songs had when the test began.
    if (StoreError e = m_db.store().nextNumber(TableId::Tunarium, m_nextId)) {
        return fail(e);
    }
    return readPage() && !m_page.isEmpty();
}

void AlbumLinkTest::end() {
    if (m_transaction) {
        stepEnds();
    }
    if (m_open) {
        m_db.closeTables({TableId::Tunarium, TableId::Album});
        m_open = false;
    }
}

bool AlbumLinkTest::fail(const StoreError& error) {
    if (m_transaction) {
        m_transaction->rollback();
        m_transaction.reset();
    }
    tellFailure(m_db, error);
    m_failed = true;
    stopAsCompleted();
    return false;
}

bool AlbumLinkTest::readPage() {
    QVector<Row> page;
    if (StoreError e = m_db.store().read(TableId::Tunarium, tun::kSongsByAlbum, m_position,
                                         Direction::Forward, false, kLinkTestPerStep, page)) {
        m_db.warnings().saveError(e);
        m_db.warnings().show(warning::kRecordRetrievalError, QStringLiteral("Tunarium"));
        m_failed = true;
        return false;
    }
    m_lastPage = page.size() < kLinkTestPerStep;
    if (!page.isEmpty()) {
        m_position = m_db.store().positionOf(page.last(), tun::kSongsByAlbum);
    }
    m_page = std::move(page);
    m_next = 0;
    return true;
}

void AlbumLinkTest::stepBegins() {
    m_stepClock.start();
    m_transaction.emplace(m_db.store());
    if (!m_transaction->ok()) {
        const StoreError e = m_transaction->beginError();
        m_transaction.reset();
        fail(e);
    }
}

void AlbumLinkTest::stepEnds() {
    if (!m_transaction) {
        return;
    }
    const StoreError e = m_transaction->commit();
    m_transaction.reset();
    if (e) {
        fail(e);
    }
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

bool AlbumLinkTest::link(Row& song) {
    const QString albumKey = foldKey(song.text(tun::kAlbum));
    const QString artistKey = foldKey(song.text(tun::kArtist));
    qint64 albumId = song.number(tun::kAlbumId);
    if (!m_haveLast || albumKey != m_lastAlbum || artistKey != m_lastArtist) {
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
    if (albumId != song.number(tun::kAlbumId)) {
        if (StoreError e = store.rewriteField(TableId::Tunarium, song.meta, tun::kAlbumId, albumId)) {
            return fail(e);
        }
        ++m_relinked;
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
        if (StoreError w = store.rewriteField(TableId::Tunarium, song.meta, tun::kId, m_nextId)) {
            return fail(w);
        }
        ++m_nextId;
        ++m_numbered;
    }
    return true;
}

bool AlbumLinkTest::handleNext() {
    if (!m_transaction) {
        return false;
    }
    setProgress(recordsDone(), m_total);
    if (!link(m_page[m_next])) {
        return false;
    }
    if (m_stepClock.elapsed() >= kHousekeepingStepMs) {
        endStep();
    }
    if (++m_next < m_page.size()) {
        return true;
    }
    return !m_lastPage && readPage() && !m_page.isEmpty();
}

} // namespace tunarium
