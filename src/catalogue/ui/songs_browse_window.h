// BrowseSongs: the songs in eight orders, with the media and category ranges, the quick locator,
// the search box above the list (Ctrl+F or "/"), the search through the query wizard (both apply
// together), and the song form for Add, Copy, Change and Delete. Songs
// are marked with Ctrl and a click (or Ctrl+Space), in any order and across pages; a drag out of
// the list carries the marked songs in the order they were marked, or else the selected song.
#pragma once

#include "catalogue/query_fields.h"
#include "catalogue/song_search.h"
#include "catalogue/song_search_run.h"
#include "catalogue/ui/browse_window.h"
#include "catalogue/ui/song_search_box.h"
#include "data/settings.h"
#include "ui/procedure_registry.h"

#include <memory>
#include <optional>
#include <utility>

class QMimeData;

namespace tunarium {

// The drag format of songs taken out of the list: their TUN:ID numbers as decimal text, one a line.
inline constexpr char kSongIdMimeType[] = "application/x-tunarium-song-id";

class SongsBrowseWindow : public BrowseWindow {
public:
    SongsBrowseWindow(Database& db, const Settings& settings, Prompter& prompter, QMdiArea* area);

    // Opens the songs browse in the context's workspace; nullptr when the tables cannot be opened.
    // &Import and &Export start the context's "ImportSongs" and "ExportSongs" over the browse, and
    // &Print the report of the current tab; each is disabled while no such procedure is registered.
    static SongsBrowseWindow* openSongs(const ProcedureContext& context);

    const QString& userFilter() const { return m_filterText; }
    // The marked songs in the order they were marked.
    const QVector<qint64>& markedSongs() const { return m_marked; }
    // Marks the song, or takes its mark away.
    void toggleMark(qint64 songId);
    void clearMarks();
    // What a drag out of the list carries: the marked songs, or else the selected one (nullptr
    // with an empty page).
    QMimeData* dragData() const;
    // Puts a search on the list as the query wizard does when a query ran: the filter combined
    // with the current tab's range, the list positioned on the current song.
    void applySearch(const QString& filterText);
    void resetSearch();
    // The search box; what it finds is narrowed by the query wizard's search as well.
    SongSearchBox* searchBox() const { return m_box; }
    // Puts what was typed into the box on the list. A text that cannot be searched shows why under
    // the box and leaves the list as it was.
    void searchFor(const QString& typed);
    // "Save Search…" beside the box (and in the popup): the box's text kept under a name, with the
    // order of the tab shown.
    QPushButton* saveSearchButton() const { return m_saveSearch; }
    void saveSearch();

protected:
    // The songs explorer: the same songs with its own list and options, and the buttons View
    // Properties (`properties`), Add, Copy, Change, Delete, Search, Reset Search, Import, Export,
    // Print and Close, without the media and category ranges.
    SongsBrowseWindow(Database& db, const Settings& settings, Prompter& prompter, QMdiArea* area,
                      ListDefinition definition, BrowseOptions options, std::function<void()> properties);
    // The report &Print starts.
    virtual const char* printReportName() const { return tabReport(engine().sortOrder()); }
    void setProcedures(const ProcedureContext& context);
    void openForm(Request request, const Row& record) override;
    QVector<PopupEntry> popupExtras() const override;
    void extraPopupChosen(int entry) override;
    void pageShown() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addCommonButtons(bool explorer);
    void copySong();
    void search();
    void chooseMedia();
    void chooseCategory();
    void startDrag();
    void enableProcedureButtons();
    void startProcedure(const char* name);
    void applyFilters();
    // The title with what the search adds now.
    void showFound();
    void printReport();
    // The report &Print starts on the tab of `sortOrder`.
    static const char* tabReport(int sortOrder);

    Database& m_db;
    const Settings& m_settings;
    Prompter& m_prompter;
    QMdiArea* m_area;
    std::optional<ProcedureContext> m_procedures;
    std::optional<QueryFieldList> m_fields;
    QString m_filterText;
    SqlCondition m_wizardCondition;
    SongSearch m_boxSearch;
    std::unique_ptr<SongSearchRun> m_run; // ends before the base's list engine it walks for
    QString m_foundSuffix;                // what the title shows of the search
    QString m_appliedSearch; // the box's and the wizard's filters last put on the list
    SongSearchBox* m_box = nullptr;
    QVector<qint64> m_marked;
    QPoint m_pressPos;
    bool m_pressed = false;
    QPushButton* m_copy = nullptr;
    QPushButton* m_search = nullptr;
    QPushButton* m_reset = nullptr;
    QPushButton* m_selectMedia = nullptr;
    QPushButton* m_selectCategory = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_import = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_saveSearch = nullptr;
};

} // namespace tunarium
