// The import assignment window driven as a user drives it, and the import command from the file
// dialog to the songs table.
#include "data/app_paths.h"
#include "data/database.h"
#include "data/settings.h"
#include "exchange/ui/import_window.h"
#include "exchange/ui/picture_editor.h"
#include "process/ui/process_window.h"
#include "support/temp_collection.h"
#include "ui/help_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

// Answers the file dialog with the files given, in order, then with a cancel.
class FilePrompter : public RecordingPrompter {
public:
    QString chooseOpenFile(const QString& caption, const QString& directory, const QString& filter) override {
        asked << QStringList{caption, directory, filter};
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QStringList files;
    QList<QStringList> asked;
};

const char kHeaderFile[] = "\"TUN:Artist\",\"TUN:Title\"\n"
                           "\"Abba\",\"Waterloo\"\n"
                           "\"Queen\",\"Bicycle Race\"\n";

class ImportWindowTest : public ::testing::Test {
protected:
    void SetUp() override { caller.show(); }

    QString writeFile(const QString& name, const QByteArray& text) {
        const QString path = dir.path(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }

    // The window on `text`, opened as the import command opens it.
    ImportWindow* open(const QByteArray& text) {
        auto setup = std::make_unique<ImportSetup>();
        EXPECT_EQ(setup->open(writeFile("songs.csv", text)), ImportSetup::OpenResult::Ok);
        window = new ImportWindow(db, prompter, std::move(setup), positionFilePath(dir.dir()), &caller);
        window->setDone([this](std::unique_ptr<ImportProcess> p) {
            ++answers;
            process = std::move(p);
        });
        window->start();
        QApplication::setActiveWindow(window);
        return window;
    }

    static QStringList row(QTreeWidget* list, int r) {
        QStringList texts;
        for (int c = 0; c < list->columnCount(); ++c) {
            texts << list->topLevelItem(r)->text(c);
        }
        return texts;
    }

    // A message as "caption | text | icon".
    static QString said(const PromptMessage& m) {
        return m.caption + " | " + m.text + " | " + QString::number(int(m.icon));
    }

    static int current(QTreeWidget* list) { return list->indexOfTopLevelItem(list->currentItem()); }

    static void choose(QTreeWidget* list, int r) {
        const QRect rect = list->visualItemRect(list->topLevelItem(r));
        ASSERT_TRUE(rect.isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    SongRecord song(qint64 id) {
        SongRecord s;
        EXPECT_TRUE(db.store().get(tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {id}, s).ok());
        return s;
    }

    void TearDown() override { delete window; }

    test::TempCollection dir;
    FilePrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    QWidget caller;
    ImportWindow* window = nullptr;
    std::unique_ptr<ImportProcess> process;
    int answers = 0;
};

TEST_F(ImportWindowTest, OpensOnLineOneWithTheHeaderAssignedByAutoThenWalksTheLines) {
    ImportWindow* w = open(kHeaderFile);
    EXPECT_EQ(w->windowTitle(), "Assign fields for Import...");
    EXPECT_EQ(w->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(w->isVisible());

    ASSERT_EQ(w->fieldList()->topLevelItemCount(), 2);
    EXPECT_EQ(row(w->fieldList(), 0), QStringList({"Field_1", "Alpha-num", "TUN:Artist"}));
    EXPECT_EQ(row(w->fieldList(), 1), QStringList({"Field_2", "Alpha-num", "TUN:Title"}));
    ASSERT_EQ(w->targetList()->topLevelItemCount(), 29);
    EXPECT_EQ(row(w->targetList(), 0), QStringList({"TUN:Artist", "=", "Field_1"}));
    EXPECT_EQ(row(w->targetList(), 1), QStringList({"TUN:Title", "=", "Field_2"}));
    EXPECT_EQ(row(w->targetList(), 2), QStringList({"TUN:Mix", "", ""}));
    EXPECT_TRUE(w->stripHeaderCheck()->isChecked());
    EXPECT_EQ(w->recordNumberLabel()->text(), "1");
    EXPECT_TRUE(w->autoButton()->isEnabled());
    EXPECT_TRUE(w->okButton()->isDefault());
    QTest::mouseClick(w->helpButton(), Qt::LeftButton);
    auto* help = w->findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->currentPage(), "import_export.html");
    help->close();

    // &Next walks the lines, keeping the assignments; A&uto is for line 1 only.
    QTest::mouseClick(w->nextButton(), Qt::LeftButton);
    EXPECT_EQ(w->recordNumberLabel()->text(), "2");
    EXPECT_EQ(row(w->fieldList(), 0)[2], "Abba");
    EXPECT_FALSE(w->autoButton()->isEnabled());
    EXPECT_EQ(row(w->targetList(), 0)[2], "Field_1");

    QTest::mouseClick(w->nextButton(), Qt::LeftButton);
    EXPECT_EQ(row(w->fieldList(), 1)[2], "Bicycle Race");
    EXPECT_TRUE(w->nextButton()->isEnabled());
    QTest::mouseClick(w->nextButton(), Qt::LeftButton); // no fourth line
    EXPECT_FALSE(w->nextButton()->isEnabled());
    EXPECT_EQ(w->recordNumberLabel()->text(), "3");
    EXPECT_EQ(row(w->fieldList(), 0)[2], "Queen");
}

TEST_F(ImportWindowTest, AssignUnassignPictureAndPartnerRows) {
    ImportWindow* w = open("\"Abba\",\"Arrival\",1976\n\"Queen\",\"Jazz\",1978\n");
    EXPECT_FALSE(w->stripHeaderCheck()->isChecked()); // A&uto found no header line
    EXPECT_EQ(row(w->fieldList(), 2)[1], "Numeric");
    QTest::mouseClick(w->stripHeaderCheck(), Qt::LeftButton);
    EXPECT_TRUE(w->setup().stripHeader());
    QTest::mouseClick(w->stripHeaderCheck(), Qt::LeftButton);
    EXPECT_FALSE(w->setup().stripHeader());

    // Field_1 feeds TUN:Artist and TUN:Album; Field_2 feeds TUN:Title.
    choose(w->fieldList(), 0);
    choose(w->targetList(), 0);
    QTest::mouseClick(w->assignButton(), Qt::LeftButton);
    EXPECT_TRUE(w->targetList()->hasFocus());
    choose(w->targetList(), 3);
    QTest::mouseClick(w->assignButton(), Qt::LeftButton);
    choose(w->fieldList(), 1);
    choose(w->targetList(), 1);
    QTest::mouseClick(w->assignButton(), Qt::LeftButton);
    EXPECT_EQ(row(w->targetList(), 3), QStringList({"TUN:Album", "=", "Field_1"}));

    // A target chooses its field and stays chosen itself; a field chooses its first target.
    choose(w->targetList(), 3);
    EXPECT_EQ(current(w->fieldList()), 0);
    EXPECT_EQ(current(w->targetList()), 3);
    choose(w->fieldList(), 1);
    EXPECT_EQ(current(w->targetList()), 1);
    choose(w->fieldList(), 2); // feeds nothing: the target row stays
    EXPECT_EQ(current(w->targetList()), 1);
    choose(w->targetList(), 5); // nothing assigned: the field row stays
    EXPECT_EQ(current(w->fieldList()), 2);

    choose(w->targetList(), 3);
    QTest::mouseClick(w->unassignButton(), Qt::LeftButton);
    EXPECT_EQ(row(w->targetList(), 3), QStringList({"TUN:Album", "", ""}));
    EXPECT_EQ(row(w->targetList(), 0)[2], "Field_1");

    // &Picture edits the chosen field's picture.
    choose(w->fieldList(), 2);
    QTest::mouseClick(w->pictureButton(), Qt::LeftButton);
    auto* editor = w->findChild<PictureEditor*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->entry()->text(), "@N30.9");
    editor->entry()->setText("@d2");
    editor->accept();
    EXPECT_EQ(row(w->fieldList(), 2), QStringList({"Field_3", "@d2", "1976"}));
}

TEST_F(ImportWindowTest, OkWithoutAssignmentsTellsTheUserAndStays) {
    ImportWindow* w = open("Abba,Arrival\n");
    w->targetList()->setFocus();
    QTest::keyClick(w->targetList(), Qt::Key_Return); // Enter is &OK
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(said(prompter.messages[0]),
              "No Fields Selected for Import! | You must select one or more fields to import. | 4");
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->fieldList()->hasFocus());
    EXPECT_EQ(answers, 0);

    QTest::mouseClick(w->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(answers, 1);
    EXPECT_EQ(process, nullptr);
}

TEST_F(ImportWindowTest, TabFollowsTheControlsAndMnemonicsPressButtons) {
    ImportWindow* w = open(kHeaderFile);
    w->fieldList()->setFocus();
    const QList<QWidget*> order = {w->targetList(),       w->nextButton(), w->pictureButton(),
                                   w->assignButton(),     w->autoButton(), w->unassignButton(),
                                   w->stripHeaderCheck(), w->okButton(),   w->cancelButton(),
                                   w->helpButton(),       w->fieldList()};
    for (QWidget* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->metaObject()->className();
    }
    // A mnemonic clicks its button a moment later, as a mouse click would show it.
    QTest::keyClick(w, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([w] { return w->recordNumberLabel()->text() == "2"; }, 2000));
    QTest::keyClick(w, Qt::Key_H, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([w] { return !w->stripHeaderCheck()->isChecked(); }, 2000));
}

TEST_F(ImportWindowTest, OkHandsOverTheRunThatAddsTheSongs) {
    ImportWindow* w = open(kHeaderFile);
    // A place where the whole window is on the screen: a window that would stick out is brought in.
    w->resize(w->minimumSizeHint());
    w->move(60, 90);
    const QPoint place = w->geometry().topLeft();
    QTest::mouseClick(w->okButton(), Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    ASSERT_EQ(answers, 1);
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(runToEnd(*process));
    EXPECT_EQ(process->songsAdded(), 2); // the header line is left out
    process.reset();

    ASSERT_TRUE(db.openTable(TableId::Tunarium));
    EXPECT_EQ(db.store().count(TableId::Tunarium), 2);
    EXPECT_EQ(song(1).artist, "Abba");
    EXPECT_EQ(song(2).title, "Bicycle Race");
    db.closeTable(TableId::Tunarium);

    // The window opens where it was left.
    delete window;
    window = nullptr;
    ImportWindow* again = open(kHeaderFile);
    // Positions are kept in dialog units: a pixel may round away.
    EXPECT_LE((again->geometry().topLeft() - place).manhattanLength(), 2);
}

TEST_F(ImportWindowTest, StartImportAsksAgainAfterAnEmptyFile) {
    setLastExchangeFile({});
    prompter.files = {writeFile("empty.csv", "")};
    startImport(db, prompter, nullptr, &caller);
    ASSERT_EQ(prompter.asked.size(), 2);
    // The first dialog starts in the user's folder, never in the collection directory.
    EXPECT_EQ(prompter.asked[0],
              QStringList({"Import File", fileDialogFolder(), "Import Files|*.CSV|All Files|*.*"}));
    EXPECT_NE(prompter.asked[0][1], dir.dir());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(said(prompter.messages[0]), "Attention! | That file is empty!  Please pick another file. | 4");
    EXPECT_EQ(caller.findChild<ImportWindow*>(), nullptr);

    // A file that cannot be opened ends the import with the reason; the dialog starts where the
    // last file was.
    prompter.messages.clear();
    setLastExchangeFile(dir.path("before/last.csv"));
    prompter.files = {dir.path("missing.csv"), writeFile("other.csv", kHeaderFile)};
    startImport(db, prompter, nullptr, &caller);
    ASSERT_EQ(prompter.asked.size(), 3); // not asked again
    EXPECT_EQ(prompter.asked[2][1], dir.path("before"));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(said(prompter.messages[0]),
              "Cannot OPEN " + dir.path("missing.csv") + " | Error #2 - File Not Found | 1");
    EXPECT_EQ(caller.findChild<ImportWindow*>(), nullptr);
}

TEST_F(ImportWindowTest, StartImportRunsTheImportAndTheAlbumEntries) {
    const QString path = writeFile("songs.csv", "\"TUN:Artist\",\"TUN:Title\",\"TUN:Album\"\n"
                                                "\"Abba\",\"Waterloo\",\"Waterloo\"\n"
                                                "\"Abba\",\"Honey, Honey\",\"Waterloo\"\n");
    prompter.files = {path};
    startImport(db, prompter, nullptr, &caller);
    EXPECT_EQ(lastExchangeFile(), path);
    auto* w = caller.findChild<ImportWindow*>();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    QTest::mouseClick(w->okButton(), Qt::LeftButton);

    // The run's progress window, then the question (answered Yes), then album entries.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return std::any_of(prompter.messages.begin(), prompter.messages.end(),
                               [](const PromptMessage& m) { return m.caption == "Import Complete"; });
        },
        10000));
    ASSERT_TRUE(db.openTable(TableId::Album));
    ASSERT_TRUE(QTest::qWaitFor([&] { return db.store().count(TableId::Album) == 1; }, 10000));
    db.closeTable(TableId::Album);
    const auto progressWindows = [] {
        const QWidgetList all = QApplication::topLevelWidgets();
        return std::count_if(all.begin(), all.end(),
                             [](QWidget* t) { return qobject_cast<ProcessWindow*>(t); });
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return progressWindows() == 0; }, 10000));
    ASSERT_TRUE(db.openTable(TableId::Tunarium));
    EXPECT_EQ(db.store().count(TableId::Tunarium), 2);
    EXPECT_EQ(song(2).title, "Honey, Honey");
    EXPECT_EQ(song(2).albumId, 1);
    db.closeTable(TableId::Tunarium);
}

TEST_F(ImportWindowTest, PlainNamesAreAHeaderAndARunThatAddsNothingSaysSo) {
    // A first line of plain names: assigned, and the box ticked so that it is not a song.
    prompter.files = {writeFile("names.csv", "Artist,Title,Time\n")};
    startImport(db, prompter, nullptr, &caller);
    auto* w = caller.findChild<ImportWindow*>();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(row(w->targetList(), 0), QStringList({"TUN:Artist", "=", "Field_1"}));
    EXPECT_EQ(row(w->targetList(), 11), QStringList({"TUN:Time", "=", "Field_3"}));
    EXPECT_TRUE(w->stripHeaderCheck()->isChecked());

    // The file holds nothing else: the run says that no song was imported, and asks nothing.
    QTest::mouseClick(w->okButton(), Qt::LeftButton);
    const auto told = [&](const char* caption) {
        return std::any_of(prompter.messages.begin(), prompter.messages.end(),
                           [caption](const PromptMessage& m) { return m.caption == caption; });
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return told("No Songs Imported"); }, 10000));
    EXPECT_EQ(
        said(prompter.messages.last()),
        "No Songs Imported | No songs were imported: the file holds no lines after its header record. | 3");
    EXPECT_FALSE(told("Import Complete"));
}

} // namespace
