// The "cdaudio" device: its replies and result codes over a table of contents. How the drive's
// conditions reach the reader's messages is tested with the reader.
#include "albums/mci_cd_audio.h"
#include "cd_fakes.h"

#include <gtest/gtest.h>

namespace tunarium {
namespace {

struct Exchange {
    const char* command;
    int code;
    const char* reply;
};

void expectExchanges(MciDevice& device, std::initializer_list<Exchange> exchanges) {
    for (const Exchange& e : exchanges) {
        QString reply = QStringLiteral("stale");
        EXPECT_EQ(device.sendString(QString::fromLatin1(e.command), reply), e.code) << e.command;
        EXPECT_EQ(reply, QLatin1String(e.reply)) << e.command;
    }
}

TEST(MciCdAudio, AnswersTheReadersCommands) {
    test::FakeDrive drive;
    drive.disc = test::tocOf("1 3 30000 150 22767 24000");
    MciCdAudio mci(drive);
    expectExchanges(mci, {
                             {"status cdaudio ready", mci::kInvalidDeviceName, ""},
                             {"open cdaudio shareable", mci::kOk, "1"},
                             {"open cdaudio shareable", mci::kDeviceOpen, ""},
                             {"status cdaudio ready", mci::kOk, "true"},
                             {"STATUS  CDAUDIO  MODE wait", mci::kOk, "stopped"},
                             {"status cdaudio media present", mci::kOk, "true"},
                             {"status cdaudio time format", mci::kOk, "msf"},
                             {"status cdaudio number of tracks", mci::kOk, "3"},
                             {"status cdaudio position track 1", mci::kOk, "00:02:00"},
                             {"status cdaudio position track 2", mci::kOk, "05:03:42"},
                             {"status cdaudio length track 1", mci::kOk, "05:01:42"},
                             // The last track stops one frame short of the lead-out, and so does the disc.
                             {"status cdaudio length track 3", mci::kOk, "01:19:74"},
                             {"status cdaudio length", mci::kOk, "06:37:74"},
                             {"status cdaudio type track 3", mci::kOk, "audio"},
                             {"set cdaudio time format tmsf", mci::kOk, ""},
                             {"status cdaudio position track 2", mci::kOk, "02:00:00:00"},
                             {"status cdaudio length track 1", mci::kOk, "05:01:42"},
                             {"set cdaudio time format milliseconds", mci::kOk, ""},
                             {"status cdaudio length track 1", mci::kOk, "301560"},
                             {"set cdaudio time format frames", mci::kBadTimeFormat, ""},
                             {"status cdaudio length track 4", mci::kOutOfRange, ""},
                             {"status cdaudio length track 0", mci::kOutOfRange, ""},
                             {"status cdaudio length track x", mci::kBadInteger, ""},
                             {"status cdaudio length track", mci::kMissingParameter, ""},
                             {"status cdaudio volume", mci::kUnrecognizedKeyword, ""},
                             {"play cdaudio", mci::kUnsupportedFunction, ""},
                             {"eject cdaudio", mci::kUnrecognizedCommand, ""},
                             {"status waveaudio ready", mci::kInvalidDeviceName, ""},
                             {"close cdaudio", mci::kOk, ""},
                             {"close cdaudio", mci::kInvalidDeviceName, ""},
                         });
    EXPECT_EQ(drive.opens, 1);
    EXPECT_EQ(drive.closes, 1);
}

} // namespace
} // namespace tunarium
