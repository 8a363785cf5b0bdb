// The File Manager: its rows, which rows an action runs on, the actions on the store, exclusive
// access, the question after an interrupted run, and its window.
#include "data/database.h"
#include "data/ini_file.h"
#include "data/settings.h"
#include "shell/file_manager.h"
#include "shell/ui/file_manager_window.h"
#include "shell_fixture.h"
#include "ui/dialog_units.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTreeWidget>

#include <sys/file.h>
#include <unistd.h>

using namespace tunarium;

namespace {

class FileManagerTest : public test::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        seed(4, 2);
    }

    QStringList column(int which) const {
        QStringList values;
        for (const FileManagerRow& r : manager.rows()) {
            values << (which == 0 ? r.table : r.records);
        }
        return values;
    }

    // Another running copy of the program has the collection open: its marker, under our parent's
    // number, held locked as long as the test runs.
    void anotherCopyOpen() {
        otherCopy.setFileName(QDir(dir.dir()).filePath(QStringLiteral("tunarium.db.session-%1").arg(::getppid())));
        ASSERT_TRUE(otherCopy.open(QIODevice::WriteOnly));
        ASSERT_EQ(::flock(otherCopy.handle(), LOCK_EX), 0);
    }

    QFile otherCopy;

    Database db{prompter, dir.dir(), profile()};
    FileManager manager{db, profile()};
};

TEST_F(FileManagerTest, ListsEveryTableAndTheEventLogSortedByTable) {
    EXPECT_EQ(column(0), QStringList({"AddWizard", "Album", "Categories", "EventLog", "Fonts", "Labels",
                                      "Media", "PlaylistDetails", "PlaylistMaster", "SavedSearches", "TNRTips",
                                      "Tunarium"}));
    // The counts kept by the store show at once; the event log is no table and is counted by Info.
    EXPECT_EQ(column(1), QStringList({"0", "0", "0", "?", "0", "0", "0", "0", "0", "0", "0", "0"}));
}

TEST_F(FileManagerTest, ActionRunsOnTheTaggedRowsOrElseTheHighlightedOne) {
    EXPECT_EQ(manager.targets(4), QVector<int>({4}));
    EXPECT_TRUE(manager.targets(-1).isEmpty());
    manager.setTagged(10, true);
    manager.setTagged(1, true);
    EXPECT_EQ(manager.targets(4), QVector<int>({1, 10}));
    manager.tagAll();
    EXPECT_EQ(manager.targets(4).size(), 12);
    manager.untagAll();
    EXPECT_EQ(manager.targets(2), QVector<int>({2}));
}

// Each action fills the rows' counts and files; each but Info ends with one message saying what
// the run did to its tables.
TEST_F(FileManagerTest, ActionsFillRecordsAndFileAndSayOnceWhatTheyDid) {
    struct Case {
        MaintenanceAction action;
        const char* caption;
        const char* begins;
    };
    const Case cases[] = {
        {MaintenanceAction::Info, "", ""},
        {MaintenanceAction::Build, "Build", "The keys of Album and Tunarium were rebuilt."},
        {MaintenanceAction::Pack, "Pack", "Album and Tunarium were packed: the collection file was "},
        {MaintenanceAction::Release, "Release", "The held records of Album and Tunarium were released"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(actionCaption(c.action).toStdString());
        prompter.messages.clear();
        const int album = manager.rowOf("Album");
        const int songs = manager.rowOf("Tunarium");
        MaintenanceProcess process(manager, c.action, {album, songs});
        ASSERT_TRUE(runToEnd(process));
        EXPECT_EQ(manager.rows()[album].records, "2");
        EXPECT_EQ(manager.rows()[songs].records, "4");
        EXPECT_EQ(manager.rows()[songs].file, collectionFilePath(dir.dir()));
        EXPECT_EQ(db.openCount(TableId::Album), 0);
        if (QByteArray(c.caption).isEmpty()) {
            EXPECT_TRUE(prompter.messages.isEmpty());
            continue;
        }
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_EQ(prompter.messages[0].caption, c.caption);
        EXPECT_TRUE(prompter.messages[0].text.startsWith(c.begins)) << qPrintable(prompter.messages[0].text);
    }
}

TEST_F(FileManagerTest, EventLogRowHasNoActions) {
    const int log = manager.rowOf("EventLog");
    for (MaintenanceAction action :
         {MaintenanceAction::Build, MaintenanceAction::Fix, MaintenanceAction::Info}) {
        manager.run(action, log);
    }
    EXPECT_EQ(manager.rows()[log].records, "?");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(FileManagerTest, ExclusiveActionsSkipEveryTableWhileAnotherCopyHasTheCollection) {
    anotherCopyOpen();
    const int album = manager.rowOf("Album");
    const int songs = manager.rowOf("Tunarium");
    const QString before = manager.rows()[album].records;
    MaintenanceProcess build(manager, MaintenanceAction::Build, {album, songs});
    ASSERT_TRUE(runToEnd(build));
    // The tables share one file: the user is told once, and no table was built.
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "File Access Error");
    EXPECT_EQ(prompter.messages[0].text,
              "This option requires exclusive file access.\nPlease ensure no other users are in the system.");
    EXPECT_EQ(manager.rows()[album].records, before);

    manager.run(MaintenanceAction::Info, album);
    EXPECT_EQ(manager.rows()[album].records, "2");
}

TEST_F(FileManagerTest, ProgressShowsTheCurrentFileAndTheFilesLeft) {
    MaintenanceProcess process(manager, MaintenanceAction::Info,
                               {manager.rowOf("Album"), manager.rowOf("Media")});
    EXPECT_EQ(process.title(), "Info");
    EXPECT_EQ(process.currentFileText(), "Current File : Album");
    EXPECT_EQ(process.filesLeftText(), "Files Left     : 2");
    ASSERT_TRUE(process.start());
    process.step(1);
    EXPECT_EQ(process.message(), "Current File : Media");
    EXPECT_EQ(process.statusText(), "Files Left     : 1");
}

TEST_F(FileManagerTest, FixOnASoundCollectionSaysSo) {
    manager.run(MaintenanceAction::Fix, manager.rowOf("Album"));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "No damage was found in Album.");
    EXPECT_FALSE(manager.lastRepair().has_value());
}

TEST_F(FileManagerTest, FixRebuildsKeysThatAreOutOfStep) {
    ASSERT_TRUE(db.openTable(TableId::Tunarium));
    // A folded key column that no longer matches its text: the store's check finds it.
    ASSERT_TRUE(db.store().exec("UPDATE \"Tunarium\" SET \"ArtistKey\" = 'zzz' WHERE \"_rec\" = 1").ok());
    db.closeTable(TableId::Tunarium);
    manager.run(MaintenanceAction::Fix, manager.rowOf("Tunarium"));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "The keys of Tunarium were rebuilt.");
    EXPECT_TRUE(db.store().checkKeys(TableId::Tunarium).ok());
}

TEST_F(FileManagerTest, BadFileQuestion) {
    EXPECT_FALSE(manager.askAboutBadFile()); // no flag: no question
    EXPECT_TRUE(prompter.messages.isEmpty());

    writeBadFile("tnralbum", profile());
    prompter.answers = {kButtonNo};
    EXPECT_FALSE(manager.askAboutBadFile());
    EXPECT_EQ(readBadFile(profile()), "tnralbum");

    prompter.answers = {kButtonYes};
    EXPECT_TRUE(manager.askAboutBadFile());
    EXPECT_TRUE(readBadFile(profile()).isEmpty());
    EXPECT_EQ(prompter.messages.last().text, "No damage was found in Album.");
}

TEST_F(FileManagerTest, InfoOnATableItCannotReadSaysSoWithItsOwnMessage) {
    ASSERT_TRUE(db.openTable(TableId::Fonts));
    db.closeTable(TableId::Fonts);
    ASSERT_TRUE(db.store().exec("DROP TABLE \"Fonts\"").ok());
    db.store().close(); // as a file found without the table
    const int fonts = manager.rowOf("Fonts");
    manager.run(MaintenanceAction::Info, fonts);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "Error opening file : Fonts Error : File Not Found");
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Stop);
    EXPECT_EQ(prompter.messages[0].buttons, kButtonAbort | kButtonIgnore);
    EXPECT_EQ(manager.rows()[fonts].records, "?");
    EXPECT_FALSE(db.halted()); // Ignore, the default, goes on

    // Info creates nothing to count it: the other tables are still counted, and the missing one
    // is still missing.
    manager.run(MaintenanceAction::Info, manager.rowOf("Album"));
    EXPECT_EQ(manager.rows()[manager.rowOf("Album")].records, "2");
    EXPECT_EQ(db.store().tableState(TableId::Fonts), TableState::Missing);

    prompter.answers = {kButtonAbort};
    manager.run(MaintenanceAction::Info, fonts);
    EXPECT_TRUE(db.halted());
    EXPECT_EQ(prompter.haltText, "Error opening file : Fonts Error : File Not Found");
}

TEST_F(FileManagerTest, InfoWithoutACollectionMakesNone) {
    test::TempCollection empty;
    Database none(prompter, empty.dir(), profile());
    FileManager onNothing(none, profile());
    onNothing.run(MaintenanceAction::Info, onNothing.rowOf("Tunarium"));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "Error opening file : Tunarium Error : File Not Found");
    EXPECT_FALSE(QFile::exists(collectionFilePath(empty.dir())));
}

TEST_F(FileManagerTest, TheWindowKeepsItsListLayout) {
    const QString original = "16C|M~~@s2@70L(2)|M~Table~@s50@40R(2)|M~Records~@s10@200L(2)|M~File~@s144@";
    int widened = 0;
    QString widenedUnits;
    {
        FileManagerWindow window(db, profile());
        window.show();
        EXPECT_EQ(window.currentLayout(), original);
        widened = window.list()->columnWidth(1) * 2;
        window.list()->setColumnWidth(1, widened);
        widenedUnits = QString::number(DialogUnits(window.list()).toUnitsX(widened));
        window.close();
    }
    EXPECT_EQ(readIni(positions(), u"FileManager", u"SRCFOriginal?ListQueue"), original);
    const QString saved = readIni(positions(), u"FileManager", u"SRCF?ListQueue");
    EXPECT_TRUE(saved.startsWith("16C|M~~@s2@" + widenedUnits + "L(2)|M~Table~")) << saved.toStdString();
    EXPECT_TRUE(saved.endsWith("200L(2)|M~File~@s144@")) << "the last column keeps its own width";
    FileManagerWindow again(db, profile());
    EXPECT_NEAR(again.list()->columnWidth(1), widened, 2);
}

} // namespace
