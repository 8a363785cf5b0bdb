// The playlists' procedures by name: the names the program starts their windows by, and the
// sections of the window-position file where the windows keep their places.
#pragma once

namespace tunarium::procedure {

inline constexpr char kBrowsePlayLists[] = "BrowsePlayLists";
inline constexpr char kGeneratePlaylist[] = "GeneratePlaylist";
inline constexpr char kUpdatePlaylist[] = "UpdatePlaylist";
inline constexpr char kUpdatePlaylistDetails[] = "UpdatePlaylistDetails";

// The songs selection list of the entry form, which the albums room registers: started with the
// entry's TUN:ID as its argument, it answers with the chosen song. Disabled until registered.
inline constexpr char kSelectFileNumber[] = "SelectFileNumber";

} // namespace tunarium::procedure
