// Drawing the preview's pages.
#include "reports/ui/preview_canvas.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace tunarium {

namespace {

// Thumbnails kept drawn, in kilobytes.
constexpr int kThumbnailCacheKb = 64 * 1024;
// Time spent drawing thumbnails before the window gets its turn again.
constexpr int kDrawSliceMs = 30;

QSize devicePixels(const QWidget* widget, const QSize& size) {
    const qreal ratio = widget->devicePixelRatioF();
    return QSize(qRound(size.width() * ratio), qRound(size.height() * ratio));
}

void paintBlankPage(QPainter& painter, const QRect& rect) {
    painter.fillRect(rect, Qt::white);
    painter.setPen(QColor(96, 96, 96));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

} // namespace

PreviewThumbnails::PreviewThumbnails(std::shared_ptr<const PageQueue> queue, const PreviewState& state,
                                     QWidget* parent)
    : QWidget(parent), m_queue(std::move(queue)), m_state(state) {
    m_images.setMaxCost(kThumbnailCacheKb);
    m_drawTimer.setSingleShot(true);
    m_drawTimer.setInterval(0);
    connect(&m_drawTimer, &QTimer::timeout, this, &PreviewThumbnails::drawSome);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

QString PreviewThumbnails::key(int page, const QSize& size) const {
    return QStringLiteral("%1:%2x%3").arg(page).arg(size.width()).arg(size.height());
}

int PreviewThumbnails::pending() const {
    int missing = 0;
    for (const PreviewState::Cell& cell : m_state.thumbnails(size())) {
        if (!m_images.contains(key(cell.page, devicePixels(this, cell.rect.size())))) {
            ++missing;
        }
    }
    return missing;
}

void PreviewThumbnails::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    bool missing = false;
    for (const PreviewState::Cell& cell : m_state.thumbnails(size())) {
        if (!cell.rect.intersects(event->rect())) {
            continue;
        }
        if (const QImage* image = m_images.object(key(cell.page, devicePixels(this, cell.rect.size())))) {
            painter.drawImage(cell.rect, *image);
            painter.setPen(QColor(96, 96, 96));
            painter.drawRect(cell.rect.adjusted(0, 0, -1, -1));
        } else {
            paintBlankPage(painter, cell.rect);
            missing = true;
        }
    }
    if (missing && !m_drawTimer.isActive()) {
        m_drawTimer.start();
    }
}

void PreviewThumbnails::drawSome() {
    QElapsedTimer timer;
    timer.start();
    for (const PreviewState::Cell& cell : m_state.thumbnails(size())) {
        const QSize pixels = devicePixels(this, cell.rect.size());
        const QString k = key(cell.page, pixels);
        if (m_images.contains(k)) {
            continue;
        }
        if (timer.elapsed() > kDrawSliceMs) {
            m_drawTimer.start();
            return;
        }
        auto* image = new QImage(m_queue->renderPage(cell.page - 1, pixels));
        image->setDevicePixelRatio(devicePixelRatioF());
        m_images.insert(k, image, qMax<qsizetype>(1, image->sizeInBytes() / 1024));
        update(cell.rect);
    }
}

void PreviewThumbnails::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (const int page = m_state.pageAt(size(), event->position().toPoint())) {
            emit pageClicked(page);
            return;
        }
    }
    QWidget::mouseReleaseEvent(event);
}

ZoomedPage::ZoomedPage(std::shared_ptr<const PageQueue> queue, const PreviewState& state, QWidget* parent)
    : QWidget(parent), m_queue(std::move(queue)), m_state(state) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

void ZoomedPage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.fillRect(event->rect(), Qt::white);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    // The page is drawn from its commands at this size: sharp at any zoom.
    m_queue->paintPage(painter, m_state.firstPage() - 1, QRectF(rect()));
}

void ZoomedPage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace tunarium
