// A search of the songs list kept under a name and used as a playlist that keeps itself current:
// saved from the search box in the By Title tab, a second save under the same name (case aside)
// replacing it only when the user says so, shown with its mark among the playlists, opened on the
// songs it finds in title order, a new song that matches showing without a word from the user,
// frozen into an ordinary playlist that later songs leave alone, then drawn from, printed and
// exported from the command line; names it does not know are refused. A collection made before
// saved searches keeps every record and gains their table.
#include "journey_fixture.h"

#include "catalogue/saved_search.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/save_search.h"
#include "catalogue/ui/search_name_dialog.h"
#include "catalogue/songs_browse.h"
#include "catalogue/ui/songs_browse_window.h"
#include "data/store_sqlite.h"
#include "data/table_lease.h"
#include "playlists/ui/playlists_browse_window.h"
#include "playlists/ui/saved_search_window.h"
#include "playlists/ui/saved_searches_panel.h"
#include "support/cli_run.h"
#include "support/sql_file.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

#include <algorithm>

using namespace tunarium;

namespace {

// Titles with "love" in them (and artists without), and titles without; the search finds the
// first kind only.
struct Song {
    const char* artist;
    const char* title;
};
const Song kSongs[] = {
    {"Wham", "Careless Whisper"},  {"Queen", "Crazy Little Thing Called Love"},
    {"Abba", "Dancing Queen"},     {"Foreigner", "I Want to Know What Love Is"},
    {"Heart", "Alone"},            {"Beatles", "All You Need Is Love"},
    {"Cher", "Believe"},           {"Roxy Music", "Love Is the Drug"},
    {"Eagles", "Hotel California"}, {"Whitney Houston", "Greatest Love of All"},
};

class SavedSearchJourney : public test::JourneyTest {
protected:
    qint64 addSong(const QString& artist, const QString& title) {
        const TableLease songs(db(), {TableId::Tunarium});
        SongRecord s;
        EXPECT_TRUE(db().store().nextNumber(TableId::Tunarium, s.id).ok());
        s.artist = artist;
        s.title = title;
        EXPECT_TRUE(db().store().insert(s).ok());
        return s.id;
    }
    // The titles with "love", in title order: what the search finds, worked out apart from it.
    QStringList loveTitles() {
        QStringList titles;
        for (const SongRecord& s : all<SongRecord>()) {
            if (s.title.contains(QStringLiteral("love"), Qt::CaseInsensitive)) {
                titles << s.title;
            }
        }
        std::sort(titles.begin(), titles.end(),
                  [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        return titles;
    }
    static QStringList titlesShown(BrowseWindow* list) {
        QStringList titles;
        for (int row = 0; row < list->engine().rowCount(); ++row) {
            titles << list->engine().row(row).record.text(tun::kTitle);
        }
        return titles;
    }
    // "Save Search…" with `name` typed in its dialog and OK pressed.
    void saveAs(SongsBrowseWindow* songs, const QString& name) {
        songs->saveSearchButton()->click();
        settle();
        auto* dialog = songs->findChild<SearchNameDialog*>();
        ASSERT_NE(dialog, nullptr) << messagesSoFar();
        dialog->nameField()->setText(name);
        dialog->accept();
        settle();
    }
    QString typed(SongsBrowseWindow* songs, const QString& text) {
        songs->searchBox()->field()->setText(text);
        songs->searchBox()->searchNow();
        settle();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !songs->engine().walking(); }, 20000));
        return text;
    }
    QString collectionFile() const { return dir.path("tunarium.db"); }
};

TEST_F(SavedSearchJourney, ASavedSearchIsAPlaylistThatKeepsItselfCurrentUntilFrozen) {
    for (const Song& s : kSongs) {
        addSong(QString::fromUtf8(s.artist), QString::fromUtf8(s.title));
    }
    choose(FrameCommand::BrowseSongs);
    SongsBrowseWindow* songs = waitFor<SongsBrowseWindow>();
    ASSERT_NE(songs, nullptr) << messagesSoFar();
    songs->tabBar()->setCurrentIndex(1); // By Title
    settle();

    // Nothing typed: nothing to save, and no dialog.
    songs->saveSearchButton()->click();
    settle();
    EXPECT_EQ(songs->findChild<SearchNameDialog*>(), nullptr);
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_EQ(prompter.messages.last().caption, "Save Search");

    typed(songs, "love");
    EXPECT_EQ(titlesShown(songs), loveTitles());
    // A blank name is refused in the dialog, which stays.
    songs->saveSearchButton()->click();
    settle();
    auto* dialog = songs->findChild<SearchNameDialog*>();
    ASSERT_NE(dialog, nullptr);
    dialog->accept();
    EXPECT_FALSE(dialog->problem().isEmpty());
    EXPECT_TRUE(dialog->isVisible());
    dialog->reject();
    settle();
    saveAs(songs, "Love Songs");
    std::vector<SavedSearchRecord> saved = all<SavedSearchRecord>();
    ASSERT_EQ(saved.size(), 1u) << messagesSoFar();
    EXPECT_EQ(saved[0].name, "Love Songs");
    EXPECT_EQ(saved[0].searchText, "love");
    EXPECT_EQ(saved[0].sortOrder, kSongsByTitle);

    // The same name again, another case: asked, and No keeps the first search.
    typed(songs, "love -queen");
    const qsizetype asked = prompter.messages.size();
    prompter.answers = {kButtonNo};
    saveAs(songs, "love songs");
    ASSERT_EQ(prompter.messages.size(), asked + 1);
    EXPECT_EQ(prompter.messages.last().text, replaceSavedSearchQuestion("Love Songs").text);
    EXPECT_EQ(all<SavedSearchRecord>()[0].searchText, "love");
    // Yes replaces it: still one saved search, of the first name, with the new text.
    prompter.answers = {kButtonYes};
    saveAs(songs, "love songs");
    saved = all<SavedSearchRecord>();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].name, "Love Songs");
    EXPECT_EQ(saved[0].searchText, "love -queen");
    // Back to the plain word, by the replace the user asked for.
    typed(songs, "love");
    prompter.answers = {kButtonYes};
    saveAs(songs, "Love Songs");
    ASSERT_EQ(all<SavedSearchRecord>()[0].searchText, "love");

    // Among the playlists, with its mark.
    choose(FrameCommand::BrowsePlayLists);
    auto* playlists = waitFor<PlaylistsBrowseWindow>();
    ASSERT_NE(playlists, nullptr) << messagesSoFar();
    SavedSearchesPanel* panel = playlists->savedSearches();
    ASSERT_EQ(panel->engine().rowCount(), 1);
    EXPECT_EQ(panel->engine().cellText(0, 0), QString::fromUtf8(kSavedSearchMark));
    EXPECT_EQ(panel->engine().cellText(0, 1), "Love Songs");
    EXPECT_EQ(playlists->engine().rowCount(), 0) << "no ordinary playlist yet";

    // Opened: the songs it finds, in the order it was saved in.
    SavedSearchWindow* list = panel->openSelected();
    ASSERT_NE(list, nullptr) << messagesSoFar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list->engine().walking(); }, 20000));
    EXPECT_EQ(titlesShown(list), loveTitles());
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->windowTitle().endsWith("(5 found)"); }, 5000))
        << qPrintable(list->windowTitle());

    // A song that matches comes in: the list shows it without being asked.
    addSong("Foreigner", "Love Maybe");
    EXPECT_TRUE(QTest::qWaitFor([&] { return titlesShown(list).contains("Love Maybe"); }, 5000))
        << qPrintable(titlesShown(list).join('|'));
    EXPECT_EQ(titlesShown(list), loveTitles());

    // Frozen: an ordinary playlist of those songs in that order.
    list->freezeButton()->click();
    settle();
    ASSERT_EQ(prompter.messages.last().caption, "Freeze") << messagesSoFar();
    const std::vector<PlaylistRecord> made = all<PlaylistRecord>();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].playlistDescription, "Love Songs");
    const auto entryTitles = [&](qint64 playlistId) {
        QStringList titles;
        for (const QStringList& row :
             test::sqlRows(collectionFile(),
                           "SELECT s.Title FROM PlaylistDetails e JOIN Tunarium s ON s.ID = e.ID "
                           "WHERE e.PlaylistID = ? ORDER BY e.PlaylistSeq",
                           {QString::number(playlistId)})) {
            titles << row[0];
        }
        return titles;
    };
    const QStringList frozen = loveTitles();
    EXPECT_EQ(entryTitles(made[0].playlistId), frozen);
    EXPECT_TRUE(QTest::qWaitFor([&] { return playlists->engine().rowCount() == 1; }, 2000));

    // Songs added since change the saved search, not the frozen playlist.
    addSong("Nobody", "Love Later");
    EXPECT_TRUE(QTest::qWaitFor([&] { return titlesShown(list).contains("Love Later"); }, 5000));
    EXPECT_EQ(entryTitles(made[0].playlistId), frozen);
    list->close();
    settle();

    if (!test::cliAvailable()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    const QStringList matching = loveTitles();
    // Drawn from: every song of the playlist is one the search finds.
    test::CliRun run = test::runCli(
        dir, {"--dir", dir.dir(), "playlist", "generate", "--size", "4", "--unique", "--search", "LOVE SONGS"});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const qint64 generated = test::sqlNumber(collectionFile(), "SELECT MAX(PlaylistID) FROM PlaylistMaster");
    const QStringList drawn = entryTitles(generated);
    EXPECT_EQ(drawn.size(), 4);
    for (const QString& title : drawn) {
        EXPECT_TRUE(matching.contains(title)) << qPrintable(title);
    }
    // Printed: the songs it finds, and no other.
    const QString pdf = dir.path("love.pdf");
    run = test::runCli(dir, {"--dir", dir.dir(), "report", "songs-by-artist", "--pdf", pdf, "--search", "Love Songs"});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const QString printed = pdfText(pdf);
    for (const SongRecord& s : all<SongRecord>()) {
        EXPECT_EQ(printed.contains(s.title), matching.contains(s.title)) << qPrintable(s.title);
    }
    // Exported in its order.
    const QString csv = dir.path("love.csv");
    run = test::runCli(dir, {"--dir", dir.dir(), "export", csv, "--fields", "TUN:Title", "--no-header", "--search",
                             "Love Songs"});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (QString& line : lines) {
        line = line.remove(u'"').remove(u'\r');
    }
    EXPECT_EQ(lines, matching);
    // A name no saved search has: refused as an unknown playlist is, and nothing written.
    for (const QStringList& args :
         {QStringList{"playlist", "generate", "--size", "3", "--search", "Nope"},
          QStringList{"report", "songs-by-artist", "--pdf", dir.path("nope.pdf"), "--search", "Nope"},
          QStringList{"export", dir.path("nope.csv"), "--search", "Nope"}}) {
        run = test::runCli(dir, QStringList{"--dir", dir.dir()} + args);
        EXPECT_EQ(run.exitCode, 1) << qPrintable(args.join(' '));
        EXPECT_TRUE(run.err.contains("there is no saved search Nope")) << qPrintable(run.err);
    }
    EXPECT_FALSE(QFile::exists(dir.path("nope.csv")));
    EXPECT_FALSE(QFile::exists(dir.path("nope.pdf")));
    EXPECT_EQ(test::sqlNumber(collectionFile(), "SELECT COUNT(*) FROM PlaylistMaster"), 2);
}

// A collection written before saved searches: every table as this version makes it but that one,
// with records in each of the songs, categories and playlists.
class SavedSearchUpgradeJourney : public test::JourneyTest {
protected:
    // The media formats are left out: the program seeds an empty table of them at start-up.
    static constexpr const char* kTables[] = {"Tunarium", "Categories", "PlaylistMaster", "PlaylistDetails",
                                              "Album"};

    void SetUp() override {
        writeOldCollection();
        for (const char* table : kTables) {
            before << test::sqlRows(dir.path("tunarium.db"),
                                    QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
        }
        JourneyTest::SetUp();
    }

    void writeOldCollection() {
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(store.openTable(t.id).ok());
        }
        Transaction tx(store);
        CategoryRecord rock;
        rock.categoryId = 1;
        rock.category = "Rock";
        ASSERT_TRUE(store.insert(rock).ok());
        for (int n = 1; n <= 30; ++n) {
            SongRecord s;
            s.id = n;
            s.artist = QStringLiteral("Artist %1").arg(n);
            s.title = QStringLiteral("Title %1 é").arg(n);
            s.categoryId = n % 2;
            s.releaseDate = 1970 + n;
            ASSERT_TRUE(store.insert(s).ok());
        }
        PlaylistRecord p;
        p.playlistId = 1;
        p.playlistDescription = "Old Favourites";
        ASSERT_TRUE(store.insert(p).ok());
        for (int n = 1; n <= 5; ++n) {
            PlaylistEntryRecord e;
            e.playlistId = 1;
            e.playlistSeq = n;
            e.id = n * 3;
            ASSERT_TRUE(store.insert(e).ok());
        }
        ASSERT_TRUE(tx.commit().ok());
        ASSERT_TRUE(store.exec("DROP TABLE \"SavedSearches\"").ok());
        ASSERT_TRUE(store.exec("DELETE FROM \"_structure\" WHERE label LIKE 'SavedSearches%'").ok());
        ASSERT_TRUE(store.exec("DELETE FROM \"_counts\" WHERE label = 'SavedSearches'").ok());
    }

    QList<QList<QStringList>> before;
};

TEST_F(SavedSearchUpgradeJourney, AnOlderCollectionKeepsEveryRecordAndGainsTheTable) {
    choose(FrameCommand::BrowsePlayLists);
    auto* playlists = waitFor<PlaylistsBrowseWindow>();
    ASSERT_NE(playlists, nullptr) << messagesSoFar();
    EXPECT_EQ(playlists->engine().rowCount(), 1);
    EXPECT_EQ(playlists->savedSearches()->engine().rowCount(), 0);
    EXPECT_EQ(db().store().tableState(TableId::SavedSearches), TableState::Current);
    EXPECT_EQ(db().store().storedVersion(TableId::SavedSearches), tableDef(TableId::SavedSearches).version);
    for (std::size_t t = 0; t < std::size(kTables); ++t) {
        EXPECT_EQ(test::sqlRows(dir.path("tunarium.db"),
                                QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(kTables[t])),
                  before[static_cast<qsizetype>(t)])
            << kTables[t];
    }
    // The new table takes records at once.
    SavedSearchRecord saved;
    {
        const TableLease searches(db(), {TableId::SavedSearches});
        ASSERT_EQ(SavedSearches(db()).save("Seventies", "year:1970-1979", kSongsByArtist, false, saved),
                  SavedSearches::Outcome::Saved);
    }
    int found = 0;
    const TableLease songs(db(), {TableId::Tunarium, TableId::Categories});
    ASSERT_TRUE(walkSavedSearch(db().store(), saved, [&](const Row&) {
                    ++found;
                    return true;
                }).ok());
    EXPECT_EQ(found, 9); // 1971 to 1979
}

} // namespace
