// The report engine: a process that walks a report's record source and paints its definition
// page by page into a page sink, a fixed number of records per step. The progress window steps it
// from its timer ("Generating Report", "Printing Report"); the command line steps it in a loop.
//
// Each record read counts one towards the progress, measured against the source's total. A record
// that passes the source's record check (and, with "Selected", whose selection field starts with
// the selection) is printed as a detail line; the pages begin with the first such line, so a report
// that prints nothing has no pages. The report is prepared just before its first record that
// passes the record check is handled: the place where a custom font is applied to the definition.
#pragma once

#include "data/pictures.h"
#include "process/process_runner.h"
#include "reports/page_sink.h"
#include "reports/report_bands.h"
#include "reports/report_definition.h"
#include "reports/report_source.h"

#include <QDateTime>
#include <QPageLayout>

#include <functional>
#include <memory>
#include <optional>

namespace tunarium {

// The criteria's include choice: all records, or those whose selection field starts with a text.
struct ReportSelection {
    bool selected = false;
    QString text;

    // "Selected" matches the value in capitals against the selection in capitals, cut of its
    // trailing blanks; an empty selection matches everything.
    bool matches(const QString& value) const;
};

class ReportProcess : public Process {
public:
    // Pages go to `sink` in `layout`; `noted` is the date and time the header shows (the start of
    // the report). The source and the sink must outlive the process.
    ReportProcess(QString title, ReportDefinition definition, ReportRecordSource& source, PageSink& sink,
                  const QPageLayout& layout, ReportSelection selection = {}, QDateTime noted = {});
    ~ReportProcess() override;

    // Called once, before the first record that passes the record check is handled; it may change
    // the definition (a custom font, the user's date format).
    void setPrepare(std::function<void(ReportDefinition&)> prepare) { m_prepare = std::move(prepare); }

    const ReportDefinition& definition() const { return m_def; }
    // The report got its first record (it was prepared).
    bool prepared() const { return m_prepared; }
    qint64 detailsPrinted() const { return m_printed; }
    int pagesBegun() const { return m_page; }
    // Why the report stopped before its end (a page that could not be written, a field the source
    // does not know, a read error); empty when it did not. Such a report ends as completed: the
    // message is the caller's to show.
    const QString& error() const { return m_error; }
    bool failed() const { return !m_error.isEmpty(); }
    // Whether the sink's output was completed and kept: the report completed, printed something
    // and nothing failed.
    bool outputKept() const { return m_kept; }

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;

private:
    bool resolveFields();
    void prepare();
    bool printRecord();
    bool ensureRoom(double height);
    bool openPage();
    bool closePage();
    void addToTotals();
    QList<QString> totalTexts() const;
    void fail(const QString& message);

    ReportDefinition m_def;
    ReportRecordSource& m_source;
    PageSink& m_sink;
    QPageLayout m_layout;
    ReportSelection m_selection;
    QDateTime m_noted;
    std::function<void(ReportDefinition&)> m_prepare;
    std::unique_ptr<ReportBands> m_bands;

    std::vector<int> m_columnFields;
    std::vector<Picture> m_pictures;
    int m_selectionField = -1;
    int m_groupField = -1;
    Picture m_groupPicture;
    std::vector<int> m_totalFields;
    std::vector<qint64> m_totals;

    QList<QString> m_cells;
    QPainter* m_painter = nullptr;
    bool m_prepared = false;
    bool m_kept = false;
    bool m_stamped = false;
    int m_page = 0;
    int m_bandsOnPage = 0;
    double m_y = 0;
    std::optional<QString> m_group;
    qint64 m_read = 0;
    qint64 m_printed = 0;
    QString m_error;
};

} // namespace tunarium
