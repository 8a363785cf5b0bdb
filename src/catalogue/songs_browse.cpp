// The songs browse's definition.
#include "catalogue/songs_browse.h"

namespace tunarium {

const char* const kSongsDesignFormat =
    "77L(2)|M~Artist~@s50@75L(2)|M~Title~@s50@76L(2)|M~Album~@s50@39L(2)|M~Media~@s20@43L(2)|M~File "
    "Number~@s20@51L(1)|M~Category~L(0)@s30@23R(2)|M~Time~C(0)@t9b@36R(2)|M~Released~C(0)@d17b@24R(2)|M~BPM~"
    "C(0)@"
    "n_4b@120R(2)|M~User Defined Key Field~C(0)@s30@42R(2)|M~Last "
    "Played~C(0)@d17-@[10R|M@p(<)pb@12R|M@n3b@](21)|"
    "M~Track~120L(2)|M~Style~C(0)@s30@12R(2)|M~Chart Number~L(0)@n3@";

QString songDisplayTitle(const Row& song) {
    QString title = song.text(tun::kTitle);
    if (song.number(tun::kSkips) != 0) {
        title += QStringLiteral(" (Skips)");
    }
    const QString mix = trimTrailingBlanks(song.text(tun::kMix));
    if (!mix.isEmpty()) {
        title += QStringLiteral(" (") + mix + u')';
    }
    return title.left(60);
}

QStringList songsTabCaptions(const QString& udkPrompt) {
    const QString label = trimTrailingBlanks(udkPrompt.left(10));
    return {QStringLiteral("By Artist"),
            QStringLiteral("By Title"),
            QStringLiteral("By Album"),
            QStringLiteral("By Media"),
            QStringLiteral("By Category"),
            QStringLiteral("By Chart #"),
            QStringLiteral("By BPM"),
            label.trimmed().isEmpty() ? QStringLiteral("By UDK") : QStringLiteral("By ") + label,
            QStringLiteral("Missing Files")};
}

QString songsTabReport(int tab, const QString& categoryName) {
    switch (tab) {
    case 0:
        return QStringLiteral("Songs by Artist");
    case 1:
        return QStringLiteral("Songs by Title");
    case 2:
        return QStringLiteral("Songs by Album");
    case 3:
        return QStringLiteral("Songs by Media");
    case 4:
        return QStringLiteral("Music in ") + trimTrailingBlanks(categoryName) + QStringLiteral(" Category");
    case 5:
        return QStringLiteral("Songs by Chart Number");
    case 6:
        return QStringLiteral("Songs by Beats Per Minute");
    case 7:
        return QStringLiteral("Songs by User Defined Key");
    default:
        return {};
    }
}

ListDefinition songsListDefinition() {
    const ThumbOptions alpha{true, false, false, false};
    const ThumbOptions alphaNumeric{true, true, false, false};
    const ThumbOptions numeric{false, true, false, false};
    const auto order = [](int key, int range, ThumbOptions thumb, const char* hint = "") {
        return SortOrderDef{key, range, LocatorKind::Typed, thumb, QString::fromLatin1(hint)};
    };
    ListDefinition d;
    d.table = TableId::Tunarium;
    const TableDef& categories = tableDef(TableId::Categories);
    d.joins = {{TableId::Categories, categories.primaryKey, tun::kCategoryId}};
    d.sortOrders = {order(tun::kSongsByTitle, 0, alpha),
                    order(tun::kSongsByAlbum, 0, alpha),
                    order(tun::kSongsByMedia, 1, alpha, kChooseMediaHint),
                    order(tun::kSongsByCategory, 1, alphaNumeric, kChooseCategoryHint),
                    order(tun::kSongsByChartNumber, 0, numeric),
                    order(tun::kKeyBeatsPerMinute, 0, numeric),
                    order(tun::kSongsByUserDefinedKey, 0, alpha),
                    order(tun::kKeyFileMissing, 1, alphaNumeric),
                    order(tun::kSongsByArtist, 0, alphaNumeric)};
    // The songs whose file is gone: the key's first component fixed at 1, read a page at a time
    // like any range.
    d.sortOrders[kSongsMissingFiles - 1].fixedRange = {QVariant(qint64(1))};
    ColumnDef title{QStringLiteral("Title"), QStringLiteral("@s60"),
                    [](const PageRow& row) { return QVariant(songDisplayTitle(row.record)); }};
    d.columns = {recordColumn(QStringLiteral("Artist"), tun::kArtist, QStringLiteral("@s50")), title,
                 recordColumn(QStringLiteral("Album"), tun::kAlbum, QStringLiteral("@s50")),
                 recordColumn(QStringLiteral("Media"), tun::kMedia, QStringLiteral("@s20")),
                 recordColumn(QStringLiteral("File Number"), tun::kFileNumber, QStringLiteral("@s20")),
                 lookupColumn(QStringLiteral("Category"), 0, cat::kCategory, QStringLiteral("@s30")),
                 recordColumn(QStringLiteral("Time"), tun::kTime, QStringLiteral("@t4b")),
                 recordColumn(QStringLiteral("Released"), tun::kReleaseDate, QStringLiteral("@d17b")),
                 recordColumn(QStringLiteral("BPM"), tun::kBeatsPerMinute, QStringLiteral("@n_4b")),
                 recordColumn(QStringLiteral("User Defined Key Field"), tun::kUserDefinedKeyField,
                              QStringLiteral("@s30")),
                 recordColumn(QStringLiteral("Last Played"), tun::kLastPlayed, QStringLiteral("@d17-")),
                 // The Track group: the side as a digit in parentheses, then the track number.
                 recordColumn(QStringLiteral("Track"), tun::kSide, QStringLiteral("@p(<)pb")),
                 recordColumn(QString(), tun::kTrackNumber, QStringLiteral("@n3b")),
                 recordColumn(QStringLiteral("Style"), tun::kStyle, QStringLiteral("@s30")),
                 recordColumn(QStringLiteral("Chart Number"), tun::kChartNumber, QStringLiteral("@n3")),
                 // Last, so that the layouts users kept, column by column, keep their columns.
                 recordColumn(QStringLiteral("Key"), tun::kMusicalKey, QStringLiteral("@s3"))};
    d.titleCaption = QStringLiteral("Songs - ");
    d.titleSuffix = QStringLiteral(" entries");
    return d;
}

CategoryRecord songsCategoryToSelect(Store& store, qint64 rangeCategoryId, const Row& selected) {
    CategoryRecord category;
    category.categoryId = rangeCategoryId;
    if (category.categoryId == 0 && selected.tableId() == TableId::Tunarium && selected.size() > 0) {
        category.categoryId = selected.number(tun::kCategoryId);
    }
    if (category.categoryId != 0) {
        CategoryRecord found;
        if (store.get(tableDef(TableId::Categories).primaryKey, {category.categoryId}, found).ok()) {
            category = found;
        }
    }
    return category;
}

MediaRecord songsMediaToSelect(const QString& rangeMedia, const Row& selected) {
    MediaRecord media;
    media.media = trimTrailingBlanks(rangeMedia);
    if (media.media.isEmpty() && selected.tableId() == TableId::Tunarium && selected.size() > 0) {
        media.media = selected.text(tun::kMedia);
    }
    return media;
}

QVector<PopupEntry> songsPopupExtras(const SongsPopupButtons& enabled) {
    return {{QStringLiteral("&Print"), enabled.print, true},
            {QStringLiteral("&Search"), enabled.search, true},
            {QStringLiteral("&Import"), enabled.import, true},
            {QStringLiteral("&Export"), enabled.exportSongs, false}};
}

CompiledFilter compileSongsSearch(const QString& filterText) {
    return compileFilter(filterText.left(1024), TableId::Tunarium);
}

} // namespace tunarium
