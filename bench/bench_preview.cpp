// The preview window opening on a page queue, timed up to its first page drawn.
#include "bench_commands.h"
#include "bench_report.h"

#include "data/prompter.h"
#include "reports/ui/report_preview_window.h"

#include <QApplication>

namespace tunarium::bench {

double openPreviewMs(const PageQueue& queue) {
    RecordingPrompter prompter;
    QElapsedTimer timer;
    timer.start();
    // The queue stays the benchmark's.
    auto* window = new ReportPreviewWindow(std::shared_ptr<const PageQueue>(&queue, [](const PageQueue*) {}),
                                           QStringLiteral("Songs by Artist"), prompter);
    window->show();
    do {
        QApplication::processEvents();
    } while (window->pendingThumbnails() > 0 && timer.elapsed() < 60000);
    const double ms = elapsedMs(timer);
    window->close();
    QApplication::processEvents();
    return ms;
}

} // namespace tunarium::bench
