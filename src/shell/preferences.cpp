// Reading and writing the preferences.
#include "shell/preferences.h"

#include "data/date_formats.h"
#include "data/ini_file.h"

namespace tunarium {

namespace {

QString flagText(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QString addModeCaption(AddMode mode) {
    switch (mode) {
    case AddMode::Compilation:
        return QString::fromLatin1(kAddModeCompilation);
    case AddMode::SingleArtist:
        return QString::fromLatin1(kAddModeSingleArtist);
    case AddMode::AskEachTime:
        return QString::fromLatin1(kAddModeAskEachTime);
    case AddMode::Normal:
        break;
    }
    return QString::fromLatin1(kAddModeNormal);
}

PreferenceEditor::PreferenceEditor(Settings& settings) : m_settings(settings) {
    PreferenceValues& v = m_values;
    v.interfaceStyle = settings.explorerInterface() ? QString::fromLatin1(kExplorerInterface)
                                                    : QString::fromLatin1(kStandardInterface);
    v.udkPrompt = settings.udkPrompt();
    v.notesLabel = settings.notesLabel();
    // The start-up windows are read afresh: the frame may have changed them since the loader ran.
    const Settings fresh = Settings::load(settings.filePath());
    v.suAlbums = fresh.suAlbums();
    v.suSongs = fresh.suSongs();
    v.suLabels = fresh.suLabels();
    v.suPlaylists = fresh.suPlaylists();
    v.showTips = settings.showTips();
    v.saveLastTab = settings.saveLastTab();
    v.addMode = addModeCaption(settings.addMode());
    v.defaultWizardCompilation = settings.defaultWizardCompilation();
    v.autoAddToAlbums = settings.autoAddToAlbums();
    v.labelOrder = QString::fromLatin1(settings.labelArtistFirst() ? kArtistTitleOrder : kTitleArtistOrder);
    v.delimiter = settings.delimiter();
    v.altCasFmt = settings.altCasFmt();
    v.useLog = settings.useLog();
    v.logo = settings.logo();
    // The code as the file holds it: one that is none of the choices selects nothing (the loader
    // reads it as none, and dates are shown with the default).
    m_currentCode = readIni(settings.filePath(), QString::fromLatin1(kSettingsSection), u"DateFormat").trimmed();
    // Never chosen, dates are shown as "Windows Default" shows them: that entry is selected.
    m_shownDate = m_currentCode.isEmpty() ? dateFormatIndex(QString::fromLatin1(kDefaultDateCode))
                                          : dateFormatIndex(m_currentCode);
    m_chosenDate = m_shownDate;
}

QVector<QPair<QString, QString>> PreferenceEditor::writes() const {
    const PreferenceValues& v = m_values;
    return {
        {QStringLiteral("AutoAddToAlbums"), flagText(v.autoAddToAlbums)},
        {QStringLiteral("AddMode"), v.addMode},
        {QStringLiteral("LabelArtistTitleOrder"), v.labelOrder},
        {QStringLiteral("GLO:Delimiter"), v.delimiter.left(1)},
        {QStringLiteral("UDKPrompt"), v.udkPrompt},
        {QStringLiteral("NotesLabel"), v.notesLabel},
        {QStringLiteral("Interface"), v.interfaceStyle},
        {QStringLiteral("SU_Albums"), flagText(v.suAlbums)},
        {QStringLiteral("SU_Songs"), flagText(v.suSongs)},
        {QStringLiteral("SU_Playlists"), flagText(v.suPlaylists)},
        {QStringLiteral("SU_Labels"), flagText(v.suLabels)},
        {QStringLiteral("Logo"), v.logo},
        {QStringLiteral("AltCasFmt"), flagText(v.altCasFmt)},
        {QStringLiteral("UseLog"), flagText(v.useLog)},
        {QStringLiteral("ShowTips"), flagText(v.showTips)},
        {QStringLiteral("SaveLastTab"), flagText(v.saveLastTab)},
        {QStringLiteral("DefaultWizardCompilation"), flagText(v.defaultWizardCompilation)},
    };
}

bool PreferenceEditor::write(bool fromSetupWizard) {
    if (fromSetupWizard) {
        m_values.autoAddToAlbums = true;
    }
    bool written = true;
    for (const auto& [key, value] : writes()) {
        written = m_settings.writeSetting(key, value) && written;
    }
    if (fromSetupWizard) {
        written = m_settings.writeSetting(u"SetupWizardComplete", QStringLiteral("1")) && written;
    }
    return written;
}

bool PreferenceEditor::asksYearOnly() const {
    return m_currentCode != QLatin1String(kYearOnlyCode) &&
           m_chosenDate == dateFormatIndex(QString::fromLatin1(kYearOnlyCode));
}

bool PreferenceEditor::finish() {
    bool written = true;
    if (m_chosenDate >= 0) {
        const QString code = dateFormatChoices()[m_chosenDate].code;
        written = m_settings.writeSetting(u"DateFormat", code);
        m_currentCode = code;
    }
    m_settings.reload();
    return written;
}

} // namespace tunarium
