// The song form window driven as a user drives it.
#include "catalogue/ui/song_form_window.h"
#include "support/temp_collection.h"

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

    SongFormWindow* open(int request, const SongRecord& current = {}) {
        auto* form = new SongFormWindow(*db, settings, dir.path("POSITION.INI"), request, current, {}, nullptr,
                                        [this](int response) { responses << response; });
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
    QList<int> responses;
    bool opened = false;
};

} // namespace

TEST_F(SongFormWindowTest, AddingASongThroughTheWindow) {
    QPointer<SongFormWindow> form = open(kRequestInsert);
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
    ASSERT_EQ(responses, QList<int>({kResponseCompleted}));
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
    QPointer<SongFormWindow> form = open(kRequestInsert);
    ASSERT_TRUE(opened);
    EXPECT_EQ(db->store().count(TableId::Tunarium), 1);
    QTest::keyClicks(fieldFor(form, "&Title:"), "Never mind");
    QTest::keyClick(form, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(responses, QList<int>({kResponseCancelled}));
    EXPECT_EQ(db->store().count(TableId::Tunarium), 0);
}

TEST_F(SongFormWindowTest, ARatingOutOfRangeKeepsTheFormOpen) {
    QPointer<SongFormWindow> form = open(kRequestInsert);
    ASSERT_TRUE(opened);
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
    EXPECT_EQ(responses, QList<int>({kResponseCompleted}));
    if (!qEnvironmentVariableIsEmpty("TUNARIUM_SCREENSHOTS")) {
        QPointer<SongFormWindow> shown = open(kRequestInsert);
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
    QPointer<SongFormWindow> form = open(kRequestChange, song);
    ASSERT_TRUE(opened);
    EXPECT_EQ(form->windowTitle(), "Changing Information");
    EXPECT_EQ(fieldFor(form, "T&ime:")->text(), "0:03:45");
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
    open(kRequestDelete, stored);
    EXPECT_FALSE(opened);
    EXPECT_EQ(responses, QList<int>({kResponseCompleted}));
    EXPECT_EQ(db->store().count(TableId::Tunarium), 0);
}
