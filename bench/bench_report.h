// Output of the benchmarks: one figure a line as "name value unit", ratios as "name_ratio value x".
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

namespace tunarium::bench {

inline void figure(const char* name, double value, const char* unit) {
    std::printf("%s %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

inline void ratio(const char* name, double ours, double raw) {
    std::printf("%s_ratio %.2f x\n", name, raw > 0 ? ours / raw : 0.0);
    std::fflush(stdout);
}

inline double elapsedMs(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace tunarium::bench
