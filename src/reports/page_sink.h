// Where a report's pages go as they are painted: into a page queue (for the preview, for copies the
// printer cannot make, for page-of-pages numbers), straight onto a printer, or into a PDF file.
// Every sink hands out a painter in report units (1/720 inch from the paper's top-left corner).
#pragma once

#include "data/output_file.h"
#include "reports/page_queue.h"

#include <QPageLayout>
#include <QPainter>
#include <QPicture>

#include <memory>

class QPagedPaintDevice;
class QPdfWriter;

namespace tunarium {

class PageSink {
public:
    virtual ~PageSink() = default;

    // Begins the next page. The painter stays valid until endPage(). Null when the page cannot be
    // begun; error() says why.
    virtual QPainter* beginPage() = 0;
    // Ends the page begun last; false when it could not be kept.
    virtual bool endPage() = 0;
    // The report is over. With `keep` false its output is abandoned: a file being written is
    // removed, while a queue keeps its pages for its owner to show or drop. False when the output
    // could not be completed.
    virtual bool finish(bool keep) = 0;
    // Page-of-pages numbers painted over every page once the last page is known; only a sink that
    // keeps its pages can do that. False when this one cannot.
    virtual bool setStamp(const PageStamp& stamp) {
        (void)stamp;
        return false;
    }
    // Why the last operation failed.
    const QString& error() const { return m_error; }

protected:
    QString m_error;
};

// Pages into a page queue.
class QueuePageSink : public PageSink {
public:
    explicit QueuePageSink(PageQueue& queue) : m_queue(queue) {}

    QPainter* beginPage() override;
    bool endPage() override;
    bool finish(bool keep) override;
    bool setStamp(const PageStamp& stamp) override;

private:
    PageQueue& m_queue;
    QPicture m_page;
    QPainter m_painter;
};

// Pages straight onto a paged device (a printer, a PDF writer), one device page per page. The
// device is switched to the report's page layout, measured from the paper's edge.
class DevicePageSink : public PageSink {
public:
    DevicePageSink(QPagedPaintDevice& device, const QPageLayout& layout);

    QPainter* beginPage() override;
    bool endPage() override { return true; }
    bool finish(bool keep) override;
    int pages() const { return m_pages; }

private:
    QPagedPaintDevice& m_device;
    QPageLayout m_layout;
    QPainter m_painter;
    int m_pages = 0;
};

// A PDF file being written. The pages go to a temporary file in the target's folder, which takes
// the target's name only when commit() is called after the last page: a report that fails or is
// abandoned leaves neither a half-written file under the target's name nor the temporary file.
class PdfFile {
public:
    PdfFile(const QString& path, const QPageLayout& layout, const QString& title);
    ~PdfFile();
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    // False when the file cannot be written; error() says why.
    bool isOpen() const { return m_writer != nullptr; }
    const QString& error() const { return m_error; }
    QPagedPaintDevice& device();
    // After the painter on device() has ended: gives the file its name. False (and no file) when
    // anything could not be written.
    bool commit();

private:
    OutputFile m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    QString m_error;
};

// Pages into a PDF file, which appears under its name when the report finishes and is kept.
class PdfFileSink : public PageSink {
public:
    PdfFileSink(const QString& path, const QPageLayout& layout, const QString& title);

    QPainter* beginPage() override;
    bool endPage() override { return true; }
    bool finish(bool keep) override;
    int pages() const { return m_device ? m_device->pages() : 0; }

private:
    PdfFile m_file;
    std::unique_ptr<DevicePageSink> m_device;
};

// The layout with its margins kept but measured from the paper's edge: how the sinks address a
// device, so that a page's units mean the same on every device.
QPageLayout fullPageLayout(const QPageLayout& layout);

} // namespace tunarium
