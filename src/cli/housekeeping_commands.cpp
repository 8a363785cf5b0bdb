// Housekeeping from the command line.
#include "cli/housekeeping_commands.h"

#include "albums/housekeeping.h"
#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "data/app_paths.h"
#include "data/settings.h"
#include "data/table_lease.h"

namespace tunarium::cli {

namespace {

const QString kYearOnlyUsage = QStringLiteral("convert-dates takes --year-only (and --quiet)");

} // namespace

int runConvertDates(QString& dir, const QStringList& args) {
    CommandLine line({{QStringLiteral("year-only"), {}, {}}, {QStringLiteral("quiet"), {}, {}}},
                     kYearOnlyUsage);
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    // Year only is the one conversion there is; it is named so that it is never run by accident.
    if (!line.arguments().isEmpty() || !line.isSet(QStringLiteral("year-only"))) {
        return usage(kYearOnlyUsage);
    }
    if (!requireCollection(dir)) {
        return kExitFailure;
    }
    const bool quiet = line.isSet(QStringLiteral("quiet"));
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    TableLease lease(db, {TableId::Tunarium});
    if (!lease) {
        return kExitFailure;
    }
    QString backup;
    const StoreError e = backupBeforeYearOnly(db.store(), backup);
    lease.release();
    if (e) {
        return fail(
            QStringLiteral("no backup could be made, so no date was converted: %1").arg(e.describe()));
    }
    DateConversionProcess songs(db, TableId::Tunarium);
    bool completed = runWithProgress(songs, quiet) && !songs.failed();
    qint64 albumsChanged = 0;
    if (completed) {
        DateConversionProcess albums(db, TableId::Album);
        completed = runWithProgress(albums, quiet) && !albums.failed();
        albumsChanged = albums.changed();
    }
    if (completed) {
        // The dates now hold years: they are shown as years from now on.
        Settings(settingsFilePath()).writeSetting(u"DateFormat", QStringLiteral("n4b"));
    }
    out() << yearOnlyReport(songs.changed(), albumsChanged, completed, backup) << "\n";
    out().flush();
    return completed && !db.halted() ? kExitOk : kExitFailure;
}

int runTestAlbumLinks(QString& dir, const QStringList& args) {
    const QString only = QStringLiteral("test-album-links takes only --quiet");
    CommandLine line({{QStringLiteral("quiet"), {}, {}}}, only);
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    if (!line.arguments().isEmpty()) {
        return usage(only);
    }
    if (!requireCollection(dir)) {
        return kExitFailure;
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    TableLease lease(db, {TableId::Tunarium});
    if (!lease) {
        return kExitFailure;
    }
    QString backup;
    const StoreError e = backupBeforeLinkTest(db.store(), backup);
    lease.release();
    if (e) {
        return fail(QStringLiteral("no backup could be made, so no link was tested: %1").arg(e.describe()));
    }
    AlbumLinkTest test(db);
    const bool completed = runWithProgress(test, line.isSet(QStringLiteral("quiet"))) && !test.failed();
    out() << linkTestReport(test, completed, backup) << "\n";
    out().flush();
    return completed && !db.halted() ? kExitOk : kExitFailure;
}

} // namespace tunarium::cli
