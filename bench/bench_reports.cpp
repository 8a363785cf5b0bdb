// The reports benchmark, on a generated collection: Songs by Artist of a copy of the collection cut
// to 100 000 songs into a PDF file (time, memory growth, longest step of 25 records), beside the
// same lines read by raw SQLite in the key's order and drawn by QPainter straight onto a
// QPdfWriter; the same report of the whole collection with "Selected" "ab" into a page queue
// (first page in the queue, and the whole run beside the walk of the whole key with the same
// test); the preview opening a queue of some 2 000 pages.
#include "bench_commands.h"
#include "bench_process.h"
#include "data/store_sqlite.h"

#include "data/database.h"
#include "reports/page_sink.h"
#include "reports/report_run.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace tunarium::bench {

namespace {

constexpr qint64 kCutSongs = 100000;

int fail(const QString& message) {
    std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(message));
    return 1;
}

// The first `songs` songs (by number) and every category of the collection in `from`, copied
// into a new collection in `to` through the store.
StoreError copyCut(const QString& from, const QString& to, qint64 songs) {
    SqliteStore source;
    SqliteStore target;
    if (StoreError e = source.open(from); e || (e = target.open(to))) {
        return e;
    }
    for (TableId table : {TableId::Categories, TableId::Tunarium}) {
        if (StoreError e = source.openTable(table); e || (e = target.openTable(table))) {
            return e;
        }
    }
    Transaction tx(target);
    for (TableId table : {TableId::Categories, TableId::Tunarium}) {
        const TableDef& t = tableDef(table);
        KeyPosition next;
        qint64 copied = 0;
        QVector<Row> rows;
        const qint64 limit = table == TableId::Tunarium ? songs : std::numeric_limits<qint64>::max();
        do {
            if (StoreError e =
                    source.read(table, t.primaryKey, next, Direction::Forward, false, 1000, rows)) {
                return e;
            }
            for (Row& row : rows) {
                if (copied++ >= limit) {
                    break;
                }
                next = source.positionOf(row, t.primaryKey);
                row.meta = {};
                if (StoreError e = target.insert(row)) {
                    return e;
                }
            }
        } while (rows.size() == 1000 && copied < limit);
    }
    return tx.commit();
}

// The lines of Songs by Artist read by raw SQLite in the key's order, their category names looked
// up, and drawn at the report's places straight onto a QPdfWriter.
double rawPdfMs(const QString& dir, const ReportDefinition& def, const QPageLayout& layout,
                const QString& pdf) {
    const ReportBands bands(def, layout, QDateTime::currentDateTime());
    const FittedFont font(def.fonts.detail);
    QList<Picture> pictures;
    for (const ReportColumn& c : def.columns) {
        pictures << Picture::parse(c.picture);
    }
    QElapsedTimer timer;
    timer.start();
    sqlite3* db = nullptr;
    sqlite3_open_v2(QDir(dir).filePath(QStringLiteral("tunarium.db")).toUtf8().constData(), &db,
                    SQLITE_OPEN_READONLY, nullptr);
    QHash<qint64, QString> categories;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT CategoryID, Category FROM Categories", -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        categories.insert(sqlite3_column_int64(stmt, 0),
                          QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1))));
    }
    sqlite3_finalize(stmt);
    const TableDef& t = tableDef(TableId::Tunarium);
    const QByteArray order =
        sql::keyColumns(t, t.keyIndex(u"SongsByArtist")).join(QStringLiteral(", ")).toUtf8();
    sqlite3_prepare_v2(
        db,
        "SELECT Artist, Title, Mix, Album, Media, CategoryID, TrackNumber, ChartNumber, FileNumber, "
        "ReleaseDate, Skips, DoNotPlay FROM Tunarium ORDER BY " +
            order,
        -1, &stmt, nullptr);
    QFile file(pdf);
    file.open(QIODevice::WriteOnly);
    QPdfWriter writer(&file);
    writer.setPageLayout(fullPageLayout(layout));
    QPainter painter(&writer);
    painter.scale(writer.logicalDpiX() / kReportUnitsPerInch, writer.logicalDpiY() / kReportUnitsPerInch);
    painter.setFont(font.font());
    double y = bands.bodyBottom();
    auto text = [&](int column) {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)));
    };
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        if (sqlite3_column_int64(stmt, 10) != 0 || sqlite3_column_int64(stmt, 11) != 0) {
            continue;
        }
        if (y + bands.detailHeight() > bands.bodyBottom()) {
            if (y != bands.bodyBottom()) {
                writer.newPage();
            }
            y = bands.bodyTop();
        }
        const QString mix = text(2);
        const QStringList cells{text(0),
                                mix.isEmpty() ? text(1) : text(1) + " (" + mix + ")",
                                text(3),
                                text(4),
                                categories.value(sqlite3_column_int64(stmt, 5)),
                                pictures[5].format(sqlite3_column_int64(stmt, 6)),
                                pictures[6].format(sqlite3_column_int64(stmt, 7)),
                                text(8),
                                pictures[8].format(sqlite3_column_int64(stmt, 9))};
        for (int c = 0; c < cells.size(); ++c) {
            painter.drawText(QPointF(bands.columnLeft(c), y + font.ascent()),
                             font.fit(cells[c], bands.columnWidth(c)));
        }
        y += bands.detailHeight();
    }
    painter.end();
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return elapsedMs(timer);
}

} // namespace

int reportsBench(const QString& dirPath, const std::function<double(const PageQueue&)>& openPreview) {
    if (!QFileInfo::exists(QDir(dirPath).filePath(QStringLiteral("tunarium.db")))) {
        return fail(QStringLiteral("no collection in %1 (tunarium-bench generate makes one)").arg(dirPath));
    }
    const ReportEntry& byArtist = *findReport(u"songs-by-artist");
    QTemporaryDir work;
    const QString cut = work.filePath(QStringLiteral("cut"));
    QDir().mkpath(cut);
    QElapsedTimer timer;
    timer.start();
    if (StoreError e = copyCut(dirPath, cut, kCutSongs)) {
        return fail(e.describe());
    }
    figure("reports_cut_copy", elapsedMs(timer) / 1000, "s");

    RecordingPrompter prompter;
    const Settings settings(work.filePath(QStringLiteral("Tunar98.INI")));
    const QPageLayout paper = defaultReportPaper();

    // Songs by Artist of the cut collection into a PDF file, as `tunarium-cli report` prints it.
    const QString pdf = work.filePath(QStringLiteral("songs-by-artist.pdf"));
    double memoryBefore = residentMb();
    StepFigures direct;
    int pages = 0;
    ReportDefinition definition;
    QPageLayout layout;
    {
        Database db(prompter, cut, work.filePath(QStringLiteral("profile.ini")));
        ReportRun run(db, settings, prompter, byArtist, {});
        if (!run.open()) {
            return fail(QStringLiteral("the report cannot be opened"));
        }
        layout = run.pageLayout(paper);
        definition = run.definition();
        PdfFileSink sink(pdf, layout, definition.title);
        std::unique_ptr<ReportProcess> process = run.makeProcess(sink, layout, false);
        direct = stepToEnd(*process);
        if (!process->outputKept()) {
            return fail(process->error());
        }
        pages = sink.pages();
    }
    const double memory = residentMb() - memoryBefore;
    const double raw = rawPdfMs(cut, definition, layout, work.filePath(QStringLiteral("raw.pdf")));
    figure("reports_songs", static_cast<double>(kCutSongs), "songs");
    figure("reports_pdf_pages", pages, "pages");
    figure("reports_pdf_total", direct.totalMs / 1000, "s");
    figure("reports_pdf_longest_tick", direct.longestTickMs, "ms");
    figure("reports_pdf_memory_growth", memory, "MB");
    figure("raw_pdf_total", raw / 1000, "s");
    ratio("reports_pdf", direct.totalMs, raw);

    // The whole collection with "Selected" "ab", into a page queue as a previewed report is; and
    // with "an", which the generated artists begin with, where "ab" may match none of them.
    for (const QString& prefix : {QStringLiteral("ab"), QStringLiteral("an")}) {
        const std::string name = "reports_selected_" + prefix.toStdString();
        for (bool narrowed : {true, false}) {
            Database db(prompter, dirPath, work.filePath(QStringLiteral("profile.ini")));
            ReportRequest request;
            request.criteria.selected = true;
            request.criteria.selection = prefix;
            QElapsedTimer started;
            started.start();
            ReportRun run(db, settings, prompter, byArtist, request);
            if (!run.open()) {
                return fail(QStringLiteral("the report cannot be opened"));
            }
            PageQueue queue(run.pageLayout(paper));
            QueuePageSink sink(queue);
            StepFigures walked;
            if (narrowed) {
                double firstPage = -1;
                std::unique_ptr<ReportProcess> process = run.makeProcess(sink, queue.pageLayout(), true);
                const double opened = elapsedMs(started);
                walked = stepToEnd(*process, [&](double ms) {
                    if (firstPage < 0 && queue.count() > 0) {
                        firstPage = opened + ms;
                    }
                });
                // -1: nothing matched, no page was made.
                figure((name + "_first_page").c_str(), firstPage, "ms");
                figure((name + "_pages").c_str(), queue.count(), "pages");
                figure((name + "_total").c_str(), walked.totalMs, "ms");
                figure((name + "_longest_tick").c_str(), walked.longestTickMs, "ms");
            } else {
                // The same test over the walk of the whole key.
                SongsSource source(db.store(), byArtist.keyIndex(), {}, true);
                ReportProcess process(ReportRun::progressTitle(true), run.definition(), source, sink,
                                      queue.pageLayout(), ReportSelection{true, prefix});
                walked = stepToEnd(process);
                figure((name + "_full_walk_total").c_str(), walked.totalMs, "ms");
                figure((name + "_full_walk_pages").c_str(), queue.count(), "pages");
            }
        }
    }

    // The preview opening on some 2 000 pages: the cut collection's report, queued.
    if (openPreview) {
        Database db(prompter, cut, work.filePath(QStringLiteral("profile.ini")));
        ReportRun run(db, settings, prompter, byArtist, {});
        if (!run.open()) {
            return fail(QStringLiteral("the report cannot be opened"));
        }
        PageQueue queue(run.pageLayout(paper));
        QueuePageSink sink(queue);
        std::unique_ptr<ReportProcess> process = run.makeProcess(sink, queue.pageLayout(), true);
        const StepFigures queued = stepToEnd(*process);
        figure("reports_queue_total", queued.totalMs / 1000, "s");
        figure("reports_queue_longest_tick", queued.longestTickMs, "ms");
        figure("reports_preview_pages", queue.count(), "pages");
        figure("reports_preview_open", openPreview(queue), "ms");
    }
    return 0;
}

} // namespace tunarium::bench
