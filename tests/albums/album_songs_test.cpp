// The album form's rules without its window: a copy's name and blank serial, the names of the
// album keys, the checks on OK, "Re-assign Songs" and where it stops, the moves within a side and a
// new song placed after the selected one, a delete that closes the gap (whole or not at all), a
// cancelled new album, and the reads of the disc into the album's songs.
#include "albums/album_cd_read.h"
#include "albums/album_rules.h"
#include "albums/album_songs.h"
#include "albums/disc_ids.h"
#include "cd_fakes.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

namespace tunarium {
namespace {

// Two tracks of 3:25 and 4:04 (20501 and 24401 as time values).
constexpr char kTwoTracks[] = "1 2 33892 150 15544";

class AlbumSongsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.openTables({TableId::Tunarium, TableId::Album, TableId::Categories, TableId::Media,
                                   TableId::PlaylistDetails}));
        for (const char* m : {"CD", "LP"}) {
            MediaRecord media{m, {}};
            ASSERT_TRUE(db.store().insert(media).ok());
        }
        for (auto [id, name] : {std::pair{1, "Rock"}, std::pair{2, "Jazz"}}) {
            CategoryRecord c{id, name, {}};
            ASSERT_TRUE(db.store().insert(c).ok());
        }
        settings = Settings::load(dir.configDir() + "/Tunar98.INI");
    }

    AlbumRecord addAlbum(qint64 id, const QString& name, const QString& media = "CD",
                         const QString& fileNumber = {}) {
        AlbumRecord a;
        a.albumId = id;
        a.artist = QStringLiteral("Artist");
        a.album = name;
        a.media = media;
        a.fileNumber = fileNumber;
        a.cdIdentifier = QStringLiteral("ID-") + name;
        EXPECT_TRUE(db.store().insert(a).ok());
        return a;
    }
    SongRecord addSong(qint64 albumId, qint64 side, qint64 track, const QString& media = "CD",
                       const QString& fileNumber = {}) {
        SongRecord s;
        s.id = ++m_songs;
        s.albumId = albumId;
        s.side = side;
        s.trackNumber = track;
        s.title = QStringLiteral("S%1T%2").arg(side).arg(track);
        s.media = media;
        s.fileNumber = fileNumber;
        EXPECT_TRUE(db.store().insert(s).ok());
        return s;
    }
    SongRecord song(qint64 id) {
        SongRecord s;
        EXPECT_TRUE(db.store().get(tun::kKeyId, {id}, s).ok());
        return s;
    }
    // "track:title" of every song of the album in side and track order, sides apart by "|".
    QString order(qint64 albumId) {
        AlbumSongs songs(db, albumId);
        QStringList out;
        SongRecord s;
        bool found = false;
        EXPECT_TRUE(songs.next(nullptr, s, found).ok());
        qint64 side = s.side;
        while (found) {
            if (s.side != side) {
                out << "|";
                side = s.side;
            }
            out << QStringLiteral("%1:%2").arg(s.trackNumber).arg(s.title);
            const SongRecord at = s;
            EXPECT_TRUE(songs.next(&at, s, found).ok());
        }
        return out.join(u' ');
    }
    QString lastMessage() const {
        return prompter.messages.isEmpty() ? QString() : prompter.messages.last().text;
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    Settings settings;
    qint64 m_songs = 0;
};

TEST_F(AlbumSongsTest, CopyAppendsToTheClippedNameAndBlanksTheSerial) {
    AlbumRecord source = addAlbum(1, QStringLiteral("Arrival"));
    source.album = QStringLiteral("Arrival   ");
    AlbumRules rules(db);
    FormSession session(db, rules, Request::Copy);
    Row record = toRow(source);
    ASSERT_TRUE(session.start(record));
    const AlbumRecord copy = fromRow<AlbumRecord>(record);
    EXPECT_EQ(copy.albumId, 2);
    EXPECT_EQ(copy.album, "Arrival - Copy");
    EXPECT_EQ(copy.artist, "Artist");
    EXPECT_EQ(copy.cdIdentifier, "");
    // A name at the field's width keeps its width.
    EXPECT_EQ(albumCopyName(QString(50, u'x')), QString(43, u'x') + " - Copy");
}

TEST_F(AlbumSongsTest, DuplicateKeysAreNamedForTheUser) {
    const std::pair<const char*, const char*> names[] = {{"ALB:KeyAlbumID", "Album ID"},
                                                         {"ALB:KeyAlbum", "Album"},
                                                         {"ALB:KeyArtist", "Artist"},
                                                         {"ALB:KeyCDIdentifier", "CD Serial Number"}};
    for (auto [key, name] : names) {
        EXPECT_EQ(albumKeyName(key), name);
    }
    // Another album's serial number, or its name and artist, are refused on OK, naming the key.
    addAlbum(1, QStringLiteral("One"));
    AlbumRules rules(db);
    ASSERT_TRUE(rules.loadChoices().ok());
    Row other = toRow(addAlbum(2, QStringLiteral("Two")));
    EXPECT_EQ(rules.checkAll(other, {}), std::nullopt);
    other.setText(alb::kCdIdentifier, QStringLiteral("ID-One"));
    EXPECT_EQ(rules.checkAll(other, {}), AlbumCheck::Unique);
    // The message names the key and the album that holds it.
    EXPECT_EQ(lastMessage(), "Adding this record creates a duplicate entry for the key:CD Serial Number\n\n"
                             "This disc is already in the collection: Artist \u2013 One");
    other.setText(alb::kCdIdentifier, QString());
    other.setText(alb::kAlbum, QStringLiteral("One"));
    EXPECT_EQ(rules.checkAll(other, {}), AlbumCheck::Unique);
    EXPECT_EQ(lastMessage(), "Adding this record creates a duplicate entry for the key:Album\n\n"
                             "Already in the collection: Artist \u2013 One");
}

TEST_F(AlbumSongsTest, ChecksOnOkRefuseWithTheirMessages) {
    AlbumRules rules(db);
    ASSERT_TRUE(rules.loadChoices().ok());
    struct Case {
        const char* media;
        const char* category;
        qint64 rating;
        std::optional<AlbumCheck> refused;
        qint64 categoryId;
        const char* message;
    };
    const Case cases[] = {
        {"CD", "jazz", 10, std::nullopt, 2, ""},
        {"LP", "", 0, std::nullopt, 0, ""},
        {"Tape", "Rock", 0, AlbumCheck::Media, -1, "The value for Media must be found in the Media file."},
        {"CD", "Polka", 0, AlbumCheck::Category, -1,
         "The value for Category must be found in the Categories file."},
        {"CD", "Rock", 11, AlbumCheck::Rating, 1, "The value of Rating must be between 0 and 10."},
    };
    for (const Case& c : cases) {
        prompter.messages.clear();
        Row record = toRow(AlbumRecord{});
        record.setText(alb::kMedia, c.media);
        record.setNumber(alb::kCategoryId, -1);
        record.setNumber(alb::kRating, c.rating);
        EXPECT_EQ(rules.checkAll(record, c.category), c.refused) << c.media << c.category;
        EXPECT_EQ(record.number(alb::kCategoryId), c.categoryId) << c.category;
        EXPECT_EQ(lastMessage(), c.message);
    }
}

TEST_F(AlbumSongsTest, ReassignWalksTheFileNumberAndTellsWhyItStopped) {
    addSong(0, 0, 0, "CD", "A11");
    addSong(0, 0, 0, "CD", "A12");
    addSong(0, 0, 0, "cd", "a12");
    addSong(0, 0, 0, "CD", "A12");
    addSong(0, 0, 0, "CD", "A13");
    addSong(0, 0, 0, "LP", "X1");
    struct Case {
        const char* media;
        const char* fileNumber;
        int assigned;
        const char* caption;
        const char* text;
    };
    const Case cases[] = {
        {"CD", "a12 ", 3, "Process complete.", "3 songs assigned."},
        {"CD", "X1", 0, "Process failed.", "No songs with that media type were found."},
        {"CD", "A121", 0, "Process failed.", "No songs with that file number were found."},
        {"LP", "Y1", 0, "Process failed.", "No songs with that media type and file number were found."},
    };
    qint64 id = 0;
    for (const Case& c : cases) {
        ++id;
        const AlbumRecord album = addAlbum(id, QStringLiteral("Album %1").arg(id), c.media, c.fileNumber);
        AlbumSongs songs(db, album.albumId);
        const ReassignResult result = songs.reassign(album);
        EXPECT_EQ(result.assigned, c.assigned) << c.fileNumber;
        const PromptMessage told = reassignOutcome(result);
        EXPECT_EQ(told.caption, c.caption) << c.fileNumber;
        EXPECT_EQ(told.text, c.text) << c.fileNumber;
    }
    EXPECT_EQ(song(1).albumId, 0);
    for (qint64 s : {2, 3, 4}) {
        EXPECT_EQ(song(s).albumId, 1) << s;
    }
    EXPECT_EQ(song(5).albumId, 0);
    EXPECT_EQ(
        reassignQuestion(addAlbum(9, "Q", "CD ", "a12 ")).text,
        "Do you want to assign all songs with file number \"a12\" and media type \"CD\" to this album?");
    // Twenty blanks are no file number: the songs list is offered instead.
    AlbumRecord blank;
    blank.fileNumber = QString(20, u' ');
    EXPECT_FALSE(hasFileNumber(blank));
}

TEST_F(AlbumSongsTest, DeletingTrackThreeOfTenClosesTheGapOnItsSideOnly) {
    addAlbum(1, QStringLiteral("A"));
    QVector<SongRecord> side1;
    for (int t = 1; t <= 10; ++t) {
        side1 << addSong(1, 1, t);
    }
    addSong(1, 2, 1);
    addSong(1, 2, 2);
    AlbumSongs songs(db, 1);
    prompter.answers = {kButtonOk};
    ASSERT_TRUE(songs.removeSong(side1[2]));
    EXPECT_EQ(order(1), "1:S1T1 2:S1T2 3:S1T4 4:S1T5 5:S1T6 6:S1T7 7:S1T8 8:S1T9 9:S1T10 | 1:S2T1 2:S2T2");
    qint64 next = 0;
    ASSERT_TRUE(songs.nextTrack(1, next).ok());
    EXPECT_EQ(next, 10);
}

TEST_F(AlbumSongsTest, ARenumberingThatFailsHalfWayTakesTheDeleteBack) {
    addAlbum(1, QStringLiteral("A"));
    QVector<SongRecord> side1;
    for (int t = 1; t <= 6; ++t) {
        side1 << addSong(1, 1, t);
    }
    ASSERT_TRUE(db.store()
                    .exec("CREATE TEMP TRIGGER refuse BEFORE UPDATE ON Tunarium WHEN NEW.Title = 'S1T5' "
                          "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END")
                    .ok());
    AlbumSongs songs(db, 1);
    prompter.answers = {kButtonOk};
    EXPECT_FALSE(songs.removeSong(side1[1]));
    EXPECT_EQ(order(1), "1:S1T1 2:S1T2 3:S1T3 4:S1T4 5:S1T5 6:S1T6");
    EXPECT_EQ(prompter.messages.last().caption, "Error!");
    EXPECT_TRUE(
        lastMessage().contains("Tunarium, TUN:KeyAlbumID\nKey Field TUN:AlbumID = 1\nKey Field TUN:Side = "
                               "1\nKey Field TUN:TrackNumber = 5\nSection = Put Upd Seq"))
        << lastMessage().toStdString();
}

TEST_F(AlbumSongsTest, MovesStayWithinTheSide) {
    addAlbum(1, QStringLiteral("A"));
    QVector<SongRecord> tracks;
    for (int t = 1; t <= 30; ++t) {
        tracks << addSong(1, 1, t);
    }
    addSong(1, 2, 1);
    AlbumSongs songs(db, 1);
    SongRecord moved;
    ASSERT_TRUE(songs.move(tracks[29], MoveDirection::ToTop, moved));
    EXPECT_EQ(moved.trackNumber, 1);
    QStringList expected{"1:S1T30"};
    for (int t = 1; t <= 29; ++t) {
        expected << QStringLiteral("%1:S1T%2").arg(t + 1).arg(t);
    }
    EXPECT_EQ(order(1), expected.join(u' ') + " | 1:S2T1");
    // The last of side 1 does not go down onto side 2; the first of side 2 does not go up.
    EXPECT_FALSE(songs.move(song(tracks[28].id), MoveDirection::Down, moved));
    EXPECT_FALSE(songs.move(song(31), MoveDirection::Up, moved));
}

TEST_F(AlbumSongsTest, ANewSongIsPlacedJustAfterTheSelectedOne) {
    addAlbum(1, QStringLiteral("A"));
    for (int t = 1; t <= 5; ++t) {
        addSong(1, 1, t);
    }
    const SongRecord added = addSong(1, 1, 6);
    AlbumSongs songs(db, 1);
    SongRecord placed;
    ASSERT_TRUE(songs.placeAfter(added, 2, placed));
    EXPECT_EQ(placed.trackNumber, 3);
    EXPECT_EQ(order(1), "1:S1T1 2:S1T2 3:S1T6 4:S1T3 5:S1T4 6:S1T5");
    // After the last one it stays where it is.
    EXPECT_FALSE(songs.placeAfter(song(added.id), 2, placed));
}

// Where a song added from a songs list ends up, by what was selected when Add was pressed.
TEST_F(AlbumSongsTest, ANewSongGoesAfterTheSelectionOnlyOnItsOwnSide) {
    struct Case {
        const char* what;
        qint64 selectedSide, selectedTrack;
        qint64 track;
        const char* order;
    };
    const Case cases[] = {
        {"after track 1", 1, 1, 2, "1:S1T1 2:S1T4 3:S1T2 4:S1T3"},
        {"nothing selected", -1, 0, 4, "1:S1T1 2:S1T2 3:S1T3 4:S1T4"},
        {"selected on another side", 2, 1, 4, "1:S1T1 2:S1T2 3:S1T3 4:S1T4"},
        {"the last one selected", 1, 3, 4, "1:S1T1 2:S1T2 3:S1T3 4:S1T4"},
    };
    qint64 album = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ++album;
        addAlbum(album, QStringLiteral("A%1").arg(album));
        for (int t = 1; t <= 3; ++t) {
            addSong(album, 1, t);
        }
        addSong(album, 2, 1);
        const SongRecord added = addSong(album, 1, 4);
        AlbumSongs songs(db, album);
        const SongRecord shown = songs.placeAdded(added, c.selectedSide, c.selectedTrack);
        EXPECT_EQ(shown.id, added.id);
        EXPECT_EQ(shown.trackNumber, c.track);
        EXPECT_EQ(order(album), QString::fromLatin1(c.order) + " | 1:S2T1");
    }
    // A song the form gave another album stays as it was added.
    const SongRecord elsewhere = addSong(album + 1, 1, 1);
    EXPECT_EQ(AlbumSongs(db, album).placeAdded(elsewhere, 1, 1).trackNumber, 1);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(AlbumSongsTest, ACancelledNewAlbumLeavesItsSongsWithoutAnAlbum) {
    AlbumRules rules(db);
    Row record(TableId::Album);
    {
        FormSession session(db, rules, Request::Insert);
        ASSERT_TRUE(session.start(record));
        addSong(record.number(alb::kAlbumId), 1, 1);
        session.cancel();
        session.close();
    }
    EXPECT_EQ(db.store().count(TableId::Album), 0);
    EXPECT_EQ(song(1).albumId, 0);
}

TEST_F(AlbumSongsTest, ACopiedAlbumWrittenAtOKLeavesItsSourcesSongsAlone) {
    // The copy is added with its source's file number; the user gives it its own at OK. The songs
    // on the source's carrier are the source's: none follows the copy's new number.
    const AlbumRecord source = addAlbum(1, QStringLiteral("Source"), "CD", "F1");
    addSong(1, 1, 1, "CD", "F1");
    addSong(0, 1, 1, "CD", "F1"); // on the carrier only
    AlbumRules rules(db);
    Row record = toRow(source);
    FormSession session(db, rules, Request::Copy);
    ASSERT_TRUE(session.start(record));
    ASSERT_EQ(db.store().count(TableId::Album), 2);
    record.setText(alb::kFileNumber, QStringLiteral("F2"));
    EXPECT_EQ(session.save(record), FormSession::SaveResult::Closed);
    session.close();
    EXPECT_TRUE(prompter.messages.isEmpty()) << lastMessage().toStdString();
    for (qint64 id : {1, 2}) {
        EXPECT_EQ(song(id).fileNumber, "F1") << id;
    }
    EXPECT_EQ(song(1).albumId, 1);
    AlbumRecord copy;
    ASSERT_TRUE(db.store().get(alb::kKeyAlbumId, {record.number(alb::kAlbumId)}, copy).ok());
    EXPECT_EQ(copy.fileNumber, "F2");
    EXPECT_EQ(copy.album, albumCopyName(QStringLiteral("Source")));
}

TEST_F(AlbumSongsTest, ReadingTheDiscWritesTheSideAndReadTwiceIsNoChange) {
    const QString path = dir.path("disc.toc");
    ASSERT_TRUE(test::writeFile(path, QByteArray(kTwoTracks) + "\n"));
    AlbumRecord album = addAlbum(1, QStringLiteral("A"), "LP", "F1");
    album.cdIdentifier.clear();
    addSong(1, 2, 1).title = QStringLiteral("kept");
    SongRecord first = song(1);
    first.title = QStringLiteral("Kept title");
    ASSERT_TRUE(db.store().update(first).ok());

    const auto read = [&](AlbumCdRead::Kind kind) {
        AlbumCdRead job(db, settings, album, 2, kind, std::make_unique<TocFileDrive>(path));
        while (job.step()) {
        }
        EXPECT_TRUE(job.succeeded());
        return job.album();
    };
    const AlbumRecord afterTracks = read(AlbumCdRead::Kind::Tracks);
    EXPECT_EQ(afterTracks.xccd, "0b01c102");
    EXPECT_EQ(afterTracks.totalTime, 44901);
    EXPECT_EQ(order(1), "1:Kept title 2:Track 2");
    EXPECT_EQ(song(1).time, 20501);
    const SongRecord added = song(2);
    EXPECT_EQ(added.time, 24401);
    EXPECT_EQ(added.media, "LP");
    EXPECT_EQ(added.fileNumber, "F1");
    EXPECT_EQ(added.side, 2);

    const QString before = album.cdIdentifier;
    album = read(AlbumCdRead::Kind::IdentifyOnly);
    EXPECT_EQ(identificationOutcome(before, album.cdIdentifier).text, "CD Identification updated.");
    const QString second = album.cdIdentifier;
    album = read(AlbumCdRead::Kind::IdentifyOnly);
    EXPECT_EQ(identificationOutcome(second, album.cdIdentifier).text, "CD Identification not updated.");
    EXPECT_EQ(db.store().count(TableId::Tunarium), 2);
}

TEST_F(AlbumSongsTest, TheMusicBrainzLookupIsBuiltFromTheTableOfContents) {
    DiscToc toc;
    ASSERT_TRUE(parseDiscToc(u"1 2 33892 150 15544", toc).isEmpty());
    EXPECT_EQ(musicBrainzLookupUrl(toc),
              "https://musicbrainz.org/cdtoc/attach?id=5WDBlEEBFuSweSiev4RhZa8VMuw-"
              "&tracks=2&toc=1+2+33892+150+15544");
    // The reader's own table gives the same page.
    const QString path = dir.path("disc.toc");
    ASSERT_TRUE(test::writeFile(path, QByteArray(kTwoTracks) + "\n"));
    AlbumCdRead job(db, settings, addAlbum(1, "A"), 1, AlbumCdRead::Kind::IdentifyOnly,
                    std::make_unique<TocFileDrive>(path));
    while (job.step()) {
    }
    EXPECT_EQ(musicBrainzLookupUrl(job.reader().toc()), musicBrainzLookupUrl(toc));
    EXPECT_EQ(musicBrainzLookupUrl(DiscToc{}), "");
}

} // namespace
} // namespace tunarium
