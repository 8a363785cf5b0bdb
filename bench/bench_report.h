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

// The machine's load (the one-minute average), printed beside figures that depend on it.
inline void loadAverage() {
    double load = -1;
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1) {
            load = -1;
        }
        std::fclose(f);
    }
    std::printf("load_average %.2f\n", load);
    std::fflush(stdout);
}

inline double elapsedMs(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace tunarium::bench
