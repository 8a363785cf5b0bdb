// The song form window driven as a user drives it.
#include "catalogue/ui/song_form_window.h"
#include "support/temp_collection.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class SongFormWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        ASSERT_TRUE(db->openTable(TableId::Media));
        ASSERT_TRUE(db->openTable(TableId::Tunarium));
        MediaRecord cd{"CD", {}};
        ASSERT_TRUE(db->store().insert(cd).ok());
        settings = Settings::load(dir.configDir() + "/Tunar98.INI");
    }

    SongFormWindow* open(Request request, const SongRecord& current = {}) {
        auto* form = new SongFormWindow(*db, settings, dir.path("POSITION.INI"), request, current, {},
                                        nullptr, [this](Response response) { responses << response; });
        opened = form->start(nullptr);
        return form;
    }

    QLineEdit* fieldFor(QWidget* form, const QString& prompt) {
        for (QLabel* l : form->findChildren<QLabel*>()) {
            if (l->text() == prompt) {
                return qobject_cast<QLineEdit*>(l->buddy());
            }
        }
        return nullptr;
    }

    QPushButton* button(QWidget* form, const QString& text) {
        for (QPushButton* b : form->findChildren<QPushButton*>()) {
            if (b->text() == text) {
                return b;
            }
        }
        return nullptr;
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
    Settings settings;
    QList<Response> responses;
    bool opened = false;
};

} // namespace

TEST_F(SongFormWindowTest, AddingASongThroughTheWindow) {
    QPointer<SongFormWindow> form = open(Request::Insert);
    ASSERT_TRUE(opened);
    EXPECT_EQ(form->windowTitle(), "Adding Information");
    auto* tabs = form->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    QStringList tabNames;
    for (int i = 0; i < tabs->count(); ++i) {
        tabNames << tabs->tabText(i);
    }
    EXPECT_EQ(tabNames, QStringList({"&General", "Recording/Performance", "Custom", "&Notes"}));
    EXPECT_FALSE(button(form, "Default with Album Information")->isEnabled());
    fieldFor(form, "&Artist:")->insert("Björk"); // typed keys are ASCII only in QTest
    QTest::keyClicks(fieldFor(form, "&Title:"), "Hyperballad");
    QTest::keyClicks(fieldFor(form, "T&ime:"), "5:21");
    QTest::keyClicks(fieldFor(form, "Rating:"), "9");
    auto* category = form->findChildren<QComboBox*>().at(1);
    category->setEditText("Electronic");
    prompter.answers << kButtonYes; // "Add new category?"
    QTest::mouseClick(button(form, "&OK"), Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_EQ(responses, QList<Response>({Response::Completed}));
    SongRecord stored;
    ASSERT_TRUE(db->store().get(tableDef(TableId::Tunarium).primaryKey, {qint64(1)}, stored).ok());
    EXPECT_EQ(stored.artist, "Björk");
    EXPECT_EQ(stored.title, "Hyperballad");
    EXPECT_EQ(stored.time, 32101); // typed as minutes and seconds
    EXPECT_EQ(stored.rating, 9);
    EXPECT_EQ(stored.media, "CD");
    EXPECT_EQ(stored.categoryId, 1);
    EXPECT_EQ(db->store().count(TableId::Categories), 1);
}

TEST_F(SongFormWindowTest, EscapeCancelsAnAddAndLeavesNothing) {
    QPointer<SongFormWindow> form = open(Request::Insert);
    ASSERT_TRUE(opened);
    EXPECT_EQ(db->store().count(TableId::Tunarium), 1);
    QTest::keyClicks(fieldFor(form, "&Title:"), "Never mind");
    QTest::keyClick(form, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(responses, QList<Response>({Response::Cancelled}));
    EXPECT_EQ(db->store().count(TableId::Tunarium), 0);
}

TEST_F(SongFormWindowTest, ARatingOutOfRangeKeepsTheFormOpen) {
    QPointer<SongFormWindow> form = open(Request::Insert);
    ASSERT_TRUE(opened);
    QTest::keyClicks(fieldFor(form, "&Title:"), "Rated");
    QLineEdit* rating = fieldFor(form, "Rating:");
    QTest::keyClicks(rating, "11");
    QTest::mouseClick(button(form, "&OK"), Qt::LeftButton);
    EXPECT_TRUE(responses.isEmpty());
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_EQ(prompter.messages.last().text, "The value of Rating must be between 0 and 10.");
    rating->clear();
    QTest::keyClicks(rating, "10");
    QTest::mouseClick(button(form, "&OK"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(responses, QList<Response>({Response::Completed}));
    if (!qEnvironmentVariableIsEmpty("TUNARIUM_SCREENSHOTS")) {
        QPointer<SongFormWindow> shown = open(Request::Insert);
        shown->resize(760, 480);
        shown->grab().save(qEnvironmentVariable("TUNARIUM_SCREENSHOTS") + "/song_form.png");
        shown->close();
    }
}

TEST_F(SongFormWindowTest, ChangingShowsTheSongAndDeleteNeedsNoWindow) {
    SongRecord song;
    song.id = 1;
    song.title = "Old title";
    song.media = "CD";
    song.time = 22501;
    ASSERT_TRUE(db->store().insert(song).ok());
    QPointer<SongFormWindow> form = open(Request::Change, song);
    ASSERT_TRUE(opened);
    EXPECT_EQ(form->windowTitle(), "Changing Information");
    EXPECT_EQ(fieldFor(form, "T&ime:")->text(), "3:45");
    QLineEdit* title = fieldFor(form, "&Title:");
    EXPECT_EQ(title->text(), "Old title");
    title->setText("New title");
    QTest::mouseClick(button(form, "&OK"), Qt::LeftButton);
    QCoreApplication::processEvents();
    SongRecord stored;
    ASSERT_TRUE(db->store().get(tableDef(TableId::Tunarium).primaryKey, {qint64(1)}, stored).ok());
    EXPECT_EQ(stored.title, "New title");
    EXPECT_EQ(stored.time, 22501);

    prompter.answers << kButtonOk; // "Confirm Delete"
    responses.clear();
    open(Request::Delete, stored);
    EXPECT_FALSE(opened);
    EXPECT_EQ(responses, QList<Response>({Response::Completed}));
    EXPECT_EQ(db->store().count(TableId::Tunarium), 0);
}

namespace {

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

} // namespace

TEST_F(SongFormWindowTest, EachCheckRunsWhenTheUserLeavesItsField) {
    QPointer<SongFormWindow> form = open(Request::Insert);
    ASSERT_TRUE(opened);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QLineEdit* time = fieldFor(form, "T&ime:");
    time->setFocus();
    QTest::keyClicks(time, "3:45");
    QTest::keyClick(time, Qt::Key_Tab);
    EXPECT_EQ(time->text(), "3:45") << "shown as minutes and seconds as soon as the field is left";

    QLineEdit* rating = fieldFor(form, "Rating:");
    rating->setFocus();
    QTest::keyClicks(rating, "11");
    QTest::keyClick(rating, Qt::Key_Tab);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Range Error");
    EXPECT_EQ(prompter.messages[0].text, "The value of Rating must be between 0 and 10.");
    settle();
    EXPECT_EQ(QApplication::focusWidget(), rating) << "the field keeps the focus";
    rating->setText("7");
    QTest::keyClick(rating, Qt::Key_Tab);
    EXPECT_EQ(prompter.messages.size(), 1);
    // Leaving a field unchanged checks nothing.
    fieldFor(form, "Track &Number:")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(prompter.messages.size(), 1);

    auto* category = form->findChildren<QComboBox*>().at(1);
    category->setFocus();
    category->setEditText("Northern Soul");
    prompter.answers << kButtonNo; // "Add new category?": No keeps the field
    QTest::keyClick(category, Qt::Key_Tab);
    ASSERT_EQ(prompter.messages.size(), 2) << "asked once";
    EXPECT_EQ(prompter.messages[1].caption, "Category not found");
    settle();
    EXPECT_TRUE(category->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == category);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // asked again, answered Yes
    ASSERT_EQ(prompter.messages.size(), 3);
    CategoryRecord made;
    EXPECT_TRUE(db->store()
                    .get(tableDef(TableId::Categories).keyIndex(u"KeyCategory"), {"Northern Soul"}, made)
                    .ok());
    EXPECT_GE(category->findText("Northern Soul"), 0);

    // Enter in a field presses OK, which checks every field again and saves.
    QTest::keyClicks(fieldFor(form, "&Title:"), "Reach out");
    QTest::keyClick(fieldFor(form, "&Title:"), Qt::Key_Return);
    settle();
    EXPECT_EQ(responses, QList<Response>({Response::Completed}));
    SongRecord saved;
    ASSERT_TRUE(db->store().get(tableDef(TableId::Tunarium).primaryKey, {qint64(1)}, saved).ok());
    EXPECT_EQ(saved.time, 22501);
    EXPECT_EQ(saved.rating, 7);
    EXPECT_EQ(saved.categoryId, made.categoryId);
}

TEST_F(SongFormWindowTest, TheCategoryIsReadAgainWhenTheFormIsResized) {
    ASSERT_TRUE(db->openTable(TableId::Categories));
    CategoryRecord soul{4, "Soul", {}};
    ASSERT_TRUE(db->store().insert(soul).ok());
    SongRecord song;
    song.id = 1;
    song.title = "Reach out";
    song.media = "CD";
    song.categoryId = 4;
    ASSERT_TRUE(db->store().insert(song).ok());
    QPointer<SongFormWindow> form = open(Request::Change, song);
    ASSERT_TRUE(opened);
    auto* category = form->findChildren<QComboBox*>().at(1);
    EXPECT_EQ(category->currentText(), "Soul");
    soul.category = "Motown"; // renamed in another window
    ASSERT_TRUE(db->store().update(soul).ok());
    form->resize(form->width() + 40, form->height());
    settle();
    EXPECT_EQ(category->currentText(), "Motown");
    db->closeTable(TableId::Categories);
}
