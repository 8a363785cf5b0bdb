// The query wizard dialog driven as a user drives it.
#include "catalogue/ui/query_element_row.h"
#include "catalogue/ui/query_wizard_dialog.h"
#include "query_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tunarium;
using namespace tunarium::test;

namespace {

class QueryWizardDialogTest : public ::testing::Test {
protected:
    QueryWizardDialog* open(const QString& filter = {}) {
        auto* dialog = new QueryWizardDialog(fields, dir.dir(), prompter, filter, &caller);
        QObject::connect(dialog, &QueryWizardDialog::queryFinished,
                         [this](const QueryWizardResult& r) { results << r; });
        dialog->start();
        return dialog;
    }

    static void choose(QComboBox* box, const QString& text) {
        const int i = box->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        box->setCurrentIndex(i);
    }

    static void screenshot(QWidget* w, const QString& name) {
        if (!qEnvironmentVariableIsEmpty("TUNARIUM_SCREENSHOTS")) {
            QCoreApplication::processEvents();
            w->grab().save(qEnvironmentVariable("TUNARIUM_SCREENSHOTS") + "/" + name);
        }
    }

    TempCollection dir;
    RecordingPrompter prompter;
    QueryFieldList fields = loadQueryFields(songsQueryFieldsText(), "SONGS", TableId::Tunarium).list;
    QWidget caller;
    QList<QueryWizardResult> results;
};

TEST_F(QueryWizardDialogTest, BuildsAQueryOfTwoElementsAndReturnsItsText) {
    caller.show();
    QueryWizardDialog* d = open();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowModality(), Qt::WindowModal);
    EXPECT_EQ(d->windowTitle(), "Query Wizard");
    EXPECT_EQ(d->currentQueryEdit()->toPlainText(), "All Records");

    QTest::mouseClick(d->addAndButton(), Qt::LeftButton);
    ASSERT_EQ(d->rows().size(), 1);
    QueryElementRow* first = d->rows()[0];
    choose(first->fieldBox(), "Artist");
    choose(first->operatorBox(), "Contains");
    QTest::keyClicks(first->valueEdit(), "O'B%");

    QTest::mouseClick(d->addOrButton(), Qt::LeftButton);
    ASSERT_EQ(d->rows().size(), 2);
    QueryElementRow* second = d->rows()[1];
    choose(second->fieldBox(), "Type of ending");
    EXPECT_EQ(second->operatorBox()->currentText(), "Is Equal To");
    EXPECT_TRUE(second->choiceBox()->isVisibleTo(d));
    EXPECT_FALSE(second->valueEdit()->isVisibleTo(d));
    choose(second->choiceBox(), "Abrupt");

    const QString expected = "(INSTRING(UPPER('O''B%'), UPPER(TUN:Artist), 1, 1) <> 0) OR "
                             "(UPPER(TUN:EndType) = UPPER('Abrupt'))";
    EXPECT_EQ(d->currentQueryEdit()->toPlainText(), expected);
    screenshot(d, "query_wizard.png");

    QTest::mouseClick(d->finishButton(), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    ASSERT_EQ(results.size(), 1);
    EXPECT_TRUE(results[0].ran);
    EXPECT_EQ(results[0].filter, expected);
    EXPECT_TRUE(prompter.messages.isEmpty());
    delete d;
}

TEST_F(QueryWizardDialogTest, ValueControlsFollowTheField) {
    QueryWizardDialog* d = open();
    QTest::mouseClick(d->addAndButton(), Qt::LeftButton);
    QueryElementRow* row = d->rows()[0];
    choose(row->fieldBox(), "Skips");
    EXPECT_EQ(row->operatorBox()->currentText(), "Is Checked");
    EXPECT_EQ(row->operatorBox()->count(), 4);
    EXPECT_EQ(d->currentQueryEdit()->toPlainText(), "(TUN:Skips <> 0)");
    choose(row->operatorBox(), "Is Equal To");
    EXPECT_EQ(row->valueCheck()->text(), "Skips");
    row->valueCheck()->setChecked(false);
    EXPECT_EQ(d->currentQueryEdit()->toPlainText(), "(TUN:Skips = 0)");

    choose(row->fieldBox(), "Release");
    EXPECT_EQ(row->operatorBox()->count(), 10);
    EXPECT_FALSE(row->caseCheck()->isEnabled());
    QTest::keyClicks(row->valueEdit(), "someday");
    EXPECT_EQ(row->element().field, "TUN:ReleaseDate");

    // A value the field cannot hold keeps the dialog open with the reason.
    QTest::mouseClick(d->finishButton(), Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Invalid Query");
    EXPECT_TRUE(results.isEmpty());

    choose(row->sourceBox(), "Another Field");
    choose(row->otherFieldBox(), "Date Last Played");
    EXPECT_EQ(d->currentQueryEdit()->toPlainText(), "(TUN:ReleaseDate = TUN:LastPlayed)");
    QTest::mouseClick(row->findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_EQ(d->currentQueryEdit()->toPlainText(), "All Records");
    delete d;
}

TEST_F(QueryWizardDialogTest, ManualCriteriaAndCancel) {
    QueryWizardDialog* d = open("TUN:Live");
    EXPECT_TRUE(d->manualCheck()->isChecked());
    EXPECT_FALSE(d->currentQueryEdit()->isReadOnly());
    EXPECT_FALSE(d->addAndButton()->isEnabled());
    d->currentQueryEdit()->setPlainText("TUN:Artst = 'x'");
    QTest::mouseClick(d->finishButton(), Qt::LeftButton);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.contains("Unknown field TUN:Artst"));

    QTest::mouseClick(d->cancelButton(), Qt::LeftButton);
    ASSERT_EQ(results.size(), 1);
    EXPECT_FALSE(results[0].ran);
    EXPECT_EQ(results[0].filter, "TUN:Live");
    delete d;
}

TEST_F(QueryWizardDialogTest, SavesAndRunsAQuery) {
    QueryWizardDialog* d = open();
    QTest::mouseClick(d->addAndButton(), Qt::LeftButton);
    choose(d->rows()[0]->fieldBox(), "Live");
    EXPECT_FALSE(d->addQueryButton()->isEnabled());
    QTest::keyClicks(d->descriptionEdit(), "Live songs");
    QTest::mouseClick(d->addQueryButton(), Qt::LeftButton);
    ASSERT_EQ(d->savedList()->count(), 1);
    EXPECT_EQ(d->savedList()->item(0)->text(), "Live songs");
    screenshot(d, "query_wizard_saved.png");

    QTest::mouseClick(d->newQueryButton(), Qt::LeftButton);
    EXPECT_TRUE(d->rows().isEmpty());
    d->savedList()->setCurrentRow(0);
    QTest::mouseClick(d->editQueryButton(), Qt::LeftButton);
    ASSERT_EQ(d->rows().size(), 1);
    EXPECT_EQ(d->rows()[0]->fieldBox()->currentText(), "Live");

    QTest::mouseClick(d->runQueryButton(), Qt::LeftButton);
    ASSERT_EQ(results.size(), 1);
    EXPECT_TRUE(results[0].ran);
    EXPECT_EQ(results[0].filter, "(TUN:Live <> 0)");
    delete d;
}

} // namespace
