// Printing and PDF writing of a page queue.
#include "reports/report_output.h"

#include "reports/page_sink.h"

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

bool writeQueueAsPdf(const PageQueue& queue, const QString& path, const QString& title, QString* error) {
    PdfFile file(path, queue.pageLayout(), title);
    if (!file.isOpen()) {
        if (error) {
            *error = file.error();
        }
        return false;
    }
    if (!paintQueue(queue, file.device(), PrintRun{}, error)) {
        return false;
    }
    if (!file.commit()) {
        if (error) {
            *error = file.error();
        }
        return false;
    }
    return true;
}

} // namespace tunarium
