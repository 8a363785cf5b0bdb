// The songs browse's definition.
#include "catalogue/songs_browse.h"

namespace tunarium {

const char* const kSongsDesignFormat =
    "77L(2)|M~Artist~@s50@75L(2)|M~Title~@s50@76L(2)|M~Album~@s50@39L(2)|M~Media~@s20@43L(2)|M~File "
    "Number~@s20@51L(1)|M~Category~L(0)@s30@23R(2)|M~Time~C(0)@t4b@36R(2)|M~Released~C(0)@d17b@24R(2)|M~BPM~"
    "C(0)@"
    "n_4b@120R(2)|M~User Defined Key Field~C(0)@s30@42R(2)|M~Last "
    "Played~C(0)@d17-@[10R|M@p(<)pb@12R|M@n3b@](21)|"
    "M~Track~120L(2)|M~Style~C(0)@s30@12R(2)|M~Chart Number~L(0)@n3@";

namespace {

int songField(const char* name) {
    return tableDef(TableId::Tunarium).fieldIndex(QString::fromLatin1(name));
}

int songKey(const char* name) {
    return tableDef(TableId::Tunarium).keyIndex(QString::fromLatin1(name));
}

} // namespace

QString songDisplayTitle(const Row& song) {
    // Every row of every page shows it: the fields are looked up once.
    static const int titleField = songField("Title");
    static const int skipsField = songField("Skips");
    static const int mixField = songField("Mix");
    QString title = song.text(titleField);
    if (song.number(skipsField) != 0) {
        title += QStringLiteral(" (Skips)");
    }
    const QString mix = trimTrailingBlanks(song.text(mixField));
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
            label.trimmed().isEmpty() ? QStringLiteral("By UDK") : QStringLiteral("By ") + label};
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
    const auto order = [](const char* key, int range, ThumbOptions thumb, const char* hint = "") {
        return SortOrderDef{songKey(key), range, LocatorKind::Typed, thumb, QString::fromLatin1(hint)};
    };
    ListDefinition d;
    d.table = TableId::Tunarium;
    const TableDef& categories = tableDef(TableId::Categories);
    d.joins = {{TableId::Categories, categories.primaryKey, songField("CategoryID")}};
    d.sortOrders = {order("SongsByTitle", 0, alpha),
                    order("SongsByAlbum", 0, alpha),
                    order("SongsByMedia", 1, alpha, kChooseMediaHint),
                    order("SongsByCategory", 1, alphaNumeric, kChooseCategoryHint),
                    order("SongsByChartNumber", 0, numeric),
                    order("KeyBeatsPerMinute", 0, numeric),
                    order("SongsByUserDefinedKey", 0, alpha),
                    order("SongsByArtist", 0, alphaNumeric)};
    ColumnDef title{QStringLiteral("Title"), QStringLiteral("@s60"),
                    [](const PageRow& row) { return QVariant(songDisplayTitle(row.record)); }};
    d.columns = {
        recordColumn(QStringLiteral("Artist"), songField("Artist"), QStringLiteral("@s50")), title,
        recordColumn(QStringLiteral("Album"), songField("Album"), QStringLiteral("@s50")),
        recordColumn(QStringLiteral("Media"), songField("Media"), QStringLiteral("@s20")),
        recordColumn(QStringLiteral("File Number"), songField("FileNumber"), QStringLiteral("@s20")),
        lookupColumn(QStringLiteral("Category"), 0, categories.fieldIndex(u"Category"),
                     QStringLiteral("@s30")),
        recordColumn(QStringLiteral("Time"), songField("Time"), QStringLiteral("@t4b")),
        recordColumn(QStringLiteral("Released"), songField("ReleaseDate"), QStringLiteral("@d17b")),
        recordColumn(QStringLiteral("BPM"), songField("BeatsPerMinute"), QStringLiteral("@n_4b")),
        recordColumn(QStringLiteral("User Defined Key Field"), songField("UserDefinedKeyField"),
                     QStringLiteral("@s30")),
        recordColumn(QStringLiteral("Last Played"), songField("LastPlayed"), QStringLiteral("@d17-")),
        // The Track group: the side as a digit in parentheses, then the track number.
        recordColumn(QStringLiteral("Track"), songField("Side"), QStringLiteral("@p(<)pb")),
        recordColumn(QString(), songField("TrackNumber"), QStringLiteral("@n3b")),
        recordColumn(QStringLiteral("Style"), songField("Style"), QStringLiteral("@s30")),
        recordColumn(QStringLiteral("Chart Number"), songField("ChartNumber"), QStringLiteral("@n3"))};
    d.titleCaption = QStringLiteral("Songs - ");
    d.titleSuffix = QStringLiteral(" entries");
    return d;
}

CategoryRecord songsCategoryToSelect(Store& store, qint64 rangeCategoryId, const Row& selected) {
    CategoryRecord category;
    category.categoryId = rangeCategoryId;
    if (category.categoryId == 0 && selected.tableId() == TableId::Tunarium && selected.size() > 0) {
        category.categoryId = selected.number(songField("CategoryID"));
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
        media.media = selected.text(songField("Media"));
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
