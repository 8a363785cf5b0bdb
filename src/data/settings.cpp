// The program's preferences in Tunar98.INI.
#include "data/settings.h"

#include "data/date_formats.h"
#include "data/ini_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <limits>

namespace tunarium {

namespace {

using Kind = SettingKind;
using Key = SettingKey;

constexpr std::array<SettingDefinition, kSettingKeyCount> kLoaderSettings{{
    {Key::SuAlbums, "SU_Albums", Kind::Flag, "0", 0},
    {Key::SuSongs, "SU_Songs", Kind::Flag, "0", 0},
    {Key::SuPlaylists, "SU_Playlists", Kind::Flag, "0", 0},
    {Key::SuLabels, "SU_Labels", Kind::Flag, "0", 0},
    {Key::AutoAddToAlbums, "AutoAddToAlbums", Kind::Flag, "1", 0},
    {Key::AddMode, "AddMode", Kind::Text, "1", 20},
    {Key::LabelArtistTitleOrder, "LabelArtistTitleOrder", Kind::Text, "1", 20},
    {Key::Delimiter, "GLO:Delimiter", Kind::Text, ".", 1},
    {Key::UdkPrompt, "UDKPrompt", Kind::Text, "Custom", 24},
    {Key::NotesLabel, "NotesLabel", Kind::Text, "Notes", 20},
    {Key::DateFormat, "DateFormat", Kind::Text, "", 6},
    {Key::Logo, "Logo", Kind::Text, "", 255},
    {Key::UseLog, "UseLog", Kind::Flag, "0", 0},
    {Key::Interface, "Interface", Kind::Text, "Standard", 20},
    {Key::CdTimer, "CDTimer", Kind::Number, "150", 0},
    {Key::SetupWizardComplete, "SetupWizardComplete", Kind::Flag, "0", 0},
    {Key::DefaultWizardCompilation, "DefaultWizardCompilation", Kind::Flag, "0", 0},
    {Key::SaveLastTab, "SaveLastTab", Kind::Flag, "1", 0},
    {Key::AltCasFmt, "AltCasFmt", Kind::Flag, "0", 0},
    {Key::DbgMode, "DbgMode", Kind::Flag, "0", 0},
    {Key::ShowTips, "ShowTips", Kind::Flag, "1", 0},
}};

constexpr bool inLoaderOrder() {
    for (int i = 0; i < kSettingKeyCount; ++i) {
        if (static_cast<int>(kLoaderSettings[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inLoaderOrder(), "kLoaderSettings is indexed by SettingKey");

int clampToInt(qint64 value) {
    return static_cast<int>(
        std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QString settingsSection() {
    return QString::fromLatin1(kSettingsSection);
}

} // namespace

const std::array<SettingDefinition, kSettingKeyCount>& loaderSettings() {
    return kLoaderSettings;
}

const SettingDefinition& settingDefinition(SettingKey key) {
    return kLoaderSettings.at(static_cast<std::size_t>(key));
}

QString fontKey(FontAttribute attribute, ReportLayout layout, QStringView reportTag) {
    static const char* const kAttributes[] = {"Name", "Size", "Color", "Style"};
    QString key = QStringLiteral("Font");
    key += QLatin1String(kAttributes[static_cast<int>(attribute)]);
    key += layout == ReportLayout::Brief ? QLatin1String("Brief") : QLatin1String("Print");
    key += reportTag;
    return key;
}

Settings::Settings(QString filePath) : m_filePath(std::move(filePath)) {
    for (const SettingDefinition& definition : kLoaderSettings) {
        m_values.at(static_cast<std::size_t>(definition.id)) = QString::fromLatin1(definition.defaultValue);
    }
}

Settings Settings::load(const QString& filePath) {
    Settings settings(filePath);
    settings.reload();
    return settings;
}

void Settings::reload() {
    IniFile file(m_filePath);
    const QString section = settingsSection();
    for (const SettingDefinition& definition : kLoaderSettings) {
        QString value = file.value(section, QString::fromLatin1(definition.name),
                                   QString::fromLatin1(definition.defaultValue));
        if (definition.width > 0) {
            value.truncate(definition.width);
        }
        m_values.at(static_cast<std::size_t>(definition.id)) = value;
    }
    // A date format that is none of the choices would give a picture no date can be shown with:
    // it reads as none chosen, and dates are shown with the default.
    QString& dateFormat = m_values.at(static_cast<std::size_t>(SettingKey::DateFormat));
    if (dateFormatIndex(dateFormat) < 0) {
        dateFormat.clear();
    }
}

QString Settings::text(SettingKey key) const {
    return m_values.at(static_cast<std::size_t>(key));
}

bool Settings::flag(SettingKey key) const {
    return number(key) != 0;
}

qint64 Settings::number(SettingKey key) const {
    return iniNumber(text(key));
}

AddMode Settings::addMode() const {
    const QString mode = text(SettingKey::AddMode);
    if (mode.startsWith(u'A')) {
        return AddMode::AskEachTime;
    }
    if (mode.startsWith(u'C')) {
        return AddMode::Compilation;
    }
    if (mode.startsWith(u'S')) {
        return AddMode::SingleArtist;
    }
    return AddMode::Normal;
}

bool Settings::labelArtistFirst() const {
    return text(SettingKey::LabelArtistTitleOrder).startsWith(u'A');
}

bool Settings::explorerInterface() const {
    return text(SettingKey::Interface).left(8) == QLatin1String("Explorer");
}

int Settings::cdTimer() const {
    bool isNumber = false;
    const qint64 value = text(SettingKey::CdTimer).trimmed().toLongLong(&isNumber);
    if (!isNumber || value < 0) {
        return QString::fromLatin1(settingDefinition(SettingKey::CdTimer).defaultValue).toInt();
    }
    return clampToInt(value);
}

int Settings::readNumber(const char* section, QStringView key, int defaultValue) const {
    return clampToInt(readIniNumber(m_filePath, QString::fromLatin1(section), key, defaultValue));
}

int Settings::tip() const {
    return readNumber(kSettingsSection, u"Tip", 1);
}

int Settings::songTab(int designTab) const {
    return readNumber(kSettingsSection, u"SongTab", designTab);
}

int Settings::albumTab(int designTab) const {
    return readNumber(kSettingsSection, u"AlbumTab", designTab);
}

QString Settings::mainLogo() const {
    return readIni(m_filePath, settingsSection(), u"MainLogo");
}

QString Settings::cdDrive() const {
    return readIni(m_filePath, settingsSection(), u"CDDrive");
}

QString Settings::frameLogo() const {
    return readIni(m_filePath, QString::fromLatin1(kGlobalSettingsSection), u"FrameLogo");
}

QString Settings::version() const {
    return readIni(m_filePath, QString::fromLatin1(kGlobalSettingsSection), u"Version");
}

ReportFont Settings::reportFont(ReportLayout layout, QStringView reportTag) const {
    ReportFont font;
    font.name = readIni(m_filePath, QString::fromLatin1(kFontsSection),
                        fontKey(FontAttribute::Name, layout, reportTag));
    font.size = readNumber(kFontsSection, fontKey(FontAttribute::Size, layout, reportTag), 0);
    font.color = readNumber(kFontsSection, fontKey(FontAttribute::Color, layout, reportTag), 0);
    font.style = readNumber(kFontsSection, fontKey(FontAttribute::Style, layout, reportTag), 0);
    return font;
}

bool Settings::writeSetting(QStringView key, const QString& value) const {
    return writeIni(m_filePath, settingsSection(), key, value);
}

bool Settings::writeSetting(QStringView key, qint64 value) const {
    return writeSetting(key, QString::number(value));
}

bool Settings::writeGlobalSetting(QStringView key, const QString& value) const {
    return writeIni(m_filePath, QString::fromLatin1(kGlobalSettingsSection), key, value);
}

bool Settings::writeReportFont(ReportLayout layout, QStringView reportTag, const ReportFont& font) const {
    const IniEntries entries{
        {fontKey(FontAttribute::Name, layout, reportTag), font.name},
        {fontKey(FontAttribute::Size, layout, reportTag), QString::number(font.size)},
        {fontKey(FontAttribute::Color, layout, reportTag), QString::number(font.color)},
        {fontKey(FontAttribute::Style, layout, reportTag), QString::number(font.style)},
    };
    return writeIniEntries(m_filePath, QString::fromLatin1(kFontsSection), entries);
}

QString fileDialogFolder(const QString& settingsPath) {
    const QString last = readIni(settingsPath, QString::fromLatin1(kFileDialogSection), u"LastFolder");
    if (!last.isEmpty() && QFileInfo(last).isDir()) {
        return last;
    }
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (!music.isEmpty() && QFileInfo(music).isDir()) {
        return music;
    }
    return QDir::homePath();
}

bool rememberFileDialogFolder(const QString& chosenFile, const QString& settingsPath) {
    if (chosenFile.isEmpty()) {
        return false;
    }
    return writeIni(settingsPath, QString::fromLatin1(kFileDialogSection), u"LastFolder",
                    QFileInfo(chosenFile).absolutePath());
}

QString readBadFile(const QString& profilePath) {
    return readIni(profilePath, QString::fromLatin1(kProfileSection), QString::fromLatin1(kBadFileKey));
}

bool writeBadFile(const QString& fileName, const QString& profilePath) {
    return writeIni(profilePath, QString::fromLatin1(kProfileSection), QString::fromLatin1(kBadFileKey),
                    fileName);
}

} // namespace tunarium
