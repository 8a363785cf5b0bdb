// The songs browse window: tabs, ranges, search and reset, as a user works it.
#include "catalogue/procedure_names.h"
#include "catalogue/songs_browse.h"
#include "catalogue/ui/song_form_window.h"
#include "catalogue/ui/songs_browse_window.h"
#include "support/temp_collection.h"

#include <QApplication>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class SongsBrowseWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(db->openTable(t.id));
        }
        for (const char* m : {"CD", "LP"}) {
            MediaRecord media{m, {}};
            ASSERT_TRUE(db->store().insert(media).ok());
        }
        const char* titles[] = {"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot"};
        for (int i = 0; i < 6; ++i) {
            SongRecord s;
            s.id = i + 1;
            s.artist = i % 2 ? "Odd" : "Even";
            s.title = titles[i];
            s.media = i < 2 ? "LP" : "CD";
            s.fileNumber = QStringLiteral("F%1").arg(i);
            ASSERT_TRUE(db->store().insert(s).ok());
        }
        settings = Settings::load(dir.configDir() + "/Tunar98.INI");
        // Import and export are the exchange's windows: here they only note that they were started.
        for (const char* name : {procedure::kImport, procedure::kExport}) {
            procedures.add(QString::fromLatin1(name), [this, name](const ProcedureContext& context) {
                started << qMakePair(QString::fromLatin1(name), context.caller);
            });
        }
        window = SongsBrowseWindow::openSongs({*db, settings, prompter, nullptr, nullptr, procedures});
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (window) {
            window->close();
            QCoreApplication::processEvents();
        }
    }
    QPushButton* button(const QString& text) {
        for (QPushButton* b : window->findChildren<QPushButton*>()) {
            if (b->text() == text) {
                return b;
            }
        }
        return nullptr;
    }
    QStringList titles() {
        QStringList t;
        for (int r = 0; r < window->engine().rowCount(); ++r) {
            t << window->engine().cellText(r, 1);
        }
        return t;
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
    Settings settings;
    ProcedureRegistry procedures;
    QVector<QPair<QString, QWidget*>> started;
    QPointer<SongsBrowseWindow> window;
};

} // namespace

TEST_F(SongsBrowseWindowTest, OpensOnTheArtistTabWithItsButtons) {
    QTabBar* tabs = window->tabBar();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 9);
    EXPECT_TRUE(tabs->tabText(0).startsWith("By Artist"));
    EXPECT_TRUE(tabs->tabText(7).startsWith("By Custom"));
    EXPECT_TRUE(window->windowTitle().contains("Songs - 6 entries"));
    EXPECT_EQ(titles().first(), "Alpha");
    ASSERT_NE(button("&Print"), nullptr);
    EXPECT_FALSE(button("&Print")->isEnabled());
    for (const char* exchange : {"&Import", "&Export"}) {
        ASSERT_NE(button(exchange), nullptr) << exchange;
        EXPECT_TRUE(button(exchange)->isEnabled()) << exchange;
    }
    EXPECT_TRUE(button("&Search")->isEnabled());
    EXPECT_FALSE(button("Reset Search")->isEnabled());
    EXPECT_TRUE(button("Se&lect Media")->isHidden());
    tabs->setCurrentIndex(3); // By Media
    QCoreApplication::processEvents();
    EXPECT_FALSE(button("Se&lect Media")->isHidden());
    EXPECT_TRUE(button("Se&lect Category")->isHidden());
}

TEST_F(SongsBrowseWindowTest, ASearchStartsAtItsFirstSongAndResetKeepsTheCurrentSong) {
    window->engine().selectRow(4); // Odd, Delta
    window->applySearch("TUN:Artist = 'Odd'");
    EXPECT_EQ(titles(), QStringList({"Bravo", "Delta", "Foxtrot"}));
    EXPECT_EQ(window->engine().selectedIndex(), 0);
    EXPECT_TRUE(button("Reset Search")->isEnabled());
    EXPECT_TRUE(window->windowTitle().contains("Songs - 6 entries"));
    window->engine().selectRow(1); // Delta
    window->resetSearch();
    EXPECT_EQ(titles().size(), 6);
    EXPECT_EQ(window->engine().cellText(window->engine().selectedIndex(), 1), "Delta");
    EXPECT_FALSE(button("Reset Search")->isEnabled());

    window->applySearch("INSTRING('zzz', TUN:Title, 1, 1) <> 0");
    EXPECT_EQ(window->engine().rowCount(), 0);
    EXPECT_FALSE(window->engine().changeEnabled());
    EXPECT_FALSE(button("Cop&y")->isEnabled());

    // A filter that cannot be read is reported and the list runs without it.
    prompter.messages.clear();
    window->applySearch("TUN:NoSuchField = 1");
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_EQ(prompter.messages.last().caption, "View Open Error");
    EXPECT_EQ(window->engine().rowCount(), 6);
}

TEST_F(SongsBrowseWindowTest, TheMediaRangeShowsOneMediaFromItsTop) {
    window->tabBar()->setCurrentIndex(3); // By Media
    QCoreApplication::processEvents();
    window->engine().setRangeValue(kSongsByMedia, {QStringLiteral("lp")});
    window->engine().refresh();
    EXPECT_EQ(titles(), QStringList({"Alpha", "Bravo"}));
    if (!qEnvironmentVariableIsEmpty("TUNARIUM_SCREENSHOTS")) {
        window->resize(1000, 420);
        window->grab().save(qEnvironmentVariable("TUNARIUM_SCREENSHOTS") + "/songs_browse.png");
    }
}

TEST_F(SongsBrowseWindowTest, ImportAndExportStartTheirProceduresOverTheBrowse) {
    button("&Import")->click();
    button("&Export")->click();
    const QVector<QPair<QString, QWidget*>> expected = {{"ImportSongs", window.data()},
                                                        {"ExportSongs", window.data()}};
    EXPECT_EQ(started, expected);

    // Without those procedures in the program the buttons are offered disabled.
    ProcedureRegistry none;
    QPointer<SongsBrowseWindow> bare =
        SongsBrowseWindow::openSongs({*db, settings, prompter, nullptr, nullptr, none});
    ASSERT_NE(bare, nullptr);
    for (QPushButton* b : bare->findChildren<QPushButton*>()) {
        if (b->text() == "&Import" || b->text() == "&Export") {
            EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
        }
    }
    bare->close();
    QCoreApplication::processEvents();
}

TEST_F(SongsBrowseWindowTest, AFormOutlivingItsBrowseAnswersNoOne) {
    // The form a browse opened for a change, still open when the browse goes.
    const QWidgetList before = QApplication::topLevelWidgets();
    window->engine().selectRow(0);
    window->button(BrowseAction::Change)->click();
    QCoreApplication::processEvents();
    QList<QPointer<SongFormWindow>> forms;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* form = dynamic_cast<SongFormWindow*>(w); form && !before.contains(w)) {
            forms << form;
        }
    }
    ASSERT_EQ(forms.size(), 1);
    delete window;
    for (const QPointer<SongFormWindow>& form : forms) {
        ASSERT_TRUE(form);
        QTest::keyClick(form, Qt::Key_Escape);
        delete form;
    }
    QCoreApplication::processEvents();
}
