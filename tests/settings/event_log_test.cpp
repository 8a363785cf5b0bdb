// The event log: record layout, logging switched off, and closing after every 101 records.
#include "data/date_time.h"
#include "data/event_log.h"
#include "data/pictures.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tunarium {
namespace {

class EventLogTest : public ::testing::Test {
protected:
    QStringList lines() const {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            return {};
        }
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    QString path = dir.filePath("collection/TNREvent.LOG");
    EventLog::Stamp stamp{dayNumberFromYmd(1959, 10, 31), timeValueFromTime(QTime(17, 30, 5))};
    EventLog::Clock clock = [this] { return stamp; };
};

TEST_F(EventLogTest, RecordHasFourFixedWidthFields) {
    EventLog log(path, true, clock);
    ASSERT_TRUE(log.append(u"MCI Request", u"status cdaudio mode"));
    ASSERT_TRUE(log.append(QString(40, u'L'), QString(60, u'D') + "\r\nmore"));
    const QStringList written = lines();
    ASSERT_EQ(written.size(), 2);

    const QString first = written.at(0);
    ASSERT_EQ(first.size(), 102);
    EXPECT_EQ(first.left(12), "OCT 31,1959 ");
    EXPECT_EQ(first.mid(12, 10), formatPicture(stamp.time, u"@t7").leftJustified(10, u' ', true));
    EXPECT_EQ(first.mid(22, 30), QString("MCI Request").leftJustified(30));
    EXPECT_EQ(first.mid(52), QString("status cdaudio mode").leftJustified(50));

    const QString second = written.at(1);
    EXPECT_EQ(second.size(), 102) << "long fields are cut and line breaks never split a record";
    EXPECT_EQ(second.mid(22, 30), QString(30, u'L'));
    EXPECT_EQ(second.mid(52), QString(50, u'D'));
}

TEST_F(EventLogTest, NothingWhileLoggingIsOff) {
    EventLog log(path, false, clock);
    EXPECT_TRUE(log.append(u"MCI Request", u"play cdaudio"));
    EXPECT_FALSE(QFile::exists(path));
    log.setEnabled(true);
    EXPECT_TRUE(log.append(u"MCI Request", u"play cdaudio"));
    EXPECT_EQ(lines().size(), 1);
}

TEST_F(EventLogTest, ClosedAfterEvery101Records) {
    EventLog log(path, true, clock);
    for (int i = 1; i <= 100; ++i) {
        ASSERT_TRUE(log.append(u"MCI Return", QString::number(i)));
    }
    EXPECT_TRUE(log.isOpen());
    ASSERT_TRUE(log.append(u"MCI Return", u"101"));
    EXPECT_FALSE(log.isOpen());

    // The next record opens the file afresh: a log moved away meanwhile starts again.
    ASSERT_TRUE(QFile::rename(path, path + ".old"));
    ASSERT_TRUE(log.append(u"MCI Error", u"263"));
    EXPECT_TRUE(log.isOpen());
    EXPECT_EQ(lines().size(), 1);
}

} // namespace
} // namespace tunarium
