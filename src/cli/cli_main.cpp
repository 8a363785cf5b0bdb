// The command-line front end: tunarium-cli [--dir DIR] COMMAND [ARGS].
#include "cli/cli_commands.h"
#include "shell/application_identity.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    tunarium::setApplicationIdentity();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return tunarium::cli::run(args);
}
