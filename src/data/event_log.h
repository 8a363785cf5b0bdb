// The event log TNREvent.LOG: one fixed-width text line per logged event of the CD commands,
// written only while the `UseLog` setting is on.
#pragma once

#include <QFile>
#include <QString>
#include <QStringView>

#include <functional>

namespace tunarium {

// Appends records of four fixed-width fields, each padded with blanks or cut to its width: today's
// date (picture @d3, 12 characters), the clock time (picture @t7, 10), the caller's label (30) and
// the logged value (50). Line breaks and other control characters in a field become blanks, so a
// record is always one line. The file is opened by the first record and closed after every 101
// records, so that the next record opens it again.
class EventLog {
public:
    struct Stamp {
        qint64 day = 0;  // day number
        qint64 time = 0; // time value
    };
    using Clock = std::function<Stamp()>;

    static constexpr int kRecordsPerOpen = 101;

    // An empty clock stands for today's date and the clock's time.
    explicit EventLog(QString path, bool enabled = false, Clock clock = {});
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    const QString& path() const { return m_path; }
    // Follows `UseLog`; the owner sets it again after the settings were reloaded.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }
    bool isOpen() const { return m_file.isOpen(); }

    // Does nothing while logging is off. False only when the record could not be written; the log
    // then closes so that the next record tries to open it afresh.
    bool append(QStringView label, QStringView data);

    // The line of one record, without line end.
    static QString formatRecord(Stamp stamp, QStringView label, QStringView data);

private:
    bool open();

    QString m_path;
    bool m_enabled = false;
    Clock m_clock;
    QFile m_file;
    int m_appendedSinceOpen = 0;
};

} // namespace tunarium
