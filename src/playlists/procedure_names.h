// The playlists' procedures by name: the names the program starts their windows by, and the
// sections of the window-position file where the windows keep their places.
#pragma once

#include "catalogue/procedure_names.h" // kSelectFileNumber, the entry form's songs list

namespace tunarium::procedure {

inline constexpr char kBrowsePlayLists[] = "BrowsePlayLists";
inline constexpr char kGeneratePlaylist[] = "GeneratePlaylist";
inline constexpr char kUpdatePlaylist[] = "UpdatePlaylist";
inline constexpr char kUpdatePlaylistDetails[] = "UpdatePlaylistDetails";

} // namespace tunarium::procedure
