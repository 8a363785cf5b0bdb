// The program's preferences in Tunar98.INI: the values the settings loader reads from section
// "Settings", the keys read elsewhere, the report fonts, and the maintenance flag of the default
// profile.
#pragma once

#include "data/app_paths.h"

#include <QString>
#include <QStringView>

#include <array>

namespace tunarium {

inline constexpr char kSettingsSection[] = "Settings";
inline constexpr char kGlobalSettingsSection[] = "Global Settings";
inline constexpr char kFontsSection[] = "Fonts";
inline constexpr char kProfileSection[] = "TNR98";
inline constexpr char kBadFileKey[] = "BadFile";
inline constexpr char kFileDialogSection[] = "File Dialogs";

// The keys of section "Settings" that the loader reads, in the order it reads them.
enum class SettingKey {
    SuAlbums,
    SuSongs,
    SuPlaylists,
    SuLabels,
    AutoAddToAlbums,
    AddMode,
    LabelArtistTitleOrder,
    Delimiter,
    UdkPrompt,
    NotesLabel,
    DateFormat,
    Logo,
    UseLog,
    Interface,
    CdTimer,
    SetupWizardComplete,
    DefaultWizardCompilation,
    SaveLastTab,
    AltCasFmt,
    DbgMode,
    ShowTips,
};
inline constexpr int kSettingKeyCount = 21;

enum class SettingKind { Flag, Number, Text };

struct SettingDefinition {
    SettingKey id;
    const char* name; // the key as written in the file
    SettingKind kind;
    const char* defaultValue;
    int width; // characters kept of a text setting; 0 for flags and numbers
};

// Every loader key, in loader order.
const std::array<SettingDefinition, kSettingKeyCount>& loaderSettings();
const SettingDefinition& settingDefinition(SettingKey key);

// How new songs are added, from the first letter of `AddMode`.
enum class AddMode { Normal, Compilation, SingleArtist, AskEachTime };

// A report's layout; its style word in the font keys is "Print" or "Brief".
enum class ReportLayout { Standard, Brief };
enum class FontAttribute { Name, Size, Color, Style };

// "Font" + Name|Size|Color|Style + Print|Brief + report tag, e.g. "FontNamePrintTUN:SongsByArtist".
QString fontKey(FontAttribute attribute, ReportLayout layout, QStringView reportTag);

struct ReportFont {
    QString name; // typeface, up to 32 characters
    int size = 0; // points
    int color = 0;
    int style = 0; // weight and italic flags
    bool operator==(const ReportFont&) const = default;
};

// The settings of one settings file. The loader values are a snapshot: a write reaches them only
// when reload() runs, as the program's globals follow the file only after the loader ran again.
// Keys outside the loader are read from the file on every call.
class Settings {
public:
    // Loader values at their defaults, without reading the file.
    explicit Settings(QString filePath = settingsFilePath());
    static Settings load(const QString& filePath = settingsFilePath());

    const QString& filePath() const { return m_filePath; }

    // The settings loader: reads every loader key afresh, each with its default. A missing key
    // gives the default; a present but empty flag is 0; a text is cut to its width; a value that
    // is not a number reads as 0.
    void reload();

    QString text(SettingKey key) const;
    bool flag(SettingKey key) const;
    qint64 number(SettingKey key) const;

    bool suAlbums() const { return flag(SettingKey::SuAlbums); }
    bool suSongs() const { return flag(SettingKey::SuSongs); }
    bool suPlaylists() const { return flag(SettingKey::SuPlaylists); }
    bool suLabels() const { return flag(SettingKey::SuLabels); }
    bool autoAddToAlbums() const { return flag(SettingKey::AutoAddToAlbums); }
    AddMode addMode() const;
    // `LabelArtistTitleOrder` beginning with "A" puts the artist before the title.
    bool labelArtistFirst() const;
    QString delimiter() const { return text(SettingKey::Delimiter); }
    QString udkPrompt() const { return text(SettingKey::UdkPrompt); }
    QString notesLabel() const { return text(SettingKey::NotesLabel); }
    QString dateFormat() const { return text(SettingKey::DateFormat); }
    // The picture every date in lists, forms and reports is shown with: the chosen date format,
    // or the system's short date when none was chosen.
    QString datePicture() const {
        const QString code = dateFormat().trimmed();
        return code.isEmpty() ? QStringLiteral("@d17") : QStringLiteral("@") + code;
    }
    QString logo() const { return text(SettingKey::Logo); }
    bool useLog() const { return flag(SettingKey::UseLog); }
    QString interfaceStyle() const { return text(SettingKey::Interface); }
    // "Explorer" over the first 8 characters of `Interface`.
    bool explorerInterface() const;
    int cdTimer() const;
    bool setupWizardComplete() const { return flag(SettingKey::SetupWizardComplete); }
    bool defaultWizardCompilation() const { return flag(SettingKey::DefaultWizardCompilation); }
    bool saveLastTab() const { return flag(SettingKey::SaveLastTab); }
    bool altCasFmt() const { return flag(SettingKey::AltCasFmt); }
    bool dbgMode() const { return flag(SettingKey::DbgMode); }
    bool showTips() const { return flag(SettingKey::ShowTips); }

    // Identifier of the tip shown last; 1 when never stored.
    int tip() const;
    // Last sort tab of the songs / albums browse; designTab when never stored.
    int songTab(int designTab) const;
    int albumTab(int designTab) const;
    QString mainLogo() const;
    // `CDDrive`: the CD drive the CD reader reads (a device such as /dev/sr0); empty for the
    // system's default drive.
    QString cdDrive() const;
    QString frameLogo() const;
    QString version() const;
    // A key never written gives an empty name and zeros.
    ReportFont reportFont(ReportLayout layout, QStringView reportTag) const;

    // Writes to the file; false when it could not be written.
    bool writeSetting(QStringView key, const QString& value) const;
    bool writeSetting(QStringView key, qint64 value) const;
    bool writeGlobalSetting(QStringView key, const QString& value) const;
    bool writeReportFont(ReportLayout layout, QStringView reportTag, const ReportFont& font) const;

private:
    int readNumber(const char* section, QStringView key, int defaultValue) const;

    QString m_filePath;
    std::array<QString, kSettingKeyCount> m_values;
};

// Where the file dialogs start: the folder of the file chosen last in one (section "File
// Dialogs", key "LastFolder"), else the user's music folder, else the home folder. Never the
// collection directory unless the user chose a file there: a dialog that lists the collection
// file must not be the first thing a user sees.
QString fileDialogFolder(const QString& settingsPath = settingsFilePath());
// Remembers the folder of a file the user chose in a file dialog.
bool rememberFileDialogFolder(const QString& chosenFile, const QString& settingsPath = settingsFilePath());

// The maintenance flag: the name of the data file being opened, or empty.
QString readBadFile(const QString& profilePath = defaultProfilePath());
bool writeBadFile(const QString& fileName, const QString& profilePath = defaultProfilePath());

} // namespace tunarium
