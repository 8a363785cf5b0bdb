// What the album lists are made of: the albums browse (five orders, the category range of its two
// category tabs, its columns, popup and reports), the album selection list, and the songs
// selection list that picks one song by its file number. Also the rules an album is deleted by
// from the browse (the form pattern's confirmed delete; the album's songs go with it).
#pragma once

#include "catalogue/form_session.h"
#include "catalogue/list_definition.h"

#include <QStringList>

namespace tunarium {

// Sort orders of the albums browse, numbered as the list engine counts them; the first tab
// ("Album") shows the last one.
enum AlbumsSortOrder : int {
    kAlbumsByArtist = 1,
    kAlbumsByFileNumber = 2,
    kAlbumsByCategory = 3,
    kAlbumsByCategoryArtist = 4,
    kAlbumsByAlbum = 5,
};

inline constexpr char kChooseAlbumCategoryHint[] = "Choose a category with Select Category";

extern const char* const kAlbumsDesignFormat;
extern const char* const kSelectAlbumDesignFormat;
extern const char* const kSelectFileNumberDesignFormat;

// "Album", "Artist", "File #", "Category", "Cat/Art".
QStringList albumsTabCaptions();
ListDefinition albumsListDefinition();
// Whether a sort order shows one category (the two category tabs share the chosen category).
bool albumsOrderHasCategory(int sortOrder);
// The album report &Print starts on the tab of `sortOrder` (the category report for both category
// tabs, with the tab's category as its argument).
const char* albumsTabReport(int sortOrder);

// The enabled state of what the popup repeats after Add, Change and Delete.
struct AlbumsPopupState {
    bool rows = false; // Copy needs an album
    bool wizard = false;
    bool print = false;
    bool createLabel = false;
    bool quickCdInsert = false;
    bool undoDelete = false; // the last delete of the session removed an album
};
// "Cop&y", a separator, "Album Wi&zard", a separator, "&Print", a separator, "Create Label...",
// "Quick CD Insert", a separator, "&Undo Delete" (entries 4 to 9), greyed when they cannot be done.
QVector<PopupEntry> albumsPopupExtras(const AlbumsPopupState& state);
enum class AlbumsPopupEntry { Copy = 4, Wizard = 5, Print = 6, CreateLabel = 7, QuickCdInsert = 8, UndoDelete = 9 };

// SelectAlbum: tabs "Album", "Artist", "File #" (the first showing the last order).
QStringList selectAlbumTabCaptions();
ListDefinition selectAlbumListDefinition();

// SelectFileNumber: the songs by artist, title, album, media, category (ranged to the category
// chosen with "&Select Category") and chart number.
enum SelectFileNumberOrder : int {
    kPickByTitle = 1,
    kPickByAlbum = 2,
    kPickByMedia = 3,
    kPickByCategory = 4,
    kPickByChart = 5,
    kPickByArtist = 6,
};
QStringList selectFileNumberTabCaptions();
ListDefinition selectFileNumberListDefinition();

// The album form's part in the form pattern where only its confirmed delete is used: the album
// and, by the delete routine's relations, its songs. The question says that the songs go too:
// "Delete the album and its 8 songs?" (Yes, No; No the default).
class AlbumDeleteRules : public FormRules {
public:
    StoreError primeAndNumber(Row& record, bool copy) override;
    bool confirmDelete(Database& db, const Row& record) override;
    QString uniqueKeyName() const override { return QStringLiteral("Album ID"); }
};

} // namespace tunarium
