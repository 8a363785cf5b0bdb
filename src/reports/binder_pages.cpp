// Binder and flap pages.
#include "reports/binder_pages.h"

#include "albums/cd_times.h"
#include "data/dictionary_tables.h"
#include "data/key_walk.h"
#include "reports/label_layout.h"
#include "reports/label_text.h"
#include "reports/report_bands.h"
#include "reports/report_sources.h"

#include <QFontMetricsF>
#include <QPainter>

#include <array>

namespace tunarium {

namespace {

constexpr double kBoxGapMm = 6.0;
constexpr double kFlapGapMm = 14.0;
constexpr double kPadMm = 2.5;

constexpr std::array<int, 15> kBinderColours{0x000000, 0x000080, 0x008000, 0x008080, 0x800000,
                                             0x800080, 0x808000, 0x808080, 0xC0C0C0, 0x0000FF,
                                             0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00};
constexpr std::array<int, 15> kFlapColours{0x000000, 0x000080, 0x008000, 0x008080, 0x800000,
                                           0x800080, 0x808000, 0xFF0000, 0x000080, 0x0000FF,
                                           0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00};

QColor windowsColour(int value) {
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

QFont pageFont(double points, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return FittedFont(font).font();
}

bool isVarious(const QString& artist) {
    return trimTrailingBlanks(artist).compare(QLatin1String("Various"), Qt::CaseInsensitive) == 0;
}

QString heading(const Row& album, bool turned, int width) {
    const QString title = trimTrailingBlanks(album.text(alb::kAlbum));
    const QString artist = album.text(alb::kArtist);
    if (isVarious(artist)) {
        return title.left(width);
    }
    return (title + QStringLiteral(" - ") + (turned ? turnArtistName(artist) : trimTrailingBlanks(artist)))
        .left(width);
}

} // namespace

QColor binderColour(int index) {
    return windowsColour(kBinderColours[static_cast<size_t>(((index % 15) + 15) % 15)]);
}

QColor flapColour(int index) {
    return windowsColour(kFlapColours[static_cast<size_t>(((index % 15) + 15) % 15)]);
}

QString binderHeading(const Row& album) {
    return heading(album, true, 80);
}

QString flapHeading(const Row& album) {
    return heading(album, false, 200);
}

LeaderFitter::LeaderFitter(const QFont& font) : m_metrics(font) {
    for (int c = 0; c < 256; ++c) {
        m_advances[static_cast<size_t>(c)] = m_metrics.horizontalAdvance(QChar(c));
    }
}

double LeaderFitter::advance(QChar c) const {
    return c.unicode() < 256 ? m_advances[c.unicode()] : m_metrics.horizontalAdvance(c);
}

QString LeaderFitter::fit(const QString& dotted, double width) const {
    // The cut where the characters' widths add up to the width, then confirmed by laying the text
    // out: kerning may let a character more in, or one less.
    qsizetype n = 0;
    double added = 0;
    while (n < dotted.size() && added + advance(dotted[n]) <= width) {
        added += advance(dotted[n]);
        ++n;
    }
    while (n > 0 && m_metrics.horizontalAdvance(dotted.left(n)) > width) {
        --n;
    }
    while (n < dotted.size() && m_metrics.horizontalAdvance(dotted.left(n + 1)) <= width) {
        ++n;
    }
    return dotted.left(n);
}

QString fitLeader(const QString& dotted, const QFont& font, double width) {
    return LeaderFitter(font).fit(dotted, width);
}

bool pastRangeEnd(const QString& fileNumber, const QString& to) {
    return trimTrailingBlanks(fileNumber).compare(trimTrailingBlanks(to), Qt::CaseInsensitive) > 0;
}

QString binderRangeProblem(const BinderRange& range) {
    const QString from = trimTrailingBlanks(range.from);
    const QString to = trimTrailingBlanks(range.to);
    if (from.isEmpty() || to.isEmpty() || from.compare(to, Qt::CaseInsensitive) <= 0) {
        return {};
    }
    return QStringLiteral("The range is reversed: the Starting File Number %1 comes after the Ending File "
                          "Number %2, so no album lies between them. Give the lower file number first.")
        .arg(from, to);
}

struct BinderPagesProcess::Fonts {
    Fonts(bool flap)
        : heading(pageFont(flap ? 11 : 10, true)), line(pageFont(flap ? 8 : 7)),
          smallLine(pageFont((flap ? 8 : 7) * kSmallLineScale)), headingMetrics(heading), fitter(line),
          smallFitter(smallLine) {}
    // A line whose artist and title do not fit side by side is tried in type this much smaller
    // before either is cut.
    static constexpr double kSmallLineScale = 0.8;
    QFont heading;
    QFont line;
    QFont smallLine;
    QFontMetricsF headingMetrics;
    LeaderFitter fitter;
    LeaderFitter smallFitter;
};

struct BinderPagesProcess::Line {
    QString artist; // dotted; empty on a flap line of the album's own artist
    QString title;  // dotted
    QString track;
    QString time;
    // The artist and title as they are, without the dots.
    QString artistText;
    QString titleText;
};

namespace {

// Where the title starts in a line `textWidth` wide that holds the artist (`artistWidth` wide
// without its dots) and then the title: the artist takes 42 % of the width, more when the title
// leaves it room and less when the title needs it; `whole` tells whether both fit.
double titleStart(double textWidth, double artistWidth, double titleWidth, double gap, bool* whole) {
    const double share = textWidth * 0.42;
    *whole = artistWidth + gap + titleWidth <= textWidth;
    if (!*whole) {
        return std::clamp(artistWidth + gap, share, textWidth * 0.6);
    }
    if (artistWidth + gap > share) {
        return artistWidth + gap;
    }
    if (titleWidth > textWidth - share) {
        return textWidth - titleWidth;
    }
    return share;
}

} // namespace

BinderPagesProcess::BinderPagesProcess(Store& store, BinderStyle style, BinderRange range, PageSink& sink,
                                       const QPageLayout& layout)
    : Process(QStringLiteral("Generating Report"), QString(), 1), m_store(store), m_style(style),
      m_range(std::move(range)), m_sink(sink), m_layout(layout),
      m_walk(store, TableId::Album, alb::kKeyFileNumber) {}

BinderPagesProcess::~BinderPagesProcess() = default;

QString BinderPagesProcess::reportTitle() const {
    return m_style == BinderStyle::Flap ? QStringLiteral("CD Flap Pages") : QStringLiteral("CD Binder Pages");
}

QString BinderPagesProcess::statusText() const {
    if (m_read == 0) {
        return QStringLiteral("0 Completed");
    }
    return QString::number(percent()) + QStringLiteral(" Records Completed");
}

void BinderPagesProcess::fail(const QString& message) {
    if (m_error.isEmpty()) {
        m_error = message;
    }
}

bool BinderPagesProcess::readAlbums(bool first) {
    bool on = false;
    if (first) {
        KeyPosition from;
        from.values = {trimTrailingBlanks(m_range.from)};
        from.partialText = true;
        on = m_walk.firstFrom(from, true);
    } else {
        on = m_walk.next();
    }
    if (m_walk.error()) {
        fail(QStringLiteral("Album: ") + m_walk.error().describe());
    }
    return on;
}

bool BinderPagesProcess::currentInRange() const {
    return !pastRangeEnd(m_walk.record().text(alb::kFileNumber), m_range.to);
}

bool BinderPagesProcess::begin() {
    m_total = m_store.count(TableId::Album);
    return readAlbums(true) && currentInRange();
}

bool BinderPagesProcess::handleNext() {
    const Row album = m_walk.record();
    ++m_read;
    setProgress(m_read, m_total);
    if (!printAlbum(album)) {
        return false;
    }
    return readAlbums(false) && currentInRange();
}

bool BinderPagesProcess::printAlbum(const Row& album) {
    const bool flap = m_style == BinderStyle::Flap;
    const QString albumArtist = album.text(alb::kArtist);
    QVector<Line> lines;
    KeyWalk songs(m_store, TableId::Tunarium, tun::kKeyAlbumId,
                  KeyWalkLimits{{album.number(alb::kAlbumId)}, {}, {}});
    for (bool on = songs.first(); on; on = songs.next()) {
        const Row& song = songs.record();
        Line line;
        const QString artist = song.text(tun::kArtist);
        const QString title = reportDisplayTitle(song);
        const bool sameArtist =
            trimTrailingBlanks(artist).compare(trimTrailingBlanks(albumArtist), Qt::CaseInsensitive) == 0;
        if (flap && sameArtist) {
            line.title = dottedField(title, 200);
        } else {
            line.artistText = trimTrailingBlanks(turnArtistName(artist));
            line.artist = dottedField(line.artistText, flap ? 200 : 100);
            line.title = dottedField(title, 100);
        }
        line.titleText = trimTrailingBlanks(title);
        const qint64 track = song.number(tun::kTrackNumber);
        line.track = track != 0 ? QString::number(track) : QString();
        line.time = formatMinutesSeconds(song.number(tun::kTime)).trimmed();
        lines.push_back(std::move(line));
    }
    if (!songs.error().ok()) {
        fail(QStringLiteral("Tunarium: ") + songs.error().describe());
        return false;
    }
    const QColor colour =
        flap ? flapColour(static_cast<int>(album.meta.rec % 15)) : binderColour(m_albums % 15);
    if (!paintListing(flap ? flapHeading(album) : binderHeading(album), colour, lines)) {
        return false;
    }
    ++m_albums;
    return true;
}

bool BinderPagesProcess::nextBox() {
    const int perPage = m_style == BinderStyle::Flap ? 2 : 4;
    if (m_box >= 0 && m_box + 1 < perPage) {
        ++m_box;
        return true;
    }
    if (m_painter && !m_sink.endPage()) {
        fail(m_sink.error());
        return false;
    }
    m_painter = m_sink.beginPage();
    if (!m_painter) {
        fail(m_sink.error());
        return false;
    }
    ++m_pages;
    m_box = 0;
    return true;
}

bool BinderPagesProcess::paintListing(const QString& title, const QColor& colour,
                                      const QVector<Line>& lines) {
    const bool flap = m_style == BinderStyle::Flap;
    const QRectF printable = printableRect(m_layout);
    const QSizeF paper = paperRect(m_layout).size();
    const double u = kUnitsPerMm;
    if (!m_fonts) {
        m_fonts = std::make_unique<Fonts>(flap);
    }
    const QFont& headingFont = m_fonts->heading;
    const QFont& lineFont = m_fonts->line;
    const QFontMetricsF& headingMetrics = m_fonts->headingMetrics;
    const QFontMetricsF& lineMetrics = m_fonts->fitter.metrics();
    const LeaderFitter& leaders = m_fonts->fitter;
    const double lineHeight = lineMetrics.lineSpacing();

    auto boxRect = [&](int box) {
        if (flap) {
            const double side = kCdFrontMm * u;
            const double top = std::max(printable.top(), (paper.height() - 2 * side - kFlapGapMm * u) / 2);
            return QRectF((paper.width() - side) / 2, top + box * (side + kFlapGapMm * u), side, side);
        }
        const double w = (printable.width() - kBoxGapMm * u) / 2;
        const double h = (printable.height() - kBoxGapMm * u) / 2;
        return QRectF(printable.left() + (box % 2) * (w + kBoxGapMm * u),
                      printable.top() + (box / 2) * (h + kBoxGapMm * u), w, h);
    };

    int next = 0;
    bool continued = false;
    do {
        if (!nextBox()) {
            return false;
        }
        const QRectF box = boxRect(m_box);
        QPainter& p = *m_painter;
        p.save();
        if (flap) {
            p.setPen(QPen(Qt::black, 2.5));
            const double gap = kCutMarkGapMm * u;
            const double len = kCutMarkMm * u;
            for (const QPointF& c : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
                const double sx = c.x() == box.left() ? -1 : 1;
                const double sy = c.y() == box.top() ? -1 : 1;
                p.drawLine(QPointF(c.x() + sx * gap, c.y()), QPointF(c.x() + sx * (gap + len), c.y()));
                p.drawLine(QPointF(c.x(), c.y() + sy * gap), QPointF(c.x(), c.y() + sy * (gap + len)));
            }
        } else {
            p.setPen(QPen(QColor(0x80, 0x80, 0x80), 2.5));
            p.drawRect(box);
        }
        const QRectF inner = box.adjusted(kPadMm * u, kPadMm * u, -kPadMm * u, -kPadMm * u);
        p.setClipRect(inner);
        p.setFont(headingFont);
        p.setPen(colour);
        // The heading is never cut: it takes as many lines as it needs (a flap heading of
        // kFlapOneLineHeading characters or more at least two).
        const QString shown = continued ? title + QStringLiteral(" (continued)") : title;
        const double wrapped =
            headingMetrics.boundingRect(QRectF(0, 0, inner.width(), inner.height()), Qt::TextWordWrap, shown)
                .height();
        const int minimumLines = flap && trimTrailingBlanks(title).size() >= kFlapOneLineHeading ? 2 : 1;
        const double headingHeight =
            std::max(wrapped, headingMetrics.lineSpacing() * minimumLines) + 1.5 * u;
        p.drawText(QRectF(inner.left(), inner.top(), inner.width(), headingHeight),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, shown);
        p.setFont(lineFont);
        p.setPen(Qt::black);
        // Columns: the artist, the title, then the track and the time right-aligned.
        const double timeWidth = lineMetrics.horizontalAdvance(QStringLiteral("888:88")) + u;
        const double trackWidth = lineMetrics.horizontalAdvance(QStringLiteral("888")) + u;
        const double textWidth = inner.width() - timeWidth - trackWidth;
        double y = inner.top() + headingHeight;
        const int firstInBox = next;
        while (next < lines.size() && y + lineHeight <= inner.bottom()) {
            const Line& line = lines[next];
            const double baseline = y + lineMetrics.ascent();
            // The line in its type when its texts fit, else in the smaller type.
            const LeaderFitter* fitter = &leaders;
            double start = 0;
            bool whole = true;
            for (const LeaderFitter* f : {&leaders, static_cast<const LeaderFitter*>(&m_fonts->smallFitter)}) {
                fitter = f;
                const QFontMetricsF& m = f->metrics();
                if (line.artist.isEmpty()) {
                    whole = m.horizontalAdvance(line.titleText) <= textWidth;
                } else {
                    start = titleStart(textWidth, m.horizontalAdvance(line.artistText),
                                       m.horizontalAdvance(line.titleText), u + 1, &whole);
                }
                if (whole) {
                    break;
                }
            }
            if (fitter != &leaders) {
                p.setFont(m_fonts->smallLine);
            }
            if (line.artist.isEmpty()) {
                p.drawText(QPointF(inner.left(), baseline), fitter->fit(line.title, textWidth));
            } else {
                p.drawText(QPointF(inner.left(), baseline), fitter->fit(line.artist, start - u));
                p.drawText(QPointF(inner.left() + start, baseline), fitter->fit(line.title, textWidth - start));
            }
            if (fitter != &leaders) {
                p.setFont(lineFont);
            }
            const QRectF trackBox(inner.left() + textWidth, y, trackWidth, lineHeight);
            p.drawText(trackBox, Qt::AlignRight | Qt::AlignTop, line.track);
            p.drawText(QRectF(trackBox.right(), y, timeWidth, lineHeight), Qt::AlignRight | Qt::AlignTop,
                       line.time);
            y += lineHeight;
            ++next;
        }
        p.restore();
        if (next == firstInBox && next < lines.size()) {
            break; // a box too small for a single line: the listing is not carried on for ever
        }
        continued = true;
    } while (next < lines.size());
    return true;
}

void BinderPagesProcess::end() {
    bool ok = m_error.isEmpty();
    if (m_painter && !m_sink.endPage()) {
        fail(m_sink.error());
        ok = false;
    }
    const bool keep = ok && completed() && m_albums > 0;
    if (!m_sink.finish(keep) && keep) {
        fail(m_sink.error());
    }
    m_kept = keep && m_error.isEmpty();
}

} // namespace tunarium
