// Labels and binder pages to the preview and the printer.
#include "reports/ui/label_output.h"

#include "data/table_lease.h"
#include "process/ui/process_window.h"
#include "reports/label_layout.h"
#include "reports/page_queue.h"
#include "reports/report_run.h"
#include "reports/ui/report_preview_window.h"
#include "reports/ui/report_printer.h"
#include "reports/ui/report_printing.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPrinter>

namespace tunarium {

namespace {

// The printer's paper, upright: labels and binder pages are laid out on it.
QPageLayout labelPaper() {
    QPageLayout layout = programPrinter().pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    return layout;
}

void tell(Prompter& prompter, const QString& caption, const QString& text,
          PromptIcon icon = PromptIcon::Stop) {
    prompter.message({caption, text, icon, kButtonOk, kButtonOk});
}

void printQueue(const ProcedureContext& context, std::shared_ptr<PageQueue> queue, const QString& title) {
    Prompter& prompter = context.prompter;
    printWithDialog(context.caller, std::move(queue), programPrinter(),
                    [&prompter, title](bool printed, const QString& error) {
                        if (!printed && !error.isEmpty()) {
                            tell(prompter, title, error);
                        }
                    });
}

void showQueue(const ProcedureContext& context, std::shared_ptr<PageQueue> queue, const QString& title) {
    ProcedureContext printing = context;
    QPointer<QWidget> caller(context.caller);
    showReportPreview(context.workspace, queue, title, context.prompter,
                      [printing, queue, title, caller](bool print) {
                          // The window the preview was opened from comes back to the front, not
                          // whichever window lies under the preview.
                          if (caller) {
                              if (auto* sub = qobject_cast<QMdiSubWindow*>(caller->parentWidget())) {
                                  sub->mdiArea()->setActiveSubWindow(sub);
                              }
                              caller->activateWindow();
                          }
                          if (print) {
                              printQueue(printing, queue, title);
                          }
                      });
}

// The label as a queue of one page; null (after saying why) when it cannot be made.
std::shared_ptr<PageQueue> labelQueue(const ProcedureContext& context, const Row& label, QString* title) {
    TableLease fonts(context.db, {TableId::Fonts});
    if (!fonts) {
        return nullptr;
    }
    const LabelPrint print = prepareLabel(context.db.store(), label, context.settings.altCasFmt());
    fonts.release();
    *title = labelReportTitle(print.kind);
    if (!print.pictureProblem.isEmpty()) {
        tell(context.prompter, *title, print.pictureProblem, PromptIcon::Exclamation);
    }
    const QPageLayout paper = labelPaper();
    auto queue = std::make_shared<PageQueue>(paper);
    QueuePageSink sink(*queue);
    QString error;
    if (!queue->isValid() || !printLabel(print, sink, paper, &error) || !sink.finish(true)) {
        tell(context.prompter, *title,
             error.isEmpty()
                 ? QStringLiteral("The label's page cannot be kept: no temporary folder can be made.")
                 : error);
        return nullptr;
    }
    return queue;
}

} // namespace

QWidget* windowCaller(const ProcedureContext& context) {
    if (context.caller && context.workspace && context.caller->isAncestorOf(context.workspace)) {
        return nullptr;
    }
    return context.caller;
}

void previewLabel(const ProcedureContext& context, const Row& label) {
    QString title;
    if (std::shared_ptr<PageQueue> queue = labelQueue(context, label, &title)) {
        showQueue(context, queue, title);
    }
}

void printLabelAsked(const ProcedureContext& context, const Row& label) {
    const int answer = context.prompter.message(
        {QStringLiteral("Preview"), QStringLiteral("Do you wish to PREVIEW this Report?"),
         PromptIcon::Question, kButtonYes | kButtonNo | kButtonCancel, kButtonYes});
    if (answer != kButtonYes && answer != kButtonNo) {
        return;
    }
    QString title;
    std::shared_ptr<PageQueue> queue = labelQueue(context, label, &title);
    if (!queue) {
        return;
    }
    if (answer == kButtonYes) {
        showQueue(context, queue, title);
    } else {
        printQueue(context, queue, title);
    }
}

void runBinderPages(const ProcedureContext& context, BinderStyle style, const BinderRange& range) {
    Database& db = context.db;
    // Held until the walk's window finishes.
    const auto tables = std::make_shared<TableLease>(db, QList<TableId>{TableId::Album, TableId::Tunarium});
    if (!*tables) {
        return;
    }
    const QPageLayout paper =
        defaultReportPaper().pageSize().isEquivalentTo(programPrinter().pageLayout().pageSize())
            ? defaultReportPaper()
            : QPageLayout(programPrinter().pageLayout().pageSize(), QPageLayout::Portrait,
                          defaultReportPaper().margins(), defaultReportPaper().units());
    auto queue = std::make_shared<PageQueue>(paper);
    auto sink = std::make_shared<QueuePageSink>(*queue);
    auto process = std::make_unique<BinderPagesProcess>(db.store(), style, range, *sink, paper);
    BinderPagesProcess* walk = process.get();
    const QString title = walk->reportTitle();
    ProcedureContext shown = context;
    // Cancel asks as a report's does, and may preview the pages made so far.
    auto previewSoFar = std::make_shared<bool>(false);
    ProcessWindow* window = runProcessWindow(
        context.workspace, std::move(process),
        [shown, queue, sink, walk, title, previewSoFar, tables](bool completed) {
            const QString error = walk->error();
            const bool pages = walk->outputKept();
            tables->release();
            if (!error.isEmpty()) {
                tell(shown.prompter, title, error);
            } else if (completed && !pages) {
                tell(shown.prompter, QString::fromLatin1(kNoteCaption), QString::fromLatin1(kNothingToPreview),
                     PromptIcon::Exclamation);
            }
            if ((completed && pages) || (!completed && *previewSoFar && error.isEmpty() && queue->count() > 0)) {
                showQueue(shown, queue, title);
            }
        });
    Prompter& prompter = context.prompter;
    window->setCancelQuestion([&prompter, walk, previewSoFar] {
        const ReportCancel answer = askToCancelReport(prompter, true, walk->pages() > 0);
        *previewSoFar = answer == ReportCancel::StopAndPreview;
        return answer != ReportCancel::GoOn;
    });
}

} // namespace tunarium
