// The list engine behind every browse window: one page of records of one table, read in the order
// of the sort order that the selected tab shows, limited by a range and the user's filter; the
// reload modes, scrolling, the typed and step locators, the scroll thumb, the popup text, the
// title, and Add, Change and Delete through the table's form. It holds no more than the page, and
// every read is one keyset query through the key's index. The window only calls it and repaints
// when the host is told that the page changed.
#pragma once

#include "catalogue/list_cursor.h"
#include "catalogue/list_definition.h"
#include "catalogue/list_locator.h"
#include "catalogue/list_thumb.h"
#include "catalogue/page_walker.h"
#include "data/database.h"
#include "data/pictures.h"
#include "data/table_lease.h"

#include <functional>
#include <optional>
#include <utility>

namespace tunarium {

enum class ScrollAction { OneUp, OneDown, PageUp, PageDown, Top, Bottom };

class ListEngine {
public:
    ListEngine(Database& db, ListDefinition definition, ListHost& host);
    // Closes the engine if it is still open.
    ~ListEngine();
    ListEngine(const ListEngine&) = delete;
    ListEngine& operator=(const ListEngine&) = delete;

    const ListDefinition& definition() const { return m_def; }

    // Counted open of the browse table and the joined tables, under the window's own request.
    // False when a table cannot be opened (the program is ending).
    bool open(Request request = Request::None);
    // Counted close; empties the page. The response becomes Cancelled unless a Select completed.
    void close();
    bool isOpen() const { return m_open; }
    Request request() const { return m_request; }
    Response response() const { return m_response; }
    // Opened with the Select request by a browse that can select.
    bool selectMode() const { return m_def.selectable && m_request == Request::Select; }

    // Lines the list shows: the size of a page. A change rebuilds the page around the selection.
    void setLineCount(int lines);
    int lineCount() const { return m_lines; }

    // Tabs are counted from 0. The first tab shows the last sort order, tab k the sort order k.
    static int sortOrderForTab(int tab, int sortOrderCount);
    // Takes effect at the next refresh.
    void setTab(int tab) { m_tab = tab; }
    int tab() const { return m_tab; }
    // The sort order of the page (1..N); 0 before the first refresh.
    int sortOrder() const { return m_order; }
    // Orders the list by `sortOrder` (1..N), read in reverse when `descending`, and reloads it from
    // the top (a header click of an explorer). Before the first refresh it only takes effect then.
    // Ignored while a form is open or the engine has failed.
    void orderBy(int sortOrder, bool descending);
    bool descending() const { return m_descending; }

    // The range value of a sort order with a range (the values of its range components). A
    // change is seen by the next refresh, which then reloads from the top of the new range.
    void setRangeValue(int sortOrder, const QVector<QVariant>& values);
    QVector<QVariant> rangeValue(int sortOrder) const;
    // The user's filter, combined with the range of range sort orders; empty for none. The next
    // refresh positions the list at the current record under the new filter, or with `fromTop` at
    // the first record of the order (a new search shows its first match).
    void setUserFilter(const SqlCondition& filter, bool fromTop = false);
    const SqlCondition& userFilter() const { return m_filter; }

    // With `walk` set, the page a refresh reads (a new filter, tab or range) is left to it: the
    // engine keeps the page it shows, takes no action of the user until pageWalked() brings the
    // new one, and asks `walk` to read it elsewhere (a PageWalker). Empty: the refresh reads here.
    void setWalkAside(std::function<void(const PageWalk&)> walk) { m_walkAside = std::move(walk); }
    // A page asked of the walk is awaited.
    bool walking() const { return m_walking; }
    // The page of the walk last asked for: shown, the selection on its found record. A page that
    // could not be read there is read here.
    void pageWalked(const WalkedPage& page);

    // The window was opened, resized, searched, or got a new tab or range: updates the title,
    // and reloads when the sort order, its range or a forced refresh asks for it.
    void refresh();
    // The window regained the focus: the page is read again around the current record, so that
    // changes made elsewhere show.
    void focusGained();
    void setForceRefresh() { m_forceRefresh = true; }

    // The page, in key order. Rows and columns are counted from 0.
    int rowCount() const { return static_cast<int>(m_page.size()); }
    int columnCount() const { return static_cast<int>(m_def.columns.size()); }
    const PageRow& row(int index) const { return m_page[index]; }
    QString headerText(int column) const { return m_def.columns[column].header; }
    QString cellText(int row, int column) const;
    QVariant cellValue(int row, int column) const;
    // New columns (an explorer showing other fields); the page is shown again with them.
    void setColumns(const QVector<ColumnDef>& columns);
    // A new picture for a column (the user's date picture replacing a column's date picture).
    void setColumnPicture(int column, const QString& picture);
    // The selected row; -1 when the page is empty.
    int selectedIndex() const { return m_selected; }
    // The user selected another row of the page.
    void selectRow(int index);
    // The page rebuilt around `record`, which another routine changed (a move renumbered it), with
    // that record selected; the thumb follows.
    void showRecord(const Row& record);

    // The record buffer: the selected row's record (blank when the page is empty). A caller that
    // opens the browse with the Select request leaves the value to open on here.
    const Row& record() const { return m_buffer; }
    void setRecord(const Row& record) { m_buffer = record; }
    // The selected row's lookup record of a join (blank when none).
    Row lookupRecord(int join) const;

    void scroll(ScrollAction action);

    // An alerted or printable key on the list. With rows: double click presses Select in select
    // mode and Change otherwise, Ctrl+Enter Change, Insert Add, Delete Delete; the others go to
    // the locator. With an empty page only Insert does something.
    void pressKey(ListKey key, QChar character = {});
    // The current sort order's typed locator.
    QString locatorText() const;
    // The hint an empty page shows: the sort order's range hint while its range value is blank
    // (no media, category 0); empty otherwise.
    QString emptyHint() const;

    // The scroll bar shows while the page is full.
    bool scrollBarVisible() const { return m_lines > 0 && rowCount() >= m_lines; }
    // 0..100.
    int thumbPosition() const { return m_thumbPosition; }
    const ThumbSteps& thumbSteps() const { return m_thumb; }
    // The user dragged the thumb to `position` (1..100): the ends act as Top and Bottom, the
    // positions between them position the list at that step value.
    void dragThumb(int position);

    // Change and Delete (buttons, popup, keys) work only with rows on the page.
    bool changeEnabled() const { return !m_page.isEmpty(); }
    // Add, Change and Delete call the form through the host and wait for formAnswered().
    void add();
    void change();
    void remove();
    // Select mode only: takes the selected row, answers Completed and asks the host to close.
    bool select();
    bool formPending() const { return m_formRequest != Request::None; }
    // The form's answer. `record` is the record as the form left it (the added or changed
    // record; ignored for Delete and Cancelled).
    void formAnswered(Response response, const Row& record);

    // "&Add|&Change|&Delete", greyed with an empty page, then the window's own entries.
    QString popupText(const QVector<PopupEntry>& extras = {}) const;
    // Entries 1 to 3 press Add, Change and Delete; false for the others, which are the window's.
    bool choosePopup(int entry);

    // Caption, count of the whole table, suffix; set by every refresh.
    QString title() const { return m_title; }
    // Counts the table again when it was written since the last look, here or by another copy
    // (the file's data version says so); true when the title changed. Cheap when nothing was
    // written: a window asks every second.
    bool followCount();

    // A read failed and the host was asked to close.
    bool failed() const { return m_failed; }
    const ListCursor& cursor() const { return m_cursor; }

private:
    enum class Reload { AroundSelection, FromTop, FromEnd };
    struct ViewPosition {
        KeyPosition position; // empty: the start or end of the order
        bool inclusive = true;
    };
    // Tells the host once, when the outermost public operation that may have changed the page
    // ends.
    class Notify {
    public:
        explicit Notify(ListEngine& engine) : m_engine(engine) { ++m_engine.m_notifyDepth; }
        ~Notify() {
            Q_ASSERT(m_engine.m_notifyDepth > 0);
            if (--m_engine.m_notifyDepth == 0) {
                m_engine.assertPage();
                m_engine.m_host.pageChanged();
            }
        }
        Notify(const Notify&) = delete;
        Notify& operator=(const Notify&) = delete;

    private:
        ListEngine& m_engine;
    };

    bool ready() const { return m_open && !m_failed && !formPending() && m_order > 0 && !m_walking; }
    const SortOrderDef& order() const {
        Q_ASSERT(m_order >= 1 && m_order <= m_def.sortOrders.size());
        return m_def.sortOrders[m_order - 1];
    }
    ListLocator& locator() {
        Q_ASSERT(m_order >= 1 && m_order <= m_locators.size());
        return m_locators[m_order - 1];
    }
    // What every public operation leaves (debug builds): a page no longer than the list's lines,
    // the selection on one of its rows or none.
    void assertPage() const;

    int fill(Direction direction, int count);
    // Whether the page's first (last) row is known to be the first (last) of the view: known while
    // nothing was written since.
    bool edgeKnown(Direction direction);
    void setEdge(Direction direction, bool known);
    // Asks the walk aside for the page from `from` (empty: the top); false without one.
    bool walkAside(const KeyPosition& from);
    PageWalk walkOfView(const KeyPosition& from) const;
    // A fill asked of the walk aside (a scroll past the page's edge while a search walks), and
    // the scroll it finishes when its rows come; `fresh`: they replace the page (top, bottom).
    struct FillAside {
        Direction direction = Direction::Forward;
        int count = 0;
        ScrollAction action = ScrollAction::OneDown;
        bool fresh = false;
    };
    // With a walk aside and rows to read past the page's edge: asks for them there and returns
    // true; the scroll is finished when they come.
    bool fillAside(const FillAside& ask);
    void pageFilledAside(const FillAside& ask, const WalkedPage& page);
    // Rows read past the page's edge toward `direction` (nearest first) put on the page; how many
    // of `count` were missing.
    int placeRows(QVector<PageRow>& rows, Direction direction, int count);
    // What a scroll that read past the page's edge does with the selection, `left` rows short.
    void finishScroll(ScrollAction action, int left);
    // Positions the list at `from`: here, or with a walk aside there.
    void seek(const KeyPosition& from);
    // No page or fill asked of the walk aside is wanted any longer.
    void dropWalk() {
        m_walking = false;
        m_fillAside.reset();
    }
    void reload(Reload mode);
    void locate(const KeyPosition& from);
    void emptyPage();
    void selectRecord(qint64 rec);
    void newSelection();
    void copySelectedToBuffer();
    void computeThumbSteps();
    void openView();
    void readFailed(const StoreError& error);
    bool rangeChanged() const;
    Row currentRecord();
    void updateTitle();

    void typedLocator(ListKey key, QChar character);
    void stepLocator(ListKey key, QChar character);
    bool reReadSelected(Row& out);
    void callForm(Request request, const Row& record);

    Database& m_db;
    ListDefinition m_def;
    ListHost& m_host;
    ListCursor m_cursor;
    QVector<Picture> m_pictures;
    TableLease m_tables; // taken by open(): the browse table, then the joined ones

    bool m_open = false;
    bool m_failed = false;
    Request m_request = Request::None;
    Response m_response = Response::None;
    Request m_formRequest = Request::None;
    int m_notifyDepth = 0;

    int m_lines = 10;
    int m_tab = 0;
    int m_order = 0;
    bool m_forceRefresh = false;
    bool m_filterFromTop = false;
    bool m_descending = false;
    QVector<ListLocator> m_locators;                       // per sort order
    QVector<QVector<QVariant>> m_rangeValues;              // per sort order: the value chosen
    QVector<std::optional<QVector<QVariant>>> m_rangeUsed; // per sort order: the value of the last fill
    SqlCondition m_filter;

    QVector<PageRow> m_page;
    int m_selected = -1;
    ViewPosition m_view;
    Row m_buffer;
    QVector<Row> m_lookupBuffer;

    std::function<void(const PageWalk&)> m_walkAside;
    bool m_walking = false;
    KeyPosition m_walkFrom;
    std::optional<FillAside> m_fillAside;
    bool m_topKnown = false;
    bool m_endKnown = false;
    std::pair<qint64, qint64> m_edgesAt{-1, -1}; // the data version and own writes the edges were seen at

    ThumbSteps m_thumb;
    // What the thumb's steps were last worked out from the order's ends for: the order, its range
    // and direction, and the data version and own writes then (the ends move only with records).
    struct ThumbBasis {
        int order = 0;
        QVector<QVariant> range;
        bool descending = false;
        std::pair<qint64, qint64> at{-1, -1};
        bool operator==(const ThumbBasis&) const = default;
    };
    ThumbBasis m_thumbBasis;
    ThumbSteps m_thumbFromEnds;
    int m_thumbPosition = 0;
    QString m_title;
    std::pair<qint64, qint64> m_countedAt{-1, -1}; // the data version and own writes last counted at
    qint64 m_counted = 0;                          // and the count then
};

} // namespace tunarium
