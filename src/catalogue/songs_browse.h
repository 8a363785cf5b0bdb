// What the songs browse is made of: its eight sort orders with their tabs, ranges, locators and
// thumbs, its columns with the title display text, its design format, and the search that puts the
// user's filter on the list.
#pragma once

#include "catalogue/list_definition.h"
#include "data/filter_expression.h"
#include "data/records.h"
#include "data/store.h"

#include <QStringList>

namespace tunarium {

// Sort orders of the songs browse, numbered as the list engine counts them; the first tab shows
// the last one. Missing Files is the range of the songs whose file a scan found gone, by artist.
enum SongsSortOrder : int {
    kSongsByTitle = 1,
    kSongsByAlbum = 2,
    kSongsByMedia = 3,
    kSongsByCategory = 4,
    kSongsByChart = 5,
    kSongsByBpm = 6,
    kSongsByUdk = 7,
    kSongsMissingFiles = 8,
    kSongsByArtist = 9,
};
inline constexpr int kSongsTabCount = 9;

// What the By Media and By Category tabs show while no media or category is chosen.
inline constexpr char kChooseMediaHint[] = "Choose a media format with Select Media";
inline constexpr char kChooseCategoryHint[] = "Choose a category with Select Category";

// The list format the songs browse is designed with; the user's saved layout replaces it only
// while this text is unchanged.
extern const char* const kSongsDesignFormat;

// The title as the list shows it: the title, " (Skips)" when the song has skips, and the mix in
// parentheses when there is one; at most 60 characters.
QString songDisplayTitle(const Row& song);

// Tab captions in tab order, "Missing Files" last; the By UDK tab takes the user-defined key label (its first ten
// characters) when that is not blank.
QStringList songsTabCaptions(const QString& udkPrompt);
// The report each tab prints, in tab order ("Songs by Artist" ...); the category tab's report
// names its category.
QString songsTabReport(int tab, const QString& categoryName = {});

ListDefinition songsListDefinition();

// The enabled state of the buttons the popup menu repeats.
struct SongsPopupButtons {
    bool print = false;
    bool search = false;
    bool import = false;
    bool exportSongs = false;
};
// The popup entries after Add, Change and Delete, as the popup text builds them: Print, Search,
// Import and Export, a separator before each but Export, greyed when their button is disabled.
// Entries 4 to 7 press these buttons.
QVector<PopupEntry> songsPopupExtras(const SongsPopupButtons& enabled);

// What Select Category opens its list on: the category the By Category tab shows or, while none is
// chosen, the category of the selected song (`selected`, blank when none); read by its number so
// that the list, ordered by name, opens on it.
CategoryRecord songsCategoryToSelect(Store& store, qint64 rangeCategoryId, const Row& selected);
// What Select Media opens on: the media the By Media tab shows or, while none is chosen, the
// selected song's media.
MediaRecord songsMediaToSelect(const QString& rangeMedia, const Row& selected);

// The user's filter of a search, compiled for the songs table. An error leaves the condition
// empty (the list then runs unfiltered and the caller shows the view open error).
CompiledFilter compileSongsSearch(const QString& filterText);

} // namespace tunarium
