// A playlist's songs, the song an entry names, and a playlist made of songs.
#include "interchange/list_songs.h"

#include "catalogue/saved_search.h"
#include "data/date_time.h"
#include "data/fold_key.h"
#include "data/key_walk.h"
#include "data/records.h"

#include <cstdlib>

namespace tunarium {

namespace {

// Two lengths count as the same song's within two seconds.
constexpr qint64 kSameSeconds = 2;
// The songs of one artist and title looked at for the one of the right length.
constexpr int kCandidates = 16;

} // namespace

StoreError playlistSongs(Store& store, qint64 playlistId, QVector<SongRecord>& out) {
    QVector<qint64> ids;
    KeyWalk walk(store, TableId::PlaylistDetails, pla::kKeyPlaylistId, {{playlistId}});
    if (StoreError e = walk.forEach([&](const Row& row) {
            ids << row.number(pla::kId);
            return true;
        })) {
        return e;
    }
    out.reserve(out.size() + ids.size());
    for (const qint64 id : ids) {
        SongRecord song;
        const StoreError e = store.get(tun::kKeyId, {id}, song);
        if (e.code == code::kRecordNotFound) {
            continue;
        }
        if (e) {
            return e;
        }
        out << song;
    }
    return {};
}

StoreError foundSongs(Store& store, const SavedSearchRecord& search, QVector<SongRecord>& out) {
    return walkSavedSearch(store, search, [&](const Row& row) {
        out << fromRow<SongRecord>(row);
        return true;
    });
}

qint64 songSeconds(const SongRecord& song) {
    if (song.time <= 0) {
        return -1;
    }
    return (hundredthsFromTimeValue(song.time) + 50) / 100;
}

StoreError SongMatcher::byPath(const QString& path, qint64& songId) {
    songId = 0;
    if (path.isEmpty()) {
        return {};
    }
    KeyWalkLimits limits;
    limits.range = {path};
    KeyWalk walk(m_store, TableId::Tunarium, tun::kKeyFilePath, limits);
    return walk.forEach([&](const Row& row) {
        // The key ignores case; the file system does not.
        if (row.text(tun::kFilePath) == path) {
            songId = row.number(tun::kId);
            return false;
        }
        return true;
    });
}

StoreError SongMatcher::byArtistTitle(const QString& artist, const QString& title, qint64 seconds, qint64& songId) {
    songId = 0;
    if (title.trimmed().isEmpty()) {
        return {};
    }
    // As the key holds the values: cut to the fields' widths; compared without case and accents.
    Row key(TableId::Tunarium);
    key.setText(tun::kArtist, artist.trimmed());
    key.setText(tun::kTitle, title.trimmed());
    const QString foldedArtist = foldKeyPrefix(key.text(tun::kArtist));
    const QString foldedTitle = foldKeyPrefix(key.text(tun::kTitle));
    // Of the songs the walk passes that are the same name, the one of the same length; else the
    // first.
    const auto closest = [&](KeyWalk& walk) {
        int looked = 0;
        return walk.forEach([&](const Row& row) {
            if (foldKeyPrefix(row.text(tun::kArtist)) != foldedArtist ||
                foldKeyPrefix(row.text(tun::kTitle)) != foldedTitle) {
                return true;
            }
            const SongRecord song = fromRow<SongRecord>(row);
            if (songId == 0) {
                songId = song.id;
            }
            const qint64 length = songSeconds(song);
            if (seconds >= 0 && length >= 0 && std::abs(length - seconds) <= kSameSeconds) {
                songId = song.id;
                return false;
            }
            return seconds >= 0 && ++looked < kCandidates;
        });
    };
    // Spelled as the collection spells it (case aside): the key finds it at once.
    if (!foldedArtist.isEmpty()) {
        KeyWalkLimits exact;
        exact.range = {key.text(tun::kArtist), key.text(tun::kTitle)};
        KeyWalk walk(m_store, TableId::Tunarium, tun::kSongsByArtist, exact);
        if (StoreError e = closest(walk); e || songId != 0) {
            return e;
        }
    }
    // The key keeps "Rós" and "Ros" apart: the walk takes the names that begin with the artist
    // (without one, the title) as the locator compares them, and each is compared whole.
    KeyWalkLimits limits;
    limits.prefix = foldedArtist.isEmpty() ? key.text(tun::kTitle) : key.text(tun::kArtist);
    KeyWalk walk(m_store, TableId::Tunarium, foldedArtist.isEmpty() ? tun::kSongsByTitle : tun::kSongsByArtist,
                 limits);
    return closest(walk);
}

StoreError SongMatcher::match(const QString& path, const QString& artist, const QString& title, qint64 seconds,
                              qint64& songId) {
    if (StoreError e = byPath(path, songId); e || songId != 0) {
        return e;
    }
    return byArtistTitle(artist, title, seconds, songId);
}

StoreError addPlaylistOf(Store& store, const QString& name, const QVector<qint64>& songIds, PlaylistRecord& made) {
    const int width = tableDef(TableId::PlaylistMaster).field(pld::kPlaylistDescription).width;
    QString base = name.simplified();
    if (base.isEmpty()) {
        base = QStringLiteral("Imported");
    }
    QString description = base.left(width);
    for (int n = 2;; ++n) {
        PlaylistRecord other;
        const StoreError e = store.get(pld::kKeyPlaylistDescription, {description}, other);
        if (e.code == code::kRecordNotFound) {
            break;
        }
        if (e) {
            return e;
        }
        const QString number = QStringLiteral(" (%1)").arg(n);
        description = base.left(width - number.size()) + number;
    }
    made = PlaylistRecord{};
    if (StoreError e = store.nextNumber(TableId::PlaylistMaster, made.playlistId)) {
        return e;
    }
    made.playlistDescription = description;
    made.lastEditDate = todayDayNumber();
    if (StoreError e = store.insert(made)) {
        return e;
    }
    qint64 sequence = 0;
    for (const qint64 id : songIds) {
        PlaylistEntryRecord entry;
        entry.playlistId = made.playlistId;
        entry.playlistSeq = ++sequence;
        entry.id = id;
        if (StoreError e = store.insert(entry)) {
            return e;
        }
    }
    return {};
}

QString counted(qint64 n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

QStringList someOf(const QStringList& names, int shown) {
    if (names.size() <= shown) {
        return names;
    }
    QStringList out = names.mid(0, shown);
    out << QStringLiteral("... and %1 more").arg(names.size() - shown);
    return out;
}

} // namespace tunarium
