// The song form's rules and the form pattern, driven without a window.
#include "catalogue/song_rules.h"
#include "data/pictures.h"
#include "support/sql_file.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

class SongFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(db->openTable(t.id));
        }
        for (const char* m : {"CD", "LP"}) {
            MediaRecord media{m, {}};
            ASSERT_TRUE(db->store().insert(media).ok());
        }
    }

    SongRecord stored(qint64 id) {
        SongRecord s;
        EXPECT_TRUE(db->store().get(tableDef(TableId::Tunarium).primaryKey, {id}, s).ok());
        return s;
    }

    // Adds a song through the form as a user would: start, type, OK.
    SongRecord addThroughForm(SongRules& rules, const QString& title) {
        Row record(TableId::Tunarium);
        FormSession form(*db, rules, Request::Insert);
        EXPECT_TRUE(form.start(record));
        record.setText(tun::kTitle, title);
        EXPECT_EQ(form.save(record), FormSession::SaveResult::Closed);
        form.close();
        return fromRow<SongRecord>(record);
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
};

} // namespace

TEST_F(SongFormTest, CancellingAnAddLeavesNothingAndTheIdIsReused) {
    SongRules rules(*db);
    Row record(TableId::Tunarium);
    {
        FormSession form(*db, rules, Request::Insert);
        ASSERT_TRUE(form.start(record));
        EXPECT_EQ(form.caption(), "Adding Information");
        EXPECT_EQ(record.number(tun::kId), 1);
        EXPECT_EQ(record.text(tun::kMedia), "CD");
        EXPECT_EQ(db->store().count(TableId::Tunarium), 1); // added at once, reserving the ID
        form.cancel();
        form.close();
    }
    EXPECT_EQ(db->store().count(TableId::Tunarium), 0);
    const SongRecord added = addThroughForm(rules, "Kept");
    EXPECT_EQ(added.id, 1);
    EXPECT_EQ(stored(1).title, "Kept");
}

TEST_F(SongFormTest, TwoFormsAddingAtOnceTakeDifferentIds) {
    SongRules rules(*db);
    Row first(TableId::Tunarium);
    Row second(TableId::Tunarium);
    FormSession a(*db, rules, Request::Insert);
    FormSession b(*db, rules, Request::Insert);
    ASSERT_TRUE(a.start(first));
    ASSERT_TRUE(b.start(second));
    EXPECT_EQ(first.number(tun::kId), 1);
    EXPECT_EQ(second.number(tun::kId), 2);
    EXPECT_EQ(a.save(first), FormSession::SaveResult::Closed);
    EXPECT_EQ(b.save(second), FormSession::SaveResult::Closed);
    EXPECT_EQ(db->store().count(TableId::Tunarium), 2);
}

TEST_F(SongFormTest, TracksAreNumberedPerAlbumSide) {
    AlbumRecord album;
    album.albumId = 5;
    album.album = "Double Album";
    album.artist = "Band";
    album.media = "LP";
    album.fileNumber = "F5";
    ASSERT_TRUE(db->store().insert(album).ok());
    struct Step {
        qint64 side;
        qint64 track;
    };
    for (const Step& s : {Step{1, 1}, Step{1, 2}, Step{2, 1}, Step{1, 3}, Step{2, 2}}) {
        AlbumContext context{1, album, s.side};
        SongRules rules(*db, context);
        const SongRecord song = addThroughForm(rules, "Song");
        EXPECT_EQ(song.trackNumber, s.track) << "side " << s.side;
        EXPECT_EQ(song.albumId, 5);
        EXPECT_EQ(song.album, "Double Album");
        EXPECT_EQ(song.media, "LP");
        EXPECT_EQ(song.fileNumber, "F5");
        EXPECT_EQ(song.artist, "Band");
    }
    // A song on no album starts at track 1 whatever other loose songs hold.
    SongRules loose(*db);
    EXPECT_EQ(addThroughForm(loose, "Single").trackNumber, 1);
}

TEST_F(SongFormTest, ANewCategoryIsCreatedWithTheNextIdAndTaken) {
    CategoryRecord rock{4, "Rock", {}};
    ASSERT_TRUE(db->store().insert(rock).ok());
    SongRules rules(*db);
    ASSERT_TRUE(rules.loadCategoryChoices().ok());
    Row song(TableId::Tunarium);
    // An existing name in other case is the existing category: nothing is asked.
    EXPECT_TRUE(rules.checkCategory(song, "rock"));
    EXPECT_EQ(song.number(tun::kCategoryId), 4);
    EXPECT_TRUE(prompter.messages.isEmpty());
    // No: nothing is created and the field is refused.
    prompter.answers << kButtonNo;
    EXPECT_FALSE(rules.checkCategory(song, "Jazz"));
    EXPECT_EQ(db->store().count(TableId::Categories), 1);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Category not found");
    EXPECT_EQ(prompter.messages[0].text, "Add new category?");
    // Yes: created with the next number and taken at once.
    prompter.answers << kButtonYes;
    EXPECT_TRUE(rules.checkCategory(song, "Jazz"));
    EXPECT_EQ(song.number(tun::kCategoryId), 5);
    EXPECT_EQ(rules.categoryName(5), "Jazz");
    EXPECT_TRUE(rules.checkCategory(song, ""));
    EXPECT_EQ(song.number(tun::kCategoryId), 0);
}

TEST_F(SongFormTest, RangesAreCheckedWithTheirMessages) {
    SongRules rules(*db);
    struct Case {
        int field;
        qint64 value;
        const char* message;
    };
    const Case cases[] = {
        {tun::kTrackNumber, 99, nullptr},
        {tun::kTrackNumber, 100, "The value of Track must be between 0 and 99."},
        {tun::kChartNumber, 100, nullptr},
        {tun::kChartNumber, 101, "The value of Chart must be between 0 and 100."},
        {tun::kRating, 10, nullptr},
        {tun::kRating, 11, "The value of Rating must be between 0 and 10."},
    };
    for (const Case& c : cases) {
        prompter.messages.clear();
        Row song(TableId::Tunarium);
        song.setNumber(c.field, c.value);
        int failing = -1;
        EXPECT_EQ(rules.checkRanges(song, &failing), c.message == nullptr) << c.field << c.value;
        if (c.message) {
            ASSERT_EQ(prompter.messages.size(), 1);
            EXPECT_EQ(prompter.messages[0].caption, "Range Error");
            EXPECT_EQ(prompter.messages[0].text, QString::fromLatin1(c.message));
            EXPECT_EQ(failing, c.field);
        }
    }
}

TEST_F(SongFormTest, MediaMustBeAChoiceFoundInTheMediaTable) {
    SongRules rules(*db);
    Row song(TableId::Tunarium);
    ASSERT_TRUE(rules.loadMediaChoices(song).ok());
    EXPECT_EQ(rules.mediaChoices(), QStringList({"CD", "LP"}));
    EXPECT_EQ(song.text(tun::kMedia), "CD"); // a blank media takes the first choice
    EXPECT_TRUE(rules.checkMedia(song));
    song.setText(tun::kMedia, "8-Track");
    EXPECT_FALSE(rules.checkMedia(song));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Field Contents Error");
    EXPECT_EQ(prompter.messages[0].text, "The value for Media must be found in the Media file.");
}

// Copy is a request of its own: an add with the copy flag. Select (which shares no value with it)
// is never taken for a copy.
TEST_F(SongFormTest, OnlyCopyAddsACopy) {
    SongRules rules(*db);
    struct Case {
        Request called;
        Request request;
        bool copy;
    };
    const Case cases[] = {
        {Request::Insert, Request::Insert, false}, {Request::Copy, Request::Insert, true},
        {Request::Change, Request::Change, false}, {Request::Delete, Request::Delete, false},
        {Request::Select, Request::Select, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.called));
        const FormSession form(*db, rules, c.called);
        EXPECT_EQ(form.requestAsCalled(), c.called);
        EXPECT_EQ(form.request(), c.request);
        EXPECT_EQ(form.isCopy(), c.copy);
        EXPECT_EQ(form.caption() == "Adding Information", c.request == Request::Insert);
    }
}

TEST_F(SongFormTest, CopyGivesANewIdAndEveryOtherValue) {
    SongRules rules(*db);
    SongRecord source;
    source.id = 1;
    source.artist = "Artist";
    source.title = "Title";
    source.mix = "Club Mix";
    source.time = 22501;
    source.notes = "Long notes";
    source.rating = 7;
    ASSERT_TRUE(db->store().insert(source).ok());
    Row record = toRow(source);
    FormSession copy(*db, rules, Request::Copy);
    ASSERT_TRUE(copy.start(record));
    EXPECT_TRUE(copy.isCopy());
    EXPECT_EQ(copy.save(record), FormSession::SaveResult::Closed);
    const SongRecord made = stored(2);
    EXPECT_EQ(made.artist, "Artist");
    EXPECT_EQ(made.mix, "Club Mix");
    EXPECT_EQ(made.time, 22501);
    EXPECT_EQ(made.notes, "Long notes");
    EXPECT_EQ(made.rating, 7);
    EXPECT_EQ(made.media, "CD");
    EXPECT_EQ(stored(1).title, "Title");
}

TEST_F(SongFormTest, AChangeWithoutModificationWritesNothing) {
    SongRecord song;
    song.id = 1;
    song.title = "Same";
    ASSERT_TRUE(db->store().insert(song).ok());
    SongRules rules(*db);
    Row record = toRow(song);
    FormSession form(*db, rules, Request::Change);
    ASSERT_TRUE(form.start(record));
    EXPECT_EQ(form.caption(), "Changing Information");
    EXPECT_EQ(form.save(record), FormSession::SaveResult::Closed);
    EXPECT_EQ(form.response(), Response::Completed);
    EXPECT_EQ(stored(1).meta.version, 0);
    // A change of a memo alone is a change.
    Row again = toRow(stored(1));
    FormSession second(*db, rules, Request::Change);
    ASSERT_TRUE(second.start(again));
    again.setText(tun::kNotes, "New note");
    EXPECT_EQ(second.save(again), FormSession::SaveResult::Closed);
    EXPECT_EQ(stored(1).meta.version, 1);
    EXPECT_EQ(stored(1).notes, "New note");
}

TEST_F(SongFormTest, AChangeByAnotherStationIsRedisplayed) {
    SongRecord song;
    song.id = 1;
    song.title = "Original";
    ASSERT_TRUE(db->store().insert(song).ok());
    SongRules rules(*db);
    Row record = toRow(song);
    FormSession form(*db, rules, Request::Change);
    ASSERT_TRUE(form.start(record));
    SongRecord theirs = stored(1);
    theirs.title = "Theirs";
    ASSERT_TRUE(db->store().update(theirs).ok());
    record.setText(tun::kTitle, "Mine");
    EXPECT_EQ(form.save(record), FormSession::SaveResult::Redisplay);
    EXPECT_EQ(record.text(tun::kTitle), "Theirs");
    EXPECT_EQ(prompter.messages.last().text, "This record was changed by another station.");
    record.setText(tun::kTitle, "Mine after all");
    EXPECT_EQ(form.save(record), FormSession::SaveResult::Closed);
    EXPECT_EQ(stored(1).title, "Mine after all");
}

TEST_F(SongFormTest, DeleteAsksFirstAndOffersToTryAgain) {
    SongRecord song;
    song.id = 1;
    ASSERT_TRUE(db->store().insert(song).ok());
    PlaylistEntryRecord entry{1, 1, 1, {}, {}, {}, {}, {}};
    ASSERT_TRUE(db->store().insert(entry).ok());
    SongRules rules(*db);
    struct Case {
        QList<int> answers;
        Response response;
        QStringList captions;
    };
    const Case cases[] = {
        {{kButtonCancel}, Response::Cancelled, {"Confirm Delete"}},
        {{kButtonOk, kButtonOk, kButtonNo},
         Response::Cancelled,
         {"Confirm Delete", "Referential Integrity Delete Error", "Record Update Error"}},
    };
    for (const Case& c : cases) {
        prompter.messages.clear();
        prompter.answers = c.answers;
        Row record = toRow(stored(1));
        FormSession form(*db, rules, Request::Delete);
        EXPECT_FALSE(form.start(record)); // no window
        EXPECT_EQ(form.response(), c.response);
        QStringList captions;
        for (const PromptMessage& m : prompter.messages) {
            captions << m.caption;
        }
        EXPECT_EQ(captions, c.captions);
    }
    ASSERT_TRUE(db->store().remove(entry).ok());
    prompter.answers = {kButtonOk};
    Row record = toRow(stored(1));
    FormSession form(*db, rules, Request::Delete);
    form.start(record);
    EXPECT_EQ(form.response(), Response::Completed);
    EXPECT_EQ(db->store().count(TableId::Tunarium), 0);
}

TEST_F(SongFormTest, AnAlbumRecordIsMadeForASongOnOk) {
    SongRules rules(*db);
    Row song(TableId::Tunarium);
    song.setText(tun::kAlbum, "Blue");
    song.setText(tun::kArtist, "Joni Mitchell");
    song.setText(tun::kMedia, "LP");
    song.setText(tun::kFileNumber, "F12");
    ASSERT_TRUE(rules.addAlbumRecord(song).ok());
    EXPECT_EQ(song.number(tun::kAlbumId), 1);
    Row second(TableId::Tunarium);
    second.setText(tun::kAlbum, "BLUE");
    second.setText(tun::kArtist, "joni mitchell");
    ASSERT_TRUE(rules.addAlbumRecord(second).ok());
    EXPECT_EQ(second.number(tun::kAlbumId), 1); // found by the album key, which ignores case
    Row noAlbum(TableId::Tunarium);
    ASSERT_TRUE(rules.addAlbumRecord(noAlbum).ok());
    EXPECT_EQ(noAlbum.number(tun::kAlbumId), 0);
    EXPECT_EQ(db->store().count(TableId::Album), 1);
    AlbumRecord made;
    ASSERT_TRUE(db->store().get(tableDef(TableId::Album).primaryKey, {qint64(1)}, made).ok());
    EXPECT_EQ(made.fileNumber, "F12");
    EXPECT_EQ(made.media, "LP");
}

TEST(SongAddDispatch, FollowsTheAddModeUnlessCopyingOrInAnAlbum) {
    SongRecord blank;
    SongRecord typed;
    typed.title = "Something";
    const AlbumContext none;
    const AlbumContext inAlbum{1, {}, 0};
    struct Case {
        AddMode mode;
        bool copy;
        const AlbumContext* context;
        const SongRecord* current;
        AddDispatch expected;
    };
    const Case cases[] = {
        {AddMode::Normal, false, &none, &blank, AddDispatch::OpenForm},
        {AddMode::Compilation, false, &none, &blank, AddDispatch::CompilationWizard},
        {AddMode::SingleArtist, false, &none, &blank, AddDispatch::SingleArtistWizard},
        {AddMode::AskEachTime, false, &none, &blank, AddDispatch::AskUser},
        {AddMode::AskEachTime, false, &none, &typed, AddDispatch::OpenForm},
        {AddMode::Compilation, true, &none, &blank, AddDispatch::OpenForm},
        {AddMode::SingleArtist, false, &inAlbum, &blank, AddDispatch::OpenForm},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(songAddDispatch(c.mode, c.copy, *c.context, *c.current), c.expected);
    }
}

namespace {

// Runs SQL on the collection beside the program's own connection, as another program could.
void runSql(const QString& collectionDir, const char* sql) {
    EXPECT_EQ(test::runSql(collectionDir + "/tunarium.db", QString::fromUtf8(sql)), QString());
}

} // namespace

TEST_F(SongFormTest, EachFieldsCheckRunsByItselfAndOkRunsThemInTabOrder) {
    SongRules rules(*db);
    Row song(TableId::Tunarium);
    ASSERT_TRUE(rules.loadMediaChoices(song).ok());
    ASSERT_TRUE(rules.loadCategoryChoices().ok());
    // Leaving Time: a length is taken as read, a long mix of two and a half hours too.
    song.setNumber(tun::kTime, deformatPicture(u"2:30:00", SongRules::formPicture(tun::kTime)).toLongLong());
    EXPECT_TRUE(rules.acceptField(SongCheck::Time, song, {}));
    EXPECT_EQ(formatPicture(song.value(tun::kTime), SongRules::formPicture(tun::kTime)), "2:30:00");
    // Leaving Rating with 11: the range message names the field as the form shows it.
    song.setNumber(tun::kRating, 11);
    EXPECT_FALSE(rules.acceptField(SongCheck::Rating, song, {}));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "The value of Rating must be between 0 and 10.");
    // Each check looks at its own field only.
    EXPECT_TRUE(rules.acceptField(SongCheck::TrackNumber, song, {}));

    // OK stops at the first refusal in tab order: the media comes before the rating.
    prompter.messages.clear();
    song.setText(tun::kMedia, "8-Track");
    EXPECT_EQ(rules.acceptAll(song, {}), SongCheck::Media);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Field Contents Error");
    song.setText(tun::kMedia, "LP");
    EXPECT_EQ(rules.acceptAll(song, {}), SongCheck::Rating);
    song.setNumber(tun::kRating, 10);
    prompter.answers << kButtonYes; // "Add new category?"
    EXPECT_EQ(rules.acceptAll(song, "Northern Soul"), std::nullopt);
    EXPECT_EQ(rules.categoryName(song.number(tun::kCategoryId)), "Northern Soul");
}

TEST_F(SongFormTest, TheCategoryIsReadAgainWhenTheFormComesBack) {
    CategoryRecord soul{4, "Soul", {}};
    ASSERT_TRUE(db->store().insert(soul).ok());
    SongRules rules(*db);
    ASSERT_TRUE(rules.loadCategoryChoices().ok());
    Row song(TableId::Tunarium);
    song.setNumber(tun::kCategoryId, 4);
    EXPECT_EQ(rules.refreshCategory(song), "Soul");

    // Another window renames the category, then deletes it.
    soul.category = "Deep Soul";
    ASSERT_TRUE(db->store().update(soul).ok());
    EXPECT_EQ(rules.refreshCategory(song), "Deep Soul");
    EXPECT_EQ(rules.categoryName(4), "Deep Soul"); // the choices follow
    ASSERT_TRUE(db->store().remove(soul).ok());
    EXPECT_EQ(rules.refreshCategory(song), "");
    EXPECT_TRUE(rules.categoryChoices().isEmpty());
}

TEST_F(SongFormTest, AChoiceListThatCannotBeReadIsNamed) {
    SongRules rules(*db);
    Row song(TableId::Tunarium);
    QString failed;
    ASSERT_TRUE(rules.loadChoices(song, failed).ok());
    EXPECT_EQ(failed, "");
    struct Case {
        const char* sql;
        const char* table;
    };
    for (const Case& c : {Case{"DROP TABLE Categories", "Categories"}, Case{"DROP TABLE Media", "Media"}}) {
        runSql(dir.dir(), c.sql);
        EXPECT_TRUE(rules.loadChoices(song, failed));
        EXPECT_EQ(failed, c.table);
    }
}
