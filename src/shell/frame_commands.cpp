// The frame's menu bar, toolbar and the procedures behind the commands.
#include "shell/frame_commands.h"

#include <QHash>

namespace tunarium {

namespace {

using C = FrameCommand;

MenuEntry item(const char* caption, C command, const char* prompt = "", bool separatorBefore = false) {
    return {QString::fromUtf8(caption), QString::fromUtf8(prompt), command, {}, separatorBefore};
}

MenuEntry submenu(const char* caption, QVector<MenuEntry> entries, bool separatorBefore = false) {
    return {QString::fromUtf8(caption), {}, C::None, std::move(entries), separatorBefore};
}

QVector<MenuEntry> buildMenu() {
    return {
        submenu("&File", {item("Print &Setup ...", C::PrintSetup, "Setup printer"),
                          item("P&references", C::Preferences, "Options and settings"),
                          item("Add &Music Files…", C::AddMusicFiles,
                               "Add songs from the audio files of a folder, or of chosen files", true),
                          item("&Import", C::Import, "Import from a comma-delimited file"),
                          item("&Export", C::Export, "Export to a comma-delimited file"),
                          item("&CD Player", C::CdPlayer, "Start the CD Player", true),
                          item("E&xit", C::Exit, "Exit this application", true)}),
        submenu("&Edit", {item("Cu&t", C::Cut, "Remove item to Windows Clipboard"),
                          item("&Copy", C::Copy, "Copy item to Windows Clipboard"),
                          item("&Paste", C::Paste, "Paste contents of Windows Clipboard")}),
        submenu("&Browse", {item("&Albums", C::BrowseAlbums, "Browse Information by Album"),
                            item("&Songs", C::BrowseSongs, "Browse Tunarium Database"),
                            submenu("&Wizards",
                                    {item("&Add Album", C::WizardAddAlbum, "Add an Album"),
                                     item("Quick &Compilation", C::WizardQuickCompilation),
                                     item("Quick &Single Artist Album", C::WizardQuickSingleArtist),
                                     item("Add &Label", C::WizardAddLabel)},
                                    true),
                            item("&Labels", C::BrowseLabels, "", true),
                            item("&Play Lists", C::BrowsePlayLists),
                            item("&Generate Play List", C::GeneratePlaylist,
                                 "Draw a new play list at random from the collection"),
                            item("&Categories", C::BrowseCategories),
                            item("&Media Formats", C::BrowseMediaFormats, "Browse Media Formats"),
                            item("C&ollection Statistics...", C::CollectionStatistics,
                                 "Charts of the songs and albums in the collection", true),
                            item("Find &Duplicates...", C::FindDuplicates,
                                 "Find the songs and albums the collection holds twice")}),
        submenu(
            "&Reports",
            {submenu("&Songs",
                     {item("By &Artist", C::ReportSongsByArtist, "Print ordered by Songs By Artist"),
                      item("By &Title", C::ReportSongsByTitle, "Print ordered by Songs By Title"),
                      item("By A&lbum", C::ReportSongsByAlbum, "Print ordered by Songs By Album"),
                      item("By &Media", C::ReportSongsByMedia, "Print ordered by Songs By Media"),
                      item("By &Category", C::ReportSongsByCategory, "Print ordered by Songs By Category"),
                      item("By &BPM", C::ReportSongsByBpm, "Songs by Beats Per Minute")}),
             submenu(
                 "&Albums",
                 {item("By &Artist", C::ReportAlbumsByArtist, "Print List of Albums by Artist"),
                  item("By A&lbum", C::ReportAlbumsByAlbum, "Print List of Albums"),
                  item("By &File Number", C::ReportAlbumsByFileNumber, "Print List of Albums by File Number"),
                  item("By &Category", C::ReportAlbumsByCategory)}),
             item("CD &Binder Pages", C::ReportCdBinderPages, "Print 4 per page CD listings"),
             submenu("&Paper Savers", {item("By &Artist", C::ReportPaperSaverByArtist),
                                       item("By &Title", C::ReportPaperSaverByTitle)}),
             item("&Labels", C::ReportLabels, "Design and Print CD and Cassette Labels", true),
             item("Pla&ylists", C::ReportPlaylists),
             item("&DJ Log", C::ReportDjLog, "Log ordered by Artist and Title", true)}),
        submenu("&Window", {item("&Tile", C::Tile, "Make all open windows visible"),
                            item("&Cascade", C::Cascade, "Stack all open windows"),
                            item("&Arrange Icons", C::ArrangeIcons, "Align all window icons")}),
        submenu("&Help", {item("&Contents", C::HelpContents, "View the contents of the help file"),
                          item("&Search for Help On...", C::HelpSearch, "Search for help on a subject"),
                          item("&How to Use Help", C::HelpHowToUse, "How to use Windows Help"),
                          item("&Tips", C::HelpTips, "View Tip of the Day", true),
                          item("&About", C::HelpAbout, "Help About This Program", true)}),
    };
}

const MenuEntry* findEntry(const QVector<MenuEntry>& entries, FrameCommand command) {
    for (const MenuEntry& e : entries) {
        if (e.command == command) {
            return &e;
        }
        if (const MenuEntry* found = e.isSubmenu() ? findEntry(e.entries, command) : nullptr) {
            return found;
        }
    }
    return nullptr;
}

const QHash<FrameCommand, QString>& fixedProcedures() {
    static const QHash<FrameCommand, QString> procedures = {
        {C::Preferences, procedure::kPreferences},
        {C::AddMusicFiles, procedure::kAddMusicFiles},
        {C::Import, procedure::kImport},
        {C::Export, procedure::kExport},
        {C::WizardAddAlbum, procedure::kAlbumWizard},
        {C::WizardQuickCompilation, procedure::kAddCompilation},
        {C::WizardQuickSingleArtist, procedure::kAddSingleArtist},
        {C::WizardAddLabel, procedure::kLabelWizard},
        {C::BrowseLabels, procedure::kBrowseLabels},
        {C::BrowsePlayLists, procedure::kBrowsePlayLists},
        {C::GeneratePlaylist, procedure::kGeneratePlaylist},
        {C::BrowseCategories, procedure::kBrowseCategories},
        {C::BrowseMediaFormats, procedure::kBrowseMedia},
        {C::CollectionStatistics, procedure::kCollectionStatistics},
        {C::FindDuplicates, procedure::kFindDuplicates},
        {C::ReportSongsByArtist, procedure::kReportSongsByArtist},
        {C::ReportSongsByTitle, procedure::kReportSongsByTitle},
        {C::ReportSongsByAlbum, procedure::kReportSongsByAlbum},
        {C::ReportSongsByMedia, procedure::kReportSongsByMedia},
        {C::ReportSongsByCategory, procedure::kReportSongsByCategory},
        {C::ReportSongsByBpm, procedure::kReportSongsByBpm},
        {C::ReportAlbumsByArtist, procedure::kReportAlbumsByArtist},
        {C::ReportAlbumsByAlbum, procedure::kReportAlbumsByAlbum},
        {C::ReportAlbumsByFileNumber, procedure::kReportAlbumsByFileNumber},
        {C::ReportAlbumsByCategory, procedure::kReportAlbumsByCategory},
        {C::ReportCdBinderPages, procedure::kCdBinderPages},
        {C::ReportPaperSaverByArtist, procedure::kReportPaperSaverByArtist},
        {C::ReportPaperSaverByTitle, procedure::kReportPaperSaverByTitle},
        // The labels and playlists entries of the Reports menu open the same browses.
        {C::ReportLabels, procedure::kBrowseLabels},
        {C::ReportPlaylists, procedure::kBrowsePlayLists},
        {C::ReportDjLog, procedure::kReportDjLog},
        {C::HelpTips, procedure::kTipOfTheDay},
    };
    return procedures;
}

} // namespace

const QVector<MenuEntry>& frameMenu() {
    static const QVector<MenuEntry> menu = buildMenu();
    return menu;
}

const QVector<ToolbarButton>& frameToolbar() {
    static const QVector<ToolbarButton> buttons = {
        {QStringLiteral("Albums"), C::BrowseAlbums}, {QStringLiteral("Songs"), C::BrowseSongs},
        {QStringLiteral("Labels"), C::BrowseLabels}, {QStringLiteral("Playlists"), C::BrowsePlayLists},
        {QStringLiteral("Generate"), C::GeneratePlaylist}, {QStringLiteral("Play CD"), C::CdPlayer},
    };
    return buttons;
}

const MenuEntry* menuEntry(FrameCommand command) {
    return command == C::None ? nullptr : findEntry(frameMenu(), command);
}

QString commandProcedure(FrameCommand command, const Settings& settings) {
    switch (command) {
    case C::BrowseSongs:
        return settings.explorerInterface() ? procedure::kXploreSongs : procedure::kBrowseSongs;
    case C::BrowseAlbums:
        return settings.explorerInterface() ? procedure::kXploreAlbums : procedure::kBrowseAlbums;
    default:
        return fixedProcedures().value(command);
    }
}

} // namespace tunarium
