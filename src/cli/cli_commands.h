// Commands of tunarium-cli. Exit status: 0 done, 1 failed, 2 bad usage; messages go to
// standard error, results to standard output.
#pragma once

#include <QStringList>

namespace tunarium::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int run(const QStringList& args);

} // namespace tunarium::cli
