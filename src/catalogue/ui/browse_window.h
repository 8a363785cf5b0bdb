// The browse window every list of the program is shown in: a table over the list engine's page, a
// thumb scroll bar of its own (0 to 100) that shows while the page is full (the two in a
// BrowseListArea), the sort-order tabs with the selected one in bold, the locator display, the
// alerted keys, the popup menu, the record buttons of the frame's toolbar, the columns in the
// order the user dragged them to (ShownColumns) with the layout kept in the position file, the
// window position, the busy cursor during fills, and a refresh whenever the window gains the
// focus. A browse opened with the Select request answers its caller with the chosen record.
#pragma once

#include "catalogue/list_engine.h"
#include "catalogue/list_format.h"
#include "catalogue/shown_columns.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/browse_list_area.h"
#include "catalogue/ui/browse_options.h"
#include "catalogue/ui/browse_toolbar.h"
#include "catalogue/ui/form_window.h"
#include "catalogue/ui/sort_tab_bar.h"

#include <QRect>
#include <QSize>
#include <QStringList>

#include <memory>

class QLabel;
class QLineEdit;
class QHBoxLayout;
class QVBoxLayout;
class QPushButton;
class QScrollBar;
class QTabBar;
class QTableView;

namespace tunarium {

class BrowseWindow : public FormWindow, public ListHost, public ToolbarTarget {
public:
    // The answer to the caller of a Select: the response and, when Completed, the chosen record.
    using Answer = std::function<void(Response response, const Row& chosen)>;

    BrowseWindow(Database& db, ListDefinition definition, BrowseOptions options, Request request,
                 QWidget* caller, Answer answer);
    ~BrowseWindow() override;

    // Opens the tables, shows the window where it was last with its list layout, and fills the
    // first page: from the top, or with the Select request at `openOn` (the caller's value). False
    // when the tables cannot be opened; the window then closes.
    bool open(QMdiArea* area, const Row& openOn = {});

    ListEngine& engine() { return *m_engine; }
    const ListEngine& engine() const { return *m_engine; }
    const BrowseOptions& options() const { return m_options; }
    QTableView* list() const { return m_list; }
    QScrollBar* thumbBar() const { return m_thumb; }
    QTabBar* tabBar() const { return m_tabs; }
    QLineEdit* locatorDisplay() const { return m_locator; }
    QPushButton* button(BrowseAction action) const;
    // The popup menu's text as it would show now ("&Add|~&Change|..."), and choosing entry n.
    QString popupText() const;
    void choosePopup(int entry);
    // The list's current format: the design's with the user's column widths.
    QString currentFormat() const;
    // The list box and its thumb, in their place in the window.
    QWidget* listArea() const { return m_listArea; }
    // The list box at a place of its own (BrowseListArea::place).
    bool placeList(const QRect& box);
    // A fill is running (a header click then waits).
    bool busy() const { return m_busy > 0; }

    bool toolbarEnabled(ToolbarButtonId button) const override;
    void toolbarPressed(ToolbarButtonId button) override;

    // The text the empty list shows (which range to choose), empty when none.
    QString emptyHint() const;

protected:
    QPushButton* addButton(BrowseAction action, const QString& text);
    QPushButton* addButton(const QString& text, std::function<void()> pressed);
    // Buttons added after this go on a row of their own below the others.
    void startButtonRow();
    void press(BrowseAction action);

    // Opens the table's form with the request on the record and returns at once; the form answers
    // through engine().formAnswered().
    virtual void openForm(Request request, const Row& record) = 0;
    // The window's popup entries after Add, Change and Delete, and what choosing one does
    // (entries counted from 4).
    virtual QVector<PopupEntry> popupExtras() const { return {}; }
    virtual void extraPopupChosen(int entry) { (void)entry; }
    // Runs after every change of the page; the window's own buttons follow it here.
    virtual void pageShown() {}
    // The list's format at opening, from its design (its own date pictures; the user's go in
    // their place): the layout kept under the list's "SRCF" keys when it was made from this design.
    // A window that keeps its layout otherwise answers here and in keepLayout(), which runs when it
    // closes.
    virtual QString layoutAtOpening(const QString& design);
    virtual void keepLayout();

    void callForm(Request request, const Row& record) override;
    void setBusy(bool busy) override;
    void pageChanged() override;
    void closeRequested() override;

    void closed() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void activated() override;

private:
    BrowseWindow(Database& db, ListDefinition definition, BrowseOptions options, Request request,
                 QWidget* caller, Answer answer, std::shared_ptr<Row> chosen);
    void build();
    void showPage();
    void updateLineCount();
    void showPopup(const QPoint& globalPos);
    void showLocateHint();
    void tabChanged(int index);
    ListLayoutKeys layoutKeys() const;
    // Shows the design's columns in the order given (design columns counted from 0; columns the
    // order leaves out follow in design order).
    void showColumns(const QVector<int>& order);
    void columnMoved(int from, int to);

    Database& m_db;
    std::unique_ptr<ListEngine> m_engine;
    BrowseOptions m_options;
    Request m_request;
    std::shared_ptr<Row> m_chosen; // read by the answer after the window is gone

    SortTabBar* m_tabs = nullptr;
    BrowseList* m_list = nullptr;
    QScrollBar* m_thumb = nullptr;
    QLineEdit* m_locator = nullptr;
    QLabel* m_hint = nullptr;
    QVBoxLayout* m_buttonRows = nullptr;
    QHBoxLayout* m_buttons = nullptr;
    QHash<int, QPushButton*> m_actionButtons;
    BrowseListArea* m_listArea = nullptr;
    ShownColumns m_columns;

    int m_busy = 0;
    bool m_opened = false;
    bool m_closing = false;
};

} // namespace tunarium
