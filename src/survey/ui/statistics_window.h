// "Collection Statistics": the collection's figures as charts, one to a tab (songs and albums per
// decade, per year, per category and per media, songs per band of beats per minute and per rating,
// the artists with the most songs). A click on a bar opens the songs browse on its songs, through
// the procedure registry with the bar's search; Print and Save as PDF put the charts on one page
// through the report engine. The figures are read through the keys when the window opens.
#pragma once

#include "survey/collection_figures.h"
#include "ui/procedure_registry.h"

#include <QWidget>

#include <memory>

class QChartView;
class QLabel;
class QTabWidget;

namespace tunarium {

class PageQueue;

class StatisticsWindow : public QWidget {
    Q_OBJECT
public:
    // Opens the window in the context's workspace; null (after saying why) when the figures cannot
    // be read.
    static StatisticsWindow* open(const ProcedureContext& context);

    const CollectionFigures& figures() const { return m_figures; }
    // The chart named as in CollectionFigures ("decades"), made the current tab; null for none.
    QChartView* showChart(const QString& name);
    // Opens the songs browse on bar `bar` of chart `name`.
    void browseBar(const QString& name, int bar);
    // Asks for a file name and saves the page there as PDF.
    void saveAsPdf();
    void print();
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    StatisticsWindow(const ProcedureContext& context, CollectionFigures figures);
    std::shared_ptr<PageQueue> page();
    void tell(const QString& text);

    ProcedureContext m_context;
    CollectionFigures m_figures;
    QTabWidget* m_tabs = nullptr;
    QString m_positionFile;
};

} // namespace tunarium
