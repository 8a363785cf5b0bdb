// A report's pages, kept on disk: one file per page in a temporary folder that is removed with the
// queue, so that memory stays flat however many pages a report has. The preview, the printer and
// the PDF writer all read their pages from here.
//
// A page is a QPicture recorded in report units (1/720 inch, from the paper's top-left corner):
// whatever a QPainter can draw (text, rules, a logo) is kept as drawing commands, not as pixels,
// so the same page plays back as sharp vector text on the printer, in a PDF (searchable, with its
// fonts embedded) and on the screen at any zoom. Page files are compressed; a page of text takes
// a few kilobytes.
#pragma once

#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPicture>
#include <QString>
#include <QTemporaryDir>

#include <optional>
#include <utility>
#include <vector>

class QPainter;

namespace tunarium {

// Report units per inch and per point: every page is drawn in tenths of a point.
inline constexpr double kReportUnitsPerInch = 720.0;
inline constexpr double kReportUnitsPerPoint = 10.0;

// The paper of a page layout in report units, with the top-left corner at (0, 0).
QRectF paperRect(const QPageLayout& layout);
// The part of the paper inside the layout's margins, in report units.
QRectF printableRect(const QPageLayout& layout);

// A page number painted over a page when it is played back, for layouts that number their pages
// "Page 3 of 12": the count is known only once the last page is queued.
struct PageStamp {
    QFont font;  // sized in report units (pixel size)
    QRectF rect; // report units
    int alignment = Qt::AlignHCenter | Qt::AlignVCenter;
    QString picture = QStringLiteral("pPage <<<#p");
    QColor colour = Qt::black;

    // The page number through the picture; with a count, " of " and the count follows the number
    // without the picture's leading blanks ("Page 3 of 12").
    QString text(int page, int pageCount = 0) const;
    void paint(QPainter& painter, int page, int pageCount = 0) const;
};

class PageQueue {
public:
    // Pages of `layout`; the folder is made in the system's temporary directory. isValid() tells
    // whether it could be made.
    explicit PageQueue(const QPageLayout& layout);
    ~PageQueue();
    PageQueue(const PageQueue&) = delete;
    PageQueue& operator=(const PageQueue&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    // Why the last operation failed.
    const QString& error() const { return m_error; }
    QString folder() const { return m_dir.path(); }

    const QPageLayout& pageLayout() const { return m_layout; }
    // The paper in report units.
    QSizeF paperSize() const;
    int count() const { return m_count; }

    // Writes the page to the end of the queue; false (error() says why) when it could not be
    // written, and the queue keeps the pages it had.
    bool append(const QPicture& page);
    // Page `index` (0-based) as read from its file; an empty picture when the file cannot be read.
    // The last few pages read are kept in memory.
    QPicture page(int index) const;

    // Page-of-pages numbering painted over every page played back.
    void setStamp(const PageStamp& stamp) { m_stamp = stamp; }
    bool hasStamp() const { return m_stamp.has_value(); }

    // Plays page `index` back with the paper mapped onto `target` (in the painter's coordinates).
    void paintPage(QPainter& painter, int index, const QRectF& target) const;
    // The page as an image of `size` pixels on white.
    QImage renderPage(int index, const QSize& size) const;

private:
    QString pageFile(int index) const;

    QPageLayout m_layout;
    QTemporaryDir m_dir;
    int m_count = 0;
    QString m_error;
    std::optional<PageStamp> m_stamp;
    mutable std::vector<std::pair<int, QPicture>> m_recent; // most recent last
};

// Plays a page recorded in report units onto `painter`, the paper mapped onto `target`. A QPicture
// scales itself from the screen's resolution to the painter's device when it plays; this undoes
// that so the page's own units are what counts.
void playPage(QPainter& painter, const QPicture& page, const QSizeF& paper, const QRectF& target);

} // namespace tunarium
