// An album's associated files: the bad paths told in words, and images read to fit their box.
#include "albums/album_files.h"
#include "cd_fakes.h"
#include "support/temp_collection.h"

#include <QDir>
#include <gtest/gtest.h>

namespace tunarium {
namespace {

// A WAV file of one silent sample.
QByteArray tinyWav() {
    QByteArray b("RIFF");
    const auto le32 = [&b](quint32 v) {
        for (int i = 0; i < 4; ++i) {
            b.append(char((v >> (8 * i)) & 0xff));
        }
    };
    const auto le16 = [&b](quint16 v) {
        b.append(char(v & 0xff));
        b.append(char(v >> 8));
    };
    le32(38);
    b.append("WAVEfmt ");
    le32(16);
    le16(1);
    le16(1);
    le32(8000);
    le32(16000);
    le16(2);
    le16(16);
    b.append("data");
    le32(2);
    le16(0);
    return b;
}

TEST(AlbumFiles, BadPathsAreToldInWords) {
    test::TempCollection dir;
    const QString wav = dir.path("song.wav");
    const QString text = dir.path("notes.wav");
    ASSERT_TRUE(test::writeFile(wav, tinyWav()));
    ASSERT_TRUE(test::writeFile(text, "just some words, not a sound\n"));
    const std::pair<QString, const char*> cases[] = {
        {wav, ""},
        {QString(20, u' '), "No file is named."},
        {dir.path("missing.mp3"), "The file does not exist."},
        {dir.dir(), "This is a folder, not a file."},
    };
    for (const auto& [path, problem] : cases) {
        EXPECT_EQ(soundFileProblem(path), problem) << path.toStdString();
    }
    EXPECT_TRUE(soundFileProblem(text).startsWith("The file is not a sound file"));
    EXPECT_EQ(imageFileProblem(wav), "The file is not an image that can be shown.");
    EXPECT_EQ(couldNotPlayText(" /x/a.wav ", "The file does not exist."),
              "Could not play /x/a.wav\nThe file does not exist.");
}

TEST(AlbumFiles, ImagesAreReadToFitTheirBoxWithTheirAspectKept) {
    test::TempCollection dir;
    for (const char* format : {"png", "jpg", "bmp"}) {
        const QString path = dir.path(QStringLiteral("cover.") + format);
        QImage wide(800, 200, QImage::Format_RGB32);
        wide.fill(Qt::red);
        ASSERT_TRUE(wide.save(path, format)) << format;
        EXPECT_EQ(loadScaledImage(path, QSize(100, 100)).image.size(), QSize(100, 25)) << format;
        // A small image is not enlarged.
        EXPECT_EQ(loadScaledImage(path, QSize(1000, 1000)).image.size(), QSize(800, 200)) << format;
    }
    const ScaledImage missing = loadScaledImage(dir.path("none.png"), QSize(10, 10));
    EXPECT_TRUE(missing.image.isNull());
    EXPECT_EQ(missing.problem, "The file does not exist.");
}

} // namespace
} // namespace tunarium
