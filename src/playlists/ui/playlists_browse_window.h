// BrowsePlayLists ("Playlists"): the playlists in the order they were made, the playlist form for
// Add, Change and Delete, "Generate Play List" in the popup, the two playlist reports, and the
// export of the selected playlist to a playlist file and the import of one (buttons and popup
// entries), each started by name and disabled until it is registered; below them the saved
// searches, each with its mark (SavedSearchesPanel).
#pragma once

#include "catalogue/ui/browse_window.h"
#include "ui/procedure_registry.h"

namespace tunarium {

class SavedSearchesPanel;

class PlaylistsBrowseWindow : public BrowseWindow {
public:
    explicit PlaylistsBrowseWindow(const ProcedureContext& context);

    // Opens the browse in the context's workspace; nullptr when the tables cannot be opened.
    static PlaylistsBrowseWindow* openPlaylists(const ProcedureContext& context);

    QPushButton* printButton() const { return m_print; }
    QPushButton* top40Button() const { return m_top40; }
    SavedSearchesPanel* savedSearches() const { return m_searches; }
    QPushButton* exportButton() const { return m_export; }
    QPushButton* importButton() const { return m_import; }
    // The generator, in front of the browse; the browse shows the new playlist when it is made.
    void generate();

protected:
    void openForm(Request request, const Row& record) override;
    QVector<PopupEntry> popupExtras() const override;
    void extraPopupChosen(int entry) override;
    void pageShown() override;
    void activated() override;
    void closed() override;

private:
    void startReport(const char* name);
    void exportFile();
    void importFile();

    ProcedureContext m_context;
    QPushButton* m_print = nullptr;
    QPushButton* m_top40 = nullptr;
    SavedSearchesPanel* m_searches = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_import = nullptr;
};

} // namespace tunarium
