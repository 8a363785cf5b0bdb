// The playlists' procedures in the program's registry.
#pragma once

#include "ui/procedure_registry.h"

namespace tunarium {

// BrowsePlayLists: the Browse › Play Lists and Reports › Playlists commands and the toolbar's
// Playlists button start it. (GeneratePlaylist is the browse's own: it opens over the browse.)
void registerPlaylistProcedures(ProcedureRegistry& registry);

} // namespace tunarium
