// The typed and step locators, and the scroll thumb's steps, position and drag, against values
// worked out by hand.
#include "list_fixture.h"

#include <limits>

using namespace tunarium;
using namespace tunarium::test;

namespace {

const ThumbOptions kAlpha{true, false, false, false};
const ThumbOptions kAlphaNumeric{true, true, false, false};

TEST(ThumbAlphabet, TakesTheChosenCharactersInCodeOrder) {
    EXPECT_EQ(thumbAlphabet(kAlpha), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(thumbAlphabet(kAlphaNumeric), "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(thumbAlphabet({false, false, true, false}),
              QString(" !\"#$%&'()*+,-./:;=?@[\\]^_`|~") + QChar(0xa3));
    EXPECT_EQ(thumbAlphabet({true, false, false, true}).size(), 52);
}

TEST(ThumbSteps, TextStepsSpellNumbersInTheAlphabetsBase) {
    struct Case {
        const char* low;
        const char* high;
        int width;
        ThumbOptions options;
        QVector<QPair<int, QString>> values;
    };
    const Case cases[] = {
        // ABBA = 21196 and "ZZ T" = 530732 in base 27; step 5146.
        {"ABBA", "ZZ TOP", 50, kAlpha, {{1, "ABBA"}, {2, "AICQ"}, {50, "MWZB"}, {100, "ZZ T"}}},
        // Base 37: 10CC = 103169, ZAPP = 1839555; step 17539.
        {"10cc", "Zappa", 50, kAlphaNumeric, {{1, "10CC"}, {2, "1D5D"}, {100, "ZAPP"}}},
        // The common prefix "BE" begins every step: ATLE = 34592, "E GE" = 98609; step 646.
        {"Beatles", "Bee Gees", 50, kAlpha, {{1, "BEATLE"}, {2, "BEAUIC"}, {100, "BEE GE"}}},
        // The high value is padded with Z to the field's width; a digit 0 ends the text.
        {"A", "B", 3, kAlpha, {{1, "A"}, {2, "A"}, {100, "BZZ"}}},
    };
    for (const Case& c : cases) {
        const ThumbSteps s = ThumbSteps::texts(c.low, c.high, c.width, c.options);
        ASSERT_TRUE(s.isValid());
        for (const auto& [i, text] : c.values) {
            EXPECT_EQ(s.value(i).toString(), text) << c.low << ".." << c.high << " step " << i;
        }
    }
}

TEST(ThumbSteps, PositionIsTheFirstStepNotBelowTheValue) {
    const ThumbSteps text = ThumbSteps::texts("ABBA", "ZZ TOP", 50, kAlpha);
    // MOZA = 267517 lies between step 48 (MIVX) and step 49 (MPXM).
    EXPECT_EQ(text.positionOf("Mozart"), 49);
    EXPECT_EQ(text.positionOf("abba"), 0);
    EXPECT_EQ(text.positionOf("ZZZ"), 100);

    const ThumbSteps numbers = ThumbSteps::numbers(0, 200);
    EXPECT_EQ(numbers.value(2).toLongLong(), 2);
    EXPECT_EQ(numbers.value(50).toLongLong(), 98);
    EXPECT_EQ(numbers.value(99).toLongLong(), 197);
    EXPECT_EQ(numbers.value(100).toLongLong(), 200);
    EXPECT_EQ(numbers.positionOf(0), 0);
    EXPECT_EQ(numbers.positionOf(1), 2);
    EXPECT_EQ(numbers.positionOf(100), 51);
    EXPECT_EQ(numbers.positionOf(201), 100);
}

TEST(ListLocator, HoldsThirtyCharactersAndGivesNumbersTheirValue) {
    ListLocator l;
    EXPECT_FALSE(l.press(ListKey::Backspace, {}));
    for (int i = 0; i < 35; ++i) {
        l.press(ListKey::Character, u'a');
    }
    EXPECT_EQ(l.length(), kLocatorLength);
    EXPECT_FALSE(l.press(ListKey::Space, {}));
    EXPECT_FALSE(ListLocator().press(ListKey::Character, u'\t'));
    l.clear();
    for (QChar c : QStringLiteral("12x3")) {
        l.press(ListKey::Character, c);
    }
    EXPECT_EQ(l.fieldValue(true).toLongLong(), 12);
    EXPECT_EQ(l.fieldValue(false).toString(), "12x3");
    l.clear();
    for (int i = 0; i < 25; ++i) {
        l.press(ListKey::Character, u'9');
    }
    EXPECT_EQ(l.fieldValue(true).toLongLong(), std::numeric_limits<qint64>::max());
}

using ListLocatorTest = ListTest;

TEST_F(ListLocatorTest, ThumbFollowsTheSelectionAndADragPositionsAtTheStepValue) {
    for (const char* title : {"Muse", "ZZ Top", "ABBA", "Nirvana", "Mozart", "Madonna"}) {
        addSong("Someone", title);
    }
    auto e = makeEngine(songsList(), 3, kByTitle);
    e->refresh();
    ASSERT_TRUE(e->scrollBarVisible());
    EXPECT_EQ(e->thumbSteps().value(2).toString(), "AICQ");
    const int title = field(TableId::Tunarium, "Title");
    for (QChar c : QStringLiteral("moz")) {
        e->pressKey(ListKey::Character, c);
    }
    EXPECT_EQ(e->record().text(title), "Mozart");
    EXPECT_EQ(e->thumbPosition(), 49);

    e->dragThumb(49); // MPXM
    EXPECT_EQ(e->record().text(title), "Muse");
    e->dragThumb(0);
    EXPECT_EQ(e->record().text(title), "ABBA");
    EXPECT_EQ(e->selectedIndex(), 0);
    EXPECT_EQ(e->thumbPosition(), 0);
    e->dragThumb(100);
    EXPECT_EQ(e->record().text(title), "ZZ Top");
    EXPECT_EQ(e->selectedIndex(), 2);
    EXPECT_EQ(e->thumbPosition(), 100);
}

TEST_F(ListLocatorTest, NumericFirstFieldsTakeTheTypedNumber) {
    for (int chart : {200, 12, 1, 128, 5, 100}) {
        addSong("A", "T", chart);
    }
    auto e = makeEngine(songsList(), 3, kByChart);
    e->refresh();
    const int chart = field(TableId::Tunarium, "ChartNumber");
    const std::pair<QChar, qint64> typed[] = {{u'1', 1}, {u'2', 12}, {u'8', 128}};
    for (const auto& [c, value] : typed) {
        e->pressKey(ListKey::Character, c);
        EXPECT_EQ(e->record().number(chart), value);
    }
    EXPECT_EQ(e->locatorText(), "128");
    e->scroll(ScrollAction::OneUp); // scrolling clears the locator
    EXPECT_EQ(e->locatorText(), "");
    EXPECT_EQ(e->record().number(chart), 100);
}

TEST_F(ListLocatorTest, BackspaceOnAnEmptyLocatorDoesNothing) {
    addSongs(100);
    auto e = makeEngine(songsList(), 10);
    e->refresh();
    e->scroll(ScrollAction::PageDown);
    const QVector<qint64> before = page(*e);
    e->pressKey(ListKey::Backspace);
    EXPECT_EQ(page(*e), before);
    e->pressKey(ListKey::Character, u'b');
    e->pressKey(ListKey::Backspace);
    EXPECT_EQ(page(*e), expected(kByArtist).mid(0, 10)); // the empty locator is the top
}

TEST_F(ListLocatorTest, StepLocatorStepsThroughNamesWithTheTypedLetter) {
    int id = 0;
    for (const char* name : {"Country", "Alpha", "Blues", "Ambient", "Dance"}) {
        addCategory(++id, name);
    }
    auto e = makeEngine(categoriesList(), 10);
    e->refresh();
    const int name = field(TableId::Categories, "Category");
    const std::pair<QChar, const char*> steps[] = {
        {u'a', "Ambient"}, {u'a', "Alpha"}, {u'A', "Ambient"}, {u'c', "Country"},
        {u'x', "Dance"},   {u' ', "Dance"}, {u'b', "Blues"},   {u'b', "Blues"},
    };
    for (const auto& [c, expectedName] : steps) {
        e->pressKey(ListKey::Character, c);
        EXPECT_EQ(e->record().text(name), expectedName) << "after " << QString(c).toStdString();
    }
    EXPECT_EQ(e->locatorText(), "");
}

// Names with diacritics sort beside their plain letters, and the locators reach them by the plain
// letters as well as by their own.
TEST_F(ListLocatorTest, LocatorsReachNamesWithDiacritics) {
    for (const char* name : {"Zebra", "Émile", "Electric", "Elvis", "Eagles", "Électrique"}) {
        addSong("Someone", QString::fromUtf8(name));
    }
    auto e = makeEngine(songsList(), 3, kByTitle);
    e->refresh();
    const int title = field(TableId::Tunarium, "Title");
    const std::pair<QChar, const char*> typed[] = {
        {u'e', "Eagles"},   {u'l', "Electric"}, {u'e', "Electric"}, {u'c', "Electric"},
        {u't', "Electric"}, {u'r', "Electric"}, {u'i', "Electric"}, {u'q', "Électrique"},
    };
    for (const auto& [c, expectedTitle] : typed) {
        e->pressKey(ListKey::Character, c);
        EXPECT_EQ(e->record().text(title), QString::fromUtf8(expectedTitle))
            << e->locatorText().toStdString();
    }
    for (int i = 0; i < 7; ++i) {
        e->pressKey(ListKey::Backspace);
    }
    e->pressKey(ListKey::Character, QChar(0x00E9)); // é
    EXPECT_EQ(e->locatorText(), QString::fromUtf8("eé"));
    EXPECT_EQ(e->record().text(title), "Electric"); // "ee"
    e->pressKey(ListKey::Backspace);
    EXPECT_EQ(e->record().text(title), "Eagles");
    e->pressKey(ListKey::Character, u'm');
    EXPECT_EQ(e->record().text(title), QString::fromUtf8("Émile"));

    int id = 0;
    for (const char* name : {"Dance", "Électro", "Eden", "Alpha"}) {
        addCategory(++id, QString::fromUtf8(name));
    }
    auto c = makeEngine(categoriesList(), 10);
    c->refresh();
    const int name = field(TableId::Categories, "Category");
    const std::pair<QChar, const char*> steps[] = {
        {u'e', "Eden"},
        {u'e', "Électro"},
        {u'd', "Dance"},
        {QChar(0x00C9), "Eden"},
    };
    for (const auto& [ch, expectedName] : steps) {
        c->pressKey(ListKey::Character, ch);
        EXPECT_EQ(c->record().text(name), QString::fromUtf8(expectedName))
            << "after " << QString(ch).toStdString();
    }
}

} // namespace
