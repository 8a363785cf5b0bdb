// The record sources of the report catalogue.
#include "reports/report_sources.h"

#include "data/date_time.h"
#include "data/dictionary_tables.h"
#include "data/fold_key.h"
#include "playlists/playlist_chart.h"

#include <algorithm>

namespace tunarium {

namespace {

// Category names looked up are kept for the report's walk; beyond this many the cache starts again.
constexpr int kCategoryCacheLimit = 1024;

// A bare year in a release date lies below this number; larger numbers are day numbers.

} // namespace

bool songPassesRecordCheck(const Row& song) {
    constexpr int artist = tun::kArtist;
    constexpr int title = tun::kTitle;
    constexpr int skips = tun::kSkips;
    constexpr int doNotPlay = tun::kDoNotPlay;
    return !song.text(artist).contains(QLatin1String("(*)")) &&
           !song.text(title).contains(QLatin1String("(Skips)")) && song.number(skips) == 0 &&
           song.number(doNotPlay) == 0;
}

QString reportDisplayTitle(const Row& song) {
    constexpr int titleField = tun::kTitle;
    constexpr int skipsField = tun::kSkips;
    constexpr int mixField = tun::kMix;
    QString title = song.text(titleField);
    if (song.number(skipsField) != 0) {
        title = trimTrailingBlanks(title) + QStringLiteral(" (Skips)");
    }
    const QString mix = trimTrailingBlanks(song.text(mixField));
    if (!mix.isEmpty()) {
        title += QStringLiteral(" (") + mix + u')';
    }
    return title.left(255);
}

QString minutesAndSeconds(qint64 timeValue) {
    if (timeValue < 1) {
        return {};
    }
    const qint64 seconds = hundredthsFromTimeValue(timeValue) / 100;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

int FieldedSource::fieldIndex(QStringView name) const {
    for (int i = 0; i < m_fields.size(); ++i) {
        if (name.compare(m_fields[i].name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

QString FieldedSource::error() const {
    if (!m_failure) {
        return {};
    }
    return QStringLiteral("Error: (%1) attempting to access a record from the %2 file.")
        .arg(m_failure->error.describe(), tableDef(m_failure->table).label);
}

void FieldedSource::addField(const QString& name, Reader read) {
    m_fields.push_back({name, std::move(read)});
}

void FieldedSource::addTableFields(TableId table, const Row* const* row) {
    const TableDef& t = tableDef(table);
    for (int i = 0; i < t.fieldCount(); ++i) {
        addField(t.qualifiedField(i), [row, i] { return *row ? (*row)->value(i) : QVariant(); });
    }
}

bool FieldedSource::failed(TableId table, const StoreError& error) {
    m_failure = ReadFailure{table, error};
    return false;
}

bool FieldedSource::walked(const KeyWalk& walk, bool on) {
    if (!on && walk.error()) {
        return failed(walk.table(), walk.error());
    }
    return on;
}

SongFields::SongFields(Store& store) : m_store(store) {
    addTableFields(TableId::Tunarium, &m_song);
    constexpr int categoryId = tun::kCategoryId;
    constexpr int time = tun::kTime;
    constexpr int released = tun::kReleaseDate;
    addField(QStringLiteral("CAT:Category"),
             [this] { return m_song ? categoryName(m_song->number(categoryId)) : QString(); });
    addField(QStringLiteral("DisplayTitle"),
             [this] { return m_song ? reportDisplayTitle(*m_song) : QString(); });
    addField(QStringLiteral("SongTime"),
             [this] { return m_song ? minutesAndSeconds(m_song->number(time)) : QString(); });
    addField(QStringLiteral("ReleaseYear"),
             [this] { return m_song ? releaseYear(m_song->number(released)) : 0; });
    addField(QStringLiteral("Blank"), [] { return QString(); });
}

QString SongFields::categoryName(qint64 categoryId) const {
    if (categoryId == 0) {
        return {};
    }
    const auto found = m_categories.constFind(categoryId);
    if (found != m_categories.constEnd()) {
        return *found;
    }
    constexpr int byId = cat::kKeyCategoryId;
    constexpr int name = cat::kCategory;
    Row category;
    // A song whose category is gone shows none, as the songs list does.
    const QString shown =
        m_store.get(TableId::Categories, byId, {categoryId}, category).ok() ? category.text(name) : QString();
    if (m_categories.size() >= kCategoryCacheLimit) {
        m_categories.clear();
    }
    m_categories.insert(categoryId, shown);
    return shown;
}

SongsSource::SongsSource(Store& store, int key, KeyWalkLimits limits, bool recordCheck)
    : SongFields(store), m_walk(store, TableId::Tunarium, key, std::move(limits)), m_check(recordCheck) {}

bool SongsSource::moved(bool on) {
    setSong(on ? &m_walk.record() : nullptr);
    return walked(m_walk, on);
}

bool SongsSource::first() {
    return moved(m_walk.first());
}

bool SongsSource::next() {
    return moved(m_walk.next());
}

bool SongsSource::passes() const {
    return !m_check || songPassesRecordCheck(m_walk.record());
}

qint64 SongsSource::total() const {
    return m_store.count(TableId::Tunarium);
}

AlbumSongsSource::AlbumSongsSource(Store& store, qint64 albumId) : SongFields(store), m_albumId(albumId) {}

bool AlbumSongsSource::first() {
    constexpr int byAlbumId = tun::kKeyAlbumId;
    constexpr int byAlbum = tun::kSongsByAlbum;
    m_songs.clear();
    m_index = 0;
    KeyWalk walk(m_store, TableId::Tunarium, byAlbumId, KeyWalkLimits{{m_albumId}, {}, {}});
    for (bool on = walk.first(); on; on = walk.next()) {
        m_songs.push_back(walk.record());
    }
    if (walk.error()) {
        setSong(nullptr);
        return failed(TableId::Tunarium, walk.error());
    }
    // The order of TUN:SongsByAlbum: its components as the key compares them, then the record.
    const TableDef& t = tableDef(TableId::Tunarium);
    const QVector<int> components = t.key(byAlbum).components;
    auto sortKey = [&](const Row& song) {
        QVariantList values;
        for (int c : components) {
            values << (t.field(c).isText() ? QVariant(foldKey(song.text(c))) : QVariant(song.number(c)));
        }
        values << song.meta.rec;
        return values;
    };
    std::vector<std::pair<QVariantList, int>> order;
    for (int i = 0; i < m_songs.size(); ++i) {
        order.emplace_back(sortKey(m_songs[i]), i);
    }
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        for (qsizetype c = 0; c < a.first.size(); ++c) {
            const QPartialOrdering o = QVariant::compare(a.first[c], b.first[c]);
            if (o != QPartialOrdering::Equivalent) {
                return o == QPartialOrdering::Less;
            }
        }
        return false;
    });
    QVector<Row> sorted;
    sorted.reserve(m_songs.size());
    for (const auto& entry : order) {
        sorted.push_back(std::move(m_songs[entry.second]));
    }
    m_songs = std::move(sorted);
    setSong(m_songs.isEmpty() ? nullptr : &m_songs.first());
    return !m_songs.isEmpty();
}

bool AlbumSongsSource::next() {
    if (m_index + 1 >= m_songs.size()) {
        setSong(nullptr);
        return false;
    }
    ++m_index;
    setSong(&m_songs[m_index]);
    return true;
}

qint64 AlbumSongsSource::total() const {
    return m_store.count(TableId::Tunarium);
}

AlbumsSource::AlbumsSource(Store& store, int key, KeyWalkLimits limits)
    : m_store(store), m_walk(store, TableId::Album, key, std::move(limits)) {
    addTableFields(TableId::Album, &m_album);
    constexpr int categoryId = alb::kCategoryId;
    addField(QStringLiteral("CAT:Category"), [this]() -> QVariant {
        if (!m_album) {
            return QString();
        }
        const qint64 id = m_album->number(categoryId);
        if (!m_category || m_category->first != id) {
            constexpr int byId = cat::kKeyCategoryId;
            Row category;
            const bool found = id != 0 && m_store.get(TableId::Categories, byId, {id}, category).ok();
            m_category.emplace(id, found ? category.text(cat::kCategory) : QString());
        }
        return m_category->second;
    });
    constexpr int released = alb::kReleaseDate;
    addField(QStringLiteral("ReleaseYear"),
             [this] { return m_album ? releaseYear(m_album->number(released)) : 0; });
}

bool AlbumsSource::moved(bool on) {
    m_album = on ? &m_walk.record() : nullptr;
    return walked(m_walk, on);
}

bool AlbumsSource::first() {
    return moved(m_walk.first());
}

bool AlbumsSource::next() {
    return moved(m_walk.next());
}

qint64 AlbumsSource::total() const {
    return m_store.count(TableId::Album);
}

PlaylistSource::PlaylistSource(Store& store, qint64 playlistId)
    : SongFields(store),
      m_walk(store, TableId::PlaylistDetails, pla::kKeyPlaylistId, KeyWalkLimits{{playlistId}, {}, {}}) {
    addTableFields(TableId::PlaylistDetails, &m_entry);
    // The chart's columns: this week's position is the entry's place in the playlist, last
    // week's the one Chart wrote into its notes.
    constexpr int seq = pla::kPlaylistSeq;
    constexpr int notes = pla::kPlaylistNotes;
    addField(QStringLiteral("ThisWeek"), [this]() -> QVariant { return m_entry ? m_entry->number(seq) : 0; });
    addField(QStringLiteral("LastWeekPosition"),
             [this]() -> QVariant { return m_entry ? chartMarkerPosition(m_entry->text(notes)) : 0; });
}

bool PlaylistSource::moved(bool on) {
    m_entry = on ? &m_walk.record() : nullptr;
    if (!on) {
        setSong(nullptr);
        return walked(m_walk, on);
    }
    constexpr int songId = pla::kId;
    constexpr int byId = tun::kKeyId;
    const StoreError e = m_store.get(TableId::Tunarium, byId, {m_entry->number(songId)}, m_song);
    if (e && e.code != code::kRecordNotFound) {
        setSong(nullptr);
        return failed(TableId::Tunarium, e);
    }
    if (e) {
        // An entry whose song is gone prints with the song's fields blank.
        m_song = Row(TableId::Tunarium);
    }
    setSong(&m_song);
    return true;
}

bool PlaylistSource::first() {
    return moved(m_walk.first());
}

bool PlaylistSource::next() {
    return moved(m_walk.next());
}

qint64 PlaylistSource::total() const {
    return m_store.count(TableId::PlaylistDetails);
}

} // namespace tunarium
