// The album lists' definitions.
#include "albums/albums_browse.h"

#include "albums/album_rules.h"
#include "catalogue/procedure_names.h"
#include "data/dictionary_tables.h"
#include "data/store.h"

namespace tunarium {

const char* const kAlbumsDesignFormat =
    "80L(2)|M~Artist~@s50@80L(2)|M~Album~@s50@49L(2)|M~Media~@s20@43L(2)|M~File Number~@s20@49R(2)|M~"
    "Released~C(1)@d2@128R(2)|M~XCCD~C(1)@s32@";
const char* const kSelectAlbumDesignFormat =
    "80L(2)|M~Album~@s30@80L(2)|M~Artist~@s30@43L(2)|M~File Number~@s10@80L(2)|M~Media~@s20@80R(2)|M~"
    "Release Date~C(0)@d2@";
const char* const kSelectFileNumberDesignFormat =
    "77L(2)|M~Artist~@s50@75L(2)|M~Title~@s50@76L(2)|M~Album~@s50@39L(2)|M~Media~@s20@43L(2)|M~File "
    "Number~@s20@36R(2)|M~Release Date~C(0)@d17b@51L(1)|M~Category~L(0)@s30@";

namespace {

const ThumbOptions kAlpha{true, false, false, false};
const ThumbOptions kAlphaNumeric{true, true, false, false};
const ThumbOptions kNumeric{false, true, false, false};

SortOrderDef order(int key, ThumbOptions thumb, int range = 0, const char* hint = "") {
    return SortOrderDef{key, range, LocatorKind::Typed, thumb, QString::fromLatin1(hint)};
}

ColumnDef albumColumn(const char* header, int field, const char* picture) {
    return recordColumn(QString::fromLatin1(header), field, QString::fromLatin1(picture));
}

} // namespace

QStringList albumsTabCaptions() {
    return {QStringLiteral("Album"), QStringLiteral("Artist"), QStringLiteral("File #"),
            QStringLiteral("Category"), QStringLiteral("Cat/Art")};
}

ListDefinition albumsListDefinition() {
    ListDefinition d;
    d.table = TableId::Album;
    d.sortOrders = {order(alb::kKeyArtist, kAlphaNumeric), order(alb::kKeyFileNumber, kAlpha),
                    order(alb::kKeyCategory, kAlpha, 1, kChooseAlbumCategoryHint),
                    order(alb::kKeyCategoryArtist, kAlphaNumeric, 1, kChooseAlbumCategoryHint),
                    order(alb::kKeyAlbum, kAlpha)};
    d.columns = {albumColumn("Artist", alb::kArtist, "@s50"),
                 albumColumn("Album", alb::kAlbum, "@s50"),
                 albumColumn("Media", alb::kMedia, "@s20"),
                 albumColumn("File Number", alb::kFileNumber, "@s20"),
                 albumColumn("Released", alb::kReleaseDate, "@d2"),
                 albumColumn("XCCD", alb::kXccd, "@s32")};
    d.titleCaption = QStringLiteral("Albums - ");
    d.titleSuffix = QStringLiteral(" entries");
    return d;
}

bool albumsOrderHasCategory(int sortOrder) {
    return sortOrder == kAlbumsByCategory || sortOrder == kAlbumsByCategoryArtist;
}

const char* albumsTabReport(int sortOrder) {
    switch (sortOrder) {
    case kAlbumsByArtist:
        return procedure::kReportAlbumsByArtist;
    case kAlbumsByFileNumber:
        return procedure::kReportAlbumsByFileNumber;
    case kAlbumsByCategory:
    case kAlbumsByCategoryArtist:
        return procedure::kReportAlbumsByCategory;
    default:
        return procedure::kReportAlbumsByAlbum;
    }
}

QVector<PopupEntry> albumsPopupExtras(const AlbumsPopupState& state) {
    return {{QStringLiteral("Cop&y"), state.rows, false},
            {QStringLiteral("Album Wi&zard"), state.wizard, true},
            {QStringLiteral("&Print"), state.print, true},
            {QStringLiteral("Create Label..."), state.rows && state.createLabel, true},
            {QStringLiteral("Quick CD Insert"), state.rows && state.quickCdInsert, false},
            {QStringLiteral("&Undo Delete"), state.undoDelete, true}};
}

QStringList selectAlbumTabCaptions() {
    return {QStringLiteral("Album"), QStringLiteral("Artist"), QStringLiteral("File #")};
}

ListDefinition selectAlbumListDefinition() {
    ListDefinition d;
    d.table = TableId::Album;
    // Tab "Album" shows the last order; "Artist" and "File #" the first two.
    d.sortOrders = {order(alb::kKeyArtist, kAlphaNumeric), order(alb::kKeyFileNumber, kAlpha),
                    order(alb::kKeyAlbum, kAlpha)};
    d.columns = {albumColumn("Album", alb::kAlbum, "@s30"), albumColumn("Artist", alb::kArtist, "@s30"),
                 albumColumn("File Number", alb::kFileNumber, "@s10"),
                 albumColumn("Media", alb::kMedia, "@s20"),
                 albumColumn("Release Date", alb::kReleaseDate, "@d2")};
    d.titleCaption = QStringLiteral("Select An Album");
    d.selectable = true;
    return d;
}

QStringList selectFileNumberTabCaptions() {
    return {QStringLiteral("By Artist"), QStringLiteral("By Title"),    QStringLiteral("By Album"),
            QStringLiteral("By Media"),  QStringLiteral("By Category"), QStringLiteral("By Chart #")};
}

ListDefinition selectFileNumberListDefinition() {
    ListDefinition d;
    d.table = TableId::Tunarium;
    d.joins = {{TableId::Categories, tableDef(TableId::Categories).primaryKey, tun::kCategoryId}};
    d.sortOrders = {order(tun::kSongsByTitle, kAlpha),
                    order(tun::kSongsByAlbum, kAlpha),
                    order(tun::kSongsByMedia, kAlpha),
                    order(tun::kSongsByCategory, kAlphaNumeric, 1, kChooseAlbumCategoryHint),
                    order(tun::kSongsByChartNumber, kNumeric),
                    order(tun::kSongsByArtist, kAlphaNumeric)};
    d.columns = {recordColumn(QStringLiteral("Artist"), tun::kArtist, QStringLiteral("@s50")),
                 recordColumn(QStringLiteral("Title"), tun::kTitle, QStringLiteral("@s50")),
                 recordColumn(QStringLiteral("Album"), tun::kAlbum, QStringLiteral("@s50")),
                 recordColumn(QStringLiteral("Media"), tun::kMedia, QStringLiteral("@s20")),
                 recordColumn(QStringLiteral("File Number"), tun::kFileNumber, QStringLiteral("@s20")),
                 recordColumn(QStringLiteral("Release Date"), tun::kReleaseDate, QStringLiteral("@d17b")),
                 lookupColumn(QStringLiteral("Category"), 0, cat::kCategory, QStringLiteral("@s30"))};
    d.titleCaption = QStringLiteral("Browse Music Database - ");
    d.titleSuffix = QStringLiteral(" entries");
    d.selectable = true;
    return d;
}

StoreError AlbumDeleteRules::primeAndNumber(Row& record, bool copy) {
    (void)record, (void)copy;
    // Only the delete of the form pattern is used through these rules.
    return StoreError::driver(0, QStringLiteral("An album is not added here."));
}

} // namespace tunarium

namespace tunarium {

bool AlbumDeleteRules::confirmDelete(Database& db, const Row& record) {
    return confirmAlbumDelete(db, record);
}

} // namespace tunarium
