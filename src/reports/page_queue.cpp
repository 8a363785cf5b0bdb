// The page queue on disk and the playing back of its pages.
#include "reports/page_queue.h"

#include "data/pictures.h"

#include <QDir>
#include <QFile>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace tunarium {

namespace {

// Pages read back and kept: enough for a screenful of thumbnails to be painted again cheaply.
constexpr std::size_t kRecentPages = 16;

QRectF toUnits(const QRectF& points) {
    return QRectF(points.x() * kReportUnitsPerPoint, points.y() * kReportUnitsPerPoint,
                  points.width() * kReportUnitsPerPoint, points.height() * kReportUnitsPerPoint);
}

} // namespace

QRectF paperRect(const QPageLayout& layout) {
    return toUnits(layout.fullRectPoints());
}

QRectF printableRect(const QPageLayout& layout) {
    // The layout's own paint rectangle follows its mode; the margins are what count here.
    const QRectF full = layout.fullRectPoints();
    const QMarginsF m = layout.marginsPoints();
    return toUnits(full.marginsRemoved(m));
}

QString PageStamp::text(int page, int pageCount) const {
    const QString number = formatPicture(page, picture);
    if (pageCount <= 0) {
        return number;
    }
    return number.simplified() + QStringLiteral(" of ") + QString::number(pageCount);
}

void PageStamp::paint(QPainter& painter, int page, int pageCount) const {
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(rect, alignment | Qt::TextSingleLine, text(page, pageCount));
}

PageQueue::PageQueue(const QPageLayout& layout)
    : m_layout(layout), m_dir(QDir::tempPath() + QStringLiteral("/tunarium-report-XXXXXX")) {
    if (!m_dir.isValid()) {
        m_error =
            QStringLiteral("The folder for the report's pages cannot be made: %1").arg(m_dir.errorString());
    }
}

PageQueue::~PageQueue() = default;

QSizeF PageQueue::paperSize() const {
    return paperRect(m_layout).size();
}

QString PageQueue::pageFile(int index) const {
    return m_dir.filePath(QStringLiteral("page%1.pic").arg(index + 1, 6, 10, QLatin1Char('0')));
}

bool PageQueue::append(const QPicture& page) {
    if (!isValid()) {
        return false;
    }
    QFile file(pageFile(m_count));
    // Text pictures repeat their font with every string; even the fastest compression takes
    // most of that away.
    const QByteArray bytes = qCompress(QByteArray(page.data(), page.size()), 1);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        m_error = QStringLiteral("Page %1 of the report cannot be written to %2: %3")
                      .arg(m_count + 1)
                      .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
        file.close();
        file.remove();
        return false;
    }
    ++m_count;
    return true;
}

QPicture PageQueue::page(int index) const {
    const auto found = std::find_if(m_recent.begin(), m_recent.end(),
                                    [index](const auto& entry) { return entry.first == index; });
    if (found != m_recent.end()) {
        std::rotate(found, found + 1, m_recent.end());
        return m_recent.back().second;
    }
    QPicture picture;
    if (index < 0 || index >= m_count) {
        return picture;
    }
    QFile file(pageFile(index));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray data = qUncompress(file.readAll());
        if (!data.isEmpty()) {
            picture.setData(data.constData(), static_cast<uint>(data.size()));
        }
    }
    if (m_recent.size() >= kRecentPages) {
        m_recent.erase(m_recent.begin());
    }
    m_recent.emplace_back(index, picture);
    return picture;
}

void playPage(QPainter& painter, const QPicture& page, const QSizeF& paper, const QRectF& target) {
    if (paper.isEmpty()) {
        return;
    }
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / paper.width(), target.height() / paper.height());
    painter.save();
    // A page records only the state it changes: it starts from what a painter on a fresh page has,
    // not from what this painter was left with (a light pen over a dark view).
    painter.setPen(QPen());
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setOpacity(1.0);
    if (const QPaintDevice* device = painter.device()) {
        painter.scale(static_cast<double>(page.logicalDpiX()) / device->logicalDpiX(),
                      static_cast<double>(page.logicalDpiY()) / device->logicalDpiY());
    }
    QPicture copy(page); // play() is not const
    copy.play(&painter);
    painter.restore();
    painter.restore();
}

void PageQueue::paintPage(QPainter& painter, int index, const QRectF& target) const {
    playPage(painter, page(index), paperSize(), target);
    if (m_stamp) {
        const QSizeF paper = paperSize();
        painter.save();
        painter.translate(target.topLeft());
        painter.scale(target.width() / paper.width(), target.height() / paper.height());
        m_stamp->paint(painter, index + 1, m_count);
        painter.restore();
    }
}

QImage PageQueue::renderPage(int index, const QSize& size) const {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    paintPage(painter, index, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

} // namespace tunarium
