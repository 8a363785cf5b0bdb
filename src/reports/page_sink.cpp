// The page sinks and the PDF file.
#include "reports/page_sink.h"

#include <QDir>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPdfWriter>

namespace tunarium {

QPageLayout fullPageLayout(const QPageLayout& layout) {
    QPageLayout full = layout;
    full.setMode(QPageLayout::FullPageMode);
    return full;
}

QPainter* QueuePageSink::beginPage() {
    m_page = QPicture();
    m_page.setBoundingRect(paperRect(m_queue.pageLayout()).toAlignedRect());
    if (!m_painter.begin(&m_page)) {
        m_error = QStringLiteral("A page of the report cannot be started.");
        return nullptr;
    }
    return &m_painter;
}

bool QueuePageSink::endPage() {
    if (m_painter.isActive()) {
        m_painter.end();
    }
    const bool written = m_queue.append(m_page);
    if (!written) {
        m_error = m_queue.error();
    }
    m_page = QPicture();
    return written;
}

bool QueuePageSink::finish(bool keep) {
    (void)keep;
    if (m_painter.isActive()) {
        m_painter.end();
    }
    return true;
}

bool QueuePageSink::setStamp(const PageStamp& stamp) {
    m_queue.setStamp(stamp);
    return true;
}

DevicePageSink::DevicePageSink(QPagedPaintDevice& device, const QPageLayout& layout)
    : m_device(device), m_layout(fullPageLayout(layout)) {}

QPainter* DevicePageSink::beginPage() {
    if (m_pages == 0) {
        m_device.setPageLayout(m_layout);
        if (!m_painter.begin(&m_device)) {
            m_error = QStringLiteral("The first page cannot be started.");
            return nullptr;
        }
    } else if (!m_device.newPage()) {
        m_error = QStringLiteral("Page %1 cannot be started.").arg(m_pages + 1);
        return nullptr;
    }
    ++m_pages;
    m_painter.resetTransform();
    m_painter.scale(m_device.logicalDpiX() / kReportUnitsPerInch,
                    m_device.logicalDpiY() / kReportUnitsPerInch);
    return &m_painter;
}

bool DevicePageSink::finish(bool keep) {
    (void)keep;
    if (m_painter.isActive() && !m_painter.end()) {
        m_error = QStringLiteral("The pages could not be completed.");
        return false;
    }
    return true;
}

PdfFile::PdfFile(const QString& path, const QPageLayout& layout, const QString& title) : m_file(path) {
    // The pages go to a temporary name beside the target, which takes the target's name when
    // the last page is written; the collection's own files are never a target.
    if (!m_file.begin()) {
        m_error = m_file.error();
        return;
    }
    m_writer = std::make_unique<QPdfWriter>(&m_file);
    m_writer->setTitle(title);
    m_writer->setCreator(QStringLiteral("Tunarium Pro 98"));
    m_writer->setPageLayout(fullPageLayout(layout));
}

PdfFile::~PdfFile() {
    m_writer.reset();
    m_file.discard();
}

QPagedPaintDevice& PdfFile::device() {
    return *m_writer;
}

bool PdfFile::commit() {
    if (!m_writer) {
        return false;
    }
    // The writer puts the file's last part (its cross-reference table) out as it goes.
    m_writer.reset();
    if (!m_file.commit()) {
        m_error = m_file.error();
        return false;
    }
    return true;
}

PdfFileSink::PdfFileSink(const QString& path, const QPageLayout& layout, const QString& title)
    : m_file(path, layout, title) {
    if (m_file.isOpen()) {
        m_device = std::make_unique<DevicePageSink>(m_file.device(), layout);
    } else {
        m_error = m_file.error();
    }
}

QPainter* PdfFileSink::beginPage() {
    if (!m_device) {
        return nullptr;
    }
    QPainter* painter = m_device->beginPage();
    if (!painter) {
        m_error = m_device->error();
    }
    return painter;
}

bool PdfFileSink::finish(bool keep) {
    if (!m_device) {
        return false;
    }
    const bool ended = m_device->finish(keep);
    // Otherwise nothing is left behind: the temporary file goes with the PdfFile.
    if (!keep) {
        return true;
    }
    if (!ended) {
        m_error = m_device->error();
        return false;
    }
    if (m_device->pages() == 0) {
        m_error = QStringLiteral("The report has no pages to write.");
        return false;
    }
    if (!m_file.commit()) {
        m_error = m_file.error();
        return false;
    }
    return true;
}

} // namespace tunarium
