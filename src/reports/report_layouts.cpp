// The layouts of the catalogue's reports: title, columns with their heads, fields, pictures and
// shares of the width, group heading, closing band and typeface. A column's width is its share of
// the printable width (the engine keeps every head and every number or date whole).
#include "reports/report_catalogue.h"

#include "data/pictures.h"
#include "data/row.h"

namespace tunarium {

namespace {

using A = ColumnAlignment;

// The shares of width a layout in portrait holds at most.
constexpr double kPortraitShares = 90;

ReportColumn column(const QString& heading, const char* field, const char* picture, double width,
                    A alignment = A::Left) {
    return {heading,     QString::fromLatin1(field), QString::fromLatin1(picture), width, alignment,
            std::nullopt};
}

ReportColumn column(const char* heading, const char* field, const char* picture, double width,
                    A alignment = A::Left) {
    return column(QString::fromLatin1(heading), field, picture, width, alignment);
}

// A file number column: the key the shelf is ordered by, never cut, at least as wide as a file
// number of eleven characters.
ReportColumn fileNumberColumn(const char* heading, const char* field, const char* picture, double width) {
    ReportColumn c = column(heading, field, picture, width);
    c.widest = QStringLiteral("F0000000000");
    c.keepWhole = true;
    return c;
}

// The columns the song reports share.
struct SongColumns {
    QString udkLabel;

    ReportColumn artist(double width = 20) const { return column("Artist", "TUN:Artist", "@s50", width); }
    ReportColumn title(double width = 24) const { return column("Title", "DisplayTitle", "@s255", width); }
    ReportColumn album(double width = 20) const { return column("Album", "TUN:Album", "@s50", width); }
    ReportColumn media(double width = 9) const { return column("Media", "TUN:Media", "@s20", width); }
    ReportColumn category(double width = 11) const {
        return column("Category", "CAT:Category", "@s30", width);
    }
    ReportColumn track() const { return column("Track", "TUN:TrackNumber", "@n3b", 3, A::Right); }
    ReportColumn trk() const { return column("Trk", "TUN:TrackNumber", "@n3b", 3, A::Right); }
    ReportColumn chart() const { return column("Chart", "TUN:ChartNumber", "@n3b", 3, A::Right); }
    ReportColumn chartNumber() const { return column("Chart #", "TUN:ChartNumber", "@n3b", 4, A::Right); }
    ReportColumn fileNumber(double width = 9) const {
        return fileNumberColumn("File Number", "TUN:FileNumber", "@s20", width);
    }
    ReportColumn released() const { return column("Release Date", "TUN:ReleaseDate", "@d3b", 8); }
    ReportColumn bpm(const char* picture = "@n_3b") const {
        return column("BPM", "TUN:BeatsPerMinute", picture, 3, A::Right);
    }
    ReportColumn time() const {
        ReportColumn c = column("Time", "SongTime", "", 4, A::Right);
        c.widest = QStringLiteral("888:88");
        return c;
    }
    ReportColumn userKey(double width = 12) const {
        return column(udkLabel.trimmed().isEmpty() ? QStringLiteral("User Defined Key") : udkLabel.trimmed(),
                      "TUN:UserDefinedKeyField", "@s30", width);
    }

    // Track, Chart, File Number and Release Date close most Standard layouts.
    QList<ReportColumn> closing() const { return {track(), chart(), fileNumber(), released()}; }
};

struct AlbumColumns {
    ReportColumn artist() const { return column("Artist", "ALB:Artist", "@s50", 20); }
    ReportColumn album() const { return column("Album", "ALB:Album", "@s50", 22); }
    ReportColumn media() const { return column("Media", "ALB:Media", "@s20", 9); }
    ReportColumn fileNumber() const { return fileNumberColumn("File Number", "ALB:FileNumber", "@s20", 9); }
    ReportColumn released() const { return column("Release Date", "ALB:ReleaseDate", "@d3b", 8); }
    ReportColumn wavFile() const {
        return column("Associated WAV File", "ALB:AssociatedWAVFile", "@s128", 24);
    }
};

QList<ReportColumn> songColumns(const QString& key, ReportLayout style, const SongColumns& c) {
    const bool brief = style == ReportLayout::Brief;
    if (key == QLatin1String("SongsByArtist")) {
        return brief ? QList<ReportColumn>{c.artist(), c.title(),   c.album(), c.fileNumber(),
                                           c.trk(),    c.userKey(), c.time()}
                     : QList<ReportColumn>{c.artist(), c.title(), c.album(), c.media(), c.category()} +
                           c.closing();
    }
    if (key == QLatin1String("SongsByTitle")) {
        return brief ? QList<ReportColumn>{c.title(), c.artist(),  c.album(), c.fileNumber(),
                                           c.trk(),   c.userKey(), c.time()}
                     : QList<ReportColumn>{c.title(), c.artist(), c.album(), c.media(), c.category()} +
                           c.closing();
    }
    if (key == QLatin1String("SongsByAlbum")) {
        return brief ? QList<ReportColumn>{c.fileNumber(), c.album(), c.artist(), c.title(), c.media()}
                     : QList<ReportColumn>{c.album(), c.artist(), c.title(), c.media(), c.category()} +
                           c.closing();
    }
    if (key == QLatin1String("SongsByMedia")) {
        return brief ? QList<ReportColumn>{c.media(), c.artist(), c.title(), c.album(), c.fileNumber()}
                     : QList<ReportColumn>{c.media(), c.title(), c.album(), c.artist(), c.category()} +
                           c.closing();
    }
    if (key == QLatin1String("SongsByCategory")) {
        // Thirty characters each in the Standard layout, fifty in the Brief one.
        return brief ? QList<ReportColumn>{c.artist(), c.title(), c.album(), c.media(), c.fileNumber()}
                     : QList<ReportColumn>{c.artist(16),
                                           c.title(18),
                                           c.album(16),
                                           c.media(),
                                           fileNumberColumn("File Number", "TUN:FileNumber", "@s10", 6),
                                           c.released()};
    }
    if (key == QLatin1String("KeyBeatsPerMinute")) {
        return brief
                   ? QList<ReportColumn>{c.artist(),     c.title(), c.album(),   c.bpm(),
                                         c.fileNumber(), c.trk(),   c.userKey(), c.time()}
                   : QList<ReportColumn>{c.artist(), c.bpm(), c.title(), c.album(), c.media(), c.category()} +
                         c.closing();
    }
    if (key == QLatin1String("SongsByChartNumber")) {
        return brief ? QList<ReportColumn>{c.album(), c.title(), c.artist(), c.chartNumber()}
                     : QList<ReportColumn>{c.album(), c.title(),      c.artist(),  c.chartNumber(),
                                           c.media(), c.fileNumber(), c.released()};
    }
    // SongsByUserDefinedKey
    return brief ? QList<ReportColumn>{c.album(), c.title(), c.artist(), c.userKey()}
                 : QList<ReportColumn>{c.artist(), c.title(), c.album(), c.media(), c.category()} +
                       c.closing() + QList<ReportColumn>{c.userKey()};
}

QList<ReportColumn> albumColumns(const QString& key, ReportLayout style) {
    const AlbumColumns c;
    const bool artistFirst = key == QLatin1String("KeyArtist") || key == QLatin1String("KeyCategoryArtist");
    if (style == ReportLayout::Brief) {
        return artistFirst ? QList<ReportColumn>{c.fileNumber(), c.artist(), c.album(), c.media()}
                           : QList<ReportColumn>{c.fileNumber(), c.album(), c.artist(), c.media()};
    }
    return artistFirst ? QList<ReportColumn>{c.artist(),     c.album(),    c.media(),
                                             c.fileNumber(), c.released(), c.wavFile()}
                       : QList<ReportColumn>{c.album(),      c.artist(),   c.media(),
                                             c.fileNumber(), c.released(), c.wavFile()};
}

QString albumTitle(const QString& key, ReportLayout style) {
    if (key == QLatin1String("KeyArtist")) {
        return QStringLiteral("Albums by Artist");
    }
    if (key == QLatin1String("KeyAlbum")) {
        return style == ReportLayout::Brief ? QStringLiteral("Albums by Album") : QStringLiteral("Albums");
    }
    if (key == QLatin1String("KeyFileNumber")) {
        return QStringLiteral("Albums by File Number");
    }
    return QStringLiteral("Albums by Category");
}

QString songTitle(const QString& key, const ReportContext& context) {
    if (key == QLatin1String("SongsByArtist")) {
        return QStringLiteral("Songs by Artist");
    }
    if (key == QLatin1String("SongsByTitle")) {
        return QStringLiteral("Songs by Title");
    }
    if (key == QLatin1String("SongsByAlbum")) {
        return QStringLiteral("Songs by Album");
    }
    if (key == QLatin1String("SongsByMedia")) {
        return QStringLiteral("Songs by Media");
    }
    if (key == QLatin1String("SongsByCategory")) {
        return QStringLiteral("Music in ") + trimTrailingBlanks(context.categoryName) +
               QStringLiteral(" Category");
    }
    if (key == QLatin1String("KeyBeatsPerMinute")) {
        return QStringLiteral("Songs by Beats Per Minute");
    }
    if (key == QLatin1String("SongsByChartNumber")) {
        return QStringLiteral("Songs by Chart Number");
    }
    return QStringLiteral("Songs by User Defined Key");
}

// The paper savers: every column in a small typeface, nine reports' worth of songs on a page.
ReportDefinition paperSaver(bool byTitle, const SongColumns& c) {
    ReportDefinition def;
    def.title = byTitle ? QStringLiteral("Songs by Title") : QStringLiteral("Songs by Artist");
    QFont small(QStringLiteral("Small Fonts"));
    small.setStyleHint(QFont::SansSerif);
    small.setPointSize(6);
    QFont bold = small;
    bold.setBold(true);
    def.fonts.detail = small;
    def.fonts.columnHeads = bold;
    def.fonts.header = small;
    def.fonts.footer = small;
    def.fonts.title.setPointSize(10);
    const ReportColumn fileNumber = fileNumberColumn("File #", "TUN:FileNumber", "@s10", 6);
    def.columns = {c.time(), c.bpm("p(<<#)pb"), c.trk(), fileNumber};
    def.columns += byTitle ? QList<ReportColumn>{c.title(), c.artist(), c.album()}
                           : QList<ReportColumn>{c.artist(), c.title(), c.album()};
    def.columns << c.userKey(10);
    return def;
}

ReportDefinition playlistReport(bool withLogo, const SongColumns& c, const ReportContext& context) {
    ReportDefinition def;
    const QString name = trimTrailingBlanks(context.playlistName.left(30));
    if (withLogo) {
        def.title = name;
        def.logo = context.logo;
        def.columns = {column("This Week", "ThisWeek", "@n3", 3, A::Right),
                       column("Last Week", "LastWeekPosition", "@n3b", 3, A::Right),
                       c.artist(),
                       c.title(),
                       c.time(),
                       c.bpm(),
                       column("Trk", "TUN:TrackNumber", "@n_2", 3, A::Right),
                       fileNumberColumn("File", "TUN:FileNumber", "@s20", 9)};
        return def;
    }
    def.title = QStringLiteral("Playlist");
    def.headerLines << name + QStringLiteral("   ") +
                           formatPicture(context.playlistDate, context.datePicture);
    def.columns = {c.artist(), c.title(), c.category(), c.album(), c.fileNumber(), c.time()};
    def.totals = {{QStringLiteral("Total Time"), QStringLiteral("TUN:Time"), ReportTotal::Kind::Duration,
                   QStringLiteral("@t4")}};
    return def;
}

} // namespace

ReportDefinition reportLayout(const ReportEntry& decl, ReportLayout style, const ReportContext& context) {
    if (!decl.hasBrief) {
        style = ReportLayout::Standard;
    }
    const SongColumns c{context.udkLabel};
    ReportDefinition def;
    switch (decl.subject) {
    case ReportSubject::Songs:
        if (decl.family == ReportFamily::SongsWithCriteria) {
            def.title = songTitle(decl.key, context);
            def.columns = songColumns(decl.key, style, c);
            if (decl.has(ReportFlag::GroupedByCategory)) {
                def.group = ReportGroup{QStringLiteral("CAT:Category"), QStringLiteral("@s30")};
            }
        } else if (decl.has(ReportFlag::DjLog)) {
            def.title = QStringLiteral("DJ LOG");
            def.columns = {c.artist(16),
                           c.title(18),
                           c.category(12),
                           c.album(16),
                           column("Year", "ReleaseYear", "@n4b", 4, A::Right),
                           c.fileNumber(8),
                           column(context.notesLabel.trimmed(), "Blank", "", 14)};
        } else {
            def = paperSaver(decl.key == QLatin1String("SongsByTitle"), c);
        }
        break;
    case ReportSubject::AlbumSongs:
        def.title = QStringLiteral("Songs by Album");
        def.columns = {c.album(), c.trk(), c.title(), c.artist(), c.media(), c.time()};
        break;
    case ReportSubject::Albums:
        def.title = albumTitle(decl.key, style);
        def.columns = albumColumns(decl.key, style);
        if (decl.parameter == ReportParameter::Category) {
            def.headerLines << trimTrailingBlanks(context.categoryName);
        }
        break;
    case ReportSubject::Playlist:
        def = playlistReport(decl.has(ReportFlag::ChartWithLogo), c, context);
        break;
    }
    def.selectionField = decl.selectionField;
    // Layouts wider than a page of text in portrait go across the paper.
    double shares = 0;
    for (const ReportColumn& col : def.columns) {
        shares += col.width;
    }
    def.landscape = shares > kPortraitShares;
    return def;
}

} // namespace tunarium
