// What the songs browse is made of: its eight sort orders with their tabs, ranges, locators and
// thumbs, its columns with the title display text, its design format, and the search that puts the
// user's filter on the list.
#pragma once

#include "catalogue/list_definition.h"
#include "data/filter_expression.h"

#include <QStringList>

namespace tunarium {

// Sort orders of the songs browse, numbered as the list engine counts them; the first tab shows
// the last one.
enum SongsSortOrder : int {
    kSongsByTitle = 1,
    kSongsByAlbum = 2,
    kSongsByMedia = 3,
    kSongsByCategory = 4,
    kSongsByChart = 5,
    kSongsByBpm = 6,
    kSongsByUdk = 7,
    kSongsByArtist = 8,
};

// The list format the songs browse is designed with; the user's saved layout replaces it only
// while this text is unchanged.
extern const char* const kSongsDesignFormat;

// The title as the list shows it: the title, " (Skips)" when the song has skips, and the mix in
// parentheses when there is one; at most 60 characters.
QString songDisplayTitle(const Row& song);

// Tab captions in tab order; the By UDK tab takes the user-defined key label (its first ten
// characters) when that is not blank.
QStringList songsTabCaptions(const QString& udkPrompt);
// The report each tab prints, in tab order ("Songs by Artist" ...); the category tab's report
// names its category.
QString songsTabReport(int tab, const QString& categoryName = {});

ListDefinition songsListDefinition();

// The user's filter of a search, compiled for the songs table. An error leaves the condition
// empty (the list then runs unfiltered and the caller shows the view open error).
CompiledFilter compileSongsSearch(const QString& filterText);

} // namespace tunarium
