// The album wizard without its window: the album made at open with the default categories of an
// empty table, the steps and what they switch on, which media read the disc, reads into one side
// and then the next, Finish, and Cancel (also an open wizard going away) removing every song it
// wrote on every side, and nothing else.
#include "albums/album_disc_songs.h"
#include "albums/album_wizard.h"
#include "albums/wizard_cd_read.h"
#include "cd_fakes.h"
#include "support/temp_collection.h"

#include <QDate>

#include <gtest/gtest.h>

namespace tunarium {
namespace {

// Two tracks of 3:25 and 4:04 (20501 and 24401 as time values).
constexpr char kTwoTracks[] = "1 2 33892 150 15544";
// Three tracks.
constexpr char kThreeTracks[] = "1 3 50000 150 15544 30000";

class AlbumWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
        ASSERT_TRUE(db->openTables({TableId::Tunarium, TableId::Album, TableId::Categories, TableId::Media}));
        for (const char* m : {"CD", "Cassette", "Mini-cd"}) {
            MediaRecord media{m, {}};
            ASSERT_TRUE(db->store().insert(media).ok());
        }
        loadSettings("");
    }
    void TearDown() override {
        wizard.reset();
        db.reset();
    }
    void loadSettings(const QByteArray& ini) {
        ASSERT_TRUE(test::writeFile(dir.configDir() + "/Tunar98.INI", "[Settings]\n" + ini));
        settings = Settings::load(dir.configDir() + "/Tunar98.INI");
    }
    AlbumWizard& open() {
        wizard = std::make_unique<AlbumWizard>(*db, settings);
        EXPECT_TRUE(wizard->open());
        return *wizard;
    }
    bool readDisc(AlbumWizard& w, const QByteArray& toc) {
        const QString path = dir.path("disc.toc");
        EXPECT_TRUE(test::writeFile(path, toc + "\n"));
        WizardCdRead read(
            *db, w.album(),
            [&w](const CdReader& reader, const AlbumRecord& album) { return w.applyRead(reader, album); },
            prompter, settings, dir.dir(), std::make_unique<TocFileDrive>(path));
        while (read.step()) {
        }
        return read.succeeded();
    }
    // "side/track:title:time" of every song of the album, in key order.
    QStringList songsOf(qint64 albumId) {
        QVector<Row> rows;
        EXPECT_TRUE(db->store()
                        .read(TableId::Tunarium, tun::kKeyAlbumId, KeyPosition{{albumId}}, Direction::Forward,
                              true, 100, rows, WalkLimits(1, {albumId}))
                        .ok());
        QStringList out;
        for (const Row& r : rows) {
            out << QStringLiteral("%1/%2:%3:%4")
                       .arg(r.number(tun::kSide))
                       .arg(r.number(tun::kTrackNumber))
                       .arg(r.text(tun::kTitle))
                       .arg(r.number(tun::kTime));
        }
        return out;
    }
    bool albumExists(qint64 albumId) {
        AlbumRecord a;
        return db->store().get(alb::kKeyAlbumId, {albumId}, a).ok();
    }

    test::TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
    Settings settings;
    std::unique_ptr<AlbumWizard> wizard;
};

TEST_F(AlbumWizardTest, OpeningAddsTheAlbumAndTheDefaultCategoriesOfAnEmptyTableOnce) {
    AlbumRecord existing;
    existing.albumId = 7;
    existing.album = QStringLiteral("Older");
    ASSERT_TRUE(db->store().insert(existing).ok());
    loadSettings("DateFormat=n4b\nDefaultWizardCompilation=1\n");

    AlbumWizard& w = open();
    EXPECT_EQ(w.album().albumId, 8);
    EXPECT_TRUE(albumExists(8));
    EXPECT_EQ(w.album().media, QStringLiteral("CD"));
    EXPECT_EQ(w.album().releaseDate, QDate::currentDate().year());
    EXPECT_EQ(w.kind(), AlbumKind::Compilation);
    EXPECT_EQ(w.carrier(), AlbumCarrier::OneDiscOrSide);
    EXPECT_EQ(w.side(), 1);
    QStringList names;
    for (qint64 id = 1; id <= 5; ++id) {
        CategoryRecord c;
        ASSERT_TRUE(db->store().get(cat::kKeyCategoryId, {id}, c).ok());
        names << c.category;
    }
    EXPECT_EQ(names, defaultCategoryNames());
    EXPECT_TRUE(w.setCategoryName(QStringLiteral("jazz")));
    EXPECT_EQ(w.album().categoryId, 3);
    EXPECT_FALSE(w.setCategoryName(QStringLiteral("Polka")));
    // The media typed is taken as the media table spells it; one it does not hold leaves the
    // album's as it was.
    const struct {
        const char* typed;
        bool taken;
        const char* media;
    } media[] = {
        {"cassette", true, "Cassette"}, {" MINI-CD ", true, "Mini-cd"}, {"CD", true, "CD"},
        {"Vinyl", false, "CD"},         {"", false, "CD"},              {"C", false, "CD"},
    };
    for (const auto& m : media) {
        w.album().media = QStringLiteral("CD");
        EXPECT_EQ(w.setMediaName(QString::fromLatin1(m.typed)), m.taken) << m.typed;
        EXPECT_EQ(w.album().media, QString::fromLatin1(m.media)) << m.typed;
    }

    // A table that has categories gets none; the renamed ones stay as the user left them.
    ASSERT_TRUE(w.cancel());
    CategoryRecord pop;
    ASSERT_TRUE(db->store().get(cat::kKeyCategoryId, {qint64(2)}, pop).ok());
    pop.category = QStringLiteral("Pop and Soul");
    ASSERT_TRUE(db->store().update(pop).ok());
    loadSettings("");
    open();
    EXPECT_EQ(db->store().count(TableId::Categories), 5);
    EXPECT_EQ(wizard->album().releaseDate, 0);
    EXPECT_EQ(wizard->kind(), AlbumKind::SingleArtist);
}

TEST_F(AlbumWizardTest, AnyMediaThatContainsCdInAnyCaseIsRead) {
    const struct {
        const char* media;
        bool cd;
    } cases[] = {{"CD", true},  {"cd", true},        {"Mini-cd", true}, {"Enhanced cD", true},
                 {"LP", false}, {"Cassette", false}, {"", false},       {"C D", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(AlbumWizard::isCdMedia(QString::fromLatin1(c.media)), c.cd) << c.media;
    }
}

TEST_F(AlbumWizardTest, StepsSwitchTheButtonsAndOnlyLeavingStepTwoOnACdReads) {
    AlbumWizard& w = open();
    EXPECT_EQ(w.step(), 1);
    EXPECT_FALSE(w.backEnabled());
    EXPECT_TRUE(w.nextEnabled());
    EXPECT_FALSE(w.finishVisible());
    EXPECT_EQ(w.albumContextMode(), 1);

    w.setKind(AlbumKind::SingleArtist);
    w.setCarrier(AlbumCarrier::MultiDiscCd);
    EXPECT_FALSE(w.next()); // leaving step 1 reads nothing
    EXPECT_TRUE(w.backEnabled());
    EXPECT_TRUE(w.nextEnabled());
    EXPECT_FALSE(w.finishVisible());
    EXPECT_EQ(w.albumContextMode(), 2);
    EXPECT_TRUE(w.sideControlsOn());

    EXPECT_TRUE(w.next()); // leaving step 2 with "CD"
    EXPECT_EQ(w.step(), 3);
    EXPECT_FALSE(w.nextEnabled());
    EXPECT_TRUE(w.finishVisible());
    EXPECT_FALSE(w.next());
    EXPECT_EQ(w.step(), 3);

    w.back();
    EXPECT_EQ(w.step(), 2);
    w.setKind(AlbumKind::Compilation);
    w.setCarrier(AlbumCarrier::OneDiscOrSide);
    w.album().media = QStringLiteral("mini-CD");
    EXPECT_TRUE(w.next());
    EXPECT_EQ(w.albumContextMode(), 3);
    EXPECT_FALSE(w.sideControlsOn());
    EXPECT_EQ(w.songContext().album.albumId, w.album().albumId);
}

TEST_F(AlbumWizardTest, ACassetteNeverReadsAndTheNextSideOnlyMovesOn) {
    AlbumWizard& w = open();
    w.setCarrier(AlbumCarrier::Cassette);
    w.album().media = QStringLiteral("Cassette");
    EXPECT_FALSE(w.next());
    EXPECT_FALSE(w.next());
    EXPECT_EQ(w.step(), 3);
    EXPECT_FALSE(w.nextSide());
    EXPECT_EQ(w.side(), 2);
    EXPECT_TRUE(songsOf(w.album().albumId).isEmpty());
}

TEST_F(AlbumWizardTest, ReadsFillTheCurrentSideAndAReadAgainOnlyUpdatesItsTimes) {
    AlbumWizard& w = open();
    w.album().artist = QStringLiteral("Nina");
    w.album().album = QStringLiteral("Blue");
    w.album().fileNumber = QStringLiteral("A12");
    ASSERT_TRUE(readDisc(w, kTwoTracks));
    const qint64 id = w.album().albumId;
    EXPECT_EQ(songsOf(id), (QStringList{"1/1:Track 1:20501", "1/2:Track 2:24401"}));
    EXPECT_EQ(w.album().xccd.size(), 8);
    EXPECT_GT(w.album().totalTime, 1);
    EXPECT_FALSE(w.album().cdIdentifier.isEmpty());

    // The user retitled track 1; reading the same side again keeps the title.
    SongRecord first;
    ASSERT_TRUE(db->store().get(tun::kKeyAlbumId, {id, qint64(1), qint64(1)}, first).ok());
    EXPECT_EQ(first.artist, QStringLiteral("Nina"));
    EXPECT_EQ(first.fileNumber, QStringLiteral("A12"));
    first.title = QStringLiteral("Opening");
    first.time = 5;
    ASSERT_TRUE(db->store().update(first).ok());
    ASSERT_TRUE(readDisc(w, kTwoTracks));
    EXPECT_EQ(songsOf(id), (QStringList{"1/1:Opening:20501", "1/2:Track 2:24401"}));

    EXPECT_TRUE(w.nextSide());
    ASSERT_TRUE(readDisc(w, kThreeTracks));
    EXPECT_EQ(songsOf(id).size(), 5);
    EXPECT_TRUE(songsOf(id)[2].startsWith(QStringLiteral("2/1:Track 1:")));
}

TEST_F(AlbumWizardTest, CancelAfterTwoDiscsRemovesTheSongsOfBothSidesAndTheAlbumOnly) {
    SongRecord other;
    other.id = 1;
    other.albumId = 99;
    other.title = QStringLiteral("Elsewhere");
    ASSERT_TRUE(db->store().insert(other).ok());

    AlbumWizard& w = open();
    const qint64 id = w.album().albumId;
    w.setCarrier(AlbumCarrier::MultiDiscCd);
    ASSERT_TRUE(readDisc(w, kTwoTracks));
    w.nextSide();
    ASSERT_TRUE(readDisc(w, kThreeTracks));
    ASSERT_EQ(songsOf(id).size(), 5);

    ASSERT_TRUE(w.cancel());
    EXPECT_EQ(w.songsRemoved(), 5);
    EXPECT_TRUE(songsOf(id).isEmpty());
    EXPECT_FALSE(albumExists(id));
    EXPECT_EQ(songsOf(99), (QStringList{"0/0:Elsewhere:0"}));
    EXPECT_FALSE(w.isOpen());
}

TEST_F(AlbumWizardTest, AnOpenWizardThatGoesAwayIsCancelledAndAFinishedOneKeepsItsAlbum) {
    qint64 cancelledId = 0;
    {
        AlbumWizard w(*db, settings);
        ASSERT_TRUE(w.open());
        cancelledId = w.album().albumId;
        ASSERT_TRUE(readDisc(w, kTwoTracks));
    }
    EXPECT_FALSE(albumExists(cancelledId));
    EXPECT_TRUE(songsOf(cancelledId).isEmpty());

    AlbumWizard& w = open();
    const qint64 id = w.album().albumId;
    w.album().artist = QStringLiteral("Nina");
    w.album().album = QStringLiteral("Blue");
    ASSERT_TRUE(readDisc(w, kTwoTracks));
    EXPECT_EQ(w.finish(), kRoutineDone);
    wizard.reset();
    AlbumRecord saved;
    ASSERT_TRUE(db->store().get(alb::kKeyAlbumId, {id}, saved).ok());
    EXPECT_EQ(saved.album, QStringLiteral("Blue"));
    EXPECT_EQ(saved.xccd.size(), 8);
    EXPECT_EQ(songsOf(id).size(), 2);
}

TEST_F(AlbumWizardTest, WritingASideAgainAddsOnlyTheTracksItHasNoSongFor) {
    AlbumRecord album;
    album.albumId = 3;
    ASSERT_TRUE(db->store().insert(album).ok());
    QVector<CdTrackTime> times{{1, 100}, {2, 200}};
    ASSERT_TRUE(writeDiscSongs(db->store(), album, 1, times).ok());
    ASSERT_EQ(songsOf(3).size(), 2);
    times.append({3, 300});
    times.append({3, 300}); // a repeated track is written once, its song updated
    ASSERT_TRUE(writeDiscSongs(db->store(), album, 1, times).ok());
    EXPECT_EQ(songsOf(3), (QStringList{"1/1:Track 1:100", "1/2:Track 2:200", "1/3:Track 3:300"}));
}

} // namespace
} // namespace tunarium
