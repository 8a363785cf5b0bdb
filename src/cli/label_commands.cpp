// The label and binder commands of tunarium-cli: a label of the collection, or the binder or flap
// pages of a range of file numbers, into a PDF file.
#include "cli/cli_commands.h"

#include "cli/command_line.h"
#include "data/app_paths.h"
#include "data/database.h"
#include "data/dictionary_tables.h"
#include "data/table_lease.h"
#include "reports/binder_pages.h"
#include "reports/label_layout.h"
#include "reports/report_run.h"

namespace tunarium::cli {

int runLabel(QString& dir, const QStringList& args) {
    CommandLine line({{QStringLiteral("pdf"), QStringLiteral("FILE"), QStringLiteral("--pdf needs a file")}});
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    const QStringList names = line.arguments();
    bool ok = false;
    const qint64 id = names.size() == 1 ? names.first().toLongLong(&ok) : 0;
    if (!ok || id <= 0) {
        return usage(QStringLiteral("label needs one label number: label ID --pdf FILE"));
    }
    const QString pdf = line.value(QStringLiteral("pdf"));
    if (pdf.isEmpty()) {
        return usage(QStringLiteral("label needs --pdf FILE"));
    }
    if (!requireCollection(dir)) {
        return kExitFailure;
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    const Settings settings = Settings::load();
    const TableLease tables(db, {TableId::Labels, TableId::Fonts});
    if (!tables) {
        return kExitFailure;
    }
    Row label(TableId::Labels);
    if (!db.store().get(TableId::Labels, lab::kKeyLabelId, {id}, label).ok()) {
        return fail(QStringLiteral("there is no label %1").arg(id));
    }
    const LabelPrint print = prepareLabel(db.store(), label, settings.altCasFmt());
    if (!print.pictureProblem.isEmpty()) {
        err() << print.pictureProblem << "\n";
        err().flush();
    }
    const QPageLayout layout = defaultReportPaper();
    PdfFileSink sink(pdf, layout, labelReportTitle(print.kind));
    if (!sink.error().isEmpty()) {
        return fail(sink.error());
    }
    QString error;
    const bool printed = printLabel(print, sink, layout, &error);
    if (!sink.finish(printed) || !printed) {
        return fail(error.isEmpty() ? sink.error() : error);
    }
    out() << labelReportTitle(print.kind) << " written to " << pdf << "\n";
    out().flush();
    return kExitOk;
}

int runBinder(QString& dir, const QStringList& args) {
    CommandLine line(
        {{QStringLiteral("from"), QStringLiteral("FILENUMBER"), QStringLiteral("--from needs a file number")},
         {QStringLiteral("to"), QStringLiteral("FILENUMBER"), QStringLiteral("--to needs a file number")},
         {QStringLiteral("flap"), {}, {}},
         {QStringLiteral("pdf"), QStringLiteral("FILE"), QStringLiteral("--pdf needs a file")},
         {QStringLiteral("quiet"), {}, {}}});
    if (const std::optional<int> status = line.read(args, dir)) {
        return *status;
    }
    if (!line.arguments().isEmpty()) {
        return usage(QStringLiteral("binder takes no arguments besides its options"));
    }
    if (!line.isSet(QStringLiteral("from")) || !line.isSet(QStringLiteral("to"))) {
        return usage(QStringLiteral("binder needs --from FILENUMBER and --to FILENUMBER"));
    }
    const QString pdf = line.value(QStringLiteral("pdf"));
    if (pdf.isEmpty()) {
        return usage(QStringLiteral("binder needs --pdf FILE"));
    }
    if (!requireCollection(dir)) {
        return kExitFailure;
    }
    CliPrompter prompter;
    Database db(prompter, dir, defaultProfilePath());
    const TableLease tables(db, {TableId::Album, TableId::Tunarium});
    if (!tables) {
        return kExitFailure;
    }
    const BinderStyle style = line.isSet(QStringLiteral("flap")) ? BinderStyle::Flap : BinderStyle::Binder;
    const QPageLayout layout = defaultReportPaper();
    PdfFileSink sink(pdf, layout,
                     style == BinderStyle::Flap ? QStringLiteral("CD Flap Pages")
                                                : QStringLiteral("CD Binder Pages"));
    if (!sink.error().isEmpty()) {
        return fail(sink.error());
    }
    BinderPagesProcess process(db.store(), style,
                               {line.value(QStringLiteral("from")), line.value(QStringLiteral("to"))}, sink,
                               layout);
    runWithProgress(process, line.isSet(QStringLiteral("quiet")));
    if (!process.error().isEmpty()) {
        return fail(process.error());
    }
    if (!process.outputKept()) {
        return fail(QString::fromLatin1(kNothingToPrint));
    }
    out() << process.albumsPrinted() << (process.albumsPrinted() == 1 ? " album, " : " albums, ")
          << sink.pages() << (sink.pages() == 1 ? " page" : " pages") << " written to " << pdf << "\n";
    out().flush();
    return kExitOk;
}

} // namespace tunarium::cli
