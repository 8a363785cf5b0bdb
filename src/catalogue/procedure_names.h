// The catalogue's procedures by name: the name the program starts a window by, and the section of
// the window-position file where the window keeps its place.
#pragma once

namespace tunarium::procedure {

inline constexpr char kBrowseSongs[] = "BrowseSongs";
inline constexpr char kBrowseCategories[] = "BrowseCategories";
inline constexpr char kBrowseMedia[] = "BrowseMedia";

// Windows of rooms above the catalogue that its windows start by name (the songs browse's &Import
// and &Export, the song form's add wizards); the exchange and the albums register them under these
// names.
inline constexpr char kImport[] = "ImportSongs";
inline constexpr char kExport[] = "ExportSongs";
inline constexpr char kAddCompilation[] = "AddCompilation";
inline constexpr char kAddSingleArtist[] = "AddSingleArtist";

} // namespace tunarium::procedure
