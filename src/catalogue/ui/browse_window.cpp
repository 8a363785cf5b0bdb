// The browse window: building, opening, the page shown, focus, layout and closing.
#include "catalogue/ui/browse_window.h"

#include "catalogue/form_session.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/page_model.h"
#include "data/ini_file.h"
#include "data/settings.h"
#include "ui/dialog_units.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace tunarium {

namespace {

// How often a browse looks whether its table was written by another copy of the program.
constexpr int kCountWatchMs = 1000;

} // namespace

BrowseWindow::BrowseWindow(Database& db, ListDefinition definition, BrowseOptions options, Request request,
                           QWidget* caller, Answer answer)
    : BrowseWindow(db, std::move(definition), std::move(options), request, caller, std::move(answer),
                   std::make_shared<Row>()) {}

BrowseWindow::BrowseWindow(Database& db, ListDefinition definition, BrowseOptions options, Request request,
                           QWidget* caller, Answer answer, std::shared_ptr<Row> chosen)
    : FormWindow(options.procedure, options.positionFile, caller,
                 [chosen, answer = std::move(answer)](Response response) {
                     if (answer) {
                         answer(response, *chosen);
                     }
                 }),
      m_db(db), m_options(std::move(options)), m_request(request), m_chosen(std::move(chosen)),
      m_columns(definition.columns) {
    m_engine = std::make_unique<ListEngine>(db, std::move(definition), *this);
    build();
}

BrowseWindow::~BrowseWindow() {
    while (m_busy > 0) {
        setBusy(false);
    }
}

void BrowseWindow::build() {
    auto* layout = new QVBoxLayout(this);
    if (!m_options.tabs.isEmpty()) {
        m_tabs = new SortTabBar(m_options.tabs);
        layout->addWidget(m_tabs);
    }
    m_list = new BrowseList(*m_engine);
    m_list->setDefaultAction([this] { press(BrowseAction::Select); });
    m_list->setPopupAction([this](QPoint at) { showPopup(at); });
    m_list->setToolTip(m_options.listTip);
    m_list->setStatusTip(m_options.listStatus);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    // Whoever gives the browse the focus gives it to the list.
    setFocusProxy(m_list);
    m_hint = new QLabel(m_list->viewport());
    m_hint->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_hint->setForegroundRole(QPalette::PlaceholderText);
    m_hint->setMargin(DialogUnits(m_list).toPixelsX(4));
    m_hint->hide();

    m_thumb = makeThumbBar(*m_engine, m_list);
    m_listArea = new BrowseListArea(m_list, m_thumb, layout);

    if (!m_options.locatorPrompt.isEmpty()) {
        m_locator = new QLineEdit;
        m_locator->setReadOnly(true);
        m_locator->setMaxLength(kLocatorLength);
        m_locator->setFocusPolicy(Qt::NoFocus);
        auto* prompt = new QLabel(m_options.locatorPrompt);
        prompt->setBuddy(m_list);
        auto* locatorRow = new QHBoxLayout;
        locatorRow->addWidget(prompt);
        locatorRow->addWidget(m_locator, 1);
        layout->addLayout(locatorRow);
    }
    m_buttonRows = new QVBoxLayout;
    layout->addLayout(m_buttonRows);
    startButtonRow();
    if (m_tabs) {
        connect(m_tabs, &QTabBar::currentChanged, this, &BrowseWindow::tabChanged);
    }
    // The count in the title follows the table when another copy of the program writes to it.
    if (m_options.titleWithCount) {
        auto* countWatch = new QTimer(this);
        connect(countWatch, &QTimer::timeout, this, [this] {
            if (m_engine->followCount()) {
                showPage();
            }
        });
        countWatch->start(kCountWatchMs);
    }
}

void BrowseWindow::startButtonRow() {
    m_buttons = new QHBoxLayout;
    m_buttons->addStretch();
    m_buttonRows->addLayout(m_buttons);
}

QPushButton* BrowseWindow::addButton(const QString& text, std::function<void()> pressed) {
    auto* b = new QPushButton(text);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [pressed = std::move(pressed)] { pressed(); });
    m_buttons->addWidget(b);
    return b;
}

QPushButton* BrowseWindow::addButton(BrowseAction action, const QString& text) {
    QPushButton* b = addButton(text, [this, action] { press(action); });
    m_actionButtons.insert(static_cast<int>(action), b);
    if (action == BrowseAction::Select) {
        // Only a selection list shows Select, as its default button.
        const bool selecting = m_engine->definition().selectable && m_request == Request::Select;
        b->setVisible(selecting);
        b->setEnabled(selecting);
        b->setDefault(selecting);
    }
    return b;
}

QPushButton* BrowseWindow::button(BrowseAction action) const {
    return m_actionButtons.value(static_cast<int>(action));
}

void BrowseWindow::press(BrowseAction action) {
    switch (action) {
    case BrowseAction::Select:
        m_engine->select();
        break;
    case BrowseAction::Add:
        m_engine->add();
        break;
    case BrowseAction::Change:
        m_engine->change();
        break;
    case BrowseAction::Delete:
        m_engine->remove();
        break;
    case BrowseAction::Close:
        finish(Response::Cancelled);
        return;
    }
    if (!m_engine->formPending()) {
        m_list->setFocus();
    }
}

bool BrowseWindow::open(QMdiArea* area, const Row& openOn) {
    if (!m_engine->open(m_request)) {
        finish(Response::Cancelled);
        return false;
    }
    const DialogUnits units(this);
    m_list->setDesignSize(m_options.listSize);
    if (!m_options.openingSizeIsMinimum && m_options.minimumSize.isValid()) {
        setMinimumSize(units.toPixels(m_options.minimumSize));
    }
    m_list->applyFormat(layoutAtOpening(m_options.designFormat));
    if (!m_options.listName.isEmpty()) {
        m_list->setColumnsMovable([this](int from, int to) { columnMoved(from, to); });
    }
    if (m_tabs) {
        m_engine->setTab(m_tabs->selectQuietly(m_options.tab));
    }
    // The window opens around its list at the design size; a browse that keeps its opening size
    // as its minimum never shrinks below it.
    resize(sizeHint().expandedTo(minimumSize()));
    if (m_options.openingSizeIsMinimum) {
        setMinimumSize(size());
    }
    present(area);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        // The child window holding the browse keeps the browse's minimum with its frame around it.
        sub->setMinimumSize(sub->minimumSizeHint());
    }
    updateLineCount();
    if (openOn.tableId() == m_engine->definition().table && openOn.size() > 0) {
        m_engine->setRecord(openOn);
    }
    m_opened = true;
    m_engine->refresh();
    m_list->setFocus();
    toolbarChanged();
    return true;
}

ListLayoutKeys BrowseWindow::layoutKeys() const {
    return {m_options.positionFile, m_options.procedure, m_options.listName};
}

QString BrowseWindow::layoutAtOpening(const QString& design) {
    if (m_options.listName.isEmpty()) {
        return m_options.datePicture.isEmpty() ? design : replaceDatePictures(design, m_options.datePicture);
    }
    const ListLayout layout = restoreListLayout(layoutKeys(), design, m_options.datePicture);
    showColumns(layout.columns);
    return layout.format;
}

void BrowseWindow::keepLayout() {
    if (!m_options.listName.isEmpty()) {
        saveListFormat(layoutKeys(), currentFormat());
    }
}

void BrowseWindow::showColumns(const QVector<int>& order) {
    m_engine->setColumns(m_columns.show(order));
}

// A column dragged to another place: the list shows its columns in the new order, and its format
// names the design column of each, so that the order is kept with the widths.
void BrowseWindow::columnMoved(int from, int to) {
    const QString moved = m_columns.move(currentFormat(), from, to);
    if (moved.isEmpty()) {
        return;
    }
    m_engine->setColumns(m_columns.columns());
    m_list->pageModel()->pageChanged();
    m_list->applyFormat(moved);
    showPage();
}

bool BrowseWindow::placeList(const QRect& box) {
    return m_listArea->place(box);
}

QString BrowseWindow::currentFormat() const {
    return m_list->currentFormat();
}

QString BrowseWindow::emptyHint() const {
    return m_engine->emptyHint();
}

void BrowseWindow::updateLineCount() {
    const int rowHeight = std::max(1, m_list->verticalHeader()->defaultSectionSize());
    m_engine->setLineCount(std::max(1, m_list->viewport()->height() / rowHeight));
}

void BrowseWindow::setBusy(bool busy) {
    if (busy) {
        ++m_busy;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busy > 0) {
        --m_busy;
        QApplication::restoreOverrideCursor();
    }
}

void BrowseWindow::pageChanged() {
    showPage();
}

void BrowseWindow::showPage() {
    showListPage(*m_engine, m_list, m_thumb);
    if (m_locator) {
        m_locator->setText(m_engine->locatorText());
    }
    const QString hint = m_engine->emptyHint();
    m_hint->setText(hint);
    m_hint->adjustSize();
    m_hint->setVisible(!hint.isEmpty());
    const QString& caption = m_engine->definition().titleCaption;
    setWindowTitle(m_options.titleWithCount && !m_engine->title().isEmpty() ? m_engine->title() : caption);
    const bool rows = m_engine->changeEnabled();
    for (BrowseAction a : {BrowseAction::Change, BrowseAction::Delete}) {
        if (QPushButton* b = button(a)) {
            b->setEnabled(rows);
        }
    }
    pageShown();
    toolbarChanged();
}

void BrowseWindow::callForm(Request request, const Row& record) {
    openForm(request, record);
}

void BrowseWindow::closeRequested() {
    *m_chosen = m_engine->record();
    const Response response =
        m_engine->response() == Response::Completed ? Response::Completed : Response::Cancelled;
    QMetaObject::invokeMethod(
        this, [this, response] { finish(response); }, Qt::QueuedConnection);
}

void BrowseWindow::activated() {
    if (m_opened && !m_closing && isEnabled()) {
        m_engine->focusGained();
    }
}

void BrowseWindow::tabChanged(int index) {
    m_engine->setTab(index);
    m_engine->refresh();
    m_list->setFocus();
}

void BrowseWindow::closed() {
    m_closing = true;
    if (!m_opened) {
        m_engine->close();
        return;
    }
    keepLayout();
    if (m_tabs && !m_options.tabSettingKey.isEmpty()) {
        writeIni(m_options.tabSettingsFile, QString::fromLatin1(kSettingsSection), m_options.tabSettingKey,
                 QString::number(m_tabs->currentIndex() + 1));
    }
    if (m_engine->response() != Response::Completed) {
        *m_chosen = Row();
    }
    m_engine->close();
    m_opened = false;
}

} // namespace tunarium
