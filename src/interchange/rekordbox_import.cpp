// rekordbox.xml read: the whole file first (a file that is no such XML is refused unwritten), then
// its tracks matched or added and its playlists made, in one transaction.
#include "interchange/rekordbox_xml.h"

#include "catalogue/musical_key.h"
#include "data/date_time.h"
#include "data/records.h"
#include "data/table_lease.h"
#include "data/warnings.h"
#include "files/music_scan.h"
#include "interchange/list_songs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>

#include <cmath>

namespace tunarium {

namespace {

// The biggest library file read.
constexpr qint64 kMaxLibraryBytes = 1024LL * 1024 * 1024;

struct Track {
    QString key;  // TrackID
    QString path; // from Location; empty when it has none that reads
    QString name, artist, composer, album, mix, genre, tonality, comments;
    qint64 seconds = -1;
    int disc = 0, track = 0, year = 0, rating = 0, bpm = 0;
};

struct Playlist {
    QString name;
    QStringList keys;
    bool byLocation = false; // KeyType 1: the keys are Locations, not TrackIDs
};

struct Library {
    QVector<Track> tracks;
    QVector<Playlist> playlists;
    QStringList skipped;
};

int intOf(const QXmlStreamAttributes& a, const char* name) {
    bool ok = false;
    const double v = a.value(QLatin1String(name)).toDouble(&ok);
    return ok && std::isfinite(v) && std::abs(v) < 1e9 ? static_cast<int>(std::lround(v)) : 0;
}

Track readTrack(const QXmlStreamAttributes& a, QStringList& skipped) {
    Track t;
    const auto text = [&a](const char* name) { return a.value(QLatin1String(name)).toString().trimmed(); };
    t.key = text("TrackID");
    t.name = text("Name");
    t.artist = text("Artist");
    t.composer = text("Composer");
    t.album = text("Album");
    t.mix = text("Mix");
    t.genre = text("Genre");
    t.tonality = text("Tonality");
    t.comments = a.value(QLatin1String("Comments")).toString();
    if (a.hasAttribute(QLatin1String("TotalTime"))) {
        t.seconds = std::max(0, intOf(a, "TotalTime"));
    }
    t.disc = intOf(a, "DiscNumber");
    t.track = intOf(a, "TrackNumber");
    t.year = intOf(a, "Year");
    t.rating = intOf(a, "Rating");
    t.bpm = intOf(a, "AverageBpm");
    const QString location = text("Location");
    if (!location.isEmpty()) {
        QString problem;
        t.path = pathOfFileUri(location, problem);
        if (!problem.isEmpty()) {
            skipped << QStringLiteral("track %1 (%2 - %3): %4; matched by artist and title only")
                           .arg(t.key, t.artist, t.name, problem);
        }
    }
    return t;
}

// Folders in folders deeper than this are no library a player wrote.
constexpr int kMaxFolderDepth = 64;

void readNode(QXmlStreamReader& xml, Library& library, int depth) {
    if (depth > kMaxFolderDepth) {
        xml.raiseError(QStringLiteral("its playlist folders are nested more than %1 deep").arg(kMaxFolderDepth));
        return;
    }
    const QXmlStreamAttributes a = xml.attributes();
    const bool isPlaylist = a.value(QLatin1String("Type")) == QLatin1String("1");
    Playlist playlist;
    playlist.name = a.value(QLatin1String("Name")).toString();
    playlist.byLocation = a.value(QLatin1String("KeyType")) == QLatin1String("1");
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("NODE")) {
            readNode(xml, library, depth + 1);
        } else if (xml.name() == QLatin1String("TRACK") && isPlaylist) {
            playlist.keys << xml.attributes().value(QLatin1String("Key")).toString();
            xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (isPlaylist) {
        library.playlists << playlist;
    }
}

// The whole file read; an error names the line and column where it stops being such XML.
QString readLibrary(QIODevice& device, Library& library) {
    QXmlStreamReader xml(&device);
    if (!xml.readNextStartElement()) {
        return xml.hasError() ? xml.errorString() : QStringLiteral("it holds no XML element");
    }
    if (xml.name() != QLatin1String("DJ_PLAYLISTS")) {
        return QStringLiteral("its root element is %1, not DJ_PLAYLISTS").arg(xml.name().toString());
    }
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("COLLECTION")) {
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("TRACK")) {
                    library.tracks << readTrack(xml.attributes(), library.skipped);
                }
                xml.skipCurrentElement();
            }
        } else if (xml.name() == QLatin1String("PLAYLISTS")) {
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("NODE")) {
                    readNode(xml, library, 1);
                } else {
                    xml.skipCurrentElement();
                }
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    // Whatever follows the root must be well-formed too.
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
    }
    if (xml.hasError()) {
        return QStringLiteral("line %1, column %2: %3").arg(xml.lineNumber()).arg(xml.columnNumber()).arg(xml.errorString());
    }
    return {};
}

class LibraryWriter {
public:
    LibraryWriter(Store& store, RekordboxImport& result) : m_store(store), m_result(result), m_matcher(store) {}

    StoreError songOf(const Track& t, qint64& songId) {
        if (StoreError e = m_matcher.match(t.path, t.artist, t.name, t.seconds, songId); e || songId != 0) {
            m_result.matched += songId != 0 ? 1 : 0;
            return e;
        }
        if (t.name.isEmpty() && t.artist.isEmpty() && t.path.isEmpty()) {
            m_result.skipped << QStringLiteral("track %1 names neither a song nor a file").arg(t.key);
            return {};
        }
        return add(t, songId);
    }

private:
    StoreError add(const Track& t, qint64& songId) {
        if (StoreError e = ensureMedia()) {
            return e;
        }
        SongRecord song;
        song.title = t.name.isEmpty() ? QFileInfo(t.path).completeBaseName() : t.name;
        song.artist = t.artist;
        song.composer = t.composer;
        song.album = t.album;
        song.mix = t.mix;
        song.notes = t.comments;
        song.media = QString::fromLatin1(kDigitalFileMedia);
        song.filePath = t.path;
        song.musicalKey = camelotKey(t.tonality);
        song.beatsPerMinute = std::clamp(t.bpm, 0, 9999);
        song.trackNumber = t.track >= 1 && t.track <= 99 ? t.track : 0;
        song.side = t.disc >= 1 && t.disc <= 99 ? t.disc : 0;
        song.releaseDate = t.year >= 1 && t.year <= kBareYearLimit ? t.year : 0;
        song.rating = ratingFromRekordbox(t.rating);
        if (t.seconds > 0) {
            song.time = timeValueFromHundredths(t.seconds * 100);
        }
        if (StoreError e = category(t.genre, song.categoryId)) {
            return e;
        }
        if (StoreError e = m_store.nextNumber(TableId::Tunarium, song.id)) {
            return e;
        }
        if (StoreError e = m_store.insert(song)) {
            return e;
        }
        ++m_result.added;
        songId = song.id;
        return {};
    }

    StoreError ensureMedia() {
        if (m_mediaKnown) {
            return {};
        }
        MediaRecord media;
        media.media = QString::fromLatin1(kDigitalFileMedia);
        MediaRecord found;
        StoreError e = m_store.get(med::kKeyMedia, {media.media}, found);
        if (e.code == code::kRecordNotFound) {
            e = m_store.insert(media);
        }
        m_mediaKnown = !e;
        return e;
    }

    StoreError category(const QString& genre, qint64& id) {
        id = 0;
        Row named(TableId::Categories);
        named.setText(cat::kCategory, genre);
        const QString name = named.text(cat::kCategory).trimmed();
        if (name.isEmpty()) {
            return {};
        }
        const QString folded = name.toCaseFolded();
        if (const auto known = m_categories.constFind(folded); known != m_categories.constEnd()) {
            id = *known;
            return {};
        }
        CategoryRecord found;
        StoreError e = m_store.get(cat::kKeyCategory, {name}, found);
        if (!e) {
            id = found.categoryId;
        } else if (e.code == code::kRecordNotFound) {
            // The first category of an empty table is number 2, as the import numbers it.
            CategoryRecord added;
            added.categoryId = 2;
            e = m_store.count(TableId::Categories) > 0 ? m_store.nextNumber(TableId::Categories, added.categoryId)
                                                       : StoreError{};
            added.category = name;
            if (!e) {
                e = m_store.insert(added);
            }
            id = added.categoryId;
        }
        if (!e) {
            m_categories.insert(folded, id);
        }
        return e;
    }

    Store& m_store;
    RekordboxImport& m_result;
    SongMatcher m_matcher;
    bool m_mediaKnown = false;
    QHash<QString, qint64> m_categories;
};

} // namespace

QStringList RekordboxImport::summary() const {
    if (!refusal.isEmpty()) {
        return {refusal};
    }
    QStringList lines{QStringLiteral("%1 read: %2 matched songs of the collection, %3 added as new songs")
                          .arg(counted(tracks, "track", "tracks"))
                          .arg(matched)
                          .arg(added),
                      QStringLiteral("%1 made with %2")
                          .arg(counted(playlists, "playlist", "playlists"), counted(entries, "entry", "entries"))};
    if (!skipped.isEmpty()) {
        lines << QStringLiteral("Passed over:");
        for (const QString& s : someOf(skipped)) {
            lines << QStringLiteral("  ") + s;
        }
    }
    return lines;
}

RekordboxImport importRekordbox(Database& db, const QString& path) {
    RekordboxImport result;
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.refusal = QStringLiteral("%1 cannot be read: %2").arg(shown, file.errorString());
        return result;
    }
    if (file.size() > kMaxLibraryBytes) {
        result.refusal = QStringLiteral("%1 is too big to be a library file (%2 MB)").arg(shown).arg(file.size() >> 20);
        return result;
    }
    Library library;
    if (const QString problem = readLibrary(file, library); !problem.isEmpty()) {
        result.refusal = QStringLiteral("%1 is not a readable Rekordbox XML file (%2); nothing was imported").arg(shown, problem);
        return result;
    }
    result.skipped = library.skipped;
    result.tracks = static_cast<int>(library.tracks.size());

    const TableLease tables(db, {TableId::Tunarium, TableId::Categories, TableId::Media, TableId::PlaylistMaster,
                                 TableId::PlaylistDetails});
    if (!tables) {
        result.failed = true;
        return result;
    }
    Store& store = db.store();
    Transaction tx(store);
    StoreError e = tx.beginError();
    LibraryWriter writer(store, result);
    QHash<QString, qint64> songOfKey;
    QHash<QString, qint64> songOfLocation;
    for (int i = 0; !e && i < library.tracks.size(); ++i) {
        const Track& t = library.tracks[i];
        qint64 id = 0;
        e = writer.songOf(t, id);
        if (id != 0) {
            songOfKey.insert(t.key, id);
            if (!t.path.isEmpty()) {
                songOfLocation.insert(fileUriOf(t.path), id);
            }
        }
    }
    for (int p = 0; !e && p < library.playlists.size(); ++p) {
        const Playlist& playlist = library.playlists[p];
        QVector<qint64> ids;
        int unknown = 0;
        for (const QString& key : playlist.keys) {
            QString problem;
            const qint64 id = playlist.byLocation ? songOfLocation.value(fileUriOf(pathOfFileUri(key, problem)))
                                                  : songOfKey.value(key);
            if (id == 0) {
                ++unknown;
            } else {
                ids << id;
            }
        }
        if (unknown > 0) {
            result.skipped << QStringLiteral("playlist %1: %2 entries name no track of the file").arg(playlist.name).arg(unknown);
        }
        PlaylistRecord made;
        e = addPlaylistOf(store, playlist.name, ids, made);
        ++result.playlists;
        result.entries += static_cast<int>(ids.size());
    }
    if (!e) {
        e = tx.commit();
    }
    if (e) {
        tx.rollback();
        db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
        RekordboxImport none;
        none.failed = true;
        return none;
    }
    return result;
}

} // namespace tunarium
