// The benchmark collection generator.
#include "collection_generator.h"

#include "data/date_time.h"
#include "shell/media_seeding.h"

#include <QDate>

namespace tunarium::bench {

namespace {

const QStringList kFirstNames = {
    "John", "Paul", "George", "Ringo", "Aretha", "Björk", "Zoë", "Renée", "José", "Søren", "Anaïs", "Chloé",
    "Miles", "Nina", "Ella", "Frank", "Dolly", "Marvin", "Stevie", "Whitney", "Gloria", "Bruce", "Joni", "Ólafur",
    "Łukasz", "Jürgen", "François", "Mónica", "Ana", "Youssou", "Fela", "Ravi", "Ryuichi", "Astrud", "Caetano",
    "Édith", "Sinéad", "Bono", "Cher", "Prince"};
const QStringList kLastNames = {
    "Smith", "Jones", "Brown", "Taylor", "Wilson", "Davies", "Müller", "Schäfer", "Dvořák", "Ólafsson", "Sigurðsson",
    "Nuñez", "García", "Gonçalves", "Øvergaard", "Åkesson", "Lindqvist", "Kowalski", "Novák", "Franklin", "Davis",
    "Simone", "Fitzgerald", "Sinatra", "Parton", "Gaye", "Wonder", "Houston", "Estefan", "Springsteen", "Mitchell",
    "N'Dour", "Kuti", "Shankar", "Sakamoto", "Gilberto", "Veloso", "Piaf", "O'Connor", "de la Cruz"};
const QStringList kBandWords = {"Rolling", "Velvet", "Electric", "Midnight", "Crystal", "Silver", "Neon", "Golden",
                                "Cosmic", "Sonic", "Señor", "Café", "Ñu", "Über", "Arctic", "Radio", "Daft", "Pet"};
const QStringList kBandNouns = {"Stones", "Underground", "Orchestra", "Riders", "Ballroom", "Machines", "Lights",
                                "Boys", "Girls", "Monkeys", "Punks", "Shop", "Kings", "Queens", "Echoes"};
const QStringList kTitleWords = {
    "Love", "Night", "Dance", "Heart", "Fire", "Rain", "Summer", "Dream", "Blue", "Gold", "Road", "Home", "Time",
    "Light", "Shadow", "Soul", "River", "City", "Stars", "Moon", "Sun", "Wild", "Sweet", "Fever", "Électrique",
    "Corazón", "Ça", "Träume", "Élan", "Forever", "Tonight", "Again", "Baby", "Rhythm", "Groove", "Mañana"};
const QStringList kMixes = {"Radio Edit", "Extended Mix", "Club Mix", "Dub", "Acoustic", "Live", "Remix",
                            "Instrumental", "12\" Version", "Single Version"};
const QStringList kStyles = {"Pop", "House", "Techno", "Soul", "Funk", "Disco", "Jazz", "Rock", "Hip Hop", "Trance"};
const QStringList kCategories = {
    "Rock", "Pop", "Dance", "House", "Techno", "Trance", "Jazz", "Blues", "Soul", "Funk", "Disco", "Hip Hop", "R&B",
    "Reggae", "Country", "Folk", "Classical", "Latin", "Électro", "Ambient", "Drum & Bass", "Garage", "Gospel",
    "Metal", "Punk", "Ska", "Swing", "World", "New Wave", "Synthpop", "Oldies", "Soundtrack", "Chanson", "Schlager",
    "Bossa Nova", "Salsa", "Tango", "K-Pop", "J-Pop", "Afrobeat"};
const QStringList kUserKeys = {"", "", "", "A-Side", "B-Side", "Promo", "White Label", "Import", "Rare"};

} // namespace

SongFactory::SongFactory(const GeneratorOptions& options) : m_options(options), m_rng(options.seed) {}

QString SongFactory::pick(const QStringList& list) {
    return list[m_rng.bounded(static_cast<int>(list.size()))];
}

QString SongFactory::artistName() {
    const int kind = m_rng.bounded(10);
    if (kind < 4) {
        return pick(kLastNames) + QStringLiteral(", ") + pick(kFirstNames);
    }
    if (kind < 8) {
        return pick(kFirstNames) + u' ' + pick(kLastNames);
    }
    return (m_rng.bounded(2) ? QStringLiteral("The ") : QString()) + pick(kBandWords) + u' ' + pick(kBandNouns);
}

QString SongFactory::title() {
    QString t = pick(kTitleWords);
    const int words = 1 + m_rng.bounded(3);
    for (int i = 0; i < words; ++i) {
        t += u' ' + pick(kTitleWords).toLower();
    }
    // Same titles in other cases, as collections hold them.
    const int caseKind = m_rng.bounded(20);
    if (caseKind == 0) {
        t = t.toUpper();
    } else if (caseKind == 1) {
        t = t.toLower();
    }
    return t.left(50);
}

SongRecord SongFactory::next(std::optional<AlbumRecord>& album) {
    album.reset();
    if (m_trackInAlbum >= m_albumSize) {
        ++m_albums;
        m_album = AlbumRecord{};
        m_album.albumId = m_albums;
        m_album.artist = artistName().left(50);
        m_album.album = (title() + QStringLiteral(" #%1").arg(m_albums)).right(50);
        m_album.media = defaultMediaFormats()[m_rng.bounded(12)].left(20);
        // One carrier in five has no file number.
        m_album.fileNumber = m_rng.bounded(5) == 0 ? QString() : QStringLiteral("F%1").arg(m_albums, 6, 10, QChar(u'0'));
        const int year = 1950 + m_rng.bounded(50);
        m_album.releaseDate = m_rng.bounded(3) == 0 ? year
                                                    : dayNumberFromDate(QDate(year, 1 + m_rng.bounded(12), 1 + m_rng.bounded(28)));
        m_album.categoryId = 1 + m_rng.bounded(m_options.categories);
        m_album.rating = m_rng.bounded(11);
        m_albumSize = std::max(1, m_options.songsPerAlbum - 4 + m_rng.bounded(9));
        m_trackInAlbum = 0;
        album = m_album;
    }
    ++m_trackInAlbum;
    ++m_produced;
    SongRecord s;
    // Compilations: one album in four has a different artist on each track.
    s.artist = (m_album.albumId % 4 == 0) ? artistName().left(50) : m_album.artist;
    s.title = title();
    s.mix = m_rng.bounded(10) < 6 ? QString() : pick(kMixes);
    s.album = m_album.album;
    s.media = m_album.media;
    s.fileNumber = m_album.fileNumber;
    s.releaseDate = m_album.releaseDate;
    s.categoryId = m_album.categoryId;
    // Chart numbers, tempos and user keys repeat across many songs.
    s.chartNumber = m_rng.bounded(3) == 0 ? 1 + m_rng.bounded(40) : 0;
    s.trackNumber = m_trackInAlbum;
    s.side = m_album.media.startsWith(QStringLiteral("Cassette")) || m_album.media == QStringLiteral("LP")
                 ? 1 + (m_trackInAlbum > m_albumSize / 2 ? 1 : 0)
                 : 0;
    s.time = timeValueFromHundredths((120 + m_rng.bounded(300)) * 100);
    s.userDefinedKeyField = pick(kUserKeys);
    s.beatsPerMinute = m_rng.bounded(4) == 0 ? 0 : 90 + m_rng.bounded(60);
    s.style = pick(kStyles);
    s.rating = m_rng.bounded(11);
    s.id = m_produced;
    s.albumId = m_album.albumId;
    if (m_rng.bounded(50) == 0) {
        s.notes = QStringLiteral("Recorded live; the crowd is audible at the start.");
    }
    return s;
}

StoreError generateCollection(Store& store, const GeneratorOptions& options, GeneratorResult& result,
                              const std::function<void(qint64)>& progress) {
    for (const TableDef& t : allTables()) {
        if (StoreError e = store.openTable(t.id)) {
            return e;
        }
    }
    for (TableId bulk : {TableId::Tunarium, TableId::Album}) {
        if (StoreError e = store.beginBulkLoad(bulk)) {
            return e;
        }
    }
    Transaction tx(store);
    if (!tx.ok()) {
        return tx.beginError();
    }
    seedMedia(store);
    for (int i = 0; i < options.categories && i < kCategories.size(); ++i) {
        CategoryRecord c{i + 1, kCategories[i], {}};
        if (StoreError e = store.insert(c)) {
            return e;
        }
        ++result.categories;
    }
    SongFactory factory(options);
    std::optional<AlbumRecord> album;
    for (qint64 i = 0; i < options.songs; ++i) {
        SongRecord s = factory.next(album);
        if (album) {
            if (StoreError e = store.insert(*album)) {
                return e;
            }
            ++result.albums;
        }
        if (StoreError e = store.insert(s)) {
            return e;
        }
        ++result.songs;
        if (progress && (i + 1) % 100000 == 0) {
            progress(i + 1);
        }
    }
    QRandomGenerator rng(options.seed + 1);
    for (int p = 1; p <= options.playlists && options.songs > 0; ++p) {
        PlaylistRecord pl;
        pl.playlistId = p;
        pl.playlistDescription = QStringLiteral("Playlist %1").arg(p);
        pl.lastEditDate = dayNumberFromDate(QDate(2026, 1, 1)) + p;
        if (StoreError e = store.insert(pl)) {
            return e;
        }
        ++result.playlists;
        for (int n = 1; n <= options.entriesPerPlaylist; ++n) {
            PlaylistEntryRecord entry;
            entry.playlistId = p;
            entry.playlistSeq = n;
            entry.id = 1 + static_cast<qint64>(rng.bounded(static_cast<quint64>(options.songs)));
            if (StoreError e = store.insert(entry)) {
                return e;
            }
            ++result.entries;
        }
    }
    if (StoreError e = tx.commit()) {
        return e;
    }
    for (TableId bulk : {TableId::Tunarium, TableId::Album}) {
        if (StoreError e = store.endBulkLoad(bulk)) {
            return e;
        }
    }
    return {};
}

} // namespace tunarium::bench
