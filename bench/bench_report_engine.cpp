// The report engine benchmark. Generated songs (as the collection generator makes them, one at a
// time, so the source holds one song) are printed in the columns of Songs by Artist on landscape
// Letter: straight into a PDF file, and into a page queue that is then written as PDF. Beside it,
// the same texts at the same places drawn by QPainter straight onto a QPdfWriter, without the
// engine. Figures: time, pages, the longest step of 25 records, memory growth, the first page in
// the queue, and the preview opening the queue.
#include "bench_commands.h"
#include "bench_process.h"
#include "collection_generator.h"

#include "reports/page_sink.h"
#include "reports/report_output.h"
#include "reports/report_process.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QPdfWriter>

#include <cstdio>

namespace tunarium::bench {

namespace {

const QStringList kFields{"TUN:Artist",      "TUN:Title",      "TUN:Album",
                          "TUN:Media",       "CAT:Category",   "TUN:TrackNumber",
                          "TUN:ChartNumber", "TUN:FileNumber", "TUN:ReleaseDate"};

class GeneratedSongs : public ReportRecordSource {
public:
    explicit GeneratedSongs(qint64 count) : m_count(count), m_factory(options(count)) {}

    int fieldIndex(QStringView name) const override { return static_cast<int>(kFields.indexOf(name)); }
    bool first() override { return read(); }
    bool next() override { return read(); }
    QVariant value(int field) const override { return m_values.at(field); }
    qint64 total() const override { return m_count; }

private:
    static GeneratorOptions options(qint64 count) {
        GeneratorOptions o;
        o.songs = count;
        return o;
    }
    bool read() {
        if (m_factory.produced() >= m_count) {
            return false;
        }
        std::optional<AlbumRecord> album;
        const SongRecord s = m_factory.next(album);
        m_values = {s.artist,
                    s.title,
                    s.album,
                    s.media,
                    QStringLiteral("Category %1").arg(s.categoryId),
                    s.trackNumber,
                    s.chartNumber,
                    s.fileNumber,
                    s.releaseDate};
        return true;
    }

    qint64 m_count;
    SongFactory m_factory;
    QVariantList m_values;
};

ReportDefinition songsByArtist() {
    ReportDefinition def;
    def.title = QStringLiteral("Songs by Artist");
    auto column = [](const char* heading, const char* field, const char* picture, double width,
                     ColumnAlignment alignment = ColumnAlignment::Left) {
        return ReportColumn{QString::fromLatin1(heading), QString::fromLatin1(field),
                            QString::fromLatin1(picture), width, alignment};
    };
    def.columns = {column("Artist", "TUN:Artist", "@s50", 22),
                   column("Title", "TUN:Title", "@s50", 24),
                   column("Album", "TUN:Album", "@s50", 22),
                   column("Media", "TUN:Media", "@s20", 8),
                   column("Category", "CAT:Category", "@s30", 12),
                   column("Track", "TUN:TrackNumber", "@n3b", 4, ColumnAlignment::Right),
                   column("Chart", "TUN:ChartNumber", "@n3b", 4, ColumnAlignment::Right),
                   column("File Number", "TUN:FileNumber", "@s20", 10),
                   column("Release Date", "TUN:ReleaseDate", "@d3b", 10)};
    def.selectionField = QStringLiteral("TUN:Artist");
    return def;
}

QPageLayout landscapeLetter() {
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(36, 36, 36, 36),
                       QPageLayout::Point);
}

int fail(const QString& message) {
    std::fprintf(stderr, "tunarium-bench: %s\n", qPrintable(message));
    return 1;
}

qint64 folderBytes(const QString& folder) {
    qint64 bytes = 0;
    for (QDirIterator it(folder, QDir::Files); it.hasNext();) {
        bytes += QFileInfo(it.next()).size();
    }
    return bytes;
}

// The same cells at the same places, drawn straight onto a QPdfWriter: what Qt's PDF output itself
// costs for the text of the report.
double rawPdfMs(qint64 songs, const QString& path) {
    const ReportDefinition def = songsByArtist();
    const ReportBands bands(def, landscapeLetter(), QDateTime::currentDateTime());
    QList<Picture> pictures;
    for (const ReportColumn& c : def.columns) {
        pictures << Picture::parse(c.picture);
    }
    const FittedFont font(def.fonts.detail);
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QPdfWriter writer(&file);
    writer.setPageLayout(fullPageLayout(landscapeLetter()));
    QPainter painter(&writer);
    painter.scale(writer.logicalDpiX() / kReportUnitsPerInch, writer.logicalDpiY() / kReportUnitsPerInch);
    painter.setFont(font.font());
    GeneratedSongs source(songs);
    double y = bands.bodyBottom();
    for (bool more = source.first(); more; more = source.next()) {
        if (y + bands.detailHeight() > bands.bodyBottom()) {
            if (y != bands.bodyBottom()) {
                writer.newPage();
            }
            y = bands.bodyTop();
        }
        for (int c = 0; c < def.columns.size(); ++c) {
            painter.drawText(QPointF(bands.columnLeft(c), y + font.ascent()),
                             pictures[c].format(source.value(c)));
        }
        y += bands.detailHeight();
    }
    painter.end();
    return elapsedMs(timer);
}

} // namespace

int reportEngineBench(const QString& dirPath, qint64 songs,
                      const std::function<double(const PageQueue&)>& openPreview) {
    if (!QDir().mkpath(dirPath)) {
        return fail(QStringLiteral("the folder %1 cannot be made").arg(dirPath));
    }
    const QDir dir(dirPath);
    const QPageLayout layout = landscapeLetter();
    {
        // Fonts and the PDF engine load once, before anything is measured.
        GeneratedSongs warm(200);
        PdfFileSink sink(dir.filePath(QStringLiteral("warm-up.pdf")), layout, QStringLiteral("warm"));
        ReportProcess process(QStringLiteral("Printing Report"), songsByArtist(), warm, sink, layout);
        runToEnd(process);
        QFile::remove(dir.filePath(QStringLiteral("warm-up.pdf")));
    }

    // Straight into a PDF file, as the command line prints a report.
    const QString pdf = dir.filePath(QStringLiteral("report-engine.pdf"));
    double memoryBefore = residentMb();
    StepFigures direct;
    int directPages = 0;
    {
        GeneratedSongs source(songs);
        PdfFileSink sink(pdf, layout, QStringLiteral("Songs by Artist"));
        ReportProcess process(QStringLiteral("Printing Report"), songsByArtist(), source, sink, layout);
        direct = stepToEnd(process);
        if (!process.outputKept()) {
            return fail(process.error());
        }
        directPages = process.pagesBegun();
    }
    const double directMemory = residentMb() - memoryBefore;
    const double raw = rawPdfMs(songs, dir.filePath(QStringLiteral("raw.pdf")));

    figure("report_songs", static_cast<double>(songs), "songs");
    figure("report_pdf_pages", directPages, "pages");
    figure("report_pdf_total", direct.totalMs, "ms");
    figure("report_pdf_longest_tick", direct.longestTickMs, "ms");
    figure("report_pdf_memory_growth", directMemory, "MB");
    figure("report_pdf_size", QFileInfo(pdf).size() / 1048576.0, "MB");
    figure("raw_pdf_total", raw, "ms");
    ratio("report_pdf", direct.totalMs, raw);

    // Into a page queue, as a previewed report is; then the queue written as PDF.
    memoryBefore = residentMb();
    PageQueue queue(layout);
    double firstPageMs = -1;
    StepFigures queued;
    {
        GeneratedSongs source(songs);
        QueuePageSink sink(queue);
        ReportProcess process(QStringLiteral("Generating Report"), songsByArtist(), source, sink, layout);
        queued = stepToEnd(process, [&](double ms) {
            if (firstPageMs < 0 && queue.count() > 0) {
                firstPageMs = ms;
            }
        });
        if (process.failed()) {
            return fail(process.error());
        }
    }
    const double queueMemory = residentMb() - memoryBefore;
    figure("report_queue_total", queued.totalMs, "ms");
    figure("report_queue_first_page", firstPageMs, "ms");
    figure("report_queue_longest_tick", queued.longestTickMs, "ms");
    figure("report_queue_memory_growth", queueMemory, "MB");
    figure("report_queue_disk", folderBytes(queue.folder()) / 1048576.0, "MB");

    PdfWriteProcess saving(queue, dir.filePath(QStringLiteral("report-queue.pdf")),
                           QStringLiteral("Songs by Artist"));
    const StepFigures saved = stepToEnd(saving);
    if (!saving.written()) {
        return fail(saving.error());
    }
    figure("report_queue_to_pdf", saved.totalMs, "ms");
    figure("report_queue_to_pdf_longest_tick", saved.longestTickMs, "ms");
    if (openPreview) {
        figure("report_preview_pages", queue.count(), "pages");
        figure("report_preview_open", openPreview(queue), "ms");
    }
    return 0;
}

} // namespace tunarium::bench
