// Commands of tunarium-bench.
#pragma once

#include <QStringList>

namespace tunarium::bench {

int run(const QStringList& args);

} // namespace tunarium::bench
