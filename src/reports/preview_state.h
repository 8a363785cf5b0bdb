// What the preview window shows, apart from its widgets: the first page shown, the thumbnail grid
// (across x down) and where its cells go, the zooms with their texts, paging and its limits. The
// window only draws what this says and passes the user's actions to it.
#pragma once

#include <QList>
#include <QRect>
#include <QSizeF>
#include <QString>

namespace tunarium {

enum class PreviewZoom { None, PageWidth, Percent50, Percent75, Percent100, Percent200, Percent300 };

class PreviewState {
public:
    // Thumbnails in a grid of at most this many across and down.
    static constexpr int kMaxGrid = 10;
    // Pixels between two thumbnails and around them.
    static constexpr int kCellGap = 3;

    // `pageSize`: the natural size of page 1, in pixels at 100%.
    PreviewState(int pageCount, const QSizeF& pageSize);

    int pageCount() const { return m_count; }
    int firstPage() const { return m_first; }
    int across() const { return m_across; }
    int down() const { return m_down; }
    PreviewZoom zoom() const { return m_zoom; }
    bool zoomed() const { return m_zoom != PreviewZoom::None; }
    const QSizeF& pageSize() const { return m_pageSize; }
    // Thumbnail cells: across x down, none when zoomed.
    int cells() const { return zoomed() ? 0 : m_across * m_down; }
    // The last page a view shows.
    int lastShown() const;
    // With a single page there is nothing to page through and no grid to choose: the view menu
    // and the page, across and down boxes are disabled.
    bool singlePage() const { return m_count <= 1; }

    bool canNext() const;
    bool canPrevious() const;
    // The next or previous view: a grid's worth of pages, or one page when zoomed.
    void next();
    void previous();
    // Shows `page` first, kept within 1 and the page count.
    void setFirstPage(int page);
    // Changing the grid returns to the thumbnails.
    void setAcross(int across);
    void setDown(int down);
    void setZoom(PreviewZoom zoom) { m_zoom = zoom; }
    // A click on a thumbnail shows its page at the page's width; a click on a zoomed page returns
    // to the thumbnails (showing that page first).
    void zoomInto(int page);
    void backToThumbnails() { m_zoom = PreviewZoom::None; }

    // The status bar's page zone: "Page 3 of 12", or "Pages 1-4 of 12" for several thumbnails.
    QString pageText() const;
    // The status bar's zoom zone: "No Zoom", "Zoom (Page Width)", "Zoom (50%)" ...
    QString zoomText() const { return zoomText(m_zoom); }
    static QString zoomText(PreviewZoom zoom);
    // The zoom popup as a menu text, the current zoom's entry ticked with "+" instead of "-":
    // "-No Zoom|-|+Page Width|-50%|-75%|-100%|-200%|-300%".
    QString zoomMenu() const;
    // The zooms in the popup's order (the separator left out).
    static QList<PreviewZoom> zooms();
    // The page box's tip.
    QString pageTip() const;

    struct Cell {
        int page; // 1-based
        QRect rect;
    };
    // The thumbnails of a view of `area` pixels: cells of the page's shape as large as the grid
    // allows, row by row from the top with kCellGap between them, the grid centred across; cells
    // beyond the last page are left out.
    QList<Cell> thumbnails(const QSize& area) const;
    // The page under `point` in the thumbnails of `area`; 0 for none.
    int pageAt(const QSize& area, const QPoint& point) const;
    // Pixels per natural pixel of the zoomed page: the fixed zooms, or the view's width over the
    // page's width for Page Width.
    double zoomFactor(int viewWidth) const;
    QSize zoomedSize(int viewWidth) const;

private:
    int m_count;
    QSizeF m_pageSize;
    int m_first = 1;
    int m_across = 1;
    int m_down = 1;
    PreviewZoom m_zoom = PreviewZoom::None;
};

} // namespace tunarium
