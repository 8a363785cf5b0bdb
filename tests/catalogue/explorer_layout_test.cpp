// The explorers' list appearance in the position file: the round trip of every key, the design
// change rule, and kept layouts that cannot be shown.
#include "catalogue/explorer_layout.h"
#include "data/ini_file.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tunarium::test {

namespace {

class ExplorerLayoutTest : public ::testing::Test {
protected:
    ExplorerLayoutKeys keys() const { return {dir.filePath("POSITION.INI"), "XploreSongs", "?Browse"}; }
    ExplorerAppearance design() const {
        ExplorerAppearance a;
        a.format = def.designFormat;
        a.lineHeight = 0;
        a.font = "Sans";
        a.point = 9;
        return a;
    }
    QString read(const char* prefix) const {
        return readIni(keys().positionFile, u"XploreSongs", keys().key(prefix));
    }

    QTemporaryDir dir;
    ExplorerDefinition def = xploreSongsDefinition();
};

// A kept layout made under one date format opens under every other, Year Only and back
// included, with the date columns in the format now chosen; a real change of design drops it.
TEST_F(ExplorerLayoutTest, AChangeOfDateFormatKeepsTheLayoutAndShowsTheNewFormat) {
    // Stored as an earlier version stored it: the design with the date picture of its day.
    writeIni(keys().positionFile, u"XploreSongs", keys().key("XploreOrigFormatString-"),
             replaceDatePictures(def.designFormat, "@d17"));
    const ListFormat shown = ListFormat::parse(replaceDatePictures(def.designFormat, "@d17"));
    QVector<int> fields;
    for (int i = 0; i < shown.columns().size(); ++i) {
        fields << i;
    }
    ExplorerAppearance kept = design();
    kept.format = formatWithColumnMoved(shown, fields, 1, 0);
    ASSERT_TRUE(saveExplorerAppearance(keys(), kept));
    const QString second = ListFormat::parse(def.designFormat).columns().value(1).header;
    for (const char* picture : {"@d6", "@n4b", "@d2", "@d17"}) {
        SCOPED_TRACE(picture);
        const ExplorerAppearance a = restoreExplorerAppearance(keys(), def, design(), picture);
        const ListFormat opened = ListFormat::parse(a.format);
        ASSERT_EQ(opened.columns().size(), shown.columns().size());
        EXPECT_EQ(opened.columns()[0].header, second) << "the kept order was dropped";
        EXPECT_TRUE(a.format.contains(QString::fromLatin1(picture) + u'@')) << a.format.toStdString();
        ASSERT_TRUE(saveExplorerAppearance(keys(), a)); // kept again under this format
    }
    ExplorerAppearance redesigned = design();
    redesigned.format = def.designFormat + "10L(2)|M~More~@s5@";
    EXPECT_EQ(restoreExplorerAppearance(keys(), def, redesigned, "@d6").format,
              replaceDatePictures(redesigned.format, "@d6"));
}

TEST_F(ExplorerLayoutTest, EveryKeyRoundTrips) {
    restoreExplorerAppearance(keys(), def, design()); // the first opening stores the design
    EXPECT_EQ(read("XploreOrigFormatString-"), def.designFormat);
    ExplorerAppearance a = design();
    a.format = "60L(2)|M~Name~L(2)@s50@#1#30R(2)|M~When~C(0)@d2@#8#";
    a.box = QRect(4, 6, 500, 300);
    a.horizontalScroll = false;
    a.verticalScroll = true;
    a.lineHeight = 21;
    a.font = "A Typeface Named Long Enough";
    a.point = 12;
    a.color = 0x0000FF;
    a.style = 700 | 0x1000;
    a.prevColumn = 8;
    ASSERT_TRUE(saveExplorerAppearance(keys(), a));
    EXPECT_EQ(read("XploreFormatString-"), a.format);
    EXPECT_EQ(read("XplorePrevCol-"), "8");
    const ExplorerAppearance b = restoreExplorerAppearance(keys(), def, design());
    EXPECT_EQ(b.format, a.format);
    EXPECT_EQ(b.box, a.box);
    EXPECT_EQ(b.horizontalScroll, false);
    EXPECT_EQ(b.verticalScroll, true);
    EXPECT_EQ(b.lineHeight, 21);
    EXPECT_EQ(b.font, a.font.left(20)); // a typeface of 20 characters
    EXPECT_EQ(b.point, 12);
    EXPECT_EQ(b.color, 0x0000FF);
    EXPECT_EQ(b.style, 700 | 0x1000);
    EXPECT_EQ(b.prevColumn, 8);
}

// A design that changed since the layout was kept: the new design is stored and nothing kept is
// used, not even the list box's place.
TEST_F(ExplorerLayoutTest, AChangedDesignDropsTheKeptLayout) {
    restoreExplorerAppearance(keys(), def, design());
    ExplorerAppearance a = design();
    a.format = "60L(2)|M~Name~L(2)@s50@#1#";
    a.lineHeight = 30;
    a.box = QRect(1, 1, 100, 100);
    ASSERT_TRUE(saveExplorerAppearance(keys(), a));
    ExplorerAppearance changed = design();
    changed.format = def.designFormat + "8R(2)|M~Mix~@s30@";
    const ExplorerAppearance b = restoreExplorerAppearance(keys(), def, changed);
    EXPECT_EQ(b.format, changed.format);
    EXPECT_EQ(b.lineHeight, 0);
    EXPECT_FALSE(b.box.isValid());
    EXPECT_EQ(read("XploreOrigFormatString-"), changed.format);
    // The next opening with the same design takes the kept values again.
    EXPECT_EQ(restoreExplorerAppearance(keys(), def, changed).lineHeight, 30);
}

TEST_F(ExplorerLayoutTest, AKeptFormatThatCannotBeShownGivesWayToTheDesign) {
    const char* bad[] = {
        "garbage without columns",
        "60L(2)|M~Name~@s50@#99#",                       // a field that does not exist
        "60L(2)|M~Name~@s50@#1#40L(2)|M~Again~@s50@#1#", // the same field twice
        "0L(2)|M~Name~@s50@#1#",                         // no width
        "100000L(2)|M~Name~@s50@#1#",                    // wider than any screen
    };
    for (const char* format : bad) {
        SCOPED_TRACE(format);
        restoreExplorerAppearance(keys(), def, design());
        ASSERT_TRUE(writeIni(keys().positionFile, u"XploreSongs", keys().key("XploreFormatString-"), format));
        ASSERT_TRUE(writeIni(keys().positionFile, u"XploreSongs", keys().key("XploreLineHeight-"), "999"));
        ASSERT_TRUE(writeIni(keys().positionFile, u"XploreSongs", keys().key("XplorePrevCol-"), "-4"));
        const ExplorerAppearance b = restoreExplorerAppearance(keys(), def, design());
        EXPECT_EQ(b.format, def.designFormat);
        EXPECT_EQ(read("XploreFormatString-"), ""); // dropped
        EXPECT_EQ(b.lineHeight, 0);                 // out of bounds: the design's
        EXPECT_EQ(b.prevColumn, 1);
    }
}

TEST(ExplorerColumns, FormatsNameTheirFieldsAndReadBackAsWritten) {
    const ExplorerDefinition def = xploreSongsDefinition();
    // The design names no fields: column i shows field i, the Mix (the last field) hidden.
    const ListFormat design = ListFormat::parse(def.designFormat);
    QVector<int> expected;
    for (int i = 0; i < 15; ++i) {
        expected << i;
    }
    EXPECT_EQ(explorerColumnFields(def, design), expected);
    // Columns moved and one hidden, written and read back.
    QVector<ListFormatColumn> columns = design.columns();
    for (int i = 0; i < columns.size(); ++i) {
        columns[i].fieldNumber = i + 1;
    }
    std::swap(columns[0], columns[2]);
    columns.removeAt(5);
    columns[1].header = "My ~Title~";
    columns[1].underline = true;
    columns[1].fixed = true;
    columns[1].headerJustification = u'C';
    columns[1].offset = 4;
    const ListFormat again = ListFormat::parse(formatText(columns));
    ASSERT_EQ(again.columns().size(), 14);
    EXPECT_EQ(explorerColumnFields(def, again).mid(0, 6), (QVector<int>{2, 1, 0, 3, 4, 6}));
    const ListFormatColumn& title = again.columns()[1];
    EXPECT_EQ(title.header, "My Title");
    EXPECT_TRUE(title.underline);
    EXPECT_TRUE(title.fixed);
    EXPECT_TRUE(title.resizable);
    EXPECT_EQ(title.headerJustification, u'C');
    EXPECT_EQ(title.offset, 4);
    EXPECT_EQ(title.picture, "@s50");
    EXPECT_EQ(again.columns()[6].justification, u'R'); // Time
}

} // namespace

} // namespace tunarium::test
