// Identifying a disc from a table-of-contents file: the CD reader's whole read through the MCI
// command strings, beside reading the same file and computing the disc IDs with libdiscid alone.
#include "bench_commands.h"
#include "bench_report.h"

#include "albums/cd_reader.h"
#include "albums/disc_ids.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace tunarium::bench {

namespace {

// A twelve-track disc of 59 minutes.
const char* const kToc =
    "1 12 267257 150 22767 41887 58317 72102 91375 104652 115380 132165 143932 159870 174597\n";

// The value below which `share` of the values lie.
double quantile(QVector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[static_cast<qsizetype>(share * static_cast<double>(values.size() - 1))];
}

} // namespace

int cdIdentifyBench() {
    QTemporaryDir dir;
    const QString path = dir.filePath("disc.toc");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(kToc) < 0) {
        std::fprintf(stderr, "tunarium-bench: cannot write %s\n", qPrintable(path));
        return 1;
    }
    file.close();

    constexpr int kRuns = 201;
    QVector<double> ours;
    QVector<double> raw;
    QString cddb;
    QString musicBrainz;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        TocFileDrive drive(path);
        MciCdAudio mci(drive);
        RecordingPrompter prompter;
        AlbumRecord album;
        CdReader reader(mci, prompter, nullptr, album, false, false);
        if (!reader.readCD()) {
            std::fprintf(stderr, "tunarium-bench: the read failed\n");
            return 1;
        }
        ours << elapsedMs(timer);
        cddb = album.xccd;
        musicBrainz = reader.musicBrainzDiscId();

        timer.restart();
        DiscToc toc;
        const QString problem = readDiscTocFile(path, toc);
        const DiscIds ids = discIdsOf(toc);
        raw << elapsedMs(timer);
        if (!problem.isEmpty() || ids.freedb != cddb || ids.musicBrainz != musicBrainz) {
            std::fprintf(stderr, "tunarium-bench: the reader and libdiscid disagree\n");
            return 1;
        }
    }
    // The first read also pays for loading what every later one finds ready (locale, libdiscid).
    figure("cd_identify_first", ours.first(), "ms");
    figure("cd_identify_median", quantile(ours, 0.5), "ms");
    // Slow runs on a busy machine are the scheduler's; the 95th percentile shows the reader's own.
    figure("cd_identify_p95", quantile(ours, 0.95), "ms");
    figure("cd_identify_max", quantile(ours, 1.0), "ms");
    figure("toc_file_libdiscid_median", quantile(raw, 0.5), "ms");
    ratio("cd_identify", quantile(ours, 0.5), quantile(raw, 0.5));
    return 0;
}

} // namespace tunarium::bench
