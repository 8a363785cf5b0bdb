// The libcdio drive on a disc image (a CUE sheet and its audio data) and on a drive that does not
// exist.
#include "albums/cd_reader.h"
#include "albums/disc_ids.h"
#include "albums/libcdio_drive.h"
#include "cd_fakes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tunarium {
namespace {

constexpr int kBytesPerFrame = 2352;

TEST(LibcdioDrive, ReadsTheTableOfADiscImage) {
    QTemporaryDir dir;
    // Two tracks of 100 and 200 frames; the image starts after the two-second lead-in.
    ASSERT_TRUE(test::writeFile(dir.filePath("disc.bin"), QByteArray(300 * kBytesPerFrame, '\0')));
    ASSERT_TRUE(test::writeFile(dir.filePath("disc.cue"), "FILE \"disc.bin\" BINARY\n"
                                                          "  TRACK 01 AUDIO\n"
                                                          "    INDEX 01 00:00:00\n"
                                                          "  TRACK 02 AUDIO\n"
                                                          "    INDEX 01 00:01:25\n"));
    LibcdioDrive drive(dir.filePath("disc.cue"));
    ASSERT_EQ(drive.open(), DriveCondition::Ready) << drive.problem().toStdString();
    ASSERT_EQ(drive.condition(), DriveCondition::Ready) << drive.problem().toStdString();
    EXPECT_EQ(drive.toc().offsets, (QVector<int>{150, 250}));
    EXPECT_EQ(drive.toc().leadout, 450);
    EXPECT_EQ(drive.toc().dataTracks, (QVector<bool>{false, false}));
    drive.close();

    MciCdAudio mci(drive);
    RecordingPrompter prompter;
    AlbumRecord album;
    CdReader reader(mci, prompter, nullptr, album, false, false);
    ASSERT_TRUE(reader.readCD());
    EXPECT_EQ(reader.trackCount(), 2);
    EXPECT_EQ(album.xccd, discIdsOf(test::tocOf("1 2 450 150 250")).freedb);
    EXPECT_EQ(reader.musicBrainzDiscId(), discIdsOf(test::tocOf("1 2 450 150 250")).musicBrainz);
}

TEST(LibcdioDrive, AMissingDriveIsNotAvailable) {
    LibcdioDrive drive(QStringLiteral("/dev/no-such-cd-drive"));
    MciCdAudio mci(drive);
    RecordingPrompter prompter;
    AlbumRecord album;
    CdReader reader(mci, prompter, nullptr, album, false, true);
    EXPECT_FALSE(reader.readCD());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QString(kCdNotAvailable) +
                                                     "\n\nCannot open /dev/no-such-cd-drive"));
    EXPECT_EQ(drive.condition(), DriveCondition::Absent);
}

} // namespace
} // namespace tunarium
