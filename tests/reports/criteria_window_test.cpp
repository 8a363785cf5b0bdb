// "Report Criteria": it opens on the criteria it is given, the entry follows "&Include", a report
// without a Brief layout cannot be asked for one, and the entry keeps 30 characters.
#include "reports/ui/report_criteria_window.h"
#include "support/temp_collection.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

TEST(ReportCriteriaWindow, OpensOnItsCriteriaAndTheEntryFollowsInclude) {
    test::TempCollection dir;
    struct Case {
        ReportCriteria given;
        bool hasBrief;
    };
    const Case cases[] = {
        {{ReportLayout::Brief, false, true, true, QStringLiteral("ab")}, true},
        {{ReportLayout::Standard, true, false, false, QString()}, true},
        // A Brief choice left from another report stays Standard where there is no Brief layout.
        {{ReportLayout::Brief, true, false, true, QStringLiteral("8")}, false},
        {{ReportLayout::Standard, false, false, true, QStringLiteral("Zz")}, false},
    };
    for (const Case& c : cases) {
        ReportCriteriaWindow window(c.given, QStringLiteral("Select artists that start with:"), c.hasBrief,
                                    dir.path("POSITION.INI"), nullptr);
        EXPECT_EQ(window.windowTitle(), "Report Criteria");
        EXPECT_EQ(window.promptLabel()->text(), "Select artists that start with:");
        EXPECT_EQ(window.briefButton()->isEnabled(), c.hasBrief);
        EXPECT_EQ(window.briefButton()->isChecked(), c.hasBrief && c.given.style == ReportLayout::Brief);
        EXPECT_EQ(window.previewBox()->isChecked(), c.given.preview);
        EXPECT_EQ(window.customFontBox()->isChecked(), c.given.customFont);
        EXPECT_EQ(window.selectedButton()->isChecked(), c.given.selected);
        EXPECT_EQ(window.selectionEdit()->isEnabled(), c.given.selected);

        const ReportCriteria back = window.criteria();
        EXPECT_EQ(back.style, c.hasBrief ? c.given.style : ReportLayout::Standard);
        EXPECT_EQ(back.selected, c.given.selected);
        EXPECT_EQ(back.selection, c.given.selection);

        window.allButton()->click();
        EXPECT_FALSE(window.selectionEdit()->isEnabled());
        window.selectedButton()->click();
        EXPECT_TRUE(window.selectionEdit()->isEnabled());
    }
}

TEST(ReportCriteriaWindow, TheEntryKeepsThirtyCharactersAndOkAccepts) {
    test::TempCollection dir;
    ReportCriteria given;
    given.selected = true;
    ReportCriteriaWindow window(given, QStringLiteral("Select titles that start with:"), true,
                                dir.path("POSITION.INI"), nullptr);
    window.show();
    QTest::keyClicks(window.selectionEdit(), QString(40, u'x'));
    window.briefButton()->click();
    window.okButton()->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    const ReportCriteria chosen = window.criteria();
    EXPECT_EQ(chosen.selection, QString(kSelectionWidth, u'x'));
    EXPECT_EQ(chosen.style, ReportLayout::Brief);
}

} // namespace
