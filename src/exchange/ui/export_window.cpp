// The export window: two marked field lists, the buttons between them, and the start of the run.
#include "exchange/ui/export_window.h"

#include "data/settings.h"

#include "data/app_paths.h"
#include "data/database.h"
#include "exchange/exchange_files.h"
#include "exchange/export_options.h"
#include "exchange/ui/picture_editor.h"
#include "process/ui/process_window.h"
#include "ui/help_window.h"
#include "ui/ok_cancel_row.h"
#include "ui/widget_geometry.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

namespace tunarium {

namespace {

constexpr char kPositionSection[] = "ExportFields";
constexpr char kHelpPage[] = "import_export.html";
constexpr int kListRows = 16;

QPushButton* button(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

// Draws the current row with a frame of its own, whatever the style does with focus: solid while
// the list has the focus, dotted otherwise, so that each list shows where Space and the buttons act.
class CurrentRowDelegate : public QStyledItemDelegate {
public:
    explicit CurrentRowDelegate(QListWidget* view) : QStyledItemDelegate(view), m_view(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain(option);
        plain.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, plain, index);
        if (index != m_view->currentIndex()) {
            return;
        }
        const bool marked = option.state & QStyle::State_Selected;
        // Dark around a marked row, the mark colour around an unmarked one.
        QPen pen(option.palette.color(marked ? QPalette::Text : QPalette::Highlight));
        pen.setStyle(m_view->hasFocus() ? Qt::SolidLine : Qt::DotLine);
        painter->save();
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }

private:
    QListWidget* m_view;
};

} // namespace

MarkedListView::MarkedListView(MarkedList& list, QWidget* parent) : QListWidget(parent), m_list(list) {
    // The view never selects by itself: marks come from the list and are shown as the selection.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setDragEnabled(false);
    setItemDelegate(new CurrentRowDelegate(this));
    // Marks stay as visible when the focus is on the other list.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);

    int width = 0;
    for (const ExportField& f : exportableFields()) {
        width = std::max(width, fontMetrics().horizontalAdvance(f.field));
    }
    setMinimumWidth(width + verticalScrollBar()->sizeHint().width() + 2 * frameWidth() + 24);
    setMinimumHeight(fontMetrics().height() * kListRows);
    refresh();
}

void MarkedListView::refresh() {
    const int rows = static_cast<int>(m_list.rows.size());
    while (count() > rows) {
        delete takeItem(count() - 1);
    }
    for (int i = 0; i < rows; ++i) {
        if (i >= count()) {
            addItem(m_list.rows[i].field);
        } else if (item(i)->text() != m_list.rows[i].field) {
            item(i)->setText(m_list.rows[i].field);
        }
    }
    QItemSelection marks;
    for (int i = 0; i < rows; ++i) {
        if (m_list.rows[i].mark) {
            marks.select(model()->index(i, 0), model()->index(i, 0));
        }
    }
    selectionModel()->select(marks, QItemSelectionModel::ClearAndSelect);
    const int current = m_list.current();
    if (current >= 0 && current < rows) {
        const QModelIndex index = model()->index(current, 0);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        scrollTo(index);
    } else {
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
}

void MarkedListView::press(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const int row = indexAt(event->position().toPoint()).row();
    if (row < 0) {
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        m_list.extend(row);
    } else if (event->modifiers() & Qt::ControlModifier) {
        m_list.toggle(row);
    } else {
        m_list.click(row);
    }
    refresh();
    emit marksChanged();
}

void MarkedListView::mousePressEvent(QMouseEvent* event) {
    press(event);
}

// The second press of a double click arrives as this event alone; it counts as a press.
void MarkedListView::mouseDoubleClickEvent(QMouseEvent* event) {
    press(event);
}

void MarkedListView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void MarkedListView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

int MarkedListView::rowsPerPage() const {
    const int rowHeight = std::max(1, sizeHintForRow(0));
    return std::max(1, viewport()->height() / rowHeight - 1);
}

void MarkedListView::keyPressEvent(QKeyEvent* event) {
    const int rows = static_cast<int>(m_list.rows.size());
    const int key = event->key();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int current = std::max(m_list.current(), 0);
    int target = -1;
    switch (key) {
    case Qt::Key_Space:
        if (rows > 0) {
            m_list.toggle(current);
            refresh();
            emit marksChanged();
        }
        event->accept();
        return;
    case Qt::Key_Up:
        target = m_list.current() < 0 ? 0 : current - 1;
        break;
    case Qt::Key_Down:
        target = m_list.current() < 0 ? 0 : current + 1;
        break;
    case Qt::Key_PageUp:
        target = current - rowsPerPage();
        break;
    case Qt::Key_PageDown:
        target = current + rowsPerPage();
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = rows - 1;
        break;
    default:
        // Enter, Escape and the rest belong to the window.
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (rows == 0) {
        return;
    }
    target = std::clamp(target, 0, rows - 1);
    if (shift) {
        m_list.extend(target);
    } else if (ctrl) {
        // Ctrl with a movement key walks the current row over the marks without changing them,
        // so that Space can mark rows apart from each other.
        m_list.setCurrent(target);
    } else {
        m_list.click(target);
    }
    refresh();
    emit marksChanged();
}

void MarkedListView::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    refresh();
    viewport()->update();
}

void MarkedListView::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    viewport()->update();
}

ExportWindow::ExportWindow(Database& db, Prompter& prompter, QMdiArea* workspace, QWidget* parent)
    : QDialog(parent), m_db(db), m_prompter(prompter), m_workspace(workspace) {
    setWindowTitle(QStringLiteral("Choose Fields for Export..."));
    setSizeGripEnabled(true);

    // Created in the order the focus moves through them.
    auto* allLabel = new QLabel(QStringLiteral("All Fields"), this);
    m_allList = new MarkedListView(m_choice.all, this);
    allLabel->setBuddy(m_allList);
    m_add = button(QStringLiteral("&Add ->"), this);
    m_remove = button(QStringLiteral("&Remove"), this);
    m_shiftUp = button(QStringLiteral("Shift &Up"), this);
    m_shiftDown = button(QStringLiteral("Shift &Down"), this);
    m_picture = button(QStringLiteral("&Picture"), this);
    auto* exportLabel = new QLabel(QStringLiteral("Export Fields"), this);
    m_exportList = new MarkedListView(m_choice.chosen, this);
    exportLabel->setBuddy(m_exportList);
    auto* pictureLabel = new QLabel(QStringLiteral("Picture"), this);
    m_pictureKind = new QLabel(this);
    m_pictureKind->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pictureKind->setMinimumWidth(fontMetrics().averageCharWidth() * 30);
    m_pictureKind->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_header = new QCheckBox(QStringLiteral("Include &header record with field names"), this);
    m_header->setChecked(m_choice.header);
    m_ok = button(okText(), this);
    m_ok->setDefault(true);
    m_cancel = button(QStringLiteral("&Cancel"), this);
    m_help = button(QStringLiteral("Help"), this);

    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {m_add, m_remove, m_shiftUp, m_shiftDown, m_picture}) {
        buttons->addWidget(b);
    }
    buttons->addStretch(1);

    auto* lists = new QGridLayout;
    lists->addWidget(allLabel, 0, 0);
    lists->addWidget(m_allList, 1, 0);
    lists->addLayout(buttons, 1, 1);
    lists->addWidget(exportLabel, 0, 2);
    lists->addWidget(m_exportList, 1, 2);
    auto* picture = new QHBoxLayout;
    picture->addWidget(pictureLabel);
    picture->addWidget(m_pictureKind, 1);
    lists->addLayout(picture, 2, 2);
    lists->setRowStretch(1, 1);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(2, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_ok);
    bottom->addWidget(m_cancel);
    bottom->addWidget(m_help);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(m_header);
    layout->addLayout(bottom);

    connect(m_allList, &MarkedListView::marksChanged, this, &ExportWindow::refresh);
    connect(m_exportList, &MarkedListView::marksChanged, this, &ExportWindow::refresh);
    connect(m_add, &QPushButton::clicked, this, &ExportWindow::addClicked);
    connect(m_remove, &QPushButton::clicked, this, &ExportWindow::removeClicked);
    connect(m_shiftUp, &QPushButton::clicked, this, &ExportWindow::shiftUpClicked);
    connect(m_shiftDown, &QPushButton::clicked, this, &ExportWindow::shiftDownClicked);
    connect(m_picture, &QPushButton::clicked, this, &ExportWindow::pictureClicked);
    connect(m_header, &QCheckBox::toggled, this, [this](bool on) { m_choice.header = on; });
    connect(m_ok, &QPushButton::clicked, this, &ExportWindow::okClicked);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_help, &QPushButton::clicked, this, &ExportWindow::helpClicked);

    refresh();
    m_allList->setFocus();
}

ExportWindow::~ExportWindow() {
    // An editor still open answers no one once its window is gone.
    if (m_editor) {
        QObject::disconnect(m_editor, nullptr, nullptr, nullptr);
        delete m_editor;
    }
}

PictureEditor* ExportWindow::pictureEditor() const {
    return m_editor;
}

HelpWindow* ExportWindow::helpWindow() const {
    return m_helpWindow;
}

void ExportWindow::refresh() {
    m_allList->refresh();
    m_exportList->refresh();
    m_pictureKind->setText(m_choice.currentPictureText());
}

void ExportWindow::addClicked() {
    m_choice.add();
    refresh();
}

void ExportWindow::removeClicked() {
    m_choice.remove();
    refresh();
}

void ExportWindow::shiftUpClicked() {
    m_choice.shiftUp();
    refresh();
}

void ExportWindow::shiftDownClicked() {
    m_choice.shiftDown();
    refresh();
}

void ExportWindow::pictureClicked() {
    MarkedList& chosen = m_choice.chosen;
    if (chosen.rows.isEmpty()) {
        m_allList->setFocus();
        return;
    }
    if (chosen.current() < 0) {
        chosen.setCurrent(0);
    }
    m_editor =
        editPicture(this, m_prompter, chosen.rows[chosen.current()].picture, [this](const QString& result) {
            m_choice.setPicture(result);
            refresh();
            m_exportList->setFocus();
        });
}

void ExportWindow::okClicked() {
    if (m_choice.chosen.rows.isEmpty()) {
        PromptMessage none;
        none.caption = QStringLiteral("No Fields Selected for Export!");
        none.text = QStringLiteral("You must select one or more fields to export.");
        none.icon = PromptIcon::Information;
        m_prompter.message(none);
        m_allList->setFocus();
        return;
    }
    const QString last = lastExchangeFile();
    const QString path =
        m_prompter.chooseSaveFile(QStringLiteral("Export File"), last.isEmpty() ? fileDialogFolder() : last,
                                  QString::fromLatin1(kExportFileFilter));
    if (path.isEmpty()) {
        reject();
        return;
    }
    setLastExchangeFile(path);
    // The window goes before the run starts: its progress window must not lie under a modal window.
    Database& db = m_db;
    Prompter& prompter = m_prompter;
    QMdiArea* workspace = m_workspace;
    const ExportOptions options = exportOptionsOf(m_choice, path);
    accept();
    std::unique_ptr<ExportProcess> process = openExport(db, prompter, options);
    if (process) {
        runProcessWindow(workspace, std::move(process));
    }
}

void ExportWindow::helpClicked() {
    if (!m_helpWindow) {
        m_helpWindow = new HelpWindow(this);
        m_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_helpWindow->showContents();
    m_helpWindow->showTopic(QString::fromLatin1(kHelpPage));
}

void ExportWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_restored) {
        m_restored = true;
        restoreWidgetPosition(this, QString::fromLatin1(kPositionSection),
                              positionFilePath(m_db.collectionDir()));
    }
}

void ExportWindow::done(int result) {
    if (!m_saved && isVisible()) {
        m_saved = true;
        saveWidgetPosition(this, QString::fromLatin1(kPositionSection),
                           positionFilePath(m_db.collectionDir()));
    }
    QDialog::done(result);
}

void startExport(Database& db, Prompter& prompter, QMdiArea* workspace, QWidget* parent) {
    auto* window = new ExportWindow(db, prompter, workspace, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);
    window->open();
}

} // namespace tunarium
