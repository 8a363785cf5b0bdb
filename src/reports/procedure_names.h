// The labels' and binder pages' procedures by name: the names the program starts their windows by,
// and the sections of the window-position file where the windows keep their places.
#pragma once

namespace tunarium::procedure {

inline constexpr char kBrowseLabels[] = "BrowseLabels";
inline constexpr char kLabelWizard[] = "LabelWizard";
inline constexpr char kUpdateLabels[] = "UpdateLabels";
inline constexpr char kSelectFont[] = "SelectFont";
inline constexpr char kUpdateFonts[] = "UpdateFonts";
inline constexpr char kUpdateFontFreeform[] = "UpdateFontFreeform";
inline constexpr char kCdBinderPages[] = "CDBinderPages";

// Started from the albums browse with the selected album's ALB:AlbumID as the argument:
// "Create Label..." opens the label form filled from the album; "Quick CD Insert" prints the flap
// page of the album's file number.
inline constexpr char kCreateLabel[] = "CreateLabel";
inline constexpr char kQuickCdInsert[] = "QuickCDInsert";

// The albums room's album selector, which the label wizard and the binder pages window start by
// name: it answers with the chosen album. Their buttons stay disabled until it is registered.
inline constexpr char kAlbumSelector[] = "SelectAlbum";

} // namespace tunarium::procedure
