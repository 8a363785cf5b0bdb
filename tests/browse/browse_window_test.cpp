// The generic browse window over a songs list with two tabs and a typed locator: tabs, the
// locator display, the user's date picture, the column layout, the kept tab, a refresh on focus,
// and Insert on an empty page.
#include "browse_fixture.h"

#include "data/date_time.h"
#include "data/ini_file.h"
#include "ui/dialog_units.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTabBar>

using namespace tunarium;
using namespace tunarium::test;

namespace {

const char kFormat[] = "80L(2)|M~Artist~@s50@80L(2)|M~Title~@s50@40R(2)|M~Released~C(0)@d17b@";

class SongsTestBrowse : public BrowseWindow {
public:
    SongsTestBrowse(Database& db, BrowseOptions options)
        : BrowseWindow(db, definition(), std::move(options), Request::None, nullptr, {}) {
        addButton(BrowseAction::Add, "&Add");
        addButton(BrowseAction::Change, "&Change");
        addButton(BrowseAction::Delete, "&Delete");
        addButton(BrowseAction::Close, "Cl&ose");
    }

    static ListDefinition definition() {
        const TableDef& t = tableDef(TableId::Tunarium);
        ListDefinition d;
        d.table = TableId::Tunarium;
        d.sortOrders = {{t.keyIndex(u"SongsByTitle"), 0, LocatorKind::Typed, {true, false, false, false}},
                        {t.keyIndex(u"SongsByArtist"), 0, LocatorKind::Typed, {true, true, false, false}}};
        d.columns = {recordColumn("Artist", t.fieldIndex(u"Artist"), "@s50"),
                     recordColumn("Title", t.fieldIndex(u"Title"), "@s50"),
                     recordColumn("Released", t.fieldIndex(u"ReleaseDate"), "@d17b")};
        d.titleCaption = "Songs - ";
        d.titleSuffix = " entries";
        return d;
    }

    QVector<Request> forms;

protected:
    void openForm(Request request, const Row& record) override {
        forms << request;
        (void)record;
        engine().formAnswered(Response::Cancelled, {});
    }
};

class BrowseWindowTest : public BrowseTest {
protected:
    void SetUp() override {
        BrowseTest::SetUp();
        ASSERT_TRUE(db->openTable(TableId::Tunarium));
    }

    void addSongs(int count) {
        static const QStringList artists = {"Abba", "Beatles", "Cher", "Doors", "Eagles", "Queen", "Zappa"};
        Transaction tx(db->store());
        for (int i = 1; i <= count; ++i) {
            SongRecord s;
            s.id = i;
            s.artist = artists[i % artists.size()];
            s.title = QStringLiteral("Title %1").arg(i, 3, 10, QChar(u'0'));
            s.releaseDate = 72687 + i; // from 2 January 2000
            ASSERT_TRUE(db->store().insert(s).ok());
        }
        ASSERT_TRUE(tx.commit().ok());
    }

    BrowseOptions options() const {
        BrowseOptions o;
        o.procedure = "BrowseSongs";
        o.positionFile = positions();
        o.designFormat = kFormat;
        o.listName = "?Browse";
        o.datePicture = "@d6";
        o.tabs = {"By Artist", "By Title"};
        o.tabSettingsFile = dir.configDir() + "/Tunar98.INI";
        o.tabSettingKey = "SongTab";
        o.locatorPrompt = "Quick Locator (select list box and type to locate):";
        o.listSize = QSize(300, 130);
        return o;
    }

    SongsTestBrowse* open(BrowseOptions o) {
        auto* browse = new SongsTestBrowse(*db, std::move(o));
        EXPECT_TRUE(browse->open(area.get()));
        return browse;
    }

    static QString selectedTitle(const BrowseWindow* browse) {
        const QModelIndexList rows = browse->list()->selectionModel()->selectedRows(1);
        return rows.isEmpty() ? QString() : rows.first().data().toString();
    }
};

TEST_F(BrowseWindowTest, TheSelectedTabIsMarkedAndSwitchingTabsKeepsTheRecord) {
    addSongs(120);
    QPointer<SongsTestBrowse> browse = open(options());
    ASSERT_TRUE(browse);
    EXPECT_EQ(browse->windowTitle(), "Songs - 120 entries");
    QTabBar* tabs = browse->tabBar();
    EXPECT_EQ(tabs->tabText(0), "By Artist   ");
    EXPECT_EQ(tabs->tabText(1), "By Title");
    EXPECT_EQ(shown(browse).first(), "Abba");

    typeText(browse, "que");
    EXPECT_EQ(browse->locatorDisplay()->text(), "que");
    EXPECT_EQ(selectedText(browse), "Queen");
    key(browse, Qt::Key_Down);
    EXPECT_EQ(browse->locatorDisplay()->text(), ""); // scrolling clears the locator
    const QString title = selectedTitle(browse);

    tabs->setCurrentIndex(1);
    EXPECT_EQ(tabs->tabText(0), "By Artist");
    EXPECT_EQ(tabs->tabText(1), "By Title   ");
    EXPECT_EQ(browse->engine().sortOrder(), 1);
    EXPECT_EQ(selectedTitle(browse), title);
    tabs->setCurrentIndex(0);
    EXPECT_EQ(selectedTitle(browse), title);
    screenshot(browse, "browse_songs_generic");
}

TEST_F(BrowseWindowTest, BackspaceOnAnEmptyLocatorDoesNothing) {
    addSongs(60);
    QPointer<SongsTestBrowse> browse = open(options());
    ASSERT_TRUE(browse);
    key(browse, Qt::Key_Down);
    key(browse, Qt::Key_Down);
    const QStringList page = shown(browse);
    const QString title = selectedTitle(browse);
    key(browse, Qt::Key_Backspace);
    EXPECT_EQ(shown(browse), page);
    EXPECT_EQ(selectedTitle(browse), title);
    typeText(browse, "d");
    EXPECT_EQ(selectedText(browse), "Doors");
    key(browse, Qt::Key_Backspace);
    EXPECT_EQ(browse->locatorDisplay()->text(), "");
}

TEST_F(BrowseWindowTest, DatesShowInTheUsersPicture) {
    addSongs(3);
    QPointer<SongsTestBrowse> browse = open(options());
    ASSERT_TRUE(browse);
    const QAbstractItemModel* model = browse->list()->model();
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Released");
    QStringList dates;
    for (int r = 0; r < model->rowCount(); ++r) {
        dates << model->index(r, 2).data().toString();
    }
    dates.sort();
    EXPECT_EQ(dates, QStringList({"02/01/2000", "03/01/2000", "04/01/2000"}));
    // The design is kept with its own date pictures: a change of date format is no new design.
    EXPECT_EQ(readIni(positions(), u"BrowseSongs", u"SRCFOriginal?Browse"), QString::fromLatin1(kFormat));
}

TEST_F(BrowseWindowTest, TheColumnLayoutAndTabAreKeptForTheNextOpening) {
    addSongs(20);
    QPointer<SongsTestBrowse> browse = open(options());
    ASSERT_TRUE(browse);
    QHeaderView* header = browse->list()->horizontalHeader();
    const int first = header->sectionSize(0);
    header->resizeSection(0, first * 2);
    const QString width = QString::number(DialogUnits(browse->list()).toUnitsX(first * 2));
    browse->tabBar()->setCurrentIndex(1);
    browse->button(BrowseAction::Close)->click();
    settle();
    ASSERT_FALSE(browse);
    const QString saved = readIni(positions(), u"BrowseSongs", u"SRCF?Browse");
    EXPECT_TRUE(saved.startsWith(width + "L(2)|M~Artist~")) << saved.toStdString();
    EXPECT_EQ(readIni(dir.configDir() + "/Tunar98.INI", u"Settings", u"SongTab"), "2");

    BrowseOptions again = options();
    again.tab = 1;
    browse = open(again);
    ASSERT_TRUE(browse);
    EXPECT_NEAR(browse->list()->horizontalHeader()->sectionSize(0), first * 2, 2);
    EXPECT_EQ(browse->engine().sortOrder(), 1);
}

TEST_F(BrowseWindowTest, AColumnDraggedToAnotherPlaceStaysThereWithItsWidth) {
    addSongs(5);
    QPointer<SongsTestBrowse> browse = open(options());
    ASSERT_TRUE(browse);
    QHeaderView* header = browse->list()->horizontalHeader();
    EXPECT_TRUE(header->sectionsMovable());
    const int titleWidth = header->sectionSize(1) + 30;
    header->resizeSection(1, titleWidth);
    header->moveSection(1, 0); // the Title column dragged before the Artist column
    const QAbstractItemModel* model = browse->list()->model();
    const auto shown = [&] {
        QStringList columns;
        for (int c = 0; c < model->columnCount(); ++c) {
            columns << model->headerData(header->logicalIndex(c), Qt::Horizontal).toString();
        }
        return columns;
    };
    EXPECT_EQ(shown(), QStringList({"Title", "Artist", "Released"}));
    EXPECT_TRUE(model->index(0, 0).data().toString().startsWith("Title "));
    // At least the width it was given: a list wider than its columns gives its widest text
    // column the room left.
    const int shownWidth = header->sectionSize(0);
    EXPECT_GE(shownWidth, titleWidth - 2);
    browse->button(BrowseAction::Close)->click();
    settle();
    ASSERT_FALSE(browse);

    browse = open(options());
    ASSERT_TRUE(browse);
    header = browse->list()->horizontalHeader();
    model = browse->list()->model();
    EXPECT_EQ(shown(), QStringList({"Title", "Artist", "Released"}));
    EXPECT_NEAR(header->sectionSize(0), shownWidth, 2);
    EXPECT_TRUE(model->index(0, 0).data().toString().startsWith("Title "));
    browse->button(BrowseAction::Close)->click();
    settle();
}

TEST_F(BrowseWindowTest, GainingTheFocusShowsChangesMadeElsewhere) {
    addSongs(5);
    QPointer<SongsTestBrowse> browse = open(options());
    ASSERT_TRUE(browse);
    auto* other = area->addSubWindow(new QWidget);
    other->show();
    area->setActiveSubWindow(other);
    SongRecord s;
    s.id = 99;
    s.artist = "Aaron";
    ASSERT_TRUE(db->store().insert(s).ok());
    area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(browse->parentWidget()));
    settle();
    EXPECT_EQ(shown(browse).first(), "Aaron");
    EXPECT_EQ(browse->windowTitle(), "Songs - 6 entries");
}

TEST_F(BrowseWindowTest, OnAnEmptyPageOnlyInsertCallsTheForm) {
    QPointer<SongsTestBrowse> browse = open(options());
    ASSERT_TRUE(browse);
    EXPECT_FALSE(browse->thumbBar()->isVisibleTo(browse));
    doubleClickRow(browse, 0);
    key(browse, Qt::Key_Delete);
    key(browse, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(browse->forms.isEmpty());
    key(browse, Qt::Key_Insert);
    EXPECT_EQ(browse->forms, QVector<Request>{Request::Insert});
    EXPECT_EQ(browse->popupText(), "&Add|~&Change|~&Delete");
}

} // namespace
