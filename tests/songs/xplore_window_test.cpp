// The explorer windows as a user works them: header clicks order the list and move the marker, the
// layout and the order are kept for the next opening, the format window changes the columns at
// once, and the album buttons wait for the albums room's windows.
#include "catalogue/procedure_names.h"
#include "catalogue/ui/format_listbox_dialog.h"
#include "catalogue/ui/xplore_windows.h"
#include "data/ini_file.h"
#include "support/temp_collection.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class XploreWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(db->openTable(t.id));
        }
        const char* titles[] = {"delta", "Alpha", "charlie", "Bravo", "echo"};
        const char* artists[] = {"Beta", "alpha", "Gamma", "beta", "Alpha"};
        for (int i = 0; i < 5; ++i) {
            SongRecord s;
            s.id = i + 1;
            s.artist = artists[i];
            s.title = titles[i];
            s.beatsPerMinute = 100 + 10 * ((i * 3) % 5);
            ASSERT_TRUE(db->store().insert(s).ok());
        }
        settings = Settings::load(dir.configDir() + "/Tunar98.INI");
    }
    void TearDown() override {
        for (QWidget* w : {static_cast<QWidget*>(songs.data()), static_cast<QWidget*>(albums.data())}) {
            if (w) {
                w->close();
            }
        }
        QCoreApplication::processEvents();
    }
    void openSongs() {
        songs = XploreSongsWindow::openExplorer({*db, settings, prompter, nullptr, nullptr, procedures});
        ASSERT_NE(songs, nullptr);
    }
    // Clicks the header of the column whose header text (without its marker) is `text`.
    void clickHeader(const QString& text) {
        QHeaderView* header = songs->list()->horizontalHeader();
        for (int c = 0; c < songs->engine().columnCount(); ++c) {
            QString shown = headerText(c);
            if (shown.startsWith('>') || shown.startsWith('<')) {
                shown = shown.mid(1);
            }
            if (shown == text) {
                const QPoint at(header->sectionViewportPosition(c) + header->sectionSize(c) / 2,
                                header->height() / 2);
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
                return;
            }
        }
        ADD_FAILURE() << "no column " << text.toStdString();
    }
    QString headerText(int column) const {
        return songs->list()->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    QStringList column(int c) const {
        QStringList values;
        for (int r = 0; r < songs->engine().rowCount(); ++r) {
            values << songs->engine().cellText(r, c).trimmed();
        }
        return values;
    }
    QPushButton* button(QWidget* window, const QString& text) {
        for (QPushButton* b : window->findChildren<QPushButton*>()) {
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
    ProcedureRegistry procedures;
    QPointer<XploreSongsWindow> songs;
    QPointer<XploreAlbumsWindow> albums;
};

} // namespace

TEST_F(XploreWindowTest, TwoHeaderClicksOrderTheListAndMoveTheMarker) {
    openSongs();
    EXPECT_TRUE(songs->windowTitle().contains("Songs - 5 entries"));
    EXPECT_EQ(headerText(0), ">Artist"); // ordered by the first column at the first opening
    // Equal artists (case aside) follow their titles.
    EXPECT_EQ(column(0), QStringList({"alpha", "Alpha", "beta", "Beta", "Gamma"}));

    clickHeader("Title");
    EXPECT_EQ(headerText(0), "Artist");
    EXPECT_EQ(headerText(1), ">Title");
    EXPECT_EQ(column(1), QStringList({"Alpha", "Bravo", "charlie", "delta", "echo"}));

    clickHeader("Title");
    EXPECT_EQ(headerText(1), "<Title");
    EXPECT_EQ(column(1), QStringList({"echo", "delta", "charlie", "Bravo", "Alpha"}));

    clickHeader("BPM");
    EXPECT_EQ(headerText(1), "Title");
    EXPECT_EQ(headerText(8), ">BPM");
    const QStringList bpm = column(8);
    QStringList sorted = bpm;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    EXPECT_EQ(bpm, sorted);
}

TEST_F(XploreWindowTest, TheOrderAndLayoutAreKeptAndTheFormatWindowChangesColumnsAtOnce) {
    openSongs();
    clickHeader("Title");
    auto* format = new FormatListboxDialog(songs->explorer(), prompter, songs);
    // Hide the Artist column: the list shows one column less at once.
    format->shownList()->setCurrentRow(0);
    format->hideColumn();
    EXPECT_EQ(songs->engine().columnCount(), 14);
    EXPECT_EQ(headerText(0), ">Title");
    // The Mix, hidden at design, is offered among the fields and shown when added.
    ASSERT_GE(format->hiddenList()->count(), 2);
    format->hiddenList()->setCurrentRow(format->hiddenList()->count() - 1);
    format->shownList()->setCurrentRow(0);
    format->addColumn();
    EXPECT_EQ(headerText(1), "Mix");
    format->headerEdit()->setText("Version");
    emit format->headerEdit()->textEdited("Version");
    EXPECT_EQ(headerText(1), "Version");
    format->close();
    songs->close();
    QCoreApplication::processEvents();

    const QString positions = positionFilePath(db->collectionDir());
    EXPECT_EQ(readIni(positions, u"XploreSongs", u"XplorePrevCol-?Browse"), "2");
    EXPECT_TRUE(readIni(positions, u"XploreSongs", u"XploreFormatString-?Browse").contains("~Version~"));
    openSongs();
    EXPECT_EQ(headerText(0), ">Title");
    EXPECT_EQ(headerText(1), "Version");
    EXPECT_EQ(column(0), QStringList({"Alpha", "Bravo", "charlie", "delta", "echo"}));

    // "&Default" brings the design back.
    auto* again = new FormatListboxDialog(songs->explorer(), prompter, songs);
    again->resetToDefault();
    EXPECT_EQ(songs->engine().columnCount(), 15);
    EXPECT_EQ(headerText(0), "Artist");
    again->close();
}

TEST_F(XploreWindowTest, AlbumButtonsWaitForTheAlbumsWindows) {
    AlbumRecord a;
    a.albumId = 1;
    a.album = "Blue";
    a.artist = "Somebody";
    ASSERT_TRUE(db->store().insert(a).ok());
    albums = XploreAlbumsWindow::openExplorer({*db, settings, prompter, nullptr, nullptr, procedures});
    ASSERT_NE(albums, nullptr);
    EXPECT_TRUE(albums->windowTitle().contains("Albums - 1 entries"));
    for (const char* text :
         {"&Add", "Cop&y", "&Change", "&Delete", "Single Artist Wi&zard", "Compilation Wizard"}) {
        ASSERT_NE(button(albums, text), nullptr) << text;
        EXPECT_FALSE(button(albums, text)->isEnabled()) << text;
    }
    EXPECT_EQ(albums->popupText(), "&Add|&Change|&Delete|-|~Cop&y|-|~Create Label...|~Quick CD Insert");
}

TEST_F(XploreWindowTest, AlbumFormIsStartedByNameWithTheRequestAndTheAlbum) {
    AlbumRecord a;
    a.albumId = 7;
    a.album = "Blue";
    ASSERT_TRUE(db->store().insert(a).ok());
    QVariant argument;
    procedures.add(QString::fromLatin1(procedure::kUpdateAlbum), [&](const ProcedureContext& context) {
        argument = context.argument;
        context.answer(static_cast<int>(Response::Cancelled), {});
    });
    albums = XploreAlbumsWindow::openExplorer({*db, settings, prompter, nullptr, nullptr, procedures});
    ASSERT_NE(albums, nullptr);
    ASSERT_TRUE(button(albums, "&Change")->isEnabled());
    button(albums, "&Change")->click();
    EXPECT_EQ(argument.toList(), (QVariantList{static_cast<int>(Request::Change), qint64(7)}));
    EXPECT_FALSE(albums->engine().formPending());
}

TEST_F(XploreWindowTest, ADraggedColumnTakesItsFormatPlaceAndTheMarkerGoesWithIt) {
    openSongs();
    clickHeader("Title");
    songs->explorer().showProperties(); // View Properties
    auto* format = static_cast<FormatListboxDialog*>(songs->explorer().propertiesWindow());
    ASSERT_NE(format, nullptr);
    songs->list()->horizontalHeader()->moveSection(1, 0);
    EXPECT_EQ(headerText(0), ">Title");
    EXPECT_EQ(headerText(1), "Artist");
    EXPECT_EQ(column(0), QStringList({"Alpha", "Bravo", "charlie", "delta", "echo"}));
    // The open format window lists the columns in their new order.
    EXPECT_TRUE(format->shownList()->item(0)->text().startsWith("Title"));
    format->close();
    songs->close();
    QCoreApplication::processEvents();
    openSongs();
    EXPECT_EQ(headerText(0), ">Title");
    EXPECT_EQ(headerText(1), "Artist");
}

TEST_F(XploreWindowTest, TheColumnWindowChangesOneColumnAndTheLineHeight) {
    openSongs();
    QHeaderView* header = songs->list()->horizontalHeader();
    emit header->customContextMenuRequested(QPoint(header->sectionViewportPosition(2) + 3, 3));
    auto* window = static_cast<FormatListboxDialog*>(songs->explorer().columnWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Format Listbox Column");
    EXPECT_EQ(window->currentColumn(), 2);
    EXPECT_EQ(window->shownList(), nullptr); // the column's settings alone
    EXPECT_EQ(window->headerEdit()->text(), "Album");
    window->headerEdit()->setText("Record");
    emit window->headerEdit()->textEdited("Record");
    EXPECT_EQ(headerText(2), "Record");
    window->lineHeightBox()->setValue(40);
    EXPECT_EQ(songs->list()->verticalHeader()->defaultSectionSize(), 40);
    window->close();
}

TEST_F(XploreWindowTest, TheListBoxTakesItsPlaceAtOnceAndAtReopeningWhenItFits) {
    openSongs();
    songs->resize(900, 600);
    auto* format = new FormatListboxDialog(songs->explorer(), prompter, songs);
    format->xBox()->setValue(40);
    format->yBox()->setValue(30);
    format->boxWidthBox()->setValue(500);
    format->boxHeightBox()->setValue(300);
    EXPECT_EQ(songs->listArea()->geometry(), QRect(40, 30, 500, 300));
    // A place the window cannot hold: the list box goes back to the layout's.
    format->boxWidthBox()->setValue(5000);
    EXPECT_NE(songs->listArea()->width(), 5000);
    EXPECT_TRUE(songs->rect().contains(songs->listArea()->geometry()));
    format->boxWidthBox()->setValue(500);
    format->close();
    songs->close();
    QCoreApplication::processEvents();

    const QString positions = positionFilePath(db->collectionDir());
    EXPECT_EQ(readIni(positions, u"XploreSongs", u"XploreWidth-?Browse"), "500");
    openSongs();
    songs->resize(900, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(songs->listArea()->geometry(), QRect(40, 30, 500, 300));
    songs->close();
    QCoreApplication::processEvents();

    // Kept at a place outside the window: the design's place, and the keys go at the next close.
    writeIni(positions, u"XploreSongs", u"XploreXpos-?Browse", QStringLiteral("5000"));
    openSongs();
    EXPECT_TRUE(songs->rect().contains(songs->listArea()->geometry()));
    songs->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(readIni(positions, u"XploreSongs", u"XploreXpos-?Browse"), "");
}
