// Printing and PDF writing of a page queue.
#include "reports/report_output.h"

#include "reports/page_sink.h"

#include <QDir>
#include <QPagedPaintDevice>

#include <algorithm>

namespace tunarium {

bool paintQueue(const PageQueue& queue, QPagedPaintDevice& device, const PrintRun& run, QString* error) {
    const int first = std::max(1, run.firstPage);
    const int last = run.lastPage <= 0 ? queue.count() : std::min(run.lastPage, queue.count());
    const int copies = std::max(1, run.copies);
    if (first > last) {
        if (error) {
            *error = QStringLiteral("There are no pages to print.");
        }
        return false;
    }
    DevicePageSink sink(device, queue.pageLayout());
    const QSizeF paper = queue.paperSize();
    auto put = [&](int page) {
        QPainter* painter = sink.beginPage();
        if (!painter) {
            return false;
        }
        // The sink's painter works in report units.
        queue.paintPage(*painter, page - 1, QRectF(QPointF(0, 0), paper));
        return true;
    };
    const int outer = run.collate ? copies : 1;
    const int inner = run.collate ? 1 : copies;
    bool ok = true;
    for (int c = 0; ok && c < outer; ++c) {
        for (int page = first; ok && page <= last; ++page) {
            for (int i = 0; ok && i < inner; ++i) {
                ok = put(page);
            }
        }
    }
    ok = sink.finish(ok) && ok;
    if (!ok && error) {
        *error = sink.error();
    }
    return ok;
}

namespace {

// Pages written in one step of the progress window: a few milliseconds each.
constexpr int kPdfPagesPerStep = 5;

} // namespace

PdfWriteProcess::PdfWriteProcess(const PageQueue& queue, const QString& path, const QString& title)
    : Process(QStringLiteral("Saving as PDF"), QDir::toNativeSeparators(path), kPdfPagesPerStep),
      m_queue(queue), m_file(path, queue.pageLayout(), title) {}

PdfWriteProcess::~PdfWriteProcess() = default;

bool PdfWriteProcess::begin() {
    if (!m_file.isOpen()) {
        m_error = m_file.error();
        return false;
    }
    if (m_queue.count() == 0) {
        m_error = QStringLiteral("There are no pages to write.");
        return false;
    }
    m_sink = std::make_unique<DevicePageSink>(m_file.device(), m_queue.pageLayout());
    setProgress(0, m_queue.count());
    return true;
}

bool PdfWriteProcess::handleNext() {
    QPainter* painter = m_sink->beginPage();
    if (!painter) {
        m_error = m_sink->error();
        return false;
    }
    m_queue.paintPage(*painter, m_next, QRectF(QPointF(0, 0), m_queue.paperSize()));
    ++m_next;
    setProgress(m_next, m_queue.count());
    return m_next < m_queue.count();
}

void PdfWriteProcess::end() {
    if (!m_sink) {
        return;
    }
    const bool ended = m_sink->finish(completed());
    if (!completed() || !m_error.isEmpty()) {
        return;
    }
    if (!ended) {
        m_error = m_sink->error();
    } else if (!m_file.commit()) {
        m_error = m_file.error();
    } else {
        m_written = true;
    }
}

bool paintQueueAsPdf(const PageQueue& queue, const QString& path, const PrintRun& run, const QString& title,
                     QString* error) {
    PdfFile file(path, queue.pageLayout(), title);
    QString why;
    if (!file.isOpen()) {
        why = file.error();
    } else if (!paintQueue(queue, file.device(), run, &why)) {
        if (why.isEmpty()) {
            why = QStringLiteral("The pages could not be written to %1.").arg(path);
        }
    } else if (!file.commit()) {
        why = file.error();
    }
    if (error) {
        *error = why;
    }
    return why.isEmpty();
}

bool writeQueueAsPdf(const PageQueue& queue, const QString& path, const QString& title, QString* error) {
    PdfWriteProcess process(queue, path, title);
    runToEnd(process);
    if (!process.written() && error) {
        *error = process.error();
    }
    return process.written();
}

} // namespace tunarium
