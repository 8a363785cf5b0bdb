// XploreSongs and XploreAlbums: the songs and the albums in lists the user formats and orders by a
// click on a column header. The songs explorer has the songs browse's form, search, import,
// export and print; the albums explorer starts the album form, the two add wizards, "Create
// Label..." and "Quick CD Insert" by name, each disabled while its procedure is not registered.
#pragma once

#include "catalogue/ui/explorer_support.h"
#include "catalogue/ui/songs_browse_window.h"
#include "ui/procedure_registry.h"

#include <optional>

namespace tunarium {

class XploreSongsWindow final : public SongsBrowseWindow {
public:
    XploreSongsWindow(const ProcedureContext& context);
    // Opens the explorer in the context's workspace; nullptr when its tables cannot be opened.
    static XploreSongsWindow* openExplorer(const ProcedureContext& context);
    ExplorerSupport& explorer() { return m_explorer; }

protected:
    QString layoutAtOpening(const QString& design) override;
    void keepLayout() override;
    const char* printReportName() const override;

private:
    ExplorerSupport m_explorer;
};

class XploreAlbumsWindow final : public BrowseWindow {
public:
    XploreAlbumsWindow(const ProcedureContext& context);
    static XploreAlbumsWindow* openExplorer(const ProcedureContext& context);
    ExplorerSupport& explorer() { return m_explorer; }

protected:
    QString layoutAtOpening(const QString& design) override;
    void keepLayout() override;
    void openForm(Request request, const Row& record) override;
    QVector<PopupEntry> popupExtras() const override;
    void extraPopupChosen(int entry) override;
    void pageShown() override;

private:
    bool registered(const char* name) const;
    void startWithAlbum(const char* name);
    void start(const char* name);

    ProcedureContext m_context;
    ExplorerSupport m_explorer;
    QPushButton* m_add = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_change = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_single = nullptr;
    QPushButton* m_compilation = nullptr;
};

void registerExplorerProcedures(ProcedureRegistry& registry);

} // namespace tunarium
