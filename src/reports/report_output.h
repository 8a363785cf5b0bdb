// A page queue onto a printer or into a PDF file. The printer itself (QPrinter and its dialog) is
// the windows' part; here it is any paged device.
#pragma once

#include "process/process_runner.h"
#include "reports/page_queue.h"
#include "reports/page_sink.h"

#include <memory>

class QPagedPaintDevice;

namespace tunarium {

// Which pages of a queue go out, and how many copies this run makes of them.
struct PrintRun {
    int firstPage = 1; // 1-based
    int lastPage = 0;  // 0: up to the last page
    // Copies made by sending the pages again: for a printer that cannot make copies itself (one
    // that can is given its copy count and a run of 1).
    int copies = 1;
    // Each copy whole, one after the other; otherwise each page that many times in a row.
    bool collate = true;
};

// Plays the queue's pages onto `device`, in the queue's page layout. False, with `error`, when the
// device could not take them.
bool paintQueue(const PageQueue& queue, QPagedPaintDevice& device, const PrintRun& run, QString* error);

// Writes a page queue as a PDF file at `path`, a few pages a step, for the progress window. The
// pages go to a temporary name in the same folder, renamed to `path` when the last page is
// written; a run that fails or is cancelled leaves no file.
class PdfWriteProcess : public Process {
public:
    PdfWriteProcess(const PageQueue& queue, const QString& path, const QString& title);
    ~PdfWriteProcess() override;

    // The file is complete under its name.
    bool written() const { return m_written; }
    // Why it was not; empty when it was, or when the run was cancelled.
    const QString& error() const { return m_error; }

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;

private:
    const PageQueue& m_queue;
    PdfFile m_file;
    std::unique_ptr<DevicePageSink> m_sink;
    int m_next = 0;
    bool m_written = false;
    QString m_error;
};

// The pages of `run` as a PDF file at `path`, through the program's one way of writing a file
// (what a printer set to print into a file is given instead). False, with `error`, when it could
// not be written; no file is left then.
bool paintQueueAsPdf(const PageQueue& queue, const QString& path, const PrintRun& run, const QString& title,
                     QString* error);

// The queue as a PDF file at `path`, at once (see PdfWriteProcess). False, with `error`, when it
// could not be written; no file is left then.
bool writeQueueAsPdf(const PageQueue& queue, const QString& path, const QString& title, QString* error);

} // namespace tunarium
