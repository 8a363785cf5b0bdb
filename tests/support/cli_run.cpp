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

namespace {

// sh -c: bind the folder onto itself, make that read-only, then run the rest.
const char kReadOnlyScript[] =
    "mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\" \"$1\" && shift && exec \"$@\"";

CliRun runReadOnly(const TempCollection* dir, const QString& folder, const QString& program, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (dir) {
        env.insert("TUNARIUM_CONFIG_DIR", dir->configDir());
    }
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("unshare"),
            QStringList{"-r", "-m", "sh", "-c", QString::fromLatin1(kReadOnlyScript), "sh", folder, program} + args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
        return {-1, {}, {}};
    }
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

bool readOnlyFoldersAvailable() {
    static const bool available = [] {
        TempCollection probe;
        // Inside, a write to the folder must fail (test -w cannot tell for root).
        const CliRun run = runReadOnly(nullptr, probe.configDir(), QStringLiteral("sh"),
                                       {"-c", QStringLiteral("! touch \"$0/x\" 2>/dev/null"), probe.configDir()});
        return run.exitCode == 0;
    }();
    return available;
}

CliRun runCliWithReadOnlyFolder(const TempCollection& dir, const QString& folder, const QStringList& args) {
    return runReadOnly(&dir, folder, qEnvironmentVariable("TUNARIUM_CLI"), args);
}

} // namespace tunarium::test
