// Tips: the tip after the one shown last, Next and Back round either end and over gaps in the
// numbers, the shipped tips, the editor's numbering and its duplicate warnings, and the tip window
// keeping `Tip` and `ShowTips`.
#include "data/database.h"
#include "data/ini_file.h"
#include "shell/tips.h"
#include "shell/ui/tip_window.h"
#include "shell/ui/tips_browse_window.h"
#include "shell_fixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>

using namespace tunarium;

namespace {

class TipsTest : public test::ShellTest {
protected:
    void SetUp() override {
        test::ShellTest::SetUp();
        ASSERT_TRUE(db.openTable(TableId::TNRTips));
    }
    void TearDown() override { db.closeTable(TableId::TNRTips); }

    void addTips(const QVector<qint64>& ids) {
        for (qint64 id : ids) {
            TipRecord t;
            t.id = id;
            t.tip = QStringLiteral("Tip number %1").arg(id);
            ASSERT_TRUE(db.store().insert(t).ok());
        }
    }
    // The numbers `step` visits, `count` times from opening after `lastShown`.
    QVector<qint64> walk(qint64 lastShown, int count, bool forward) {
        TipCursor cursor(db.store());
        QVector<qint64> seen;
        if (!cursor.open(lastShown)) {
            return seen;
        }
        seen << cursor.number();
        for (int i = 1; i < count; ++i) {
            forward ? cursor.next() : cursor.back();
            seen << cursor.number();
        }
        return seen;
    }

    Database db{prompter, dir.dir(), profile()};
    Settings settings{settingsPath()};
};

TEST_F(TipsTest, TheTipAfterTheLastShownAndRoundAtEitherEnd) {
    addTips({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(walk(10, 1, true), QVector<qint64>({1})); // ten tips, Tip = 10: the next start shows 1
    EXPECT_EQ(walk(3, 1, true), QVector<qint64>({4}));
    EXPECT_EQ(walk(0, 3, true), QVector<qint64>({1, 2, 3}));
    EXPECT_EQ(walk(9, 3, true), QVector<qint64>({10, 1, 2}));
    EXPECT_EQ(walk(10, 3, false), QVector<qint64>({1, 10, 9})); // Back from tip 1 shows the last
}

TEST_F(TipsTest, NextAndBackVisitEveryTipAcrossGapsInTheNumbers) {
    addTips({2, 5, 9, 40});
    EXPECT_EQ(walk(0, 5, true), QVector<qint64>({2, 5, 9, 40, 2}));
    EXPECT_EQ(walk(40, 5, false), QVector<qint64>({2, 40, 9, 5, 2}));
    EXPECT_EQ(walk(6, 1, true), QVector<qint64>({9})); // a number no tip has: the one after it
}

TEST_F(TipsTest, AnEmptyTableShowsNothing) {
    TipCursor cursor(db.store());
    EXPECT_FALSE(cursor.open(1));
    EXPECT_FALSE(cursor.hasTip());
    ProcedureRegistry procedures;
    TipWindow window({db, settings, prompter, nullptr, nullptr, procedures});
    EXPECT_FALSE(window.start());
}

TEST_F(TipsTest, FortyShippedTipsGoIntoAnEmptyTableOnly) {
    const QStringList& tips = shippedTips();
    EXPECT_EQ(tips.size(), 40);
    EXPECT_EQ(QSet<QString>(tips.begin(), tips.end()).size(), 40); // the text key is unique
    for (const QString& tip : tips) {
        EXPECT_LE(tip.size(), 1024) << tip.toStdString();
    }
    EXPECT_EQ(seedTips(db.store()), 40);
    EXPECT_EQ(db.store().count(TableId::TNRTips), 40);
    EXPECT_EQ(seedTips(db.store()), 0);
    EXPECT_EQ(db.store().count(TableId::TNRTips), 40);
    EXPECT_EQ(walk(40, 1, true), QVector<qint64>({1}));

    // While the tips are being edited the table is left as its editor left it.
    test::TempCollection other;
    RecordingPrompter quiet;
    Database empty(quiet, other.dir(), profile());
    writeIni(settingsPath(), u"Settings", u"DbgMode", "1");
    seedTipsAtStart(empty, Settings::load(settingsPath()));
    ASSERT_TRUE(empty.openTable(TableId::TNRTips));
    EXPECT_EQ(empty.store().count(TableId::TNRTips), 0);
    empty.closeTable(TableId::TNRTips);
}

TEST_F(TipsTest, TheEditorNumbersAfterTheHighestAndRefusesATipTwice) {
    addTips({1, 7});
    TipEditing editing(db);
    TipRecord added;
    added.tip = QString(1024, u'x'); // a tip as long as a tip can be
    ASSERT_TRUE(editing.insert(added));
    EXPECT_EQ(added.id, 8);
    EXPECT_TRUE(prompter.messages.isEmpty());

    TipRecord again;
    again.tip = QString(1024, u'x');
    EXPECT_FALSE(editing.insert(again));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Duplicate Key Error");
    EXPECT_TRUE(prompter.messages[0].text.contains("Tips"));

    // Changing a tip into another tip's text is refused the same way, and the form stays.
    prompter.messages.clear();
    TipRecord first;
    ASSERT_TRUE(db.store().get(tip::kKeyId, {1}, first).ok());
    first.tip = QStringLiteral("Tip number 7");
    EXPECT_EQ(editing.change(first), TipEditing::Saved::Stay);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Duplicate Key Error");
    first.tip = QStringLiteral("A better first tip");
    EXPECT_EQ(editing.change(first), TipEditing::Saved::Written);

    // Delete asks first; Cancel keeps the tip.
    prompter.messages.clear();
    prompter.answers = {kButtonCancel};
    EXPECT_FALSE(editing.remove(first));
    EXPECT_EQ(prompter.messages[0].caption, "Confirm Delete");
    EXPECT_EQ(db.store().count(TableId::TNRTips), 3);
    prompter.answers = {kButtonOk};
    EXPECT_TRUE(editing.remove(first));
    EXPECT_EQ(db.store().count(TableId::TNRTips), 2);
}

TEST_F(TipsTest, TheWindowKeepsTheTipShownAndTheCheckBox) {
    addTips({1, 2, 3});
    writeIni(settingsPath(), u"Settings", u"Tip", "1");
    settings.reload();
    ProcedureRegistry procedures;
    auto* window = new TipWindow({db, settings, prompter, nullptr, nullptr, procedures});
    ASSERT_TRUE(window->start());
    EXPECT_EQ(window->tipText(), "Tip number 2");
    window->button("&Next")->click();
    window->button("&Next")->click();
    EXPECT_EQ(window->tipText(), "Tip number 1");
    window->button("&Back")->click();
    EXPECT_EQ(window->tipText(), "Tip number 3");
    window->showAtStartUp()->setChecked(false);
    window->button("Cl&ose")->click();
    EXPECT_EQ(readIni(settingsPath(), u"Settings", u"Tip"), "3");
    EXPECT_EQ(readIni(settingsPath(), u"Settings", u"ShowTips"), "0");
    EXPECT_FALSE(settings.showTips()); // the loader ran: the next start shows no tip
    // The closed window goes now, while the collection it holds a table of is still open.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(TipsTest, TheTipEditorAddsChangesAndDeletesThroughItsForm) {
    addTips({1, 4});
    ProcedureRegistry procedures;
    auto* browse = new TipsBrowseWindow({db, settings, prompter, nullptr, nullptr, procedures});
    ASSERT_TRUE(browse->start());
    EXPECT_EQ(browse->list()->rowCount(), 2);

    // A tip typed longer than a tip holds is cut at 1024 characters, and numbered after the highest.
    browse->button("&Add")->click();
    ASSERT_NE(browse->form(), nullptr);
    browse->form()->text()->setPlainText(QString(1100, u'y'));
    EXPECT_EQ(browse->form()->text()->toPlainText().size(), 1024);
    browse->form()->ok();
    ASSERT_EQ(browse->list()->rowCount(), 3);
    TipRecord added;
    ASSERT_TRUE(db.store().get(tip::kKeyId, {5}, added).ok());
    EXPECT_EQ(added.tip, QString(1024, u'y'));
    EXPECT_EQ(browse->list()->currentRow(), 2); // the new tip is the one selected
    EXPECT_EQ(browse->list()->item(2, 0)->text().size(), 255);

    browse->list()->selectRow(0);
    browse->button("&Change")->click();
    ASSERT_NE(browse->form(), nullptr);
    browse->form()->text()->setPlainText("Press F1 for help.");
    browse->form()->ok();
    EXPECT_EQ(browse->list()->item(0, 0)->text(), "Press F1 for help.");

    prompter.answers = {kButtonOk};
    browse->list()->selectRow(1);
    browse->button("&Delete")->click();
    EXPECT_EQ(browse->list()->rowCount(), 2);
    EXPECT_FALSE(db.store().get(tip::kKeyId, {4}, added).ok());
    delete browse;
}

} // namespace
