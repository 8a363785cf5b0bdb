// What the benchmarks of the forms' lists share (albums, playlists): a failure told on standard
// error, the median of timed runs, a list host that opens no form, and a working copy of the
// collection with every table open.
#pragma once

#include "bench_copy.h"

#include "catalogue/list_engine.h"
#include "data/database.h"

#include <QString>
#include <QTemporaryDir>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace tunarium::bench {

inline int fail(const QString& message) {
    std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(message));
    return 1;
}

inline double median(QVector<double> v) {
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

class NullHost : public ListHost {
public:
    void callForm(Request, const Row&) override {}
};

// A working copy of a collection with every table open (a copy of an older collection upgraded),
// removed when it goes.
struct WorkingCopy {
    QTemporaryDir dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;

    // Empty when the copy is open, else what went wrong.
    QString open(const QString& from) {
        if (const QString e = copyCollection(from, dir.path()); !e.isEmpty()) {
            return e;
        }
        db = std::make_unique<Database>(prompter, dir.path(), dir.filePath("profile.ini"));
        for (const TableDef& t : allTables()) {
            if (!db->openTable(t.id)) {
                return QStringLiteral("cannot open %1").arg(t.label);
            }
        }
        return {};
    }
};

} // namespace tunarium::bench
