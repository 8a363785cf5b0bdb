// The server benchmark: a collection file loaded into a PostgreSQL server by copy-from, then the
// collection opened, browsed, searched, its playlists made and read, a song saved and songs
// imported, each on the server and on the collection file it came from (its figures named
// "server_…" and "file_…"), with the round trips each operation made to the server (the cost on a
// real network is the trips times its round trip, 0.3 ms on a station's network), and the browse
// beside raw libpq's read of the same page.
#include "bench_browse.h"
#include "bench_commands.h"
#include "bench_pg_reader.h"
#include "bench_process.h"
#include "bench_report.h"
#include "bench_support.h"
#include "collection_generator.h"

#include "catalogue/list_engine.h"
#include "catalogue/songs_browse.h"
#include "data/database.h"
#include "data/records.h"
#include "data/store_copy.h"
#include "data/store_sqlite.h"
#include "exchange/import_process.h"
#include "exchange/import_setup.h"
#include "playlists/playlist_entries.h"
#include "playlists/playlist_forms.h"
#include "playlists/playlist_generator.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <libpq-fe.h>

namespace tunarium::bench {

namespace {

constexpr int kLines = 30;
constexpr const char* kBenchDatabase = "tunarium_bench";
constexpr const char* kImportDatabase = "tunarium_bench_import";
constexpr qint64 kImportSongs = 10000;

// The times of one operation and the round trips of each.
struct Measured {
    QVector<double> ms;
    QVector<double> trips;

    template <class F> void run(Store& store, F&& f) {
        const qint64 before = roundTripsOf(store);
        QElapsedTimer timer;
        timer.start();
        f();
        ms << elapsedMs(timer);
        trips << static_cast<double>(roundTripsOf(store) - before);
    }

    // The median time, and on a server the mean of the round trips.
    void report(const char* name, bool server) const {
        figure(name, median(ms), "ms");
        if (server) {
            double sum = 0;
            for (double t : trips) {
                sum += t;
            }
            figure((QByteArray(name) + "_trips").constData(), trips.isEmpty() ? 0 : sum / trips.size(), "trips");
        }
    }
};

// `server`'s address with its database replaced by `database`.
QString withDatabase(const QString& server, const char* database) {
    char* problem = nullptr;
    PQconninfoOption* options = PQconninfoParse(server.toUtf8().constData(), &problem);
    if (!options) {
        PQfreemem(problem);
        return {};
    }
    QStringList parts;
    for (const PQconninfoOption* o = options; o->keyword; ++o) {
        if (o->val && *o->val && qstrcmp(o->keyword, "dbname") != 0) {
            QString value = QString::fromUtf8(o->val);
            value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
            parts << QStringLiteral("%1='%2'").arg(QString::fromLatin1(o->keyword), value);
        }
    }
    PQconninfoFree(options);
    parts << QStringLiteral("dbname=%1").arg(QString::fromLatin1(database));
    return parts.join(u' ');
}

// Makes the database `name` afresh on the server (the bench's own: dropped first when there);
// empty when it worked, else why not.
QString freshDatabase(const QString& server, const char* name) {
    PGconn* conn = PQconnectdb(server.toUtf8().constData());
    QString problem;
    if (PQstatus(conn) != CONNECTION_OK) {
        problem = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    }
    for (const QByteArray& sql : {QByteArray("DROP DATABASE IF EXISTS ") + name + " WITH (FORCE)",
                                  QByteArray("CREATE DATABASE ") + name + " ENCODING 'UTF8'"}) {
        if (!problem.isEmpty()) {
            break;
        }
        PGresult* result = PQexec(conn, sql.constData());
        if (PQresultStatus(result) != PGRES_COMMAND_OK) {
            problem = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
        }
        PQclear(result);
    }
    PQfinish(conn);
    return problem;
}

bool isServer(Database& db) {
    return dynamic_cast<PgStore*>(&db.store()) != nullptr;
}

QString copyPart(const QString& dir, const QString& location, const QString& server) {
    if (const QString problem = freshDatabase(server, kBenchDatabase); !problem.isEmpty()) {
        return problem;
    }
    if (StoreError e = initServerCollection(location)) {
        return e.describe();
    }
    QVector<CopiedTable> copied;
    QElapsedTimer timer;
    timer.start();
    if (StoreError e = copyFileToServer(QDir(dir).filePath(kCollectionFileName), location, copied)) {
        return e.describe();
    }
    const double seconds = elapsedMs(timer) / 1000;
    qint64 songs = 0;
    qint64 records = 0;
    for (const CopiedTable& t : copied) {
        records += t.records;
        if (t.label == tableDef(TableId::Tunarium).label) {
            songs = t.records;
        }
    }
    figure("server_copy_from", seconds, "s");
    figure("server_copy_from_songs", static_cast<double>(songs), "songs");
    figure("server_copy_from_records", static_cast<double>(records), "records");
    figure("server_copy_from_rate", seconds > 0 ? static_cast<double>(records) / seconds : 0, "records/s");
    loadAverage();
    return {};
}

// The songs and their categories opened as the songs browse opens them, from a new start.
QString openPart(const QString& location) {
    Measured open;
    bool server = false;
    for (int run = 0; run < 7; ++run) {
        RecordingPrompter prompter;
        QTemporaryDir config;
        QElapsedTimer timer;
        timer.start();
        Database db(prompter, location, config.filePath(QStringLiteral("profile.ini")));
        if (!db.openTables({TableId::Tunarium, TableId::Categories})) {
            return QStringLiteral("the songs cannot be opened");
        }
        open.ms << elapsedMs(timer);
        open.trips << static_cast<double>(roundTripsOf(db.store()));
        server = isServer(db);
    }
    open.report("open_songs", server);
    return {};
}

QString searchPart(const QString& location) {
    RecordingPrompter prompter;
    QTemporaryDir config;
    Database db(prompter, location, config.filePath(QStringLiteral("profile.ini")));
    NullHost host;
    ListEngine engine(db, songsListDefinition(), host);
    if (!engine.open()) {
        return QStringLiteral("the songs cannot be opened");
    }
    engine.setLineCount(kLines);
    const qint64 before = roundTripsOf(db.store());
    searchBoxFigures(db, engine);
    if (isServer(db)) {
        figure("search_box_all_trips", static_cast<double>(roundTripsOf(db.store()) - before), "trips");
    }
    return {};
}

// Playlists made by the generator, a 500-entry playlist's first page of entries, and its last
// entry moved to the top (each undone by moving it back).
QString playlistsPart(Database& db) {
    const bool server = isServer(db);
    Store& store = db.store();
    Measured generate;
    for (int run = 0; run < 11; ++run) {
        SeededRandom random(static_cast<quint32>(run + 1));
        PlaylistGenerator generator(db, random);
        GeneratorChoice choice;
        choice.size = 100;
        int entries = 0;
        generate.run(store, [&] { entries = generator.generate(choice).entries; });
        if (entries != 100) {
            return QStringLiteral("the generator made %1 entries of 100").arg(entries);
        }
    }
    generate.report("generate_100_songs", server);

    qint64 playlistId = 0;
    if (StoreError e = makePlaylist(db, playlistId, 500)) {
        return e.describe();
    }
    NullHost host;
    ListEngine entries(db, entriesListDefinition(), host);
    entries.open();
    entries.setLineCount(kLines);
    entries.setRangeValue(1, {playlistId});
    entries.refresh();
    Measured page;
    for (int run = 0; run < 21; ++run) {
        entries.scroll(ScrollAction::Bottom);
        page.run(store, [&] { entries.scroll(ScrollAction::Top); });
    }
    if (entries.rowCount() != kLines) {
        return QStringLiteral("the entries page holds %1 rows").arg(entries.rowCount());
    }
    entries.close();
    page.report("entries_page_500", server);

    PlaylistEntries playlist(db, playlistId);
    Measured move;
    for (int run = 0; run < 5; ++run) {
        PlaylistEntryRecord last;
        store.get(pla::kKeyPlaylistId, {playlistId, qint64(500)}, last);
        PlaylistEntryRecord moved;
        bool ok = false;
        move.run(store, [&] { ok = playlist.move(last, EntryMove::Top, moved); });
        if (!ok || moved.playlistSeq != 1 || !playlist.move(moved, EntryMove::Bottom, last)) {
            return QStringLiteral("the move of entry 500 failed");
        }
    }
    move.report("move_entry_500_to_top", server);
    return {};
}

// A song's title changed and saved through the update routine, as the song form's OK saves it,
// for songs spread over the collection.
QString savePart(Database& db) {
    const bool server = isServer(db);
    Store& store = db.store();
    qint64 first = 0;
    qint64 last = 0;
    if (StoreError e = store.recordRange(TableId::Tunarium, first, last)) {
        return e.describe();
    }
    const int title = tableDef(TableId::Tunarium).fieldIndex(QStringLiteral("Title"));
    QRandomGenerator rng(23);
    Measured save;
    for (int run = 0; run < 101; ++run) {
        Row row;
        const qint64 at = first + static_cast<qint64>(rng.bounded(static_cast<quint64>(last - first + 1)));
        if (StoreError e = store.fetchAtOrAfter(TableId::Tunarium, at, row)) {
            return e.describe();
        }
        const QString before = row.text(title);
        row.setText(title, before.endsWith(u'!') ? before.chopped(1) : before.left(59) + u'!');
        int result = kRoutineFailed;
        save.run(store, [&] { result = db.update(row, false); });
        if (result != kRoutineDone) {
            return QStringLiteral("a song could not be saved");
        }
    }
    save.report("save_song", server);
    return {};
}

// Songs imported from a delimited file of 10,000 generated songs into an empty collection.
QString importPart(const QString& location, const QString& csv) {
    RecordingPrompter prompter;
    QTemporaryDir config;
    Database db(prompter, location, config.filePath(QStringLiteral("profile.ini")));
    ImportSetup setup;
    if (setup.open(csv) != ImportSetup::OpenResult::Ok) {
        return QStringLiteral("cannot open %1").arg(csv);
    }
    setup.autoAssign();
    ImportProcess process(db, setup.takeReader(), setup.plan());
    const qint64 before = roundTripsOf(db.store());
    const StepFigures figures = stepToEnd(process);
    if (!prompter.messages.isEmpty()) {
        return prompter.messages.first().text;
    }
    const qint64 added = process.songsAdded();
    figure("import_songs", static_cast<double>(added), "songs");
    figure("import_total", figures.totalMs / 1000, "s");
    figure("import_rate", figures.totalMs > 0 ? static_cast<double>(added) / (figures.totalMs / 1000) : 0, "songs/s");
    figure("import_longest_step", figures.longestTickMs, "ms");
    if (isServer(db)) {
        figure("import_trips_per_song",
               added > 0 ? static_cast<double>(roundTripsOf(db.store()) - before) / static_cast<double>(added) : 0,
               "trips");
    }
    return {};
}

// The file the import parts read: 10,000 songs of a generated collection, every field exported.
QString makeImportFile(const QString& folder, QString& csv) {
    const QString collection = QDir(folder).filePath(QStringLiteral("generated"));
    {
        SqliteStore store;
        if (StoreError e = store.open(collection)) {
            return e.describe();
        }
        GeneratorOptions options;
        options.songs = kImportSongs;
        options.seed = 31;
        options.playlists = 0;
        GeneratorResult result;
        if (StoreError e = generateCollection(store, options, result, {})) {
            return e.describe();
        }
    }
    RecordingPrompter prompter;
    Database db(prompter, collection, QDir(folder).filePath(QStringLiteral("profile.ini")));
    csv = QDir(folder).filePath(QStringLiteral("songs.csv"));
    StepFigures unused;
    qint64 songs = 0;
    if (!exportAll(db, prompter, csv, unused, songs) || songs != kImportSongs) {
        return QStringLiteral("the file to import could not be written");
    }
    return {};
}

} // namespace

int serverBench(const QString& dir, const QString& server, const QStringList& parts) {
    if (!QDir(dir).exists(QString::fromLatin1(kCollectionFileName))) {
        return fail(QStringLiteral("no collection in %1").arg(dir));
    }
    const QString location = withDatabase(server, kBenchDatabase);
    if (location.isEmpty()) {
        return fail(QStringLiteral("the server's address does not read: %1").arg(server));
    }
    const auto wanted = [&](const char* part) { return parts.isEmpty() || parts.contains(QLatin1String(part)); };
    const auto both = [&](const std::function<QString(const QString&)>& part) -> QString {
        {
            FigurePrefix prefix("server_");
            if (const QString problem = part(location); !problem.isEmpty()) {
                return problem;
            }
        }
        FigurePrefix prefix("file_");
        return part(dir);
    };
    if (wanted("copy")) {
        if (const QString problem = copyPart(dir, location, server); !problem.isEmpty()) {
            return fail(problem);
        }
    }
    if (wanted("open")) {
        if (const QString problem = both(openPart); !problem.isEmpty()) {
            return fail(problem);
        }
    }
    if (wanted("browse")) {
        const QStringList orders{QStringLiteral("artist"), QStringLiteral("title"), QStringLiteral("bpm"),
                                 QStringLiteral("chart")};
        PgRawReader serverRaw(location, kLines);
        if (!serverRaw.isOpen()) {
            return fail(QStringLiteral("raw libpq cannot connect to %1").arg(location));
        }
        {
            FigurePrefix prefix("server_");
            if (browseBenchOn(location, serverRaw, orders) != 0) {
                return 1;
            }
        }
        RawReader fileRaw(dir, kLines);
        FigurePrefix prefix("file_");
        if (browseBenchOn(dir, fileRaw, orders) != 0) {
            return 1;
        }
        loadAverage();
    }
    if (wanted("search")) {
        if (const QString problem = both(searchPart); !problem.isEmpty()) {
            return fail(problem);
        }
    }
    // The parts that write: on the server's collection (the bench's own database) and on a working
    // copy of the file.
    if (wanted("playlists") || wanted("save")) {
        const auto writing = [&](const QString& at) -> QString {
            WorkingCopy copy;
            std::unique_ptr<Database> serverDb;
            Database* db = nullptr;
            if (at == location) {
                serverDb = std::make_unique<Database>(copy.prompter, location, copy.dir.filePath("profile.ini"));
                for (const TableDef& t : allTables()) {
                    if (!serverDb->openTable(t.id)) {
                        return QStringLiteral("cannot open %1 on the server").arg(t.label);
                    }
                }
                db = serverDb.get();
            } else {
                if (const QString problem = copy.open(at); !problem.isEmpty()) {
                    return problem;
                }
                db = copy.db.get();
            }
            if (wanted("playlists")) {
                if (const QString problem = playlistsPart(*db); !problem.isEmpty()) {
                    return problem;
                }
            }
            return wanted("save") ? savePart(*db) : QString();
        };
        if (const QString problem = both(writing); !problem.isEmpty()) {
            return fail(problem);
        }
    }
    if (wanted("import")) {
        QTemporaryDir work;
        QString csv;
        if (const QString problem = makeImportFile(work.path(), csv); !problem.isEmpty()) {
            return fail(problem);
        }
        const QString importLocation = withDatabase(server, kImportDatabase);
        if (const QString problem = freshDatabase(server, kImportDatabase); !problem.isEmpty()) {
            return fail(problem);
        }
        if (StoreError e = initServerCollection(importLocation)) {
            return fail(e.describe());
        }
        {
            FigurePrefix prefix("server_");
            if (const QString problem = importPart(importLocation, csv); !problem.isEmpty()) {
                return fail(problem);
            }
        }
        FigurePrefix prefix("file_");
        if (const QString problem = importPart(work.filePath(QStringLiteral("imported")), csv); !problem.isEmpty()) {
            return fail(problem);
        }
        loadAverage();
    }
    return 0;
}

} // namespace tunarium::bench
