// Disc IDs of real published discs. The expected values were computed from the published rules
// alone (tests/albums/published_disc_ids.py: the freedb checksum of the track starts' whole
// seconds, and the SHA-1 of the MusicBrainz table text), and where the disc's IDs were published
// they agree with those. Each disc is checked three ways: libdiscid on the table, the CD reader
// on the table through the MCI command strings, and the reader's own CDDB number.
#include "albums/cd_reader.h"
#include "albums/disc_ids.h"
#include "cd_fakes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tunarium {
namespace {

struct PublishedDisc {
    const char* name;
    const char* toc;
    const char* freedb;
    const char* musicBrainz;
    qint64 playingTime; // lead-out's whole seconds less the first track's, as a time value
};

const PublishedDisc kDiscs[] = {
    {"The Strokes, Someday (one track)", "1 1 14160 151", "0200ba01", "8INip_BOMw7FJmYvBLTK4WcBeAQ-", 18601},
    {"a two-track single", "1 2 33892 150 15544", "0b01c102", "5WDBlEEBFuSweSiev4RhZa8VMuw-", 44901},
    {"twelve tracks, where splitting the last track gives a70de80c",
     "1 12 267257 150 22767 41887 58317 72102 91375 104652 115380 132165 143932 159870 174597", "a70de90c",
     "I5l9cCSFccLKFEKS.7wqSZAorPU-", 356101},
    {"Pink Martini, Sympathique",
     "1 11 213796 150 21818 49727 62548 81238 106746 122163 138620 157457 179786 203824", "a00b200b",
     "iP0DOLdr4vt_IfKSIXoRUR.q_Wc-", 284801},
    {"The Offspring, Smash",
     "1 14 210523 150 2075 13098 29890 47353 63285 78105 92940 112278 124523 133725 143635 149430 162508",
     "c20af40e", "ahg7JUcfR3vCYBphSDIogOOWrr0-", 280401},
    {"Recoil, Liquid (over an hour)",
     "1 10 270335 150 12767 40487 63225 93410 118115 151865 184340 215260 247455", "890e120a",
     "9AQWqQ0eCCwktwPPrIUIYkUw2Uo-", 360201},
    {"22 tracks over an hour",
     "1 22 303602 150 9700 25887 39297 53795 63735 77517 94877 107270 123552 135522 148422 161197 174790 "
     "192022 205545 218010 228700 239590 255470 266932 288750",
     "370fce16", "xUp1F2NkfP8s8jaeFn_Av3jNEI4-", 404601},
    {"Neue Heimat, CD 2 (75 minutes)",
     "1 14 337396 150 20815 52528 84251 105552 123211 146648 175844 203423 218060 241089 256320 282388 "
     "307757",
     "ae11900e", "2G4_lEXxjVkQkWAF6fnS33JZTNA-", 449601},
    {"Guano Apes, Don't Give Me Names (audio session)",
     "1 15 258725 150 17510 33275 45910 57805 78310 94650 109580 132010 149160 165115 177710 203325 215555 "
     "235590",
     "b60d770f", "TqvKjMu7dMliSfmVEBtrL7sBSno-", 344701},
};

TEST(DiscIds, PublishedDiscsGiveTheirPublishedIds) {
    QTemporaryDir dir;
    const QString path = dir.filePath("disc.toc");
    for (const PublishedDisc& disc : kDiscs) {
        SCOPED_TRACE(disc.name);
        DiscToc toc;
        ASSERT_EQ(parseDiscToc(QString::fromLatin1(disc.toc), toc), "");
        const DiscIds ids = discIdsOf(toc);
        EXPECT_EQ(ids.freedb, disc.freedb);
        EXPECT_EQ(ids.musicBrainz, disc.musicBrainz);

        ASSERT_TRUE(test::writeFile(path, QByteArray(disc.toc) + "\n"));
        TocFileDrive drive(path);
        test::DriveRead read(drive, true);
        ASSERT_TRUE(read.reader.readCD());
        EXPECT_EQ(read.album.xccd, disc.freedb);
        EXPECT_EQ(read.album.totalTime, disc.playingTime);
        EXPECT_EQ(read.reader.musicBrainzDiscId(), disc.musicBrainz);
        EXPECT_FALSE(read.mci.isOpen());
    }
}

TEST(DiscIds, TrailingDataTracksAreLeftOutOfTheMusicBrainzId) {
    // The Guano Apes disc is an Enhanced CD: its data session starts 2:32 after the audio ends.
    test::FakeDrive drive;
    drive.disc =
        test::tocOf("1 15 258725 150 17510 33275 45910 57805 78310 94650 109580 132010 149160 165115 "
                    "177710 203325 215555 235590");
    drive.disc.offsets << 258725 + kSessionGapFrames;
    drive.disc.leadout = 300000;
    drive.disc.dataTracks = QVector<bool>(15, false) << true;
    EXPECT_EQ(discIdsOf(drive.disc).musicBrainz, "TqvKjMu7dMliSfmVEBtrL7sBSno-");

    test::DriveRead read(drive, true);
    ASSERT_TRUE(read.reader.readCD());
    EXPECT_EQ(read.reader.trackCount(), 16);
    EXPECT_EQ(read.reader.musicBrainzDiscId(), "TqvKjMu7dMliSfmVEBtrL7sBSno-");

    DiscToc dataOnly = test::tocOf("1 1 20000 150");
    dataOnly.dataTracks = {true};
    EXPECT_FALSE(discIdsOf(dataOnly).error.isEmpty());
}

} // namespace
} // namespace tunarium
