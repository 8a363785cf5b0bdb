// The main procedure: the maintenance window before the frame after an interrupted run, the
// registration of the tables, the query wizard's setup, and ending the session in order.
#include "catalogue/query_wizard_setup.h"
#include "data/ini_file.h"
#include "data/settings.h"
#include "shell/ui/main_frame.h"
#include "shell/ui/program.h"
#include "shell/ui/session_end.h"
#include "shell_fixture.h"
#include "ui/dialog_units.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

using namespace tunarium;

namespace {

class ProgramTest : public test::ShellTest {
protected:
    std::unique_ptr<Program> makeProgram() {
        auto program = std::make_unique<Program>(dir.dir(), prompter, profile(), settingsPath());
        program->setShowSplash(false);
        return program;
    }
};

TEST_F(ProgramTest, OpensTheFrameWithEveryTableRegistered) {
    auto program = makeProgram();
    QSignalSpy opened(program.get(), &Program::frameOpened);
    program->start();
    ASSERT_EQ(opened.size(), 1);
    ASSERT_NE(program->frame(), nullptr);
    EXPECT_TRUE(program->frame()->isVisible());
    EXPECT_EQ(program->maintenanceWindow(), nullptr);
    for (const TableDef& t : allTables()) {
        EXPECT_EQ(program->database().store().tableState(t.id), TableState::Current) << t.label.toStdString();
    }
    EXPECT_EQ(applicationHelpFile(), "tnr98.HLP");
    EXPECT_EQ(queryWizardSetup().fileName, "NTRQUERY");
    EXPECT_EQ(queryWizardSetup().text(7), "Begins With");
    EXPECT_EQ(queryWizardSetup().text(100), "");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(ProgramTest, InterruptedRunOpensTheMaintenanceWindowBeforeTheFrame) {
    writeBadFile("tnrdata", profile());
    prompter.answers = {kButtonNo};
    auto program = makeProgram();
    QSignalSpy finished(program.get(), &Program::finished);
    program->start();

    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Warning");
    EXPECT_EQ(prompter.messages[0].text,
              "Warning : The program may have crashed attempting to open the file tnrdata. "
              "Do you wish to have the program attempt to fix the file ? ");
    EXPECT_EQ(prompter.messages[0].buttons, kButtonYes | kButtonNo);
    ASSERT_NE(program->maintenanceWindow(), nullptr);
    EXPECT_TRUE(program->maintenanceWindow()->isVisible());
    EXPECT_EQ(program->frame(), nullptr);
    // Answered No, the flag stays until the next successful open.
    EXPECT_EQ(readBadFile(profile()), "tnrdata");

    program->maintenanceWindow()->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return program->frame() != nullptr; }, 5000));
    EXPECT_TRUE(program->frame()->isVisible());
    EXPECT_TRUE(readBadFile(profile()).isEmpty());
    EXPECT_TRUE(finished.isEmpty());
}

TEST_F(ProgramTest, InterruptedRunFixedOnYesEndsTheProgram) {
    seed(5);
    writeBadFile("tnrdata", profile());
    prompter.answers = {kButtonYes};
    auto program = makeProgram();
    QSignalSpy finished(program.get(), &Program::finished);
    program->start();

    ASSERT_GE(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[1].caption, "Information");
    EXPECT_EQ(
        prompter.messages[1].text,
        "This program needs to close while the Fix Utility attempts to fix the file. When the fix program "
        "finishes running you can run this application again.");
    EXPECT_EQ(finished.size(), 1);
    EXPECT_EQ(program->frame(), nullptr);
    EXPECT_TRUE(readBadFile(profile()).isEmpty());
}

TEST_F(ProgramTest, TablesAreRegisteredOncePerProcess) {
    {
        auto program = makeProgram();
        program->start();
        ASSERT_TRUE(tablesRegistered());
        program->frame()->close();
    }
    // A second main procedure in the same process does not look at the flag again.
    writeBadFile("tnrdata", profile());
    auto again = makeProgram();
    again->start();
    EXPECT_EQ(again->maintenanceWindow(), nullptr);
    EXPECT_NE(again->frame(), nullptr);
}

TEST_F(ProgramTest, TerminationSignalClosesTheFrameInOrder) {
    auto program = makeProgram();
    program->start();
    MainFrame* frame = program->frame();
    ASSERT_NE(frame, nullptr);
    frame->setGeometry(50, 40, 640, 480);
    QSignalSpy finished(program.get(), &Program::finished);
    SessionEndWatcher watcher(frame);
    std::raise(SIGTERM);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.size() == 1; }, 5000)) << finished.size();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(program->database().openCount(TableId::Tunarium), 0);
    EXPECT_EQ(readIni(positions(), u"Main", u"Width"), QString::number(DialogUnits(frame).toUnitsX(640)));
}

} // namespace
