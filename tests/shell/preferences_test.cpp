// Preferences and the setup wizard: what OK writes and in which order, the date format's
// questions (and "Year Only" chosen twice asking nothing), the conversion with its backup, the
// first Preferences opening the wizard, the wizard's pages and what Finish writes, a logo that is
// no picture, the CD interval, and the compile information.
#include "data/database.h"
#include "data/date_formats.h"
#include "data/date_time.h"
#include "data/ini_file.h"
#include "shell/build_info.h"
#include "shell/preferences.h"
#include "shell/ui/cd_player_preferences_window.h"
#include "shell/ui/compile_info_window.h"
#include "shell/ui/preferences_window.h"
#include "shell/ui/setup_wizard_window.h"
#include "shell/ui/shell_procedures.h"
#include "shell_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tunarium;

namespace {

class PreferencesTest : public test::ShellTest {
protected:
    void SetUp() override {
        test::ShellTest::SetUp();
        registerShellProcedures(procedures);
    }
    void setting(const char* key, const QString& value) {
        writeIni(settingsPath(), u"Settings", QString::fromLatin1(key), value);
        settings.reload();
    }
    ProcedureContext context() { return {db, settings, prompter, nullptr, nullptr, procedures}; }
    template <class W> W* opened() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<W*>(w); found && found->isVisible()) {
                return found;
            }
        }
        return nullptr;
    }
    QStringList captions() const {
        QStringList list;
        for (const PromptMessage& m : prompter.messages) {
            list << m.caption;
        }
        return list;
    }

    Database db{prompter, dir.dir(), profile()};
    Settings settings{settingsPath()};
    ProcedureRegistry procedures;
};

TEST_F(PreferencesTest, OkWritesEverySettingInItsOrder) {
    PreferenceEditor editor(settings);
    const QStringList expected = {"AutoAddToAlbums",
                                  "AddMode",
                                  "LabelArtistTitleOrder",
                                  "GLO:Delimiter",
                                  "UDKPrompt",
                                  "NotesLabel",
                                  "Interface",
                                  "SU_Albums",
                                  "SU_Songs",
                                  "SU_Playlists",
                                  "SU_Labels",
                                  "Logo",
                                  "AltCasFmt",
                                  "UseLog",
                                  "ShowTips",
                                  "SaveLastTab",
                                  "DefaultWizardCompilation"};
    QStringList keys;
    for (const auto& [key, value] : editor.writes()) {
        keys << key;
    }
    EXPECT_EQ(keys, expected);
}

TEST_F(PreferencesTest, TheDateQuestionsFollowWhatWasAndWhatIsChosen) {
    const int yearOnly = dateFormatIndex(kYearOnlyCode);
    const int longDate = dateFormatIndex("d4");
    const struct {
        const char* stored;
        int chosen;
        bool tells;
        bool asks;
    } cases[] = {
        {"d4", longDate, false, false},  // nothing changed
        {"d4", yearOnly, true, true},    // to Year Only: both
        {"n4b", yearOnly, false, false}, // Year Only twice asks nothing
        {"n4b", longDate, true, false},  // back from Year Only converts nothing
        {"", yearOnly, true, true},      // never chosen: "Windows Default" is shown
        {"", 0, false, false},           //
        {"zz", longDate, true, false},   // a code that is no choice selects nothing
    };
    for (const auto& c : cases) {
        setting("DateFormat", c.stored);
        PreferenceEditor editor(settings);
        editor.chooseDate(c.chosen);
        EXPECT_EQ(editor.tellsDateChange(), c.tells) << c.stored << " " << c.chosen;
        EXPECT_EQ(editor.asksYearOnly(), c.asks) << c.stored << " " << c.chosen;
    }
    // Nothing chosen leaves the stored code alone.
    setting("DateFormat", "zz");
    PreferenceEditor editor(settings);
    EXPECT_EQ(editor.shownDateIndex(), -1);
    editor.finish();
    EXPECT_EQ(readIni(settingsPath(), u"Settings", u"DateFormat"), "zz");
    EXPECT_EQ(settings.datePicture(), "@d17");
}

TEST_F(PreferencesTest, TheWindowShowsTheSettingsAndOkWritesThemThenAsksAboutTheDate) {
    setting("SetupWizardComplete", "1");
    setting("DateFormat", "d4");
    setting("SU_Songs", "1");
    setting("UDKPrompt", "Crate");
    auto* w = new PreferencesWindow(context());
    EXPECT_EQ(w->dateList()->currentText(), "October 31, 1959");
    EXPECT_TRUE(w->checkBox("Songs")->isChecked());
    EXPECT_FALSE(w->checkBox("Albums")->isChecked());
    EXPECT_TRUE(w->checkBox("Show tip at startup")->isChecked());
    EXPECT_EQ(w->field("UDKPrompt")->text(), "Crate");

    w->checkBox("Albums")->setChecked(true);
    w->checkBox("Automatically Add Album Information to Album Database")->setChecked(false);
    w->field("UDKPrompt")->setText("Shelf");
    w->dateList()->setCurrentIndex(dateFormatIndex(kYearOnlyCode));
    prompter.answers = {kButtonOk, kButtonNo}; // the information, then No to the conversion
    w->button("&OK")->click();
    EXPECT_EQ(captions(), QStringList({"Information", "Basic Format Changed"}));
    EXPECT_EQ(prompter.messages[1].defaultButton, kButtonYes);
    EXPECT_EQ(readIni(settingsPath(), u"Settings", u"SU_Albums"), "1");
    EXPECT_EQ(readIni(settingsPath(), u"Settings", u"AutoAddToAlbums"), "0");
    EXPECT_EQ(readIni(settingsPath(), u"Settings", u"DateFormat"), "n4b");
    // The loader ran: windows opened from now on read the new values.
    EXPECT_EQ(settings.udkPrompt(), "Shelf");
    EXPECT_EQ(settings.datePicture(), "@n4b");
    EXPECT_FALSE(settings.autoAddToAlbums());
    EXPECT_TRUE(QDir(dir.dir()).entryList({"tunarium-dates-*"}).isEmpty()); // No converts nothing
}

TEST_F(PreferencesTest, YearOnlyConvertsAfterABackupAndCancelWritesNothing) {
    setting("SetupWizardComplete", "1");
    const qint64 day = dayNumberFromYmd(1977, 5, 25);
    {
        ASSERT_TRUE(db.openTables({TableId::Tunarium, TableId::Album}));
        SongRecord s;
        s.id = 1;
        s.artist = "John Williams";
        s.title = "Main Title";
        s.releaseDate = day;
        ASSERT_TRUE(db.store().insert(s).ok());
        db.closeTables({TableId::Tunarium, TableId::Album});
    }
    // Cancel writes nothing.
    auto* cancelled = new PreferencesWindow(context());
    cancelled->dateList()->setCurrentIndex(dateFormatIndex(kYearOnlyCode));
    cancelled->button("Cancel")->click();
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(readIni(settingsPath(), u"Settings", u"DateFormat"), "");

    auto* w = new PreferencesWindow(context());
    w->dateList()->setCurrentIndex(dateFormatIndex(kYearOnlyCode));
    prompter.answers = {kButtonOk, kButtonYes};
    w->button("&OK")->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return readIni(settingsPath(), u"Settings", u"DateFormat") == QString("n4b"); }, 10000))
        << qPrintable(readIni(settingsPath(), u"Settings", u"DateFormat"));
    ASSERT_EQ(captions(), QStringList({"Information", "Basic Format Changed", "Year Only"}));
    const QStringList backups = QDir(dir.dir()).entryList({"tunarium-dates-*.db"});
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(prompter.messages[2].text.contains(backups.first()))
        << prompter.messages[2].text.toStdString();
    ASSERT_TRUE(db.openTable(TableId::Tunarium));
    Row song;
    ASSERT_TRUE(db.store().fetch(TableId::Tunarium, 1, song).ok());
    EXPECT_EQ(song.number(tun::kReleaseDate), 1977);
    db.closeTable(TableId::Tunarium);
}

TEST_F(PreferencesTest, TheFirstPreferencesOpensTheSetupWizardInstead) {
    QStringList started;
    procedures.add(QString::fromLatin1(procedure::kSetupWizard),
                   [&started](const ProcedureContext&) { started << "SetupWizard"; });
    ASSERT_TRUE(procedures.start(QString::fromLatin1(procedure::kPreferences), context()));
    EXPECT_EQ(started, QStringList({"SetupWizard"}));
    EXPECT_EQ(opened<PreferencesWindow>(), nullptr);

    setting("SetupWizardComplete", "1");
    ASSERT_TRUE(procedures.start(QString::fromLatin1(procedure::kPreferences), context()));
    PreferencesWindow* w = opened<PreferencesWindow>();
    ASSERT_NE(w, nullptr);
    // "Use Setup Wizard" closes the window and runs the wizard.
    w->button("Use Setup Wi&zard")->click();
    EXPECT_EQ(started.size(), 2);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(PreferencesTest, TheWizardStepsThroughItsPagesAndFinishMarksItComplete) {
    setting("AutoAddToAlbums", "0");
    auto* w = new SetupWizardWindow(context());
    QStringList seen{w->pageName()};
    EXPECT_FALSE(w->button("&Back")->isEnabled());
    while (w->button("&Next")->isEnabled()) {
        w->button("&Next")->click();
        seen << w->pageName();
    }
    EXPECT_EQ(seen, QStringList({"Welcome", "Date", "User Defined Key Field", "Start Up", "Done"}));
    w->button("&Back")->click();
    EXPECT_EQ(w->pageName(), "Start Up");
    w->checkBox("Playlists")->setChecked(true);
    w->checkBox("Show tip at startup")->setChecked(false);
    w->udkField()->setText("Crate");
    w->dateList()->setCurrentIndex(dateFormatIndex("d6"));
    w->button("&Finish")->click();
    EXPECT_TRUE(captions().isEmpty()); // d6 is no Year Only: no question
    const auto value = [this](const char* key) {
        return readIni(settingsPath(), u"Settings", QString::fromLatin1(key));
    };
    EXPECT_EQ(value("SetupWizardComplete"), "1");
    EXPECT_EQ(value("AutoAddToAlbums"), "1");
    EXPECT_EQ(value("SU_Playlists"), "1");
    EXPECT_EQ(value("ShowTips"), "0");
    EXPECT_EQ(value("UDKPrompt"), "Crate");
    EXPECT_EQ(value("DateFormat"), "d6");
    EXPECT_TRUE(settings.setupWizardComplete());
    EXPECT_FALSE(w->isVisible());
}

TEST_F(PreferencesTest, ALogoThatIsNoPictureIsRefusedAndTheLogoKept) {
    setting("SetupWizardComplete", "1");
    const QString text = dir.path("../notes.txt");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    const QString picture = dir.path("../logo.png");
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(picture));

    auto* w = new PreferencesWindow(context());
    EXPECT_FALSE(w->takeLogo(text));
    ASSERT_EQ(captions(), QStringList({"Logo"}));
    EXPECT_TRUE(w->field("Logo")->text().isEmpty());
    EXPECT_TRUE(w->takeLogo(picture));
    w->button("&OK")->click();
    EXPECT_EQ(settings.logo(), picture);
}

TEST_F(PreferencesTest, TheCdIntervalIsOneOfItsChoicesOrDoNotCheck) {
    setting("CDTimer", "soon");
    auto* w = new CdPlayerPreferencesWindow(settings);
    EXPECT_EQ(w->choices()->currentText(), "150"); // not a number: the default
    w->choices()->setCurrentIndex(w->choices()->findText("Do Not Check"));
    w->accept();
    EXPECT_EQ(readIni(settingsPath(), u"Settings", u"CDTimer"), "0");
    EXPECT_EQ(settings.cdTimer(), 0);
}

TEST_F(PreferencesTest, CompileInformationShowsTheBuildInTheUsersDateFormat) {
    const QDate built = buildDateTime().date();
    ASSERT_TRUE(built.isValid());
    EXPECT_LE(built, QDate::currentDate());
    const struct {
        const char* picture;
        QString expected;
    } cases[] = {
        {"@d6", built.toString("dd/MM/yyyy")},
        {"@n4b", QString::number(built.year())}, // Year Only shows the year, not a day number
    };
    for (const auto& c : cases) {
        CompileInfoWindow w(c.picture, positions());
        w.setAttribute(Qt::WA_DeleteOnClose, false);
        EXPECT_EQ(w.value("Version"), "1.8i");
        EXPECT_EQ(w.value("Creation Date:"), c.expected) << c.picture;
        EXPECT_FALSE(w.value("Creation Time:").isEmpty());
    }
}

} // namespace
