// The comma-delimited text files of import and export: the reader of one line's fields, the
// builder of a line, and line-by-line file access. Writer and reader agree: a text written by the
// builder reads back as one quoted field with the same text, trailing blanks aside.
//
// A line holds at most 16000 characters, one field value at most 4000 (a longer one is cut, before
// a character that the cut would split in half). Fields are separated by
// ","; a field that begins with a double quote runs to the next double quote that is not doubled,
// doubled quotes inside stand for one, and the one character after the closing quote is skipped
// (it is taken to be the comma). Any other field runs to the next comma or the end of the line,
// blanks kept. The fields of a line end where the rest of the line is blank.
#pragma once

#include "data/output_file.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace tunarium {

inline constexpr int kDelimitedLineLength = 16000;
inline constexpr int kDelimitedFieldLength = 4000;

enum class DelimitedField { None, Quoted, Unquoted };

// Reads the fields of one line, one after another.
class DelimitedLine {
public:
    DelimitedLine() = default;
    // A longer line is cut to the line length, as the file's records hold no more.
    explicit DelimitedLine(const QString& line);

    // The next field: its kind, and its text in `value` (empty for None).
    DelimitedField next(QString& value);
    void rewind() { m_position = 0; }
    const QString& text() const { return m_line; }

    // What the fields read so far looked like: a quoted field ran to the end of the line without
    // its closing quote; a closing quote was followed by something other than a comma or the end.
    bool unterminated() const { return m_unterminated; }
    bool strayAfterQuote() const { return m_stray; }

private:
    QString m_line;
    qsizetype m_position = 0;
    bool m_unterminated = false;
    bool m_stray = false;
};

// Every field of a line, in order.
QStringList delimitedFields(const QString& line, QList<DelimitedField>* kinds = nullptr);

// Builds one line of an export.
class DelimitedLineBuilder {
public:
    void begin();
    // Appends a value through its picture: text pictures (second character S) quoted with doubled
    // quotes and trailing blanks dropped; number pictures (N) the raw value unquoted; any other
    // picture (dates, times) the value formatted through it, quoted.
    void append(const QVariant& value, const QString& picture);
    // Appends a field name of the header line: quoted; in a name holding "[", each "," and "["
    // becomes "_" and each "]" a blank.
    void appendHeaderName(const QString& name);
    const QString& line() const { return m_line; }
    // Whether the line fits a record of the file.
    bool fits() const { return m_line.size() <= kDelimitedLineLength; }

private:
    void separator();
    void appendQuoted(QStringView text);

    QString m_line;
    bool m_first = true;
};

// A delimited file read line by line (UTF-8; a file that is not valid UTF-8 is read as Latin-1).
// NUL characters (a damaged or UTF-16 file) are dropped from the lines and counted.
//
// A text with line breaks is written inside its quotes, so a quoted field may go on over the end
// of a line: when a line ends inside a quoted field and the following lines close it cleanly (the
// closing quote followed by a comma or the end of a line) within the length of one line, they are
// read as one line with their line breaks kept. Otherwise the line is read on its own, its last
// field taking the rest of the line.
class DelimitedReader {
public:
    bool open(const QString& path);
    QString errorString() const { return m_file.errorString(); }
    // The error of a failed open (errno), 0 when none was seen.
    int openErrno() const { return m_openErrno; }
    // The next line without its line ending; false at the end of the file.
    bool readLine(QString& line);
    // Back to the first line; the NUL characters are counted again from there.
    bool rewind();
    // NUL characters dropped from the lines read so far.
    qint64 nulsDropped() const { return m_nuls; }
    qint64 size() const { return m_file.size(); }
    qint64 position() const { return m_file.pos(); }
    void close() { m_file.close(); }

private:
    bool readPhysical(QString& line, QString& ending);

    QFile m_file;
    bool m_latin1 = false;
    int m_openErrno = 0;
    qint64 m_nuls = 0;
};

// A delimited file written line by line. Lines are handed to the system in chunks; a line whose
// chunk could not be written fails, and writing the same line again tries the chunk again.
//
// A file that exists is replaced only once the writing is done: the lines go to a new hidden file
// in the same folder, which takes the file's name (and keeps the old file's permissions) when
// finish() succeeds; discard(), or a writer destroyed before finishing, removes it and leaves the
// old file as it was. A link is followed: the file it leads to is replaced and the link stays.
// A target that is no regular file (a device, a pipe) is written directly.
class DelimitedWriter {
public:
    DelimitedWriter() = default;
    DelimitedWriter(const DelimitedWriter&) = delete;
    DelimitedWriter& operator=(const DelimitedWriter&) = delete;
    ~DelimitedWriter();

    // Prepares to write `path`; false (lastErrno() tells why) when no file can be made there.
    bool create(const QString& path);
    // The system error (errno) of the last failed operation, 0 when none was seen.
    int lastErrno() const { return m_errno; }
    bool isOpen() const { return m_file && m_file->isOpen(); }
    // Why the target was refused before anything was written (the collection's file, a folder, a
    // device that is no file), in a sentence naming it; empty when it was not.
    const QString& refusal() const { return m_refusal; }
    // Whether the lines go to a new file that replaces the target at the end.
    bool replacesTarget() const { return m_file && m_file->replacesTarget(); }
    bool writeLine(const QString& line);
    // Writes what waits and puts the file in its place. False when that failed: the target is
    // then as it was before (a target written directly keeps what reached it).
    bool finish();
    // Gives up: the new file is removed and the target left as it was. A target written directly
    // is closed with what reached it.
    void discard();

private:
    static constexpr qsizetype kWriteChunk = 1 << 16;
    bool writePending();

    std::unique_ptr<OutputFile> m_file;
    QString m_refusal;
    QByteArray m_pending;
    bool m_retry = false;
    int m_errno = 0;
};

} // namespace tunarium
