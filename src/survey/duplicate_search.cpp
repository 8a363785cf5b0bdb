// The duplicate search: hashes while reading, the records that share one read in full at the end.
#include "survey/duplicate_search.h"

#include "data/fold_key.h"
#include "survey/duplicate_key.h"

#include <QHash>

#include <algorithm>

namespace tunarium {

namespace {

constexpr int kSlice = 2000;
// Artists' folds kept at most (a collection of a million songs has some tens of thousands).
constexpr qsizetype kArtistCache = 200000;
constexpr size_t kSeed = 0x7475'6e61'7269'756d;

quint64 hashOf(const QString& key) {
    return static_cast<quint64>(qHash(key, kSeed));
}

QString cdIdentifierKey(const QString& text) {
    return foldKey(text.trimmed());
}

QString discIdKey(const QString& text) {
    return text.trimmed().toLower();
}

QString soundFileKey(const QString& text) {
    return text.trimmed();
}

} // namespace

QString songPlace(qint64 albumId, const QString& fileNumber, qint64 side, qint64 track) {
    if (track <= 0) {
        return {};
    }
    // Side 0 of earlier versions is side 1.
    const qint64 s = std::max<qint64>(side, 1);
    if (albumId > 0) {
        return QStringLiteral("album %1 side %2 track %3").arg(albumId).arg(s).arg(track);
    }
    const QString file = foldKey(fileNumber.trimmed());
    if (file.isEmpty()) {
        return {};
    }
    return QStringLiteral("file %1 side %2 track %3").arg(file).arg(s).arg(track);
}

DuplicateSearch::DuplicateSearch(Database& db, int recordsPerStep)
    : Process(QStringLiteral("Find Duplicates"), QStringLiteral("Looking through the songs..."), recordsPerStep),
      m_db(db) {}

DuplicateSearch::~DuplicateSearch() = default;

bool DuplicateSearch::fail(const StoreError& error) {
    m_error = error;
    m_phase = Phase::Done;
    stopAsCompleted();
    return false;
}

bool DuplicateSearch::begin() {
    m_songTotal = m_db.store().count(TableId::Tunarium);
    m_albumTotal = m_db.store().count(TableId::Album);
    m_reader = m_db.store().openDuplicateReader();
    if (StoreError e = m_reader->error()) {
        fail(e);
        return false;
    }
    m_hashes[static_cast<int>(Candidate::Song)].reserve(static_cast<size_t>(m_songTotal));
    m_hashes[static_cast<int>(Candidate::Place)].reserve(static_cast<size_t>(m_songTotal));
    showProgress();
    return true;
}

void DuplicateSearch::showProgress() {
    // Reading is nine tenths of the work; reading the candidates in full the last tenth.
    const qint64 read = m_report.songsRead + m_report.albumsRead;
    const qint64 toRead = std::max<qint64>(1, m_songTotal + m_albumTotal);
    qint64 permille = std::min<qint64>(900, read * 900 / toRead);
    if (m_phase == Phase::Gather || m_phase == Phase::Done) {
        permille = 900 + (m_candidates.empty() ? 100 : static_cast<qint64>(m_gathered * 100 / m_candidates.size()));
    }
    setProgress(permille, 1000);
}

bool DuplicateSearch::handleNext() {
    bool more = false;
    switch (m_phase) {
    case Phase::Songs:
        more = nextSong();
        break;
    case Phase::Albums:
        more = nextAlbum();
        break;
    case Phase::Gather:
        more = gatherNext();
        break;
    case Phase::Done:
        break;
    }
    if ((m_report.songsRead + m_report.albumsRead + static_cast<qint64>(m_gathered)) % 500 == 0 || !more) {
        showProgress();
    }
    return more;
}

bool DuplicateSearch::nextSong() {
    if (m_at >= m_songs.size()) {
        if (StoreError e = m_reader->songsAfter(m_lastRec, kSlice, m_songs)) {
            return fail(e);
        }
        m_at = 0;
        if (m_songs.isEmpty()) {
            m_phase = Phase::Albums;
            m_lastRec = 0;
            setMessage(QStringLiteral("Looking through the albums..."));
            return nextAlbum();
        }
    }
    const SongSighting& s = m_songs[m_at++];
    m_lastRec = s.rec;
    ++m_report.songsRead;
    // An artist's name comes back song after song: it is folded once.
    auto artist = m_artistFolds.constFind(s.artist);
    if (artist == m_artistFolds.cend()) {
        if (m_artistFolds.size() > kArtistCache) {
            m_artistFolds.clear();
        }
        artist = m_artistFolds.insert(s.artist, duplicateArtistFold(s.artist));
    }
    if (!artist->isEmpty()) {
        if (const QString key = duplicateKeyOf(*artist, duplicateTitleFold(s.title)); !key.isEmpty()) {
            m_hashes[static_cast<int>(Candidate::Song)].emplace_back(hashOf(key), s.rec);
        }
    }
    // The place's hash without its text (the text is made for the candidates alone).
    if (s.track > 0) {
        const qint64 side = std::max<qint64>(s.side, 1);
        if (s.albumId > 0) {
            m_hashes[static_cast<int>(Candidate::Place)].emplace_back(
                static_cast<quint64>(qHashMulti(kSeed, 1, s.albumId, side, s.track)), s.rec);
        } else if (const QString file = foldKey(s.fileNumber.trimmed()); !file.isEmpty()) {
            m_hashes[static_cast<int>(Candidate::Place)].emplace_back(
                static_cast<quint64>(qHashMulti(kSeed, 2, file, side, s.track)), s.rec);
        }
    }
    return true;
}

bool DuplicateSearch::nextAlbum() {
    if (m_at >= m_albums.size()) {
        if (StoreError e = m_reader->albumsAfter(m_lastRec, kSlice, m_albums)) {
            return fail(e);
        }
        m_at = 0;
        if (m_albums.isEmpty()) {
            startGather();
            return gatherNext();
        }
    }
    const AlbumSighting& a = m_albums[m_at++];
    m_lastRec = a.rec;
    ++m_report.albumsRead;
    if (const QString cd = cdIdentifierKey(a.cdIdentifier); !cd.isEmpty()) {
        m_hashes[static_cast<int>(Candidate::CdIdentifier)].emplace_back(hashOf(cd), a.rec);
    }
    if (const QString disc = discIdKey(a.discId); !disc.isEmpty()) {
        m_hashes[static_cast<int>(Candidate::DiscId)].emplace_back(hashOf(disc), a.rec);
    }
    if (const QString file = soundFileKey(a.soundFile); !file.isEmpty()) {
        m_hashes[static_cast<int>(Candidate::SoundFile)].emplace_back(hashOf(file), a.rec);
    }
    return true;
}

void DuplicateSearch::startGather() {
    m_reader.reset();
    m_artistFolds.clear();
    m_songs.clear();
    m_albums.clear();
    m_phase = Phase::Gather;
    setMessage(QStringLiteral("Gathering the duplicates..."));
    for (std::size_t kind = 0; kind < m_hashes.size(); ++kind) {
        Hashes& hashes = m_hashes[kind];
        std::sort(hashes.begin(), hashes.end());
        for (std::size_t i = 0; i < hashes.size();) {
            std::size_t j = i + 1;
            while (j < hashes.size() && hashes[j].first == hashes[i].first) {
                ++j;
            }
            if (j - i > 1) {
                for (std::size_t k = i; k < j; ++k) {
                    m_candidates.emplace_back(static_cast<Candidate>(kind), hashes[k].second);
                }
            }
            i = j;
        }
        Hashes().swap(hashes);
    }
}

bool DuplicateSearch::gatherNext() {
    if (m_gathered >= m_candidates.size()) {
        finishGroups();
        m_phase = Phase::Done;
        return false;
    }
    const auto [kind, rec] = m_candidates[m_gathered++];
    const bool isSong = kind == Candidate::Song || kind == Candidate::Place;
    Row row;
    const StoreError e = m_db.store().fetch(isSong ? TableId::Tunarium : TableId::Album, rec, row);
    if (e.code == code::kRecordNotFound) {
        return true; // deleted since it was read
    }
    if (e) {
        return fail(e);
    }
    if (isSong) {
        const SongRecord song = fromRow<SongRecord>(row);
        const QString key = kind == Candidate::Song
                                ? duplicateSongKey(song.artist, song.title)
                                : songPlace(song.albumId, song.fileNumber, song.side, song.trackNumber);
        if (!key.isEmpty()) {
            SongGroup& group = (kind == Candidate::Song ? m_songGroups : m_placeGroups)[key];
            group.key = key;
            group.songs << song;
        }
        return true;
    }
    const AlbumRecord album = fromRow<AlbumRecord>(row);
    const AlbumMatch match = kind == Candidate::CdIdentifier ? AlbumMatch::CdIdentifier
                             : kind == Candidate::DiscId     ? AlbumMatch::DiscId
                                                             : AlbumMatch::SoundFile;
    const QString& value = match == AlbumMatch::CdIdentifier ? album.cdIdentifier
                           : match == AlbumMatch::DiscId     ? album.xccd
                                                             : album.associatedWavFile;
    const QString key = match == AlbumMatch::CdIdentifier ? cdIdentifierKey(value)
                        : match == AlbumMatch::DiscId     ? discIdKey(value)
                                                          : soundFileKey(value);
    if (!key.isEmpty()) {
        AlbumGroup& group = m_albumGroups[static_cast<int>(match)][key];
        group.match = match;
        if (group.albums.isEmpty()) {
            group.value = value.trimmed();
        }
        group.albums << album;
    }
    return true;
}

void DuplicateSearch::finishGroups() {
    const auto songGroups = [](QHash<QString, SongGroup>& groups) {
        QVector<SongGroup> out;
        for (SongGroup& g : groups) {
            if (g.songs.size() > 1) {
                std::sort(g.songs.begin(), g.songs.end(),
                          [](const SongRecord& a, const SongRecord& b) { return a.meta.rec < b.meta.rec; });
                out << std::move(g);
            }
        }
        std::sort(out.begin(), out.end(), [](const SongGroup& a, const SongGroup& b) { return a.key < b.key; });
        groups.clear();
        return out;
    };
    m_report.songs = songGroups(m_songGroups);
    m_report.places = songGroups(m_placeGroups);
    for (QHash<QString, AlbumGroup>& groups : m_albumGroups) {
        QVector<std::pair<QString, AlbumGroup>> kept;
        for (auto it = groups.begin(); it != groups.end(); ++it) {
            if (it->albums.size() > 1) {
                std::sort(it->albums.begin(), it->albums.end(),
                          [](const AlbumRecord& a, const AlbumRecord& b) { return a.meta.rec < b.meta.rec; });
                kept.emplace_back(it.key(), std::move(*it));
            }
        }
        std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& [key, group] : kept) {
            m_report.albums << std::move(group);
        }
        groups.clear();
    }
}

} // namespace tunarium
