// Every window the menus open gives back the tables it took: the user opens each in turn over a
// collection with an album and its songs, closes it (answering Yes to whatever is asked), and the
// counted opens of every table are then as the frame alone holds them.
#include "data/table_lease.h"
#include "journey_fixture.h"

#include <QTimer>

using namespace tunarium;

namespace {

// Answers Yes where a message offers it, else the message's default, and keeps the messages in
// the journey's prompter (a chooser of files gets nothing, so that Import and Export stop at once).
class YesPrompter : public Prompter {
public:
    explicit YesPrompter(RecordingPrompter& record) : m_record(record) {}
    int message(const PromptMessage& m) override {
        m_record.message(m);
        return (m.buttons & kButtonYes) != 0 ? kButtonYes : m.defaultButton;
    }
    void halt(const QString& text) override { m_record.halt(text); }

private:
    RecordingPrompter& m_record;
};

class TableLeaseJourney : public test::JourneyTest {
protected:
    Prompter& programPrompter() override { return yes; }

    // Every table's count of opens by its number, then the songs alias's and the event log's.
    std::vector<int> counts() {
        std::vector<int> out(kTableCount + 2, 0);
        for (const TableDef& t : allTables()) {
            out[static_cast<size_t>(t.id)] = db().openCount(t.id);
        }
        out[kTableCount] = db().songsAliasCount();
        out[kTableCount + 1] = db().eventLogCount();
        return out;
    }
    // Closes every window but the frame: those in the workspace and any of its own.
    void closeAllButTheFrame() {
        for (int round = 0; round < 20; ++round) {
            bool open = false;
            workspace()->closeAllSubWindows();
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w != frame() && w->isVisible()) {
                    open = true;
                    w->close();
                }
            }
            settle();
            open = open || !workspace()->subWindowList().isEmpty();
            if (!open) {
                return;
            }
        }
    }

    YesPrompter yes{prompter};
};

TEST_F(TableLeaseJourney, EveryWindowOfTheMenusGivesBackTheTablesItTook) {
    {
        const TableLease tables(db(), {TableId::Album, TableId::Tunarium});
        ASSERT_TRUE(tables);
        AlbumRecord album;
        album.albumId = 1;
        album.album = QStringLiteral("Abbey Road");
        album.artist = QStringLiteral("The Beatles");
        album.fileNumber = QStringLiteral("CD1");
        ASSERT_TRUE(db().store().insert(album).ok());
        for (int track = 1; track <= 3; ++track) {
            SongRecord song;
            song.id = track;
            song.albumId = 1;
        song.album = album.album;
            song.artist = album.artist;
            song.title = QStringLiteral("Song %1").arg(track);
            song.fileNumber = album.fileNumber;
            song.trackNumber = track;
            ASSERT_TRUE(db().store().insert(song).ok());
        }
    }
    // A modal window (a question of Qt's own, a chooser) is closed as soon as it shows.
    QTimer modal;
    QObject::connect(&modal, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            w->close();
        }
    });
    modal.start(50);
    const std::vector<int> frameOnly = counts();
    const FrameCommand windows[] = {
        FrameCommand::BrowseAlbums,          FrameCommand::BrowseSongs,
        FrameCommand::WizardAddAlbum,        FrameCommand::WizardQuickCompilation,
        FrameCommand::WizardQuickSingleArtist, FrameCommand::WizardAddLabel,
        FrameCommand::BrowseLabels,          FrameCommand::BrowsePlayLists,
        FrameCommand::GeneratePlaylist,      FrameCommand::BrowseCategories,
        FrameCommand::BrowseMediaFormats,    FrameCommand::CollectionStatistics,
        FrameCommand::FindDuplicates,        FrameCommand::ReportSongsByArtist,
        FrameCommand::ReportAlbumsByFileNumber, FrameCommand::ReportCdBinderPages,
        FrameCommand::ReportLabels,          FrameCommand::ReportPlaylists,
        FrameCommand::HelpTips,              FrameCommand::Preferences,
    };
    int holding = 0;
    for (FrameCommand command : windows) {
        SCOPED_TRACE(static_cast<int>(command));
        choose(command);
        QTest::qWait(100);
        settle();
        if (counts() != frameOnly) {
            ++holding;
        }
        closeAllButTheFrame();
        EXPECT_EQ(counts(), frameOnly) << messagesSoFar();
        EXPECT_FALSE(db().halted());
    }
    // Most of them hold tables beyond the frame's while they are open.
    EXPECT_GE(holding, 12);
    // Nothing the windows did lost the collection's records.
    EXPECT_EQ(count(TableId::Album), 1);
    EXPECT_EQ(count(TableId::Tunarium), 3);
}

} // namespace
