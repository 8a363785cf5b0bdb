// The event log TNREvent.LOG.
#include "data/event_log.h"

#include "data/dictionary.h"

#include "data/app_paths.h"
#include "data/date_time.h"
#include "data/pictures.h"

#include <algorithm>

namespace tunarium {

namespace {

// The text blank-padded or cut to width characters, never splitting a surrogate pair.
void appendField(QString& line, QStringView text, int width) {
    qsizetype length = std::min<qsizetype>(text.size(), width);
    if (length < text.size() && length > 0 && text.at(length - 1).isHighSurrogate()) {
        --length;
    }
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text.at(i);
        line += c.category() == QChar::Other_Control ? QChar(u' ') : c;
    }
    line += QString(width - length, u' ');
}

EventLog::Stamp systemStamp() {
    return {todayDayNumber(), clockTimeValue()};
}

} // namespace

EventLog::EventLog(QString path, bool enabled, Clock clock)
    : m_path(std::move(path)), m_enabled(enabled), m_clock(clock ? std::move(clock) : Clock(systemStamp)) {}

QString EventLog::formatRecord(Stamp stamp, QStringView label, QStringView data) {
    QString line;
    // The widths of the dictionary's event-log layout: date, time, label, value.
    const auto& fields = eventLogFields();
    line.reserve(fields[0].width + fields[1].width + fields[2].width + fields[3].width);
    appendField(line, formatPicture(stamp.day, u"@d3"), fields[0].width);
    appendField(line, formatPicture(stamp.time, u"@t7"), fields[1].width);
    appendField(line, label, fields[2].width);
    appendField(line, data, fields[3].width);
    return line;
}

bool EventLog::open() {
    if (m_file.isOpen()) {
        return true;
    }
    if (!ensureParentDir(m_path)) {
        return false;
    }
    m_file.setFileName(m_path);
    m_appendedSinceOpen = 0;
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

bool EventLog::append(QStringView label, QStringView data) {
    if (!m_enabled) {
        return true;
    }
    if (!open()) {
        return false;
    }
    const QByteArray bytes = (formatRecord(m_clock(), label, data) + u'\n').toUtf8();
    const bool written = m_file.write(bytes) == bytes.size() && m_file.flush();
    if (!written || ++m_appendedSinceOpen >= kRecordsPerOpen) {
        m_file.close();
        m_appendedSinceOpen = 0;
    }
    return written;
}

} // namespace tunarium
