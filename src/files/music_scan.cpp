// The scan of audio files into songs.
#include "files/music_scan.h"

#include "data/date_time.h"
#include "data/key_walk.h"
#include "data/output_file.h"
#include "data/records.h"
#include "data/table_lease.h"
#include "catalogue/musical_key.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

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

QString coverSuffix(const QString& mime, const QByteArray& data) {
    if (mime.contains(QLatin1String("png")) || data.startsWith("\x89PNG")) {
        return QStringLiteral("png");
    }
    if (mime.contains(QLatin1String("gif")) || data.startsWith("GIF8")) {
        return QStringLiteral("gif");
    }
    if (mime.contains(QLatin1String("bmp")) || data.startsWith("BM")) {
        return QStringLiteral("bmp");
    }
    return QStringLiteral("jpg");
}

QString counted(qint64 n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

bool isVarious(const QString& albumArtist) {
    return albumArtist.compare(QLatin1String(kVariousArtist), Qt::CaseInsensitive) == 0 ||
           albumArtist.compare(QLatin1String("Various Artists"), Qt::CaseInsensitive) == 0;
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
    commit();
    m_tables.release();
}

void MusicScan::stepBegins() {
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
        return handleFile(file);
    }
    m_queue = m_walk.takeFiles();
    m_next = 0;
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

bool MusicScan::songOfPath(const QString& path, Row& song, bool& bad) {
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
            if (song.number(tun::kFileMissing) == 0) {
                return true;
            }
            song.setNumber(tun::kFileMissing, 0); // back where it was
            return rewrite(song, file.path);
        }
    }
    AudioTags tags;
    if (const QString reason = readAudioFile(file.path, tags); !reason.isEmpty()) {
        m_skipped << SkippedFile{file.path, reason};
        return true;
    }
    // Each file's writes stand or fall together: a category or album added for a song that then
    // cannot be written goes with it.
    Transaction fileWrites(m_db.store());
    if (!fileWrites.ok()) {
        return failed(fileWrites.beginError(), QStringLiteral("Tunarium"));
    }
    const QStringList cutsBefore = m_cuts;
    const qint64 categoriesBefore = m_categoriesAdded;
    const QHash<QString, qint64> categoryIdsBefore = m_categoryIds;
    const auto undo = [&] {
        fileWrites.rollback();
        m_cuts = cutsBefore;
        m_categoriesAdded = categoriesBefore;
        m_categoryIds = categoryIdsBefore;
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
            if (const StoreError e = fileWrites.commit()) {
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
        if (const StoreError e = fileWrites.commit()) {
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
    qint64 id = 0;
    StoreError e = m_db.store().nextNumber(TableId::Tunarium, id);
    if (!e) {
        song.setNumber(tun::kId, id);
        e = m_db.store().insert(song);
    }
    if (!e) {
        e = fileWrites.commit();
    }
    if (e) {
        undo();
        return failed(e, QStringLiteral("Tunarium"));
    }
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

void MusicScan::setText(Row& song, int field, const QString& value, const QString& path, const char* label) {
    song.setText(field, value);
    if (value.size() > fieldWidth(field) && trimTrailingBlanks(value).size() > fieldWidth(field)) {
        m_cuts << QStringLiteral("%1: %2 (%3 characters, %4 kept)")
                      .arg(path, QLatin1String(label))
                      .arg(value.size())
                      .arg(fieldWidth(field));
    }
}

bool MusicScan::fillSong(Row& song, const AudioTags& tags, const QString& path, bool isNew) {
    const auto text = [&](int field, const QString& value, const char* label) {
        if (isNew || !value.isEmpty()) {
            setText(song, field, value, path, label);
        }
    };
    QString title = tags.title;
    if (title.isEmpty() && isNew) {
        title = QFileInfo(path).completeBaseName(); // an untagged file is known by its name
    }
    text(tun::kArtist, tags.artist, "Artist");
    text(tun::kTitle, title, "Title");
    text(tun::kAlbum, tags.album, "Album");
    text(tun::kComposer, tags.composer, "Composer");
    text(tun::kNotes, tags.comment, "Comment");
    if (isNew) {
        song.setText(tun::kMedia, QString::fromLatin1(kDigitalFileMedia));
    }
    if (!tags.date.isEmpty()) {
        qint64 date = readIsoDate(tags.date);
        if (date == 0) {
            date = readIsoDate(QStringView(tags.date).left(4));
        }
        if (date != 0) {
            song.setNumber(tun::kReleaseDate, date);
        }
    }
    const auto number = [&](int field, int value, int highest, const char* label) {
        if (value <= 0) {
            return;
        }
        if (value > highest) {
            m_cuts << QStringLiteral("%1: %2 %3 left out (it holds 1 to %4)")
                          .arg(path, QLatin1String(label))
                          .arg(value)
                          .arg(highest);
            return;
        }
        song.setNumber(field, value);
    };
    number(tun::kTrackNumber, tags.track, 99, "Track");
    number(tun::kSide, tags.disc, 99, "Disc");
    number(tun::kBeatsPerMinute, tags.bpm, 9999, "BPM");
    if (tags.rating >= 0) {
        song.setNumber(tun::kRating, std::min(tags.rating, 10));
    }
    if (tags.lengthMs > 0) {
        song.setNumber(tun::kTime, timeValueFromHundredths(tags.lengthMs / 10));
    }
    if (const QString key = camelotKey(tags.key); !key.isEmpty()) {
        song.setText(tun::kMusicalKey, key);
    }
    song.setText(tun::kFilePath, path);
    song.setNumber(tun::kFileMissing, 0);
    if (!tags.genre.isEmpty()) {
        return resolveCategory(song, tags.genre, path);
    }
    return true;
}

bool MusicScan::resolveCategory(Row& song, const QString& genre, const QString& path) {
    Row category(TableId::Categories);
    const int width = tableDef(TableId::Categories).fields[cat::kCategory].width;
    category.setText(cat::kCategory, genre);
    if (genre.size() > width) {
        m_cuts << QStringLiteral("%1: Genre (%2 characters, %3 kept)").arg(path).arg(genre.size()).arg(width);
    }
    const QString name = category.text(cat::kCategory);
    if (name.trimmed().isEmpty()) {
        return true;
    }
    const QString folded = name.toCaseFolded();
    if (const auto known = m_categoryIds.constFind(folded); known != m_categoryIds.constEnd()) {
        song.setNumber(tun::kCategoryId, *known);
        return true;
    }
    Store& store = m_db.store();
    Row found;
    StoreError e = store.get(TableId::Categories, cat::kKeyCategory, {name}, found);
    if (e.ok()) {
        m_categoryIds.insert(folded, found.number(cat::kCategoryId));
        song.setNumber(tun::kCategoryId, found.number(cat::kCategoryId));
        return true;
    }
    if (e.code != code::kRecordNotFound) {
        return failed(e, QStringLiteral("Categories"));
    }
    // The first category of an empty table is number 2, as the import numbers it.
    qint64 id = 2;
    e = store.count(TableId::Categories) > 0 ? store.nextNumber(TableId::Categories, id) : StoreError{};
    if (!e) {
        category.setNumber(cat::kCategoryId, id);
        e = store.insert(category);
    }
    if (e) {
        return failed(e, QStringLiteral("Categories"));
    }
    ++m_categoriesAdded;
    m_categoryIds.insert(folded, id);
    song.setNumber(tun::kCategoryId, id);
    return true;
}

// A compilation's songs, and those of an album whose artist is not the song's, go to the album
// of the album's artist ("Various" for a compilation), found or made here; the others are left
// to the album entries made after the scan.
bool MusicScan::linkAlbumArtist(Row& song, const AudioTags& tags) {
    if (tags.album.isEmpty()) {
        return true;
    }
    QString owner;
    if (tags.compilation || isVarious(tags.albumArtist)) {
        owner = QString::fromLatin1(kVariousArtist);
    } else if (!tags.albumArtist.isEmpty() && tags.albumArtist.compare(tags.artist, Qt::CaseInsensitive) != 0) {
        owner = tags.albumArtist;
    } else {
        return true;
    }
    Store& store = m_db.store();
    AlbumRecord album;
    Row key(TableId::Album);
    key.setText(alb::kArtist, owner);
    key.setText(alb::kAlbum, song.text(tun::kAlbum));
    StoreError e = store.get(alb::kKeyAlbum, {key.text(alb::kAlbum), key.text(alb::kArtist)}, album);
    if (e.ok()) {
        song.setNumber(tun::kAlbumId, album.albumId);
        return true;
    }
    if (e.code != code::kRecordNotFound) {
        return failed(e, QStringLiteral("Album"));
    }
    album = AlbumRecord{};
    if (e = store.nextNumber(TableId::Album, album.albumId); e) {
        return failed(e, QStringLiteral("Album"));
    }
    album.artist = key.text(alb::kArtist);
    album.album = key.text(alb::kAlbum);
    album.media = song.text(tun::kMedia);
    album.releaseDate = song.number(tun::kReleaseDate);
    album.categoryId = song.number(tun::kCategoryId);
    if (e = store.insert(album); e) {
        return failed(e, QStringLiteral("Album"));
    }
    song.setNumber(tun::kAlbumId, album.albumId);
    return true;
}

// The cover goes into the covers folder beside the collection under a name made from its bytes:
// the songs of an album that all carry the same picture share one file.
QString MusicScan::writeCover(const AudioTags& tags) {
    if (tags.cover.isEmpty()) {
        return {};
    }
    const QByteArray digest = QCryptographicHash::hash(tags.cover, QCryptographicHash::Sha1).toHex().left(20);
    const QString path =
        m_coversDir + u'/' + QString::fromLatin1(digest) + u'.' + coverSuffix(tags.coverMime, tags.cover);
    if (QFileInfo::exists(path)) {
        return path;
    }
    if (!QDir().mkpath(m_coversDir)) {
        return {};
    }
    OutputFile out(path, OutputFile::Existing::Replace, m_db.collectionDir());
    if (!out.begin() || out.write(tags.cover) != tags.cover.size() || !out.commit()) {
        return {};
    }
    ++m_coversWritten;
    return path;
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

std::unique_ptr<AlbumEntriesProcess> albumEntriesAfterScan(Database& db, const MusicScan& scan) {
    if (scan.songsAdded() == 0) {
        return nullptr;
    }
    return std::make_unique<AlbumEntriesProcess>(db, scan.addedSongs());
}

} // namespace tunarium
