// The import and export commands of tunarium-cli: the program's own import and export, without
// windows. What the windows would ask is given by options; messages go to standard error.
#include "cli/cli_commands.h"

#include "albums/album_entries.h"
#include "data/app_paths.h"
#include "data/database.h"
#include "exchange/export_process.h"
#include "exchange/import_process.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>

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

// The value of an option given as "--name VALUE" or "--name=VALUE"; advances `i` past it.
bool optionValue(const QStringList& args, qsizetype& i, const QString& name, QString& value) {
    const QString& a = args[i];
    if (a == name) {
        if (i + 1 >= args.size()) {
            return false;
        }
        value = args[++i];
        return true;
    }
    value = a.mid(name.size() + 1);
    return true;
}

bool isOption(const QString& arg, const QString& name) {
    return arg == name || arg.startsWith(name + u'=');
}

// Runs a process to its end, showing its percent line on standard error unless quiet.
bool runWithProgress(Process& process, bool quiet) {
    const bool completed = runToEnd(process, [quiet, &process](const Process& p) {
        if (!quiet) {
            err() << "\r" << process.title() << ": " << p.percentText() << "   ";
            err().flush();
        }
        return true;
    });
    if (!quiet) {
        err() << "\n";
        err().flush();
    }
    return completed;
}

// Takes an argument that is not an option the command knows as its one file; the problem, if any.
QString fileArgument(const QString& arg, QString& file, const char* command) {
    if (arg.startsWith(QLatin1String("--"))) {
        return QStringLiteral("unknown option %1").arg(arg);
    }
    if (!file.isEmpty()) {
        return QStringLiteral("%1 takes one file").arg(QLatin1String(command));
    }
    file = arg;
    return {};
}

const char* const kPictureRule = "Pictures must begin with \"@\"";

} // namespace

int runImport(const QString& dir, const QStringList& args) {
    QString file;
    QList<QPair<QString, QString>> assignments;
    QList<QPair<QString, QString>> pictures;
    std::optional<bool> strip;
    bool createAlbums = true;
    bool quiet = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString value;
        QString name;
        QString right;
        if (isOption(a, QStringLiteral("--assign")) || isOption(a, QStringLiteral("--picture"))) {
            const bool assign = isOption(a, QStringLiteral("--assign"));
            const QString option = assign ? QStringLiteral("--assign") : QStringLiteral("--picture");
            if (!optionValue(args, i, option, value) || !splitPair(value, name, right)) {
                return usage(assign ? QStringLiteral("--assign needs Field_N=TUN:Name")
                                    : QStringLiteral("--picture needs Field_N=PICTURE"));
            }
            (assign ? assignments : pictures) << qMakePair(name, right);
        } else if (a == QLatin1String("--strip-header")) {
            strip = true;
        } else if (a == QLatin1String("--keep-header")) {
            strip = false;
        } else if (a == QLatin1String("--create-albums")) {
            createAlbums = true;
        } else if (a == QLatin1String("--no-create-albums")) {
            createAlbums = false;
        } else if (a == QLatin1String("--quiet")) {
            quiet = true;
        } else if (const QString problem = fileArgument(a, file, "import"); !problem.isEmpty()) {
            return usage(problem);
        }
    }
    if (file.isEmpty()) {
        return usage(QStringLiteral("import needs a file"));
    }

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
    for (const auto& [field, picture] : pictures) {
        const int f = setup.fieldIndex(field);
        if (f < 0) {
            return usage(QStringLiteral("the file has no %1 (it has Field_1 to Field_%2)")
                             .arg(field)
                             .arg(setup.fields().size()));
        }
        if (!picture.startsWith(u'@')) {
            return usage(QString::fromLatin1(kPictureRule));
        }
        setup.setPicture(f, picture);
    }
    if (assignments.isEmpty()) {
        setup.autoAssign();
        // A picture given on the command line stands over the one A&uto chose.
        for (const auto& [field, picture] : pictures) {
            setup.setPicture(setup.fieldIndex(field), picture);
        }
    }
    for (const auto& [field, target] : assignments) {
        const int f = setup.fieldIndex(field);
        const int t = setup.targetIndex(target);
        if (f < 0) {
            return usage(QStringLiteral("the file has no %1 (it has Field_1 to Field_%2)")
                             .arg(field)
                             .arg(setup.fields().size()));
        }
        if (t < 0) {
            return usage(QStringLiteral("%1 is not a song field an import can fill").arg(target));
        }
        setup.assign(t, f);
    }
    if (strip) {
        setup.setStripHeader(*strip);
    }
    if (!setup.anyAssigned()) {
        return fail(
            QStringLiteral("You must select one or more fields to import. The first line of %1 names no "
                           "song field; give --assign Field_N=TUN:Name")
                .arg(file));
    }
    setLastExchangeFile(file);

    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    ImportProcess process(db, setup.takeReader(), setup.plan());
    const bool completed = runWithProgress(process, quiet);
    if (db.halted()) {
        return kExitFailure;
    }
    if (process.linesRejected() > 0) {
        prompter.message(process.rejectionMessage());
    }
    out() << process.linesRead() << " lines read, " << process.songsAdded() << " songs added";
    if (process.categoriesAdded() > 0) {
        out() << ", " << process.categoriesAdded() << " categories added";
    }
    out() << "\n";
    if (process.valuesCut() > 0) {
        out() << process.cutSummary() << "\n";
    }
    out().flush();
    if (process.songsAdded() == 0) {
        return fail(QStringLiteral("No songs were imported: %1.").arg(process.nothingImportedReason()));
    }
    if (!completed || process.failedToStart() || process.stoppedByFailure()) {
        return kExitFailure;
    }
    if (createAlbums) {
        AlbumEntriesProcess albums(db);
        if (!runWithProgress(albums, quiet) || db.halted()) {
            return kExitFailure;
        }
        out() << albums.albumsCreated() << " albums created, " << albums.songsLinked() << " songs linked\n";
        out().flush();
    }
    return process.linesRejected() > 0 ? kExitFailure : kExitOk;
}

int runExport(const QString& dir, const QStringList& args) {
    QString file;
    QString fieldList;
    QList<QPair<QString, QString>> pictures;
    bool header = true;
    bool quiet = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString value;
        QString name;
        QString right;
        if (isOption(a, QStringLiteral("--fields"))) {
            if (!optionValue(args, i, QStringLiteral("--fields"), fieldList) || fieldList.isEmpty()) {
                return usage(QStringLiteral("--fields needs a list of field names"));
            }
        } else if (isOption(a, QStringLiteral("--picture"))) {
            if (!optionValue(args, i, QStringLiteral("--picture"), value) || !splitPair(value, name, right)) {
                return usage(QStringLiteral("--picture needs TUN:Name=PICTURE"));
            }
            pictures << qMakePair(name, right);
        } else if (a == QLatin1String("--no-header")) {
            header = false;
        } else if (a == QLatin1String("--quiet")) {
            quiet = true;
        } else if (const QString problem = fileArgument(a, file, "export"); !problem.isEmpty()) {
            return usage(problem);
        }
    }
    if (file.isEmpty()) {
        return usage(QStringLiteral("export needs a file"));
    }

    QVector<ExportField> fields;
    if (fieldList.isEmpty()) {
        fields = exportableFields();
    } else {
        for (const QString& name : fieldList.split(u',', Qt::SkipEmptyParts)) {
            const ExportField* f = findExportable(name);
            if (!f) {
                return usage(QStringLiteral("%1 is not a field an export can write").arg(name.trimmed()));
            }
            // A field is written once, however often it is named.
            const bool twice = std::any_of(fields.begin(), fields.end(),
                                           [f](const ExportField& e) { return e.field == f->field; });
            if (!twice) {
                fields << *f;
            }
        }
    }
    for (const auto& [name, picture] : pictures) {
        auto it = std::find_if(fields.begin(), fields.end(), [&name](const ExportField& e) {
            return e.field.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it == fields.end()) {
            return usage(QStringLiteral("%1 is not among the fields written").arg(name));
        }
        if (!picture.startsWith(u'@')) {
            return usage(QString::fromLatin1(kPictureRule));
        }
        it->picture = picture.left(30);
    }
    for (ExportField& f : fields) {
        f.mark = false;
    }
    setLastExchangeFile(file);
    if (!requireCollection(dir)) {
        return kExitFailure;
    }

    // Nothing to export where there is no collection; the file named stays untouched.
    if (!QFileInfo::exists(collectionFilePath(dir))) {
        return fail(QStringLiteral("there is no collection in %1").arg(dir));
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    std::unique_ptr<ExportProcess> process = openExport(db, prompter, file, fields, header);
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
