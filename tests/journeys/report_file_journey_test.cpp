// A report printed from the Reports menu, previewed and saved as PDF: aimed at the collection's own
// file (by its name and through a link) it is refused and the collection works on; aimed at a file
// of the user's it replaces it whole.
#include "journey_fixture.h"

#include "reports/ui/report_criteria_window.h"
#include "reports/ui/report_preview_window.h"
#include "support/save_file_prompter.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>

using namespace tunarium;

namespace {

class ReportFileJourney : public test::JourneyTest {
protected:
    Prompter& programPrompter() override { return files; }

    template <class W> W* dialog(int ms = 5000) {
        W* found = nullptr;
        (void)QTest::qWaitFor(
            [&] {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (auto* d = dynamic_cast<W*>(w); d && d->isVisible()) {
                        found = d;
                    }
                }
                return found != nullptr;
            },
            ms);
        return found;
    }
    std::string told() const {
        std::string out;
        for (const PromptMessage& m : files.messages) {
            out += (m.caption + QStringLiteral(": ") + m.text + QLatin1Char('\n')).toStdString();
        }
        return out;
    }

    test::SaveFilePrompter files;
};

TEST_F(ReportFileJourney, APreviewSavedOntoTheCollectionIsRefusedAndOntoAFileReplacesItWhole) {
    ASSERT_TRUE(db().openTables({TableId::Tunarium}));
    for (qint64 id = 1; id <= 40; ++id) {
        SongRecord s;
        s.id = id;
        s.artist = QStringLiteral("Nightingale, Ada %1").arg(id);
        s.title = QStringLiteral("Song %1").arg(id);
        ASSERT_TRUE(db().store().insert(s).ok());
    }
    db().closeTables({TableId::Tunarium});

    // Reports › Songs › By Artist, previewed.
    choose(FrameCommand::ReportSongsByArtist);
    auto* criteria = dialog<ReportCriteriaWindow>();
    ASSERT_NE(criteria, nullptr) << told();
    criteria->previewBox()->setChecked(true);
    criteria->okButton()->click();
    auto* preview = waitFor<ReportPreviewWindow>(20000);
    ASSERT_NE(preview, nullptr) << told();
    QAction* save = nullptr;
    for (QAction* a : preview->findChildren<QAction*>()) {
        if (a->text() == QStringLiteral("Save as &PDF...")) {
            save = a;
        }
    }
    ASSERT_NE(save, nullptr);

    // Save as PDF onto the collection itself, by its name and through a link to it.
    const QString link = dir.configDir() + "/report.pdf";
    ASSERT_TRUE(QFile::link(dir.path("tunarium.db"), link));
    for (const QString& target : {dir.path("tunarium.db"), link, dir.path("tunarium.db-wal")}) {
        files.messages.clear();
        files.answer = target;
        save->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return save->isEnabled(); }, 20000));
        ASSERT_EQ(files.messages.size(), 1) << target.toStdString() << told();
        EXPECT_EQ(files.messages[0].caption, "Save as PDF");
        EXPECT_TRUE(files.messages[0].text.contains("holds the collection itself")) << told();
    }
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(count(TableId::Tunarium), 40);

    // The collection works on: every song reads back whole.
    const std::vector<SongRecord> kept = all<SongRecord>();
    ASSERT_EQ(kept.size(), 40u);
    EXPECT_EQ(kept.back().artist, "Nightingale, Ada 40");

    // A file of the user's is replaced by the whole report.
    const QString mine = dir.configDir() + "/songs.pdf";
    writeText(mine, "an older report");
    files.messages.clear();
    files.answer = mine;
    save->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return save->isEnabled(); }, 20000));
    EXPECT_TRUE(files.messages.isEmpty()) << told();
    const QString text = pdfText(mine);
    EXPECT_TRUE(text.contains("Nightingale, Ada 40")) << text.left(400).toStdString();
    EXPECT_EQ(QDir(dir.configDir()).entryList({".*tunarium-*"}, QDir::Files | QDir::Hidden), QStringList());
}

} // namespace
