// The command-line front end: tunarium-cli [--dir DIR] COMMAND [ARGS].
#include "cli/cli_commands.h"
#include "shell/application_identity.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    QStringList given;
    for (int i = 1; i < argc; ++i) {
        given << QString::fromLocal8Bit(argv[i]);
    }
    // A report paints its pages: it needs fonts, on the offscreen platform unless one is chosen.
    std::unique_ptr<QCoreApplication> app;
    if (tunarium::cli::commandPaints(given)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    tunarium::setApplicationIdentity();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return tunarium::cli::run(args);
}
