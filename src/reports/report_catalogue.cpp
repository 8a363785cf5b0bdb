// The reports of the program and what each varies on the runner.
#include "reports/report_catalogue.h"

namespace tunarium {

namespace {

using F = ReportFamily;
using S = ReportSubject;
using P = ReportParameter;
using Flag = ReportFlag;

ReportEntry flagged(ReportEntry entry, ReportFlags flags) {
    entry.flags = flags;
    return entry;
}

ReportEntry songReport(const char* name, const char* procedure, const char* description, const char* key,
                       const char* noun, const char* selection, bool check, const char* standardTag,
                       const char* briefTag, P parameter = P::None) {
    return {QString::fromLatin1(name),
            QString::fromLatin1(procedure),
            QString::fromLatin1(description),
            F::SongsWithCriteria,
            S::Songs,
            TableId::Tunarium,
            QString::fromLatin1(key),
            QString::fromLatin1(noun),
            QString::fromLatin1(selection),
            check,
            true,
            QString::fromLatin1(standardTag),
            QString::fromLatin1(briefTag),
            parameter,
            false};
}

ReportEntry albumReport(const char* name, const char* procedure, const char* description, const char* key,
                        const char* noun, const char* selection, P parameter = P::None) {
    return {QString::fromLatin1(name),
            QString::fromLatin1(procedure),
            QString::fromLatin1(description),
            F::AlbumsWithCriteria,
            S::Albums,
            TableId::Album,
            QString::fromLatin1(key),
            QString::fromLatin1(noun),
            QString::fromLatin1(selection),
            false,
            true,
            {},
            {},
            parameter,
            false};
}

ReportEntry plainReport(const char* name, const char* procedure, const char* description, S subject,
                        TableId table, const char* key, bool check, const char* fontTag, P parameter,
                        bool narrowing) {
    return {QString::fromLatin1(name),
            QString::fromLatin1(procedure),
            QString::fromLatin1(description),
            F::WithoutCriteria,
            subject,
            table,
            QString::fromLatin1(key),
            {},
            {},
            check,
            false,
            QString::fromLatin1(fontTag),
            {},
            parameter,
            narrowing};
}

QVector<ReportEntry> buildCatalogue() {
    return {
        songReport("songs-by-artist", "ReportSongsByArtist", "Songs by Artist", "SongsByArtist", "artists",
                   "TUN:Artist", true, "TUN:SongsByArtist", "TUN:SongsByArtist"),
        songReport("songs-by-title", "ReportSongsByTitle", "Songs by Title", "SongsByTitle", "titles",
                   "TUN:Title", true, "TUN:SongsByTitle", "TUN:SongsByTitle"),
        songReport("songs-by-album", "ReportSongsByAlbum", "Songs by Album", "SongsByAlbum", "albums",
                   "TUN:Album", false, "TUN:SongsByAlbum", ""),
        songReport("songs-by-media", "ReportSongsByMedia", "Songs by Media", "SongsByMedia", "media",
                   "TUN:Media", false, "TUN:SongsByMedia", "TUN:SongsByMedia"),
        flagged(songReport("songs-by-category", "ReportSongsByCategory",
                           "Music in ... Category (--category NAME)", "SongsByCategory", "artists",
                           "TUN:Artist", false, "ByCategory", "ByCategory", P::Category),
                Flag::GroupedByCategory),
        songReport("songs-by-bpm", "ReportSongsByBPM", "Songs by Beats Per Minute", "KeyBeatsPerMinute",
                   "BPMs", "TUN:BeatsPerMinute", true, "TUN:SongsByBPM", "TUN:SongsByBPM"),
        songReport("songs-by-chart-number", "ReportSongsByChartNumber", "Songs by Chart Number",
                   "SongsByChartNumber", "chart numbers", "TUN:ChartNumber", false, "", ""),
        // The noun of this one is made from the user's label for the key (userDefinedKeyNoun).
        flagged(songReport("songs-by-user-defined-key", "ReportSongsByUDK", "Songs by User Defined Key",
                           "SongsByUserDefinedKey", "", "TUN:UserDefinedKeyField", false, "TUN:SongsByUDK",
                           ""),
                Flag::UserKeyNoun),
        albumReport("albums-by-artist", "ReportAlbumsByArtist", "Albums by Artist", "KeyArtist", "artist",
                    "ALB:Artist"),
        albumReport("albums-by-album", "ReportAlbumsByAlbum", "Albums", "KeyAlbum", "albums", "ALB:Album"),
        albumReport("albums-by-file-number", "ReportAlbumsByFileNumber", "Albums by File Number",
                    "KeyFileNumber", "file numbers", "ALB:FileNumber"),
        albumReport("albums-by-category", "ReportAlbumsByCategory", "Albums by Category (--category NAME)",
                    "KeyCategoryArtist", "artists", "ALB:Artist", P::Category),
        plainReport("paper-saver-by-artist", "ReportPaperSaverByArtist", "Songs by Artist in small type",
                    S::Songs, TableId::Tunarium, "SongsByArtist", true, "PaperSaver", P::None, true),
        plainReport("paper-saver-by-title", "ReportPaperSaverByTitle", "Songs by Title in small type",
                    S::Songs, TableId::Tunarium, "SongsByTitle", true, "PaperSaverTitle", P::None, true),
        flagged(plainReport("dj-log", "ReportDJLog", "DJ LOG", S::Songs, TableId::Tunarium, "SongsByArtist",
                            false, "", P::None, true),
                Flag::DjLog),
        plainReport("songs-of-album", "ReportSongsOfAlbum", "Songs by Album, one album (--album ID)",
                    S::AlbumSongs, TableId::Tunarium, "SongsByAlbum", false, "", P::Album, false),
        plainReport("playlist", "ReportPlaylist", "Playlist (--playlist ID)", S::Playlist,
                    TableId::PlaylistDetails, "KeyPlaylistID", false, "", P::Playlist, false),
        flagged(plainReport("playlist-top-40", "ReportPlaylistTop40",
                            "Playlist with logo, a top-40 chart (--playlist ID)", S::Playlist,
                            TableId::PlaylistDetails, "KeyPlaylistID", false, "", P::Playlist, false),
                Flag::ChartWithLogo),
    };
}

} // namespace

const QVector<ReportEntry>& reportCatalogue() {
    static const QVector<ReportEntry> catalogue = buildCatalogue();
    return catalogue;
}

const ReportEntry* findReport(QStringView name) {
    for (const ReportEntry& decl : reportCatalogue()) {
        if (name.compare(decl.name, Qt::CaseInsensitive) == 0 ||
            name.compare(decl.procedure, Qt::CaseInsensitive) == 0) {
            return &decl;
        }
    }
    return nullptr;
}

QString userDefinedKeyNoun(const QString& udkLabel) {
    const QString label = udkLabel.trimmed();
    if (label.isEmpty()) {
        return QStringLiteral("user defined keys");
    }
    return label.toLower() + u's';
}

} // namespace tunarium
