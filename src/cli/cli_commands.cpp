// The commands of tunarium-cli and the choice among them.
#include "cli/cli_commands.h"

#include "cli/backup_commands.h"
#include "cli/cd_commands.h"
#include "cli/command_line.h"
#include "cli/duplicate_commands.h"
#include "cli/housekeeping_commands.h"
#include "cli/playlist_commands.h"
#include "cli/upgrade_lines.h"
#include "data/app_paths.h"
#include "data/database.h"
#include "data/store_copy.h"
#include "data/store_file_kind.h"
#include "data/table_lease.h"
#include "process/process_runner.h"
#include "shell/maintenance_commands.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

#include <cstdio>

namespace tunarium::cli {

QString usageText() {
    QString text = QStringLiteral(
        "usage: tunarium-cli [--dir DIR | --server URL] COMMAND\n"
        "\n"
        "  --dir DIR   the collection directory (default: the user's data directory)\n"
        "  --server URL\n"
        "              the collection in a PostgreSQL server's database: a libpq connection string\n"
        "              (host=... dbname=...) or postgresql://user@host/database; the password comes\n"
        "              from ~/.pgpass or PGPASSWORD, never from the address\n"
        "\n"
        "commands:\n");
    QStringList makers;
    for (const CliCommand& c : cliCommands()) {
        text += QString::fromLatin1(c.usage);
        if (c.collection == CommandCollection::Makes) {
            makers << QString::fromLatin1(c.name);
        }
    }
    return text + QStringLiteral("\nOnly %1 create a collection; the other commands but cd and report --list "
                                 "need one\nin the directory (or on the server).\n")
                      .arg(makers.join(QStringLiteral(" and ")));
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

int usage(const QString& problem) {
    if (!problem.isEmpty()) {
        err() << "tunarium-cli: " << problem << "\n";
    }
    err() << usageText();
    err().flush();
    return kExitUsage;
}

int fail(const QString& message) {
    err() << "tunarium-cli: " << message << "\n";
    err().flush();
    return kExitFailure;
}

int CliPrompter::message(const PromptMessage& m) {
    err() << m.caption << ": " << m.text << "\n";
    err().flush();
    return RecordingPrompter::message(m);
}

void CliPrompter::halt(const QString& text) {
    err() << text << "\n";
    err().flush();
    RecordingPrompter::halt(text);
}

bool runWithProgress(Process& process, bool quiet) {
    qsizetype shownWidth = 0;
    const bool completed = runToEnd(process, [quiet, &process, &shownWidth](const Process& p) {
        if (!quiet) {
            // The line is written over: a shorter status is padded over the longer one before it.
            const QString line = process.title() + QStringLiteral(": ") + p.statusText();
            err() << "\r" << line.leftJustified(shownWidth + 3);
            err().flush();
            shownWidth = std::max(shownWidth, line.size());
        }
        return true;
    });
    if (!quiet) {
        err() << "\n";
        err().flush();
    }
    return completed;
}

bool commandPaints(const QStringList& args) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--dir") || arg == QLatin1String("-dir") || arg == QLatin1String("--server") ||
            arg == QLatin1String("-server")) {
            ++i; // its value
        } else if (!arg.startsWith(u'-')) {
            const CliCommand* command = findCommand(arg);
            return command && command->paints;
        }
    }
    return false;
}

bool requireCollection(const QString& dir, CollectionNeed need) {
    if (isServerLocation(dir)) {
        return true; // what the server holds is the store's open to say
    }
    const QString file = collectionFilePath(dir);
    if (!QFileInfo(file).isFile()) {
        fail(QStringLiteral("there is no collection in %1 (tunarium-cli --dir DIR info creates one)").arg(dir));
        return false;
    }
    if (need == CollectionNeed::AnyFile) {
        return true;
    }
    // Another program's file, or one of a newer version, is named for what it is and left alone.
    const CollectionFileState state = inspectCollectionFile(file, PageCheck::No);
    // (A file that cannot be read at the moment is the command's own open to report.)
    const bool refused = state.kind == CollectionFileKind::NotCollection ||
                         state.kind == CollectionFileKind::Newer ||
                         (state.kind == CollectionFileKind::NotDatabase && need == CollectionNeed::Readable);
    if (refused) {
        fail(state.describe());
        return false;
    }
    return true;
}

int damaged(const QString& dir) {
    return fail(
        QStringLiteral("the collection in %1 is damaged; tunarium-cli --dir %1 repair saves every record "
                       "that can still be read")
            .arg(dir));
}

namespace {

// The commands that take no arguments but their options: each on the collection in `dir`, which
// must be there; `check` also tells a damaged one.
int onCollection(QString& dir, const QStringList& args, const char* name, QVector<CommandOption> options,
                 CollectionNeed need, const std::function<int(Database&, const CommandLine&)>& body) {
    const QString noArguments = QStringLiteral("%1 takes no arguments").arg(QString::fromLatin1(name));
    CommandLine line(std::move(options), noArguments);
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    if (!line.arguments().isEmpty()) {
        return usage(noArguments);
    }
    if (!requireCollection(dir, need)) {
        return kExitFailure;
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    const int status = body(db, line);
    out().flush();
    err().flush();
    return db.halted() ? kExitFailure : status;
}

int runInfo(QString& dir, const QStringList& args) {
    const QString noArguments = QStringLiteral("info takes no arguments");
    CommandLine line({}, noArguments);
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    if (!line.arguments().isEmpty()) {
        return usage(noArguments);
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    for (const TableDef& t : allTables()) {
        const TableLease table(db, {t.id});
        if (!table) {
            return fail(QStringLiteral("cannot open table %1 in %2").arg(t.label, dir));
        }
        out() << t.label << "\t" << t.fileName << "\t" << db.store().storedVersion(t.id) << "\t"
              << db.store().count(t.id) << "\n";
    }
    out().flush();
    return kExitOk;
}

// The records a copy wrote, a line per table.
void printCopied(const QVector<CopiedTable>& copied) {
    for (const CopiedTable& t : copied) {
        out() << t.label << "\t" << t.records << "\n";
    }
}

int runServer(QString& dir, const QStringList& args) {
    CommandLine line({}, QStringLiteral("unknown option %1"));
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    const QStringList words = line.arguments();
    if (words.isEmpty()) {
        return usage(QStringLiteral("server needs init, copy-from FILE or copy-to FILE"));
    }
    const QString what = words.first();
    const bool copy = what == QLatin1String("copy-from") || what == QLatin1String("copy-to");
    if (what == QLatin1String("init") ? words.size() != 1 : !copy || words.size() != 2) {
        return usage(QStringLiteral("server knows init, copy-from FILE and copy-to FILE"));
    }
    if (!isServerLocation(dir)) {
        return usage(QStringLiteral("server %1 needs --server URL").arg(what));
    }
    const auto told = [](const StoreError& e) { return e.driverMessage.isEmpty() ? e.describe() : e.driverMessage; };
    if (!copy) {
        if (const StoreError e = initServerCollection(dir)) {
            return fail(told(e));
        }
        out() << "made an empty collection on " << serverLabel(dir) << "\n";
        out().flush();
        return kExitOk;
    }
    QVector<CopiedTable> copied;
    const QString file = words[1];
    if (what == QLatin1String("copy-from")) {
        if (const StoreError e = copyFileToServer(file, dir, copied)) {
            return fail(QStringLiteral("nothing was copied: %1").arg(told(e)));
        }
        printCopied(copied);
        out() << "copied " << file << " into the collection on " << serverLabel(dir) << "\n";
    } else {
        if (const StoreError e = copyServerToFile(dir, file, copied)) {
            return fail(QStringLiteral("nothing was copied: %1").arg(told(e)));
        }
        printCopied(copied);
        out() << "copied the collection on " << serverLabel(dir) << " into " << file << "\n";
    }
    out().flush();
    return kExitOk;
}

int runCreateAlbumsCommand(QString& dir, const QStringList& args) {
    return onCollection(dir, args, "create-albums", {}, CollectionNeed::Readable,
                        [](Database& db, const CommandLine&) { return runCreateAlbums(db, out(), err()); });
}

int runCheckCommand(QString& dir, const QStringList& args) {
    return onCollection(
        dir, args, "check",
        {CommandOption{QStringLiteral("quiet"), {}, {}}, CommandOption{QStringLiteral("full"), {}, {}}},
        CollectionNeed::Readable, [&dir](Database& db, const CommandLine& line) {
            const int status =
                runCheck(db, out(), line.isSet(QStringLiteral("full")) ? FileCheck::Full : FileCheck::Quick,
                         line.isSet(QStringLiteral("quiet")) ? nullptr : &err());
            if (status != kExitOk) {
                out().flush();
                return damaged(dir);
            }
            return status;
        });
}

int runRepairCommand(QString& dir, const QStringList& args) {
    return onCollection(dir, args, "repair", {}, CollectionNeed::Ours,
                        [](Database& db, const CommandLine&) { return runRepair(db, out()); });
}

int runRebuildKeysCommand(QString& dir, const QStringList& args) {
    return onCollection(dir, args, "rebuild-keys", {}, CollectionNeed::Readable,
                        [](Database& db, const CommandLine&) { return runRebuildKeys(db, out()); });
}

int runCompactCommand(QString& dir, const QStringList& args) {
    return onCollection(dir, args, "compact", {}, CollectionNeed::Readable,
                        [](Database& db, const CommandLine&) { return runCompact(db, out()); });
}

} // namespace

const QVector<CliCommand>& cliCommands() {
    static const QVector<CliCommand> commands = {
    {"info",
     "  info          create the collection if it is missing and list its tables:\n"
     "                label, data file, structure version, record count\n",
     CommandCollection::Makes, false, runInfo},
    {"create-albums",
     "  create-albums make an album record for the songs that name an album without one\n",
     CommandCollection::Needed, false, runCreateAlbumsCommand},
    {"convert-dates",
     "  convert-dates --year-only [--quiet]\n"
     "                replace every release date of the songs and albums by its year (day and\n"
     "                month are lost); a copy of the collection is kept first as\n"
     "                tunarium-dates-YYYYMMDD-HHMMSS.db, and dates are shown as years from then on\n",
     CommandCollection::Needed, false, runConvertDates},
    {"test-album-links",
     "  test-album-links [--quiet]\n"
     "                link every song to the album of its album title and artist (or of that\n"
     "                title under \"Various\"), and number a song that has no number\n",
     CommandCollection::Needed, false, runTestAlbumLinks},
    {"check",
     "  check [--full] [--quiet]\n"
     "                check the pages of the file and every table's record count (--full: also\n"
     "                every key against its records), showing which table on standard error;\n"
     "                prints what it found per table; exit status 1 when damaged\n",
     CommandCollection::Needed, false, runCheckCommand},
    {"repair",
     "  repair        rebuild damaged keys, or save every readable record of a damaged file\n"
     "                into a new collection file (the damaged one is kept beside it)\n",
     CommandCollection::Needed, false, runRepairCommand},
    {"rebuild-keys",
     "  rebuild-keys  rebuild every table's keys\n",
     CommandCollection::Needed, false, runRebuildKeysCommand},
    {"compact",
     "  compact       give the space of deleted records back to the disk\n",
     CommandCollection::Needed, false, runCompactCommand},
    {"backup",
     "  backup [--to FILE]\n"
     "                write a whole copy of the collection to FILE (a new file), or to a dated\n"
     "                file tunarium-backup-YYYYMMDD-HHMMSS.db beside it; prints its name. The copy\n"
     "                is read back: a copy of a damaged collection is named ...-damaged.db\n",
     CommandCollection::Needed, false, runBackup},
    {"restore",
     "  restore FILE  replace the collection with the collection file FILE (only read: it may be\n"
     "                on a read-only disc); the current one is kept first as\n"
     "                tunarium-restore-YYYYMMDD-HHMMSS.db, also when it cannot be read\n",
     CommandCollection::Needed, false, runRestore},
    {"import",
     "  import FILE [--assign Field_N=TUN:Name]... [--picture Field_N=PICTURE]...\n"
     "              [--strip-header | --keep-header] [--create-albums | --no-create-albums] [--quiet]\n"
     "                add one song per line of a comma-delimited file. Without --assign, columns\n"
     "                are matched to song fields by the names on the file's first line, which is\n"
     "                then left out. Album entries are made for the new songs unless\n"
     "                --no-create-albums is given\n"
     "  import --rekordbox FILE\n"
     "                read a Rekordbox XML library: each track matched to a song by its file's path,\n"
     "                then by artist and title (case and accents ignored), the others added as new\n"
     "                songs; each of its playlists made a new playlist. A file that is not such XML\n"
     "                is refused, and nothing is imported unless all of it is\n",
     CommandCollection::Makes, false, runImport},
    {"scan",
     "  scan DIR... [--quiet]\n"
     "                add a song for every audio file (MP3, FLAC, Ogg Vorbis, Opus, M4A, WAV, AIFF)\n"
     "                under the folders (at any depth) or among the files named, from its tags and\n"
     "                its length; files scanned before are read again only when changed, moved\n"
     "                files are linked again and songs whose files are gone marked missing. Album\n"
     "                entries are made for the new songs, their covers kept beside the collection.\n"
     "                Exit status 1 when a file was skipped or a value cut (each is named)\n",
     CommandCollection::Makes, false, runScan},
    {"export",
     "  export FILE [--fields TUN:Artist,TUN:Title,...] [--picture TUN:Name=PICTURE]... [--no-header]\n"
     "              [--search NAME] [--quiet]\n"
     "                write every song, in artist order, to a comma-delimited file; without\n"
     "                --fields all 30 fields with a first line of field names. --search writes\n"
     "                the songs the saved search NAME finds, in its order\n"
     "  export --rekordbox FILE [--playlist ID]...\n"
     "                write the songs that have a file, and the playlists given, as a Rekordbox\n"
     "                XML library (rekordbox.xml)\n",
     CommandCollection::Needed, false, runExport},
    {"playlist",
     "  playlist generate --size N [--from DATE] [--to DATE] [--category NAME] [--search NAME]\n"
     "              [--weighting none|recent-addition|recent-release|older-addition|older-release]\n"
     "              [--unique] [--skip-do-not-play] [--compatible-keys]\n"
     "                draw a new playlist of up to N songs (0 to 99) at random, within the release\n"
     "                dates (YYYY-MM-DD, or a year) and the category given, and print it as show\n"
     "                does. --search draws among the songs the saved search NAME finds; --unique\n"
     "                takes each song once; --skip-do-not-play leaves out the songs marked Do Not\n"
     "                Play; --compatible-keys takes songs whose musical key mixes with the one\n"
     "                before (songs without a key left out)\n"
     "  playlist list every playlist: number, description, entries, last edit date\n"
     "  playlist show ID\n"
     "                one playlist's entries (sequence, artist, title, time, notes) and its total time\n"
     "  playlist export ID --m3u8 FILE [--relative]\n"
     "  playlist export --search NAME --m3u8 FILE [--relative]\n"
     "                write the playlist, or the songs the saved search NAME finds in its order, as\n"
     "                extended M3U8: each song's file by its absolute path, or relative to the\n"
     "                playlist file's folder; a song without a file gets its #EXTINF line alone,\n"
     "                naming its file number\n"
     "  playlist import FILE\n"
     "                make a new playlist of an M3U8, M3U or PLS file's entries, each matched to a\n"
     "                song by its file's path, then by artist and title (case and accents\n"
     "                ignored); the entries that match no song are named (exit status 1)\n",
     CommandCollection::Needed, false, runPlaylist},
    {"stats",
     "  stats [--json]\n"
     "                the collection's statistics: songs and albums per decade, year, category and\n"
     "                media, songs per band of beats per minute and per rating, the artists with\n"
     "                the most songs, each line with its count (--json: as JSON, each bar with the\n"
     "                songs browse's search for its songs)\n",
     CommandCollection::Needed, false, runStats},
    {"duplicates",
     "  duplicates [--quiet]\n"
     "                list what the collection holds twice, in numbered groups: songs with the same\n"
     "                artist and title (case, accents, punctuation, featured artists and version\n"
     "                words such as \"(Remastered 2011)\" not counted), songs at the same place on a\n"
     "                carrier, albums with the same CD identifier, disc ID or sound file\n",
     CommandCollection::Needed, false, runDuplicates},
    {"server",
     "  server init --server URL\n"
     "                make an empty collection in the server's database (which must hold no tables):\n"
     "                every table with its keys and the search box's index (the server needs the\n"
     "                extension pg_trgm)\n"
     "  server copy-from FILE --server URL\n"
     "                load the collection file FILE (only read) into the empty collection on the\n"
     "                server, every record with its number, in one transaction; prints each\n"
     "                table's records\n"
     "  server copy-to FILE --server URL\n"
     "                write the collection on the server as a collection file FILE (a new file),\n"
     "                as one moment saw it; prints each table's records\n",
     CommandCollection::Optional, false, runServer},
    {"cd",
     "  cd identify [--toc FILE] [--device DEV]\n"
     "                read the disc in the CD drive (the CDDrive setting, else the default drive)\n"
     "                or a table-of-contents file (--toc, or $TUNARIUM_CD_TOC) and print its\n"
     "                tracks, length, CD identifier, CDDB number and MusicBrainz disc ID, and\n"
     "                the album of the collection that has the disc, if one has\n",
     CommandCollection::Optional, false, runCd},
    {"report",
     "  report --list   name the reports\n"
     "  report NAME --pdf FILE [--brief] [--selected TEXT] [--category NAME] [--playlist ID]\n"
     "              [--album ID] [--filter EXPR] [--search NAME] [--quiet]\n"
     "                print a report into a PDF file: --brief for its Brief layout, --selected for\n"
     "                the records whose report field starts with TEXT, --category, --playlist and\n"
     "                --album for what a report is about, --filter for the query that narrows the\n"
     "                DJ log and the paper savers, --search for the songs the saved search NAME\n"
     "                finds (the songs reports); exit status 1 with \"Nothing to Print.\" when\n"
     "                nothing is printed\n",
     CommandCollection::Optional, true, runReport},
    {"label",
     "  label ID --pdf FILE\n"
     "                print label ID (CD insert or cassette J-card, at its true size with cut marks)\n"
     "                into a PDF file\n",
     CommandCollection::Needed, true, runLabel},
    {"binder",
     "  binder --from FILENUMBER --to FILENUMBER [--flap] --pdf FILE [--quiet]\n"
     "                print the binder pages (four albums to a page) or, with --flap, the flap pages\n"
     "                of the albums whose file numbers lie in the range (text order); exit status 1\n"
     "                with \"Nothing to Print.\" when no album is in it\n",
     CommandCollection::Needed, true, runBinder},
    };
    return commands;
}

const CliCommand* findCommand(const QString& name) {
    for (const CliCommand& c : cliCommands()) {
        if (name == QLatin1String(c.name)) {
            return &c;
        }
    }
    return nullptr;
}

int run(const QStringList& args) {
    QString dir;
    CommandLine line;
    line.stopAtFirstArgument();
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    QStringList rest = line.arguments();
    if (rest.isEmpty()) {
        return usage(QStringLiteral("no command given"));
    }
    const QString command = rest.takeFirst();
    // Any command may be the first to open a collection of an earlier version, which it upgrades.
    UpgradeLines upgrading(err(), rest.contains(QStringLiteral("--quiet")));
    const CliCommand* known = findCommand(command);
    if (known == nullptr) {
        return usage(QStringLiteral("unknown command %1").arg(command));
    }
    // The command reads its own arguments, where --dir may stand too.
    const int status = known->run(dir, rest);
    // Whatever the command was doing, a damaged file ends it with the way to repair it.
    // (A restore that put a sound collection in place of a damaged one has mended it.)
    const bool mended = command == QLatin1String("restore") && status == kExitOk;
    if (collectionDamageMet() && command != QLatin1String("repair") && !mended) {
        return damaged(dir);
    }
    return status;
}

} // namespace tunarium::cli
