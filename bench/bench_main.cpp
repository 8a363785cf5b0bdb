// tunarium-bench: the collection generator and the benchmarks.
#include "bench_commands.h"
#include "shell/application_identity.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    // The report engine paints pages and opens the preview: it needs fonts and widgets, on the
    // offscreen platform unless a display is chosen.
    const bool painting =
        argc > 1 && (std::strcmp(argv[1], "report-engine") == 0 || std::strcmp(argv[1], "reports") == 0 ||
                     std::strcmp(argv[1], "labels") == 0 || std::strcmp(argv[1], "stats") == 0);
    if (painting && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::unique_ptr<QCoreApplication> app;
    if (painting) {
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    tunarium::setApplicationIdentity();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return tunarium::bench::run(args);
}
