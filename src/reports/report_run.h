// One run of a report of the catalogue, apart from its windows: the choices it is made with (the
// criteria, what it is about, the query that narrows it), its tables, its layout for those
// choices, the process that walks its records into pages, the custom font, and the messages that
// end it. The program's windows and the command line both run reports through it.
#pragma once

#include "data/database.h"
#include "data/table_lease.h"
#include "reports/report_catalogue.h"
#include "reports/report_process.h"
#include "reports/report_sources.h"

#include <QPageLayout>

#include <memory>

namespace tunarium {

// The values the "Report Criteria" window sets. The program keeps one set: they stay as the user
// left them for the next report.
struct ReportCriteria {
    ReportLayout style = ReportLayout::Standard;
    bool preview = true;
    bool customFont = false;
    bool selected = false; // "&Include": "Selected"; otherwise "All"
    QString selection;     // "Select ... that start with:", up to kSelectionWidth characters
};
inline constexpr int kSelectionWidth = 30;

// The program's criteria.
ReportCriteria& programReportCriteria();

// The prompt of the criteria window: "Select " + the report's noun + " that start with:".
QString selectionPrompt(const ReportEntry& decl, const QString& udkLabel);

// What a report is run with.
struct ReportRequest {
    ReportCriteria criteria;
    qint64 categoryId = 0; // the category reports
    qint64 albumId = 0;    // the songs of an album
    qint64 playlistId = 0; // the playlist reports
    QString filter;        // the query of the reports the query wizard narrows; blank: every song
    // The songs reports print only the songs that meet it (a saved search's); empty: every song.
    SqlCondition songs;
};

// The caption and texts of the report's messages.
inline constexpr char kNothingToPreview[] = "Nothing to Preview.";
inline constexpr char kNothingToPrint[] = "Nothing to Print.";
inline constexpr char kNoteCaption[] = "NOTE...";
inline constexpr char kCustomFontCaption[] = "Select Custom Font for Report";

class ReportRun {
public:
    ReportRun(Database& db, const Settings& settings, Prompter& prompter, const ReportEntry& decl,
              ReportRequest request);
    ~ReportRun();
    ReportRun(const ReportRun&) = delete;
    ReportRun& operator=(const ReportRun&) = delete;

    // Opens the report's tables and reads what the report is about (its category, album or
    // playlist). False when the report cannot run: the program is ending, or what it is about is
    // not in the collection (deleted meanwhile), which is said through the prompter.
    bool open();

    const ReportEntry& decl() const { return m_decl; }
    const ReportRequest& request() const { return m_request; }
    // Brief only for a report that has a Brief layout.
    ReportLayout style() const;
    // The layout for the choices, before the report is prepared at its first record.
    const ReportDefinition& definition() const { return m_definition; }
    // The paper of `paper` (its size and margins, at least a little margin on every side) turned
    // as the layout wants it.
    QPageLayout pageLayout(const QPageLayout& paper) const;
    // The progress window's title: "Generating Report" when previewing, "Printing Report" otherwise.
    static QString progressTitle(bool previewing);

    // The process that walks the report's records into `sink` on `layout`. At its first record it
    // switches the date columns to the user's date format and, with "Use Custom Font" ticked on a
    // report that has font keys, offers the font dialog. Null when open() was not called or failed.
    std::unique_ptr<ReportProcess> makeProcess(PageSink& sink, const QPageLayout& layout, bool previewing);
    // The source the last process walks.
    const ReportRecordSource* source() const { return m_source.get(); }

    // Says how a completed process ended when it printed nothing, or could not finish: "Nothing
    // to Preview." or "Nothing to Print.", a read error through the warnings, a page that could
    // not be written. Nothing for a report with pages, or one the user cancelled.
    void tellOutcome(const ReportProcess& process, bool previewing);

    // The custom font of the report's keys offered in the font dialog and, when confirmed, put on
    // `definition` and written back; cancelled, the definition and the keys stay as they are.
    void offerCustomFont(ReportDefinition& definition);

private:
    std::unique_ptr<ReportRecordSource> makeSource();
    bool readSubject();
    QImage logo();

    Database& m_db;
    const Settings& m_settings;
    Prompter& m_prompter;
    const ReportEntry& m_decl;
    ReportRequest m_request;
    ReportContext m_context;
    ReportDefinition m_definition;
    std::unique_ptr<ReportRecordSource> m_source;
    TableLease m_tables;
    bool m_open = false;
};

// What the user answered to cancelling a report.
enum class ReportCancel { GoOn, Stop, StopAndPreview };

// "Cancel" or Escape in the progress window: "Are you sure you want to CANCEL this Report?" and,
// when previewing with pages made already, whether to preview what was made.
ReportCancel askToCancelReport(Prompter& prompter, bool previewing, bool pagesMade);

// The paper reports go on without a printer: the locale's (Letter in the United States, A4
// elsewhere), half an inch of margin all round.
QPageLayout defaultReportPaper();

} // namespace tunarium
