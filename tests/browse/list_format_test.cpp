// List format strings: their columns, new widths, the user's date picture, and the column layout
// kept beside the design it was made from.
#include "catalogue/list_format.h"
#include "data/ini_file.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

const QString kSongsFormat =
    "77L(2)|M~Artist~@s50@51L(1)|M~Category~L(0)@s30@36R(2)|M~Released~C(0)@d17b@"
    "42R(2)|M~Last Played~C(0)@d17-@[10R|M@p(<)pb@12R|M@n3b@](21)|M~Track~120L(2)|M~Style~C(0)@s30@";

TEST(ListFormatTest, ColumnsOfPlainAndGroupedFormats) {
    const ListFormat media = ListFormat::parse("80L(2)|M~Media~L(2)@s20@");
    ASSERT_EQ(media.columns().size(), 1);
    EXPECT_EQ(media.columns()[0].width, 80);
    EXPECT_EQ(media.columns()[0].header, "Media");
    EXPECT_EQ(media.columns()[0].picture, "@s20");
    EXPECT_TRUE(media.columns()[0].resizable);

    const ListFormat songs = ListFormat::parse(kSongsFormat);
    QStringList headers, pictures;
    QString justifications;
    for (const ListFormatColumn& c : songs.columns()) {
        headers << c.header;
        pictures << c.picture;
        justifications += c.justification;
    }
    // The group's two columns (side and track) show under the group's header.
    EXPECT_EQ(headers, QStringList({"Artist", "Category", "Released", "Last Played", "Track", "", "Style"}));
    EXPECT_EQ(pictures, QStringList({"@s50", "@s30", "@d17b", "@d17-", "@p(<)pb", "@n3b", "@s30"}));
    EXPECT_EQ(justifications, "LLRRRRL");
}

TEST(ListFormatTest, NewWidthsChangeOnlyTheWidths) {
    const ListFormat songs = ListFormat::parse(kSongsFormat);
    const ListFormat wider = songs.withWidths({100, 5, 36, 42, 8, 120, 7});
    EXPECT_EQ(wider.text(), QString(kSongsFormat)
                                .replace("77L(2)|M~Artist", "100L(2)|M~Artist")
                                .replace("51L(1)", "5L(1)")
                                .replace("10R|M@p", "8R|M@p")
                                .replace("12R|M@n3b", "120R|M@n3b")
                                .replace("120L(2)|M~Style", "7L(2)|M~Style"));
    EXPECT_EQ(wider.columns()[5].width, 120);
    EXPECT_EQ(wider.columns()[5].picture, "@n3b");
}

TEST(ListFormatTest, DatePicturesTakeTheUsersPicture) {
    EXPECT_EQ(replaceDatePictures("36R(2)|M~Released~C(0)@d17b@42R(2)|M~Last~C(0)@D17-@12R@n3@", "@d6"),
              "36R(2)|M~Released~C(0)@d6@42R(2)|M~Last~C(0)@d6@12R@n3@");
    EXPECT_EQ(replaceDatePictures("80L~Media~@s20@", "@d6"), "80L~Media~@s20@");
    EXPECT_EQ(replaceDatePictures("10L@d2", "@d17"), "10L@d17");
}

TEST(ListFormatTest, SavedLayoutIsUsedOnlyForTheDesignItWasMadeFrom) {
    test::TempCollection dir;
    const ListLayoutKeys keys{dir.path("POSITION.INI"), "BrowseMedia", "?Browse:1"};
    const QString design = "80L(2)|M~Media~L(2)@s20@";
    const QString wider = "120L(2)|M~Media~L(2)@s20@";

    // First opening: the design is stored as the original, nothing saved yet.
    EXPECT_EQ(restoreListFormat(keys, design), design);
    EXPECT_EQ(readIni(keys.positionFile, u"BrowseMedia", u"SRCFOriginal?Browse:1"), design);
    ASSERT_TRUE(saveListFormat(keys, wider));
    EXPECT_EQ(readIni(keys.positionFile, u"BrowseMedia", u"SRCF?Browse:1"), wider);
    EXPECT_EQ(restoreListFormat(keys, design), wider);

    // A saved layout whose columns no longer match the design is not applied.
    ASSERT_TRUE(saveListFormat(keys, "120L(2)|M~Media~L(2)@n3@"));
    EXPECT_EQ(restoreListFormat(keys, design), design);

    // The design changed: the new design becomes the original and the saved layout is ignored.
    ASSERT_TRUE(saveListFormat(keys, wider));
    const QString redesigned = "90L(2)|M~Media~L(2)@s20@";
    EXPECT_EQ(restoreListFormat(keys, redesigned), redesigned);
    EXPECT_EQ(readIni(keys.positionFile, u"BrowseMedia", u"SRCFOriginal?Browse:1"), redesigned);
}

// A kept layout that is no layout of the design gives way to it and leaves the file; a good one,
// with its columns in another order, keeps that order.
TEST(ListFormatTest, KeptLayoutsThatDoNotFitTheDesignAreDropped) {
    const QString design = "80L(2)|M~Artist~@s50@60L(2)|M~Title~@s50@40R(2)|M~Time~C(0)@t4b@";
    const QString moved = formatWithColumnMoved(ListFormat::parse(design), {0, 1, 2}, 0, 2);
    struct Case {
        const char* name;
        QString kept;
        QVector<int> columns; // empty: the design's, and the kept layout dropped
    };
    const Case cases[] = {
        {"garbage", "~~@@((#x#))|||", {}},
        {"text without columns", "hello world", {}},
        {"a column fewer", "80L(2)|M~Artist~@s50@60L(2)|M~Title~@s50@", {}},
        {"a column more", design + "10L(2)|M~More~@s5@", {}},
        {"a column that no longer exists",
         "80L(2)|M~Artist~@s50@#1#60L(2)|M~Title~@s50@#2#40R(2)|M~Time~@t4b@#4#",
         {}},
        {"a column twice", "80L(2)|M~Artist~@s50@#1#60L(2)|M~Title~@s50@#1#40R(2)|M~Time~@t4b@#3#", {}},
        {"another column's picture", "80L(2)|M~Artist~@s50@60L(2)|M~Title~@n3@40R(2)|M~Time~@t4b@", {}},
        {"a width of 0", "0L(2)|M~Artist~@s50@60L(2)|M~Title~@s50@40R(2)|M~Time~C(0)@t4b@", {}},
        {"a width of 100,000", "80L(2)|M~Artist~@s50@100000L(2)|M~Title~@s50@40R(2)|M~Time~C(0)@t4b@", {}},
        {"wider columns", "120L(2)|M~Artist~@s50@7L(2)|M~Title~@s50@40R(2)|M~Time~C(0)@t4b@", {0, 1, 2}},
        {"another order", moved, {1, 2, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempCollection dir;
        const ListLayoutKeys keys{dir.path("POSITION.INI"), "BrowseSongs", "?Browse"};
        restoreListLayout(keys, design); // stores the design as the original
        ASSERT_TRUE(saveListFormat(keys, c.kept));
        const ListLayout layout = restoreListLayout(keys, design);
        if (c.columns.isEmpty()) {
            EXPECT_EQ(layout.format, design);
            EXPECT_EQ(layout.columns, QVector<int>({0, 1, 2}));
            EXPECT_EQ(readIni(keys.positionFile, u"BrowseSongs", u"SRCF?Browse"), "");
        } else {
            EXPECT_EQ(layout.format, c.kept);
            EXPECT_EQ(layout.columns, c.columns);
            EXPECT_EQ(readIni(keys.positionFile, u"BrowseSongs", u"SRCF?Browse"), c.kept);
        }
    }
}

TEST(ListFormatTest, MovingAColumnKeepsEveryColumnsLook) {
    const ListFormat design =
        ListFormat::parse("80L(2)|M~Artist~@s50@60L(1)|M~Title~@s50@40R(2)|M~Time~C(0)@t4b@");
    // Moved twice, from columns already in another order: each column names the design column.
    const ListFormat once = ListFormat::parse(formatWithColumnMoved(design, {0, 1, 2}, 2, 0));
    const ListFormat twice = ListFormat::parse(formatWithColumnMoved(once, {2, 0, 1}, 1, 2));
    EXPECT_EQ(keptListColumns(twice, design), QVector<int>({2, 1, 0}));
    QStringList headers;
    for (const ListFormatColumn& c : twice.columns()) {
        headers << QString("%1%2%3%4").arg(c.header).arg(c.width).arg(c.justification).arg(c.offset);
    }
    EXPECT_EQ(headers, QStringList({"Time40R2", "Title60L1", "Artist80L2"}));
}

} // namespace
