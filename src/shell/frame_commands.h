// The application frame's commands: the menu bar and the toolbar in their order, each command with
// its prompt (shown in the status bar and as tool tip) and what it does: an action of the frame
// itself, or a procedure (a window of the program) started by name.
#pragma once

#include "albums/procedure_names.h"
#include "catalogue/procedure_names.h"
#include "files/procedure_names.h"
#include "data/settings.h"
#include "playlists/procedure_names.h"
#include "reports/procedure_names.h"
#include "survey/procedure_names.h"
#include "survey/duplicate_names.h"

#include <QString>
#include <QVector>

namespace tunarium {

enum class FrameCommand {
    None, // a submenu
    PrintSetup,
    Preferences,
    AddMusicFiles,
    Import,
    Export,
    CdPlayer,
    Exit,
    Cut,
    Copy,
    Paste,
    BrowseAlbums,
    BrowseSongs,
    WizardAddAlbum,
    WizardQuickCompilation,
    WizardQuickSingleArtist,
    WizardAddLabel,
    BrowseLabels,
    BrowsePlayLists,
    GeneratePlaylist,
    BrowseCategories,
    BrowseMediaFormats,
    CollectionStatistics,
    FindDuplicates,
    ReportSongsByArtist,
    ReportSongsByTitle,
    ReportSongsByAlbum,
    ReportSongsByMedia,
    ReportSongsByCategory,
    ReportSongsByBpm,
    ReportAlbumsByArtist,
    ReportAlbumsByAlbum,
    ReportAlbumsByFileNumber,
    ReportAlbumsByCategory,
    ReportCdBinderPages,
    ReportPaperSaverByArtist,
    ReportPaperSaverByTitle,
    ReportLabels,
    ReportPlaylists,
    ReportDjLog,
    Tile,
    Cascade,
    ArrangeIcons,
    HelpContents,
    HelpSearch,
    HelpHowToUse,
    HelpTips,
    HelpAbout,
};

// One entry of the menu bar: a command, or a submenu holding entries.
struct MenuEntry {
    QString caption; // with "&" before the mnemonic letter
    QString prompt;  // empty where the command has none
    FrameCommand command = FrameCommand::None;
    QVector<MenuEntry> entries;
    bool separatorBefore = false;

    bool isSubmenu() const { return command == FrameCommand::None; }
};

struct ToolbarButton {
    QString caption;
    FrameCommand command;
};

// The menu bar: File, Edit, Browse, Reports, Window, Help, with their entries in order.
const QVector<MenuEntry>& frameMenu();
// The toolbar's buttons in order; the logo picture follows them.
const QVector<ToolbarButton>& frameToolbar();
// The menu entry of a command (nullptr for None).
const MenuEntry* menuEntry(FrameCommand command);

// Procedure names of the program's windows, also their sections in the window-position file. A
// subsystem whose windows are built declares their names itself (catalogue/procedure_names.h);
// these are the names of the windows still to come, which move to their subsystem with them.
namespace procedure {
inline constexpr char kPreferences[] = "Preferences";
inline constexpr char kTipOfTheDay[] = "TipOfTheDay";
inline constexpr char kTipEditor[] = "TipEditor";
inline constexpr char kSetupWizard[] = "SetupWizard";
} // namespace procedure

// The procedure a command starts, or empty for the frame's own actions (clipboard, window
// arrangement, printer setup, help, About, Exit, CD Player). Browse › Songs and Browse › Albums
// start the explorer views when `Interface` is "Explorer", else the standard browses.
QString commandProcedure(FrameCommand command, const Settings& settings);

} // namespace tunarium
