// SendMCI: how result codes and replies become the reader's replies, and what goes to the event
// log.
#include "albums/cd_reader.h"
#include "data/date_time.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tunarium {
namespace {

class ScriptedDevice final : public MciDevice {
public:
    int sendString(QStringView command, QString& r) override {
        sent = command.toString();
        r = reply;
        return code;
    }
    int code = 0;
    QString reply;
    QString sent;
};

QStringList logLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// The label and value fields of a log line, blanks clipped.
QString entry(const QString& line) {
    return line.mid(22, 30).trimmed() + u'|' + line.mid(52).trimmed();
}

TEST(MciSender, MapsRepliesAndLogsFailuresWhileTheLogIsOn) {
    QTemporaryDir dir;
    const QString path = dir.filePath("TNREvent.LOG");
    EventLog log(path, true, [] { return EventLog::Stamp{dayNumberFromYmd(2001, 7, 23), 1}; });
    ScriptedDevice device;
    MciSender sender(device, &log);
    const struct {
        int code;
        const char* reply;
        const char* mapped;
    } cases[] = {
        {0, "true", "1"}, {0, "false", ""},     {0, "stopped", "stopped"},
        {0, "", ""},      {265, "", "Error:1"}, {276, "", "Error:276"},
    };
    for (const auto& c : cases) {
        device.code = c.code;
        device.reply = QString::fromLatin1(c.reply);
        EXPECT_EQ(sender.sendMCI(QStringLiteral("status cdaudio ready")), c.mapped) << c.code << c.reply;
    }
    EXPECT_EQ(sender.sendMCI(), "Error:276");
    EXPECT_EQ(device.sent, "status cdaudio mode");
    const QStringList lines = logLines(path);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(entry(lines[0]), "MCI Request|status cdaudio ready");
    EXPECT_EQ(entry(lines[1]), "MCI Return|");
    EXPECT_EQ(entry(lines[2]), "MCI Error|276");
    EXPECT_EQ(entry(lines[3]), "MCI Request|status cdaudio mode");

    // A command goes out through 100 bytes and a reply comes back through 128.
    device.code = 0;
    device.reply = QString(200, u'r');
    EXPECT_EQ(sender.sendMCI(QString(150, u'c')).size(), 127);
    EXPECT_EQ(device.sent.size(), 99);

    log.setEnabled(false);
    device.code = 276;
    sender.sendMCI(QStringLiteral("status cdaudio ready"));
    EXPECT_EQ(logLines(path).size(), 6);
}

} // namespace
} // namespace tunarium
