// The label windows as a user works them: "Create Label..." on an album fills the form, the type
// shows its own elements, a font chosen in Favorite Fonts comes back to the element, OK refuses a
// label without a description, and Quick CD Insert of an album without a file number says why.
#include "data/database.h"
#include "data/records.h"
#include "reports/procedure_names.h"
#include "reports/ui/binder_pages_window.h"
#include "reports/ui/favorite_fonts_window.h"
#include "reports/ui/label_procedures.h"
#include "reports/ui/label_wizard_window.h"
#include "reports/ui/labels_browse_window.h"
#include "process/ui/process_window.h"
#include "reports/binder_pages.h"
#include "reports/ui/report_preview_window.h"
#include "reports/ui/update_label_window.h"
#include "support/temp_collection.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class LabelWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.openTables({TableId::Album, TableId::Tunarium, TableId::Labels, TableId::Fonts}));
        registerLabelProcedures(procedures);
        AlbumRecord a;
        a.albumId = 4;
        a.artist = QStringLiteral("Smith, Anna");
        a.album = QStringLiteral("Blue");
        ASSERT_TRUE(db.store().insert(a).ok());
        for (int t = 1; t <= 3; ++t) {
            SongRecord s;
            s.id = t;
            s.albumId = 4;
            s.artist = a.artist;
            s.title = QStringLiteral("Song %1").arg(t);
            s.trackNumber = t;
            ASSERT_TRUE(db.store().insert(s).ok());
        }
        area.resize(1000, 700);
        area.show();
    }
    void TearDown() override {
        area.closeAllSubWindows();
        settle();
    }
    static void settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    ProcedureContext context(const QVariant& argument = {}) {
        return {db, settings, prompter, &area, nullptr, procedures, argument};
    }
    template <class W> W* window() {
        for (QMdiSubWindow* sub : area.subWindowList()) {
            if (auto* w = dynamic_cast<W*>(sub->widget())) {
                return w;
            }
        }
        return nullptr;
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    Settings settings{dir.configDir() + "/Tunar98.INI"};
    ProcedureRegistry procedures;
    QMdiArea area;
};

TEST_F(LabelWindowsTest, CreateLabelFillsTheFormFromTheAlbumAndTheTypeShowsItsOwnElements) {
    ASSERT_TRUE(procedures.start(QString::fromLatin1(procedure::kCreateLabel), context(4)));
    UpdateLabelWindow* form = window<UpdateLabelWindow>();
    ASSERT_TRUE(form);
    const Row shown = form->shownLabel();
    EXPECT_EQ(shown.text(lab::kCdSpine), "Blue - Anna Smith");
    EXPECT_EQ(shown.text(lab::kCassetteContentsA), "  1. Song 1\r\n  2. Song 2\r\n  3. Song 3");
    EXPECT_EQ(shown.number(lab::kAlbumId), 4);
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_EQ(prompter.messages.last().text, "The text has been updated to use this information.");

    QTabWidget* tabs = form->tabs();
    auto visible = [tabs](const QString& caption) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->tabText(i) == caption) {
                return tabs->isTabVisible(i);
            }
        }
        return false;
    };
    form->typeBox()->setCurrentText(QStringLiteral("CD"));
    EXPECT_TRUE(visible("Front Cover") && visible("Back Cover"));
    EXPECT_FALSE(visible("Side A") || visible("Side B"));
    form->typeBox()->setCurrentText(QStringLiteral("Cassette"));
    EXPECT_FALSE(visible("Front Cover") || visible("Back Cover"));
    EXPECT_TRUE(visible("Side A") && visible("Side B"));

    form->accept();
    settle();
    Row saved(TableId::Labels);
    ASSERT_TRUE(db.store().get(TableId::Labels, lab::kKeyLabelId, {1}, saved).ok());
    EXPECT_EQ(saved.text(lab::kLabelDescription), "Blue - Anna Smith");
    EXPECT_EQ(saved.text(lab::kLabelType), "Cassette");
}

TEST_F(LabelWindowsTest, AFontChosenInFavoriteFontsComesBackToItsElement) {
    FontRecord f;
    f.fontId = 9;
    f.typeFace = QStringLiteral("Arial");
    f.size = QStringLiteral("14");
    ASSERT_TRUE(db.store().insert(f).ok());
    auto* form = new UpdateLabelWindow(context(), Request::Insert, Row(TableId::Labels), {});
    ASSERT_TRUE(form->start(&area));
    EXPECT_EQ(form->fontLine(lab::kCdTitleFontId), "No Selected Font");
    // Select Font starts Favorite Fonts as a selection list; its Select answers the form.
    ProcedureContext c = context(qint64(0));
    QPointer<UpdateLabelWindow> target(form);
    c.answer = [target](int response, const Row& chosen) {
        if (target && response == static_cast<int>(Response::Completed)) {
            target->setFont(lab::kCdTitleFontId, chosen.number(fon::kFontId));
        }
    };
    FavoriteFontsWindow* fonts = FavoriteFontsWindow::openFonts(c);
    ASSERT_TRUE(fonts);
    settle();
    ASSERT_GT(fonts->engine().rowCount(), 0);
    fonts->button(BrowseAction::Select)->click();
    settle();
    EXPECT_EQ(form->fontLine(lab::kCdTitleFontId), "Arial 14  Colour:    Style:  ");
    EXPECT_EQ(form->shownLabel().number(lab::kCdTitleFontId), 9);
}

TEST_F(LabelWindowsTest, OkWithoutADescriptionAsksForOneAndQuickCdInsertNeedsAFileNumber) {
    auto* form = new UpdateLabelWindow(context(), Request::Insert, Row(TableId::Labels), {});
    ASSERT_TRUE(form->start(&area));
    form->accept();
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_EQ(prompter.messages.last().text, "Please give the label a description.");
    EXPECT_TRUE(window<UpdateLabelWindow>()); // still open

    prompter.messages.clear();
    ASSERT_TRUE(procedures.start(QString::fromLatin1(procedure::kQuickCdInsert), context(4)));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith("The album has no file number"));
    prompter.messages.clear();
    ASSERT_TRUE(procedures.start(QString::fromLatin1(procedure::kQuickCdInsert), context(77)));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "The album is no longer in the collection.");
}

TEST_F(LabelWindowsTest, BinderPagesOfARangeGoToThePreviewAndAnEmptyRangeSaysSo) {
    AlbumRecord numbered;
    numbered.albumId = 5;
    numbered.artist = QStringLiteral("Various");
    numbered.album = QStringLiteral("Hits");
    numbered.fileNumber = QStringLiteral("B7");
    ASSERT_TRUE(db.store().insert(numbered).ok());

    BinderPagesWindow* pages = BinderPagesWindow::openBinderPages(context());
    ASSERT_TRUE(pages);
    // The album selector is the albums room's: its buttons wait for it.
    EXPECT_FALSE(pages->lookupButton(0)->isEnabled());
    pages->startingNumber()->setText(QStringLiteral("C"));
    pages->endingNumber()->setText(QStringLiteral("D"));
    pages->accept();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.messages.isEmpty(); }, 10000));
    EXPECT_EQ(prompter.messages.last().text, "Nothing to Preview.");
    EXPECT_FALSE(window<ReportPreviewWindow>());

    pages = BinderPagesWindow::openBinderPages(context());
    pages->flapOption()->setChecked(true);
    pages->startingNumber()->setText(QStringLiteral("b"));
    pages->endingNumber()->setText(QStringLiteral("B9"));
    pages->accept();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window<ReportPreviewWindow>() != nullptr; }, 10000));
    EXPECT_EQ(window<ReportPreviewWindow>()->state().pageCount(), 1);
}

// The labels browse's Wizard: the label it adds is the one selected afterwards, so that Change
// edits it and not the first label of the list.
TEST_F(LabelWindowsTest, TheLabelTheWizardAddsIsSelectedInTheBrowse) {
    qint64 id = 0;
    for (const char* description : {"Alpha", "Beta"}) {
        LabelRecord label;
        label.labelId = ++id;
        label.labelDescription = QString::fromLatin1(description);
        ASSERT_TRUE(db.store().insert(label).ok());
    }
    LabelsBrowseWindow* browse = LabelsBrowseWindow::openLabels(context());
    ASSERT_TRUE(browse);
    ASSERT_EQ(browse->engine().record().text(lab::kLabelDescription).trimmed(), "Alpha");
    browse->wizardButton()->click();
    settle();
    auto* wizard = window<LabelWizardWindow>();
    ASSERT_TRUE(wizard);
    wizard->descriptionEdit()->setText(QStringLiteral("Gamma"));
    wizard->finishWizard();
    settle();
    ASSERT_FALSE(window<LabelWizardWindow>()) << (prompter.messages.isEmpty() ? "" : prompter.messages.last().text.toStdString());
    EXPECT_EQ(browse->engine().record().text(lab::kLabelDescription).trimmed(), "Gamma");
}

// Cancel of binder pages asks as a report's does; with pages made, it offers them in the preview.
TEST_F(LabelWindowsTest, CancellingBinderPagesAsksAndMayPreviewThePagesMadeSoFar) {
    for (int n = 1; n <= 120; ++n) {
        AlbumRecord a;
        a.albumId = 100 + n;
        a.artist = QStringLiteral("Artist %1").arg(n);
        a.album = QStringLiteral("Album %1").arg(n);
        a.fileNumber = QStringLiteral("F%1").arg(n, 4, 10, QLatin1Char('0'));
        ASSERT_TRUE(db.store().insert(a).ok());
    }
    prompter.answers = {kButtonYes, kButtonYes};
    BinderPagesWindow* pages = BinderPagesWindow::openBinderPages(context());
    ASSERT_TRUE(pages);
    pages->startingNumber()->setText(QStringLiteral("F0001"));
    pages->endingNumber()->setText(QStringLiteral("F0120"));
    pages->accept();
    ProcessWindow* progress = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        progress = window<ProcessWindow>();
        return progress && dynamic_cast<BinderPagesProcess&>(progress->process()).pages() > 1;
    }, 10000));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(progress, &escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window<ReportPreviewWindow>() != nullptr; }, 10000));
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[0].text, "Are you sure you want to CANCEL this Report?");
    EXPECT_TRUE(prompter.messages[1].text.contains("Preview Report generated so far?"));
    const int shown = window<ReportPreviewWindow>()->state().pageCount();
    EXPECT_GE(shown, 2);
    EXPECT_LT(shown, 30); // not the whole run: four albums a page would make 30
}

} // namespace
