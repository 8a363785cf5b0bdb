// tunarium-bench: the collection generator and the benchmarks.
#include "bench_commands.h"
#include "shell/application_identity.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    tunarium::setApplicationIdentity();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return tunarium::bench::run(args);
}
