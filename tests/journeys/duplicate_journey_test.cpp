// Duplicates found from the frame: Browse › Find Duplicates... runs the search behind its progress
// window and lists what it found; the song kept is chosen, "Merge into" asked and answered, and the
// playlist that held the duplicate now holds the song kept, in the same place. An album group is
// set aside with "Keep"; the window keeps its place under its procedure name.
#include "journey_fixture.h"

#include "survey/duplicate_names.h"
#include "survey/ui/duplicate_window.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

using namespace tunarium;

namespace {

class DuplicateJourney : public test::JourneyTest, public ::testing::WithParamInterface<test::Backend> {
protected:
    QString collectionLocation() override {
        return GetParam() == test::Backend::Server ? serverCollection() : dir.dir();
    }
};

QTreeWidgetItem* findRow(QTreeWidget* list, const QString& text, int column) {
    const QList<QTreeWidgetItem*> found = list->findItems(text, Qt::MatchExactly | Qt::MatchRecursive, column);
    return found.isEmpty() ? nullptr : found.first();
}

TEST_P(DuplicateJourney, MergingADuplicateMovesItsPlaylistEntryToTheSongKept) {
    const std::initializer_list<TableId> tables = {TableId::Tunarium, TableId::Album, TableId::PlaylistMaster,
                                                   TableId::PlaylistDetails};
    ASSERT_TRUE(db().openTables(tables));
    const auto addSong = [&](qint64 id, const char* artist, const char* title) {
        SongRecord s;
        s.id = id;
        s.artist = QString::fromUtf8(artist);
        s.title = QString::fromUtf8(title);
        s.fileNumber = QStringLiteral("F%1").arg(id, 6, 10, QChar(u'0'));
        s.time = 20001 + id * 100;
        ASSERT_TRUE(db().store().insert(s).ok());
    };
    addSong(1, "Beyoncé", "Halo");
    addSong(2, "Beyonce", "Halo (Radio Edit)");
    addSong(3, "Beyoncé", "Halo (Live)");
    for (qint64 id : {1, 2}) {
        AlbumRecord a;
        a.albumId = id;
        a.artist = QStringLiteral("Beyoncé");
        a.album = QStringLiteral("I Am... %1").arg(id);
        a.xccd = QStringLiteral("9e0b5b0c");
        ASSERT_TRUE(db().store().insert(a).ok());
    }
    PlaylistRecord p;
    p.playlistId = 1;
    p.playlistDescription = QStringLiteral("Friday");
    ASSERT_TRUE(db().store().insert(p).ok());
    for (const auto& [seq, song] : {std::pair{1, 3}, std::pair{2, 2}, std::pair{3, 1}}) {
        PlaylistEntryRecord e;
        e.playlistId = 1;
        e.playlistSeq = seq;
        e.id = song;
        ASSERT_TRUE(db().store().insert(e).ok());
    }
    db().closeTables(tables);

    choose(FrameCommand::FindDuplicates);
    DuplicateWindow* window = waitFor<DuplicateWindow>();
    ASSERT_NE(window, nullptr) << messagesSoFar();
    QTreeWidget* list = window->list();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->busy() && list->topLevelItemCount() > 0; }, 20000));
    EXPECT_EQ(window->windowTitle(), "Find Duplicates");
    EXPECT_EQ(window->summary()->text(), "3 songs and 2 albums looked through: 2 groups of duplicates.");
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Songs with the same artist and title (1 group)");

    // The group holds the two ways of writing Halo, with their file numbers; the live one is not there.
    QTreeWidgetItem* kept = findRow(list, "F000001", 4);
    ASSERT_NE(kept, nullptr);
    QTreeWidgetItem* group = kept->parent();
    ASSERT_EQ(group->childCount(), 2);
    EXPECT_EQ(group->text(0), QStringLiteral("Beyoncé \u2013 Halo (2 songs)"));
    EXPECT_EQ(group->child(1)->text(1), "Halo (Radio Edit)");
    EXPECT_EQ(findRow(list, "Halo (Live)", 1), nullptr);

    // On a group, only Keep; on a song, Delete and Merge into too.
    list->setCurrentItem(group);
    EXPECT_TRUE(window->button("Keep")->isEnabled());
    EXPECT_FALSE(window->button("Merge into")->isEnabled());
    list->setCurrentItem(kept);
    ASSERT_TRUE(window->button("Merge into")->isEnabled());
    // Asked first: No changes nothing.
    prompter.answers = {kButtonNo};
    QTest::mouseClick(window->button("Merge into"), Qt::LeftButton);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Find Duplicates");
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Keep \"Beyoncé \u2013 Halo\" and merge 1 other song into it? Their playlist entries "
                             "move to it, and they are deleted."));
    EXPECT_EQ(count(TableId::Tunarium), 3);
    prompter.answers = {kButtonYes};
    QTest::mouseClick(window->button("Merge into"), Qt::LeftButton);
    settle();
    ASSERT_EQ(prompter.messages.size(), 2) << messagesSoFar();

    // The playlist holds the song kept where the duplicate stood; the duplicate is gone.
    std::vector<qint64> songs;
    for (const PlaylistEntryRecord& e : all<PlaylistEntryRecord>()) {
        songs.push_back(e.id);
    }
    EXPECT_EQ(songs, (std::vector<qint64>{3, 1, 1}));
    std::vector<qint64> ids;
    for (const SongRecord& s : all<SongRecord>()) {
        ids.push_back(s.id);
    }
    EXPECT_EQ(ids, (std::vector<qint64>{1, 3}));
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Songs with the same artist and title (0 groups)");

    // The albums of one disc ID: set aside, nothing written.
    QTreeWidgetItem* disc = findRow(list, "Disc ID 9e0b5b0c (2 albums)", 0);
    ASSERT_NE(disc, nullptr);
    list->setCurrentItem(disc->child(0));
    EXPECT_FALSE(window->button("Delete")->isEnabled());
    QTest::mouseClick(window->button("Keep"), Qt::LeftButton);
    EXPECT_EQ(findRow(list, "Disc ID 9e0b5b0c (2 albums)", 0), nullptr);
    EXPECT_EQ(count(TableId::Album), 2);

    // Find looks again: the albums are there again, the merged songs are not.
    QSignalSpy searched(window, &DuplicateWindow::searched);
    QTest::mouseClick(window->button("Find"), Qt::LeftButton);
    ASSERT_TRUE(searched.wait(20000));
    EXPECT_EQ(window->summary()->text(), "2 songs and 2 albums looked through: 1 group of duplicates.");

    QTest::mouseClick(window->button("Close"), Qt::LeftButton);
    EXPECT_TRUE(waitGone<DuplicateWindow>());
    QFile positions(positionFilePath(db().collectionDir()));
    ASSERT_TRUE(positions.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(positions.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("[%1]").arg(QLatin1String(procedure::kFindDuplicates)),
                              Qt::CaseInsensitive))
        << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Backends, DuplicateJourney, ::testing::Values(test::Backend::File, test::Backend::Server),
                         test::backendName);

} // namespace
