// The albums browse: its popup greyed on an empty table, the five tabs in their orders, the quick
// locator, the category tabs ranged to the chosen category, the album form started by name with
// the request and album, the delete of an album with its songs when no album form is registered,
// and the last tab kept under AlbumTab.
#include "album_windows_fixture.h"
#include "albums/albums_browse.h"
#include "albums/procedure_names.h"
#include "albums/ui/albums_browse_window.h"
#include "data/ini_file.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

using namespace tunarium;

namespace {

class AlbumsBrowseWindowTest : public test::AlbumWindowsTest {
protected:
    AlbumsBrowseWindow* openBrowse() {
        EXPECT_TRUE(procedures.start(QString::fromLatin1(procedure::kBrowseAlbums), context()));
        settle();
        return opened<AlbumsBrowseWindow>();
    }
    void seedAlbums() {
        addAlbum(1, QStringLiteral("Zappa"), QStringLiteral("Apostrophe"), QStringLiteral("B2"), 2);
        addAlbum(2, QStringLiteral("Adele"), QStringLiteral("Twenty One"), QStringLiteral("A1"), 1);
        addAlbum(3, QStringLiteral("Miles"), QStringLiteral("Kind of Blue"), QStringLiteral("C3"), 2);
        for (qint64 id = 1; id <= 2; ++id) {
            CategoryRecord c{id, id == 1 ? QStringLiteral("Pop") : QStringLiteral("Jazz"), {}};
            ASSERT_TRUE(db->store().insert(c).ok());
        }
    }
    static QStringList column(AlbumsBrowseWindow* w, int c) {
        QStringList out;
        for (int r = 0; r < w->engine().rowCount(); ++r) {
            out << w->engine().cellText(r, c).trimmed();
        }
        return out;
    }
};

TEST_F(AlbumsBrowseWindowTest, AnEmptyTableGreysWhatNeedsAnAlbumAndWhatIsNotThere) {
    AlbumsBrowseWindow* w = openBrowse();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Albums - 0 entries"));
    EXPECT_EQ(w->shownPopupText(), QStringLiteral("&Add|~&Change|~&Delete|~Cop&y|-|Album Wi&zard|-|~&Print|-|"
                                                  "~Create Label...|~Quick CD Insert|-|~&Undo Delete"));
    // The album form is registered: Add opens it; Delete needs an album.
    EXPECT_TRUE(w->button(BrowseAction::Add)->isEnabled());
    EXPECT_FALSE(w->button(BrowseAction::Delete)->isEnabled());
    EXPECT_TRUE(w->wizardButton()->isEnabled());
    EXPECT_FALSE(w->printButton()->isEnabled());
}

TEST_F(AlbumsBrowseWindowTest, TabsShowTheirOrdersAndTheCategoryTabsTheChosenCategory) {
    seedAlbums();
    AlbumsBrowseWindow* w = openBrowse();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Albums - 3 entries"));
    // With albums and the album form registered, the first four entries work.
    EXPECT_TRUE(w->shownPopupText().startsWith(QStringLiteral("&Add|&Change|&Delete|Cop&y|")));
    EXPECT_EQ(column(w, 1), (QStringList{"Apostrophe", "Kind of Blue", "Twenty One"}));
    const struct {
        int tab;
        int column;
        QStringList expected;
    } tabs[] = {{1, 0, {"Adele", "Miles", "Zappa"}},
                {2, 3, {"A1", "B2", "C3"}},
                {0, 1, {"Apostrophe", "Kind of Blue", "Twenty One"}}};
    for (const auto& t : tabs) {
        w->tabBar()->setCurrentIndex(t.tab);
        settle();
        EXPECT_EQ(column(w, t.column), t.expected) << t.tab;
    }

    // The locator on the artist tab.
    w->tabBar()->setCurrentIndex(1);
    settle();
    w->list()->setFocus();
    QTest::keyClicks(w->list(), QStringLiteral("mi"));
    EXPECT_EQ(w->engine().record().text(alb::kArtist), QStringLiteral("Miles"));
    EXPECT_EQ(w->locatorDisplay()->text(), QStringLiteral("mi"));

    w->tabBar()->setCurrentIndex(3);
    settle();
    EXPECT_TRUE(w->selectCategoryButton()->isVisible());
    EXPECT_EQ(w->engine().rowCount(), 0);
    w->setCategory(2);
    EXPECT_EQ(column(w, 1), (QStringList{"Apostrophe", "Kind of Blue"}));
    w->tabBar()->setCurrentIndex(4);
    settle();
    EXPECT_EQ(column(w, 0), (QStringList{"Miles", "Zappa"}));
    w->tabBar()->setCurrentIndex(2);
    settle();
    EXPECT_FALSE(w->selectCategoryButton()->isVisible());

    w->button(BrowseAction::Close)->click();
    settle();
    EXPECT_EQ(readIni(settings.filePath(), QStringLiteral("Settings"), QStringLiteral("AlbumTab")),
              QStringLiteral("3"));
}

TEST_F(AlbumsBrowseWindowTest, DeleteWithoutAnAlbumFormTakesTheAlbumWithItsSongs) {
    seedAlbums();
    addSong(1, 3, QStringLiteral("So What"));
    addSong(2, 3, QStringLiteral("Freddie Freeloader"));
    addSong(3, 1, QStringLiteral("Cosmik Debris"));
    AlbumsBrowseWindow* w = openBrowse();
    ASSERT_NE(w, nullptr);
    w->engine().selectRow(1); // Kind of Blue
    ASSERT_EQ(w->engine().record().number(alb::kAlbumId), 3);
    prompter.answers = {kButtonYes};
    w->button(BrowseAction::Delete)->click();
    settle();
    EXPECT_EQ(column(w, 1), (QStringList{"Apostrophe", "Twenty One"}));
    EXPECT_EQ(songCount(), 1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Albums - 2 entries"));
}

TEST_F(AlbumsBrowseWindowTest, TheAlbumFormIsStartedByNameWithTheRequestAndTheAlbum) {
    seedAlbums();
    QList<AlbumFormCall> calls;
    procedures.add(QString::fromLatin1(procedure::kUpdateAlbum), [&calls](const ProcedureContext& c) {
        calls << albumFormCall(c.argument);
        Row album(TableId::Album);
        c.answer(static_cast<int>(Response::Cancelled), album);
    });
    procedures.add(QString::fromLatin1(procedure::kCreateLabel), [](const ProcedureContext&) {});
    AlbumsBrowseWindow* w = openBrowse();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->button(BrowseAction::Add)->isEnabled());
    EXPECT_EQ(w->shownPopupText(), QStringLiteral("&Add|&Change|&Delete|Cop&y|-|Album Wi&zard|-|~&Print|-|"
                                                  "Create Label...|~Quick CD Insert|-|~&Undo Delete"));
    w->engine().selectRow(2);
    w->button(BrowseAction::Change)->click();
    w->copyButton()->click();
    w->button(BrowseAction::Add)->click();
    settle();
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls[0].request, Request::Change);
    EXPECT_EQ(calls[0].albumId, 2);
    EXPECT_EQ(calls[1].request, Request::Copy);
    EXPECT_EQ(calls[1].albumId, 2);
    EXPECT_EQ(calls[2].request, Request::Insert);
    EXPECT_EQ(calls[2].albumId, 0);
}

} // namespace
