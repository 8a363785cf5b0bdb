// The playlists' procedures by name: the names the program starts their windows by, and the
// sections of the window-position file where the windows keep their places.
#pragma once

// SelectFileNumber, the songs selection list of the entry form, is the albums room's window; its
// name is declared with the catalogue's.
#include "catalogue/procedure_names.h"

namespace tunarium::procedure {

inline constexpr char kBrowsePlayLists[] = "BrowsePlayLists";
inline constexpr char kBrowseSavedSearch[] = "BrowseSavedSearch";
inline constexpr char kGeneratePlaylist[] = "GeneratePlaylist";
inline constexpr char kUpdatePlaylist[] = "UpdatePlaylist";
inline constexpr char kUpdatePlaylistDetails[] = "UpdatePlaylistDetails";
// The playlist files (M3U8, M3U, PLS, Rekordbox XML), the interchange room's: the export of the
// playlist given as the argument, the export as M3U8 of the songs the saved search given as the
// argument (its number) finds, and the import into a new playlist.
inline constexpr char kExportPlaylistFile[] = "ExportPlaylistFile";
inline constexpr char kExportSearchFile[] = "ExportSearchFile";
inline constexpr char kImportPlaylistFile[] = "ImportPlaylistFile";

} // namespace tunarium::procedure
