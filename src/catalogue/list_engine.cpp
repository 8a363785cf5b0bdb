// The list engine: lifecycle, refresh, fills, reloads and positioning.
#include "catalogue/list_engine.h"
#include "catalogue/list_engine_parts.h"

#include "data/date_time.h"

#include <algorithm>
#include <utility>

namespace tunarium {

namespace {

bool sameRangeValue(const QVariant& a, const QVariant& b) {
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString) {
        return foldKey(a.toString()) == foldKey(b.toString());
    }
    return a.toLongLong() == b.toLongLong();
}

} // namespace

using engine::BusyScope;
using engine::opposite;
using engine::thumbValue;

ListEngine::ListEngine(Database& db, ListDefinition definition, ListHost& host)
    : m_db(db), m_def(std::move(definition)), m_host(host), m_cursor(db.store(), m_def.table, m_def.joins),
      m_buffer(m_def.table) {
    for (const ColumnDef& c : m_def.columns) {
        m_pictures << Picture::parse(c.picture);
    }
    const TableDef& t = tableDef(m_def.table);
    m_locators.resize(m_def.sortOrders.size());
    m_rangeUsed.resize(m_def.sortOrders.size());
    for (const SortOrderDef& s : m_def.sortOrders) {
        QVector<QVariant> blank;
        for (int i = 0; i < s.rangeLength; ++i) {
            const int field = t.key(s.key).components[i];
            blank << (t.field(field).isText() ? QVariant(QString()) : QVariant(qint64(0)));
        }
        m_rangeValues << (s.fixedRange.size() == s.rangeLength && s.rangeLength > 0 ? s.fixedRange : blank);
    }
    for (const JoinDef& j : m_def.joins) {
        m_lookupBuffer << Row(j.table);
    }
}

ListEngine::~ListEngine() {
    close();
}

bool ListEngine::open(Request request) {
    if (m_open) {
        return true;
    }
    QVector<TableId> tables{m_def.table};
    for (const JoinDef& j : m_def.joins) {
        if (!tables.contains(j.table)) {
            tables << j.table;
        }
    }
    m_tables = TableLease(m_db, tables);
    if (!m_tables) {
        return false;
    }
    m_open = true;
    m_failed = false;
    m_request = request;
    m_response = Response::None;
    m_order = 0;
    return true;
}

void ListEngine::close() {
    if (!m_open) {
        return;
    }
    m_tables.release();
    m_page.clear();
    m_selected = -1;
    m_cursor.clearLookups();
    m_open = false;
    if (m_response == Response::None) {
        m_response = Response::Cancelled;
    }
}

void ListEngine::setColumns(const QVector<ColumnDef>& columns) {
    Notify n(*this);
    m_def.columns = columns;
    m_pictures.clear();
    for (const ColumnDef& c : m_def.columns) {
        m_pictures << Picture::parse(c.picture);
    }
}

void ListEngine::setLineCount(int lines) {
    lines = std::max(1, lines);
    if (lines == m_lines) {
        return;
    }
    Notify n(*this);
    m_lines = lines;
    if (!ready() || m_page.isEmpty()) {
        return;
    }
    // Keep the selected record in view: the page then starts where it started, or lower.
    if (m_selected >= m_lines) {
        m_page.remove(0, m_selected - m_lines + 1);
        m_selected = m_lines - 1;
    }
    reload(Reload::AroundSelection);
    newSelection();
}

int ListEngine::sortOrderForTab(int tab, int sortOrderCount) {
    if (sortOrderCount <= 0) {
        return 0;
    }
    if (tab <= 0 || tab >= sortOrderCount) {
        return sortOrderCount;
    }
    return tab;
}

void ListEngine::setRangeValue(int sortOrder, const QVector<QVariant>& values) {
    if (sortOrder < 1 || sortOrder > m_rangeValues.size()) {
        return;
    }
    QVector<QVariant>& range = m_rangeValues[sortOrder - 1];
    for (int i = 0; i < range.size() && i < values.size(); ++i) {
        range[i] = range[i].typeId() == QMetaType::QString
                       ? QVariant(trimTrailingBlanks(values[i].toString()))
                       : QVariant(values[i].toLongLong());
    }
}

QVector<QVariant> ListEngine::rangeValue(int sortOrder) const {
    return sortOrder >= 1 && sortOrder <= m_rangeValues.size() ? m_rangeValues[sortOrder - 1]
                                                               : QVector<QVariant>{};
}

void ListEngine::setUserFilter(const SqlCondition& filter, bool fromTop) {
    m_filter = filter;
    m_forceRefresh = true;
    m_filterFromTop = fromTop;
}

bool ListEngine::rangeChanged() const {
    const std::optional<QVector<QVariant>>& used = m_rangeUsed[m_order - 1];
    if (!used) {
        return false;
    }
    const QVector<QVariant>& now = m_rangeValues[m_order - 1];
    for (int i = 0; i < now.size(); ++i) {
        if (!sameRangeValue(now[i], used->at(i))) {
            return true;
        }
    }
    return false;
}

void ListEngine::refresh() {
    if (!m_open || m_failed || formPending() || m_def.sortOrders.isEmpty()) {
        return;
    }
    Notify n(*this);
    updateTitle();
    const int order = sortOrderForTab(m_tab, static_cast<int>(m_def.sortOrders.size()));
    const bool first = m_order == 0;
    const bool orderChanged = order != m_order;
    m_order = order;
    if (orderChanged) {
        locator().clear();
    }
    const bool newRange = rangeChanged();
    if (!orderChanged && !newRange && !m_forceRefresh) {
        copySelectedToBuffer();
        return;
    }
    if (m_forceRefresh) {
        // Lookup records may have changed elsewhere too (a category renamed): read them again.
        m_cursor.clearLookups();
    }
    m_forceRefresh = false;
    const bool fromTop = std::exchange(m_filterFromTop, false);
    m_rangeUsed[m_order - 1] = m_rangeValues[m_order - 1];
    const Row current = first ? m_buffer : currentRecord();
    openView();
    dropWalk(); // a page asked of the walk before is no longer wanted
    if (m_walkAside) {
        const bool top = first ? m_request != Request::Select : newRange || fromTop;
        if (fromTop) {
            locator().clear();
        }
        if (walkAside(top ? KeyPosition{} : m_cursor.positionFrom(current, !first))) {
            return;
        }
    }
    if (first) {
        if (m_request == Request::Select) {
            locate(m_cursor.positionFrom(current, false));
        } else {
            reload(Reload::FromTop);
        }
    } else if (newRange || fromTop) {
        if (fromTop) {
            locator().clear();
        }
        reload(Reload::FromTop);
    } else {
        locate(m_cursor.positionFrom(current, true));
    }
    if (m_failed) {
        return;
    }
    computeThumbSteps();
    newSelection();
}

bool ListEngine::walkAside(const KeyPosition& from) {
    m_fillAside.reset();
    m_walking = true;
    m_walkFrom = from;
    m_walkAside(walkOfView(from));
    return true;
}

PageWalk ListEngine::walkOfView(const KeyPosition& from) const {
    const SortOrderDef& s = order();
    PageWalk walk;
    walk.table = m_def.table;
    walk.joins = m_def.joins;
    walk.key = s.key;
    walk.rangeLength = m_cursor.rangeLength();
    walk.rangeValues = m_cursor.rangeValues();
    walk.filter = m_cursor.filter();
    walk.reverse = m_descending;
    walk.lookupJoin = s.lookupJoin;
    walk.lookupKey = s.lookupKey;
    walk.from = from;
    walk.lines = m_lines;
    return walk;
}

void ListEngine::pageWalked(const WalkedPage& page) {
    if (!m_walking || !m_open || m_failed) {
        return;
    }
    Notify n(*this);
    m_walking = false;
    if (const std::optional<FillAside> ask = std::exchange(m_fillAside, std::nullopt)) {
        pageFilledAside(*ask, page);
        return;
    }
    if (page.error) {
        // Read here after all: the walk's own connection could not serve it.
        if (m_walkFrom.values.isEmpty()) {
            reload(Reload::FromTop);
        } else {
            locate(m_walkFrom);
        }
    } else {
        m_page = page.rows;
        m_selected = m_page.isEmpty() ? -1 : std::clamp(page.selected, 0, rowCount() - 1);
        m_view = {m_walkFrom, true};
        m_edgesAt = {m_db.store().dataVersion(), m_db.store().ownChanges()};
        m_topKnown = page.atTop;
        m_endKnown = page.atEnd;
        m_cursor.clearLookups();
    }
    if (m_failed) {
        return;
    }
    computeThumbSteps();
    newSelection();
}

void ListEngine::orderBy(int sortOrder, bool descending) {
    const int count = static_cast<int>(m_def.sortOrders.size());
    if (!m_open || m_failed || formPending() || sortOrder < 1 || sortOrder > count) {
        return;
    }
    m_tab = sortOrder == count ? 0 : sortOrder;
    m_descending = descending;
    if (m_order == 0) {
        return; // the first refresh reads in this order
    }
    Notify n(*this);
    dropWalk(); // a page walked elsewhere for the order before is no longer wanted
    m_order = sortOrder;
    locator().clear();
    m_forceRefresh = false;
    m_rangeUsed[m_order - 1] = m_rangeValues[m_order - 1];
    updateTitle();
    openView();
    reload(Reload::FromTop);
    if (m_failed) {
        return;
    }
    computeThumbSteps();
    newSelection();
}

void ListEngine::focusGained() {
    m_forceRefresh = true;
    refresh();
}

void ListEngine::updateTitle() {
    // Counted again only when records were written since (a round trip on a server).
    const std::pair<qint64, qint64> now{m_db.store().dataVersion(), m_db.store().ownChanges()};
    if (now != m_countedAt) {
        m_countedAt = now;
        m_counted = m_db.store().count(m_def.table);
    }
    m_title = m_def.titleCaption + QString::number(m_counted) + m_def.titleSuffix;
}

bool ListEngine::followCount() {
    if (!m_open || m_failed || m_title.isEmpty()) {
        return false;
    }
    if (std::pair<qint64, qint64>{m_db.store().dataVersion(), m_db.store().ownChanges()} == m_countedAt) {
        return false;
    }
    const QString before = m_title;
    updateTitle();
    return m_title != before;
}

// The selected record as it is now in the table (another window may have changed it); the page's
// copy when it is gone or the page is empty.
Row ListEngine::currentRecord() {
    if (m_selected < 0 || m_selected >= m_page.size()) {
        return m_buffer;
    }
    const Row& shown = m_page[m_selected].record;
    Row now;
    return m_db.store().fetch(m_def.table, shown.meta.rec, now).ok() ? now : shown;
}

void ListEngine::openView() {
    const SortOrderDef& s = order();
    m_cursor.setOrder(s.key, s.rangeLength, m_rangeValues[m_order - 1], m_filter);
    m_cursor.setReverse(m_descending);
    m_cursor.setLookupOrder(s.lookupJoin, s.lookupKey);
    if (StoreError e = m_cursor.open()) {
        m_db.warnings().report(warning::kViewOpenError, e);
        m_cursor.dropLimits();
        m_cursor.setReverse(m_descending);
        m_cursor.setLookupOrder(s.lookupJoin, s.lookupKey);
    }
}

void ListEngine::readFailed(const StoreError& error) {
    m_failed = true;
    m_db.warnings().report(warning::kRecordRetrievalError, error, tableDef(m_def.table).label);
    m_host.closeRequested();
}

// Reads up to `count` records beyond the page's end in `direction` (from where the view stands
// when the page is empty) and adds them, dropping rows at the far end to keep the page within the
// list's lines. Returns how many records the end of the order kept it from reading.
int ListEngine::fill(Direction direction, int count) {
    if (count <= 0 || m_failed) {
        return count;
    }
    const bool forward = direction == Direction::Forward;
    // Past the known end of the view there is nothing to read: a filter that few records meet
    // would walk the rest of the order to find so.
    if (!m_page.isEmpty() && edgeKnown(direction)) {
        return count;
    }
    BusyScope busy(m_host);
    KeyPosition from = m_view.position;
    bool inclusive = m_view.inclusive;
    if (!m_page.isEmpty()) {
        from = m_cursor.positionOf((forward ? m_page.back() : m_page.front()).record);
        inclusive = false;
    } else if (from.values.isEmpty()) {
        setEdge(opposite(direction), true); // read from the order's very end
    }
    QVector<PageRow> rows;
    if (StoreError e = m_cursor.read(from, direction, inclusive, count, rows)) {
        readFailed(e);
        return count;
    }
    return placeRows(rows, direction, count);
}

int ListEngine::placeRows(QVector<PageRow>& rows, Direction direction, int count) {
    Q_ASSERT_X(rows.size() <= count, "ListEngine::placeRows", "more rows came than were asked for");
    const bool forward = direction == Direction::Forward;
    for (PageRow& r : rows) {
        if (m_page.size() >= m_lines) {
            forward ? m_page.removeFirst() : m_page.removeLast();
            setEdge(opposite(direction), false);
        }
        forward ? m_page.append(std::move(r)) : m_page.prepend(std::move(r));
    }
    if (rows.size() < count) {
        setEdge(direction, true);
    }
    return count - static_cast<int>(rows.size());
}

bool ListEngine::edgeKnown(Direction direction) {
    if (!(direction == Direction::Forward ? m_endKnown : m_topKnown)) {
        return false;
    }
    if (std::pair<qint64, qint64>{m_db.store().dataVersion(), m_db.store().ownChanges()} != m_edgesAt) {
        m_topKnown = m_endKnown = false;
        return false;
    }
    return true;
}

void ListEngine::setEdge(Direction direction, bool known) {
    if (known && !m_topKnown && !m_endKnown) {
        m_edgesAt = {m_db.store().dataVersion(), m_db.store().ownChanges()};
    }
    (direction == Direction::Forward ? m_endKnown : m_topKnown) = known;
}

void ListEngine::assertPage() const {
    Q_ASSERT_X(m_lines <= 0 || rowCount() <= m_lines, "ListEngine",
               "the page holds more rows than the list shows");
    Q_ASSERT_X(m_selected >= -1 && m_selected < rowCount(), "ListEngine", "the selection is off the page");
}

void ListEngine::emptyPage() {
    m_page.clear();
    m_selected = -1;
    m_topKnown = m_endKnown = false;
}

// Rebuilds the page: around the selected record (from the page's first row, the selection kept
// on the same record or, when it is gone, the last row), from the top, or from the end.
void ListEngine::reload(Reload mode) {
    qint64 anchor = 0;
    if (mode != Reload::FromTop && !m_page.isEmpty()) {
        const int s = m_selected >= 0 && m_selected < m_page.size() ? m_selected : rowCount() - 1;
        anchor = m_page[s].record.meta.rec;
        m_view = {m_cursor.positionOf(m_page.front().record), true};
    } else {
        m_view = {};
    }
    emptyPage();
    const Direction direction = mode == Reload::FromEnd ? Direction::Backward : Direction::Forward;
    const int left = fill(direction, m_lines);
    if (anchor != 0 && left > 0 && !m_failed) {
        if (m_page.isEmpty()) {
            m_view = {};
        }
        fill(opposite(direction), left);
    }
    if (anchor != 0) {
        selectRecord(anchor);
    } else {
        m_selected = m_page.isEmpty() ? -1 : (mode == Reload::FromEnd ? rowCount() - 1 : 0);
    }
    copySelectedToBuffer();
}

// Positions the list at the first record at or after `from`: the page starts there and is
// topped up backward at the end of the order; past the last record the last page shows with its
// last row selected.
void ListEngine::locate(const KeyPosition& from) {
    emptyPage();
    m_view = {from, true};
    const int left = fill(Direction::Forward, m_lines);
    if (m_failed) {
        return;
    }
    if (m_page.isEmpty()) {
        // Nothing at or after the position: the last page ends just before it. Reading backward
        // from the position, not from the end, spares a second pass over the records just passed.
        if (!from.values.isEmpty()) {
            m_view = {from, false};
            fill(Direction::Backward, m_lines);
        }
        m_selected = rowCount() - 1;
        copySelectedToBuffer();
    } else {
        const qint64 found = m_page.front().record.meta.rec;
        fill(Direction::Backward, left);
        selectRecord(found);
        copySelectedToBuffer();
    }
    newSelection();
}

void ListEngine::selectRecord(qint64 rec) {
    m_selected = rowCount() - 1;
    for (int i = 0; i < rowCount(); ++i) {
        if (m_page[i].record.meta.rec == rec) {
            m_selected = i;
            break;
        }
    }
}

void ListEngine::copySelectedToBuffer() {
    if (m_selected >= 0 && m_selected < m_page.size()) {
        m_buffer = m_page[m_selected].record;
        m_lookupBuffer = m_page[m_selected].lookups;
        return;
    }
    m_buffer = Row(m_def.table);
    for (Row& r : m_lookupBuffer) {
        r = Row(r.tableId());
    }
}

void ListEngine::newSelection() {
    copySelectedToBuffer();
    if (m_order == 0 || m_selected < 0 || !scrollBarVisible()) {
        return;
    }
    const int position =
        m_thumb.positionOf(thumbValue(tableDef(m_def.table).field(m_cursor.leadingField()),
                                      m_page[m_selected].record.value(m_cursor.leadingField())));
    // The steps run from the lowest value to the highest: a list in reverse reads them backward.
    m_thumbPosition = m_descending && position > 0 ? kThumbSteps + 1 - position : position;
}

void ListEngine::selectRow(int index) {
    if (!ready() || index < 0 || index >= rowCount()) {
        return;
    }
    Notify n(*this);
    m_selected = index;
    newSelection();
}

Row ListEngine::lookupRecord(int join) const {
    return join >= 0 && join < m_lookupBuffer.size() ? m_lookupBuffer[join] : Row();
}

// The lowest and highest value of the leading field in the order, range and filter, and the steps
// between them.
} // namespace tunarium
