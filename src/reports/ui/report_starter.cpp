// Starting a report: its questions, its progress window, its preview and its printing.
#include "reports/ui/report_starter.h"

#include "catalogue/query_fields.h"
#include "catalogue/songs_browse.h"
#include "catalogue/ui/categories_windows.h"
#include "catalogue/ui/query_wizard_dialog.h"
#include "data/app_paths.h"
#include "process/ui/process_window.h"
#include "reports/page_sink.h"
#include "reports/ui/report_criteria_window.h"
#include "reports/ui/report_preview_window.h"
#include "reports/ui/report_printer.h"
#include "reports/ui/report_printing.h"

#include <QMdiArea>
#include <QPrintDialog>
#include <QPrinter>

namespace tunarium {

ReportStarter::ReportStarter(const ReportEntry& decl, const ProcedureContext& context)
    : m_decl(decl), m_db(context.db), m_settings(context.settings), m_prompter(context.prompter),
      m_workspace(context.workspace), m_caller(context.caller), m_argument(context.argument) {
    switch (decl.parameter) {
    case ReportParameter::Category:
        m_request.categoryId = m_argument.toLongLong();
        break;
    case ReportParameter::Album:
        m_request.albumId = m_argument.toLongLong();
        break;
    case ReportParameter::Playlist:
        m_request.playlistId = m_argument.toLongLong();
        break;
    case ReportParameter::None:
        break;
    }
}

ReportStarter::~ReportStarter() = default;

QString ReportStarter::positionFile() const {
    return positionFilePath(m_db.collectionDir());
}

void ReportStarter::start() {
    if (m_decl.parameter == ReportParameter::Category) {
        chooseCategory();
    } else if (m_decl.hasCriteria()) {
        askCriteria();
    } else {
        askPreview();
    }
}

void ReportStarter::chooseCategory() {
    // The list opens on the category the caller names (the songs browse's By Category tab).
    const CategoryRecord current = songsCategoryToSelect(m_db.store(), m_request.categoryId, Row());
    LookupBrowseWindow* list = selectCategory(m_db, positionFile(), m_workspace, m_caller, current,
                                              [this](bool chosen, const CategoryRecord& category) {
                                                  if (!chosen) {
                                                      finish();
                                                      return;
                                                  }
                                                  m_request.categoryId = category.categoryId;
                                                  askCriteria();
                                              });
    if (!list) {
        finish();
    }
}

void ReportStarter::askCriteria() {
    auto* window =
        new ReportCriteriaWindow(programReportCriteria(), selectionPrompt(m_decl, m_settings.udkPrompt()),
                                 m_decl.hasBrief, positionFile(), m_caller);
    connect(window, &QDialog::finished, this, [this, window](int result) {
        if (result != QDialog::Accepted) {
            finish();
            return;
        }
        programReportCriteria() = window->criteria();
        m_request.criteria = programReportCriteria();
        m_previewing = m_request.criteria.preview;
        beforeGenerating();
    });
    window->open();
}

void ReportStarter::askPreview() {
    // The custom font choice of the criteria holds here too.
    m_request.criteria = programReportCriteria();
    const int answer =
        m_prompter.message({QStringLiteral("Preview"), QStringLiteral("Do you wish to PREVIEW this Report?"),
                            PromptIcon::Question, kButtonYes | kButtonNo | kButtonCancel, kButtonYes});
    if (answer != kButtonYes && answer != kButtonNo) {
        finish();
        return;
    }
    m_previewing = answer == kButtonYes;
    if (m_decl.narrowing) {
        narrow();
    } else {
        beforeGenerating();
    }
}

void ReportStarter::narrow() {
    const std::optional<QueryFieldList> fields = prepareSongsQueryFields(m_prompter);
    if (!fields) {
        // The report goes on without the wizard.
        beforeGenerating();
        return;
    }
    QueryWizardDialog::run(*fields, m_db.collectionDir(), m_prompter, {}, m_caller,
                           [this](const QueryWizardResult& result) {
                               // A wizard left without running a query narrows nothing.
                               m_request.filter = result.ran ? result.filter : QString();
                               beforeGenerating();
                           });
}

void ReportStarter::beforeGenerating() {
    if (m_previewing) {
        generate();
        return;
    }
    auto* dialog = new QPrintDialog(&programPrinter(), m_caller);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QDialog::finished, this, [this](int result) {
        if (result == QDialog::Accepted) {
            generate();
        } else {
            finish();
        }
    });
    dialog->open();
}

void ReportStarter::generate() {
    m_run = std::make_unique<ReportRun>(m_db, m_settings, m_prompter, m_decl, m_request);
    if (!m_run->open()) {
        finish();
        return;
    }
    const QPageLayout layout = m_run->pageLayout(programPrinter().pageLayout());
    m_queue = std::make_shared<PageQueue>(layout);
    if (!m_queue->isValid()) {
        m_prompter.message(
            {m_run->definition().title,
             QStringLiteral("The report's pages cannot be kept: no temporary folder can be made."),
             PromptIcon::Stop, kButtonOk, kButtonOk});
        finish();
        return;
    }
    m_sink = std::make_unique<QueuePageSink>(*m_queue);
    std::unique_ptr<ReportProcess> process = m_run->makeProcess(*m_sink, layout, m_previewing);
    m_process = process.get();
    ProcessWindow* window =
        runProcessWindow(m_workspace, std::move(process), [this](bool completed) { walked(completed); });
    window->setCancelQuestion([this] {
        const ReportCancel answer = askToCancelReport(m_prompter, m_previewing, m_process->pagesBegun() > 0);
        m_previewSoFar = answer == ReportCancel::StopAndPreview;
        return answer != ReportCancel::GoOn;
    });
}

void ReportStarter::walked(bool completed) {
    const ReportProcess& process = *m_process;
    if (completed) {
        m_run->tellOutcome(process, m_previewing);
    }
    const bool pages = m_queue->count() > 0;
    if (pages && m_previewing && (completed || m_previewSoFar)) {
        preview();
    } else if (pages && completed && !m_previewing && !process.failed()) {
        print(false);
    } else {
        finish();
    }
}

void ReportStarter::preview() {
    showReportPreview(m_workspace, m_queue, m_run->definition().title, m_prompter, [this](bool chosen) {
        if (chosen) {
            print(true);
        } else {
            finish();
        }
    });
}

void ReportStarter::print(bool withDialog) {
    if (withDialog) {
        printWithDialog(m_caller, m_queue, programPrinter(), [this](bool printed, const QString& error) {
            if (!printed && !error.isEmpty()) {
                m_prompter.message(
                    {m_run->definition().title, error, PromptIcon::Stop, kButtonOk, kButtonOk});
            }
            finish();
        });
        return;
    }
    QString error;
    if (!printPageQueue(*m_queue, programPrinter(), &error)) {
        m_prompter.message({m_run->definition().title, error, PromptIcon::Stop, kButtonOk, kButtonOk});
    }
    finish();
}

void ReportStarter::finish() {
    if (m_finished) {
        return;
    }
    m_finished = true;
    emit ended();
    deleteLater();
}

ReportStarter* startReport(const ReportEntry& decl, const ProcedureContext& context) {
    auto* starter = new ReportStarter(decl, context);
    starter->start();
    return starter;
}

} // namespace tunarium
