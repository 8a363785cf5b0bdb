// The browse's table and its columns.
#include "catalogue/ui/browse_list.h"

#include "catalogue/list_engine.h"
#include "catalogue/list_locator.h"
#include "catalogue/ui/page_model.h"
#include "data/picture_room.h"
#include "ui/dialog_units.h"

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
    return m_format.withWidths(columnUnits(horizontalHeader(), columns, m_lastColumnUnits)).text();
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
