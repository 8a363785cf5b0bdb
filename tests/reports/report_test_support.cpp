// Test helpers for the report engine.
#include "report_test_support.h"

#include <QPainter>
#include <QProcess>
#include <QTextItem>

namespace tunarium::test {

RowSource::RowSource(QStringList fields, QList<QVariantList> rows,
                     std::function<bool(const QVariantList&)> check)
    : m_fields(std::move(fields)), m_rows(std::move(rows)), m_check(std::move(check)) {}

int RowSource::fieldIndex(QStringView name) const {
    return static_cast<int>(m_fields.indexOf(name.toString()));
}

bool RowSource::first() {
    m_row = 0;
    return !m_rows.isEmpty();
}

bool RowSource::next() {
    ++m_row;
    if (m_row == m_failAfter) {
        m_error = m_failure;
        return false;
    }
    return m_row < m_rows.size();
}

QVariant RowSource::value(int field) const {
    return m_rows.at(m_row).value(field);
}

bool RowSource::passes() const {
    return !m_check || m_check(m_rows.at(m_row));
}

QStringList DrawnPage::strings() const {
    QStringList list;
    for (const DrawnText& t : texts) {
        list << t.text;
    }
    return list;
}

const DrawnText* DrawnPage::find(const QString& text) const {
    for (const DrawnText& t : texts) {
        if (t.text.simplified() == text) {
            return &t;
        }
    }
    return nullptr;
}

QList<DrawnText> DrawnPage::row(double y) const {
    QList<DrawnText> found;
    for (const DrawnText& t : texts) {
        if (std::abs(t.at.y() - y) < 0.5) {
            found << t;
        }
    }
    std::sort(found.begin(), found.end(),
              [](const DrawnText& a, const DrawnText& b) { return a.at.x() < b.at.x(); });
    return found;
}

namespace {

class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return QPaintEngine::User; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { ++page.images; }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
        ++page.images;
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QTransform t = state->transform();
        page.texts.push_back(
            {item.text(), t.map(p), item.width() * t.m11(), item.font(), state->pen().color()});
    }
    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            page.lines.push_back(state->transform().map(lines[i]));
        }
    }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}

    DrawnPage page;
};

} // namespace

RecordingDevice::RecordingDevice(const QSizeF& size)
    : m_size(size.toSize()), m_engine(std::make_unique<RecordingEngine>()) {}

RecordingDevice::~RecordingDevice() = default;

QPaintEngine* RecordingDevice::paintEngine() const {
    return m_engine.get();
}

const DrawnPage& RecordingDevice::page() const {
    return static_cast<const RecordingEngine*>(m_engine.get())->page;
}

int RecordingDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return qRound(m_size.width() * 25.4 / kReportUnitsPerInch);
    case PdmHeightMM:
        return qRound(m_size.height() * 25.4 / kReportUnitsPerInch);
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return static_cast<int>(kReportUnitsPerInch);
    case PdmDepth:
        return 32;
    case PdmNumColors:
        return INT_MAX;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
    }
    return 0;
}

DrawnPage drawnPage(const PageQueue& queue, int index, const QColor& pen) {
    RecordingDevice device(queue.paperSize());
    QPainter painter(&device);
    painter.setPen(pen);
    queue.paintPage(painter, index, QRectF(QPointF(0, 0), queue.paperSize()));
    painter.end();
    return device.page();
}

std::shared_ptr<PageQueue> numberedPages(int count) {
    auto queue = std::make_shared<PageQueue>(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36)));
    for (int p = 1; p <= count; ++p) {
        QPicture page;
        QPainter painter(&page);
        painter.fillRect(QRectF(360, 360, 5400, 400), Qt::black);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(400);
        painter.setFont(font);
        painter.drawText(QPointF(720, 2000), QStringLiteral("Page %1").arg(p));
        painter.end();
        queue->append(page);
    }
    return queue;
}

namespace {

QString runTool(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

QString pdfText(const QString& path) {
    return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

QStringList pdfFonts(const QString& path) {
    return runTool(QStringLiteral("pdffonts"), {path}).split(u'\n', Qt::SkipEmptyParts).mid(2);
}

} // namespace tunarium::test
