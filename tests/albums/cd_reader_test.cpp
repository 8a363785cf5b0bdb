// The CD reader over tables of contents: what a read finds, the commands it sends, its steps and
// progress, the three drive failures and a drive lost in the middle, and Enhanced CDs. Expected
// identifiers and times are worked out by hand from the tables: a length of f frames is f / 75
// whole seconds, the last track and the disc one frame short of the lead-out.
#include "albums/cd_reader.h"
#include "cd_fakes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tunarium {
namespace {

QVector<qint64> lengthsOf(const CdReader& reader) {
    QVector<qint64> lengths;
    for (const CdTrackTime& t : reader.trackTimes()) {
        lengths << t.length;
    }
    return lengths;
}

class CdReaderTest : public ::testing::Test {
protected:
    // A reader of the table through the table-of-contents drive, recording the commands.
    CdReader& readerOf(const QByteArray& toc, bool identifyOnly = false, bool fillWizard = false) {
        EXPECT_TRUE(test::writeFile(path, toc + "\n"));
        reader.reset();
        device.reset();
        mci.reset();
        drive = std::make_unique<TocFileDrive>(path);
        mci = std::make_unique<MciCdAudio>(*drive);
        device = std::make_unique<test::RecordingDevice>(*mci, rewrite);
        reader = std::make_unique<CdReader>(*device, prompter, nullptr, album, identifyOnly, fillWizard);
        return *reader;
    }

    QTemporaryDir dir;
    QString path = dir.filePath("disc.toc");
    RecordingPrompter prompter;
    AlbumRecord album;
    test::RecordingDevice::Rewrite rewrite;
    std::unique_ptr<TocFileDrive> drive;
    std::unique_ptr<MciCdAudio> mci;
    std::unique_ptr<test::RecordingDevice> device;
    std::unique_ptr<CdReader> reader;
};

TEST_F(CdReaderTest, FindsTracksLengthsAndTheIdentifier) {
    const struct {
        const char* toc;
        const char* identifier;
        QVector<qint64> lengths;
        qint64 discLength;
    } discs[] = {
        // One track: the count, the disc's length and track 1 only.
        {"1 1 14160 151", " 11860118601", {18601}, 18601},
        // Two tracks add track 2 only.
        {"1 2 33892 150 15544", " 2449012050124401", {20501, 24401}, 44901},
        {"1 12 267257 150 22767 41887 58317 72102 91375 104652 115380 132165 143932 159870 174597",
         "12356101301012540121901",
         {30101, 25401, 21901, 18301, 25601, 17701, 14301, 22301, 15601, 21201, 19601, 123501},
         356101},
        // Three 20-minute tracks make 26 characters, cut at 24.
        {"1 3 270150 150 90150 180150", " 33599011200011200011199", {120001, 120001, 119901}, 359901},
    };
    for (const auto& disc : discs) {
        SCOPED_TRACE(disc.toc);
        CdReader& r = readerOf(disc.toc);
        ASSERT_TRUE(r.readCD());
        EXPECT_EQ(album.cdIdentifier, disc.identifier);
        EXPECT_LE(album.cdIdentifier.size(), 24);
        EXPECT_EQ(lengthsOf(r), disc.lengths);
        EXPECT_EQ(album.totalTime, disc.discLength);
        EXPECT_EQ(r.trackTimes().last().track, disc.lengths.size());
        EXPECT_FALSE(r.enhancedCd());
        EXPECT_TRUE(prompter.messages.isEmpty());
    }
    EXPECT_EQ(reader->trackPositions().last(), (TrackPosition{180150, 89999}));
}

TEST_F(CdReaderTest, SendsTheCommandsInTheReadersOrder) {
    ASSERT_TRUE(readerOf("1 2 33892 150 15544").readCD());
    EXPECT_EQ(device->commands, QStringList({
                                    "open cdaudio shareable",
                                    "status cdaudio ready",
                                    "status cdaudio mode",
                                    "set cdaudio time format tmsf",
                                    "status cdaudio number of tracks",
                                    "status cdaudio length",
                                    "status cdaudio length track 1",
                                    "status cdaudio length track 2",
                                    "set cdaudio time format msf",
                                    "status cdaudio position track 1",
                                    "status cdaudio length track 1",
                                    "status cdaudio position track 2",
                                    "status cdaudio length track 2",
                                    "status cdaudio type track 2",
                                    "set cdaudio time format tmsf",
                                    "set cdaudio time format tmsf",
                                    "status cdaudio length track 1",
                                    "status cdaudio length track 2",
                                    "status cdaudio length",
                                    "close cdaudio",
                                }));
    EXPECT_EQ(reader->trackPositions(), (TrackPositions{{150, 15394}, {15544, 18347}}));
}

TEST_F(CdReaderTest, ReadsOneTrackAStepAndShowsItsProgress) {
    CdReader& r = readerOf("1 12 267257 150 22767 41887 58317 72102 91375 104652 115380 132165 143932 159870 "
                           "174597",
                           false, true);
    EXPECT_EQ(r.progress().title, "Progress...");
    ASSERT_TRUE(r.start());
    EXPECT_TRUE(r.progress().shown);
    EXPECT_EQ(r.progress().title, "Reading CD");
    EXPECT_EQ(r.progress().statusLine, "Serial Number");
    EXPECT_EQ(r.progress().percent, 4);
    EXPECT_TRUE(mci->isOpen());
    for (int track = 1; track <= 3; ++track) {
        ASSERT_TRUE(r.step());
    }
    EXPECT_EQ(r.trackTimes().size(), 3);
    EXPECT_EQ(r.progress().statusLine, "Track 3 of 12");
    EXPECT_EQ(r.progress().percent, 16);
    int steps = 3;
    while (r.step()) {
        ++steps;
    }
    EXPECT_EQ(steps + 1, 12);
    EXPECT_TRUE(r.succeeded());
    EXPECT_EQ(r.progress().percent, 52);
    EXPECT_FALSE(r.progress().shown);
    EXPECT_FALSE(mci->isOpen());
    EXPECT_EQ(r.destination(), CdReader::Destination::WizardRows);
    EXPECT_FALSE(r.step());
}

TEST_F(CdReaderTest, IdentifyOnlyStopsAfterTheIdentification) {
    CdReader& r = readerOf("1 2 33892 150 15544", true, false);
    EXPECT_FALSE(r.start());
    EXPECT_TRUE(r.succeeded());
    EXPECT_TRUE(r.trackTimes().isEmpty());
    EXPECT_EQ(r.trackPositions().size(), 2);
    EXPECT_EQ(album.xccd, "0b01c102");
    EXPECT_EQ(album.totalTime, 44901); // the playing time of the CDDB number
    EXPECT_EQ(device->commands.last(), "close cdaudio");
    EXPECT_EQ(r.destination(), CdReader::Destination::None);

    album.albumId = 7;
    EXPECT_EQ(readerOf("1 2 33892 150 15544").destination(), CdReader::Destination::AlbumSongs);
    album.albumId = 0;
    EXPECT_EQ(readerOf("1 2 33892 150 15544").destination(), CdReader::Destination::None);
}

TEST_F(CdReaderTest, DriveFailuresShowTheirMessageCloseTheDriveAndChangeNothing) {
    const struct {
        DriveCondition open;
        DriveCondition disc;
        QString problem;
        QString message;
    } cases[] = {
        {DriveCondition::Busy, DriveCondition::Ready, "/dev/sr0 is in use by another program.",
         QString(kCdNotAvailable) + "\n\n/dev/sr0 is in use by another program."},
        {DriveCondition::Absent, DriveCondition::Ready, "", kCdNotAvailable},
        {DriveCondition::Ready, DriveCondition::NoDisc, "", kCdNotReady},
        {DriveCondition::Ready, DriveCondition::TrayOpen, "", kCdDoorOpen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        test::FakeDrive fake;
        fake.disc = test::tocOf("1 1 14160 151");
        fake.openCondition = c.open;
        fake.discCondition = c.disc;
        fake.problemText = c.problem;
        MciCdAudio cdaudio(fake);
        test::RecordingDevice recording(cdaudio);
        RecordingPrompter messages;
        AlbumRecord before;
        before.cdIdentifier = "kept";
        before.xccd = "00000000";
        before.totalTime = 5;
        AlbumRecord kept = before;
        CdReader r(recording, messages, nullptr, kept, false, true);
        EXPECT_FALSE(r.readCD());
        ASSERT_EQ(messages.messages.size(), 1);
        EXPECT_EQ(messages.messages[0].caption, "Error");
        EXPECT_EQ(messages.messages[0].text, c.message);
        EXPECT_EQ(recording.commands.last(), "close cdaudio");
        EXPECT_FALSE(cdaudio.isOpen());
        EXPECT_EQ(fake.opens, fake.closes);
        EXPECT_EQ(kept.cdIdentifier, "kept");
        EXPECT_EQ(kept.totalTime, 5);
        EXPECT_TRUE(r.trackTimes().isEmpty());
    }
}

TEST_F(CdReaderTest, ADriveLostMidReadEndsTheReadWithNothingHandedOn) {
    album.cdIdentifier = "before";
    CdReader& r = readerOf("1 3 30000 150 10000 20000", false, true);
    ASSERT_TRUE(r.start());
    ASSERT_TRUE(r.step());
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(r.step());
    EXPECT_FALSE(r.succeeded());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QString(kCdNotReady) + "\n\n"));
    EXPECT_EQ(device->commands.last(), "close cdaudio");
    EXPECT_TRUE(r.trackTimes().isEmpty());
    EXPECT_TRUE(r.trackPositions().isEmpty());
    EXPECT_EQ(album.cdIdentifier, "before");

    // Lost during the identification: nothing more is asked.
    prompter.messages.clear();
    rewrite = [](const QString& command, int& code, QString&) {
        if (command == "status cdaudio position track 2") {
            code = mci::kDeviceNotReady;
        }
    };
    CdReader& early = readerOf("1 3 30000 150 10000 20000");
    EXPECT_FALSE(early.readCD());
    EXPECT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(device->commands.mid(device->commands.indexOf("status cdaudio position track 2")),
              QStringList({"status cdaudio position track 2", "close cdaudio"}));
    EXPECT_EQ(album.cdIdentifier, "before");
}

TEST_F(CdReaderTest, OtherErrorsDoNotStopTheRead) {
    int asked = 0;
    rewrite = [&asked](const QString& command, int& code, QString& reply) {
        if (command == "status cdaudio length track 1" && ++asked == 3) {
            code = mci::kOutOfRange;
            reply.clear();
        }
    };
    CdReader& r = readerOf("1 2 33892 150 15544");
    ASSERT_TRUE(r.readCD());
    EXPECT_EQ(lengthsOf(r), (QVector<qint64>{1, 24401}));
}

TEST_F(CdReaderTest, DestroyingTheReaderMidReadClosesTheDrive) {
    readerOf("1 2 33892 150 15544").start();
    ASSERT_TRUE(mci->isOpen());
    reader.reset();
    EXPECT_FALSE(mci->isOpen());
    EXPECT_EQ(device->commands.last(), "close cdaudio");
}

TEST_F(CdReaderTest, LengthsThatRunToTheEndOfAnEnhancedCdAreCorrected) {
    // Four 15-minute tracks whose drive reports every track as running to the end of the disc.
    const DiscToc toc = test::tocOf("1 4 270150 150 67650 135150 202650");
    rewrite = [toc](const QString& command, int& code, QString& reply) {
        if (code == mci::kOk && command.startsWith("status cdaudio length track ")) {
            const int frames = toc.leadout - 1 - toc.offsets[command.section(' ', 4).toInt() - 1];
            reply = QStringLiteral("%1:%2:%3")
                        .arg(frames / 4500, 2, 10, QLatin1Char('0'))
                        .arg(frames / 75 % 60, 2, 10, QLatin1Char('0'))
                        .arg(frames % 75, 2, 10, QLatin1Char('0'));
        }
    };
    CdReader& r = readerOf(discTocText(toc).toLatin1());
    ASSERT_TRUE(r.readCD());
    EXPECT_TRUE(r.enhancedCd());
    EXPECT_EQ(r.progress().statusLine, "Enhanced CD Detected");
    EXPECT_EQ(lengthsOf(r), (QVector<qint64>{90001, 90001, 90001, 89901}));

    // A disc that really plays 99 minutes keeps its lengths, though they shrink track by track.
    rewrite = {};
    CdReader& longDisc = readerOf("1 3 445650 150 180150 315150");
    ASSERT_TRUE(longDisc.readCD());
    EXPECT_FALSE(longDisc.enhancedCd());
    EXPECT_EQ(lengthsOf(longDisc), (QVector<qint64>{240001, 180001, 173901}));
}

} // namespace
} // namespace tunarium
