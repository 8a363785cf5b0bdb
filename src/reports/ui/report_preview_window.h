// "Report Preview": the pages of a report as a grid of thumbnails or as one page at a zoom, with
// paging, the grid's size, the zooms and "Save as PDF...". It answers Completed when the user
// chose Print and Cancelled when the window was left otherwise; printing is the caller's.
#pragma once

#include "catalogue/list_definition.h"
#include "data/prompter.h"
#include "reports/page_queue.h"
#include "reports/preview_state.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMenu;
class QScrollArea;
class QSpinBox;
class QStackedWidget;
class QToolButton;

namespace tunarium {

class PdfWriteProcess;
class PreviewThumbnails;
class ZoomedPage;

class ReportPreviewWindow : public QMainWindow {
    Q_OBJECT
public:
    // The pages of `queue`, a report titled `title` (the PDF's title and file name); messages and
    // the file dialog go through `prompter`.
    ReportPreviewWindow(std::shared_ptr<const PageQueue> queue, QString title, Prompter& prompter,
                        QWidget* parent = nullptr);
    ~ReportPreviewWindow() override;

    const PreviewState& state() const { return m_state; }
    Response response() const { return m_response; }
    // Thumbnails in view still to be drawn.
    int pendingThumbnails() const;

signals:
    // Sent once, when the window closes: Completed after Print, Cancelled otherwise.
    void finished(Response response);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void refresh();
    void choosePrint();
    void saveAsPdf();
    void pdfSaved(const PdfWriteProcess& writing, const QString& path);
    void jump();
    void changeDisplay();
    void setZoom(PreviewZoom zoom);
    void showZoomPopup();
    QSpinBox* addSpin(const QString& label, const QString& tip);

    std::shared_ptr<const PageQueue> m_queue;
    QString m_title;
    Prompter& m_prompter;
    PreviewState m_state;
    Response m_response = Response::Cancelled;
    bool m_answered = false;

    QStackedWidget* m_views = nullptr;
    PreviewThumbnails* m_thumbnails = nullptr;
    QScrollArea* m_scroll = nullptr;
    ZoomedPage* m_zoomed = nullptr;
    QMenu* m_viewMenu = nullptr;
    QAction* m_savePdf = nullptr;
    QAction* m_next = nullptr;
    QAction* m_previous = nullptr;
    QActionGroup* m_zoomGroup = nullptr;
    QList<QAction*> m_zoomActions;
    QToolButton* m_zoomButton = nullptr;
    QSpinBox* m_page = nullptr;
    QSpinBox* m_across = nullptr;
    QSpinBox* m_down = nullptr;
    QLabel* m_pageStatus = nullptr;
    QLabel* m_zoomStatus = nullptr;
};

// Opens the preview in the workspace (on its own when there is none); `done` is told whether the
// user chose Print.
ReportPreviewWindow* showReportPreview(QMdiArea* workspace, std::shared_ptr<const PageQueue> queue,
                                       const QString& title, Prompter& prompter,
                                       std::function<void(bool print)> done = {});

} // namespace tunarium
