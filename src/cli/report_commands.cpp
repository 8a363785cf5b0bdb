// The report command of tunarium-cli: any report of the program's catalogue into a PDF file, with
// the choices its windows would ask for given as options.
#include "cli/cli_commands.h"

#include "cli/command_line.h"
#include "cli/search_option.h"
#include "data/app_paths.h"
#include "data/database.h"
#include "data/dictionary_tables.h"
#include "data/table_lease.h"
#include "reports/page_sink.h"
#include "reports/report_run.h"

namespace tunarium::cli {

namespace {

struct ReportArguments {
    const ReportEntry* decl = nullptr;
    QString pdf;
    bool brief = false;
    bool selected = false;
    QString selection;
    QString category;
    qint64 playlist = 0;
    qint64 album = 0;
    QString filter;
    QString search;
    bool quiet = false;
};

int listReports() {
    for (const ReportEntry& decl : reportCatalogue()) {
        out() << decl.name << "\t" << decl.description << "\n";
    }
    out().flush();
    return kExitOk;
}

// A positive record number from an option; 0 when it is not one.
qint64 recordNumber(const CommandLine& line, const QString& option) {
    bool ok = false;
    const qint64 n = line.value(option).toLongLong(&ok);
    return ok && n > 0 ? n : 0;
}

// What the options say against what the report takes; empty when they agree.
QString mismatch(const ReportArguments& a, const CommandLine& line) {
    const ReportEntry& decl = *a.decl;
    auto takes = [&](const char* option, bool allowed, const QString& why) -> QString {
        if (line.isSet(QString::fromLatin1(option)) && !allowed) {
            return QStringLiteral("%1 %2").arg(decl.name, why);
        }
        return {};
    };
    const QStringList problems{
        takes("brief", decl.hasBrief, QStringLiteral("has no Brief layout")),
        takes("selected", decl.hasCriteria(), QStringLiteral("prints every record: it takes no --selected")),
        takes("category", decl.parameter == ReportParameter::Category, QStringLiteral("takes no --category")),
        takes("playlist", decl.parameter == ReportParameter::Playlist, QStringLiteral("takes no --playlist")),
        takes("album", decl.parameter == ReportParameter::Album, QStringLiteral("takes no --album")),
        takes("filter", decl.narrowing, QStringLiteral("takes no --filter")),
        takes("search", decl.subject == ReportSubject::Songs,
              QStringLiteral("prints no songs list: it takes no --search")),
    };
    for (const QString& p : problems) {
        if (!p.isEmpty()) {
            return p;
        }
    }
    switch (decl.parameter) {
    case ReportParameter::Category:
        return a.category.trimmed().isEmpty() ? QStringLiteral("%1 needs --category NAME").arg(decl.name)
                                              : QString();
    case ReportParameter::Playlist:
        return a.playlist == 0 ? QStringLiteral("%1 needs --playlist ID (a playlist number)").arg(decl.name)
                               : QString();
    case ReportParameter::Album:
        return a.album == 0 ? QStringLiteral("%1 needs --album ID (an album number)").arg(decl.name)
                            : QString();
    case ReportParameter::None:
        break;
    }
    return {};
}

// The report's choices from its arguments; the exit status when the command ends here.
std::optional<int> readReportArguments(const QStringList& args, QString& dir, ReportArguments& a) {
    CommandLine line({{QStringLiteral("list"), {}, {}},
                      {QStringLiteral("pdf"), QStringLiteral("FILE"), QStringLiteral("--pdf needs a file")},
                      {QStringLiteral("brief"), {}, {}},
                      {QStringLiteral("selected"), QStringLiteral("TEXT"), {}},
                      {QStringLiteral("category"), QStringLiteral("NAME"), {}},
                      {QStringLiteral("playlist"), QStringLiteral("ID"), {}},
                      {QStringLiteral("album"), QStringLiteral("ID"), {}},
                      {QStringLiteral("filter"), QStringLiteral("EXPR"), {}},
                      {QStringLiteral("search"), QStringLiteral("NAME"), {}},
                      {QStringLiteral("quiet"), {}, {}}});
    if (const std::optional<int> status = line.read(args, dir)) {
        return status;
    }
    const QStringList names = line.arguments();
    if (line.isSet(QStringLiteral("list"))) {
        return names.isEmpty() ? listReports() : usage(QStringLiteral("report --list takes no report name"));
    }
    if (names.size() != 1) {
        return usage(names.isEmpty() ? QStringLiteral("report needs a report name (report --list names them)")
                                     : QStringLiteral("report takes one report name"));
    }
    a.decl = findReport(names.first());
    if (!a.decl) {
        return usage(QStringLiteral("there is no report %1 (report --list names them)").arg(names.first()));
    }
    a.pdf = line.value(QStringLiteral("pdf"));
    if (a.pdf.isEmpty()) {
        return usage(QStringLiteral("report needs --pdf FILE"));
    }
    a.brief = line.isSet(QStringLiteral("brief"));
    a.selected = line.isSet(QStringLiteral("selected"));
    a.selection = line.value(QStringLiteral("selected"));
    a.category = line.value(QStringLiteral("category"));
    a.playlist = recordNumber(line, QStringLiteral("playlist"));
    a.album = recordNumber(line, QStringLiteral("album"));
    a.filter = line.value(QStringLiteral("filter"));
    a.search = line.value(QStringLiteral("search"));
    a.quiet = line.isSet(QStringLiteral("quiet"));
    if (const QString problem = mismatch(a, line); !problem.isEmpty()) {
        return usage(problem);
    }
    return std::nullopt;
}

// The number of the category named `name` (without regard to case); 0 when there is none.
qint64 categoryNumber(Database& db, const QString& name) {
    const TableLease categories(db, {TableId::Categories});
    CategoryRecord category;
    const bool found = categories && db.store().get(cat::kKeyCategory, {name.trimmed()}, category).ok();
    return found ? category.categoryId : 0;
}

} // namespace

int runReport(QString& dir, const QStringList& args) {
    ReportArguments a;
    if (const std::optional<int> status = readReportArguments(args, dir, a)) {
        return *status;
    }
    if (!requireCollection(dir)) {
        return kExitFailure;
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    const Settings settings = Settings::load();
    ReportRequest request;
    request.criteria.style = a.brief ? ReportLayout::Brief : ReportLayout::Standard;
    request.criteria.preview = false;
    request.criteria.selected = a.selected;
    request.criteria.selection = a.selection;
    request.playlistId = a.playlist;
    request.albumId = a.album;
    request.filter = a.filter;
    if (a.decl->parameter == ReportParameter::Category) {
        request.categoryId = categoryNumber(db, a.category);
        if (request.categoryId == 0) {
            return db.halted() ? kExitFailure
                               : fail(QStringLiteral("there is no category %1").arg(a.category));
        }
    }
    if (!a.search.isEmpty()) {
        if (const std::optional<int> status = savedSearchSongs(db, a.search, request.songs)) {
            return *status;
        }
    }
    ReportRun run(db, settings, prompter, *a.decl, request);
    if (!run.open()) {
        return kExitFailure;
    }
    const QPageLayout layout = run.pageLayout(defaultReportPaper());
    // Nothing is printed into a file that cannot be written: that is told before the walk.
    PdfFileSink sink(a.pdf, layout, run.definition().title);
    if (!sink.error().isEmpty()) {
        return fail(sink.error());
    }
    std::unique_ptr<ReportProcess> process = run.makeProcess(sink, layout, false);
    runWithProgress(*process, a.quiet);
    run.tellOutcome(*process, false);
    if (db.halted() || !process->outputKept()) {
        return kExitFailure;
    }
    out() << sink.pages() << (sink.pages() == 1 ? " page" : " pages") << " written to " << a.pdf << "\n";
    out().flush();
    return kExitOk;
}

} // namespace tunarium::cli
