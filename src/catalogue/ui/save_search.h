// "Save Search…" of the songs list: the text in the search box kept under a name the user gives,
// with the sort order the list shows. A name another saved search holds asks whether to replace
// it; No leaves that one as it was.
#pragma once

#include "data/database.h"
#include "data/records.h"

#include <functional>

class QWidget;

namespace tunarium {

class SearchNameDialog;

inline constexpr char kSaveSearchCaption[] = "Save Search\u2026";

// Asks for the name over `parent` and saves. A text that cannot be saved (blank, or one the box
// cannot search) is told instead. `saved` gets the record written. The name dialog is returned
// (null when none was opened).
SearchNameDialog* saveSearchAs(Database& db, QWidget* parent, const QString& text, int sortOrder,
                               std::function<void(const SavedSearchRecord&)> saved = {});

// The question a name held already asks.
PromptMessage replaceSavedSearchQuestion(const QString& name);

} // namespace tunarium
