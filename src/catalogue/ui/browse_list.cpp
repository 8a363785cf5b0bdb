// The browse's table and its columns.
#include "catalogue/ui/browse_list.h"

#include "catalogue/list_engine.h"
#include "catalogue/list_locator.h"
#include "catalogue/ui/page_model.h"
#include "data/picture_room.h"
#include "ui/dialog_units.h"

#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QWheelEvent>

namespace tunarium {

namespace {

// A text column shows this many characters whole, a media name or a file number for example;
// longer texts keep the width the list was designed with.
constexpr int kWholeTextCharacters = 20;

std::optional<ScrollAction> scrollKey(int key) {
    switch (key) {
    case Qt::Key_Up:
        return ScrollAction::OneUp;
    case Qt::Key_Down:
        return ScrollAction::OneDown;
    case Qt::Key_PageUp:
        return ScrollAction::PageUp;
    case Qt::Key_PageDown:
        return ScrollAction::PageDown;
    case Qt::Key_Home:
        return ScrollAction::Top;
    case Qt::Key_End:
        return ScrollAction::Bottom;
    default:
        return std::nullopt;
    }
}

// The text of a picture's width ("@s50" holds 50 characters); 0 for any other picture.
int textPictureWidth(const QString& picture) {
    if (picture.size() < 3 || picture[0] != u'@' || picture[1].toLower() != u's') {
        return 0;
    }
    return picture.mid(2).toInt();
}

// A list wider than its columns gives the room left to its widest text columns (the names it
// would otherwise cut) rather than to its last column, shared alike among them; the widths the
// user gives the columns are what the list keeps and starts from.
class ColumnFitter final : public QObject {
public:
    ColumnFitter(QTableView* list, QVector<int> columns) : QObject(list), m_list(list), m_columns(std::move(columns)) {
        setObjectName(name());
        QHeaderView* header = list->horizontalHeader();
        for (int c : std::as_const(m_columns)) {
            m_base.insert(c, header->sectionSize(c));
        }
        m_viewport = list->viewport();
        m_viewport->installEventFilter(this);
        connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int size) {
            if (!m_fitting && m_base.contains(column)) {
                m_base[column] = size; // the user's own width
            }
        });
    }
    static QString name() { return QStringLiteral("ColumnFitter"); }
    // The list's fitter; nullptr when its last column takes the room.
    static ColumnFitter* of(const QTableView* list) {
        return static_cast<ColumnFitter*>(list->findChild<QObject*>(name(), Qt::FindDirectChildrenOnly));
    }
    // The width the column has of its own, before the room it was given.
    int baseWidth(int column) const { return m_base.value(column, -1); }
    void fit() {
        QHeaderView* header = m_list->horizontalHeader();
        int fixed = 0;
        int base = 0;
        for (int c = 0; c < header->count(); ++c) {
            if (m_base.contains(c)) {
                base += m_base.value(c);
            } else {
                fixed += header->sectionSize(c);
            }
        }
        const int spare = std::max(0, m_list->viewport()->width() - fixed - base);
        const int each = m_columns.isEmpty() ? 0 : spare / static_cast<int>(m_columns.size());
        m_fitting = true;
        for (int i = 0; i < m_columns.size(); ++i) {
            const int extra = i + 1 == m_columns.size() ? spare - each * (static_cast<int>(m_columns.size()) - 1) : each;
            header->resizeSection(m_columns[i], m_base.value(m_columns[i]) + extra);
        }
        m_fitting = false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The viewport is compared, never asked: the list may be going.
        if (watched == m_viewport && event->type() == QEvent::Resize) {
            fit();
        }
        return false;
    }

private:
    QTableView* m_list;
    QObject* m_viewport = nullptr;
    QVector<int> m_columns;
    QHash<int, int> m_base;
    bool m_fitting = false;
};

} // namespace

BrowseList::BrowseList(ListEngine& engine, QWidget* parent)
    : QTableView(parent), m_engine(engine), m_model(new PageModel(engine, this)) {
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(false);
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this, [this](int, int from, int to) {
        QHeaderView* header = horizontalHeader();
        {
            // The columns are laid out again in their new order; until then the header puts the
            // dragged one back, so that a column's place in the header is its place in the format.
            const QSignalBlocker block(header);
            header->moveSection(to, from);
        }
        if (m_columnMoved) {
            m_columnMoved(from, to);
        }
    });
}

void BrowseList::setColumnsMovable(std::function<void(int from, int to)> moved) {
    m_columnMoved = std::move(moved);
    horizontalHeader()->setSectionsMovable(static_cast<bool>(m_columnMoved));
}

void BrowseList::setDesignSize(QSize units) {
    m_design = DialogUnits(this).toPixels(units);
}

QSize BrowseList::sizeHint() const {
    return m_design.isValid() ? m_design : QTableView::sizeHint();
}

// A column's width in pixels: its width in dialog units, but never less than its header and the
// widest text of its picture need, so that nothing the list shows is cut (a layout kept by an
// earlier version, in narrower units, included).
int BrowseList::columnPixels(const ListFormatColumn& column) const {
    const DialogUnits units(this);
    const int pixels = units.toPixelsX(column.width);
    QHeaderView* header = horizontalHeader();
    QStyleOptionHeader option;
    option.initFrom(header);
    option.text = column.header;
    const int headerWidth =
        header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header).width();
    // A cell leaves a margin each side of its text, and the grid line takes a pixel of it.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int grid = showGrid() ? 1 : 0;
    const int valueWidth =
        units.textWidth(pictureRoom(column.picture, kWholeTextCharacters)) + 2 * margin + grid;
    return std::max({pixels, headerWidth, valueWidth});
}

void BrowseList::applyFormat(const QString& format) {
    m_format = ListFormat::parse(format);
    QVector<QChar> justifications;
    QStringList headers;
    const int columns = m_engine.columnCount();
    for (int i = 0; i < columns && i < m_format.columns().size(); ++i) {
        const ListFormatColumn& c = m_format.columns()[i];
        justifications << c.justification;
        headers << c.header;
        if (!c.picture.isEmpty()) {
            m_engine.setColumnPicture(i, c.picture);
        }
        const int pixels = columnPixels(c);
        horizontalHeader()->resizeSection(i, pixels);
        m_lastColumnUnits = DialogUnits(this).toUnitsX(pixels);
    }
    m_model->setColumnLook(justifications, headers);
    // The room a wide window leaves goes to the widest text columns; the last column stretches
    // only when it is one of them or there is none.
    QVector<int> widest;
    int widestText = 0;
    const int shown = std::min(columns, static_cast<int>(m_format.columns().size()));
    for (int i = 0; i < shown; ++i) {
        const int width = textPictureWidth(m_format.columns()[i].picture);
        if (width > widestText) {
            widest = {i};
            widestText = width;
        } else if (width > 0 && width == widestText) {
            widest << i;
        }
    }
    delete ColumnFitter::of(this);
    const bool lastStretches = widest.isEmpty() || widest.contains(shown - 1);
    horizontalHeader()->setStretchLastSection(lastStretches);
    if (!lastStretches) {
        (new ColumnFitter(this, widest))->fit();
    }
}

// Every key and click on the list goes to the engine, before the view would act on it: the view
// itself never moves its selection.
bool BrowseList::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress && key(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QTableView::event(event);
}

bool BrowseList::viewportEvent(QEvent* event) {
    return mouse(event) || QTableView::viewportEvent(event);
}

bool BrowseList::key(QKeyEvent* event) {
    const int key = event->key();
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    // Every moving key goes to the engine: the view itself never moves its selection.
    if (const std::optional<ScrollAction> scroll = scrollKey(key)) {
        m_engine.scroll(*scroll);
        return true;
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl) {
            m_engine.pressKey(ListKey::CtrlEnter);
        } else if (m_engine.selectMode() && m_defaultAction) {
            m_defaultAction(); // the default button, Select
        }
        return true;
    case Qt::Key_Insert:
        m_engine.pressKey(ListKey::Insert);
        return true;
    case Qt::Key_Delete:
        m_engine.pressKey(ListKey::Delete);
        return true;
    case Qt::Key_Backspace:
        m_engine.pressKey(ListKey::Backspace);
        return true;
    case Qt::Key_Space:
        m_engine.pressKey(ListKey::Space);
        return true;
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    const QString text = event->text();
    if (!ctrl && text.size() == 1 && isLocatorCharacter(text.front())) {
        m_engine.pressKey(ListKey::Character, text.front());
        return true;
    }
    return false;
}

bool BrowseList::mouse(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        setFocus();
        const int row = rowAt(mouse->position().toPoint().y());
        if (row >= 0) {
            m_engine.selectRow(row);
        }
        if (mouse->button() == Qt::RightButton && m_popupAction) {
            m_popupAction(mouse->globalPosition().toPoint());
        }
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const int row = rowAt(mouse->position().toPoint().y());
            if (row >= 0) {
                m_engine.selectRow(row);
                m_engine.pressKey(ListKey::DoubleClick);
            }
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return true;
    case QEvent::Wheel: {
        const int steps = static_cast<QWheelEvent*>(event)->angleDelta().y() / 40;
        for (int i = 0; i < std::abs(steps); ++i) {
            m_engine.scroll(steps > 0 ? ScrollAction::OneUp : ScrollAction::OneDown);
        }
        return true;
    }
    default:
        return false;
    }
}

QString BrowseList::currentFormat() const {
    const int columns = std::min(static_cast<int>(m_format.columns().size()), m_engine.columnCount());
    const ColumnFitter* fitter = ColumnFitter::of(this);
    if (!fitter || columns == 0) {
        return m_format.withWidths(columnUnits(horizontalHeader(), columns, m_lastColumnUnits)).text();
    }
    // The widths of the columns' own, not the room a wide window gave them; the last column does
    // not stretch, so its width is its own too.
    const DialogUnits units(this);
    QVector<int> widths =
        columnUnits(horizontalHeader(), columns, units.toUnitsX(horizontalHeader()->sectionSize(columns - 1)));
    for (int i = 0; i < columns; ++i) {
        if (fitter->baseWidth(i) >= 0) {
            widths[i] = units.toUnitsX(fitter->baseWidth(i));
        }
    }
    return m_format.withWidths(widths).text();
}

bool scrollForThumbAction(ListEngine& engine, int sliderAction) {
    switch (sliderAction) {
    case QAbstractSlider::SliderSingleStepAdd:
        engine.scroll(ScrollAction::OneDown);
        return true;
    case QAbstractSlider::SliderSingleStepSub:
        engine.scroll(ScrollAction::OneUp);
        return true;
    case QAbstractSlider::SliderPageStepAdd:
        engine.scroll(ScrollAction::PageDown);
        return true;
    case QAbstractSlider::SliderPageStepSub:
        engine.scroll(ScrollAction::PageUp);
        return true;
    case QAbstractSlider::SliderToMinimum:
        engine.scroll(ScrollAction::Top);
        return true;
    case QAbstractSlider::SliderToMaximum:
        engine.scroll(ScrollAction::Bottom);
        return true;
    default:
        return false;
    }
}

QScrollBar* makeThumbBar(ListEngine& engine, BrowseList* list) {
    auto* thumb = new QScrollBar(Qt::Vertical);
    thumb->setRange(0, kThumbSteps);
    thumb->setPageStep(10);
    QSizePolicy policy = thumb->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    thumb->setSizePolicy(policy);
    thumb->hide();
    QObject::connect(thumb, &QScrollBar::actionTriggered, list, [&engine, thumb](int action) {
        if (scrollForThumbAction(engine, action)) {
            // The bar shows the estimate of the selected record, not where the click would have put it.
            thumb->setSliderPosition(engine.thumbPosition());
        }
    });
    QObject::connect(thumb, &QScrollBar::sliderReleased, list, [&engine, list, thumb] {
        engine.dragThumb(thumb->sliderPosition());
        list->setFocus();
    });
    return thumb;
}

void showListPage(const ListEngine& engine, BrowseList* list, QScrollBar* thumb) {
    list->pageModel()->pageChanged();
    const int selected = engine.selectedIndex();
    if (selected >= 0) {
        list->selectRow(selected);
    } else {
        list->clearSelection();
    }
    thumb->setVisible(engine.scrollBarVisible());
    const QSignalBlocker block(thumb);
    thumb->setSliderPosition(engine.thumbPosition());
}

void showPopupMenu(QWidget* parent, const QString& text, const QPoint& globalPos,
                   std::function<void(int)> chosen) {
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    int entry = 0;
    for (const QString& item : text.split(u'|')) {
        if (item == u'-') {
            menu->addSeparator();
            continue;
        }
        const bool greyed = item.startsWith(u'~');
        QAction* action = menu->addAction(greyed ? item.mid(1) : item);
        action->setEnabled(!greyed);
        const int number = ++entry;
        QObject::connect(action, &QAction::triggered, parent, [chosen, number] { chosen(number); });
    }
    menu->popup(globalPos);
}

} // namespace tunarium
