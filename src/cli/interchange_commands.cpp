// The playlist files of tunarium-cli: `playlist export ID --m3u8 FILE [--relative]` (or
// `--search NAME` in place of the number: the songs the saved search finds now), `playlist
// import FILE` (M3U8, M3U or PLS), `export --rekordbox FILE [--playlist ID]...` and `import
// --rekordbox FILE`. What each did goes to standard output; what it could not take to standard
// error, and the exit status is 1 then.
#include "cli/cli_commands.h"

#include "catalogue/saved_search.h"
#include "cli/command_line.h"
#include "cli/search_option.h"
#include "data/app_paths.h"
#include "data/database.h"
#include "data/table_lease.h"
#include "interchange/list_songs.h"
#include "interchange/m3u_playlist.h"
#include "interchange/rekordbox_xml.h"

namespace tunarium::cli {

namespace {

void print(const QStringList& lines, QTextStream& to) {
    for (const QString& line : lines) {
        to << line << "\n";
    }
    to.flush();
}

int writeSongs(const QVector<SongRecord>& songs, const QString& file, bool relative, const QString& collectionDir);

// The collection opened for a command; null (after telling why) when there is none.
std::unique_ptr<Database> openCollection(const QString& dir, CliPrompter& prompter) {
    if (!requireCollection(dir)) {
        return nullptr;
    }
    return std::make_unique<Database>(prompter, dir, defaultProfilePath());
}

int exportM3u8(const QString& dir, const QString& idText, const QString& file, bool relative) {
    bool ok = false;
    const qint64 id = idText.toLongLong(&ok);
    if (!ok || id <= 0) {
        return usage(QStringLiteral("playlist export needs a playlist number, not %1").arg(idText));
    }
    CliPrompter prompter;
    const std::unique_ptr<Database> db = openCollection(dir, prompter);
    if (!db) {
        return kExitFailure;
    }
    const TableLease tables(*db, {TableId::Tunarium, TableId::PlaylistMaster, TableId::PlaylistDetails});
    if (!tables) {
        return fail(QStringLiteral("cannot open the playlist tables in %1").arg(dir));
    }
    PlaylistRecord playlist;
    StoreError e = db->store().get(pld::kKeyPlaylistId, {id}, playlist);
    if (e.code == code::kRecordNotFound) {
        return fail(QStringLiteral("there is no playlist %1").arg(id));
    }
    QVector<SongRecord> songs;
    if (!e) {
        e = playlistSongs(db->store(), id, songs);
    }
    if (e) {
        return fail(QStringLiteral("cannot read playlist %1: %2").arg(id).arg(e.describe()));
    }
    return writeSongs(songs, file, relative, db->collectionDir());
}

int writeSongs(const QVector<SongRecord>& songs, const QString& file, bool relative, const QString& collectionDir) {
    if (const QString problem = writeM3u8(file, songs, relative, collectionDir); !problem.isEmpty()) {
        return fail(problem);
    }
    out() << songs.size() << " entries written to " << file << "\n";
    out().flush();
    return kExitOk;
}

int exportSearchM3u8(const QString& dir, const QString& name, const QString& file, bool relative) {
    CliPrompter prompter;
    const std::unique_ptr<Database> db = openCollection(dir, prompter);
    if (!db) {
        return kExitFailure;
    }
    SavedSearchRecord search;
    if (const std::optional<int> status = namedSavedSearch(*db, name, search)) {
        return *status;
    }
    if (const SongSearch parsed = savedSearchSearch(search); !parsed.ok()) {
        return fail(QStringLiteral("the saved search %1 cannot be run: %2").arg(search.name, parsed.error));
    }
    const TableLease tables(*db, {TableId::Tunarium, TableId::Categories});
    if (!tables) {
        return fail(QStringLiteral("cannot open the songs in %1").arg(dir));
    }
    QVector<SongRecord> songs;
    if (const StoreError e = foundSongs(db->store(), search, songs)) {
        return fail(QStringLiteral("cannot read the songs of the saved search %1: %2").arg(search.name, e.describe()));
    }
    return writeSongs(songs, file, relative, db->collectionDir());
}

int importPlaylist(const QString& dir, const QString& file) {
    CliPrompter prompter;
    const std::unique_ptr<Database> db = openCollection(dir, prompter);
    if (!db) {
        return kExitFailure;
    }
    const PlaylistImport made = importPlaylistFile(*db, file);
    print(made.summary(), made.playlistId != 0 ? out() : err());
    if (made.playlistId == 0 || db->halted()) {
        return kExitFailure;
    }
    return made.unmatched.isEmpty() && made.skipped.isEmpty() ? kExitOk : kExitFailure;
}

} // namespace

bool givesOption(const QStringList& args, const char* name) {
    const QString option = QStringLiteral("--") + QLatin1String(name);
    for (const QString& arg : args) {
        if (arg == option || arg.startsWith(option + u'=')) {
            return true;
        }
    }
    return false;
}

QString firstWord(const QStringList& args) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--dir")) {
            ++i;
        } else if (!args[i].startsWith(QLatin1String("--"))) {
            return args[i];
        }
    }
    return {};
}

int runPlaylistFile(QString& dir, const QStringList& args) {
    CommandLine line({{QStringLiteral("m3u8"), QStringLiteral("FILE"), {}},
                      {QStringLiteral("relative"), {}, {}},
                      {QStringLiteral("search"), QStringLiteral("NAME"), {}}},
                     QStringLiteral("playlist export and import do not know %1"));
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    QStringList words = line.arguments();
    const QString sub = words.isEmpty() ? QString() : words.takeFirst();
    if (sub == QLatin1String("export")) {
        if (line.isSet(QStringLiteral("search"))) {
            if (!words.isEmpty() || !line.isSet(QStringLiteral("m3u8"))) {
                return usage(QStringLiteral("playlist export --search NAME needs --m3u8 FILE and no playlist number"));
            }
            return exportSearchM3u8(dir, line.value(QStringLiteral("search")), line.value(QStringLiteral("m3u8")),
                                    line.isSet(QStringLiteral("relative")));
        }
        if (words.size() != 1 || !line.isSet(QStringLiteral("m3u8"))) {
            return usage(QStringLiteral("playlist export needs one playlist number and --m3u8 FILE"));
        }
        return exportM3u8(dir, words.first(), line.value(QStringLiteral("m3u8")), line.isSet(QStringLiteral("relative")));
    }
    if (line.isSet(QStringLiteral("m3u8")) || line.isSet(QStringLiteral("relative")) ||
        line.isSet(QStringLiteral("search"))) {
        return usage(QStringLiteral("playlist import takes the file alone"));
    }
    if (words.size() != 1) {
        return usage(QStringLiteral("playlist import needs one playlist file (M3U8, M3U or PLS)"));
    }
    return importPlaylist(dir, words.first());
}

int runRekordbox(QString& dir, const QStringList& args, bool exporting) {
    QVector<CommandOption> options{{QStringLiteral("rekordbox"), QStringLiteral("FILE"), {}}};
    if (exporting) {
        options << CommandOption{QStringLiteral("playlist"), QStringLiteral("ID"), {}};
    }
    CommandLine line(options, exporting ? QStringLiteral("export --rekordbox does not know %1")
                                        : QStringLiteral("import --rekordbox does not know %1"));
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    if (!line.arguments().isEmpty()) {
        return usage(QStringLiteral("--rekordbox takes its file as its value, and nothing else"));
    }
    const QString file = line.value(QStringLiteral("rekordbox"));
    QVector<qint64> playlists;
    for (const QString& value : exporting ? line.values(QStringLiteral("playlist")) : QStringList()) {
        bool ok = false;
        const qint64 id = value.toLongLong(&ok);
        if (!ok || id <= 0) {
            return usage(QStringLiteral("--playlist needs a playlist number, not %1").arg(value));
        }
        playlists << id;
    }
    CliPrompter prompter;
    // As the import of delimited files does, the import makes a collection where there is none.
    const std::unique_ptr<Database> db =
        exporting ? openCollection(dir, prompter) : std::make_unique<Database>(prompter, dir, defaultProfilePath());
    if (!db) {
        return kExitFailure;
    }
    if (exporting) {
        const RekordboxExport written = exportRekordbox(*db, file, playlists);
        if (!written.error.isEmpty()) {
            return fail(written.error);
        }
        print(written.summary(), out());
        return kExitOk;
    }
    const RekordboxImport read = importRekordbox(*db, file);
    if (!read.refusal.isEmpty() || read.failed) {
        return read.refusal.isEmpty() ? kExitFailure : fail(read.refusal);
    }
    print(read.summary(), out());
    return read.skipped.isEmpty() ? kExitOk : kExitFailure;
}

} // namespace tunarium::cli
