// A scanned file's tags into its song's fields: the texts cut to their widths and named, the
// numbers a field cannot hold left out, the category looked up or added, a compilation's album
// under "Various", and the cover written beside the collection.
#include "files/music_scan.h"

#include "catalogue/musical_key.h"
#include "data/date_time.h"
#include "data/output_file.h"
#include "data/records.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace tunarium {

namespace {

int fieldWidth(int field) {
    return tableDef(TableId::Tunarium).fields[field].width;
}

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

bool isVarious(const QString& albumArtist) {
    return albumArtist.compare(QLatin1String(kVariousArtist), Qt::CaseInsensitive) == 0 ||
           albumArtist.compare(QLatin1String("Various Artists"), Qt::CaseInsensitive) == 0;
}

} // namespace

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
    if (!beginFileWrites()) {
        return false;
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
    if (!beginFileWrites()) {
        return false;
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

} // namespace tunarium
