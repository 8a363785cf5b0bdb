// The scan of audio files into songs.
#include "files/music_scan.h"

#include "data/date_time.h"
#include "data/key_walk.h"
#include "data/records.h"
#include "data/table_lease.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

namespace tunarium {

namespace {

const TableDef& songs() {
    return tableDef(TableId::Tunarium);
}

int fieldWidth(int field) {
    return songs().fields[field].width;
}

// Two lengths (time values) count as the same song's within two seconds.
constexpr qint64 kSameLength = 200;

QString counted(qint64 n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

MusicScan::MusicScan(Database& db, const QStringList& paths)
    : Process(QStringLiteral("Adding Music Files"), QString(), kScanFilesPerStep), m_db(db), m_walk(paths),
      m_coversDir(db.collectionDir() + u'/' + QLatin1String(kCoversFolder)) {}

MusicScan::~MusicScan() {
    stopNow();
}

SongSpan MusicScan::addedSongs() const {
    if (m_addedCommitted == 0) {
        return SongSpan{0, -1};
    }
    return SongSpan{m_firstCommitted, m_lastCommitted};
}

QString MusicScan::statusText() const {
    if (finished()) {
        return percentText();
    }
    return QStringLiteral("%1 files done, %2 songs added, %3 updated")
        .arg(m_filesDone)
        .arg(m_added)
        .arg(m_updated + m_relinked);
}

QStringList MusicScan::summary() const {
    QStringList lines;
    QString done = QStringLiteral("%1 read: %2 added, %3 updated")
                       .arg(counted(m_filesDone, "file", "files"), counted(m_addedCommitted, "song", "songs"))
                       .arg(m_updated);
    if (m_relinked > 0) {
        done += QStringLiteral(", %1 found moved and linked again").arg(m_relinked);
    }
    done += QStringLiteral(", %1 unchanged").arg(m_unchanged);
    if (m_markedMissing > 0) {
        done += m_markedMissing == 1 ? QStringLiteral("; the file of 1 song is missing")
                                     : QStringLiteral("; the files of %1 songs are missing").arg(m_markedMissing);
    }
    lines << done;
    if (m_categoriesAdded > 0) {
        lines << counted(m_categoriesAdded, "category", "categories") + QStringLiteral(" added");
    }
    QVector<SkippedFile> skipped = m_walk.skipped();
    skipped += m_skipped;
    if (!skipped.isEmpty()) {
        lines << (skipped.size() == 1 ? QStringLiteral("1 file was skipped:")
                                      : QStringLiteral("%1 files were skipped:").arg(skipped.size()));
        for (const SkippedFile& s : skipped) {
            lines << QStringLiteral("  %1 %2").arg(s.path, s.reason);
        }
    }
    if (!m_cuts.isEmpty()) {
        lines << (m_cuts.size() == 1 ? QStringLiteral("1 value was cut to its field's width:")
                                     : QStringLiteral("%1 values were cut to their field's width:").arg(m_cuts.size()));
        for (const QString& cut : m_cuts) {
            lines << QStringLiteral("  ") + cut;
        }
    }
    return lines;
}

bool MusicScan::begin() {
    m_tables = TableLease(m_db, {TableId::Tunarium, TableId::Categories, TableId::Album, TableId::Media});
    if (!m_tables) {
        m_failed = true;
        return false;
    }
    return ensureMedia();
}

bool MusicScan::ensureMedia() {
    Store& store = m_db.store();
    Row media(TableId::Media);
    media.setText(med::kMedia, QString::fromLatin1(kDigitalFileMedia));
    Row found;
    const StoreError e = store.get(TableId::Media, med::kKeyMedia, {media.text(med::kMedia)}, found);
    if (e.ok()) {
        return true;
    }
    if (e.code != code::kRecordNotFound) {
        return failed(e, QStringLiteral("Media"));
    }
    if (const StoreError added = store.insert(media)) {
        return failed(added, QStringLiteral("Media"));
    }
    return true;
}

void MusicScan::end() {
    m_reader.drop();
    commit();
    m_tables.release();
}

void MusicScan::stepBegins() {
    m_stepTime.start();
    if (m_transaction || m_failed) {
        return;
    }
    m_transaction.emplace(m_db.store());
    if (!m_transaction->ok()) {
        const StoreError e = m_transaction->beginError();
        m_transaction.reset();
        failed(e, QStringLiteral("Tunarium"));
    }
}

void MusicScan::stepEnds() {
    commit();
}

void MusicScan::commit() {
    // A file's savepoint is always ended with its file; one left open would take the step's
    // commit for its own release.
    Q_ASSERT(!m_fileWrites);
    m_fileWrites.reset();
    m_nextSongId = 0;
    if (!m_transaction) {
        return;
    }
    const StoreError e = m_transaction->commit();
    m_transaction.reset();
    if (e) {
        m_added = m_addedCommitted;
        m_firstAdded = m_firstCommitted;
        m_lastAdded = m_lastCommitted;
        m_coverOfInStep.clear();
        failed(e, QStringLiteral("Tunarium"));
        return;
    }
    m_addedCommitted = m_added;
    m_firstCommitted = m_firstAdded;
    m_lastCommitted = m_lastAdded;
    m_coverOf.insert(m_coverOfInStep);
    m_coverOfInStep.clear();
}

bool MusicScan::failed(const StoreError& error, const QString& name) {
    m_db.warnings().report(warning::kRecordRetrievalError, error, name);
    m_failed = true;
    stopAsCompleted();
    return false;
}

bool MusicScan::handleNext() {
    if (!m_transaction) {
        return false;
    }
    if (m_next < m_queue.size()) {
        const WalkedFile file = m_queue[m_next++];
        setProgress(m_filesDone + m_walk.foldersListed(),
                    m_filesDone + (m_queue.size() - m_next) + m_walk.foldersKnown() + 1);
        const bool more = handleFile(file);
        if (m_stepTime.elapsed() >= kScanStepMs) {
            endStep();
        }
        return more;
    }
    m_queue = m_walk.takeFiles();
    m_next = 0;
    m_askedUpTo = 0;
    m_reader.drop();
    if (!m_queue.isEmpty()) {
        return true;
    }
    if (m_walk.listNext()) {
        setMessage(m_walk.currentFolder());
        return true;
    }
    if (!m_missingDone) {
        m_missingDone = true;
        setMessage(QStringLiteral("Looking for missing files..."));
        markMissing();
    }
    setProgress(1, 1);
    return false;
}

// The file that needs reading is the one handled last (m_next - 1). While files keep needing it,
// the next ones of the folder are read ahead, more of them the longer the run (one after a file
// that changed among unchanged ones, up to kReadAhead while a new folder goes in).
QString MusicScan::readTags(const QString& path, AudioTags& tags) {
    const qsizetype current = m_next - 1;
    ++m_readsInARow;
    const qsizetype through = std::min(m_queue.size(), current + 1 + std::min<qsizetype>(m_readsInARow, kReadAhead));
    for (m_askedUpTo = std::max(m_askedUpTo, current); m_askedUpTo < through; ++m_askedUpTo) {
        m_reader.ask(m_queue[m_askedUpTo].path);
    }
    return m_reader.read(path, tags);
}

// The savepoint of the file's writes, begun before the first write that another of the file's
// writes follows (a category or an album added for its song). The song's own insert or rewrite,
// when it is the file's only write, stands or falls by itself.
bool MusicScan::beginFileWrites() {
    if (m_fileWrites) {
        return true;
    }
    m_fileWrites.emplace(m_db.store());
    if (!m_fileWrites->ok()) {
        const StoreError e = m_fileWrites->beginError();
        m_fileWrites.reset();
        return failed(e, QStringLiteral("Tunarium"));
    }
    return true;
}

bool MusicScan::songOfPath(const QString& path, Row& song, bool& bad) {
    // The first song of the key at that path is nearly always the file's own (or there is none):
    // one lookup, and the walk only when another song's path differs from it by case alone.
    Row first;
    const StoreError looked = m_db.store().get(TableId::Tunarium, tun::kKeyFilePath, {path}, first);
    if (looked.code == code::kRecordNotFound) {
        return false;
    }
    if (looked.ok() && first.text(tun::kFilePath) == path) {
        song = first;
        return true;
    }
    KeyWalkLimits limits;
    limits.range = {path};
    KeyWalk walk(m_db.store(), TableId::Tunarium, tun::kKeyFilePath, limits);
    bool found = false;
    const StoreError e = walk.forEach([&](const Row& row) {
        // The key ignores case; the file system does not.
        if (row.text(tun::kFilePath) == path) {
            song = row;
            found = true;
            return false;
        }
        return true;
    });
    if (e) {
        bad = !failed(e, QStringLiteral("Tunarium"));
    }
    return found;
}

bool MusicScan::movedSong(const AudioTags& tags, Row& song, bool& bad) {
    if (tags.artist.isEmpty() || tags.title.isEmpty()) {
        return false;
    }
    Row stored(TableId::Tunarium);
    stored.setText(tun::kArtist, tags.artist);
    stored.setText(tun::kTitle, tags.title);
    KeyWalkLimits limits;
    limits.range = {stored.text(tun::kArtist), stored.text(tun::kTitle)};
    // A new song's artist and title are mostly the collection's only ones: one lookup says so.
    Row any;
    if (m_db.store().get(TableId::Tunarium, tun::kSongsByArtist, limits.range, any).code == code::kRecordNotFound) {
        return false;
    }
    const qint64 length = timeValueFromHundredths(tags.lengthMs / 10);
    KeyWalk walk(m_db.store(), TableId::Tunarium, tun::kSongsByArtist, limits);
    bool found = false;
    const StoreError e = walk.forEach([&](const Row& row) {
        const QString file = row.text(tun::kFilePath);
        if (file.isEmpty() || m_seenSongs.contains(row.meta.rec) ||
            std::abs(row.number(tun::kTime) - length) > kSameLength || QFileInfo::exists(file)) {
            return true;
        }
        song = row;
        found = true;
        return false;
    });
    if (e) {
        bad = !failed(e, QStringLiteral("Tunarium"));
    }
    return found;
}

bool MusicScan::handleFile(const WalkedFile& file) {
    ++m_filesDone;
    if (file.path.size() > fieldWidth(tun::kFilePath)) {
        m_skipped << SkippedFile{file.path, QStringLiteral("has a path longer than %1 characters, which a song "
                                                           "cannot hold")
                                                .arg(fieldWidth(tun::kFilePath))};
        return true;
    }
    bool bad = false;
    Row song;
    const bool known = songOfPath(file.path, song, bad);
    if (bad) {
        return false;
    }
    if (known) {
        m_seenSongs.insert(song.meta.rec);
        if (song.number(tun::kFileModified) == file.modified) {
            ++m_unchanged;
            m_readsInARow = 0;
            if (song.number(tun::kFileMissing) == 0) {
                return true;
            }
            song.setNumber(tun::kFileMissing, 0); // back where it was
            return rewrite(song, file.path);
        }
    }
    AudioTags tags;
    if (const QString reason = readTags(file.path, tags); !reason.isEmpty()) {
        m_skipped << SkippedFile{file.path, reason};
        return true;
    }
    // Each file's writes stand or fall together: a category or album added for a song that then
    // cannot be written goes with it (see beginFileWrites).
    m_fileWrites.reset();
    const QStringList cutsBefore = m_cuts;
    const qint64 categoriesBefore = m_categoriesAdded;
    const QHash<QString, qint64> categoryIdsBefore = m_categoryIds;
    const auto undo = [&] {
        m_fileWrites.reset(); // rolls back
        m_cuts = cutsBefore;
        m_categoriesAdded = categoriesBefore;
        m_categoryIds = categoryIdsBefore;
    };
    const auto commitFile = [&]() -> StoreError {
        if (!m_fileWrites) {
            return {};
        }
        const StoreError e = m_fileWrites->commit();
        m_fileWrites.reset();
        return e;
    };
    if (!known) {
        if (movedSong(tags, song, bad)) {
            m_seenSongs.insert(song.meta.rec);
            if (!fillSong(song, tags, file.path, false)) {
                undo();
                return false;
            }
            song.setNumber(tun::kFileModified, file.modified);
            if (!rewrite(song, file.path)) {
                undo();
                return !m_failed;
            }
            if (const StoreError e = commitFile()) {
                return failed(e, QStringLiteral("Tunarium"));
            }
            ++m_relinked;
            return true;
        }
        if (bad) {
            undo();
            return false;
        }
    }
    if (known) {
        if (!fillSong(song, tags, file.path, false)) {
            undo();
            return false;
        }
        song.setNumber(tun::kFileModified, file.modified);
        if (!rewrite(song, file.path)) {
            undo();
            return !m_failed;
        }
        ++m_updated;
        if (const StoreError e = commitFile()) {
            return failed(e, QStringLiteral("Tunarium"));
        }
        return true;
    }
    song = Row(TableId::Tunarium);
    if (!fillSong(song, tags, file.path, true) || !linkAlbumArtist(song, tags)) {
        undo();
        return false;
    }
    song.setNumber(tun::kFileModified, file.modified);
    // The step's transaction keeps every other writer out: after the first of its songs, the next
    // number is the one after the last song added.
    qint64 id = m_nextSongId;
    StoreError e = id > 0 && id <= songs().field(tun::kId).maxValue() ? StoreError{}
                                                                        : m_db.store().nextNumber(TableId::Tunarium, id);
    if (!e) {
        song.setNumber(tun::kId, id);
        e = m_db.store().insert(song);
    }
    if (!e) {
        e = commitFile();
    }
    if (e) {
        undo();
        return failed(e, QStringLiteral("Tunarium"));
    }
    m_nextSongId = id + 1;
    m_seenSongs.insert(song.meta.rec);
    ++m_added;
    if (m_firstAdded == 0) {
        m_firstAdded = song.meta.rec;
    }
    m_lastAdded = song.meta.rec;
    if (const QString cover = writeCover(tags); !cover.isEmpty()) {
        m_coverOfInStep.insert(id, cover);
    }
    return true;
}

// Writes a song back through the update routine. False when it was not written: a failure (told,
// and the run ends) or a song another station changed meanwhile (its file skipped).
bool MusicScan::rewrite(Row& song, const QString& path) {
    switch (m_db.update(song, false)) {
    case kRoutineDone:
        return true;
    case kRoutineChanged:
        m_skipped << SkippedFile{path, QStringLiteral("belongs to a song another station changed meanwhile; "
                                                      "scan again to take it")};
        return false;
    default:
        m_failed = true;
        stopAsCompleted();
        return false;
    }
}

bool MusicScan::markMissing() {
    const QStringList& roots = m_walk.roots();
    for (const QString& root : roots) {
        KeyWalkLimits limits;
        limits.prefix = root;
        KeyWalk walk(m_db.store(), TableId::Tunarium, tun::kKeyFilePath, limits);
        QVector<Row> gone;
        const StoreError e = walk.forEach([&](const Row& row) {
            const QString file = row.text(tun::kFilePath);
            if (m_seenSongs.contains(row.meta.rec) || row.number(tun::kFileMissing) != 0 || !isUnder(file, {root}) ||
                QFileInfo::exists(file)) {
                return true;
            }
            gone << row;
            return true;
        });
        if (e) {
            return failed(e, QStringLiteral("Tunarium"));
        }
        for (Row& row : gone) {
            row.setNumber(tun::kFileMissing, 1);
            const QString file = row.text(tun::kFilePath);
            if (rewrite(row, file)) {
                ++m_markedMissing;
            } else if (m_failed) {
                return false;
            }
        }
    }
    return true;
}

int giveAlbumsCovers(Database& db, const QHash<qint64, QString>& covers) {
    if (covers.isEmpty()) {
        return 0;
    }
    const TableLease tables(db, {TableId::Tunarium, TableId::Album});
    if (!tables) {
        return 0;
    }
    Store& store = db.store();
    QSet<qint64> albumsDone;
    int given = 0;
    const int width = tableDef(TableId::Album).fields[alb::kAssociatedImage].width;
    for (auto it = covers.constBegin(); it != covers.constEnd(); ++it) {
        Row song;
        if (store.get(TableId::Tunarium, tun::kKeyId, {it.key()}, song)) {
            continue;
        }
        const qint64 albumId = song.number(tun::kAlbumId);
        if (albumId == 0 || albumsDone.contains(albumId) || it.value().size() > width) {
            continue;
        }
        albumsDone.insert(albumId);
        Row album;
        if (store.get(TableId::Album, alb::kKeyAlbumId, {albumId}, album) ||
            !album.text(alb::kAssociatedImage).trimmed().isEmpty()) {
            continue;
        }
        album.setText(alb::kAssociatedImage, it.value());
        if (db.update(album, false) == kRoutineDone) {
            ++given;
        }
    }
    return given;
}

QString coversGivenLine(int given) {
    return given == 1 ? QStringLiteral("1 album took its cover from a file")
                      : QStringLiteral("%1 albums took their cover from a file").arg(given);
}

std::unique_ptr<AlbumEntriesProcess> albumEntriesAfterScan(Database& db, const MusicScan& scan) {
    if (scan.songsAdded() == 0) {
        return nullptr;
    }
    return std::make_unique<AlbumEntriesProcess>(db, scan.addedSongs());
}

} // namespace tunarium
