// The playlist generator.
#include "playlists/playlist_generator.h"

#include "catalogue/musical_key.h"
#include "data/date_time.h"
#include "data/key_walk.h"
#include "data/pictures.h"

#include <QSet>

#include <optional>

namespace tunarium {

namespace {

QString errorText(const StoreError& e) {
    return QString::number(e.code) + QStringLiteral(" - ") + trimTrailingBlanks(e.text);
}

// A bound's day number: a bare year stands for its first day (from) or its last (to).
qint64 boundDay(qint64 bound, bool end) {
    if (bound <= 0 || bound >= kFirstDayNumberDate) {
        return bound;
    }
    return end ? dayNumberFromYmd(static_cast<int>(bound), 12, 31)
               : dayNumberFromYmd(static_cast<int>(bound), 1, 1);
}

bool isBareYear(qint64 release) {
    return release > 0 && release < kFirstDayNumberDate;
}

} // namespace

const QStringList& weightingCaptions() {
    static const QStringList captions = {QStringLiteral("No Weighting"), QStringLiteral("Recent Addition"),
                                         QStringLiteral("Recent Release"), QStringLiteral("Older Addition"),
                                         QStringLiteral("Older Release")};
    return captions;
}

bool releaseInRange(qint64 release, qint64 from, qint64 to) {
    if (isBareYear(release)) {
        return (from == 0 || release >= releaseYear(from)) && (to == 0 || release <= releaseYear(to));
    }
    return (from == 0 || release >= boundDay(from, false)) && (to == 0 || release <= boundDay(to, true));
}

StoreError categoryNames(Store& store, QStringList& out) {
    out.clear();
    KeyWalk walk(store, TableId::Categories, cat::kKeyCategory);
    return walk.forEach([&out](const Row& row) {
        out << row.text(cat::kCategory);
        return true;
    });
}

GeneratorProblem readGeneratorTexts(const GeneratorTexts& texts, const QString& datePicture,
                                    GeneratorChoice& choice) {
    GeneratorProblem problem;
    const QString size = texts.size.trimmed();
    bool whole = true;
    for (const QChar c : size) {
        whole = whole && c.isDigit();
    }
    if (!whole || size.size() > 9) {
        problem.field = GeneratorField::Size;
        problem.message = composeWarning(warning::kRangeError, {}, QStringLiteral("Play List Size"),
                                         QStringLiteral("0 and %1").arg(kMaxPlaylistSize), code::kOk);
        return problem;
    }
    choice.size = size.toInt();
    auto readDate = [&](const QString& text, GeneratorField field, const QString& name, qint64& out) {
        const QString t = text.trimmed();
        bool number = false;
        const qint64 year = t.toLongLong(&number);
        if (t.isEmpty()) {
            out = 0;
        } else if (number && year >= 1 && year < kFirstDayNumberDate) {
            out = year;
        } else {
            out = deformatPicture(t, datePicture).toLongLong();
        }
        if (out > 0 || t.isEmpty()) {
            return true;
        }
        problem.field = field;
        problem.message = {QStringLiteral("Invalid Date"),
                           QStringLiteral("The %1 \"%2\" cannot be read. Type a year (1970) or a date as "
                                          "the date format shows it (%3), or leave it blank.")
                               .arg(name, t, formatPicture(todayDayNumber(), datePicture).trimmed()),
                           PromptIcon::Exclamation, kButtonOk, kButtonOk};
        return false;
    };
    if (readDate(texts.from, GeneratorField::From, QStringLiteral("Starting Release Date"), choice.from)) {
        readDate(texts.to, GeneratorField::To, QStringLiteral("Ending Release Date"), choice.to);
    }
    return problem;
}

PlaylistGenerator::PlaylistGenerator(Database& db, RandomSource& random) : m_db(db), m_random(random) {}

StoreError PlaylistGenerator::findCategory(const QString& name, qint64& categoryId, bool& found) {
    found = false;
    CategoryRecord category;
    const StoreError e = m_db.store().get(cat::kKeyCategory, {trimTrailingBlanks(name)}, category);
    if (e.code == code::kRecordNotFound) {
        return {};
    }
    if (e.ok()) {
        found = true;
        categoryId = category.categoryId;
    }
    return e;
}

GeneratorProblem PlaylistGenerator::check(const GeneratorChoice& choice) {
    GeneratorProblem problem;
    if (choice.size < 0 || choice.size > kMaxPlaylistSize) {
        problem.field = GeneratorField::Size;
        problem.message = composeWarning(warning::kRangeError, {}, QStringLiteral("Play List Size"),
                                         QStringLiteral("0 and %1").arg(kMaxPlaylistSize), code::kOk);
        return problem;
    }
    if (choice.from != 0 && choice.to != 0 && boundDay(choice.to, true) < boundDay(choice.from, false)) {
        problem.field = GeneratorField::To;
        problem.message = {
            QStringLiteral("Range Error"),
            QStringLiteral("The Ending Release Date must not be before the Starting Release Date."),
            PromptIcon::Exclamation, kButtonOk, kButtonOk};
        return problem;
    }
    if (!trimTrailingBlanks(choice.category).trimmed().isEmpty()) {
        qint64 id = 0;
        bool found = false;
        const StoreError e = findCategory(choice.category, id, found);
        if (!found) {
            problem.field = GeneratorField::Category;
            problem.message = e ? composeWarning(warning::kRecordRetrievalError, e.describe(),
                                                 QStringLiteral("Categories"), {}, e.code)
                                : composeWarning(warning::kFieldContentsError, {}, QStringLiteral("Category"),
                                                 QStringLiteral("Categories"), code::kOk);
        }
    }
    return problem;
}

void PlaylistGenerator::tell(const QString& text) {
    m_db.prompter().message({QStringLiteral("Error"), text, PromptIcon::Stop, kButtonOk, kButtonOk});
}

// Adds the playlist record with the next free number; a number or description that another
// playlist holds already moves the number on.
StoreError PlaylistGenerator::addPlaylist(PlaylistRecord& playlist, qint64 today) {
    Store& store = m_db.store();
    qint64 number = 0;
    if (StoreError e = store.nextNumber(TableId::PlaylistMaster, number)) {
        return e;
    }
    const qint64 highest = tableDef(TableId::PlaylistMaster).field(pld::kPlaylistId).maxValue();
    for (;; ++number) {
        if (number > highest) {
            return StoreError::of(code::kDuplicateKey);
        }
        const QString description = QString::fromLatin1(kGeneratedDescription) + QString::number(number);
        PlaylistRecord other;
        StoreError e = store.get(pld::kKeyPlaylistId, {number}, other);
        if (e.code == code::kRecordNotFound) {
            e = store.get(pld::kKeyPlaylistDescription, {description}, other);
        }
        if (e.ok()) {
            continue;
        }
        if (e.code != code::kRecordNotFound) {
            return e;
        }
        playlist = PlaylistRecord{};
        playlist.playlistId = number;
        playlist.playlistDescription = description;
        playlist.lastEditDate = today;
        return store.insert(playlist);
    }
}

bool PlaylistGenerator::qualifies(const GeneratorChoice& choice, const SongRecord& song,
                                  qint64 categoryId) const {
    if (!releaseInRange(song.releaseDate, choice.from, choice.to)) {
        return false;
    }
    if (categoryId != 0 && song.categoryId != categoryId) {
        return false;
    }
    if (choice.compatibleKeys && !readMusicalKey(song.musicalKey)) {
        return false;
    }
    return !choice.skipDoNotPlay || song.doNotPlay == 0;
}

bool PlaylistGenerator::weighted(const GeneratorChoice& choice, qint64 release, qint64 today) {
    if (release == 0 ||
        (choice.weighting != Weighting::RecentRelease && choice.weighting != Weighting::OlderRelease)) {
        return true;
    }
    // Recent: within the last 90 days, or a bare year not before this one.
    const bool recent = isBareYear(release) ? release >= releaseYear(today) : release >= today - kRecentDays;
    if (!m_random.coin()) {
        return true;
    }
    return choice.weighting == Weighting::RecentRelease ? recent : !recent;
}

bool PlaylistGenerator::accepts(const GeneratorChoice& choice, const SongRecord& song, qint64 categoryId,
                                qint64 today) {
    return qualifies(choice, song, categoryId) && weighted(choice, song.releaseDate, today);
}

StoreError PlaylistGenerator::gather(const GeneratorChoice& choice, qint64 categoryId, QVector<SongRecord>& out) {
    out.clear();
    const auto keep = [&](const SongRecord& song) {
        if (qualifies(choice, song, categoryId)) {
            // Only what the draws need is kept.
            SongRecord kept;
            kept.id = song.id;
            kept.releaseDate = song.releaseDate;
            kept.musicalKey = song.musicalKey;
            out.push_back(kept);
        }
    };
    if (!choice.songs.isEmpty()) {
        // The songs of a search, in the order they were numbered (the order of addition).
        KeyWalkLimits limits;
        limits.filter = choice.songs;
        return KeyWalk(m_db.store(), TableId::Tunarium, tun::kKeyId, limits).forEach([&](const Row& row) {
            keep(fromRow<SongRecord>(row));
            return true;
        });
    }
    qint64 after = 0;
    QVector<Row> rows;
    do {
        if (StoreError e = m_db.store().readInRecordOrder(TableId::Tunarium, after, 500, rows)) {
            return e;
        }
        for (const Row& row : std::as_const(rows)) {
            after = row.meta.rec;
            keep(fromRow<SongRecord>(row));
        }
    } while (rows.size() == 500);
    return {};
}

GeneratedPlaylist PlaylistGenerator::generate(const GeneratorChoice& choice) {
    GeneratedPlaylist result;
    Store& store = m_db.store();
    if (store.count(TableId::Tunarium) == 0) {
        result.noSongs = true;
        tell(QStringLiteral("There are no songs to select from"));
        return result;
    }
    const qint64 today = choice.today != 0 ? choice.today : todayDayNumber();
    qint64 categoryId = 0;
    if (!trimTrailingBlanks(choice.category).trimmed().isEmpty()) {
        bool found = false;
        if (StoreError e = findCategory(choice.category, categoryId, found); e || !found) {
            m_db.warnings().report(warning::kRecordRetrievalError,
                                   e ? e : StoreError::of(code::kRecordNotFound),
                                   QStringLiteral("Categories"));
            return result;
        }
    }
    SongDrawer drawer(store, m_random);
    Transaction tx(store);
    PlaylistRecord playlist;
    StoreError e = tx.ok() ? drawer.prepare() : tx.beginError();
    if (!e) {
        e = addPlaylist(playlist, today);
    }
    if (e) {
        // Entries of a playlist that could not be added would belong to nothing: none are drawn.
        tell(QStringLiteral("There was an error (") + errorText(e) +
             QStringLiteral(") adding to the Play List Master file"));
        return result;
    }
    QSet<qint64> taken;
    qint64 sequence = 0;
    bool broken = false;
    // The key of the last song taken, which the next must mix with.
    std::optional<CamelotKey> previousKey;
    const auto mixes = [&](const SongRecord& song) {
        if (!choice.compatibleKeys || !previousKey) {
            return true;
        }
        const std::optional<CamelotKey> key = readMusicalKey(song.musicalKey);
        return key && compatibleKeys(*previousKey).contains(*key);
    };
    auto addEntry = [&](const SongRecord& song) {
        const qint64 songId = song.id;
        previousKey = readMusicalKey(song.musicalKey);
        taken.insert(songId);
        PlaylistEntryRecord entry;
        entry.playlistId = playlist.playlistId;
        entry.playlistSeq = ++sequence;
        entry.id = songId;
        if (StoreError a = store.insert(entry)) {
            // The sequence number stays used: the next entry takes the one after it.
            tell(QStringLiteral("There was an error (") + errorText(a) +
                 QStringLiteral(") adding to the Play List Details file"));
            return;
        }
        ++result.entries;
    };
    auto readFailed = [&](const StoreError& failure) {
        m_db.warnings().report(warning::kRecordRetrievalError, failure, QStringLiteral("Tunarium"));
        broken = true;
    };
    auto half = [&] {
        if ((choice.weighting == Weighting::RecentAddition || choice.weighting == Weighting::OlderAddition) &&
            m_random.coin()) {
            return choice.weighting == Weighting::RecentAddition ? DrawRange::NewerHalf : DrawRange::OlderHalf;
        }
        return DrawRange::All;
    };
    // Draws over the whole collection cannot tell a search's songs: those are gathered at once.
    while (choice.songs.isEmpty() && sequence < choice.size && result.draws < kMaxDraws) {
        ++result.draws;
        const DrawRange range = half();
        SongRecord song;
        if (StoreError d = drawer.draw(range, song)) {
            readFailed(d);
            break;
        }
        if ((choice.eachSongOnce && taken.contains(song.id)) || !mixes(song) ||
            !accepts(choice, song, categoryId, today)) {
            continue;
        }
        addEntry(song);
    }
    if (!broken && sequence < choice.size) {
        // Few songs pass the choice: the draws go on among them.
        QVector<SongRecord> pool;
        if (StoreError g = gather(choice, categoryId, pool)) {
            readFailed(g);
        } else {
            result.qualifying = pool.size();
            if (choice.eachSongOnce) {
                pool.removeIf([&](const SongRecord& s) { return taken.contains(s.id); });
            }
            // Each draw that is kept is bound to come within a few: the release weighting passes
            // over a song at most half the time. The bound only guards against a faulty source.
            const qint64 lastDraw = result.draws + qint64(kMaxDraws) * kMaxPlaylistSize;
            // With keys to mix, each draw is among the songs that mix with the last one taken.
            QVector<qsizetype> mixing;
            const auto candidates = [&]() -> qsizetype {
                if (!choice.compatibleKeys || !previousKey) {
                    return pool.size();
                }
                mixing.clear();
                for (qsizetype i = 0; i < pool.size(); ++i) {
                    if (mixes(pool[i])) {
                        mixing << i;
                    }
                }
                return mixing.size();
            };
            while (sequence < choice.size && !pool.isEmpty() && result.draws < lastDraw) {
                const qsizetype choices = candidates();
                if (choices == 0) {
                    result.keysRanOut = true;
                    break;
                }
                ++result.draws;
                qsizetype low = 0;
                qsizetype high = choices - 1;
                const qsizetype middle = std::max<qsizetype>(choices / 2, 1) - 1;
                switch (half()) {
                case DrawRange::NewerHalf:
                    low = middle;
                    break;
                case DrawRange::OlderHalf:
                    high = middle;
                    break;
                case DrawRange::All:
                    break;
                }
                const qsizetype drawn = static_cast<qsizetype>(m_random.between(low, high));
                const qsizetype at = choices == pool.size() ? drawn : mixing[drawn];
                const SongRecord song = pool[at];
                if (!weighted(choice, song.releaseDate, today)) {
                    continue;
                }
                addEntry(song);
                if (choice.eachSongOnce) {
                    pool.removeAt(at);
                }
            }
        }
    }
    if (!broken && choice.size > 0 && result.qualifying == 0) {
        // No song passes the choice: an empty playlist would only be in the way.
        tx.rollback();
        tellShort(choice, result);
        return result;
    }
    if (StoreError c = tx.commit()) {
        tell(QStringLiteral("There was an error (") + errorText(c) +
             QStringLiteral(") adding to the Play List Master file"));
        result.entries = 0;
        return result;
    }
    result.playlistId = playlist.playlistId;
    result.description = playlist.playlistDescription;
    if (!broken) {
        tellShort(choice, result);
    }
    return result;
}

void PlaylistGenerator::tellShort(const GeneratorChoice& choice, const GeneratedPlaylist& made) {
    const QString note = shortPlaylistNote(choice, made);
    if (!note.isEmpty()) {
        m_db.prompter().message(
            {QStringLiteral("Generate Play List"), note, PromptIcon::Information, kButtonOk, kButtonOk});
    }
}

QString shortPlaylistNote(const GeneratorChoice& choice, const GeneratedPlaylist& made) {
    if (made.noSongs || made.entries >= choice.size) {
        return {};
    }
    if (made.qualifying == 0 && !choice.songs.isEmpty()) {
        return QStringLiteral("The search finds no song that passes the choice: no play list was made.");
    }
    if (made.qualifying == 0) {
        return choice.compatibleKeys
                   ? QStringLiteral("No song passes the choice (its release dates, category, Do Not Play and a "
                                    "musical key): no play list was made.")
                   : QStringLiteral("No song passes the choice (its release dates, category and Do Not Play): no "
                                    "play list was made.");
    }
    QString note = QStringLiteral("The play list holds %1 of the %2 songs asked for")
                       .arg(made.entries)
                       .arg(choice.size);
    if (made.keysRanOut) {
        note += QStringLiteral(": no song left mixes with the key of the last one.");
    } else if (made.qualifying > 0 && choice.eachSongOnce && made.qualifying < choice.size) {
        note += made.qualifying == 1 ? QStringLiteral(": only 1 song passes the choice")
                                     : QStringLiteral(": only %1 songs pass the choice").arg(made.qualifying);
        note += QStringLiteral(", and each song comes once.");
    } else {
        note += u'.';
    }
    return note;
}

} // namespace tunarium
