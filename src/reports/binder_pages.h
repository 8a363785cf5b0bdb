// Binder pages and flap pages: for every album whose file number lies in a range (compared as
// text, without regard to case), a heading in colour with the album's title and artist and one
// line per song with its artist and title joined to its track and time by dotted leaders.
//
// Binder pages put four listings on a page, in two columns of two; a listing longer than its
// quarter goes on in the next quarter under its heading marked "(continued)". Flap pages are
// 120 mm squares with cut marks (the front insert of a jewel case), two to a page; a listing goes
// on to the next square in the same way.
#pragma once

#include "data/key_walk.h"
#include "data/row.h"
#include "data/store.h"
#include "process/process_runner.h"
#include "reports/page_sink.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPageLayout>

#include <array>
#include <memory>

namespace tunarium {

enum class BinderStyle { Binder, Flap };

// The heading colours: binder pages by a counter running 0 to 14 over the albums, flap pages by
// the album record's number modulo 15. Windows colour values (red in the low byte).
QColor binderColour(int index);
QColor flapColour(int index);

// The heading of a binder listing (80 characters): the album title, " - " and the turned artist;
// the title alone for the artist "Various".
QString binderHeading(const Row& album);
// The heading of a flap listing (200 characters): the same with the artist as stored.
QString flapHeading(const Row& album);
// A flap heading of this many characters or more takes two lines.
inline constexpr int kFlapOneLineHeading = 40;

// The longest start of `dotted` (a text followed by dots) that fits `width` report units in
// `font` (a font in report units).
QString fitLeader(const QString& dotted, const QFont& font, double width);

// fitLeader for many lines in one font: the characters' widths are added up to find the cut, and
// the text is laid out only to confirm it.
class LeaderFitter {
public:
    explicit LeaderFitter(const QFont& font);
    QString fit(const QString& dotted, double width) const;
    const QFontMetricsF& metrics() const { return m_metrics; }

private:
    double advance(QChar c) const;

    QFontMetricsF m_metrics;
    std::array<double, 256> m_advances{};
};

// The file numbers a run prints: from `from` to `to`, both included.
struct BinderRange {
    QString from;
    QString to;
};
// Whether a file number lies after the range's end (text order, without regard to case).
bool pastRangeEnd(const QString& fileNumber, const QString& to);
// What is wrong with the range as the user gave it: a start after its end holds no file number
// ("F000100" to "F000050"). Empty when nothing is.
QString binderRangeProblem(const BinderRange& range);

class BinderPagesProcess : public Process {
public:
    // Pages go to `sink` in `layout`; both must outlive the process.
    BinderPagesProcess(Store& store, BinderStyle style, BinderRange range, PageSink& sink,
                       const QPageLayout& layout);
    ~BinderPagesProcess() override;

    BinderStyle style() const { return m_style; }
    // "CD Binder Pages" or "CD Flap Pages".
    QString reportTitle() const;
    int albumsPrinted() const { return m_albums; }
    int pages() const { return m_pages; }
    // Why the run stopped before its end (a read error, a page that could not be written).
    const QString& error() const { return m_error; }
    // The output was completed and kept: the run completed, printed an album and nothing failed.
    bool outputKept() const { return m_kept; }
    // "0 Completed" before the first album, then the percentage of albums read and " Records
    // Completed".
    QString statusText() const override;

protected:
    bool begin() override;
    bool handleNext() override;
    void end() override;

private:
    struct Line;
    struct Fonts;
    // Reads on from the walk's first record or its next; false at the end or on an error.
    bool readAlbums(bool first);
    bool currentInRange() const;
    bool printAlbum(const Row& album);
    bool nextBox();
    bool paintListing(const QString& heading, const QColor& colour, const QVector<Line>& lines);
    void fail(const QString& message);

    Store& m_store;
    BinderStyle m_style;
    BinderRange m_range;
    PageSink& m_sink;
    QPageLayout m_layout;
    // The albums in file-number order, from the range's start.
    KeyWalk m_walk;
    qint64 m_total = 0;
    qint64 m_read = 0;
    int m_albums = 0;
    int m_pages = 0;
    int m_box = -1; // the box on the page being filled; -1 before the first page
    QPainter* m_painter = nullptr;
    std::unique_ptr<Fonts> m_fonts;
    bool m_kept = false;
    QString m_error;
};

} // namespace tunarium
