// The report preview window.
#include "reports/ui/report_preview_window.h"

#include "process/ui/process_window.h"
#include "reports/report_output.h"
#include "reports/ui/preview_canvas.h"
#include "reports/ui/preview_dialogs.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace tunarium {

namespace {

// Where "Save as PDF..." starts: the folder the user saved in last.
QString& lastPdfFolder() {
    static QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder;
}

QSizeF naturalPageSize(const PageQueue& queue, const QWidget& widget) {
    const QSizeF paper = queue.paperSize();
    return QSizeF(paper.width() / kReportUnitsPerInch * widget.logicalDpiX(),
                  paper.height() / kReportUnitsPerInch * widget.logicalDpiY());
}

const char* zoomMenuText(PreviewZoom zoom) {
    switch (zoom) {
    case PreviewZoom::None:
        return "No &Zoom";
    case PreviewZoom::PageWidth:
        return "Page &Width";
    case PreviewZoom::Percent50:
        return "&50 Percent";
    case PreviewZoom::Percent75:
        return "&75 Percent";
    case PreviewZoom::Percent100:
        return "&100 Percent";
    case PreviewZoom::Percent200:
        return "&200 Percent";
    case PreviewZoom::Percent300:
        return "&300 Percent";
    }
    return "";
}

} // namespace

ReportPreviewWindow::ReportPreviewWindow(std::shared_ptr<const PageQueue> queue, QString title,
                                         Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), m_queue(std::move(queue)), m_title(std::move(title)), m_prompter(prompter),
      m_state(m_queue->count(), naturalPageSize(*m_queue, *this)) {
    setWindowTitle(tr("Report Preview"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_views = new QStackedWidget(this);
    m_thumbnails = new PreviewThumbnails(m_queue, m_state, m_views);
    m_scroll = new QScrollArea(m_views);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_zoomed = new ZoomedPage(m_queue, m_state);
    m_scroll->setWidget(m_zoomed);
    m_views->addWidget(m_thumbnails);
    m_views->addWidget(m_scroll);
    setCentralWidget(m_views);

    buildMenus();
    buildToolBar();
    m_pageStatus = new QLabel(this);
    m_zoomStatus = new QLabel(this);
    statusBar()->addPermanentWidget(m_pageStatus, 1);
    statusBar()->addPermanentWidget(m_zoomStatus);
    // 315 dialog units: a dialog unit is a quarter of the average character's width.
    setMinimumWidth(fontMetrics().averageCharWidth() * 315 / 4);
    resize(std::max(minimumWidth(), 720), 640);

    connect(m_thumbnails, &PreviewThumbnails::pageClicked, this, [this](int page) {
        m_state.zoomInto(page);
        refresh();
    });
    connect(m_zoomed, &ZoomedPage::clicked, this, [this] {
        m_state.backToThumbnails();
        refresh();
    });
    refresh();
}

ReportPreviewWindow::~ReportPreviewWindow() = default;

void ReportPreviewWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* print = file->addAction(tr("&Print"), this, &ReportPreviewWindow::choosePrint);
    print->setStatusTip(tr("Print the report"));
    print->setShortcut(QKeySequence::Print);
    print->setObjectName(QStringLiteral("print"));
    m_savePdf = file->addAction(tr("Save as &PDF..."), this, &ReportPreviewWindow::saveAsPdf);
    m_savePdf->setStatusTip(tr("Save the report as a PDF file"));
    file->addSeparator();
    QAction* exit = file->addAction(tr("E&xit"), this, &QWidget::close);
    exit->setStatusTip(tr("Exit without printing the report"));
    exit->setShortcut(Qt::Key_Escape);
    exit->setObjectName(QStringLiteral("exit"));

    m_viewMenu = menuBar()->addMenu(tr("&View"));
    m_next = m_viewMenu->addAction(tr("&Next Page(s)"), this, [this] {
        m_state.next();
        refresh();
    });
    m_next->setShortcut(Qt::Key_PageDown);
    m_previous = m_viewMenu->addAction(tr("&Previous Page(s)"), this, [this] {
        m_state.previous();
        refresh();
    });
    m_previous->setShortcut(Qt::Key_PageUp);
    QAction* jumpTo = m_viewMenu->addAction(tr("&Jump to a page"), this, &ReportPreviewWindow::jump);
    jumpTo->setStatusTip(tr("Jump to a specific page of the report"));
    QAction* display =
        m_viewMenu->addAction(tr("&Change Display"), this, &ReportPreviewWindow::changeDisplay);
    display->setStatusTip(tr("Change the number of pages displayed"));

    QMenu* zoom = menuBar()->addMenu(tr("&Zoom"));
    m_zoomGroup = new QActionGroup(this);
    for (PreviewZoom z : PreviewState::zooms()) {
        QAction* action = zoom->addAction(tr(zoomMenuText(z)), this, [this, z] { setZoom(z); });
        action->setCheckable(true);
        m_zoomGroup->addAction(action);
        m_zoomActions << action;
    }
}

QSpinBox* ReportPreviewWindow::addSpin(const QString& label, const QString& tip) {
    QToolBar* bar = findChild<QToolBar*>();
    auto* text = new QLabel(label, bar);
    auto* spin = new QSpinBox(bar);
    spin->setToolTip(tip);
    spin->setKeyboardTracking(false);
    text->setBuddy(spin);
    text->setContentsMargins(8, 0, 2, 0);
    bar->addWidget(text);
    bar->addWidget(spin);
    return spin;
}

void ReportPreviewWindow::buildToolBar() {
    QToolBar* bar = addToolBar(tr("Preview"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* print = findChild<QAction*>(QStringLiteral("print"));
    print->setIcon(QIcon::fromTheme(QStringLiteral("document-print")));
    bar->addAction(print);
    QAction* exit = findChild<QAction*>(QStringLiteral("exit"));
    exit->setIcon(QIcon::fromTheme(QStringLiteral("window-close")));
    bar->addAction(exit);
    m_zoomButton = new QToolButton(bar);
    m_zoomButton->setText(tr("Zoom"));
    m_zoomButton->setIcon(QIcon::fromTheme(QStringLiteral("zoom-in")));
    m_zoomButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_zoomButton->setToolTip(tr("Choose the zoom"));
    connect(m_zoomButton, &QToolButton::clicked, this, &ReportPreviewWindow::showZoomPopup);
    bar->addWidget(m_zoomButton);

    m_page = addSpin(tr("&Page:"), m_state.pageTip());
    m_page->setRange(1, std::max(1, m_state.pageCount()));
    m_across = addSpin(tr("&Across:"), tr("Select the number of thumbnails in a row"));
    m_down = addSpin(tr("&Down:"), tr("Select the number of thumbnails in a column"));
    for (QSpinBox* box : {m_across, m_down}) {
        box->setRange(1, PreviewState::kMaxGrid);
    }
    connect(m_page, &QSpinBox::valueChanged, this, [this](int page) {
        m_state.setFirstPage(page);
        refresh();
    });
    connect(m_across, &QSpinBox::valueChanged, this, [this](int across) {
        m_state.setAcross(across);
        refresh();
    });
    connect(m_down, &QSpinBox::valueChanged, this, [this](int down) {
        m_state.setDown(down);
        refresh();
    });
}

void ReportPreviewWindow::refresh() {
    const bool single = m_state.singlePage();
    m_viewMenu->setEnabled(!single);
    for (QSpinBox* box : {m_page, m_across, m_down}) {
        box->setEnabled(!single);
    }
    m_next->setEnabled(!single && m_state.canNext());
    m_previous->setEnabled(!single && m_state.canPrevious());
    const QSignalBlocker pageBlock(m_page);
    const QSignalBlocker acrossBlock(m_across);
    const QSignalBlocker downBlock(m_down);
    m_page->setValue(m_state.firstPage());
    m_across->setValue(m_state.across());
    m_down->setValue(m_state.down());
    m_zoomActions.at(static_cast<int>(PreviewState::zooms().indexOf(m_state.zoom())))->setChecked(true);
    m_pageStatus->setText(m_state.pageText());
    m_zoomStatus->setText(m_state.zoomText());

    if (m_state.zoomed()) {
        const bool pageWidth = m_state.zoom() == PreviewZoom::PageWidth;
        m_scroll->setHorizontalScrollBarPolicy(pageWidth ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
        m_views->setCurrentWidget(m_scroll);
        // The view's width beside the vertical scroll bar, which is always there: known even
        // before the scroll area was first laid out.
        m_zoomed->resize(m_state.zoomedSize(m_scroll->maximumViewportSize().width()));
        m_zoomed->update();
    } else {
        m_views->setCurrentWidget(m_thumbnails);
        m_thumbnails->update();
    }
}

int ReportPreviewWindow::pendingThumbnails() const {
    return m_state.zoomed() ? 0 : m_thumbnails->pending();
}

void ReportPreviewWindow::setZoom(PreviewZoom zoom) {
    m_state.setZoom(zoom);
    if (zoom != PreviewZoom::None) {
        m_scroll->verticalScrollBar()->setValue(0);
    }
    refresh();
}

void ReportPreviewWindow::showZoomPopup() {
    auto* popup = new QMenu(this);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setObjectName(QStringLiteral("zoomPopup"));
    const QList<PreviewZoom> zooms = PreviewState::zooms();
    int z = 0;
    for (const QString& entry : m_state.zoomMenu().split(u'|')) {
        if (entry == QLatin1String("-")) {
            popup->addSeparator();
            continue;
        }
        QAction* action = popup->addAction(entry.mid(1));
        action->setCheckable(true);
        action->setChecked(entry.startsWith(u'+'));
        const PreviewZoom zoom = zooms.at(z++);
        connect(action, &QAction::triggered, this, [this, zoom] { setZoom(zoom); });
    }
    popup->popup(m_zoomButton->mapToGlobal(QPoint(0, m_zoomButton->height())));
}

void ReportPreviewWindow::jump() {
    auto* dialog = new JumpToPageDialog(m_state.firstPage(), m_state.pageCount(), m_state.pageTip(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog] {
        m_state.setFirstPage(dialog->page());
        refresh();
    });
    dialog->open();
}

void ReportPreviewWindow::changeDisplay() {
    auto* dialog = new ReportDisplayDialog(m_state.across(), m_state.down(), PreviewState::kMaxGrid, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        m_state.setAcross(dialog->across());
        m_state.setDown(dialog->down());
        refresh();
    });
    dialog->open();
}

void ReportPreviewWindow::choosePrint() {
    m_response = Response::Completed;
    close();
}

void ReportPreviewWindow::saveAsPdf() {
    const QString suggested =
        QDir(lastPdfFolder()).filePath(m_title.isEmpty() ? tr("Report") : m_title) + QStringLiteral(".pdf");
    QString path = m_prompter.chooseSaveFile(tr("Save as PDF"), suggested, tr("PDF Files|*.pdf"));
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".pdf");
    }
    lastPdfFolder() = QFileInfo(path).absolutePath();
    // A long report takes a while: the pages are written behind a progress window.
    auto process = std::make_unique<PdfWriteProcess>(*m_queue, path, m_title);
    PdfWriteProcess* writing = process.get();
    m_savePdf->setEnabled(false);
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    runProcessWindow(frame ? frame->mdiArea() : nullptr, std::move(process),
                     [self = QPointer<ReportPreviewWindow>(this), writing, queue = m_queue, path](bool) {
                         if (self) {
                             self->pdfSaved(*writing, path);
                         }
                     });
}

void ReportPreviewWindow::pdfSaved(const PdfWriteProcess& writing, const QString& path) {
    m_savePdf->setEnabled(true);
    if (writing.written()) {
        statusBar()->showMessage(tr("Saved as %1").arg(QDir::toNativeSeparators(path)), 5000);
    } else if (!writing.error().isEmpty()) {
        m_prompter.message(
            {tr("Save as PDF"), writing.error(), PromptIcon::Exclamation, kButtonOk, kButtonOk});
    }
}

void ReportPreviewWindow::closeEvent(QCloseEvent* event) {
    if (!m_answered) {
        m_answered = true;
        emit finished(m_response);
    }
    // In the workspace the window lives in a frame of its own, which closes with it.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        frame->close();
    }
    event->accept();
}

void ReportPreviewWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_state.zoom() == PreviewZoom::PageWidth) {
        refresh();
    }
}

ReportPreviewWindow* showReportPreview(QMdiArea* workspace, std::shared_ptr<const PageQueue> queue,
                                       const QString& title, Prompter& prompter,
                                       std::function<void(bool)> done) {
    auto* window = new ReportPreviewWindow(std::move(queue), title, prompter);
    if (done) {
        QObject::connect(
            window, &ReportPreviewWindow::finished, window,
            [done = std::move(done)](Response response) { done(response == Response::Completed); });
    }
    if (workspace) {
        // The frame takes its size from the window's hint, far smaller than the page needs: it is
        // given the window's own size, within the workspace.
        const QSize wanted = window->size();
        QMdiSubWindow* sub = workspace->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
        const QSize frame = sub->size() - window->size();
        sub->resize((wanted + frame).boundedTo(workspace->viewport()->size()));
        sub->move(std::max(0, std::min(sub->x(), workspace->viewport()->width() - sub->width())),
                  std::max(0, std::min(sub->y(), workspace->viewport()->height() - sub->height())));
    } else {
        window->show();
    }
    return window;
}

} // namespace tunarium
