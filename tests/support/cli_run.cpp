// Running tunarium-cli from a test.
#include "support/cli_run.h"

#include <QProcess>
#include <QProcessEnvironment>

namespace tunarium::test {

bool cliAvailable() {
    return !qEnvironmentVariable("TUNARIUM_CLI").isEmpty();
}

CliRun runCli(const TempCollection& dir, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TUNARIUM_CONFIG_DIR", dir.configDir());
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("TUNARIUM_CLI"), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace tunarium::test
