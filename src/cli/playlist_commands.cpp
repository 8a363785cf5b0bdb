// tunarium-cli playlist: the playlist generator without its window, the list of playlists and the
// entries of one. Results go to standard output, tab-separated; messages to standard error.
#include "cli/playlist_commands.h"

#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "cli/search_option.h"
#include "data/app_paths.h"
#include "data/date_time.h"
#include "data/key_walk.h"
#include "data/pictures.h"
#include "data/table_lease.h"
#include "playlists/playlist_entries.h"
#include "playlists/playlist_generator.h"

#include <QRegularExpression>

namespace tunarium::cli {

namespace {

constexpr std::initializer_list<TableId> kTables = {TableId::Tunarium, TableId::Categories,
                                                    TableId::PlaylistMaster, TableId::PlaylistDetails,
                                                    TableId::SavedSearches};

const QStringList& weightingNames() {
    static const QStringList names = {QStringLiteral("none"), QStringLiteral("recent-addition"),
                                      QStringLiteral("recent-release"), QStringLiteral("older-addition"),
                                      QStringLiteral("older-release")};
    return names;
}

QString isoDate(qint64 day) {
    const QDate date = dateFromDayNumber(day);
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

// A date as YYYY-MM-DD, or a bare year (the whole year); false when it is neither.
bool readDate(const QString& text, qint64& out) {
    static const QRegularExpression year(QStringLiteral("^\\d{1,4}$"));
    if (year.match(text).hasMatch()) {
        out = text.toLongLong();
        return out >= 1 && out < kFirstDayNumberDate;
    }
    out = dayNumberFromDate(QDate::fromString(text, Qt::ISODate));
    return out != 0;
}

QString timeText(qint64 time) {
    const QString text = formatPicture(time, u"@t4").trimmed();
    return text.isEmpty() ? QStringLiteral("0:00:00") : text;
}

// The playlist's heading, its entries and its total time.
int printPlaylist(Database& db, const PlaylistRecord& playlist) {
    out() << "playlist " << playlist.playlistId << ": " << playlist.playlistDescription << "\n";
    PlaylistEntries entries(db, playlist.playlistId);
    QVector<qint64> times;
    QString songFailure;
    KeyWalk walk(db.store(), TableId::PlaylistDetails, pla::kKeyPlaylistId, {{playlist.playlistId}});
    const StoreError e = walk.forEach([&](const Row& row) {
        const PlaylistEntryRecord entry = fromRow<PlaylistEntryRecord>(row);
        SongRecord song;
        bool found = false;
        if (StoreError failure = entries.songOf(entry.id, song, found)) {
            songFailure = QStringLiteral("cannot read song %1: %2").arg(entry.id).arg(failure.describe());
            return false;
        }
        times << song.time;
        out() << entry.playlistSeq << "\t" << song.artist << "\t" << song.title << "\t"
              << formatPicture(song.time, u"@t4").trimmed() << "\t" << entry.playlistNotes << "\n";
        return true;
    });
    if (!songFailure.isEmpty()) {
        return fail(songFailure);
    }
    if (e) {
        return fail(QStringLiteral("cannot read the playlist's entries: %1").arg(e.describe()));
    }
    out() << "total time: " << timeText(addTimes(times)) << "\n";
    out().flush();
    return kExitOk;
}

// A value the user gave that the generator refuses: the message alone, as bad usage.
int refused(const PromptMessage& message) {
    err() << "tunarium-cli: " << message.caption << ": " << message.text << "\n";
    err().flush();
    return kExitUsage;
}

int generate(Database& db, const CommandLine& line) {
    if (!line.isSet(QStringLiteral("size"))) {
        return usage(QStringLiteral("playlist generate needs --size N"));
    }
    GeneratorChoice choice;
    bool ok = false;
    choice.size = line.value(QStringLiteral("size")).toInt(&ok);
    if (!ok) {
        return usage(QStringLiteral("--size needs a number from 0 to %1").arg(kMaxPlaylistSize));
    }
    for (const char* bound : {"from", "to"}) {
        const QString name = QString::fromLatin1(bound);
        if (line.isSet(name) && !readDate(line.value(name), bound[0] == 'f' ? choice.from : choice.to)) {
            return usage(QStringLiteral("--%1 needs a date (YYYY-MM-DD) or a year").arg(name));
        }
    }
    choice.category = line.value(QStringLiteral("category"));
    if (line.isSet(QStringLiteral("weighting"))) {
        const qsizetype w = weightingNames().indexOf(line.value(QStringLiteral("weighting")));
        if (w < 0) {
            return usage(QStringLiteral("--weighting is one of %1").arg(weightingNames().join(u'|')));
        }
        choice.weighting = static_cast<Weighting>(w);
    }
    if (line.isSet(QStringLiteral("search"))) {
        if (const std::optional<int> status = savedSearchSongs(db, line.value(QStringLiteral("search")), choice.songs)) {
            return *status;
        }
    }
    choice.eachSongOnce = line.isSet(QStringLiteral("unique"));
    choice.skipDoNotPlay = line.isSet(QStringLiteral("skip-do-not-play"));
    choice.compatibleKeys = line.isSet(QStringLiteral("compatible-keys"));

    SeededRandom random;
    PlaylistGenerator generator(db, random);
    const GeneratorProblem problem = generator.check(choice);
    if (!problem.ok()) {
        return refused(problem.message);
    }
    const GeneratedPlaylist made = generator.generate(choice);
    if (made.playlistId == 0) {
        return kExitFailure;
    }
    PlaylistRecord playlist;
    if (StoreError e = db.store().get(pld::kKeyPlaylistId, {made.playlistId}, playlist)) {
        return fail(QStringLiteral("cannot read the new playlist: %1").arg(e.describe()));
    }
    return printPlaylist(db, playlist);
}

int list(Database& db) {
    KeyWalk walk(db.store(), TableId::PlaylistMaster, pld::kKeyPlaylistId);
    const StoreError e = walk.forEach([&db](const Row& row) {
        const PlaylistRecord p = fromRow<PlaylistRecord>(row);
        qint64 last = 0;
        PlaylistEntries(db, p.playlistId).lastSequence(last);
        out() << p.playlistId << "\t" << p.playlistDescription << "\t" << last << "\t"
              << isoDate(p.lastEditDate) << "\n";
        return true;
    });
    out().flush();
    if (e) {
        return fail(QStringLiteral("cannot read the playlists: %1").arg(e.describe()));
    }
    return kExitOk;
}

int show(Database& db, const QString& idText) {
    bool ok = false;
    const qint64 id = idText.toLongLong(&ok);
    if (!ok || id <= 0) {
        return usage(QStringLiteral("playlist show needs a playlist number, not %1").arg(idText));
    }
    PlaylistRecord playlist;
    const StoreError e = db.store().get(pld::kKeyPlaylistId, {id}, playlist);
    if (e.code == code::kRecordNotFound) {
        return fail(QStringLiteral("there is no playlist %1").arg(id));
    }
    if (e) {
        return fail(QStringLiteral("cannot read playlist %1: %2").arg(id).arg(e.describe()));
    }
    return printPlaylist(db, playlist);
}

} // namespace

int runPlaylist(QString& dir, const QStringList& args) {
    if (const QString sub = firstWord(args); sub == QLatin1String("export") || sub == QLatin1String("import")) {
        return runPlaylistFile(dir, args);
    }
    CommandLine line({{QStringLiteral("size"), QStringLiteral("N"), {}},
                      {QStringLiteral("from"), QStringLiteral("DATE"), {}},
                      {QStringLiteral("to"), QStringLiteral("DATE"), {}},
                      {QStringLiteral("category"), QStringLiteral("NAME"), {}},
                      {QStringLiteral("search"), QStringLiteral("NAME"), {}},
                      {QStringLiteral("weighting"), QStringLiteral("WEIGHTING"), {}},
                      {QStringLiteral("unique"), {}, {}},
                      {QStringLiteral("skip-do-not-play"), {}, {}},
                      {QStringLiteral("compatible-keys"), {}, {}}},
                     QStringLiteral("playlist does not know %1"));
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    QStringList words = line.arguments();
    if (words.isEmpty()) {
        return usage(QStringLiteral("playlist needs a subcommand: generate, list, show, export or import"));
    }
    const QString sub = words.takeFirst();
    const bool generating = sub == QLatin1String("generate");
    if (!generating && sub != QLatin1String("list") && sub != QLatin1String("show")) {
        return usage(QStringLiteral("unknown playlist subcommand %1").arg(sub));
    }
    const QStringList generateOnly = {QStringLiteral("size"),
                                      QStringLiteral("from"),
                                      QStringLiteral("to"),
                                      QStringLiteral("category"),
                                      QStringLiteral("search"),
                                      QStringLiteral("weighting"),
                                      QStringLiteral("unique"),
                                      QStringLiteral("skip-do-not-play"),
                                      QStringLiteral("compatible-keys")};
    for (const QString& option : generateOnly) {
        if (!generating && line.isSet(option)) {
            return usage(QStringLiteral("playlist %1 does not know --%2").arg(sub, option));
        }
    }
    if (sub == QLatin1String("show") ? words.size() != 1 : !words.isEmpty()) {
        return usage(sub == QLatin1String("show")
                         ? QStringLiteral("playlist show needs one playlist number")
                         : QStringLiteral("playlist %1 takes no arguments").arg(sub));
    }
    if (!requireCollection(dir)) {
        return kExitFailure;
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    TableLease tables(db, kTables);
    if (!tables) {
        return fail(QStringLiteral("cannot open the playlist tables in %1").arg(dir));
    }
    int status = kExitFailure;
    if (generating) {
        status = generate(db, line);
    } else if (sub == QLatin1String("list")) {
        status = list(db);
    } else {
        status = show(db, words.first());
    }
    tables.release();
    err().flush();
    return db.halted() ? kExitFailure : status;
}

} // namespace tunarium::cli
