// The program closing while album wizards are open: Exit asks each of them to cancel, so that no
// album and no song any of them wrote stays behind, and the frame closes; a No keeps it all open.
#include "albums/procedure_names.h"
#include "albums/ui/albums_procedures.h"
#include "shell/ui/main_frame.h"
#include "shell_fixture.h"

#include <QMdiSubWindow>
#include <QSignalSpy>

namespace tunarium::test {
namespace {

class AlbumWizardExitTest : public ShellTest {
protected:
    Database db{prompter, dir.dir(), profile()};
    Settings settings{settingsPath()};
    ProcedureRegistry procedures;
};

TEST_F(AlbumWizardExitTest, ExitCancelsEveryOpenAlbumWizard) {
    seed(3, 0, {QStringLiteral("CD")});
    registerAlbumsProcedures(procedures);
    auto frame = std::make_unique<MainFrame>(db, settings, prompter, procedures);
    ASSERT_TRUE(frame->open());
    QSignalSpy closed(frame.get(), &MainFrame::closed);
    frame->trigger(FrameCommand::WizardAddAlbum);
    frame->trigger(FrameCommand::WizardAddAlbum);
    ASSERT_EQ(db.store().count(TableId::Album), 2);
    // Songs the wizards wrote, on two sides of the first album and one of the second.
    qint64 id = 100;
    for (qint64 album : {1, 1, 2}) {
        SongRecord s;
        s.id = ++id;
        s.albumId = album;
        s.side = id % 2 + 1;
        s.title = QStringLiteral("Written");
        ASSERT_TRUE(db.store().insert(s).ok());
    }
    ASSERT_EQ(db.store().count(TableId::Tunarium), 6);

    // Each wizard asks before it removes what it wrote; No keeps it, and the program with it.
    prompter.answers = {kButtonNo};
    frame->trigger(FrameCommand::Exit);
    EXPECT_EQ(closed.size(), 0);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(db.store().count(TableId::Album), 2);
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_TRUE(prompter.messages.last().text.contains("Cancel the album")) << prompter.messages.last().text.toStdString();

    prompter.answers = {kButtonYes, kButtonYes};
    frame->trigger(FrameCommand::Exit);
    EXPECT_EQ(closed.size(), 1);
    EXPECT_FALSE(frame->isVisible());
    ASSERT_TRUE(db.openTable(TableId::Album));
    ASSERT_TRUE(db.openTable(TableId::Tunarium));
    EXPECT_EQ(db.store().count(TableId::Album), 0);
    EXPECT_EQ(db.store().count(TableId::Tunarium), 3);
}

} // namespace
} // namespace tunarium::test
