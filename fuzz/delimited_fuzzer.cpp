// The comma-delimited reader and writer. The input is a delimited file. Read line by line, every
// line gives fields of at most 4000 characters, none cut in the middle of a character, and reading
// again from the start gives the same lines. Every line's fields, written back through the line builder and
// the file writer, read back as the same fields (trailing blanks aside, which the writer drops), each one
// quoted.
#include "exchange/delimited.h"
#include "fuzz_support.h"

#include <QFile>

using namespace tunarium;
using namespace tunarium::fuzz;

namespace {

QStringList readAll(DelimitedReader& reader) {
    QStringList lines;
    QString line;
    while (reader.readLine(line)) {
        lines << line;
    }
    return lines;
}

// Whether every surrogate of the text has its pair: what the reader decodes always has, so a
// half character could only come from a cut.
bool wholeCharacters(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (text[i].isSurrogate()) {
            return false;
        }
    }
    return true;
}

QString joined(const QStringList& fields) {
    return fields.join(QStringLiteral(" | "));
}

QStringList withoutTrailingBlanks(QStringList fields) {
    for (QString& field : fields) {
        qsizetype end = field.size();
        while (end > 0 && field[end - 1] == u' ') {
            --end;
        }
        field.truncate(end);
    }
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    const QString inPath = scratchDir() + QStringLiteral("/in.csv");
    {
        QFile file(inPath);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the scratch file can be written");
        file.write(bytes);
    }

    DelimitedReader reader;
    check(reader.open(inPath), "a file that exists opens");
    const QStringList lines = readAll(reader);
    check(lines.size() <= bytes.count('\n') + 1, "no more lines than the file has",
          QString::number(lines.size()));
    check(reader.rewind() && readAll(reader) == lines, "reading again gives the same lines");
    reader.close();

    // Every line's fields, written back.
    QVector<QStringList> expected;
    DelimitedLineBuilder builder;
    DelimitedWriter writer;
    const QString outPath = scratchDir() + QStringLiteral("/out.csv");
    check(writer.create(outPath), "the scratch file can be made");
    for (const QString& line : lines) {
        QList<DelimitedField> kinds;
        const QStringList fields = delimitedFields(line, &kinds);
        for (const QString& field : fields) {
            check(field.size() <= kDelimitedFieldLength, "a field holds at most 4000 characters", line);
            check(wholeCharacters(field), "a field never holds half a character", field);
        }
        builder.begin();
        for (const QString& field : fields) {
            builder.append(field, QStringLiteral("@s4000"));
        }
        if (!builder.fits()) {
            continue;
        }
        const QStringList wanted = withoutTrailingBlanks(fields);
        kinds.clear();
        const QStringList back = delimitedFields(builder.line(), &kinds);
        check(back == wanted, "a built line reads back its fields",
              joined(wanted) + QStringLiteral(" <> ") + joined(back));
        check(!kinds.contains(DelimitedField::Unquoted), "a built text field is quoted", builder.line());
        check(writer.writeLine(builder.line()), "a line is written");
        expected << wanted;
    }
    check(writer.finish(), "the written file is finished");

    DelimitedReader written;
    check(written.open(outPath), "the written file opens");
    const QStringList writtenLines = readAll(written);
    check(writtenLines.size() == expected.size(), "the written file has a line per line written",
          QStringLiteral("%1 <> %2").arg(writtenLines.size()).arg(expected.size()));
    for (qsizetype i = 0; i < writtenLines.size(); ++i) {
        const QStringList back = delimitedFields(writtenLines[i]);
        check(back == expected[i], "a written line reads back its fields",
              joined(expected[i]) + QStringLiteral(" <> ") + joined(back));
    }
    return 0;
}
