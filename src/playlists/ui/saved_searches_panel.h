// The saved searches in the playlists browse, beside the playlists: a list of its own through the
// list engine (by name, each with the saved search's mark and its search), "&Open" (also a double
// click) showing the songs it finds now, "Freeze" making them an ordinary playlist, "Rena&me…"
// and "De&lete", and "E&xport…" writing the songs it finds now as an M3U8 file. Searches are
// saved from the songs list's search box ("Save Search…").
#pragma once

#include "catalogue/list_engine.h"
#include "catalogue/ui/list_panel_parts.h"
#include "data/records.h"
#include "ui/procedure_registry.h"

#include <QWidget>

#include <functional>
#include <memory>

class QPushButton;
class QScrollBar;

namespace tunarium {

class BrowseList;
class SavedSearchWindow;
class SearchNameDialog;

class SavedSearchesPanel : public QWidget, public ListHost {
public:
    // `frozen` is told the playlist a freeze made.
    SavedSearchesPanel(const ProcedureContext& context, std::function<void(qint64 playlistId)> frozen);
    ~SavedSearchesPanel() override;

    // Opens the list; false when the table cannot be opened.
    bool open();
    void close();
    // Saved searches written elsewhere (the songs list, another station) show: the list is read
    // again around the one selected.
    void refresh();

    ListEngine& engine() { return *m_engine; }
    BrowseList* list() const { return m_list; }
    QPushButton* openButton() const { return m_open; }
    QPushButton* freezeButton() const { return m_freeze; }
    QPushButton* renameButton() const { return m_rename; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* exportButton() const { return m_export; }

    // What the buttons do, on the selected saved search.
    SavedSearchWindow* openSelected();
    void freezeSelected();
    SearchNameDialog* renameSelected();
    void deleteSelected();
    void exportSelected();

protected:
    void callForm(Request request, const Row& record) override;
    void setBusy(bool busy) override;
    void pageChanged() override;

private:
    bool selected(SavedSearchRecord& out) const;
    QPushButton* button(const QString& text, const QString& tip, std::function<void()> pressed);

    ProcedureContext m_context;
    std::function<void(qint64)> m_frozen;
    BusyCursor m_busy; // outlives the engine, whose close may still ask for the cursor
    std::unique_ptr<ListEngine> m_engine;
    BrowseList* m_list = nullptr;
    QScrollBar* m_thumb = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_freeze = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_export = nullptr;
};

} // namespace tunarium
