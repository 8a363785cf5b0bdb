// Record access and integrity: the open routine, the update and delete routines with their
// cascades and refusals, and the warnings they show.
#include "data/database.h"
#include "data/store_sqlite.h"
#include "data/settings.h"
#include "support/temp_collection.h"
#include "support/test_server.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

// The integrity routines run on a collection file and on a collection on the server.
enum class Backend { File, Server };

class DatabaseTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        location = dir.dir();
        if (GetParam() == Backend::Server) {
            SKIP_WITHOUT_TEST_SERVER();
            server = std::make_unique<test::ServerDatabase>();
            ASSERT_TRUE(server->error().isEmpty()) << server->error().toStdString();
            ASSERT_TRUE(initServerCollection(server->location()).ok());
            location = server->location();
        }
        db = std::make_unique<Database>(prompter, location, profile());
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(db->openTable(t.id));
        }
    }

    QString profile() const { return dir.configDir() + "/profile.ini"; }

    SongRecord addSong(qint64 id, const QString& title, qint64 albumId = 0, const QString& fileNumber = {},
                       const QString& media = {}, qint64 category = 0) {
        SongRecord s;
        s.id = id;
        s.title = title;
        s.albumId = albumId;
        s.fileNumber = fileNumber;
        s.media = media;
        s.categoryId = category;
        EXPECT_TRUE(db->store().insert(s).ok());
        return s;
    }
    AlbumRecord addAlbum(qint64 id, const QString& name, const QString& fileNumber, qint64 category = 0) {
        AlbumRecord a;
        a.albumId = id;
        a.album = name;
        a.fileNumber = fileNumber;
        a.categoryId = category;
        EXPECT_TRUE(db->store().insert(a).ok());
        return a;
    }
    void addEntry(qint64 playlist, qint64 seq, qint64 song) {
        PlaylistEntryRecord e;
        e.playlistId = playlist;
        e.playlistSeq = seq;
        e.id = song;
        EXPECT_TRUE(db->store().insert(e).ok());
    }
    // Every record of a table in primary-key order, as text, to compare before and after.
    QStringList snapshot(TableId table) {
        QStringList lines;
        QVector<Row> rows;
        db->store().read(table, tableDef(table).positionKey, {}, Direction::Forward, true, 100000, rows);
        for (const Row& r : rows) {
            QStringList values;
            for (int i = 0; i < r.size(); ++i) {
                values << r.value(i).toString();
            }
            lines << values.join('|');
        }
        return lines;
    }
    QList<QStringList> snapshotAll() {
        QList<QStringList> all;
        for (const TableDef& t : allTables()) {
            all << snapshot(t.id);
        }
        return all;
    }
    QString lastCaption() const {
        return prompter.messages.isEmpty() ? QString() : prompter.messages.last().caption;
    }
    QString lastText() const {
        return prompter.messages.isEmpty() ? QString() : prompter.messages.last().text;
    }

    test::TempCollection dir;
    std::unique_ptr<test::ServerDatabase> server;
    QString location; // the collection's folder, or its server's address
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
};

const QString kRestrictedDeleteText =
    "This record is referenced from the file %1.  This record cannot be deleted "
    "while these references exist.";

} // namespace

TEST(Warnings, TextsAreConcatenatedExactly) {
    struct Case {
        int number;
        const char* name;
        const char* second;
        int savedCode;
        const char* caption;
        const char* text;
        int buttons;
        int defaultButton;
    };
    const Case cases[] = {
        {1, "tnrdata", "", 36, "Invalid File",
         "Error: (E) accessing tnrdata.  Press OK to end this application.", kButtonOk, kButtonOk},
        {2, "tnrdata   ", "", 0, "Invalid Key",
         "tnrdata key file is invalid.  Do you want to rebuild the key?", kButtonYes | kButtonNo, kButtonYes},
        {5, "tnralbum", "", 47, "File Creation Error",
         "Error: (E) opening created file:tnralbum.  Press OK to end this application.", kButtonOk,
         kButtonOk},
        {10, "Rating", "0 and 10", 0, "Range Error", "The value of Rating must be between 0 and 10.",
         kButtonOk, kButtonOk},
        {11, "Media", "Media", 0, "Field Contents Error",
         "The value for Media must be found in the Media file.", kButtonOk, kButtonOk},
        {13, "PlaylistDetails", "", 0, "Referential Integrity Delete Error",
         "This record is referenced from the file PlaylistDetails.  This record cannot be deleted while "
         "these "
         "references exist.",
         kButtonOk, kButtonOk},
        {15, "Tunarium", "", 89, "Update Operation Error", "This record was changed by another station.",
         kButtonOk, kButtonOk},
        {15, "Tunarium", "", 35, "Update Operation Error",
         "An error (E) was experienced when attempting to update a record from the file.  Probable Cause: "
         "Tunarium.",
         kButtonOk, kButtonOk},
        {16, "", "", 0, "Record Update Error",
         "An error was experienced changing this record.  Do you want to try to save again?",
         kButtonYes | kButtonNo | kButtonCancel, kButtonCancel},
        {23, "", "", 0, "Update Cancelled", "Are you sure you want to cancel?", kButtonYes | kButtonNo,
         kButtonNo},
        {24, "Unique Song ID", "", 0, "Duplicate Key Error",
         "Adding this record creates a duplicate entry for the key:Unique Song ID", kButtonOk, kButtonOk},
        {25, "", "", 40, "Auto Increment Error",
         "Attempts to automatically number this record have failed.  Error: E.", kButtonRetry | kButtonCancel,
         kButtonCancel},
        {30, "tnrdata", "", 36, "File Access Error", "File (tnrdata) could not be opened.  Error: E.",
         kButtonOk, kButtonOk},
        {31, "Tunarium", "Put", 0, "Process PUT Error",
         "An error was experienced when making changes to the Tunarium file.  Error: E", kButtonOk,
         kButtonOk},
        {31, "Tunarium", "Delete", 0, "Process DELETE Error",
         "An error was experienced when deleting a record from the Tunarium file.  Error: E", kButtonOk,
         kButtonOk},
        {32, "", "", 0, "Confirm Delete",
         "You've selected to delete the highlighted record.  Press OK to delete it; Cancel (or Enter) keeps it.",
         kButtonOk | kButtonCancel, kButtonCancel},
        {34, "Update", "Album", 32, "Transaction Framing Error",
         "Error: (E) attempting to frame the update transaction on Album.  Update transaction cancelled.",
         kButtonOk, kButtonOk},
        {35, "A_Songs", "", 90, "Record Retrieval Error",
         "Error: (E) attempting to access a record from the A_Songs file.  Returning to previous window.",
         kButtonOk, kButtonOk},
        {36, "", "", 0, "View Open Error",
         "Error: (E) attempting to open the current VIEW. Filter and Range Limits ignored.", kButtonOk,
         kButtonOk},
        {38, "", "", 0, "Record Was Not Updated",
         "This record was changed by another station. Those changes will now be displayed. Use the Ditto "
         "Button or "
         "Ctrl+' to recall your changes.",
         kButtonOk, kButtonOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        const PromptMessage m = composeWarning(c.number, "E", c.name, c.second, c.savedCode);
        EXPECT_EQ(m.caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(m.text, QString::fromUtf8(c.text));
        EXPECT_EQ(m.buttons, c.buttons);
        EXPECT_EQ(m.defaultButton, c.defaultButton);
    }
}

TEST(Warnings, ErrorTextComesFromTheSavedErrorThenTheCurrentOne) {
    RecordingPrompter prompter;
    Warnings warnings(prompter);
    warnings.saveError(StoreError::driver(13, "database or disk is full"));
    warnings.show(warning::kRecordInsertError);
    EXPECT_EQ(prompter.messages.last().text,
              "An error was experienced during the update of record.  Error: database or disk is full (13).");
    EXPECT_FALSE(warnings.hasSavedError());
    warnings.setCurrentError(StoreError::of(code::kRecordNotFound));
    warnings.show(warning::kRecordInsertError);
    EXPECT_EQ(prompter.messages.last().text,
              "An error was experienced during the update of record.  Error: Record Not Found (35).");
    struct HaltCase {
        int number;
        int answer;
        const char* halt;
    };
    for (const HaltCase& h : {HaltCase{1, kButtonOk, "Invalid File!"}, HaltCase{2, kButtonNo, "Invalid Key!"},
                              HaltCase{2, kButtonYes, ""}, HaltCase{3, kButtonOk, "Error Rebuilding Key!"},
                              HaltCase{4, kButtonOk, "File Creation Error!"},
                              HaltCase{5, kButtonOk, "File Creation Error!"}, HaltCase{13, kButtonOk, ""}}) {
        RecordingPrompter p;
        Warnings w(p);
        p.answers << h.answer;
        w.show(h.number, "x");
        EXPECT_EQ(p.haltText, QString::fromUtf8(h.halt)) << h.number;
        EXPECT_EQ(w.halted(), *h.halt != 0) << h.number;
    }
}

// A report shows its own error, its number's caption and buttons, and answers what was pressed;
// the warning after it falls back to the current error, never to the one reported before.
TEST(Warnings, AReportShowsItsOwnErrorAndLeavesNoneBehind) {
    const struct {
        int number;
        StoreError error;
        const char* name;
        const char* second;
        int answer;
        const char* caption;
        const char* text;
    } cases[] = {
        {warning::kRecordRetrievalError, StoreError::of(code::kRecordNotFound), "Album", "", kButtonOk,
         "Record Retrieval Error",
         "Error: (Record Not Found (35)) attempting to access a record from the Album file.  Returning to "
         "previous window."},
        {warning::kProcessError, StoreError::driver(13, "database or disk is full"), "PlaylistDetails", "Put",
         kButtonOk, "Process PUT Error",
         "An error was experienced when making changes to the PlaylistDetails file.  Error: database or disk "
         "is full (13)"},
        // The code of the error reported picks the text: a change by another station says so.
        {warning::kUpdateOperationError, StoreError::of(code::kChangedByOther), "Tunarium", "", kButtonOk,
         "Update Operation Error", "This record was changed by another station."},
        {warning::kAutoIncrementError, StoreError::of(code::kDuplicateKey), "", "", kButtonRetry,
         "Auto Increment Error", ""},
    };
    RecordingPrompter prompter;
    Warnings warnings(prompter);
    warnings.setCurrentError(StoreError::of(code::kFileNotFound));
    const QString current = StoreError::of(code::kFileNotFound).describe();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        prompter.answers = {c.answer};
        EXPECT_EQ(warnings.report(c.number, c.error, QString::fromUtf8(c.name), QString::fromUtf8(c.second)),
                  c.answer);
        EXPECT_EQ(prompter.messages.last().caption, QString::fromUtf8(c.caption));
        if (*c.text != '\0') {
            EXPECT_EQ(prompter.messages.last().text, QString::fromUtf8(c.text));
        } else {
            EXPECT_TRUE(prompter.messages.last().text.contains(c.error.describe()));
        }
        EXPECT_FALSE(warnings.hasSavedError());
        warnings.show(warning::kRecordInsertError);
        EXPECT_EQ(prompter.messages.last().text,
                  "An error was experienced during the update of record.  Error: " + current + ".");
    }
}

TEST_P(DatabaseTest, DeletingASongInAPlaylistIsRefused) {
    SongRecord song = addSong(1, "In a playlist");
    addSong(2, "Free");
    addEntry(1, 1, 1);
    const auto before = snapshotAll();
    EXPECT_EQ(db->remove(song), kRoutineFailed);
    EXPECT_EQ(lastCaption(), "Referential Integrity Delete Error");
    EXPECT_EQ(lastText(), kRestrictedDeleteText.arg("PlaylistDetails"));
    EXPECT_EQ(snapshotAll(), before);
}

TEST_P(DatabaseTest, DeletingAnAlbumDeletesItsSongsAndThoseOnItsCarrier) {
    AlbumRecord album = addAlbum(7, "Album", "F1");
    addAlbum(8, "Other", "F2");
    addSong(1, "Track 1", 7, "F1");
    addSong(2, "Track 2", 7);
    addSong(3, "Same carrier", 0, "f1"); // file numbers compare without regard to case
    addSong(4, "Other album", 8, "F2");
    addSong(5, "No album");
    EXPECT_EQ(db->remove(album), kRoutineDone);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(db->store().count(TableId::Tunarium), 2);
    EXPECT_EQ(db->store().count(TableId::Album), 1);
    const QStringList left = snapshot(TableId::Tunarium);
    EXPECT_TRUE(left[0].contains("Other album"));
    EXPECT_TRUE(left[1].contains("No album"));
}

TEST_P(DatabaseTest, AnAlbumWithASongInAPlaylistIsNotDeletedAtAll) {
    struct Case {
        const char* what;
        qint64 songInPlaylist;
    };
    // Song 2 belongs by album identifier, song 3 only by the carrier's file number.
    for (const Case& c : {Case{"album song", 2}, Case{"carrier song", 3}}) {
        SCOPED_TRACE(c.what);
        test::TempCollection local;
        std::unique_ptr<test::ServerDatabase> fresh;
        QString where = local.dir();
        if (GetParam() == Backend::Server) {
            fresh = std::make_unique<test::ServerDatabase>();
            ASSERT_TRUE(initServerCollection(fresh->location()).ok());
            where = fresh->location();
        }
        RecordingPrompter p;
        Database d(p, where, local.configDir() + "/profile.ini");
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(d.openTable(t.id));
        }
        AlbumRecord album;
        album.albumId = 7;
        album.album = "Album";
        album.fileNumber = "F1";
        ASSERT_TRUE(d.store().insert(album).ok());
        for (qint64 id : {1, 2}) {
            SongRecord s;
            s.id = id;
            s.albumId = 7;
            ASSERT_TRUE(d.store().insert(s).ok());
        }
        SongRecord carrier;
        carrier.id = 3;
        carrier.fileNumber = "F1";
        ASSERT_TRUE(d.store().insert(carrier).ok());
        PlaylistEntryRecord e;
        e.playlistId = 1;
        e.playlistSeq = 1;
        e.id = c.songInPlaylist;
        ASSERT_TRUE(d.store().insert(e).ok());
        EXPECT_EQ(d.remove(album), kRoutineFailed);
        ASSERT_FALSE(p.messages.isEmpty());
        EXPECT_EQ(p.messages.last().text, kRestrictedDeleteText.arg("PlaylistDetails"));
        EXPECT_EQ(d.store().count(TableId::Tunarium), 3);
        EXPECT_EQ(d.store().count(TableId::Album), 1);
    }
}

TEST_P(DatabaseTest, DeletingAPlaylistDeletesItsEntriesOnly) {
    addSong(1, "Song");
    PlaylistRecord one{1, "One", 0, {}, {}};
    PlaylistRecord two{2, "Two", 0, {}, {}};
    ASSERT_TRUE(db->store().insert(one).ok());
    ASSERT_TRUE(db->store().insert(two).ok());
    for (int seq = 1; seq <= 300; ++seq) {
        addEntry(1, seq, 1);
    }
    addEntry(2, 1, 1);
    EXPECT_EQ(db->remove(one), kRoutineDone);
    EXPECT_EQ(db->store().count(TableId::PlaylistMaster), 1);
    EXPECT_EQ(db->store().count(TableId::PlaylistDetails), 1);
    EXPECT_EQ(db->store().count(TableId::Tunarium), 1);
}

TEST_P(DatabaseTest, CategoryDeleteIsRefusedWhileReferenced) {
    CategoryRecord used{1, "Rock", {}};
    CategoryRecord songsOnly{2, "Pop", {}};
    CategoryRecord unused{3, "Jazz", {}};
    for (CategoryRecord* c : {&used, &songsOnly, &unused}) {
        ASSERT_TRUE(db->store().insert(*c).ok());
    }
    addAlbum(1, "Album", "", 1);
    addSong(1, "Song", 0, {}, {}, 2);
    struct Case {
        CategoryRecord* category;
        int result;
        const char* names;
    };
    for (const Case& c : {Case{&used, kRoutineFailed, "Album"}, Case{&songsOnly, kRoutineFailed, "Tunarium"},
                          Case{&unused, kRoutineDone, ""}}) {
        SCOPED_TRACE(c.category->category.toStdString());
        prompter.messages.clear();
        EXPECT_EQ(db->remove(*c.category), c.result);
        if (c.result == kRoutineFailed) {
            EXPECT_EQ(lastText(), kRestrictedDeleteText.arg(c.names));
        } else {
            EXPECT_TRUE(prompter.messages.isEmpty());
        }
    }
    EXPECT_EQ(db->store().count(TableId::Categories), 2);
}

TEST_P(DatabaseTest, RenamingAMediaFormatRenamesItInEverySong) {
    MediaRecord cd{"CD", {}};
    MediaRecord lp{"LP", {}};
    ASSERT_TRUE(db->store().insert(cd).ok());
    ASSERT_TRUE(db->store().insert(lp).ok());
    for (int i = 1; i <= 600; ++i) {
        addSong(i, "Song", 0, {}, i % 3 == 0 ? "LP" : "CD");
    }
    Row row = toRow(cd);
    const BeforeImage before = db->saveBeforeImage(row);
    row.setText(0, "Compact Disc");
    EXPECT_EQ(db->update(row, true, before), kRoutineDone);
    QVector<Row> songs;
    db->store().read(TableId::Tunarium, tableDef(TableId::Tunarium).primaryKey, {}, Direction::Forward,
                     true, 1000, songs);
    int renamed = 0;
    for (const Row& s : songs) {
        const QString media = s.text(tableDef(TableId::Tunarium).fieldIndex(u"Media"));
        renamed += media == "Compact Disc" ? 1 : 0;
        EXPECT_TRUE(media == "Compact Disc" || media == "LP");
    }
    EXPECT_EQ(renamed, 400);
    // Deleting a format still in use is refused; an unused one goes.
    prompter.messages.clear();
    EXPECT_EQ(db->remove(lp), kRoutineFailed);
    EXPECT_EQ(lastText(), kRestrictedDeleteText.arg("Tunarium"));
}

TEST_P(DatabaseTest, CategoryIdentifierChangeFollowsOrIsRestricted) {
    CategoryRecord rock{1, "Rock", {}};
    CategoryRecord pop{2, "Pop", {}};
    ASSERT_TRUE(db->store().insert(rock).ok());
    ASSERT_TRUE(db->store().insert(pop).ok());
    addAlbum(1, "Album", "", 1);
    addSong(1, "Rock song", 0, {}, {}, 1);
    addSong(2, "Pop song", 0, {}, {}, 2);
    // Albums refer to Rock: the change is refused and the field reset.
    Row row = toRow(rock);
    BeforeImage before = db->saveBeforeImage(row);
    row.setNumber(0, 10);
    const auto unchanged = snapshotAll();
    EXPECT_EQ(db->update(row, true, before), kRoutineFailed);
    EXPECT_EQ(lastCaption(), "Referential Integrity Update Error");
    EXPECT_EQ(lastText(),
              "This record is referenced from the file Album.  Linking field(s) have been restricted "
              "from change and have been reset to original values.");
    EXPECT_EQ(row.number(0), 1);
    EXPECT_EQ(snapshotAll(), unchanged);
    // The same record can be saved again after the refusal.
    row.setText(1, "Rock & Roll");
    EXPECT_EQ(db->update(row, true, db->saveBeforeImage(row)), kRoutineDone);
    // Only songs refer to Pop: they follow.
    Row popRow = toRow(pop);
    before = db->saveBeforeImage(popRow);
    popRow.setNumber(0, 20);
    EXPECT_EQ(db->update(popRow, true, before), kRoutineDone);
    SongRecord song;
    ASSERT_TRUE(db->store().get(tableDef(TableId::Tunarium).primaryKey, {qint64(2)}, song).ok());
    EXPECT_EQ(song.categoryId, 20);
}

TEST_P(DatabaseTest, AlbumChangesCascadeToItsSongs) {
    AlbumRecord album = addAlbum(7, "Album", "F1");
    addSong(1, "By identifier", 7);
    addSong(2, "By carrier", 0, "F1");
    addSong(3, "Unrelated", 0, "F9");
    Row row = toRow(album);
    const BeforeImage before = db->saveBeforeImage(row);
    row.set(u"FileNumber", "F2");
    row.set(u"AlbumID", 70);
    EXPECT_EQ(db->update(row, true, before), kRoutineDone);
    SongRecord s;
    ASSERT_TRUE(db->store().get(tableDef(TableId::Tunarium).primaryKey, {qint64(1)}, s).ok());
    EXPECT_EQ(s.albumId, 70);
    ASSERT_TRUE(db->store().get(tableDef(TableId::Tunarium).primaryKey, {qint64(2)}, s).ok());
    EXPECT_EQ(s.fileNumber, "F2");
    ASSERT_TRUE(db->store().get(tableDef(TableId::Tunarium).primaryKey, {qint64(3)}, s).ok());
    EXPECT_EQ(s.fileNumber, "F9");
}

// A blank linking value refers to no record: a media format without a name and a category
// numbered 0 are not what songs without a media format or category point at.
TEST_P(DatabaseTest, ABlankLinkingValueRefersToNoRecord) {
    MediaRecord unnamed{"", {}};
    CategoryRecord zero{0, "None", {}};
    ASSERT_TRUE(db->store().insert(unnamed).ok());
    ASSERT_TRUE(db->store().insert(zero).ok());
    addSong(1, "No media, no category", 0, {}, {}, 0);
    Row row = toRow(unnamed);
    const BeforeImage before = db->saveBeforeImage(row);
    row.setText(0, "DVD");
    EXPECT_EQ(db->update(row, true, before), kRoutineDone);
    SongRecord song;
    ASSERT_TRUE(db->store().get(tableDef(TableId::Tunarium).primaryKey, {qint64(1)}, song).ok());
    EXPECT_EQ(song.media, "");
    EXPECT_EQ(db->remove(zero), kRoutineDone);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

// A routine opens the tables its rules reach for the length of the call, here tables never
// opened before (made by the open routine on the way), and closes them again.
TEST(IntegrityRoutines, OpenWhatTheirRulesReachAndCloseItAgain) {
    test::TempCollection dir;
    RecordingPrompter prompter;
    Database db(prompter, dir.dir(), dir.configDir() + "/profile.ini");
    ASSERT_TRUE(db.openTable(TableId::Album));
    AlbumRecord album;
    album.albumId = 7;
    album.fileNumber = "F1";
    ASSERT_TRUE(db.store().insert(album).ok());
    EXPECT_EQ(db.remove(album), kRoutineDone);
    EXPECT_TRUE(prompter.messages.isEmpty());
    for (TableId further : {TableId::Tunarium, TableId::PlaylistDetails}) {
        EXPECT_EQ(db.openCount(further), 0);
        EXPECT_EQ(db.store().tableState(further), TableState::Current);
    }
    EXPECT_EQ(db.songsAliasCount(), 0);
    EXPECT_EQ(db.openCount(TableId::Album), 1);
    EXPECT_EQ(db.store().count(TableId::Album), 0);
}

// Two collections open on one file stand for two stations.
TEST_P(DatabaseTest, ARecordChangedByAnotherStationIsReadAgain) {
    addSong(1, "Original");
    RecordingPrompter otherPrompter;
    Database other(otherPrompter, location, profile());
    ASSERT_TRUE(other.openTable(TableId::Tunarium));
    for (bool canRecall : {true, false}) {
        SCOPED_TRACE(canRecall);
        SongRecord mine;
        ASSERT_TRUE(db->store().get(tableDef(TableId::Tunarium).primaryKey, {qint64(1)}, mine).ok());
        SongRecord theirs = mine;
        theirs.title = canRecall ? "Theirs" : "Theirs again";
        ASSERT_EQ(other.update(theirs, true), kRoutineDone);
        mine.title = "Mine";
        prompter.messages.clear();
        EXPECT_EQ(db->update(mine, canRecall), kRoutineChanged);
        EXPECT_EQ(mine.title, theirs.title);
        EXPECT_EQ(lastCaption(), canRecall ? "Record Was Not Updated" : "Update Operation Error");
        if (!canRecall) {
            EXPECT_EQ(lastText(), "This record was changed by another station.");
        }
        // After reading the new version, a save goes through.
        mine.title = "Mine at last";
        EXPECT_EQ(db->update(mine, canRecall), kRoutineDone);
    }
    // A record the other station deleted meanwhile gives a warning, not a crash.
    SongRecord gone;
    ASSERT_TRUE(db->store().get(tableDef(TableId::Tunarium).primaryKey, {qint64(1)}, gone).ok());
    ASSERT_EQ(other.remove(gone), kRoutineDone);
    prompter.messages.clear();
    EXPECT_EQ(db->update(gone, true), kRoutineFailed);
    EXPECT_EQ(lastCaption(), "Update Operation Error");
    EXPECT_TRUE(lastText().contains("Record Not Found (35)"));
    EXPECT_EQ(db->remove(gone), kRoutineFailed);
    EXPECT_EQ(lastCaption(), "Record Retrieval Error");
}

TEST(OpenRoutine, MissingFileIsCreatedSilentlyAndBadFileCleared) {
    test::TempCollection dir;
    RecordingPrompter prompter;
    const QString profile = dir.configDir() + "/profile.ini";
    Database db(prompter, dir.dir(), profile);
    for (const TableDef& t : allTables()) {
        ASSERT_TRUE(db.openTable(t.id));
        ASSERT_TRUE(db.openTable(t.id));
        EXPECT_EQ(db.openCount(t.id), 2);
    }
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(readBadFile(profile).isEmpty());
    EXPECT_TRUE(QFile::exists(dir.path("tunarium.db")));
    db.closeTable(TableId::Album);
    EXPECT_EQ(db.openCount(TableId::Album), 1);
}

TEST(OpenRoutine, DamagedKeysOfferTheRebuild) {
    struct Case {
        int answer;
        bool opens;
        const char* halt;
    };
    for (const Case& c : {Case{kButtonYes, true, ""}, Case{kButtonNo, false, "Invalid Key!"}}) {
        test::TempCollection dir;
        {
            SqliteStore store;
            ASSERT_TRUE(store.open(dir.dir()).ok());
            ASSERT_TRUE(store.openTable(TableId::Album).ok());
            ASSERT_TRUE(store.exec("DROP INDEX \"ALB:KeyArtist\"").ok());
        }
        RecordingPrompter prompter;
        prompter.answers << c.answer;
        Database db(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        EXPECT_EQ(db.openTable(TableId::Album), c.opens);
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_EQ(prompter.messages[0].caption, "Invalid Key");
        EXPECT_EQ(prompter.messages[0].text,
                  "tnralbum key file is invalid.  Do you want to rebuild the key?");
        EXPECT_EQ(prompter.haltText, QString::fromUtf8(c.halt));
        if (c.opens) {
            EXPECT_EQ(db.store().tableState(TableId::Album), TableState::Current);
        }
    }
}

TEST(OpenRoutine, UnreadableFilesEndTheProgramWithAMessage) {
    struct Case {
        const char* what;
        std::function<void(const QString& dir)> spoil;
        const char* caption;
        const char* halt;
    };
    const Case cases[] = {
        {"not a collection",
         [](const QString& d) {
             QFile f(d + "/tunarium.db");
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray(4096, 'x'));
         },
         "File Access Error", "Disk Error"},
        {"written by a newer version",
         [](const QString& d) {
             SqliteStore store;
             ASSERT_TRUE(store.open(d).ok());
             ASSERT_TRUE(store.openTable(TableId::Tunarium).ok());
             ASSERT_TRUE(store.exec("UPDATE \"_structure\" SET version = 99 WHERE label = 'Tunarium'").ok());
         },
         "File Access Error", "Disk Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempCollection dir;
        c.spoil(dir.dir());
        QFile file(dir.path("tunarium.db"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        RecordingPrompter prompter;
        Database db(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        EXPECT_FALSE(db.openTable(TableId::Tunarium));
        EXPECT_TRUE(db.halted());
        ASSERT_FALSE(prompter.messages.isEmpty());
        EXPECT_EQ(prompter.messages.last().caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(prompter.haltText, QString::fromUtf8(c.halt));
        EXPECT_FALSE(db.openTable(TableId::Album)); // nothing opens after the end
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll().size(), before.size());
    }
}

// A real child process is killed while it waits inside an open: the maintenance flag stays set,
// and the collection is not damaged.
TEST(OpenRoutine, AProcessKilledDuringAnOpenLeavesBadFileSet) {
    const QString cli = qEnvironmentVariable("TUNARIUM_CLI");
    if (cli.isEmpty()) {
        GTEST_SKIP() << "TUNARIUM_CLI is not set";
    }
    test::TempCollection dir;
    SqliteStore holder;
    ASSERT_TRUE(holder.open(dir.dir()).ok());
    // An exclusive lock keeps even readers out: the child waits inside the open of its first file.
    ASSERT_TRUE(holder.exec("PRAGMA locking_mode=EXCLUSIVE").ok());
    ASSERT_TRUE(holder.exec("BEGIN EXCLUSIVE").ok());
    ASSERT_TRUE(holder.exec("CREATE TABLE hold(x)").ok());
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TUNARIUM_CONFIG_DIR", dir.configDir());
    child.setProcessEnvironment(env);
    child.start(cli, {"--dir", dir.dir(), "info"});
    ASSERT_TRUE(child.waitForStarted());
    const QString profile = dir.configDir() + "/profile.ini";
    for (int i = 0; i < 100 && readBadFile(profile).isEmpty(); ++i) {
        QThread::msleep(20);
    }
    child.kill();
    child.waitForFinished();
    ASSERT_TRUE(holder.exec("ROLLBACK").ok());
    holder.close();
    EXPECT_EQ(readBadFile(profile), "TNRAdWiz");
    RecordingPrompter prompter;
    Database db(prompter, dir.dir(), profile);
    EXPECT_TRUE(db.openTable(TableId::AddWizard));
    EXPECT_TRUE(db.checksKeysAtOpen());
    EXPECT_TRUE(readBadFile(profile).isEmpty());
}

TEST(OpenRoutine, AnUncleanRunHasItsKeysCheckedAtTheNextOpen) {
    test::TempCollection dir;
    {
        SqliteStore store;
        ASSERT_TRUE(store.open(dir.dir()).ok());
        ASSERT_TRUE(store.openTable(TableId::Categories).ok());
        CategoryRecord c{1, "Rock", {}};
        ASSERT_TRUE(store.insert(c).ok());
        // Damage the index contents only: the definition is intact.
        ASSERT_TRUE(store.exec("UPDATE \"Categories\" SET \"CategoryKey\" = 'zzz'").ok());
    }
    QFile marker(dir.path("tunarium.db.session-999999"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    RecordingPrompter prompter;
    Database db(prompter, dir.dir(), dir.configDir() + "/profile.ini");
    EXPECT_TRUE(db.openTable(TableId::Categories));
    EXPECT_TRUE(db.checksKeysAtOpen());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Invalid Key");
    EXPECT_EQ(db.store().checkKeys(TableId::Categories).code, code::kOk);
    EXPECT_FALSE(QFile::exists(dir.path("tunarium.db.session-999999")));
}

// An album made moments ago and taken away again: its own songs (by album identifier, more than a
// page of them) detached or deleted, the songs only on its carrier and another album's left alone.
TEST_P(DatabaseTest, WithdrawingANewAlbumTakesOnlyWhatIsItsOwn) {
    struct Case {
        Database::AlbumSongs songs;
        int deleted;
        qint64 left;
    };
    constexpr int kOwn = 300;
    const Case cases[] = {
        {Database::AlbumSongs::Detach, 0, kOwn + 2},
        {Database::AlbumSongs::Delete, kOwn, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.songs));
        test::TempCollection local;
        std::unique_ptr<test::ServerDatabase> fresh;
        QString where = local.dir();
        if (GetParam() == Backend::Server) {
            fresh = std::make_unique<test::ServerDatabase>();
            ASSERT_TRUE(initServerCollection(fresh->location()).ok());
            where = fresh->location();
        }
        RecordingPrompter p;
        Database d(p, where, local.configDir() + "/profile.ini");
        for (const TableDef& t : allTables()) {
            ASSERT_TRUE(d.openTable(t.id));
        }
        const auto insert = [&d](auto record) { ASSERT_TRUE(d.store().insert(record).ok()); };
        AlbumRecord album;
        album.albumId = 7;
        album.album = "New";
        album.fileNumber = "F1";
        insert(album);
        AlbumRecord other = album;
        other.albumId = 8;
        other.album = "Other";
        other.fileNumber = "F8";
        insert(other);
        const auto song = [&](qint64 id, qint64 albumId, const char* fileNumber) {
            SongRecord s;
            s.id = id;
            s.albumId = albumId;
            s.fileNumber = fileNumber;
            insert(s);
        };
        song(1, 0, "F1"); // on the carrier only
        song(2, 8, "F8");
        for (int i = 0; i < kOwn; ++i) {
            song(10 + i, 7, i % 2 ? "F1" : "");
        }
        int deleted = -1;
        EXPECT_EQ(d.withdrawAlbum(toRow(album), c.songs, &deleted), kRoutineDone);
        EXPECT_TRUE(p.messages.isEmpty());
        EXPECT_EQ(deleted, c.deleted);
        EXPECT_EQ(d.store().count(TableId::Tunarium), c.left);
        QVector<Row> rows;
        ASSERT_TRUE(d.store()
                        .read(TableId::Tunarium, tun::kKeyAlbumId, KeyPosition{{qint64(7)}},
                              Direction::Forward, true, 1, rows, WalkLimits(1, {qint64(7)}))
                        .ok());
        EXPECT_TRUE(rows.isEmpty());
        for (auto [id, albumId, fileNumber] : {std::tuple{1, 0, "F1"}, std::tuple{2, 8, "F8"}}) {
            SongRecord s;
            ASSERT_TRUE(d.store().get(tun::kKeyId, {qint64(id)}, s).ok());
            EXPECT_EQ(s.albumId, albumId);
            EXPECT_EQ(s.fileNumber, fileNumber);
        }
        AlbumRecord gone;
        EXPECT_EQ(d.store().get(alb::kKeyAlbumId, {qint64(7)}, gone).code, code::kRecordNotFound);
        EXPECT_EQ(d.store().count(TableId::Album), 1);
    }
}

TEST_P(DatabaseTest, WithdrawingAnAlbumWhoseSongIsInAPlaylistChangesNothing) {
    const AlbumRecord album = addAlbum(7, "New", "F1");
    addSong(1, "Own", 7, "F1");
    addSong(2, "Own too", 7, "F1");
    addEntry(1, 1, 2);
    const auto before = snapshotAll();
    int deleted = -1;
    EXPECT_EQ(db->withdrawAlbum(toRow(album), Database::AlbumSongs::Delete, &deleted), kRoutineFailed);
    EXPECT_EQ(lastText(), kRestrictedDeleteText.arg("PlaylistDetails"));
    EXPECT_EQ(deleted, -1);
    EXPECT_EQ(snapshotAll(), before);
}

INSTANTIATE_TEST_SUITE_P(Backends, DatabaseTest, ::testing::Values(Backend::File, Backend::Server),
                         [](const ::testing::TestParamInfo<Backend>& backend) {
                             return backend.param == Backend::File ? "File" : "Server";
                         });
