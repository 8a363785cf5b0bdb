// The page area of the preview window: the thumbnail grid, and one page at a zoom. Pages are read
// from the queue only when they come into view; thumbnails are drawn a few at a time between
// events, so a grid of many pages fills in without holding up the window, and a long report opens
// as fast as a short one.
#pragma once

#include "reports/page_queue.h"
#include "reports/preview_state.h"

#include <QCache>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace tunarium {

class PreviewThumbnails : public QWidget {
    Q_OBJECT
public:
    PreviewThumbnails(std::shared_ptr<const PageQueue> queue, const PreviewState& state,
                      QWidget* parent = nullptr);

    // Thumbnails in view that are still to be drawn.
    int pending() const;

signals:
    void pageClicked(int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void drawSome();
    QString key(int page, const QSize& size) const;

    std::shared_ptr<const PageQueue> m_queue;
    const PreviewState& m_state;
    QCache<QString, QImage> m_images;
    QTimer m_drawTimer;
};

class ZoomedPage : public QWidget {
    Q_OBJECT
public:
    ZoomedPage(std::shared_ptr<const PageQueue> queue, const PreviewState& state, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::shared_ptr<const PageQueue> m_queue;
    const PreviewState& m_state;
};

} // namespace tunarium
