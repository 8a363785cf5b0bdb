// Backup and restore from the command line.
#include "cli/backup_commands.h"

#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "data/app_paths.h"
#include "data/database.h"
#include "shell/collection_backups.h"

namespace tunarium::cli {

namespace {

// What the user is told of a failure: our own account where there is one.
QString told(const StoreError& e) {
    return e.code == code::kDriverError || e.driverMessage.isEmpty() ? e.describe() : e.driverMessage;
}

} // namespace

int runBackup(QString& dir, const QStringList& args) {
    CommandLine line({{QStringLiteral("to"), QStringLiteral("FILE"), QStringLiteral("--to needs a file")}},
                     QStringLiteral("backup takes only --to FILE"));
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    if (!line.arguments().isEmpty()) {
        return usage(QStringLiteral("backup takes only --to FILE"));
    }
    if (isServerLocation(dir) && line.value(QStringLiteral("to")).isEmpty()) {
        // A collection on a server has no folder of its own for dated backups.
        return usage(QStringLiteral("backup of a collection on a server needs --to FILE"));
    }
    if (!requireCollection(dir)) {
        return kExitFailure;
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    if (!db.store().isOpen()) {
        if (StoreError e = db.store().open(dir)) {
            return fail(QStringLiteral("the collection in %1 cannot be opened: %2").arg(dir, told(e)));
        }
    }
    QString written;
    if (StoreError e = backupCollection(db.store(), line.value(QStringLiteral("to")), written)) {
        if (!written.isEmpty()) {
            // A copy was made, of a damaged collection: it is kept under a name that says so.
            out() << written << "\n";
            out().flush();
            fail(told(e));
            return damaged(dir);
        }
        return fail(QStringLiteral("no backup was made: %1").arg(told(e)));
    }
    out() << written << "\n";
    out().flush();
    return kExitOk;
}

int runRestore(QString& dir, const QStringList& args) {
    CommandLine line({}, QStringLiteral("restore takes one collection file"));
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    if (line.arguments().size() != 1) {
        return usage(QStringLiteral("restore takes one collection file"));
    }
    if (!requireCollection(dir, CollectionNeed::AnyFile)) {
        return kExitFailure;
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    const QString file = line.arguments().first();
    if (StoreError e = restoreCollection(db.store(), dir, file)) {
        return fail(QStringLiteral("nothing was restored: %1").arg(told(e)));
    }
    out() << "restored from " << file << "; the collection before it is kept as a backup\n";
    out().flush();
    return kExitOk;
}

} // namespace tunarium::cli
