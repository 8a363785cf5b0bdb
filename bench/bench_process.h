// What the benchmarks of processes share: stepping a process as the progress window does, and the
// memory the benchmark process holds.
#pragma once

#include "bench_report.h"

#include "process/process_runner.h"

#include <QFile>

#include <algorithm>
#include <functional>

namespace tunarium::bench {

// The process's resident memory in MB, from /proc.
inline double residentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
        }
    }
    return 0;
}

struct StepFigures {
    double totalMs = 0;
    double longestTickMs = 0;
    qint64 ticks = 0;
    // When the process's message line changed last (an import building its keys), from the start.
    double messageChangedMs = 0;
};

// Steps the process to its end as the progress window's timer does; `afterStep`, when given, is
// told the time from the start after every step.
inline StepFigures stepToEnd(Process& process, const std::function<void(double)>& afterStep = {}) {
    StepFigures f;
    QElapsedTimer total;
    total.start();
    QElapsedTimer tick;
    tick.start();
    bool more = process.start();
    f.longestTickMs = elapsedMs(tick);
    QString message = process.message();
    while (more) {
        tick.restart();
        more = process.step();
        f.longestTickMs = std::max(f.longestTickMs, elapsedMs(tick));
        ++f.ticks;
        if (afterStep) {
            afterStep(elapsedMs(total));
        }
        if (process.message() != message && !process.message().isEmpty()) {
            message = process.message();
            f.messageChangedMs = elapsedMs(total);
        }
    }
    f.totalMs = elapsedMs(total);
    return f;
}

} // namespace tunarium::bench
