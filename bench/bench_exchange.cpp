// The import and export benchmarks. Export writes every song of a collection with all 30 fields,
// beside the SQLite shell writing the same columns in artist order as CSV. Import reads that file
// into an empty collection, beside the SQLite shell's .import of the same file into a table with
// the same keys. Both step their process as the progress window does, 25 records a tick, and
// report the longest tick and how much the memory grew.
#include "bench_commands.h"
#include "bench_process.h"
#include "bench_report.h"
#include "data/schema_sql.h"

#include "data/database.h"
#include "data/store_search.h"
#include "exchange/export_process.h"
#include "exchange/import_options.h"
#include "exchange/import_process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace tunarium::bench {

namespace {

// Lines added afterwards to the collection the import made.
constexpr qint64 kAddedLines = 20000;

int fail(const QString& message) {
    std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(message));
    return 1;
}

// Runs the SQLite shell on `database` with `script` on its input; the time it took, or -1.
double shellMs(const QString& database, const QString& script, QString& error) {
    QProcess shell;
    QElapsedTimer timer;
    timer.start();
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), database});
    if (!shell.waitForStarted()) {
        error = QStringLiteral("the SQLite shell (sqlite3) does not start");
        return -1;
    }
    shell.write(script.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    const double ms = elapsedMs(timer);
    const QByteArray errors = shell.readAllStandardError();
    if (shell.exitCode() != 0 || !errors.isEmpty()) {
        error = QStringLiteral("sqlite3 (exit %1): ").arg(shell.exitCode()) +
                QString::fromUtf8(errors.left(400)) +
                QString::fromUtf8(shell.readAllStandardOutput().left(400));
        return -1;
    }
    return ms;
}

QString quoted(const QString& name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// A key of the collection as the shell's script makes it over the table `table`, whose columns
// are the fields named with `prefix`: the index named after the table (the songs' and the albums'
// keys share names), without regard to case, and a key that leaves out blank records partial as
// the collection's is (a unique key of numbers given to some albums only would refuse the rest).
QString shellIndexSql(const TableDef& t, const KeyDef& key, const QString& prefix, const QString& table) {
    QStringList parts;
    QStringList filled;
    for (int c : key.components) {
        const FieldDef& field = t.fields[c];
        const QString column = quoted(prefix + field.name);
        parts << column + (field.isText() ? QStringLiteral(" COLLATE NOCASE") : QString());
        filled << column + (field.isText() ? QStringLiteral(" <> ''") : QStringLiteral(" <> 0"));
    }
    return QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)%5;\n")
        .arg(key.unique ? QStringLiteral("UNIQUE ") : QString(), quoted(table + u'_' + key.name), table,
             parts.join(u','),
             key.excludeBlank ? QStringLiteral(" WHERE ") + filled.join(QStringLiteral(" OR ")) : QString());
}

} // namespace

// Exports the collection in `dir` with all fields and a header; false when it failed.
bool exportAll(Database& db, RecordingPrompter& prompter, const QString& file, StepFigures& figures,
               qint64& songs) {
    auto process = openExport(db, prompter, file, exportableFields(), true);
    if (!process) {
        return false;
    }
    figures = stepToEnd(*process);
    songs = process->songsWritten();
    process.reset();
    return prompter.messages.isEmpty();
}

int exportBench(const QString& dirPath) {
    QTemporaryDir work;
    const QString file = work.filePath(QStringLiteral("songs.csv"));
    const double memoryBefore = residentMb();
    StepFigures ours;
    qint64 songs = 0;
    {
        RecordingPrompter prompter;
        Database db(prompter, dirPath, work.filePath(QStringLiteral("profile.ini")));
        if (!exportAll(db, prompter, file, ours, songs)) {
            return fail(prompter.messages.isEmpty() ? QStringLiteral("the export failed")
                                                    : prompter.messages.first().text);
        }
    }
    const double memoryAfter = residentMb();

    // The same columns in the same order by the same key, written by the shell.
    QStringList columns;
    for (const ExportField& f : exportableFields()) {
        columns << (f.field.startsWith(QLatin1String("CAT:"))
                        ? QStringLiteral("c.\"Category\"")
                        : QStringLiteral("t.") + quoted(f.field.mid(4)));
    }
    const QString script =
        QStringLiteral(".headers on\n.mode csv\n.output \"%1\"\n"
                       "SELECT %2 FROM \"Tunarium\" AS t INDEXED BY \"TUN:SongsByArtist\" "
                       "LEFT JOIN \"Categories\" AS c ON c.\"CategoryID\" = t.\"CategoryID\" "
                       "ORDER BY t.\"ArtistKey\", t.\"TitleKey\", t.\"MixKey\", t.\"_rec\";\n")
            .arg(work.filePath(QStringLiteral("shell.csv")), columns.join(u','));
    QString error;
    const double raw =
        shellMs(QDir(dirPath).filePath(QString::fromLatin1(kCollectionFileName)), script, error);
    if (raw < 0) {
        return fail(error);
    }
    figure("export_songs", static_cast<double>(songs), "songs");
    figure("export_file_size", QFileInfo(file).size() / 1048576.0, "MB");
    figure("export_total", ours.totalMs, "ms");
    figure("export_sqlite_shell_csv", raw, "ms");
    ratio("export", ours.totalMs, raw);
    figure("export_longest_tick", ours.longestTickMs, "ms");
    figure("export_memory_growth", memoryAfter - memoryBefore, "MB");
    return 0;
}

int importBench(const QString& dirPath) {
    QTemporaryDir work;
    const QString file = work.filePath(QStringLiteral("songs.csv"));
    qint64 songs = 0;
    {
        RecordingPrompter prompter;
        Database db(prompter, dirPath, work.filePath(QStringLiteral("profile.ini")));
        StepFigures unused;
        if (!exportAll(db, prompter, file, unused, songs)) {
            return fail(QStringLiteral("the file to import could not be written"));
        }
    }

    const double memoryBefore = residentMb();
    StepFigures ours;
    StepFigures albumEntries;
    qint64 albumsMade = 0;
    qint64 songsLinked = 0;
    qint64 added = 0;
    qint64 rejected = 0;
    {
        RecordingPrompter prompter;
        const QString collection = work.filePath(QStringLiteral("collection"));
        Database db(prompter, collection, work.filePath(QStringLiteral("profile.ini")));
        ImportSetup setup;
        if (setup.open(file) != ImportSetup::OpenResult::Ok) {
            return fail(QStringLiteral("cannot open %1").arg(file));
        }
        setup.autoAssign();
        ImportProcess process(db, setup.takeReader(), setup.plan());
        ours = stepToEnd(process);
        added = process.songsAdded();
        rejected = process.linesRejected();
        if (!prompter.messages.isEmpty()) {
            return fail(prompter.messages.first().text);
        }
        // The rest of the command line's whole run: album entries for the songs just added.
        const std::unique_ptr<AlbumEntriesProcess> entries = albumEntriesAfter(db, process, ImportOptions{});
        if (!entries) {
            return fail(QStringLiteral("the import added no songs to make album entries for"));
        }
        albumEntries = stepToEnd(*entries);
        albumsMade = entries->albumsCreated();
        songsLinked = entries->songsLinked();
        if (!prompter.messages.isEmpty() || entries->stoppedByFailure()) {
            return fail(QStringLiteral("album entries failed"));
        }
    }
    const double memoryAfter = residentMb();
    // What the search index adds to the bulk load: the same index made once more over the songs
    // just loaded, as the load made it after its keys.
    double searchIndexMs = 0;
    {
        RecordingPrompter prompter;
        Database db(prompter, work.filePath(QStringLiteral("collection")),
                    work.filePath(QStringLiteral("profile.ini")));
        const TableDef& songsTable = tableDef(TableId::Tunarium);
        if (!db.openTable(TableId::Tunarium)) {
            return fail(QStringLiteral("the imported collection could not be opened"));
        }
        for (const QString& drop : sql::dropSearchIndexSql(songsTable)) {
            db.store().exec(drop);
        }
        QElapsedTimer timer;
        timer.start();
        for (const QString& definition : sql::createSearchIndexSql(songsTable)) {
            db.store().exec(definition);
        }
        db.store().exec(sql::rebuildSearchIndexSql(songsTable));
        searchIndexMs = elapsedMs(timer);
    }

    // Lines added to a collection that holds songs go in one by one with their keys: the first
    // lines of the file once more, into the collection just made.
    const QString part = work.filePath(QStringLiteral("part.csv"));
    qint64 partLines = 0;
    {
        DelimitedReader reader;
        DelimitedWriter writer;
        if (!reader.open(file) || !writer.create(part)) {
            return fail(QStringLiteral("cannot write %1").arg(part));
        }
        QString line;
        while (partLines <= kAddedLines && reader.readLine(line)) {
            writer.writeLine(line);
            ++partLines;
        }
        writer.finish();
    }
    StepFigures intoSongs;
    {
        RecordingPrompter prompter;
        Database db(prompter, work.filePath(QStringLiteral("collection")),
                    work.filePath(QStringLiteral("profile.ini")));
        ImportSetup setup;
        if (setup.open(part) != ImportSetup::OpenResult::Ok) {
            return fail(QStringLiteral("cannot open %1").arg(part));
        }
        setup.autoAssign();
        ImportProcess process(db, setup.takeReader(), setup.plan());
        intoSongs = stepToEnd(process);
        if (!prompter.messages.isEmpty() || process.loadsInBulk()) {
            return fail(QStringLiteral("adding lines to the collection failed"));
        }
    }

    // The shell: the same file into a table of its columns, then the songs table's keys over them.
    QStringList columns;
    for (const ExportField& f : exportableFields()) {
        columns << quoted(f.field);
    }
    // The file carries no song numbers or album links: the shell numbers its rows as the import
    // numbers its songs, so that every key has its columns.
    QString script =
        QStringLiteral(
            "PRAGMA journal_mode=WAL;\nCREATE TABLE songs (%1);\n.import --csv --skip 1 \"%2\" songs\n"
            "ALTER TABLE songs ADD COLUMN \"TUN:ID\" INTEGER NOT NULL DEFAULT 0;\n"
            "ALTER TABLE songs ADD COLUMN \"TUN:AlbumID\" INTEGER NOT NULL DEFAULT 0;\n"
            "UPDATE songs SET \"TUN:ID\" = rowid;\n")
            .arg(columns.join(u','), file);
    const TableDef& t = tableDef(TableId::Tunarium);
    for (const KeyDef& key : t.keys) {
        script += shellIndexSql(t, key, QStringLiteral("TUN:"), QStringLiteral("songs"));
    }
    QString error;
    const double raw = shellMs(work.filePath(QStringLiteral("shell.db")), script, error);
    if (raw < 0) {
        return fail(error);
    }
    // The shell's album entries: an album table with the album keys, one album for each album
    // title and artist (from its first song), and every song linked to it.
    QString albumScript = QStringLiteral(
        "CREATE TABLE albums (\"ALB:AlbumID\" INTEGER, \"ALB:Artist\", \"ALB:Album\", \"ALB:Media\", "
        "\"ALB:FileNumber\", \"ALB:ReleaseDate\", \"ALB:CategoryID\", \"ALB:Notes\", "
        "\"ALB:AssociatedWAVFile\" DEFAULT '', \"ALB:AssociatedImage\" DEFAULT '', \"ALB:CDIdentifier\" "
        "DEFAULT '', \"ALB:XCCD\" DEFAULT '', \"ALB:Playlist\" DEFAULT '', \"ALB:Rating\" DEFAULT 0, "
        "\"ALB:TotalTime\" DEFAULT 0, \"ALB:Recording\" DEFAULT '', \"ALB:Performance\" DEFAULT '');\n"
        "INSERT INTO albums SELECT row_number() OVER (ORDER BY first), \"TUN:Artist\", \"TUN:Album\", "
        "\"TUN:Media\", \"TUN:FileNumber\", \"TUN:ReleaseDate\", \"TUN:CategoryID\", \"TUN:Notes\", '', '', '', "
        "'', '', 0, 0, '', '' FROM (SELECT MIN(rowid) AS first, * FROM songs WHERE \"TUN:Album\" <> '' GROUP BY "
        "\"TUN:Album\" COLLATE NOCASE, \"TUN:Artist\" COLLATE NOCASE) ORDER BY first;\n");
    const TableDef& albumsTable = tableDef(TableId::Album);
    for (const KeyDef& key : albumsTable.keys) {
        albumScript += shellIndexSql(albumsTable, key, QStringLiteral("ALB:"), QStringLiteral("albums"));
    }
    albumScript += QStringLiteral(
        "UPDATE songs SET \"TUN:AlbumID\" = (SELECT \"ALB:AlbumID\" FROM albums a WHERE a.\"ALB:Album\" = "
        "songs.\"TUN:Album\" COLLATE NOCASE AND a.\"ALB:Artist\" = songs.\"TUN:Artist\" COLLATE NOCASE) WHERE "
        "\"TUN:Album\" <> '';\n");
    const double rawAlbums = shellMs(work.filePath(QStringLiteral("shell.db")), albumScript, error);
    if (rawAlbums < 0) {
        return fail(error);
    }
    figure("import_lines", static_cast<double>(songs), "lines");
    figure("import_songs_added", static_cast<double>(added), "songs");
    figure("import_lines_rejected", static_cast<double>(rejected), "lines");
    figure("import_total", ours.totalMs, "ms");
    if (ours.messageChangedMs > 0) {
        figure("import_lines_read", ours.messageChangedMs, "ms");
        figure("import_keys_built", ours.totalMs - ours.messageChangedMs, "ms");
    }
    figure("import_search_index_build", searchIndexMs, "ms");
    figure("import_without_fts", ours.totalMs - searchIndexMs, "ms");
    ratio("import_with_fts", ours.totalMs, ours.totalMs - searchIndexMs);
    loadAverage();
    figure("import_sqlite_shell", raw, "ms");
    ratio("import", ours.totalMs, raw);
    // The command line's whole run: the import, then album entries for its songs.
    figure("import_album_entries", albumEntries.totalMs, "ms");
    figure("import_album_entries_longest_tick", albumEntries.longestTickMs, "ms");
    figure("import_albums_made", static_cast<double>(albumsMade), "albums");
    figure("import_songs_linked", static_cast<double>(songsLinked), "songs");
    figure("import_album_entries_sqlite_shell", rawAlbums, "ms");
    ratio("import_album_entries", albumEntries.totalMs, rawAlbums);
    figure("import_whole_run", ours.totalMs + albumEntries.totalMs, "ms");
    figure("import_whole_run_sqlite_shell", raw + rawAlbums, "ms");
    ratio("import_whole_run", ours.totalMs + albumEntries.totalMs, raw + rawAlbums);
    figure("import_longest_tick", ours.longestTickMs, "ms");
    figure("import_memory_growth", memoryAfter - memoryBefore, "MB");
    figure("import_into_songs_lines", static_cast<double>(partLines - 1), "lines");
    figure("import_into_songs_total", intoSongs.totalMs, "ms");
    figure("import_into_songs_rate", (partLines - 1) / (intoSongs.totalMs / 1000), "lines/s");
    figure("import_into_songs_longest_tick", intoSongs.longestTickMs, "ms");
    return 0;
}

} // namespace tunarium::bench
