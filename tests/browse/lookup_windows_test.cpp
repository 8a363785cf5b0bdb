// The categories and media browses and forms driven as a user drives them.
#include "browse_fixture.h"

#include "catalogue/ui/picture_edit.h"
#include "data/ini_file.h"
#include "shell/media_seeding.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QScrollBar>

using namespace tunarium;
using namespace tunarium::test;

namespace {

class LookupWindowsTest : public BrowseTest {
protected:
    LookupBrowseWindow* categories() { return openBrowseCategories(*db, positions(), area.get()); }
    LookupBrowseWindow* media() { return openBrowseMedia(*db, positions(), area.get()); }

    // Presses Insert on the list and saves `name` in the form that opens.
    void insertThroughForm(LookupBrowseWindow* browse, const QString& name) {
        key(browse, Qt::Key_Insert);
        LookupFormWindow* form = browse->openedForm();
        ASSERT_NE(form, nullptr);
        form->nameField()->setText(name);
        form->accept();
        settle();
    }

    qint64 categoryId(const QString& name) {
        CategoryRecord c;
        const int byName = tableDef(TableId::Categories).keyIndex(u"KeyCategory");
        return db->store().get(byName, {name}, c).ok() ? c.categoryId : -1;
    }
};

TEST_F(LookupWindowsTest, TheTwelveBuiltInMediaShowInNameOrder) {
    ASSERT_EQ(seedMedia(db->store()), 12);
    QPointer<LookupBrowseWindow> browse = media();
    ASSERT_TRUE(browse);
    browse->parentWidget()->resize(420, 560);
    settle();
    EXPECT_EQ(browse->windowTitle(), "Browse Media Formats");
    EXPECT_EQ(shown(browse), QStringList({"7\" Single", "Cassette (DBX)", "Cassette (Dolby B)",
                                          "Cassette (Dolby C)", "Cassette (Dolby S)", "Cassette (HX Pro)",
                                          "Cassette (Prerecorde", "CD", "CD Single", "EP", "LP", "Other"}));
    // All of them fit: no thumb. The window at its smallest holds fewer lines and shows it.
    EXPECT_FALSE(browse->thumbBar()->isVisibleTo(browse));
    browse->parentWidget()->resize(browse->minimumSize());
    settle();
    EXPECT_LT(shown(browse).size(), 12);
    EXPECT_TRUE(browse->thumbBar()->isVisibleTo(browse));
    screenshot(browse, "browse_media");
}

TEST_F(LookupWindowsTest, AnEmptyTableOnlyTakesInsert) {
    QPointer<LookupBrowseWindow> browse = categories();
    ASSERT_TRUE(browse);
    EXPECT_EQ(browse->windowTitle(), "Categories");
    EXPECT_TRUE(shown(browse).isEmpty());
    EXPECT_FALSE(browse->button(BrowseAction::Change)->isEnabled());
    EXPECT_FALSE(browse->button(BrowseAction::Delete)->isEnabled());
    EXPECT_EQ(browse->popupText(), "&Insert|~&Change|~&Delete|-|~&Select");
    EXPECT_FALSE(browse->toolbarEnabled(ToolbarButtonId::Change));
    EXPECT_TRUE(browse->toolbarEnabled(ToolbarButtonId::Insert));
    EXPECT_FALSE(browse->toolbarEnabled(ToolbarButtonId::History));
    for (Qt::Key k : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Space, Qt::Key_A}) {
        key(browse, k);
    }
    key(browse, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(browse->openedForm(), nullptr);

    // Insert numbers and adds the category before the form shows; Esc takes it away again.
    key(browse, Qt::Key_Insert);
    QPointer<LookupFormWindow> form = browse->openedForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowTitle(), "Add Category");
    EXPECT_EQ(form->record().number(0), 1);
    EXPECT_EQ(db->store().count(TableId::Categories), 1);
    EXPECT_FALSE(browse->isEnabled());
    screenshot(form, "update_categories");
    QTest::keyClick(form->nameField(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(form);
    EXPECT_EQ(db->store().count(TableId::Categories), 0);
    EXPECT_TRUE(browse->isEnabled());
    EXPECT_TRUE(shown(browse).isEmpty());
}

TEST_F(LookupWindowsTest, CategoriesAreNumberedAndTheSelectionFollowsAddAndDelete) {
    QPointer<LookupBrowseWindow> browse = categories();
    ASSERT_TRUE(browse);
    insertThroughForm(browse, "Rock");
    insertThroughForm(browse, "Blues");
    insertThroughForm(browse, "Jazz");
    EXPECT_EQ(shown(browse), QStringList({"Blues", "Jazz", "Rock"}));
    EXPECT_EQ(selectedText(browse), "Jazz"); // the new record, where its name puts it
    EXPECT_EQ(categoryId("Rock"), 1);
    EXPECT_EQ(categoryId("Jazz"), 3);

    // Deleting the highest number selects the row that took its place; the next add reuses it.
    prompter.answers = {kButtonOk};
    key(browse, Qt::Key_Delete);
    settle();
    EXPECT_EQ(prompter.messages.last().caption, "Confirm Delete");
    EXPECT_EQ(shown(browse), QStringList({"Blues", "Rock"}));
    EXPECT_EQ(selectedText(browse), "Rock");
    insertThroughForm(browse, "Soul");
    EXPECT_EQ(categoryId("Soul"), 3);
    EXPECT_EQ(selectedText(browse), "Soul");
    EXPECT_TRUE(browse->button(BrowseAction::Change)->isEnabled());
    EXPECT_EQ(browse->popupText(), "&Insert|&Change|&Delete|-|~&Select");
}

TEST_F(LookupWindowsTest, ADoubleClickChangesUnlessTheBrowseIsASelectionList) {
    addMedia("CD");
    addMedia("LP");
    QPointer<LookupBrowseWindow> browse = media();
    ASSERT_TRUE(browse);
    EXPECT_FALSE(browse->button(BrowseAction::Select)->isVisibleTo(browse));
    doubleClickRow(browse, 1);
    QPointer<LookupFormWindow> form = browse->openedForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowTitle(), "Changing Media Format");
    EXPECT_EQ(form->nameField()->text(), "LP");
    form->nameField()->setText("Vinyl LP");
    form->accept();
    settle();
    EXPECT_EQ(shown(browse), QStringList({"CD", "Vinyl LP"}));
    EXPECT_EQ(selectedText(browse), "Vinyl LP");
}

TEST_F(LookupWindowsTest, ASelectionListOpensOnTheCallersValueAndAnswersWithTheChosenRecord) {
    for (int i = 1; i <= 40; ++i) {
        addCategory(i, QStringLiteral("Style %1").arg(i, 2, 10, QChar(u'0')));
    }
    QWidget caller;
    caller.show();
    bool answered = false;
    CategoryRecord chosen;
    CategoryRecord current;
    current.category = "Style 27";
    QPointer<LookupBrowseWindow> browse = selectCategory(*db, positions(), area.get(), &caller, current,
                                                         [&](bool completed, const CategoryRecord& c) {
                                                             answered = completed;
                                                             chosen = c;
                                                         });
    ASSERT_TRUE(browse);
    EXPECT_FALSE(caller.isEnabled());
    EXPECT_EQ(selectedText(browse), "Style 27");
    QPushButton* select = browse->button(BrowseAction::Select);
    EXPECT_TRUE(select->isVisibleTo(browse));
    EXPECT_TRUE(select->isDefault());
    EXPECT_TRUE(select->isEnabled());
    EXPECT_EQ(browse->popupText(), "&Insert|&Change|&Delete|-|&Select");
    screenshot(browse, "select_category");

    key(browse, Qt::Key_Down);
    doubleClickRow(browse, browse->engine().selectedIndex());
    settle();
    EXPECT_FALSE(browse);
    EXPECT_TRUE(answered);
    EXPECT_EQ(chosen.category, "Style 28");
    EXPECT_EQ(chosen.categoryId, 28);
    EXPECT_TRUE(caller.isEnabled());
}

TEST_F(LookupWindowsTest, ClosingASelectionListAnswersCancelled) {
    addMedia("CD");
    bool called = false;
    bool completed = true;
    QPointer<LookupBrowseWindow> browse =
        selectMedia(*db, positions(), area.get(), nullptr, {}, [&](bool done, const MediaRecord&) {
            called = true;
            completed = done;
        });
    ASSERT_TRUE(browse);
    browse->button(BrowseAction::Close)->click();
    settle();
    EXPECT_TRUE(called);
    EXPECT_FALSE(completed);
}

TEST_F(LookupWindowsTest, StepLocatorAndThumbEnds) {
    const QStringList names = {"Acid",  "Ambient", "Bebop",  "Blues",  "Bossa",  "Cajun",  "Disco",
                               "Dub",   "Emo",     "Folk",   "Funk",   "Gospel", "Grunge", "House",
                               "Indie", "Jazz",    "Jungle", "Latin",  "Metal",  "Motown", "Opera",
                               "Polka", "Punk",    "Rap",    "Reggae", "Rock",   "Salsa",  "Ska",
                               "Soul",  "Swing",   "Techno", "Trance", "Zydeco"};
    for (int i = 0; i < names.size(); ++i) {
        addCategory(i + 1, names[i]);
    }
    QPointer<LookupBrowseWindow> browse = categories();
    ASSERT_TRUE(browse);
    const int lines = browse->engine().lineCount();
    ASSERT_LT(lines, names.size());
    EXPECT_TRUE(browse->thumbBar()->isVisibleTo(browse));

    // Each R steps through the names that begin with it, then starts again at the first.
    QStringList picked;
    for (int i = 0; i < 4; ++i) {
        typeText(browse, "r");
        picked << selectedText(browse);
    }
    EXPECT_EQ(picked, QStringList({"Rap", "Reggae", "Rock", "Rap"}));

    QScrollBar* thumb = browse->thumbBar();
    thumb->setSliderDown(true);
    thumb->setSliderPosition(100);
    thumb->setSliderDown(false);
    EXPECT_EQ(shown(browse), names.mid(names.size() - lines));
    EXPECT_EQ(selectedText(browse), "Zydeco");
    EXPECT_EQ(thumb->value(), 100);
    thumb->setSliderDown(true);
    thumb->setSliderPosition(0);
    thumb->setSliderDown(false);
    EXPECT_EQ(shown(browse), names.mid(0, lines));
    EXPECT_EQ(selectedText(browse), "Acid");
    EXPECT_EQ(thumb->value(), 0);

    // The toolbar's navigation acts on the list.
    browse->toolbarPressed(ToolbarButtonId::LastPage);
    EXPECT_EQ(selectedText(browse), "Zydeco");
    browse->toolbarPressed(ToolbarButtonId::PriorRecord);
    EXPECT_EQ(selectedText(browse), "Trance");
}

TEST_F(LookupWindowsTest, TheHistoryKeyBringsBackTheNameLastSaved) {
    struct Case {
        bool categories;
        Qt::Key historyKey;
    };
    for (const Case& c : {Case{true, Qt::Key_QuoteLeft}, Case{false, Qt::Key_Apostrophe}}) {
        SCOPED_TRACE(c.categories);
        QPointer<LookupBrowseWindow> browse = c.categories ? categories() : media();
        ASSERT_TRUE(browse);
        insertThroughForm(browse, "Northern Soul");
        key(browse, Qt::Key_Insert);
        QPointer<LookupFormWindow> form = browse->openedForm();
        ASSERT_TRUE(form);
        EXPECT_TRUE(form->toolbarEnabled(ToolbarButtonId::History));
        EXPECT_FALSE(form->toolbarEnabled(ToolbarButtonId::NextRecord));
        QTest::keyClick(form->nameField(), c.historyKey); // without Ctrl it is typed
        EXPECT_EQ(form->nameField()->text().size(), 1);
        form->nameField()->clear();
        QTest::keyClick(form->nameField(), c.historyKey, Qt::ControlModifier);
        EXPECT_EQ(form->nameField()->text(), "Northern Soul");
        form->nameField()->clear();
        form->toolbarPressed(ToolbarButtonId::History);
        EXPECT_EQ(form->nameField()->text(), "Northern Soul");
        form->nameField()->setText("Deep Funk");
        form->accept();
        settle();
        EXPECT_EQ(shown(browse), QStringList({"Deep Funk", "Northern Soul"}));
        browse->button(BrowseAction::Close)->click();
        settle();
    }
}

TEST_F(LookupWindowsTest, ADuplicateNameKeepsTheFormOpen) {
    addMedia("CD");
    QPointer<LookupBrowseWindow> browse = media();
    ASSERT_TRUE(browse);
    key(browse, Qt::Key_Insert);
    QPointer<LookupFormWindow> form = browse->openedForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowTitle(), "Adding Media Format");
    form->nameField()->setText("cd");
    form->accept();
    settle();
    ASSERT_TRUE(form);
    EXPECT_EQ(prompter.messages.last().text,
              "Adding this record creates a duplicate entry for the key:MED:KeyMedia");
    QTest::keyClick(form->nameField(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(db->store().count(TableId::Media), 1);
}

// The categories list is the one browse list whose layout is not kept.
TEST_F(LookupWindowsTest, OnlyTheMediaListKeepsItsLayout) {
    addMedia("CD");
    addCategory(1, "Rock");
    for (bool isMedia : {true, false}) {
        QPointer<LookupBrowseWindow> browse = isMedia ? media() : categories();
        ASSERT_TRUE(browse);
        browse->button(BrowseAction::Close)->click();
        settle();
    }
    EXPECT_EQ(readIni(positions(), u"BrowseMedia", u"SRCFOriginal?Browse:1"), kMediaListFormat);
    EXPECT_FALSE(readIni(positions(), u"BrowseMedia", u"SRCF?Browse:1").isEmpty());
    EXPECT_TRUE(readIni(positions(), u"BrowseCategories", u"SRCF?Browse").isEmpty());
    EXPECT_TRUE(readIni(positions(), u"BrowseCategories", u"SRCFOriginal?Browse").isEmpty());
    EXPECT_FALSE(readIni(positions(), u"BrowseCategories", u"Width").isEmpty());
}

} // namespace

namespace {

QMdiSubWindow* frameOf(QWidget* w) {
    return qobject_cast<QMdiSubWindow*>(w->parentWidget());
}

TEST_F(LookupWindowsTest, AfterItsFormTheBrowseIsActiveAndDeleteWorksAtOnce) {
    addCategory(1, "Blues");
    addCategory(2, "Soul");
    // A window opened before the browse, as the songs browse is in the frame.
    QMdiSubWindow* before = area->addSubWindow(new QLineEdit);
    before->show();
    area->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(area.get()));
    QPointer<LookupBrowseWindow> browse = categories();
    ASSERT_TRUE(browse);
    settle();
    ASSERT_EQ(area->activeSubWindow(), frameOf(browse));

    key(browse, Qt::Key_Return, Qt::ControlModifier); // Change
    QPointer<LookupFormWindow> form = browse->openedForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(area->activeSubWindow(), frameOf(form));
    form->nameField()->setText("Blues Rock");
    QTest::keyClick(form->nameField(), Qt::Key_Return); // presses "&OK", the default button
    settle();
    EXPECT_FALSE(form);
    EXPECT_EQ(shown(browse), QStringList({"Blues Rock", "Soul"}));
    EXPECT_EQ(area->activeSubWindow(), frameOf(browse));
    EXPECT_EQ(QApplication::focusWidget(), browse->list());

    prompter.messages.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Confirm Delete");
}

TEST_F(LookupWindowsTest, EnterPressesTheDefaultButtonOfBothForms) {
    for (bool mediaForm : {true, false}) {
        SCOPED_TRACE(mediaForm ? "media" : "category");
        QPointer<LookupBrowseWindow> browse = mediaForm ? media() : categories();
        ASSERT_TRUE(browse);
        key(browse, Qt::Key_Insert);
        QPointer<LookupFormWindow> form = browse->openedForm();
        ASSERT_TRUE(form);
        QTest::keyClicks(form->nameField(), "Acetate");
        QTest::keyClick(form->nameField(), Qt::Key_Enter); // the keypad's Enter as well
        settle();
        EXPECT_FALSE(form);
        EXPECT_EQ(shown(browse), QStringList{"Acetate"});
        frameOf(browse)->close();
        settle();
    }
}

} // namespace
