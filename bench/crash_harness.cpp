// The parent side of the crash harness: children started, killed and checked after.
#include "crash_harness.h"
#include "data/store_sqlite.h"

#include "bench_report.h"
#include "collection_generator.h"

#include "data/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>
#include <cstdio>

namespace tunarium::bench {

namespace {

constexpr int kLinesPerStep = 25; // an import commits its lines 25 at a time
constexpr int kLineImportLines = 1200;
// Past the size from which an import into an empty collection loads in bulk (4 MB): few lines,
// each with long notes, so that a kill comes at any moment of the load without a long wait.
constexpr int kBulkImportLines = 5000;
constexpr int kBulkNotesLength = 900;
constexpr int kFirstDelayMs = 300;
constexpr int kImportDelayCapMs = 120000;
constexpr int kRunToTheEnd = -1; // a workload's first run is not killed
// The playlist-move workload's collection: small, whatever the size of the full one, with one
// playlist of a few hundred entries.
constexpr qint64 kPlaylistSongs = 1000;
constexpr int kPlaylistEntries = 300;

void say(const QString& text) {
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

QString cliPath() {
    const QString given = qEnvironmentVariable("TUNARIUM_CLI");
    return given.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/tunarium-cli") : given;
}

bool writeSongLines(const QString& path, int lines, const QString& tag, int notesLength) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QString notes =
        QStringLiteral("Notes of the song ").repeated(notesLength / 18 + 1).left(notesLength);
    for (int i = 1; i <= lines; ++i) {
        file.write(QStringLiteral("%1 Artist %2,%1 title %3,%1 Album %4,%5\n")
                       .arg(tag)
                       .arg(i % 300)
                       .arg(i)
                       .arg(i / 12)
                       .arg(notes)
                       .toUtf8());
    }
    return file.error() == QFileDevice::NoError;
}

// A PDF file killed while written is not there or is the whole of an earlier one: never a part.
QString pdfWholeOrAbsent(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("the report %1 cannot be read").arg(path);
    }
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("%PDF-") || !bytes.right(32).contains("%%EOF")) {
        return QStringLiteral("the report %1 is a part of a PDF file (%2 bytes)").arg(path).arg(bytes.size());
    }
    return {};
}

QStringList importArgs(const QString& dir, const QString& file) {
    return {QStringLiteral("--dir"),
            dir,
            QStringLiteral("import"),
            file,
            QStringLiteral("--assign"),
            QStringLiteral("Field_1=TUN:Artist"),
            QStringLiteral("--assign"),
            QStringLiteral("Field_2=TUN:Title"),
            QStringLiteral("--assign"),
            QStringLiteral("Field_3=TUN:Album"),
            QStringLiteral("--assign"),
            QStringLiteral("Field_4=TUN:Notes"),
            QStringLiteral("--no-create-albums"),
            QStringLiteral("--quiet")};
}

StoreError makeEmptyCollection(const QString& dir) {
    QDir(dir).removeRecursively();
    SqliteStore store;
    if (StoreError e = store.open(dir)) {
        return e;
    }
    for (const TableDef& t : allTables()) {
        if (StoreError e = store.openTable(t.id)) {
            return e;
        }
    }
    return {};
}

// A collection of its own for the playlist moves; `songIds` receives its playlist's songs.
QString makePlaylistCollection(const QString& dir, QList<qint64>& songIds) {
    QDir(dir).removeRecursively();
    {
        SqliteStore store;
        if (StoreError e = store.open(dir)) {
            return e.describe();
        }
        GeneratorOptions generator;
        generator.songs = kPlaylistSongs;
        generator.playlists = 1;
        generator.entriesPerPlaylist = kPlaylistEntries;
        GeneratorResult result;
        if (StoreError e = generateCollection(store, generator, result)) {
            return e.describe();
        }
    }
    QString problem;
    if (!playlistFromOutside(dir, kCrashPlaylistId, songIds, problem)) {
        return problem;
    }
    if (songIds.size() != kPlaylistEntries) {
        return QStringLiteral("the playlist was made with %1 entries").arg(songIds.size());
    }
    return {};
}

// A backup of `pristine` with fewer songs, at `to`, made through a scratch collection in `scratch`.
QString makeSmallerBackup(const QString& pristine, const QString& scratch, const QString& to, qint64& pristineSongs,
                          qint64& smallerSongs) {
    QDir(scratch).removeRecursively();
    QDir().mkpath(scratch);
    QFile::remove(to);
    if (!QFile::copy(pristine, QDir(scratch).filePath(QString::fromLatin1(kCollectionFileName)))) {
        return QStringLiteral("cannot copy %1").arg(pristine);
    }
    SqliteStore store;
    StoreError e = store.open(scratch);
    if (!e) {
        pristineSongs = store.count(TableId::Tunarium);
        e = store.exec(QStringLiteral("DELETE FROM \"Tunarium\" WHERE rowid % 3 = 0"));
    }
    if (!e) {
        smallerSongs = store.count(TableId::Tunarium);
        e = store.backupTo(to);
    }
    if (!e && smallerSongs == pristineSongs) {
        return QStringLiteral("the smaller backup has as many songs as the pristine one");
    }
    return e ? e.describe() : QString();
}

// The song counts a kill may leave, from the child's journal: the last one committed and, when a
// change was under way, the one it would leave.
QList<qint64> allowedFromJournal(const QString& path, qint64 before) {
    QFile file(path);
    QList<qint64> allowed{before};
    if (!file.open(QIODevice::ReadOnly)) {
        return allowed;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 2) {
            continue;
        }
        const qint64 n = parts[1].toLongLong();
        if (parts[0] == "committed") {
            allowed = {n};
        } else {
            allowed = {allowed.first(), n};
        }
    }
    return allowed;
}

// The program opens the collection and works: a song added and deleted again.
QString programWorks(const QString& dir) {
    RecordingPrompter prompter;
    Database db(prompter, dir, dir + QStringLiteral("/crash-profile.ini"));
    for (const TableDef& t : allTables()) {
        if (!db.openTable(t.id)) {
            return QStringLiteral("the program cannot open %1").arg(t.label);
        }
    }
    SongRecord s;
    if (StoreError e = db.store().nextNumber(TableId::Tunarium, s.id)) {
        return QStringLiteral("no next song number: ") + e.describe();
    }
    s.title = QStringLiteral("After the crash");
    if (StoreError e = db.store().insert(s)) {
        return QStringLiteral("cannot add a song: ") + e.describe();
    }
    if (db.remove(s) != kRoutineDone) {
        return QStringLiteral("cannot delete the song again");
    }
    return {};
}

// The repair workload's collection made again from the damaged file: nothing else beside it.
bool resetRepairCollection(const QString& dir, const QString& damaged) {
    QDir(dir).removeRecursively();
    return QDir().mkpath(dir) && QFile::copy(damaged, QDir(dir).filePath(QString::fromLatin1(kCollectionFileName)));
}

// Runs tunarium-cli repair on `dir` to its end; false when it did not end of itself (a crash).
bool repairToTheEnd(const QString& dir, QString& output) {
    QProcess repair;
    repair.setProcessChannelMode(QProcess::MergedChannels);
    repair.start(cliPath(), {QStringLiteral("--dir"), dir, QStringLiteral("repair")});
    const bool ended = repair.waitForFinished(600000) && repair.exitStatus() == QProcess::NormalExit;
    output = QString::fromUtf8(repair.readAll()).trimmed();
    return ended && (repair.exitCode() == 0 || repair.exitCode() == 1);
}

// What is wrong with the repair workload's collection after a kill and a repair run again to its
// end: the songs must be those an unbroken repair saves, the damaged file kept once and whole,
// no repair folder left.
QStringList checkRepaired(const QString& dir, const QByteArray& damaged, qint64 repairedSongs, qint64 after,
                          const QString& output) {
    QStringList problems;
    if (after != repairedSongs) {
        problems << QStringLiteral("the repair left %1 songs, an unbroken one %2 (%3)")
                        .arg(after)
                        .arg(repairedSongs)
                        .arg(output);
    }
    const QStringList kept = QDir(dir).entryList({QStringLiteral("tunarium-damaged-*.db")}, QDir::Files);
    if (kept.size() != 1) {
        problems << QStringLiteral("%1 damaged copies kept (%2)").arg(kept.size()).arg(kept.join(u' '));
    } else {
        QFile copy(QDir(dir).filePath(kept.first()));
        if (!copy.open(QIODevice::ReadOnly) || copy.readAll() != damaged) {
            problems << QStringLiteral("the damaged copy %1 differs from the damaged file").arg(kept.first());
        }
    }
    if (QFileInfo::exists(QDir(dir).filePath(QStringLiteral(".tunarium-repair")))) {
        problems << QStringLiteral("the repair folder was left behind");
    }
    return problems;
}

} // namespace

CrashFigures runCrashHarness(const CrashOptions& options, QString& error) {
    CrashFigures figures;
    QDir work(options.dir);
    if (!work.mkpath(QStringLiteral("."))) {
        error = QStringLiteral("cannot make %1").arg(options.dir);
        return figures;
    }
    say(QStringLiteral("crash harness: seed %1, %2 kills").arg(options.seed).arg(options.kills));
    const QString full = work.filePath(QStringLiteral("full"));
    const QString empty = work.filePath(QStringLiteral("empty"));
    const QString playlist = work.filePath(QStringLiteral("playlist"));
    const QString lines = work.filePath(QStringLiteral("lines.csv"));
    const QString bulk = work.filePath(QStringLiteral("bulk.csv"));
    const QString journal = work.filePath(QStringLiteral("journal.txt"));
    const QString reportFile = work.filePath(QStringLiteral("report.pdf"));
    QDir(full).removeRecursively();
    {
        SqliteStore store;
        if (StoreError e = store.open(full)) {
            error = e.describe();
            return figures;
        }
        if (!options.source.isEmpty()) {
            store.close();
            SqliteStore source;
            StoreError e = source.open(options.source);
            if (!e) {
                QFile::remove(QDir(full).filePath(QString::fromLatin1(kCollectionFileName)));
                e = source.backupTo(QDir(full).filePath(QString::fromLatin1(kCollectionFileName)));
            }
            if (e) {
                error = e.describe();
                return figures;
            }
        } else {
            GeneratorOptions generator;
            generator.songs = options.songs;
            generator.playlists = 0; // an album on a playlist may not be deleted
            GeneratorResult result;
            if (StoreError e = generateCollection(store, generator, result)) {
                error = e.describe();
                return figures;
            }
        }
    }
    const QString pristine = work.filePath(QStringLiteral("pristine.db"));
    QFile::remove(pristine);
    {
        SqliteStore store;
        StoreError e = store.open(full);
        if (!e) {
            e = store.backupTo(pristine);
        }
        if (e) {
            error = e.describe();
            return figures;
        }
    }
    // The restore workload replaces the collection with one of two backups, the pristine one or
    // one with fewer songs, whichever it does not hold.
    const QString smaller = work.filePath(QStringLiteral("smaller.db"));
    qint64 pristineSongs = 0;
    qint64 smallerSongs = 0;
    if (const QString problem = makeSmallerBackup(pristine, work.filePath(QStringLiteral("smaller")), smaller,
                                                  pristineSongs, smallerSongs);
        !problem.isEmpty()) {
        error = problem;
        return figures;
    }
    if (!writeSongLines(lines, kLineImportLines, QStringLiteral("Line"), 80) ||
        !writeSongLines(bulk, kBulkImportLines, QStringLiteral("Bulk"), kBulkNotesLength)) {
        error = QStringLiteral("cannot write the import files in %1").arg(options.dir);
        return figures;
    }

    // The repair workload: a damaged copy of the full collection, and the songs a repair of it
    // saves when nothing stops it.
    const QString repairDir = work.filePath(QStringLiteral("repair"));
    const QString damagedFile = work.filePath(QStringLiteral("damaged.db"));
    QFile::remove(damagedFile);
    QFile::copy(pristine, damagedFile);
    if (const QString problem = damageSongsPage(damagedFile); !problem.isEmpty()) {
        error = problem;
        return figures;
    }
    QByteArray damagedBytes;
    {
        QFile f(damagedFile);
        damagedBytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    qint64 repairedSongs = -1;
    {
        QString output;
        if (!resetRepairCollection(repairDir, damagedFile) || !repairToTheEnd(repairDir, output)) {
            error = QStringLiteral("the repair of the damaged collection failed: ") + output;
            return figures;
        }
        if (const QStringList problems = checkCollectionFromOutside(repairDir, repairedSongs); !problems.isEmpty()) {
            error = QStringLiteral("an unbroken repair left a damaged collection: ") + problems.join(u'\n');
            return figures;
        }
    }

    QList<qint64> playlistSongs;
    if (const QString problem = makePlaylistCollection(playlist, playlistSongs); !problem.isEmpty()) {
        error = problem;
        return figures;
    }

    QRandomGenerator rng(options.seed);
    const QStringList workloads = crashWorkloads();
    QHash<QString, int> maxDelay;
    QHash<QString, int> killsOf;
    QHash<QString, qint64> soundSongs; // per collection: its songs when it last passed every check
    for (const QString& w : workloads) {
        // The bulk import runs once to its end first, so that its kills then fall anywhere in it:
        // in the load, in the build of the keys and at the commit. Every moment of the others is
        // like another (a line import commits 25 lines at a time; the rest repeat their work).
        maxDelay.insert(w, w == QLatin1String("bulk-import") || w == QLatin1String("repair") ? kRunToTheEnd
                                                                                             : kFirstDelayMs);
    }
    int attempts = 0;
    while (figures.kills < options.kills && attempts < options.kills * 4) {
        ++attempts;
        const QString workload =
            workloads[static_cast<int>(rng.bounded(static_cast<quint32>(workloads.size())))];
        const bool bulkImport = workload == QLatin1String("bulk-import");
        const bool lineImport = workload == QLatin1String("line-import");
        const bool restore = workload == QLatin1String("restore");
        const bool playlistMove = workload == QLatin1String("playlist-move");
        // A report printed into a PDF file beside the collection, by the command line.
        const bool reportPdf = workload == QLatin1String("report-pdf");
        const bool repair = workload == QLatin1String("repair");
        const QString dir = bulkImport ? empty : playlistMove ? playlist : repair ? repairDir : full;
        if (repair && !resetRepairCollection(repairDir, damagedFile)) {
            error = QStringLiteral("cannot copy the damaged collection to %1").arg(repairDir);
            return figures;
        }
        if (bulkImport) {
            if (StoreError e = makeEmptyCollection(empty)) {
                error = e.describe();
                return figures;
            }
        }
        // A collection that passed every check after the last kill is not checked again before
        // the next (at a million songs the checks take longer than the work).
        qint64 before = soundSongs.value(dir, -1);
        soundSongs.remove(dir);
        if (before < 0 && !repair) {
            if (const QStringList problems = checkCollectionFromOutside(dir, before); !problems.isEmpty()) {
                error = QStringLiteral("the collection was damaged before the child started: ") +
                        problems.join(u'\n');
                return figures;
            }
        }
        QFile::remove(journal);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A restore brings in whichever backup the collection does not hold.
        const bool restoreSmaller = before == pristineSongs;
        const qint64 restoredSongs = restoreSmaller ? smallerSongs : pristineSongs;
        if (bulkImport || lineImport) {
            child.start(cliPath(), importArgs(dir, bulkImport ? bulk : lines));
        } else if (restore) {
            child.start(cliPath(), {QStringLiteral("--dir"), dir, QStringLiteral("restore"),
                                    restoreSmaller ? smaller : pristine});
        } else if (reportPdf) {
            child.start(cliPath(), {QStringLiteral("--dir"), dir, QStringLiteral("report"),
                                    QStringLiteral("songs-by-artist"), QStringLiteral("--pdf"), reportFile,
                                    QStringLiteral("--quiet")});
        } else if (repair) {
            child.start(cliPath(), {QStringLiteral("--dir"), dir, QStringLiteral("repair")});
        } else {
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("crash-child"), QStringLiteral("--dir"), dir,
                         QStringLiteral("--workload"), workload, QStringLiteral("--journal"), journal,
                         QStringLiteral("--seed"), QString::number(rng.generate())});
        }
        if (!child.waitForStarted(10000)) {
            error = QStringLiteral("cannot start the child for %1").arg(workload);
            return figures;
        }
        QElapsedTimer clock;
        clock.start();
        const bool oneCommand = bulkImport || lineImport || restore || reportPdf || repair;
        if (!oneCommand) {
            child.waitForReadyRead(10000); // "ready": the collection is open
        }
        const int delay =
            maxDelay.value(workload) == kRunToTheEnd
                ? kImportDelayCapMs
                : static_cast<int>(rng.bounded(static_cast<quint32>(std::max(1, maxDelay.value(workload)))));
        const bool ended = child.waitForFinished(delay);
        if (ended) {
            // Too late: the next kill of this workload comes sooner.
            maxDelay[workload] = std::max(20, static_cast<int>(clock.elapsed() * 9 / 10));
            ++figures.finished;
            continue;
        }
        // Killed in time: the next kill may come later, so that the whole run is reached.
        // Only an import runs long enough to need it: the others repeat their work in a loop, where
        // every moment is like another after the first few hundred milliseconds.
        maxDelay[workload] =
            std::min(oneCommand ? kImportDelayCapMs : 600, maxDelay.value(workload) * 9 / 8);
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        child.waitForFinished(10000);
        ++figures.kills;
        ++killsOf[workload];

        QStringList problems;
        qint64 after = 0;
        bool rolledBack = false;
        if (repair) {
            // The collection file is there whatever moment the kill came at; the next repair
            // finishes or undoes the one killed and gives what an unbroken one gives.
            QString output;
            if (!QFileInfo::exists(QDir(dir).filePath(QString::fromLatin1(kCollectionFileName)))) {
                problems << QStringLiteral("the kill left no collection file");
            } else if (!repairToTheEnd(dir, output)) {
                problems << QStringLiteral("the repair after the kill failed: ") + output;
            }
            rolledBack = !output.contains(QStringLiteral("No damage was found"));
            if (problems.isEmpty()) {
                problems << checkCollectionFromOutside(dir, after);
            }
            if (problems.isEmpty()) {
                problems << checkRepaired(dir, damagedBytes, repairedSongs, after, output);
            }
        } else {
            problems << checkCollectionFromOutside(dir, after);
        }
        if (problems.isEmpty() && !repair) {
            if (bulkImport) {
                if (after != 0 && after != kBulkImportLines) {
                    problems << QStringLiteral("a bulk import left %1 songs (0 or %2 expected)")
                                    .arg(after)
                                    .arg(kBulkImportLines);
                }
                rolledBack = after == 0;
            } else if (lineImport) {
                const qint64 added = after - before;
                if (added < 0 || added > kLineImportLines || added % kLinesPerStep != 0) {
                    problems << QStringLiteral("a line import added %1 songs (a multiple of %2 expected)")
                                    .arg(added)
                                    .arg(kLinesPerStep);
                }
            } else if (restore) {
                // All of one collection or all of the other, never a mix.
                if (after != before && after != restoredSongs) {
                    problems << QStringLiteral("a restore left %1 songs (%2 before it, %3 in the backup)")
                                    .arg(after)
                                    .arg(before)
                                    .arg(restoredSongs);
                }
                rolledBack = after == before;
            } else if (reportPdf) {
                if (after != before) {
                    problems << QStringLiteral("a report left %1 songs of %2").arg(after).arg(before);
                }
                if (const QString broken = pdfWholeOrAbsent(reportFile); !broken.isEmpty()) {
                    problems << broken;
                }
            } else {
                const QList<qint64> allowed = allowedFromJournal(journal, before);
                if (!allowed.contains(after)) {
                    problems << QStringLiteral("%1 left %2 songs; committed states: %3")
                                    .arg(workload)
                                    .arg(after)
                                    .arg(QString::number(allowed.first()) +
                                         (allowed.size() > 1
                                              ? QStringLiteral(" or ") + QString::number(allowed.last())
                                              : QString()));
                }
                rolledBack =
                    allowed.size() > 1 && allowed.first() != allowed.last() && after == allowed.first();
            }
            if (playlistMove) {
                problems << checkPlaylistFromOutside(dir, kCrashPlaylistId, playlistSongs);
            }
        }
        if (problems.isEmpty()) {
            QProcess check;
            check.start(cliPath(),
                        {QStringLiteral("--dir"), dir, QStringLiteral("check"), QStringLiteral("--quiet")});
            if (!check.waitForFinished(600000) || check.exitStatus() != QProcess::NormalExit ||
                check.exitCode() != 0) {
                problems << QStringLiteral("tunarium-cli check failed: ") +
                                QString::fromUtf8(check.readAll()).trimmed();
            }
        }
        if (problems.isEmpty()) {
            if (const QString broken = programWorks(dir); !broken.isEmpty()) {
                problems << broken;
            }
        }
        if (problems.isEmpty()) {
            soundSongs.insert(dir, after);
            ++figures.recovered;
            figures.rolledBack += rolledBack ? 1 : 0;
            say(QStringLiteral("kill %1: %2 after %3 ms, %4 songs, sound%5")
                    .arg(figures.kills)
                    .arg(workload)
                    .arg(delay)
                    .arg(after)
                    .arg(rolledBack ? QStringLiteral(" (rolled back)") : QString()));
        } else {
            ++figures.damaged;
            say(QStringLiteral("DAMAGED after kill %1 (%2, %3 ms): %4")
                    .arg(figures.kills)
                    .arg(workload)
                    .arg(delay)
                    .arg(problems.join(QStringLiteral("; "))));
            // Go on from a sound collection so that one fault is not counted again and again.
            if (playlistMove) {
                if (const QString problem = makePlaylistCollection(playlist, playlistSongs);
                    !problem.isEmpty()) {
                    error = problem;
                    return figures;
                }
            } else if (!bulkImport && !repair) {
                QDir(full).removeRecursively();
                QDir().mkpath(full);
                QFile::copy(pristine, QDir(full).filePath(QString::fromLatin1(kCollectionFileName)));
            }
        }
    }
    for (const QString& w : workloads) {
        say(QStringLiteral("crash_kills_%1 %2").arg(w).arg(killsOf.value(w)));
    }
    return figures;
}

bool reportCrashFigures(const CrashFigures& figures, int killsAsked) {
    figure("crash_kills", figures.kills, "kills");
    figure("crash_finished_before_kill", figures.finished, "children");
    figure("crash_damaged", figures.damaged, "collections");
    figure("crash_recovered", figures.recovered, "states");
    figure("crash_rolled_back", figures.rolledBack, "transactions");
    return figures.damaged == 0 && figures.kills >= killsAsked;
}

} // namespace tunarium::bench
