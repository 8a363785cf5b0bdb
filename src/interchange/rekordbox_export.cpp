// rekordbox.xml written: the songs with a file and the playlists chosen.
#include "interchange/rekordbox_xml.h"

#include "data/date_time.h"
#include "data/key_walk.h"
#include "data/output_file.h"
#include "data/records.h"
#include "data/table_lease.h"
#include "files/audio_tags.h"
#include "interchange/list_songs.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringDecoder>
#include <QUrl>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>
#include <functional>

namespace tunarium {

namespace {

// XML holds no control characters but tab, line feed and carriage return.
QString xmlText(const QString& text) {
    QString out = trimTrailingBlanks(text);
    out.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r'; });
    out.removeIf([](QChar c) { return c.unicode() == 0xFFFE || c.unicode() == 0xFFFF; });
    return out;
}

class TrackWriter {
public:
    TrackWriter(Store& store, QXmlStreamWriter& xml) : m_store(store), m_xml(xml) {}

    StoreError write(const SongRecord& song) {
        QString genre;
        if (StoreError e = category(song.categoryId, genre)) {
            return e;
        }
        m_xml.writeStartElement(QStringLiteral("TRACK"));
        const auto put = [this](const char* name, const QString& value) {
            m_xml.writeAttribute(QLatin1String(name), xmlText(value));
        };
        const auto number = [this](const char* name, qint64 value) {
            m_xml.writeAttribute(QLatin1String(name), QString::number(value));
        };
        number("TrackID", song.id);
        put("Name", song.title);
        put("Artist", song.artist);
        put("Composer", song.composer);
        put("Album", song.album);
        put("Mix", song.mix);
        put("Genre", genre);
        const AudioFormat format = audioFormatOfName(song.filePath);
        put("Kind", format == AudioFormat::None ? QString() : audioFormatName(format) + QStringLiteral(" File"));
        number("TotalTime", std::max<qint64>(0, songSeconds(song)));
        number("DiscNumber", song.side);
        number("TrackNumber", song.trackNumber);
        number("Year", song.releaseDate > 0 ? releaseYear(song.releaseDate) : 0);
        m_xml.writeAttribute(QStringLiteral("AverageBpm"), QString::number(double(song.beatsPerMinute), 'f', 2));
        put("Tonality", song.musicalKey);
        number("Rating", rekordboxRating(song.rating));
        put("Comments", song.notes);
        m_xml.writeAttribute(QStringLiteral("Location"), fileUriOf(trimTrailingBlanks(song.filePath)));
        m_xml.writeEndElement();
        return {};
    }

private:
    StoreError category(qint64 id, QString& name) {
        if (id == 0) {
            return {};
        }
        if (const auto known = m_categories.constFind(id); known != m_categories.constEnd()) {
            name = *known;
            return {};
        }
        CategoryRecord found;
        const StoreError e = m_store.get(cat::kKeyCategoryId, {id}, found);
        if (e && e.code != code::kRecordNotFound) {
            return e;
        }
        name = e ? QString() : trimTrailingBlanks(found.category);
        m_categories.insert(id, name);
        return {};
    }

    Store& m_store;
    QXmlStreamWriter& m_xml;
    QHash<qint64, QString> m_categories;
};

// Every song with a file, in the order of their paths.
StoreError forEachSongWithFile(Store& store, const std::function<bool(const SongRecord&)>& visit) {
    KeyWalk walk(store, TableId::Tunarium, tun::kKeyFilePath);
    return walk.forEach([&](const Row& row) {
        if (row.text(tun::kFilePath).trimmed().isEmpty()) {
            return true;
        }
        return visit(fromRow<SongRecord>(row));
    });
}

} // namespace

QString fileUriOf(const QString& path) {
    QString absolute = path;
    if (!absolute.startsWith(u'/')) {
        absolute.prepend(u'/'); // a Windows path: file://localhost/C:/...
    }
    return QStringLiteral("file://localhost") +
           QString::fromLatin1(QUrl::toPercentEncoding(absolute, QByteArrayLiteral("/")));
}

QString pathOfFileUri(const QString& location, QString& problem) {
    problem.clear();
    QString rest;
    for (const char* prefix : {"file://localhost/", "file:///"}) {
        if (location.startsWith(QLatin1String(prefix), Qt::CaseInsensitive)) {
            rest = location.mid(qsizetype(qstrlen(prefix)) - 1);
            break;
        }
    }
    if (rest.isEmpty()) {
        problem = QStringLiteral("its Location is no file URI");
        return {};
    }
    const QByteArray bytes = QByteArray::fromPercentEncoding(rest.toUtf8());
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString path = decoder.decode(bytes);
    if (decoder.hasError()) {
        problem = QStringLiteral("its Location is not UTF-8 text");
        return {};
    }
    if (path.contains(QChar(0))) {
        problem = QStringLiteral("its Location holds a NUL character");
        return {};
    }
    // A Windows path keeps its drive: /C:/Music -> C:/Music.
    if (path.size() > 3 && path[0] == u'/' && path[2] == u':' && path[1].isLetter()) {
        path.remove(0, 1);
    }
    return path;
}

int rekordboxRating(qint64 rating) {
    const qint64 stars = (std::clamp<qint64>(rating, 0, 10) + 1) / 2;
    return static_cast<int>(stars * 51);
}

qint64 ratingFromRekordbox(int value) {
    const int stars = static_cast<int>(std::lround(std::clamp(value, 0, 255) / 51.0));
    return stars * 2;
}

QStringList RekordboxExport::summary() const {
    if (!error.isEmpty()) {
        return {error};
    }
    QStringList lines{QStringLiteral("%1 and %2 written")
                          .arg(counted(tracks, "track", "tracks"), counted(playlists, "playlist", "playlists"))};
    if (leftOut == 1) {
        lines << QStringLiteral("1 playlist entry was left out: its song has no file");
    } else if (leftOut > 1) {
        lines << QStringLiteral("%1 playlist entries were left out: their songs have no file").arg(leftOut);
    }
    return lines;
}

RekordboxExport exportRekordbox(Database& db, const QString& path, const QVector<qint64>& playlistIds) {
    RekordboxExport result;
    const TableLease tables(db, {TableId::Tunarium, TableId::Categories, TableId::PlaylistMaster,
                                 TableId::PlaylistDetails});
    if (!tables) {
        result.error = QStringLiteral("The collection's tables cannot be opened");
        return result;
    }
    Store& store = db.store();
    // One snapshot: what other stations commit meanwhile is not half in the file.
    const ReadTransaction snapshot(store);
    struct Chosen {
        PlaylistRecord playlist;
        QVector<qint64> tracks;
    };
    QVector<Chosen> chosen;
    for (const qint64 id : playlistIds) {
        Chosen c;
        StoreError e = store.get(pld::kKeyPlaylistId, {id}, c.playlist);
        if (e.code == code::kRecordNotFound) {
            result.error = QStringLiteral("There is no playlist %1; nothing was written").arg(id);
            return result;
        }
        QVector<SongRecord> songs;
        if (!e) {
            e = playlistSongs(store, id, songs);
        }
        if (e) {
            result.error = QStringLiteral("The playlists cannot be read: %1").arg(e.describe());
            return result;
        }
        for (const SongRecord& song : songs) {
            if (trimTrailingBlanks(song.filePath).isEmpty()) {
                ++result.leftOut;
            } else {
                c.tracks << song.id;
            }
        }
        chosen << c;
    }
    qint64 withFiles = 0;
    if (StoreError e = forEachSongWithFile(store, [&](const SongRecord&) {
            ++withFiles;
            return true;
        })) {
        result.error = QStringLiteral("The songs cannot be read: %1").arg(e.describe());
        return result;
    }

    OutputFile file(path, OutputFile::Existing::Replace, db.collectionDir());
    if (!file.begin()) {
        result.error = file.error();
        return result;
    }
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("DJ_PLAYLISTS"));
    xml.writeAttribute(QStringLiteral("Version"), QStringLiteral("1.0.0"));
    xml.writeEmptyElement(QStringLiteral("PRODUCT"));
    xml.writeAttribute(QStringLiteral("Name"), QStringLiteral("Tunarium Pro"));
    xml.writeAttribute(QStringLiteral("Version"), QCoreApplication::applicationVersion());
    xml.writeAttribute(QStringLiteral("Company"), QString());
    xml.writeStartElement(QStringLiteral("COLLECTION"));
    xml.writeAttribute(QStringLiteral("Entries"), QString::number(withFiles));
    TrackWriter tracks(store, xml);
    StoreError failure;
    const StoreError walked = forEachSongWithFile(store, [&](const SongRecord& song) {
        failure = tracks.write(song);
        ++result.tracks;
        return !failure;
    });
    if (StoreError e = walked ? walked : failure) {
        result.error = QStringLiteral("The songs cannot be read: %1").arg(e.describe());
        return result; // the file is discarded
    }
    xml.writeEndElement(); // COLLECTION
    xml.writeStartElement(QStringLiteral("PLAYLISTS"));
    xml.writeStartElement(QStringLiteral("NODE"));
    xml.writeAttribute(QStringLiteral("Type"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("Name"), QStringLiteral("ROOT"));
    xml.writeAttribute(QStringLiteral("Count"), QString::number(chosen.size()));
    for (const Chosen& c : chosen) {
        xml.writeStartElement(QStringLiteral("NODE"));
        xml.writeAttribute(QStringLiteral("Name"), xmlText(c.playlist.playlistDescription));
        xml.writeAttribute(QStringLiteral("Type"), QStringLiteral("1"));
        xml.writeAttribute(QStringLiteral("KeyType"), QStringLiteral("0"));
        xml.writeAttribute(QStringLiteral("Entries"), QString::number(c.tracks.size()));
        for (const qint64 id : c.tracks) {
            xml.writeEmptyElement(QStringLiteral("TRACK"));
            xml.writeAttribute(QStringLiteral("Key"), QString::number(id));
        }
        xml.writeEndElement();
        ++result.playlists;
    }
    xml.writeEndElement(); // NODE
    xml.writeEndElement(); // PLAYLISTS
    xml.writeEndElement(); // DJ_PLAYLISTS
    xml.writeEndDocument();
    if (xml.hasError() || !file.commit()) {
        result.error = file.error().isEmpty() ? QStringLiteral("%1 could not be written").arg(path) : file.error();
        result.tracks = result.playlists = 0;
    }
    return result;
}

} // namespace tunarium
