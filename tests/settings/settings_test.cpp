// The settings loader: defaults, widths, flags and numbers, the derived meanings, reloading after
// a write, the keys outside the loader and the maintenance flag in the default profile.
#include "data/app_paths.h"
#include "data/ini_file.h"
#include "data/date_formats.h"
#include "data/settings.h"
#include "support/temp_collection.h"

#include <QFile>
#include <gtest/gtest.h>

namespace tunarium {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    void put(const QByteArray& settingsSection) const {
        QFile out(settingsFilePath());
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("[Settings]\n" + settingsSection);
    }

    test::TempCollection collection;
};

TEST_F(SettingsTest, FilesLiveInTheConfigurationAndCollectionDirectories) {
    EXPECT_EQ(settingsFilePath(), collection.configDir() + "/Tunar98.INI");
    EXPECT_EQ(defaultProfilePath(), collection.configDir() + "/profile.ini");
    EXPECT_EQ(positionFilePath(collection.dir()), collection.path("POSITION.INI"));
    EXPECT_EQ(eventLogPath(collection.dir()), collection.path("TNREvent.LOG"));
    EXPECT_EQ(collectionFilePath(collection.dir()), collection.path("tunarium.db"));
}

TEST_F(SettingsTest, MissingFileGivesTheDefaults) {
    const Settings settings = Settings::load();
    EXPECT_FALSE(settings.suAlbums() || settings.suSongs() || settings.suPlaylists() || settings.suLabels());
    EXPECT_TRUE(settings.autoAddToAlbums());
    EXPECT_EQ(settings.addMode(), AddMode::Normal);
    EXPECT_FALSE(settings.labelArtistFirst());
    EXPECT_EQ(settings.delimiter(), ".");
    EXPECT_EQ(settings.udkPrompt(), "Custom");
    EXPECT_EQ(settings.notesLabel(), "Notes");
    EXPECT_EQ(settings.dateFormat(), "");
    EXPECT_EQ(settings.logo(), "");
    EXPECT_FALSE(settings.useLog());
    EXPECT_EQ(settings.interfaceStyle(), "Standard");
    EXPECT_EQ(settings.cdTimer(), 150);
    EXPECT_FALSE(settings.setupWizardComplete() || settings.defaultWizardCompilation() ||
                 settings.altCasFmt() || settings.dbgMode());
    EXPECT_TRUE(settings.saveLastTab());
    EXPECT_TRUE(settings.showTips());
    EXPECT_EQ(settings.tip(), 1);
    EXPECT_EQ(settings.songTab(2), 2);
    EXPECT_FALSE(QFile::exists(settingsFilePath()));
}

TEST_F(SettingsTest, TextsAreCutToTheirWidths) {
    const QByteArray longText(300, 'x');
    put("UDKPrompt=" + longText + "\nDateFormat=" + longText + "\nLogo=" + longText +
        "\nGLO:Delimiter=" + longText + "\nNotesLabel=" + longText + "\nInterface=" + longText + "\n");
    const Settings settings = Settings::load();
    EXPECT_EQ(settings.udkPrompt().size(), 24);
    EXPECT_TRUE(settings.dateFormat().isEmpty()) << "a date format that is none of the choices reads as none";
    EXPECT_EQ(settings.logo().size(), 255);
    EXPECT_EQ(settings.delimiter().size(), 1);
    EXPECT_EQ(settings.notesLabel().size(), 20);
    EXPECT_EQ(settings.interfaceStyle().size(), 20);
}

TEST_F(SettingsTest, FlagsAndNumbers) {
    put("ShowTips=\nSaveLastTab=yes\nSU_Songs=2\nSU_Albums=0\nCDTimer=fast\n");
    const Settings settings = Settings::load();
    EXPECT_FALSE(settings.showTips()) << "present but empty reads 0 although the default is 1";
    EXPECT_FALSE(settings.saveLastTab()) << "not a number reads 0";
    EXPECT_TRUE(settings.suSongs());
    EXPECT_FALSE(settings.suAlbums());
    EXPECT_TRUE(settings.autoAddToAlbums()) << "missing keeps the default";
    EXPECT_EQ(settings.cdTimer(), 150) << "a CD interval that is not a number takes the default";
}

TEST_F(SettingsTest, AddModeByFirstLetter) {
    const std::pair<const char*, AddMode> cases[] = {
        {"Normal", AddMode::Normal},
        {"Compilation", AddMode::Compilation},
        {"Single Artist", AddMode::SingleArtist},
        {"Ask Each Time", AddMode::AskEachTime},
        {"1", AddMode::Normal},
        {"ask each time", AddMode::Normal},
    };
    for (const auto& [text, mode] : cases) {
        put(QByteArray("AddMode=") + text + "\n");
        EXPECT_EQ(Settings::load().addMode(), mode) << text;
    }
}

TEST_F(SettingsTest, LabelOrderAndInterface) {
    put("LabelArtistTitleOrder=Artist - Title\nInterface=Explorer\n");
    Settings settings = Settings::load();
    EXPECT_TRUE(settings.labelArtistFirst());
    EXPECT_TRUE(settings.explorerInterface());
    put("LabelArtistTitleOrder=Title - Artist\nInterface=explorer\n");
    settings.reload();
    EXPECT_FALSE(settings.labelArtistFirst());
    EXPECT_FALSE(settings.explorerInterface());
}

TEST_F(SettingsTest, WrittenValueIsSeenAfterReload) {
    Settings settings = Settings::load();
    ASSERT_TRUE(settings.autoAddToAlbums());
    ASSERT_TRUE(settings.writeSetting(u"AutoAddToAlbums", 0));
    ASSERT_TRUE(settings.writeSetting(u"UDKPrompt", QStringLiteral("Disc Number")));
    EXPECT_TRUE(settings.autoAddToAlbums()) << "the loaded values follow the file only on reload";
    settings.reload();
    EXPECT_FALSE(settings.autoAddToAlbums());
    EXPECT_EQ(settings.udkPrompt(), "Disc Number");
    EXPECT_FALSE(Settings::load().autoAddToAlbums());
}

TEST_F(SettingsTest, KeysOutsideTheLoaderAreReadLive) {
    const Settings settings = Settings::load();
    ASSERT_TRUE(settings.writeSetting(u"Tip", 7));
    ASSERT_TRUE(settings.writeSetting(u"SongTab", 3));
    ASSERT_TRUE(settings.writeGlobalSetting(u"Version", "1.8i"));
    EXPECT_EQ(settings.tip(), 7);
    EXPECT_EQ(settings.songTab(1), 3);
    EXPECT_EQ(settings.albumTab(1), 1);
    EXPECT_EQ(settings.version(), "1.8i");
    EXPECT_EQ(readIni(settingsFilePath(), u"Global Settings", u"Version"), "1.8i");
}

TEST_F(SettingsTest, ReportFontsUseTheirOwnKeys) {
    const Settings settings = Settings::load();
    const ReportFont font{"Arial Narrow", 9, 255, 700};
    ASSERT_TRUE(settings.writeReportFont(ReportLayout::Standard, u"TUN:SongsByArtist", font));
    EXPECT_EQ(readIni(settingsFilePath(), u"Fonts", u"FontNamePrintTUN:SongsByArtist"), "Arial Narrow");
    EXPECT_EQ(readIni(settingsFilePath(), u"Fonts", u"FontStylePrintTUN:SongsByArtist"), "700");
    EXPECT_EQ(settings.reportFont(ReportLayout::Standard, u"TUN:SongsByArtist"), font);
    EXPECT_EQ(settings.reportFont(ReportLayout::Brief, u"TUN:SongsByArtist"), ReportFont{});
}

TEST_F(SettingsTest, BadFileInTheDefaultProfile) {
    EXPECT_EQ(readBadFile(), "");
    ASSERT_TRUE(writeBadFile("tnrdata"));
    EXPECT_EQ(readIni(collection.configDir() + "/profile.ini", u"TNR98", u"BadFile"), "tnrdata");
    ASSERT_TRUE(writeBadFile(""));
    EXPECT_EQ(readBadFile(), "");
}


TEST_F(SettingsTest, DateFormatsAndTheirPictures) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "@d17"},    // never chosen: the system's short date
        {"d4", "@d4"},   // a choice
        {"n4b", "@n4b"}, // Year Only
        {"d99", "@d17"}, // not a choice: the default, never a picture nobody can read
        {"zz", "@d17"},
    };
    for (const auto& [code, picture] : cases) {
        put(QByteArray("DateFormat=") + code + "\n");
        EXPECT_EQ(Settings::load().datePicture(), picture) << code;
    }
    EXPECT_EQ(dateFormatChoices().size(), 15);
    EXPECT_EQ(dateFormatIndex("n4b"), 1);
    EXPECT_EQ(dateFormatIndex("d18"), 14);
    EXPECT_EQ(dateFormatIndex("d9"), -1);
}

} // namespace
} // namespace tunarium
