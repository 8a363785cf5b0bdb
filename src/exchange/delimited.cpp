// Reading and writing comma-delimited files.
#include "exchange/delimited.h"

#include "data/pictures.h"
#include "data/row.h"
#include "exchange/exchange_files.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>

namespace tunarium {

namespace {

bool restIsBlank(const QString& line, qsizetype from) {
    for (qsizetype i = from; i < line.size(); ++i) {
        if (line.at(i) != u' ') {
            return false;
        }
    }
    return true;
}

// Cuts text to at most length characters, never keeping half of a surrogate pair.
void cutWhole(QString& text, qsizetype length) {
    if (text.size() > length) {
        text.truncate(length > 0 && text.at(length - 1).isHighSurrogate() ? length - 1 : length);
    }
}

QStringView withoutTrailingBlanks(QStringView text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ') {
        --end;
    }
    return text.left(end);
}

} // namespace

DelimitedLine::DelimitedLine(const QString& line) : m_line(line) {
    cutWhole(m_line, kDelimitedLineLength);
}

DelimitedField DelimitedLine::next(QString& value) {
    value.clear();
    if (m_position >= m_line.size() || restIsBlank(m_line, m_position)) {
        m_position = m_line.size() + 1;
        return DelimitedField::None;
    }
    if (m_line.at(m_position) == u'"') {
        qsizetype search = m_position + 1;
        qsizetype closing = -1;
        while (search < m_line.size()) {
            const qsizetype quote = m_line.indexOf(u'"', search);
            if (quote < 0) {
                break;
            }
            if (quote + 1 < m_line.size() && m_line.at(quote + 1) == u'"') {
                search = quote + 2;
                continue;
            }
            closing = quote;
            break;
        }
        if (closing >= 0) {
            value = m_line.mid(m_position + 1, closing - m_position - 1);
            if (closing + 1 < m_line.size() && m_line.at(closing + 1) != u',' &&
                !restIsBlank(m_line, closing + 1)) {
                m_stray = true;
            }
            m_position = closing + 2;
        } else {
            value = m_line.mid(m_position + 1);
            m_position = m_line.size() + 1;
            m_unterminated = true;
        }
        value.replace(QStringLiteral("\"\""), QStringLiteral("\""));
        cutWhole(value, kDelimitedFieldLength);
        return DelimitedField::Quoted;
    }
    const qsizetype comma = m_line.indexOf(u',', m_position);
    if (comma >= 0) {
        value = m_line.mid(m_position, comma - m_position);
        m_position = comma + 1;
    } else {
        value = m_line.mid(m_position);
        m_position = m_line.size() + 1;
    }
    cutWhole(value, kDelimitedFieldLength);
    return DelimitedField::Unquoted;
}

QStringList delimitedFields(const QString& line, QList<DelimitedField>* kinds) {
    DelimitedLine reader(line);
    QStringList fields;
    QString value;
    for (DelimitedField kind; (kind = reader.next(value)) != DelimitedField::None;) {
        fields << value;
        if (kinds) {
            *kinds << kind;
        }
    }
    return fields;
}

void DelimitedLineBuilder::begin() {
    // The line's room is kept from one line to the next.
    m_line.resize(0);
    m_first = true;
}

void DelimitedLineBuilder::separator() {
    if (!m_first) {
        m_line += u',';
    }
    m_first = false;
}

void DelimitedLineBuilder::appendQuoted(QStringView text) {
    m_line += u'"';
    if (text.contains(u'"')) {
        for (const QChar c : text) {
            if (c == u'"') {
                m_line += u'"';
            }
            m_line += c;
        }
    } else {
        m_line += text;
    }
    m_line += u'"';
}

void DelimitedLineBuilder::append(const QVariant& value, const QString& picture) {
    separator();
    const QChar kind = pictureKind(picture);
    if (kind == u'S') {
        const QString text = value.toString();
        appendQuoted(withoutTrailingBlanks(text));
    } else if (kind == u'N') {
        const QString text = value.toString();
        m_line += withoutTrailingBlanks(QStringView(text).trimmed());
    } else {
        appendQuoted(formatPicture(value, picture));
    }
}

void DelimitedLineBuilder::appendHeaderName(const QString& name) {
    QString written = name;
    if (written.contains(u'[')) {
        written.replace(u',', u'_').replace(u'[', u'_').replace(u']', u' ');
    }
    separator();
    appendQuoted(trimTrailingBlanks(written.left(50)));
}

bool DelimitedReader::open(const QString& path) {
    m_file.setFileName(path);
    m_latin1 = false;
    m_openErrno = 0;
    m_nuls = 0;
    errno = 0;
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_openErrno = errno;
        return false;
    }
    // One look at the whole file decides its encoding: a file that is not UTF-8 was written by
    // a program of the Latin-1 world.
    QStringDecoder utf8(QStringDecoder::Utf8);
    while (!m_file.atEnd()) {
        const QString chunk = utf8.decode(m_file.read(1 << 20));
        if (utf8.hasError()) {
            m_latin1 = true;
            break;
        }
    }
    return m_file.seek(0);
}

bool DelimitedReader::readPhysical(QString& line, QString& ending) {
    if (m_file.atEnd()) {
        return false;
    }
    const bool first = m_file.pos() == 0;
    QByteArray bytes = m_file.readLine();
    qsizetype end = bytes.size();
    while (end > 0 && (bytes.at(end - 1) == '\n' || bytes.at(end - 1) == '\r')) {
        --end;
    }
    ending = QString::fromLatin1(bytes.constData() + end, bytes.size() - end);
    bytes.truncate(end);
    if (const qsizetype nuls = bytes.count('\0'); nuls > 0) {
        m_nuls += nuls;
        bytes.removeIf([](char c) { return c == '\0'; });
    }
    line = m_latin1 ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
    if (first && line.startsWith(QChar(0xFEFF))) {
        line.remove(0, 1);
    }
    return true;
}

namespace {

enum class LineEnd { Closed, Open, Stray };

// How the fields of a line end: all closed, a quoted field still open at the end, or a closing
// quote followed by something other than a comma.
LineEnd fieldsEnd(const QString& line) {
    if (!line.contains(u'"')) {
        return LineEnd::Closed;
    }
    DelimitedLine reader(line);
    QString value;
    while (reader.next(value) != DelimitedField::None) {
    }
    if (reader.strayAfterQuote()) {
        return LineEnd::Stray;
    }
    return reader.unterminated() ? LineEnd::Open : LineEnd::Closed;
}

} // namespace

bool DelimitedReader::readLine(QString& line) {
    QString ending;
    if (!readPhysical(line, ending)) {
        return false;
    }
    if (line.size() >= kDelimitedLineLength || fieldsEnd(line) != LineEnd::Open) {
        return true;
    }
    // A quoted field is still open: the following lines may carry the rest of its text.
    const qint64 after = m_file.pos();
    const qint64 nulsAfter = m_nuls;
    QString joined = line;
    QString next;
    QString nextEnding;
    while (readPhysical(next, nextEnding)) {
        joined += ending + next;
        ending = nextEnding;
        if (joined.size() > kDelimitedLineLength) {
            break;
        }
        const LineEnd end = fieldsEnd(joined);
        if (end == LineEnd::Closed) {
            line = joined;
            return true;
        }
        if (end == LineEnd::Stray) {
            break;
        }
    }
    // The lines looked at are read again on their own, their NUL characters with them.
    m_file.seek(after);
    m_nuls = nulsAfter;
    return true;
}

bool DelimitedReader::rewind() {
    m_nuls = 0;
    return m_file.seek(0);
}

DelimitedWriter::~DelimitedWriter() {
    discard();
}

bool DelimitedWriter::create(const QString& path) {
    discard();
    m_pending.clear();
    m_retry = false;
    m_errno = 0;
    m_refusal.clear();
    m_file = std::make_unique<OutputFile>(path);
    if (!m_file->begin()) {
        m_errno = m_file->errorNumber();
        if (m_errno == 0) {
            m_refusal = m_file->error();
            m_errno = EACCES;
        }
        m_file.reset();
        return false;
    }
    return true;
}

bool DelimitedWriter::writeLine(const QString& line) {
    // After a failure the line is already waiting: trying again must not add it twice.
    if (!m_retry) {
        m_pending += line.toUtf8();
        m_pending += "\r\n";
    }
    m_retry = false;
    if (m_pending.size() < kWriteChunk) {
        return true;
    }
    if (!writePending()) {
        m_retry = true;
        return false;
    }
    return true;
}

bool DelimitedWriter::writePending() {
    if (!m_file) {
        m_errno = EBADF;
        return false;
    }
    // The user's Retry: what waits is written again from where it stopped.
    m_file->clearWriteError();
    while (!m_pending.isEmpty()) {
        const qint64 written = m_file->write(m_pending);
        if (written > 0) {
            m_pending.remove(0, written);
        }
        if (m_file->writeError() != 0 || written <= 0) {
            m_errno = m_file->writeError() != 0 ? m_file->writeError() : EIO;
            return false;
        }
    }
    return true;
}

bool DelimitedWriter::finish() {
    if (!isOpen()) {
        return true;
    }
    const bool written = writePending();
    m_pending.clear();
    m_retry = false;
    if (!written) {
        // A pipe or a device keeps what reached it; a new file goes.
        if (!m_file->replacesTarget()) {
            (void)m_file->commit();
        }
        m_file.reset();
        return false;
    }
    if (!m_file->commit()) {
        m_errno = m_file->errorNumber() != 0 ? m_file->errorNumber() : EIO;
        m_file.reset();
        return false;
    }
    m_file.reset();
    return true;
}

void DelimitedWriter::discard() {
    if (!m_file) {
        return;
    }
    if (!m_file->replacesTarget()) {
        if (m_file->isOpen()) {
            finish();
        }
        m_file.reset();
        return;
    }
    m_pending.clear();
    m_retry = false;
    m_file.reset();
}

} // namespace tunarium
