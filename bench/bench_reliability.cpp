// The reliability figures: the crash harness on a copy of a collection, the check beside SQLite's
// own quick check, and a backup beside the backup API alone.
#include "bench_commands.h"
#include "bench_report.h"
#include "crash_harness.h"

#include "data/database.h"
#include "shell/collection_maintenance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

namespace tunarium::bench {

namespace {

int failed(const QString& message) {
    std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(message));
    return 1;
}

double rawQuickCheckMs(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QElapsedTimer timer;
    timer.start();
    sqlite3_exec(db, "PRAGMA quick_check", nullptr, nullptr, nullptr);
    const double ms = elapsedMs(timer);
    sqlite3_close(db);
    return ms;
}

double rawBackupMs(const QString& file, const QString& target) {
    sqlite3* source = nullptr;
    sqlite3* copy = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &source, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_open(target.toUtf8().constData(), &copy);
    QElapsedTimer timer;
    timer.start();
    sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source, "main");
    sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    const double ms = elapsedMs(timer);
    sqlite3_close(copy);
    sqlite3_close(source);
    QFile::remove(target);
    return ms;
}

} // namespace

int reliabilityBench(const QString& dir, int kills) {
    const QString file = QDir(dir).filePath(QString::fromLatin1(kCollectionFileName));
    if (!QFile::exists(file)) {
        return failed(QStringLiteral("no collection in %1").arg(dir));
    }
    qint64 songs = 0;
    {
        RecordingPrompter prompter;
        Database db(prompter, dir, QDir(dir).filePath(QStringLiteral("bench-profile.ini")));
        if (!db.openTable(TableId::Tunarium)) {
            return failed(QStringLiteral("cannot open the collection in %1").arg(dir));
        }
        songs = db.store().count(TableId::Tunarium);
        db.closeTable(TableId::Tunarium);
        figure("reliability_songs", static_cast<double>(songs), "songs");

        // Each twice, the better of two: the first read warms the page cache for both.
        double check = 0;
        double raw = 0;
        for (int i = 0; i < 2; ++i) {
            raw = i == 0 || rawQuickCheckMs(file) < raw ? rawQuickCheckMs(file) : raw;
            QStringList problems;
            QElapsedTimer timer;
            timer.start();
            if (!checkCollection(db, problems)) {
                return failed(QStringLiteral("the check found damage: ") + problems.join(u'\n'));
            }
            const double ms = elapsedMs(timer);
            check = i == 0 ? ms : std::min(check, ms);
        }
        figure("check_ms", check, "ms");
        figure("raw_quick_check_ms", raw, "ms");
        ratio("check", check, raw);

        const QString target = QDir(dir).absoluteFilePath(QStringLiteral("../reliability-backup.db"));
        double backup = 0;
        double rawBackup = 0;
        for (int i = 0; i < 2; ++i) {
            const double r = rawBackupMs(file, target);
            rawBackup = i == 0 ? r : std::min(rawBackup, r);
            QFile::remove(target);
            QElapsedTimer timer;
            timer.start();
            if (StoreError e = db.store().backupTo(target)) {
                return failed(QStringLiteral("the backup failed: ") + e.describe());
            }
            const double ms = elapsedMs(timer);
            backup = i == 0 ? ms : std::min(backup, ms);
            QFile::remove(target);
        }
        figure("backup_ms", backup, "ms");
        figure("raw_backup_ms", rawBackup, "ms");
        ratio("backup", backup, rawBackup);
    }

    CrashOptions options;
    options.dir = QDir(dir).absoluteFilePath(QStringLiteral("../reliability-crash"));
    options.kills = kills;
    options.seed = 20261208;
    options.source = dir;
    QString error;
    const CrashFigures figures = runCrashHarness(options, error);
    QDir(options.dir).removeRecursively();
    if (!error.isEmpty()) {
        return failed(error);
    }
    return reportCrashFigures(figures, kills) ? 0 : 1;
}

} // namespace tunarium::bench
