// The user's preferences as the Preferences window and the setup wizard edit them: the values
// read when the window opens, what OK writes and in which order, the questions OK asks about the
// date format, and the settings loader run afterwards.
#pragma once

#include "data/settings.h"

#include <QPair>
#include <QString>
#include <QVector>

namespace tunarium {

inline constexpr char kAddModeNormal[] = "Normal";
inline constexpr char kAddModeCompilation[] = "Compilation";
inline constexpr char kAddModeSingleArtist[] = "Single Artist";
inline constexpr char kAddModeAskEachTime[] = "Ask Each Time";
inline constexpr char kArtistTitleOrder[] = "Artist - Title";
inline constexpr char kTitleArtistOrder[] = "Title - Artist";
inline constexpr char kStandardInterface[] = "Standard";
inline constexpr char kExplorerInterface[] = "Explorer";

inline constexpr char kDateFormatChangedText[] =
    "Date format changes will not affect currently open windows.  You can close and re-open windows, or exit "
    "and restart Tunarium Pro to view information using the new date format.";
inline constexpr char kYearOnlyQuestion[] =
    "Convert existing entries to Year Only format (day and month information will be lost!)?";
// Two lines.
inline constexpr char kHousekeepingNotice[] =
    "These functions should only be used to correct known problems\n"
    "in earlier versions.  They can cause damage if used improperly..";
inline constexpr char kCreateAlbumsQuestion[] = "This function will create the album database based on "
                                                "information in your main Tunarium Pro database.  It "
                                                "may take some time to complete.";
inline constexpr char kLinkTestQuestion[] =
    "This function will test (and fix where possible) the links between the album database and your main "
    "Tunarium Pro database.  It may take some time to complete.";

// Everything the Preferences window edits (the date format apart, which OK handles last).
struct PreferenceValues {
    QString interfaceStyle; // "Standard" or "Explorer"
    QString udkPrompt;
    QString notesLabel;
    bool suAlbums = false;
    bool suSongs = false;
    bool suLabels = false;
    bool suPlaylists = false;
    bool showTips = true;
    bool saveLastTab = true;
    QString addMode; // one of the four captions
    bool defaultWizardCompilation = false;
    bool autoAddToAlbums = true;
    QString labelOrder; // "Artist - Title" or "Title - Artist"
    QString delimiter;  // one character
    bool altCasFmt = false;
    bool useLog = false;
    QString logo;
};

// The add mode caption a stored `AddMode` stands for (by its first letter, as the program reads it).
QString addModeCaption(AddMode mode);

// The preferences of one opening of the Preferences window or the setup wizard.
class PreferenceEditor {
public:
    // Reads the current values; the start-up windows afresh from the file.
    explicit PreferenceEditor(Settings& settings);

    PreferenceValues& values() { return m_values; }
    const PreferenceValues& values() const { return m_values; }
    // The date entry selected on opening: the position of `DateFormat` in the choices ("Windows
    // Default" when none was ever chosen), -1 when its code is none of them.
    int shownDateIndex() const { return m_shownDate; }
    int chosenDateIndex() const { return m_chosenDate; }
    void chooseDate(int index) { m_chosenDate = index; }

    // The settings OK writes first, in order, as key and text.
    QVector<QPair<QString, QString>> writes() const;
    // Writes them; the setup wizard also marks itself complete and turns on the adding of albums.
    bool write(bool fromSetupWizard);
    // OK tells that open windows keep their date format when the choice changed.
    bool tellsDateChange() const { return m_chosenDate != m_shownDate; }
    // OK asks about converting the stored dates when "Year Only" is chosen and was not the format.
    bool asksYearOnly() const;
    // Writes `DateFormat` (a choice that is none of the list leaves it as it was) and runs the
    // settings loader.
    bool finish();

private:
    Settings& m_settings;
    PreferenceValues m_values;
    QString m_currentCode;
    int m_shownDate = -1;
    int m_chosenDate = -1;
};

} // namespace tunarium
