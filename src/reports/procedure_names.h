// The labels' and binder pages' procedures by name: the names the program starts their windows by,
// and the sections of the window-position file where the windows keep their places.
#pragma once

// The albums room names what the albums browse starts here (CreateLabel, QuickCDInsert) and the
// selection lists the label wizard and the binder pages start (SelectAlbum, SelectFileNumber).
#include "albums/procedure_names.h"
#include "catalogue/procedure_names.h"

namespace tunarium::procedure {

inline constexpr char kBrowseLabels[] = "BrowseLabels";
inline constexpr char kLabelWizard[] = "LabelWizard";
inline constexpr char kUpdateLabels[] = "UpdateLabels";
inline constexpr char kSelectFont[] = "SelectFont";
inline constexpr char kUpdateFonts[] = "UpdateFonts";
inline constexpr char kUpdateFontFreeform[] = "UpdateFontFreeform";
inline constexpr char kCdBinderPages[] = "CDBinderPages";

} // namespace tunarium::procedure
