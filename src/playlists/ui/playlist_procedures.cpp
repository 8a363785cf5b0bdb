// The playlists' procedures in the program's registry.
#include "playlists/ui/playlist_procedures.h"

#include "playlists/procedure_names.h"
#include "playlists/ui/playlists_browse_window.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace tunarium {

void registerPlaylistProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kBrowsePlayLists),
                 [](const ProcedureContext& context) { PlaylistsBrowseWindow::openPlaylists(context); });
    // The generator opens in front of the playlists browse (the one open, else a new one), which
    // then shows the playlist it made.
    registry.add(QString::fromLatin1(procedure::kGeneratePlaylist), [](const ProcedureContext& context) {
        PlaylistsBrowseWindow* browse = nullptr;
        if (context.workspace) {
            for (QMdiSubWindow* sub : context.workspace->subWindowList()) {
                if (auto* w = dynamic_cast<PlaylistsBrowseWindow*>(sub->widget()); w && sub->isVisible()) {
                    browse = w;
                    context.workspace->setActiveSubWindow(sub);
                    break;
                }
            }
        }
        if (!browse) {
            browse = PlaylistsBrowseWindow::openPlaylists(context);
        }
        if (browse && browse->isEnabled()) {
            browse->generate();
        }
    });
}

} // namespace tunarium
