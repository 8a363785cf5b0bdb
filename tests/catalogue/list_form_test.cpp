// Add, Change, Delete and Select through a scripted form: the request handed over, the engine
// waiting for the answer, and the page rebuilt around the affected record; the popup text and
// the keys on a full and on an empty page.
#include "list_fixture.h"

using namespace tunarium;
using namespace tunarium::test;

namespace {

constexpr int kLines = 10;

class ListFormTest : public ListTest {
protected:
    int title() const { return field(TableId::Tunarium, "Title"); }
    // Where a record's page starts after it was located: at the record, or the last page.
    QVector<qint64> pageAround(const QVector<qint64>& all, qint64 rec) const {
        const int at = static_cast<int>(all.indexOf(rec));
        return all.mid(std::min(at, static_cast<int>(all.size()) - kLines), kLines);
    }
};

TEST_F(ListFormTest, ChangeWaitsForTheFormThenSelectsTheRecordWhereItsNewKeyPutsIt) {
    addSongs(200);
    auto e = makeEngine(songsList(), kLines, kByTitle);
    e->refresh();
    e->scroll(ScrollAction::PageDown);
    e->selectRow(4);
    const qint64 rec = selectedRec(*e);
    e->change();
    ASSERT_EQ(host.calls.size(), 1);
    EXPECT_EQ(host.calls[0].request, Request::Change);
    EXPECT_EQ(host.calls[0].record.meta.rec, rec);
    ASSERT_TRUE(e->formPending());

    // The window is waiting: nothing moves the list meanwhile.
    const QVector<qint64> before = page(*e);
    e->scroll(ScrollAction::Bottom);
    e->pressKey(ListKey::Character, u'x');
    e->focusGained();
    EXPECT_EQ(page(*e), before);

    Row changed = host.calls[0].record;
    changed.setText(title(), "Mmm new title");
    ASSERT_TRUE(store().update(changed).ok());
    e->formAnswered(Response::Completed, changed);
    EXPECT_FALSE(e->formPending());
    EXPECT_EQ(selectedRec(*e), rec);
    EXPECT_EQ(e->record().text(title()), "Mmm new title");
    EXPECT_EQ(page(*e), pageAround(expected(kByTitle), rec));
}

TEST_F(ListFormTest, AddOnARangeTabPrimesTheRangeAndSelectsTheNewRecord) {
    addSongs(150);
    auto e = makeEngine(songsList(), kLines, kByCategory);
    e->setRangeValue(kByCategory, {qint64(3)});
    e->refresh();
    e->add();
    ASSERT_EQ(host.calls.size(), 1);
    EXPECT_EQ(host.calls[0].request, Request::Insert);
    EXPECT_EQ(host.calls[0].record.number(field(TableId::Tunarium, "CategoryID")), 3);
    EXPECT_EQ(host.calls[0].record.meta.rec, 0);

    Row added = host.calls[0].record;
    added.setText(field(TableId::Tunarium, "Artist"), "Madonna");
    added.setText(title(), "Frozen");
    added.setNumber(field(TableId::Tunarium, "ID"), 151);
    ASSERT_TRUE(store().insert(added).ok());
    e->formAnswered(Response::Completed, added);
    EXPECT_EQ(selectedRec(*e), added.meta.rec);
    EXPECT_EQ(page(*e), pageAround(expected(kByCategory, {qint64(3)}), added.meta.rec));
    EXPECT_EQ(e->title(), "Songs - 151 entries");
}

TEST_F(ListFormTest, DeleteSelectsTheRecordThatTookItsPlace) {
    addSongs(100);
    auto e = makeEngine(songsList(), kLines);
    e->refresh();
    e->scroll(ScrollAction::PageDown);
    e->selectRow(4);
    QVector<qint64> all = expected(kByArtist);
    const qint64 rec = selectedRec(*e);
    const qint64 next = all[all.indexOf(rec) + 1];
    e->remove();
    ASSERT_EQ(host.calls.size(), 1);
    EXPECT_EQ(host.calls[0].request, Request::Delete);
    ASSERT_TRUE(store().remove(host.calls[0].record).ok());
    e->formAnswered(Response::Completed, {});
    all.removeOne(rec);
    EXPECT_EQ(selectedRec(*e), next);
    EXPECT_EQ(e->selectedIndex(), 4);
    EXPECT_EQ(page(*e), all.mid(kLines, kLines));

    // The last record of the table: the new last row is selected.
    e->scroll(ScrollAction::Bottom);
    e->remove();
    ASSERT_TRUE(store().remove(host.calls.last().record).ok());
    e->formAnswered(Response::Completed, {});
    all.removeLast();
    EXPECT_EQ(page(*e), all.mid(all.size() - kLines));
    EXPECT_EQ(e->selectedIndex(), kLines - 1);
}

TEST_F(ListFormTest, CancelKeepsTheSelectionAndAnAnswerFromInsideTheCallIsTaken) {
    addSongs(60);
    auto e = makeEngine(songsList(), kLines);
    e->refresh();
    e->selectRow(6);
    const QVector<qint64> before = page(*e);
    host.answer = [&](Request, const Row&) { e->formAnswered(Response::Cancelled, {}); };
    e->change();
    EXPECT_FALSE(e->formPending());
    EXPECT_EQ(page(*e), before);
    EXPECT_EQ(e->selectedIndex(), 6);
}

TEST_F(ListFormTest, ARecordDeletedElsewhereIsNotHandedToTheForm) {
    addSongs(40);
    auto e = makeEngine(songsList(), kLines);
    e->refresh();
    e->selectRow(2);
    const qint64 rec = selectedRec(*e);
    ASSERT_TRUE(store().remove(e->row(2).record).ok());
    e->change();
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_FALSE(page(*e).contains(rec));
    EXPECT_EQ(page(*e).size(), kLines);
}

TEST_F(ListFormTest, OnAnEmptyPageOnlyInsertWorksAndThePopupGreysTheRest) {
    auto e = makeEngine(songsList(), kLines);
    e->refresh();
    EXPECT_EQ(e->popupText(), "&Add|~&Change|~&Delete");
    for (ListKey k : {ListKey::DoubleClick, ListKey::Delete, ListKey::CtrlEnter, ListKey::Backspace}) {
        e->pressKey(k);
    }
    e->choosePopup(2);
    EXPECT_TRUE(host.calls.isEmpty());
    e->pressKey(ListKey::Insert);
    ASSERT_EQ(host.calls.size(), 1);
    EXPECT_EQ(host.calls[0].request, Request::Insert);
}

TEST_F(ListFormTest, PopupListsTheWindowsEntriesAfterAddChangeDelete) {
    addSongs(5);
    auto e = makeEngine(songsList(), kLines);
    e->refresh();
    EXPECT_EQ(e->popupText({{"&Print", true, true},
                            {"&Search", false, true},
                            {"&Import", true, true},
                            {"&Export", true, false}}),
              "&Add|&Change|&Delete|-|&Print|-|~&Search|-|&Import|&Export");
    EXPECT_FALSE(e->choosePopup(4));
    EXPECT_TRUE(e->choosePopup(3));
    ASSERT_EQ(host.calls.size(), 1);
    EXPECT_EQ(host.calls[0].request, Request::Delete);
}

TEST_F(ListFormTest, SelectModeOpensOnTheCallersValueAndADoubleClickSelects) {
    int id = 0;
    for (const char* name : {"Country", "Alpha", "Blues", "Dance"}) {
        addCategory(++id, name);
    }
    const int name = field(TableId::Categories, "Category");
    for (bool selecting : {true, false}) {
        SCOPED_TRACE(selecting);
        host = {};
        auto e = makeEngine(categoriesList(), kLines, 0, selecting ? Request::Select : Request::None);
        Row wanted(TableId::Categories);
        wanted.setText(name, "blues");
        e->setRecord(wanted);
        e->refresh();
        const QVector<PopupEntry> select{{"&Select", e->selectMode(), true}};
        e->pressKey(ListKey::DoubleClick);
        if (selecting) {
            EXPECT_EQ(e->popupText(select), "&Insert|&Change|&Delete|-|&Select");
            EXPECT_EQ(e->record().text(name), "Blues");
            EXPECT_EQ(e->response(), Response::Completed);
            EXPECT_EQ(host.closes, 1);
            EXPECT_TRUE(host.calls.isEmpty());
        } else {
            EXPECT_EQ(e->popupText(select), "&Insert|&Change|&Delete|-|~&Select");
            EXPECT_EQ(e->record().text(name), "Alpha");
            ASSERT_EQ(host.calls.size(), 1);
            EXPECT_EQ(host.calls[0].request, Request::Change);
            e->formAnswered(Response::Cancelled, {});
            e->close();
            EXPECT_EQ(e->response(), Response::Cancelled);
        }
    }
}

} // namespace
