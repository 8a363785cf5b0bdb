// The catalogue's procedures by name: the name the program starts a window by, and the section of
// the window-position file where the window keeps its place.
#pragma once

namespace tunarium::procedure {

inline constexpr char kBrowseSongs[] = "BrowseSongs";
inline constexpr char kBrowseCategories[] = "BrowseCategories";
inline constexpr char kBrowseMedia[] = "BrowseMedia";
inline constexpr char kXploreSongs[] = "XploreSongs";
inline constexpr char kXploreAlbums[] = "XploreAlbums";

// Windows that the albums explorer and the albums browse start by name. The album form (the albums
// room's) takes a
// QVariantList of the request (Request as a number) and the album's ALB:AlbumID (0 to add) as its
// argument and answers with the response and the album as it was saved. "Create Label..." and
// "Quick CD Insert" (the reports room's) take the selected album's ALB:AlbumID.
inline constexpr char kUpdateAlbum[] = "UpdateAlbum";
inline constexpr char kCreateLabel[] = "CreateLabel";
inline constexpr char kQuickCdInsert[] = "QuickCDInsert";

// Windows of rooms above the catalogue that its windows start by name (the songs browse's &Import
// and &Export, the song form's add wizards); the exchange and the albums register them under these
// names.
inline constexpr char kImport[] = "ImportSongs";
inline constexpr char kExport[] = "ExportSongs";
inline constexpr char kAddCompilation[] = "AddCompilation";
inline constexpr char kAddSingleArtist[] = "AddSingleArtist";
// The selection lists of the albums room, which windows of any room start by name: "SelectAlbum"
// is started with the ALB:AlbumID to open on (or none) and answers with the chosen album;
// "SelectFileNumber" with the TUN:ID to open on (or none) and answers with the chosen song.
inline constexpr char kSelectAlbum[] = "SelectAlbum";
inline constexpr char kSelectFileNumber[] = "SelectFileNumber";

// The reports, which the reports room registers under these names: the song reports the songs
// browse's &Print starts for its tab (the category report with the tab's CAT:CategoryID as its
// argument), the album reports of the albums browse, the songs of an album (argument: the album's
// ALB:AlbumID) of the album form, the playlist reports of the playlists browse (argument: the
// playlist's PLD:PlaylistID), and those of the frame's menu.
inline constexpr char kReportSongsByArtist[] = "ReportSongsByArtist";
inline constexpr char kReportSongsByTitle[] = "ReportSongsByTitle";
inline constexpr char kReportSongsByAlbum[] = "ReportSongsByAlbum";
inline constexpr char kReportSongsByMedia[] = "ReportSongsByMedia";
inline constexpr char kReportSongsByCategory[] = "ReportSongsByCategory";
inline constexpr char kReportSongsByBpm[] = "ReportSongsByBPM";
inline constexpr char kReportSongsByChartNumber[] = "ReportSongsByChartNumber";
inline constexpr char kReportSongsByUdk[] = "ReportSongsByUDK";
inline constexpr char kReportAlbumsByArtist[] = "ReportAlbumsByArtist";
inline constexpr char kReportAlbumsByAlbum[] = "ReportAlbumsByAlbum";
inline constexpr char kReportAlbumsByFileNumber[] = "ReportAlbumsByFileNumber";
inline constexpr char kReportAlbumsByCategory[] = "ReportAlbumsByCategory";
inline constexpr char kReportPaperSaverByArtist[] = "ReportPaperSaverByArtist";
inline constexpr char kReportPaperSaverByTitle[] = "ReportPaperSaverByTitle";
inline constexpr char kReportDjLog[] = "ReportDJLog";
inline constexpr char kReportSongsOfAlbum[] = "ReportSongsOfAlbum";
inline constexpr char kReportPlaylist[] = "ReportPlaylist";
inline constexpr char kReportPlaylistTop40[] = "ReportPlaylistTop40";

} // namespace tunarium::procedure
