// The playlists' procedures in the program's registry.
#include "playlists/ui/playlist_procedures.h"

#include "playlists/procedure_names.h"
#include "playlists/ui/playlists_browse_window.h"

namespace tunarium {

void registerPlaylistProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kBrowsePlayLists),
                 [](const ProcedureContext& context) { PlaylistsBrowseWindow::openPlaylists(context); });
}

} // namespace tunarium
