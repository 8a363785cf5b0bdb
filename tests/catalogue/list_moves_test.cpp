// What the list tells and keeps when something other than typing moves it: the typed locator
// starts again after a completed Add or Change and after a thumb drag, and an empty range tab
// says which range to choose.
#include "list_fixture.h"

using namespace tunarium;
using namespace tunarium::test;

namespace {

constexpr int kLines = 8;

TEST_F(ListTest, TheLocatorStartsAgainWhenAFormOrTheThumbMovedTheList) {
    addSongs(120);
    const int title = field(TableId::Tunarium, "Title");
    struct Case {
        const char* what;
        std::function<void(ListEngine&)> move;
        bool clears;
    };
    const Case cases[] = {
        {"a completed Change",
         [&](ListEngine& e) {
             e.change();
             Row changed = host.calls.last().record;
             changed.setText(title, "Zz moved away");
             ASSERT_TRUE(store().update(changed).ok());
             e.formAnswered(Response::Completed, changed);
         },
         true},
        {"a completed Add",
         [&](ListEngine& e) {
             e.add();
             Row added = host.calls.last().record;
             added.setText(title, "Aa new song");
             added.setNumber(field(TableId::Tunarium, "ID"), 9999);
             ASSERT_TRUE(store().insert(added).ok());
             e.formAnswered(Response::Completed, added);
         },
         true},
        {"a cancelled Change",
         [&](ListEngine& e) {
             e.change();
             e.formAnswered(Response::Cancelled, {});
         },
         false},
        {"a thumb drag", [](ListEngine& e) { e.dragThumb(50); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host = {};
        auto e = makeEngine(songsList(), kLines, kByTitle);
        e->refresh();
        e->pressKey(ListKey::Character, u'm');
        ASSERT_EQ(e->locatorText(), "m");
        c.move(*e);
        EXPECT_EQ(e->locatorText(), c.clears ? QString() : QStringLiteral("m"));
    }
}

TEST_F(ListTest, AnEmptyRangeTabSaysWhichRangeToChoose) {
    for (int i = 0; i < 20; ++i) {
        addSong(QStringLiteral("Artist %1").arg(i), "Title", 0, i % 2 ? "LP" : "CD", 1 + i % 3);
    }
    ListDefinition def = songsList();
    def.sortOrders[kByMedia - 1].rangeHint = "Choose a media format with Select Media";
    def.sortOrders[kByCategory - 1].rangeHint = "Choose a category with Select Category";
    auto e = makeEngine(def, kLines, kByMedia);
    e->refresh();
    EXPECT_EQ(e->rowCount(), 0);
    EXPECT_EQ(e->emptyHint(), "Choose a media format with Select Media");

    e->setTab(kByCategory);
    e->refresh();
    EXPECT_EQ(e->emptyHint(), "Choose a category with Select Category");
    e->setRangeValue(kByCategory, {qint64(3)});
    e->refresh();
    EXPECT_EQ(e->rowCount(), 6);
    EXPECT_EQ(e->emptyHint(), "");
    // A chosen category without songs is empty, but nothing is left to choose.
    e->setRangeValue(kByCategory, {qint64(77)});
    e->refresh();
    EXPECT_EQ(e->rowCount(), 0);
    EXPECT_EQ(e->emptyHint(), "");

    e->setTab(kByTitle);
    e->refresh();
    EXPECT_EQ(e->emptyHint(), "");
}

} // namespace
