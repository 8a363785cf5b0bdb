// The export choice: marking rows of a field list, the buttons between the two lists, and the
// picture kind shown for the current export row.
#include "exchange/export_choice.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace tunarium;

namespace {

// "x" for a marked row, "." for one that is not.
QString marks(const MarkedList& list) {
    QString text;
    for (const ExportField& f : list.rows) {
        text += f.mark ? u'x' : u'.';
    }
    return text;
}

QStringList names(const MarkedList& list) {
    QStringList out;
    for (const ExportField& f : list.rows) {
        out << f.field;
    }
    return out;
}

TEST(MarkedListTest, ClicksTogglesAndExtensionsLeaveMarksCurrentRowAndAnchor) {
    struct Case {
        const char* steps; // c<row> click, t<row> toggle, e<row> extend
        const char* marks;
        int current;
        int anchor;
    };
    const Case cases[] = {
        {"c2", "..x...", 2, 2},           // a click marks one row
        {"c1 t3 t5 c4", "....x.", 4, 4},  // a click clears every other mark
        {"c1 t3", ".x.x..", 3, 3},        // toggle adds a mark
        {"c1 t3 t1", "...x..", 1, 1},     // and takes it away
        {"c1 e4", ".xxxx.", 4, 1},        // extend down
        {"c4 e1", ".xxxx.", 1, 4},        // and up
        {"c2 e5 e0", "xxx...", 0, 2},     // again from the same anchor
        {"c0 t5 e3", "...xxx", 3, 5},     // marks outside the range go
        {"c0 t2 t2 e3", "..xx..", 3, 2},  // from a row toggled off
        {"e3", "...x..", 3, 3},           // without an anchor: a click
        {"c1 c6 t-1 e9", ".x....", 1, 1}, // rows outside the list
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        MarkedList list;
        list.rows = exportableFields().mid(0, 6);
        for (const QString& step : QString::fromLatin1(c.steps).split(u' ')) {
            const int row = step.mid(1).toInt();
            switch (step.at(0).toLatin1()) {
            case 'c':
                list.click(row);
                break;
            case 't':
                list.toggle(row);
                break;
            default:
                list.extend(row);
            }
        }
        EXPECT_EQ(marks(list), QString::fromLatin1(c.marks));
        EXPECT_EQ(list.current(), c.current);
        EXPECT_EQ(list.anchor(), c.anchor);
        EXPECT_EQ(list.markedCount(), QString::fromLatin1(c.marks).count(u'x'));
    }
}

TEST(ExportChoiceTest, AddAppendsNewFieldsAndMarksTheOnesAlreadyThere) {
    ExportChoice choice;
    choice.chosen.click(0);
    choice.chosen.extend(29);
    choice.remove();
    ASSERT_TRUE(choice.chosen.rows.isEmpty());
    EXPECT_EQ(choice.chosen.current(), -1);
    EXPECT_EQ(choice.currentPictureText(), "");

    choice.all.click(1); // Title
    choice.add();
    EXPECT_EQ(marks(choice.chosen), "x");
    EXPECT_EQ(choice.chosen.current(), 0); // the first row added becomes the current one

    choice.chosen.rows[0].mark = false;
    choice.chosen.rows[0].picture = "@s10";
    choice.all.click(0);
    choice.all.extend(2); // Artist, Title, Mix
    choice.add();
    choice.add(); // pressing it again adds nothing
    EXPECT_EQ(names(choice.chosen), (QStringList{"TUN:Title", "TUN:Artist", "TUN:Mix"}));
    EXPECT_EQ(marks(choice.chosen), "xxx");
    EXPECT_EQ(choice.chosen.rows[0].picture, "@s10"); // the row already there is left as it was
}

TEST(ExportChoiceTest, RemoveDeletesTheMarkedRowsAndLeavesTheFirstRowCurrent) {
    struct Case {
        std::initializer_list<int> marked;
        int current;
        QStringList firstThree;
    };
    const Case cases[] = {
        {{}, 7, {"TUN:Artist", "TUN:Title", "TUN:Mix"}},
        {{2, 3, 7}, 5, {"TUN:Artist", "TUN:Title", "TUN:Media"}},
        {{0, 1}, 4, {"TUN:Mix", "TUN:Album", "TUN:Media"}},
        {{0, 29}, 29, {"TUN:Title", "TUN:Mix", "TUN:Album"}},
    };
    for (const Case& c : cases) {
        ExportChoice choice;
        choice.chosen.toggle(c.current); // current row and anchor, no mark
        choice.chosen.toggle(c.current);
        for (int row : c.marked) {
            choice.chosen.rows[row].mark = true;
        }
        choice.remove();
        EXPECT_EQ(choice.chosen.rows.size(), 30 - static_cast<int>(c.marked.size()));
        EXPECT_EQ(names(choice.chosen).mid(0, 3), c.firstThree);
        EXPECT_EQ(choice.chosen.current(), 0);
        // The old anchor is gone: Shift+click marks only the clicked row.
        choice.chosen.extend(4);
        EXPECT_EQ(choice.chosen.markedCount(), 1);
    }
}

TEST(ExportChoiceTest, ShiftMovesTheCurrentRowWithItsMarkAndStopsAtTheEnds) {
    ExportChoice choice;
    choice.chosen.click(0);
    choice.shiftUp();
    EXPECT_EQ(choice.chosen.current(), 0);
    choice.shiftDown();
    choice.shiftDown();
    choice.shiftUp();
    EXPECT_EQ(names(choice.chosen).mid(0, 3), (QStringList{"TUN:Title", "TUN:Artist", "TUN:Mix"}));
    EXPECT_EQ(marks(choice.chosen).left(3), ".x.");
    EXPECT_EQ(choice.chosen.current(), 1);

    choice.chosen.click(29);
    choice.shiftDown();
    EXPECT_EQ(choice.chosen.rows[29].field, "CAT:Category");
    EXPECT_EQ(choice.chosen.current(), 29);
    EXPECT_EQ(choice.all.rows[0].field, "TUN:Artist"); // "All Fields" keeps its order
}

TEST(ExportChoiceTest, PictureOfTheCurrentRowAndItsKind) {
    ExportChoice choice;
    choice.chosen.click(16); // BeatsPerMinute
    choice.setPicture("   ");
    EXPECT_EQ(choice.currentPictureText(), "Numeric");
    choice.setPicture("@d2");
    EXPECT_EQ(choice.currentPictureText(), "@d2");
    EXPECT_EQ(choice.all.rows[16].picture, "@n_4b");

    const std::pair<const char*, const char*> cases[] = {
        {"@s50", "Alpha-numeric"},
        {"@S5", "Alpha-numeric"},
        {"@N_4b", "Numeric"},
        {"@t4", "@t4"},
        {"@", "@"},
        {"", ""},
    };
    for (const auto& [picture, text] : cases) {
        EXPECT_EQ(exportPictureText(QString::fromLatin1(picture)), QString::fromLatin1(text)) << picture;
    }
}

} // namespace
