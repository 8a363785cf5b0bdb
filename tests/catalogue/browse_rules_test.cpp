// What a browse asks its core for: the columns it shows in a dragged order, and what the locator
// asks the user to type under each order.
#include "catalogue/categories_media.h"
#include "catalogue/list_format.h"
#include "catalogue/shown_columns.h"
#include "catalogue/songs_browse.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

QStringList headers(const QVector<ColumnDef>& columns) {
    QStringList out;
    for (const ColumnDef& c : columns) {
        out << c.header;
    }
    return out;
}

QVector<ColumnDef> design() {
    return {{"Artist", "@s50", {}}, {"Title", "@s50", {}}, {"Time", "@t4", {}}, {"Year", "@n4", {}}};
}

TEST(ShownColumns, AnOrderIsTakenAsFarAsItNamesDesignColumnsTheRestFollowInDesignOrder) {
    const struct {
        QVector<int> order;
        QStringList shown;
    } cases[] = {
        {{}, {"Artist", "Title", "Time", "Year"}},
        {{2, 0}, {"Time", "Artist", "Title", "Year"}},
        {{3, 2, 1, 0}, {"Year", "Time", "Title", "Artist"}},
        // A column named twice, or outside the design (a layout kept by an older design), is
        // shown once, in its first place.
        {{1, 1, 0}, {"Title", "Artist", "Time", "Year"}},
        {{7, -1, 3}, {"Year", "Artist", "Title", "Time"}},
    };
    for (const auto& c : cases) {
        ShownColumns shown(design());
        EXPECT_EQ(headers(shown.show(c.order)), c.shown);
        QStringList byFields;
        for (int f : shown.fields()) {
            byFields << design()[f].header;
        }
        EXPECT_EQ(byFields, c.shown);
    }
}

// Dragging columns twice and opening again from what the format kept: the order comes back.
TEST(ShownColumns, ADraggedOrderIsKeptInTheFormatAndComesBack) {
    const QString format =
        QStringLiteral("80L(2)|M~Artist~@s50@60L(2)|M~Title~@s50@40R(2)|M~Time~@t4@20R(2)|M~Year~@n4@");
    ShownColumns shown(design());
    const QString once = shown.move(format, 2, 0);
    ASSERT_FALSE(once.isEmpty());
    EXPECT_EQ(headers(shown.columns()), QStringList({"Time", "Artist", "Title", "Year"}));
    const QString twice = shown.move(once, 3, 1);
    EXPECT_EQ(headers(shown.columns()), QStringList({"Time", "Year", "Artist", "Title"}));

    const QVector<int> kept = formatColumnFields(ListFormat::parse(twice), 4);
    ShownColumns reopened(design());
    EXPECT_EQ(headers(reopened.show(kept)), headers(shown.columns()));

    // A drag that goes nowhere, or from or to outside the columns, changes nothing.
    for (const auto& [from, to] : {std::pair{1, 1}, {-1, 2}, {0, 4}, {5, 0}}) {
        EXPECT_TRUE(shown.move(twice, from, to).isEmpty()) << from << " to " << to;
        EXPECT_EQ(headers(shown.columns()), QStringList({"Time", "Year", "Artist", "Title"}));
    }
}

TEST(LocateHint, TheLocatorNamesTheFieldTypedTextGoesToInWords) {
    const ListDefinition songs = songsListDefinition();
    const struct {
        int order;
        const char* hint;
    } cases[] = {
        {1, "Type the Title to locate"},
        {2, "Type the Album to locate"},
        // Ranged orders: the field after the range (the media or category chosen).
        {3, "Type the File Number to locate"},
        {4, "Type the Artist to locate"},
        {5, "Type the Chart Number to locate"},
        {6, "Type the Beats Per Minute to locate"},
        {7, "Type the User Defined Key Field to locate"},
        // Missing Files: the artist after the range of missing ones.
        {8, "Type the Artist to locate"},
        {9, "Type the Artist to locate"},
        // No order, or one past the last.
        {0, ""},
        {10, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(locateHint(songs, c.order), QString::fromLatin1(c.hint)) << c.order;
    }
    EXPECT_EQ(locateHint(categoriesListDefinition(), 1), "Type the Category to locate");
}

} // namespace
