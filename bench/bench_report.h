// Output of the benchmarks: one figure a line as "name value unit", ratios as "name_ratio value x".
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <cstdio>

namespace tunarium::bench {

// What every figure's name begins with meanwhile: the same benchmark run on two backends tells
// its figures apart by it ("server_", "file_").
inline QByteArray& figurePrefix() {
    static QByteArray prefix;
    return prefix;
}

class FigurePrefix {
public:
    explicit FigurePrefix(const char* prefix) : m_before(figurePrefix()) { figurePrefix() = prefix; }
    ~FigurePrefix() { figurePrefix() = m_before; }
    FigurePrefix(const FigurePrefix&) = delete;
    FigurePrefix& operator=(const FigurePrefix&) = delete;

private:
    QByteArray m_before;
};

inline void figure(const char* name, double value, const char* unit) {
    std::printf("%s%s %.3f %s\n", figurePrefix().constData(), name, value, unit);
    std::fflush(stdout);
}

inline void ratio(const char* name, double ours, double raw) {
    std::printf("%s%s_ratio %.2f x\n", figurePrefix().constData(), name, raw > 0 ? ours / raw : 0.0);
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
