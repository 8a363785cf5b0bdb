// The statistics window.
#include "survey/ui/statistics_window.h"

#include "catalogue/procedure_names.h"
#include "data/app_paths.h"
#include "data/date_time.h"
#include "data/pictures.h"
#include "reports/report_output.h"
#include "reports/ui/report_printer.h"
#include "reports/ui/report_printing.h"
#include "survey/procedure_names.h"
#include "survey/ui/statistics_charts.h"
#include "survey/ui/statistics_page.h"
#include "ui/widget_geometry.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tunarium {

namespace {

const char* const kTabs[][2] = {{"decades", "&Decades"}, {"years", "&Years"},   {"categories", "&Categories"},
                                {"media", "&Media"},     {"bpm", "&BPM"},       {"ratings", "&Ratings"},
                                {"artists", "&Artists"}};

QString caption() {
    return QString::fromLatin1(kStatisticsTitle);
}

} // namespace

StatisticsWindow* StatisticsWindow::open(const ProcedureContext& context) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CollectionFigures figures = readCollectionFigures(context.db.store());
    QApplication::restoreOverrideCursor();
    if (figures.error) {
        context.prompter.message({caption(),
                                  QStringLiteral("The collection's figures cannot be read: %1").arg(figures.error.describe()),
                                  PromptIcon::Stop, kButtonOk, kButtonOk});
        return nullptr;
    }
    auto* window = new StatisticsWindow(context, std::move(figures));
    if (context.workspace) {
        QMdiSubWindow* sub = context.workspace->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->resize(sub->size() - window->size() + window->sizeHint());
        sub->show();
    } else {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    restoreWidgetPosition(window, QString::fromLatin1(procedure::kCollectionStatistics), window->m_positionFile);
    return window;
}

StatisticsWindow::StatisticsWindow(const ProcedureContext& context, CollectionFigures figures)
    : m_context(context), m_figures(std::move(figures)),
      m_positionFile(positionFilePath(context.db.collectionDir())) {
    setWindowTitle(caption());
    auto* totals = new QLabel(figuresTotals(m_figures) + QStringLiteral(". Click a bar to browse its songs."));
    m_tabs = new QTabWidget;
    for (const auto& [name, tab] : kTabs) {
        const FigureChart* chart = m_figures.chart(QLatin1String(name));
        if (!chart) {
            continue;
        }
        const QString chartName = QLatin1String(name);
        auto* view = new QChartView(makeFigureChart(*chart, [this, chartName](int bar) { browseBar(chartName, bar); }));
        view->setObjectName(chartName);
        view->setRenderHint(QPainter::Antialiasing);
        m_tabs->addTab(view, QString::fromLatin1(tab));
    }
    auto* buttons = new QDialogButtonBox;
    QPushButton* printButton = buttons->addButton(QStringLiteral("&Print..."), QDialogButtonBox::ActionRole);
    QPushButton* pdfButton = buttons->addButton(QStringLiteral("Save as P&DF..."), QDialogButtonBox::ActionRole);
    QPushButton* closeButton = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    connect(printButton, &QPushButton::clicked, this, &StatisticsWindow::print);
    connect(pdfButton, &QPushButton::clicked, this, &StatisticsWindow::saveAsPdf);
    connect(closeButton, &QPushButton::clicked, this, [this] { positionedWindow(this)->close(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(totals);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(buttons);
    const DialogUnits units(this);
    setMinimumSize(units.toPixelsX(220), units.toPixelsY(160));
}

QSize StatisticsWindow::sizeHint() const {
    const DialogUnits units(this);
    return {units.toPixelsX(520), units.toPixelsY(330)};
}

QChartView* StatisticsWindow::showChart(const QString& name) {
    auto* view = m_tabs->findChild<QChartView*>(name);
    if (view) {
        m_tabs->setCurrentWidget(view);
    }
    return view;
}

void StatisticsWindow::browseBar(const QString& name, int bar) {
    const FigureChart* chart = m_figures.chart(name);
    if (!chart || bar < 0 || bar >= chart->bars.size() || chart->bars[bar].search.isEmpty()) {
        return;
    }
    m_context.procedures.start(QString::fromLatin1(procedure::kBrowseSongs),
                               m_context.calledFrom(this).with(chart->bars[bar].search));
}

std::shared_ptr<PageQueue> StatisticsWindow::page() {
    QPageLayout layout = programPrinter().pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    const QString date =
        formatPicture(QVariant(todayDayNumber()), m_context.settings.datePicture()).trimmed();
    QString error;
    std::shared_ptr<PageQueue> queue = statisticsPage(m_figures, layout, date, &error);
    if (!queue) {
        tell(error);
    }
    return queue;
}

void StatisticsWindow::saveAsPdf() {
    QString path = m_context.prompter.chooseSaveFile(
        QStringLiteral("Save as PDF"), QDir::home().filePath(caption() + QStringLiteral(".pdf")),
        QStringLiteral("PDF Files|*.pdf"));
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".pdf");
    }
    QString error;
    if (std::shared_ptr<PageQueue> queue = page(); queue && !writeQueueAsPdf(*queue, path, caption(), &error)) {
        tell(error);
    }
}

void StatisticsWindow::print() {
    if (std::shared_ptr<PageQueue> queue = page()) {
        printWithDialog(this, queue, programPrinter(),
                        [self = QPointer<StatisticsWindow>(this)](bool printed, const QString& error) {
                            if (self && !printed && !error.isEmpty()) {
                                self->tell(error);
                            }
                        });
    }
}

void StatisticsWindow::tell(const QString& text) {
    m_context.prompter.message({caption(), text, PromptIcon::Exclamation, kButtonOk, kButtonOk});
}

void StatisticsWindow::closeEvent(QCloseEvent* event) {
    saveWidgetPosition(this, QString::fromLatin1(procedure::kCollectionStatistics), m_positionFile);
    QWidget::closeEvent(event);
}

} // namespace tunarium
