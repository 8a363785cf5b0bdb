// The playlists' procedures by name: the names the program starts their windows by, and the
// sections of the window-position file where the windows keep their places.
#pragma once

namespace tunarium::procedure {

inline constexpr char kBrowsePlayLists[] = "BrowsePlayLists";
inline constexpr char kGeneratePlaylist[] = "GeneratePlaylist";
inline constexpr char kUpdatePlaylist[] = "UpdatePlaylist";
inline constexpr char kUpdatePlaylistDetails[] = "UpdatePlaylistDetails";

// Windows of other rooms that the playlist windows start by name, each disabled until its room
// registers it: the two playlist reports of the playlists browse (started on the selected
// playlist), and the songs selection list of the entry form (it answers with the chosen song).
inline constexpr char kReportPlaylist[] = "ReportPlaylist";
inline constexpr char kReportPlaylistWithLogo[] = "ReportPlaylistWithLogo";
inline constexpr char kSelectFileNumber[] = "SelectFileNumber";

} // namespace tunarium::procedure
