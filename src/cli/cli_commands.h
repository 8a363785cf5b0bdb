// Commands of tunarium-cli. Exit status: 0 done, 1 failed, 2 bad usage; messages go to
// standard error, results to standard output.
#pragma once

#include "data/prompter.h"

#include <QStringList>
#include <QTextStream>

namespace tunarium::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int run(const QStringList& args);

// Standard output and standard error.
QTextStream& out();
QTextStream& err();
// Tells a usage problem and the usage; returns kExitUsage.
int usage(const QString& problem);
// Tells a failure; returns kExitFailure.
int fail(const QString& message);

// Messages go to standard error and take their default answer: the command line runs
// unattended.
class CliPrompter : public RecordingPrompter {
public:
    int message(const PromptMessage& m) override;
    void halt(const QString& text) override;
};

// The import and export commands; `args` are the command's own arguments.
int runImport(const QString& dir, const QStringList& args);
int runExport(const QString& dir, const QStringList& args);

} // namespace tunarium::cli
