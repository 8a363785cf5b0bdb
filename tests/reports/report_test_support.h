// Test helpers for the report engine: a record source over rows held in memory, a paint device
// that records what is painted on it, and pages of a queue read back as text.
#pragma once

#include "reports/page_queue.h"
#include "reports/report_source.h"

#include <QFont>
#include <QLineF>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>

namespace tunarium::test {

// Rows of values under field names; `check` is the record check (every row passes without one).
class RowSource : public ReportRecordSource {
public:
    RowSource(QStringList fields, QList<QVariantList> rows,
              std::function<bool(const QVariantList&)> check = {});

    int fieldIndex(QStringView name) const override;
    bool first() override;
    bool next() override;
    QVariant value(int field) const override;
    bool passes() const override;
    qint64 total() const override { return m_rows.size(); }
    QString error() const override { return m_error; }

    // The walk ends with this read error after `row` rows.
    void failAfter(int row, const QString& error) {
        m_failAfter = row;
        m_failure = error;
    }

private:
    QStringList m_fields;
    QList<QVariantList> m_rows;
    std::function<bool(const QVariantList&)> m_check;
    int m_row = -1;
    int m_failAfter = -1;
    QString m_failure;
    QString m_error;
};

struct DrawnText {
    QString text;
    QPointF at;   // start of the baseline, in device units
    double width; // in device units
    QFont font;
    QColor colour;
    double right() const { return at.x() + width; }
};

// What a page painted: its texts in painting order and its rules.
struct DrawnPage {
    QList<DrawnText> texts;
    QList<QLineF> lines;
    int images = 0;

    QStringList strings() const;
    // The first text equal to `text` (simplified), or null.
    const DrawnText* find(const QString& text) const;
    // Texts on the baseline of `y` (within half a unit), left to right.
    QList<DrawnText> row(double y) const;
};

// A paint device of `size` units at 720 units per inch (report units) that records text items,
// lines and images instead of drawing them.
class RecordingDevice : public QPaintDevice {
public:
    explicit RecordingDevice(const QSizeF& size);
    ~RecordingDevice() override;

    QPaintEngine* paintEngine() const override;
    const DrawnPage& page() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_size;
    std::unique_ptr<QPaintEngine> m_engine;
};

// Page `index` of the queue played back and recorded, in report units, by a painter whose pen is
// `pen` beforehand.
DrawnPage drawnPage(const PageQueue& queue, int index, const QColor& pen = Qt::black);

// A queue of `count` Letter pages, each with a black band across its top and "Page N" in large
// type below it.
std::shared_ptr<PageQueue> numberedPages(int count);

// The text of a PDF file as pdftotext reads it, pages separated by form feeds; empty when
// pdftotext is not there.
QString pdfText(const QString& path);
// The fonts pdffonts lists, one line each.
QStringList pdfFonts(const QString& path);

} // namespace tunarium::test
