// A report of the catalogue started from a menu or a button: the category chosen first for the
// category reports; the "Report Criteria" window, or the question "Do you wish to PREVIEW this
// Report?" and the query wizard for the reports it narrows; the print dialog when printing; the
// progress window ("Generating Report" or "Printing Report", with its two questions on Cancel or
// Escape); then the preview or the printer. Every window of the way opens over the caller without
// an event loop of its own, and the report ends quietly when the user cancels any of them.
//
// The pages always go to a page queue first, so that a report cancelled while printing prints
// nothing and copies the printer cannot make are sent again from the queue.
#pragma once

#include "reports/report_run.h"
#include "ui/procedure_registry.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QMdiArea;

namespace tunarium {

class PageQueue;
class QueuePageSink;

class ReportStarter : public QObject {
    Q_OBJECT
public:
    // The context's argument is what the report is about: the CAT:CategoryID a category report's
    // choice opens on, the album (ALB:AlbumID) whose songs it prints, the playlist (PLD:PlaylistID).
    ReportStarter(const ReportEntry& decl, const ProcedureContext& context);
    ~ReportStarter() override;

    void start();
    const ReportRequest& request() const { return m_request; }
    bool previewing() const { return m_previewing; }

signals:
    // The report is over: printed, previewed and left, cancelled or failed. The starter deletes
    // itself right after.
    void ended();

private:
    void chooseCategory();
    void askCriteria();
    void askPreview();
    void narrow();
    void beforeGenerating();
    void generate();
    void walked(bool completed);
    void preview();
    void print(bool withDialog);
    void finish();
    QString positionFile() const;

    const ReportEntry& m_decl;
    Database& m_db;
    Settings& m_settings;
    Prompter& m_prompter;
    QPointer<QMdiArea> m_workspace;
    QPointer<QWidget> m_caller;
    QVariant m_argument;
    ReportRequest m_request;
    bool m_previewing = true;
    bool m_previewSoFar = false;
    bool m_finished = false;
    std::unique_ptr<ReportRun> m_run;
    std::shared_ptr<PageQueue> m_queue;
    std::unique_ptr<QueuePageSink> m_sink;
    ReportProcess* m_process = nullptr;
};

// Starts `decl` in the context's workspace; the starter deletes itself when the report is over.
ReportStarter* startReport(const ReportEntry& decl, const ProcedureContext& context);

} // namespace tunarium
