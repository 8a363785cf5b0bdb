// The playlist generator.
#include "playlists/playlist_generator.h"

#include "data/date_time.h"

#include <QSet>

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
    KeyPosition from;
    for (;;) {
        QVector<Row> page;
        if (StoreError e = store.read(TableId::Categories, cat::kKeyCategory, from, sql::Direction::Forward,
                                      false, 256, page)) {
            return e;
        }
        for (const Row& row : page) {
            out << row.text(cat::kCategory);
        }
        if (page.size() < 256) {
            return {};
        }
        from = store.positionOf(page.back(), cat::kKeyCategory);
    }
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

bool PlaylistGenerator::accepts(const GeneratorChoice& choice, const SongRecord& song, qint64 categoryId,
                                qint64 today) {
    if (!releaseInRange(song.releaseDate, choice.from, choice.to)) {
        return false;
    }
    if (categoryId != 0 && song.categoryId != categoryId) {
        return false;
    }
    if (choice.skipDoNotPlay && song.doNotPlay != 0) {
        return false;
    }
    const qint64 release = song.releaseDate;
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
            m_db.warnings().saveError(e ? e : StoreError::of(code::kRecordNotFound));
            m_db.warnings().show(warning::kRecordRetrievalError, QStringLiteral("Categories"));
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
    while (sequence < choice.size && result.draws < kMaxDraws) {
        ++result.draws;
        DrawRange range = DrawRange::All;
        if ((choice.weighting == Weighting::RecentAddition || choice.weighting == Weighting::OlderAddition) &&
            m_random.coin()) {
            range =
                choice.weighting == Weighting::RecentAddition ? DrawRange::NewerHalf : DrawRange::OlderHalf;
        }
        SongRecord song;
        if (StoreError d = drawer.draw(range, song)) {
            m_db.warnings().saveError(d);
            m_db.warnings().show(warning::kRecordRetrievalError, QStringLiteral("Tunarium"));
            break;
        }
        if ((choice.eachSongOnce && taken.contains(song.id)) || !accepts(choice, song, categoryId, today)) {
            continue;
        }
        taken.insert(song.id);
        PlaylistEntryRecord entry;
        entry.playlistId = playlist.playlistId;
        entry.playlistSeq = ++sequence;
        entry.id = song.id;
        if (StoreError a = store.insert(entry)) {
            // The sequence number stays used: the next entry takes the one after it.
            tell(QStringLiteral("There was an error (") + errorText(a) +
                 QStringLiteral(") adding to the Play List Details file"));
            continue;
        }
        ++result.entries;
    }
    if (StoreError c = tx.commit()) {
        tell(QStringLiteral("There was an error (") + errorText(c) +
             QStringLiteral(") adding to the Play List Master file"));
        result.entries = 0;
        return result;
    }
    result.playlistId = playlist.playlistId;
    result.description = playlist.playlistDescription;
    return result;
}

} // namespace tunarium
