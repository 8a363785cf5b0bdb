// The add wizards without their windows: instance numbers that no row carries, reading a disc into
// the rows (again, over rows that were edited), the track form's numbering and its "Track Order"
// refusal, the moves, and OK: the album with the box ticked and not, " (Copy)" and the duplicate
// warning, song numbers after the songs there are at OK, and a failed write that leaves nothing behind.
// Times of the test discs are worked out by hand: f frames are f / 75 whole seconds.
#include "albums/add_wizard.h"
#include "albums/wizard_cd_read.h"
#include "cd_fakes.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

namespace tunarium {
namespace {

// Two tracks of 3:25 and 4:04 (20501 and 24401 as time values).
constexpr char kTwoTracks[] = "1 2 33892 150 15544";
// A published twelve-track disc; its first three tracks last 5:01, 4:14 and 3:39.
constexpr char kTwelveTracks[] =
    "1 12 267257 150 22767 41887 58317 72102 91375 104652 115380 132165 143932 159870 174597";

class AddWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        ASSERT_TRUE(db->openTables(
            {TableId::Tunarium, TableId::Album, TableId::Categories, TableId::Media, TableId::AddWizard}));
        for (const char* m : {"CD", "LP"}) {
            MediaRecord media{m, {}};
            ASSERT_TRUE(db->store().insert(media).ok());
        }
        settings = Settings::load(dir.configDir() + "/Tunar98.INI");
    }
    void TearDown() override {
        wizards.clear();
        db.reset();
    }

    Store& store() { return db->store(); }

    AddWizard& openWizard(WizardKind kind = WizardKind::SingleArtist) {
        wizards.push_back(std::make_unique<AddWizard>(*db, kind));
        EXPECT_TRUE(wizards.back()->open());
        return *wizards.back();
    }
    void setFacts(AddWizard& w, const QString& artist, const QString& album) {
        w.fields().setText(tun::kArtist, artist);
        w.fields().setText(tun::kAlbum, album);
    }
    // Reads the table of contents for the wizard, the whole read at once.
    bool readDisc(AddWizard& w, const QByteArray& toc) {
        const QString path = dir.path("disc.toc");
        EXPECT_TRUE(test::writeFile(path, toc + "\n"));
        WizardCdRead read(w, prompter, settings, dir.dir(), std::make_unique<TocFileDrive>(path));
        while (read.step()) {
        }
        return read.succeeded();
    }
    WizardTrackRecord addRow(AddWizard& w, qint64 track, const QString& title, qint64 time = 0,
                             const QString& artist = {}) {
        WizardTrackRecord r;
        r.instance = w.tracks().instance();
        r.side = kWizardSide;
        r.track = track;
        r.title = title;
        r.time = time;
        r.artist = artist;
        EXPECT_TRUE(store().insert(r).ok());
        return r;
    }
    // "track:artist:title:time" of each row of the wizard.
    QStringList rowsOf(AddWizard& w) {
        QVector<WizardTrackRecord> rows;
        EXPECT_TRUE(w.tracks().rows(rows).ok());
        QStringList out;
        for (const WizardTrackRecord& r : rows) {
            out << QStringLiteral("%1:%2:%3:%4").arg(r.track).arg(r.artist, r.title).arg(r.time);
        }
        return out;
    }
    SongRecord song(qint64 id) {
        SongRecord s;
        EXPECT_TRUE(store().get(tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {id}, s).ok()) << id;
        return s;
    }
    bool songExists(qint64 id) {
        SongRecord s;
        return store().get(tableDef(TableId::Tunarium).keyIndex(u"KeyID"), {id}, s).ok();
    }
    AlbumRecord album(qint64 id) {
        AlbumRecord a;
        EXPECT_TRUE(store().get(tableDef(TableId::Album).keyIndex(u"KeyAlbumID"), {id}, a).ok()) << id;
        return a;
    }
    void addAlbum(qint64 id, const QString& artist, const QString& name) {
        AlbumRecord a;
        a.albumId = id;
        a.artist = artist;
        a.album = name;
        ASSERT_TRUE(store().insert(a).ok());
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
    Settings settings;
    std::vector<std::unique_ptr<AddWizard>> wizards;
};

TEST_F(AddWizardTest, EveryWizardTakesAnInstanceNumberThatNoRowCarries) {
    // Rows that cancelled wizards left behind, under numbers 1 to 3.
    for (qint64 instance = 1; instance <= 3; ++instance) {
        WizardTrackRecord old;
        old.instance = instance;
        old.side = kWizardSide;
        old.track = 1;
        old.title = "Left behind";
        ASSERT_TRUE(store().insert(old).ok());
    }
    AddWizard& first = openWizard();
    AddWizard& second = openWizard();
    EXPECT_EQ(first.tracks().instance(), 4);
    EXPECT_EQ(second.tracks().instance(), 5);
    EXPECT_TRUE(rowsOf(first).isEmpty());
    EXPECT_TRUE(rowsOf(second).isEmpty());

    // The first is cancelled with a row of its own: the row stays, and no later wizard shows it.
    addRow(first, 1, "Mine");
    first.close();
    second.close();
    AddWizard& third = openWizard();
    EXPECT_EQ(third.tracks().instance(), 5);
    EXPECT_TRUE(rowsOf(third).isEmpty());
    EXPECT_EQ(store().count(TableId::AddWizard), 4 + 1); // the four rows and the third's reservation
}

TEST_F(AddWizardTest, ReadingADiscFillsTheRowsAndReadingAgainKeepsTheirTitles) {
    AddWizard& w = openWizard();
    setFacts(w, "Portishead", "Dummy");
    ASSERT_TRUE(readDisc(w, kTwoTracks));
    EXPECT_EQ(rowsOf(w), (QStringList{"1:Portishead:Track 1:20501", "2:Portishead:Track 2:24401"}));
    EXPECT_EQ(w.cdIdentifier(), " 2449012050124401");

    // Titles typed and a row of the user's own beyond the disc; the next disc has twelve tracks.
    WizardTrackRecord first;
    ASSERT_TRUE(store()
                    .get(tableDef(TableId::AddWizard).keyIndex(u"KeyInstance"),
                         {w.tracks().instance(), kWizardSide, 1}, first)
                    .ok());
    first.title = "Mysterons";
    ASSERT_TRUE(store().update(first).ok());
    addRow(w, 20, "Bonus", 1234);
    setFacts(w, "", "Dummy");
    ASSERT_TRUE(readDisc(w, kTwelveTracks));
    const QStringList rows = rowsOf(w);
    ASSERT_EQ(rows.size(), 13);
    EXPECT_EQ(rows[0], "1:Portishead:Mysterons:30101");
    EXPECT_EQ(rows[1], "2:Portishead:Track 2:25401");
    // A track without a row gets one; an album without an artist gives "Various".
    EXPECT_EQ(rows[2], "3:Various:Track 3:21901");
    EXPECT_EQ(rows[12], "20::Bonus:1234");
}

TEST_F(AddWizardTest, AFailedOrCancelledReadWritesNoRowAndClosesTheDrive) {
    AddWizard& w = openWizard();
    addRow(w, 1, "Kept", 500);
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "drive lost");
        auto drive = std::make_unique<test::FakeDrive>();
        test::FakeDrive& fake = *drive;
        fake.disc = test::tocOf(kTwelveTracks);
        WizardCdRead read(w, prompter, settings, dir.dir(), std::move(drive));
        ASSERT_TRUE(read.step()); // the drive opened and the disc identified
        ASSERT_TRUE(read.step()); // track 1
        if (cancel) {
            read.cancel();
        } else {
            fake.discCondition = DriveCondition::Absent;
            while (read.step()) {
            }
        }
        EXPECT_TRUE(read.finished());
        EXPECT_FALSE(read.succeeded());
        EXPECT_EQ(fake.closes, fake.opens);
        EXPECT_EQ(rowsOf(w), QStringList{"1::Kept:500"});
        EXPECT_TRUE(w.cdIdentifier().isEmpty());
    }
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_EQ(prompter.messages.first().text, "CD player not ready.");
}

TEST_F(AddWizardTest, TheTrackFormNumbersNewRowsAndRefusesATrackNumberTaken) {
    AddWizard& w = openWizard();
    addRow(w, 1, "One");
    addRow(w, 2, "Two");
    WizardTrackRules rules(w.tracks());
    FormSession session(*db, rules, Request::Insert);
    Row added(TableId::AddWizard);
    ASSERT_TRUE(session.start(added));
    const int track = tableDef(TableId::AddWizard).fieldIndex(u"Track");
    EXPECT_EQ(added.number(track), 3);
    EXPECT_EQ(rowsOf(w).size(), 3); // added at once

    bool taken = true;
    ASSERT_TRUE(w.tracks().trackTaken(added, taken).ok());
    EXPECT_FALSE(taken);
    added.setNumber(track, 2);
    ASSERT_TRUE(w.tracks().trackTaken(added, taken).ok());
    EXPECT_TRUE(taken);
    // Saved anyway, the key refuses it and the message names the key as the wizard does.
    EXPECT_EQ(session.save(added), FormSession::SaveResult::StayOpen);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text,
              "Adding this record creates a duplicate entry for the key:Track Order");
    // Cancelled, the new row goes again.
    session.cancel();
    session.close();
    EXPECT_EQ(rowsOf(w), (QStringList{"1::One:0", "2::Two:0"}));
}

TEST_F(AddWizardTest, MovesTakeATrackToTheTopAndToTheBottom) {
    AddWizard& w = openWizard();
    for (int i = 1; i <= 5; ++i) {
        addRow(w, i, QStringLiteral("T%1").arg(i));
    }
    WizardTrackRecord third;
    ASSERT_TRUE(store()
                    .get(tableDef(TableId::AddWizard).keyIndex(u"KeyInstance"),
                         {w.tracks().instance(), kWizardSide, 3}, third)
                    .ok());
    MoveResult r = w.tracks().move(toRow(third), MoveDirection::ToTop);
    ASSERT_EQ(r.outcome, MoveResult::Outcome::Moved);
    EXPECT_EQ(rowsOf(w), (QStringList{"1::T3:0", "2::T1:0", "3::T2:0", "4::T4:0", "5::T5:0"}));
    r = w.tracks().move(r.moved, MoveDirection::ToBottom);
    ASSERT_EQ(r.outcome, MoveResult::Outcome::Moved);
    EXPECT_EQ(rowsOf(w), (QStringList{"1::T1:0", "2::T2:0", "3::T4:0", "4::T5:0", "5::T3:0"}));
    EXPECT_EQ(w.tracks().move(r.moved, MoveDirection::Down).outcome, MoveResult::Outcome::Unchanged);
}

TEST_F(AddWizardTest, OkWithTheBoxTickedWritesTheAlbumAndOneSongPerTrack) {
    // Songs 1 to 3 exist when the wizard opens and 4 is added while it is open (another window):
    // the album's songs follow it, and the wizard itself wrote nothing before OK.
    for (qint64 id = 1; id <= 3; ++id) {
        SongRecord s;
        s.id = id;
        s.title = "Earlier";
        ASSERT_TRUE(store().insert(s).ok());
    }
    addAlbum(7, "Someone", "Else");
    AddWizard& w = openWizard();
    EXPECT_FALSE(songExists(4));
    {
        SongRecord meanwhile;
        meanwhile.id = 4;
        meanwhile.title = "Meanwhile";
        ASSERT_TRUE(store().insert(meanwhile).ok());
    }
    setFacts(w, "Portishead", "Dummy");
    w.fields().setText(tun::kFileNumber, "B12");
    w.fields().setNumber(tun::kReleaseDate, 1994);
    ASSERT_TRUE(readDisc(w, kTwoTracks));
    addRow(w, 3, "", 0);          // a blank title and no time
    addRow(w, 4, "Glory Box", 0); // no time either: nothing of the track before passes to it

    ASSERT_TRUE(w.writeAll());
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(w.writtenAlbumId(), 8);
    const AlbumRecord a = album(8);
    EXPECT_EQ(a.artist, "Portishead");
    EXPECT_EQ(a.album, "Dummy");
    EXPECT_EQ(a.media, "CD");
    EXPECT_EQ(a.fileNumber, "B12");
    EXPECT_EQ(a.releaseDate, 1994);
    EXPECT_EQ(a.cdIdentifier, " 2449012050124401");

    EXPECT_EQ(w.writtenSongIds(), (QVector<qint64>{5, 6, 7, 8}));
    const struct {
        qint64 id;
        const char* title;
        qint64 track, time;
        const char* info;
    } expected[] = {{5, "Track 1", 1, 20501, "03:25"},
                    {6, "Track 2", 2, 24401, "04:04"},
                    {7, "Track 3", 3, 0, ""},
                    {8, "Glory Box", 4, 0, ""}};
    for (const auto& e : expected) {
        const SongRecord s = song(e.id);
        EXPECT_EQ(s.title, e.title);
        EXPECT_EQ(s.trackNumber, e.track);
        EXPECT_EQ(s.time, e.time);
        EXPECT_EQ(s.additionalInformation1, e.info);
        EXPECT_EQ(s.artist, "Portishead");
        EXPECT_EQ(s.album, "Dummy");
        EXPECT_EQ(s.albumId, 8);
        EXPECT_EQ(s.fileNumber, "B12");
        EXPECT_EQ(s.media, "CD");
    }
    EXPECT_TRUE(rowsOf(w).isEmpty());
    w.close();
    EXPECT_EQ(store().count(TableId::Tunarium), 8);
    EXPECT_EQ(store().count(TableId::AddWizard), 0);
}

TEST_F(AddWizardTest, OkWithoutTheBoxLinksTheSongsToAnExistingAlbumOrToNone) {
    addAlbum(3, "Various", "Café del Mar");
    struct Case {
        WizardKind kind;
        const char* name;
        qint64 albumId;
    };
    for (const Case& c :
         {Case{WizardKind::Compilation, "Café del Mar", 3}, Case{WizardKind::Compilation, "Not there", 0},
          Case{WizardKind::SingleArtist, "Café del Mar", 0}}) {
        AddWizard& w = openWizard(c.kind);
        setFacts(w, "Moby", c.name);
        w.setAddToAlbums(false);
        addRow(w, 1, "One", 0, "Bent");
        ASSERT_TRUE(w.writeAll());
        EXPECT_EQ(w.writtenAlbumId(), c.albumId) << c.name;
        const SongRecord s = song(w.writtenSongIds().first());
        EXPECT_EQ(s.albumId, c.albumId);
        EXPECT_EQ(s.artist, c.kind == WizardKind::Compilation ? "Bent" : "Moby");
        w.close();
    }
    EXPECT_EQ(store().count(TableId::Album), 1);
}

TEST_F(AddWizardTest, TheSameAlbumTwiceIsACopyAndAThirdTimeTheSongsJoinTheFirst) {
    QVector<qint64> albums;
    for (int time = 0; time < 3; ++time) {
        AddWizard& w = openWizard(WizardKind::Compilation);
        setFacts(w, "", "Ibiza");
        addRow(w, 1, "One", 0, "Artist A");
        ASSERT_TRUE(w.writeAll());
        albums << w.writtenAlbumId();
        EXPECT_EQ(song(w.writtenSongIds().first()).albumId, w.writtenAlbumId());
        w.close();
    }
    EXPECT_EQ(albums, (QVector<qint64>{1, 2, 1}));
    EXPECT_EQ(album(1).album, "Ibiza");
    EXPECT_EQ(album(1).artist, "Various");
    EXPECT_EQ(album(2).album, "Ibiza (Copy)");
    EXPECT_EQ(store().count(TableId::Album), 2);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Warning");
    EXPECT_EQ(prompter.messages[0].text,
              "The artist and album information is a duplicate of information already in the database");
}

TEST_F(AddWizardTest, ADiscAlreadyFiledLeavesTheNewAlbumWithoutItsIdentifier) {
    AddWizard& first = openWizard();
    setFacts(first, "Air", "Moon Safari");
    ASSERT_TRUE(readDisc(first, kTwoTracks));
    ASSERT_TRUE(first.writeAll());
    AddWizard& second = openWizard();
    setFacts(second, "Air", "Talkie Walkie");
    ASSERT_TRUE(readDisc(second, kTwoTracks));
    ASSERT_TRUE(second.writeAll());
    EXPECT_EQ(album(first.writtenAlbumId()).cdIdentifier, " 2449012050124401");
    EXPECT_EQ(album(second.writtenAlbumId()).cdIdentifier, "");
}

TEST_F(AddWizardTest, AFailedWriteLeavesNoAlbumNoSongAndEveryRow) {
    AddWizard& w = openWizard();
    setFacts(w, "Portishead", "Dummy");
    addRow(w, 1, "One", 100);
    addRow(w, 2, "Two", 200);
    // A row numbered beyond what a song's track number holds: its song cannot be written.
    const WizardTrackRecord beyond = addRow(w, 300, "Three", 300);
    const QStringList rows = rowsOf(w);
    const qint64 songs = store().count(TableId::Tunarium);

    EXPECT_FALSE(w.writeAll());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, "Error!");
    EXPECT_TRUE(prompter.messages[0].text.startsWith("Error adding to music database from Wizard:  "))
        << prompter.messages[0].text.toStdString();
    EXPECT_TRUE(prompter.messages[0].text.contains("TUN:TrackNumber"));
    EXPECT_EQ(store().count(TableId::Album), 0);
    EXPECT_EQ(store().count(TableId::Tunarium), songs);
    EXPECT_EQ(rowsOf(w), rows);

    // Put right, OK writes it all.
    WizardTrackRecord third = beyond;
    third.track = 3;
    ASSERT_TRUE(store().update(third).ok());
    ASSERT_TRUE(w.writeAll());
    EXPECT_EQ(store().count(TableId::Album), 1);
    EXPECT_EQ(w.writtenSongIds().size(), 3);
}

} // namespace
} // namespace tunarium
