// Reports printed the way a user prints them, from the frame's Reports menu to a PDF file read back:
// the category reports through their category picker, Songs by Artist with the longest values its
// columns hold, and the binder pages of an album with a long name.
#include "journey_fixture.h"

#include "catalogue/ui/lookup_browse_window.h"
#include "data/date_time.h"
#include "reports/ui/binder_pages_window.h"
#include "reports/ui/report_criteria_window.h"
#include "reports/ui/report_preview_window.h"
#include "reports/ui/report_printer.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>

using namespace tunarium;

namespace {

class ReportJourney : public test::JourneyTest {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
            GTEST_SKIP() << "pdftotext is not installed";
        }
        JourneyTest::SetUp();
        programPrinter().setOutputFormat(QPrinter::PdfFormat);
        programPrinter().setOutputFileName(pdfPath());
        ASSERT_TRUE(db().openTables({TableId::Tunarium, TableId::Album, TableId::Categories}));
    }
    void TearDown() override {
        if (program) {
            db().closeTables({TableId::Tunarium, TableId::Album, TableId::Categories});
        }
        programPrinter().setOutputFileName({});
        JourneyTest::TearDown();
    }

    QString pdfPath() const { return dir.path("printed.pdf"); }

    void addCategory(qint64 id, const QString& name) {
        CategoryRecord c;
        c.categoryId = id;
        c.category = name;
        ASSERT_TRUE(db().store().insert(c).ok());
    }
    void addAlbum(const AlbumRecord& album) {
        AlbumRecord a = album;
        ASSERT_TRUE(db().store().insert(a).ok());
    }
    void addSong(const SongRecord& song) {
        SongRecord s = song;
        ASSERT_TRUE(db().store().insert(s).ok());
    }

    // The print dialog the program shows, confirmed.
    void confirmPrintDialog() {
        QPrintDialog* dialog = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* d = qobject_cast<QPrintDialog*>(w); d && d->isVisible()) {
                    dialog = d;
                }
            }
            return dialog != nullptr;
        }))
            << "no print dialog\n"
            << messagesSoFar();
        dialog->accept();
        settle();
    }
    // The criteria window of a report, answered: printed, not previewed.
    void printWithoutPreview() {
        ReportCriteriaWindow* criteria = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            criteria = frame()->findChild<ReportCriteriaWindow*>();
            return criteria && criteria->isVisible();
        }))
            << messagesSoFar();
        ASSERT_TRUE(criteria->isEnabled());
        criteria->previewBox()->setChecked(false);
        criteria->okButton()->click();
        settle();
        confirmPrintDialog();
    }
    // The text of the printed file once the program has written it.
    QString printedText() {
        (void)QTest::qWaitFor([&] { return QFileInfo(pdfPath()).size() > 0; }, 20000);
        settle();
        return pdfText(pdfPath());
    }
    // The text with its runs of blanks and line ends made single blanks: a value wrapped into two
    // lines of its column reads as its words in order between other columns' words.
    static QString words(const QString& text) { return text.simplified(); }
};

// Reports › Songs › By Category and Reports › Albums › By Category: the picker answers, the
// report prints the chosen category's records only.
TEST_F(ReportJourney, TheCategoryReportsFromTheMenuPickACategoryAndPrint) {
    addCategory(1, QStringLiteral("Rock"));
    addCategory(2, QStringLiteral("Jazz"));
    addAlbum({1, "Queen", "A Night at the Opera", "CD", "F001", 1975, 1});
    addAlbum({2, "Miles Davis", "Kind of Blue", "CD", "F002", 1959, 2});
    SongRecord rock;
    rock.artist = QStringLiteral("Queen");
    rock.title = QStringLiteral("Bohemian Rhapsody");
    rock.album = QStringLiteral("A Night at the Opera");
    rock.categoryId = 1;
    rock.id = 1;
    rock.albumId = 1;
    addSong(rock);
    SongRecord jazz = rock;
    jazz.artist = QStringLiteral("Miles Davis");
    jazz.title = QStringLiteral("So What");
    jazz.album = QStringLiteral("Kind of Blue");
    jazz.categoryId = 2;
    jazz.id = 2;
    jazz.albumId = 2;
    addSong(jazz);

    const struct {
        FrameCommand command;
        const char* title;
        const char* printed;
        const char* left;
    } reports[] = {
        {FrameCommand::ReportSongsByCategory, "Music in Rock Category", "Bohemian Rhapsody", "So What"},
        {FrameCommand::ReportAlbumsByCategory, "Albums by Category", "A Night at the Opera", "Kind of Blue"},
    };
    for (const auto& r : reports) {
        SCOPED_TRACE(r.title);
        QFile::remove(pdfPath());
        choose(r.command);
        auto* picker = waitFor<LookupBrowseWindow>();
        ASSERT_NE(picker, nullptr) << messagesSoFar();
        // A picker opened greyed, with the frame greyed behind it, is a program that no longer
        // answers.
        ASSERT_TRUE(picker->isEnabled()) << "the category picker opened disabled";
        ASSERT_TRUE(frame()->menuBar()->isEnabled());
        int rockRow = -1;
        for (int row = 0; row < picker->engine().rowCount(); ++row) {
            if (picker->engine().cellText(row, 0).trimmed() == QStringLiteral("Rock")) {
                rockRow = row;
            }
        }
        ASSERT_GE(rockRow, 0);
        picker->engine().selectRow(rockRow);
        picker->button(BrowseAction::Select)->click();
        settle();
        ASSERT_TRUE(waitGone<LookupBrowseWindow>());
        printWithoutPreview();
        const QString text = printedText();
        EXPECT_TRUE(text.contains(QString::fromLatin1(r.title))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromLatin1(r.printed))) << text.toStdString();
        EXPECT_FALSE(text.contains(QString::fromLatin1(r.left))) << text.toStdString();
        EXPECT_TRUE(frame()->isEnabled());
    }
    EXPECT_TRUE(prompter.messages.isEmpty()) << messagesSoFar();
}

// Songs by Artist with every column filled as far as a song of a real collection fills it: the
// file number (the key the shelf is ordered by) and the heads are whole, and the long artist,
// album and category names are whole too, in smaller type or over two lines.
TEST_F(ReportJourney, SongsByArtistPrintsItsLongestValuesWhole) {
    const QString fileNumber = QStringLiteral("CD-2024-000123-B/7XQ"); // the field's 20 characters
    const QString artist = QStringLiteral("Orchestral Manoeuvres in the Dark & The Philharmonia"); // 50
    const QString album = QStringLiteral("The Best of the Complete Singles Collection Remix");
    const QString category = QStringLiteral("Progressive Electronic Synth");
    addCategory(1, category);
    SongRecord song;
    song.artist = artist.left(50);
    song.title = QStringLiteral("Enola Gay (Extended Version, Remastered)");
    song.album = album;
    song.media = QStringLiteral("Cassette (Prerecorded)").left(20);
    song.fileNumber = fileNumber;
    song.categoryId = 1;
    song.trackNumber = 112;
    song.chartNumber = 100;
    song.releaseDate = dayNumberFromYmd(1980, 9, 26);
    song.id = 1;
    addSong(song);

    choose(FrameCommand::ReportSongsByArtist);
    printWithoutPreview();
    const QString text = words(printedText());
    ASSERT_FALSE(text.isEmpty()) << messagesSoFar();
    EXPECT_TRUE(text.contains(fileNumber)) << text.toStdString();
    for (const char* head : {"Artist", "Title", "Album", "Media", "Category", "Track", "Chart", "File Number",
                             "Release Date"}) {
        EXPECT_TRUE(text.contains(QString::fromLatin1(head))) << head;
    }
    for (const QString& whole : {song.artist, song.album, song.title, category, song.media}) {
        for (const QString& word : whole.split(u' ')) {
            EXPECT_TRUE(text.contains(word)) << word.toStdString() << " of " << whole.toStdString() << " in\n"
                                             << text.toStdString();
        }
    }
    EXPECT_FALSE(text.contains(QChar(0x2026))) << "a value cut short: " << text.toStdString();
}

// CD Binder Pages of an album whose title and artist fill the heading's 80 characters, with a song
// by a guest artist: heading and artist are printed whole; a reversed range is said to be one.
TEST_F(ReportJourney, BinderPagesOfALongNamedAlbumPrintItsHeadingAndArtistsWhole) {
    // The field's 50 characters; with the artist, the heading's 80.
    const QString title = QStringLiteral("The Complete Original Soundtrack Recordings Vol. 2");
    const QString artist = QStringLiteral("Ennio Morricone & Orchestra");
    addCategory(1, QStringLiteral("Soundtrack"));
    addAlbum({1, artist, title, "CD", "F000100", 1990, 1});
    SongRecord song;
    song.artist = artist;
    song.title = QStringLiteral("The Ecstasy of Gold");
    song.album = title;
    song.fileNumber = QStringLiteral("F000100");
    song.albumId = 1;
    song.trackNumber = 1;
    song.side = 1;
    song.time = timeValueFromParts({0, 3, 22, 0});
    song.id = 1;
    addSong(song);
    SongRecord guest = song;
    guest.artist = QStringLiteral("The Philharmonia Orchestra of London");
    guest.title = QStringLiteral("Chi Mai");
    guest.trackNumber = 2;
    guest.id = 2;
    addSong(guest);

    choose(FrameCommand::ReportCdBinderPages);
    auto* window = waitFor<BinderPagesWindow>();
    ASSERT_NE(window, nullptr) << messagesSoFar();
    window->startingNumber()->setText(QStringLiteral("F000200"));
    window->endingNumber()->setText(QStringLiteral("F000050"));
    window->accept();
    settle();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("reversed"))) << messagesSoFar();
    ASSERT_EQ(shown<BinderPagesWindow>(), window) << "the window stays for the range to be mended";

    window->startingNumber()->setText(QStringLiteral("F000050"));
    window->endingNumber()->setText(QStringLiteral("F000200"));
    window->accept();
    auto* preview = waitFor<ReportPreviewWindow>(20000);
    ASSERT_NE(preview, nullptr) << messagesSoFar();
    QAction* print = nullptr;
    for (QAction* a : preview->findChildren<QAction*>()) {
        if (a->text() == QStringLiteral("&Print")) {
            print = a;
        }
    }
    ASSERT_NE(print, nullptr);
    print->trigger();
    settle();
    confirmPrintDialog();
    const QString text = words(printedText());
    EXPECT_TRUE(text.contains(title + QStringLiteral(" - ") + artist)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("The Philharmonia Orchestra of London"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Chi Mai"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("3:22"))) << text.toStdString();
    EXPECT_EQ(prompter.messages.size(), 1) << messagesSoFar();
}

} // namespace
