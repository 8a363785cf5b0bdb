// The songs browse, the song form, Select Media and Select Category and the query wizard in a
// workspace the size of a frame's on a 1024 x 768 screen: their sizes in dialog units, what their
// columns and fields hold, the maximized window that stays maximized, the hints of the empty
// range tabs, the popup and the category Select Category opens on.
#include "catalogue/list_format.h"
#include "catalogue/songs_browse.h"
#include "catalogue/ui/lookup_browse_window.h"
#include "catalogue/ui/picture_edit.h"
#include "catalogue/ui/query_wizard_dialog.h"
#include "catalogue/ui/song_form_window.h"
#include "catalogue/ui/songs_browse_window.h"
#include "data/app_paths.h"
#include "data/ini_file.h"
#include "data/picture_room.h"
#include "exchange/ui/exchange_procedures.h"
#include "support/temp_collection.h"
#include "ui/dialog_units.h"

#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

// The workspace of a frame filling a 1024 x 768 screen, below its menu and toolbar.
constexpr QSize kWorkspace(1016, 640);

class SongsWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(db->openTable(t.id));
        }
        for (const char* m : {"CD", "Cassette (Dolby B)", "LP"}) {
            MediaRecord media{m, {}};
            ASSERT_TRUE(db->store().insert(media).ok());
        }
        const char* categories[] = {"Blues", "Disco", "Funk", "House", "Jazz", "Pop", "Soul", "Techno"};
        for (int i = 0; i < 8; ++i) {
            CategoryRecord c{i + 1, categories[i], {}};
            ASSERT_TRUE(db->store().insert(c).ok());
        }
        Transaction tx(db->store());
        for (int i = 1; i <= 40; ++i) {
            SongRecord s;
            s.id = i;
            s.artist = QStringLiteral("Artist %1").arg(i, 2, 10, QChar(u'0'));
            s.title = QStringLiteral("Title %1").arg(i);
            s.media = i % 2 ? "Cassette (Dolby B)" : "CD";
            s.fileNumber = QStringLiteral("F%1").arg(i, 6, 10, QChar(u'0'));
            s.categoryId = 1 + i % 8;
            s.time = 22501;              // 0:03:45
            s.releaseDate = 72687 + 148; // 28 May 2000: May is the widest month
            s.lastPlayed = 72687 + 148;
            s.beatsPerMinute = 128;
            s.musicalKey = QStringLiteral("12B"); // the widest key
            s.side = 2;
            s.trackNumber = 12;
            s.chartNumber = 100;
            ASSERT_TRUE(db->store().insert(s).ok());
        }
        ASSERT_TRUE(tx.commit().ok());
        settings = Settings::load(dir.configDir() + "/Tunar98.INI");
        area = std::make_unique<QMdiArea>();
        area->resize(kWorkspace);
        area->show();
        registerExchangeProcedures(procedures);
        window = SongsBrowseWindow::openSongs({*db, settings, prompter, area.get(), nullptr, procedures});
        ASSERT_NE(window, nullptr);
        settle();
    }

    void TearDown() override {
        area->closeAllSubWindows();
        settle();
        area.reset();
        settle();
        db.reset();
    }

    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    QPushButton* button(QWidget* in, const QString& text) {
        for (QPushButton* b : in->findChildren<QPushButton*>()) {
            if (b->text() == text) {
                return b;
            }
        }
        return nullptr;
    }

    template <class W> W* opened() {
        for (QMdiSubWindow* sub : area->subWindowList()) {
            if (auto* w = dynamic_cast<W*>(sub->widget()); w && sub->isVisible()) {
                return w;
            }
        }
        return nullptr;
    }

    QMdiSubWindow* sub(QWidget* w) const { return qobject_cast<QMdiSubWindow*>(w->parentWidget()); }

    bool insideWorkspace(QWidget* w) const {
        return area->viewport()->rect().contains(sub(w) ? sub(w)->geometry() : w->geometry());
    }

    void showTab(int tab) {
        window->tabBar()->setCurrentIndex(tab);
        settle();
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
    Settings settings;
    std::unique_ptr<QMdiArea> area;
    ProcedureRegistry procedures;
    QPointer<SongsBrowseWindow> window;
};

TEST_F(SongsWindowsTest, TheListOpensAtItsDesignSizeWithEveryColumnWhole) {
    QTableView* list = window->list();
    EXPECT_TRUE(insideWorkspace(window));
    // The list's design height, less its header, frame and scroll bar, in rows of the list's font.
    const int rowHeight = list->verticalHeader()->defaultSectionSize();
    const int scrollBar =
        list->horizontalScrollBar()->isVisible() ? list->horizontalScrollBar()->height() : 0;
    const int designRows = (DialogUnits(list).toPixelsY(230) - list->horizontalHeader()->height() -
                            2 * list->frameWidth() - scrollBar) /
                           rowHeight;
    EXPECT_GE(designRows, 15);
    EXPECT_EQ(window->engine().lineCount(), designRows);
    EXPECT_EQ(window->engine().rowCount(), designRows);
    EXPECT_EQ(list->statusTip(), "Browsing Records");

    // Headers, and the values of every column but the long texts, show whole.
    const QFontMetrics metrics(list->font());
    // A cell's margins each side of its text, and the grid line.
    const int margin = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1) + 1;
    const int headerMargin = 2 * list->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, list);
    const QAbstractItemModel* model = list->model();
    const QStringList longTexts{"Artist", "Title", "Album", "User Defined Key Field", "Style"};
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString header = model->headerData(c, Qt::Horizontal).toString();
        const int width = list->horizontalHeader()->sectionSize(c);
        EXPECT_LE(metrics.horizontalAdvance(header) + headerMargin, width) << header.toStdString();
        if (longTexts.contains(header)) {
            continue;
        }
        const QString value = model->index(0, c).data().toString();
        EXPECT_FALSE(value.isEmpty()) << "column " << c;
        EXPECT_LE(metrics.horizontalAdvance(value) + margin, width) << value.toStdString();
    }
    EXPECT_EQ(model->index(0, 3).data().toString(), "Cassette (Dolby B)");
    EXPECT_EQ(model->index(0, 6).data().toString(), "3:45");

    // Maximized in a wide workspace, the room the others leave goes to the long texts (the names
    // a narrow column cuts), not to the last column.
    QHash<int, int> before;
    for (int c = 0; c < model->columnCount(); ++c) {
        before.insert(c, list->horizontalHeader()->sectionSize(c));
    }
    area->resize(3000, 900);
    sub(window)->showMaximized();
    settle();
    int grown = 0;
    for (int c = 0; c < model->columnCount(); ++c) {
        const int width = list->horizontalHeader()->sectionSize(c);
        if (longTexts.contains(model->headerData(c, Qt::Horizontal).toString())) {
            grown += width > before.value(c) ? 1 : 0;
        } else {
            EXPECT_EQ(width, before.value(c)) << model->headerData(c, Qt::Horizontal).toString().toStdString();
        }
    }
    EXPECT_GE(grown, 1);
    EXPECT_EQ(list->horizontalHeader()->length(), list->viewport()->width());
}

TEST_F(SongsWindowsTest, AKeptLayoutTooNarrowForItsValuesIsWidened) {
    sub(window)->close();
    settle();
    // A layout kept by an earlier version: the Time column at 10 units, the Artist at 200.
    const QString design =
        replaceDatePictures(QString::fromLatin1(kSongsDesignFormat), settings.datePicture());
    QString narrow = design;
    narrow.replace("23R(2)|M~Time~", "10R(2)|M~Time~").replace("77L(2)|M~Artist~", "200L(2)|M~Artist~");
    const QString positions = positionFilePath(dir.dir());
    writeIniEntries(positions, u"BrowseSongs", {{"SRCFOriginal?Browse", design}, {"SRCF?Browse", narrow}});
    window = SongsBrowseWindow::openSongs({*db, settings, prompter, area.get(), nullptr, procedures});
    ASSERT_NE(window, nullptr);
    settle();
    QHeaderView* header = window->list()->horizontalHeader();
    EXPECT_GE(header->sectionSize(6), window->list()->fontMetrics().horizontalAdvance("3:45"));
    EXPECT_EQ(header->sectionSize(0), DialogUnits(window->list()).toPixelsX(200)) << "the user's width stays";
}

TEST_F(SongsWindowsTest, TheSongFormFitsAndItsFieldsHoldTheirWidths) {
    window->engine().change();
    settle();
    SongFormWindow* form = opened<SongFormWindow>();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(insideWorkspace(form));
    const DialogUnits units(form);
    QList<PictureEdit*> edits;
    for (QLineEdit* line : form->findChildren<QLineEdit*>()) {
        if (auto* edit = dynamic_cast<PictureEdit*>(line)) {
            edits << edit;
        }
    }
    ASSERT_EQ(edits.size(), 20);
    int thirty = 0;
    for (PictureEdit* edit : edits) {
        // Fields on the other tabs take their size when their tab shows.
        if (!edit->isVisible()) {
            continue;
        }
        EXPECT_GE(edit->width(), units.textWidth(pictureRoom(edit->picture(), 80)))
            << edit->picture().toStdString();
        thirty += edit->picture() == "@s30" ? 1 : 0;
    }
    EXPECT_EQ(thirty, 2); // Mix and Style
}

TEST_F(SongsWindowsTest, TheQueryWizardOpensInsideTheFrame) {
    button(window, "&Search")->click();
    settle();
    auto* wizard = window->findChild<QueryWizardDialog*>();
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(area->geometry().contains(wizard->geometry()))
        << wizard->width() << "x" << wizard->height() << " at " << wizard->x() << "," << wizard->y();
    wizard->reject();
    settle();
}

TEST_F(SongsWindowsTest, AMaximizedSongsWindowStaysMaximizedWhenWindowsItCalledClose) {
    sub(window)->showMaximized();
    settle();
    window->engine().change();
    settle();
    SongFormWindow* form = opened<SongFormWindow>();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(sub(form)->isMaximized()) << "the form opens in front, at its own size";
    EXPECT_TRUE(sub(window)->isMaximized());
    QTest::keyClick(form, Qt::Key_Escape);
    settle();
    EXPECT_EQ(opened<SongFormWindow>(), nullptr);
    EXPECT_TRUE(sub(window)->isMaximized());
    EXPECT_EQ(area->activeSubWindow(), sub(window));

    showTab(3); // By Media
    button(window, "Se&lect Media")->click();
    settle();
    LookupBrowseWindow* media = opened<LookupBrowseWindow>();
    ASSERT_NE(media, nullptr);
    EXPECT_FALSE(sub(media)->isMaximized());
    button(media, "&Select")->click();
    settle();
    EXPECT_EQ(opened<LookupBrowseWindow>(), nullptr);
    EXPECT_TRUE(sub(window)->isMaximized());
    EXPECT_EQ(area->activeSubWindow(), sub(window));
}

TEST_F(SongsWindowsTest, TheEmptyRangeTabsSayWhatToChoose) {
    auto* hint = window->list()->viewport()->findChild<QLabel*>();
    ASSERT_NE(hint, nullptr);
    EXPECT_FALSE(hint->isVisibleTo(window));
    showTab(3);
    EXPECT_EQ(window->engine().rowCount(), 0);
    EXPECT_TRUE(hint->isVisibleTo(window));
    EXPECT_EQ(hint->text(), "Choose a media format with Select Media");
    showTab(4);
    EXPECT_EQ(hint->text(), "Choose a category with Select Category");
    window->engine().setRangeValue(kSongsByCategory, {qint64(7)});
    window->engine().refresh();
    EXPECT_EQ(window->engine().rowCount(), 5);
    EXPECT_FALSE(hint->isVisibleTo(window));
}

TEST_F(SongsWindowsTest, ThePopupRepeatsTheButtonsAfterAddChangeDelete) {
    EXPECT_EQ(window->popupText(), "&Add|&Change|&Delete|-|~&Print|-|&Search|-|&Import|&Export|-|Save Search\u2026");
    window->choosePopup(5); // Search
    settle();
    auto* wizard = window->findChild<QueryWizardDialog*>();
    ASSERT_NE(wizard, nullptr);
    wizard->reject();
    settle();
}

TEST_F(SongsWindowsTest, SelectCategoryOpensOnTheCurrentCategory) {
    showTab(4); // By Category, no category chosen: the selected song's
    window->engine().setRangeValue(kSongsByCategory, {qint64(7)}); // Soul
    window->engine().refresh();
    button(window, "Se&lect Category")->click();
    settle();
    LookupBrowseWindow* list = opened<LookupBrowseWindow>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->engine().record().text(1), "Soul");
    QTest::keyClick(list->list(), Qt::Key_Down);
    button(list, "&Select")->click();
    settle();
    EXPECT_EQ(window->engine().rangeValue(kSongsByCategory).value(0).toLongLong(), 8); // Techno
}

} // namespace
