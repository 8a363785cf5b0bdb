// The import and export commands of tunarium-cli: the program's own import and export, without
// windows. What the windows would ask is given by options, gathered into the same choices the
// windows make and taken the same way; messages go to standard error.
#include "cli/cli_commands.h"

#include "catalogue/saved_search.h"
#include "cli/command_line.h"
#include "cli/search_option.h"
#include "data/app_paths.h"
#include "data/database.h"
#include "exchange/export_options.h"
#include "exchange/import_options.h"

#include <QFileInfo>

namespace tunarium::cli {

namespace {

// Splits "NAME=VALUE"; false when there is no "=" or either side is empty.
bool splitPair(const QString& pair, QString& name, QString& value) {
    const qsizetype eq = pair.indexOf(u'=');
    if (eq <= 0 || eq == pair.size() - 1) {
        return false;
    }
    name = pair.left(eq);
    value = pair.mid(eq + 1);
    return true;
}

// Each value of a "NAME=VALUE" option as a pair; false when one is not of that form.
bool pairs(const CommandLine& line, const QString& option, QVector<ColumnChoice>& out) {
    for (const QString& value : line.values(option)) {
        QString name;
        QString right;
        if (!splitPair(value, name, right)) {
            return false;
        }
        out << qMakePair(name, right);
    }
    return true;
}

// The one file a command takes; the problem when there is none or more than one.
QString fileArgument(const CommandLine& line, const char* command, QString& file) {
    const QStringList files = line.arguments();
    if (files.isEmpty()) {
        return QStringLiteral("%1 needs a file").arg(QLatin1String(command));
    }
    if (files.size() > 1) {
        return QStringLiteral("%1 takes one file").arg(QLatin1String(command));
    }
    file = files.first();
    return {};
}

const QString kAssignUsage = QStringLiteral("--assign needs Field_N=TUN:Name");
const QString kImportPictureUsage = QStringLiteral("--picture needs Field_N=PICTURE");
const QString kExportPictureUsage = QStringLiteral("--picture needs TUN:Name=PICTURE");
const QString kFieldsUsage = QStringLiteral("--fields needs a list of field names");

// The import's choices from its arguments; the exit status when the command ends here.
std::optional<int> readImportOptions(const QStringList& args, QString& dir, ImportOptions& options,
                                     bool& quiet) {
    CommandLine line({{QStringLiteral("assign"), QStringLiteral("Field_N=TUN:Name"), kAssignUsage},
                      {QStringLiteral("picture"), QStringLiteral("Field_N=PICTURE"), kImportPictureUsage},
                      {QStringLiteral("strip-header"), {}, {}},
                      {QStringLiteral("keep-header"), {}, {}},
                      {QStringLiteral("create-albums"), {}, {}},
                      {QStringLiteral("no-create-albums"), {}, {}},
                      {QStringLiteral("quiet"), {}, {}}});
    if (const std::optional<int> status = line.read(args, dir)) {
        return status;
    }
    if (!pairs(line, QStringLiteral("assign"), options.assignments)) {
        return usage(kAssignUsage);
    }
    if (!pairs(line, QStringLiteral("picture"), options.pictures)) {
        return usage(kImportPictureUsage);
    }
    if (const QString problem = fileArgument(line, "import", options.file); !problem.isEmpty()) {
        return usage(problem);
    }
    // Of two flags that say the opposite, the one given last holds.
    const QString header = line.lastOf({QStringLiteral("strip-header"), QStringLiteral("keep-header")});
    if (!header.isEmpty()) {
        options.stripHeader = header == QLatin1String("strip-header");
    }
    options.createAlbums =
        line.lastOf({QStringLiteral("create-albums"), QStringLiteral("no-create-albums")}) !=
        QLatin1String("no-create-albums");
    quiet = line.isSet(QStringLiteral("quiet"));
    return std::nullopt;
}

// The export's choices from its arguments; the exit status when the command ends here.
std::optional<int> readExportOptions(const QStringList& args, QString& dir, ExportOptions& options,
                                     bool& quiet, QString& search) {
    CommandLine line({{QStringLiteral("fields"), QStringLiteral("TUN:Artist,TUN:Title,..."), kFieldsUsage},
                      {QStringLiteral("picture"), QStringLiteral("TUN:Name=PICTURE"), kExportPictureUsage},
                      {QStringLiteral("no-header"), {}, {}},
                      {QStringLiteral("search"), QStringLiteral("NAME"), QStringLiteral("--search needs a name")},
                      {QStringLiteral("quiet"), {}, {}}});
    if (const std::optional<int> status = line.read(args, dir)) {
        return status;
    }
    QVector<ColumnChoice> pictures;
    if (!pairs(line, QStringLiteral("picture"), pictures)) {
        return usage(kExportPictureUsage);
    }
    if (line.isSet(QStringLiteral("fields"))) {
        const QString list = line.value(QStringLiteral("fields"));
        if (list.isEmpty()) {
            return usage(kFieldsUsage);
        }
        if (const QString problem = chooseExportFields(options, list); !problem.isEmpty()) {
            return usage(problem);
        }
    }
    if (const QString problem = fileArgument(line, "export", options.file); !problem.isEmpty()) {
        return usage(problem);
    }
    for (const auto& [name, picture] : pictures) {
        if (const QString problem = setExportPicture(options, name, picture); !problem.isEmpty()) {
            return usage(problem);
        }
    }
    options.header = !line.isSet(QStringLiteral("no-header"));
    search = line.value(QStringLiteral("search"));
    quiet = line.isSet(QStringLiteral("quiet"));
    return std::nullopt;
}

} // namespace

int runImport(QString& dir, const QStringList& args) {
    if (givesOption(args, "rekordbox")) {
        return runRekordbox(dir, args, false);
    }
    ImportOptions options;
    bool quiet = false;
    if (const std::optional<int> status = readImportOptions(args, dir, options, quiet)) {
        return *status;
    }
    const QString& file = options.file;
    ImportSetup setup;
    switch (setup.open(file, dir)) {
    case ImportSetup::OpenResult::CannotOpen:
        if (!setup.openError().sentence.isEmpty()) {
            return fail(setup.openError().sentence);
        }
        return fail(QStringLiteral("Cannot OPEN %1: %2").arg(file, setup.openError().message()));
    case ImportSetup::OpenResult::Empty:
        return fail(QStringLiteral("%1: That file is empty!").arg(file));
    case ImportSetup::OpenResult::NoLines:
        return fail(QStringLiteral("%1 holds no lines").arg(file));
    case ImportSetup::OpenResult::Ok:
        break;
    }
    if (const QString problem = applyImportOptions(setup, options); !problem.isEmpty()) {
        return usage(problem);
    }
    if (const QString problem = importRunProblem(setup); !problem.isEmpty()) {
        return fail(problem + QStringLiteral(
                                  " The first line of %1 names no song field; give --assign Field_N=TUN:Name")
                                  .arg(file));
    }
    setLastExchangeFile(file);

    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    std::unique_ptr<ImportProcess> process = makeImportRun(db, setup);
    const bool completed = runWithProgress(*process, quiet);
    if (db.halted()) {
        return kExitFailure;
    }
    if (process->linesRejected() > 0) {
        prompter.message(process->rejectionMessage());
    }
    out() << process->linesRead() << " lines read, " << process->songsAdded() << " songs added";
    if (process->categoriesAdded() > 0) {
        out() << ", " << process->categoriesAdded() << " categories added";
    }
    out() << "\n";
    if (process->valuesCut() > 0) {
        out() << process->cutSummary() << "\n";
    }
    if (const QString skipped = process->skippedSummary(); !skipped.isEmpty()) {
        out() << skipped << "\n";
    }
    out().flush();
    if (process->songsAdded() == 0) {
        return fail(QStringLiteral("No songs were imported: %1.").arg(process->nothingImportedReason()));
    }
    if (!completed || process->failedToStart() || process->stoppedByFailure()) {
        return kExitFailure;
    }
    if (std::unique_ptr<AlbumEntriesProcess> albums = albumEntriesAfter(db, *process, options)) {
        const bool albumsDone = runWithProgress(*albums, quiet);
        if (db.halted()) {
            return kExitFailure;
        }
        out() << albums->albumsCreated() << " albums created, " << albums->songsLinked() << " songs linked\n";
        out().flush();
        if (!albumsDone || albums->stoppedByFailure()) {
            return fail(QStringLiteral("the songs were imported, but not every album entry was made; "
                                       "tunarium-cli --dir %1 create-albums makes the rest")
                            .arg(dir));
        }
    }
    return process->linesRejected() > 0 ? kExitFailure : kExitOk;
}

int runExport(QString& dir, const QStringList& args) {
    if (givesOption(args, "rekordbox")) {
        return runRekordbox(dir, args, true);
    }
    ExportOptions options;
    bool quiet = false;
    QString search;
    if (const std::optional<int> status = readExportOptions(args, dir, options, quiet, search)) {
        return *status;
    }
    const QString& file = options.file;
    setLastExchangeFile(file);
    // Nothing to export where there is no collection; the file named stays untouched.
    if (!requireCollection(dir)) {
        return kExitFailure;
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    if (!search.isEmpty()) {
        // An unknown name is refused before the file named is touched.
        SavedSearchRecord saved;
        if (const std::optional<int> status = savedSearchSongs(db, search, options.selection.songs, &saved)) {
            return *status;
        }
        options.selection.key = savedSearchKey(saved);
    }
    std::unique_ptr<ExportProcess> process = openExport(db, prompter, options);
    if (!process) {
        return kExitFailure;
    }
    runWithProgress(*process, quiet);
    const qint64 written = process->songsWritten();
    const bool failed = process->failed();
    // The file is put in place with the run's end; a failure to do so is told then.
    process.reset();
    if (failed) {
        return fail(QStringLiteral("the export of %1 did not complete").arg(file));
    }
    out() << written << " songs written to " << file << "\n";
    out().flush();
    // Every message on the way was a failure: a file not put in place, a song not read.
    return db.halted() || !prompter.messages.isEmpty() ? kExitFailure : kExitOk;
}

} // namespace tunarium::cli
