// Searches of the songs list kept under a name: the text typed in the search box and the sort
// order it was typed in, a record of `SavedSearches` that every station sees. A saved search holds
// no songs: whoever runs it (its list, the playlist generator, a report, an export) finds them
// again through the search box's own plan, so that it is always current. Names are unique without
// regard to case, as the table's name key compares them.
#pragma once

#include "catalogue/list_definition.h"
#include "catalogue/song_search.h"
#include "data/database.h"
#include "data/records.h"

#include <functional>

namespace tunarium {

// The widest name; longer names are cut to it.
inline constexpr int kSavedSearchNameWidth = 40;

// What is wrong with `name` as a saved search's name (blank, or a search text that is blank);
// empty when it will do.
QString savedSearchNameProblem(const QString& name);
QString savedSearchTextProblem(const QString& text);

// The saved search named `name` (case ignored, trailing blanks dropped); `found` false when none.
StoreError findSavedSearch(Store& store, const QString& name, SavedSearchRecord& out, bool& found);

// The mark beside a saved search's name in the lists (the playlists browse shows saved searches
// beside the playlists).
inline constexpr char kSavedSearchMark[] = "\u27F3";
inline constexpr char kSavedSearchesListFormat[] =
    "12C(2)|M~ ~@s2@80L(2)|M~Saved Search~L(1)@s40@100L(2)|M~Search~L(1)@s60@";
// The saved searches by name, each with its mark, name and search text.
ListDefinition savedSearchesListDefinition();

// The list a saved search shows: the songs list's orders and columns, without the media and
// category ranges (a saved search keeps its order, not a media format or category), so that the
// By Media and By Category orders show every song found, grouped by media or category.
ListDefinition savedSearchListDefinition();
// The sort order a saved search is shown in: its own, or By Artist when it holds none that the
// songs list has.
int savedSearchOrder(const SavedSearchRecord& search);
// The list engine's tab that shows sort order `order` (the first tab shows the last order).
int savedSearchTab(int order);
// The songs key of that order.
int savedSearchKey(const SavedSearchRecord& search);

// The search a saved search runs, read as the box reads it; `error` set when its text no longer
// reads (a field name the box has dropped).
SongSearch savedSearchSearch(const SavedSearchRecord& search);

// The condition every song the saved search finds meets (for a walk that tests each record): the
// plan's, narrowed by the search index where it can be. `error` says why there is none.
StoreError savedSearchCondition(Store& store, const SavedSearchRecord& search, SqlCondition& out);

// Walks the songs the saved search finds, in its order, until `visit` returns false.
StoreError walkSavedSearch(Store& store, const SavedSearchRecord& search,
                           const std::function<bool(const Row&)>& visit);

// Saving, renaming and deleting saved searches, through the store's insert and the update and
// delete routines (a record changed by another station meanwhile is read again and told). The
// caller holds the table. Failures have been shown through the warnings.
class SavedSearches {
public:
    explicit SavedSearches(Database& db) : m_db(db) {}

    enum class Outcome { Saved, Exists, Failed };
    // Saves `text` in sort order `sortOrder` under `name`. When a saved search of that name is
    // there already: with `replace`, its text and order are replaced; without, nothing is written
    // and Exists comes back. `saved` receives the record as written.
    Outcome save(const QString& name, const QString& text, int sortOrder, bool replace,
                 SavedSearchRecord& saved);
    // Gives `search` a new name; Exists (nothing written) when another saved search holds it.
    Outcome rename(SavedSearchRecord& search, const QString& name);
    bool remove(const SavedSearchRecord& search);

private:
    Outcome rewrite(SavedSearchRecord& search);

    Database& m_db;
};

} // namespace tunarium
