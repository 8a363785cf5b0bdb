// Reading and writing comma-delimited files.
#include "exchange/delimited.h"

#include "data/pictures.h"
#include "data/row.h"

#include <QStringDecoder>

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

QChar pictureKind(const QString& picture) {
    return picture.size() > 1 ? picture.at(1).toUpper() : QChar();
}

} // namespace

DelimitedLine::DelimitedLine(const QString& line) : m_line(line.left(kDelimitedLineLength)) {}

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
            m_position = closing + 2;
        } else {
            value = m_line.mid(m_position + 1);
            m_position = m_line.size() + 1;
        }
        value.replace(QStringLiteral("\"\""), QStringLiteral("\""));
        value.truncate(kDelimitedFieldLength);
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
    value.truncate(kDelimitedFieldLength);
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
    m_line.clear();
    m_first = true;
}

void DelimitedLineBuilder::separator() {
    if (!m_first) {
        m_line += u',';
    }
    m_first = false;
}

void DelimitedLineBuilder::appendQuoted(const QString& text) {
    QString doubled = text;
    doubled.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    m_line += u'"' + doubled + u'"';
}

void DelimitedLineBuilder::append(const QVariant& value, const QString& picture) {
    separator();
    const QChar kind = pictureKind(picture);
    if (kind == u'S') {
        appendQuoted(trimTrailingBlanks(value.toString()));
    } else if (kind == u'N') {
        m_line += trimTrailingBlanks(value.toString().trimmed());
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
    if (!m_file.open(QIODevice::ReadOnly)) {
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

bool DelimitedReader::readLine(QString& line) {
    if (m_file.atEnd()) {
        return false;
    }
    const bool first = m_file.pos() == 0;
    QByteArray bytes = m_file.readLine();
    while (bytes.endsWith('\n') || bytes.endsWith('\r')) {
        bytes.chop(1);
    }
    line = m_latin1 ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
    if (first && line.startsWith(QChar(0xFEFF))) {
        line.remove(0, 1);
    }
    return true;
}

bool DelimitedReader::rewind() {
    return m_file.seek(0);
}

bool DelimitedWriter::create(const QString& path) {
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool DelimitedWriter::writeLine(const QString& line) {
    const QByteArray bytes = line.toUtf8() + "\r\n";
    return m_file.write(bytes) == bytes.size();
}

bool DelimitedWriter::close() {
    const bool flushed = m_file.flush();
    m_file.close();
    return flushed && m_file.error() == QFileDevice::NoError;
}

} // namespace tunarium
