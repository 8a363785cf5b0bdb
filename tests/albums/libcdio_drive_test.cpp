// The libcdio drive on a disc image: a CUE sheet and its audio data. (A drive that does not exist
// is tried by the command-line test.)
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

    test::DriveRead read(drive);
    ASSERT_TRUE(read.reader.readCD());
    EXPECT_EQ(read.reader.trackCount(), 2);
    EXPECT_EQ(read.album.xccd, discIdsOf(test::tocOf("1 2 450 150 250")).freedb);
    EXPECT_EQ(read.reader.musicBrainzDiscId(), discIdsOf(test::tocOf("1 2 450 150 250")).musicBrainz);
}

} // namespace
} // namespace tunarium
