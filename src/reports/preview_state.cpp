// The preview's paging, grid and zooms.
#include "reports/preview_state.h"

#include <QPoint>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace tunarium {

PreviewState::PreviewState(int pageCount, const QSizeF& pageSize)
    : m_count(std::max(0, pageCount)), m_pageSize(pageSize.isEmpty() ? QSizeF(816, 1056) : pageSize) {}

int PreviewState::lastShown() const {
    return std::min(m_count, m_first + std::max(1, cells()) - 1);
}

bool PreviewState::canNext() const {
    return m_first + std::max(1, cells()) <= m_count;
}

bool PreviewState::canPrevious() const {
    return m_count > 1 && m_first > 1;
}

void PreviewState::next() {
    if (canNext()) {
        m_first += std::max(1, cells());
    }
}

void PreviewState::previous() {
    m_first = std::max(1, m_first - std::max(1, cells()));
}

void PreviewState::setFirstPage(int page) {
    m_first = std::clamp(page, 1, std::max(1, m_count));
}

void PreviewState::setAcross(int across) {
    m_across = std::clamp(across, 1, kMaxGrid);
    m_zoom = PreviewZoom::None;
}

void PreviewState::setDown(int down) {
    m_down = std::clamp(down, 1, kMaxGrid);
    m_zoom = PreviewZoom::None;
}

void PreviewState::zoomInto(int page) {
    setFirstPage(page);
    m_zoom = PreviewZoom::PageWidth;
}

QString PreviewState::pageText() const {
    const QString of = QStringLiteral(" of ") + QString::number(m_count);
    const int last = lastShown();
    if (cells() > 1 && last > m_first) {
        return QStringLiteral("Pages %1-%2").arg(m_first).arg(last) + of;
    }
    return QStringLiteral("Page %1").arg(m_first) + of;
}

QString PreviewState::zoomText(PreviewZoom zoom) {
    switch (zoom) {
    case PreviewZoom::None:
        return QStringLiteral("No Zoom");
    case PreviewZoom::PageWidth:
        return QStringLiteral("Zoom (Page Width)");
    case PreviewZoom::Percent50:
        return QStringLiteral("Zoom (50%)");
    case PreviewZoom::Percent75:
        return QStringLiteral("Zoom (75%)");
    case PreviewZoom::Percent100:
        return QStringLiteral("Zoom (100%)");
    case PreviewZoom::Percent200:
        return QStringLiteral("Zoom (200%)");
    case PreviewZoom::Percent300:
        return QStringLiteral("Zoom (300%)");
    }
    return {};
}

QList<PreviewZoom> PreviewState::zooms() {
    return {PreviewZoom::None,       PreviewZoom::PageWidth,  PreviewZoom::Percent50, PreviewZoom::Percent75,
            PreviewZoom::Percent100, PreviewZoom::Percent200, PreviewZoom::Percent300};
}

QString PreviewState::zoomMenu() const {
    static const QStringList names{"No Zoom", "Page Width", "50%", "75%", "100%", "200%", "300%"};
    const QList<PreviewZoom> all = zooms();
    QStringList entries;
    for (int i = 0; i < all.size(); ++i) {
        entries << (all[i] == m_zoom ? QStringLiteral("+") : QStringLiteral("-")) + names[i];
        if (i == 0) {
            entries << QStringLiteral("-");
        }
    }
    return entries.join(u'|');
}

QString PreviewState::pageTip() const {
    return QStringLiteral("Enter a page number from 1 to ") + QString::number(m_count);
}

QList<PreviewState::Cell> PreviewState::thumbnails(const QSize& area) const {
    QList<Cell> cells;
    if (zoomed() || m_count == 0) {
        return cells;
    }
    double width = (area.width() - kCellGap * (m_across + 1.0)) / m_across;
    double height = (area.height() - kCellGap * (m_down + 1.0)) / m_down;
    const double ratio = m_pageSize.height() / m_pageSize.width();
    if (height / width > ratio) {
        height = width * ratio;
    } else {
        width = height / ratio;
    }
    const int w = std::max(1, static_cast<int>(std::floor(width)));
    const int h = std::max(1, static_cast<int>(std::floor(height)));
    const int gridWidth = m_across * w + (m_across - 1) * kCellGap;
    const int left = std::max(kCellGap, (area.width() - gridWidth) / 2);
    for (int row = 0; row < m_down; ++row) {
        for (int column = 0; column < m_across; ++column) {
            const int page = m_first + row * m_across + column;
            if (page > m_count) {
                return cells;
            }
            cells << Cell{page, QRect(left + column * (w + kCellGap), kCellGap + row * (h + kCellGap), w, h)};
        }
    }
    return cells;
}

int PreviewState::pageAt(const QSize& area, const QPoint& point) const {
    for (const Cell& cell : thumbnails(area)) {
        if (cell.rect.contains(point)) {
            return cell.page;
        }
    }
    return 0;
}

double PreviewState::zoomFactor(int viewWidth) const {
    switch (m_zoom) {
    case PreviewZoom::PageWidth:
        return std::max(1, viewWidth) / m_pageSize.width();
    case PreviewZoom::Percent50:
        return 0.5;
    case PreviewZoom::Percent75:
        return 0.75;
    case PreviewZoom::Percent200:
        return 2.0;
    case PreviewZoom::Percent300:
        return 3.0;
    case PreviewZoom::Percent100:
    case PreviewZoom::None:
        break;
    }
    return 1.0;
}

QSize PreviewState::zoomedSize(int viewWidth) const {
    const double factor = zoomFactor(viewWidth);
    return QSize(static_cast<int>(std::lround(m_pageSize.width() * factor)),
                 static_cast<int>(std::lround(m_pageSize.height() * factor)));
}

} // namespace tunarium
