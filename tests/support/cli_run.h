// Runs tunarium-cli as a user does, in a test's own configuration directory.
#pragma once

#include "support/temp_collection.h"

#include <QStringList>

namespace tunarium::test {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// False when the test run does not say where tunarium-cli is (TUNARIUM_CLI).
bool cliAvailable();
CliRun runCli(const TempCollection& dir, const QStringList& args);

// Runs tunarium-cli with `folder` mounted read-only for it alone (a mount namespace of its own,
// as a read-only disc or share would be). False from readOnlyFoldersAvailable() when the system
// gives the test no such namespace (unshare and mount).
bool readOnlyFoldersAvailable();
CliRun runCliWithReadOnlyFolder(const TempCollection& dir, const QString& folder, const QStringList& args);

} // namespace tunarium::test
