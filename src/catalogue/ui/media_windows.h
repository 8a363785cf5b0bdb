// BrowseMedia and its form UpdateMedia: the media formats list opened from the frame, or as
// a selection list in front of a window that needs a media format.
#pragma once

#include "catalogue/ui/lookup_browse_window.h"
#include "data/records.h"

namespace tunarium {

// The media form: a new media format is added only when OK saves it.
LookupFormDecl mediaFormDecl();
LookupBrowseDecl mediaBrowseDecl(const QString& positionFile);

// Opens BrowseMedia in the workspace (or as a window of its own without one). Returns the
// window, or nullptr when the tables could not be opened.
LookupBrowseWindow* openBrowseMedia(Database& db, const QString& positionFile, QMdiArea* area);

// Opens BrowseMedia with the Select request in front of `caller`, positioned at `current`.
// `chosen` learns whether a media format was chosen, and which.
LookupBrowseWindow* selectMedia(Database& db, const QString& positionFile, QMdiArea* area, QWidget* caller,
                                const MediaRecord& current,
                                std::function<void(bool chosen, const MediaRecord& media)> chosen);

} // namespace tunarium
