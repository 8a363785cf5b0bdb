// The labels benchmark, on a generated collection (read only): filling a label from the album with
// the most songs among the first albums (time per fill, beside reading the same songs by raw
// SQLite), and the binder pages of the first 1 000 file numbers into a PDF file (time, memory
// growth, longest step of one album, pages), beside reading the same albums and songs by raw SQLite.
#include "bench_commands.h"
#include "bench_process.h"

#include "data/database.h"
#include "reports/binder_pages.h"
#include "reports/label_fill.h"
#include "reports/report_run.h"

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace tunarium::bench {

namespace {

constexpr int kFileNumbers = 1000;
constexpr int kFills = 200;

int fail(const QString& message) {
    std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(message));
    return 1;
}

// Rows of a raw query with one bound value; the number of rows read.
qint64 rawRows(sqlite3* db, const char* sql, const QVariant& value) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (value.typeId() == QMetaType::QString) {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text(stmt, 1, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_int64(stmt, 1, value.toLongLong());
    }
    qint64 rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            (void)sqlite3_column_text(stmt, c);
        }
        ++rows;
    }
    sqlite3_finalize(stmt);
    return rows;
}

} // namespace

int labelsBench(const QString& dir) {
    RecordingPrompter prompter;
    QTemporaryDir work;
    Database db(prompter, dir, work.filePath(QStringLiteral("profile.ini")));
    if (!db.openTables({TableId::Album, TableId::Tunarium, TableId::Labels, TableId::Fonts})) {
        return fail(QStringLiteral("cannot open the collection in %1").arg(dir));
    }
    Store& store = db.store();
    sqlite3* raw = nullptr;
    sqlite3_open_v2(QDir(dir).filePath(QStringLiteral("tunarium.db")).toUtf8().constData(), &raw,
                    SQLITE_OPEN_READONLY, nullptr);

    // The album with the most songs among the first hundred.
    QVector<Row> albums;
    if (StoreError e =
            store.read(TableId::Album, alb::kKeyAlbumId, {}, Direction::Forward, true, 100, albums)) {
        return fail(e.describe());
    }
    Row album;
    qint64 most = -1;
    for (const Row& a : albums) {
        const qint64 songs = rawRows(raw, "SELECT ID FROM Tunarium WHERE AlbumID = ? AND AlbumID <> 0",
                                     a.number(alb::kAlbumId));
        if (songs > most) {
            most = songs;
            album = a;
        }
    }
    if (most <= 0) {
        return fail(QStringLiteral("the collection has no album with songs"));
    }
    QElapsedTimer timer;
    timer.start();
    int tracks = 0;
    for (int i = 0; i < kFills; ++i) {
        Row label = newLabel(1);
        tracks = fillLabelFromAlbum(store, album, {}, label).tracks;
    }
    const double fillMs = elapsedMs(timer) / kFills;
    timer.restart();
    for (int i = 0; i < kFills; ++i) {
        rawRows(raw,
                "SELECT Title, Artist, Side, TrackNumber, Time, AdditionalInformation1 FROM Tunarium "
                "WHERE AlbumID = ? AND AlbumID <> 0 ORDER BY Side, TrackNumber",
                album.number(alb::kAlbumId));
    }
    const double rawFillMs = elapsedMs(timer) / kFills;
    figure("labels_fill_songs", tracks, "songs");
    figure("labels_fill", fillMs, "ms");
    ratio("labels_fill", fillMs, rawFillMs);

    // The first and the thousandth file number in the key's order.
    QVector<Row> numbered;
    if (StoreError e = store.read(TableId::Album, alb::kKeyFileNumber, {}, Direction::Forward, true,
                                  kFileNumbers, numbered)) {
        return fail(e.describe());
    }
    if (numbered.isEmpty()) {
        return fail(QStringLiteral("the collection has no album with a file number"));
    }
    const BinderRange range{numbered.front().text(alb::kFileNumber), numbered.back().text(alb::kFileNumber)};
    const QString pdf = work.filePath(QStringLiteral("binder.pdf"));
    const QPageLayout paper = defaultReportPaper();
    const double memoryBefore = residentMb();
    double memoryPeak = memoryBefore;
    PdfFileSink sink(pdf, paper, QStringLiteral("CD Binder Pages"));
    BinderPagesProcess process(store, BinderStyle::Binder, range, sink, paper);
    const StepFigures steps =
        stepToEnd(process, [&](double) { memoryPeak = std::max(memoryPeak, residentMb()); });
    if (!process.outputKept()) {
        return fail(process.error().isEmpty() ? QStringLiteral("the binder pages printed nothing")
                                              : process.error());
    }
    timer.restart();
    qint64 rawSongs = 0;
    for (const Row& a : numbered) {
        rawSongs += rawRows(raw,
                            "SELECT Artist, Title, Mix, Skips, TrackNumber, Time FROM Tunarium WHERE AlbumID "
                            "= ? AND AlbumID <> 0 "
                            "ORDER BY Side, TrackNumber",
                            a.number(alb::kAlbumId));
    }
    const double rawBinderMs = elapsedMs(timer);
    sqlite3_close(raw);
    figure("labels_binder_albums", process.albumsPrinted(), "albums");
    figure("labels_binder_songs", static_cast<double>(rawSongs), "songs");
    figure("labels_binder_pages", process.pages(), "pages");
    figure("labels_binder_pdf", steps.totalMs, "ms");
    figure("labels_binder_longest_step", steps.longestTickMs, "ms");
    figure("labels_binder_memory_growth", memoryPeak - memoryBefore, "MB");
    ratio("labels_binder_pdf_vs_raw_reads", steps.totalMs, rawBinderMs);
    return 0;
}

} // namespace tunarium::bench
