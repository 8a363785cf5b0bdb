// A disc that is in the collection already, read again as a user does: the quick wizard files it
// once, then tells it on the next read, under its pages, with a button to the album that holds it;
// a disc that is not there clears the line; the command line's cd identify prints the same line.
#include "journey_fixture.h"

#include "albums/ui/add_wizard_window.h"
#include "albums/ui/update_album_window.h"
#include "catalogue/ui/picture_edit.h"
#include "support/cli_run.h"

#include <QLabel>
#include <QPushButton>

using namespace tunarium;

namespace {

constexpr char kArrival[] = "1 3 49692 150 15544 33892";
constexpr char kAnotherDisc[] = "1 2 52000 150 16000";
const QString kHere = QStringLiteral("This disc is in the collection: file number F000123, Abba \u2013 Arrival");

class DiscHereJourney : public test::JourneyTest {
protected:
    // Add Album by Single Artist with the facts typed, and the disc in the drive read into it.
    AddWizardWindow* wizardWithDiscRead(const QString& album, const QString& fileNumber) {
        choose(FrameCommand::WizardQuickSingleArtist);
        auto* w = waitFor<AddWizardWindow>();
        if (!w) {
            return nullptr;
        }
        w->artistField()->setText(QStringLiteral("Abba"));
        w->albumField()->setText(album);
        w->fileNumberField()->setText(fileNumber);
        readAgain(w);
        return w;
    }
    void readAgain(AddWizardWindow* w) {
        w->button(QStringLiteral("&Read Compact Disc Information"))->click();
        EXPECT_TRUE(QTest::qWaitFor([w] { return w->readingWindow() == nullptr; }, 10000));
        settle();
    }
    test::CliRun identify() {
        return test::runCli(dir, {"--dir", dir.dir(), "cd", "identify", "--toc", dir.path("disc.toc")});
    }
};

TEST_F(DiscHereJourney, ADiscAlreadyFiledIsToldWithItsAlbumAButtonAway) {
    putDisc(kArrival);
    AddWizardWindow* w = wizardWithDiscRead(QStringLiteral("Arrival"), QStringLiteral("F000123"));
    ASSERT_NE(w, nullptr) << messagesSoFar();
    ASSERT_EQ(w->engine().rowCount(), 3) << messagesSoFar();
    EXPECT_FALSE(w->discNotice()->isVisible()) << "a new disc is in no album";
    w->button(QStringLiteral("&OK"))->click();
    ASSERT_TRUE(waitGone<AddWizardWindow>()) << messagesSoFar();
    const std::vector<AlbumRecord> albums = all<AlbumRecord>();
    ASSERT_EQ(albums.size(), 1u) << messagesSoFar();
    const qint64 arrival = albums.front().albumId;
    EXPECT_FALSE(albums.front().cdIdentifier.trimmed().isEmpty());
    EXPECT_EQ(albums.front().xccd.size(), 8) << "the album keeps the disc's CDDB number too";

    // The same disc again, meant for another album: the wizard says where it is and reads on.
    const int said = int(prompter.messages.size());
    w = wizardWithDiscRead(QStringLiteral("Arrival (Deluxe)"), {});
    ASSERT_NE(w, nullptr) << messagesSoFar();
    EXPECT_EQ(int(prompter.messages.size()), said) << "the notice asks nothing: " << messagesSoFar();
    EXPECT_EQ(w->engine().rowCount(), 3);
    ASSERT_TRUE(w->discNotice()->isVisible());
    EXPECT_EQ(w->discNotice()->textLabel()->text(), kHere);

    // Open Album: that album's form, in front of the wizard, which waits for it.
    QPushButton* open = w->discNotice()->openButton();
    ASSERT_TRUE(open->isEnabled());
    open->click();
    settle();
    auto* form = waitFor<UpdateAlbumWindow>();
    ASSERT_NE(form, nullptr) << messagesSoFar();
    EXPECT_EQ(form->record().number(alb::kAlbumId), arrival);
    EXPECT_EQ(form->record().text(alb::kAlbum).trimmed(), QStringLiteral("Arrival"));
    EXPECT_FALSE(w->isEnabled());
    QPushButton* close = nullptr;
    for (QPushButton* b : form->findChildren<QPushButton*>()) {
        if (b->text() == FormWindow::dismissText(Request::Change)) {
            close = b;
        }
    }
    ASSERT_NE(close, nullptr);
    close->click();
    ASSERT_TRUE(waitGone<UpdateAlbumWindow>()) << messagesSoFar();
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(all<AlbumRecord>().size(), 1u) << "looking at the album changed nothing";

    // The command line says the same of the disc in the drive, and succeeds.
    if (test::cliAvailable()) {
        const test::CliRun run = identify();
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith(QStringLiteral("tracks: 3\n"))) << run.out.toStdString();
        EXPECT_TRUE(run.out.endsWith(kHere + u'\n')) << run.out.toStdString();
    }

    // Another disc: no album has it, and the line goes.
    putDisc(kAnotherDisc);
    readAgain(w);
    EXPECT_EQ(w->engine().rowCount(), 3);
    EXPECT_FALSE(w->discNotice()->isVisible());
    if (test::cliAvailable()) {
        const test::CliRun run = identify();
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_FALSE(run.out.contains(QStringLiteral("in the collection"))) << run.out.toStdString();
    }
    prompter.answers = {kButtonYes};
    w->button(QStringLiteral("Cancel"))->click();
    ASSERT_TRUE(waitGone<AddWizardWindow>()) << messagesSoFar();
    EXPECT_EQ(all<AlbumRecord>().size(), 1u);
}

} // namespace
