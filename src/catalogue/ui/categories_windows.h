// BrowseCategories and its form UpdateCategories: the categories list opened from the frame, or as
// a selection list in front of a window that needs a category.
#pragma once

#include "catalogue/ui/lookup_browse_window.h"
#include "data/records.h"

namespace tunarium {

// The category form: numbered and added before its window opens, deleted again on Cancel.
LookupFormDecl categoryFormDecl();
LookupBrowseDecl categoriesBrowseDecl(const QString& positionFile);

// Opens BrowseCategories in the workspace (or as a window of its own without one). Returns the
// window, or nullptr when the tables could not be opened.
LookupBrowseWindow* openBrowseCategories(Database& db, const QString& positionFile, QMdiArea* area);

// Opens BrowseCategories with the Select request in front of `caller`, positioned at `current`.
// `chosen` learns whether a category was chosen, and which.
LookupBrowseWindow* selectCategory(Database& db, const QString& positionFile, QMdiArea* area, QWidget* caller,
                                   const CategoryRecord& current,
                                   std::function<void(bool chosen, const CategoryRecord& category)> chosen);

} // namespace tunarium
