// The move routine on hand-ordered lists: the tracks of one wizard (beside another wizard's and
// another side's, which no move touches) and the entries of a playlist; the ends of a list; a list
// with gaps in its numbers; and a failed step, which leaves the list as it was and names itself.
#include "catalogue/move_routine.h"
#include "data/database.h"
#include "data/records.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tunarium;
using namespace tunarium::test;

namespace {

int awKey() {
    return tableDef(TableId::AddWizard).keyIndex(u"KeyInstance");
}

int fieldOf(TableId table, const char* name) {
    return tableDef(table).fieldIndex(QString::fromLatin1(name));
}

class MoveRoutineTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        ASSERT_TRUE(db->openTables({TableId::AddWizard, TableId::PlaylistDetails}));
    }
    void TearDown() override { db.reset(); }

    Store& store() { return db->store(); }

    void addTrack(qint64 instance, const QString& side, qint64 track, const QString& title) {
        WizardTrackRecord r;
        r.instance = instance;
        r.side = side;
        r.track = track;
        r.title = title;
        ASSERT_TRUE(store().insert(r).ok());
    }
    // Tracks 1..n titled T1..Tn of wizard 1, side "0", with rows of wizard 2 and of side "1" around.
    void addTracks(int n) {
        for (int i = 1; i <= n; ++i) {
            addTrack(1, "0", i, QStringLiteral("T%1").arg(i));
            addTrack(2, "0", i, QStringLiteral("Other %1").arg(i));
        }
        addTrack(1, "1", 1, "Side one");
    }
    OrderedList wizardList(qint64 instance = 1) const {
        return {TableId::AddWizard, awKey(), {instance, "0"}};
    }

    // "number:title" of each record of the list, in key order.
    QStringList listed(const OrderedList& list, int titleField) {
        QVector<Row> rows;
        KeyPosition from;
        from.values = list.range;
        EXPECT_TRUE(store().read(list.table, list.key, from, Direction::Forward, true, 100, rows).ok());
        QStringList out;
        for (const Row& r : rows) {
            if (list.holds(r)) {
                out << QStringLiteral("%1:%2").arg(r.number(list.sequenceField())).arg(r.text(titleField));
            }
        }
        return out;
    }
    QStringList tracks(qint64 instance = 1) {
        return listed(wizardList(instance), fieldOf(TableId::AddWizard, "Title"));
    }

    Row trackRow(qint64 instance, qint64 track) {
        Row r;
        EXPECT_TRUE(store().get(TableId::AddWizard, awKey(), {instance, "0", track}, r).ok());
        return r;
    }

    TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
};

TEST_F(MoveRoutineTest, MovesOnePlaceOrToAnEndAndRenumbersTheEntriesPassed) {
    using O = MoveResult::Outcome;
    struct Case {
        MoveDirection direction;
        qint64 track;
        O outcome;
        QString order; // the titles' numbers after the move, tracks numbered 1..8
    };
    const Case cases[] = {
        {MoveDirection::Up, 1, O::Unchanged, "12345678"},
        {MoveDirection::ToTop, 1, O::Unchanged, "12345678"},
        {MoveDirection::Down, 8, O::Unchanged, "12345678"},
        {MoveDirection::ToBottom, 8, O::Unchanged, "12345678"},
        {MoveDirection::Up, 5, O::Moved, "12354678"},
        {MoveDirection::Down, 5, O::Moved, "12346578"},
        {MoveDirection::ToTop, 5, O::Moved, "51234678"},
        {MoveDirection::ToBottom, 5, O::Moved, "12346785"},
        {MoveDirection::ToTop, 8, O::Moved, "81234567"},
        {MoveDirection::ToBottom, 1, O::Moved, "23456781"},
        {MoveDirection::Down, 7, O::Moved, "12345687"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1 from %2").arg(static_cast<int>(c.direction)).arg(c.track).toStdString());
        ASSERT_TRUE(store().exec("DELETE FROM AddWizard").ok());
        addTracks(8);
        const QStringList others = tracks(2);
        const MoveResult r = moveEntry(store(), wizardList(), trackRow(1, c.track), c.direction);
        ASSERT_EQ(r.outcome, c.outcome);
        QStringList expected;
        for (int i = 0; i < 8; ++i) {
            expected << QStringLiteral("%1:T%2").arg(i + 1).arg(c.order[i]);
        }
        EXPECT_EQ(tracks(), expected);
        EXPECT_EQ(tracks(2), others);
        EXPECT_EQ(listed({TableId::AddWizard, awKey(), {1, "1"}}, fieldOf(TableId::AddWizard, "Title")),
                  QStringList{"1:Side one"});
        if (c.outcome == O::Moved) {
            const qint64 now = c.order.indexOf(QString::number(c.track)) + 1;
            EXPECT_EQ(r.moved.number(fieldOf(TableId::AddWizard, "Track")), now);
            EXPECT_EQ(r.moved.text(fieldOf(TableId::AddWizard, "Title")), QStringLiteral("T%1").arg(c.track));
        }
    }
}

TEST_F(MoveRoutineTest, NumbersWithGapsKeepTheirPlacesInTheOrder) {
    addTrack(1, "0", 2, "A");
    addTrack(1, "0", 4, "B");
    addTrack(1, "0", 9, "C");
    ASSERT_EQ(moveEntry(store(), wizardList(), trackRow(1, 9), MoveDirection::ToTop).outcome,
              MoveResult::Outcome::Moved);
    EXPECT_EQ(tracks(), (QStringList{"2:C", "4:A", "9:B"}));
    ASSERT_EQ(moveEntry(store(), wizardList(), trackRow(1, 2), MoveDirection::Down).outcome,
              MoveResult::Outcome::Moved);
    EXPECT_EQ(tracks(), (QStringList{"2:A", "4:C", "9:B"}));
}

TEST_F(MoveRoutineTest, ServesAPlaylistsEntries) {
    const int key = tableDef(TableId::PlaylistDetails).keyIndex(u"KeyPlaylistID");
    for (qint64 playlist : {7, 8}) {
        for (qint64 seq = 1; seq <= 4; ++seq) {
            PlaylistEntryRecord e;
            e.playlistId = playlist;
            e.playlistSeq = seq;
            e.id = playlist * 100 + seq;
            e.playlistNotes = QStringLiteral("n%1").arg(seq);
            ASSERT_TRUE(store().insert(e).ok());
        }
    }
    const OrderedList seven{TableId::PlaylistDetails, key, {7}};
    Row first;
    ASSERT_TRUE(store().get(TableId::PlaylistDetails, key, {7, 1}, first).ok());
    ASSERT_EQ(moveEntry(store(), seven, first, MoveDirection::ToBottom).outcome, MoveResult::Outcome::Moved);
    const int notes = fieldOf(TableId::PlaylistDetails, "PlaylistNotes");
    EXPECT_EQ(listed(seven, notes), (QStringList{"1:n2", "2:n3", "3:n4", "4:n1"}));
    EXPECT_EQ(listed({TableId::PlaylistDetails, key, {8}}, notes),
              (QStringList{"1:n1", "2:n2", "3:n3", "4:n4"}));
}

TEST_F(MoveRoutineTest, AFailedStepLeavesTheListAsItWasAndNamesItself) {
    addTracks(8);
    // The third track may not take the fourth place.
    ASSERT_TRUE(store()
                    .exec("CREATE TRIGGER refuse BEFORE UPDATE ON AddWizard WHEN NEW.Title = 'T3' AND "
                          "NEW.Track = 4 BEGIN SELECT RAISE(ABORT, 'refused by the test'); END")
                    .ok());
    const QStringList before = tracks();
    const OrderedList list = wizardList();
    const MoveResult r = moveEntry(store(), list, trackRow(1, 5), MoveDirection::ToTop);
    ASSERT_EQ(r.outcome, MoveResult::Outcome::Failed);
    EXPECT_EQ(r.step, MoveStep::PutSwap);
    EXPECT_EQ(tracks(), before);

    const PromptMessage m = moveErrorMessage(list, r);
    EXPECT_EQ(m.caption, "Error!");
    EXPECT_TRUE(m.text.startsWith("Record swap error: \n" + r.error.describe() + "\n"));
    EXPECT_TRUE(
        m.text.endsWith("\nAddWizard, AW:KeyInstance\nKey Field AW:Instance = 1\nKey Field AW:Side = 0\n"
                        "Key Field AW:Track = 4\nSection = Put Swap\n"))
        << m.text.toStdString();

    // The move that the refusal does not meet goes through afterwards.
    EXPECT_EQ(moveEntry(store(), list, trackRow(1, 5), MoveDirection::Up).outcome,
              MoveResult::Outcome::Moved);
}

} // namespace
